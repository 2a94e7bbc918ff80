// Modem results, dialling and hang-up against a scripted Hayes modem.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Modem.h"
#include "KS_Paging.h"
#include "LinkTestSupport.h"
#include "TestSupport.h"

namespace {

// A modem that starts verbose with echo (as after a reset), switches to
// numeric results on ATE0V0, and answers the dial with the given result.
void actAsModem(FakeUnit& unit, std::string dialResult, std::int64_t dialDelay = 30)
{
    auto numericResults = std::make_shared<bool>(false);
    unit.OnWrite([numericResults](FakeUnit& u, const std::string& bytes) {
        if (bytes == "+++")
            u.Reply(*numericResults ? "0\r" : "\r\nOK\r\n", 2);
    });
    unit.OnLine([dialResult, dialDelay, numericResults](FakeUnit& u, const std::string& line) {
        bool& numeric = *numericResults;
        if (line == "ATZ\r") {
            u.Reply("ATZ\r\r\nOK\r\n");
            numeric = false;
        } else if (line == "ATE0V0\r") {
            u.Reply("ATE0V0\r0\r");
            numeric = true;
        } else if (line.rfind("ATDT", 0) == 0) {
            if (!dialResult.empty())
                u.Reply(dialResult + "\r", dialDelay);
        } else if (line == "ATH0\r" || line == "+++ATH0\r") {
            u.Reply(numeric ? "0\r" : "\r\nOK\r\n");
        }
    });
}

} // namespace

TEST(ModemResults, EachResultSetsItsFlagsAndStatusAndUnknownOnesOrAnEncoderLineInACallSetNothing)
{
    struct Row {
        std::string result;
        bool ready, connected, failed;
        std::string status; // empty: no status at all
        bool isError;
        int beeps;
    };
    const Row table[] = {
        {"0", true, false, false, "Modem is Ready.", false, 0},
        {"OK", true, false, false, "Modem is Ready.", false, 0},
        {"1", false, true, false, "Connected.", false, 0},
        {"10", false, true, false, "Connected 2400 BPS.", false, 0},
        {"2", false, false, false, "Waiting for Answer...", false, 3},
        {"3", false, false, true, "No Answer / No Carrier.", true, 3},
        {"4", false, false, true, "Modem Error.", true, 3},
        {"6", false, false, true, "No Dial Tone.", true, 3},
        {"8", false, false, true, "No Answer.", true, 3},
        {"CONNECT 9600", false, false, false, "", false, 0},
        {"5", false, false, false, "", false, 0},
        {"00", false, false, false, "", false, 0},
        {"ok", false, false, false, "", false, 0},
    };
    gConnectionType = 2;
    for (const Row& row : table) {
        SCOPED_TRACE(row.result);
        gModemReady = gModemConnected = gModemFailed = gReplyAcknowledged = false;
        StatusLog log;
        HandleEncoderLine("\n" + row.result + "\r\n");
        EXPECT_EQ(gModemReady, row.ready);
        EXPECT_EQ(gReplyAcknowledged, row.ready);
        EXPECT_EQ(gModemConnected, row.connected);
        EXPECT_EQ(gModemFailed, row.failed);
        ASSERT_EQ(log.reports.size(), row.status.empty() ? 0u : 1u);
        if (!row.status.empty()) {
            EXPECT_EQ(log.reports[0].text, row.status);
            EXPECT_EQ(log.reports[0].isError, row.isError);
            EXPECT_EQ(log.reports[0].noOfBeeps, row.beeps);
        }
    }

    // Once connected, the lines are the encoder's.
    StatusLog log;
    gModemConnected = true;
    HandleEncoderLine("0\r");
    EXPECT_FALSE(gModemReady);
    HandleEncoderLine("*\r");
    EXPECT_TRUE(gReplyAcknowledged);
    EXPECT_TRUE(log.reports.empty());
}

TEST(ModemResults, LineFeedOfAVerboseResultDoesNotHoldUpTheNextCommand)
{
    LinkHarness link;
    gConnectionType = 2;
    link.unit()->Reply("\r\nOK\r\n", 0);
    ASSERT_TRUE(link.PumpUntil([] { return gModemReady; }, 5));
    link.PumpUntil([] { return false; }, 2);
    EXPECT_TRUE(gReceiverIdle);
    std::string reply;
    SendLinkCommand("ATE0V0", "", true, 10, reply, true, 0);
    EXPECT_EQ(link.unit()->Written(), "ATE0V0\r");
}

