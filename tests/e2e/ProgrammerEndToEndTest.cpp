// A device programmer in real time against the simulator program with a
// device on its pseudo-terminal in place of the encoder.
#include <QPushButton>
#include <gtest/gtest.h>

#include "KS_GEN_ClockProgrammer.h"
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
