#include <gtest/gtest.h>

#include <string>

#include "SimTestLine.h"

using namespace std::string_literals;
using sim::Fault;
using sim::FaultKind;
using sim::MatchMode;

namespace {

Fault MakeFault(FaultKind kind, std::string pattern, MatchMode match = MatchMode::Prefix, int times = 1)
{
    Fault f;
    f.kind = kind;
    f.pattern = std::move(pattern);
    f.match = match;
    f.times = times;
    return f;
}

} // namespace

TEST(SimFault, AOneShotFaultSpoilsTheFirstMatchingLineAndAPersistentOneEveryLineUntilCleared)
{
    SimLine line;
    line.unit.AddFault(MakeFault(FaultKind::Silence, "?000M"));
    EXPECT_EQ(line.Send("\r"), "?99\r");
    EXPECT_EQ(line.Send("?000M\r", 30), "");
    EXPECT_EQ(line.Send("?000M\r"), "12345X0001*\r");

    line.unit.AddFault(MakeFault(FaultKind::Refuse, "Z", MatchMode::Prefix, 0));
    EXPECT_EQ(line.Send("Z000?\r"), "?99\r");
    EXPECT_EQ(line.Send("Z000?\r"), "?99\r");
    EXPECT_EQ(line.Send("C00?\r"), "20*\r");
    line.unit.ClearFaults();
    EXPECT_EQ(line.Send("Z000?\r"), "024*\r");
}

TEST(SimFault, PatternsMatchByPrefixExactlyOrByExpression)
{
    SimLine line;
    line.unit.AddFault(MakeFault(FaultKind::Silence, "", MatchMode::Exact, 0)); // the probe only
    line.unit.AddFault(MakeFault(FaultKind::Refuse, R"(P\d{3}Fire.*)", MatchMode::Regex, 0));
    line.unit.AddFault(MakeFault(FaultKind::Refuse, "?V", MatchMode::Exact, 2));
    EXPECT_EQ(line.Send("\r"), "");
    EXPECT_EQ(line.Send("?000M\r"), "12345X0001*\r");
    EXPECT_EQ(line.Send("P001Fire drill\r"), "?99\r");
    EXPECT_EQ(line.Send("P001Lunch\r"), "*\r");
    EXPECT_EQ(line.Send("?VX\r"), "?99\r"); // unknown anyway
    EXPECT_EQ(line.Send("?V\r"), "?99\r");
    EXPECT_EQ(line.Send("?V\r"), "?99\r");
    EXPECT_EQ(line.Send("?V\r"), "2.10*\r");
}

TEST(SimFault, DelayedAndLateAnswersArriveWhenDueAndKeepTheirOrder)
{
    SimLine line;
    Fault delay = MakeFault(FaultKind::Delay, "?000M");
    delay.ticks = 10;
    line.unit.AddFault(delay);
    line.unit.Receive("?000M\r", line.tick);
    EXPECT_EQ(line.Run(10), "");
    line.unit.Receive("\r", line.tick); // its answer may not overtake the delayed one
    EXPECT_EQ(line.Run(1), "12345X0001*\r?99\r");

    Fault late = MakeFault(FaultKind::LateAnswer, "P");
    late.ticks = 30;
    line.unit.AddFault(late);
    line.unit.Receive("P001x\r", line.tick);
    EXPECT_EQ(line.Run(29), "");
    EXPECT_EQ(line.Run(1), "*\r");
}

TEST(SimFault, SplitAnswerComesInTwoChunks)
{
    SimLine line;
    Fault split = MakeFault(FaultKind::Split, "?000M");
    split.ticks = 4;
    split.position = 5;
    line.unit.AddFault(split);
    line.unit.ClearTranscript();
    line.unit.Receive("?000M\r", line.tick);
    EXPECT_EQ(line.Run(1), "12345");
    EXPECT_EQ(line.Run(3), "");
    EXPECT_EQ(line.Run(1), "X0001*\r");
    ASSERT_EQ(line.unit.Transcript().size(), 3u);
    EXPECT_EQ(line.unit.Transcript()[1].bytes, "12345");

    line.unit.AddFault(MakeFault(FaultKind::Split, "C00")); // default: cut in the middle
    line.unit.Receive("C00?\r", line.tick);
    EXPECT_EQ(line.Run(1), "20");
    EXPECT_EQ(line.Run(5), "*\r");
}

TEST(SimFault, MergedAnswerGoesOutWithTheNextOne)
{
    SimLine line;
    line.unit.AddFault(MakeFault(FaultKind::Merge, "P"));
    EXPECT_EQ(line.Send("P001a\r", 10), "");
    EXPECT_EQ(line.Send("\r"), "*\r?99\r");
}

TEST(SimFault, AnswerContentCanBeSpoilt)
{
    SimLine line;
    line.unit.AddFault(MakeFault(FaultKind::MissingCR, "?000M"));
    EXPECT_EQ(line.Send("?000M\r"), "12345X0001*");

    line.unit.AddFault(MakeFault(FaultKind::Garbage, "?000M"));
    EXPECT_EQ(line.Send("?000M\r"), "\x1b\xfe#~12345X0001*\r");

    Fault nuls = MakeFault(FaultKind::Nuls, "?V");
    nuls.position = Fault::kEnd;
    line.unit.AddFault(nuls);
    EXPECT_EQ(line.Send("?V\r"), "2.10*\0\0\r"s);

    Fault own = MakeFault(FaultKind::Garbage, "C00");
    own.bytes = "OK";
    line.unit.AddFault(own);
    EXPECT_EQ(line.Send("C00?\r"), "OK20*\r");

    // A refusal can be spoilt as well: the kinds act in their fixed order.
    line.unit.AddFault(MakeFault(FaultKind::MissingCR, "K00"));
    line.unit.AddFault(MakeFault(FaultKind::Refuse, "K00"));
    EXPECT_EQ(line.Send("K00?\r"), "?99");
}

TEST(SimFault, DroppedCarrierEndsTheCallOnAModemAndSilencesADirectLine)
{
    SimLine direct;
    direct.unit.AddFault(MakeFault(FaultKind::DropCarrier, "P"));
    EXPECT_EQ(direct.Send("P001a\r"), "");

    SimLine line;
    line.unit.EnableModem();
    line.unit.SetDialDelay(5);
    line.Send("ATE0V0\r");
    line.Send("ATDT1\r", 6);
    ASSERT_EQ(line.unit.GetModemState(), sim::ModemState::Online);
    line.unit.AddFault(MakeFault(FaultKind::DropCarrier, "P"));
    EXPECT_EQ(line.Send("P001a\r"), "3\r");
    EXPECT_FALSE(line.unit.CallUp());
    EXPECT_EQ(line.Send("\r"), ""); // back in command mode: an empty line is no command
}
