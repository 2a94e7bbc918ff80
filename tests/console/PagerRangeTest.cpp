// Programming a range of users, straight against the simulated encoder.
#include <gtest/gtest.h>

#include "KS_Database.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_PagerRange.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"
#include "TestSupport.h"

using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

PagerRecord stored(int number)
{
    PagerRecord record;
    EXPECT_EQ(ReadRecordAt(DataFilePath("Pager.DBS"), number, record), FileError::None);
    return record;
}

sim::Fault refuse(const char* prefix) { return {sim::FaultKind::Refuse, prefix, sim::MatchMode::Prefix, 5, {}, 0, 0}; }

struct PagerRange : testing::Test {
    PagerRange()
    {
        MakeDataFolder();
        range.user.userName = "Ward";
        range.user.pagerTypeText = "AlphaNumeric";
        range.user.formatText = "POCSAG";
        range.user.baudText = "512";
        range.user.modeText = "0";
    }
    bool run(char model, int from, int to, long long start = 1, int step = 1)
    {
        engine.SetModel(model);
        return run(from, to, start, step);
    }
    bool run(int from, int to, long long start = 1, int step = 1)
    {
        LinkHarness link(std::make_unique<SimBackend>(engine));
        range.from = from;
        range.to = to;
        range.startCapcode = start;
        range.increment = step;
        return ProgramUserRange(range, [this](RangeStep s, int done) {
            if (s == RangeStep::Programming)
                written.push_back(done);
        });
    }
    // The head of each add (or, with a wider set, each read, delete and add).
    Lines heads(const std::string& kinds = "A", std::size_t width = 4)
    {
        Lines result;
        for (const auto& entry : engine.Transcript())
            if (entry.fromHost && entry.bytes.size() > 4 && entry.bytes != "?000M\r"
                && kinds.find(entry.bytes[0]) != std::string::npos)
                result.push_back(entry.bytes.substr(0, width));
        return result;
    }
    sim::Engine engine;
    ScriptedMessages messages;
    PagerRangeSettings range;
    std::vector<int> written;
};

} // namespace

TEST_F(PagerRange, CapcodesRiseByTheStepAndEveryUserGetsTheGroups)
{
    range.user.groupTexts[0] = "03";
    ASSERT_TRUE(run('X', 1, 20, 1000, 5));
    const Lines adds = heads("A", 11);
    ASSERT_EQ(adds.size(), 20u);
    EXPECT_EQ(adds[0], "A0010001000");
    EXPECT_EQ(adds[19], "A0200001095");
    EXPECT_EQ(stored(20).Capcode, "0001095");
    EXPECT_EQ(Trim(stored(20).UserName), "Ward");
    EXPECT_EQ(stored(20).Group1, "#"); // group 3 + 32
    EXPECT_EQ(stored(21).InUse, "N");
    EXPECT_EQ(written.front(), 0);
    EXPECT_EQ(written.back(), 20);
}

TEST_F(PagerRange, TheReservedPagersOfADigitCodeUnitGoToTheFileOnly)
{
    ASSERT_TRUE(run('X', 899, 902));
    EXPECT_EQ(heads(), (Lines{"A899", "A900"}));
    EXPECT_EQ(stored(902).InUse, "Y");
}

TEST_F(PagerRange, NoAfterARefusalKeepsWhatWasDoneAndStops)
{
    engine.AddFault(refuse("A003"));
    messages.Answer(kAnswerNo);
    EXPECT_FALSE(run('A', 1, 5));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].optionText, "&Don't ask me again");
    EXPECT_EQ(stored(2).InUse + stored(3).InUse + stored(4).InUse, "YNN");
    EXPECT_EQ(written.back(), 2);
}

TEST_F(PagerRange, DontAskAgainWritesTheRestToTheFileWithoutTheEncoder)
{
    engine.AddFault(refuse("A002"));
    messages.Answer(kAnswerYes, true);
    EXPECT_TRUE(run('A', 1, 4));
    const Lines sent = heads();
    EXPECT_EQ(sent.front(), "A001");
    EXPECT_EQ(sent.back(), "A002"); // retried, then nothing more is sent
    EXPECT_EQ(stored(4).InUse, "Y");
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(PagerRange, AnOlderUnitIsAskedForEachUserAndHasAnOldOneDeletedFirst)
{
    engine.SetLegacyModel(sim::Legacy::QX8);
    engine.PutUser("005"s + std::string(41, ' '));
    EXPECT_TRUE(run(5, 6));
    EXPECT_EQ(heads("?DA"), (Lines{"?005", "D005", "A005", "?006", "A006"}));
}

TEST_F(PagerRange, GroupPagersOfTheQX7StayOnTheComputerWithTheirGroup)
{
    range.user.isGroup = true;
    range.user.groupText = "05";
    EXPECT_TRUE(run('G', 905, 906));
    EXPECT_TRUE(heads().empty());
    EXPECT_EQ(stored(906).GroupFlag + stored(906).Group1, "G\x05"s);
}
