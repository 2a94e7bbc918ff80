#pragma once
// What the speaker programmer says to a wireless PA speaker and how it reads
// the answers, without a window: the firmware version and the command set it
// selects, the whole read conversation with what it found, and the ordered
// list of writes of a programming run built from a plain picture of the
// window's settings.

#include <QDateTime>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class OptionList;

// ---- Firmware version -----------------------------------------------------------

struct SpeakerVersion {
    std::string text = "N/A"; // what the version box shows
    int hundredths = 0;       // 3.14 is 314; 0 when no number was understood
    bool fourCharacter = false; // the unit answered a plain "3.14", which the current commands need
};

// Reads the whole "?V" reply line: a four-character number before "*", or the
// text between "Ver." and "(". NULs are ignored. A "(" before or too close to
// "Ver." gives no text: "N/A".
SpeakerVersion ParseSpeakerVersion(std::string_view rawReply);
// Asks the unit "?V" and reads its reply.
SpeakerVersion AskSpeakerVersion();

// The current command set from a plain 3.00 on, the legacy one below it or for
// a "Ver." text. Read and programming ask this one question, so a unit is
// written with the mnemonics it was read with.
bool SpeakerUsesCurrentSet(const SpeakerVersion& version);

// ---- Read conversions -------------------------------------------------------------

// "085" as "-85"; nullopt when the value is not a number.
std::optional<std::string> SignalStrengthText(std::string_view value);
// The boxes of a mask sent as hexadecimal digits; nullopt for an empty or unreadable mask.
std::optional<std::uint32_t> ParseSpeakerMask(std::string_view value);
// "0" 512, "1" 1200, "2" 2400; "" for any other code.
std::string SpeakerBaudText(char code);

// Selects the entry whose text is the given text, or none when the list has no such entry.
void SelectSpeakerListText(OptionList& list, std::string_view text);
// Selects the first entry whose item data is the value's number; none when the value is no number
// or no entry carries it.
void SelectSpeakerListData(OptionList& list, std::string_view value);
// The alert-level list position ("0 - Default", 1 to 4) for capcode slot n (1-based) from the "OV"
// reply: 0 for a missing or non-digit character, -1 for a level the list does not hold.
int SpeakerAlertLevelPosition(std::string_view levels, int slot);

// The date and time box from the raw "D" and "T" replies: "Tuesday, 03/03/26 02:05:09 PM",
// "N/A" standing for an unreadable date. timeValue is the value cut from the time reply.
std::string SpeakerDateTimeText(std::string_view dateReply, std::string_view timeReply, std::string_view timeValue);

// The gate before any read, write or reset: the connected unit is the speaker; otherwise the
// not-updated warning is shown and nothing may be sent.
bool SpeakerConnected();

// ---- Reading ---------------------------------------------------------------------

// What a read found. An empty text is an answer that did not come or could not be used; the window
// applies each field's own rule for it.
struct SpeakerReading {
    enum class Outcome { Read, NoAnswer, NotSpeaker };
    Outcome outcome = Outcome::Read;
    SpeakerVersion version;
    bool currentSet = false;
    std::string dateTime = "N/A";
    std::string serialNumber;
    // A legacy unit below 3.00 has no receiver frequency to ask: its box goes back to its locked default.
    bool rx1Hidden = false;
    std::optional<std::string> rx1Frequency; // "457.5000"; shows the box
    bool rx1SignalShown = false;
    std::optional<std::string> rx1Signal;    // "-85" or "N/A"; a legacy unit leaves the box as it is
    std::string supervisionCapcode;
    std::optional<std::string> rxBaud;       // the entry's text; "" no selection; nothing: as it was
    std::string squelch, operationMode;      // the entries' texts
    bool securityOn = false;
    std::string securityKey;
    std::array<std::string, 8> capcodes;     // slots not asked stay empty
    std::array<int, 8> alertLevels{};        // list positions
    // From 3.10: the radio, configuration and options items.
    bool radio = false;
    std::string rxDeviation, ambientNoise, power, txDeviation, ifBandwidth; // item data as text
    std::uint32_t configuration = 0, options = 0;
    std::optional<std::string> tx1Frequency, rx2Frequency, tx2Frequency;
    std::string txBaud;
    std::optional<std::string> rx2Signal;
};

