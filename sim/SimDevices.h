#pragma once
// The device models: each declares its settings on the shared device base.

#include <string>

#include "SimDevice.h"
#include "SimUnitClock.h"

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

// A pendant: PDX-01 (three capcode slots) or PDX-03 (four), each slot with
// a message of up to 50 characters, the pager baud and type code, and its
// serial number and radio settings. The current generation names its model
// ("VM") and answers "?S"; the legacy generation names a family tag
// ("ZORMUL", "ZORPDX"), answers the code only to "?SM", its frequency in six
// digits, and has no serial number or radio settings below PDX-01 2.00 /
// PDX-03 2.10. Both take the code as "SM" and a digit, without "P".
class PendantDevice : public Device {
public:
    explicit PendantDevice(std::string model = "PDX-03", std::string version = "2.10", bool legacy = false);
    // A legacy pendant that already tells its frequency in MHz, seven digits.
    void SetLegacyFrequencyInMHz(bool on) { legacyMHz_ = on; }

protected:
    bool Answers(std::string_view mnemonic) const override;
    bool Takes(std::string_view mnemonic, std::string_view value) const override;
    std::optional<Reply> OwnLine(const std::string& line, std::int64_t tick) override;

private:
    int Slots() const;
    bool HasRadio() const;
    bool legacy_;
    bool legacyMHz_ = false;
};

// The time receiver RL7990: it identifies itself as an encoder of letter Q,
// holds its time settings by mnemonic, keeps a running clock set by the
// clock command ("T" HHNNSSMMDDYY "U", with the link's "W") or by "PT" HHNN
// and "PD" MMDDYYw, and runs a radio test from "TT0?" / "TT1?" until a bare "?".
class TimeReceiverDevice : public Device {
public:
    TimeReceiverDevice();

    bool TRXTestRunning() const { return trx_; }
    // The clock as the device would answer at the tick: "HHNNSS" and "MMDDYYw".
    std::string TimeAt(std::int64_t tick) const;
    std::string DateAt(std::int64_t tick) const;

protected:
    std::optional<Reply> OwnLine(const std::string& line, std::int64_t tick) override;

private:
    bool trx_ = false;
    UnitClock clock_;
};

} // namespace sim
