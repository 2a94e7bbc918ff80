// The tone calendar: the day string, the upload and download against the
// simulator, and the file operations on dates and contents.
#include <QDir>
#include <gtest/gtest.h>

#include "KS_Clock.h"
#include "KS_LinkHooks.h"
#include "KS_ToneCalendar.h"
#include "KS_ToneSchedule.h"
#include "ToneTestSupport.h"

namespace {

// An event of 03/05/2024: time, zone, type, active, then length, level, repeat, delay, action and duration.
CalendarEvent event(int hours, int minutes, int zone, int type, bool active, int length = 0, int level = 1,
                    int repeat = 0, int delay = 1, int action = 1, int duration = 0)
{
    CalendarEvent e = DefaultCalendarEvent(SerialFromDate(QDate(2024, 3, 5)), 1);
    e.Time = SerialFromTime(hours, minutes);
    e.Zone = static_cast<std::int16_t>(zone);
    e.Duration = static_cast<std::int16_t>(duration);
    e.AlertType = type, e.Active = active ? -1 : 0, e.AlertLength = length, e.AlertLevel = level;
    e.Repeat = repeat, e.Delay = delay, e.Action = action;
    return e;
}

// A calendar of `days` days from start, then empty blocks up to padTo; every
// event of day d carries zone d, so a moved day can be recognised.
void writeCalendar(const QDate& start, int days, int padTo = 0)
{
    std::string bytes;
    for (int d = 0; d < std::max(days, padTo); ++d)
        for (int e = 1; e <= 100; ++e) {
            CalendarEvent event =
                DefaultCalendarEvent(d < days ? SerialFromDate(start.addDays(d)) : kEmptyBlockDate, e);
            event.Zone = static_cast<std::int16_t>(d < days ? d + 1 : 0);
            bytes += EncodeRecord(event);
        }
    gToneGenCalendarFile = DataFilePath("ToneGenCalendar.TGC");
    WriteBytes(gToneGenCalendarFile, bytes);
}

CalendarEvent record(int n)
{
    CalendarEvent e;
    EXPECT_EQ(ReadRecordAt(gToneGenCalendarFile, n, e), FileError::None) << "record " << n;
    return e;
}
int zoneOf(int day, int eventNo = 1) { return record((day - 1) * 100 + eventNo).Zone; }
// Day blocks as "date zone": the zone tells which day of the written calendar it was.
Lines days(std::initializer_list<int> numbers)
{
    Lines out;
    for (const int d : numbers)
        out.push_back(DateFromSerial(record((d - 1) * 100 + 1).EventDate).toString("MM/dd/yyyy").toStdString() + " "
                      + std::to_string(zoneOf(d)));
    return out;
}
std::int64_t fileDays() { return FileLength(gToneGenCalendarFile) / 6800; }

struct Calendar : testing::Test {
    void SetUp() override
    {
        MakeDataFolder();
        InstallToneDownloadHooks();
    }
    void TearDown() override { SetClockForTest({}); }
    ScriptedMessages boxes;
};

} // namespace

TEST(CalendarDayString, CarriesTheDayOnceThenFourteenCharactersPerEvent)
{
    const std::vector<CalendarEvent> day = {
        event(0, 0, 0, 1, false),
        event(8, 30, 5, 98, true, 0, 1, 0, 1, 1, 125),
        event(23, 59, 250, 99, true, 0, 1, 0, 1, 1, 7),
        event(12, 0, 12, 99, false, 0, 1, 0, 1, 2, 300),
        event(13, 5, 999, 99, true, 0, 1, 0, 1, 3, 45),
        event(7, 15, 3, 14, true, 2, 4, 9, 8),
    };
    EXPECT_EQ(CalendarDayString(day, 48), "0305"
                                          "0000000010101N"
                                          "0830005980205Y"
                                          "2359250991007Y"
                                          "1200012991000N"
                                          "1305999990000Y"
                                          "0715003142498Y"
                                          "*");
    EXPECT_EQ(CalendarDayString(day, 2), "0305"
                                         "0000000010101N"
                                         "0830005980205Y*");
    EXPECT_EQ(CalendarDayString(day, 0), "");

    const std::vector<CalendarEvent> full(100, event(0, 0, 0, 1, false));
    EXPECT_EQ(CalendarDayString(full, 48).size(), 677u);
    EXPECT_EQ(CalendarDayString(full, 99).size(), 4u + 99 * 14 + 1);

    // Noise in the fields: a negative zone, a two-digit length, a huge duration.
    const std::vector<CalendarEvent> noise = {event(9, 0, -4, 7, true, 12, 4),
                                              event(9, 0, 1200, 98, true, 0, 1, 0, 1, 1, 32000)};
    EXPECT_EQ(CalendarDayString(noise, 48), "0305"
                                          "0900000079401Y"
                                          "0900999989920Y*");
}

