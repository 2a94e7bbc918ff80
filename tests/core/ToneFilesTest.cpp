#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "FailingReads.h"
#include "KS_Clock.h"
#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_String.h"
#include "TestSupport.h"

namespace {

class ToneFiles : public testing::Test {
protected:
    void SetUp() override
    {
        MakeDataFolder();
        SetClockForTest([] { return QDateTime(QDate(2024, 6, 15), QTime(12, 0), Qt::UTC); });
    }
};

// A unit on the link: answers what the test scripts and records every question;
// asked whether to go on after a silence, it says yes and not to ask again.
struct FakeUnit {
    std::vector<LinkQuery> queries;
    std::function<std::string(const LinkQuery&, std::string&)> answer = [](const LinkQuery&, std::string&) {
        return std::string();
    };

    void Install()
    {
        SetToneDownloadHooks({
            [] { return true; },
            [] {},
            [this](const LinkQuery& q, std::string& reply) {
                queries.push_back(q);
                reply.clear();
                return answer(q, reply);
            },
            [] {
                gMessageOption = true;
                return kAnswerYes;
            },
        });
    }
};

std::string toneRecordWithCountdown(int countdown) { return Image(73).Put(0, "01").PutInt16(43, countdown); }

} // namespace

TEST_F(ToneFiles, TheOldFileNameIsTakenOverWithoutADownloadAndNoFileIsReadPastAWeek)
{
    FakeUnit unit;
    unit.Install();
    WriteBytes(DataFilePath("ToneGen.DBS"), Repeat(toneRecordWithCountdown(80), 100));
    ASSERT_TRUE(LoadToneSchedule(true));
    EXPECT_FALSE(PathExists(DataFilePath("ToneGen.DBS")));
    EXPECT_EQ(ReadBytes(DataFilePath("ToneGen.TGS")).size(), 100u * 73);
    EXPECT_TRUE(unit.queries.empty());
    // A short file fills what it holds, the rest are default events; the data folder's file keeps a countdown of 80.
    EXPECT_EQ(gToneSchedule[99].Countdown, 80);
    EXPECT_EQ(gToneSchedule[100].EventNo, "05");
    EXPECT_EQ(gToneSchedule[100].Time, "12:00 AM");
    EXPECT_EQ(gToneSchedule[100].AlertType, 1);

    // The configured file has countdowns beyond 79 cleared.
    gToneGenFile = DataFilePath("ToneGen.TGS");
    ASSERT_TRUE(LoadToneSchedule(false));
    EXPECT_EQ(gToneSchedule[0].Countdown, 0);

    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    WriteBytes(gToneGenFile, Repeat(toneRecordWithCountdown(5), 337));
    EXPECT_FALSE(LoadToneSchedule(false));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Error reading user record."});
    EXPECT_EQ(gToneSchedule[335].Countdown, 5);
}

TEST_F(ToneFiles, AReadThatBreaksOffKeepsWhatItReadAndSaysSo)
{
    WriteBytes(DataFilePath("ToneGen.TGS"), Repeat(toneRecordWithCountdown(5), 336));
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    bool loaded = true;
    {
        const FailingReads failing(100 * 73);
        loaded = LoadToneSchedule(false);
    }
    EXPECT_FALSE(loaded);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Error reading user record."});
    EXPECT_EQ(gToneSchedule[99].Countdown, 5);
    EXPECT_EQ(gToneSchedule[100], ToneScheduleEvent{});
}

