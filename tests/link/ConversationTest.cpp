// The receiver, the probe, the acknowledged command and the query, against a
// scripted unit on the deterministic pump.
#include <gtest/gtest.h>

#include <functional>

#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "LinkTestSupport.h"

namespace {

struct Answer {
    std::string asked, answer;
    std::int64_t after = 1;
};

// Answers each host line through a table; lines not in it get no answer.
void answerWith(FakeUnit& unit, std::vector<Answer> answers)
{
    unit.OnLine([answers](FakeUnit& u, const std::string& line) {
        for (const auto& a : answers)
            if (line == a.asked)
                u.Reply(a.answer, a.after);
    });
}

} // namespace

TEST(Receiver, DeliversLinesArrivingTogetherOneAPollAndAssemblesSplitOrFloodedLines)
{
    LinkHarness link;
    link.unit()->Reply("*\r?99*\r", 0);
    PollEncoderReply();
    EXPECT_TRUE(gReplyAcknowledged);
    EXPECT_FALSE(gProbeAnswered);
    EXPECT_EQ(gReplyBuffer, "*\r");
    PollEncoderReply();
    EXPECT_TRUE(gProbeAnswered);
    EXPECT_EQ(gReplyBuffer, "?99*\r");
    EXPECT_TRUE(gReceiverIdle);
    link.unit()->Reply("OK*\r", 0);
    PollEncoderReply();
    EXPECT_FALSE(gModemReady); // "OK" means nothing on an encoder line

    // A line in pieces: the buffer keeps the last whole line until the CR comes.
    gReplyAcknowledged = false;
    link.unit()->Reply("12", 0);
    link.unit()->Reply("*\r", 3);
    PollEncoderReply();
    EXPECT_FALSE(gReceiverIdle);
    EXPECT_EQ(gReplyBuffer, "OK*\r");
    ASSERT_TRUE(link.PumpUntil([] { return gReplyAcknowledged; }, 5));
    EXPECT_EQ(gReplyBuffer, "12*\r");
    EXPECT_TRUE(gReceiverIdle);

    // A flood without CR is dropped in bounded pieces and the next line still arrives.
    gReplyAcknowledged = false;
    link.unit()->Reply(std::string(20000, 'x'), 0);
    for (int i = 0; i < 10; ++i)
        PollEncoderReply();
    EXPECT_FALSE(gReplyAcknowledged);
    link.unit()->Reply("\r*\r", 0);
    ASSERT_TRUE(link.PumpUntil([] { return gReplyAcknowledged; }, 60));
    EXPECT_EQ(gReplyBuffer, "*\r");
}

TEST(Receiver, DropsALineWithoutCrAfterTwentyTicksAndStaysBusyUntilTheNextPoll)
{
    LinkHarness link;
    gReplyBuffer = "previous\r";
    link.unit()->Reply("?99", 0);
    PollEncoderReply();
    EXPECT_FALSE(gReceiverIdle);
    for (int i = 0; i < 21; ++i) {
        AdvanceTick();
        PollEncoderReply();
    }
    // The line has been given up, yet the receiver still reads as busy.
    EXPECT_FALSE(gReceiverIdle);
    EXPECT_EQ(gReplyBuffer, "previous\r");
    EXPECT_FALSE(gProbeAnswered);
    PollEncoderReply();
    EXPECT_TRUE(gReceiverIdle);

    // The CR arriving late starts a line of its own, not the dropped one.
    link.unit()->Reply("\r", 0);
    PollEncoderReply();
    EXPECT_EQ(gReplyBuffer, "\r");
    EXPECT_FALSE(gProbeAnswered);
}

// A long reply on a slow line takes longer than any line's limit or query's
// wait to arrive; it is cut only once it stops arriving.
TEST(Receiver, ALineIsTakenWholeWhileItsBytesKeepComingAndDroppedAfterTwentyTicksOfQuiet)
{
    LinkHarness link;
    // 300 baud brings one and a half bytes a tick: three every second tick.
    ASSERT_EQ(link.port().SetSettings("300,N,8,1"), CommError::None);
    link.unit()->OnLine([](FakeUnit& u, const std::string& line) {
        if (line != "?CD0101?\r")
            return;
        for (int tick = 2; tick <= 60; tick += 2)
            u.Reply("CCC", tick);
        u.Reply("*\r", 61);
    });
    std::string reply;
    QueryLink("?CD", "0101", {.ticks = 20, .reply = &reply});
    EXPECT_EQ(reply, std::string(90, 'C') + "*\r");

    // Ten ticks of bytes, then a pause: the part is dropped twenty ticks
    // after its last byte, and what comes after is a line of its own.
    gReplyBuffer.clear();
    for (int tick = 0; tick < 10; ++tick)
        link.unit()->Reply("y", tick);
    link.unit()->Reply("*\r", 31);
    ASSERT_TRUE(link.PumpUntil([] { return !gReplyBuffer.empty(); }, 60));
    EXPECT_EQ(gReplyBuffer, "*\r");
}

