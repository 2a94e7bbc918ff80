#include "KS_AlarmLayouts.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_String.h"

namespace {

constexpr std::string_view kFamily7 = "QX7XXX";
constexpr std::string_view kFamily8 = "QX8XXX";

// The numeric value of a field, held inside [low, high]; a field of garbage is 0.
long long numberIn(std::string_view text, long long low, long long high)
{
    const double value = Val(text);
    if (!(value >= static_cast<double>(low)))
        return low;
    if (value > static_cast<double>(high))
        return high;
    return static_cast<long long>(value);
}

// A digits field of the given width from a stored field.
std::string digits(std::string_view text, int width)
{
    static constexpr long long kLimits[] = {0, 9, 99, 999};
    return ZeroPad(numberIn(text, 0, kLimits[width]), width);
}

std::string listCode(AlarmCodeList list, std::string_view stored) { return std::to_string(AlarmListCode(list, stored)); }

// A text field as it travels: never-set NULs, and any other control
// character, go as spaces, so the write stays one line to the unit.
std::string text(std::string_view stored, std::size_t width) { return BlankControlChars(PadRight(stored, width)); }

// Reply positions are counted from 1.
std::string at(std::string_view value, std::size_t position, std::size_t length)
{
    return std::string(value.substr(position - 1, length));
}

// Status and real time of the Family8 units travel as one character whose
// code is the value; a space (or a NUL, already made a space) is 0.
int characterCode(char c) { return c == ' ' ? 0 : static_cast<unsigned char>(c); }

void parseXY(std::string_view v, AlarmPointRecord& r)
{
    r.Message = at(v, 1, 30);
    r.CancelMessage = PadRight(at(v, 31, 23), 30);
    r.Pager = at(v, 54, 3);
    r.SendCancel = v[56] == 'Y' ? kFlagYes : kFlagNo;
    r.RepeatMinutes = at(v, 58, 2);
    r.InputDelay = at(v, 60, 3);
    r.ActivationPlan = at(v, 63, 1);
    r.Status = "0";
    r.RealTime = "000";
    r.CancelPager = "000";
    r.RepeatModuleCode = "0";
    r.Threshold = "000";
    r.InputType = "0";
    r.Relay = "00";
    r.Pulse = "0";
    r.Active = kFlagYes;
}

void parseU(std::string_view v, AlarmPointRecord& r)
{
    r.Active = Val(at(v, 1, 1)) != 0 ? kFlagYes : kFlagNo;
    r.Pager = at(v, 2, 3);
    r.CancelPager = at(v, 5, 3);
    r.Message = at(v, 8, 30);
    r.CancelMessage = at(v, 38, 30);
    r.RepeatMinutes = at(v, 68, 2);
    r.InputDelay = at(v, 70, 3);
    r.Threshold = at(v, 73, 3);
    r.InputType = at(v, 76, 1);
    r.ActivationPlan = at(v, 77, 1);
    r.Pulse = at(v, 78, 1);
    r.Spare = 0;
}

void parseFamily8(std::string_view value, AlarmPointRecord& r)
{
    std::string v(value);
    std::replace(v.begin(), v.end(), '\0', ' ');
    r.Pager = ZeroPad(numberIn(at(v, 1, 3), 0, 999), 3);
    r.Message = at(v, 4, 30);
    r.Status = AlarmStatusField(characterCode(v[33]));
    r.RealTime = ZeroPad(characterCode(v[34]), 3);
    r.RepeatMinutes = v[35] == 'Y' ? "99" : "00";
    r.Active = kFlagYes;
}

void parseFull(std::string_view v, AlarmPointRecord& r, std::string_view family)
{
    r.Pager = at(v, 1, 3);
    r.CancelPager = at(v, 4, 3);
    r.Message = at(v, 7, 30);
    r.CancelMessage = at(v, 37, 30);
    r.Status = at(v, 67, 1);
    r.RealTime = at(v, 68, 3);
    if (family == kFamily7)
        r.RepeatMinutes = ZeroPad(numberIn(at(v, 71, 1), 0, 9), 2);
    else
        r.RepeatMinutes = v[70] == 'N' ? "00" : "99";
    r.RepeatModuleCode = at(v, 72, 1);
    r.Threshold = at(v, 73, 3);
    r.InputType = at(v, 76, 1);
    r.InputDelay = PadRight(at(v, 77, 1), 3);
    // The unit counts plans from 1 and sends 0 for "always"; plan 9 and plan 0
    // therefore arrive as the same digit.
    const long long plan = numberIn(at(v, 78, 1), 0, 9);
    r.ActivationPlan = std::to_string(plan > 0 ? plan - 1 : 0);
    r.Relay = at(v, 79, 2);
    r.Pulse = at(v, 81, 1);
    r.Active = kFlagYes;
}

void parseFamily7(std::string_view v, AlarmPointRecord& r)
{
    r.Pager = at(v, 1, 3);
    r.Message = at(v, 4, 30);
    r.RepeatMinutes = "00";
    r.Status = std::string(1, '\0');
    r.RealTime = std::string("\0  ", 3);
    r.Active = kFlagYes;
}

// The codes of the status and real-time characters a Family8 write carries.
struct Family8Codes {
    int status = 0;
    int realTime = 0;
};
Family8Codes family8Codes(const AlarmPointRecord& r)
{
    return {AlarmStatusValue(AlarmLayoutFamily8, r.Status), static_cast<int>(numberIn(r.RealTime, 0, 255))};
}

std::string family8Fields(const AlarmPointRecord& r)
{
    const Family8Codes codes = family8Codes(r);
    std::string data = digits(r.Pager, 3) + text(r.Message, 30);
    data += static_cast<char>(codes.status);
    data += static_cast<char>(codes.realTime);
    data += digits(r.RepeatMinutes, 2) == "00" ? 'N' : 'Y';
    return data;
}

// The seconds a stored input delay holds, and whether it is a code rather than seconds.
bool storedDelayIsCode(const AlarmPointRecord& r, bool codeStored)
{
    return codeStored || AlarmDelayCodeAsRead(r.InputDelay);
}

// The input-delay code a Full-layout write carries: the stored code as it
// stands, or the code of the stored seconds; -1 when the stored delay has no
// code on the unit (the Full layout knows the codes 0 to 3 only).
int fullDelayCode(const AlarmPointRecord& r, bool codeStored)
{
    const long long stored = numberIn(r.InputDelay, 0, 999);
    if (storedDelayIsCode(r, codeStored))
        return AlarmModuleDelayCode(stored);
    return AlarmDelayCodeOfSeconds(stored);
}

std::string fullFields(const AlarmPointRecord& r, bool codeStored)
{
    const long long realTime = numberIn(r.RealTime, 0, 999);
    const long long plan = numberIn(r.ActivationPlan, 0, 9);
    // A delay without a code never gets this far (AlarmPointUnsendable).
    const int delayCode = std::max(fullDelayCode(r, codeStored), 0);
    return digits(r.Pager, 3) + digits(r.CancelPager, 3) + text(r.Message, 30) + text(r.CancelMessage, 30)
        + text(r.Status, 1) + (realTime > 0 ? ZeroPad(realTime, 3) : std::string("   "))
        + digits(r.RepeatMinutes, 1) + listCode(AlarmCodeList::RepeatTimeModule, r.RepeatModuleCode)
        + FormatAlarmThreshold(numberIn(r.Threshold, -99, 99)) + listCode(AlarmCodeList::InputType, r.InputType)
        + std::to_string(delayCode) + std::to_string(plan == 9 ? 0 : plan + 1) + digits(r.Relay, 2)
        + listCode(AlarmCodeList::Pulse, r.Pulse);
}

constexpr int kDelayCodeSeconds[] = {0, 10, 30, 120};

} // namespace

