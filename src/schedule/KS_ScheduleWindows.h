#pragma once
// Puts the scheduling and tone-generator forms in the window registry, so their menu items become live.

void RegisterScheduleWindows();
