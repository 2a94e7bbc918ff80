// The tone calendar's figures: the window opened on a full year and its
// marks drawn, and the whole year uploaded against the protocol's floor.
#include <QTemporaryDir>

#include <chrono>

#include "BenchSupport.h"
#include "CalendarYearView.h"
#include "KS_Database.h"
#include "KS_GEN_ToneScheduleCalendar.h"
#include "KS_Messages.h"
#include "KS_Registry.h"
#include "KS_ToneCalendar.h"

namespace {

// A full calendar from 1 January 2024: 372 blocks of 100 events, every event
// of the 366 days filled in and active, so every day carries its mark.
void writeFullYear()
{
    const QDate start(2024, 1, 1);
    std::string bytes;
    bytes.reserve(37200 * CalendarEvent::kLength);
    for (int d = 0; d < 372; ++d)
        for (int e = 1; e <= 100; ++e) {
            CalendarEvent event = DefaultCalendarEvent(d < 366 ? SerialFromDate(start.addDays(d)) : kEmptyBlockDate, e);
            if (d < 366) {
                event.Zone = static_cast<std::int16_t>(e);
                event.AlertType = static_cast<std::uint8_t>(e % 8 + 1);
                event.Time = SerialFromTime(e % 24, e % 60);
                event.Active = kFlagYes;
            }
            bytes += EncodeRecord(event);
        }
    gToneGenCalendarFile = DataFilePath("ToneGenCalendar.TGC");
    RecordFile(gToneGenCalendarFile, CalendarEvent::kLength).WriteRecords(1, bytes);
}

struct CalendarUnit {
    CalendarUnit()
    {
        gDataFolder = dir.path().toStdString();
        gConnectionType = 1;
        lineAt9600(engine);
        port = std::make_unique<CommPort>(std::make_unique<SimLine>(engine));
        gComm = port.get();
        gSerialPort = 1;
        OpenSerialPort(*port, 1, gComSettings);
        DetectEncoder();
        writeFullYear();
        engine.ClearTranscript();
    }
    ~CalendarUnit()
    {
        gComm = nullptr;
        SetYieldHook({});
    }
    QTemporaryDir dir;
    sim::Engine engine;
    std::unique_ptr<CommPort> port;
};

void BM_CalendarWindowOpensOnAFullYear(benchmark::State& state)
{
    CalendarUnit unit;
    int marks = 0;
    double seconds = 0;
    std::int64_t opened = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        KS_GEN_ToneScheduleCalendar window;
        window.Form_Load();
        window.mvwCalendar->grab(); // paints the twelve months and their marks
        marks = window.mvwCalendar->MarkCount();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++opened;
    }
    report(state, seconds * 1000.0 / static_cast<double>(opened), 100.0, "ms per opening");
    if (marks != 366)
        state.SkipWithError("the year does not show a mark on every day");
}
BENCHMARK(BM_CalendarWindowOpensOnAFullYear)->Unit(benchmark::kMillisecond);

// The whole year at 9600 baud in both directions, counted in ticks, over the
// protocol's floor: each day's line takes its bytes' time on the line, and
// its answer the unit's answer time of one tick or its bytes' time when that
// is longer.
void BM_CalendarUploadOverProtocolFloor(benchmark::State& state)
{
    for (auto _ : state) {
        CalendarUnit unit;
        SetMessageAnswerHook([](const MessageRequest&) -> std::optional<MessageAnswer> {
            return MessageAnswer {kAnswerYes};
        });
        const std::int64_t start = gDelayTicks;
        const bool done = UploadCalendar(CalendarRangeFrom(QDate(2024, 1, 1)));
        const std::int64_t ticks = gDelayTicks - start;
        SetMessageAnswerHook([](const MessageRequest&) -> std::optional<MessageAnswer> {
            return MessageAnswer {kAnswerOk};
        });
        const auto lineTicks = [](std::size_t bytes) {
            return static_cast<double>(bytes) * 10.0 / 9600.0 / kTickSeconds;
        };
        double floorTicks = 0;
        for (const auto& entry : unit.engine.Transcript())
            floorTicks += entry.fromHost ? lineTicks(entry.bytes.size()) : std::max(1.0, lineTicks(entry.bytes.size()));
        if (!done || unit.engine.CalendarDay(12, 31).substr(0, 14) != "0101001020101Y")
            state.SkipWithError("the upload did not finish");
        state.SetIterationTime(static_cast<double>(ticks) * kTickSeconds);
        report(state, static_cast<double>(ticks) / floorTicks, 1.10, "transfer ticks / protocol floor");
        state.counters["ticks"] = static_cast<double>(ticks);
        state.counters["floor_ticks"] = floorTicks;
    }
}
BENCHMARK(BM_CalendarUploadOverProtocolFloor)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
