// The table engine on the fast-key table against the simulated encoder.
#include "KS_TextTables.h"
#include "TableFixture.h"

using Lines = std::vector<std::string>;

namespace {

sim::Fault silence(const std::string& line) { return lastingFault(sim::FaultKind::Silence, line, sim::MatchMode::Exact); }

const std::string kOld = record("01 ", padded("Old text"));
const std::string kOlder = record("01 ", padded("Older text"));
const std::string kNoLink = "Communication with the QX9860 cannot be established. \r\nMake sure the QX9860 is powered "
                            "on, the COM port that is connected to the PC is set to Kestrane protocol, check COM "
                            "settings and connections.";

struct FastkeyRig : TableRig {
    FastkeyRig()
    {
        engine.SetMessageSlot('K', 1, padded("Front door"));
        engine.SetMessageSlot('K', 12, padded("Last key"));
    }
    // The whole downloaded table; the listed slots were never answered.
    static std::string table12(const std::vector<int>& unanswered)
    {
        std::string bytes;
        for (int slot = 1; slot <= 12; ++slot) {
            const std::string no = (slot < 10 ? "0" : "") + std::to_string(slot) + " ";
            const bool blank = std::find(unanswered.begin(), unanswered.end(), slot) != unanswered.end();
            bytes += blank ? unread(no) : record(no, padded(slot == 1 ? "Front door" : slot == 12 ? "Last key" : ""));
        }
        return bytes;
    }
    MessageTableEngine table = MakeTableEngine(FastkeyTable());
};

TEST(FastkeyEngine, AMissingFileIsDownloadedAskingOnUnansweredSlots)
{
    struct Case {
        std::vector<int> silent;
        std::vector<std::pair<std::int16_t, bool>> answers; // answer, "Don't ask me again"
        bool written;
    };
    const Case cases[] = {
        {{5}, {{kAnswerYes, false}}, true},
        {{3, 4}, {{kAnswerYes, true}}, true}, // asked once only
        {{3, 4}, {{kAnswerNo, false}}, false},
    };
    for (const Case& c : cases) {
        FastkeyRig t;
        for (int slot : c.silent)
            t.engine.AddFault(silence("K" + ZeroPad(slot, 2) + "?"));
        for (auto [answer, option] : c.answers)
            t.messages.Answer(answer, option);
        const auto records = t.table.Load();
        ASSERT_TRUE(records.has_value());
        EXPECT_TRUE(t.messages.queueEmpty());
        EXPECT_EQ(t.messages.texts().size(), 1u);
        const Lines lines = t.hostLines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "K0" + std::to_string(c.silent[0]) + "?"), 3);
        if (c.written) {
            EXPECT_EQ(readFile("PPM_Fastkey.DBS"), t.table12(c.silent));
            EXPECT_EQ(t.status.texts()[t.status.texts().size() - 2], "Downloading Message 12 ");
            continue;
        }
        EXPECT_FALSE(FileExists(DataFilePath("PPM_Fastkey.DBS")));
        EXPECT_EQ(records->size(), 12u); // the list still shows what was read
        EXPECT_EQ(records->at(1), record("02 ", padded("")));
        EXPECT_EQ(records->at(4), unread("05 ")); // numbered, not read after the No
        EXPECT_EQ(lines.back(), "K03?");
    }
}

