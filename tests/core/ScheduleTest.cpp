#include <algorithm>
#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "FailingReads.h"
#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_String.h"
#include "TestSupport.h"

namespace {

class ScheduleFile : public testing::Test {
protected:
    void SetUp() override { MakeDataFolder(); }
    std::string path() const { return DataFilePath("Schedule.DBS"); }
};

std::string scheduleRecord(const std::string& no, const std::string& pager, int active = 0, int fired = 0)
{
    return Image(49).Put(0, no).Put(3, "07:15 AM").Put(11, pager).PutByte(14, 3).Fill(15, 30, 'm')
        .PutInt16(45, active).PutInt16(47, fired);
}

std::string defaultRecord(int row)
{
    return Image(49).Put(0, ZeroPad(row, 3)).Put(3, "12:00 AM").Put(11, "000").PutByte(14, 1).Fill(15, 30, ' ');
}

} // namespace

TEST_F(ScheduleFile, TheFirstLoadCreatesTheDefaultWeek)
{
    ASSERT_TRUE(LoadScheduleDatabase());
    const std::string file = ReadBytes(path());
    ASSERT_EQ(file.size(), 34300u);
    EXPECT_EQ(Record(file, 49, 100), defaultRecord(100));
    EXPECT_EQ(Record(file, 49, 101), defaultRecord(1)); // each day starts again at 001
    ASSERT_EQ(gSchedule.size(), 700u);
}

TEST_F(ScheduleFile, AReloadTakesTheFileButKeepsTheFiredMarks)
{
    WriteBytes(path(), Repeat(scheduleRecord("001", "111", -1), 700));
    ASSERT_TRUE(LoadScheduleDatabase());
    EXPECT_EQ(gSchedule[3].Pager, "111");
    EXPECT_EQ(gSchedule[3].Fired, 0);

    gSchedule[3].Fired = -1;
    gSchedule[3].Pager = "999";
    WriteBytes(path(), Repeat(scheduleRecord("001", "222", -1, 0), 700));
    ASSERT_TRUE(LoadScheduleDatabase());
    EXPECT_EQ(gSchedule[3].Pager, "222");
    EXPECT_EQ(gSchedule[3].Fired, -1);
    EXPECT_EQ(gSchedule[4].Fired, 0);
}

TEST_F(ScheduleFile, AShortFileFillsOnlyTheEntriesItHolds)
{
    WriteBytes(path(), Repeat(scheduleRecord("001", "777"), 150));
    ASSERT_TRUE(LoadScheduleDatabase());
    EXPECT_EQ(gSchedule[149].Pager, "777");
    // The entries past its end are the default ones, numbered, so no row of the window is blank.
    EXPECT_EQ(gSchedule[150].No, "051");
    EXPECT_EQ(gSchedule[150].Pager, "000");

    gSchedule[200].Pager = "555";
    ASSERT_TRUE(LoadScheduleDatabase());
    EXPECT_EQ(gSchedule[200].Pager, "000");
    // The short file is not filled up behind the operator's back.
    EXPECT_EQ(ReadBytes(path()).size(), 150u * 49);
}

TEST_F(ScheduleFile, AReadThatBreaksOffKeepsWhatItReadAndTheRestAsItWas)
{
    WriteBytes(path(), Repeat(scheduleRecord("001", "111", -1), 700));
    ASSERT_TRUE(LoadScheduleDatabase());
    gSchedule[200].Fired = -1;

    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    WriteBytes(path(), Repeat(scheduleRecord("001", "222", -1), 700));
    bool loaded = true;
    {
        const FailingReads failing(150 * 49);
        loaded = LoadScheduleDatabase();
    }
    EXPECT_FALSE(loaded);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Error reading user record."});
    EXPECT_EQ(gSchedule[149].Pager, "222");
    EXPECT_EQ(gSchedule[150].Pager, "111");
    EXPECT_EQ(gSchedule[699].Active, -1);
    EXPECT_EQ(gSchedule[200].Fired, -1);
}

TEST_F(ScheduleFile, AnUnreachableFolderIsReported)
{
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    const std::string folder = gDataFolder;
    gDataFolder += "/gone";
    EXPECT_FALSE(LoadScheduleDatabase());
    ASSERT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(boxes.texts()[0], "Please confirm that the folder " + PathInText(gDataFolder) +
                                    " exists and that you have the appropriate access permissions.");
    EXPECT_EQ(boxes.shown()[0].icon, kIconCritical);

    // The default week cannot be written: reported, and no half-written file.
    gDataFolder = folder;
    MakeDirectory(DataFilePath("Schedule.TMP"));
    EXPECT_FALSE(LoadScheduleDatabase());
    EXPECT_EQ(boxes.texts().size(), 2u);
    EXPECT_FALSE(PathExists(path()));
}
