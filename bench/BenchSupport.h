#pragma once
// What the benchmark programs share: the simulator on the far end of the
// port, the tick pump, a data folder of their own and the way a figure is
// reported against its target.
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <deque>
#include <string>

#include "CommPort.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "SimEngine.h"

namespace bench {

using Clock = std::chrono::steady_clock;
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

// Bytes waiting on the line, all of them at once.
class FloodLine : public SerialBackend {
public:
    explicit FloodLine(std::string bytes) : bytes_(std::move(bytes)) {}
    CommError Open(const std::string&) override { return CommError::None; }
    void Close() override {}
    bool Configure(const SerialSettings&) override { return true; }
    bool Read(std::string& into, std::size_t max) override
    {
        const std::size_t take = std::min(max, bytes_.size());
        into.append(bytes_, 0, take);
        bytes_.erase(0, take);
        return true;
    }
    long Write(std::string_view bytes) override { return static_cast<long>(bytes.size()); }
    void DiscardInput() override {}

private:
    std::string bytes_;
};

inline void report(benchmark::State& state, double value, double target, const char* unit)
{
    state.counters["value"] = value;
    state.counters["target"] = target;
    state.counters["ratio"] = value / target;
    state.SetLabel(unit);
}

inline double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

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

inline PagerRecord user(int n)
{
    PagerRecord r = FreePagerRecord();
    r.PagerNo = ZeroPad(n, 3);
    r.UserName = PadRight("User " + std::to_string(n), 20);
    r.Capcode = ZeroPad(1000000 + n, 7);
    r.PagerType = "A";
    r.Baud = "2";
    r.Phone = PadRight("", 20);
    r.Format = "P";
    r.Mode = "0";
    r.GroupFlag = "N";
    r.InUse = "Y";
    return r;
}

// A data folder whose Pager.DBS holds users 1..count; lives as long as the object.
struct DataFolder {
    explicit DataFolder(int count)
    {
        gDataFolder = dir.path().toStdString();
        std::vector<PagerRecord> table(kPagerRecords, FreePagerRecord());
        for (int n = 1; n <= count; ++n)
            table[static_cast<std::size_t>(n - 1)] = user(n);
        ReplaceRecords(DataFilePath("Pager.DBS"), table);
        gDatabaseFound = true;
        gConnectionType = 1;
        gSerialPort = 1;
    }
    ~DataFolder() { gDatabaseFound = false; }
    QTemporaryDir dir;
};

// Runs the body over the loop and reports its mean wall time in milliseconds.
template <class Body>
void timeLoads(benchmark::State& state, double targetMs, Body body)
{
    const auto start = Clock::now();
    std::int64_t n = 0;
    for (auto _ : state) {
        body();
        ++n;
    }
    report(state, secondsSince(start) * 1000.0 / static_cast<double>(n), targetMs, "ms per load");
}

} // namespace bench