TEST(FastkeyEngine, DownloadReplacesTheFileOnlyWhenWhole)
{
    struct Case {
        const char* name;
        std::function<void(FastkeyRig&)> arrange;
        std::int16_t answer; // to a retry question
        bool replaced;
        std::string firstMessage;
    };
    const Case cases[] = {
        {"silent unit", [](FastkeyRig& t) { t.engine.AddFault(silence("")); }, 0, false, kNoLink},
        {"unsupported", [](FastkeyRig&) { gEncoderSupportsFastkey = false; }, 0, false,
         "Connection to QX9860 cannot be established or Fastkey Messages option is not supported by the QX9860. "
         "\r\nThe QX9860 will not be updated."},
        {"No to the retry", [](FastkeyRig& t) { t.engine.AddFault(silence("K02?")); }, kAnswerNo, false,
         "Connection to QX9860 cannot be established. \r\nClick Yes to continue and retry to download from QX9860, "
         "No to cancel this operation."},
        {"silent after the probe",
         [](FastkeyRig& t) {
             t.engine.AddFault(lastingFault(sim::FaultKind::Silence, R"(K(0[1-9]|1\d)\?)", sim::MatchMode::Regex));
         },
         kAnswerYes, false, ""},
        {"whole", [](FastkeyRig&) {}, 0, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FastkeyRig t;
        writeFile("PPM_Fastkey.DBS", kOld);
        writeFile("PPM_Fastkey.BAK", kOlder);
        c.arrange(t);
        if (c.answer)
            t.messages.Answer(c.answer, true);
        t.messages.AnswerAlways(kAnswerOk);
        EXPECT_EQ(t.table.Download().has_value(), c.replaced);
        EXPECT_EQ(readFile("PPM_Fastkey.DBS"), c.replaced ? t.table12({}) : kOld);
        EXPECT_EQ(readFile("PPM_Fastkey.BAK"), c.replaced ? kOld : kOlder);
        if (!c.firstMessage.empty()) {
            EXPECT_EQ(t.messages.texts().at(0), c.firstMessage);
        }
        if (c.name == std::string("silent unit") || c.name == std::string("unsupported")) {
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
        Lines writes; // empty: twelve of them
        std::string message;
        bool done;
    };
    const std::string a = record("01 ", padded("Alpha")), b = record("02 ", padded("Bravo")),
                      c3 = record("03 ", padded("Charlie"));
    const std::string a1 = "K01" + padded("Alpha") + "W", b2 = "K02" + padded("Bravo") + "W",
                      stray = "K00" + padded("Stray") + "W";
    std::string full;
    for (int slot = 1; slot <= 14; ++slot)
        full += record(ZeroPad(slot, 2) + " ", padded("Key"));
    const Case cases[] = {
        {"short file", a + b, nullptr, {a1, b2}, "Only 2 messages were uploaded to the QX9860. ", true},
        {"never read", a + unread("02 ") + c3, nullptr, {a1, "K03" + padded("Charlie") + "W"},
         "Only 2 messages were uploaded to the QX9860. ", true},
        {"refused", a + b + c3, "K02", {a1, b2, b2, b2, b2}, kNoLink, false},
        {"slot 00 refused", a + record("   ", padded("Stray")), nullptr, {a1, stray, stray, stray, stray},
         "Only 1 messages were uploaded to the QX9860. ", true},
        {"more than the slots", full, nullptr, {}, "Only 12 messages were uploaded to the QX9860. ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FastkeyRig t;
        writeFile("PPM_Fastkey.DBS", c.file);
        if (c.refused)
            t.engine.AddFault(lastingFault(sim::FaultKind::Refuse, c.refused, sim::MatchMode::Prefix));
        t.messages.AnswerAlways(kAnswerOk);
        std::string info;
        int total = 0;
        EXPECT_EQ(t.table.Upload({[&](int n) { total = n; }, {}, [&](bool ok) { info = ok ? "Done" : "Canceled"; }}),
                  c.done);
        EXPECT_EQ(info, c.done ? "Done" : "Canceled");
        EXPECT_EQ(total, 12);
        EXPECT_EQ(t.messages.texts(), std::vector<std::string>{c.message});
        Lines writes;
        for (const auto& line : t.hostLines())
            if (line.ends_with("W"))
                writes.push_back(line);
        EXPECT_EQ(c.writes.empty() ? Lines(writes.begin(), writes.begin() + 1) : writes,
                  c.writes.empty() ? Lines{"K01" + padded("Key") + "W"} : c.writes);
        EXPECT_EQ(writes.size(), c.writes.empty() ? 12u : c.writes.size());
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
    EXPECT_EQ(readFile("PPM_Fastkey.DBS"), kOld + record("02 ", padded("Two")) + std::string(800, '\0') + edited);

    // Unacknowledged: No changes nothing, Yes keeps it in the file only.
    t.engine.AddFault(lastingFault(sim::FaultKind::Refuse, "K", sim::MatchMode::Prefix));
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