// A query's wait is held past its end only by a reply begun within it whose
// bytes still come: a port that hands them over in bursts a few ticks apart
// holds it, a pause of three ticks or a flood of lines begun later does not.
TEST(Query, AReplyStillArrivingHoldsTheWaitOnlyWhileItsBytesCome)
{
    const struct {
        const char* what;
        std::function<void(FakeUnit&)> reply;
        std::string line; // the last line the query's wait took
        bool held;
    } cases[] = {
        {"bursts every third tick",
         [](FakeUnit& u) {
             for (int tick = 1; tick <= 58; tick += 3)
                 u.Reply("CCCC", tick);
             u.Reply("*\r", 60);
         },
         std::string(80, 'C') + "*\r", true},
        {"a pause of three ticks",
         [](FakeUnit& u) {
             for (int tick = 1; tick <= 10; ++tick)
                 u.Reply("C", tick);
             for (int tick = 14; tick <= 20; ++tick)
                 u.Reply("C", tick);
             u.Reply("*\r", 21);
         },
         "", false},
        {"a flood of lines",
         [](FakeUnit& u) {
             for (int tick = 1; tick <= 300; ++tick)
                 u.Reply(tick % 10 == 0 ? "\r" : "x", tick);
         },
         "xxxxxxxxx\r", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LinkHarness link;
        ASSERT_EQ(link.port().SetSettings("300,N,8,1"), CommError::None); // no faster than the bytes come
        link.unit()->OnLine([&c](FakeUnit& u, const std::string& line) {
            if (line == "?CD0101?\r")
                c.reply(u);
        });
        const std::int64_t start = gDelayTicks;
        std::string reply;
        QueryLink("?CD", "0101", {.ticks = 8, .reply = &reply});
        EXPECT_EQ(reply, c.line);
        if (!c.held)
            EXPECT_LE(gDelayTicks - start, 14);
    }
}

// A line without a CR lasts no longer than its bytes need at the line's
// speed and a line's limit: stray bytes every half second never hold the
// line for good, and a query facing an endless stream gives up in time.
TEST(Receiver, ALineThatNeverEndsLastsNoLongerThanItsBytesNeedOnTheWire)
{
    int commands = 0;
    int queries = 0;
    for (int at = 0; at < 30; ++at) {
        for (const bool query : {false, true}) {
            LinkHarness link;
            for (int tick = 0; tick < 400; tick += 10)
                link.unit()->Reply(".", tick);
            for (int tick = 0; tick < at; ++tick) {
                AdvanceTick();
                PollEncoderReply();
            }
            std::string reply;
            if (query)
                QueryLink("?T", "", {.expectedLength = 1, .noSuffix = true, .ticks = 8, .reply = &reply});
            else
                SendLinkCommand("PA", "1", true, 8, reply, true, 0);
            const std::string sent = link.unit()->Written();
            (query ? queries : commands) += sent.find(query ? "?T" : "PA1") != std::string::npos;
        }
    }
    EXPECT_GE(commands, 23); // as many as a limit counted from the first byte lets through
    EXPECT_GE(queries, 15);

    {
        // Stray bytes every 10 ticks: the line goes 20 ticks after its first, not a tick later.
        LinkHarness link;
        for (int tick = 0; tick <= 30; tick += 10)
            link.unit()->Reply(".", tick);
        ASSERT_TRUE(link.PumpUntil([] { return LinkReceiving(); }, 5));
        const std::int64_t begun = gDelayTicks;
        ASSERT_TRUE(link.PumpUntil([] { return !LinkReceiving(); }, 40));
        EXPECT_EQ(gDelayTicks - begun, 21);
    }
    {
        // A reply at 300 baud with parity comes at 11 bits a character: 600 of
        // them take 440 ticks, and arrive whole.
        LinkHarness link;
        ASSERT_EQ(link.port().SetSettings("300,E,8,1"), CommError::None);
        for (int tick = 0; tick < 440; tick += 11)
            link.unit()->Reply(std::string(15, 'y'), tick);
        link.unit()->Reply("*\r", 440);
        gReplyBuffer.clear();
        ASSERT_TRUE(link.PumpUntil([] { return !gReplyBuffer.empty(); }, 600));
        EXPECT_EQ(gReplyBuffer, std::string(600, 'y') + "*\r");
    }

    const struct {
        const char* settings;
        int bytesATick;
        std::int64_t bound; // the query's 8 ticks, 4,096 bytes at the line's speed, and 20
    } streams[] = {{"38400,N,8,1", 1, 8 + 22 + 20}, {"9600,N,8,1", 6, 8 + 86 + 20}, {"9600,N,8,1", 48, 8 + 86 + 20}};
    for (const auto& s : streams) {
        SCOPED_TRACE(s.settings + std::string(" ") + std::to_string(s.bytesATick));
        LinkHarness link;
        ASSERT_EQ(link.port().SetSettings(s.settings), CommError::None);
        link.unit()->OnLine([&s](FakeUnit& u, const std::string& line) {
            if (line == "?CD0101?\r")
                for (int tick = 1; tick < 5000; ++tick)
                    u.Reply(std::string(static_cast<std::size_t>(s.bytesATick), 'x'), tick);
        });
        const std::int64_t start = gDelayTicks;
        std::string reply;
        QueryLink("?CD", "0101", {.ticks = 8, .reply = &reply});
        EXPECT_LE(gDelayTicks - start, s.bound);
    }
    {
        // A 300 bps call, hung up: the direct line at 38400 is bounded at its own speed again.
        LinkHarness link;
        gConnectionType = 2;
        link.unit()->Reply("1\r", 1); // a bare CONNECT
        ASSERT_TRUE(link.PumpUntil([] { return gModemConnected; }, 10));
        gModemConnected = false; // as the hang-up leaves it
        gConnectionType = 1;
        link.unit()->OnLine([](FakeUnit& u, const std::string& line) {
            if (line == "?CD0101?\r")
                for (int tick = 1; tick < 5000; ++tick)
                    u.Reply("x", tick);
        });
        const std::int64_t start = gDelayTicks;
        std::string reply;
        QueryLink("?CD", "0101", {.ticks = 8, .reply = &reply});
        EXPECT_LE(gDelayTicks - start, 8 + 22 + 20);
    }
}

TEST(Receiver, ALineArrivingWhileTheLastIsStillBeingReportedWaitsItsTurn)
{
    LinkHarness link;
    gConnectionType = 2;
    std::string duringReport;
    SetStatusSink([&](const std::string&, bool isError, int) {
        if (!isError)
            return;
        WaitTicks(10); // the status line blinks an error for a while
        duringReport = gReplyBuffer;
    });
    link.unit()->Reply("3\r", 1); // the modem's "no carrier"
    link.unit()->Reply("*\r", 2);
    ASSERT_TRUE(link.PumpUntil([] { return gReplyBuffer == "*\r"; }, 60));
    EXPECT_EQ(duringReport, "3\r");
}

TEST(Probe, AVanishedDeviceMidLineFreesTheReceiverAndIsFoundAgainButNotAPortClosedOnPurpose)
{
    LinkHarness link;
    gConnectionType = 2; // a modem link without a call is not probed
    EXPECT_FALSE(IsLinkResponding());
    EXPECT_EQ(link.unit()->Written(), "");
    gConnectionType = 1;

    answerWith(*link.unit(), {{"\r", "?99\r"}});
    gReplyBuffer = "*\r";
    link.unit()->Reply("12", 0);
    PollEncoderReply();
    link.unit()->Vanish();
    AdvanceTick();
    PollEncoderReply();
    ASSERT_FALSE(link.port().PortOpen());
    ASSERT_TRUE(link.port().DeviceLost());
    EXPECT_TRUE(gReceiverIdle);
    EXPECT_EQ(gReplyBuffer, "");
    const int opens = link.unit()->opens;

    // A modem call does not survive a lost device: no reopening behind Dial Out's back.
    gConnectionType = 2;
    gModemConnected = true;
    EXPECT_FALSE(IsLinkResponding());
    EXPECT_EQ(link.unit()->opens, opens);

    gConnectionType = 1;
    gModemConnected = false;
    EXPECT_TRUE(IsLinkResponding());
    EXPECT_TRUE(link.port().PortOpen());
    EXPECT_EQ(link.unit()->opens, opens + 1);

    link.unit()->ClearWrites();
    link.port().SetPortOpen(false);
    EXPECT_FALSE(IsLinkResponding());
    EXPECT_FALSE(link.port().PortOpen());
    EXPECT_EQ(link.unit()->Written(), "");
}

TEST(Probe, SendsOneCrWhenAnsweredWithinTenTicksTwoWhenLaterAndFailsOnSilence)
{
    for (const int after : {3, 13, -1}) {
        SCOPED_TRACE(after);
        LinkHarness link;
        gReplyBuffer = "?99\r";
        if (after > 0)
            answerWith(*link.unit(), {{"\r", "?99\r", after}});
        EXPECT_EQ(IsLinkResponding(), after > 0);
        EXPECT_EQ(link.unit()->Written(), after == 3 ? "\r" : "\r\r");
        if (after < 0) {
            EXPECT_EQ(gReplyBuffer, "");
        }
    }
}

TEST(Probe, ASilentUnitCostsEachProbeItsOwnWaitAndALateAnswerStillNeverReachesTheQueryAfterAProbe)
{
    LinkHarness link;
    for (int probe = 0; probe < 3; ++probe) {
        const std::int64_t start = gDelayTicks;
        EXPECT_FALSE(IsLinkResponding());
        EXPECT_LE(gDelayTicks - start, 21) << probe;
    }

    // A query the unit answers too late, a probe it answers at once, and the
    // next query: the late answer comes while that one waits for its own.
    gEncoderIdentified = true;
    answerWith(*link.unit(), {{"C00?\r", "16*\r", 12}, {"\r", "?99\r", 1}, {"K00?\r", "12*\r", 5}});
    EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "");
    EXPECT_TRUE(IsLinkResponding());
    EXPECT_EQ(QueryLink("K", "00", {.expectedLength = 2}), "12");
}

