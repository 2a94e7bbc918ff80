#include <gtest/gtest.h>

#include <string>

#include "SimTestLine.h"

namespace {
const std::string kText = "DOOR 4 OPEN" + std::string(19, ' ');
const std::string kTexts = kText + "DOOR 4 SHUT" + std::string(19, ' ');
} // namespace

TEST(SimAlarms, EachGenerationReadsAndWritesItsOwnForm)
{
    struct Case {
        char letter;
        std::string fields; // as written after the address
        std::string readBack;
        std::size_t blankLength;
    } cases[] = {
        {'X', kTexts.substr(0, 53) + "012Y050303", kTexts.substr(0, 53) + "012Y050303", 63},
        {'U', "1012013" + kTexts + "05030-053420", "1012013" + kTexts + "05030-053420", 79},
        {'A', "012" + kText + "\x05\x07Y", "012" + kText + "\x05\x07Y", 36},
        {'G', "012013" + kTexts + "104523-05423071", "012013" + kTexts + "104523-05423071", 81},
        {'E', "012" + kText + "   ", "012" + kText, 33},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter));
        SimLine line;
        line.unit.SetModel(c.letter);
        const std::string blank = line.Send("Z002?\r");
        ASSERT_EQ(blank.size(), c.blankLength + 2);
        EXPECT_EQ(blank.substr(c.blankLength), "*\r");
        EXPECT_EQ(line.Send("Z002" + c.fields + "W\r"), "*\r");
        EXPECT_EQ(line.Send("Z002?\r"), c.readBack + "*\r");
        // A write one character short is refused and changes nothing.
        EXPECT_EQ(line.Send("Z002" + c.fields.substr(1) + "W\r"), "?99\r");
        EXPECT_EQ(line.unit.AlarmPoints().at(2), c.readBack);
    }
    // A unit whose table the console never asks for refuses it.
    SimLine line;
    line.unit.SetModel('R');
    EXPECT_EQ(line.Send("Z001?\r"), "?99\r");
}
