// The table engine on the fast-key table against the simulated encoder.
#include "KS_SignBoardFile.h"
#include "KS_TextTables.h"
#include "TableFixture.h"

namespace {

sim::Fault silence(const std::string& line)
{
    return lastingFault(sim::FaultKind::Silence, line, sim::MatchMode::Exact);
}

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
            const std::string no = ZeroPad(slot, 2) + " ";
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
        std::int16_t answer;
        bool dontAsk, written;
    } cases[] = {{{5}, kAnswerYes, false, true}, {{3, 4}, kAnswerYes, true, true}, {{3, 4}, kAnswerNo, false, false}};
    for (const Case& c : cases) {
        FastkeyRig t;
        for (int slot : c.silent)
            t.engine.AddFault(silence("K" + ZeroPad(slot, 2) + "?"));
        t.messages.Answer(c.answer, c.dontAsk);
        const auto records = t.table.Load();
        ASSERT_TRUE(records.has_value());
        EXPECT_TRUE(t.messages.queueEmpty());
        EXPECT_EQ(t.messages.texts().size(), 1u); // asked once only
        const Lines lines = t.hostLines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "K0" + std::to_string(c.silent[0]) + "?"), 3);
        if (c.written) {
            EXPECT_EQ(readFile("PPM_Fastkey.DBS"), t.table12(c.silent));
            EXPECT_EQ(t.status.texts()[t.status.texts().size() - 2], "Downloading Message 12 ");
            continue;
        }
        EXPECT_FALSE(FileExists(DataFilePath("PPM_Fastkey.DBS")));
        ASSERT_EQ(records->size(), 12u); // the list still shows what was read
        EXPECT_EQ(records->at(1) + records->at(4), record("02 ", padded("")) + unread("05 "));
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
        if (c.answer == 0 && !c.replaced) {
            EXPECT_EQ(t.hostLines(), Lines{});
        }
    }
}

// Once "Don't ask me again" is ticked, a slot that stays unanswered while the
// unit does not answer the probe either ends the download: the file stays as
// it was (none is written on opening), and the operator gets the link message.
// A unit that answers the probe keeps the slot blank and the download goes on.
TEST(FastkeyEngine, AUnitGonePartWayEndsTheDownloadOnceTheQuestionIsSilencedAndAnAdapterPluggedBackIsHeard)
{
    for (const bool opening : {false, true}) {
        SCOPED_TRACE(opening ? "opening without a file" : "Download");
        FastkeyRig t;
        if (!opening)
            writeFile("PPM_Fastkey.DBS", kOld);
        SetStatusSink([&t](const std::string& text, bool, int) {
            if (text == "Downloading Message 05 ")
                t.engine.AddFault(lastingFault(sim::FaultKind::Silence, ".*", sim::MatchMode::Regex));
        });
        t.messages.Answer(kAnswerYes, true);
        t.messages.AnswerAlways(kAnswerOk);
        const auto records = opening ? t.table.Load() : t.table.Download();
        const Lines texts = t.messages.texts();
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_TRUE(texts[0].starts_with("Connection to QX9860 cannot be established. "));
        EXPECT_EQ(texts[1], kNoLink);
        const Lines lines = t.hostLines();
        EXPECT_EQ(lines.back(), "K06?"); // nothing asked after the slot that found the unit gone
        EXPECT_EQ(FileExists(DataFilePath("PPM_Fastkey.DBS")), !opening);
        if (!opening) {
            EXPECT_FALSE(records.has_value());
            EXPECT_EQ(readFile("PPM_Fastkey.DBS"), kOld);
            continue;
        }
        ASSERT_TRUE(records.has_value()); // the list shows what was read
        EXPECT_EQ(records->front(), record("01 ", padded("Front door")));
    }

    // An adapter pulled out at slot 5 and plugged back in at slot 6: the probe
    // after slot 6 opens the port again, and the rest of the table is read.
    FastkeyRig t;
    SetStatusSink([&t](const std::string& text, bool, int) {
        if (text.starts_with("Downloading Message 0"))
            t.adapter->unplugged = text == "Downloading Message 05 ";
    });
    t.messages.Answer(kAnswerYes, true);
    ASSERT_TRUE(t.table.Download().has_value());
    EXPECT_EQ(readFile("PPM_Fastkey.DBS"), t.table12({5, 6}));
}

