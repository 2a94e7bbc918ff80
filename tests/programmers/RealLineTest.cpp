// The clock's window in real time against the simulator program with the
// clock on its pseudo-terminal.
#include <QProcess>
#include <QPushButton>
#include <gtest/gtest.h>

#include "../core/DataFileHelpers.h"
#include "ConsoleHarness.h"
#include "KS_Database.h"
#include "KS_GEN_ClockProgrammer.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"

#ifdef PAGORA_SIM_PROGRAM

TEST(ProgrammerRealLine, TheClockWindowReadsAndProgramsTheSimulatedClock)
{
    const QString transcript = qEnvironmentVariable("XDG_DATA_HOME") + "/transcript";
    QProcess simulator;
    simulator.start(PAGORA_SIM_PROGRAM, {"--device", "clock", "--set", "F=4500000", "--transcript", transcript});
    ASSERT_TRUE(simulator.waitForStarted(5000) && simulator.waitForReadyRead(5000));
    qputenv("PAGORA_COM1", simulator.readLine().trimmed());
    MakeDataFolder();
    ASSERT_TRUE(CreateEmptyPagerDatabase());
    gDatabaseFound = true;
    gConnectionType = 1;
    gSerialPort = 1;
    gComSettings = "38400,N,8,1";

    ScriptedMessages messages;
    messages.AnswerAlways(kAnswerOk); // whatever start-up says of a clock where an encoder was expected
    {
        KS_MainForm form; // the real port, timers and event loop
        form.Form_Load();
        auto* window = new KS_GEN_ClockProgrammer(&form);
        form.OpenOwnedWindow(window, false);
        window->cmdRead->click();
        EXPECT_EQ(window->txtDevice->text(), "RL-CLK-xxxx");
        EXPECT_EQ(window->txtFrequency->text(), "450.0000");
        window->txtFrequency->setText("467.8125");
        window->cmdProgram->click();
        EXPECT_EQ(window->lblInfo->text(), "Done !");
        window->close();
    }
    EXPECT_NE(ReadBytes(transcript.toStdString()).find("> PF4678125\\r"), std::string::npos);
    qunsetenv("PAGORA_COM1");
    simulator.terminate();
    if (!simulator.waitForFinished(3000))
        simulator.kill();
}

#endif
