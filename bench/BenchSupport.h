#pragma once
// What the benchmarks share: the simulator on the far end of the port, the
// deterministic pump, and the report of a figure against its target.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <sys/resource.h>
#include <string>

#include <QTemporaryDir>

#include "CommPort.h"
#include "KS_Database.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "SimEngine.h"

inline constexpr double kTickSeconds = 0.05;

// The far end of the port is the simulator, on the host's tick.
class SimLine : public SerialBackend {
public:
    explicit SimLine(sim::Engine& engine) : engine_(engine) {}
    CommError Open(const std::string&) override { return CommError::None; }
    void Close() override { arrived_.clear(); }
    bool Configure(const SerialSettings& settings) override
    {
        engine_.SetHostSettings(FormatSerialSettings(settings));
        return true;
    }
    bool Read(std::string& into, std::size_t max) override
    {
        arrived_ += engine_.Transmit(gDelayTicks);
        const std::size_t take = std::min(max, arrived_.size());
        into.append(arrived_, 0, take);
        arrived_.erase(0, take);
        return true;
    }
    long Write(std::string_view bytes) override
    {
        engine_.Receive(bytes, gDelayTicks);
        return static_cast<long>(bytes.size());
    }
    void DiscardInput() override
    {
        engine_.Transmit(gDelayTicks);
        arrived_.clear();
    }

private:
    sim::Engine& engine_;
    std::string arrived_;
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

using Clock = std::chrono::steady_clock;

// The process's own CPU time, user and system.
inline double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A user the benchmarks page and upload.
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
