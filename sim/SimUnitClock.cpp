#include "SimUnitClock.h"

#include "SimDigits.h"

namespace sim {

namespace {

using namespace std::chrono;

year_month_day Date(const ClockTime& t)
{
    return year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}};
}

std::string TwoDigits(int value)
{
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}

} // namespace

int WeekdayNumber(const ClockTime& t) { return static_cast<int>(weekday{sys_days{Date(t)}}.c_encoding()) + 1; }

bool IsValid(const ClockTime& t)
{
    return Date(t).ok() && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0
        && t.second < 60;
}

void UnitClock::Set(const ClockTime& time, std::int64_t tick)
{
    atSet_ = sys_days{Date(time)} + hours{time.hour} + minutes{time.minute} + seconds{time.second};
    setTick_ = tick;
}

ClockTime UnitClock::At(std::int64_t tick) const
{
    const auto now = atSet_ + seconds{(tick - setTick_) / 20};
    const auto dayStart = floor<days>(now);
    const year_month_day ymd{dayStart};
    const hh_mm_ss hms{now - dayStart};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())), static_cast<int>(hms.hours().count()),
            static_cast<int>(hms.minutes().count()), static_cast<int>(hms.seconds().count())};
}

bool UnitClock::SetFromDigits(std::string_view digits, bool date, bool time, std::int64_t tick)
{
    ClockTime t = At(tick);
    std::size_t at = 0;
    const auto next = [&] {
        const int v = DigitsValue(digits.substr(at, 2));
        at += 2;
        return v;
    };
    if (time) {
        t.hour = next();
        t.minute = next();
        t.second = date || digits.size() >= 6 ? next() : 0;
    }
    if (date) {
        t.month = next();
        t.day = next();
        t.year = 2000 + next();
    }
    if (!IsValid(t))
        return false;
    Set(t, tick);
    return true;
}

std::string UnitClock::TimeDigits(std::int64_t tick) const
{
    const ClockTime c = At(tick);
    return TwoDigits(c.hour) + TwoDigits(c.minute) + TwoDigits(c.second);
}

std::string UnitClock::DateDigits(std::int64_t tick) const
{
    const ClockTime c = At(tick);
    return TwoDigits(c.month) + TwoDigits(c.day) + TwoDigits(c.year % 100) + std::to_string(WeekdayNumber(c));
}

} // namespace sim
