// The speaker window in real time against the simulator program's speaker on
// a pseudo-terminal, with the main window's own timers and event loop.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QToolBar>
#include <gtest/gtest.h>

#include "../core/DataFileHelpers.h"
#include "ConsoleHarness.h"
#include "KS_Database.h"
#include "KS_GEN_SpeakerProgrammer.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Toolbar.h"

TEST(SpeakerRealLine, ReadsAndProgramsTheSimulatorSpeakerInBothViews)
{
    const QString transcript = qEnvironmentVariable("XDG_DATA_HOME") + "/transcript";
    QProcess simulator;
    simulator.start(PAGORA_SIM_PROGRAM, {"--device", "speaker", "--transcript", transcript});
    ASSERT_TRUE(simulator.waitForStarted(5000) && simulator.waitForReadyRead(5000));
    qputenv("PAGORA_COM1", simulator.readLine().trimmed());
    MakeDataFolder();
    ASSERT_TRUE(CreateEmptyPagerDatabase());
    gDatabaseFound = true;
    gConnectionType = 1;
    gSerialPort = 1;
    gComSettings = "38400,N,8,1";

    ScriptedMessages messages;
    {
        KS_MainForm form;
        form.Form_Load();
        auto* window = new KS_GEN_SpeakerProgrammer(&form);
        window->show();
        EXPECT_EQ(gEncoderModelName, "PA Speaker");
        QAction* advanced = ToolbarAction(window->tlbMenu, "cmdAdvanced");
        for (bool wide : {false, true}) {
            if (wide)
                advanced->trigger();
            window->ReadSpeakerSettings();
            EXPECT_EQ(window->txtVersion->text(), "3.14");
            EXPECT_EQ(window->txtRx1Frequency->text(), "457.5000");
            window->chkProgramCapcode[0]->setChecked(true);
            window->txtCapcode[0]->setText(wide ? "0004321" : "0001234");
            window->cmdProgram->click();
            EXPECT_EQ(window->lblInfo->text(), "Done !");
            window->ReadSpeakerSettings();
            EXPECT_EQ(window->txtCapcode[0]->text(), wide ? "0004321" : "0001234");
        }
        window->close();
    }
    EXPECT_TRUE(messages.shown().empty());
    const std::string written = ReadBytes(transcript.toStdString());
    EXPECT_NE(written.find("PC10001234"), std::string::npos);
    EXPECT_NE(written.find("PC10004321"), std::string::npos);
    qunsetenv("PAGORA_COM1");
    simulator.terminate();
    if (!simulator.waitForFinished(3000))
        simulator.kill();
}