TEST_F(ToneFiles, WeeklyAnswersAreReadByPositionForEachKindOfUnit)
{
    // Three-digit zone, no repeat and delay (second row of the unit table).
    ToneScheduleEvent e = DefaultToneScheduleEvent(1);
    ASSERT_TRUE(ParseToneEventAnswer("xxxx0930012542Y", 7, e));
    EXPECT_EQ(std::tie(e.EventNo, e.Time, e.Zone), std::tuple("07", "09:30 AM", "012"));
    EXPECT_EQ(std::tie(e.AlertType, e.AlertLength, e.AlertLevel, e.Active, e.Repeat, e.Delay),
              std::tuple(5, 4, 2, -1, 0, 1));

    ASSERT_TRUE(ParseToneEventAnswer("xxxx2575012047N", 1, e));
    EXPECT_EQ(e.Time, "12:00 AM"); // 25:75 is no time
    EXPECT_EQ(e.AlertType, 1);     // "0" is alert 1
    EXPECT_EQ(e.AlertLevel, 1);    // level 7 is out of range
    ASSERT_TRUE(ParseToneEventAnswer("xxxx1200001;12N", 1, e));
    EXPECT_EQ(e.AlertType, 59);
    EXPECT_FALSE(ParseToneEventAnswer("xxxx1200001;12", 1, e));

    // Two-digit zone after the flag; alert 9 keeps its level as the countdown's tens.
    gEncoderModelLetter = "L";
    ASSERT_TRUE(ParseToneEventAnswer("abcd0800957N12", 3, e));
    EXPECT_EQ(e.Zone, "12");
    EXPECT_EQ(std::tie(e.AlertLevel, e.Countdown, e.Active), std::tuple(7, 75, 0));

    // Tone actions: alert 10 carries its action and seconds.
    gEncoderModelLetter = "X";
    gToneEventsSupported = true;
    ASSERT_TRUE(ParseToneEventAnswer("abcd1305:10Y0745", 2, e));
    EXPECT_EQ(std::tie(e.Time, e.Zone), std::tuple("01:05 PM", "07"));
    EXPECT_EQ(std::tie(e.AlertType, e.AlertLevel, e.Repeat, e.Delay, e.Action, e.Seconds),
              std::tuple(58, 0, 4, 5, 1, 45));
    ASSERT_TRUE(ParseToneEventAnswer("abcd1305:10Y0700", 2, e));
    EXPECT_EQ(std::tie(e.Action, e.Delay), std::tuple(2, 0));
    ASSERT_TRUE(ParseToneEventAnswer("abcd1305:20Y0700", 2, e));
    EXPECT_EQ(e.Action, 3);
}

TEST_F(ToneFiles, TheWeekIsDownloadedEventByEvent)
{
    gToneGenSupported = true;
    FakeUnit unit;
    unit.answer = [](const LinkQuery& q, std::string&) {
        return q.data == "201" ? std::string("xxxx0930012542Y") : std::string();
    };
    unit.Install();

    ScriptedMessages boxes;
    boxes.Answer(kAnswerOk); // the week is not whole
    ASSERT_TRUE(LoadToneSchedule(true));

    // 202 asked again on the operator's Yes, then every event once.
    ASSERT_EQ(unit.queries.size(), 337u);
    const LinkQuery& first = unit.queries[0];
    EXPECT_EQ(std::tie(first.command, first.data, first.expectedLength, first.noSuffix, first.pokeOnTimeout,
                       first.attempts),
              std::tuple("?E", "201", 15, true, true, 3));
    EXPECT_EQ(unit.queries[6 * 48 + 1].data, "101"); // Sunday
    const std::string file = ReadBytes(DataFilePath("ToneGen.TGS"));
    ASSERT_EQ(file.size(), 336u * 73);
    EXPECT_EQ(Record(file, 73, 1).substr(0, 41),
              Image(41).Put(0, "01012").Fill(5, 25, ' ').Put(30, "09:30 AM").PutByte(38, 5).PutByte(39, 4).PutByte(40, 2).str());
    // Events the unit did not send are kept unread, their number alone; each day starts again at 01.
    EXPECT_EQ(Record(file, 73, 2), Image(73).Put(0, "02").str());
    EXPECT_EQ(Record(file, 73, 49), Image(73).Put(0, "01").str());
    EXPECT_EQ(gToneSchedule[335], UnreadToneScheduleEvent(48));
}

