// Programming a range of users, straight against the simulated encoder.
#include <cstdio>

#include "ConsoleHarness.h"
#include "KS_PagerRange.h"
#include "KS_Paging.h"
#include "KS_String.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"

using namespace std::string_literals;

namespace {

// Runs the range on the engine's unit; `written` gets each count of records written.
bool run(sim::Engine& engine, PagerRangeSettings range, std::vector<int>& written)
{
    range.user.userName = "Ward";
    range.user.pagerTypeText = "AlphaNumeric";
    range.user.formatText = "POCSAG";
    range.user.baudText = "512";
    range.user.modeText = "0";
    LinkHarness link(std::make_unique<SimBackend>(engine));
    DetectEncoder();
    return ProgramUserRange(range, [&written](RangeStep step, int done) {
        if (step == RangeStep::Programming)
            written.push_back(done);
    });
}

// The head of each line of these kinds the unit received, the identification left out.
Lines heads(const sim::Engine& engine, const std::string& kinds, std::size_t width = 4)
{
    Lines result;
    for (const auto& entry : engine.Transcript())
        if (entry.fromHost && entry.bytes.size() > 4 && entry.bytes != "?000M\r"
            && kinds.find(entry.bytes[0]) != std::string::npos)
            result.push_back(entry.bytes.substr(0, width));
    return result;
}

} // namespace

TEST(PagerRange, CapcodesRiseByTheStepAndEveryUserGetsTheGroups)
{
    MakeDataFolder();
    sim::Engine engine;
    engine.SetModel('X');
    PagerRangeSettings range{.from = 1, .to = 20, .startCapcode = 1000, .increment = 5, .user = {}};
    range.user.groupTexts[0] = "03";
    std::vector<int> written;
    ASSERT_TRUE(run(engine, range, written));
    const Lines adds = heads(engine, "A", 11);
    ASSERT_EQ(adds.size(), 20u);
    EXPECT_EQ(adds[0], "A0010001000");
    EXPECT_EQ(adds[19], "A0200001095");
    EXPECT_EQ(StoredUser(20).Capcode, "0001095");
    EXPECT_EQ(Trim(StoredUser(20).UserName), "Ward");
    EXPECT_EQ(StoredUser(20).Group1, "#"); // group 3 + 32
    EXPECT_EQ(StoredUser(21).InUse, "N");
    EXPECT_EQ(written, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
}

TEST(PagerRange, WhatGoesToTheUnitAndWhatToTheFileFollowsTheUnitAndTheOperator)
{
    const struct {
        const char* what;
        char model; // 0: a legacy QX8 that already holds user 005
        int from, to;
        bool group; // the QX7XXX's group pagers of group 05
        const char* refused;
        std::vector<std::pair<std::int16_t, bool>> answers; // to the file-only question, with "Don't ask me again"
        bool ranToEnd;
        Lines sent; // reads, deletes and adds, by their heads
        std::string inUse; // of from .. to
    } cases[] = {
        {"reserved pagers of a digit-code unit", 'X', 899, 902, false, "", {}, true, {"A899", "A900"}, "YYYY"},
        {"group pagers of the QX7XXX", 'G', 905, 906, true, "", {}, true, {}, "YY"},
        {"an older unit", 0, 5, 6, false, "", {}, true, {"?005", "D005", "A005", "?006", "A006"}, "YY"},
        // Retried three times, then the operator is asked.
        {"No after a refusal", 'A', 1, 5, false, "A003", {{kAnswerNo, false}}, false,
         {"A001", "A002", "A003", "A003", "A003", "A003"}, "YYNNN"},
        {"Yes, don't ask again", 'A', 1, 4, false, "A002", {{kAnswerYes, true}}, true,
         {"A001", "A002", "A002", "A002", "A002"}, "YYYY"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MakeDataFolder();
        std::remove(DataFilePath("Pager.DBS").c_str()); // each case starts without users
        sim::Engine engine;
        if (c.model) {
            engine.SetModel(c.model);
        } else {
            engine.SetLegacyModel(sim::Legacy::QX8);
            engine.PutUser("005"s + std::string(41, ' '));
        }
        if (*c.refused)
            engine.AddFault({sim::FaultKind::Refuse, c.refused, sim::MatchMode::Prefix, 5, {}, 0, 0});
        ScriptedMessages messages;
        for (const auto& [answer, option] : c.answers)
            messages.Answer(answer, option);
        PagerRangeSettings range{.from = c.from, .to = c.to, .startCapcode = 1, .increment = 1, .user = {}};
        range.user.isGroup = c.group;
        range.user.groupText = c.group ? "05" : "";
        std::vector<int> written;
        EXPECT_EQ(run(engine, range, written), c.ranToEnd);
        EXPECT_EQ(heads(engine, "?DA"), c.sent);
        std::string inUse;
        for (int n = c.from; n <= c.to; ++n)
            inUse += StoredUser(n).InUse;
        EXPECT_EQ(inUse, c.inUse);
        ASSERT_EQ(messages.shown().size(), c.answers.size());
        if (!c.answers.empty()) {
            EXPECT_EQ(messages.shown()[0].optionText, "&Don't ask me again");
        }
        if (c.group) {
            EXPECT_EQ(StoredUser(906).GroupFlag + StoredUser(906).Group1, "G\x05"s);
        }
    }
}
