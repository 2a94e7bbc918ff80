// The free-text and wireless tables on the table engine against the simulated
// encoder of each layout family.
#include "KS_AlarmTable.h"
#include "KS_FreetextTable.h"
#include "KS_MessageLayouts.h"
#include "KS_TextTables.h"
#include "KS_WirelessTable.h"
#include "TableFixture.h"

namespace {

const std::string kFire = padded("FIRE");
const std::string kEvac = padded("Evacuate west wing");
const std::string kNul3(3, '\0'), kNul7(7, '\0');

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
    }
    // The slot reads of a table, the size query left out.
    Lines reads(char letter)
    {
        Lines out;
        for (const auto& line : hostLines())
            if (line[0] == letter && line.ends_with("?") && line.find_first_not_of("0", 1) != line.size() - 1)
                out.push_back(line);
        return out;
    }
};

std::string freetextRecord(const std::string& noPager, const std::string& keyword, const std::string& message,
                           const char* replace = "\0\0")
{
    return noPager + keyword + message + std::string(replace, 2) + std::string(2, '\0');
}

} // namespace

TEST(FreetextTable, DownloadFillsEachLayoutsFieldsAndWritesNoReadsToOldX)
{
    struct Case {
        char letter;
        const char* version;
        std::string second; // record 2 of the file
    } cases[] = {
        {'Y', "2.10", freetextRecord("02 012", kFire, padded(""))},
        {'R', "1.00", freetextRecord("02 012", kFire, kEvac, "\xff\xff")},
        {'X', "3.1", freetextRecord("02 012", kFire, kEvac, "\xff\xff")},
        {'B', "2.10", freetextRecord("02 012", kFire, padded(""))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + c.version);
        UnitRig t(c.letter, c.version);
        t.engine.PutFreetext(2, {.keyword = kFire, .pager = 12, .message = kEvac, .replace = true});
        ASSERT_TRUE(MakeFreetextEngine().Load().has_value());
        const std::string file = readFile("PPM_Freetext.DBS");
        ASSERT_EQ(file.size(), 210u);
        EXPECT_EQ(file.substr(70, 70), c.second);
        EXPECT_EQ(file.substr(0, 36), "01 000" + padded(""));
        EXPECT_EQ(t.reads('F'), (Lines{"F01?", "F02?", "F03?"}));
    }

    // X below 3.1: nothing is read, and the operator is told so once instead
    // of being asked about the link per slot; the slots open empty, no file is written.
    UnitRig old('X', "3.09");
    old.messages.AnswerAlways(kAnswerOk);
    const auto records = MakeFreetextEngine().Load();
    EXPECT_EQ(old.messages.texts(), Lines{"Freetext Messages cannot be read back from the QX9860. The list starts "
                                          "empty."});
    EXPECT_EQ(old.reads('F'), Lines{});
    const std::string unread = freetextRecord(kNul3, std::string(30, '\0'), std::string(30, '\0'));
    EXPECT_EQ(records, (std::vector{"01 " + unread, "02 " + unread, "03 " + unread}));
    EXPECT_FALSE(FileExists(DataFilePath("PPM_Freetext.DBS")));
}

