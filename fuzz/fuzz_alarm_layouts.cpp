// An alarm slot as any unit might answer it: parsed into a record, written
// back, and parsed again. The write always has its layout's exact length,
// and after one pass through the record the write is a fixed point, so an
// upload of a downloaded table sends what it read.
#include <iterator>

#include "FuzzSupport.h"
#include "KS_AlarmLayouts.h"

namespace {
struct Unit {
    const char* letter;
    const char* family;
    bool identified;
};
constexpr Unit kUnits[] = {
    {"A", "QX8XXX", true}, {"B", "QX8XXX", true}, {"E", "QX7XXX", true}, {"G", "QX7XXX", true},
    {"H", "QX7XXX", true}, {"I", "QX7XXX", true}, {"L", "QX7XXX", true}, {"J", "QX7XXX", true},
    {"U", "Not Defined", true}, {"X", "Not Defined", true}, {"Y", "Not Defined", true},
    {"R", "Not Defined", true}, {"", "QX7XXX", false}, {"", "QX8XXX", false},
};

std::size_t writeLength(AlarmLayout layout)
{
    return layout == AlarmLayoutFamily7 ? 36 : static_cast<std::size_t>(AlarmReplyLength(layout));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const Unit& u = kUnits[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kUnits) - 1)];
    AlarmUnit unit{u.letter, u.family, "", u.identified, input.ConsumeIntegralInRange<int>(-5, 1000),
                   input.ConsumeIntegralInRange<int>(-5, 100000)};
    const AlarmLayout layout = SelectAlarmLayout(unit);
    const int slot = input.ConsumeIntegralInRange<int>(-5, 1000);
    const std::string address = AlarmSlotAddress(layout, slot, unit.indexOffset, true);
    FuzzCheck(address.size() == (layout == AlarmLayoutLegacy ? 1u : 3u), "a slot address of the wrong width");
    FuzzCheck(AlarmReadTicks(layout, unit.slotCount) >= 0, "a negative read wait");

    std::string value = input.ConsumeRemainingBytesAsString();
    AlarmPointRecord untouched;
    ParseAlarmReply(layout, value, untouched, unit.family);
    if (value.size() != static_cast<std::size_t>(AlarmReplyLength(layout)))
        FuzzCheck(untouched == AlarmPointRecord{}, "a reply of the wrong length changed the record");
    value.resize(static_cast<std::size_t>(AlarmReplyLength(layout)), ' ');

    AlarmPointRecord first;
    ParseAlarmReply(layout, value, first, unit.family);
    const std::string written = BuildAlarmWriteString(layout, unit, slot, first);
    FuzzCheck(written.size() == address.size() + writeLength(layout), "a write of the wrong length");
    if (layout == AlarmLayoutOther)
        return 0; // nothing is read from such a unit, so there is nothing to compare
    AlarmPointRecord second;
    ParseAlarmReply(layout, written.substr(address.size(), value.size()), second, unit.family);
    FuzzCheck(BuildAlarmWriteString(layout, unit, slot, second) == written, "a write that changes on the next round");
    return 0;
}
