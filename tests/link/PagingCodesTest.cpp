#include <gtest/gtest.h>

#include "KS_Globals.h"
#include "KS_PagingCodes.h"

namespace {

using namespace std::string_literals;

class PagingCodes : public testing::Test {
protected:
    void SetUp() override { connect("A", "QX8XXX"); }
    static void connect(std::string letter, std::string family)
    {
        gEncoderModelLetter = std::move(letter);
        gEncoderFamily = std::move(family);
        gEncoderModelName = "QX8000";
    }
};

// A user as the data file holds it: every field at its full width.
PagerFields sampleUser()
{
    return {.PagerNo = "012", .UserName = "Dr. Evelyn Marchetti", .Capcode = "1234567", .PagerType = "A", .Baud = "1",
            .Phone = "555-0101 ext 4477   ", .Format = "P", .Mode = "2", .GroupFlag = "I", .Group1 = "3",
            .Group2 = "B", .Group3 = " ", .Group4 = "V", .InUse = "Y", .DSC = std::string(4, '\0')};
}

} // namespace

TEST_F(PagingCodes, LetterCodeRecordIsTheFortyFourCharacterStringAndParsesBack)
{
    PagerFields r = sampleUser();
    const auto line = BuildEncoderUserRecord(r);
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, "012"s + "Dr. Evelyn M" + "1234567" + "3B V" + "A" + "P" + char(33) + "I" + "Y" + "555-0101 ext ");
    r.UserName = "Dr. Evelyn M" + std::string(8, ' '); // what the string can carry
    r.Phone = "555-0101 ext " + std::string(7, ' ');
    PagerFields back;
    ASSERT_TRUE(ParseEncoderUserRecord(back, *line));
    EXPECT_EQ(back, r); // the DSC does not travel and stays four NULs

    // Short fields are sent with their blanks.
    r.UserName = "Al";
    r.Phone = "";
    EXPECT_EQ(*BuildEncoderUserRecord(r), "012"s + "Al          " + "1234567" + "3B V" + "AP!IY" + std::string(13, ' '));
}

TEST_F(PagingCodes, BaudAndModeShareOneByteBothWays)
{
    for (const char* baud : {"5", "1", "2"}) {
        for (int mode = 0; mode <= 3; ++mode) {
            PagerFields r = sampleUser();
            r.Baud = baud;
            r.Mode = std::to_string(mode);
            const auto line = BuildEncoderUserRecord(r);
            ASSERT_TRUE(line);
            EXPECT_EQ(static_cast<unsigned char>((*line)[28]), (baud[0] - '0') + 16 * mode);
            PagerFields back;
            ASSERT_TRUE(ParseEncoderUserRecord(back, *line));
            EXPECT_EQ(back.Baud + back.Mode, baud + r.Mode);
        }
    }
}

TEST_F(PagingCodes, DigitCodeRecordIsTheFiftyFourCharacterStringAndParsesBackBehindTheReplyCharacter)
{
    connect("X", "QX8XXX");
    EXPECT_EQ(*BuildEncoderUserRecord(sampleUser()),
              "012"s + "1234567" + "Dr. Evelyn March" + "555-0101 ext 447" + "0" + "P" + "1" + "2" + "3B V" + "    ");
    for (const char* letter : {"X", "Y", "R", "U"}) {
        SCOPED_TRACE(letter);
        connect(letter, "QX8XXX");
        PagerFields r = sampleUser();
        r.PagerType = "3";
        r.UserName = "Dr. Evelyn March" + std::string(4, ' ');
        r.Phone = "555-0101 ext 447" + std::string(4, ' ');
        r.Group1 = std::string(1, char(7 + 32));
        r.Group2 = r.Group3 = r.Group4 = " ";
        r.DSC = "A1B2";
        r.GroupFlag = std::string(1, '\0'); // the digit-code answer has no group flag
        PagerFields back;
        ASSERT_TRUE(ParseEncoderUserRecord(back, "?" + *BuildEncoderUserRecord(r)));
        EXPECT_EQ(back, r);
    }
}

