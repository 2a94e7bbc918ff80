#include "ConsoleHarness.h"

#include <QTreeWidget>

#include "CommPort.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "LinkSimBackend.h"

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

ConsoleHarness::ConsoleHarness(const std::vector<TestUser>& users, bool withDatabase)
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
    SetYieldHook([] {
        AdvanceTick();
        if (!gLinkBusy)
            PollEncoderReply();
    });
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

std::vector<std::string> ConsoleHarness::HostLines()
{
    std::vector<std::string> lines;
    const auto& transcript = engine.Transcript();
    for (; transcriptSeen_ < transcript.size(); ++transcriptSeen_) {
        const auto& entry = transcript[transcriptSeen_];
        if (!entry.fromHost)
            continue;
        std::string line = entry.bytes;
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

bool ConsoleHarness::Reported(const std::string& text, bool isError) const
{
    for (const auto& report : statusLog)
        if (report.text == text && report.isError == isError)
            return true;
    return false;
}
