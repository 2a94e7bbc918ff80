#include <gtest/gtest.h>

#include "KS_MessageLayouts.h"

namespace {

const std::string kEvac = "Evacuate west wing            ";     // 30

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

    // A call type that holds no digit goes out as 0: "N" on C, "1" on D.
    WirelessMessageRecord noDigit = MakeWirelessRecord(WirelessLayout::D, {.slot = 1, .pager = "0", .message = "x"});
    noDigit.CallType = std::string(1, '\0');
    EXPECT_EQ(WirelessWriteValue(WirelessLayout::C, noDigit)->substr(44), "N0");
    EXPECT_EQ(WirelessWriteValue(WirelessLayout::D, noDigit)->substr(44), "10");
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
        {WirelessLayout::C, "1000", "", 3, nul3, "000", "0001000", "1"},
        {WirelessLayout::B, "45", "1", 2, "045", "001", "0000045", "2"},
        {WirelessLayout::A, "999", "0", 5, "999", "000", "0000999", "1"},
    };
    for (const Case& c : cases) {
        const WirelessMessageRecord r = MakeWirelessRecord(
            c.layout, {.slot = 7, .deviceCode = c.deviceCode, .cancelCode = c.cancelCode, .pager = "5",
                       .repeatMinutes = 15, .message = "  Door open ", .activationPlan = 9, .supervised = true,
                       .callType = c.callType});
        EXPECT_EQ(EncodeRecord(r).substr(0, 54), "007005Door open                     15" + c.shortCode + c.cancel
                                                      + "Y9" + c.longCode + c.stored)
            << c.deviceCode;
    }
}