TEST_F(ToneFiles, ACalendarIsMadeForThisYearOrReportedWhenItCannotBeWrittenAndIsFoundConfiguredFirst)
{
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    MakeDirectory(DataFilePath("ToneGenCalendar.TMP"));
    bool created = false;
    QDate firstDay;
    EXPECT_FALSE(LoadToneCalendar(false, created, firstDay));
    EXPECT_FALSE(created);
    EXPECT_EQ(boxes.texts().size(), 1u);
    EXPECT_FALSE(PathExists(DataFilePath("ToneGenCalendar.TGC")));

    ASSERT_TRUE(QDir().rmdir(QString::fromStdString(DataFilePath("ToneGenCalendar.TMP"))));
    ASSERT_TRUE(LoadToneCalendar(false, created, firstDay));
    EXPECT_EQ(std::pair(created, firstDay), std::pair(true, QDate(2024, 1, 1)));

    const std::string file = ReadBytes(DataFilePath("ToneGenCalendar.TGC"));
    ASSERT_EQ(file.size(), 37200u * 68);
    const auto event = [](std::string_view dateHex, int eventNo) {
        return Image(68)
            .PutHex(0, dateHex)
            .PutInt16(8, eventNo)
            .Fill(12, 25, ' ').PutByte(45, 1).PutByte(47, 1).PutByte(51, 1).PutByte(52, 1).str();
    };
    EXPECT_EQ(Record(file, 68, 100), event("00000000801de640", 100)); // 1 January 2024
    EXPECT_EQ(Record(file, 68, 36501), event("00000000204be640", 1)); // 31 December 2024, block 365
    EXPECT_EQ(Record(file, 68, 37200), event("0000000000000040", 100)); // 01/01/1900, block 372

    // Found the next year: its own first day, not created again.
    SetClockForTest([] { return QDateTime(QDate(2025, 3, 1), QTime(12, 0), Qt::UTC); });
    ASSERT_TRUE(LoadToneCalendar(false, created, firstDay));
    EXPECT_EQ(std::pair(created, firstDay), std::pair(false, QDate(2024, 1, 1)));

    gToneGenCalendarFile = gDataFolder + "/My.TGC";
    WriteBytes(gToneGenCalendarFile, Image(68).PutHex(0, "00000000e0efe540").str()); // 1 January 2023
    ASSERT_TRUE(LoadToneCalendar(false, created, firstDay));
    EXPECT_EQ(firstDay, QDate(2023, 1, 1));
}

TEST_F(ToneFiles, CalendarRepliesAreReadInFourteenCharacterEvents)
{
    std::vector<CalendarEvent> day(100, DefaultCalendarEvent(45292, 1));
    const std::string reply = std::string("ABCDE") + "093001298" + "1234Y" + "141500599" + "1045N" +
                              "000000101" + "1000N" + "*\r";
    ASSERT_EQ(ParseCalendarDayReply(reply, 100, day), 3);
    EXPECT_EQ(day[0].EventDate, 45292.0);
    EXPECT_EQ(day[0].Time, SerialFromTime(9, 30));
    EXPECT_EQ(std::tie(day[0].Zone, day[0].AlertType, day[0].Duration, day[0].Repeat, day[0].Delay, day[0].Active),
              std::tuple(12, 98, 12 * 60 + 34, 0, 1, -1));
    EXPECT_EQ(std::tie(day[1].AlertType, day[1].Action, day[1].Duration, day[1].AlertLength, day[1].AlertLevel,
                       day[1].Active),
              std::tuple(99, 1, 45, 0, 1, 0));
    EXPECT_EQ(std::tie(day[2].AlertType, day[2].AlertLength), std::tuple(1, 1));
    EXPECT_EQ(day[3], DefaultCalendarEvent(45292, 1));

    EXPECT_EQ(ParseCalendarDayReply(reply.substr(0, reply.size() - 1), 100, day), 0);
    // Never more events than a day block holds.
    std::string flood = "ABCDE";
    for (int i = 0; i < 120; ++i)
        flood += "000000101" "1000N";
    EXPECT_EQ(ParseCalendarDayReply(flood + "*\r", 500, day), 100);

    // A signed alert type is line noise, not a type.
    day.assign(100, DefaultCalendarEvent(45292, 1));
    ASSERT_EQ(ParseCalendarDayReply(std::string("ABCDE") + "0930012-3" + "1234Y" + "*\r", 100, day), 1);
    EXPECT_EQ(day[0].AlertType, 1);
    EXPECT_EQ(day[0].Time, SerialFromTime(9, 30));
}

