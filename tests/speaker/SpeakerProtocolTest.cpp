#include <gtest/gtest.h>

#include <tuple>

#include "KS_PagingLists.h"
#include "KS_SpeakerProtocol.h"

namespace {

std::vector<std::string> lines(const std::vector<SpeakerProgramItem>& items)
{
    std::vector<std::string> out;
    for (const auto& item : items)
        out.push_back(item.command + item.value);
    return out;
}

SpeakerVersion version(const char* reply) { return ParseSpeakerVersion(reply); }

} // namespace

TEST(SpeakerProtocol, VersionRepliesChooseTheCommandSets)
{
    using std::string;
    // reply, text shown, hundredths, the current set (for reading and programming alike)
    for (const auto& [reply, text, hundredths, current] : {
             std::tuple{string("2.99*\r"), "2.99", 299, false},
             {string("3.00*\r"), "3.00", 300, true},
             {string("3.03*\r"), "3.03", 303, true},
             {string("3.10*\r"), "3.10", 310, true},
             {string("3\0.14*\r", 7), "3.14", 314, true},
             {string("Speaker Ver. 3.20 (2009)*\r"), "3.20", 320, false},
             {string("Ver. beta (x)*\r"), "beta", 0, false},
             {string("Ver.(3.20)*\r"), "N/A", 0, false},
             {string("Ver.3.20(x)*\r"), "3.20", 320, false},
             {string("Version Ver. 3.20 (x)*\r"), "3.20", 320, false},
             {string("(1) Ver. 3.20*\r"), "N/A", 0, false},
             {string("3.14\r"), "N/A", 0, false},
             {string("3.145*\r"), "N/A", 0, false},
         }) {
        SCOPED_TRACE(reply);
        const SpeakerVersion v = ParseSpeakerVersion(reply);
        EXPECT_EQ(v.text, text);
        EXPECT_EQ(v.hundredths, hundredths);
        EXPECT_EQ(SpeakerUsesCurrentSet(v), current);
    }
}

TEST(SpeakerProtocol, RepliesTheBoxesCannotShowGiveNothing)
{
    EXPECT_EQ(SignalStrengthText("N/A"), std::nullopt);
    EXPECT_EQ(ParseSpeakerMask("03ff"), 0x3FFu);
    EXPECT_EQ(ParseSpeakerMask(""), std::nullopt);
    EXPECT_EQ(ParseSpeakerMask("00G1"), std::nullopt);
    // Slot n's level is the n-th digit; a level the list lacks selects nothing, a missing one the default.
    for (const auto& [levels, slot, position] : {std::tuple{"12345000", 2, 2}, {"12345000", 5, -1}, {"12x", 3, 0},
                                                  {"12", 7, 0}})
        EXPECT_EQ(SpeakerAlertLevelPosition(levels, slot), position) << levels << slot;

    MemoryOptionList baud, squelch, power;
    FillDeviceBaudCombo(baud, 0);
    FillSquelchLevelCombo(squelch, 0);
    FillPowerLevelCombo(power, 1);
    SelectSpeakerListText(baud, SpeakerBaudText('2')); // 2400 is not offered
    SelectSpeakerListText(squelch, "A");
    SelectSpeakerListData(power, "0");
    for (const MemoryOptionList* list : {&baud, &squelch, &power})
        EXPECT_EQ(list->SelectedIndex(), -1);
    SelectSpeakerListData(power, "9");
    SelectSpeakerListData(power, "");
    EXPECT_EQ(power.SelectedIndex(), -1);
}

TEST(SpeakerProtocol, DateAndTimeTravelInTheUnitsOwnForms)
{
    const QDateTime tuesday(QDate(2026, 3, 3), QTime(14, 5, 9));
    EXPECT_EQ(SpeakerTimeValue(tuesday), "140509");
    EXPECT_EQ(SpeakerTimeValue(tuesday, false), "1405");
    EXPECT_EQ(SpeakerDateValue(tuesday), "0303263");
    EXPECT_EQ(SpeakerDateValue(QDateTime(QDate(2026, 3, 7), QTime())), "0307267"); // Saturday
    EXPECT_EQ(SpeakerDateValue(QDateTime(QDate(2026, 3, 8), QTime())), "0308261"); // Sunday

    EXPECT_EQ(SpeakerDateTimeText("0303263*\r", "140509*\r", "140509"), "Tuesday, 03/03/26 02:05:09 PM");
    EXPECT_EQ(SpeakerDateTimeText("0303263*\r", "0905*\r", "0905"), "Tuesday, 03/03/26 09:05 AM");
    EXPECT_EQ(SpeakerDateTimeText("1333263*\r", "0905*\r", "0905"), "N/A 09:05 AM");
    EXPECT_EQ(SpeakerDateTimeText("", "?99\r", ""), "N/A");
    EXPECT_EQ(SpeakerDateTimeText("0303263*\r", "2565*\r", "2565"), "Tuesday, 03/03/26");
}

