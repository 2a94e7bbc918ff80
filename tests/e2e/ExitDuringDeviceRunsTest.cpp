// Exit chosen from the tray while a device window's run is under way: the run
// stops at its next item and still takes its own ending before the port
// closes, so no device is left in programming mode or at a speed the console
// never looks for, and nothing else goes out.
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "../programmers/ProgrammerFixture.h"
#include "../programmers/WaveFile.h"
#include "KS_AlertFormat.h"
#include "KS_GEN_ClockProgrammer.h"
#include "KS_GEN_CustomAlertsProgrammer.h"
#include "KS_GEN_PaddleProgrammer.h"
#include "KS_GEN_PendantProgrammer.h"
#include "KS_GEN_SpeakerProgrammer.h"
#include "KS_GEN_TimeReceiverProgrammer.h"
#include "SimAlertDevice.h"
#include "SimSpeaker.h"

namespace {

struct Ended {
    Lines afterExit;     // what the device got once Exit was chosen
    bool deviceAsItsRunLeavesIt = false;
    bool portClosed = false;
    std::vector<std::string> boxes; // shown once Exit was chosen
};

// Runs `start` on the window, with Exit chosen from the tray as soon as a
// line the run sends mid-way reaches the device.
template <class Window, class Device>
Ended exitDuring(const std::function<void(ProgrammerFixture<Window, Device>&)>& prepare,
                 const std::function<bool(const std::string&)>& midRun,
                 const std::function<bool(Device&)>& asItsRunLeavesIt)
{
    struct Fixture : ProgrammerFixture<Window, Device> {
        void TestBody() override {}
    } f;
    f.harness.messages.AnswerAlways(kAnswerOk); // the button prompts
    prepare(f);
    f.Sent();
    std::size_t exitAt = 0;
    const auto& transcript = f.harness.engine.Transcript();
    std::size_t boxesBefore = 0;
    f.ExitFromTheTrayWhen([&] {
        for (const auto& entry : transcript)
            if (entry.fromHost && midRun(entry.bytes)) {
                exitAt = transcript.size();
                boxesBefore = f.harness.messages.shown().size();
                return true;
            }
        return false;
    });
    f.window->cmdProgram->click();
    InstallTickPump();
    QCoreApplication::processEvents();
    Ended ended;
    EXPECT_TRUE(f.exitChosen);
    for (std::size_t i = exitAt; i < transcript.size(); ++i)
        if (transcript[i].fromHost && transcript[i].bytes != "\r")
            ended.afterExit.push_back(transcript[i].bytes.substr(0, transcript[i].bytes.find('\r')));
    ended.deviceAsItsRunLeavesIt = asItsRunLeavesIt(*f.device);
    ended.portClosed = !f.form.comUnitConnect->PortOpen();
    const auto texts = f.harness.messages.texts();
    ended.boxes.assign(texts.begin() + static_cast<std::ptrdiff_t>(std::min(boxesBefore, texts.size())), texts.end());
    return ended;
}

bool startsWith(const std::string& line, const char* prefix) { return line.starts_with(prefix); }

// The first three capcode rows ticked, so the run has items after the one Exit comes in.
template <class Fixture>
void tickThreeCapcodes(Fixture& f)
{
    for (int i : {0, 1, 2}) {
        f.window->chkProgramCapcode[i]->setChecked(true);
        f.window->txtCapcode[i]->setText("0001234");
    }
}

} // namespace

