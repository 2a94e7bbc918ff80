#include "KS_MessageLayouts.h"

#include "KS_String.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The whole and fraction digits of a version, leading zeros of the whole part
// and trailing zeros of the fraction dropped so equal numbers compare equal.
struct VersionDigits {
    std::string whole;
    std::string fraction;
};

VersionDigits SplitVersion(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    VersionDigits v;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        v.whole += text[i];
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && IsDigit(text[i]); ++i)
            v.fraction += text[i];
    v.whole.erase(0, v.whole.find_first_not_of('0') == std::string::npos ? v.whole.size()
                                                                          : v.whole.find_first_not_of('0'));
    while (!v.fraction.empty() && v.fraction.back() == '0')
        v.fraction.pop_back();
    return v;
}

bool IsLetter(std::string_view modelLetter, char letter) { return modelLetter.size() == 1 && modelLetter[0] == letter; }

bool AtLeast(std::string_view version, std::string_view threshold) { return CompareVersions(version, threshold) >= 0; }

// A text field that no one has set, or set to nothing.
bool IsBlank(std::string_view field) { return field.find_first_not_of(std::string_view(" \0", 2)) == std::string_view::npos; }

std::string Digits(long value, int width) { return ZeroPad(value, width); }

} // namespace

int CompareVersions(std::string_view a, std::string_view b)
{
    const VersionDigits x = SplitVersion(a);
    const VersionDigits y = SplitVersion(b);
    if (x.whole.size() != y.whole.size())
        return x.whole.size() < y.whole.size() ? -1 : 1;
    if (const int c = x.whole.compare(y.whole); c != 0)
        return c < 0 ? -1 : 1;
    const int c = x.fraction.compare(y.fraction);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

long FieldNumber(std::string_view field)
{
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    long value = 0;
    // Record fields are at most seven digits; more cannot overflow a long either way.
    for (int n = 0; i < field.size() && IsDigit(field[i]) && n < 9; ++i, ++n)
        value = value * 10 + (field[i] - '0');
    return value;
}

// ---- Free-text keywords ------------------------------------------------------

FreetextLayout ChooseFreetextLayout(std::string_view modelLetter, std::string_view version)
{
    if (IsLetter(modelLetter, 'Y'))
        return FreetextLayout::KeywordFirst;
    if (IsLetter(modelLetter, 'X'))
        return AtLeast(version, "3.1") ? FreetextLayout::Extended : FreetextLayout::KeywordFirst;
    if (IsLetter(modelLetter, 'R'))
        return FreetextLayout::Extended;
    return FreetextLayout::PagerFirst;
}

bool FreetextTableReadable(std::string_view modelLetter, std::string_view version)
{
    return !IsLetter(modelLetter, 'X') || AtLeast(version, "3.1");
}

std::size_t FreetextValueLength(FreetextLayout layout)
{
    switch (layout) {
    case FreetextLayout::KeywordFirst: return 34;
    case FreetextLayout::Extended: return 65;
    case FreetextLayout::PagerFirst: return 33;
    }
    return 0;
}

bool ParseFreetextValue(FreetextLayout layout, std::string_view value, FreetextEntry& entry)
{
    if (value.size() != FreetextValueLength(layout))
        return false;
    entry.Message = std::string(30, ' ');
    entry.ReplaceKeyword = kFlagNo;
    switch (layout) {
    case FreetextLayout::KeywordFirst:
        entry.Keyword = value.substr(0, 30);
        entry.Pager = value.substr(30, 3);
        break;
    case FreetextLayout::Extended:
        entry.Keyword = value.substr(0, 30);
        entry.Pager = value.substr(30, 3);
        entry.Message = value.substr(33, 30);
        entry.ReplaceKeyword = value[63] == 'Y' ? kFlagYes : kFlagNo;
        break;
    case FreetextLayout::PagerFirst:
        entry.Pager = value.substr(0, 3);
        entry.Keyword = value.substr(3, 30);
        break;
    }
    return true;
}

std::string FreetextWriteData(FreetextLayout layout, const FreetextEntry& entry)
{
    const std::string active = FieldNumber(entry.Pager) > 0 ? "1" : "0";
    switch (layout) {
    case FreetextLayout::KeywordFirst: return entry.Keyword + entry.Pager + active;
    case FreetextLayout::Extended:
        return entry.Keyword + entry.Pager + PadRight(Trim(entry.Message), 30) + (entry.ReplaceKeyword != 0 ? "Y" : "N")
            + active;
    case FreetextLayout::PagerFirst: return entry.Pager + entry.Keyword;
    }
    return {};
}

FreetextEntry MakeFreetextEntry(int slot, std::string_view pager, std::string_view keyword, std::string_view message,
                                bool replaceKeyword)
{
    FreetextEntry entry;
    entry.No = Digits(slot, 2) + " ";
    entry.Pager = Digits(FieldNumber(pager) % 1000, 3);
    entry.Keyword = PadRight(Trim(keyword), 30);
    entry.Message = PadRight(Trim(message), 30);
    entry.ReplaceKeyword = replaceKeyword ? kFlagYes : kFlagNo;
    entry.Reserved = UnsetText(2);
    return entry;
}

// ---- Wireless-device messages --------------------------------------------------

WirelessLayout ChooseWirelessLayout(std::string_view modelLetter, std::string_view version)
{
    const bool x = IsLetter(modelLetter, 'X');
    const bool r = IsLetter(modelLetter, 'R');
    if (!x && !r && !IsLetter(modelLetter, 'Y'))
        return WirelessLayout::A;
    if ((x && AtLeast(version, "3.2")) || (r && AtLeast(version, "1.05")))
        return WirelessLayout::D;
    if ((x && AtLeast(version, "3.16")) || (r && AtLeast(version, "1.02")))
        return WirelessLayout::C;
    return WirelessLayout::B;
}

std::size_t WirelessValueLength(WirelessLayout layout)
{
    switch (layout) {
    case WirelessLayout::A: return 39;
    case WirelessLayout::B: return 44;
    case WirelessLayout::C:
    case WirelessLayout::D: return 46;
    }
    return 0;
}

bool WirelessLayoutHasShortCode(WirelessLayout layout) { return layout == WirelessLayout::A || layout == WirelessLayout::B; }

bool ParseWirelessValue(WirelessLayout layout, std::string_view value, WirelessMessageRecord& record)
{
    if (value.size() != WirelessValueLength(layout))
        return false;
    switch (layout) {
    case WirelessLayout::A:
        record.Pager = value.substr(0, 3);
        record.Message = value.substr(3, 30);
        record.RepeatMinutes = value.substr(33, 2);
        record.DeviceCode = value.substr(35, 3);
        record.Supervised = value.substr(38, 1);
        record.CallType = "4";
        record.CancelDeviceCode = "000";
        record.ActivationPlan = "0";
        break;
    case WirelessLayout::B:
        record.Message = value.substr(0, 30);
        record.Pager = value.substr(30, 3);
        record.DeviceCode = value.substr(33, 3);
        record.CancelDeviceCode = value.substr(36, 3);
        record.RepeatMinutes = value.substr(39, 2);
        record.ActivationPlan = value.substr(41, 1);
        record.Supervised = value.substr(42, 1);
        record.CallType = "0";
        break;
    case WirelessLayout::C:
    case WirelessLayout::D: {
        record.Message = value.substr(0, 30);
        record.Pager = value.substr(30, 3);
        record.DeviceCodeLong = value.substr(33, 7);
        record.RepeatMinutes = value.substr(40, 2);
        record.ActivationPlan = value.substr(42, 1);
        record.Supervised = value.substr(43, 1);
        const char call = value[44];
        constexpr std::string_view kLettersD = "CT1234";
        constexpr std::string_view kCodesD = "234567";
        if (layout == WirelessLayout::C)
            record.CallType = call == 'N' ? "4" : call == 'C' ? "2" : "0";
        else if (const std::size_t at = kLettersD.find(call); at != std::string_view::npos)
            record.CallType = std::string(1, kCodesD[at]);
        else
            record.CallType = "0";
        break;
    }
    }
    return true;
}

long WirelessDeviceCode(const WirelessMessageRecord& record)
{
    return IsBlank(record.DeviceCodeLong) ? FieldNumber(record.DeviceCode) : FieldNumber(record.DeviceCodeLong);
}

std::optional<std::string> WirelessWriteValue(WirelessLayout layout, const WirelessMessageRecord& record)
{
    const std::string active = FieldNumber(record.Pager) > 0 ? "1" : "0";
    const long code = WirelessDeviceCode(record);
    if (WirelessLayoutHasShortCode(layout)) {
        std::string shortCode = record.DeviceCode;
        if (IsBlank(shortCode)) {
            if (code > 999)
                return std::nullopt;
            shortCode = Digits(code, 3);
        }
        if (layout == WirelessLayout::A)
            return record.Pager + record.Message + record.RepeatMinutes + shortCode + record.Supervised;
        // A slot last read in a layout without a cancel code has none; the unit takes zeros for none.
        const std::string cancel = IsBlank(record.CancelDeviceCode) ? "000" : record.CancelDeviceCode;
        return record.Message + record.Pager + shortCode + cancel + record.RepeatMinutes + record.ActivationPlan
            + record.Supervised + active;
    }
    const std::string longCode = IsBlank(record.DeviceCodeLong) ? Digits(code, 7) : record.DeviceCodeLong;
    const long callType = FieldNumber(record.CallType);
    std::string call;
    if (layout == WirelessLayout::C)
        call = callType == 2 ? "C" : "N";
    else
        call = callType >= 2 && callType <= 7 ? std::string(1, "CT1234"[callType - 2]) : "1";
    return record.Message + record.Pager + longCode + record.RepeatMinutes + record.ActivationPlan + record.Supervised
        + call + active;
}

WirelessMessageRecord MakeWirelessRecord(WirelessLayout layout, const WirelessDialogFields& fields)
{
    WirelessMessageRecord record;
    const long code = FieldNumber(fields.deviceCode);
    record.Slot = Digits(fields.slot, 3);
    record.Pager = Digits(FieldNumber(fields.pager) % 1000, 3);
    record.Message = PadRight(Trim(fields.message), 30);
    record.RepeatMinutes = Digits(fields.repeatMinutes % 100, 2);
    if (code <= 999)
        record.DeviceCode = Digits(code, 3);
    record.CancelDeviceCode = Digits(FieldNumber(fields.cancelCode) % 1000, 3);
    record.Supervised = fields.supervised ? "Y" : "N";
    record.ActivationPlan = Digits(fields.activationPlan % 10, 1);
    record.DeviceCodeLong = Digits(code % 10000000, 7);
    if (layout == WirelessLayout::D)
        record.CallType = fields.callType >= 2 && fields.callType <= 7 ? Digits(fields.callType, 1) : "4";
    else
        record.CallType = fields.callType == 2 ? "2" : "1";
    return record;
}
