#pragma once
// The running clock a unit keeps: set at a tick, read at a later one, one
// second per 20 ticks. The encoder and the time receiver carry the same one.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

// Date and time on the unit's clock.
struct ClockTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const ClockTime&) const = default;
};

// 1 for Sunday to 7 for Saturday, as the units count weekdays.
int WeekdayNumber(const ClockTime& t);
bool IsValid(const ClockTime& t);

class UnitClock {
public:
    void Set(const ClockTime& time, std::int64_t tick);
    ClockTime At(std::int64_t tick) const;
    // Digits laid out as the clock commands carry them: the time (HHNN or
    // HHNNSS) first when there is one, then the date (MMDDYY). A field the
    // form does not carry keeps the clock's current value. An impossible date
    // or time is refused (false) and leaves the clock as it was.
    bool SetFromDigits(std::string_view digits, bool date, bool time, std::int64_t tick);
    // "HHNNSS" and "MMDDYYw" as the units answer "?T" and "?D".
    std::string TimeDigits(std::int64_t tick) const;
    std::string DateDigits(std::int64_t tick) const;

private:
    std::chrono::sys_seconds atSet_{};
    std::int64_t setTick_ = 0;
};

} // namespace sim
