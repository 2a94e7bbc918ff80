// Device programmers in real time against the simulator program with a
// device on its pseudo-terminal in place of the encoder: each window reads
// the device, programs it, and the device's transcript shows the settings.
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

// Opens the window over the main window, reads, lets the test check and change it, and programs.
template <class Window>
std::function<void(KS_MainForm&)> readAndProgram(std::function<void(Window&)> check)
{
    return [check](KS_MainForm& form) {
        auto* window = new Window(&form);
        form.OpenOwnedWindow(window, false);
        window->cmdRead->click();
        check(*window);
        window->cmdProgram->click();
        EXPECT_EQ(window->lblInfo->text(), "Done !");
        window->close();
    };
}

} // namespace

TEST(ProgrammerEndToEnd, EachWindowReadsAndProgramsItsSimulatedDevice)
{
    const struct {
        QStringList device;
        std::function<void(KS_MainForm&)> run;
        std::vector<std::string> programmed; // in the transcript, a CR spelt as a backslash and an r
    } cases[] = {
        {{"--device", "clock", "--set", "F=4500000"},
         readAndProgram<KS_GEN_ClockProgrammer>([](KS_GEN_ClockProgrammer& w) {
             EXPECT_EQ(w.txtDevice->text(), "RL-CLK-xxxx");
             EXPECT_EQ(w.txtFrequency->text(), "450.0000");
             w.txtFrequency->setText("467.8125");
         }),
         {"> PF4678125\\r"}},
        {{"--device", "pendant-legacy", "--set", "C2=0004321"},
         readAndProgram<KS_GEN_PendantProgrammer>([](KS_GEN_PendantProgrammer& w) {
             EXPECT_EQ(w.txtDevice->text(), "PDX-01");
             EXPECT_EQ(w.txtCapcode[1]->text(), "0004321");
             w.chkProgramCapcode[0]->setChecked(true);
             w.txtCapcode[0]->setText("0001234");
             w.txtMessage[0]->setText("Ward 3");
         }),
         {"> PC10001234\\r", "> PM1Ward 3\\r", "> XT\\r"}},
        {{"--device", "timereceiver", "--set", "QZ=29"},
         readAndProgram<KS_GEN_TimeReceiverProgrammer>([](KS_GEN_TimeReceiverProgrammer& w) {
             EXPECT_EQ(w.cmbTimeZone->currentText(), "(GMT + 05)");
             w.chkDateTime->setChecked(true);
             w.chkTimeSlot->setChecked(true);
             w.cmbTimeSlot->setCurrentIndex(3);
         }),
         {"UW\\r", "> PPT3\\r"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device.join(' ').toStdString());
        SimulatorProcess simulator({}, c.device);
        ASSERT_TRUE(simulator.Started());
        ScriptedMessages messages;
        messages.AnswerAlways(kAnswerOk); // whatever start-up says of a device where an encoder was expected
        {
            KS_MainForm form; // the real port, timers and event loop
            form.Form_Load();
            c.run(form);
        }
        const std::string transcript = simulator.Transcript();
        for (const auto& line : c.programmed)
            EXPECT_NE(transcript.find(line), std::string::npos) << line;
    }
}