TEST(BusyReceiver, NoSenderTransmitsWhileALineIsArriving)
{
    const std::function<bool(std::string&)> senders[] = {
        [](std::string&) { return IsLinkResponding(8); },
        [](std::string& reply) {
            return !QueryLink("C", "00", {.expectedLength = 2, .attempts = 3, .reply = &reply}).empty();
        },
        // The command gives up after fifteen ticks without sending.
        [](std::string& reply) { return SendLinkCommand("P001", "text", true, 40, reply, true, 3); },
    };
    for (const auto& send : senders) {
        LinkHarness link;
        link.unit()->Reply("partial", 0); // never ends: the receiver stays busy for 20 ticks
        PollEncoderReply();
        std::string reply = "untouched";
        EXPECT_FALSE(send(reply));
        EXPECT_EQ(reply, "untouched");
        EXPECT_EQ(link.unit()->Written(), "");
    }
}

TEST(Command, TransmitsOnceWithNoRetriesOnePlusRetriesWhenSilentAndStopsOnUnknownOnlyWhileUnidentified)
{
    LinkHarness link;
    std::string reply;
    EXPECT_FALSE(SendLinkCommand("P001", "hello", true, 0, reply, true, 0));
    EXPECT_EQ(link.unit()->Written(), "P001hello\r");
    gEncoderIdentified = true;
    link.unit()->ClearWrites();
    EXPECT_FALSE(SendLinkCommand("K", "05text", false, 40, reply, false, 3));
    EXPECT_EQ(link.unit()->CountLines("K05textW\r"), 4); // "W" and CR even with Terminate False
    EXPECT_EQ(link.unit()->CountLines("\r"), 3);
    // The retransmissions go out one character per write.
    EXPECT_EQ(link.unit()->Writes().size(), 1u + 3u * (1u + 9u));

    link.unit()->OnLine([](FakeUnit& u, const std::string&) { u.Reply("?99\r"); });
    for (const bool identified : {false, true}) {
        gEncoderIdentified = identified;
        link.unit()->ClearWrites();
        EXPECT_FALSE(SendLinkCommand("X", "1", false, 0, reply, true, 3));
        EXPECT_EQ(link.unit()->CountLines("X1W\r"), identified ? 4 : 2);
        EXPECT_EQ(reply, "?99\r");
    }
}