TEST_F(PagingCodes, PagerTypeCodesFollowTheEncoderAndConvertersFallBackToTheirDefaults)
{
    EXPECT_EQ(PagerTypeCodeText("Phone", false), "N"); // no letter code
    EXPECT_EQ(PagerTypeCodeText("7", true), "Numeric");
    connect("U", "");
    PagerFields r = sampleUser();
    r.PagerType = "W";
    EXPECT_EQ((*BuildEncoderUserRecord(r))[42], '0');
    r.PagerType = PagerTypeCodeText("LED Display", false);
    EXPECT_EQ(r.PagerType, "8");
    EXPECT_EQ((*BuildEncoderUserRecord(r))[42], '5'); // model U's own digit
    EXPECT_EQ(PagerTypeCodeText("5", true), "LED Display");
    EXPECT_EQ(PagerTypeIconIndex("5"), 11);

    connect("X", "");
    EXPECT_EQ(PagerTypeDigitCode("W"), "5");
    EXPECT_EQ(PagerTypeCodeText("5", true), "Widearea");
    EXPECT_EQ(PagerTypeIconIndex("5"), 5);
    connect("Y", "");
    EXPECT_EQ(PagerTypeCodeText("Phone", false), "7");
    EXPECT_EQ(PagerTypeCodeText("A", true), "Numeric");
    EXPECT_EQ(PagerTypeIconIndex("?"), 1);
    EXPECT_EQ(BaudCodeText("9", true), "512");
    EXPECT_EQ(PagerFormatCodeText("FLEX", false), "P");
    EXPECT_EQ(PagerModeCodeValue("7", false), "0");
    EXPECT_EQ(PagerGroupFlagCode("1", true), "I");
    EXPECT_EQ(PagerGroupFlagCode("1", false), "G");
}

TEST_F(PagingCodes, AUnitThatHoldsNoPagersLeavesTheFileReadAndWrittenInTheRememberedEncodersCodes)
{
    gLastEncoderModelLetter = "X";
    gLastEncoderFamily = "Not Defined";
    for (const auto& [letter, family] : {std::pair {"S", "HPA-XXX"}, std::pair {"Q", "HTG-XXX"}}) {
        SCOPED_TRACE(letter);
        connect(letter, family);
        EXPECT_EQ(PagerTypeCodeText("0", true), "AlphaNumeric");
        EXPECT_EQ(PagerTypeCodeText("Tone-Only", false), "2");
    }
}

TEST_F(PagingCodes, QX7AnswerMakesGroupPagersOfNumbersAboveNine100)
{
    connect("K", "QX7XXX");
    PagerFields group;
    ASSERT_TRUE(ParseEncoderUserRecord(group, "9050000000\x01"s + "AP" + char(0x11) + "?" + "\x01"));
    EXPECT_EQ(group.GroupFlag, "G");
    EXPECT_EQ(group.Group1, std::string(1, char(5)));
    EXPECT_EQ(group.InUse, "Y");
    EXPECT_EQ(group.UserName, std::string(20, ' '));

    PagerFields user;
    ASSERT_TRUE(ParseEncoderUserRecord(user, "9001234567" "4" "NG" "\x22" "?" "\x02"));
    EXPECT_EQ(user.GroupFlag, "I");
    EXPECT_EQ(user.Capcode + user.Group1 + user.PagerType + user.Format + user.Baud + user.Mode, "12345674NG22");
    EXPECT_EQ(user.InUse, "Y"); // code 2 is the QX7's in-use mark

    ASSERT_TRUE(ParseEncoderUserRecord(user, "0011234567" "4" "NG" "\x05" "?" "N"));
    EXPECT_EQ(user.InUse, "N");
}

TEST_F(PagingCodes, OnlyAGroupThatWouldEndTheCommandLineIsRefused)
{
    connect("K", "QX7XXX");
    PagerFields r = sampleUser();
    std::string error;
    r.Group1 = "\r";
    EXPECT_FALSE(BuildEncoderUserRecord(r, &error));
    EXPECT_EQ(error, "Group 13 cannot be programmed into the QX8000. Please choose another group for pager 012.");
    // Group 42 is a "*" inside the line, which ends nothing.
    r.Group1 = "*";
    const auto line = BuildEncoderUserRecord(r, &error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->substr(22, 4), "*B V");

    // The digit-code encoders carry group 10 as "*" by their own rule (number + 32).
    connect("X", "");
    r.Group3 = std::string(1, char(10 + 32));
    EXPECT_TRUE(BuildEncoderUserRecord(r));
    r.UserName = "Night\rShift";
    EXPECT_FALSE(BuildEncoderUserRecord(r, &error));
    EXPECT_NE(error.find("line break"), std::string::npos);
}

TEST_F(PagingCodes, ShortAnswersAreRefusedAndLeaveTheRecord)
{
    const PagerFields before = sampleUser();
    PagerFields r = before;
    EXPECT_FALSE(ParseEncoderUserRecord(r, "012Dr. Evelyn M1234567"));
    EXPECT_FALSE(ParseEncoderUserRecord(r, ""));
    connect("X", "");
    EXPECT_FALSE(ParseEncoderUserRecord(r, *BuildEncoderUserRecord(before))); // reply character missing
    connect("K", "QX7XXX");
    EXPECT_FALSE(ParseEncoderUserRecord(r, "9050000000\x01"));
    EXPECT_EQ(r, before);
}
