#include <gtest/gtest.h>
#include <stdexcept>

#include "KS_Forms.h"
#include "KS_General.h"
#include "KS_ListServices.h"
#include "KS_String.h"

TEST(StringHelpers, StripReplaceAndTheNumericPrefix)
{
    EXPECT_EQ(StripChar("a-b--c", "-"), "abc");
    EXPECT_EQ(StripDelimiter(" 1,2,,3 "), "12,3");
    EXPECT_EQ(StripDelimiter(","), "NULL");
    EXPECT_EQ(StripDelimiter("", "none"), "none");
    EXPECT_EQ(ReplaceLineBreaks("a\n\rb\rc\r\nd\ne", "|"), "a|b|c|d|e");
    EXPECT_EQ(ReplaceChar("a*b*", "*x", "-"), "a-b-");
    EXPECT_EQ(Val("  42abc"), 42);
    EXPECT_EQ(Val("-3.5x"), -3.5);
    EXPECT_EQ(Val("abc"), 0);
}

TEST(StringHelpers, Windows1252RoundTripsEveryByte)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString text = ToQString(all);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC)); // the euro sign
    EXPECT_EQ(FromQString(text), all);
}

TEST(KeyFilters, DigitsPhoneAndDecimal)
{
    EXPECT_EQ(DigitsOnlyKey('a'), 0);
    EXPECT_EQ(DigitsOnlyKey(8), 8); // backspace
    EXPECT_EQ(PhoneKeyFilter('('), '(');
    EXPECT_EQ(PhoneKeyFilter(','), 0);
    EXPECT_EQ(DecimalKeyFilter('.', "1", 1, false), '.');
    EXPECT_EQ(DecimalKeyFilter('.', "1.5", 1, false), 0);
    // A minus only where allowed, only in front, and only once.
    EXPECT_EQ(DecimalKeyFilter('-', "5", 0, true), '-');
    EXPECT_EQ(DecimalKeyFilter('-', "5", 1, true), 0);
    EXPECT_EQ(DecimalKeyFilter('-', "5", 0, false), 0);
    EXPECT_EQ(DecimalKeyFilter('-', "-5", 0, true), 0);
}

TEST(ListColumns, WeightsShareTheWidthAndKeepRoomForTheScrollBar)
{
    // Ten rows of 240 twips in 2000: only 8 fit, so the scroll bar shows.
    EXPECT_EQ(ComputeColumnWidths(5000, 2000, 240, 10, {1, 1, 2}, false), (std::vector<double>{1162.5, 1162.5, 2325}));
    EXPECT_EQ(ComputeColumnWidths(5000, 2000, 240, 10, {1, 1, 2}, true), (std::vector<double>{1225, 1225, 2200}));
    EXPECT_EQ(ComputeColumnWidths(5000, 2000, 240, 2, {1, 1, 2}, false), (std::vector<double>{1225, 1225, 2450}));
    const auto hidden = ComputeColumnWidths(1800, 0, 0, 0, {0.7, 1, 0}, false);
    EXPECT_EQ(hidden[2], 0);
    EXPECT_NEAR(hidden[0], 1700 * 0.7 / 1.7, 1e-9);
}

TEST(EncoderPredicates, LetterSetsAreExactAndCaseSensitive)
{
    struct Row {
        const char* letter;
        bool reversed, ab, toneChannels, toneActions, dateTime, extendedAlarm;
    };
    const Row rows[] = {
        {"N/A", true, false, false, false, false, false},
        {"X", false, false, true, true, true, true},
        {"x", true, false, false, false, false, false},
        {"U", false, false, false, false, true, true},
        {"A", true, true, false, false, false, true},
        {"L", true, false, true, false, false, true},
        {"XY", true, false, false, false, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.letter);
        EXPECT_EQ(EncoderSerialIsReversed(row.letter), row.reversed);
        EXPECT_EQ(IsEncoderTypeAB(row.letter), row.ab);
        EXPECT_EQ(EncoderSupportsToneChannels(row.letter), row.toneChannels);
        EXPECT_EQ(EncoderSupportsToneActions(row.letter), row.toneActions);
        EXPECT_EQ(EncoderSupportsDateTimeCommands(row.letter), row.dateTime);
        EXPECT_EQ(EncoderUsesExtendedAlarmLayout(row.letter), row.extendedAlarm);
    }
}

TEST(HexHelpers, PaddedHexAndTheAdditiveChecksum)
{
    EXPECT_EQ(ToHexPadded(4096, 4), "1000");
    EXPECT_EQ(ToHexPadded(-1, 8), "FFFFFFFF");
    EXPECT_THROW(ToHexPadded(65536, 4), std::invalid_argument);

    EXPECT_EQ(TextToHexChecksum("abc"), "0126");
    // Bytes above 127 count 128..255, and the sum wraps at 65536.
    EXPECT_EQ(TextToHexChecksum(std::string(257, '\xFF')), "FFFF");
    EXPECT_EQ(TextToHexChecksum(std::string(257, '\xFF') + "\x02"), "0001");
}
