#pragma once
// What the pendant programmer asks a pendant, without a widget: the version
// and model queries every run starts with, and the whole read, which hands
// back what the pendant answered for the window to show.

#include <array>
#include <optional>
#include <string>

#include "KS_PendantRules.h"

inline constexpr int kPendantRows = 4;

struct PendantVersion {
    int hundredths = 0;               // 0 when no version came
    std::optional<std::string> text;  // what the version box shows; nothing: it keeps its text
    bool plainNumber = false;         // a four-character number (a program run leaves the box as it is)
};

// "?V": a four-character number, or the text between "Ver." and "(".
PendantVersion ReadPendantVersion();
// "?VM": the model as the pendant names it (a family tag on a legacy pendant).
std::optional<std::string> ReadPendantModel();

// A pendant's answers to one read. Where no answer came the field is empty,
// and the window keeps what it showed.
struct PendantSettings {
    std::string version = "N/A";
    int versionHundredths = 0;
    std::string model = "N/A";
    bool currentSet = false;
    int rows = 0;                        // 3 for a PDX-01, 4 for a PDX-03, 0 for a model not known
    bool radio = false;                  // serial number and radio settings asked; else shut
    std::optional<std::string> serialNumber;
    std::optional<std::string> frequency; // "467.8000"
    std::optional<int> power, deviation;  // the numbers the pendant answered
    PendantBaudType baudType = PendantBaudTypeFromCode("");
    std::array<std::optional<std::string>, kPendantRows> capcodes{}; // as answered, not yet padded
    std::array<std::string, kPendantRows> messages{};
};

// The read after the probe, in the pendant's order: version, model, the
// command set they choose, the radio settings where the set has them, baud
// and pager type, then each slot's capcode and, when it has one, its message.
// Reports "Downloading Capcode n" for each slot.
PendantSettings ReadPendantSettings();
