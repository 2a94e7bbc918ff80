// Whole operator tasks against an encoder that misbehaves: silence, refusals,
// noise, a lost CR, NULs, and a device that disappears part-way. After each
// the console must still be working (the next page goes through once the
// fault is gone), must have said what happened, and must have left every
// data file as it was or replaced it whole.
#include <QDir>
#include <map>

#include "ConsoleHarness.h"
#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_PagingCodes.h"
#include "LinkSimBackend.h"

namespace {

using sim::Fault;
using sim::FaultKind;
using sim::MatchMode;
using Snapshot = std::map<std::string, std::size_t>;

// Every file of the data folder with a hash of its bytes: a changed, added or
// removed file shows by name when two snapshots differ.
Snapshot snapshotDataFolder()
{
    Snapshot files;
    for (const QString& name : QDir(QString::fromStdString(gDataFolder)).entryList(QDir::Files))
        files[name.toStdString()] = std::hash<std::string>{}(ReadBytes(DataFilePath(name.toStdString())));
    return files;
}

Fault fault(FaultKind kind, std::string pattern, int times = 1, std::size_t position = 0)
{
    return {kind, std::move(pattern), MatchMode::Regex, 5, {}, position, times};
}

struct FaultInjection : testing::Test {
    explicit FaultInjection(bool unpluggable = false)
    {
        if (unpluggable) {
            auto line = std::make_unique<UnpluggableLine>(harness.engine);
            adapter = line.get();
            form = &harness.Load(std::move(line));
        } else {
            form = &harness.Load();
        }
        before = snapshotDataFolder();
        // The self-closing cannot-send notice and the retry question.
        harness.messages.AnswerAlways(kAnswerTimedOut);
    }

    void send(const std::vector<std::string>& pagers, const std::string& text)
    {
        harness.statusLog.clear();
        harness.Select(pagers);
        form->txtMessage->setPlainText(QString::fromStdString(text));
        form->cmdSendPage->click();
    }

    int acceptedPagesTo(int pagerNo, const std::string& text) const
    {
        int n = 0;
        for (const auto& page : harness.engine.Pages())
            n += page.pagerNo == pagerNo && page.text == text && page.accepted;
        return n;
    }

    int cannotSendNotices() const
    {
        int n = 0;
        for (const auto& text : harness.messages.texts())
            n += text.find("is unable to send pages.") != std::string::npos;
        return n;
    }

    // The fault is gone: the next page is acknowledged and reported as sent.
    void expectNextPageGoesThrough(const std::string& text)
    {
        harness.engine.ClearFaults();
        send({"003"}, text);
        EXPECT_TRUE(harness.Reported("Page sent !", false)) << text;
        EXPECT_EQ(acceptedPagesTo(3, text), 1) << text;
        EXPECT_EQ(LastStatusReport().text, "Please select a user to page ...");
        EXPECT_EQ(snapshotDataFolder(), before);
    }

    ConsoleHarness harness{{{1, "Alpha", "A"}, {2, "Bravo", "A"}, {3, "Charlie", "A"}}};
    KS_MainForm* form = nullptr;
    UnpluggableLine* adapter = nullptr;
    Snapshot before;
};

} // namespace

TEST_F(FaultInjection, APageNotTakenIsReportedTheUserLeavesTheSelectionAndTheNextPageGoesThrough)
{
    const struct {
        Fault fault;
        const char* text;
        int notices; // the cannot-send notice comes twice when nothing answers at all
    } cases[] = {
        // Pages unanswered while the probe still is: the unit is there but will not take them.
        {fault(FaultKind::Silence, "P.*", 0), "silence", 0},
        {fault(FaultKind::Refuse, "P001.*", 0), "refused", 0},
        {fault(FaultKind::Silence, ".*", 0), "unplugged", 2}, // not even the probe is answered
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const int noticesBefore = cannotSendNotices();
        harness.engine.AddFault(c.fault);
        send({"001"}, c.text);
        EXPECT_EQ(harness.Reported("Page rejected !", true), c.notices == 0);
        EXPECT_EQ(cannotSendNotices() - noticesBefore, c.notices);
        EXPECT_FALSE(harness.Reported("Page sent !", false));
        EXPECT_EQ(form->lvwSelectedUsers->topLevelItemCount(), 0);
        expectNextPageGoesThrough(std::string("after ") + c.text);
    }
}