TEST_F(Calendar, RotatingAMonthForwardDropsOrAddsTheTwentyNinthOfFebruary)
{
    // February 2024 has 29 days, February 2025 has 28: the 29th is dropped.
    writeCalendar(QDate(2024, 2, 1), 366, 372);
    ASSERT_TRUE(RotateCalendarMonths(QDate(2024, 2, 1), QDate(2024, 2, 1), QDate(2024, 3, 1)));
    EXPECT_EQ(fileDays(), 372);
    EXPECT_EQ(days({1, 338, 365, 366}), (Lines{"03/01/2024 30", "02/01/2025 1", "02/28/2025 28", "01/01/1900 0"}));

    // February 2023 has 28 days, February 2024 has 29: the 29th is added, empty.
    writeCalendar(QDate(2023, 2, 1), 365, 372);
    ASSERT_TRUE(RotateCalendarMonths(QDate(2023, 2, 1), QDate(2023, 2, 1), QDate(2023, 3, 1)));
    EXPECT_EQ(days({365, 366, 367}), (Lines{"02/28/2024 28", "02/29/2024 0", "01/01/1900 0"}));
    EXPECT_EQ(record(366 * 100).EventNo, 100);
}

TEST_F(Calendar, RotatingAMonthBackwardBringsTheLastMonthToTheFront)
{
    // The range 03/01/2024 - 02/28/2025: February 2025 becomes February 2024, its 29th empty.
    writeCalendar(QDate(2024, 3, 1), 365, 372);
    ASSERT_TRUE(RotateCalendarMonths(QDate(2024, 3, 1), QDate(2024, 3, 1), QDate(2024, 2, 1)));
    EXPECT_EQ(days({1, 28, 29, 30, 366, 367}), (Lines{"02/01/2024 338", "02/28/2024 365", "02/29/2024 0",
                                                       "03/01/2024 1", "01/31/2025 337", "01/01/1900 0"}));
}

TEST_F(Calendar, CopyingOntoAnOverlappingPeriodCopiesWhatStoodBefore)
{
    writeCalendar(QDate(2024, 1, 1), 366, 372);
    ASSERT_TRUE(CopyCalendarPeriod(QDate(2024, 1, 1), QDate(2024, 1, 10), QDate(2024, 1, 12), QDate(2024, 1, 11)));
    EXPECT_EQ(days({10, 11, 13, 14}), (Lines{"01/10/2024 10", "01/11/2024 10", "01/13/2024 12", "01/14/2024 14"}));
    EXPECT_EQ(zoneOf(12, 100), 11);

    // A period whose start lies after its end is refused and nothing moves.
    const std::string before = ReadBytes(gToneGenCalendarFile);
    boxes.Answer(kAnswerOk);
    EXPECT_FALSE(CopyCalendarPeriod(QDate(2024, 1, 1), QDate(2024, 1, 12), QDate(2024, 1, 10), QDate(2024, 2, 1)));
    EXPECT_EQ(boxes.texts(), Lines{"The selected period (01/12/2024 - 01/10/2024) ends before it starts. "
                                   "Please select the period again."});
    EXPECT_EQ(ReadBytes(gToneGenCalendarFile), before);
}

TEST_F(Calendar, TheDefaultWeekGoesByWeekdayAndEveryEventKeepsItsDate)
{
    writeCalendar(QDate(2024, 1, 1), 366, 372);
    // The week of Wednesday 01/10/2024 runs from Sunday 01/07 (day 7) to Saturday 01/13 (day 13).
    ASSERT_TRUE(ApplyDefaultWeek(QDate(2024, 1, 1), QDate(2024, 1, 10)));
    // Monday 01/01, Sunday 01/07, Thursday 07/18, Tuesday 12/31; the empty blocks are dated a Monday.
    EXPECT_EQ(days({1, 7, 200, 366, 367}),
              (Lines{"01/01/2024 8", "01/07/2024 7", "07/18/2024 11", "12/31/2024 9", "01/01/1900 8"}));
}

