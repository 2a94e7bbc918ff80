#include <gtest/gtest.h>

#include "KS_AlarmLayouts.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"

namespace {

const std::string kText = "DOOR 4 OPEN" + std::string(19, ' ');

// A detected unit on the simulator's line.
struct DetectedUnit {
    explicit DetectedUnit(const sim::Profile& profile)
    {
        engine.SetProfile(profile);
        link = std::make_unique<LinkHarness>(std::make_unique<SimBackend>(engine));
        DetectEncoder();
        engine.ClearTranscript();
    }
    std::vector<std::pair<std::int64_t, std::string>> hostLines() const
    {
        std::vector<std::pair<std::int64_t, std::string>> lines;
        for (const auto& entry : engine.Transcript())
            if (entry.fromHost)
                lines.emplace_back(entry.tick, entry.bytes);
        return lines;
    }
    sim::Engine engine;
    std::unique_ptr<LinkHarness> link;
};

} // namespace

TEST(AlarmSlotRead, OffsetUnitIsAddressedAtSlotPlusOffset)
{
    sim::Profile profile = sim::ProfileFor('I');
    profile.value3 = "025";
    DetectedUnit unit(profile);
    const AlarmUnit alarm = CurrentAlarmUnit();
    ASSERT_EQ(alarm.indexOffset, 24);
    ASSERT_EQ(SelectAlarmLayout(alarm), AlarmLayoutFull);
    unit.engine.PutAlarmPoint(25, "012013" + kText + kText + "104523-05423071");

    AlarmPointRecord record;
    record.Point = "001";
    EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutFull, alarm, 1, record), SlotRead::Filled);
    EXPECT_EQ(record.Relay, "07");
    EXPECT_EQ(record.Point, "001");
    ASSERT_EQ(unit.hostLines().size(), 1u);
    EXPECT_EQ(unit.hostLines()[0].second, "Z025?\r");
}

TEST(AlarmSlotRead, FullLayoutWaitsItsShareOfFortyTicksAndAsksOnceMore)
{
    DetectedUnit unit(sim::ProfileFor('L')); // 24 slots
    const AlarmUnit alarm = CurrentAlarmUnit();
    // Three silent attempts, then the repeated read is answered.
    unit.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "Z003?", .bytes = {}, .times = 3});
    AlarmPointRecord record;
    EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutFull, alarm, 3, record), SlotRead::Filled);
    EXPECT_EQ(record.Pager, "000");

    const auto lines = unit.hostLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].second, "Z003?\r");
    EXPECT_EQ(lines[1].second, "\r");
    // Ten ticks of waiting: the poke goes on the first tick past them.
    EXPECT_EQ(lines[1].first - lines[0].first, 11);
    int queries = 0;
    for (const auto& line : lines)
        queries += line.second == "Z003?\r";
    EXPECT_EQ(queries, 4);

    // A slot that stays silent fails after both reads.
    unit.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "Z004?", .bytes = {}, .times = 0});
    unit.engine.ClearTranscript();
    EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutFull, alarm, 4, record), SlotRead::Failed);
    queries = 0;
    for (const auto& line : unit.hostLines())
        queries += line.second == "Z004?\r";
    EXPECT_EQ(queries, 6);
}

TEST(AlarmSlotRead, OnlyTheOldestUnitsMayAnswerAnEmptySlotBare)
{
    AlarmPointRecord record;
    {
        DetectedUnit legacy(sim::LegacyProfile(sim::Legacy::QX7));
        const AlarmUnit old = CurrentAlarmUnit();
        ASSERT_EQ(SelectAlarmLayout(old), AlarmLayoutLegacy);
        EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutLegacy, old, 3, record), SlotRead::Empty);
        EXPECT_TRUE(record == AlarmPointRecord{});
        EXPECT_EQ(legacy.hostLines().at(0).second, "Z3 ?\r");
    }

    // The same bare answer from an identified unit is a failed slot.
    DetectedUnit identified(sim::ProfileFor('E'));
    identified.engine.AddCommand(R"(Z003\?)", [](sim::Engine&, const std::smatch&, std::int64_t) {
        return sim::Engine::Reply("*\r");
    });
    EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutFamily7, CurrentAlarmUnit(), 3, record), SlotRead::Failed);
}
