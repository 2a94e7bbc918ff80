// The whole console in real time against the simulator program on a
// pseudo-terminal: start-up reaches the encoder and a page is acknowledged.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "../core/DataFileHelpers.h"
#include "ConsoleHarness.h"
#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"

TEST(ConsoleEndToEnd, StartsAgainstTheSimulatorAndSendsAPage)
{
    const QString transcript = qEnvironmentVariable("XDG_DATA_HOME") + "/transcript";
    QProcess simulator;
    simulator.start(PAGORA_SIM_PROGRAM, {"--model", "X", "--transcript", transcript});
    ASSERT_TRUE(simulator.waitForStarted(5000) && simulator.waitForReadyRead(5000));
    // The simulator's first line names the terminal it serves.
    qputenv("PAGORA_COM1", simulator.readLine().trimmed());

    MakeDataFolder();
    ASSERT_TRUE(CreateEmptyPagerDatabase());
    ASSERT_EQ(WriteRecordAt(DataFilePath("Pager.DBS"), 3, MakeUser({3, "Front Desk", "A"})), FileError::None);
    gDatabaseFound = true;
    gConnectionType = 1;
    gSerialPort = 1;
    gComSettings = "38400,N,8,1";

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
    EXPECT_NE(ReadBytes(transcript.toStdString()).find("P003Visitor at the gate"), std::string::npos);
    qunsetenv("PAGORA_COM1");
    simulator.terminate();
    if (!simulator.waitForFinished(3000))
        simulator.kill();
}
