// The console's figures: each benchmark leaves three counters, the figure
// ("value", in the unit its label names), its target and their ratio, which
// scripts/bench prints one line each. A ratio above 1 misses the target.
#include <QApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include <chrono>
#include <deque>
#include <memory>

#include "BenchSupport.h"
#include "CommPort.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_ToneSchedule.h"
#include "SimEngine.h"

namespace {

// The simulator behind a wire of the line's speed, timed in fractions of a
// tick: every character takes its ten bits' time in either direction, the
// unit hears a line once its last character has crossed and answers at once,
// and the port sees each character of the answer when it has arrived.
class WireLine : public SerialBackend {
public:
    WireLine(sim::Engine& engine, int baud)
        : engine_(engine)
        , charTicks_(10.0 / baud / kTickSeconds)
    {
        engine_.SetReplyDelay(0);
    }
    CommError Open(const std::string&) override { return CommError::None; }
    void Close() override {}
    bool Configure(const SerialSettings& settings) override
    {
        engine_.SetHostSettings(FormatSerialSettings(settings));
        return true;
    }
    bool Read(std::string& into, std::size_t max) override
    {
        deliver();
        while (!toHost_.empty() && toHost_.front().at <= now() && into.size() < max) {
            into += toHost_.front().byte;
            toHost_.pop_front();
        }
        return true;
    }
    long Write(std::string_view bytes) override
    {
        for (char byte : bytes) {
            hostFree_ = std::max(now(), hostFree_) + charTicks_;
            toUnit_.push_back({hostFree_, byte});
        }
        return static_cast<long>(bytes.size());
    }
    void DiscardInput() override
    {
        deliver();
        toHost_.clear();
    }

private:
    struct Character {
        double at; // the tick, with its fraction, at which it has crossed
        char byte;
    };
    static double now() { return static_cast<double>(gDelayTicks); }
    void deliver()
    {
        while (!toUnit_.empty() && toUnit_.front().at <= now()) {
            heard_ = toUnit_.front().at;
            engine_.Receive(std::string(1, toUnit_.front().byte), gDelayTicks);
            toUnit_.pop_front();
            for (char byte : engine_.Transmit(gDelayTicks)) {
                unitFree_ = std::max(heard_, unitFree_) + charTicks_;
                toHost_.push_back({unitFree_, byte});
            }
        }
    }

