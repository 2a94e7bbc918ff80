#include <gtest/gtest.h>

#include "KS_MessageLayouts.h"

namespace {

const std::string kFire = "FIRE                          ";     // 30
const std::string kEvac = "Evacuate west wing            ";     // 30
const std::string kNul30(30, '\0');

} // namespace

TEST(MessageLayouts, VersionsCompareDigitByDigit)
{
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"3.09", "3.1", -1}, {"3.1", "3.1", 0},    {"3.10", "3.1", 0},   {"3.159", "3.16", -1},
        {"3.16", "3.16", 0}, {"1.019", "1.02", -1}, {"1.02", "1.019", 1}, {"10.0", "9.99", 1},
        {" 3.2*", "3.2", 0}, {"", "0", 0},          {"03.2", "3.2", 0},   {"3", "3.0001", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareVersions(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(MessageLayouts, LayoutFollowsLetterAndVersionAtEachBoundary)
{
    struct Case {
        const char* letter;
        const char* version;
        FreetextLayout freetext;
        bool readable;
        WirelessLayout wireless;
    };
    using F = FreetextLayout;
    using W = WirelessLayout;
    const Case cases[] = {
        {"Y", "0", F::KeywordFirst, true, W::B},     {"X", "3.09", F::KeywordFirst, false, W::B},
        {"X", "3.1", F::Extended, true, W::B},       {"X", "3.159", F::Extended, true, W::B},
        {"X", "3.16", F::Extended, true, W::C},      {"X", "3.19", F::Extended, true, W::C},
        {"X", "3.2", F::Extended, true, W::D},       {"R", "1.019", F::Extended, true, W::B},
        {"R", "1.02", F::Extended, true, W::C},      {"R", "1.049", F::Extended, true, W::C},
        {"R", "1.05", F::Extended, true, W::D},      {"A", "0", F::PagerFirst, true, W::A},
        {"B", "5.0", F::PagerFirst, true, W::A},     {"N/A", "0", F::PagerFirst, true, W::A},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseFreetextLayout(c.letter, c.version), c.freetext) << c.letter << c.version;
        EXPECT_EQ(FreetextTableReadable(c.letter, c.version), c.readable) << c.letter << c.version;
        EXPECT_EQ(ChooseWirelessLayout(c.letter, c.version), c.wireless) << c.letter << c.version;
    }
}

TEST(MessageLayouts, FreetextValuesFillTheEntryAndWritesCarryTheLayoutsFields)
{
    struct Case {
        FreetextLayout layout;
        std::string value;
        std::string pager, keyword, message;
        std::int16_t replace;
        std::string written;
    };
    const Case cases[] = {
        {FreetextLayout::KeywordFirst, kFire + "012" + "x", "012", kFire, std::string(30, ' '), 0,
         kFire + "012" + "1"},
        {FreetextLayout::Extended, kFire + "000" + kEvac + "Y" + "x", "000", kFire, kEvac, -1,
         kFire + "000" + kEvac + "Y" + "0"},
        {FreetextLayout::Extended, kFire + "005" + kEvac + "N" + "1", "005", kFire, kEvac, 0,
         kFire + "005" + kEvac + "N" + "1"},
        {FreetextLayout::PagerFirst, "012" + kFire, "012", kFire, std::string(30, ' '), 0, "012" + kFire},
    };
    for (const Case& c : cases) {
        FreetextEntry entry;
        entry.No = "07 ";
        ASSERT_TRUE(ParseFreetextValue(c.layout, c.value, entry)) << c.value;
        EXPECT_EQ(entry.No, "07 ");
        EXPECT_EQ(entry.Pager, c.pager);
        EXPECT_EQ(entry.Keyword, c.keyword);
        EXPECT_EQ(entry.Message, c.message);
        EXPECT_EQ(entry.ReplaceKeyword, c.replace);
        EXPECT_EQ(FreetextWriteData(c.layout, entry), c.written);
    }
}

TEST(MessageLayouts, FreetextValueOfAnotherLengthLeavesTheEntry)
{
    FreetextEntry entry;
    EXPECT_FALSE(ParseFreetextValue(FreetextLayout::KeywordFirst, "012" + kFire, entry));
    EXPECT_FALSE(ParseFreetextValue(FreetextLayout::Extended, kFire + "012x", entry));
    EXPECT_FALSE(ParseFreetextValue(FreetextLayout::PagerFirst, "", entry));
    EXPECT_EQ(entry.Keyword, kNul30);
}

TEST(MessageLayouts, FreetextUploadTrimsTheMessageAndSendsAnyNonZeroFlagAsSet)
{
    FreetextEntry entry{.No = "03 ", .Pager = "007", .Keyword = kFire, .Message = "   leading                    ",
                        .ReplaceKeyword = 1};
    EXPECT_EQ(FreetextWriteData(FreetextLayout::Extended, entry),
              kFire + "007" + "leading                       " + "Y1");
}

TEST(MessageLayouts, FreetextDialogEntryIsTrimmedAndPadded)
{
    const FreetextEntry entry = MakeFreetextEntry(5, "12", "  FIRE ", "", true);
    EXPECT_EQ(entry.No, "05 ");
    EXPECT_EQ(entry.Pager, "012");
    EXPECT_EQ(entry.Keyword, kFire);
    EXPECT_EQ(entry.Message, std::string(30, ' '));
    EXPECT_EQ(entry.ReplaceKeyword, -1);
    EXPECT_EQ(EncodeRecord(entry).substr(68), std::string(2, '\0'));
}

TEST(MessageLayouts, WirelessValuesFillTheRecordAsEachLayoutSays)
{
    struct Case {
        WirelessLayout layout;
        std::string value;
        // Pager, Message, Repeat, DeviceCode, Cancel, Supervised, Plan, DeviceCodeLong, CallType
        std::string fields[9];
    };
    const std::string nul3(3, '\0');
    const std::string nul7(7, '\0');
    const Case cases[] = {
        {WirelessLayout::A, "005" + kEvac + "15" + "123" + "Y",
         {"005", kEvac, "15", "123", "000", "Y", "0", nul7, "4"}},
        {WirelessLayout::B, kEvac + "005" + "123" + "456" + "15" + "7" + "N" + "1",
         {"005", kEvac, "15", "123", "456", "N", "7", nul7, "0"}},
        {WirelessLayout::C, kEvac + "005" + "1234567" + "15" + "3" + "Y" + "N" + "1",
         {"005", kEvac, "15", nul3, nul3, "Y", "3", "1234567", "4"}},
        {WirelessLayout::C, kEvac + "005" + "1234567" + "15" + "3" + "Y" + "C" + "1",
         {"005", kEvac, "15", nul3, nul3, "Y", "3", "1234567", "2"}},
        {WirelessLayout::C, kEvac + "005" + "1234567" + "15" + "3" + "Y" + "T" + "1",
         {"005", kEvac, "15", nul3, nul3, "Y", "3", "1234567", "0"}},
        {WirelessLayout::D, kEvac + "000" + "0000123" + "00" + "0" + "N" + "T" + "0",
         {"000", kEvac, "00", nul3, nul3, "N", "0", "0000123", "3"}},
        {WirelessLayout::D, kEvac + "000" + "0000123" + "00" + "0" + "N" + "4" + "0",
         {"000", kEvac, "00", nul3, nul3, "N", "0", "0000123", "7"}},
        {WirelessLayout::D, kEvac + "000" + "0000123" + "00" + "0" + "N" + "N" + "0",
         {"000", kEvac, "00", nul3, nul3, "N", "0", "0000123", "0"}},
    };
    for (const Case& c : cases) {
        WirelessMessageRecord r;
        r.Slot = "012";
        ASSERT_TRUE(ParseWirelessValue(c.layout, c.value, r)) << c.value;
        const std::string got[9] = {r.Pager,      r.Message,  r.RepeatMinutes,  r.DeviceCode, r.CancelDeviceCode,
                                    r.Supervised, r.ActivationPlan, r.DeviceCodeLong, r.CallType};
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(got[i], c.fields[i]) << "field " << i << " of " << c.value;
        EXPECT_EQ(r.Slot, "012");
        EXPECT_EQ(r.Reserved, std::string(56, '\0'));
    }
    WirelessMessageRecord untouched;
    EXPECT_FALSE(ParseWirelessValue(WirelessLayout::B, "005" + kEvac + "15" + "123" + "Y", untouched));
    EXPECT_EQ(untouched, WirelessMessageRecord{});
}

TEST(MessageLayouts, WirelessWritesBuildEachLayoutFromTheStoredRecord)
{
    // A slot read on layout A (short code only) and one saved by the dialog (long code only).
    const WirelessMessageRecord shortOnly{.Slot = "012", .Pager = "005", .Message = kEvac, .RepeatMinutes = "15",
                                          .DeviceCode = "123", .CancelDeviceCode = "000", .Supervised = "Y",
                                          .ActivationPlan = "0", .CallType = "4"};
    WirelessMessageRecord longOnly = shortOnly;
    longOnly.DeviceCode = std::string(3, '\0');
    longOnly.DeviceCodeLong = "0000456";
    longOnly.Pager = "000";
    longOnly.CallType = "2";
    WirelessMessageRecord noDigit = longOnly;
    noDigit.CallType = std::string(1, '\0');
    noDigit.CancelDeviceCode = std::string(3, '\0');

    struct Case {
        WirelessLayout layout;
        const WirelessMessageRecord* record;
        std::string value;
    };
    const Case cases[] = {
        {WirelessLayout::A, &shortOnly, "005" + kEvac + "15" + "123" + "Y"},
        {WirelessLayout::B, &shortOnly, kEvac + "005" + "123" + "000" + "15" + "0" + "Y" + "1"},
        {WirelessLayout::C, &shortOnly, kEvac + "005" + "0000123" + "15" + "0" + "Y" + "N" + "1"},
        {WirelessLayout::D, &shortOnly, kEvac + "005" + "0000123" + "15" + "0" + "Y" + "1" + "1"},
        {WirelessLayout::A, &longOnly, "000" + kEvac + "15" + "456" + "Y"},
        {WirelessLayout::B, &longOnly, kEvac + "000" + "456" + "000" + "15" + "0" + "Y" + "0"},
        {WirelessLayout::C, &longOnly, kEvac + "000" + "0000456" + "15" + "0" + "Y" + "C" + "0"},
        {WirelessLayout::D, &longOnly, kEvac + "000" + "0000456" + "15" + "0" + "Y" + "C" + "0"},
        {WirelessLayout::B, &noDigit, kEvac + "000" + "456" + "000" + "15" + "0" + "Y" + "0"},
        {WirelessLayout::C, &noDigit, kEvac + "000" + "0000456" + "15" + "0" + "Y" + "N" + "0"},
        {WirelessLayout::D, &noDigit, kEvac + "000" + "0000456" + "15" + "0" + "Y" + "1" + "0"},
    };
    for (const Case& c : cases) {
        const auto value = WirelessWriteValue(c.layout, *c.record);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, c.value);
        EXPECT_EQ(value->size(), WirelessValueLength(c.layout));
    }
}