TEST(Command, ALateAcknowledgementDuringThePokePauseEndsTheRetriesOfCommandsAndQueries)
{
    gEncoderIdentified = true;
    LinkHarness link;
    // The encoder is slow: it answers long after the 8-tick wait, while the probe is out.
    answerWith(*link.unit(), {{"P001hello\r", "*\r", 20}, {"W000?\r", "200*\r", 12}, {"\r", "?99\r"}});
    std::string reply;
    EXPECT_TRUE(SendLinkCommand("P001", "hello", true, 0, reply, true, 3));
    EXPECT_EQ(reply, "*\r");
    EXPECT_EQ(QueryLink("W", "000", {.expectedLength = 3, .pokeOnTimeout = true, .attempts = 3}), "200");
    EXPECT_EQ(link.unit()->CountLines("P001hello\r"), 1);
    EXPECT_EQ(link.unit()->CountLines("W000?\r"), 1);
}

TEST(Command, SuccessAndValueAreJudgedOnTheAcknowledgingLineNotALaterStrayOne)
{
    LinkHarness link;
    // The receiver runs twice a yield, as when timer events pile up behind a slow handler.
    SetYieldHook([] {
        AdvanceTick();
        PollEncoderReply();
        PollEncoderReply();
    });
    link.unit()->OnLine([](FakeUnit& u, const std::string&) { u.Reply("*\r?99\r", 1); });
    std::string reply;
    EXPECT_TRUE(SendLinkCommand("T", "1200", false, 0, reply, true, 3));
    EXPECT_EQ(gReplyBuffer, "?99\r"); // the stray line did arrive before the sender looked
    EXPECT_EQ(reply, "*\r");
    EXPECT_EQ(link.unit()->CountLines("T1200W\r"), 1);

    // A query's value comes from its acknowledged line too.
    link.unit()->OnLine([](FakeUnit& u, const std::string&) { u.Reply("20*\rjunk\r", 1); });
    EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .attempts = 3, .reply = &reply}), "20");
    EXPECT_EQ(reply, "20*\r");
}

