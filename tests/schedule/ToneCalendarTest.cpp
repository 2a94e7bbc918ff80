// The tone calendar: the day string, the upload and download against the
// simulator, and the file operations on dates and contents.
#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_LinkHooks.h"
#include "KS_ToneCalendar.h"
#include "ToneTestSupport.h"

namespace {

using Lines = std::vector<std::string>;

CalendarEvent event(int hours, int minutes, int zone, int type, bool active)
{
    CalendarEvent e = DefaultCalendarEvent(SerialFromDate(QDate(2024, 3, 5)), 1);
    e.Time = SerialFromTime(hours, minutes);
    e.Zone = static_cast<std::int16_t>(zone);
    e.AlertType = static_cast<std::uint8_t>(type);
    e.Active = active ? -1 : 0;
    return e;
}

CalendarEvent with(CalendarEvent e, int length, int level, int repeat, int delay, int action = 1, int duration = 0)
{
    e.AlertLength = static_cast<std::uint8_t>(length);
    e.AlertLevel = static_cast<std::uint8_t>(level);
    e.Repeat = static_cast<std::uint8_t>(repeat);
    e.Delay = static_cast<std::uint8_t>(delay);
    e.Action = static_cast<std::uint8_t>(action);
    e.Duration = static_cast<std::int16_t>(duration);
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
QDate dateOf(int day) { return DateFromSerial(record((day - 1) * 100 + 1).EventDate); }
int zoneOf(int day, int eventNo = 1) { return record((day - 1) * 100 + eventNo).Zone; }
std::int64_t fileDays() { return FileLength(gToneGenCalendarFile) / 6800; }

struct Calendar : testing::Test {
    void SetUp() override
    {
        MakeDataFolder();
        InstallToneDownloadHooks();
    }
    ScriptedMessages boxes;
};

} // namespace

TEST(CalendarDayString, CarriesTheDayOnceThenFourteenCharactersPerEvent)
{
    const std::vector<CalendarEvent> day = {
        event(0, 0, 0, 1, false),
        with(event(8, 30, 5, 98, true), 0, 1, 0, 1, 1, 125),
        with(event(23, 59, 250, 99, true), 0, 1, 0, 1, 1, 7),
        with(event(12, 0, 12, 99, false), 0, 1, 0, 1, 2, 300),
        with(event(13, 5, 999, 99, true), 0, 1, 0, 1, 3, 45),
        with(event(7, 15, 3, 14, true), 2, 4, 9, 8),
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
    const std::vector<CalendarEvent> noise = {with(event(9, 0, -4, 7, true), 12, 4, 0, 1),
                                              with(event(9, 0, 1200, 98, true), 0, 1, 0, 1, 1, 32000)};
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
    EXPECT_EQ(dateOf(1), QDate(2024, 3, 1));
    EXPECT_EQ(zoneOf(1), 30);
    EXPECT_EQ(dateOf(338), QDate(2025, 2, 1));
    EXPECT_EQ(zoneOf(338), 1);
    EXPECT_EQ(dateOf(365), QDate(2025, 2, 28));
    EXPECT_EQ(zoneOf(365), 28);
    EXPECT_EQ(dateOf(366), QDate(1900, 1, 1));
    EXPECT_EQ(zoneOf(366), 0);

    // February 2023 has 28 days, February 2024 has 29: the 29th is added, empty.
    writeCalendar(QDate(2023, 2, 1), 365, 372);
    ASSERT_TRUE(RotateCalendarMonths(QDate(2023, 2, 1), QDate(2023, 2, 1), QDate(2023, 3, 1)));
    EXPECT_EQ(dateOf(365), QDate(2024, 2, 28));
    EXPECT_EQ(zoneOf(365), 28);
    EXPECT_EQ(dateOf(366), QDate(2024, 2, 29));
    EXPECT_EQ(zoneOf(366), 0);
    EXPECT_EQ(record(366 * 100).EventNo, 100);
    EXPECT_EQ(dateOf(367), QDate(1900, 1, 1));
}

TEST_F(Calendar, RotatingAMonthBackwardBringsTheLastMonthToTheFront)
{
    // The range 03/01/2024 - 02/28/2025: February 2025 becomes February 2024, its 29th empty.
    writeCalendar(QDate(2024, 3, 1), 365, 372);
    ASSERT_TRUE(RotateCalendarMonths(QDate(2024, 3, 1), QDate(2024, 3, 1), QDate(2024, 2, 1)));
    EXPECT_EQ(dateOf(1), QDate(2024, 2, 1));
    EXPECT_EQ(zoneOf(1), 338);
    EXPECT_EQ(zoneOf(28), 365);
    EXPECT_EQ(dateOf(29), QDate(2024, 2, 29));
    EXPECT_EQ(zoneOf(29), 0);
    EXPECT_EQ(dateOf(30), QDate(2024, 3, 1));
    EXPECT_EQ(zoneOf(30), 1);
    EXPECT_EQ(dateOf(366), QDate(2025, 1, 31));
    EXPECT_EQ(zoneOf(366), 337);
    EXPECT_EQ(dateOf(367), QDate(1900, 1, 1));
}

TEST_F(Calendar, CopyingOntoAnOverlappingPeriodCopiesWhatStoodBefore)
{
    writeCalendar(QDate(2024, 1, 1), 366, 372);
    ASSERT_TRUE(CopyCalendarPeriod(QDate(2024, 1, 1), QDate(2024, 1, 10), QDate(2024, 1, 12), QDate(2024, 1, 11)));
    EXPECT_EQ(zoneOf(10), 10);
    EXPECT_EQ(zoneOf(11), 10);
    EXPECT_EQ(zoneOf(12, 100), 11);
    EXPECT_EQ(zoneOf(13), 12);
    EXPECT_EQ(zoneOf(14), 14);
    EXPECT_EQ(dateOf(13), QDate(2024, 1, 13));

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
    EXPECT_EQ(zoneOf(1), 8);   // Monday
    EXPECT_EQ(zoneOf(7), 7);   // Sunday
    EXPECT_EQ(zoneOf(366), 9); // Tuesday 12/31/2024
    EXPECT_EQ(dateOf(366), QDate(2024, 12, 31));
    EXPECT_EQ(dateOf(200), QDate(2024, 7, 18));
    EXPECT_EQ(zoneOf(367), 8); // the empty blocks are dated a Monday
    EXPECT_EQ(dateOf(367), QDate(1900, 1, 1));
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
    EXPECT_EQ(boxes.texts()[0], "The file " + gToneGenCalendarFile
                                    + " does not hold a tone schedule calendar: its first date is not the first day "
                                      "of a month. The file was left as it is.");
}

// ---- Against the simulator -------------------------------------------------------------------

TEST_F(Calendar, UploadSendsOneDayPerLineAndStopsAtTheFirstRefusal)
{
    SimUnit unit('X');
    writeCalendar(QDate(2024, 1, 1), 366, 372);
    CalendarEvent second = with(event(6, 45, 12, 3, true), 2, 3, 1, 4);
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
    unit.engine.AddFault({sim::FaultKind::Refuse, "PCD0103", sim::MatchMode::Prefix, 5, "", 0, 0});
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
    unit.engine.AddFault({sim::FaultKind::Silence, "", sim::MatchMode::Exact, 5, "", 0, 0});
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
                                        + gToneGenCalendarFile + " holds no more days.");
}
