#include "ConsoleHarness.h"

#include <algorithm>

#include "CommPort.h"
#include "KS_Clock.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Paging.h"
#include "KS_String.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"

PagerRecord MakeUser(const TestUser& user)
{
    PagerRecord record = FreePagerRecord();
    record.PagerNo = ZeroPad(user.number, 3);
    record.UserName = PadRight(user.name, 20);
    record.Capcode = ZeroPad(1000000 + user.number, 7);
    record.PagerType = user.type;
    record.Baud = "2";
    record.Phone = PadRight("", 20);
    record.Format = "P";
    record.Mode = "0";
    record.GroupFlag = user.groupFlag;
    record.InUse = "Y";
    return record;
}

PagerRecord StoredUser(int number)
{
    PagerRecord record;
    EXPECT_EQ(ReadRecordAt(DataFilePath("Pager.DBS"), number, record), FileError::None);
    return record;
}

void PrepareConsoleSettings(const std::vector<TestUser>& users, bool withDatabase)
{
    if (withDatabase) {
        MakeDataFolder();
        CreateEmptyPagerDatabase();
        for (const auto& user : users)
            WriteRecordAt(DataFilePath("Pager.DBS"), user.number, MakeUser(user));
        gDatabaseFound = true;
    }
    gConnectionType = 1;
    gSerialPort = 1;
    gComSettings = "38400,N,8,1";
}

void SilenceEveryLine(sim::Engine& engine)
{
    engine.AddFault({sim::FaultKind::Silence, ".*", sim::MatchMode::Regex, 5, {}, 0, 0});
}

ScheduleEntry& SchedulePageDueNow()
{
    gSchedule.assign(700, ScheduleEntry{});
    ScheduleEntry& entry = gSchedule[0];
    entry.Time = "09:05 AM";
    entry.Pager = "005";
    entry.AlertType = 3;
    entry.Active = -1;
    SetClockForTest([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 5, 0)).toUTC(); });
    return entry;
}

QStringList ColumnTexts(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

ConsoleHarness::ConsoleHarness(const std::vector<TestUser>& users, bool withDatabase)
{
    PrepareConsoleSettings(users, withDatabase);
    InstallTickPump();
}

ConsoleHarness::~ConsoleHarness()
{
    form_.reset();
    SetYieldHook({});
    ResetLinkReceiver();
}

KS_MainForm& ConsoleHarness::Load() { return Load(std::make_unique<SimBackend>(engine)); }

KS_MainForm& ConsoleHarness::Load(std::unique_ptr<SerialBackend> backend)
{
    form_ = std::make_unique<KS_MainForm>(std::make_unique<CommPort>(std::move(backend)));
    form_->Form_Load();
    SetStatusSink([this, display = CurrentStatusSink()](const std::string& text, bool isError, int beeps) {
        statusLog.push_back({text, isError, beeps});
        display(text, isError, beeps);
    });
    HostLines(); // what start-up said is not what the test asks about
    return *form_;
}

void ConsoleHarness::Select(const std::vector<std::string>& pagerNumbers)
{
    QTreeWidget* users = form_->lvwUsers;
    users->clearSelection();
    for (int i = 0; i < users->topLevelItemCount(); ++i)
        for (const auto& number : pagerNumbers)
            if (users->topLevelItem(i)->text(1) == ToQString(number))
                users->topLevelItem(i)->setSelected(true);
    form_->lvwUsers_DblClick();
}

Lines ConsoleHarness::HostLines()
{
    Lines lines;
    const auto& transcript = engine.Transcript();
    for (; transcriptSeen_ < transcript.size(); ++transcriptSeen_) {
        std::string line = transcript[transcriptSeen_].bytes;
        line.erase(line.find_last_not_of('\r') + 1); // npos + 1 clears a line of CRs only
        if (transcript[transcriptSeen_].fromHost && !line.empty())
            lines.push_back(line);
    }
    return lines;
}

Lines ConsoleHarness::Pages()
{
    Lines pages;
    for (auto& line : HostLines())
        if (line[0] == 'P')
            pages.push_back(line);
    return pages;
}

void ConsoleHarness::ActAtYield(int n, std::function<void()> act)
{
    yields = 0;
    SetYieldHook([this, n, act = std::move(act)] {
        AdvanceTick();
        PollEncoderReply();
        if (++yields == n) {
            actedInConversation = LinkConversation::ConversationActive();
            act();
        }
    });
}

bool ConsoleHarness::Reported(const std::string& text, bool isError) const
{
    return std::any_of(statusLog.begin(), statusLog.end(),
                       [&](const StatusReport& r) { return r.text == text && r.isError == isError; });
}
