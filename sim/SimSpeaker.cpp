#include "SimSpeaker.h"

#include <array>
#include <cstdio>
#include <regex>

namespace sim {

namespace {

using namespace std::chrono;

// The settings only the current firmware has, from the version that brought them.
struct Introduced {
    std::string_view mnemonic;
    int version;
};
constexpr std::array<Introduced, 15> kCurrentOnly = {{
    {"FR1", 300}, {"FBR", 300}, {"FS1", 303}, {"FX", 310},  {"AN", 310},  {"CM", 310},
    {"O", 310},             {"FP", 310},  {"FD", 310},  {"FI", 310},  {"FT1", 310}, {"FR2", 310},
    {"FT2", 310},           {"FBT", 310}, {"FS2", 310},
}};
// The legacy firmware's names for the receiver frequency and baud rate.
constexpr std::array<std::string_view, 2> kLegacyOnly = {"F", "B"};
// What a legacy unit without a supervision capcode lacks.
constexpr std::array<std::string_view, 5> kSupervisionSlots = {"C9", "C7", "C8", "V7", "V8"};

std::string twoDigits(unsigned value)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02u", value % 100);
    return text;
}

int number(const std::string& digits) { return std::stoi(digits); }

} // namespace

SpeakerDevice::SpeakerDevice(std::string version, bool supervision)
    : Device("speaker")
    , supervision_(supervision)
{
    Define({"V", std::move(version), ""});
    // The legacy firmware keeps a seven-digit serial number, the current one eight.
    Define({"S", Current() ? "00000001" : "0000001", R"(\d{7,8})"});
    Define({"FR1", "4575000", R"(\d{7})"});
    Define({"F", "4575000", R"(\d{7})"});
    Define({"FS1", "085", ""});
    Define({"FS2", "090", ""});
    Define({"FBR", "1", "[01]"});
    Define({"B", "1", "[01]"});
    Define({"Q", "5", "[0-9]"});
    Define({"SM", "0", "[01]"});
    Define({"SS", "236", R"(\d{3})"});
    Define({"M", "0", "[0-9]"});
    for (int slot = 1; slot <= 9; ++slot)
        Define({"C" + std::to_string(slot), "0000000", R"(\d{7})"});
    for (int slot = 1; slot <= 8; ++slot)
        Define({"V" + std::to_string(slot), "0", "[0-4]"});
    Define({"FX", "5", "[1-9]"});
    Define({"AN", "5", "[0-9]"});
    Define({"CM", "0003", "[0-9A-F]{4}"});
    Define({"O", "00", "[0-9A-F]{2}|[0-9A-F]{4}"});
    Define({"FP", "2", "[1-9]"});
    Define({"FD", "5", "[1-9]"});
    Define({"FI", "0", "[0-2]"});
    Define({"FBT", "1", "[01]"});
    Define({"FT1", "4678000", R"(\d{7})"});
    Define({"FR2", "1500000", R"(\d{7})"});
    Define({"FT2", "1510000", R"(\d{7})"});
    SetClock(sys_days{2026y / January / 1d} + 12h, 0);
}

int SpeakerDevice::Version() const { return VersionHundredths(Value("V")); }

bool SpeakerDevice::Current() const { return Value("V").size() == 4 && Version() >= 300; }

bool SpeakerDevice::Answers(std::string_view mnemonic) const
{
    for (const Introduced& item : kCurrentOnly)
        if (item.mnemonic == mnemonic)
            return Current() && Version() >= item.version;
    for (std::string_view legacy : kLegacyOnly)
        if (legacy == mnemonic)
            return !Current();
    for (std::string_view slot : kSupervisionSlots)
        if (slot == mnemonic)
            return Current() || supervision_;
    return true;
}

bool SpeakerDevice::Takes(std::string_view mnemonic, std::string_view value) const
{
    if (!Answers(mnemonic))
        return false;
    if (mnemonic == "S")
        return value.size() == (Current() ? 8u : 7u);
    if (mnemonic == "O")
        return value.size() == (Version() >= 314 ? 4u : 2u);
    return true;
}

void SpeakerDevice::SetClock(sys_seconds time, std::int64_t tick)
{
    clock_ = time;
    clockTick_ = tick;
}

sys_seconds SpeakerDevice::Clock(std::int64_t tick) const
{
    return clock_ + seconds((tick - clockTick_) / 20);
}

std::optional<Device::Reply> SpeakerDevice::OwnLine(const std::string& line, std::int64_t tick)
{
    static const std::regex time(R"(PT(\d{2})(\d{2})(\d{2})?)");
    static const std::regex date(R"(PD(\d{2})(\d{2})(\d{2})([1-7]))");
    static const std::regex test(R"(TT([125])([12])W)");
    static const std::regex stop(R"(TT0([12])W)");
    static const std::regex tone(R"(G([TM])(\d{1,2})1211)");
    std::smatch m;

    if (line == "?000M") // serial, model S, option, three digits
        return Answer("12345S0001");
    if (line == "?OV") {
        std::string levels;
        for (int slot = 1; slot <= (Current() || supervision_ ? 8 : 6); ++slot)
            levels += Value("V" + std::to_string(slot));
        return Answer(levels);
    }
    if (line == "?AN?") // the level, then the noise the unit measures now
        return Answers("AN") ? Reply(Answer(Value("AN") + "0042")) : Reply(Refused());

    const sys_seconds now = Clock(tick);
    const sys_days day = floor<days>(now);
    const year_month_day ymd{day};
    const hh_mm_ss hms{now - day};
    if (line == "?D") {
        const unsigned weekday = year_month_weekday{day}.weekday().c_encoding() + 1;
        return Answer(twoDigits(unsigned(ymd.month())) + twoDigits(unsigned(ymd.day()))
                      + twoDigits(unsigned(int(ymd.year()) % 100)) + std::to_string(weekday));
    }
    if (line == "?T") {
        const std::string hhmm = twoDigits(unsigned(hms.hours().count())) + twoDigits(unsigned(hms.minutes().count()));
        return Answer(takesSeconds_ ? hhmm + twoDigits(unsigned(hms.seconds().count())) : hhmm);
    }
    if (std::regex_match(line, m, time)) {
        if (m[3].matched && !takesSeconds_)
            return Refused();
        const int h = number(m[1]), n = number(m[2]), s = m[3].matched ? number(m[3]) : 0;
        if (h > 23 || n > 59 || s > 59)
            return Refused();
        SetClock(day + hours(h) + minutes(n) + seconds(s), tick);
        return Acknowledged();
    }
    if (std::regex_match(line, m, date)) {
        const year_month_day set{year(2000 + number(m[3])), month(unsigned(number(m[1]))),
                                 std::chrono::day(unsigned(number(m[2])))};
        if (!set.ok())
            return Refused();
        SetClock(sys_days{set} + (now - day), tick);
        return Acknowledged();
    }
    if (std::regex_match(line, m, stop)) {
        transmitting_ = 0;
        return Acknowledged();
    }
    if (std::regex_match(line, m, test)) {
        transmitting_ = number(m[2]);
        return Acknowledged();
    }
    if (std::regex_match(line, m, tone)) {
        const int alert = number(m[2]);
        // Alerts below 10 go with "GT", the others with "GM".
        if ((m[1] == "T") != (alert < 10))
            return Refused();
        tones_.push_back(alert);
        return Acknowledged();
    }
    return std::nullopt;
}

} // namespace sim
