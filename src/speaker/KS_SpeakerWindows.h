#pragma once
// Puts the speaker programmer in the window registry, so its Devices > Programmers item becomes live.

void RegisterSpeakerWindows();
