#include <chrono>

#include "SimDevices.h"

namespace sim {

namespace {

using namespace std::chrono;

constexpr std::int64_t kTicksPerSecond = 20;

std::string TwoDigits(long value)
{
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}

bool Digits(std::string_view text, std::size_t count)
{
    if (text.size() != count)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

int Number(std::string_view digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// Seconds since 1970 of a date and time of day; nothing when there is no such date or time.
std::optional<std::int64_t> Seconds(int year, int month, int day, int hour, int minute, int second)
{
    const year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok() || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return sys_days(date).time_since_epoch().count() * 86400LL + hour * 3600 + minute * 60 + second;
}

} // namespace

TimeReceiverDevice::TimeReceiverDevice()
    : Device("timereceiver")
{
    Define({"V", "RL7990 Ver. 1.05 (Jan 2026)", ""});
    Define({"S", "0000001", R"(\d{7})"});
    Define({"PS", "0", "[0-2]"});
    Define({"QZ", "05", "[0-3][0-9]|4[0-7]"});
    Define({"PD", "0", "[01]"});
    Define({"PM", "0", "[014]"});
    Define({"PT", "3", "[0-3]"});
    Define({"QM", "0600", "([01][0-9]|2[0-3])[0-5][0-9]"});
    Define({"C", "0000000", R"(\d{7})"});
    Define({"QD", "5", "[1-9]"});
    Define({"SM", "0", "[01]"});
    Define({"SS", "000", "[01][0-9][0-9]|2[0-8][0-9]|29[0-9]"});
    Define({"M", "0", "[0-9]"});
    Define({"B", "1", "[01]"});
    Define({"TG", "0", "[01]"});
    clock_ = *Seconds(2026, 1, 1, 0, 0, 0);
}

std::int64_t TimeReceiverDevice::SecondsAt(std::int64_t tick) const
{
    return clock_ + (tick - setAt_) / kTicksPerSecond;
}

void TimeReceiverDevice::SetClock(std::int64_t seconds, std::int64_t tick)
{
    clock_ = seconds;
    setAt_ = tick;
}

std::string TimeReceiverDevice::TimeAt(std::int64_t tick) const
{
    const std::int64_t s = SecondsAt(tick) % 86400;
    return TwoDigits(static_cast<long>(s / 3600)) + TwoDigits(static_cast<long>(s / 60 % 60))
        + TwoDigits(static_cast<long>(s % 60));
}

std::string TimeReceiverDevice::DateAt(std::int64_t tick) const
{
    const sys_days days{std::chrono::days(SecondsAt(tick) / 86400)};
    const year_month_day date{days};
    // Sunday is the first day of the device's week.
    const unsigned weekday = std::chrono::weekday(days).c_encoding() + 1;
    return TwoDigits(static_cast<long>(static_cast<unsigned>(date.month())))
        + TwoDigits(static_cast<long>(static_cast<unsigned>(date.day())))
        + TwoDigits(static_cast<long>(static_cast<int>(date.year()) % 100)) + std::to_string(weekday);
}

std::optional<Device::Reply> TimeReceiverDevice::OwnLine(const std::string& line, std::int64_t tick)
{
    // The identification an encoder gives: serial, model letter, option, three digits.
    if (line == "?000M")
        return Answer(Value("S").substr(2) + "Q0000");
    // What the console's detection asks an encoder besides: no tables, no calendar.
    if (line == "Z000?")
        return Answer("000");
    if (line == "C00?" || line == "?TC")
        return Answer("00");
    if (line == "?TG")
        return Answer("TG" + Value("TG"));
    if (line == "?D")
        return Answer(DateAt(tick));
    if (line == "?T")
        return Answer(TimeAt(tick));
    if (line == "TT0?" || line == "TT1?") {
        trx_ = true;
        return Answer(line[2] == '0' ? "1-512" : "1-1200");
    }
    if (line == "?") {
        trx_ = false;
        return Refused();
    }
    // The clock command: HHNNSSMMDDYY in UTC, "U", and the link's "W".
    if (line.size() == 15 && line[0] == 'T' && line.ends_with("UW") && Digits(line.substr(1, 12), 12)) {
        const std::string_view d = std::string_view(line).substr(1, 12);
        const auto seconds = Seconds(2000 + Number(d.substr(10, 2)), Number(d.substr(6, 2)), Number(d.substr(8, 2)),
                                     Number(d.substr(0, 2)), Number(d.substr(2, 2)), Number(d.substr(4, 2)));
        if (!seconds)
            return Refused();
        SetClock(*seconds, tick);
        return Acknowledged();
    }
    // The older way: the time of day, then the date with its weekday.
    if (line.size() == 6 && line.starts_with("PT") && Digits(line.substr(2), 4)) {
        const std::int64_t now = SecondsAt(tick);
        const auto time = Seconds(1970, 1, 1, Number(line.substr(2, 2)), Number(line.substr(4, 2)), 0);
        if (!time)
            return Refused();
        SetClock(now - now % 86400 + *time, tick);
        return Acknowledged();
    }
    if (line.size() == 9 && line.starts_with("PD") && Digits(line.substr(2), 7)) {
        const std::int64_t now = SecondsAt(tick);
        const auto date = Seconds(2000 + Number(line.substr(6, 2)), Number(line.substr(2, 2)),
                                  Number(line.substr(4, 2)), 0, 0, 0);
        if (!date)
            return Refused();
        SetClock(*date + now % 86400, tick);
        return Acknowledged();
    }
    return std::nullopt;
}

} // namespace sim
