// The window's load against the simulator, the user table as the file holds
// it, and scheduled pages fired by the seconds timer.
#include <QFile>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "ConsoleHarness.h"
#include "KS_Clock.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "KS_String.h"
#include "LinkTestSupport.h"

TEST(Startup, ReachesTheEncoderAndListsTheUsersInUse)
{
    // A name never written is NULs, as a download leaves the group pagers: it shows blank.
    ConsoleHarness harness({{1, "First", "A"}, {7, "Seventh", "N"}, {999, std::string(20, '\0'), "T"}});
    KS_MainForm& form = harness.Load();
    EXPECT_EQ(form.lblConnectionStatus->text().left(13), "Connected to ");
    form.lvwUsers->sortItems(1, Qt::AscendingOrder);
    ASSERT_EQ(form.lvwUsers->topLevelItemCount(), 3);
    EXPECT_EQ(form.lvwUsers->topLevelItem(2)->text(1), "999");
    EXPECT_EQ(form.lvwUsers->topLevelItem(2)->text(0), "");
    EXPECT_EQ(gSchedule.size(), 700u); // the schedule was loaded (and created)

    QFile(QString::fromStdString(DataFilePath("Pager.DBS"))).resize(0);
    form.LoadUsers();
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 0); // an empty user table loads empty
}

TEST(Startup, WithoutANotificationAreaAutoHideStillShowsTheWindow)
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this desktop has a notification area";
    gAutoHide = true;
    ConsoleHarness harness({{1, "First", "A"}});
    KS_MainForm& form = harness.Load();
    EXPECT_TRUE(form.isVisible());
    form.mnuFileOptions_Click(0); // Hide cannot hide it either
    EXPECT_TRUE(form.isVisible());
}

