#include "SimLine.h"

#include <cctype>
#include <charconv>
#include <vector>

namespace sim {

namespace {

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::optional<int> ToInt(std::string_view s)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

} // namespace

int LineSettings::BitsPerCharacter() const
{
    return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits;
}

std::string LineSettings::ToString() const
{
    return std::to_string(baud) + ',' + parity + ',' + std::to_string(dataBits) + ','
        + std::to_string(stopBits);
}

std::optional<LineSettings> ParseLineSettings(std::string_view text)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const auto comma = text.find(',');
        fields.push_back(TrimBlanks(text.substr(0, comma)));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    if (fields.size() != 4 || fields[1].size() != 1)
        return std::nullopt;

    LineSettings s;
    const auto baud = ToInt(fields[0]);
    const auto data = ToInt(fields[2]);
    const auto stop = ToInt(fields[3]);
    const char parity = static_cast<char>(std::toupper(static_cast<unsigned char>(fields[1][0])));
    if (!baud || *baud <= 0 || !data || *data < 5 || *data > 8 || !stop || *stop < 1 || *stop > 2
        || std::string_view("NEOMS").find(parity) == std::string_view::npos)
        return std::nullopt;
    s.baud = *baud;
    s.parity = parity;
    s.dataBits = *data;
    s.stopBits = *stop;
    return s;
}

} // namespace sim
