#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimTestLine.h"

using namespace std::string_literals;
using sim::Fault;
using sim::FaultKind;
using sim::MatchMode;

// Each fault names only the fields it sets; the rest keep their defaults on purpose.

TEST(SimFault, AOneShotFaultSpoilsTheFirstMatchingLineAndAPersistentOneEveryLineUntilCleared)
{
    SimLine line;
    line.unit.AddFault({.kind = FaultKind::Silence, .pattern = "?000M"});
    EXPECT_EQ(line.Send("\r"), "?99\r");
    EXPECT_EQ(line.Send("?000M\r", 30), "");
    EXPECT_EQ(line.Send("?000M\r"), "12345X0001*\r");

    line.unit.AddFault({.kind = FaultKind::Refuse, .pattern = "Z", .times = 0});
    EXPECT_EQ(line.SendEach({"Z000?\r", "Z000?\r", "C00?\r"}), "?99\r?99\r16*\r");
    line.unit.ClearFaults();
    EXPECT_EQ(line.Send("Z000?\r"), "024*\r");
}

TEST(SimFault, PatternsMatchByPrefixExactlyOrByExpression)
{
    SimLine line;
    line.unit.AddFault({.kind = FaultKind::Silence, .pattern = "", .match = MatchMode::Exact, .times = 0}); // the probe
    line.unit.AddFault({.kind = FaultKind::Refuse, .pattern = R"(P\d{3}Fire.*)", .match = MatchMode::Regex, .times = 0});
    line.unit.AddFault({.kind = FaultKind::Refuse, .pattern = "?V", .match = MatchMode::Exact, .times = 2});
    EXPECT_EQ(line.SendEach({"\r", "?000M\r", "P001Fire drill\r", "P001Lunch\r"}), "12345X0001*\r?99\r*\r");
    // "?VX" is unknown anyway; "?V" is refused twice.
    EXPECT_EQ(line.SendEach({"?VX\r", "?V\r", "?V\r", "?V\r"}), "?99\r?99\r?99\r2.10*\r");
}

TEST(SimFault, DelayedLateSplitAndMergedAnswersArriveWhenDueAndKeepTheirOrder)
{
    SimLine line;
    line.unit.AddFault({.kind = FaultKind::Delay, .pattern = "?000M", .ticks = 10});
    line.unit.Receive("?000M\r", line.tick);
    EXPECT_EQ(line.Run(10), "");
    line.unit.Receive("\r", line.tick); // its answer may not overtake the delayed one
    EXPECT_EQ(line.Run(1), "12345X0001*\r?99\r");

    line.unit.AddFault({.kind = FaultKind::LateAnswer, .pattern = "P", .ticks = 30});
    line.unit.Receive("P001x\r", line.tick);
    EXPECT_EQ(line.Run(29), "");
    EXPECT_EQ(line.Run(1), "*\r");

    line.unit.AddFault({.kind = FaultKind::Split, .pattern = "?000M", .ticks = 4, .position = 5});
    line.unit.ClearTranscript();
    line.unit.Receive("?000M\r", line.tick);
    EXPECT_EQ(line.Run(1), "12345");
    EXPECT_EQ(line.Run(3), "");
    EXPECT_EQ(line.Run(1), "X0001*\r");
    ASSERT_EQ(line.unit.Transcript().size(), 3u);
    EXPECT_EQ(line.unit.Transcript()[1].bytes, "12345");

    line.unit.AddFault({.kind = FaultKind::Split, .pattern = "C00"}); // default: cut in the middle
    line.unit.Receive("C00?\r", line.tick);
    EXPECT_EQ(line.Run(1), "16");
    EXPECT_EQ(line.Run(5), "*\r");

    line.unit.AddFault({.kind = FaultKind::Merge, .pattern = "P"});
    EXPECT_EQ(line.Send("P001a\r", 10), "");
    EXPECT_EQ(line.Send("\r"), "*\r?99\r");
}

TEST(SimFault, AnAnswerHeldForThePokeGoesOutInPlaceOfTheNextBareCR)
{
    SimLine line;
    line.unit.AddFault({.kind = FaultKind::AfterPoke, .pattern = "?000M"});
    EXPECT_EQ(line.Send("?000M\r", 30), "");
    EXPECT_EQ(line.Send("\r"), "12345X0001*\r");
    EXPECT_EQ(line.Send("\r"), "?99\r");
}

TEST(SimFault, AnswerContentCanBeSpoilt)
{
    struct Case {
        std::vector<Fault> faults;
        std::string sent, answer;
    };
    const Case cases[] = {
        {{{.kind = FaultKind::MissingCR, .pattern = "?000M"}}, "?000M\r", "12345X0001*"},
        {{{.kind = FaultKind::Garbage, .pattern = "?000M"}}, "?000M\r", "\x1b\xfe#~12345X0001*\r"},
        {{{.kind = FaultKind::Nuls, .pattern = "?V", .position = Fault::kEnd}}, "?V\r", "2.10*\0\0\r"s},
        {{{.kind = FaultKind::Garbage, .pattern = "C00", .bytes = "OK"}}, "C00?\r", "OK16*\r"},
        // A refusal can be spoilt as well: the kinds act in their fixed order.
        {{{.kind = FaultKind::MissingCR, .pattern = "K00"}, {.kind = FaultKind::Refuse, .pattern = "K00"}}, "K00?\r",
         "?99"},
        {{{.kind = FaultKind::DropCarrier, .pattern = "P"}}, "P001a\r", ""}, // a direct line just goes silent
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        SimLine line;
        for (const auto& fault : c.faults)
            line.unit.AddFault(fault);
        EXPECT_EQ(line.Send(c.sent), c.answer);
    }
}

TEST(SimFault, DroppedCarrierEndsTheCallOnAModem)
{
    SimLine line;
    line.unit.EnableModem();
    line.unit.SetDialDelay(5);
    line.Send("ATE0V0\r");
    line.Send("ATDT1\r", 6);
    ASSERT_EQ(line.unit.GetModemState(), sim::ModemState::Online);
    line.unit.AddFault({.kind = FaultKind::DropCarrier, .pattern = "P"});
    EXPECT_EQ(line.Send("P001a\r"), "3\r");
    EXPECT_FALSE(line.unit.CallUp());
    EXPECT_EQ(line.Send("\r"), ""); // back in command mode: an empty line is no command
}
