#include <gtest/gtest.h>

#include "KS_MessageLayouts.h"

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

// What the dialog's record keeps beyond what a save shows: empty codes as
// zeros, and no short code for a code the short layouts cannot carry.
TEST(MessageLayouts, WirelessDialogRecordStoresBothCodesAndTheLayoutsCallType)
{
    struct Case {
        WirelessLayout layout;
        std::string deviceCode;
        std::string codes; // short, cancel, plan, long, call type
    } cases[] = {
        {WirelessLayout::D, "", "000000Y90000000" "3"},
        {WirelessLayout::C, "1000", std::string(3, '\0') + "000Y90001000" "1"},
    };
    for (const Case& c : cases) {
        const WirelessMessageRecord r = MakeWirelessRecord(
            c.layout, {.slot = 7, .deviceCode = c.deviceCode, .pager = "5", .repeatMinutes = 15,
                       .message = "  Door open ", .activationPlan = 9, .supervised = true, .callType = 3});
        EXPECT_EQ(EncodeRecord(r).substr(0, 54), "007005Door open                     15" + c.codes) << c.deviceCode;
    }
}
