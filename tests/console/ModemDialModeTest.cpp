// Dial Out of the main window, and Configure OK during a call, against the
// simulator's modem.
#include <QRadioButton>
#include <algorithm>

#include "ConsoleHarness.h"
#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_GEN_Configure.h"
#include "KS_Paging.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"

namespace {

// The console on a modem link whose far end is the simulator's modem (on a port of the test's own, when given).
KS_MainForm& loadOnModem(ConsoleHarness& harness, std::unique_ptr<SerialBackend> port = nullptr)
{
    harness.engine.EnableModem();
    gConnectionType = 2;
    gModemPort = 1;
    gModemPhone = "5551234";
    // What Configure reads back when it opens.
    SaveConfigSetting("Folder", gDataFolder);
    SaveConfigSetting("ConnectionType", "2");
    SaveConfigSetting("Modem COM Port", "1");
    SaveConfigSetting("Phone", gModemPhone);
    SaveConfigSetting("COMPortSettings", gComSettings);
    harness.messages.AnswerAlways(kAnswerOk); // no call is up while the console starts
    return port ? harness.Load(std::move(port)) : harness.Load();
}

bool sent(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A call is up when the test begins.
struct ConfigureDuringACall : testing::Test {
    void SetUp() override
    {
        form.cmdDialOut->click();
        ASSERT_TRUE(harness.engine.CallUp());
        ASSERT_EQ(form.lblModemStatus->text(), "Modem Online");
        harness.HostLines();
    }
    ConsoleHarness harness{{{1, "Anna", "A"}}};
    KS_MainForm& form = loadOnModem(harness);
    KS_GEN_Configure dialog{&form};
};

} // namespace

TEST(ModemDialMode, DialOutToAModemThatAnswersNothingEndsOfflineAndSaysTheModemIsNotResponding)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = loadOnModem(harness);
    SilenceEveryLine(harness.engine);
    harness.statusLog.clear();

    form.cmdDialOut->click();
    EXPECT_EQ(form.cmdDialOut->text(), "Dial &Out");
    EXPECT_TRUE(form.cmdDialOut->isEnabled());
    EXPECT_EQ(form.lblModemStatus->text(), "Modem Offline");
    const auto lines = harness.HostLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("ATDT", 0) == 0; }),
              0);
    ASSERT_FALSE(harness.statusLog.empty());
    EXPECT_EQ(harness.statusLog.back().text, "Modem Not Responding.");
    EXPECT_TRUE(harness.statusLog.back().isError);
    EXPECT_FALSE(harness.Reported("Modem is Ready.", false));
}

TEST(ModemDialMode, ASilentModemIsReportedBeforeTheMinutesWaitForACallAndTheHangUp)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = loadOnModem(harness);
    SilenceEveryLine(harness.engine);
    harness.statusLog.clear();
    // Forty-five seconds after the click: the reset and its retries are long over, the minute's wait is not.
    std::vector<std::string> midWait;
    harness.ActAtYield(900, [&] {
        for (const StatusReport& report : harness.statusLog)
            midWait.push_back(report.text);
    });
    form.cmdDialOut->click();
    ASSERT_FALSE(midWait.empty());
    EXPECT_EQ(midWait.back(), "Modem Not Responding.");
    EXPECT_EQ(std::count(midWait.begin(), midWait.end(), "Disconecting Modem..."), 0);
    EXPECT_TRUE(harness.Reported("Disconecting Modem...", false));
    EXPECT_EQ(form.lblModemStatus->text(), "Modem Offline");
}

TEST_F(ConfigureDuringACall, OkWithThePortAndSpeedUnchangedKeepsTheCallAndIdentifiesTheUnitThroughIt)
{
    ASSERT_TRUE(dialog.optConnect[1]->isChecked());
    ASSERT_TRUE(dialog.UpdateConfiguration());
    EXPECT_TRUE(harness.engine.CallUp());
    EXPECT_TRUE(gModemConnected);
    EXPECT_EQ(form.lblModemStatus->text(), "Modem Online");
    EXPECT_EQ(form.cmdDialOut->text(), "Di&sconnect");
    const Lines lines = harness.HostLines();
    EXPECT_FALSE(sent(lines, "ATH0"));
    EXPECT_TRUE(sent(lines, "?000M"));
    EXPECT_EQ(form.lblConnectionStatus->text().toStdString(), "Connected to " + gEncoderModelName);
    EXPECT_NE(gEncoderModelLetter, "N/A");
}

