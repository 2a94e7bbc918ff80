// A whole alert slot (64 KB of a 4 MB memory in 64 slots) streamed into the
// simulated alert device at 115200 bit/s: first on the deterministic pump,
// in ticks over the floor of the exchanges themselves (each block and its
// answer at the line speed, seen no earlier than the next tick); then in
// real time through pagora-sim on a pseudo-terminal, as the share of a core
// the program takes while the blocks go out.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <fstream>
#include <memory>

#include "BenchSupport.h"
#include "KS_AlertUpload.h"
#include "KS_Messages.h"
#include "SimAlertDevice.h"

namespace {

constexpr const char* kUploadSpeed = "115200,N,8,1";
constexpr std::int64_t kMemoryKB = 4096;
constexpr std::int64_t kSlots = 64;

// A mono 8-bit file larger than one slot, so the upload fills the slot.
AlertUploadFile fullSlotFile(const QTemporaryDir& dir)
{
    std::string wave(44, '\0');
    wave.replace(0, 4, "RIFF");
    wave.replace(8, 8, "WAVEfmt ");
    wave[16] = 16;
    wave[20] = wave[22] = 1;
    wave[24] = '\x40';
    wave[25] = '\x1F';
    wave[34] = 8;
    wave.replace(36, 4, "data");
    const std::uint32_t size = 70000;
    for (int i = 0; i < 4; ++i)
        wave[40 + i] = static_cast<char>(size >> (8 * i));
    for (std::uint32_t i = 0; i < size; ++i)
        wave += static_cast<char>(0x80 + static_cast<int>(40 * std::sin(i / 7.0)));
    const std::string path = dir.path().toStdString() + "/slot.wav";
    std::ofstream(path, std::ios::binary) << wave;
    // Found as the window's check finds it, header and all.
    return {path, 11, "Alert 11", FindAlertWaveData(wave).value()};
}

const AlertUploadDisplay kNoDisplay{[](const std::string&) {}, [](std::int64_t, std::int64_t, bool) {}};

void BM_AlertSlotUploadOverProtocolFloor(benchmark::State& state)
{
    for (auto _ : state) {
        QTemporaryDir dir;
        const AlertUploadFile file = fullSlotFile(dir);
        sim::Engine engine;
        engine.SetDevice(std::make_shared<sim::AlertDevice>("2.50", kMemoryKB, kSlots));
        engine.SetUnitSettings(kUploadSpeed);
        engine.SetLineTimeEmulation(true);
        gComSettings = kUploadSpeed;
        gConnectionType = 1;
        installPump();
        CommPort port(std::make_unique<SimLine>(engine));
        gComm = &port;
        OpenSerialPort(port, 1, gComSettings);
        SetMessageAnswerHook([](const MessageRequest&) { return MessageAnswer{kAnswerOk, false}; });

        engine.ClearTranscript();
        const std::int64_t start = gDelayTicks;
        const bool stored = UploadAlertFile(file, kMemoryKB, kSlots, false, kNoDisplay);
        const std::int64_t ticks = gDelayTicks - start;

        // One exchange per host message (header, block, end marker): its bytes
        // and the unit's answer at the line speed, seen on a whole tick.
        double floorTicks = 0;
        const auto& transcript = engine.Transcript();
        for (std::size_t i = 0; i < transcript.size(); ++i) {
            if (!transcript[i].fromHost)
                continue;
            std::size_t bytes = transcript[i].bytes.size();
            if (i + 1 < transcript.size() && !transcript[i + 1].fromHost)
                bytes += transcript[i + 1].bytes.size();
            floorTicks += std::max(1.0, std::ceil(static_cast<double>(bytes) * 10.0 / 115200.0 / kTickSeconds));
        }
        SetMessageAnswerHook({});
        gComm = nullptr;
        SetYieldHook({});
        if (!stored) {
            state.SkipWithError("the device did not store the slot");
            return;
        }
        state.SetIterationTime(static_cast<double>(ticks) * kTickSeconds);
        report(state, static_cast<double>(ticks) / floorTicks, 1.10, "transfer ticks / protocol floor");
        state.counters["ticks"] = static_cast<double>(ticks);
        state.counters["floor_ticks"] = floorTicks;
    }
}
BENCHMARK(BM_AlertSlotUploadOverProtocolFloor)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RealTimeAlertUploadCpuOverWall(benchmark::State& state)
{
    for (auto _ : state) {
        QProcess simulator;
        simulator.start(PAGORA_SIM_PROGRAM, {"--device", "alerts", "--set", "MC=409664", "--set", "V=2.50",
                                             "--settings", kUploadSpeed});
        if (!simulator.waitForStarted(5000) || !simulator.waitForReadyRead(5000)) {
            state.SkipWithError("pagora-sim did not start");
            return;
        }
        qputenv("PAGORA_COM1", simulator.readLine().trimmed());
        QTemporaryDir dir;
        const AlertUploadFile file = fullSlotFile(dir);
        gComSettings = kUploadSpeed;
        gConnectionType = 1;
        SetYieldHook({});
        SetMessageAnswerHook([](const MessageRequest&) { return MessageAnswer{kAnswerOk, false}; });
        CommPort port;
        gComm = &port;
        OpenSerialPort(port, 1, gComSettings);
        // The main window's two 50 ms timers: the tick and the receiver.
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [] {
            AdvanceTick();
            PollEncoderReply();
        });
        tick.start(50);

        const double cpuStart = cpuSeconds();
        const auto start = Clock::now();
        const bool stored = UploadAlertFile(file, kMemoryKB, kSlots, false, kNoDisplay);
        const double wall = secondsSince(start);
        const double cpu = cpuSeconds() - cpuStart;

        tick.stop();
        port.SetPortOpen(false);
        gComm = nullptr;
        SetMessageAnswerHook({});
        simulator.terminate();
        simulator.waitForFinished(3000);
        qunsetenv("PAGORA_COM1");
        if (!stored) {
            state.SkipWithError("the device did not store the slot");
            return;
        }
        state.SetIterationTime(wall);
        report(state, cpu / wall * 100.0, 5.0, "% of a core while uploading");
    }
}
BENCHMARK(BM_RealTimeAlertUploadCpuOverWall)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
