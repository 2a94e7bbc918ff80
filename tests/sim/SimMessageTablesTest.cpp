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

TEST(SimMessageTables, RefusesWritesThatDoNotFitTheLayoutAndSlotsBeyondTheTable)
{
    const std::string device = kEvac + "005" + "0000123" + "00" + "0" + "N" + "T" + "1"; // layout D
    struct Case {
        char letter;
        const char* version;
        std::string line;
    };
    const Case cases[] = {
        {'X', "3.1", "F07" + kFire + "012" + "1W"},                           // keyword-first on an extended unit
        {'X', "3.1", "F50" + kFire + "012" + kEvac + "N1W"},                  // beyond 49 slots
        {'X', "3.1", "F07" + kFire + "01x" + kEvac + "N1W"},                  // pager not digits
        {'X', "3.1", "F07" + std::string(30, '\0') + "000" + kEvac + "N0W"},  // a never-read keyword
        {'L', "2.10", "F01?"},                                                // no keyword table
        {'X', "3.2", "W201" + device + "W"},                                  // beyond 200 slots
        {'X', "3.2", "W012" + device.substr(0, 45) + "W"},                    // one character short
        {'X', "3.2", "W012" + device.substr(0, 44) + "N1W"},                  // the older units' call letter
        {'X', "3.2", "W012" + kEvac + "005" + std::string(7, '\0') + "000NT1W"}, // a never-read code
        {'A', "2.10", "W001?"},                                               // no wireless table
    };
    for (const Case& c : cases) {
        SimLine line = Unit(c.letter, c.version);
        EXPECT_EQ(line.Send(c.line + "\r"), "?99\r") << c.line;
        EXPECT_TRUE(line.unit.Freetext().empty() && line.unit.Wireless().empty());
    }
    SimLine blank = Unit('X', "3.2");
    EXPECT_EQ(blank.Send("F49?\r"), std::string(30, ' ') + "000" + std::string(30, ' ') + "N0*\r");
    EXPECT_EQ(blank.Send("W200?\r"), std::string(30, ' ') + "0000000000000N10*\r");
}
