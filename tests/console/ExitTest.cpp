#include <QAction>
#include <QDialog>
#include <QEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>

#include "CommPort.h"
#include "ConsoleHarness.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Paging.h"
#include "KS_Registry.h"

namespace {

bool timersStopped(const KS_MainForm& form)
{
    return !form.tmrMinutes->isActive() && !form.tmrSeconds->isActive() && !form.tmrDelay->isActive();
}

// Notes the order in which windows close.
class CloseLog : public QObject {
public:
    std::vector<QString> closed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            closed.push_back(watched->objectName());
        return false;
    }
};

} // namespace

TEST(Exit, HangsUpClosesWindowsNewestFirstThenThePortAndSavesWhereTheHiddenWindowWas)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    harness.engine.EnableModem();
    gConnectionType = 2;
    gModemPort = 1;
    gModemPhone = "5551234";
    gShowHelpMessage = false;
    harness.messages.AnswerAlways(kAnswerOk); // no call is up while the console starts
    KS_MainForm& form = harness.Load();
    form.SetModemDialMode(true);
    ASSERT_TRUE(harness.engine.CallUp());
    harness.HostLines();
    CloseLog log;
    for (const char* name : {"first", "second"}) {
        auto* window = new QDialog(&form);
        window->setObjectName(name);
        window->installEventFilter(&log);
        form.OpenOwnedWindow(window, false);
    }
    form.move(300, 150);
    form.hide();

    form.ExitApplication();
    EXPECT_EQ(log.closed, (std::vector<QString>{"second", "first"}));
    EXPECT_FALSE(form.OpenerDisabled());
    const auto lines = harness.HostLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "+++");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "ATH0"), lines.end());
    EXPECT_FALSE(harness.engine.CallUp());
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
    EXPECT_TRUE(timersStopped(form));
    EXPECT_TRUE(ExitRequested());
    EXPECT_EQ(GetConfigSetting("LastX"), "4500");
    EXPECT_EQ(GetConfigSetting("LastY"), "2250");
    EXPECT_EQ(GetConfigSetting("ShowHelpMessage"), "0");
}

TEST(Exit, ChosenFromTheTrayDuringABatchItStopsTheBatchAndEndsOnceTheConversationIsOver)
{
    ConsoleHarness harness({{1, "Anna", "A"}, {2, "Bert", "A"}, {3, "Carl", "A"}});
    KS_MainForm& form = harness.Load();
    harness.Select({"001", "002", "003"});
    form.txtMessage->setPlainText("Fire drill");
    harness.messages.AnswerAlways(kAnswerOk);

    int yields = 0;
    bool exitChosenInsideConversation = false;
    SetYieldHook([&] {
        AdvanceTick();
        if (!gLinkBusy)
            PollEncoderReply();
        if (++yields == 60) {
            exitChosenInsideConversation = LinkConversation::ConversationActive();
            form.mnuPopupOptions[3]->trigger();
        }
    });
    form.cmdSendPage_Click();
    EXPECT_TRUE(exitChosenInsideConversation);
    EXPECT_TRUE(ExitRequested());

    std::vector<std::string> paged;
    for (const auto& line : harness.HostLines())
        if (line.rfind("P0", 0) == 0)
            paged.push_back(line.substr(0, 4));
    EXPECT_EQ(paged, (std::vector<std::string>{"P001"}));
    // Exit came during the second page's wait: that page gave up, the third never started.
    ASSERT_EQ(form.lvwSelectedUsers->topLevelItemCount(), 1);
    EXPECT_EQ(form.lvwSelectedUsers->topLevelItem(0)->text(0), "003");

    DoEvents(); // the exit runs once the conversation has unwound
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
    EXPECT_TRUE(timersStopped(form));
    EXPECT_FALSE(GetConfigSetting("LastX").empty());

    const int ticksAfterExit = yields;
    form.tmrSeconds_Timer();
    form.cmdSendPage_Click();
    EXPECT_TRUE(harness.HostLines().empty());
    EXPECT_LT(yields - ticksAfterExit, 10);
}
