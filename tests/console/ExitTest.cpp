#include <QDialog>
#include <QEvent>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include "ConsoleHarness.h"
#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_GEN_CoverPage.h"
#include "KS_Globals.h"
#include "KS_Paging.h"

namespace {

bool timersStopped(const KS_MainForm& form)
{
    return !form.tmrMinutes->isActive() && !form.tmrSeconds->isActive() && !form.tmrDelay->isActive();
}

// Notes the windows that get one kind of event (closing, showing), in order.
class EventLog : public QObject {
public:
    explicit EventLog(QEvent::Type type)
        : type_(type)
    {
    }
    std::vector<QString> windows;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == type_)
            windows.push_back(watched->objectName());
        return false;
    }

private:
    QEvent::Type type_;
};

// The console on a modem line, its call up.
KS_MainForm& loadOnACall(ConsoleHarness& harness)
{
    harness.engine.EnableModem();
    gConnectionType = 2;
    gModemPort = 1;
    gModemPhone = "5551234";
    harness.messages.AnswerAlways(kAnswerOk); // no call is up while the console starts
    KS_MainForm& form = harness.Load();
    form.SetModemDialMode(true);
    return form;
}

} // namespace

TEST(Exit, HangsUpClosesWindowsNewestFirstThenThePortAndSavesWhereTheHiddenWindowWas)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    gShowHelpMessage = false;
    KS_MainForm& form = loadOnACall(harness);
    ASSERT_TRUE(harness.engine.CallUp());
    harness.HostLines();
    EventLog log(QEvent::Close);
    for (const char* name : {"first", "second"}) {
        auto* window = new QDialog(&form);
        window->setObjectName(name);
        window->installEventFilter(&log);
        form.OpenOwnedWindow(window, false);
    }
    form.setGeometry(QRect(QPoint(300, 150), form.size())); // where the client area stands
    form.hide();

    form.ExitApplication();
    EXPECT_EQ(log.windows, (std::vector<QString>{"second", "first"}));
    EXPECT_FALSE(form.OpenerDisabled());
    const auto lines = harness.HostLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "+++");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "ATH0"), lines.end());
    EXPECT_FALSE(harness.engine.CallUp());
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
    EXPECT_TRUE(timersStopped(form));
    EXPECT_TRUE(ExitRequested());
    EXPECT_EQ(GetConfigSetting("LastX"), "4500");
    EXPECT_EQ(GetConfigSetting("LastY"), "2250");
    EXPECT_EQ(GetConfigSetting("ShowHelpMessage"), "0");
}

TEST(Exit, ChosenFromTheTrayDuringABatchItStopsTheBatchAndEndsOnceTheConversationIsOver)
{
    ConsoleHarness harness({{1, "Anna", "A"}, {2, "Bert", "A"}, {3, "Carl", "A"}});
    KS_MainForm& form = harness.Load();
    harness.Select({"001", "002", "003"});
    form.txtMessage->setPlainText("Fire drill");
    harness.messages.AnswerAlways(kAnswerOk);

    harness.ActAtYield(60, [&form] { form.mnuPopupOptions[3]->trigger(); });
    form.cmdSendPage_Click();
    EXPECT_TRUE(harness.actedInConversation);
    EXPECT_TRUE(ExitRequested());
    EXPECT_EQ(harness.Pages(), Lines{"P001Fire drill"});
    // Exit came during the second page's wait: that page gave up, the third never started.
    ASSERT_EQ(form.lvwSelectedUsers->topLevelItemCount(), 1);
    EXPECT_EQ(form.lvwSelectedUsers->topLevelItem(0)->text(0), "003");

    DoEvents(); // the exit runs once the conversation has unwound
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
    EXPECT_TRUE(timersStopped(form));
    EXPECT_FALSE(GetConfigSetting("LastX").empty());

    const int ticksAfterExit = harness.yields;
    form.tmrSeconds_Timer();
    form.cmdSendPage_Click();
    EXPECT_TRUE(harness.HostLines().empty());
    EXPECT_LT(harness.yields - ticksAfterExit, 10);
}

