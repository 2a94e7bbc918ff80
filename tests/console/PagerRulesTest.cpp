// The user-directory rules that follow the connected unit.
#include <gtest/gtest.h>

#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_PagerRules.h"

using namespace std::string_literals;

namespace {

// A unit by its model letter, family and name.
void connectTo(const char* letter, const char* family, const char* name)
{
    gEncoderModelLetter = letter;
    gEncoderFamily = family;
    gEncoderModelName = name;
}

} // namespace

TEST(PagerRules, GroupPagersAndGroupBytesFollowTheClassOfUnit)
{
    const struct {
        const char *letter, *family;
        bool reserved;          // 901 is a group pager kept on the computer
        bool numberDecides;     // the number alone makes a group pager
        std::string group7;     // how an individual pager's first group 07 is stored
        std::string groupPager; // how group pager 905 stores its group
    } cases[] = {
        {"X", "QX8XXX", true, false, "'", "%"}, // digit code: the group + 32
        {"G", "QX7XXX", true, true, "\x07", "\x05"},
        {"A", "QX8XXX", false, false, "0", "0"}, // letter code: the list's first character
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.letter);
        connectTo(c.letter, c.family, "");
        EXPECT_EQ(IsReservedPager(901), c.reserved);
        EXPECT_FALSE(IsReservedPager(900));
        EXPECT_EQ(NumberDecidesGroupPager(), c.numberDecides);
        EXPECT_EQ(GroupByteFromText("07", 1, false), c.group7);
        EXPECT_EQ(GroupTextFromByte(c.group7), c.letter == "A"s ? "0" : "07");
        EXPECT_EQ(GroupByteFromText(GroupOfGroupPager(905), 1, true), c.groupPager);
        EXPECT_EQ(GroupTextFromByte(" "), ""); // a blank byte is no group
    }
    EXPECT_EQ(GroupOfGroupPager(999), "99");
    EXPECT_EQ(GroupOfGroupPager(900), "");
}

TEST(PagerRules, TheQX7RefusesSlowModesAt2400AndTheUItsMissingPagerTypes)
{
    const struct {
        const char *letter, *family, *name, *type, *baud, *mode;
        std::string message; // "" when the unit takes the settings
        bool changeMode;
    } cases[] = {
        {"G", "QX7XXX", "QX7560", "AlphaNumeric", "2400", "3",
         "The Baud Rate and Mode combination is not supported by QX7560. Please change Baud Rate or Mode.", true},
        {"G", "QX7XXX", "QX7560", "AlphaNumeric", "2400", "0",
         "The Baud Rate and Mode combination is not supported by QX7560. Please change Baud Rate or Mode.", true},
        {"G", "QX7XXX", "QX7560", "AlphaNumeric", "1200", "3", "", false},
        {"A", "QX8XXX", "QX8140", "AlphaNumeric", "2400", "3", "", false},
        {"U", "QX8XXX", "QX3500U", "Widearea", "512", "0",
         "Pager Type is not supported by QX3500U. Please change Pager Type.", false},
        {"U", "QX8XXX", "QX3500U", "LED Display", "512", "0", "", false},
        {"X", "QX8XXX", "QX3500", "Phone", "512", "0", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + c.type + c.baud + c.mode);
        connectTo(c.letter, c.family, c.name);
        const auto refusal = RefusedPagerSetting(c.type, c.baud, c.mode);
        ASSERT_EQ(refusal.has_value(), !c.message.empty());
        if (refusal) {
            EXPECT_EQ(refusal->message, c.message);
            EXPECT_EQ(refusal->changeMode, c.changeMode);
            EXPECT_EQ(refusal->icon, c.changeMode ? kIconCritical : kIconExclamation);
        }
    }
}
