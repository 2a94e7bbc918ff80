// The fast-key table at 9600 baud: a whole download (the missing file) and a
// whole upload through the table engine, counted in ticks, over the floor of
// the exchanges themselves: each line and its answer take their time on the
// line, and an answer is seen no earlier than the tick after its command.
#include <QTemporaryDir>

#include <cmath>
#include <memory>

#include "BenchSupport.h"
#include "KS_MessageTable.h"
#include "KS_Messages.h"
#include "KS_TextTables.h"

namespace {

void BM_FastkeyDownloadAndUploadOverProtocolFloor(benchmark::State& state)
{
    for (auto _ : state) {
        QTemporaryDir dir;
        gDataFolder = dir.path().toStdString();
        gConnectionType = 1;
        sim::Engine engine;
        lineAt9600(engine);
        CommPort port(std::make_unique<SimLine>(engine));
        gComm = &port;
        OpenSerialPort(port, 1, gComSettings);
        SetMessageAnswerHook([](const MessageRequest&) { return MessageAnswer{kAnswerOk, false}; });

        MessageTableEngine table = MakeTableEngine(FastkeyTable());
        engine.ClearTranscript();
        const std::int64_t start = gDelayTicks;
        table.Load();
        table.Upload();
        const std::int64_t ticks = gDelayTicks - start;

        // One exchange per host line: its bytes and the unit's answer after it.
        double floorTicks = 0;
        const auto& transcript = engine.Transcript();
        for (std::size_t i = 0; i < transcript.size(); ++i) {
            if (!transcript[i].fromHost)
                continue;
            std::size_t bytes = transcript[i].bytes.size();
            if (i + 1 < transcript.size() && !transcript[i + 1].fromHost)
                bytes += transcript[i + 1].bytes.size();
            floorTicks += std::max(1.0, std::ceil(static_cast<double>(bytes) * 10.0 / 9600.0 / kTickSeconds));
        }
        SetMessageAnswerHook({});
        gComm = nullptr;
        SetYieldHook({});
        state.SetIterationTime(static_cast<double>(ticks) * kTickSeconds);
        report(state, static_cast<double>(ticks) / floorTicks, 1.10, "transfer ticks / protocol floor");
        state.counters["ticks"] = static_cast<double>(ticks);
        state.counters["floor_ticks"] = floorTicks;
    }
}
BENCHMARK(BM_FastkeyDownloadAndUploadOverProtocolFloor)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