TEST_F(FaultInjection, NoiseNulsAFloodAndALostCrInTheAcknowledgementCostARetryAndNothingElse)
{
    Fault flood = fault(FaultKind::Garbage, "P001.*", 1, Fault::kEnd);
    for (int i = 0; i < 20000; ++i)
        flood.bytes.push_back(static_cast<char>(i % 13 == 0 ? 0 : 'A' + i % 26)); // no line end anywhere
    // A line that still ends in "*" CR acknowledges the page at once; any other
    // spoilt acknowledgement is answered by the sender's own retry, which the
    // unit takes as a second page. Either way the page went: "Page sent !".
    const struct {
        Fault fault;
        const char* text;
        int held; // pages the unit took
    } cases[] = {
        {fault(FaultKind::Garbage, "P001.*", 1, 0), "noise before", 1},
        {fault(FaultKind::Garbage, "P001.*", 1, Fault::kEnd), "noise inside", 2},
        {fault(FaultKind::Nuls, "P001.*", 1, 0), "nuls before", 1},
        {fault(FaultKind::Nuls, "P001.*", 1, Fault::kEnd), "nuls inside", 2},
        {fault(FaultKind::MissingCR, "P001.*", 1), "no cr", 2},
        {fault(FaultKind::Garbage, "", 3, 0), "noisy probes", 1}, // the second attempt's probe is answered
        {flood, "flooded", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        harness.engine.AddFault(c.fault);
        const std::size_t boxes = harness.messages.shown().size();
        send({"001"}, c.text);
        EXPECT_EQ(acceptedPagesTo(1, c.text), c.held);
        EXPECT_TRUE(harness.Reported("Page sent !", false));
        EXPECT_FALSE(harness.Reported("Page rejected !", true));
        EXPECT_EQ(harness.messages.shown().size(), boxes);
        EXPECT_EQ(form->lvwSelectedUsers->topLevelItemCount(), 0);
        expectNextPageGoesThrough(std::string("after ") + c.text);
    }
}

struct UnpluggedAdapter : FaultInjection {
    UnpluggedAdapter()
        : FaultInjection(true)
    {
    }
};

TEST_F(UnpluggedAdapter, ADeviceLostInTheMiddleOfABatchIsReportedAndFoundAgain)
{
    // The adapter is pulled while the unit takes the second page of the batch.
    int pulls = 0;
    harness.engine.AddCommand(R"(P002[\s\S]*)", [this, &pulls](sim::Engine&, const std::smatch&, std::int64_t) {
        if (pulls++ == 0)
            adapter->unplugged = true;
        return sim::Engine::Reply("*\r");
    });
    send({"001", "002", "003"}, "batch");
    EXPECT_EQ(acceptedPagesTo(1, "batch"), 1);
    EXPECT_FALSE(form->comUnitConnect->PortOpen());
    // Two notices for each page that could not go: the second and the third.
    EXPECT_EQ(cannotSendNotices(), 4);
    EXPECT_EQ(acceptedPagesTo(3, "batch"), 0);
    EXPECT_EQ(form->lvwSelectedUsers->topLevelItemCount(), 0);
    EXPECT_TRUE(form->cmdLastPage->isEnabled());

    // Plugged back in: the next page finds the device again.
    adapter->unplugged = false;
    expectNextPageGoesThrough("back again");
    EXPECT_TRUE(form->comUnitConnect->PortOpen());
}

TEST_F(UnpluggedAdapter, AUserTableTransferCutByAPulledAdapterLeavesTheFilesAsTheyWere)
{
    for (int n : {1, 2, 3}) // the unit holds the three users of the directory
        ASSERT_TRUE(harness.engine.PutUser(*BuildEncoderUserRecord(MakeUser({n, "Unit", "A"}))));
    const struct {
        const char* what;
        bool upload;
        std::string read; // the line at which the adapter is pulled
    } cases[] = {
        {"pulled in the download", false, R"(\?002N)"},
        {"pulled in the upload", true, R"(A002[\s\S]*)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        harness.engine.AddCommand(c.read, [this](sim::Engine&, const std::smatch&, std::int64_t) {
            adapter->unplugged = true;
            return sim::Engine::Reply("*\r");
        });
        harness.statusLog.clear();
        const std::size_t boxes = harness.messages.shown().size();
        c.upload ? form->UploadPagerDatabase() : form->DownloadPagerDatabase();
        EXPECT_EQ(snapshotDataFolder(), before);
        EXPECT_GT(harness.messages.shown().size(), boxes); // the operator is told
        adapter->unplugged = false;
        harness.engine.AddCommand(c.read, {}); // the unit answers normally again
        expectNextPageGoesThrough(std::string("after ") + c.what);
    }
}

// ---- Tone downloads through the link as the program installs it ----------------------