TEST(Dial, DialsOnceSendsNothingWhileTheModemDialsConnectsAndHangsUp)
{
    LinkHarness link;
    gConnectionType = 2;
    StatusLog log;
    actAsModem(*link.unit(), "13", 300); // a slow answer, far beyond the command's own wait
    EXPECT_TRUE(DialModem("5551234"));
    EXPECT_TRUE(gModemConnected);
    const auto texts = log.texts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(std::vector(texts.end() - 3, texts.end()),
              (std::vector<std::string>{"Dialing to 5551234...", "Waiting for Answer...", "Connected 4800 BPS."}));
    EXPECT_EQ(link.unit()->Lines().back(), "ATDT5551234\r");
    EXPECT_EQ(link.unit()->CountLines("ATDT5551234\r"), 1);

    link.unit()->ClearWrites();
    HangUpModem();
    EXPECT_FALSE(gModemConnected);
    // "+++" has no CR of its own, so it shares a line with the hang-up.
    EXPECT_EQ(link.unit()->Lines(), std::vector<std::string>{"+++ATH0\r"});
    EXPECT_TRUE(link.port().PortOpen());
}

TEST(Dial, TheModemsAnswerToTheDialLetsTheCallsFirstCommandGoOutAtOnce)
{
    LinkHarness link;
    gConnectionType = 2;
    actAsModem(*link.unit(), "1", 300);
    ASSERT_TRUE(DialModem("5551234"));
    std::int64_t heardAt = -1;
    link.unit()->OnLine([&heardAt](FakeUnit& u, const std::string& line) {
        if (line == "?V\r") {
            heardAt = gDelayTicks;
            u.Reply("2.10*\r");
        }
    });
    const std::int64_t start = gDelayTicks;
    EXPECT_EQ(QueryLink("?V", "", {.expectedLength = 4, .noSuffix = true}), "2.10");
    EXPECT_LE(heardAt - start, 1);
}

TEST(Dial, BusyLineHangsUpAndFails)
{
    LinkHarness link;
    gConnectionType = 2;
    StatusLog log;
    actAsModem(*link.unit(), "7");
    const int opensBefore = link.unit()->opens;
    EXPECT_FALSE(DialModem("5551234"));
    EXPECT_FALSE(gModemConnected);
    const auto texts = log.texts();
    const auto busy = std::find(texts.begin(), texts.end(), "Line Busy.");
    EXPECT_NE(std::find(busy, texts.end(), "Disconecting Modem..."), texts.end());
    EXPECT_EQ(texts.back(), "Modem is Ready.");
    // The escape goes out without CR, then the hang-up, then the port is reopened.
    EXPECT_EQ(link.unit()->Lines().back(), "+++ATH0\r");
    EXPECT_EQ(link.unit()->opens, opensBefore + 1);
    EXPECT_TRUE(link.port().PortOpen());
}

TEST(Dial, AModemErrorOrNoDialToneEndsTheDialAtOnceAsAFailure)
{
    for (const char* result : {"4", "6"}) {
        SCOPED_TRACE(result);
        LinkHarness link;
        gConnectionType = 2;
        actAsModem(*link.unit(), result);
        const std::int64_t start = gDelayTicks;
        EXPECT_FALSE(DialModem("5551234"));
        EXPECT_LT(gDelayTicks - start, 1200); // it did not sit out the minute's wait for an answer
    }
}

TEST(Dial, SilentModemIsNeverDialledAndTheMinuteRunsOut)
{
    LinkHarness link;
    gConnectionType = 2;
    EXPECT_FALSE(DialModem("5551234"));
    const std::string written = link.unit()->Written(); // resets and hang-ups, but no set-up or dial
    EXPECT_EQ(written.find("ATE0V0"), std::string::npos);
    EXPECT_EQ(written.find("ATDT"), std::string::npos);
    EXPECT_GT(gDelayTicks, 1200);
}
