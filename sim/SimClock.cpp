#include "SimDevices.h"

namespace sim {

ClockDevice::ClockDevice(std::string model, std::string version)
    : Device("clock")
{
    Define({"VM", std::move(model), ""});
    Define({"V", std::move(version), ""});
    Define({"S", "00000001", R"(\d{8})"});
    Define({"F", "4678000", R"(\d{7})"});
    Define({"R", "085", ""});
    Define({"D", "5", "[1-9]"});
    Define({"M", "0", "[0-3]"});
}

bool ClockDevice::Digital() const { return Value("VM") == "ZAR_UZE"; }

bool ClockDevice::Analog() const
{
    const std::string model = Value("VM");
    return model == "RL-CLK" || model == "RL9xxx";
}

bool ClockDevice::Answers(std::string_view mnemonic) const
{
    const int version = VersionHundredths(Value("V"));
    if (mnemonic == "D")
        return version >= 215;
    if (mnemonic == "M")
        return Digital() || (Analog() && version >= 218);
    return true;
}

bool ClockDevice::Takes(std::string_view mnemonic, std::string_view value) const
{
    if (!Answers(mnemonic))
        return false;
    // An analog clock runs from a battery (0) or from the mains (1); only a
    // digital clock has the four display and family combinations.
    if (mnemonic == "M" && !Digital())
        return value == "0" || value == "1";
    return true;
}

} // namespace sim
