// The free-text and wireless tables on the table engine against the simulated
// encoder of each layout family.
#include "KS_FreetextTable.h"
#include "KS_MessageLayouts.h"
#include "KS_WirelessTable.h"
#include "TableFixture.h"

using Lines = std::vector<std::string>;

namespace {

const std::string kFire = "FIRE                          ";
const std::string kEvac = "Evacuate west wing            ";
const std::string kBlank30(30, ' ');

// A unit of the letter and firmware, holding three slots of each table.
struct UnitRig : TableRig {
    UnitRig(char letter, const char* version)
    {
        engine.SetModel(letter);
        engine.EditProfile().version = version;
        engine.EditProfile().freetext.size = 3;
        engine.EditProfile().wireless.size = 3;
        DetectEncoder();
        engine.ClearTranscript();
        // The data folder outlives a rig; each starts without the tables' files.
        std::remove(DataFilePath("PPM_Freetext.DBS").c_str());
        std::remove(DataFilePath("PPM_Wireless.DBS").c_str());
    }
    // The slot reads of a table, the size query left out.
    Lines reads(const std::string& letter)
    {
        Lines out;
        for (const auto& line : hostLines())
            if (line.starts_with(letter) && line.ends_with("?") && line.find_first_not_of("0", 1) != line.size() - 1)
                out.push_back(line);
        return out;
    }
    Lines writes()
    {
        Lines out;
        for (const auto& line : hostLines())
            if (line.ends_with("W"))
                out.push_back(line);
        return out;
    }
};

std::string freetextRecord(const std::string& no, const std::string& pager, const std::string& keyword,
                           const std::string& message, bool replace)
{
    return no + pager + keyword + message + (replace ? std::string("\xff\xff", 2) : std::string(2, '\0'))
        + std::string(2, '\0');
}

} // namespace

TEST(FreetextTable, DownloadFillsEachLayoutsFieldsAndWritesNoReadsToOldX)
{
    struct Case {
        char letter;
        const char* version;
        std::string second; // record 2 of the file
        Lines reads;
    };
    const Lines all = {"F01?", "F02?", "F03?"};
    const Case cases[] = {
        {'Y', "2.10", freetextRecord("02 ", "012", kFire, kBlank30, false), all},
        {'R', "1.00", freetextRecord("02 ", "012", kFire, kEvac, true), all},
        {'X', "3.1", freetextRecord("02 ", "012", kFire, kEvac, true), all},
        {'B', "2.10", freetextRecord("02 ", "012", kFire, kBlank30, false), all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + c.version);
        UnitRig t(c.letter, c.version);
        t.engine.PutFreetext(2, {.keyword = kFire, .pager = 12, .message = kEvac, .replace = true});
        MessageTableEngine table = MakeFreetextEngine();
        ASSERT_TRUE(table.Load().has_value());
        const std::string file = readFile("PPM_Freetext.DBS");
        ASSERT_EQ(file.size(), 210u);
        EXPECT_EQ(file.substr(70, 70), c.second);
        EXPECT_EQ(file.substr(0, 36), "01 000" + std::string(30, ' '));
        EXPECT_EQ(t.reads("F"), c.reads);
    }

    // X below 3.1: nothing is read; each slot is asked about until the box is ticked.
    UnitRig old('X', "3.09");
    old.messages.Answer(kAnswerYes);
    old.messages.Answer(kAnswerYes, true);
    MessageTableEngine table = MakeFreetextEngine();
    ASSERT_TRUE(table.Load().has_value());
    EXPECT_EQ(old.messages.texts().size(), 2u);
    EXPECT_EQ(old.reads("F"), Lines{});
    const std::string unread = freetextRecord("", std::string(3, '\0'), std::string(30, '\0'), std::string(30, '\0'),
                                              false);
    EXPECT_EQ(readFile("PPM_Freetext.DBS"), "01 " + unread + "02 " + unread + "03 " + unread);
}

