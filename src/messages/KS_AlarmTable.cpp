#include "KS_AlarmTable.h"

#include <algorithm>

#include "KS_Globals.h"
#include "KS_String.h"

const std::array<const char*, kAlarmColumnCount> kAlarmColumnCaptions = {
    "Alarm Point", "Pager", "Repeat Time", "Message", "Status", "Real Time", "Cancel Pager",
    "Cancel Message", "Input Type", "Threshold", "Activiation Plan", "Repeat Count", "Repeat Time Module",
    "Input Delay Module", "Input Relay", "Pulse", "Send Cancel", "Repeat Time", "Input Delay", "Active"};

const std::array<double, kAlarmColumnCount> kAlarmColumnWidths = {1.5, 1, 1, 4, 0, 0, 0, 0, 0, 0,
                                                                  0,   0, 0, 0, 0, 0, 0, 0, 0, 1};

namespace {

// A field as the list shows it: the bytes without the NULs of a field never set.
std::string shown(const std::string& field) { return StripChar(field, std::string_view("\0", 1)); }

long long number(std::string_view text, long long low, long long high)
{
    const double value = Val(StripChar(text, std::string_view("\0", 1)));
    if (!(value >= static_cast<double>(low)))
        return low;
    return value > static_cast<double>(high) ? high : static_cast<long long>(value);
}

} // namespace

std::array<std::string, kAlarmColumnCount> AlarmRowTexts(const AlarmPointRecord& r, int slot, AlarmLayout layout)
{
    const long long repeat = number(r.RepeatMinutes, 0, 99);
    std::array<std::string, kAlarmColumnCount> row;
    row[AlarmColPoint] = ZeroPad(slot, 3);
    row[AlarmColPager] = ZeroPad(number(r.Pager, 0, 999), 3);
    row[AlarmColRepeatTime] = repeat == 0 ? "None" : std::to_string(repeat) + "  Min.";
    // A line break kept in the file would draw the row two lines high; it goes to the unit as a space.
    row[AlarmColMessage] = BlankControlChars(shown(r.Message));
    row[AlarmColStatus] = std::to_string(AlarmStatusValue(layout, r.Status));
    row[AlarmColRealTime] = std::to_string(number(r.RealTime, 0, 999));
    row[AlarmColCancelPager] = shown(r.CancelPager);
    row[AlarmColCancelMessage] = BlankControlChars(shown(r.CancelMessage));
    row[AlarmColInputType] = shown(r.InputType);
    row[AlarmColThreshold] = shown(r.Threshold);
    row[AlarmColPlan] = shown(r.ActivationPlan);
    row[AlarmColRepeatModule] = shown(r.RepeatModuleCode);
    row[AlarmColInputDelayModule] = shown(r.InputDelay);
    row[AlarmColRelay] = shown(r.Relay);
    row[AlarmColPulse] = shown(r.Pulse);
    row[AlarmColSendCancel] = r.SendCancel ? "1" : "0";
    row[AlarmColRepeatMinutes] = ZeroPad(repeat, 2);
    row[AlarmColInputDelay] = ZeroPad(number(r.InputDelay, 0, 999), 3);
    row[AlarmColActive] = r.Active ? "Yes" : "No";
    return row;
}

AlarmDialogRules AlarmDialogRulesFor(std::string_view modelName, std::string_view letter, bool optionFlag)
{
    AlarmDialogRules rules;
    rules.inputOptions = IsAlarmOptionsModel(modelName);
    rules.moduleOptions = IsAlarmModuleModel(modelName);
    rules.activeBox = letter == "U";
    rules.sendCancelBox = letter == "X" || letter == "Y" || letter == "R";
    rules.thresholdLimit = IsAlarmModuleModel(modelName) ? 25 : 12;
    rules.letterU = letter == "U";
    rules.optionFlag = optionFlag;
    return rules;
}

bool AlarmInputTypeAllowed(const AlarmDialogRules& rules, int position)
{
    return position < 4 || rules.letterU || rules.optionFlag;
}

bool AlarmPulseEnabled(const AlarmDialogRules& rules, int position)
{
    return rules.letterU || (position >= 4 && rules.optionFlag);
}

int AlarmCancelTextLength(std::string_view letter) { return letter == "X" || letter == "Y" ? 23 : 30; }

