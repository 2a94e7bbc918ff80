#pragma once
// Puts the device-programmer forms in the window registry, so their Devices > Programmers items become live.

void RegisterProgrammerWindows();
