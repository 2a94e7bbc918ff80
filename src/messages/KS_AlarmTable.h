#pragma once
// The alarm-input table between its file, its list and its edit dialog,
// without widgets: what each list column shows of a record, which dialog
// controls a model offers, and the record and write string a save produces.

#include <array>
#include <string>
#include <string_view>

#include "KS_AlarmLayouts.h"
#include "KS_MessageTable.h"
#include "KS_Records.h"

inline constexpr int kAlarmColumnCount = 20;

// The list columns, in order; a width of 0 keeps a column hidden, and the
// hidden ones carry what the edit dialog reads back.
enum AlarmColumn {
    AlarmColPoint = 0,
    AlarmColPager = 1,
    AlarmColRepeatTime = 2,
    AlarmColMessage = 3,
    AlarmColStatus = 4,
    AlarmColRealTime = 5,
    AlarmColCancelPager = 6,
    AlarmColCancelMessage = 7,
    AlarmColInputType = 8,
    AlarmColThreshold = 9,
    AlarmColPlan = 10,
    AlarmColRepeatCount = 11,
    AlarmColRepeatModule = 12,
    AlarmColInputDelayModule = 13,
    AlarmColRelay = 14,
    AlarmColPulse = 15,
    AlarmColSendCancel = 16,
    AlarmColRepeatMinutes = 17,
    AlarmColInputDelay = 18,
    AlarmColActive = 19,
};
extern const std::array<const char*, kAlarmColumnCount> kAlarmColumnCaptions;
extern const std::array<double, kAlarmColumnCount> kAlarmColumnWidths;

// The texts of the list row of a slot's record (never-set bytes show as
// nothing), the status read as the unit of this layout sends it.
std::array<std::string, kAlarmColumnCount> AlarmRowTexts(const AlarmPointRecord& record, int slot,
                                                         AlarmLayout layout);

// Which of the dialog's model-dependent controls a unit offers.
struct AlarmDialogRules {
    bool inputOptions = false;  // cancel pager, input type, threshold, pulse
    bool moduleOptions = false; // repeat count, repeat time, input delay and relay modules
    bool activeBox = false;
    bool sendCancelBox = false;
    int thresholdLimit = 12; // the threshold runs from -limit to +limit
    bool letterU = false;    // takes every input type and always offers the pulse
    bool optionFlag = false; // the identity's option: pulsing and double-mode inputs
};
AlarmDialogRules AlarmDialogRulesFor(std::string_view modelName, std::string_view letter, bool optionFlag);
// Input types are list positions 0 to 7; the last four need the option.
bool AlarmInputTypeAllowed(const AlarmDialogRules& rules, int position);
bool AlarmPulseEnabled(const AlarmDialogRules& rules, int position);
// Dry contacts have no threshold.
inline bool AlarmThresholdEnabled(int inputTypePosition) { return inputTypePosition >= 2; }

// What the dialog's controls hold when the operator saves.
struct AlarmDialogValues {
    std::string pager;
    std::string message;
    std::string cancelPager;
    std::string cancelMessage;
    int repeatMinutes = 0;
    int delaySeconds = 0;
    bool delayTyped = true;  // false: as the row showed it
    std::string loadedDelay; // the stored input delay the row came with
    std::string status;
    bool statusTyped = true; // false: as the row showed it, which may be a code above 9
    std::string realTime;
    int plan = 0;
    int inputType = 0; // list positions from here on
    int threshold = 0;
    int pulse = 0;
    int repeatCount = 0;
    int repeatModule = 0;
    int delayModule = 0;
    bool delayModuleTyped = true; // false: as the row showed it
    int relay = 0;
    bool sendCancel = false;
    bool active = false;
};

// Why the typed status or real time cannot be kept by the unit, naming what
// may be typed; empty when it can. The QX7XXX units keep both as typed; the
// others keep the real time as one character of that code, which the QX8XXX
// units also send, so there 10 and 13 would end the line.
std::string AlarmStatusRefused(const AlarmDialogValues& values, const AlarmUnit& unit);
std::string AlarmRealTimeRefused(const AlarmDialogValues& values, const AlarmUnit& unit);
// Why the picked input delay cannot reach a unit that takes only the module
// list's delays as codes; empty when it can, or when the code the unit sent is kept.
std::string AlarmInputDelayRefused(const AlarmDialogValues& values, const AlarmUnit& unit);
// The seconds entry the dialog shows for a stored input delay: the seconds a
// code from the unit stands for on the units that take codes, else the stored
// seconds; -1 when no entry stands for it.
int AlarmDelayShownSeconds(std::string_view storedDelay, std::string_view delaySecondsColumn,
                           const AlarmUnit& unit);

struct AlarmSave {
    AlarmLayout layout = AlarmLayoutFull;
    int slot = 0;
    AlarmPointRecord record; // what the file keeps at record number = slot
    std::string data;        // the "Z" write's data
};
AlarmSave BuildAlarmSave(const AlarmDialogValues& values, int slot, const AlarmUnit& unit);

// Whether a Download may replace the file. What an "Other" unit answers to a
// read is not understood, so a Download would replace the file, the only copy
// of that unit's table, with blanks; it still takes points in the QX8XXX form.
inline bool AlarmLayoutReadsBack(AlarmLayout layout) { return layout != AlarmLayoutOther; }

// Characters of the cancel text that reach the unit and the file: X and Y
// units keep 23.
int AlarmCancelTextLength(std::string_view letter);

// True for the QX7XXX units that count repeats instead of minutes (not U).
bool AlarmUnitCountsRepeats(const AlarmUnit& unit);

// The alarm table on the shared engine: AlarmPointRecord in PPM_Alarm.DBS,
// each slot read and written in the layout of the unit detection found.
class AlarmPointCodec : public MessageTableCodec {
public:
    std::size_t RecordLength() const override;
    std::string NumberedRecord(int slot) const override;
    SlotRead ReadSlot(int slot, std::string& record) const override;
    int RecordSlot(const std::string& record) const override;
    bool NeverRead(const std::string& record) const override;
    SlotWrite WriteOf(const std::string& record) const override;
    std::string Unsendable(const std::string& record) const override;
    // As BuildAlarmWriteString made it: its texts are already blanked, and the
    // QX8XXX status and real time travel as the character of their code.
    std::string LineData(std::string_view data) const override { return std::string(data); }
};

MessageTableParams AlarmTableParams();
MessageTableEngine MakeAlarmTableEngine();
