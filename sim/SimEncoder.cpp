// The encoder's command set: one table of line patterns and their handlers.

#include "SimDigits.h"
#include "SimEngine.h"

#include <cstdio>

namespace sim {

namespace {

const std::string kRefused = "?99\r";
const std::string kAcknowledged = "*\r";

std::string Value(std::string_view value) { return std::string(value) + "*\r"; }

std::string TwoDigits(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

std::string FixedWidth(std::string text, std::size_t width, char pad)
{
    text.resize(width, pad);
    return text;
}

} // namespace

void Engine::SetClock(const ClockTime& time, std::int64_t tick) { clock_.Set(time, tick); }

ClockTime Engine::Clock(std::int64_t tick) const { return clock_.At(tick); }

Engine::Reply Engine::SetClockFromDigits(std::string_view digits, bool date, bool time, std::int64_t tick)
{
    return clock_.SetFromDigits(digits, date, time, tick) ? kAcknowledged : kRefused;
}

Engine::Reply Engine::Identity() const
{
    if (!profile_.identifies)
        return kRefused;
    return Value(FixedWidth(profile_.serial, 5, '0') + profile_.letter + profile_.option
                 + FixedWidth(profile_.value3, 3, '0'));
}

Engine::Reply Engine::TableSizeAnswer(const TableSize& table) const
{
    if (!table.size)
        return kRefused;
    std::string digits = std::to_string(*table.size);
    if (digits.size() < static_cast<std::size_t>(table.digits))
        digits.insert(0, static_cast<std::size_t>(table.digits) - digits.size(), '0');
    return Value(digits);
}

Engine::Reply Engine::Page(const std::smatch& m, std::int64_t tick)
{
    const int pagerNo = DigitsValue(m.str(1));
    const bool accepted = pagerNo != 0 && !refusedPagers_.contains(pagerNo);
    pages_.push_back({tick, pagerNo, m.str(2), accepted});
    return accepted ? kAcknowledged : kRefused;
}

Engine::Reply Engine::Dispatch(const std::string& line, std::int64_t tick)
{
    std::smatch m;
    for (const Command& command : commands_) {
        if (std::regex_match(line, m, command.pattern))
            return command.handler(*this, m, tick);
    }
    return kRefused;
}

void Engine::BuildCommandTable()
{
    using M = const std::smatch&;
    using T = std::int64_t;
    const auto add = [this](const char* pattern, CommandHandler handler) {
        commands_.push_back({pattern, std::regex(pattern), std::move(handler)});
    };
    const auto oneCommandClock = [](const Engine& e) { return e.profile_.clock == ClockForm::OneCommand; };

    // The probe: an empty line is always answered, so the host knows the unit is there.
    add("", [](Engine&, M, T) -> Reply { return kRefused; });

    add(R"(\?000M)", [](Engine& e, M, T) { return e.Identity(); });
    add(R"(\?V)", [](Engine& e, M, T) -> Reply {
        return e.profile_.version.empty() || !e.profile_.identifies ? kRefused : Value(e.profile_.version);
    });

    // Table sizes.
    add(R"(Z000\?)", [](Engine& e, M, T) { return e.TableSizeAnswer(e.profile_.alarm); });
    add(R"(C00\?)", [](Engine& e, M, T) { return e.TableSizeAnswer(e.profile_.pabx); });
    add(R"(K00\?)", [](Engine& e, M, T) { return e.TableSizeAnswer(e.profile_.fastkey); });
    add(R"(F00\?)", [](Engine& e, M, T) { return e.TableSizeAnswer(e.profile_.freetext); });
    add(R"(W000\?)", [](Engine& e, M, T) { return e.TableSizeAnswer(e.profile_.wireless); });

    // Tone capabilities.
    add(R"(\?TG)", [](Engine& e, M, T) -> Reply {
        if (!e.profile_.toneGenerator)
            return kRefused;
        return Value(*e.profile_.toneGenerator ? "TG1" : "TG0");
    });
    add(R"(\?TC)", [](Engine& e, M, T) -> Reply {
        if (!e.profile_.calendarEventsPerDay)
            return kRefused;
        return Value(TwoDigits(*e.profile_.calendarEventsPerDay));
    });

    // The clock, read. The older units answer "?T" with their tone generator
    // when they have one; otherwise "?T" is the time of day.
    add(R"(\?T)", [oneCommandClock](Engine& e, M, T tick) -> Reply {
        if (!e.profile_.toneReply.empty())
            return Value(e.profile_.toneReply);
        if (oneCommandClock(e))
            return kRefused;
        const ClockTime c = e.Clock(tick);
        return Value(TwoDigits(c.hour) + TwoDigits(c.minute) + TwoDigits(c.second));
    });
    add(R"(\?D)", [oneCommandClock](Engine& e, M, T tick) -> Reply {
        if (oneCommandClock(e))
            return kRefused;
        const ClockTime c = e.Clock(tick);
        return Value(TwoDigits(c.month) + TwoDigits(c.day) + TwoDigits(c.year)
                     + std::to_string(WeekdayNumber(c)));
    });
    // Time, date and weekday, then a check digit over those thirteen digits.
    add("QT", [oneCommandClock](Engine& e, M, T tick) -> Reply {
        if (!oneCommandClock(e))
            return kRefused;
        const ClockTime c = e.Clock(tick);
        std::string digits = TwoDigits(c.hour) + TwoDigits(c.minute) + TwoDigits(c.second) + TwoDigits(c.month)
            + TwoDigits(c.day) + TwoDigits(c.year) + std::to_string(WeekdayNumber(c));
        int sum = 0;
        for (const char d : digits)
            sum += d - '0';
        return digits + std::to_string(sum % 10) + "\r";
    });

    // The clock, set.
    add(R"(T(\d{12})UW)", [oneCommandClock](Engine& e, M m, T tick) -> Reply {
        if (!oneCommandClock(e))
            return kRefused;
        return e.SetClockFromDigits(m.str(1), true, true, tick);
    });
    add(R"(PT(\d{6}|\d{4}))", [oneCommandClock](Engine& e, M m, T tick) -> Reply {
        if (oneCommandClock(e) || (m.length(1) == 6 && !e.profile_.acceptsSecondsInTime))
            return kRefused;
        return e.SetClockFromDigits(m.str(1), false, true, tick);
    });
    add(R"(PD(\d{6})[1-7])", [oneCommandClock](Engine& e, M m, T tick) -> Reply {
        if (oneCommandClock(e))
            return kRefused;
        return e.SetClockFromDigits(m.str(1), true, false, tick);
    });

    // Pages. A bare "P" is how the older units are told apart.
    add("P", [](Engine& e, M, T) -> Reply {
        return !e.profile_.identifies && e.profile_.acknowledgesBarePage ? kAcknowledged : kRefused;
    });
    add(R"(P(\d{3})([\s\S]*))", [](Engine& e, M m, T tick) { return e.Page(m, tick); });

    AddUserCommands();
    AddAlarmCommands();
    AddMessageTableCommands();
    AddKeywordAndDeviceCommands();
    AddToneCommands();
    AddCalendarCommands();
}

} // namespace sim