TEST(Query, AttemptsBoundTheTransmissionsAndAnUnknownRequestGivesEmptyOrTheError)
{
    LinkHarness link;
    EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .attempts = 0}), "");
    EXPECT_EQ(link.unit()->Written(), "");
    EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "");
    EXPECT_EQ(link.unit()->Written(), "C00?\r");
    link.unit()->ClearWrites();
    EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .pokeOnTimeout = true, .attempts = 3}), "");
    EXPECT_EQ(link.unit()->Written(), "C00?\r\rC00?\r\rC00?\r\r");

    answerWith(*link.unit(), {{"?TG\r", "?99\r"}});
    link.unit()->ClearWrites();
    EXPECT_EQ(QueryLink("?TG", "", {.expectedLength = 3, .noSuffix = true, .ticks = 10, .attempts = 3}), "");
    EXPECT_EQ(link.unit()->Written(), "?TG\r");
    EXPECT_EQ(QueryLink("?TG", "", {.expectedLength = 3, .noSuffix = true, .ticks = 10, .returnError = true}), "?99");
}

TEST(Query, CutsTheValueByTheLengthOfTheAnswer)
{
    struct Case {
        std::string answer;
        std::int16_t expected;
        std::string value;
    };
    const Case cases[] = {
        {"20*\r", 2, "20"},  // L - 2
        {"x20*\r", 2, "20"}, // L - 3: one leading character dropped
        {"120*\r", 1, ""},   // any other length
        {"*\r", 0, ""},      // L - 2 = 0: an empty value
    };
    for (const auto& c : cases) {
        LinkHarness link;
        answerWith(*link.unit(), {{"C00?\r", c.answer}});
        std::string reply;
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = c.expected, .attempts = 3, .reply = &reply}), c.value)
            << c.answer;
        EXPECT_EQ(reply, c.answer);
        EXPECT_FALSE(gReplyAcknowledged);
        EXPECT_EQ(link.unit()->CountLines("C00?\r"), 1);
    }
}

// A unit whose answers come a little late, or after a pause of seconds: each
// answer goes to its own line, and nothing is waited for that is not owed.
TEST(Settle, AUnitAcknowledgingJustPastTheWaitCostsEachCommandOnlyItsOwnAcknowledgement)
{
    gEncoderIdentified = true;
    LinkHarness link;
    // Just past the 8-tick wait: the acknowledgement lands in the poke's
    // pause, the poke's own "?99" while the next command waits for its answer.
    answerWith(*link.unit(), {{"P001page\r", "*\r", 10}, {"\r", "?99\r", 10}});
    const std::int64_t start = gDelayTicks;
    std::string reply;
    for (int page = 0; page < 10; ++page)
        EXPECT_TRUE(SendLinkCommand("P001", "page", true, 0, reply, true, 3)) << page;
    EXPECT_LE(gDelayTicks - start, 10 * 11);
    EXPECT_EQ(link.unit()->CountLines("P001page\r"), 10);
}

TEST(Settle, AUnitPausingFourSecondsHasEachAnswerGoToItsOwnQuery)
{
    gEncoderIdentified = true;
    LinkHarness link;
    // Paused at the first "C00?": everything sent meanwhile is answered, in order, once it goes on.
    std::int64_t pausedUntil = -1;
    link.unit()->OnLine([&pausedUntil](FakeUnit& u, const std::string& line) {
        if (pausedUntil < 0)
            pausedUntil = gDelayTicks + 80;
        const std::int64_t after = std::max<std::int64_t>(1, pausedUntil - gDelayTicks);
        u.Reply(line == "C00?\r" ? "31*\r" : line == "K00?\r" ? "42*\r" : "?99\r", after);
    });
    EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .attempts = 3}), "");
    EXPECT_EQ(QueryLink("K", "00", {.expectedLength = 2, .attempts = 3}), "42");
    EXPECT_EQ(link.unit()->CountLines("K00?\r"), 1);
}

TEST(Settle, WhatAnEarlierExchangeIsOwedDelaysOnlyTheNextAndIsNeverTakenForItsAnswer)
{
    gEncoderIdentified = true;
    const auto timeQuery = [](const char* command, const char* value) {
        const std::int64_t start = gDelayTicks;
        EXPECT_EQ(QueryLink(command, "00", {.expectedLength = 2}), value) << command;
        return gDelayTicks - start;
    };
    {
        // An answer that never comes: the next query waits for it, the one after does not.
        LinkHarness link;
        answerWith(*link.unit(), {{"K00?\r", "42*\r"}, {"F00?\r", "57*\r"}});
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "");
        EXPECT_GT(timeQuery("K", "42"), 100);
        EXPECT_LE(timeQuery("F", "57"), 3);
    }
    {
        // Two late answers, the second long after the first: both are dropped.
        LinkHarness link;
        answerWith(*link.unit(), {{"C00?\r", "31*\r", 12}, {"F00?\r", "57*\r", 70}, {"K00?\r", "42*\r", 2}});
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "");
        EXPECT_EQ(QueryLink("F", "00", {.expectedLength = 2}), "");
        timeQuery("K", "42");
    }
    {
        // The answer was still arriving when its query gave up: the next waits it out.
        LinkHarness link;
        answerWith(*link.unit(), {{"C00?\r", "3", 6}, {"C00?\r", "1*\r", 14}, {"K00?\r", "42*\r"}});
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "");
        EXPECT_EQ(QueryLink("K", "00", {.expectedLength = 2}), "42");
    }
    {
        // A line that never falls quiet holds the next command only so long.
        LinkHarness link;
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "");
        for (int tick = 1; tick < 400; ++tick)
            link.unit()->Reply("x", tick);
        std::string reply;
        const std::int64_t start = gDelayTicks;
        SendLinkCommand("P001", "page", true, 0, reply, true, 0);
        EXPECT_EQ(link.unit()->CountLines("P001page\r"), 1);
        EXPECT_LE(gDelayTicks - start, 150);
    }
}

