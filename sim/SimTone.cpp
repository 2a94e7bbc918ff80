// The weekly tone schedule of a tone-generator unit: "?A" reads and "PA"
// sets the active slot, "PE" writes one event of it and "?E" reads one back,
// "GT" and "GM" sound a test tone.

#include "SimEngine.h"

namespace sim {

namespace {

const std::string kRefused = "?99\r";
const std::string kAcknowledged = "*\r";

constexpr int kEventsPerDay = 48;

bool OneOf(char letter, std::string_view letters) { return letters.find(letter) != std::string_view::npos; }

// Where the unit keeps an event's zone: three digits after the time, two after the active flag, or none.
enum class Zone { AfterTime, AfterActive, None };

Zone ZoneOf(char letter)
{
    if (OneOf(letter, "LPJMNOWRXQYK"))
        return Zone::AfterActive;
    if (OneOf(letter, "ST"))
        return Zone::None;
    return Zone::AfterTime;
}

// The unit's weekday digit (1 Sunday .. 7 Saturday) and event number to the table index.
int IndexOf(char dayDigit, int event)
{
    const int day = dayDigit == '1' ? 6 : dayDigit - '2';
    return day * kEventsPerDay + event - 1;
}

std::string DayDigit(int index)
{
    const int day = index / kEventsPerDay;
    return std::string(1, static_cast<char>(day == 6 ? '1' : '2' + day));
}

} // namespace

bool Engine::HasToneSchedule() const
{
    return profile_.toneGenerator.value_or(false) || !profile_.toneReply.empty() || OneOf(profile_.letter, "KST");
}

std::size_t Engine::ToneEventLength() const
{
    switch (ZoneOf(profile_.letter)) {
    case Zone::AfterTime: return 16;
    case Zone::AfterActive: return 15;
    case Zone::None: break;
    }
    return 13;
}

// An event never written: midnight, alert 1, length 0, level 1, inactive, zone 1, no repeat, delay 1.
std::string Engine::ToneEvent(int slot, int index) const
{
    if (const auto kept = toneEvents_.find((slot - 1) * kToneEvents + index); kept != toneEvents_.end())
        return kept->second;
    const int event = index % kEventsPerDay + 1;
    const Zone zone = ZoneOf(profile_.letter);
    return DayDigit(index) + (event < 10 ? "0" : "") + std::to_string(event) + "0000"
        + (zone == Zone::AfterTime ? "001" : "") + "101N" + (zone == Zone::AfterActive ? "01" : "") + "01";
}

void Engine::AddToneCommands()
{
    using M = const std::smatch&;
    using T = std::int64_t;
    const auto add = [this](const char* pattern, CommandHandler handler) {
        commands_.push_back({pattern, std::regex(pattern), std::move(handler)});
    };

    add(R"(\?A)", [](Engine& e, M, T) -> Reply {
        if (!e.HasToneSchedule())
            return kRefused;
        return std::to_string(e.activeToneSlot_) + kAcknowledged;
    });
    add(R"(PA([\s\S]*))", [](Engine& e, M m, T) -> Reply {
        const std::string slot = m.str(1);
        if (!e.HasToneSchedule() || slot.size() != 1 || slot[0] < '1' || slot[0] > '4')
            return kRefused;
        e.activeToneSlot_ = slot[0] - '0';
        return kAcknowledged;
    });
    add(R"(PE(([1-7])(\d{2})(\d{4})[\s\S]*))", [](Engine& e, M m, T) -> Reply {
        const int event = std::stoi(m.str(3));
        const int hhmm = std::stoi(m.str(4));
        if (!e.HasToneSchedule() || m.length(1) != static_cast<std::ptrdiff_t>(e.ToneEventLength()) || event < 1
            || event > kEventsPerDay || hhmm / 100 > 23 || hhmm % 100 > 59)
            return kRefused;
        e.toneEvents_[(e.activeToneSlot_ - 1) * kToneEvents + IndexOf(m.str(2)[0], event)] = m.str(1);
        return kAcknowledged;
    });
    // Characters 1 to 4 of the answer are the unit's echo of the question.
    add(R"(\?E([1-7])(\d{2}))", [](Engine& e, M m, T) -> Reply {
        const int event = std::stoi(m.str(2));
        if (!e.HasToneSchedule() || event < 1 || event > kEventsPerDay)
            return kRefused;
        return "E" + e.ToneEvent(e.activeToneSlot_, IndexOf(m.str(1)[0], event)) + kAcknowledged;
    });
    add(R"(G[TM][\s\S]+)", [](Engine& e, M m, T) -> Reply {
        if (!e.HasToneSchedule())
            return kRefused;
        e.testTones_.push_back(m.str(0));
        return kAcknowledged;
    });
}

} // namespace sim
