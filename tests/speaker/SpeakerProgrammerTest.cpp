// The speaker window against the simulator's speaker, driven by the tick
// pump; what the unit received is read from the simulator's transcript.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <algorithm>
#include <functional>
#include <memory>

#include "KS_Clock.h"
#include "KS_GEN_SpeakerProgrammer.h"
#include "KS_Globals.h"
#include "KS_Toolbar.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"
#include "SimSpeaker.h"
#include "TestSupport.h"

namespace {

using Lines = std::vector<std::string>;

struct SpeakerBench {
    explicit SpeakerBench(std::string version = "3.14", bool supervision = true)
        : speaker(std::make_shared<sim::SpeakerDevice>(std::move(version), supervision))
    {
        engine.SetDevice(speaker);
        link = std::make_unique<LinkHarness>(std::make_unique<SimBackend>(engine));
        window = std::make_unique<KS_GEN_SpeakerProgrammer>();
        engine.ClearTranscript();
    }

    // The lines the unit received since the last call, without CR and without bare probes.
    Lines lines()
    {
        Lines out;
        for (const auto& entry : engine.Transcript())
            if (entry.fromHost && entry.bytes != "\r")
                out.push_back(entry.bytes.substr(0, entry.bytes.size() - 1));
        engine.ClearTranscript();
        return out;
    }

