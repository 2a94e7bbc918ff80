#include <gtest/gtest.h>

#include <string>

#include "SimTestLine.h"

using namespace std::string_literals;

namespace {

// 44 characters as the letter-code console sends them.
std::string letterRecord(const std::string& pagerNo)
{
    std::string r = pagerNo + "Anna        " + "1234567" + "3   " + "A" + "P" + "\x21" + "I" + "Y" + "555-0101     ";
    return r;
}

std::string digitRecord(const std::string& pagerNo)
{
    return pagerNo + "1234567"s + "Anna            " + "555-0101        " + "0P50" + "'   " + "    ";
}

} // namespace

TEST(SimUsers, DigitCodeUnitReadsAheadBetweenReplyCharacterAndInUseFlag)
{
    SimLine line; // model X
    ASSERT_EQ(digitRecord("007").size(), 54u);
    EXPECT_EQ(line.Send("A" + digitRecord("007") + "M\r"), "*\r");
    EXPECT_EQ(line.Send("A" + digitRecord("012") + "M\r"), "*\r");
    EXPECT_EQ(line.Send("?001N\r"), "U" + digitRecord("007") + "Y*\r");
    EXPECT_EQ(line.Send("?008N\r"), "U" + digitRecord("012") + "Y*\r");
    EXPECT_EQ(line.Send("?013N\r"), "?99\r");
    EXPECT_EQ(line.Send("?008M\r"), "?99\r");
    EXPECT_EQ(line.Send("D007M\r"), "*\r");
    EXPECT_EQ(line.Send("?001N\r"), "U" + digitRecord("012") + "Y*\r");
    // Group pagers stay in the console; a record of the wrong length is refused.
    EXPECT_EQ(line.Send("A" + digitRecord("905") + "M\r"), "?99\r");
    EXPECT_EQ(line.Send("A" + letterRecord("013") + "M\r"), "?99\r");
    EXPECT_EQ(line.unit.Users().size(), 1u);
}

TEST(SimUsers, LetterCodeUnitAnswersTheRecordAsItCame)
{
    SimLine line;
    line.unit.SetModel('A');
    EXPECT_EQ(line.Send("A" + letterRecord("905") + "M\r"), "*\r");
    EXPECT_EQ(line.Send("?900N\r"), letterRecord("905") + "*\r");
}

TEST(SimUsers, QX7UnitsAnswerTheSixteenCharactersTheyKeep)
{
    const std::string kept = "012"s + "1234567" + "3" + "AP\x21" + " " + "\x02" + std::string(28, ' ') + "*\r";
    SimLine identified;
    identified.unit.SetModel('G');
    EXPECT_EQ(identified.Send("A" + letterRecord("012") + "M\r"), "*\r");
    EXPECT_EQ(identified.Send("?001N\r"), kept);

    SimLine legacy;
    legacy.unit.SetLegacyModel(sim::Legacy::QX7);
    EXPECT_EQ(legacy.Send("A" + letterRecord("012") + "M\r"), "*\r");
    EXPECT_EQ(legacy.Send("?012M\r"), kept);
    EXPECT_EQ(legacy.Send("?011M\r"), "?99\r");
    EXPECT_EQ(legacy.Send("?001N\r"), "?99\r"); // an older unit cannot read ahead
}