TEST(Startup, WithoutAUserTableOrAnAnsweringEncoderTheOperatorIsTold)
{
    const struct {
        bool database;
        std::string message;
    } cases[] = {
        {false, "Pagora is not configured yet. Please go to Setup menu  and select Configure to configure Pagora "
                "(Administrator login is required)."},
        {true, "cannot be established."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ConsoleHarness harness({{1, "First", "A"}}, c.database);
        SilenceEveryLine(harness.engine);
        harness.messages.Answer(kAnswerOk);
        KS_MainForm& form = harness.Load();
        ASSERT_EQ(harness.messages.shown().size(), 1u);
        EXPECT_NE(harness.messages.texts()[0].find(c.message), std::string::npos);
        EXPECT_EQ(form.cmdSendPage->isEnabled(), c.database);
        EXPECT_EQ(form.lblConnectionStatus->text(), "Not Connected");
    }
}

namespace {

struct Scheduler : testing::Test {
    Scheduler() { gSchedule.assign(700, ScheduleEntry{}); }
    // Runs the seconds timer at that local time on a day counted from Monday 7 December 2026.
    void tick(int dayOffset, int hour, int minute, int second)
    {
        const QDateTime local(QDate(2026, 12, 7).addDays(dayOffset), QTime(hour, minute, second));
        SetClockForTest([local] { return local.toUTC(); });
        form.tmrSeconds_Timer();
    }
    void entry(int i, const std::string& time, const std::string& pager, int alert, const std::string& message = {},
               int active = -1)
    {
        ScheduleEntry& e = gSchedule[static_cast<std::size_t>(i)];
        e.Time = time;
        e.Pager = pager;
        e.AlertType = static_cast<std::uint8_t>(alert);
        e.Message = PadRight(message, 30);
        e.Active = static_cast<std::int16_t>(active);
    }
    ConsoleHarness harness{{{5, "Scheduled", "A"}}};
    KS_MainForm& form = harness.Load();
};

} // namespace

TEST_F(Scheduler, AnEntryFiresOnceInItsMinuteAndAgainNextWeek)
{
    entry(3, "09:05 AM", "005", 3); // Monday
    for (int s = 0; s < 60; ++s)
        tick(0, 9, 5, s);
    EXPECT_EQ(harness.Pages(), Lines{"P0053"});
    tick(0, 9, 6, 0);
    EXPECT_EQ(gSchedule[3].Fired, -1); // its date is done
    tick(1, 9, 5, 0);                  // Tuesday: another block
    EXPECT_TRUE(harness.Pages().empty());
    tick(7, 9, 5, 0);
    EXPECT_EQ(harness.Pages(), Lines{"P0053"});
}

TEST_F(Scheduler, InactiveOrPagerlessEntriesNeverFireAndFreeTextIsTrimmed)
{
    entry(0, "12:00 PM", "000", 1);
    entry(1, "12:00 PM", "   ", 1);
    entry(2, "12:00 PM", "005", 1, {}, 0);
    entry(4, "12:00 PM", "005", 10, "  lunch  ");
    entry(5, "12:00 AM", "005", 2);
    tick(0, 12, 0, 0);
    EXPECT_EQ(harness.Pages(), Lines{"P005lunch"});
    tick(0, 0, 0, 30);
    EXPECT_EQ(harness.Pages(), Lines{"P0052"});
}

TEST_F(Scheduler, NoScanStartsWhileAnotherConversationRuns)
{
    entry(0, "09:05 AM", "005", 1);
    {
        LinkConversation busy;
        tick(0, 9, 5, 0);
        EXPECT_TRUE(harness.Pages().empty());
    }
    tick(0, 9, 5, 1); // the next second, still within the minute
    EXPECT_EQ(harness.Pages(), Lines{"P0051"});
}

TEST_F(Scheduler, AnEntryDueDuringABatchGoesOutOnceRightAfterItAndAgainNextWeek)
{
    entry(3, "09:05 AM", "005", 3);
    harness.Select({"005"});
    form.txtMessage->setPlainText("Batch");
    // Two seconds a tick from 09:04:50, the clock stopping at 09:06:10; the
    // seconds timer runs on every tick, as it would inside the batch's waits.
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 4, 50));
    int ticks = 0;
    SetClockForTest([&] { return start.addSecs(std::min(2 * ticks, 80)).toUTC(); });
    SetYieldHook([&] {
        ++ticks;
        AdvanceTick();
        PollEncoderReply();
        form.tmrSeconds_Timer();
    });
    form.cmdSendPage_Click();
    ASSERT_EQ(GetLocalTime().time(), QTime(9, 6, 10));
    EXPECT_EQ(harness.Pages(), Lines{"P005Batch"});
    form.tmrSeconds_Timer();
    EXPECT_EQ(harness.Pages(), Lines{"P0053"});

    InstallTickPump();
    tick(0, 9, 6, 11);
    tick(0, 9, 7, 0);
    EXPECT_TRUE(harness.Pages().empty());
    tick(7, 9, 5, 0);
    EXPECT_EQ(harness.Pages(), Lines{"P0053"});
}

TEST_F(Scheduler, AnEntryInTheDaysLastMinuteFiresAgainNextWeek)
{
    entry(99, "11:59 PM", "005", 4);
    tick(0, 23, 59, 0);
    EXPECT_EQ(harness.Pages(), Lines{"P0054"});
    tick(1, 0, 0, 0);
    tick(7, 0, 0, 0);
    tick(7, 23, 59, 0);
    EXPECT_EQ(harness.Pages(), Lines{"P0054"});
}

TEST_F(Scheduler, AClockSetBackOverTheMinuteSendsNoSecondPageAndTheLastMinuteFiresEveryDay)
{
    entry(3, "09:05 AM", "005", 3);
    entry(99, "11:59 PM", "005", 4);
    entry(199, "11:59 PM", "005", 5); // Tuesday
    tick(0, 9, 5, 10);
    tick(0, 9, 4, 55); // a time sync steps the clock back
    tick(0, 9, 5, 5);
    tick(0, 9, 6, 0);
    tick(0, 9, 5, 30);
    EXPECT_EQ(harness.Pages(), Lines{"P0053"});
    tick(0, 23, 59, 0);
    tick(1, 23, 59, 0);
    tick(7, 23, 59, 0);
    tick(8, 23, 59, 0);
    EXPECT_EQ(harness.Pages(), (Lines{"P0054", "P0055", "P0054", "P0055"}));
}