TEST(FreetextTable, UploadWritesEachLayoutFromTheStoredEntries)
{
    const std::string file = freetextRecord("01 000", kFire, padded("  Lead"))
        + freetextRecord("02 " + kNul3, std::string(30, '\0'), std::string(30, '\0'))
        + freetextRecord("03 007", kFire, kEvac, "\x01\x00");
    struct Case {
        char letter;
        const char* version;
        Lines lines;
    } cases[] = {
        {'Y', "2.10", {"F01" + kFire + "0000W", "F03" + kFire + "0071W"}},
        {'X', "3.09", {"F01" + kFire + "0000W", "F03" + kFire + "0071W"}},
        {'X', "3.10", {"F01" + kFire + "000" + padded("Lead") + "N0W", "F03" + kFire + "007" + kEvac + "Y1W"}},
        {'B', "2.10", {"F01000" + kFire + "W", "F03007" + kFire + "W"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + c.version);
        UnitRig t(c.letter, c.version);
        writeFile("PPM_Freetext.DBS", file);
        t.messages.AnswerAlways(kAnswerOk);
        EXPECT_TRUE(MakeFreetextEngine().Upload());
        EXPECT_EQ(writesOnly(t.hostLines()), c.lines);
        EXPECT_EQ(t.messages.texts(), Lines{"Only 2 messages were uploaded to the " + gEncoderModelName + ". "});
    }
}

TEST(WirelessTable, DownloadFillsEachLayoutsFields)
{
    struct Case {
        char letter;
        const char* version;
        char call;
        std::string second; // bytes 3..54 of record 2
    };
    const auto longCode = [](const char* call) { return "005" + kEvac + "15" + kNul3 + kNul3 + "Y70001123" + call; };
    const Case cases[] = {
        {'B', "2.10", 'C', "005" + kEvac + "15" + "123" + "000" + "Y" + "0" + kNul7 + "4"},
        {'Y', "2.10", 'C', "005" + kEvac + "15" + "123" + "456" + "Y" + "7" + kNul7 + "0"},
        {'X', "3.159", 'C', "005" + kEvac + "15" + "123" + "456" + "Y" + "7" + kNul7 + "0"},
        {'X', "3.16", 'C', longCode("2")}, {'X', "3.16", 'N', longCode("4")},
        {'R', "1.05", 'T', longCode("3")}, {'X', "3.2", '4', longCode("7")},  {'X', "3.2", 'N', longCode("0")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + c.version + c.call);
        UnitRig t(c.letter, c.version);
        t.engine.PutWireless(2, {.message = kEvac, .pager = 5, .deviceCode = 1123, .cancelCode = 456,
                                 .repeatMinutes = 15, .plan = 7, .supervised = true, .call = c.call});
        ASSERT_TRUE(MakeWirelessEngine().Load().has_value());
        const std::string file = readFile("PPM_Wireless.DBS");
        ASSERT_EQ(file.size(), 330u);
        EXPECT_EQ(file.substr(110, 54), "002" + c.second);
        EXPECT_EQ(t.reads('W'), (Lines{"W001?", "W002?", "W003?"}));
    }
}

TEST(WirelessTable, UploadDerivesTheMissingCodeAndRefusesLongCodesOnShortLayoutsBeforeSending)
{
    // Slot 1 read on a short-code unit, slot 2 saved by the dialog with a long code only.
    const WirelessMessageRecord readShort{.Slot = "001", .Pager = "005", .Message = kEvac, .RepeatMinutes = "15",
                                          .DeviceCode = "123", .CancelDeviceCode = "000", .Supervised = "Y",
                                          .ActivationPlan = "0", .CallType = "4"};
    struct Case {
        char letter;
        const char* version;
        const char* deviceCode;
        Lines lines;
    };
    const std::string door = padded("Door");
    const Case cases[] = {
        {'B', "2.10", "456", {"W001005" + kEvac + "15123YW", "W002000" + door + "00456NW"}},
        {'Y', "2.10", "456", {"W001" + kEvac + "005123000150Y1W", "W002" + door + "000456000000N0W"}},
        {'X', "3.16", "456", {"W001" + kEvac + "0050000123150YN1W", "W002" + door + "0000000456000NN0W"}},
        {'X', "3.2", "456", {"W001" + kEvac + "0050000123150Y11W", "W002" + door + "0000000456000NT0W"}},
        {'Y', "2.10", "1000", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + c.version + c.deviceCode);
        UnitRig t(c.letter, c.version);
        const WirelessMessageRecord savedLong = MakeWirelessRecord(
            WirelessLayout::D, {.slot = 2, .deviceCode = c.deviceCode, .pager = "0", .message = "Door", .callType = 3});
        writeFile("PPM_Wireless.DBS", EncodeRecord(readShort) + EncodeRecord(savedLong));
        t.messages.AnswerAlways(kAnswerOk);
        EXPECT_EQ(MakeWirelessEngine().Upload(), !c.lines.empty());
        EXPECT_EQ(writesOnly(t.hostLines()), c.lines);
        if (c.lines.empty()) {
            EXPECT_EQ(t.messages.texts(), Lines{"Device code 1000 of device 002 cannot be sent to the QX8140E, which "
                                                "takes device codes of up to 999. Nothing was sent to the QX8140E."});
        }
    }
    // A call type that holds no digit goes out as none: "N" on C, "1" on D.
    WirelessMessageRecord noDigit = readShort;
    noDigit.CallType = std::string(1, '\0');
    EXPECT_EQ(WirelessWriteValue(WirelessLayout::C, noDigit)->substr(44), "N1");
    EXPECT_EQ(WirelessWriteValue(WirelessLayout::D, noDigit)->substr(44), "11");
}

// A line break that a record holds (pasted into a text, or a damaged file)
// would end the write early and make the rest a command of its own, here a
// page to pager 999. It goes as a space, on Upload and on a save, and the
// file keeps what it holds. The QX8XXX alarm status still goes as its code.
TEST(TableWrites, AControlCharacterInAStoredRecordGoesAsASpaceAndTheFileKeepsIt)
{
    const std::string fire = padded("FIRE\rP999X"), sent = padded("FIRE P999X");
    AlarmPointRecord point{.Point = "001", .Pager = "012", .Message = fire, .Status = "\x05", .RealTime = "000"};
    struct Case {
        const char* table;
        char letter;
        std::function<MessageTableEngine()> make;
        std::string record;
        std::string line;
    } cases[] = {
        {"fast keys", 'Y', [] { return MakeTableEngine(FastkeyTable()); }, record("01 ", fire), "K01" + sent + "W"},
        {"free text", 'Y', MakeFreetextEngine, freetextRecord("01 012", fire, padded("")), "F01" + sent + "0121W"},
        {"wireless", 'Y', MakeWirelessEngine,
         EncodeRecord(WirelessMessageRecord{.Slot = "001", .Pager = "005", .Message = fire, .RepeatMinutes = "15",
                                            .DeviceCode = "123", .CancelDeviceCode = "000", .Supervised = "Y",
                                            .ActivationPlan = "0"}),
         "W001" + sent + "005123000150Y1W"},
        {"alarm", 'A', MakeAlarmTableEngine, EncodeRecord(point), "Z001012" + sent + "\x05" + std::string(1, '\0') + "NW"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        UnitRig t(c.letter, "2.10");
        const std::string name = c.make().Params().dataFile;
        writeFile(name, c.record);
        t.messages.AnswerAlways(kAnswerOk);
        c.make().Upload();
        c.make().SaveSlot(1, c.record);
        EXPECT_EQ(writesOnly(t.hostLines()), (Lines{c.line, c.line}));
        EXPECT_TRUE(t.engine.Pages().empty());
        EXPECT_EQ(readFile(name).substr(0, c.record.size()), c.record);
    }
}

// A unit that answers the probe and then says nothing of itself lacks no
// table: every kind of table window opened without its file writes none, says
// the unit did not send it, and the next opening, the unit answering, reads
// the unit's slots.
TEST(EveryTableKind, AnIdentificationThatFellShortWritesNoFileAndTheNextOpeningAsksAgain)
{
    const struct {
        const char* file;
        const char* table;
        std::function<MessageTableEngine()> make;
        const char* slotRead; // how the unit is asked for a slot
    } kinds[] = {
        {"PPM_Fastkey.DBS", "Fastkey Messages", [] { return MakeTableEngine(FastkeyTable()); }, "K01?"},
        {"PPM_PABXDI.DBS", "PABX Messages", [] { return MakeTableEngine(PABXTable()); }, "C01?"},
        {"PPM_Freetext.DBS", "Freetext Messages", MakeFreetextEngine, nullptr},
        {"PPM_Alarm.DBS", "Alarm Messages", MakeAlarmTableEngine, nullptr},
        {"PPM_Wireless.DBS", "Wireless Devices Messages", MakeWirelessEngine, nullptr},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.file);
        TableRig t;
        MessageTableEngine table = kind.make();
        for (const char* identity : {"?000M", "P"})
            t.engine.AddFault(lastingFault(sim::FaultKind::Silence, identity, sim::MatchMode::Exact));
        t.messages.AnswerAlways(kAnswerOk);
        const auto shown = table.Load();
        ASSERT_TRUE(shown.has_value());
        EXPECT_TRUE(shown->empty());
        EXPECT_FALSE(FileExists(DataFilePath(kind.file)));
        // The name the identification gave the unit, as the tone files' downloads name it.
        EXPECT_EQ(t.messages.texts(), std::vector<std::string>{std::string("The QX8XXX did not send its ") + kind.table
                                                                + ". The file " + PathInText(DataFilePath(kind.file))
                                                                + " was not written."});

        t.engine.ClearFaults();
        t.hostLines();
        const auto read = table.Load();
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(static_cast<int>(read->size()), table.SlotCount());
        if (kind.slotRead) {
            EXPECT_TRUE(FileExists(DataFilePath(kind.file)));
            const Lines asked = t.hostLines();
            EXPECT_NE(std::find(asked.begin(), asked.end(), kind.slotRead), asked.end());
        }
    }
}

namespace {

struct TableKind {
    const char* table;
    std::function<MessageTableEngine()> make;
    const char* sizeRead; // how the unit is asked for the table's size
    char letter;          // a unit that has the table and, for alarms, no default size of its own
};

const TableKind kKinds[] = {
    {"Fastkey Messages", [] { return MakeTableEngine(FastkeyTable()); }, "K00?", 'X'},
    {"PABX Messages", [] { return MakeTableEngine(PABXTable()); }, "C00?", 'X'},
    {"Freetext Messages", MakeFreetextEngine, "F00?", 'X'},
    {"Wireless Devices Messages", MakeWirelessEngine, "W000?", 'X'},
    {"Alarm Messages", MakeAlarmTableEngine, "Z000?", 'E'},
};

} // namespace

// Upload identifies the unit again: one that said nothing of itself gets no
// line in a guessed layout, another unit (or other table rules) is named and
// gets nothing until Upload is given again, and the unit the table was loaded
// for gets the whole table.
TEST(EveryTableKind, UploadSendsOnlyToTheUnitTheTableWasLoadedFor)
{
    for (const TableKind& kind : kKinds) {
        SCOPED_TRACE(kind.table);
        UnitRig t(kind.letter, "3.2");
        MessageTableEngine table = kind.make();
        t.messages.AnswerAlways(kAnswerOk);
        ASSERT_TRUE(table.Load().has_value());
        ASSERT_TRUE(FileExists(table.DataPath()));
        // The boxes shown since the last call.
        std::size_t seen = t.messages.texts().size();
        const auto newBoxes = [&t, &seen] {
            const Lines all = t.messages.texts();
            const Lines fresh(all.begin() + static_cast<std::ptrdiff_t>(seen), all.end());
            seen = all.size();
            return fresh;
        };

        for (const char* identity : {"?000M", "P"})
            t.engine.AddFault(lastingFault(sim::FaultKind::Silence, identity, sim::MatchMode::Exact));
        t.hostLines();
        EXPECT_FALSE(table.Upload());
        EXPECT_EQ(writesOnly(t.hostLines()), Lines{});
        const Lines told = newBoxes();
        ASSERT_EQ(told.size(), 1u);
        EXPECT_TRUE(told[0].starts_with("Communication with the ")) << told[0];

        t.engine.ClearFaults();
        EXPECT_TRUE(table.Upload());
        EXPECT_FALSE(writesOnly(t.hostLines()).empty());
        newBoxes();

        t.engine.SetModel('B');
        EXPECT_FALSE(table.Upload());
        EXPECT_EQ(writesOnly(t.hostLines()), Lines{});
        EXPECT_EQ(newBoxes(), Lines{"The QX8240 answers now, not the unit these messages were loaded for. "
                                            "Nothing was sent: please check the messages and click Upload again."});
        EXPECT_TRUE(table.Upload());
        EXPECT_FALSE(writesOnly(t.hostLines()).empty());
        newBoxes();

        // A unit that says it lacks the table gets none of it, however often Upload is given
        // (a QX8240 has alarm points and a wireless table whatever it says of their sizes).
        if (kind.letter == 'E' || std::string_view(kind.sizeRead) == "W000?")
            continue;
        t.engine.AddFault(lastingFault(sim::FaultKind::Refuse, kind.sizeRead, sim::MatchMode::Exact));
        for (int given = 0; given < 2; ++given) {
            EXPECT_FALSE(table.Upload());
            EXPECT_EQ(writesOnly(t.hostLines()), Lines{});
            const Lines warned = newBoxes();
            ASSERT_EQ(warned.size(), 1u);
            EXPECT_TRUE(warned[0].starts_with("Connection to QX8240 cannot be established or ")) << warned[0];
        }
    }

    // The same unit telling another size of the table counts as other table rules.
    UnitRig t('X', "3.2");
    MessageTableEngine fastkeys = MakeTableEngine(FastkeyTable());
    t.messages.AnswerAlways(kAnswerOk);
    ASSERT_TRUE(fastkeys.Load().has_value());
    t.engine.EditProfile().fastkey.size = fastkeys.SlotCount() + 2;
    t.hostLines();
    EXPECT_FALSE(fastkeys.Upload());
    EXPECT_EQ(writesOnly(t.hostLines()), Lines{});
    EXPECT_TRUE(t.messages.texts().back().starts_with("The QX9860 answers now, not the unit"));
    EXPECT_TRUE(fastkeys.Upload());
}

// A unit busy through the size read has not said it lacks the table: no file
// of never-read slots is written, the operator is told, and the next opening
// asks again. A refusal still means the table is not there.
TEST(EveryTableKind, ASizeReadTheUnitLeftUnansweredWritesNoFileAndARefusalStillLacksTheTable)
{
    for (const TableKind& kind : kKinds) {
        SCOPED_TRACE(kind.table);
        {
            UnitRig t(kind.letter, "3.2");
            MessageTableEngine table = kind.make();
            t.engine.AddFault(lastingFault(sim::FaultKind::Silence, kind.sizeRead, sim::MatchMode::Exact));
            t.messages.AnswerAlways(kAnswerOk);
            const auto shown = table.Load();
            ASSERT_TRUE(shown.has_value());
            EXPECT_TRUE(shown->empty());
            EXPECT_FALSE(FileExists(table.DataPath()));
            EXPECT_EQ(t.messages.texts(), Lines{"The " + gEncoderModelName + " did not send its " + kind.table
                                                + ". The file " + PathInText(table.DataPath()) + " was not written."});

            t.engine.ClearFaults();
            ASSERT_TRUE(table.Load().has_value());
            EXPECT_TRUE(table.Supported());
            EXPECT_TRUE(FileExists(table.DataPath()));
        }
        UnitRig t(kind.letter, "3.2");
        MessageTableEngine table = kind.make();
        t.engine.AddFault(lastingFault(sim::FaultKind::Refuse, kind.sizeRead, sim::MatchMode::Exact));
        t.messages.AnswerAlways(kAnswerOk);
        ASSERT_TRUE(table.Load().has_value());
        EXPECT_FALSE(table.Supported());
        EXPECT_TRUE(FileExists(table.DataPath()));
        EXPECT_EQ(t.messages.texts(), Lines{});
    }

    // Where a size of the unit's own stands in for the unanswered one, the
    // slots are read: the alarm points of a unit of the extended layout.
    {
        UnitRig t('X', "3.2");
        MessageTableEngine alarms = MakeAlarmTableEngine();
        t.engine.AddFault(lastingFault(sim::FaultKind::Silence, "Z000?", sim::MatchMode::Exact));
        t.messages.AnswerAlways(kAnswerOk);
        ASSERT_TRUE(alarms.Load().has_value());
        EXPECT_TRUE(FileExists(alarms.DataPath()));
        EXPECT_EQ(t.messages.texts(), Lines{});
    }
    // A QX8240 keeps its wireless table, of no slots, when the size goes
    // unanswered: no empty file stands for it either.
    {
        UnitRig t('B', "3.2");
        MessageTableEngine wireless = MakeWirelessEngine();
        t.engine.AddFault(lastingFault(sim::FaultKind::Silence, "W000?", sim::MatchMode::Exact));
        t.messages.AnswerAlways(kAnswerOk);
        ASSERT_TRUE(wireless.Load().has_value());
        EXPECT_FALSE(FileExists(wireless.DataPath()));
        EXPECT_EQ(t.messages.texts().size(), 1u);
        // A unit that has no such table, identified next, is not taken for the busy one.
        t.engine.ClearFaults();
        t.engine.SetModel('A');
        ASSERT_TRUE(wireless.Load().has_value());
        EXPECT_FALSE(wireless.Supported());
        EXPECT_TRUE(FileExists(wireless.DataPath()));
        EXPECT_EQ(t.messages.texts().size(), 1u);
    }
}