// The operator said go on without asking; a unit that then answers neither the
// query nor the probe is asked nothing more. Having sent nothing, it leaves no
// file: defaults in its place would go up over its own week.
TEST_F(ToneFiles, AUnitThatStopsAnsweringIsAskedNoFurtherOnceTheOperatorStoppedTheQuestions)
{
    gToneGenSupported = true;
    gToneCalendarSupported = true;
    gToneCalendarEventsPerDay = 1;
    bool unplugged = false;
    int probes = 0;
    std::vector<LinkQuery> queries;
    SetToneDownloadHooks({
        [&] {
            ++probes;
            return !unplugged;
        },
        [] {},
        [&](const LinkQuery& q, std::string& reply) {
            queries.push_back(q);
            reply.clear();
            unplugged = unplugged || q.data == "203" || q.data == "0103";
            return std::string();
        },
        [] {
            gMessageOption = true;
            return kAnswerYes;
        },
    });

    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    ASSERT_TRUE(LoadToneSchedule(true));
    // 201 asks the question, whose Yes asks for it again; 202 is answered by the probe, 203 ends it.
    EXPECT_EQ(queries.size(), 4u);
    EXPECT_EQ(queries[1].data, "201");
    EXPECT_FALSE(FileExists(DataFilePath("ToneGen.TGS")));
    EXPECT_EQ(gToneSchedule[335], UnreadToneScheduleEvent(48));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"The encoder did not send its tone schedule. The file "
                                   + PathInText(DataFilePath("ToneGen.TGS")) + " was not written."});

    queries.clear();
    unplugged = false;
    bool created = false;
    QDate firstDay;
    ASSERT_TRUE(LoadToneCalendar(true, created, firstDay));
    EXPECT_EQ(queries.size(), 3u);
    EXPECT_FALSE(created);
    EXPECT_FALSE(FileExists(DataFilePath("ToneGenCalendar.TGC")));
    EXPECT_EQ(boxes.texts().back(), "The encoder did not send its tone schedule calendar. The file "
                                        + PathInText(DataFilePath("ToneGenCalendar.TGC")) + " was not written.");
    // The please-wait window is down before either box tells what was not read.
    EXPECT_EQ(boxes.pleaseWaitUp(), std::vector<bool>(boxes.shown().size(), false));
    EXPECT_GT(probes, 0);
}

TEST_F(ToneFiles, TheYearIsDownloadedDayByDayWithinTheUnitsEventsPerDay)
{
    gToneCalendarSupported = true;
    gToneCalendarEventsPerDay = 2;
    FakeUnit unit;
    unit.answer = [](const LinkQuery& q, std::string& reply) {
        reply = q.data == "0101" ? "ABCDE" "093001205" "1234Y" "100001205" "1234Y" "110001205" "1234Y" "*\r"
                                 : "ABCDE*\r";
        return std::string();
    };
    unit.Install();
    bool created = false;
    QDate firstDay;
    ASSERT_TRUE(LoadToneCalendar(true, created, firstDay));
    ASSERT_EQ(unit.queries.size(), 372u);
    const LinkQuery& first = unit.queries[0];
    EXPECT_EQ(std::tie(first.command, first.data, first.noSuffix, first.ticks, first.attempts),
              std::tuple("?CD", "0101", false, 20, 1));
    EXPECT_EQ(unit.queries[366].data, "0101"); // the empty blocks lie in the next January

    const std::string file = ReadBytes(DataFilePath("ToneGenCalendar.TGC"));
    EXPECT_EQ(Record(file, 68, 2).substr(10, 2), Image(2).PutInt16(0, 12).str());
    EXPECT_EQ(Record(file, 68, 3).substr(10, 2), Image(2).str()); // the third event was not taken
    // The block past the year keeps its empty date while holding the events.
    EXPECT_EQ(Record(file, 68, 36601).substr(0, 12),
              Image(12).PutHex(0, "0000000000000040").PutInt16(8, 1).PutInt16(10, 12).str());
}

// No at the first event's question cancels the download: the operator chose
// that, so nothing is said of events the unit did not send.
TEST_F(ToneFiles, ADownloadCancelledAtItsFirstEventSaysNothingOfWhatWasNotSent)
{
    gToneGenSupported = true;
    SetToneDownloadHooks({
        [] { return true; },
        [] {},
        [](const LinkQuery&, std::string& reply) {
            reply.clear();
            return std::string();
        },
        [] { return kAnswerNo; },
    });
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    LoadToneSchedule(true);
    EXPECT_TRUE(boxes.texts().empty()) << boxes.texts().front();
    EXPECT_FALSE(FileExists(DataFilePath("ToneGen.TGS")));
}