TEST_F(Scheduler, AnUnreadableTimeIsSkippedAndNamedOnceWhileTheRestOfTheDayGoesOn)
{
    entry(0, "09:05 AM", "005", 1);
    entry(1, "garbage!", "005", 2);
    entry(2, "09:05 AM", "005", 3);
    entry(3, "09:07 AM", "005", 4);
    gSchedule[0].Fired = -1;
    gSchedule[2].Fired = -1;
    tick(0, 9, 7, 0);
    tick(0, 9, 7, 1);
    EXPECT_EQ(gSchedule[0].Fired, 0);
    EXPECT_EQ(gSchedule[2].Fired, 0); // re-armed past the bad entry
    EXPECT_EQ(harness.Pages(), Lines{"P0054"});
    const std::string told = "Scheduled page 002 of Monday is skipped: its time cannot be read.";
    EXPECT_EQ(std::count_if(harness.statusLog.begin(), harness.statusLog.end(),
                            [&](const StatusReport& r) { return r.text == told && r.isError; }),
              1);
}

TEST_F(Scheduler, EntriesInTheTwelfthHourAreReadAndGoOutAtMidnightAndNoon)
{
    entry(0, "12:00 AM", "005", 1);
    entry(1, "12:59 PM", "005", 2);
    tick(0, 9, 0, 0);
    tick(0, 0, 0, 0);
    tick(0, 12, 59, 0);
    EXPECT_EQ(harness.Pages(), (Lines{"P0051", "P0052"}));
    for (const StatusReport& report : harness.statusLog)
        EXPECT_EQ(report.text.find("is skipped"), std::string::npos) << report.text;
}

TEST_F(Scheduler, PagesDueWhileADeviceProgrammerHoldsThePortWaitAndGoOutOnceWhenItCloses)
{
    entry(3, "09:05 AM", "005", 3);
    gDeviceWindowsOpen = 1; // the console cannot open a programmer window: its count stands in
    tick(0, 9, 5, 0);
    tick(0, 9, 5, 30);
    tick(0, 9, 6, 0); // its minute passes while the window is open
    const bool sentWhileOpen = !harness.Pages().empty();
    gDeviceWindowsOpen = 0;
    EXPECT_FALSE(sentWhileOpen);
    EXPECT_TRUE(harness.Reported("Scheduled page to 005 waits: a device programmer is using the port.", false));

    tick(0, 9, 6, 1);
    tick(0, 9, 6, 2);
    tick(0, 9, 7, 0);
    EXPECT_EQ(harness.Pages(), Lines{"P0053"});
    tick(7, 9, 5, 0);
    EXPECT_EQ(harness.Pages(), Lines{"P0053"}); // and again next week
}

TEST_F(Scheduler, EntriesDueTogetherGoOutInScheduleOrder)
{
    entry(6, "09:05 AM", "005", 6);
    entry(2, "09:05 AM", "005", 2);
    tick(0, 9, 5, 0);
    EXPECT_EQ(harness.Pages(), (Lines{"P0052", "P0056"}));

    // Held back by a busy line, a later entry that came due first still goes after an earlier one.
    entry(11, "09:10 AM", "005", 1);
    entry(10, "09:11 AM", "005", 9);
    {
        LinkConversation busy;
        tick(0, 9, 10, 0);
        tick(0, 9, 11, 0);
    }
    tick(0, 9, 11, 1);
    EXPECT_EQ(harness.Pages(), (Lines{"P0059", "P0051"}));
}

TEST_F(Scheduler, AnEntrySwitchedOffOrEmptiedWhileItWaitsForTheLineStaysUnsent)
{
    entry(1, "09:05 AM", "005", 1);
    entry(2, "09:05 AM", "005", 2);
    entry(3, "09:05 AM", "005", 3);
    {
        LinkConversation busy;
        tick(0, 9, 5, 0);
    }
    gSchedule[1].Active = 0;   // as the schedule window saves them
    gSchedule[2].Pager = "000";
    tick(0, 9, 5, 1);
    EXPECT_EQ(harness.Pages(), Lines{"P0053"});
}