TEST_F(Calendar, AFileWhoseFirstDateIsNoiseIsReportedAndLeftAlone)
{
    std::string noise(6800 * 3, '\x7f');
    gToneGenCalendarFile = DataFilePath("ToneGenCalendar.TGC");
    WriteBytes(gToneGenCalendarFile, noise);
    boxes.AnswerAlways(kAnswerOk);
    EXPECT_FALSE(ApplyDefaultWeek(QDate(2024, 1, 1), QDate(2024, 1, 10)));
    EXPECT_FALSE(RotateCalendarMonths(QDate(2024, 1, 1), QDate(2024, 1, 1), QDate(2024, 2, 1)));
    EXPECT_EQ(ReadBytes(gToneGenCalendarFile), noise);
    ASSERT_FALSE(boxes.texts().empty());
    EXPECT_EQ(boxes.texts()[0], "The file " + PathInText(gToneGenCalendarFile)
                                    + " does not hold a tone schedule calendar: its first date is not the first day "
                                      "of a month. The file was left as it is.");
}

// ---- Against the simulator -------------------------------------------------------------------

TEST_F(Calendar, UploadSendsOneDayPerLineAndStopsAtTheFirstRefusal)
{
    SimUnit unit('X');
    writeCalendar(QDate(2024, 1, 1), 366, 372);
    CalendarEvent second = event(6, 45, 12, 3, true, 2, 3, 1, 4);
    second.EventDate = SerialFromDate(QDate(2024, 1, 2));
    WriteCalendarEvent(gToneGenCalendarFile, 2, 1, second);
    boxes.Answer(kAnswerYes); // only the first 48 events of a day
    std::vector<int> progress;
    ASSERT_TRUE(UploadCalendar(CalendarRangeFrom(QDate(2024, 1, 1)), [&](int sent, int) { progress.push_back(sent); }));
    EXPECT_EQ(boxes.texts(), Lines{"The QX9860 supports up to 48 events for each day of the year. Only the first 48 "
                                   "daily events will be programmed in to the QX9860. Continue ? "}
                                 );
    const Lines lines = unit.hostLines("PCD");
    ASSERT_EQ(lines.size(), 366u);
    EXPECT_EQ(lines[0].size(), 3u + 677);
    EXPECT_EQ(lines[1].substr(0, 21), "PCD01020645012032314Y");
    EXPECT_EQ(lines[365].substr(0, 7), "PCD1231");
    EXPECT_EQ(unit.engine.CalendarDay(1, 2).substr(0, 14), "0645012032314Y");
    EXPECT_EQ(progress.size(), 367u);

    // The unit refuses day 3: the rest is not sent and the operator hears of it.
    unit.engine.ClearTranscript();
    unit.Fault(sim::FaultKind::Refuse, "PCD0103");
    boxes.Answer(kAnswerYes);
    boxes.AnswerAlways(kAnswerOk);
    EXPECT_FALSE(UploadCalendar(CalendarRangeFrom(QDate(2024, 1, 1))));
    EXPECT_EQ(unit.hostLines("PCD").size(), 2u + 4);
}

TEST_F(Calendar, AUnitWithoutTheCalendarOrSilentIsSentNothingAndTheFileStays)
{
    writeCalendar(QDate(2024, 1, 1), 366, 372);
    const std::string before = ReadBytes(gToneGenCalendarFile);
    const std::string warning = "Connection to Tone Generator cannot be established or Tone Schedule Calendar option "
                                "is not supported by the Tone Generator. \r\nThe Tone Generator will not be updated.";
    {
        SimUnit unit('K');
        boxes.Answer(kAnswerOk);
        boxes.Answer(kAnswerOk);
        QDate start(2000, 1, 1);
        EXPECT_FALSE(UploadCalendar(CalendarRangeFrom(QDate(2024, 1, 1))));
        EXPECT_FALSE(ResetCalendarFile(start));
        EXPECT_EQ(boxes.texts(), (Lines{warning, warning}));
        EXPECT_TRUE(unit.hostLines("PCD").empty());
        EXPECT_TRUE(unit.hostLines("?CD").empty());
        EXPECT_EQ(start, QDate(2000, 1, 1));
    }
    SimUnit unit('X');
    unit.Fault(sim::FaultKind::Silence, "");
    boxes.AnswerAlways(kAnswerOk);
    QDate start;
    EXPECT_FALSE(ResetCalendarFile(start));
    EXPECT_EQ(ReadBytes(gToneGenCalendarFile), before);
    EXPECT_FALSE(PathExists(DataFilePath("ToneGenCalendar.BAK")));
}

