#include <gtest/gtest.h>

#include "KS_AlarmLayouts.h"

namespace {

const std::string kFire = "FIRE ZONE 1" + std::string(19, ' ');
const std::string kClear = "ALL CLEAR" + std::string(21, ' ');

AlarmPointRecord Blank()
{
    AlarmPointRecord r;
    r.Point = "001";
    return r;
}

struct WireCase {
    const char* name;
    AlarmLayout layout;
    const char* family;
    std::string value;
    AlarmPointRecord parsed;
    std::string written; // the write data for slot 1, offset 0
};

std::vector<WireCase> WireCases()
{
    std::vector<WireCase> cases;
    AlarmPointRecord xy = Blank();
    xy.Message = kFire;
    xy.CancelMessage = "ALL CLEAR" + std::string(14, ' ') + std::string(7, ' ');
    xy.Pager = "012";
    xy.SendCancel = -1;
    xy.RepeatMinutes = "05";
    xy.InputDelay = "030";
    xy.ActivationPlan = "3";
    xy.Status = "0";
    xy.RealTime = "000";
    xy.CancelPager = "000";
    xy.RepeatModuleCode = "0";
    xy.Threshold = "000";
    xy.InputType = "0";
    xy.Relay = "00";
    xy.Pulse = "0";
    xy.Active = -1;
    const std::string xyValue = kFire + "ALL CLEAR" + std::string(14, ' ') + "012Y050303";
    cases.push_back({"XY", AlarmLayoutXY, "Not Defined", xyValue, xy, "001" + xyValue});

    AlarmPointRecord u = Blank();
    u.Active = -1;
    u.Pager = "012";
    u.CancelPager = "013";
    u.Message = kFire;
    u.CancelMessage = kClear;
    u.RepeatMinutes = "05";
    u.InputDelay = "030";
    u.Threshold = "-05";
    u.InputType = "3";
    u.ActivationPlan = "4";
    u.Pulse = "2";
    const std::string uValue = "1012013" + kFire + kClear + "05030-053420";
    cases.push_back({"U", AlarmLayoutU, "Not Defined", uValue, u, "001" + uValue});

    AlarmPointRecord f8 = Blank();
    f8.Pager = "012";
    f8.Message = kFire;
    f8.Status = "5";
    f8.RealTime = "007";
    f8.RepeatMinutes = "99";
    f8.Active = -1;
    const std::string f8Value = "012" + kFire + "\x05\x07Y";
    cases.push_back({"Family8", AlarmLayoutFamily8, "QX8XXX", f8Value, f8, "001" + f8Value});

    AlarmPointRecord f8Nul = f8;
    f8Nul.Status = "0";
    f8Nul.RealTime = "000";
    f8Nul.RepeatMinutes = "00";
    cases.push_back({"Family8 NUL and space", AlarmLayoutFamily8, "QX8XXX", "012" + kFire + std::string("\0 N", 3),
                     f8Nul, "001012" + kFire + std::string("\0\0N", 3)});

    AlarmPointRecord full = Blank();
    full.Pager = "012";
    full.CancelPager = "013";
    full.Message = kFire;
    full.CancelMessage = kClear;
    full.Status = "1";
    full.RealTime = "045";
    full.RepeatMinutes = "02";
    full.RepeatModuleCode = "3";
    full.Threshold = "-05";
    full.InputType = "4";
    full.InputDelay = "2  ";
    full.ActivationPlan = "2";
    full.Relay = "07";
    full.Pulse = "1";
    full.Active = -1;
    const std::string fullValue = "012013" + kFire + kClear + "10452" + "3-05423071";
    cases.push_back({"Full", AlarmLayoutFull, "QX7XXX", fullValue, full, "001" + fullValue});

    AlarmPointRecord f7 = Blank();
    f7.Pager = "012";
    f7.Message = kFire;
    f7.RepeatMinutes = "00";
    f7.Status = std::string(1, '\0');
    f7.RealTime = std::string("\0  ", 3);
    f7.Active = -1;
    cases.push_back({"Family7", AlarmLayoutFamily7, "QX7XXX", "012" + kFire, f7, "001012" + kFire + "   "});
    cases.push_back({"Legacy", AlarmLayoutLegacy, "QX7XXX", "012" + kFire, f7, "1012" + kFire});

    return cases;
}

} // namespace

TEST(AlarmLayouts, EachLayoutParsesAndWritesItsBytes)
{
    for (const WireCase& c : WireCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.value.size(), static_cast<std::size_t>(AlarmReplyLength(c.layout)));
        AlarmPointRecord record = Blank();
        ParseAlarmReply(c.layout, c.value, record, c.family);
        EXPECT_TRUE(record == c.parsed);
        EXPECT_EQ(BuildAlarmWriteString(c.layout, AlarmSlotAddress(c.layout, 1, 0, true), record), c.written);
    }
    // A unit of unknown kind: nothing is taken from its answer, and a write would use the Family8 form.
    AlarmPointRecord record = Blank();
    ParseAlarmReply(AlarmLayoutOther, "012" + kFire + "\x05\x07Y", record, "Not Defined");
    EXPECT_TRUE(record == Blank());
    record.Pager = "12";
    record.Message = kFire;
    EXPECT_EQ(BuildAlarmWriteString(AlarmLayoutOther, "001", record), "001012" + kFire + std::string("\0\0N", 3));
}

