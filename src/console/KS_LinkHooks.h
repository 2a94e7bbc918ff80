#pragma once
// Connects the data-file module's tone downloads to the encoder link, which
// lives above it. Called once by the main window's load.
void InstallToneDownloadHooks();
