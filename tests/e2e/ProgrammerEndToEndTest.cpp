// A device programmer in real time against the simulator program with a
// device on its pseudo-terminal in place of the encoder.
#include <QPushButton>
#include <gtest/gtest.h>

#include "KS_GEN_ClockProgrammer.h"
#include "KS_GEN_PendantProgrammer.h"
#include "KS_GEN_TimeReceiverProgrammer.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "SimulatorProcess.h"

TEST(ProgrammerEndToEnd, TheClockWindowReadsAndProgramsTheSimulatedClock)
{
    SimulatorProcess simulator({}, {"--device", "clock", "--set", "F=4500000"});
    ASSERT_TRUE(simulator.Started());
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
    EXPECT_NE(simulator.Transcript().find("> PF4678125\\r"), std::string::npos);
}

TEST(ProgrammerEndToEnd, ThePendantWindowReadsAndProgramsTheSimulatedLegacyPendant)
{
    SimulatorProcess simulator({}, {"--device", "pendant-legacy", "--set", "C2=0004321"});
    ASSERT_TRUE(simulator.Started());
    ScriptedMessages messages;
    messages.AnswerAlways(kAnswerOk);
    {
        KS_MainForm form;
        form.Form_Load();
        auto* window = new KS_GEN_PendantProgrammer(&form);
        form.OpenOwnedWindow(window, false);
        window->cmdRead->click();
        EXPECT_EQ(window->txtDevice->text(), "PDX-01");
        EXPECT_EQ(window->txtCapcode[1]->text(), "0004321");
        window->chkProgramCapcode[0]->setChecked(true);
        window->txtCapcode[0]->setText("0001234");
        window->txtMessage[0]->setText("Ward 3");
        window->cmdProgram->click();
        EXPECT_EQ(window->lblInfo->text(), "Done !");
        window->close();
    }
    const std::string transcript = simulator.Transcript();
    EXPECT_NE(transcript.find("> PC10001234\\r"), std::string::npos);
    EXPECT_NE(transcript.find("> PM1Ward 3\\r"), std::string::npos);
    EXPECT_NE(transcript.find("> XT\\r"), std::string::npos);
}

TEST(ProgrammerEndToEnd, TheTimeReceiverWindowReadsAndProgramsTheSimulatedReceiver)
{
    SimulatorProcess simulator({}, {"--device", "timereceiver", "--set", "QZ=29"});
    ASSERT_TRUE(simulator.Started());
    ScriptedMessages messages;
    messages.AnswerAlways(kAnswerOk);
    {
        KS_MainForm form;
        form.Form_Load();
        auto* window = new KS_GEN_TimeReceiverProgrammer(&form);
        form.OpenOwnedWindow(window, false);
        window->cmdRead->click();
        EXPECT_EQ(window->cmbTimeZone->currentText(), "(GMT + 05)");
        window->chkDateTime->setChecked(true);
        window->chkTimeSlot->setChecked(true);
        window->cmbTimeSlot->setCurrentIndex(3);
        window->cmdProgram->click();
        EXPECT_EQ(window->lblInfo->text(), "Done !");
        window->close();
    }
    const std::string transcript = simulator.Transcript();
    EXPECT_NE(transcript.find("UW\\r"), std::string::npos);
    EXPECT_NE(transcript.find("> PPT3\\r"), std::string::npos);
}
