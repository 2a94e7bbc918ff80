#include "KS_Records.h"

#include <cmath>
#include <cstring>

#include "KS_String.h"

namespace RecordBytes {

namespace {
void checkRange(std::size_t size, std::size_t offset, std::size_t width)
{
    if (offset > size || width > size - offset)
        throw std::out_of_range("record field beyond the record");
}
} // namespace

std::string GetText(std::string_view bytes, std::size_t offset, std::size_t width)
{
    checkRange(bytes.size(), offset, width);
    return std::string(bytes.substr(offset, width));
}

void SetText(std::string& bytes, std::size_t offset, std::size_t width, std::string_view text)
{
    checkRange(bytes.size(), offset, width);
    const std::string field = PadRight(text, width);
    bytes.replace(offset, width, field);
}

std::int16_t GetInt16(std::string_view bytes, std::size_t offset)
{
    checkRange(bytes.size(), offset, 2);
    const auto lo = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]));
    const auto hi = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset + 1]));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

void SetInt16(std::string& bytes, std::size_t offset, std::int16_t value)
{
    checkRange(bytes.size(), offset, 2);
    const auto u = static_cast<std::uint16_t>(value);
    bytes[offset] = static_cast<char>(u & 0xFF);
    bytes[offset + 1] = static_cast<char>(u >> 8);
}

std::uint8_t GetByte(std::string_view bytes, std::size_t offset)
{
    checkRange(bytes.size(), offset, 1);
    return static_cast<std::uint8_t>(bytes[offset]);
}

void SetByte(std::string& bytes, std::size_t offset, std::uint8_t value)
{
    checkRange(bytes.size(), offset, 1);
    bytes[offset] = static_cast<char>(value);
}

double GetDouble(std::string_view bytes, std::size_t offset)
{
    checkRange(bytes.size(), offset, 8);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void SetDouble(std::string& bytes, std::size_t offset, double value)
{
    checkRange(bytes.size(), offset, 8);
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (std::size_t i = 0; i < 8; ++i) {
        bytes[offset + i] = static_cast<char>(bits & 0xFF);
        bits >>= 8;
    }
}

} // namespace RecordBytes

namespace {
const QDate kDateZero(1899, 12, 30);
}

double SerialFromDate(const QDate& date) { return static_cast<double>(kDateZero.daysTo(date)); }

QDate DateFromSerial(double serial)
{
    if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6)
        return {};
    return kDateZero.addDays(static_cast<qint64>(std::floor(serial)));
}

double SerialFromTime(int hours, int minutes) { return (hours * 60.0 + minutes) / 1440.0; }

std::string FormatTimeAmPm(int hours, int minutes)
{
    const int hour12 = hours % 12 == 0 ? 12 : hours % 12;
    return ZeroPad(hour12, 2) + ":" + ZeroPad(minutes, 2) + (hours < 12 ? " AM" : " PM");
}
