#pragma once
// Serial line settings as the console writes them: "38400,N,8,1" (speed,
// parity, data bits, stop bits).

#include <optional>
#include <string>
#include <string_view>

namespace sim {

struct LineSettings {
    int baud = 38400;
    char parity = 'N'; // N, E, O, M or S
    int dataBits = 8;
    int stopBits = 1;

    bool operator==(const LineSettings&) const = default;
    // Bits one character occupies on the wire, start and stop bits included.
    int BitsPerCharacter() const;
    std::string ToString() const;
};

// Reads a settings string; blanks around the fields and the letter case do
// not matter. No value when it is not four sensible fields.
std::optional<LineSettings> ParseLineSettings(std::string_view text);

} // namespace sim
