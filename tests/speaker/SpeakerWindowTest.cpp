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
    bool HostSent(std::string_view prefix)
    {
        for (const auto& entry : harness.engine.Transcript())
            if (entry.fromHost && entry.bytes.starts_with(prefix))
                return true;
        return false;
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

// A test tone only keeps the window open: a read started while the tone
// waits for the unit is a run as any other, the window grey while it asks.
TEST_F(SpeakerWindow, AReadStartedWhileATestToneWaitsGreysTheWindowAsAnyRead)
{
    harness.engine.AddFault(
        {.kind = sim::FaultKind::Silence, .pattern = "GM", .match = sim::MatchMode::Prefix, .times = 0});
    bool started = false;
    bool greyWhileAsking = false;
    SetYieldHook([&] {
        AdvanceTick();
        PollEncoderReply();
        if (!started && HostSent("GM")) {
            started = true;
            harness.engine.ClearTranscript();
            window->cmdRead_Click();
        } else if (started && HostSent("?V") && !window->tlbMenu->isEnabled()) {
            greyWhileAsking = true;
        }
    });
    window->cmdTest->click();
    InstallTickPump();
    ASSERT_TRUE(started);
    EXPECT_TRUE(greyWhileAsking);
    EXPECT_TRUE(window->tlbMenu->isEnabled());
    EXPECT_TRUE(window->cmdTest->isEnabled());
}

TEST_F(SpeakerWindow, OpensWithTheFocusOnProgramDateAndTime)
{
    QApplication::processEvents();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), window->chkDateTime);
}