TEST(Exit, ChosenWhileScheduledPagesWaitTheRestNeitherProbeTheUnitNorShowOnTheStatusLine)
{
    ConsoleHarness harness({{1, "Anna", "A"}, {2, "Bert", "A"}, {3, "Carl", "A"}});
    KS_MainForm& form = harness.Load();
    gSchedule.assign(700, ScheduleEntry{});
    for (const int i : {0, 1, 2}) { // all three due at 09:05 on a Monday
        gSchedule[i].Time = "09:05 AM";
        gSchedule[i].Pager = "00" + std::to_string(i + 1);
        gSchedule[i].AlertType = 1;
        gSchedule[i].Active = -1;
    }
    SetClockForTest([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 5, 0)).toUTC(); });
    harness.messages.AnswerAlways(kAnswerOk);
    std::size_t heardBeforeExit = 0;
    harness.ActAtYield(60, [&] {
        heardBeforeExit = harness.engine.Transcript().size();
        form.mnuPopupOptions[3]->trigger();
    });
    form.tmrSeconds_Timer();
    DoEvents();
    SetClockForTest({});

    EXPECT_TRUE(harness.actedInConversation);
    EXPECT_EQ(harness.Pages(), Lines{"P0011"});
    // Nothing goes out once Exit is chosen, not even a probe of the page it interrupted.
    const auto& transcript = harness.engine.Transcript();
    EXPECT_EQ(std::count_if(transcript.begin() + static_cast<std::ptrdiff_t>(heardBeforeExit), transcript.end(),
                            [](const sim::TranscriptEntry& e) { return e.fromHost; }),
              0);
    EXPECT_FALSE(harness.Reported("Sending page to pager 003 ...", false));
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
    // The page to 002, which Exit cut short, is not known to have gone out: it is not marked as sent.
    EXPECT_EQ(gSchedule[0].Fired, -1);
    EXPECT_EQ(gSchedule[1].Fired, 0);
}

TEST(Exit, ChosenFromTheTrayWhileAWindowLoadsThatWindowIsNeverShownAndTheMainWindowIsLeftUsable)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = harness.Load();
    EventLog shows(QEvent::Show);
    RegisterWindow(FormName::MessagesSB, [&shows](QWidget* owner) {
        auto* window = new QDialog(owner);
        window->installEventFilter(&shows);
        LinkConversation load; // its load asks the unit something
        IsLinkResponding();
        return window;
    });
    harness.ActAtYield(1, [&form] { form.mnuPopupOptions[3]->trigger(); });
    form.cmdSBMessages_Click();
    RegisterWindow(FormName::MessagesSB, {});
    EXPECT_TRUE(harness.actedInConversation);
    EXPECT_TRUE(shows.windows.empty());
    EXPECT_FALSE(form.OpenerDisabled());
    EXPECT_TRUE(form.menuBar()->isEnabled());
}

// The exit's own hang-up waits on the modem for seconds: no scheduled page
// or cover page comes due inside it, and the entry due then is not marked as sent.
TEST(Exit, NoScheduledPageComesDueInsideTheExitsOwnHangUp)
{
    ConsoleHarness harness({{5, "Eve", "A"}});
    KS_MainForm& form = loadOnACall(harness);
    ASSERT_TRUE(harness.engine.CallUp());
    gSchedule.assign(700, ScheduleEntry{});
    gSchedule[0] = ScheduleEntry{.Time = "09:05 AM", .Pager = "005", .AlertType = 1, .Active = -1};
    SetClockForTest([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 5, 0)).toUTC(); });
    harness.HostLines();
    auto* cover = new KS_GEN_CoverPage(&form);
    cover->txtUserID->setText("005");
    cover->cmbRepeatTime->setCurrentIndex(0); // every event
    cover->cmbRepeatTime_Click();
    form.OpenOwnedWindow(cover, false);
    // The console's second and the cover page's event as their running timers
    // would deliver them during the hang-up's waits.
    form.tmrSeconds->start();
    harness.ActAtYield(5, [&form, cover = QPointer<KS_GEN_CoverPage>(cover)] {
        if (form.tmrSeconds->isActive())
            form.tmrSeconds_Timer();
        if (cover)
            cover->tmrCoverPage_Timer();
    });
    form.ExitApplication();
    SetClockForTest({});
    EXPECT_GT(harness.yields, 5);
    EXPECT_FALSE(harness.Reported("Sending page to pager 005 ...", false));
    EXPECT_TRUE(harness.Pages().empty());
    EXPECT_EQ(gSchedule[0].Fired, 0);
}

TEST(Exit, ChosenWhileTheClockGoesOutShowsNoBoxForIt)
{
    ConsoleHarness harness;
    KS_MainForm& form = harness.Load();
    const std::size_t boxes = harness.messages.texts().size();
    harness.ActAtYield(2, [&form] { form.mnuPopupOptions[3]->trigger(); });
    form.mnuSetupTimeOptions_Click(0);
    DoEvents();
    EXPECT_TRUE(harness.actedInConversation);
    EXPECT_EQ(harness.messages.texts().size(), boxes);
}