TEST(Settle, AStrayAcknowledgementWaitingInThePortIsNeverTakenForACommandsOwn)
{
    gEncoderIdentified = true;
    LinkHarness link;
    link.unit()->Reply("*\r", 0);
    std::string reply;
    EXPECT_FALSE(SendLinkCommand("P001", "page", true, 0, reply, true, 0));
    EXPECT_EQ(reply, "");
}

// A unit three to five seconds late on every line, not at one only: what an
// exchange is still owed is waited for as long as the unit takes, so a late
// acknowledgement of a page sent again never passes for the next page's.
TEST(Settle, AUnitLateOnEveryLineNeverHasOnePagesAnswerTakenForTheNextOnes)
{
    gEncoderIdentified = true;
    LinkHarness link;
    int line = 0;
    link.unit()->OnLine([&line](FakeUnit& u, const std::string& sent) {
        static constexpr std::int64_t kLatencies[] = {55, 90, 62, 100, 71, 58, 95};
        const std::int64_t after = kLatencies[line++ % std::size(kLatencies)];
        u.Reply(sent == "P001page\r" ? "*\r" : "?99\r", after);
    });
    std::string reply;
    EXPECT_TRUE(SendLinkCommand("P001", "page", true, 0, reply, true, 3));
    EXPECT_FALSE(SendLinkCommand("P002", "page", true, 0, reply, true, 3));
    EXPECT_TRUE(SendLinkCommand("P001", "page", true, 0, reply, true, 3));
}

// What the next exchange waits for, and for how long.
TEST(Settle, ASilentUnitIsTakenToHaveGoneAQuietLineToBeDoneAndALineStillArrivingIsWaitedOut)
{
    gEncoderIdentified = true;
    const auto timed = [](const std::function<void()>& exchange) {
        const std::int64_t start = gDelayTicks;
        exchange();
        return gDelayTicks - start;
    };
    {
        // Silent through the second query's whole wait for the first's answer: the third waits for nothing.
        LinkHarness link;
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "");
        EXPECT_GT(timed([] { QueryLink("K", "00", {.expectedLength = 2}); }), 100);
        EXPECT_LE(timed([] { QueryLink("F", "00", {.expectedLength = 2}); }), 10);
    }
    {
        // Heard after the oldest line it still owes, then silent: it has not gone, and the next waits again.
        LinkHarness link;
        bool first = true;
        link.unit()->OnLine([&first](FakeUnit& u, const std::string& line) {
            if (line == "C00?\r" && std::exchange(first, false))
                u.Reply("x\r", 12);
        });
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .attempts = 3}), "");
        QueryLink("K", "00", {.expectedLength = 2});
        EXPECT_GT(timed([] { QueryLink("F", "00", {.expectedLength = 2}); }), 100);
    }
    {
        // The query heard the unit, which answers its second try 30 ticks on: not yet quiet, so that answer is waited for.
        LinkHarness link;
        int tries = 0;
        link.unit()->OnLine([&tries](FakeUnit& u, const std::string& line) {
            if (line == "C00?\r" && ++tries == 1)
                u.Reply("x\r", 2);
            else if (line == "C00?\r")
                u.Reply("31*\r", 30);
            if (line == "K00?\r")
                u.Reply("42*\r", 12);
        });
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .attempts = 2}), "");
        EXPECT_EQ(QueryLink("K", "00", {.expectedLength = 2, .ticks = 20}), "42");
    }
    {
        // A line nothing is owed to, still arriving as the query ends: the next waits it out.
        LinkHarness link;
        answerWith(*link.unit(), {{"C00?\r", "x\r", 2}, {"C00?\r", "5", 6}, {"C00?\r", "0*\r", 20}, {"K00?\r", "42*\r", 6}});
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "");
        EXPECT_EQ(QueryLink("K", "00", {.expectedLength = 2}), "42");
    }
}

