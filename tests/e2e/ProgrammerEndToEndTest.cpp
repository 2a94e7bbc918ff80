// A device programmer in real time against the simulator program with a
// device on its pseudo-terminal in place of the encoder.
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

#include "KS_GEN_ClockProgrammer.h"
#include "KS_GEN_PendantProgrammer.h"
#include "KS_GEN_TimeReceiverProgrammer.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "SimulatorProcess.h"

namespace {

// Reads the device in its window on the real port, timers and event loop, lets the case check and
// change the boxes, programs, and returns the simulator's transcript.
template <class Window>
std::string readAndProgram(const QStringList& device, const std::function<void(Window&)>& afterRead)
{
    SimulatorProcess simulator({}, device);
    if (!simulator.Started()) {
        ADD_FAILURE() << "the simulator did not start";
        return {};
    }
    ScriptedMessages messages;
    messages.AnswerAlways(kAnswerOk); // whatever start-up says of a device where an encoder was expected
    {
        KS_MainForm form;
        form.Form_Load();
        auto* window = new Window(&form);
        form.OpenOwnedWindow(window, false);
        window->cmdRead->click();
        afterRead(*window);
        window->cmdProgram->click();
        EXPECT_EQ(window->lblInfo->text(), "Done !");
        window->close();
    }
    return simulator.Transcript();
}

} // namespace

TEST(ProgrammerEndToEnd, TheClockWindowReadsAndProgramsTheSimulatedClock)
{
    const std::string transcript = readAndProgram<KS_GEN_ClockProgrammer>(
        {"--device", "clock", "--set", "F=4500000"}, [](KS_GEN_ClockProgrammer& window) {
            EXPECT_EQ(window.txtDevice->text(), "RL-CLK-xxxx");
            EXPECT_EQ(window.txtFrequency->text(), "450.0000");
            window.txtFrequency->setText("467.8125");
        });
    EXPECT_NE(transcript.find("> PF4678125\\r"), std::string::npos);
}

TEST(ProgrammerEndToEnd, ThePendantWindowReadsAndProgramsTheSimulatedLegacyPendant)
{
    const std::string transcript = readAndProgram<KS_GEN_PendantProgrammer>(
        {"--device", "pendant-legacy", "--set", "C2=0004321"}, [](KS_GEN_PendantProgrammer& window) {
            EXPECT_EQ(window.txtDevice->text(), "PDX-01");
            EXPECT_EQ(window.txtCapcode[1]->text(), "0004321");
            window.chkProgramCapcode[0]->setChecked(true);
            window.txtCapcode[0]->setText("0001234");
            window.txtMessage[0]->setText("Ward 3");
        });
    for (const char* line : {"> PC10001234\\r", "> PM1Ward 3\\r", "> XT\\r"})
        EXPECT_NE(transcript.find(line), std::string::npos) << line;
}

TEST(ProgrammerEndToEnd, TheTimeReceiverWindowReadsAndProgramsTheSimulatedReceiver)
{
    const std::string transcript = readAndProgram<KS_GEN_TimeReceiverProgrammer>(
        {"--device", "timereceiver", "--set", "QZ=29"}, [](KS_GEN_TimeReceiverProgrammer& window) {
            EXPECT_EQ(window.cmbTimeZone->currentText(), "(GMT + 05)");
            window.chkDateTime->setChecked(true);
            window.chkTimeSlot->setChecked(true);
            window.cmbTimeSlot->setCurrentIndex(3);
        });
    for (const char* line : {"UW\\r", "> PPT3\\r"})
        EXPECT_NE(transcript.find(line), std::string::npos) << line;
}
