// The table engine on the fast-key table against the simulated encoder.
#include "KS_TextTables.h"
#include "TableFixture.h"

using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

sim::Fault silence(const std::string& line) { return lastingFault(sim::FaultKind::Silence, line, sim::MatchMode::Exact); }
sim::Fault refuse(const std::string& prefix)
{
    return lastingFault(sim::FaultKind::Refuse, prefix, sim::MatchMode::Prefix);
}

const std::string kOld = record("01 ", padded("Old text"));
const std::string kOlder = record("01 ", padded("Older text"));

struct FastkeyRig : TableRig {
    FastkeyRig()
    {
        engine.SetMessageSlot('K', 1, padded("Front door"));
        engine.SetMessageSlot('K', 12, padded("Last key"));
    }
    std::string expectedTable(const std::vector<int>& unreadSlots)
    {
        std::string bytes;
        for (int slot = 1; slot <= 12; ++slot) {
            const std::string no = (slot < 10 ? "0" : "") + std::to_string(slot) + " ";
            const bool isUnread = std::find(unreadSlots.begin(), unreadSlots.end(), slot) != unreadSlots.end();
            bytes += isUnread ? unread(no)
                : slot == 1   ? record(no, padded("Front door"))
                : slot == 12  ? record(no, padded("Last key"))
                              : record(no, std::string(30, ' '));
        }
        return bytes;
    }
    MessageTableEngine table = MakeTableEngine(FastkeyTable());
};

TEST(FastkeyEngine, MissingFileIsDownloadedWithUnansweredSlotsLeftBlank)
{
    FastkeyRig t;
    t.engine.AddFault(silence("K05?"));
    t.messages.Answer(kAnswerYes);
    const auto records = t.table.Load();
    ASSERT_TRUE(records.has_value());
    EXPECT_EQ(records->size(), 12u);
    EXPECT_EQ(readFile("PPM_Fastkey.DBS"), t.expectedTable({5}));
    EXPECT_FALSE(FileExists(DataFilePath("PPM_Fastkey.BAK")));
    const Lines lines = t.hostLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "K05?"), 3);
    EXPECT_EQ(lines.back(), "K12?");
    EXPECT_EQ(t.messages.texts().size(), 1u);
    EXPECT_EQ(t.status.texts()[t.status.texts().size() - 2], "Downloading Message 12 ");
    EXPECT_EQ(t.status.texts().back(), "Ready");
}

TEST(FastkeyEngine, DontAskAgainStopsTheQuestionsAndNoLeavesNoFile)
{
    FastkeyRig t;
    t.engine.AddFault(silence("K03?"));
    t.engine.AddFault(silence("K04?"));
    t.messages.Answer(kAnswerYes, true);
    ASSERT_TRUE(t.table.Load().has_value());
    EXPECT_EQ(t.messages.texts().size(), 1u);
    EXPECT_EQ(readFile("PPM_Fastkey.DBS"), t.expectedTable({3, 4}));

    std::remove(DataFilePath("PPM_Fastkey.DBS").c_str());
    t.messages.Answer(kAnswerNo);
    const auto partial = t.table.Load();
    ASSERT_TRUE(partial.has_value());
    EXPECT_EQ(partial->size(), 12u); // the list still shows what was read
    EXPECT_EQ(partial->at(1), record("02 ", std::string(30, ' ')));
    EXPECT_EQ(partial->at(4), unread("05 ")); // numbered, never read after the No
    EXPECT_FALSE(FileExists(DataFilePath("PPM_Fastkey.DBS")));
}