TEST(Settle, PokesAreOwedOnlyTheirOwnAnswerAndASpeedChangeOrExitEndsWhatIsOwed)
{
    gEncoderIdentified = true;
    {
        // Answered only once poked: the poke leaves nothing owed that would take the next query's answer.
        LinkHarness link;
        bool asked = false;
        link.unit()->OnLine([&asked](FakeUnit& u, const std::string& line) {
            if (line == "C00?\r")
                asked = true;
            else if (line == "\r")
                u.Reply(std::exchange(asked, false) ? "31*\r" : "?99\r", 1);
            else if (line == "K00?\r")
                u.Reply("42*\r", 1);
        });
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .pokeOnTimeout = true, .attempts = 3}), "31");
        EXPECT_EQ(QueryLink("K", "00", {.expectedLength = 2, .attempts = 3}), "42");
        EXPECT_EQ(link.unit()->CountLines("K00?\r"), 1);
    }
    {
        // A "?99" long after a poke the unit never answered is the query's own refusal.
        gEncoderIdentified = false;
        LinkHarness link;
        int tries = 0;
        link.unit()->OnLine([&tries](FakeUnit& u, const std::string& line) {
            if (line == "C00?\r" && ++tries == 2)
                u.Reply("?99\r", 2);
        });
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .returnError = true, .pokeOnTimeout = true, .attempts = 3}),
                  "?99");
        EXPECT_EQ(link.unit()->CountLines("C00?\r"), 2);
        gEncoderIdentified = true;
    }
    {
        // Owed at the old speed: nothing comes through at the new one, so nothing is waited for.
        LinkHarness link;
        answerWith(*link.unit(), {{"K00?\r", "42*\r", 1}});
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "");
        ASSERT_TRUE(OpenSerialPort(link.port(), 1, "9600,N,8,1"));
        const std::int64_t start = gDelayTicks;
        EXPECT_EQ(QueryLink("K", "00", {.expectedLength = 2}), "42");
        EXPECT_LE(gDelayTicks - start, 3);
    }
    {
        // Exit chosen in the first wait: no retry, no further try and no poke goes out.
        LinkHarness link;
        SetYieldHook([] {
            AdvanceTick();
            PollEncoderReply();
            RequestExit();
        });
        std::string reply;
        EXPECT_FALSE(SendLinkCommand("P001", "page", true, 0, reply, true, 3));
        EXPECT_EQ(link.unit()->Written(), "P001page\r");
        // From then on nothing goes out: a run cut by Exit sends none of its remaining lines.
        link.unit()->ClearWrites();
        EXPECT_FALSE(SendLinkCommand("P002", "page", true, 0, reply, true, 3));
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .attempts = 3}), "");
        EXPECT_FALSE(IsLinkResponding());
        EXPECT_EQ(link.unit()->Written(), "");
        // The exit's own stops run with the request cleared: they go out.
        SetYieldHook([] {
            AdvanceTick();
            PollEncoderReply();
        });
        ClearExitRequest();
        EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .attempts = 1}), "");
        EXPECT_EQ(link.unit()->Written(), "C00?\r");
    }
}

namespace {

// A query the unit answers with the value after the given ticks, acknowledged within its wait.
std::string askAnswered(FakeUnit& unit, const std::string& command, const std::string& value, std::int64_t after)
{
    unit.OnLine([command, value, after](FakeUnit& u, const std::string& line) {
        if (line == command + "00?\r")
            u.Reply(value + "*\r", after);
    });
    return QueryLink(command, "00", {.expectedLength = 2, .ticks = static_cast<std::int32_t>(after + 10)});
}

// The unit hears "C00?" twice: the first try gets a stray line at once, the
// second its answer "31*" lateBy ticks on, after the query has given up. The
// next query, answered 40 ticks after it goes, must get its own "42".
std::string lateSecondTryThenTheNextQuery(FakeUnit& unit, std::int64_t lateBy, int attempts = 2, std::int32_t ticks = 8)
{
    int tries = 0;
    unit.OnLine([&tries, lateBy, attempts](FakeUnit& u, const std::string& line) {
        if (line == "C00?\r" && ++tries == 1)
            u.Reply("x\r", 2);
        else if (line == "C00?\r" && tries == attempts)
            u.Reply("31*\r", lateBy);
        else if (line == "K00?\r")
            u.Reply("42*\r", 40);
    });
    EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .ticks = ticks, .attempts = static_cast<std::int16_t>(attempts)}), "");
    return QueryLink("K", "00", {.expectedLength = 2, .ticks = 60});
}

} // namespace

