#include <gtest/gtest.h>

#include <string>

#include "SimLine.h"
#include "SimPty.h"
#include "SimTestLine.h"

using namespace std::string_literals;

TEST(SimDetection, EveryModelLetterIdentifiesItselfAndRefusesTheTablesItLacks)
{
    for (const char letter : std::string("ABEFGHIJKLMNOPQRSTUWXYZ")) {
        SimLine line;
        line.unit.SetModel(letter);
        const std::string identity = line.Send("?000M\r");
        ASSERT_EQ(identity.size(), 12u) << letter;
        EXPECT_EQ(identity[5], letter);
        EXPECT_TRUE(identity.ends_with("*\r")) << letter;
    }
    SimLine line;
    line.unit.SetModel('E'); // alarm and PABX tables only
    EXPECT_EQ(line.SendEach({"C00?\r", "K00?\r", "?TG\r"}), "16*\r?99\r?99\r");
}

TEST(SimDetection, LegacyUnitsRefuseIdentificationAndDifferOnABarePage)
{
    SimLine qx7;
    qx7.unit.SetLegacyModel(sim::Legacy::QX7);
    EXPECT_EQ(qx7.SendEach({"\r", "?000M\r", "P\r", "P001hi\r"}), "?99\r?99\r*\r*\r");
    SimLine qx8;
    qx8.unit.SetLegacyModel(sim::Legacy::QX8);
    EXPECT_EQ(qx8.SendEach({"?000M\r", "P\r"}), "?99\r?99\r");
    SimLine identified;
    EXPECT_EQ(identified.Send("P\r"), "?99\r");
}

TEST(SimDetection, ProfileAnswersCanBeChanged)
{
    SimLine line;
    sim::Profile& p = line.unit.EditProfile();
    p.serial = "98765";
    p.alarm = {0, 2};
    p.pabx = {};
    p.version = "1.5";
    p.toneGenerator = false;
    p.calendarEventsPerDay = 0;
    EXPECT_EQ(line.SendEach({"?000M\r", "Z000?\r", "C00?\r", "?V\r", "?TG\r", "?TC\r"}),
              "98765X0001*\r" "00*\r" "?99\r" "1.5*\r" "TG0*\r" "00*\r");
}

TEST(SimLine, UnitHearsOnlyAHostAtItsOwnSpeedParityAndDataBits)
{
    SimLine line;
    line.unit.SetUnitSettings("9600,N,8,1");
    line.unit.SetHostSettings("38400,N,8,1");
    EXPECT_EQ(line.Send("\r"), "");
    for (const auto& [host, heard] : {std::pair{"1200,N,8,1", false}, {"9600,E,7,1", false}, {" 9600, n ,8,1", true},
                                      {"9600,N,8,2", true}, {"garbage", false}}) {
        line.unit.SetHostSettings(host);
        EXPECT_EQ(line.Send("\r"), heard ? "?99\r" : "") << host;
    }
    // Half a line sent before a speed change is lost.
    line.unit.SetHostSettings("9600,N,8,1");
    line.unit.Receive("?000", line.tick);
    line.unit.SetHostSettings("38400,N,8,1");
    line.unit.SetHostSettings("9600,N,8,1");
    EXPECT_EQ(line.Send("M\r"), "?99\r");
}

TEST(SimLine, AnswersAreDueAfterTheReplyDelayInOrderAndSpreadOverTheirLineTime)
{
    SimLine line;
    line.unit.Receive("\r", line.tick);
    EXPECT_EQ(line.unit.NextDueTick(), line.tick + 1);
    EXPECT_EQ(line.unit.Transmit(line.tick), "");
    EXPECT_EQ(line.Run(1), "?99\r");
    line.unit.SetReplyDelay(4);
    line.unit.Receive("\r?000M\r", line.tick);
    EXPECT_EQ(line.Run(3), "");
    EXPECT_EQ(line.Run(1), "?99\r12345X0001*\r");

    SimLine slow;
    slow.unit.SetUnitSettings("1200,N,8,1");
    slow.unit.SetHostSettings("1200,N,8,1");
    slow.unit.SetLineTimeEmulation(true);
    slow.unit.Receive("?000M\r", slow.tick);
    // Ten bits a character at 1200 baud: six characters per 50 ms tick, the
    // question's own six first.
    EXPECT_EQ(slow.Run(1), "");
    EXPECT_EQ(slow.Run(1), "12345");
    EXPECT_EQ(slow.Run(1), "X0001*");
    EXPECT_EQ(slow.Run(1), "\r");
}