bool AlarmUnitCountsRepeats(const AlarmUnit& unit) { return unit.family == "QX7XXX" && unit.letter != "U"; }

std::string AlarmStatusRefused(const AlarmDialogValues& v, const AlarmUnit& unit)
{
    // A status the unit sent may be any character code; the operator types a digit.
    if (AlarmUnitCountsRepeats(unit) || !v.statusTyped || Val(v.status) <= 9)
        return {};
    return "Status must be a number from 0 to 9.";
}

std::string AlarmRealTimeRefused(const AlarmDialogValues& v, const AlarmUnit& unit)
{
    // The QX7XXX units keep three digits; the others one character of that
    // code, which the QX8XXX units also send, where 10 and 13 end the line.
    if (AlarmUnitCountsRepeats(unit))
        return {};
    const double value = Val(v.realTime);
    const bool sent = AlarmStatusIsCode(SelectAlarmLayout(unit));
    if (value <= 255 && !(sent && AlarmCodeEndsLine(static_cast<long long>(value))))
        return {};
    if (!sent)
        return "RealTime must be a number from 0 to 255.";
    return "RealTime must be a number from 0 to 255 other than 10 and 13, which would end the line to the "
        + unit.modelName + ".";
}

std::string AlarmInputDelayRefused(const AlarmDialogValues& v, const AlarmUnit& unit)
{
    // A stored value the module list cannot show is never saved as the list's "No Delay".
    if (IsAlarmModuleModel(unit.modelName)) {
        if (v.delayModuleTyped || AlarmModuleDelayCode(number(v.loadedDelay, -1, 999)) >= 0)
            return {};
        return "Input delay \"" + Trim(v.loadedDelay) + "\" as stored cannot be sent to the " + unit.modelName
            + ", which takes an input delay of " + kAlarmDelayCodeChoices + " only. Please choose one.";
    }
    if (!AlarmDelayTravelsAsCode(SelectAlarmLayout(unit), unit) || AlarmDelayCodeOfSeconds(v.delaySeconds) >= 0)
        return {};
    if (!v.delayTyped && AlarmDelayCodeAsRead(v.loadedDelay))
        return {};
    return "The " + unit.modelName + " takes an input delay of " + kAlarmDelayCodeChoices
        + " only. Nothing was sent to the " + unit.modelName + ".";
}

int AlarmDelayShownSeconds(std::string_view storedDelay, std::string_view secondsColumn, const AlarmUnit& unit)
{
    if (AlarmDelayTravelsAsCode(SelectAlarmLayout(unit), unit) && AlarmDelayCodeAsRead(storedDelay))
        return AlarmDelaySecondsOfCode(number(storedDelay, -1, 9));
    return secondsColumn.empty() ? 0 : static_cast<int>(number(secondsColumn, 0, 999));
}