TEST_F(Calendar, AShortCalendarUploadsTheDaysItHoldsAndSaysSo)
{
    SimUnit unit('X');
    writeCalendar(QDate(2024, 1, 1), 3);
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerOk);
    EXPECT_TRUE(UploadCalendar(CalendarRangeFrom(QDate(2024, 1, 1))));
    EXPECT_EQ(unit.hostLines("PCD").size(), 3u);
    EXPECT_EQ(boxes.texts().back(), "Only 3 days of the calendar were uploaded to the QX9860. The calendar file "
                                        + PathInText(gToneGenCalendarFile) + " holds no more days.");
    writeCalendar(QDate(2024, 1, 1), 1);
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerOk);
    EXPECT_TRUE(UploadCalendar(CalendarRangeFrom(QDate(2024, 1, 1))));
    EXPECT_TRUE(boxes.texts().back().starts_with("Only 1 day of the calendar were uploaded")) << boxes.texts().back();
}

TEST_F(Calendar, ADownloadKeepsNoMoreEventsADayThanTheUnitTakes)
{
    SetClockForTest([] { return QDateTime(QDate(2024, 6, 15), QTime(12, 0), Qt::UTC); });
    SimUnit unit('X');
    std::string reply;
    ASSERT_TRUE(SendLinkCommand("PCD", "0305" "0800007010101Y" "0900008010101Y" "1000009010101Y*", true, 30, reply,
                                true, 0));
    // The unit now says it keeps two events a day, yet still hands back all three of the 5th of March.
    unit.engine.EditProfile().calendarEventsPerDay = 2;
    QDate start;
    ASSERT_TRUE(ResetCalendarFile(start));
    EXPECT_EQ(zoneOf(65, 1), 7);
    EXPECT_EQ(zoneOf(65, 2), 8);
    EXPECT_EQ(zoneOf(65, 3), 0);
}

TEST_F(Calendar, DontAskMeAgainSilencesTheRetryQuestionForTheRestOfThatDownload)
{
    SetClockForTest([] { return QDateTime(QDate(2024, 6, 15), QTime(12, 0), Qt::UTC); });
    SimUnit unit('X');
    for (const char* missing : {"?E305", "?E306", "?CD0305", "?CD0306"})
        unit.Fault(sim::FaultKind::Silence, missing);
    const std::string retry = "Connection to QX9860 cannot be established. \r\nClick Yes to continue and retry to "
                              "download from QX9860, No to cancel this operation.";
    boxes.Answer(kAnswerYes, true);
    boxes.Answer(kAnswerOk);
    std::vector<ToneScheduleEvent> week;
    EXPECT_FALSE(FetchToneWeekFromDevice(week));
    // Each download asks anew.
    boxes.Answer(kAnswerYes, true);
    boxes.Answer(kAnswerOk);
    QDate start;
    EXPECT_FALSE(ResetCalendarFile(start));
    EXPECT_EQ(boxes.texts(), (Lines{retry,
                                    "The QX9860 did not send event 53 of the 336 events. The download was stopped "
                                    "there, and the file " + PathInText(DataFilePath("ToneGen.TGS")) + " was left as it is.",
                                    retry,
                                    "The QX9860 did not send day 65 of the 366 days. The download was stopped there, "
                                    "and the file " + PathInText(DataFilePath("ToneGenCalendar.TGC")) + " was left as it is."}));
    // The item that stayed missing was asked for once more, the one after it never.
    EXPECT_EQ(unit.hostLines("?E305").size(), 6u);
    EXPECT_TRUE(unit.hostLines("?E306").empty());
    EXPECT_EQ(unit.hostLines("?CD0305").size(), 2u);
    EXPECT_TRUE(unit.hostLines("?CD0306").empty());
}