AlarmUnit CurrentAlarmUnit()
{
    return {gEncoderModelLetter, gEncoderFamily, gEncoderModelName, gEncoderIdentified, gAlarmIndexOffset,
            gAlarmMessageCount};
}

AlarmLayout SelectAlarmLayout(const AlarmUnit& unit)
{
    if (EncoderUsesExtendedAlarmLayout(unit.letter)) {
        if (unit.letter == "X" || unit.letter == "Y")
            return AlarmLayoutXY;
        if (unit.letter == "U")
            return AlarmLayoutU;
        return unit.family == kFamily8 ? AlarmLayoutFamily8 : AlarmLayoutFull;
    }
    if (unit.family != kFamily7)
        return AlarmLayoutOther;
    return unit.identified ? AlarmLayoutFamily7 : AlarmLayoutLegacy;
}

int AlarmReplyLength(AlarmLayout layout)
{
    switch (layout) {
    case AlarmLayoutXY: return 63;
    case AlarmLayoutU: return 79;
    case AlarmLayoutFull: return 81;
    case AlarmLayoutFamily8:
    case AlarmLayoutOther: return 36;
    case AlarmLayoutFamily7:
    case AlarmLayoutLegacy: return 33;
    }
    return 0;
}

std::string AlarmSlotAddress(AlarmLayout layout, int slot, int indexOffset, bool forWrite)
{
    switch (layout) {
    case AlarmLayoutXY:
    case AlarmLayoutU:
    case AlarmLayoutFamily8:
    case AlarmLayoutFull: return ZeroPad(std::clamp(slot + indexOffset, 0, 999), 3);
    case AlarmLayoutOther:
    case AlarmLayoutFamily7: return ZeroPad(std::clamp(slot, 0, 999), 3);
    case AlarmLayoutLegacy: return std::to_string(std::clamp(slot, 0, 9)) + (forWrite ? "" : " ");
    }
    return {};
}