TEST(AlarmLayouts, LayoutFollowsLetterFamilyAndIdentification)
{
    struct Case {
        const char* letter;
        const char* family;
        bool identified;
        AlarmLayout layout;
    } cases[] = {
        {"X", "Not Defined", true, AlarmLayoutXY}, {"Y", "Not Defined", true, AlarmLayoutXY},
        {"U", "Not Defined", true, AlarmLayoutU},  {"A", "QX8XXX", true, AlarmLayoutFamily8},
        {"B", "QX8XXX", true, AlarmLayoutFamily8}, {"H", "QX7XXX", true, AlarmLayoutFull},
        {"I", "QX7XXX", true, AlarmLayoutFull},    {"L", "QX7XXX", true, AlarmLayoutFull},
        {"E", "QX7XXX", true, AlarmLayoutFamily7}, {"", "QX7XXX", false, AlarmLayoutLegacy},
        {"R", "Not Defined", true, AlarmLayoutOther}, {"", "QX8XXX", false, AlarmLayoutOther},
    };
    for (const Case& c : cases) {
        AlarmUnit unit{c.letter, c.family, "", c.identified, 0, 24};
        EXPECT_EQ(SelectAlarmLayout(unit), c.layout) << c.letter << " " << c.family;
    }
}

TEST(AlarmLayouts, AddressesCarryTheOffsetOnlyWhereTheUnitHasOne)
{
    EXPECT_EQ(AlarmSlotAddress(AlarmLayoutFull, 1, 24, false), "025");
    EXPECT_EQ(AlarmSlotAddress(AlarmLayoutXY, 96, 0, true), "096");
    EXPECT_EQ(AlarmSlotAddress(AlarmLayoutFamily7, 5, 24, false), "005");
    EXPECT_EQ(AlarmSlotAddress(AlarmLayoutLegacy, 3, 0, false), "3 ");
    EXPECT_EQ(AlarmSlotAddress(AlarmLayoutLegacy, 3, 0, true), "3");
}

TEST(AlarmLayouts, WaitsScaleWithTheTable)
{
    struct Case {
        AlarmLayout layout;
        int slotCount;
        int readTicks;
    } cases[] = {{AlarmLayoutFull, 24, 10}, {AlarmLayoutFull, 96, 40}, {AlarmLayoutFull, 6, 2},
                 {AlarmLayoutFull, 18, 8},  {AlarmLayoutFull, 36, 15}, {AlarmLayoutXY, 96, 40},
                 {AlarmLayoutFamily7, 24, 40}};
    for (const Case& c : cases)
        EXPECT_EQ(AlarmReadTicks(c.layout, c.slotCount), c.readTicks) << c.layout << " " << c.slotCount;
    EXPECT_EQ(AlarmUploadTicks(24), 20);
    EXPECT_EQ(AlarmUploadTicks(95), 20);
    EXPECT_EQ(AlarmUploadTicks(96), 40);
    EXPECT_EQ(AlarmUploadTicks(191), 40);
}

TEST(AlarmLayouts, FullLayoutShiftsThePlanAndPlanNineComesBackAsZero)
{
    struct Case {
        char wire;
        const char* stored;
    } reads[] = {{'0', "0"}, {'1', "0"}, {'3', "2"}, {'9', "8"}};
    std::string value = "012013" + kFire + kClear + "10452" + "3-05423071";
    for (const Case& c : reads) {
        value[77] = c.wire;
        AlarmPointRecord r = Blank();
        ParseAlarmReply(AlarmLayoutFull, value, r, "QX7XXX");
        EXPECT_EQ(r.ActivationPlan, c.stored) << c.wire;
    }
    AlarmPointRecord r = Blank();
    ParseAlarmReply(AlarmLayoutFull, value, r, "QX7XXX");
    for (const Case& c : {Case{'1', "0"}, Case{'0', "9"}, Case{'6', "5"}}) {
        r.ActivationPlan = c.stored;
        EXPECT_EQ(BuildAlarmWriteString(AlarmLayoutFull, "001", r)[3 + 77], c.wire) << c.stored;
    }
}

TEST(AlarmLayouts, ThresholdsAndLongFieldsKeepTheirWidth)
{
    EXPECT_EQ(FormatAlarmThreshold(12), "+12");
    EXPECT_EQ(FormatAlarmThreshold(-5), "-05");
    EXPECT_EQ(FormatAlarmThreshold(0), "+00");

    AlarmPointRecord r = Blank();
    r.CancelMessage = "Cancel text of thirty chars!!!";
    r.RepeatMinutes = "120";
    r.Pager = "x";
    const std::string xy = BuildAlarmWriteString(AlarmLayoutXY, "001", r);
    EXPECT_EQ(xy.substr(33, 23), "Cancel text of thirty c");
    EXPECT_EQ(xy.substr(56, 3), "000");
    EXPECT_EQ(xy.size(), 3u + 63u);
    // A never-read record goes out as spaces and zeros, never as NULs in the digits.
    EXPECT_EQ(BuildAlarmWriteString(AlarmLayoutFull, "001", Blank()),
              "001000000" + std::string(64, ' ') + "00+00001000");
}