TEST(MessageLayouts, WirelessCodeAboveThreeDigitsHasNoShortLayoutValue)
{
    WirelessMessageRecord r{.Slot = "001", .Pager = "001", .Message = kEvac, .RepeatMinutes = "00",
                            .CancelDeviceCode = "000", .Supervised = "N", .ActivationPlan = "0",
                            .DeviceCodeLong = "0001000", .CallType = "1"};
    EXPECT_FALSE(WirelessWriteValue(WirelessLayout::A, r).has_value());
    EXPECT_FALSE(WirelessWriteValue(WirelessLayout::B, r).has_value());
    EXPECT_EQ(WirelessWriteValue(WirelessLayout::D, r), kEvac + "001" + "0001000" + "00" + "0" + "N" + "1" + "1");
}

TEST(MessageLayouts, WirelessDialogRecordStoresBothCodesAndTheLayoutsCallType)
{
    struct Case {
        WirelessLayout layout;
        std::string deviceCode, cancelCode;
        int callType;
        std::string shortCode, cancel, longCode, stored;
    };
    const std::string nul3(3, '\0');
    const Case cases[] = {
        {WirelessLayout::D, "123", "7", 0, "123", "007", "0000123", "4"},
        {WirelessLayout::D, "", "", 3, "000", "000", "0000000", "3"},
        {WirelessLayout::D, "9999999", "999", 7, nul3, "999", "9999999", "7"},
        {WirelessLayout::C, "1000", "", 3, nul3, "000", "0001000", "1"},
        {WirelessLayout::B, "45", "1", 2, "045", "001", "0000045", "2"},
        {WirelessLayout::A, "999", "0", 5, "999", "000", "0000999", "1"},
    };
    for (const Case& c : cases) {
        const WirelessMessageRecord r = MakeWirelessRecord(
            c.layout, {.slot = 7, .deviceCode = c.deviceCode, .cancelCode = c.cancelCode, .pager = "5",
                       .repeatMinutes = 15, .message = "  Door open ", .activationPlan = 9, .supervised = true,
                       .callType = c.callType});
        EXPECT_EQ(r.DeviceCode, c.shortCode) << c.deviceCode;
        EXPECT_EQ(r.CancelDeviceCode, c.cancel) << c.cancelCode;
        EXPECT_EQ(r.DeviceCodeLong, c.longCode);
        EXPECT_EQ(r.CallType, c.stored);
        EXPECT_EQ(EncodeRecord(r).substr(0, 54), "007005Door open                     15" + c.shortCode + c.cancel
                                                      + "Y9" + c.longCode + c.stored);
    }
}
