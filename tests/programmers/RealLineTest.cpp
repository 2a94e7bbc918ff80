// The programmer windows in real time against the simulator program with a
// device on its pseudo-terminal.
#include <QProcess>
#include <QPushButton>
#include <gtest/gtest.h>

#include "../core/DataFileHelpers.h"
#include "ConsoleHarness.h"
#include "KS_Database.h"
#include "KS_GEN_ClockProgrammer.h"
#include "KS_GEN_PaddleProgrammer.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"

#ifdef PAGORA_SIM_PROGRAM

namespace {

struct SimulatedDevice {
    explicit SimulatedDevice(const QStringList& arguments)
    {
        transcript = qEnvironmentVariable("XDG_DATA_HOME") + "/transcript";
        process.start(PAGORA_SIM_PROGRAM, QStringList(arguments) << "--transcript" << transcript);
        started = process.waitForStarted(5000) && process.waitForReadyRead(5000);
        if (started)
            qputenv("PAGORA_COM1", process.readLine().trimmed());
        MakeDataFolder();
        CreateEmptyPagerDatabase();
        gDatabaseFound = true;
        gConnectionType = 1;
        gSerialPort = 1;
        gComSettings = "38400,N,8,1";
    }
    ~SimulatedDevice()
    {
        qunsetenv("PAGORA_COM1");
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
    }
    std::string Transcript() const { return ReadBytes(transcript.toStdString()); }

    QProcess process;
    QString transcript;
    bool started = false;
};

} // namespace

TEST(ProgrammerRealLine, TheClockWindowReadsAndProgramsTheSimulatedClock)
{
    SimulatedDevice sim({"--device", "clock", "--set", "F=4500000"});
    ASSERT_TRUE(sim.started);
    ScriptedMessages messages;
    messages.AnswerAlways(kAnswerOk); // whatever the start-up says of a clock where an encoder was expected
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
    EXPECT_NE(sim.Transcript().find("> PF4678125\\r"), std::string::npos);
}

TEST(ProgrammerRealLine, ThePaddleWindowReadsTheSimulatedPaddle)
{
    SimulatedDevice sim({"--device", "paddle", "--set", "C2=0123456"});
    ASSERT_TRUE(sim.started);
    ScriptedMessages messages;
    messages.AnswerAlways(kAnswerOk);
    KS_MainForm form;
    form.Form_Load();
    auto* window = new KS_GEN_PaddleProgrammer(&form);
    form.OpenOwnedWindow(window, false);
    window->cmdRead->click();
    EXPECT_EQ(window->txtVersion->text(), "2.10");
    EXPECT_EQ(window->txtCapcode[1]->text(), "0123456");
    window->close();
    EXPECT_NE(sim.Transcript().find("> XT\\r"), std::string::npos);
}

#endif