TEST(SimLine, TranscriptHoldsEveryHostLineAndUnitAnswerWithItsTick)
{
    SimLine line;
    line.unit.SetUnitSettings("9600,N,8,1");
    const std::int64_t start = line.tick;
    line.Send("\r");                   // not heard, but on the wire
    line.unit.SetHostSettings("9600,N,8,1");
    line.Send("?000M\r");
    // Bytes without CR appear once the host has paused.
    line.unit.Receive("?00", line.tick);
    line.Run(25);
    std::vector<std::tuple<std::int64_t, bool, std::string>> entries;
    for (const auto& e : line.unit.Transcript())
        entries.emplace_back(e.tick - start, e.fromHost, e.bytes);
    EXPECT_EQ(entries, (decltype(entries) {{0, true, "\r"}, {3, true, "?000M\r"}, {4, false, "12345X0001*\r"},
                                           {6, true, "?00"}}));

    line.unit.ClearTranscript();
    EXPECT_TRUE(line.unit.Transcript().empty());
}

TEST(SimPage, PagesAreAcknowledgedOrRefusedAndRecordedWithTheirBytes)
{
    SimLine line;
    line.unit.RefusePagesTo(42);
    EXPECT_EQ(line.SendEach({"P001Hello\r", "P042Hello\r", "P000Hello\r"}), "*\r?99\r?99\r");
    const std::string odd = "SB1*a\0b\xe9\n"s;
    EXPECT_EQ(line.Send("P007" + odd + "\r"), "*\r");
    EXPECT_EQ(line.Send("P123\r"), "*\r"); // a tone page carries no text

    const auto& pages = line.unit.Pages();
    ASSERT_EQ(pages.size(), 5u);
    EXPECT_EQ(pages[0].pagerNo, 1);
    EXPECT_EQ(pages[0].text, "Hello");
    EXPECT_TRUE(pages[0].accepted);
    EXPECT_FALSE(pages[1].accepted || pages[2].accepted);
    EXPECT_EQ(pages[3].text, odd);
    EXPECT_EQ(pages[4].text, "");

    line.unit.RefusePagesTo(42, false);
    EXPECT_EQ(line.SendEach({"P042Hello\r", "P12Hello\r"}), "*\r?99\r");
}

TEST(SimClock, EachUnitTakesTheClockInItsOwnCommandsAndReadsItBack)
{
    SimLine one; // model X sets its clock in one command
    EXPECT_EQ(one.Send("T140509020315UW\r"), "*\r");
    // 14:05:09 on Tuesday 3 February 2015, check digit over the thirteen digits.
    EXPECT_EQ(one.Send("QT\r"), "14050902031533\r");
    one.Run(40);
    EXPECT_EQ(one.Send("QT\r").substr(0, 6), "140511");
    EXPECT_EQ(one.SendEach({"T250509020315UW\r", "PT140509\r", "?D\r"}), "?99\r?99\r?99\r");

    SimLine two;
    two.unit.SetModel('E'); // time, then date
    EXPECT_EQ(two.SendEach({"PT140509\r", "PD0203153\r"}), "*\r*\r");
    EXPECT_EQ(two.SendEach({"?T\r", "?D\r"}), "140509*\r0203153*\r");
    // Month 13 and weekday 9 are refused, and so is the one-command form.
    EXPECT_EQ(two.SendEach({"PD1302153\r", "PD0203159\r", "T140509020315UW\r", "QT\r"}),
              "?99\r?99\r?99\r?99\r");
    EXPECT_EQ(two.Send("?D\r"), "0203153*\r");

    SimLine shortTime;
    shortTime.unit.SetModel('A');
    shortTime.unit.EditProfile().acceptsSecondsInTime = false;
    EXPECT_EQ(shortTime.SendEach({"PT140509\r", "PT1405\r", "PD0203153\r"}), "?99\r*\r*\r");
    EXPECT_EQ(shortTime.unit.Clock(shortTime.tick), (sim::ClockTime{2015, 2, 3, 14, 5, 0}));
}

TEST(SimSettings, SettingsStringsAndTerminalModesReadAlike)
{
    EXPECT_EQ(sim::ParseLineSettings(" 300 , e, 7 ,1")->ToString(), "300,E,7,1");
    for (const char* bad : {"9600,N,8", "fast,N,8,1", "9600,X,8,1", "9600,N,9,1"})
        EXPECT_FALSE(sim::ParseLineSettings(bad)) << bad;

    termios t{};
    cfsetospeed(&t, B9600);
    t.c_cflag = (t.c_cflag & ~CSIZE) | CS7 | PARENB;
    EXPECT_EQ(sim::SettingsFromTermios(t), "9600,E,7,1");
}
