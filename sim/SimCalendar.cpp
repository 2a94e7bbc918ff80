// The tone calendar of a unit that keeps one: up to its number of events for
// each day of the year, by month and day (the unit keeps no year). "PCD"
// writes one day, "?CD" reads one back.

#include "SimEngine.h"

namespace sim {

namespace {

const std::string kRefused = "?99\r";
const std::string kAcknowledged = "*\r";
constexpr std::size_t kEventLength = 14;
// A day never written: each event at midnight, no zone, alert 1, length 0, level 1, no repeat, delay 1, inactive.
constexpr std::string_view kEmptyEvent = "0000000010101N";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Month and day of a leap year, so 29 February is a day of the calendar.
bool IsCalendarDay(int month, int day)
{
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 && day >= 1 && day <= kDays[month - 1];
}

// Thirteen digits and the active flag per event.
bool AreEvents(std::string_view events)
{
    if (events.size() % kEventLength != 0)
        return false;
    for (std::size_t at = 0; at < events.size(); at += kEventLength) {
        for (std::size_t i = 0; i < kEventLength - 1; ++i)
            if (!IsDigit(events[at + i]))
                return false;
        if (events[at + kEventLength - 1] != 'Y' && events[at + kEventLength - 1] != 'N')
            return false;
    }
    return true;
}

} // namespace

std::string Engine::CalendarDay(int month, int day) const
{
    if (const auto kept = calendarDays_.find(month * 100 + day); kept != calendarDays_.end())
        return kept->second;
    std::string events;
    for (int k = 0; k < profile_.calendarEventsPerDay.value_or(0); ++k)
        events += kEmptyEvent;
    return events;
}

void Engine::AddCalendarCommands()
{
    using M = const std::smatch&;
    using T = std::int64_t;
    const auto add = [this](const char* pattern, CommandHandler handler) {
        commands_.push_back({pattern, std::regex(pattern), std::move(handler)});
    };

    add(R"(PCD(\d{2})(\d{2})([\s\S]*)\*)", [](Engine& e, M m, T) -> Reply {
        const int month = std::stoi(m.str(1));
        const int day = std::stoi(m.str(2));
        const std::string events = m.str(3);
        const int perDay = e.profile_.calendarEventsPerDay.value_or(0);
        if (perDay < 1 || !IsCalendarDay(month, day) || events.empty() || !AreEvents(events)
            || events.size() / kEventLength > static_cast<std::size_t>(perDay))
            return kRefused;
        e.calendarDays_[month * 100 + day] = events;
        return kAcknowledged;
    });
    // The answer opens with "C" and the day asked for, five characters in all.
    add(R"(\?CD(\d{2})(\d{2})\?)", [](Engine& e, M m, T) -> Reply {
        const int month = std::stoi(m.str(1));
        const int day = std::stoi(m.str(2));
        if (e.profile_.calendarEventsPerDay.value_or(0) < 1 || !IsCalendarDay(month, day))
            return kRefused;
        return "C" + m.str(1) + m.str(2) + e.CalendarDay(month, day) + kAcknowledged;
    });
}

} // namespace sim