TEST_F(Scheduler, CommandsClickedInsideAScheduledPageDoNothingWhileItWaits)
{
    entry(0, "09:05 AM", "005", 1);
    harness.Select({"005"});
    form.txtMessage->setPlainText("Console");
    form.lvwUsers->topLevelItem(0)->setSelected(true);
    gConnectionType = 2; // Dial Out would otherwise hang up under the page
    gModemConnected = true;

    harness.ActAtYield(50, [this] {
        form.cmdSendPage_Click();
        form.cmdDelete_Click();
        form.cmdDialOut_Click();
        form.mnuDevicesOptions[3]->trigger(); // Upload
        form.mnuSetupTimeOptions[0]->trigger();
    });
    tick(0, 9, 5, 0);

    EXPECT_TRUE(harness.actedInConversation);
    EXPECT_TRUE(gModemConnected);
    EXPECT_TRUE(harness.messages.shown().empty());
    EXPECT_EQ(harness.HostLines(), Lines{"P0051"});
    EXPECT_EQ(form.lvwSelectedUsers->topLevelItemCount(), 1);
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 1);
}

TEST_F(Scheduler, F1WhileAScheduledPageHoldsTheLineOpensNoViewerAndShowsNoMessage)
{
    entry(0, "09:05 AM", "005", 1);
    QTemporaryDir folder;
    gHelpFile = folder.filePath("Pagora.html").toStdString();
    QFile(folder.filePath("Pagora.html")).open(QIODevice::WriteOnly);
    int viewed = 0;
    SetDocumentViewerForTest([&viewed](const QString&) { return ++viewed > 0; });
    form.show();
    form.txtMessage->setFocus();
    harness.ActAtYield(5, [this] { QTest::keyClick(form.txtMessage, Qt::Key_F1); });
    tick(0, 9, 5, 0);

    EXPECT_TRUE(harness.actedInConversation);
    EXPECT_EQ(viewed, 0);
    EXPECT_TRUE(harness.messages.shown().empty());
    QTest::keyClick(form.txtMessage, Qt::Key_F1); // the line free again
    EXPECT_EQ(viewed, 1);
    SetDocumentViewerForTest({});
}

TEST(Startup, AUnitFoundAfterStartUpRefillsTheUserListWithItsPagerTypes)
{
    ConsoleHarness harness({{1, "Anna", "5"}}); // an LED display as the U stores it
    harness.engine.SetModel('U');
    SilenceEveryLine(harness.engine);
    harness.messages.Answer(kAnswerOk);
    KS_MainForm& form = harness.Load();
    ASSERT_EQ(form.lvwUsers->topLevelItem(0)->text(3), "Widearea"); // no unit yet: the digit's usual meaning

    harness.engine.ClearFaults();
    DetectEncoder(); // as Configure, a dial-out or any window does
    EXPECT_EQ(form.lvwUsers->topLevelItem(0)->text(3), "LED Display");
}

TEST(Startup, AnotherUnitFoundByAWindowRefillsTheUserListWithTheOperatorsSelectionKept)
{
    ConsoleHarness harness({{1, "Anna", "A"}, {2, "Bert", "A"}, {3, "Carl", "A"}});
    harness.engine.SetModel('A');
    KS_MainForm& form = harness.Load();
    form.lvwUsers->clearSelection();
    form.lvwUsers->setCurrentItem(form.lvwUsers->topLevelItem(2)); // Carl, then Bert as well
    form.lvwUsers->topLevelItem(1)->setSelected(true);

    harness.engine.SetModel('X');
    DetectEncoder(); // as a message-table or programmer window does
    ASSERT_EQ(form.lvwUsers->topLevelItem(0)->text(3), "Numeric"); // refilled by the digit codes
    QStringList selected;
    for (const QTreeWidgetItem* row : form.lvwUsers->selectedItems())
        selected << row->text(1);
    selected.sort();
    EXPECT_EQ(selected, (QStringList{"002", "003"}));
    EXPECT_EQ(form.SelectedUserRow()->text(1), "003");
}
