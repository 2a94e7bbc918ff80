// The speaker window as the console opens it: owned by the main window and
// deleted when it closes, with the console's timers running around it.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QToolBar>

#include "../programmers/ProgrammerFixture.h"
#include "KS_Clock.h"
#include "KS_GEN_SpeakerProgrammer.h"
#include "KS_Messages.h"
#include "SimSpeaker.h"

namespace {

struct SpeakerWindow : ProgrammerFixture<KS_GEN_SpeakerProgrammer, sim::SpeakerDevice> {
    // The lines in the transcript, without their CR and without bare probes.
    Lines Received()
    {
        Lines lines;
        for (const auto& entry : harness.engine.Transcript())
            if (entry.fromHost && entry.bytes != "\r")
                lines.push_back(entry.bytes.substr(0, entry.bytes.size() - 1));
        return lines;
    }
};

} // namespace

TEST_F(SpeakerWindow, ClosingWhileTheUnitKeepsATestWaitingLeavesTheWindowToItsHandler)
{
    ScheduleEntry& entry = SchedulePageDueNow();

    // The unit acknowledges neither the tone nor the transmitter test.
    for (const char* command : {"GM", "TT"})
        harness.engine.AddFault(
            {.kind = sim::FaultKind::Silence, .pattern = command, .match = sim::MatchMode::Prefix, .times = 0});
    window->chkProgramTransceiversCommonSettings->setChecked(true);
    window->cmbTxBaudRate->setCurrentIndex(0);

    const std::pair<const char*, std::function<void()>> exchanges[] = {
        {"GM", [this] { window->cmdTest->click(); }}, {"TT", [this] { window->cmdTx1Test_Click(); }}};
    int closes = 0;
    bool closed = false;
    for (const auto& [command, start] : exchanges) {
        SCOPED_TRACE(command);
        harness.engine.ClearTranscript();
        closes = 0;
        closed = false;
        SetYieldHook([&, command = command] {
            AdvanceTick();
            PollEncoderReply();
            if (closes == 0 && HostSent(command)) {
                ++closes;
                closed = window->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                // The console's second goes on meanwhile; its page waits for the port.
                form.tmrSeconds_Timer();
            }
        });
        start();
        ASSERT_TRUE(window);
        EXPECT_EQ(closes, 1);
        EXPECT_FALSE(closed);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->cmdTest->isEnabled());
        EXPECT_FALSE(HostSent("P005"));
    }
    InstallTickPump();
    EXPECT_TRUE(window->lblInfo->text().endsWith(" - Failed."));
    EXPECT_TRUE(harness.Reported("Scheduled page to 005 waits: a device programmer is using the port.", false));

    // Once the exchange is over the window closes, and the page that waited goes out.
    EXPECT_TRUE(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
    form.tmrSeconds_Timer();
    EXPECT_TRUE(HostSent("P0053"));
    EXPECT_EQ(entry.Fired, -1);
    SetClockForTest({});
}

// A run started while a test waits for the unit's answer would clear the
// acknowledgement the test waits on and make it send its command again (the
// unit plays twice), or lose the tone altogether while the probe waits: the
// window is grey meanwhile and its handlers refuse, so the test goes out once.
TEST_F(SpeakerWindow, WhileATestWaitsTheOtherRunsAreRefusedAndTheTestGoesOutOnce)
{
    window->cmbTxBaudRate->setCurrentIndex(0);
    harness.messages.AnswerAlways(kAnswerCancel);
    struct Case {
        const char* waitsOn; // the line whose answer comes late ("" the bare probe)
        std::function<void()> start;
        Lines lines;
    };
    const Case cases[] = {{"", [this] { window->cmdTest->click(); }, {"GM111211"}},
                          {"GM", [this] { window->cmdTest->click(); }, {"GM111211"}},
                          {"TT51", [this] { window->cmdTx1Test_Click(); }, {"TT51W", "TT01W"}}};
    const std::function<void()> others[] = {[this] { window->cmdRead_Click(); },
                                            [this] { window->cmdProgram_Click(); },
                                            [this] { window->cmdTest_Click(); },
                                            [this] { window->cmdTx2Test_Click(); }};
    for (const Case& c : cases)
        for (std::size_t other = 0; other < std::size(others); ++other) {
            SCOPED_TRACE(std::string(c.waitsOn) + " / " + std::to_string(other));
            harness.engine.ClearTranscript();
            harness.engine.AddFault({.kind = sim::FaultKind::Delay,
                                     .pattern = c.waitsOn,
                                     .match = *c.waitsOn ? sim::MatchMode::Prefix : sim::MatchMode::Exact,
                                     .ticks = 5});
            const std::size_t tonesBefore = device->Tones().size();
            bool interrupted = false;
            bool grey = false;
            SetYieldHook([&] {
                AdvanceTick();
                PollEncoderReply();
                if (!interrupted && HostSent(*c.waitsOn ? c.waitsOn : "\r")) {
                    interrupted = true;
                    grey = !window->tlbMenu->isEnabled() && !window->cmdRead->isEnabled();
                    others[other]();
                }
            });
            c.start();
            InstallTickPump();
            ASSERT_TRUE(interrupted);
            EXPECT_TRUE(grey);
            EXPECT_EQ(Received(), c.lines);
            EXPECT_EQ(device->Tones().size() - tonesBefore, *c.waitsOn == 'T' ? 0u : 1u);
            EXPECT_TRUE(window->tlbMenu->isEnabled());
            EXPECT_TRUE(window->cmdTest->isEnabled());
        }
}

