// The weekly tone schedule on the wire: the event string, the upload, the
// slot, the week fetched back, the device clock and the test tone.
#include <gtest/gtest.h>

#include "KS_ToneSchedule.h"
#include "ToneTestSupport.h"

namespace {

// An event: number, time, zone, type, then length, level, repeat, delay, active, action, seconds and countdown.
ToneScheduleEvent event(const char* eventNo, const char* time, const char* zone, int type, int length = 0,
                        int level = 1, int repeat = 0, int delay = 1, bool active = false, int action = 0,
                        int seconds = 0, int countdown = 0)
{
    ToneScheduleEvent e;
    e.EventNo = eventNo, e.Time = time, e.Zone = zone, e.AlertType = type, e.AlertLength = length;
    e.AlertLevel = level, e.Repeat = repeat, e.Delay = delay, e.Active = active ? -1 : 0, e.Action = action;
    e.Seconds = seconds, e.Countdown = countdown;
    return e;
}

// A schedule file of n default events (days run on past Sunday's 48th), each
// with its time set, the one at zeroed all zero bytes.
void writeScheduleFile(std::size_t n, std::size_t zeroed = SIZE_MAX)
{
    std::string bytes;
    for (std::size_t i = 0; i < n; ++i)
        bytes += i == zeroed ? std::string(73, '\0')
                             : Image(73).Put(0, ZeroPad(static_cast<long long>(i % 48 + 1), 2)).Put(2, "01 ")
                                   .Put(30, "12:00 AM").PutByte(38, 1).PutByte(40, 1).PutByte(46, 1).str();
    gToneGenFile = DataFilePath("ToneGen.TGS");
    WriteBytes(gToneGenFile, bytes);
}

} // namespace

// A zone fits where it travels in two digits up to 99, in three up to 999,
// and anywhere on a unit that takes no zone.
TEST(ToneZones, AZoneFitsUpToTheLargestItsDigitsCarry)
{
    EXPECT_TRUE(ToneZoneFits(99, ToneZonePlacement::AfterActive));
    EXPECT_FALSE(ToneZoneFits(100, ToneZonePlacement::AfterActive));
    EXPECT_TRUE(ToneZoneFits(999, ToneZonePlacement::AfterTime));
    EXPECT_FALSE(ToneZoneFits(1000, ToneZonePlacement::AfterTime));
    EXPECT_TRUE(ToneZoneFits(5000, ToneZonePlacement::None));
}