AlarmSave BuildAlarmSave(const AlarmDialogValues& v, int slot, const AlarmUnit& unit)
{
    AlarmSave save;
    save.layout = SelectAlarmLayout(unit);
    save.slot = slot;

    AlarmPointRecord& r = save.record;
    r.Point = ZeroPad(std::clamp(slot, 0, 999), 3);
    r.Pager = ZeroPad(number(v.pager, 0, 999), 3);
    r.CancelPager = ZeroPad(number(v.cancelPager, 0, 999), 3);
    r.Message = PadRight(Trim(v.message), 30);
    r.CancelMessage = PadRight(Trim(v.cancelMessage), AlarmCancelTextLength(unit.letter));
    r.Threshold = FormatAlarmThreshold(v.threshold);
    r.InputType = std::to_string(std::clamp(v.inputType, 0, 8) + 1);
    r.RepeatModuleCode = std::to_string(std::clamp(v.repeatModule, 0, 8) + 1);
    r.Relay = ZeroPad(std::clamp(v.relay, 0, 99), 2);
    r.Pulse = std::to_string(std::clamp(v.pulse, 0, 8) + 1);
    r.ActivationPlan = std::to_string(std::clamp(v.plan, 0, 9));
    r.SendCancel = v.sendCancel ? kFlagYes : kFlagNo;
    r.Active = unit.letter != "U" || v.active ? kFlagYes : kFlagNo;
    if (AlarmUnitCountsRepeats(unit)) {
        r.RepeatMinutes = std::to_string(std::clamp(v.repeatCount, 0, 9));
        r.Status = v.status.substr(0, 1);
        r.RealTime = v.realTime.substr(0, 3);
    } else {
        // Kept as the download keeps them, so the list and the next upload
        // read back what was typed; a status the unit sent is kept as it came.
        r.RepeatMinutes = ZeroPad(std::clamp(v.repeatMinutes, 0, 99), 2);
        r.Status = AlarmStatusField(static_cast<int>(number(v.status, 0, v.statusTyped ? 9 : 255)));
        r.RealTime = ZeroPad(number(v.realTime, 0, 255), 3);
    }
    // A code read from a unit without the module lists is kept until the
    // operator picks another delay: its seconds have no code there.
    if (IsAlarmModuleModel(unit.modelName))
        r.InputDelay = ZeroPad(std::clamp(v.delayModule, 0, 9), 3);
    else if (!v.delayTyped && AlarmDelayCodeAsRead(v.loadedDelay))
        r.InputDelay = v.loadedDelay;
    else
        r.InputDelay = ZeroPad(std::clamp(v.delaySeconds, 0, 999), 3);

    // The same record goes out the same way from here and with the table.
    save.data = BuildAlarmWriteString(save.layout, unit, slot, r);
    return save;
}

// ---- The alarm table on the engine ---------------------------------------------------

std::size_t AlarmPointCodec::RecordLength() const { return AlarmPointRecord::kLength; }

std::string AlarmPointCodec::NumberedRecord(int slot) const
{
    AlarmPointRecord record;
    record.Point = ZeroPad(std::clamp(slot, 0, 999), 3);
    return EncodeRecord(record);
}

SlotRead AlarmPointCodec::ReadSlot(int slot, std::string& record) const
{
    const AlarmUnit unit = CurrentAlarmUnit();
    AlarmPointRecord point = DecodeRecord<AlarmPointRecord>(record);
    const SlotRead read = ReadAlarmSlotForDownload(SelectAlarmLayout(unit), unit, slot, point);
    record = EncodeRecord(point);
    return read;
}

int AlarmPointCodec::RecordSlot(const std::string& record) const
{
    return static_cast<int>(number(DecodeRecord<AlarmPointRecord>(record).Point, 0, 999));
}

bool AlarmPointCodec::NeverRead(const std::string& record) const
{
    const AlarmPointRecord r = DecodeRecord<AlarmPointRecord>(record);
    for (const std::string* field : {&r.Pager, &r.Message, &r.CancelMessage, &r.InputDelay, &r.RepeatMinutes,
                                     &r.ActivationPlan, &r.CancelPager, &r.Status, &r.RealTime, &r.InputType,
                                     &r.Threshold, &r.RepeatModuleCode, &r.Relay, &r.Pulse})
        if (*field != UnsetText(field->size()))
            return false;
    return true;
}

SlotWrite AlarmPointCodec::WriteOf(const std::string& record) const
{
    const AlarmUnit unit = CurrentAlarmUnit();
    const AlarmPointRecord point = DecodeRecord<AlarmPointRecord>(record);
    return {"Z", BuildAlarmWriteString(SelectAlarmLayout(unit), unit, RecordSlot(record), point),
            AlarmUploadTicks(unit.slotCount), 3};
}

std::string AlarmPointCodec::Unsendable(const std::string& record) const
{
    const AlarmUnit unit = CurrentAlarmUnit();
    return AlarmPointUnsendable(SelectAlarmLayout(unit), unit, DecodeRecord<AlarmPointRecord>(record));
}

MessageTableParams AlarmTableParams()
{
    MessageTableParams params{&gAlarmMessageCount, &gEncoderSupportsAlarm, "PPM_Alarm.DBS", "Alarm Messages"};
    // The unit keeps its other points when a shorter file is sent.
    params.warnShortFile = false;
    params.sizeUnanswered = &gAlarmSizeUnanswered;
    return params;
}

MessageTableEngine MakeAlarmTableEngine()
{
    return MessageTableEngine(AlarmTableParams(), std::make_shared<AlarmPointCodec>());
}