TEST(FastkeyEngine, UploadSendsStoredRecordsInSlotOrderSkippingNeverReadOnes)
{
    struct Case {
        const char* name;
        std::string file;
        const char* refused;
        Lines writes; // the first of them
        std::size_t count;
        std::string message;
        bool done;
    };
    const std::string a = record("01 ", padded("Alpha")), b = record("02 ", padded("Bravo"));
    const std::string a1 = "K01" + padded("Alpha") + "W", b2 = "K02" + padded("Bravo") + "W",
                      stray = "K00" + padded("Stray") + "W";
    std::string full;
    for (int slot = 1; slot <= 14; ++slot)
        full += record(ZeroPad(slot, 2) + " ", padded("Key"));
    const Case cases[] = {
        {"short file", a + b, nullptr, {a1, b2}, 2, "Only 2 messages were uploaded to the QX9860. ", true},
        {"never read", a + unread("02 ") + b, nullptr, {a1, b2}, 2, "Only 2 messages were uploaded to the QX9860. ",
         true},
        {"refused", a + b + a, "K02", {a1, b2, b2, b2, b2}, 5, kNoLink, false},
        {"slot 00 refused", a + record("   ", padded("Stray")), nullptr, {a1, stray, stray, stray, stray}, 5,
         "Only 1 messages were uploaded to the QX9860. ", true},
        {"more than the slots", full, nullptr, {"K01" + padded("Key") + "W"}, 12,
         "Only 12 messages were uploaded to the QX9860. ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FastkeyRig t;
        writeFile("PPM_Fastkey.DBS", c.file);
        if (c.refused)
            t.engine.AddFault(lastingFault(sim::FaultKind::Refuse, c.refused));
        t.messages.AnswerAlways(kAnswerOk);
        std::string info;
        EXPECT_EQ(t.table.Upload({{}, {}, [&](bool ok) { info = ok ? "Done" : "Canceled"; }}), c.done);
        EXPECT_EQ(info, c.done ? "Done" : "Canceled");
        EXPECT_EQ(t.messages.texts(), Lines{c.message});
        const Lines writes = writesOnly(t.hostLines());
        ASSERT_EQ(writes.size(), c.count);
        EXPECT_EQ(Lines(writes.begin(), writes.begin() + static_cast<long>(c.writes.size())), c.writes);
    }
}

// A data folder out of reach is named as the folder when a table loads, and
// as the file when a slot is saved; the sign-board file names the file.
TEST(FastkeyEngine, FileErrorsNameTheFolderOnLoadAndTheFileOnSave)
{
    FastkeyRig t;
    gDataFolder += "/gone";
    t.messages.AnswerAlways(kAnswerOk);
    EXPECT_FALSE(t.table.Load());
    EXPECT_FALSE(t.table.SaveSlot(1, TableMessageCodec::EditedRecord(1, "Door")));
    std::vector<SignBoardMessage> signs;
    EXPECT_FALSE(LoadSignBoardTable(signs));
    const std::string access = " exists and that you have the appropriate access permissions.";
    EXPECT_EQ(t.messages.texts(), (Lines{"Please confirm that the folder " + PathInText(gDataFolder) + access,
                                         "Please confirm that the file " + PathInText(gDataFolder) + "/PPM_Fastkey.DBS" + access,
                                         "Please confirm that the file " + PathInText(gDataFolder) + "/SBMessages.DBS" + access}));
}

} // namespace
