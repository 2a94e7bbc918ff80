// The alarm table on the engine against the simulated encoder.
#include <algorithm>

#include "KS_AlarmTable.h"
#include "TableFixture.h"

namespace {

std::string alarmFile(int records)
{
    std::string bytes;
    for (int i = 1; i <= records; ++i) {
        AlarmPointRecord r;
        r.Point = ZeroPad(i, 3);
        r.Pager = "012";
        r.Message = padded("Boiler room");
        bytes += EncodeRecord(r);
    }
    return bytes;
}

} // namespace

TEST(AlarmEngine, OffsetUnitDownloadsItsPointsIntoTableSlots)
{
    TableRig rig;
    sim::Profile profile = sim::ProfileFor('I');
    profile.value3 = "025";
    rig.engine.SetProfile(profile);
    DetectEncoder();
    rig.engine.PutAlarmPoint(25, "012013" + padded("Boiler room") + padded("Boiler ok") + "104523-05423071");
    rig.hostLines();

    const auto records = MakeAlarmTableEngine().Load();
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 96u);
    const Lines lines = rig.hostLines();
    EXPECT_EQ(*std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l[0] == 'Z'; }), "Z025?");
    const std::string file = readFile("PPM_Alarm.DBS");
    EXPECT_EQ(file.size(), 96u * 150u);
    const AlarmPointRecord first = DecodeRecord<AlarmPointRecord>(file);
    EXPECT_EQ(first.Point + first.Pager + first.RepeatMinutes + first.ActivationPlan + first.Relay, "00101202207");
    EXPECT_TRUE(rig.messages.shown().empty());
}

TEST(AlarmEngine, UploadSendsWhatTheFileHoldsAndWarnsOnlyBeyondTheTable)
{
    struct Case {
        int records;
        std::size_t lines;
        Lines texts;
    } cases[] = {{10, 10, {}}, {30, 24, {"Only 24 messages were uploaded to the QX9860. "}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.records);
        TableRig rig; // model X, 24 points
        writeFile("PPM_Alarm.DBS", alarmFile(c.records));
        rig.messages.AnswerAlways(kAnswerOk);
        EXPECT_TRUE(MakeAlarmTableEngine().Upload());
        const Lines sent = writesOnly(rig.hostLines());
        ASSERT_EQ(sent.size(), c.lines);
        EXPECT_EQ(sent[0], "Z001" + padded("Boiler room") + std::string(23, ' ') + "012N000000W");
        EXPECT_EQ(rig.messages.texts(), c.texts);
    }
}

// A QX8XXX unit takes status and real time as the character of that code: a
// stored line feed or carriage return would cut the write in two, so nothing goes out.
TEST(AlarmEngine, UploadToAQX8XXXStopsAtAValueThatWouldEndTheLine)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"\n", "000", "Status 10"}, {"1", "013", "Real time 13"}};
    for (const auto& [status, realTime, named] : cases) {
        SCOPED_TRACE(named);
        TableRig rig;
        rig.engine.SetModel('A');
        DetectEncoder();
        std::string file = alarmFile(3);
        AlarmPointRecord point = DecodeRecord<AlarmPointRecord>(file.substr(150, 150));
        point.Status = status;
        point.RealTime = realTime;
        writeFile("PPM_Alarm.DBS", file.replace(150, 150, EncodeRecord(point)));
        rig.hostLines();
        rig.messages.AnswerAlways(kAnswerOk);
        EXPECT_FALSE(MakeAlarmTableEngine().Upload());
        EXPECT_EQ(writesOnly(rig.hostLines()), Lines{});
        EXPECT_EQ(rig.messages.texts(), Lines{std::string(named) + " of alarm point 002 cannot be sent to the QX8140, "
                                              "which would take it as the end of the line. Nothing was sent to the "
                                              "QX8140."});
    }
}

TEST(AlarmEngine, FullLayoutWaitsItsShareOfFortyTicksAndAsksOnceMore)
{
    TableRig rig;
    rig.engine.SetModel('L'); // 24 slots
    DetectEncoder();
    // Three silent attempts, then the repeated read is answered; a slot that stays silent fails after both.
    rig.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "Z003?", .bytes = {}, .times = 3});
    rig.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "Z004?", .bytes = {}, .times = 0});
    rig.engine.ClearTranscript();
    AlarmPointRecord record;
    EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutFull, CurrentAlarmUnit(), 3, record), SlotRead::Filled);
    EXPECT_EQ(record.Pager, "000");
    const auto& first = rig.engine.Transcript();
    ASSERT_GE(first.size(), 2u);
    EXPECT_EQ(first[0].bytes + first[1].bytes, "Z003?\r\r");
    // Ten ticks of waiting: the poke goes on the first tick past them.
    EXPECT_EQ(first[1].tick - first[0].tick, 11);
    Lines lines = rig.hostLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Z003?"), 4);
    EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutFull, CurrentAlarmUnit(), 4, record), SlotRead::Failed);
    lines = rig.hostLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Z004?"), 6);
}

TEST(AlarmEngine, OnlyTheOldestUnitsMayAnswerAnEmptySlotBare)
{
    TableRig rig;
    rig.engine.SetLegacyModel(sim::Legacy::QX7);
    DetectEncoder();
    rig.hostLines();
    AlarmPointRecord record;
    EXPECT_EQ(ReadAlarmSlotForDownload(SelectAlarmLayout(CurrentAlarmUnit()), CurrentAlarmUnit(), 3, record),
              SlotRead::Empty);
    EXPECT_TRUE(record == AlarmPointRecord{});
    EXPECT_EQ(rig.hostLines(), Lines{"Z3 ?"});
    // The same bare answer from an identified unit is a failed slot.
    rig.engine.SetModel('E');
    DetectEncoder();
    rig.engine.AddCommand(R"(Z003\?)", [](sim::Engine&, const std::smatch&, std::int64_t) {
        return sim::Engine::Reply("*\r");
    });
    EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutFamily7, CurrentAlarmUnit(), 3, record), SlotRead::Failed);
}