TEST_F(Calendar, ADownloadAsksASilentUnitNoFurtherThanTheItemThatStaysMissing)
{
    SetClockForTest([] { return QDateTime(QDate(2024, 6, 15), QTime(12, 0), Qt::UTC); });
    SimUnit unit('X');
    // Monday's events come; from Tuesday on the unit says nothing.
    unit.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "\\?E[3-7].*", .match = sim::MatchMode::Regex,
                          .times = 0});
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerYes, true);
    boxes.Answer(kAnswerOk);
    const std::int64_t before = gDelayTicks;
    std::vector<ToneScheduleEvent> week;
    EXPECT_FALSE(FetchToneWeekFromDevice(week));
    // The probe, Monday, then Tuesday's first event in three rounds of three attempts: each Yes asks it again.
    const Lines asked = unit.hostLines("?E");
    EXPECT_EQ(asked.size(), 1u + 48 + 9);
    EXPECT_EQ(asked.back(), "?E301");
    EXPECT_LT(gDelayTicks - before, 1500);
    EXPECT_EQ(boxes.texts().size(), 3u);
    EXPECT_EQ(boxes.texts().back(), "The QX9860 did not send event 49 of the 336 events. The download was stopped "
                                    "there, and the file " + PathInText(DataFilePath("ToneGen.TGS")) + " was left as it is.");

    // No ends the calendar's download at once, and says so too.
    unit.Fault(sim::FaultKind::Silence, "?CD0102");
    boxes.Answer(kAnswerNo);
    boxes.Answer(kAnswerOk);
    QDate start;
    EXPECT_FALSE(ResetCalendarFile(start));
    EXPECT_EQ(unit.hostLines("?CD"), (Lines{"?CD0101?", "?CD0102?"}));
    EXPECT_EQ(boxes.texts().back(), "The QX9860 did not send day 2 of the 366 days. The download was stopped there, "
                                    "and the file " + PathInText(DataFilePath("ToneGenCalendar.TGC")) + " was left as it is.");
    EXPECT_FALSE(PathExists(DataFilePath("ToneGenCalendar.TGC")));
}

// A zone beyond the three digits the day string carries (a damaged file)
// stops the upload before its day, named; it is never sent as another zone.
// An event past the unit's events per day is never sent, whatever it holds.
TEST_F(Calendar, AZoneBeyondThreeDigitsStopsTheUploadAtItsDayNamed)
{
    const struct {
        int record;
        int zone;
        std::size_t daysSent;
    } cases[] = {{200 + 4, 1000, 2}, {200 + 4, -1, 2}, {60, 5000, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        SimUnit unit('X');
        writeCalendar(QDate(2024, 1, 1), 3);
        CalendarEvent event = record(c.record);
        event.Zone = static_cast<std::int16_t>(c.zone);
        ASSERT_EQ(WriteRecordAt(gToneGenCalendarFile, c.record, event), FileError::None);
        boxes.Answer(kAnswerYes);
        boxes.Answer(kAnswerOk);
        const std::size_t shown = boxes.texts().size();
        EXPECT_EQ(UploadCalendar(CalendarRangeFrom(QDate(2024, 1, 1))), c.daysSent == 3);
        EXPECT_EQ(unit.hostLines("PCD").size(), c.daysSent);
        if (c.daysSent < 3)
            EXPECT_EQ(boxes.texts().back(), "Event 04 of 01/03/2024 in the calendar file "
                                                + PathInText(gToneGenCalendarFile) + " has zone "
                                                + std::to_string(c.zone)
                                                + ", which the QX9860 cannot take: its zones go up to 999. "
                                                  "The upload was stopped there after 2 days. Please update the "
                                                  "event and upload again.");
        else
            for (std::size_t i = shown; i < boxes.texts().size(); ++i)
                EXPECT_EQ(boxes.texts()[i].find("cannot take"), std::string::npos) << boxes.texts()[i];
        boxes.AnswerAlways(kAnswerOk);
    }
}

// A rotation that cannot keep the old calendar as the .BAK, or cannot write
// the new one beside it, leaves the calendar as it was and names the file.
TEST_F(Calendar, ARotationThatCannotBackUpOrWriteItsTmpChangesNothing)
{
    for (const char* blocked : {"ToneGenCalendar.BAK", "ToneGenCalendar.TMP"}) {
        SCOPED_TRACE(blocked);
        writeCalendar(QDate(2024, 1, 1), 366);
        const std::string before = ReadBytes(gToneGenCalendarFile);
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(DataFilePath(blocked))));
        boxes.Answer(kAnswerOk);
        EXPECT_FALSE(RotateCalendarMonths(QDate(2024, 1, 1), QDate(2024, 1, 1), QDate(2024, 2, 1)));
        EXPECT_EQ(ReadBytes(gToneGenCalendarFile), before);
        EXPECT_EQ(boxes.texts().back(), "Please confirm that the file " + PathInText(gToneGenCalendarFile)
                                            + " exists and that you have the appropriate access permissions.");
        QDir(QString::fromStdString(DataFilePath(blocked))).removeRecursively();
    }
}
