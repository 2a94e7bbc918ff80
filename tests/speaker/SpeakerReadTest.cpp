// The read conversation alone against the simulator's speaker.
#include <gtest/gtest.h>

#include "KS_Globals.h"
#include "SpeakerBench.h"

TEST(SpeakerRead, TheVersionChoosesTheQueries)
{
    struct Case {
        const char* version;
        const char* shown;
        bool rx1, rssi, radio, legacyFrequency; // ?FR1, ?FS1, the 3.10 items, ?F
    };
    for (const Case& c : {Case{"2.99", "2.99", false, false, false, false},
                          {"3.00", "3.00", true, false, false, false},
                          {"3.03", "3.03", true, true, false, false},
                          {"3.10", "3.10", true, true, true, false},
                          {"Ver. 3.20 (2009)", "3.20", false, false, false, true},
                          {"Ver. 2.50 (2009)", "2.50", false, false, false, false}}) {
        SCOPED_TRACE(c.version);
        SpeakerBench bench(c.version, true, false);
        const SpeakerReading r = ReadSpeaker();
        const Lines lines = bench.lines();
        EXPECT_EQ(r.version.text, c.shown);
        EXPECT_EQ(sent(lines, "?FR1"), c.rx1);
        EXPECT_EQ(sent(lines, "?FS1"), c.rssi);
        EXPECT_EQ(sent(lines, "?FX?"), c.radio);
        EXPECT_EQ(sent(lines, "?F"), c.legacyFrequency);
        EXPECT_EQ(sent(lines, "?B"), !c.rx1);
        EXPECT_EQ(r.rx1Hidden, !c.rx1 && !c.legacyFrequency);
    }
}

TEST(SpeakerRead, EachCommandSetAsksInTheUnitsOrder)
{
    SpeakerBench current("3.14", true, false);
    ReadSpeaker();
    EXPECT_EQ(current.lines(),
              (Lines{"?V", "?D", "?T", "?S", "?FR1", "?C9", "?FS1", "?FBR", "?Q", "?SM", "?SS", "?M", "?OV", "?C1",
                     "?C2", "?C3", "?C4", "?C5", "?C6", "?C7", "?C8", "?FX?", "?AN?", "?CM", "?O", "?FP", "?FD?",
                     "?FI?", "?FT1", "?FR2", "?FT2", "?FBT?", "?FS2"}));

    // An old unit without a supervision capcode is asked twice for it, and has six slots.
    SpeakerBench legacy("2.90", false, false);
    const SpeakerReading r = ReadSpeaker();
    EXPECT_EQ(legacy.lines(), (Lines{"?V", "?D", "?T", "?S", "?C9", "?C9", "?B", "?Q", "?SM", "?SS", "?M", "?OV",
                                     "?C1", "?C2", "?C3", "?C4", "?C5", "?C6"}));
    EXPECT_TRUE(legacy.messages.shown().empty());
    EXPECT_EQ(r.supervisionCapcode, "");
}

TEST(SpeakerRead, AnEmptyCapcodeAsksWhetherToGoOn)
{
    struct Case {
        std::vector<const char*> empty; // the settings the unit answers with nothing usable
        std::vector<std::pair<std::int16_t, bool>> answers; // answer, "Don't ask me again"
        const char* notAsked;
        const char* asked;
    };
    const Case cases[] = {
        {{"C2"}, {{kAnswerNo, false}}, "?C3", "?C2"},
        {{"C2", "C4"}, {{kAnswerYes, true}}, "", "?C8"},
        {{"C2", "C4"}, {{kAnswerYes, false}, {kAnswerYes, false}}, "", "?C8"},
        {{"V1"}, {{kAnswerNo, false}}, "?C1", "?OV"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        SpeakerBench bench("3.14", true, false);
        for (const char* name : c.empty)
            bench.speaker->SetValue(name, "");
        for (const auto& [answer, option] : c.answers)
            bench.messages.Answer(answer, option);
        const SpeakerReading r = ReadSpeaker();
        const Lines lines = bench.lines();
        EXPECT_EQ(bench.messages.shown().size(), c.answers.size());
        EXPECT_FALSE(sent(lines, c.notAsked));
        EXPECT_TRUE(sent(lines, c.asked));
        EXPECT_TRUE(sent(lines, "?FX?")); // a No stops only the capcodes
        EXPECT_EQ(r.capcodes[0], c.empty[0][0] == 'V' ? "" : "0000000");
    }
}

TEST(SpeakerRead, ASpeakerPausingFourSecondsAtItsFirstTransmitterNeverShowsThatAnswerAsTheSecondReceivers)
{
    SpeakerBench bench("3.14", true, false);
    const SpeakerReading prompt = ReadSpeaker();
    ASSERT_TRUE(prompt.tx1Frequency && prompt.rx2Frequency);
    bench.speaker->SetValue("FR2", "469.5000");
    bench.engine.AddFault({.kind = sim::FaultKind::Delay, .pattern = "?FT1", .match = sim::MatchMode::Exact, .ticks = 80});
    const SpeakerReading r = ReadSpeaker();
    EXPECT_NE(r.rx2Frequency, prompt.tx1Frequency);
    EXPECT_EQ(r.rx2Frequency.value_or("469.5000"), "469.5000");
}
