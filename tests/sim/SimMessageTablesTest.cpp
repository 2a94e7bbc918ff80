#include <gtest/gtest.h>

#include <string>

#include "SimTestLine.h"

namespace {

const std::string kFire = "FIRE                          ";
const std::string kEvac = "Evacuate west wing            ";

SimLine Unit(char letter, const char* version)
{
    SimLine line;
    line.unit.SetModel(letter);
    line.unit.EditProfile().version = version;
    return line;
}

} // namespace

TEST(SimMessageTables, FreetextWritesAndReadsInEachUnitsLayout)
{
    struct Case {
        char letter;
        const char* version;
        std::string write;  // data after the slot
        std::string answer; // to the read that follows
    };
    const Case cases[] = {
        {'Y', "2.10", kFire + "012" + "1", kFire + "012" + "1*\r"},
        {'X', "3.1", kFire + "012" + kEvac + "Y1", kFire + "012" + kEvac + "Y1*\r"},
        {'R', "1.00", kFire + "000" + kEvac + "N0", kFire + "000" + kEvac + "N0*\r"},
        {'B', "2.10", "012" + kFire, "012" + kFire + "*\r"},
        {'X', "3.09", kFire + "012" + "1", "?99\r"}, // takes keywords, cannot read them back
    };
    for (const Case& c : cases) {
        SimLine line = Unit(c.letter, c.version);
        EXPECT_EQ(line.Send("F07" + c.write + "W\r"), "*\r") << c.letter << c.version;
        EXPECT_EQ(line.Send("F07?\r"), c.answer) << c.letter << c.version;
    }
}

TEST(SimMessageTables, FreetextRefusesWritesThatDoNotFitTheLayoutOrTable)
{
    SimLine line = Unit('X', "3.1");
    const std::string refused[] = {
        "F07" + kFire + "012" + "1W\r",                              // keyword-first on an extended unit
        "F00" + kFire + "012" + kEvac + "N1W\r",                     // slot 0
        "F50" + kFire + "012" + kEvac + "N1W\r",                     // beyond 49 slots
        "F07" + kFire + "01x" + kEvac + "N1W\r",                     // pager not digits
        "F07" + kFire + "012" + kEvac + "?1W\r",                     // replace flag
        "F07" + std::string(30, '\0') + "000" + kEvac + "N0W\r",    // a never-read keyword
    };
    for (const std::string& write : refused)
        EXPECT_EQ(line.Send(write), "?99\r");
    EXPECT_EQ(line.Send("F49?\r"), std::string(30, ' ') + "000" + std::string(30, ' ') + "N0*\r");
    EXPECT_EQ(line.Send("F00?\r"), "49*\r");
    EXPECT_TRUE(line.unit.Freetext().empty());

    SimLine none = Unit('L', "2.10");
    EXPECT_EQ(none.Send("F01?\r"), "?99\r");
    EXPECT_EQ(none.Send("F01012" + kFire + "W\r"), "?99\r");
}

TEST(SimMessageTables, WirelessWritesAndReadsInEachUnitsLayout)
{
    struct Case {
        char letter;
        const char* version;
        std::string write;
        std::string answer;
    };
    const Case cases[] = {
        {'B', "2.10", "005" + kEvac + "15" + "123" + "Y", "005" + kEvac + "15123Y*\r"},
        {'Y', "2.10", kEvac + "005" + "123" + "456" + "15" + "7" + "N" + "1", kEvac + "005123456157N1*\r"},
        {'X', "3.159", kEvac + "000" + "123" + "456" + "00" + "0" + "N" + "0", kEvac + "000123456000N0*\r"},
        {'X', "3.16", kEvac + "005" + "1234567" + "15" + "3" + "Y" + "C" + "1", kEvac + "005123456715" "3YC1*\r"},
        {'R', "1.02", kEvac + "005" + "1234567" + "15" + "3" + "Y" + "N" + "1", kEvac + "005123456715" "3YN1*\r"},
        {'X', "3.2", kEvac + "005" + "0000123" + "00" + "0" + "N" + "T" + "1", kEvac + "005000012300" "0NT1*\r"},
        {'R', "1.05", kEvac + "000" + "0000123" + "00" + "0" + "N" + "4" + "0", kEvac + "000000012300" "0N40*\r"},
    };
    for (const Case& c : cases) {
        SimLine line = Unit(c.letter, c.version);
        EXPECT_EQ(line.Send("W012" + c.write + "W\r"), "*\r") << c.letter << c.version;
        EXPECT_EQ(line.Send("W012?\r"), c.answer) << c.letter << c.version;
    }
}

TEST(SimMessageTables, WirelessRefusesWritesThatDoNotFitTheLayoutOrTable)
{
    SimLine line = Unit('X', "3.2");
    const std::string good = kEvac + "005" + "0000123" + "00" + "0" + "N" + "T" + "1";
    EXPECT_EQ(line.Send("W201" + good + "W\r"), "?99\r");                 // beyond 200 slots
    EXPECT_EQ(line.Send("W012" + good.substr(0, 45) + "W\r"), "?99\r");  // one character short
    std::string badCall = good;
    badCall[44] = 'N'; // the older units' "other" call
    EXPECT_EQ(line.Send("W012" + badCall + "W\r"), "?99\r");
    std::string nulCode = good;
    nulCode.replace(33, 7, std::string(7, '\0'));
    EXPECT_EQ(line.Send("W012" + nulCode + "W\r"), "?99\r");
    EXPECT_TRUE(line.unit.Wireless().empty());
    EXPECT_EQ(line.Send("W200?\r"), std::string(30, ' ') + "0000000000000N10*\r");

    SimLine a = Unit('A', "2.10");
    EXPECT_EQ(a.Send("W001?\r"), "?99\r"); // model A has no wireless table
}
