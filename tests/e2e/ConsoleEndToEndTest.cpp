// The whole console in real time against the simulator program on a
// pseudo-terminal: start-up reaches the encoder and a page is acknowledged.
#include "ConsoleHarness.h"
#include "SimulatorProcess.h"

TEST(ConsoleEndToEnd, StartsAgainstTheSimulatorAndSendsAPage)
{
    SimulatorProcess simulator({{3, "Front Desk", "A"}});
    ASSERT_TRUE(simulator.Started());

    ScriptedMessages messages;
    {
        KS_MainForm form; // the real port, the real timers and the real event loop
        form.Form_Load();
        EXPECT_EQ(form.lblConnectionStatus->text().left(13), "Connected to ");
        StatusLog status;
        ASSERT_EQ(form.lvwUsers->topLevelItemCount(), 1);
        form.lvwUsers->topLevelItem(0)->setSelected(true);
        form.lvwUsers_DblClick();
        form.txtMessage->setPlainText("Visitor at the gate");
        form.cmdSendPage->click();
        const auto reports = status.texts();
        EXPECT_NE(std::find(reports.begin(), reports.end(), "Page sent !"), reports.end());
    }
    EXPECT_NE(simulator.Transcript().find("P003Visitor at the gate"), std::string::npos);
}