std::int32_t AlarmReadTicks(AlarmLayout layout, int slotCount)
{
    if (layout != AlarmLayoutFull)
        return 40;
    const long long scaled = 40LL * std::max(slotCount, 0);
    long long ticks = scaled / 96;
    const long long twiceRest = 2 * (scaled % 96);
    if (twiceRest > 96 || (twiceRest == 96 && ticks % 2 == 1))
        ++ticks;
    return static_cast<std::int32_t>(std::min<long long>(ticks, 1'000'000));
}

std::int32_t AlarmUploadTicks(int slotCount) { return 20 * (1 + std::max(slotCount, 0) / 96); }

bool IsAlarmModuleModel(std::string_view modelName) { return modelName == "QX6560" || modelName == "QX6860"; }

bool IsAlarmOptionsModel(std::string_view modelName)
{
    return IsAlarmModuleModel(modelName) || modelName == "QX6870";
}

std::string FormatAlarmThreshold(long long value)
{
    value = std::clamp(value, -99LL, 99LL);
    return (value < 0 ? "-" : "+") + ZeroPad(value < 0 ? -value : value, 2);
}

void ParseAlarmReply(AlarmLayout layout, std::string_view value, AlarmPointRecord& record, std::string_view family)
{
    if (value.size() != static_cast<std::size_t>(AlarmReplyLength(layout)))
        return;
    switch (layout) {
    case AlarmLayoutXY: parseXY(value, record); break;
    case AlarmLayoutU: parseU(value, record); break;
    case AlarmLayoutFamily8: parseFamily8(value, record); break;
    case AlarmLayoutFull: parseFull(value, record, family); break;
    case AlarmLayoutFamily7:
    case AlarmLayoutLegacy: parseFamily7(value, record); break;
    case AlarmLayoutOther: break; // what such a unit sends is unknown: nothing is taken from it
    }
}

bool AlarmStatusIsCode(AlarmLayout layout) { return layout == AlarmLayoutFamily8 || layout == AlarmLayoutOther; }

std::string AlarmStatusField(int code)
{
    code = std::clamp(code, 0, 255);
    return code <= 9 ? std::to_string(code) : std::string(1, static_cast<char>(code));
}

int AlarmStatusValue(AlarmLayout layout, std::string_view field)
{
    const char c = field.empty() ? '\0' : field[0];
    if (c >= '0' && c <= '9')
        return c - '0';
    return AlarmStatusIsCode(layout) && c != ' ' ? static_cast<unsigned char>(c) : 0;
}

bool AlarmDelayCodeAsRead(std::string_view stored) { return stored.size() == 3 && stored.substr(1) == "  "; }

bool AlarmDelayTravelsAsCode(AlarmLayout layout, const AlarmUnit& unit)
{
    return layout == AlarmLayoutFull && !IsAlarmModuleModel(unit.modelName);
}

int AlarmDelayCodeOfSeconds(long long seconds)
{
    const auto* found = std::find(std::begin(kDelayCodeSeconds), std::end(kDelayCodeSeconds), seconds);
    return found == std::end(kDelayCodeSeconds) ? -1 : static_cast<int>(found - std::begin(kDelayCodeSeconds));
}

int AlarmDelaySecondsOfCode(long long code)
{
    return code >= 0 && code < static_cast<long long>(std::size(kDelayCodeSeconds))
        ? kDelayCodeSeconds[static_cast<std::size_t>(code)]
        : -1;
}

int AlarmModuleDelayCode(long long stored)
{
    if (AlarmDelaySecondsOfCode(stored) >= 0)
        return static_cast<int>(stored);
    return AlarmDelayCodeOfSeconds(stored);
}

bool AlarmCodeEndsLine(long long code) { return code == '\n' || code == '\r'; }