namespace {

struct ToneDownload : UnpluggedAdapter {
    ToneDownload()
    {
        harness.engine.EditProfile().toneGenerator = true;
        harness.engine.EditProfile().calendarEventsPerDay = 3;
        // "?E" + day + event: time 09:30, alert 5, length 4, level 2, active, zone 07.
        harness.engine.AddCommand(R"(\?E(\d{3}))", [this](sim::Engine&, const std::smatch& m, std::int64_t) {
            adapter->unplugged |= m[1].str() == pullAt;
            return sim::Engine::Reply("E" + m[1].str() + "0930542Y07*\r");
        });
        // "?CD" + month + day: three events of alert type 5 at 09:30 in zone 012.
        harness.engine.AddCommand(R"(\?CD(\d{4})\?)", [this](sim::Engine&, const std::smatch& m, std::int64_t) {
            adapter->unplugged |= m[1].str() == pullAt;
            return sim::Engine::Reply("C" + m[1].str() + "0930012051201Y0930012051201Y0930012051201Y*\r");
        });
        harness.messages.AnswerAlways(0); // every box must be scripted below
    }
    // Event i of the week as written: read back, or left at its default.
    ToneScheduleEvent event(int i) const { return DecodeRecord<ToneScheduleEvent>(week.substr(i * 73, 73)); }
    bool isUnread(int i) const { return week.substr(i * 73, 73) == EncodeRecord(UnreadToneScheduleEvent(i % 48 + 1)); }
    std::string pullAt;
    std::string week;
};

} // namespace

TEST_F(ToneDownload, ASpoiltOrCutWeekStillWritesTheWholeFileAndCancellingWritesNone)
{
    // Noise on one event, NULs on another, silence on a third, and the adapter
    // pulled on Tuesday's tenth: those and all after the pull are kept unread,
    // never as default events; the operator agrees once to retry without
    // asking again, and is told that the week is not whole.
    harness.engine.AddFault(fault(FaultKind::Garbage, R"(\?E203)", 0, 3));
    harness.engine.AddFault(fault(FaultKind::Nuls, R"(\?E204)", 0, 2));
    harness.engine.AddFault(fault(FaultKind::Silence, R"(\?E205)", 0));
    pullAt = "310";
    harness.messages.Answer(kAnswerYes, true);
    harness.messages.Answer(kAnswerOk);
    ASSERT_TRUE(LoadToneSchedule(true));
    ASSERT_EQ(harness.messages.shown().size(), 2u);
    EXPECT_TRUE(harness.messages.texts()[1].find("did not send 282 of the 336 events") != std::string::npos)
        << harness.messages.texts()[1];
    EXPECT_EQ(LastStatusReport().text, "Ready");

    week = ReadBytes(DataFilePath("ToneGen.TGS"));
    ASSERT_EQ(week.size(), 336u * ToneScheduleEvent::kLength);
    EXPECT_EQ(event(0).Time, "09:30 AM");
    EXPECT_EQ(event(0).Zone, "07 ");
    EXPECT_TRUE(isUnread(2) && isUnread(3) && isUnread(4));
    EXPECT_EQ(event(5).AlertType, 5);
    EXPECT_EQ(event(48 + 8).Time, "09:30 AM");
    EXPECT_TRUE(isUnread(48 + 10) && isUnread(335));
    EXPECT_FALSE(PathExists(DataFilePath("ToneGen.TMP")));

    // The same download cancelled at the first silence leaves no file behind.
    adapter->unplugged = false;
    QFile::remove(QString::fromStdString(DataFilePath("ToneGen.TGS")));
    QFile::remove(QString::fromStdString(DataFilePath("ToneGen.BAK")));
    harness.messages.Answer(kAnswerNo);
    ASSERT_TRUE(LoadToneSchedule(true));
    expectNextPageGoesThrough("after the week");
}

TEST_F(ToneDownload, AnAdapterPulledDuringTheYearWritesAWholeCalendarOrNone)
{
    pullAt = "0210";
    harness.messages.Answer(kAnswerNo);
    bool created = false;
    QDate firstDay;
    ASSERT_TRUE(LoadToneCalendar(true, created, firstDay));
    EXPECT_FALSE(created);
    EXPECT_EQ(snapshotDataFolder(), before);

    adapter->unplugged = false;
    harness.messages.Answer(kAnswerYes, true);
    ASSERT_TRUE(LoadToneCalendar(true, created, firstDay));
    EXPECT_TRUE(created);
    const std::string file = ReadBytes(DataFilePath("ToneGenCalendar.TGC"));
    ASSERT_EQ(file.size(), 372u * 100 * CalendarEvent::kLength);
    const auto event = [&](int day, int e) {
        return DecodeRecord<CalendarEvent>(file.substr((day * 100 + e) * 68, 68));
    };
    EXPECT_EQ(event(0, 2).Zone, 12);
    EXPECT_EQ(event(39, 0).AlertType, 5); // 9 February, before the pull
    EXPECT_EQ(event(41, 0).AlertType, 1); // after it
    EXPECT_EQ(LastStatusReport().text, "Ready");
    before = snapshotDataFolder();

    adapter->unplugged = false;
    expectNextPageGoesThrough("after the pulled year");
}
