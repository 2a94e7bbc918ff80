// A unit that acknowledges each command one tick past the command's 8-tick
// wait: the acknowledgement lands in the poke's pause, the poke's own "?99"
// follows. Each figure is the time the whole run took over what the commands
// themselves took, each from its line going out to its acknowledgement (the
// flow of the poke and its pause, with nothing waited for besides). The
// simulator's transcript gives both; a ratio above 1 is time the link spent
// on the unit's lateness beyond that.
#include <memory>

#include "BenchSupport.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"

namespace {

// The 8-tick wait has run out by the tenth tick after the line, on the pump.
constexpr std::int64_t kLateTicks = 10;

// The sum, over the host lines that begin with the prefix, of the ticks from
// the line to the next acknowledgement (read on the tick it arrives); and the
// pokes that went out, which show that each acknowledgement came late.
double ownFlowTicks(const sim::Engine& engine, char prefix, benchmark::State& state)
{
    double ticks = 0;
    double pokes = 0;
    const auto& transcript = engine.Transcript();
    for (std::size_t i = 0; i < transcript.size(); ++i) {
        if (transcript[i].fromHost && transcript[i].bytes == "\r")
            ++pokes;
        if (!transcript[i].fromHost || transcript[i].bytes.empty() || transcript[i].bytes[0] != prefix)
            continue;
        for (std::size_t j = i + 1; j < transcript.size(); ++j)
            if (!transcript[j].fromHost && transcript[j].bytes.find('*') != std::string::npos) {
                ticks += static_cast<double>(transcript[j].tick - transcript[i].tick);
                break;
            }
    }
    state.counters["pokes"] = pokes;
    return ticks;
}

void lateAcknowledgements(sim::Engine& engine, const char* pattern)
{
    engine.SetReplyDelay(0);
    engine.AddFault({.kind = sim::FaultKind::LateAnswer, .pattern = pattern, .ticks = kLateTicks, .times = 0});
}

// Ten pages, one after the other, to a QX9860.
void BM_PageBatchToALateUnitOverItsOwnFlow(benchmark::State& state)
{
    for (auto _ : state) {
        sim::Engine engine;
        lateAcknowledgements(engine, "P");
        installPump();
        gConnectionType = 1;
        gEncoderIdentified = true;
        CommPort port(std::make_unique<SimLine>(engine));
        gComm = &port;
        OpenSerialPort(port, 1, "38400,N,8,1");
        engine.ClearTranscript();
        const std::int64_t start = gDelayTicks;
        std::string reply;
        for (int page = 1; page <= 10; ++page)
            SendLinkCommand("P", ZeroPad(page, 3) + "Visitor waiting", true, 0, reply, true, 3);
        const double ticks = static_cast<double>(gDelayTicks - start);
        const double own = ownFlowTicks(engine, 'P', state);
        gComm = nullptr;
        SetYieldHook({});
        state.SetIterationTime(ticks * kTickSeconds);
        report(state, ticks / own, 1.10, "batch ticks / own flow");
        state.counters["ticks"] = ticks;
        state.counters["own_ticks"] = own;
    }
}
BENCHMARK(BM_PageBatchToALateUnitOverItsOwnFlow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Twenty users uploaded to a QX8140.
void BM_UserUploadToALateUnitOverItsOwnFlow(benchmark::State& state)
{
    for (auto _ : state) {
        DataFolder folder(20);
        sim::Engine engine;
        engine.SetModel('A');
        lateAcknowledgements(engine, "A");
        installPump();
        SetMessageAnswerHook([](const MessageRequest&) { return MessageAnswer{kAnswerOk, false}; });
        double ticks = 0;
        double own = 0;
        {
            KS_MainForm form(std::make_unique<CommPort>(std::make_unique<SimLine>(engine)));
            form.Form_Load();
            engine.ClearTranscript();
            form.UploadPagerDatabase();
            // From the first user out to the last one's acknowledgement.
            const auto& transcript = engine.Transcript();
            std::int64_t first = -1;
            std::int64_t last = 0;
            for (const auto& entry : transcript) {
                if (entry.fromHost && entry.bytes.starts_with("A") && first < 0)
                    first = entry.tick;
                if (!entry.fromHost && entry.bytes.find('*') != std::string::npos)
                    last = entry.tick;
            }
            ticks = static_cast<double>(last - first);
            own = ownFlowTicks(engine, 'A', state);
        }
        SetMessageAnswerHook({});
        SetYieldHook({});
        state.SetIterationTime(ticks * kTickSeconds);
        report(state, ticks / own, 1.10, "upload ticks / own flow");
        state.counters["ticks"] = ticks;
        state.counters["own_ticks"] = own;
    }
}
BENCHMARK(BM_UserUploadToALateUnitOverItsOwnFlow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
