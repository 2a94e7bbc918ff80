#pragma once
// The wireless PA speaker. It identifies itself as model S, so the console's
// detection names it "PA Speaker". Its firmware decides the command set: a
// four-character version from 3.00 on speaks the current set (signal strength
// from 3.03, radio, configuration and options from 3.10, a four-digit options
// mask from 3.14); any other version text speaks the legacy set ("F", "B", a
// seven-digit serial), in which a unit without a supervision capcode has only
// six capcode slots.

#include <chrono>
#include <cstdint>
#include <string>

#include "SimDevice.h"

namespace sim {

class SpeakerDevice : public Device {
public:
    explicit SpeakerDevice(std::string version = "3.14", bool supervision = true);

    // A legacy unit that takes the time only as "HHNN".
    void SetTakesSeconds(bool on) { takesSeconds_ = on; }

    // The clock as the unit keeps it, running on with the host ticks.
    void SetClock(std::chrono::sys_seconds time, std::int64_t tick);
    std::chrono::sys_seconds Clock(std::int64_t tick) const;

    // The transmitter under test (1 or 2), 0 when none transmits.
    int Transmitting() const { return transmitting_; }
    // The alerts played by the test-tone commands, in order.
    const std::vector<int>& Tones() const { return tones_; }

protected:
    bool Answers(std::string_view mnemonic) const override;
    bool Takes(std::string_view mnemonic, std::string_view value) const override;
    std::optional<Reply> OwnLine(const std::string& line, std::int64_t tick) override;

private:
    bool Current() const;
    int Version() const;

    bool supervision_;
    bool takesSeconds_ = true;
    std::chrono::sys_seconds clock_{};
    std::int64_t clockTick_ = 0;
    int transmitting_ = 0;
    std::vector<int> tones_;
};

} // namespace sim