TEST(SpeakerProtocol, CurrentUnitGetsEveryTickedItemInItsOrder)
{
    SpeakerSettings s{.serialUnlocked = true, .serialNumber = "00000099", .rx1FrequencyOpen = true,
                      .rx1Frequency = "457.5000", .supervisionUnlocked = true, .supervisionCapcode = "0012345",
                      .programDateTime = true, .securityMode = {true, "On", 1}, .operationMode = {true, "4", 4},
                      .squelchLevel = {true, "3", 3}, .rxBaudRate = {true, "1200", 1}, .rxDeviation = {true, "", 5},
                      .ambientNoiseLevel = {true, "", 6}, .securityKey = "123", .programConfiguration = true,
                      .configuration = {true, false, true}, .programOptions = true,
                      .options = {true, false, false, false, false, true}, .programCommon = true,
                      .power = {false, "9 - High", 9}, .txDeviation = {false, "", 4},
                      .ifBandwidth = {false, "25.00 kHz", 2}, .txBaudRate = {false, "512", 5}, .programPrimary = true,
                      .tx1Frequency = "467.8000", .programSecondary = true, .rx2Frequency = "150.0000",
                      .tx2Frequency = "151.0000"};
    s.capcodes[2] = {true, "0001000", 2};

    const auto items = BuildSpeakerProgram(s, version("3.14*\r"));
    EXPECT_EQ(lines(items),
              (std::vector<std::string>{"PS00000099", "PFR14575000", "?C9", "PC90012345", "PT", "PFBR1", "PFX5", "PQ3",
                                        "PSM1", "PSS123", "PM4", "PAN6", "PC30001000", "PV32", "PCM0005", "PO0021",
                                        "PFP9", "PFD4", "PFI2", "PFBT0", "PFT14678000", "PFR21500000",
                                        "PFT21510000"}));
    EXPECT_EQ(SpeakerProgressSteps(items), 22);
    // The step line shows its text as written: one ampersand, no mnemonic doubling.
    EXPECT_EQ(items[4].stepText, "Programming Date & Time... ");
    EXPECT_EQ(items[6].failureText, " - Failed / Not Supported.");
    EXPECT_EQ(items.back().stepText, "Programming Secondary Tranceiver Tx Frequency...");

    // 3.10 writes the options in two digits; 3.05 stops after the capcode slots.
    EXPECT_EQ(lines(BuildSpeakerProgram(s, version("3.10*\r")))[15], "PO21");
    EXPECT_EQ(lines(BuildSpeakerProgram(s, version("3.05*\r"))).back(), "PV32");
    // A unit of exactly 3.00 is read in the current set, so it is written in it too.
    EXPECT_EQ(lines(BuildSpeakerProgram(s, version("3.00*\r"))),
              (std::vector<std::string>{"PS00000099", "PFR14575000", "?C9", "PC90012345", "PT", "PFBR1", "PFX5", "PQ3",
                                        "PSM1", "PSS123", "PM4", "PAN6", "PC30001000", "PV32"}));
}

TEST(SpeakerProtocol, LegacyUnitUsesItsOwnMnemonicsAndLosesSlotsWithoutSupervision)
{
    SpeakerSettings s{.rx1FrequencyOpen = true, .rx1Frequency = "457.5000", .supervisionUnlocked = true,
                      .rxBaudRate = {true, "512", 5}, .rxDeviation = {true, "", 5}, .ambientNoiseLevel = {true, "", 6}};
    s.capcodes[0] = {true, "0000100", 0};
    s.capcodes[6] = {true, "0000700", 1};
    s.capcodes[7] = {true, "0000800", 4};

    for (const char* reply : {"2.90*\r", "2.99*\r", "Ver. 3.20 (x)*\r"}) {
        SCOPED_TRACE(reply);
        EXPECT_EQ(lines(BuildSpeakerProgram(s, version(reply), true)),
                  (std::vector<std::string>{"PF4575000", "?C9", "PC90000000", "PB0", "PSS236", "PC10000100", "PV10",
                                            "PC70000700", "PV71", "PC80000800", "PV84"}));
    }
    const auto without = BuildSpeakerProgram(s, version("2.90*\r"), false);
    EXPECT_EQ(lines(without), (std::vector<std::string>{"PF4575000", "?C9", "PB0", "PSS236", "PC10000100", "PV10"}));
    EXPECT_EQ(SpeakerProgressSteps(without), 5);
}
