// The devices that can stand on the lead, by the name pagora-sim takes.
#include <functional>
#include <utility>

#include "SimAlertDevice.h"
#include "SimDevices.h"
#include "SimSpeaker.h"

namespace sim {

namespace {

using Maker = std::function<std::unique_ptr<Device>()>;

const std::vector<std::pair<std::string, Maker>>& Makers()
{
    static const std::vector<std::pair<std::string, Maker>> makers = {
        {"paddle", [] { return std::make_unique<PaddleDevice>(); }},
        {"clock", [] { return std::make_unique<ClockDevice>(); }},
        {"alerts", [] { return std::make_unique<AlertDevice>(); }},
        {"speaker", [] { return std::make_unique<SpeakerDevice>(); }},
    };
    return makers;
}

} // namespace

std::unique_ptr<Device> MakeDevice(std::string_view name)
{
    for (const auto& [known, make] : Makers())
        if (known == name)
            return make();
    return nullptr;
}

std::vector<std::string> DeviceNames()
{
    std::vector<std::string> names;
    for (const auto& entry : Makers())
        names.push_back(entry.first);
    return names;
}

} // namespace sim
