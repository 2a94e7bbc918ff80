#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_PagingSchedule.h"
#include "TestSupport.h"

namespace {

struct PagingSchedule : testing::Test {
    void SetUp() override
    {
        MakeDataFolder();
        ASSERT_TRUE(LoadScheduleDatabase());
    }
    static ScheduleEntry entry(const std::string& no)
    {
        return {.No = no, .Time = "07:05 PM", .Pager = "042", .AlertType = 10,
                .Message = "Lock the doors                ", .Active = -1, .Fired = -1};
    }
    std::string file() const { return ReadBytes(DataFilePath("Schedule.DBS")); }
};

const std::string kSavedEntry100 = Image(49).Put(0, "100").Put(3, "07:05 PM").Put(11, "042").PutByte(14, 10)
                                       .Put(15, "Lock the doors                ").PutInt16(45, -1);

} // namespace

TEST_F(PagingSchedule, CopyFromWritesTheSourceDayOntoTheTargetUnfired)
{
    ASSERT_EQ(StoreScheduleEntry(ScheduleIndex(1, 100), entry("100")), FileError::None);
    EXPECT_EQ(gSchedule[99].Fired, 0); // a saved entry fires again at its time
    gSchedule[99].Fired = -1;
    gSchedule[ScheduleIndex(3, 1)].Fired = -1;
    const std::string before = file();
    ASSERT_TRUE(CopyDaySchedule(1, 3));
    const std::string after = file();
    ASSERT_EQ(after.size(), 34300u);
    for (int r = 1; r <= 700; ++r) {
        std::string expected = Record(before, 49, r);
        if (r > 200 && r <= 300) {
            const std::string no = r == 300 ? "100" : (r < 210 ? "00" : "0") + std::to_string(r - 200);
            expected = r == 300 ? kSavedEntry100
                                : Image(49).Put(0, no).Put(3, "12:00 AM").Put(11, "000").PutByte(14, 1)
                                      .Fill(15, 30, ' ').str();
        }
        ASSERT_EQ(Record(after, 49, r), expected) << "record " << r;
    }
    EXPECT_EQ(gSchedule[299].Pager, "042");
    EXPECT_EQ(gSchedule[299].Fired, 0);
    EXPECT_EQ(gSchedule[200].Fired, 0);
    EXPECT_EQ(gSchedule[99].Fired, -1); // the source keeps its mark
}

TEST_F(PagingSchedule, AFailedCopyIsReportedAndChangesNothing)
{
    ScriptedMessages messages;
    messages.Answer(kAnswerOk);
    gSchedule[0].Pager = "042";
    gDataFolder += "/gone";
    EXPECT_FALSE(CopyDaySchedule(1, 2));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Error updating record."});
    EXPECT_EQ(gSchedule[100].Pager, "000");
}
