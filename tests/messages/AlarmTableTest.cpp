#include <gtest/gtest.h>

#include "KS_AlarmTable.h"

namespace {
const std::string kFire = "FIRE ZONE 1" + std::string(19, ' ');
}

TEST(AlarmTable, RowShowsRepeatAsMinutesAndKeepsHiddenValues)
{
    AlarmPointRecord r;
    r.Point = "007";
    r.Pager = "12 ";
    r.Message = kFire;
    r.RepeatMinutes = "05";
    r.InputDelay = "030";
    r.Status = "3";
    r.Active = 0;
    const auto row = AlarmRowTexts(r);
    EXPECT_EQ(row[AlarmColPoint], "007");
    EXPECT_EQ(row[AlarmColPager], "012");
    EXPECT_EQ(row[AlarmColRepeatTime], "5  Min.");
    EXPECT_EQ(row[AlarmColRepeatMinutes], "05");
    EXPECT_EQ(row[AlarmColInputDelay], "030");
    EXPECT_EQ(row[AlarmColStatus], "3");
    EXPECT_EQ(row[AlarmColRepeatCount], "");
    EXPECT_EQ(row[AlarmColCancelPager], ""); // never set
    EXPECT_EQ(row[AlarmColActive], "No");
    r.RepeatMinutes = "00";
    EXPECT_EQ(AlarmRowTexts(r)[AlarmColRepeatTime], "None");
}

TEST(AlarmTable, Family8UnitKeepsStatusAsNumbersAndSendsCharacterCodes)
{
    AlarmDialogValues v;
    v.pager = "12";
    v.message = "  FIRE ZONE 1 ";
    v.status = "1";
    v.realTime = "45";
    v.delaySeconds = 30;
    const AlarmSave qx8140 = BuildAlarmSave(v, 2, {"A", "QX8XXX", "QX8140", true, 0, 24});
    EXPECT_EQ(qx8140.record.Status, "1");
    EXPECT_EQ(qx8140.record.RealTime, "045");
    EXPECT_EQ(qx8140.record.InputDelay, "030");
    EXPECT_EQ(qx8140.data, "002012" + kFire + "\x01-N");

    // Nothing is sent to a unit whose table reads back empty.
    EXPECT_EQ(BuildAlarmSave(v, 2, {"R", "Not Defined", "QX9560", true, 0, 24}).data, "");
}