// The whole read: the probe, the gate on the unit (each refusal with its warning), the version, the
// unit's date and time, then every query of the command set the version selects. A capcode slot or
// alert-level string that stays empty asks the operator whether to go on.
SpeakerReading ReadSpeaker();
// The unit's date and time as the box shows them: "Tuesday, 03/03/26 02:05:09 PM", or "N/A".
std::string ReadSpeakerDateTime();

// ---- Programming -----------------------------------------------------------------

// The console's time as the speaker takes it: "HHNNss", "HHNN" for old units, and the date
// "MMDDYYw" with the weekday 1 for Sunday to 7 for Saturday.
std::string SpeakerTimeValue(const QDateTime& now, bool withSeconds = true);
std::string SpeakerDateValue(const QDateTime& now);

// Check boxes to the mask the unit takes: bit i for box i, upper-case hexadecimal of the given width.
std::string SpeakerMaskValue(const std::vector<bool>& boxes, int digits);

// One list of the window as a programming run sees it.
struct SpeakerListSetting {
    bool program = false;
    std::string text;                  // the selected entry's text, "" with none selected
    std::optional<std::int32_t> data;  // the selected entry's item data
};

struct SpeakerCapcodeRow {
    bool program = false;
    std::string capcode = "0000000";
    int alertLevel = 0; // list position: 0 default, 1 to 4
};

struct SpeakerSettings {
    bool serialUnlocked = false;
    std::string serialNumber{};
    bool rx1FrequencyOpen = false; // shown and unlocked
    std::string rx1Frequency = "000.0000";
    bool supervisionUnlocked = false;
    std::string supervisionCapcode = "0000000";
    bool programDateTime = false;

    SpeakerListSetting securityMode{}, operationMode{}, squelchLevel{}, rxBaudRate{}, rxDeviation{},
        ambientNoiseLevel{};
    std::string securityKey = "236";
    std::array<SpeakerCapcodeRow, 8> capcodes{};

    bool programConfiguration = false;
    std::vector<bool> configuration = std::vector<bool>(10);
    bool programOptions = false;
    std::vector<bool> options = std::vector<bool>(8);
    bool programCommon = false;
    SpeakerListSetting power{}, txDeviation{}, ifBandwidth{}, txBaudRate{}; // their `program` is unused
    bool programPrimary = false;
    std::string tx1Frequency = "000.0000";
    bool programSecondary = false;
    std::string rx2Frequency = "000.0000", tx2Frequency = "000.0000";
};

enum class SpeakerStep {
    Write,            // one setting
    Serial,           // a setting followed by the serial number's auto-increment
    Capcode,          // a setting followed by the row's auto-increment
    SupervisionQuery, // "?C9": asked, not shown; an old unit without an answer has no slots 7 and 8
    DateTime,         // "PT" then "PD" from the console's clock
};

struct SpeakerProgramItem {
    SpeakerStep kind = SpeakerStep::Write;
    std::string stepText;
    std::string command; // "P" and the mnemonic
    std::string value;
    std::string failureText = " - Failed.";
    int preTicks = 1;  // pause before the write
    int postTicks = 0; // pause after it
    int row = -1;      // capcode row of a Capcode item
};

// The supervision query of a programming run ("?C9", asked once more by a legacy unit); true when
// the unit answered with a capcode.
bool AskSpeakerSupervision(bool currentSet);

// Every item of a run in the unit's order. For an old unit the supervision answer decides the
// items after the "?C9" query; the items before it do not depend on it.
std::vector<SpeakerProgramItem> BuildSpeakerProgram(const SpeakerSettings& settings,
                                                    const SpeakerVersion& version, bool supervisionAnswered = true);
// The progress steps of the items (the query moves no bar).
int SpeakerProgressSteps(const std::vector<SpeakerProgramItem>& items);