// What an exchange waits for before it sends, one case per condition of the
// wait: each holds only while that condition is as it is.
TEST(Settle, EachConditionOfTheWaitBeforeAnExchangeSends)
{
    gEncoderIdentified = true;
    const struct {
        const char* name;
        std::function<void(LinkHarness&)> run;
    } cases[] = {
        {"the latency waited for is the longest of the last four answers", [](LinkHarness& link) {
             FakeUnit& unit = *link.unit();
             for (const std::int64_t after : {70, 30, 30})
                 askAnswered(unit, "S", "12", after);
             // Answered 60 ticks late: within the 70 + 20 the unit has lately taken.
             EXPECT_EQ(lateSecondTryThenTheNextQuery(unit, 60), "42");
         }},
        {"an answer dropped as stale still counts as a latency", [](LinkHarness& link) {
             FakeUnit& unit = *link.unit();
             unit.OnLine([](FakeUnit& u, const std::string& line) {
                 if (line == "S00?\r")
                     u.Reply("12*\r", 70);
             });
             EXPECT_EQ(QueryLink("S", "00", {.expectedLength = 2}), "");
             for (const std::int64_t after : {30, 30})
                 askAnswered(unit, "S", "12", after);
             EXPECT_EQ(lateSecondTryThenTheNextQuery(unit, 60), "42");
         }},
        {"the latency is capped at the five-second pause", [](LinkHarness& link) {
             // A poke whose "?99" never came is forgotten after 100 + 20 ticks of quiet,
             // however long the unit once took: a "?99" after that is the query's own.
             FakeUnit& unit = *link.unit();
             askAnswered(unit, "S", "12", 150);
             unit.OnLine([](FakeUnit& u, const std::string& line) {
                 if (line == "P001page\r")
                     u.Reply("*\r", 10); // lands in the retry's poke pause
                 else if (line == "C00?\r")
                     u.Reply("?99\r", 128);
             });
             std::string reply;
             EXPECT_TRUE(SendLinkCommand("P001", "page", true, 0, reply, true, 1));
             EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .ticks = 200, .returnError = true}), "?99");
         }},
        {"a retry sent long after the unit was last heard is waited for latency + 20 after it went", [](LinkHarness& link) {
             FakeUnit& unit = *link.unit();
             askAnswered(unit, "S", "12", 50);
             // Heard at the first of three tries 30 ticks apart; the third is answered 50 ticks on.
             EXPECT_EQ(lateSecondTryThenTheNextQuery(unit, 50, 3, 30), "42");
         }},
        {"an answer within the 20 ticks past the latency is still waited for", [](LinkHarness& link) {
             FakeUnit& unit = *link.unit();
             askAnswered(unit, "S", "12", 50);
             EXPECT_EQ(lateSecondTryThenTheNextQuery(unit, 65, 3, 30), "42");
         }},
        {"bytes behind an exchange's last line are a line arriving", [](LinkHarness& link) {
             link.unit()->OnLine([](FakeUnit& u, const std::string& line) {
                 if (line == "C00?\r") {
                     u.Reply("31*\r5", 2);
                     u.Reply("0*\r", 12);
                 } else if (line == "K00?\r") {
                     u.Reply("42*\r", 30);
                 }
             });
             EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "31");
             EXPECT_EQ(QueryLink("K", "00", {.expectedLength = 2, .ticks = 40}), "42");
         }},
        {"bytes behind a line waited out are a line arriving too", [](LinkHarness& link) {
             link.unit()->OnLine([](FakeUnit& u, const std::string& line) {
                 if (line == "C00?\r") {
                     u.Reply("31*\r5", 2);
                     u.Reply("0*\r6", 12);
                     u.Reply("1*\r", 14);
                 } else if (line == "K00?\r") {
                     u.Reply("42*\r", 30);
                 }
             });
             EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "31");
             EXPECT_EQ(QueryLink("K", "00", {.expectedLength = 2, .ticks = 40}), "42");
         }},
        {"whole lines left in the port are taken at once", [](LinkHarness& link) {
             link.unit()->OnLine([](FakeUnit& u, const std::string& line) {
                 if (line == "C00?\r")
                     u.Reply("31*\rx\ry\rz\r", 2);
                 else if (line == "K00?\r")
                     u.Reply("42*\r", 1);
             });
             EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2}), "31");
             const std::int64_t start = gDelayTicks;
             EXPECT_EQ(QueryLink("K", "00", {.expectedLength = 2}), "42");
             EXPECT_EQ(gDelayTicks - start, 1);
         }},
        {"a \"?99\" 40 ticks after a poke the unit never answered is the query's refusal", [](LinkHarness& link) {
             link.unit()->OnLine([](FakeUnit& u, const std::string& line) {
                 if (line == "P001page\r")
                     u.Reply("*\r", 10);
                 else if (line == "C00?\r")
                     u.Reply("?99\r", 42);
             });
             std::string reply;
             EXPECT_TRUE(SendLinkCommand("P001", "page", true, 0, reply, true, 1));
             EXPECT_EQ(QueryLink("C", "00", {.expectedLength = 2, .ticks = 60, .returnError = true}), "?99");
         }},
        {"the probe's second CR goes out 10 ticks after the first", [](LinkHarness& link) {
             std::vector<std::int64_t> sentAt;
             link.unit()->OnWrite([&sentAt](FakeUnit&, const std::string&) { sentAt.push_back(gDelayTicks); });
             EXPECT_FALSE(IsLinkResponding());
             ASSERT_EQ(sentAt.size(), 2u);
             EXPECT_EQ(sentAt[1] - sentAt[0], 10);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkHarness link;
        c.run(link);
    }
}
