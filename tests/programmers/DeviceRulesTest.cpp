// Device values without a window: frequencies, capcodes, digit boxes and the
// identity texts the devices answer with.
#include <gtest/gtest.h>

#include "KS_DeviceRules.h"

TEST(DeviceRules, FrequenciesAreReadAsDecimalsAndTestedForRangeAndRaster)
{
    const struct {
        const char* text;
        std::int64_t units;
        bool inRange;
        bool onRaster;
    } cases[] = {
        {"79.9999", 799999, false, false},
        {"80.0000", 800000, true, true},
        {"950.9990", 9509990, true, false},
        {"950.9991", 9509991, false, false},
        {"467.8000", 4678000, true, true},
        {"467.8050", 4678050, true, false},
        {"467.80625", 4678063, true, false}, // rounded half up at the fifth decimal
        {"467.80624", 4678062, true, false},
        {" 4,67.8 ", 4678000, true, true},
        {"", 0, false, true},
        {"150", 1500000, true, true},
        {".5", 5000, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto units = FrequencyUnits(c.text);
        ASSERT_TRUE(units);
        EXPECT_EQ(*units, c.units);
        EXPECT_EQ(FrequencyInRange(*units), c.inRange);
        EXPECT_EQ(FrequencyOnRaster(*units), c.onRaster);
    }
    for (const char* bad : {"abc", "1.2.3", "-80", ".", "12345678901.5"})
        EXPECT_FALSE(FrequencyUnits(bad)) << bad;
    EXPECT_EQ(FormatFrequencyText("80"), "080.0000");
    EXPECT_EQ(FormatFrequencyText("x"), "000.0000");
    EXPECT_EQ(FrequencyDigits("467.8000"), "4678000");
    EXPECT_EQ(FrequencyFromDigits("4678000"), "467.8000");
    EXPECT_FALSE(FrequencyFromDigits("467800"));
    EXPECT_FALSE(FrequencyFromDigits("46780?9"));
}

TEST(DeviceRules, DigitBoxesPadCapcodesKeepTheirRangeAndIncrementsStayInTheBox)
{
    EXPECT_EQ(PadDigits("1234", 8), "00001234");
    EXPECT_EQ(PadDigits("12a", 7), "0000000");
    EXPECT_EQ(PadDigits("000000099", 8), "00000099");

    for (const char* in : {"0000008", "8", "2097151"})
        EXPECT_TRUE(CapcodeInRange(in)) << in;
    for (const char* out : {"0000007", "2097152", "", "99999999999999999999", "12x"})
        EXPECT_FALSE(CapcodeInRange(out)) << out;

    EXPECT_EQ(IncrementDigits("00000099", "01", 8), "00000100");
    EXPECT_EQ(IncrementDigits("2097150", "05", 7), "2097155");
    EXPECT_EQ(IncrementDigits("9999998", "01", 7), "9999999");
    EXPECT_FALSE(IncrementDigits("9999999", "01", 7));
    EXPECT_FALSE(IncrementDigits("99999999", "99", 8));
}

TEST(DeviceRules, IdentityTextsComeOnlyFromWholeAnswers)
{
    const struct {
        const char* reply;
        const char* marker;
        const char* version;
    } versions[] = {
        {"PDL-1 Ver.2.10 (Mar 2026)", "Ver", "2.10"},
        {"Ver 3.1(x)", "Ver", "3.1"},
        {"Version Ver. 3.20 (x)", "Ver", "ion Ver. 3.20"}, // the paddle's own rule
        {"Version Ver. 3.20 (x)", "Ver.", "3.20"},
        {"Ver.3.20(", "Ver.", "3.20"},
        {"Ver.(x)", "Ver.", "N/A"},
        {"Ver(2.10)", "Ver", "N/A"}, // "(" too soon after "Ver": never a negative cut
        {"(c) Ver.2.10", "Ver.", "N/A"},
        {"", "Ver.", "N/A"},
    };
    for (const auto& v : versions)
        EXPECT_EQ(VersionBetweenVerAndParen(v.reply, v.marker), v.version) << v.reply;

    EXPECT_EQ(AcknowledgedValue("RL-CLK*\r"), "RL-CLK");
    EXPECT_FALSE(AcknowledgedValue("?99\r"));
    EXPECT_FALSE(AcknowledgedValue("RL-CLK*"));
    EXPECT_EQ(DeviceModelText(std::string("RL-\0CLK\n", 8)), "RL-CLK-xxxx");
    EXPECT_EQ(DeviceModelText("ZAR_UZE"), "ZAR_UZE");

    EXPECT_EQ(VersionNumber("2.1"), 210);
    EXPECT_EQ(VersionNumber("12"), 1200);
    EXPECT_FALSE(VersionNumber("N/A"));
    EXPECT_EQ(VersionText(205), "2.05");
    EXPECT_EQ(VersionPlainText(200), "2");
}
