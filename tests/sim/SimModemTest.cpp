#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "SimTestLine.h"

using sim::ModemResult;
using sim::ModemState;

namespace {

// A modem reset and switched to numeric results, as the console leaves it.
SimLine NumericModem(int dialDelay = 5)
{
    SimLine line;
    line.unit.EnableModem();
    line.unit.SetDialDelay(dialDelay);
    line.SendEach({"ATZ\r", "ATE0V0\r"});
    return line;
}

} // namespace

TEST(SimModem, ResetsEchoesAndSwitchesToNumericResults)
{
    SimLine line;
    line.unit.EnableModem();
    EXPECT_EQ(line.Send("ATZ\r"), "ATZ\r\r\nOK\r\n");
    EXPECT_EQ(line.Send("ATE0V0\r"), "ATE0V0\r0\r");
    EXPECT_EQ(line.SendEach({"AT\r", "ATQ\r", "hello\r"}), "0\r4\r"); // "hello" is no command
    EXPECT_EQ(line.Send("ATZ\r"), "\r\nOK\r\n"); // echo back on after the reset, from the next line
    EXPECT_EQ(line.Send("AT\r"), "AT\r\r\nOK\r\n");
}

TEST(SimModem, DialConnectsAfterTheDialDelayAndPassesDataToTheEncoder)
{
    SimLine line = NumericModem(30);
    EXPECT_EQ(line.Send("ATDT5551234\r", 29), "");
    EXPECT_EQ(line.unit.GetModemState(), ModemState::Dialing);
    EXPECT_EQ(line.unit.DialedNumber(), "5551234");
    EXPECT_EQ(line.Run(1), "18\r");
    EXPECT_EQ(line.unit.GetModemState(), ModemState::Online);
    EXPECT_EQ(line.SendEach({"\r", "P001Hello\r"}), "?99\r*\r");
    EXPECT_EQ(line.unit.Pages().size(), 1u);
}

TEST(SimModem, EscapeNeedsGuardTimeOnBothSidesThenHangsUp)
{
    SimLine line = NumericModem();
    line.Send("ATDT1\r", 6);
    // Straight after other data: no escape, the encoder gets the characters.
    EXPECT_EQ(line.Send("\r+++", 30), "?99\r");
    EXPECT_EQ(line.Send("\r"), "?99\r");
    // A byte inside the guard time after the escape cancels it.
    line.Run(20);
    line.unit.Receive("+++", line.tick);
    line.Run(10);
    EXPECT_EQ(line.Send("\r", 30), "?99\r");
    EXPECT_EQ(line.unit.GetModemState(), ModemState::Online);

    line.Run(20);
    EXPECT_EQ(line.Send("+++", 19), "");
    EXPECT_EQ(line.Run(1), "0\r");
    EXPECT_EQ(line.unit.GetModemState(), ModemState::Command);
    EXPECT_TRUE(line.unit.CallUp());
    EXPECT_EQ(line.Send("ATDT2\r"), "4\r"); // no dialling while connected
    EXPECT_EQ(line.Send("ATH0\r"), "0\r");
    EXPECT_FALSE(line.unit.CallUp());
}

TEST(SimModem, DialResultsAreReportedByTheirCodes)
{
    const std::pair<ModemResult, std::string> results[] = {
        {ModemResult::Busy, "7\r"},       {ModemResult::NoAnswer, "8\r"}, {ModemResult::NoCarrier, "3\r"},
        {ModemResult::NoDialTone, "6\r"}, {ModemResult::Error, "4\r"},    {ModemResult::Connect2400, "10\r"}};
    for (const auto& [result, text] : results) {
        SimLine line = NumericModem();
        line.unit.SetDialResult(result);
        EXPECT_EQ(line.Send("ATDT1\r", 6), text);
        EXPECT_EQ(line.unit.CallUp(), result == ModemResult::Connect2400) << text;
    }
}

TEST(SimModem, AByteWhileDialingOrRingingOrTheFarEndHangingUpDropsTheCall)
{
    SimLine line = NumericModem(30);
    line.Send("ATDT1\r", 10);
    EXPECT_EQ(line.Send("\r"), "3\r");
    EXPECT_EQ(line.unit.GetModemState(), ModemState::Command);
    EXPECT_EQ(line.Run(40), ""); // the aborted dial never reports a connection

    SimLine ringing = NumericModem();
    ringing.unit.SetDialResult(ModemResult::Ring);
    EXPECT_EQ(ringing.Send("ATDT1\r", 6), "2\r");
    EXPECT_EQ(ringing.Run(100), ""); // rings on until the host gives up
    EXPECT_EQ(ringing.Send("\r"), "3\r");

    // The modem ignores the host's speed; the far end hanging up is reported, and it can dial again.
    SimLine hangUp = NumericModem();
    hangUp.unit.SetHostSettings("1200,N,8,1");
    hangUp.Send("ATDT1\r", 6);
    hangUp.unit.DropCarrier(hangUp.tick);
    EXPECT_EQ(hangUp.Run(1), "3\r");
    EXPECT_FALSE(hangUp.unit.CallUp());
    EXPECT_EQ(hangUp.Send("ATDT1\r", 6), "18\r");
}

TEST(SimModem, ThePortClosedUnderACallOrADialEndsItWithoutAWord)
{
    SimLine line = NumericModem();
    line.Send("ATDT1\r", 6);
    ASSERT_TRUE(line.unit.CallUp());
    line.unit.DropDtr(line.tick);
    EXPECT_FALSE(line.unit.CallUp());
    EXPECT_EQ(line.unit.GetModemState(), ModemState::Command);
    EXPECT_EQ(line.Run(20), "");

    line.Send("ATDT2\r", 2);
    line.unit.DropDtr(line.tick);
    EXPECT_EQ(line.Run(20), ""); // the dial never completes
    EXPECT_FALSE(line.unit.CallUp());
    EXPECT_EQ(line.Send("ATDT3\r", 6), "18\r");
}