// The speaker transmits while the test box is up; Exit chosen from the tray
// meanwhile stops it before the port closes, and nothing is sent after that.
TEST_F(SpeakerWindow, ExitFromTheTrayDuringATransmitterTestStopsItBeforeThePortCloses)
{
    window->cmbTxBaudRate->setCurrentIndex(0);
    harness.engine.ClearTranscript();
    bool exited = false;
    std::vector<std::string> shown;
    SetMessageAnswerHook([&](const MessageRequest& box) -> std::optional<MessageAnswer> {
        shown.push_back(box.message);
        if (!exited && box.message.starts_with("Testing Primary Tx")) {
            exited = true;
            EXPECT_EQ(device->Transmitting(), 1);
            form.mnuPopupOptions[3]->trigger(); // the tray menu's Exit, live over the box
        }
        return MessageAnswer{kAnswerCancel};
    });
    window->cmdTx1Test_Click();
    SetMessageAnswerHook({});
    ASSERT_TRUE(exited);
    EXPECT_EQ(device->Transmitting(), 0);
    EXPECT_EQ(Received(), (Lines{"TT51W", "TT01W"}));
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
    // The test's own box, and no link error on the way out.
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(SpeakerWindow, OpensWithTheFocusOnProgramDateAndTime)
{
    QApplication::processEvents();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), window->chkDateTime);
}

// Exit chosen while the test's start waits for its answer, or in the pass
// that answer comes: the test is stopped before the port closes, and the exit
// shows no box.
void ExitWhileTheStartWaits(SpeakerWindow& t, bool atTheAnswer)
{
    t.window->cmbTxBaudRate->setCurrentIndex(0);
    t.harness.engine.AddFault({.kind = sim::FaultKind::Delay, .pattern = "TT5", .ticks = 12});
    t.harness.engine.ClearTranscript();
    std::vector<std::string> shown;
    SetMessageAnswerHook([&shown](const MessageRequest& box) -> std::optional<MessageAnswer> {
        shown.push_back(box.message);
        return MessageAnswer{kAnswerCancel};
    });
    t.ExitFromTheTrayWhen([&t, atTheAnswer] { return t.HostSent("TT51") && (!atTheAnswer || gReplyAcknowledged); });
    t.window->cmdTx1Test_Click();
    InstallTickPump();
    QCoreApplication::processEvents();
    SetMessageAnswerHook({});
    ASSERT_TRUE(t.exitChosen);
    EXPECT_EQ(t.device->Transmitting(), 0);
    const Lines received = t.Received();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back(), "TT01W");
    EXPECT_EQ(shown, std::vector<std::string>{});
    EXPECT_FALSE(t.form.comUnitConnect->PortOpen());
}

TEST_F(SpeakerWindow, ExitWhileATransmitterTestsStartWaitsStopsTheTestWithoutABox) { ExitWhileTheStartWaits(*this, false); }

TEST_F(SpeakerWindow, ExitInThePassTheTestsStartIsAnsweredStopsTheTestWithoutABox) { ExitWhileTheStartWaits(*this, true); }

// Exit chosen while the test's stop waits for its answer: the exit waits for
// that exchange, sends the stop again before the port closes, and shows no box.
TEST_F(SpeakerWindow, ExitWhileATransmitterTestsStopWaitsStopsTheTestWithoutABox)
{
    window->cmbTxBaudRate->setCurrentIndex(0);
    harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "TT01", .times = 1});
    harness.engine.ClearTranscript();
    std::vector<std::string> shown;
    SetMessageAnswerHook([&shown](const MessageRequest& box) -> std::optional<MessageAnswer> {
        shown.push_back(box.message);
        return MessageAnswer{kAnswerCancel};
    });
    ExitFromTheTrayWhen([this] { return HostSent("TT01"); });
    window->cmdTx1Test_Click();
    InstallTickPump();
    QCoreApplication::processEvents();
    SetMessageAnswerHook({});
    ASSERT_TRUE(exitChosen);
    EXPECT_EQ(device->Transmitting(), 0);
    const Lines received = Received();
    EXPECT_EQ(std::count(received.begin(), received.end(), "TT01W"), 2); // the cut stop, then Exit's own
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].starts_with("Testing Primary Tx"));
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
}