TEST(ExitDuringDeviceRuns, EveryDeviceRunStopsAtItsNextItemAndTakesItsOwnEndingBeforeThePortCloses)
{
    const std::string wave = [] {
        const std::string path = MakeDataFolder() + "/ring.wav";
        std::ofstream(path, std::ios::binary) << WaveBytes(std::string(6000, '\x80'));
        return path;
    }();
    const struct {
        const char* window;
        std::function<Ended()> run;
        Lines ending;
    } cases[] = {
        {"paddle",
         [] {
             return exitDuring<KS_GEN_PaddleProgrammer, sim::PaddleDevice>(
                 [](auto& f) { tickThreeCapcodes(f); },
                 [](const std::string& line) { return startsWith(line, "PC1"); },
                 [](sim::PaddleDevice& d) { return !d.ProgrammingMode(); });
         },
         {"XT"}},
        {"pendant",
         [] {
             return exitDuring<KS_GEN_PendantProgrammer, sim::PendantDevice>(
                 [](auto& f) {
                     // Firmware that stays in programming mode until it is sent back.
                     f.device = f.Attach(std::make_shared<sim::PendantDevice>("PDX-03", "Ver. 1.90 (Jun 2009)", true));
                     f.window->cmdRead->click();
                     tickThreeCapcodes(f);
                 },
                 [](const std::string& line) { return startsWith(line, "PC1"); },
                 [](sim::PendantDevice& d) { return !d.ProgrammingMode(); });
         },
         {"XT"}},
        {"clock",
         [] {
             return exitDuring<KS_GEN_ClockProgrammer, sim::ClockDevice>(
                 [](auto& f) {
                     f.window->cmdRead->click();
                     f.window->chkRxDeviation->setChecked(true);
                 },
                 [](const std::string& line) { return startsWith(line, "PF"); },
                 [](sim::ClockDevice& d) { return d.Writes().size() == 1; });
         },
         {}},
        {"time receiver",
         [] {
             return exitDuring<KS_GEN_TimeReceiverProgrammer, sim::TimeReceiverDevice>(
                 [](auto& f) {
                     f.window->chkTimeZone->setChecked(true);
                     f.window->chkDlSaving->setChecked(true);
                 },
                 [](const std::string& line) { return startsWith(line, "PQZ"); },
                 [](sim::TimeReceiverDevice& d) { return d.Writes().size() == 1 && !d.TRXTestRunning(); });
         },
         {}},
        {"speaker",
         [] {
             return exitDuring<KS_GEN_SpeakerProgrammer, sim::SpeakerDevice>(
                 [](auto& f) {
                     f.window->cmdRead->click();
                     f.window->chkProgramDeviceConfiguration->setChecked(true);
                 },
                 [](const std::string& line) { return startsWith(line, "P"); },
                 [](sim::SpeakerDevice& d) { return d.Writes().size() == 1 && d.Transmitting() == 0; });
         },
         {}},
        {"custom alerts",
         [&wave] {
             return exitDuring<KS_GEN_CustomAlertsProgrammer, sim::AlertDevice>(
                 [&wave](auto& f) {
                     f.window->chkProgramAlert[0]->setChecked(true);
                     f.window->cmbAlertNumber[0]->setCurrentIndex(1); // alert 12
                     f.window->txtFileName[0]->setText(QString::fromStdString(wave));
                 },
                 // The first audio block.
                 [](const std::string& line) { return line.size() > 1000; },
                 [](sim::AlertDevice& d) { return d.Value("BR") == "2" && d.StoredAlerts().empty(); });
         },
         {AlertEndMarker(true), "PBR2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        const Ended ended = c.run();
        EXPECT_EQ(ended.afterExit, c.ending);
        EXPECT_TRUE(ended.deviceAsItsRunLeavesIt);
        EXPECT_TRUE(ended.portClosed);
        EXPECT_EQ(ended.boxes, std::vector<std::string>{});
        ResetExitForTest();
    }
}

// In the program no test pumps the ticks: its own timers count them and read
// the port. Exit there during a run must still let the run's ending go out and
// the program end; a wait of that ending that stopped taking events would hang
// the program, and the watchdog turns that into a failure.
TEST(ExitDuringDeviceRuns, OnTheProgramsOwnEventLoopTheRunsEndingGoesOutAndTheProgramEnds)
{
    struct Fixture : ProgrammerFixture<KS_GEN_PaddleProgrammer, sim::PaddleDevice> {
        void TestBody() override {}
    } f;
    f.harness.messages.AnswerAlways(kAnswerOk); // the button prompt
    tickThreeCapcodes(f);
    f.Sent();
    std::atomic<bool> ended = false;
    std::thread watchdog([&ended] {
        for (int waited = 0; waited < 300 && !ended; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!ended) {
            std::fputs("The program hung at Exit during a device run.\n", stderr);
            std::_Exit(1);
        }
    });
    // As the program runs them from its start.
    SetYieldHook({});
    f.form.tmrDelay->start();
    f.form.tmrCheckCOMPort->start();
    const auto& transcript = f.harness.engine.Transcript();
    std::size_t exitAt = 0;
    QTimer tray;
    QObject::connect(&tray, &QTimer::timeout, [&] {
        for (const auto& entry : transcript)
            if (entry.fromHost && entry.bytes.starts_with("PC1")) {
                tray.stop();
                exitAt = transcript.size();
                f.form.mnuPopupOptions[3]->trigger();
                return;
            }
    });
    tray.start(10);
    QEventLoop program;
    QTimer::singleShot(0, [&] { f.window->cmdProgram->click(); });
    program.exec();
    ended = true;
    watchdog.join();
    ASSERT_GT(exitAt, 0u);
    Lines afterExit;
    for (std::size_t i = exitAt; i < transcript.size(); ++i)
        if (transcript[i].fromHost && transcript[i].bytes != "\r")
            afterExit.push_back(transcript[i].bytes.substr(0, transcript[i].bytes.find('\r')));
    EXPECT_EQ(afterExit, Lines{"XT"});
    EXPECT_FALSE(f.device->ProgrammingMode());
    EXPECT_FALSE(f.form.comUnitConnect->PortOpen());
    ResetExitForTest();
}