std::string AlarmPointUnsendable(AlarmLayout layout, const AlarmUnit& unit, const AlarmPointRecord& record)
{
    // A delay carried from another unit's file (seconds a QX7560 keeps, a code
    // a module unit sent) that has no code here is refused, never cut to a digit.
    if (layout == AlarmLayoutFull && fullDelayCode(record, !AlarmDelayTravelsAsCode(layout, unit)) < 0) {
        const long long stored = numberIn(record.InputDelay, 0, 999);
        // Where the file may hold a code or seconds, the value is named as it is stored.
        const std::string delay = AlarmDelayCodeAsRead(record.InputDelay) ? "code " + std::to_string(stored)
                                  : IsAlarmModuleModel(unit.modelName) ? "\"" + Trim(record.InputDelay) + "\" as stored"
                                                                       : std::to_string(stored) + " Sec.";
        return "Input delay " + delay + " of alarm point " + digits(record.Point, 3) + " cannot be sent to the "
            + unit.modelName + ", which takes an input delay of " + kAlarmDelayCodeChoices
            + " only. Nothing was sent to the " + unit.modelName + ".";
    }
    if (!AlarmStatusIsCode(layout))
        return {};
    const Family8Codes codes = family8Codes(record);
    for (const auto& [name, code] : {std::pair{"Status ", codes.status}, std::pair{"Real time ", codes.realTime}})
        if (AlarmCodeEndsLine(code))
            return name + std::to_string(code) + " of alarm point " + digits(record.Point, 3) + " cannot be sent to the "
                + unit.modelName + ", which would take it as the end of the line. Nothing was sent to the "
                + unit.modelName + ".";
    return {};
}

std::string BuildAlarmWriteString(AlarmLayout layout, const AlarmUnit& unit, int slot, const AlarmPointRecord& r)
{
    std::string data = AlarmSlotAddress(layout, slot, unit.indexOffset, true);
    switch (layout) {
    case AlarmLayoutXY:
        data += text(r.Message, 30) + text(r.CancelMessage, 23) + digits(r.Pager, 3) + (r.SendCancel ? "Y" : "N")
            + digits(r.RepeatMinutes, 2) + digits(r.InputDelay, 3) + digits(r.ActivationPlan, 1);
        break;
    case AlarmLayoutU:
        data += (r.Active ? "1" : "0") + digits(r.Pager, 3) + digits(r.CancelPager, 3) + text(r.Message, 30)
            + text(r.CancelMessage, 30) + digits(r.RepeatMinutes, 2) + digits(r.InputDelay, 3)
            + FormatAlarmThreshold(numberIn(r.Threshold, -99, 99)) + listCode(AlarmCodeList::InputType, r.InputType)
            + digits(r.ActivationPlan, 1) + listCode(AlarmCodeList::Pulse, r.Pulse) + "0";
        break;
    case AlarmLayoutFamily8:
    case AlarmLayoutOther: data += family8Fields(r); break;
    case AlarmLayoutFull: data += fullFields(r, !AlarmDelayTravelsAsCode(layout, unit)); break;
    case AlarmLayoutFamily7: data += digits(r.Pager, 3) + text(r.Message, 30) + "   "; break;
    case AlarmLayoutLegacy: data += digits(r.Pager, 3) + text(r.Message, 30); break;
    }
    return data;
}

std::string ReadAlarmSlot(AlarmLayout layout, const AlarmUnit& unit, int slot, std::string* rawReply)
{
    return QueryLink("Z", AlarmSlotAddress(layout, slot, unit.indexOffset, false),
        {.expectedLength = static_cast<std::int16_t>(AlarmReplyLength(layout)),
            .ticks = AlarmReadTicks(layout, unit.slotCount),
            .pokeOnTimeout = true,
            .attempts = 3,
            .reply = rawReply});
}

SlotRead ReadAlarmSlotForDownload(AlarmLayout layout, const AlarmUnit& unit, int slot, AlarmPointRecord& record)
{
    std::string raw;
    std::string value = ReadAlarmSlot(layout, unit, slot, &raw);
    if (value.empty() && layout == AlarmLayoutFull)
        value = ReadAlarmSlot(layout, unit, slot, &raw);
    if (!value.empty()) {
        ParseAlarmReply(layout, value, record, unit.family);
        return SlotRead::Filled;
    }
    // An old unit answers a slot that was never programmed with a bare
    // acknowledgement; the module units never do.
    const bool emptySlot = layout == AlarmLayoutLegacy && !IsAlarmOptionsModel(unit.modelName)
        && unit.family == kFamily7 && raw == "*\r";
    return emptySlot ? SlotRead::Empty : SlotRead::Failed;
}
