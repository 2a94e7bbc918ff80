#include "KS_DeviceRules.h"

#include <algorithm>

#include "KS_String.h"

namespace {

// Digits without their leading zeros ("" for zero).
std::string_view significant(std::string_view digits)
{
    while (!digits.empty() && digits.front() == '0')
        digits.remove_prefix(1);
    return digits;
}

std::string leftPad(std::string_view digits, int width)
{
    std::string out(digits);
    if (static_cast<int>(out.size()) < width)
        out.insert(0, static_cast<std::size_t>(width) - out.size(), '0');
    return out;
}

// A plain decimal number: digits, at most one point, at least one digit.
struct Decimal {
    std::string_view whole;
    std::string_view fraction;
};

std::optional<Decimal> splitDecimal(std::string_view text)
{
    const std::size_t point = text.find('.');
    Decimal d{text.substr(0, point), point == std::string_view::npos ? std::string_view() : text.substr(point + 1)};
    if (d.whole.empty() && d.fraction.empty())
        return std::nullopt;
    for (std::string_view part : {d.whole, d.fraction})
        if (!part.empty() && !AllDigits(part))
            return std::nullopt;
    return d;
}

// whole.fraction scaled by 10^decimals, rounded half up; nothing past the given size.
std::optional<std::int64_t> scaled(const Decimal& d, int decimals, std::size_t maxWholeDigits)
{
    const std::string_view whole = significant(d.whole);
    if (whole.size() > maxWholeDigits)
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : whole)
        value = value * 10 + (c - '0');
    for (int i = 0; i < decimals; ++i)
        value = value * 10 + (i < static_cast<int>(d.fraction.size()) ? d.fraction[static_cast<std::size_t>(i)] - '0' : 0);
    if (static_cast<int>(d.fraction.size()) > decimals && d.fraction[static_cast<std::size_t>(decimals)] >= '5')
        ++value;
    return value;
}

} // namespace

// ---- Frequencies --------------------------------------------------------------

std::optional<std::int64_t> FrequencyUnits(std::string_view text)
{
    const std::string plain = Trim(StripChar(text, ","));
    if (plain.empty())
        return 0;
    const auto d = splitDecimal(plain);
    if (!d)
        return std::nullopt;
    return scaled(*d, 4, 9);
}

std::string FrequencyText(std::int64_t units)
{
    return leftPad(std::to_string(units / 10000), 3) + "." + leftPad(std::to_string(units % 10000), 4);
}

std::string FormatFrequencyText(std::string_view text)
{
    const auto units = FrequencyUnits(text);
    return FrequencyText(units.value_or(0));
}

bool FrequencyInRange(std::int64_t units) { return units >= kLowestFrequencyUnits && units <= kHighestFrequencyUnits; }

bool FrequencyOnRaster(std::int64_t units) { return units * 2 % 125 == 0; }

std::string FrequencyDigits(std::string_view shown) { return StripChar(shown, "."); }

std::optional<std::string> FrequencyFromDigits(std::string_view digits)
{
    if (digits.size() != 7 || !AllDigits(digits))
        return std::nullopt;
    return std::string(digits.substr(0, 3)) + "." + std::string(digits.substr(3));
}

// ---- Capcodes and digit boxes -------------------------------------------------

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool CapcodeInRange(std::string_view text)
{
    const std::string digits = Trim(text);
    if (!AllDigits(digits))
        return false;
    const std::string_view value = significant(digits);
    if (value.size() > 7)
        return false;
    const std::int64_t n = value.empty() ? 0 : std::stoll(std::string(value));
    return n >= kLowestCapcode && n <= kHighestCapcode;
}

std::string PadDigits(std::string_view text, int width)
{
    const std::string digits = Trim(text);
    return leftPad(AllDigits(digits) ? significant(digits) : std::string_view(), width);
}

std::optional<std::string> IncrementDigits(std::string_view value, std::string_view increment, int width)
{
    // Column by column, so no width of box can overflow a machine integer.
    const std::string a = PadDigits(value, width);
    const std::string b = PadDigits(increment, width);
    const std::size_t n = std::max(a.size(), b.size());
    std::string sum(n, '0');
    int carry = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int da = i < a.size() ? a[a.size() - 1 - i] - '0' : 0;
        const int db = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
        const int s = da + db + carry;
        sum[n - 1 - i] = static_cast<char>('0' + s % 10);
        carry = s / 10;
    }
    if (carry)
        sum.insert(sum.begin(), '1');
    const std::string result = leftPad(significant(sum), width);
    if (static_cast<int>(result.size()) > width)
        return std::nullopt;
    return result;
}

// ---- Identity texts -------------------------------------------------------------

std::optional<std::string> AcknowledgedValue(std::string_view reply)
{
    if (!reply.ends_with("*\r"))
        return std::nullopt;
    reply.remove_suffix(2);
    return std::string(reply);
}

std::optional<int> VersionNumber(std::string_view text)
{
    const std::string plain = Trim(text);
    const auto d = splitDecimal(plain);
    if (!d)
        return std::nullopt;
    const auto value = scaled(*d, 2, 6);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::string VersionText(int hundredths)
{
    return std::to_string(hundredths / 100) + "." + leftPad(std::to_string(hundredths % 100), 2);
}

std::string VersionPlainText(int hundredths)
{
    std::string text = VersionText(hundredths);
    while (text.ends_with('0'))
        text.pop_back();
    if (text.ends_with('.'))
        text.pop_back();
    return text;
}

std::optional<std::string> VersionAfterVer(std::string_view reply, char end, std::string_view marker)
{
    const std::size_t ver = reply.find(marker);
    const std::size_t stop = reply.find(end);
    if (ver == std::string_view::npos || stop == std::string_view::npos)
        return std::nullopt;
    const std::size_t start = ver + 4;
    if (stop <= start)
        return std::nullopt;
    std::string text = Trim(reply.substr(start, stop - start));
    if (text.empty())
        return std::nullopt;
    return text;
}

std::string VersionBetweenVerAndParen(std::string_view reply, std::string_view marker)
{
    return VersionAfterVer(reply, '(', marker).value_or("N/A");
}

std::string DeviceModelText(std::string_view reply)
{
    std::string model;
    for (const char c : reply)
        if (c != '\0' && c != '\r' && c != '\n' && c != '*')
            model += c;
    return model == "RL-CLK" ? "RL-CLK-xxxx" : model;
}
