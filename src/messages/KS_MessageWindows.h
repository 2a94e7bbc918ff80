#pragma once
// Puts the message-table forms in the window registry, so their Messages menu items become live.

void RegisterMessageWindows();