// A stop the unit did not take leaves the test on the air: closing the window
// sends it again before the window goes, and a failure says so.
TEST_F(SpeakerWindow, ClosingAfterAStopTheUnitDidNotTakeSendsItAgainBeforeTheWindowGoes)
{
    for (const bool takenOnClose : {true, false}) {
        SCOPED_TRACE(takenOnClose);
        window->cmbTxBaudRate->setCurrentIndex(0);
        harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "TT01", .times = takenOnClose ? 4 : 0});
        ScriptedMessages boxes;
        boxes.AnswerAlways(kAnswerCancel);
        window->cmdTx1Test_Click();
        harness.engine.ClearTranscript();
        window->close();
        const Lines received = Received();
        EXPECT_EQ(std::count(received.begin(), received.end(), "TT01W"), takenOnClose ? 1 : 4);
        // The test's own stop was not taken either: one box for it, one for the close's.
        const Lines texts = boxes.texts();
        const auto onTheAir = std::count_if(texts.begin(), texts.end(), [](const std::string& text) {
            return text.ends_with("The test of its Primary Tx could not be stopped: the transmitter may still be on "
                                  "the air.");
        });
        EXPECT_EQ(onTheAir, takenOnClose ? 1 : 2);
        EXPECT_TRUE(window.isNull() || !window->isVisible());
        harness.engine.ClearFaults();
        window = new KS_GEN_SpeakerProgrammer(&form);
    }
}

// Exit chosen in the pass where the unit answers the stop: the test is over,
// no second stop goes out, and the window closes.
TEST_F(SpeakerWindow, ExitInThePassTheStopIsAnsweredSendsNoSecondStop)
{
    window->cmbTxBaudRate->setCurrentIndex(0);
    harness.engine.ClearTranscript();
    SetMessageAnswerHook([](const MessageRequest&) { return std::optional(MessageAnswer{kAnswerCancel}); });
    ExitFromTheTrayWhen([this] { return device->Transmitting() == 0 && HostSent("TT01"); });
    window->cmdTx1Test_Click();
    InstallTickPump();
    QCoreApplication::processEvents();
    SetMessageAnswerHook({});
    ASSERT_TRUE(exitChosen);
    const Lines received = Received();
    EXPECT_EQ(std::count(received.begin(), received.end(), "TT01W"), 1);
    EXPECT_TRUE(window.isNull() || !window->isVisible());
}

// A stop the unit did not take is owed for each transmitter until it is
// taken; the close that sends it refuses while a run waits on the unit, and
// the window is grey while the stop itself waits.
TEST_F(SpeakerWindow, ClosingStopsEveryTransmitterLeftOnTheAirButNeverInsideAWait)
{
    window->cmbTxBaudRate->setCurrentIndex(0);
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerCancel);
    // Neither stop is taken; transmitter 1 is tested after transmitter 2.
    for (const char* stop : {"TT02", "TT01"})
        harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = stop, .times = 4});
    window->cmdTx2Test_Click();
    window->cmdTx1Test_Click();

    // A run waits on a setting the unit refuses: closing is refused and nothing of a stop goes out inside it.
    harness.engine.ClearTranscript();
    harness.engine.AddFault({.kind = sim::FaultKind::Refuse, .pattern = "PSS", .times = 0});
    window->chkProgramDeviceConfiguration->setChecked(true);
    bool closed = true;
    SetYieldHook([&] {
        AdvanceTick();
        PollEncoderReply();
        if (closed && HostSent("PSS"))
            closed = window->close();
    });
    window->cmdProgram->click();
    InstallTickPump();
    EXPECT_FALSE(closed);
    EXPECT_FALSE(HostSent("TT"));
    EXPECT_NE(window->lblInfo->text(), "Done !");
    harness.engine.ClearFaults();

    // Test Tone clicked while the close's stop waits sends nothing inside that wait.
    harness.engine.ClearTranscript();
    harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "TT01", .times = 1});
    bool clicked = false;
    SetYieldHook([&] {
        AdvanceTick();
        PollEncoderReply();
        if (!clicked && HostSent("TT01")) {
            clicked = true;
            window->cmdTest->click();
        }
    });
    window->close();
    InstallTickPump();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(Received(), (Lines{"TT01W", "TT01W", "TT02W"}));
    EXPECT_EQ(device->Transmitting(), 0);
}

// The secondary transmitter left alone on the air is stopped by the close as well.
TEST_F(SpeakerWindow, ClosingStopsTheSecondaryTransmitterWhenItIsTheOnlyOneOnTheAir)
{
    window->cmbTxBaudRate->setCurrentIndex(0);
    harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "TT02", .times = 4});
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerCancel);
    window->cmdTx2Test_Click();
    harness.engine.ClearTranscript();
    window->close();
    const Lines received = Received();
    EXPECT_EQ(std::count(received.begin(), received.end(), "TT02W"), 1);
    EXPECT_TRUE(window.isNull() || !window->isVisible());
}
