#pragma once
// Streaming one WAV file into one alert slot of the device on the port: a
// header, 1024-byte blocks each answered "N*" (next), "R*" (again) or "E*"
// (stored), and an end marker. The window shows what the upload reports.

#include <cstdint>
#include <functional>
#include <string>

#include "KS_AlertFormat.h"

struct AlertUploadDisplay {
    std::function<void(const std::string& text)> setInfo;
    // The progress bar: its value, its maximum, and whether it shows.
    std::function<void(std::int64_t value, std::int64_t maximum, bool shown)> setProgress;
};

struct AlertUploadFile {
    std::string path;
    int alertNumber = 11;
    std::string displayName; // "Alert 11"
    AlertWaveData data;
};

// The memory the device reported and its slot count select the slot size;
// sequenced firmware frames its blocks with a checksum and a number.
// True when the device stored the whole file; every failure has been shown.
bool UploadAlertFile(const AlertUploadFile& file, std::int64_t memoryKB, std::int64_t slotCount, bool sequenced,
                     const AlertUploadDisplay& display);
