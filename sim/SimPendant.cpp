#include "SimDevices.h"

namespace sim {

namespace {

// The number after "Ver." in a version text, or the text's own leading number.
int PendantVersion(std::string_view text)
{
    const std::size_t ver = text.find("Ver.");
    if (ver != std::string_view::npos)
        text.remove_prefix(ver + 4);
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return VersionHundredths(text);
}

bool IsSlotSetting(std::string_view mnemonic, char slot)
{
    return mnemonic.size() == 2 && (mnemonic[0] == 'C' || mnemonic[0] == 'M') && mnemonic[1] == slot;
}

} // namespace

PendantDevice::PendantDevice(std::string model, std::string version, bool legacy)
    : Device("pendant")
    , legacy_(legacy)
{
    SetNeedsButton(true);
    const bool oneButton = model == "PDX-01";
    Define({"VM", legacy ? std::string(oneButton ? "ZORMUL-1" : "ZORPDX-3") : model, ""});
    Define({"V", std::move(version), ""});
    Define({"I", "00000001", R"(\d{8})"});
    Define({"F", "4678000", R"(\d{7})"});
    Define({"P", "2", "[1-9]"});
    Define({"D", "5", "[1-9]"});
    Define({"S", "0", ""});
    for (const char slot : {'1', '2', '3', '4'}) {
        Define({std::string("C") + slot, "0000000", R"(\d{7})"});
        Define({std::string("M") + slot, "", ".{0,50}"});
    }
}

int PendantDevice::Slots() const
{
    const std::string model = Value("VM");
    return model.find("PDX-01") != std::string::npos || model.find("ZORMUL") != std::string::npos ? 3 : 4;
}

bool PendantDevice::HasRadio() const
{
    if (!legacy_)
        return true;
    return PendantVersion(Value("V")) >= (Slots() == 3 ? 200 : 210);
}

bool PendantDevice::Answers(std::string_view mnemonic) const
{
    if (Slots() == 3 && IsSlotSetting(mnemonic, '4'))
        return false;
    if (mnemonic == "I" || mnemonic == "F" || mnemonic == "P" || mnemonic == "D")
        return HasRadio();
    if (mnemonic == "S")
        return !legacy_;
    return true;
}

bool PendantDevice::Takes(std::string_view mnemonic, std::string_view) const { return Answers(mnemonic); }

std::optional<Device::Reply> PendantDevice::OwnLine(const std::string& line, std::int64_t)
{
    // The baud and pager type code, written without "P" by both generations.
    if (line.size() == 3 && line.starts_with("SM") && line[2] >= '0' && line[2] <= '3') {
        SetValue("S", line.substr(2));
        return Acknowledged();
    }
    if (line == "?SM")
        return Answer(Value("S"));
    // A legacy pendant tells its frequency to the kHz, or to the 100 Hz as the current ones do.
    if (legacy_ && line == "?F")
        return HasRadio() ? Answer(Value("F").substr(0, legacyMHz_ ? 7 : 6)) : Refused();
    return std::nullopt;
}

} // namespace sim
