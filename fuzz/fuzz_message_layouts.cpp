// The free-text and wireless-device table values as any unit might answer a
// read, in every layout: a value either fills the record so that writing it
// back carries the same fields, or leaves the record as it was. Versions of
// any shape compare consistently.
#include "FuzzSupport.h"
#include "KS_MessageLayouts.h"

namespace {

void CheckFreetext(FreetextLayout layout, const std::string& value)
{
    FreetextEntry entry;
    entry.No = "07 ";
    if (!ParseFreetextValue(layout, value, entry)) {
        FuzzCheck(entry == FreetextEntry{.No = "07 "}, "a refused free-text value changed the entry");
        return;
    }
    FuzzCheck(value.size() == FreetextValueLength(layout), "a free-text value of the wrong length was taken");
    const std::string written = FreetextWriteData(layout, entry);
    FuzzCheck(written.size() == FreetextValueLength(layout), "a free-text write of the wrong length");
    // Keyword and pager (in either order) go back as they came; only the message is trimmed.
    FuzzCheck(written.compare(0, 33, value, 0, 33) == 0, "a free-text write that differs from the read");
}

void CheckWireless(WirelessLayout layout, const std::string& value)
{
    WirelessMessageRecord record;
    if (!ParseWirelessValue(layout, value, record)) {
        FuzzCheck(record == WirelessMessageRecord{}, "a refused wireless value changed the record");
        return;
    }
    const auto written = WirelessWriteValue(layout, record);
    FuzzCheck(written.has_value(), "a read wireless slot cannot be written back");
    FuzzCheck(written->size() == value.size(), "a wireless write of another length than the read");
    // Everything up to the call letter and active flag goes back as it came,
    // save a blank code field, which goes out as zeros.
    const std::size_t same = layout == WirelessLayout::A ? 39 : layout == WirelessLayout::B ? 43 : 44;
    std::string sent = written->substr(0, same);
    std::string read = value.substr(0, same);
    const auto maskBlank = [&](std::size_t at, std::size_t width) {
        if (read.substr(at, width).find_first_not_of(std::string(" \0", 2)) == std::string::npos)
            sent.replace(at, width, width, '#'), read.replace(at, width, width, '#');
    };
    if (layout == WirelessLayout::A)
        maskBlank(35, 3);
    else if (layout == WirelessLayout::B)
        maskBlank(33, 3), maskBlank(36, 3);
    else
        maskBlank(33, 7);
    FuzzCheck(sent == read, "a wireless write that differs from the read");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string a = input.ConsumeRandomLengthString(12);
    const std::string b = input.ConsumeRandomLengthString(12);
    FuzzCheck(CompareVersions(a, b) == -CompareVersions(b, a), "version comparison is not antisymmetric");
    FuzzCheck(CompareVersions(a, a) == 0, "a version differs from itself");

    WirelessDialogFields fields;
    fields.slot = input.ConsumeIntegralInRange<int>(1, 999);
    fields.deviceCode = input.ConsumeRandomLengthString(8);
    fields.cancelCode = input.ConsumeRandomLengthString(4);
    fields.pager = input.ConsumeRandomLengthString(4);
    fields.repeatMinutes = input.ConsumeIntegralInRange<int>(0, 99);
    fields.message = input.ConsumeRandomLengthString(40);
    fields.activationPlan = input.ConsumeIntegralInRange<int>(0, 9);
    fields.supervised = input.ConsumeBool();
    fields.callType = input.ConsumeIntegralInRange<int>(0, 7);

    const std::string value = input.ConsumeRemainingBytesAsString();
    for (const FreetextLayout layout : {FreetextLayout::KeywordFirst, FreetextLayout::Extended, FreetextLayout::PagerFirst})
        CheckFreetext(layout, value);
    for (const WirelessLayout layout : {WirelessLayout::A, WirelessLayout::B, WirelessLayout::C, WirelessLayout::D}) {
        CheckWireless(layout, value);
        const auto saved = WirelessWriteValue(layout, MakeWirelessRecord(layout, fields));
        FuzzCheck(!saved || saved->size() == WirelessValueLength(layout), "a saved slot of the wrong length");
        FuzzCheck(saved || (WirelessLayoutHasShortCode(layout) && FieldNumber(fields.deviceCode) > 999),
                  "a saved slot without a value");
    }
    return 0;
}
