#pragma once
// What the benchmarks share: the simulator on the far end of the port, the
// deterministic pump, and the report of a figure against its target.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <string>

#include "CommPort.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "SimEngine.h"

inline constexpr double kTickSeconds = 0.05;

// The far end of the port is the simulator, on the host's tick. With the
// host's line time on, what the host writes reaches the unit only once its
// bytes have had their time on the line, one write after the other.
class SimLine : public SerialBackend {
public:
    explicit SimLine(sim::Engine& engine) : engine_(engine) {}
    void EmulateHostLineTime(int baud) { hostBaud_ = baud; }
    CommError Open(const std::string&) override { return CommError::None; }
    void Close() override { arrived_.clear(); }
    bool Configure(const SerialSettings& settings) override
    {
        engine_.SetHostSettings(FormatSerialSettings(settings));
        return true;
    }
    bool Read(std::string& into, std::size_t max) override
    {
        deliverDue();
        arrived_ += engine_.Transmit(gDelayTicks);
        const std::size_t take = std::min(max, arrived_.size());
        into.append(arrived_, 0, take);
        arrived_.erase(0, take);
        return true;
    }
    long Write(std::string_view bytes) override
    {
        deliverDue();
        if (hostBaud_ == 0) {
            engine_.Receive(bytes, gDelayTicks);
        } else {
            const double ticks = static_cast<double>(bytes.size()) * 10.0 / hostBaud_ / kTickSeconds;
            lineFree_ = std::max(lineFree_, gDelayTicks) + static_cast<std::int64_t>(std::ceil(ticks));
            sending_.push_back({lineFree_, std::string(bytes)});
        }
        return static_cast<long>(bytes.size());
    }
    void DiscardInput() override
    {
        deliverDue();
        engine_.Transmit(gDelayTicks);
        arrived_.clear();
    }

private:
    void deliverDue()
    {
        while (!sending_.empty() && sending_.front().first <= gDelayTicks) {
            engine_.Receive(sending_.front().second, sending_.front().first);
            sending_.pop_front();
        }
    }

    sim::Engine& engine_;
    std::string arrived_;
    int hostBaud_ = 0;
    std::int64_t lineFree_ = 0;
    std::deque<std::pair<std::int64_t, std::string>> sending_;
};

inline void report(benchmark::State& state, double value, double target, const char* unit)
{
    state.counters["value"] = value;
    state.counters["target"] = target;
    state.counters["ratio"] = value / target;
    state.SetLabel(unit);
}

inline void installPump()
{
    SetYieldHook([] {
        AdvanceTick();
        if (!gLinkBusy)
            PollEncoderReply();
    });
}

// Host and unit at 9600 baud, the unit's bytes taking their time on the line, on the tick pump.
inline void lineAt9600(sim::Engine& engine)
{
    gComSettings = "9600,N,8,1";
    engine.SetUnitSettings("9600,N,8,1");
    engine.SetLineTimeEmulation(true);
    installPump();
}
