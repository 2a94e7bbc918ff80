// The simulated fast-key and PABX tables.
#include <gtest/gtest.h>

#include "SimTestLine.h"

namespace {

const std::string kSpaces(30, ' ');
const std::string kText = "Reception desk                ";

TEST(SimTables, SlotsReadBackWhatWasWrittenWithinTheModelsCount)
{
    struct Case {
        char model;
        const char* letter;
        const char* size;     // the answer to the size query
        const char* lastSlot; // the last slot the model holds
        const char* beyond;   // the first it does not
    };
    const Case cases[] = {
        {'X', "K", "12*\r", "12", "13"},
        {'X', "C", "16*\r", "16", "17"},
        {'E', "C", "16*\r", "16", "17"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.model) + c.letter);
        SimLine line;
        line.unit.SetModel(c.model);
        const std::string l = c.letter;
        EXPECT_EQ(line.Send(l + "00?\r"), c.size);
        EXPECT_EQ(line.Send(l + "01?\r"), kSpaces + "*\r");
        EXPECT_EQ(line.Send(l + c.lastSlot + kText + "W\r"), "*\r");
        EXPECT_EQ(line.Send(l + c.lastSlot + "?\r"), kText + "*\r");
        EXPECT_EQ(line.SendEach({l + c.beyond + "?\r", l + c.beyond + kText + "W\r", l + "00" + kText + "W\r"}),
                  "?99\r?99\r?99\r");
    }
    SimLine noFastkeys;
    noFastkeys.unit.SetModel('E');
    EXPECT_EQ(noFastkeys.SendEach({"K01?\r", "K01" + kText + "W\r"}), "?99\r?99\r");
}

} // namespace