    sim::Engine& engine_;
    const double charTicks_;
    std::deque<Character> toUnit_;
    std::deque<Character> toHost_;
    double hostFree_ = 0;
    double unitFree_ = 0;
    double heard_ = 0;
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


void selectAllAndType(KS_MainForm& form, const char* text)
{
    for (int i = 0; i < form.lvwUsers->topLevelItemCount(); ++i)
        form.lvwUsers->topLevelItem(i)->setSelected(true);
    form.lvwUsers_DblClick();
    form.txtMessage->setPlainText(text);
}

// Fifty pages at 9600 baud against the simulator, counted in ticks, over the
// floor that the page's own pauses (40 ticks before, 15 after) and the bytes'
// time on the line impose.
void BM_PageBatchOverProtocolFloor(benchmark::State& state)
{
    constexpr int kPages = 50;
    for (auto _ : state) {
        DataFolder folder(kPages);
        sim::Engine engine;
        lineAt9600(engine);
        std::int64_t ticks = 0;
        std::size_t bytes = 0;
        {
            KS_MainForm form(std::make_unique<CommPort>(std::make_unique<SimLine>(engine)));
            form.Form_Load();
            selectAllAndType(form, "Visitor waiting at the front desk");
            engine.ClearTranscript();
            const std::int64_t start = gDelayTicks;
            form.cmdSendPage->click();
            ticks = gDelayTicks - start;
            for (const auto& entry : engine.Transcript())
                bytes += entry.bytes.size();
        }
        SetYieldHook({});
        const double lineTicks = static_cast<double>(bytes) * 10.0 / 9600.0 / kTickSeconds;
        const double floorTicks = kPages * (40.0 + 15.0) + lineTicks;
        state.SetIterationTime(static_cast<double>(ticks) * kTickSeconds);
        report(state, static_cast<double>(ticks) / floorTicks, 1.10, "transfer ticks / protocol floor");
        state.counters["ticks"] = static_cast<double>(ticks);
        state.counters["floor_ticks"] = floorTicks;
    }
}
BENCHMARK(BM_PageBatchOverProtocolFloor)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Runs a task of the console with the real port and the real timers against
// pagora-sim on a pseudo-terminal, and reports the console's CPU time over the
// wall time the task took.
template <class Prepare, class Task>
void realTimeCpuOverWall(benchmark::State& state, const char* model, int users, Prepare prepare, Task task,
                         double target, const char* unit)
{
    for (auto _ : state) {
        QProcess simulator;
        simulator.start(PAGORA_SIM_PROGRAM, {"--model", model});
        if (!simulator.waitForStarted(5000) || !simulator.waitForReadyRead(5000)) {
            state.SkipWithError("pagora-sim did not start");
            return;
        }
        qputenv("PAGORA_COM1", simulator.readLine().trimmed());
        DataFolder folder(users);
        gComSettings = "38400,N,8,1";
        double cpu = 0;
        double wall = 0;
        {
            KS_MainForm form;
            form.Form_Load();
            prepare(form);
            const double cpuStart = cpuSeconds();
            const auto start = Clock::now();
            task(form);
            wall = secondsSince(start);
            cpu = cpuSeconds() - cpuStart;
        }
        simulator.terminate();
        simulator.waitForFinished(3000);
        qunsetenv("PAGORA_COM1");
        state.SetIterationTime(wall);
        report(state, cpu / wall * 100.0, target, unit);
        state.counters["wall_s"] = wall;
    }
}

// A real-time batch of three pages.
void BM_RealTimeBatchCpuOverWall(benchmark::State& state)
{
    realTimeCpuOverWall(
        state, "X", 3, [](KS_MainForm& form) { selectAllAndType(form, "Real time page"); },
        [](KS_MainForm& form) { form.cmdSendPage->click(); }, 1.0, "% of a core while paging");
}
BENCHMARK(BM_RealTimeBatchCpuOverWall)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The whole user table, 999 users, uploaded to or downloaded from the
// simulator at the line's speed, counted in ticks over the protocol's floor:
// every byte's time on the wire at that speed plus one 50 ms poll per exchange.
enum Transfer { kUpload = 0, kDownload = 1 };

void BM_UserTableTransferOverProtocolFloor(benchmark::State& state)
{
    const bool download = state.range(0) == kDownload;
    const auto baud = static_cast<int>(state.range(1));
    const std::string settings = std::to_string(baud) + ",N,8,1";
    for (auto _ : state) {
        DataFolder folder(download ? 0 : kPagerRecords);
        gComSettings = settings;
        sim::Engine engine;
        engine.SetModel('A');
        engine.SetUnitSettings(settings);
        installPump();
        std::int64_t ticks = 0;
        std::size_t bytes = 0;
        std::size_t exchanges = 0;
        std::size_t users = 0;
        {
            KS_MainForm form(std::make_unique<CommPort>(std::make_unique<WireLine>(engine, baud)));
            form.Form_Load();
            if (download)
                for (int n = 1; n <= kPagerRecords; ++n)
                    engine.PutUser(*BuildEncoderUserRecord(user(n)));
            engine.ClearTranscript();
            const std::int64_t start = gDelayTicks;
            download ? form.DownloadPagerDatabase() : form.UploadPagerDatabase();
            ticks = gDelayTicks - start;
            for (const auto& entry : engine.Transcript()) {
                bytes += entry.bytes.size();
                exchanges += entry.fromHost ? 1 : 0;
            }
            users = download ? static_cast<std::size_t>(form.lvwUsers->topLevelItemCount()) : engine.Users().size();
        }
        SetYieldHook({});
        if (users != static_cast<std::size_t>(kPagerRecords)) {
            state.SkipWithError("not every user was transferred");
            return;
        }
        const double wireTicks = static_cast<double>(bytes) * 10.0 / baud / kTickSeconds;
        const double floorTicks = wireTicks + static_cast<double>(exchanges);
        state.SetIterationTime(static_cast<double>(ticks) * kTickSeconds);
        report(state, static_cast<double>(ticks) / floorTicks, 1.10, "");
        state.SetLabel((download ? "download " : "upload ") + std::to_string(baud) + ": ticks / protocol floor");
        state.counters["ticks"] = static_cast<double>(ticks);
        state.counters["floor_ticks"] = floorTicks;
    }
}
BENCHMARK(BM_UserTableTransferOverProtocolFloor)
    ->ArgNames({"download", "baud"})
    ->Args({kUpload, 9600})
    ->Args({kUpload, 38400})
    ->Args({kDownload, 9600})
    ->Args({kDownload, 38400})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A real-time upload of a hundred users.
void BM_RealTimeUserTransferCpuOverWall(benchmark::State& state)
{
    realTimeCpuOverWall(
        state, "A", 100, [](KS_MainForm&) {}, [](KS_MainForm& form) { form.UploadPagerDatabase(); }, 5.0,
        "% of a core during a transfer");
}
BENCHMARK(BM_RealTimeUserTransferCpuOverWall)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The console at rest: the window with its two 50 ms timers and nothing to do.
void BM_IdleConsoleCpu(benchmark::State& state)
{
    for (auto _ : state) {
        gDatabaseFound = false;
        KS_MainForm form;
        form.Form_Load();
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        const double cpuStart = cpuSeconds();
        const auto start = Clock::now();
        loop.exec();
        const double wall = secondsSince(start);
        const double cpu = cpuSeconds() - cpuStart;
        state.SetIterationTime(wall);
        report(state, cpu / wall * 100.0, 0.5, "% of a core at rest");
    }
}
BENCHMARK(BM_IdleConsoleCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

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

void BM_LoadFullUserTableIntoTheList(benchmark::State& state)
{
    DataFolder folder(999);
    installPump();
    {
        KS_MainForm form(std::make_unique<CommPort>(std::make_unique<FloodLine>("")));
        timeLoads(state, 100.0, [&] { form.LoadUsers(); });
        if (form.lvwUsers->topLevelItemCount() != 999)
            state.SkipWithError("the list does not hold 999 users");
    }
    SetYieldHook({});
}
BENCHMARK(BM_LoadFullUserTableIntoTheList)->Unit(benchmark::kMillisecond);

void BM_LoadFullSchedule(benchmark::State& state)
{
    DataFolder folder(1);
    LoadScheduleDatabase(); // writes the default week of 700 entries
    timeLoads(state, 20.0, [] { LoadScheduleDatabase(); });
}
BENCHMARK(BM_LoadFullSchedule)->Unit(benchmark::kMillisecond);

void BM_LoadFullCalendar(benchmark::State& state)
{
    DataFolder folder(1);
    bool created = false;
    QDate firstDay;
    LoadToneCalendar(false, created, firstDay); // writes a whole year of 372 x 100 events
    std::vector<CalendarEvent> events;
    timeLoads(state, 200.0, [&] { ReadRecords(DataFilePath("ToneGenCalendar.TGC"), events); });
    if (events.size() != 37200)
        state.SkipWithError("the calendar does not hold 37200 events");
}
BENCHMARK(BM_LoadFullCalendar)->Unit(benchmark::kMillisecond);

// A full port buffer of noise without a line end, taken by the receiver poll by poll.
void BM_ReceiverThroughAFloodOfNoise(benchmark::State& state)
{
    std::string noise(64 * 1024, 'x');
    timeLoads(state, 20.0, [&] {
        CommPort port(std::make_unique<FloodLine>(noise));
        port.SetInputLen(1);
        port.SetPortOpen(true);
        gComm = &port;
        ResetLinkReceiver();
        for (int poll = 0; poll < 100 && port.InBufferCount() > 0; ++poll) {
            AdvanceTick();
            PollEncoderReply();
        }
        gComm = nullptr;
    });
}
BENCHMARK(BM_ReceiverThroughAFloodOfNoise)->Unit(benchmark::kMillisecond);

// The whole weekly tone schedule uploaded at 9600 baud, counted in ticks, over
// the protocol's floor: each line of the upload (detection included) and its
// answer take at least the unit's answer time of one tick, or their bytes'
// time on the line when that is longer.
void BM_ToneScheduleUploadOverProtocolFloor(benchmark::State& state)
{
    for (auto _ : state) {
        DataFolder folder(1);
        sim::Engine engine;
        lineAt9600(engine);
        std::int64_t ticks = 0;
        double floorTicks = 0;
        bool done = false;
        {
            CommPort port(std::make_unique<SimLine>(engine));
            gComm = &port;
            gSerialPort = 1;
            OpenSerialPort(port, 1, gComSettings);
            DetectEncoder();
            gToneGenFile = DataFilePath("ToneGen.TGS");
            LoadToneSchedule(false); // the default week
            engine.ClearTranscript();
            const std::int64_t start = gDelayTicks;
            done = UploadToneSchedule();
            ticks = gDelayTicks - start;
            std::size_t exchangeBytes = 0;
            const auto closeExchange = [&] {
                if (exchangeBytes > 0)
                    floorTicks += std::max(1.0, static_cast<double>(exchangeBytes) * 10.0 / 9600.0 / kTickSeconds);
                exchangeBytes = 0;
            };
            for (const auto& entry : engine.Transcript()) {
                if (entry.fromHost)
                    closeExchange();
                exchangeBytes += entry.bytes.size();
            }
            closeExchange();
            gComm = nullptr;
        }
        SetYieldHook({});
        if (!done || engine.ToneEvent(1, 335) != "1480000101N0101")
            state.SkipWithError("the upload did not finish");
        state.SetIterationTime(static_cast<double>(ticks) * kTickSeconds);
        report(state, static_cast<double>(ticks) / floorTicks, 1.10, "transfer ticks / protocol floor");
        state.counters["ticks"] = static_cast<double>(ticks);
        state.counters["floor_ticks"] = floorTicks;
    }
}
BENCHMARK(BM_ToneScheduleUploadOverProtocolFloor)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and data of the run's own, never the operator's.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    SetMessageAnswerHook([](const MessageRequest&) -> std::optional<MessageAnswer> { return MessageAnswer {kAnswerOk}; });

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
