#pragma once
// The digit fields of the unit's commands.

#include <string_view>

namespace sim {

// A non-empty run of decimal digits.
inline bool AllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The value of a run of decimal digits (checked by the caller).
inline int DigitsValue(std::string_view digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

} // namespace sim
