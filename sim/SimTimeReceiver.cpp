#include "SimDevices.h"
#include "SimDigits.h"

namespace sim {

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
    clock_.Set({2026, 1, 1, 0, 0, 0}, 0);
}

std::string TimeReceiverDevice::TimeAt(std::int64_t tick) const { return clock_.TimeDigits(tick); }

std::string TimeReceiverDevice::DateAt(std::int64_t tick) const { return clock_.DateDigits(tick); }

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
    // The clock command: HHNNSSMMDDYY in UTC, "U", and the link's "W"; or
    // the older way, the time of day and then the date with its weekday.
    const auto set = [this, tick](std::string_view digits, bool date, bool time) -> Reply {
        return clock_.SetFromDigits(digits, date, time, tick) ? Acknowledged() : Refused();
    };
    if (line.size() == 15 && line[0] == 'T' && line.ends_with("UW") && AllDigits(line.substr(1, 12)))
        return set(line.substr(1, 12), true, true);
    if (line.size() == 6 && line.starts_with("PT") && AllDigits(line.substr(2)))
        return set(line.substr(2), false, true);
    if (line.size() == 9 && line.starts_with("PD") && AllDigits(line.substr(2)))
        return set(line.substr(2, 6), true, false);
    return std::nullopt;
}

} // namespace sim
