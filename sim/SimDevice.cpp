#include "SimDevice.h"

#include <cctype>

namespace sim {

Device::Device(std::string name)
    : name_(std::move(name))
{
}

void Device::Define(const Setting& setting)
{
    Held held{setting, std::nullopt, setting.factory};
    if (!setting.writable.empty())
        held.pattern.emplace(setting.writable);
    settings_.insert_or_assign(setting.mnemonic, std::move(held));
}

void Device::SetNeedsButton(bool on)
{
    needsButton_ = on;
    programming_ = !on;
}

bool Device::Answers(std::string_view) const { return true; }
bool Device::Takes(std::string_view, std::string_view) const { return true; }
std::optional<Device::Reply> Device::OwnLine(const std::string&, std::int64_t) { return std::nullopt; }
std::size_t Device::RawLength(std::string_view) const { return 0; }
Device::Reply Device::HandleRaw(const std::string&, std::int64_t) { return Refused(); }

std::optional<std::string> Device::TakeLineSettings()
{
    auto settings = std::move(lineSettings_);
    lineSettings_.reset();
    return settings;
}

std::string Device::Value(std::string_view mnemonic) const
{
    const auto found = settings_.find(mnemonic);
    return found == settings_.end() ? std::string() : found->second.value;
}

bool Device::SetValue(std::string_view mnemonic, std::string value)
{
    const auto found = settings_.find(mnemonic);
    if (found == settings_.end())
        return false;
    found->second.value = std::move(value);
    return true;
}

void Device::FactoryReset()
{
    for (auto& [mnemonic, held] : settings_)
        held.value = held.setting.factory;
    ++resets_;
}

Device::Reply Device::Handle(const std::string& line, std::int64_t tick)
{
    if (needsButton_ && !programming_) {
        // In normal mode the device listens for the air, not for the lead.
        if (line.empty() && automaticButton_)
            programming_ = true;
        else
            return std::nullopt;
    }
    if (line.empty())
        return Refused();
    if (auto own = OwnLine(line, tick))
        return *own;
    if (line == "?XR") {
        FactoryReset();
        return Acknowledged();
    }
    if (line == "XT") {
        if (needsButton_)
            programming_ = false;
        return Acknowledged();
    }
    if (line.size() > 1 && line[0] == '?') {
        std::string_view mnemonic = std::string_view(line).substr(1);
        // The table form of a query carries a "?" of its own at the end.
        if (!settings_.contains(mnemonic) && mnemonic.ends_with('?'))
            mnemonic.remove_suffix(1);
        return Query(mnemonic);
    }
    if (line.size() > 1 && line[0] == 'P')
        return Write(std::string_view(line).substr(1));
    return Refused();
}

Device::Reply Device::Query(std::string_view mnemonic) const
{
    const auto found = settings_.find(mnemonic);
    if (found == settings_.end() || !Answers(mnemonic))
        return Refused();
    return Answer(found->second.value);
}

// The value follows the mnemonic without a separator, so the longest
// mnemonic whose values fit wins ("PC1" + capcode before any "PC").
Device::Reply Device::Write(std::string_view rest)
{
    Held* best = nullptr;
    for (auto& [mnemonic, held] : settings_) {
        if (!held.pattern || !rest.starts_with(mnemonic))
            continue;
        const std::string value(rest.substr(mnemonic.size()));
        if (!std::regex_match(value, *held.pattern) || !Takes(mnemonic, value))
            continue;
        if (!best || mnemonic.size() > best->setting.mnemonic.size())
            best = &held;
    }
    if (!best)
        return Refused();
    best->value = std::string(rest.substr(best->setting.mnemonic.size()));
    writes_.push_back(std::string(rest));
    return Acknowledged();
}

int VersionHundredths(std::string_view text)
{
    int whole = 0;
    int hundredths = 0;
    int decimals = -1;
    bool any = false;
    for (const char c : text) {
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        any = true;
        if (whole > 100000)
            break;
        if (decimals < 0)
            whole = whole * 10 + (c - '0');
        else if (decimals < 2) {
            hundredths = hundredths * 10 + (c - '0');
            ++decimals;
        }
    }
    if (!any)
        return 0;
    if (decimals == 1)
        hundredths *= 10;
    return whole * 100 + hundredths;
}

} // namespace sim