TEST(ToneEventString, EncodesEveryFieldInTheUnitsLayout)
{
    struct Case {
        const char* family;
        const char* letter;
        int index;
        ToneScheduleEvent e;
        const char* expected;
    };
    const Case cases[] = {
        {"Not Defined", "X", 2, event("03", "06:45 AM", "12 ", 4, 2, 1, 3, 5, true), "2030645421Y1235"},
        {"Not Defined", "X", 2, event("03", "06:45 AM", "12", 58, 0, 1, 0, 1, false, 1, 125), "2030645:11N1225"},
        {"Not Defined", "X", 2, event("03", "06:45 AM", "12", 58, 0, 1, 0, 1, false, 2, 125), "2030645:10N1200"},
        {"Not Defined", "X", 2, event("03", "06:45 AM", "12", 58, 0, 1, 0, 1, false, 3, 7), "2030645:00N1207"},
        // Channels without actions: alert 10 carries length and level, repeat and delay.
        {"QX7XXX", "L", 2, event("03", "06:45 AM", "12", 58, 2, 1, 3, 5, false, 2, 125), "2030645:21N1235"},
        {"Not Defined", "X", 290, event("3 ", "08:30 PM", "7", 59), "1032030;01N0701"},
        {"Not Defined", "X", 335, event("48", "11:59 PM", "", 63), "1482359?01N0001"},
        {"Not Defined", "X", 0, event("01", "12:00 AM", "01", 9, 0, 1, 0, 1, false, 0, 0, 25), "2010000952N0101"},
        {"Not Defined", "X", 0, event("01", "12:00 PM", "01", 9, 0, 1, 0, 1, false, 0, 0, 79), "2011200997N0101"},
        {"Not Defined", "X", 0, event("01", "12:00 PM", "01", 9), "2011200900N0101"},
        // Zone after the time, always three digits.
        {"QX8XXX", "A", 0, event("01", "12:00 AM", "01 ", 1), "2010000001101N01"},
        {"QX7XXX", "H", 0, event("01", "12:00 AM", "012", 1), "2010000012101N01"},
        {"N/A", "N/A", 0, event("01", "12:00 AM", "xy", 1), "2010000000101N01"},
        // Zone after the active flag on K tone generators and the Q units; none on T and S.
        {"HTG-XXX", "K", 0, event("01", "12:00 AM", "7", 1), "2010000101N0701"},
        {"HTG-XXX", "Q", 0, event("01", "12:00 AM", "7", 1), "2010000101N0701"},
        {"HTG-XXX", "T", 0, event("01", "12:00 AM", "7", 1), "2010000101N01"},
        {"HPA-XXX", "S", 0, event("01", "12:00 AM", "7", 1), "2010000101N01"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToneEventString(c.index, c.e, c.family, c.letter), c.expected) << c.letter << " " << c.index;
}

TEST(ToneTransfer, UploadSendsTheWeekInTableOrderAndStopsAtTheFirstRefusal)
{
    SimUnit unit('X');
    writeScheduleFile(336);
    ScriptedMessages boxes;
    std::vector<int> progress;
    ASSERT_TRUE(UploadToneSchedule([&](int sent, int total) {
        EXPECT_EQ(total, 336);
        progress.push_back(sent);
    }));
    const Lines sent = unit.hostLines("PE");
    ASSERT_EQ(sent.size(), 336u);
    EXPECT_EQ(sent.front(), "PE2010000101N0101");
    EXPECT_EQ(sent[48], "PE3010000101N0101");
    EXPECT_EQ(sent.back(), "PE1480000101N0101");
    EXPECT_EQ(progress.size(), 337u);
    EXPECT_EQ(unit.engine.ToneEvent(1, 335), "1480000101N0101");
    EXPECT_TRUE(boxes.shown().empty());

    // The unit stops taking events at Monday's fifth: the rest is not sent.
    unit.engine.ClearTranscript();
    unit.Fault(sim::FaultKind::Refuse, "PE205");
    boxes.Answer(kAnswerOk);
    EXPECT_FALSE(UploadToneSchedule());
    EXPECT_EQ(unit.hostLines("PE").size(), 4u + 4u); // four events, then the fifth with its three retries
    ASSERT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(boxes.texts()[0].rfind("Communication with the QX9860 cannot be established.", 0), 0u);
}

TEST(ToneTransfer, ALongOrDamagedFileSaysHowMuchWentAndAShortOneSendsItsMissingDaysAsDefaultEvents)
{
    SimUnit unit('X');
    ScriptedMessages boxes;
    // Zero bytes in the middle of the file are not an event: the upload ends there.
    for (const auto& [events, zeroed, sent, said] :
         {std::tuple{400, SIZE_MAX, 336u, "Only 336 messages were uploaded to the QX9860. "},
          {336, 10, 10u, "Only 10 messages were uploaded to the QX9860. "}}) {
        writeScheduleFile(events, zeroed);
        unit.engine.ClearTranscript();
        boxes.Answer(kAnswerOk);
        EXPECT_TRUE(UploadToneSchedule());
        EXPECT_EQ(unit.hostLines("PE").size(), sent);
        EXPECT_EQ(boxes.texts().back(), said);
    }
    // Unread events before the zero bytes were passed over, not sent: they do not count.
    writeScheduleFile(336, 10);
    std::string bytes = ReadBytes(gToneGenFile);
    for (const std::size_t i : {3u, 4u})
        bytes.replace(i * 73, 73, EncodeRecord(UnreadToneScheduleEvent(static_cast<int>(i) + 1)));
    WriteBytes(gToneGenFile, bytes);
    unit.engine.ClearTranscript();
    boxes.Answer(kAnswerOk);
    EXPECT_TRUE(UploadToneSchedule());
    EXPECT_EQ(unit.hostLines("PE").size(), 8u);
    EXPECT_EQ(boxes.texts().back(), "Only 8 messages were uploaded to the QX9860. ");
    EXPECT_EQ(boxes.shown().size(), 3u);

    // A short file's missing days go as the default events its window lists,
    // whatever an earlier, longer file left in memory.
    writeScheduleFile(336);
    std::string earlier = ReadBytes(gToneGenFile);
    for (std::size_t i = 0; i < 336; ++i)
        earlier.replace(i * 73 + 30, 8, "01:30 PM");
    WriteBytes(gToneGenFile, earlier);
    LoadToneSchedule(false);
    writeScheduleFile(100);
    unit.engine.ClearTranscript();
    EXPECT_TRUE(UploadToneSchedule());
    const Lines sent = unit.hostLines("PE");
    ASSERT_EQ(sent.size(), 336u);
    EXPECT_EQ(sent[99], "PE4040000101N0101");
    EXPECT_EQ(sent[100], "PE4050000101N0101");
    EXPECT_EQ(sent.back(), "PE1480000101N0101");
    EXPECT_EQ(boxes.shown().size(), 3u);
}

// Only a damaged file holds a control character as an alert type: sent raw
// it would end the line early on the unit. The upload stops at that event.
TEST(ToneTransfer, AnAlertTypeThatIsAControlCharacterIsNeverSent)
{
    SimUnit unit('X');
    ScriptedMessages boxes;
    for (const char type : {'\r', '\x7f'}) {
        writeScheduleFile(336);
        std::string bytes = ReadBytes(gToneGenFile);
        bytes[50 * 73 + 38] = type; // Tuesday's third event
        WriteBytes(gToneGenFile, bytes);
        unit.engine.ClearTranscript();
        boxes.Answer(kAnswerOk);
        EXPECT_FALSE(UploadToneSchedule());
        const Lines sent = unit.hostLines("PE");
        ASSERT_EQ(sent.size(), 50u);
        EXPECT_EQ(sent.back(), "PE3020000101N0101");
        EXPECT_EQ(boxes.texts().back(),
                  "Event 03 of Tuesday in the schedule file " + PathInText(gToneGenFile) + " holds no valid alert type; the file "
                  "may be damaged. The upload was stopped there after 50 events. Please update the event and upload "
                  "again.");
    }
}

TEST(ToneTransfer, ARefusedSlotIsAskedFourTimesAndAnActivationComesBackWhole)
{
    SimUnit unit('X');
    EXPECT_FALSE(SetActiveSlotOnDevice(5));
    EXPECT_EQ(unit.hostLines("PA"), (Lines{"PA5", "PA5", "PA5", "PA5"}));

    // An event written to the unit comes back from there with the rest of the week.
    std::string reply;
    ASSERT_TRUE(SendLinkCommand("PE", "2051830:11Y1225", true, 0, reply, true, 0));
    MakeDataFolder();
    gToneEventsSupported = false; // as after opening while the unit was away
    ASSERT_TRUE(ResetToneScheduleFile());
    EXPECT_EQ(gToneGenFile, DataFilePath("ToneGen.TGS"));
    EXPECT_EQ(ReadBytes(gToneGenFile).size(), 336u * 73);
    EXPECT_EQ(ToneEventString(4, gToneSchedule[4]), "2051830:11Y1225");
}

TEST(ToneTransfer, AUnitSilentOrWithoutAToneGeneratorChangesNeitherFileNorUnit)
{
    SimUnit unit('X');
    writeScheduleFile(336);
    const std::string bytes = ReadBytes(gToneGenFile);
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    unit.Fault(sim::FaultKind::Silence, "");
    EXPECT_FALSE(ResetToneScheduleFile());
    unit.engine.ClearFaults();
    unit.engine.SetModel('E');
    EXPECT_FALSE(ResetToneScheduleFile());
    EXPECT_FALSE(UploadToneSchedule());
    EXPECT_EQ(ReadBytes(gToneGenFile), bytes);
    EXPECT_TRUE(unit.hostLines("PE").empty());
    const std::string warning = "Connection to QX7015 cannot be established or Tone Schedule option is not "
                                "supported by the QX7015. \r\nThe QX7015 will not be updated.";
    EXPECT_EQ(boxes.texts().back(), warning);
    EXPECT_EQ(boxes.texts().size(), 3u);
}

TEST(DeviceClock, OneCommandLineNeedsItsCheckDigitAndTheOthersReadByTheStar)
{
    // 10:35:07 on 12/31/99, weekday 6: the digits sum to 47.
    const auto clock = ParseOneCommandClockLine("10350712319967\r");
    ASSERT_TRUE(clock);
    EXPECT_EQ(*clock, QDateTime(QDate(2099, 12, 31), QTime(10, 35, 7)));
    EXPECT_EQ(FormatDeviceDateTime(clock->date(), std::nullopt), "Thursday, 12/31/99");
    EXPECT_FALSE(ParseOneCommandClockLine("10350712319966\r"));
    EXPECT_FALSE(ParseOneCommandClockLine("1035071231996\r"));

    const auto date = ParseDateReplyLine("0615247*\r");
    ASSERT_TRUE(date);
    EXPECT_EQ(FormatDeviceDateTime(*date, ParseTimeReplyLine("1405*\r")), "Saturday, 06/15/24 02:05 PM");
    EXPECT_EQ(FormatDeviceDateTime(*date, ParseTimeReplyLine("000509*\r")), "Saturday, 06/15/24 12:05:09 AM");
    EXPECT_FALSE(ParseTimeReplyLine("140*\r"));
    EXPECT_FALSE(ParseDateReplyLine("06152*\r"));
    EXPECT_FALSE(ParseDateReplyLine("1332247*\r"));
}

TEST(DeviceClock, EachUnitIsAskedInItsOwnCommands)
{
    SimUnit x('X');
    x.engine.SetClock({2024, 6, 15, 14, 5, 9}, gDelayTicks);
    EXPECT_EQ(ReadDeviceDateTimeText(), "Saturday, 06/15/24 02:05 PM");
    EXPECT_EQ(x.hostLines("QT").size(), 1u);
    x.engine.SetModel('L');
    x.engine.SetClock({2024, 6, 15, 14, 5, 9}, gDelayTicks);
    gEncoderModelLetter = "L";
    EXPECT_EQ(ReadDeviceDateTimeText(), "Saturday, 06/15/24 02:05:09 PM");
    x.engine.SetModel('X');
    gEncoderModelLetter = "X";
    x.engine.AddFault({sim::FaultKind::Garbage, "QT", sim::MatchMode::Prefix, 5, "7", 0, 1});
    EXPECT_EQ(ReadDeviceDateTimeText(), "Saturday, 06/15/24 02:05 PM") << "a spoilt line is asked again";
}

TEST(TestTone, EachUnitClassGetsItsOwnLine)
{
    TestToneEvent e{"1", "07", 4, "2", "3", "5", "6", "09"};
    TestToneEvent ten = e;
    ten.alertNumber = 12;
    struct Case {
        const char* family;
        const char* letter;
        const TestToneEvent& event;
        const char* command;
        const char* data;
    };
    const Case cases[] = {
        {"QX8XXX", "A", e, "GT", "107"},
        {"HTG-XXX", "T", e, "GT", "42356"},
        {"HPA-XXX", "S", ten, "GM", "122356"},
        {"Not Defined", "X", e, "GM", "042356009"},
        {"QX7XXX", "L", e, "GT", "42300956"},
        {"QX7XXX", "L", ten, "GM", "122356009"},
        {"QX7XXX", "E", e, "GT", ""},
    };
    for (const Case& c : cases) {
        const LinkLine line = TestToneLine(c.event, c.family, c.letter);
        EXPECT_EQ(line.command, c.command) << c.letter;
        EXPECT_EQ(line.data, c.data) << c.letter;
    }
}
