#pragma once
// The port's far end as a simulated encoder: host writes go into the engine at
// the current tick, and the engine's bytes come out when they are due. With
// LinkHarness's pump (one tick per yield, then the receiver) every transcript
// is exact.

#include <string>

#if __has_include("SimEngine.h")
#include "CommPort.h"
#include "SimEngine.h"

class SimBackend : public SerialBackend {
public:
    explicit SimBackend(sim::Engine& engine) : engine_(engine) {}

    CommError Open(const std::string& device) override;
    void Close() override;
    bool Configure(const SerialSettings& settings) override;
    bool Read(std::string& into, std::size_t max) override;
    long Write(std::string_view bytes) override;
    void DiscardInput() override;

    int opens = 0; // how often the port was opened

private:
    sim::Engine& engine_;
    std::string arrived_; // due bytes the port has not taken yet
};

// A serial adapter that can be pulled out and plugged back in: while it is
// out, every read and write reports the device gone and it cannot be opened.
class UnpluggableLine : public SimBackend {
public:
    using SimBackend::SimBackend;
    CommError Open(const std::string& device) override
    {
        return unplugged ? CommError::DeviceUnavailable : SimBackend::Open(device);
    }
    bool Read(std::string& into, std::size_t max) override { return !unplugged && SimBackend::Read(into, max); }
    long Write(std::string_view bytes) override { return unplugged ? -1 : SimBackend::Write(bytes); }

    bool unplugged = false;
};

#endif