    sim::Engine engine;
    std::shared_ptr<sim::SpeakerDevice> speaker;
    ScriptedMessages messages;
    std::unique_ptr<LinkHarness> link;
    std::unique_ptr<KS_GEN_SpeakerProgrammer> window;
};

bool sent(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace

TEST(SpeakerProgrammer, ReadFollowsTheVersionThresholds)
{
    struct Case {
        const char* version;
        const char* shown;
        bool rx1, rssi, radio; // ?FR1, ?FS1, the 3.10 items
        const char* legacyFrequency;
    };
    for (const Case& c : {Case{"2.99", "2.99", false, false, false, nullptr},
                          {"3.00", "3.00", true, false, false, nullptr},
                          {"3.03", "3.03", true, true, false, nullptr},
                          {"3.10", "3.10", true, true, true, nullptr},
                          {"Ver. 3.20 (2009)", "3.20", false, false, false, "?F"}}) {
        SCOPED_TRACE(c.version);
        SpeakerBench bench(c.version);
        EXPECT_TRUE(bench.window->ReadSpeakerSettings());
        const Lines lines = bench.lines();
        EXPECT_EQ(bench.window->txtVersion->text().toStdString(), c.shown);
        EXPECT_EQ(sent(lines, "?FR1"), c.rx1);
        EXPECT_EQ(sent(lines, "?FS1"), c.rssi);
        EXPECT_EQ(sent(lines, "?FX?"), c.radio);
        EXPECT_EQ(sent(lines, "?F"), c.legacyFrequency != nullptr);
        EXPECT_EQ(sent(lines, "?B"), !c.rx1);
        EXPECT_EQ(bench.window->txtRx1Frequency->isHidden(), !c.rx1 && !c.legacyFrequency);
    }

    SpeakerBench current;
    current.speaker->SetValue("CM", "0005");
    current.speaker->SetValue("O", "0021");
    current.speaker->SetValue("C3", "0001000");
    current.speaker->SetValue("V3", "2");
    current.speaker->SetValue("FBR", "2"); // 2400 bps is not in the list
    current.window->ReadSpeakerSettings();
    EXPECT_EQ(current.lines(),
              (Lines{"?V", "?D", "?T", "?S", "?FR1", "?C9", "?FS1", "?FBR", "?Q", "?SM", "?SS", "?M", "?OV", "?C1",
                     "?C2", "?C3", "?C4", "?C5", "?C6", "?C7", "?C8", "?FX?", "?AN?", "?CM", "?O", "?FP", "?FD?",
                     "?FI?", "?FT1", "?FR2", "?FT2", "?FBT?", "?FS2"}));
    auto& w = *current.window;
    for (int bit = 0; bit < 10; ++bit)
        EXPECT_EQ(w.chkDeviceConfiguration[static_cast<std::size_t>(bit)]->isChecked(), bit == 0 || bit == 2) << bit;
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_EQ(w.chkDeviceOptions[static_cast<std::size_t>(bit)]->isChecked(), bit == 0 || bit == 5) << bit;
    EXPECT_EQ(w.txtCapcode[2]->text(), "0001000");
    EXPECT_EQ(w.cmbAlertLevel[2]->currentIndex(), 2);
    EXPECT_EQ(w.cmbRxBaudRate->currentIndex(), -1);
    EXPECT_EQ(w.txtRx1RSSI->text(), "-85");
    EXPECT_EQ(w.txtTx1Frequency->text(), "467.8000");
}

TEST(SpeakerProgrammer, ProgrammingWritesMasksCapcodesAndTheClockInTheUnitsOrder)
{
    SetClockForTest([] { return QDateTime(QDate(2026, 3, 3), QTime(14, 5, 9)).toUTC(); });
    for (const auto& [version, options] : {std::pair{"3.14", "PO0021"}, {"3.10", "PO21"}}) {
        SpeakerBench bench(version);
        auto& w = *bench.window;
        w.chkDateTime->setChecked(true);
        w.chkProgramDeviceConfiguration->setChecked(true);
        w.chkProgramDeviceOptions->setChecked(true);
        for (int bit : {0, 2})
            w.chkDeviceConfiguration[static_cast<std::size_t>(bit)]->setChecked(true);
        for (int bit : {0, 5})
            w.chkDeviceOptions[static_cast<std::size_t>(bit)]->setChecked(true);
        w.chkProgramCapcode[2]->setChecked(true);
        w.txtCapcode[2]->setText("0001000");
        w.cmbAlertLevel[2]->setCurrentIndex(2);
        w.chkAutoIncrement[2]->setChecked(true);
        w.txtIncrement[2]->setText("05");
        w.cmdProgram->click();
        EXPECT_EQ(bench.lines(),
                  (Lines{"?V", "?C9", "PT140509", "PD0303263", "PC30001000", "PV32", "PCM0005", options}));
        EXPECT_EQ(w.txtCapcode[2]->text(), "0001005");
        EXPECT_EQ(w.lblInfo->text(), "Done !");
        EXPECT_TRUE(bench.messages.shown().empty());

        w.ReadSpeakerSettings();
        EXPECT_TRUE(w.txtDateTime->text().startsWith("Tuesday, 03/03/26 02:05:"))
            << w.txtDateTime->text().toStdString();
    }
}

TEST(SpeakerProgrammer, LegacyUnitWithoutSupervisionLosesSlotsSevenAndEight)
{
    SetClockForTest([] { return QDateTime(QDate(2026, 3, 3), QTime(14, 5, 9)).toUTC(); });
    SpeakerBench bench("2.90", false);
    bench.speaker->SetTakesSeconds(false);
    auto& w = *bench.window;
    w.chkDateTime->setChecked(true);
    w.chkSecurityMode->setChecked(true);
    for (int row : {0, 6, 7}) {
        w.chkProgramCapcode[static_cast<std::size_t>(row)]->setChecked(true);
        w.txtCapcode[static_cast<std::size_t>(row)]->setText("0000100");
    }
    w.cmdProgram->click();
    EXPECT_EQ(bench.lines(), (Lines{"?V", "?C9", "?C9", "PT140509", "PT140509", "PT1405", "PD0303263", "PSM0", "PSS236",
                                    "PC10000100", "PV10"}));
    EXPECT_EQ(w.lblInfo->text(), "Done !");
    EXPECT_FALSE(w.chkProgramCapcode[6]->isChecked());
    EXPECT_FALSE(w.chkProgramCapcode[7]->isChecked());
    EXPECT_FALSE(w.txtCapcode[7]->isEnabled());

    w.ReadSpeakerSettings();
    const Lines read = bench.lines();
    EXPECT_TRUE(sent(read, "?C6"));
    EXPECT_FALSE(sent(read, "?C7"));
}

TEST(SpeakerProgrammer, ChecksStopTheRunBeforeAnythingIsSent)
{
    struct Case {
        std::function<void(KS_GEN_SpeakerProgrammer&)> setUp;
        const char* message;
    };
    const Case cases[] = {
        {[](auto& w) {
             w.chkSquelchLevel->setChecked(true);
             w.cmbSquelchLevel->setCurrentIndex(-1);
         },
         "Please select squelch level."},
        {[](auto& w) {
             w.chkProgramTransceiversCommonSettings->setChecked(true);
         },
         "Please select Tx baud rate."},
        {[](auto& w) {
             w.UnlockService(1);
             w.txtRx1Frequency->setText("000.0000");
         },
         "Please enter a valid frequency."},
        {[](auto& w) {
             w.chkProgramPrimaryTransceiverrSettings->setChecked(true);
             w.txtTx1Frequency->setText("950.9991");
         },
         "The entered frequency is not supported by this device. Please enter a frequency between 80 MHz and 950 "
         "MHz."},
        {[](auto& w) {
             w.UnlockService(1);
             w.txtRx1Frequency->setText("457.5000");
             w.txtSupervisionCapcode->setText("0000007");
         },
         "Capcode must be in the range of 0000008 to 2097151."},
        {[](auto& w) {
             w.chkProgramCapcode[0]->setChecked(true);
             w.txtCapcode[0]->setText("2097152");
         },
         "Capcode must be in the range of 0000008 to 2097151."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SpeakerBench bench;
        bench.messages.Answer(kAnswerOk);
        c.setUp(*bench.window);
        bench.window->cmdProgram->click();
        EXPECT_EQ(bench.messages.texts(), (std::vector<std::string>{c.message}));
        EXPECT_TRUE(bench.lines().empty());
    }
}

TEST(SpeakerProgrammer, TransmitterTestsStopAndTheToneTakesItsCommand)
{
    SpeakerBench bench;
    auto& w = *bench.window;
    bench.messages.Answer(kAnswerCancel);
    w.cmdTx1Test_Click();
    EXPECT_EQ(bench.messages.texts(), (std::vector<std::string>{"Testing Primary Tx at  bps..."}));
    EXPECT_EQ(bench.messages.shown()[0].timeOutInterval, 30000);
    EXPECT_EQ(bench.lines(), (Lines{"TT51W", "TT01W"}));
    EXPECT_EQ(bench.speaker->Transmitting(), 0);

    // A stop the unit refuses is reported: the speaker may still be on the air.
    w.cmbTxBaudRate->setCurrentIndex(1);
    bench.engine.AddFault({sim::FaultKind::Refuse, "TT02W", sim::MatchMode::Exact, 5, "", 0, 0});
    bench.messages.Answer(kAnswerCancel);
    bench.messages.Answer(kAnswerOk);
    w.cmdTx2Test_Click();
    EXPECT_EQ(bench.lines(), (Lines{"TT12W", "TT02W", "TT02W", "TT02W", "TT02W"}));
    ASSERT_EQ(bench.messages.texts().size(), 3u);
    EXPECT_EQ(bench.messages.texts()[2].substr(0, 44), "Communication with the PA Speaker cannot be ");

    w.cmbAlertNumber->setCurrentIndex(7);
    w.cmdTest->click();
    w.cmbAlertNumber->setCurrentIndex(8);
    w.cmdTest->click();
    EXPECT_EQ(bench.lines(), (Lines{"GT81211", "GM111211"}));
    EXPECT_EQ(bench.speaker->Tones(), (std::vector<int>{8, 11}));

    bench.messages.Answer(kAnswerYes);
    w.chkDateTime->setChecked(false);
    w.UnlockService(2);
    w.cmdReset->click();
    EXPECT_EQ(bench.lines(), (Lines{"?XR"}));
    EXPECT_TRUE(w.chkDateTime->isChecked());
}

TEST(SpeakerProgrammer, UnitThatIsNotASpeakerGetsOnlyTheProbeAndTheVersionQuery)
{
    SpeakerBench bench;
    gEncoderModelName = "QX8XXX";
    bench.messages.Answer(kAnswerOk);
    bench.window->chkSecurityMode->setChecked(true);
    EXPECT_FALSE(bench.window->ProgramSpeakerSettings());
    EXPECT_EQ(bench.lines(), (Lines{"?V"}));
    EXPECT_EQ(bench.messages.texts().size(), 1u);
    EXPECT_TRUE(bench.window->lblInfo->text().isEmpty());

    // The console goes on with the identity it had before the window detected the unit.
    bench.window.reset();
    EXPECT_EQ(gEncoderModelName, "encoder");
}

TEST(SpeakerProgrammer, IntercomOptionsNeedTheIntercomAndTheSecondTransceiver)
{
    SpeakerBench bench;
    auto& w = *bench.window;
    w.chkProgramDeviceOptions->setChecked(true);
    w.UnlockService(1);
    w.chkProgramSecondaryTransceiverSettings->setChecked(true);
    for (const auto& [intercom, secondary] : {std::pair{true, true}, {true, false}, {false, true}, {false, false}}) {
        w.chkDeviceConfiguration[5]->setChecked(intercom);
        w.chkDeviceConfiguration[8]->setChecked(secondary);
        EXPECT_EQ(w.chkDeviceOptions[5]->isEnabled(), intercom && secondary);
        EXPECT_EQ(w.chkDeviceOptions[6]->isEnabled(), intercom && secondary);
        EXPECT_EQ(w.chkProgramSecondaryTransceiverSettings->isEnabled(), secondary);
    }
    EXPECT_FALSE(w.chkProgramSecondaryTransceiverSettings->isChecked());
    EXPECT_TRUE(w.txtTx2Frequency->isReadOnly());
    EXPECT_FALSE(w.cmdTx2Test->isEnabled());
}

TEST(SpeakerProgrammer, AdvancedViewReturnsToItsWidthAndLeftEdge)
{
    SpeakerBench bench;
    auto& w = *bench.window;
    EXPECT_EQ(w.cmbAlertNumber->currentText(), "11 - Alert 11 (Custom)");
    EXPECT_EQ(w.cmbTxBaudRate->currentIndex(), -1);
    const int left = w.x();
    const int width = w.width();
    QAction* advanced = ToolbarAction(w.tlbMenu, "cmdAdvanced");
    ASSERT_NE(advanced, nullptr);
    advanced->trigger();
    EXPECT_GT(w.width(), width);
    EXPECT_LE(w.x(), left);
    advanced->trigger();
    EXPECT_EQ(w.width(), width);
    EXPECT_EQ(w.x(), left);
}