TEST_F(ConfigureDuringACall, OkWithAnotherSpeedHangsUpAsDisconnectDoesBeforeThePortIsReopened)
{
    dialog.cmbComSettings->setCurrentText("9600-N-8-1");
    ASSERT_TRUE(dialog.UpdateConfiguration());
    EXPECT_FALSE(harness.engine.CallUp());
    EXPECT_FALSE(gModemConnected);
    EXPECT_EQ(form.lblModemStatus->text(), "Modem Offline");
    EXPECT_EQ(form.cmdDialOut->text(), "Dial &Out");
    EXPECT_TRUE(form.cmdDialOut->isEnabled());
    EXPECT_EQ(form.comUnitConnect->Settings(), "9600,N,8,1");
    EXPECT_TRUE(form.comUnitConnect->PortOpen());
    // The escape reached the modem while the call was still up on the old
    // port, so it took the hang-up at the first asking.
    const Lines lines = harness.HostLines();
    EXPECT_EQ(lines.empty() ? "" : lines.front(), "+++");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "ATH0"), 1);
}

// A scheduled page coming due while the modem dials, or just as the call is
// up, waits for Dial Out's conversation: it goes out once afterwards, and the
// unit identified is the one on the line.
void PageComingDueDuringDialOut(bool dueAtTheConnect)
{
    ConsoleHarness harness({{5, "Anna", "A"}});
    KS_MainForm& form = loadOnModem(harness);
    harness.engine.SetDialDelay(200);
    ScheduleEntry& entry = SchedulePageDueNow();
    harness.HostLines();
    const std::size_t boxesBefore = harness.messages.shown().size();
    int dueSeconds = 0;
    int sinceCall = 0;
    SetYieldHook([&] {
        AdvanceTick();
        PollEncoderReply();
        sinceCall = harness.engine.CallUp() ? sinceCall + 1 : 0;
        // The console's second, at every tick of the dial, or at the third after the call is up.
        if (dueAtTheConnect ? sinceCall == 3 : !harness.engine.CallUp()) {
            ++dueSeconds;
            form.tmrSeconds_Timer();
        }
    });
    form.cmdDialOut->click();
    InstallTickPump();
    ASSERT_GT(dueSeconds, 0);
    EXPECT_EQ(form.lblModemStatus->text(), "Modem Online");
    EXPECT_EQ(gEncoderModelLetter, "X");
    EXPECT_EQ(form.lblConnectionStatus->text(), "Connected to QX9860");
    EXPECT_TRUE(harness.Pages().empty());
    EXPECT_EQ(harness.messages.shown().size(), boxesBefore);
    form.tmrSeconds_Timer();
    EXPECT_EQ(harness.Pages(), Lines{"P0053"});
    EXPECT_EQ(entry.Fired, -1);
    SetClockForTest({});
}

TEST(ModemDialMode, APageComingDueWhileTheModemDialsWaitsForTheCallAndGoesOnce)
{
    PageComingDueDuringDialOut(false);
}

TEST(ModemDialMode, APageComingDueAsTheCallComesUpWaitsForTheIdentificationAndGoesOnce)
{
    PageComingDueDuringDialOut(true);
}

// The adapter fails in the middle of a call: Disconnect ends the call as far
// as the console knows, and the next Dial Out dials again.
TEST(ModemDialMode, ACallLostWithItsPortIsEndedByDisconnectAndTheNextDialOutDials)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    auto owned = std::make_unique<UnpluggableLine>(harness.engine);
    UnpluggableLine& adapter = *owned;
    KS_MainForm& form = loadOnModem(harness, std::move(owned));
    form.cmdDialOut->click();
    ASSERT_EQ(form.lblModemStatus->text(), "Modem Online");

    adapter.unplugged = true;
    WaitTicks(3);
    ASSERT_FALSE(gComm->PortOpen());
    form.cmdDialOut->click(); // Disconnect
    EXPECT_FALSE(gModemConnected);
    EXPECT_EQ(form.cmdDialOut->text(), "Dial &Out");

    adapter.unplugged = false;
    harness.engine.EnableModem(); // the modem restarted with its adapter
    harness.HostLines();
    form.cmdDialOut->click();
    EXPECT_TRUE(sent(harness.HostLines(), "ATDT5551234"));
    EXPECT_EQ(form.lblModemStatus->text(), "Modem Online");
}