TEST(FastkeyEngine, DownloadReplacesTheFileOnlyWhenWhole)
{
    struct Case {
        const char* name;
        std::function<void(FastkeyRig&)> arrange;
        std::vector<std::int16_t> answers;
        bool replaced;
        std::string firstMessage;
        Lines lines;
    };
    const std::string noLink = "Communication with the QX9860 cannot be established. \r\nMake sure the QX9860 is powered "
                               "on, the COM port that is connected to the PC is set to Kestrane protocol, check COM "
                               "settings and connections.";
    const Case cases[] = {
        {"silent unit", [](FastkeyRig& t) { t.engine.AddFault(silence("")); }, {}, false, noLink, {}},
        {"unsupported", [](FastkeyRig&) { gEncoderSupportsFastkey = false; }, {}, false,
         "Connection to QX9860 cannot be established or Fastkey Messages option is not supported by the QX9860. "
         "\r\nThe QX9860 will not be updated.",
         {}},
        {"No to the retry", [](FastkeyRig& t) { t.engine.AddFault(silence("K02?")); }, {kAnswerNo}, false,
         "Connection to QX9860 cannot be established. \r\nClick Yes to continue and retry to download from QX9860, "
         "No to cancel this operation.",
         {}},
        {"silent after the probe",
         [](FastkeyRig& t) {
             t.engine.AddFault(
                 lastingFault(sim::FaultKind::Silence, R"(K(0[1-9]|1\d)\?)", sim::MatchMode::Regex));
         }, {kAnswerYes},
         false, "", {}},
        {"whole", [](FastkeyRig&) {}, {}, true, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FastkeyRig t;
        writeFile("PPM_Fastkey.DBS", kOld);
        writeFile("PPM_Fastkey.BAK", kOlder);
        c.arrange(t);
        for (auto answer : c.answers)
            t.messages.Answer(answer, true);
        t.messages.AnswerAlways(kAnswerOk);
        const auto records = t.table.Download();
        EXPECT_EQ(records.has_value(), c.replaced);
        if (c.replaced) {
            EXPECT_EQ(readFile("PPM_Fastkey.DBS"), t.expectedTable({}));
            EXPECT_EQ(readFile("PPM_Fastkey.BAK"), kOld);
        } else {
            EXPECT_EQ(readFile("PPM_Fastkey.DBS"), kOld);
            EXPECT_EQ(readFile("PPM_Fastkey.BAK"), kOlder);
        }
        if (!c.firstMessage.empty()) {
            ASSERT_FALSE(t.messages.texts().empty());
            EXPECT_EQ(t.messages.texts().front(), c.firstMessage);
        }
        if (std::string(c.name) == "silent unit" || std::string(c.name) == "unsupported") {
            EXPECT_EQ(t.hostLines(), Lines{});
        }
    }
}

TEST(FastkeyEngine, UploadSendsStoredRecordsInSlotOrderSkippingNeverReadOnes)
{
    struct Case {
        const char* name;
        std::string file;
        const char* refused;
        Lines lines;
        std::vector<std::string> texts;
        bool done;
        std::string info;
    };
    const std::string a = record("01 ", padded("Alpha")), b = record("02 ", padded("Bravo")),
                      c3 = record("03 ", padded("Charlie"));
    std::string full;
    for (int slot = 1; slot <= 14; ++slot)
        full += record((slot < 10 ? "0" : "") + std::to_string(slot) + " ", padded("Key"));
    const Case cases[] = {
        {"short file", a + b, nullptr, {"K01" + padded("Alpha") + "W", "K02" + padded("Bravo") + "W"},
         {"Only 2 messages were uploaded to the QX9860. "}, true, "Done !"},
        {"never read", a + unread("02 ") + c3, nullptr,
         {"K01" + padded("Alpha") + "W", "K03" + padded("Charlie") + "W"},
         {"Only 2 messages were uploaded to the QX9860. "}, true, "Done !"},
        {"refused", a + b + c3, "K02", {"K01" + padded("Alpha") + "W", "K02" + padded("Bravo") + "W", "K02" + padded("Bravo") + "W", "K02" + padded("Bravo") + "W", "K02" + padded("Bravo") + "W"},
         {"Communication with the QX9860 cannot be established. \r\nMake sure the QX9860 is powered on, the COM port "
          "that is connected to the PC is set to Kestrane protocol, check COM settings and connections."},
         false, "Canceled !"},
        {"slot 00 refused", a + record("   ", padded("Stray")), nullptr,
         {"K01" + padded("Alpha") + "W", "K00" + padded("Stray") + "W", "K00" + padded("Stray") + "W",
          "K00" + padded("Stray") + "W", "K00" + padded("Stray") + "W"},
         {"Only 1 messages were uploaded to the QX9860. "}, true, "Done !"},
        {"more than the slots", full, nullptr, {}, {"Only 12 messages were uploaded to the QX9860. "}, true,
         "Done !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FastkeyRig t;
        writeFile("PPM_Fastkey.DBS", c.file);
        if (c.refused)
            t.engine.AddFault(refuse(c.refused));
        t.messages.AnswerAlways(kAnswerOk);
        std::string info;
        int total = 0;
        int steps = 0;
        const bool done = t.table.Upload({[&](int n) { total = n; }, [&] { ++steps; },
                                          [&](bool ok) { info = ok ? "Done !" : "Canceled !"; }});
        EXPECT_EQ(done, c.done);
        EXPECT_EQ(info, c.info);
        EXPECT_EQ(total, 12);
        EXPECT_EQ(t.messages.texts(), c.texts);
        Lines writes;
        for (const auto& line : t.hostLines())
            if (line.ends_with("W"))
                writes.push_back(line);
        if (!c.lines.empty())
            EXPECT_EQ(writes, c.lines);
        else
            EXPECT_EQ(writes.size(), 12u);
    }
}

TEST(FastkeyEngine, SavingOneSlotSendsItAndWritesItInPlace)
{
    FastkeyRig t;
    writeFile("PPM_Fastkey.DBS", kOld + record("02 ", padded("Two")));
    const std::string edited = TableMessageCodec::EditedRecord(11, "  Lobby call  ");
    EXPECT_EQ(edited, record("11 ", padded("Lobby call")));
    ASSERT_TRUE(t.table.SaveSlot(11, edited));
    EXPECT_EQ(t.hostLines(), Lines{"K11" + padded("Lobby call") + "W"});
    EXPECT_EQ(t.engine.MessageTable('K').at(11), padded("Lobby call"));
    const std::string gap(8 * 100, '\0');
    EXPECT_EQ(readFile("PPM_Fastkey.DBS"), kOld + record("02 ", padded("Two")) + gap + edited);

    // Unacknowledged: Yes keeps it in the file only, No changes nothing.
    t.engine.AddFault(refuse("K"));
    const std::string before = readFile("PPM_Fastkey.DBS");
    t.messages.Answer(kAnswerNo);
    EXPECT_FALSE(t.table.SaveSlot(2, TableMessageCodec::EditedRecord(2, "Changed")));
    EXPECT_EQ(readFile("PPM_Fastkey.DBS"), before);
    t.messages.Answer(kAnswerYes);
    EXPECT_TRUE(t.table.SaveSlot(2, TableMessageCodec::EditedRecord(2, "Changed")));
    EXPECT_EQ(readFile("PPM_Fastkey.DBS").substr(100, 100), record("02 ", padded("Changed")));
    EXPECT_EQ(t.messages.texts().back(),
              "Connection to QX9860 cannot be established. Click Yes to continue and update the database on the hard "
              "drive only, No to cancel this operation.");
}

} // namespace
