// The speaker window in real time against the simulator program's speaker on
// a pseudo-terminal, with the main window's own timers and event loop.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <gtest/gtest.h>

#include "ConsoleHarness.h"
#include "KS_Database.h"
#include "KS_GEN_SpeakerProgrammer.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Toolbar.h"
#include "SimulatorProcess.h"

TEST(SpeakerRealLine, ReadsAndProgramsTheSimulatorSpeakerInBothViews)
{
    SimulatorProcess simulator({}, {"--device", "speaker"});
    ASSERT_TRUE(simulator.Started());

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
    const std::string written = simulator.Transcript();
    EXPECT_NE(written.find("PC10001234"), std::string::npos);
    EXPECT_NE(written.find("PC10004321"), std::string::npos);
}
