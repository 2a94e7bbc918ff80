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

TEST(AlarmTable, ModelsOfferTheirOwnControls)
{
    struct Case {
        const char* model;
        const char* letter;
        bool inputOptions, moduleOptions, active, sendCancel;
        int limit;
    } cases[] = {
        {"QX6870", "U", true, false, true, false, 12},  {"QX6860", "I", true, true, false, false, 25},
        {"QX6560", "H", true, true, false, false, 25},  {"QX9860", "X", false, false, false, true, 12},
        {"QX9560", "R", false, false, false, true, 12}, {"QX8140", "A", false, false, false, false, 12},
    };
    for (const Case& c : cases) {
        const AlarmDialogRules rules = AlarmDialogRulesFor(c.model, c.letter, false);
        EXPECT_EQ(rules.inputOptions, c.inputOptions) << c.model;
        EXPECT_EQ(rules.moduleOptions, c.moduleOptions) << c.model;
        EXPECT_EQ(rules.activeBox, c.active) << c.model;
        EXPECT_EQ(rules.sendCancelBox, c.sendCancel) << c.model;
        EXPECT_EQ(rules.thresholdLimit, c.limit) << c.model;
    }
    // Double Mode, High (position 7) needs the option or letter U; so does the pulse.
    const AlarmDialogRules plain = AlarmDialogRulesFor("QX6860", "I", false);
    const AlarmDialogRules option = AlarmDialogRulesFor("QX6860", "I", true);
    EXPECT_FALSE(AlarmInputTypeAllowed(plain, 7));
    EXPECT_TRUE(AlarmInputTypeAllowed(plain, 3));
    EXPECT_TRUE(AlarmInputTypeAllowed(option, 7));
    EXPECT_TRUE(AlarmPulseEnabled(option, 7));
    EXPECT_FALSE(AlarmPulseEnabled(option, 3));
    EXPECT_TRUE(AlarmPulseEnabled(AlarmDialogRulesFor("QX6870", "U", false), 0));
}

TEST(AlarmTable, SaveWritesTheOffsetAddressAndKeepsTheTableSlot)
{
    AlarmDialogValues v;
    v.pager = "12";
    v.message = "  FIRE ZONE 1 ";
    v.cancelPager = "13";
    v.cancelMessage = "ALL CLEAR";
    v.status = "1";
    v.realTime = "45";
    v.plan = 9;
    v.inputType = 3;
    v.threshold = -5;
    v.repeatCount = 2;
    v.repeatModule = 2;
    v.delayModule = 3;
    v.relay = 7;
    v.delaySeconds = 30;
    const AlarmSave qx6860 = BuildAlarmSave(v, 1, {"I", "QX7XXX", "QX6860", true, 24, 96});
    EXPECT_EQ(qx6860.record.Point, "001");
    EXPECT_EQ(qx6860.record.Threshold, "-05");
    EXPECT_EQ(qx6860.record.InputDelay, "003");
    EXPECT_EQ(qx6860.data, "025012013" + kFire + "ALL CLEAR" + std::string(21, ' ') + "1045" + "23-054" + "30071");

    // A Family8 unit keeps status and real time as numbers, and sends them as character codes.
    const AlarmSave qx8140 = BuildAlarmSave(v, 2, {"A", "QX8XXX", "QX8140", true, 0, 24});
    EXPECT_EQ(qx8140.record.Status, "1");
    EXPECT_EQ(qx8140.record.RealTime, "045");
    EXPECT_EQ(qx8140.record.InputDelay, "030");
    EXPECT_EQ(qx8140.data, "002012" + kFire + "\x01-N");

    // Nothing is sent to a unit whose table reads back empty.
    EXPECT_EQ(BuildAlarmSave(v, 2, {"R", "Not Defined", "QX9560", true, 0, 24}).data, "");
}
