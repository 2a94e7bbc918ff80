#pragma once
// The device models: each declares its settings on the shared device base.

#include <string>

#include "SimDevice.h"

namespace sim {

// A one-button receiving device: firmware version, pager type and four
// capcodes. It answers only after its button was pressed.
class PaddleDevice : public Device {
public:
    PaddleDevice();
};

// A wireless clock or a receiver that drives clocks. Its model text ("VM")
// decides which modes it has, its firmware ("V") which settings it serves:
// the deviation from 2.15, an analog clock's mode from 2.18, a digital
// clock's mode ("ZAR_UZE") always.
class ClockDevice : public Device {
public:
    explicit ClockDevice(std::string model = "RL-CLK", std::string version = "2.18");

protected:
    bool Answers(std::string_view mnemonic) const override;
    bool Takes(std::string_view mnemonic, std::string_view value) const override;

private:
    bool Digital() const;
    bool Analog() const;
};

} // namespace sim
