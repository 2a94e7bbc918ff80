// The window's load against the simulator, the user table as the file holds
// it, and scheduled pages fired by the seconds timer.
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "ConsoleHarness.h"
#include "KS_Clock.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Registry.h"
#include "KS_String.h"

namespace {

std::vector<std::string> pageLines(ConsoleHarness& harness)
{
    std::vector<std::string> result;
    for (auto& line : harness.HostLines())
        if (!line.empty() && line[0] == 'P')
            result.push_back(line);
    return result;
}

// Monday 7 December 2026 at the given local time.
void setLocalClock(int dayOffset, int hour, int minute, int second)
{
    const QDateTime local(QDate(2026, 12, 7).addDays(dayOffset), QTime(hour, minute, second));
    SetClockForTest([local] { return local.toUTC(); });
}

ScheduleEntry entryAt(const std::string& time, const std::string& pager, int alert, const std::string& message = {},
                      int active = -1)
{
    ScheduleEntry e;
    e.Time = time;
    e.Pager = pager;
    e.AlertType = static_cast<std::uint8_t>(alert);
    e.Message = PadRight(message, 30);
    e.Active = static_cast<std::int16_t>(active);
    return e;
}

} // namespace

TEST(Startup, ReachesTheEncoderAndListsTheUsersInUse)
{
    ConsoleHarness harness({{1, "First", "A"}, {7, "Seventh", "N"}, {999, "Last", "T"}});
    KS_MainForm& form = harness.Load();
    EXPECT_EQ(form.lblConnectionStatus->text().left(13), "Connected to ");
    ASSERT_EQ(form.lvwUsers->topLevelItemCount(), 3);
    QStringList numbers;
    for (int i = 0; i < 3; ++i)
        numbers << form.lvwUsers->topLevelItem(i)->text(1);
    numbers.sort();
    EXPECT_EQ(numbers, (QStringList{"001", "007", "999"}));
    EXPECT_EQ(gSchedule.size(), 700u); // the schedule was loaded (and created)
}

TEST(Startup, AnEmptyUserTableLoadsEmpty)
{
    ConsoleHarness harness;
    KS_MainForm& form = harness.Load();
    QFile(QString::fromStdString(DataFilePath("Pager.DBS"))).resize(0);
    form.LoadUsers();
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 0);
}

TEST(Startup, WithoutAUserTableTheOperatorIsToldToConfigure)
{
    ConsoleHarness harness({}, false);
    harness.messages.Answer(kAnswerOk);
    KS_MainForm& form = harness.Load();
    ASSERT_EQ(harness.messages.shown().size(), 1u);
    EXPECT_EQ(harness.messages.shown()[0].message,
              "Pagora is not configured yet. Please go to Setup menu  and select Configure to configure Pagora "
              "(Administrator login is required).");
    EXPECT_FALSE(form.cmdSendPage->isEnabled());
    EXPECT_EQ(form.lblConnectionStatus->text(), "Not Connected");
}

TEST(Startup, AnUnansweredProbeShowsTheLinkMessage)
{
    ConsoleHarness harness({{1, "First", "A"}});
    harness.engine.AddFault({sim::FaultKind::Silence, ".*", sim::MatchMode::Regex, 0, {}, 0, 0});
    harness.engine.AddFault({sim::FaultKind::Silence, "", sim::MatchMode::Exact, 0, {}, 0, 0});
    harness.messages.Answer(kAnswerOk);
    harness.Load();
    ASSERT_EQ(harness.messages.shown().size(), 1u);
    EXPECT_NE(harness.messages.shown()[0].message.find("cannot be established."), std::string::npos);
}

struct Scheduler : testing::Test {
    Scheduler()
        : harness({{5, "Scheduled", "A"}})
        , form(harness.Load())
    {
        gSchedule.assign(700, ScheduleEntry{});
    }
    void tick(int dayOffset, int hour, int minute, int second)
    {
        setLocalClock(dayOffset, hour, minute, second);
        form.tmrSeconds_Timer();
    }
    ConsoleHarness harness;
    KS_MainForm& form;
};

TEST_F(Scheduler, AnEntryFiresOnceInItsMinuteAndAgainNextWeek)
{
    gSchedule[3] = entryAt("09:05 AM", "005", 3); // Monday
    for (int s = 0; s < 60; ++s)
        tick(0, 9, 5, s);
    EXPECT_EQ(pageLines(harness), std::vector<std::string>{"P0053"});
    tick(0, 9, 6, 0);
    EXPECT_EQ(gSchedule[3].Fired, 0); // re-armed the minute after
    tick(1, 9, 5, 0);                 // Tuesday: another block
    EXPECT_TRUE(pageLines(harness).empty());
    tick(7, 9, 5, 0);
    EXPECT_EQ(pageLines(harness), std::vector<std::string>{"P0053"});
}

TEST_F(Scheduler, InactiveOrPagerlessEntriesNeverFireAndFreeTextIsTrimmed)
{
    gSchedule[0] = entryAt("12:00 PM", "000", 1);
    gSchedule[1] = entryAt("12:00 PM", "   ", 1);
    gSchedule[2] = entryAt("12:00 PM", "005", 1, {}, 0);
    gSchedule[4] = entryAt("12:00 PM", "005", 10, "  lunch  ");
    gSchedule[5] = entryAt("12:00 AM", "005", 2);
    tick(0, 12, 0, 0);
    EXPECT_EQ(pageLines(harness), std::vector<std::string>{"P005lunch"});
    tick(0, 0, 0, 30);
    EXPECT_EQ(pageLines(harness), std::vector<std::string>{"P0052"});
}

TEST_F(Scheduler, NoScanStartsWhileAnotherConversationRuns)
{
    gSchedule[0] = entryAt("09:05 AM", "005", 1);
    {
        LinkConversation busy;
        tick(0, 9, 5, 0);
        EXPECT_TRUE(pageLines(harness).empty());
    }
    tick(0, 9, 5, 1); // the next second, still within the minute
    EXPECT_EQ(pageLines(harness), std::vector<std::string>{"P0051"});
}

TEST_F(Scheduler, AnUnreadableTimeEndsTheScanThere)
{
    gSchedule[0] = entryAt("09:05 AM", "005", 1);
    gSchedule[1] = entryAt("garbage!", "005", 2);
    gSchedule[2] = entryAt("09:05 AM", "005", 3);
    gSchedule[0].Fired = -1;
    gSchedule[2].Fired = -1;
    tick(0, 9, 7, 0);
    EXPECT_EQ(gSchedule[0].Fired, 0);  // handled before the bad entry
    EXPECT_EQ(gSchedule[2].Fired, -1); // waits for a later scan
    EXPECT_TRUE(pageLines(harness).empty());
}