TEST(FreetextTable, UploadWritesEachLayoutFromTheStoredEntries)
{
    const std::string file = freetextRecord("01 ", "000", kFire, "  Lead                        ", false)
        + freetextRecord("02 ", std::string(3, '\0'), std::string(30, '\0'), std::string(30, '\0'), false)
        + "03 007" + kFire + kEvac + std::string("\x01\x00\x00\x00", 4);
    struct Case {
        char letter;
        const char* version;
        Lines lines;
    };
    const Case cases[] = {
        {'Y', "2.10", {"F01" + kFire + "0000W", "F03" + kFire + "0071W"}},
        {'X', "3.09", {"F01" + kFire + "0000W", "F03" + kFire + "0071W"}},
        {'X', "3.10", {"F01" + kFire + "000" + "Lead                          " + "N0W", "F03" + kFire + "007" + kEvac + "Y1W"}},
        {'B', "2.10", {"F01000" + kFire + "W", "F03007" + kFire + "W"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + c.version);
        UnitRig t(c.letter, c.version);
        writeFile("PPM_Freetext.DBS", file);
        t.messages.AnswerAlways(kAnswerOk);
        EXPECT_TRUE(MakeFreetextEngine().Upload());
        EXPECT_EQ(t.writes(), c.lines);
        EXPECT_EQ(t.messages.texts(), Lines{"Only 2 messages were uploaded to the " + gEncoderModelName + ". "});
    }
}

TEST(WirelessTable, DownloadFillsEachLayoutsFields)
{
    struct Case {
        char letter;
        const char* version;
        std::string second; // bytes 3..54 of record 2
    };
    const std::string nul3(3, '\0'), nul7(7, '\0');
    const Case cases[] = {
        {'B', "2.10", "005" + kEvac + "15" + "123" + "000" + "Y" + "0" + nul7 + "4"},
        {'Y', "2.10", "005" + kEvac + "15" + "123" + "456" + "Y" + "7" + nul7 + "0"},
        {'X', "3.159", "005" + kEvac + "15" + "123" + "456" + "Y" + "7" + nul7 + "0"},
        {'X', "3.16", "005" + kEvac + "15" + nul3 + nul3 + "Y" + "7" + "0001123" + "2"},
        {'R', "1.05", "005" + kEvac + "15" + nul3 + nul3 + "Y" + "7" + "0001123" + "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + c.version);
        UnitRig t(c.letter, c.version);
        t.engine.PutWireless(2, {.message = kEvac, .pager = 5, .deviceCode = 1123, .cancelCode = 456,
                                 .repeatMinutes = 15, .plan = 7, .supervised = true, .call = c.letter == 'R' ? 'T' : 'C'});
        ASSERT_TRUE(MakeWirelessEngine().Load().has_value());
        const std::string file = readFile("PPM_Wireless.DBS");
        ASSERT_EQ(file.size(), 330u);
        EXPECT_EQ(file.substr(110, 3), "002");
        EXPECT_EQ(file.substr(113, 51), c.second);
        EXPECT_EQ(t.reads("W"), (Lines{"W001?", "W002?", "W003?"}));
    }
}

TEST(WirelessTable, UploadDerivesTheMissingCodeAndRefusesLongCodesOnShortLayoutsBeforeSending)
{
    // Slot 1 read on a short-code unit, slot 2 saved by the dialog with a long code only.
    const WirelessMessageRecord readShort{.Slot = "001", .Pager = "005", .Message = kEvac, .RepeatMinutes = "15",
                                          .DeviceCode = "123", .CancelDeviceCode = "000", .Supervised = "Y",
                                          .ActivationPlan = "0", .CallType = "4"};
    WirelessMessageRecord savedLong = MakeWirelessRecord(
        WirelessLayout::D, {.slot = 2, .deviceCode = "456", .pager = "0", .message = "Door", .callType = 3});
    struct Case {
        char letter;
        const char* version;
        const char* longCode;
        Lines lines;
        Lines texts;
    };
    const std::string door = "Door                          ";
    const Case cases[] = {
        {'B', "2.10", "0000456", {"W001005" + kEvac + "15123YW", "W002000" + door + "00456NW"}, {}},
        {'Y', "2.10", "0000456", {"W001" + kEvac + "005123000150Y1W", "W002" + door + "000456000000N0W"}, {}},
        {'X', "3.16", "0000456", {"W001" + kEvac + "0050000123150YN1W", "W002" + door + "0000000456000NN0W"}, {}},
        {'X', "3.2", "0000456", {"W001" + kEvac + "0050000123150Y11W", "W002" + door + "0000000456000NT0W"}, {}},
        {'Y', "2.10", "0001000", {},
         {"Device code 1000 of device 002 cannot be sent to the QX8140E, which takes device codes of up to 999. "
          "Nothing was sent to the QX8140E."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + c.version + c.longCode);
        UnitRig t(c.letter, c.version);
        savedLong.DeviceCodeLong = c.longCode;
        if (std::string(c.longCode) == "0001000")
            savedLong.DeviceCode = std::string(3, '\0');
        writeFile("PPM_Wireless.DBS", EncodeRecord(readShort) + EncodeRecord(savedLong));
        t.messages.AnswerAlways(kAnswerOk);
        EXPECT_EQ(MakeWirelessEngine().Upload(), c.texts.empty());
        EXPECT_EQ(t.writes(), c.lines);
        if (!c.texts.empty()) {
            EXPECT_EQ(t.messages.texts(), c.texts);
        }
    }
}
