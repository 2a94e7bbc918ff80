// The speaker window against the simulator's speaker, driven by the tick
// pump; what the unit received is read from the simulator's transcript.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <set>

#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Toolbar.h"
#include "SpeakerBench.h"

namespace {

using W = KS_GEN_SpeakerProgrammer;

void SetClockToTuesday()
{
    SetClockForTest([] { return QDateTime(QDate(2026, 3, 3), QTime(14, 5, 9)).toUTC(); });
}

void Focus(QWidget* box, QEvent::Type type, Qt::FocusReason reason)
{
    QFocusEvent event(type, reason);
    QApplication::sendEvent(box, &event);
    QApplication::processEvents();
}

} // namespace

TEST(SpeakerProgrammer, ServiceKeysShowTheirFieldsAndNothingShowsBefore)
{
    // The level from which each control shows (3: only a read shows it) or is unlocked.
    const std::pair<const char*, int> shown[] = {
        {"lblRx1Frequency", 1}, {"txtRx1Frequency", 1}, {"lblRx1RSSI", 1}, {"txtRx1RSSI", 1}, {"lblRx2RSSI", 3},
        {"txtRx2RSSI", 3}, {"cmdReset", 2}, {"chkSNAutoIncrement", 2}, {"txtSNIncrement", 2},
        {"cmdClearDeviceConfiguration", 2}, {"chkProgramDeviceConfiguration", 2}};
    const std::pair<const char*, int> unlocked[] = {
        {"txtRx1Frequency", 1}, {"txtSupervisionCapcode", 1}, {"txtSerialNumber", 2}};
    for (int level : {0, 1, 2}) {
        SCOPED_TRACE(level);
        SpeakerBench bench;
        W& w = *bench.window;
        if (level > 0) // through a control, which leaves the key to the window
            QTest::keyClick(w.chkDateTime, level == 1 ? Qt::Key_F11 : Qt::Key_F12,
                            Qt::ControlModifier | Qt::ShiftModifier);
        for (const auto& [name, from] : shown)
            EXPECT_EQ(w.findChild<QWidget*>(name)->isVisibleTo(&w), level >= from) << name;
        for (const auto& [name, from] : unlocked)
            EXPECT_EQ(w.findChild<QLineEdit*>(name)->isReadOnly(), level < from) << name;
        EXPECT_EQ(w.chkProgramDeviceConfiguration->isEnabled(), level == 2);
        EXPECT_EQ(w.chkProgramSecondaryTransceiverSettings->isEnabled(), level > 0);
        EXPECT_EQ(w.fraDeviceConfiguration->title(), level == 2 ? "    Device Configuration" : "Device Configuration");
    }
}

TEST(SpeakerProgrammer, BoxesKeepTheirRulesOnFocus)
{
    SpeakerBench bench;
    W& w = *bench.window;
    for (const auto& [typed, left] : {std::pair{"5", "005"}, {"300", "299"}, {"299", "299"}}) {
        w.txtSecurityKey->setText(typed);
        Focus(w.txtSecurityKey, QEvent::FocusOut, Qt::TabFocusReason);
        EXPECT_EQ(w.txtSecurityKey->text(), left) << typed;
    }
    // Boxes that only report keep the caret where the click puts it.
    const std::pair<QLineEdit*, bool> boxes[] = {{w.txtDateTime, false}, {w.txtRx1RSSI, false},
                                                 {w.txtRx2RSSI, false},  {w.txtDisplayStandbyMessage, false},
                                                 {w.txtSecurityKey, true}, {w.txtCapcode[0], true}};
    for (const auto& [box, selects] : boxes) {
        box->setText("0123");
        box->deselect();
        Focus(box, QEvent::FocusIn, Qt::MouseFocusReason);
        EXPECT_EQ(box->hasSelectedText(), selects) << box->objectName().toStdString();
    }
}

TEST(SpeakerProgrammer, CheckBoxesEnableWhatTheyGovern)
{
    SpeakerBench bench;
    W& w = *bench.window;
    w.show();
    QApplication::setActiveWindow(&w);
    const std::vector<QWidget*> row = {w.txtCapcode[2], w.lblAlertLevel[2], w.cmbAlertLevel[2], w.chkAutoIncrement[2]};
    w.chkProgramCapcode[2]->setChecked(true);
    for (QWidget* control : row)
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(QApplication::focusWidget(), w.txtCapcode[2]);
    EXPECT_FALSE(w.txtCapcode[3]->isEnabled());
    w.chkAutoIncrement[2]->setChecked(true);
    w.chkProgramCapcode[2]->setChecked(false); // the increment follows only its own box
    for (QWidget* control : row)
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(w.txtIncrement[2]->isEnabled());

    // Options 5 and 6 need the intercom and the second transceiver it talks through.
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

    // Clear All unticks every box, with the secondary transceiver's rule.
    for (QCheckBox* box : w.chkDeviceConfiguration)
        box->setChecked(true);
    w.chkProgramSecondaryTransceiverSettings->setChecked(true);
    w.UnlockService(2);
    // The caret is in the radio's frequency box: a frequency its leave takes, or no Clear All.
    w.txtRx1Frequency->setText("457.5000");
    w.cmdClearDeviceConfiguration->click();
    for (QCheckBox* box : w.chkDeviceConfiguration)
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_FALSE(w.chkProgramSecondaryTransceiverSettings->isChecked());
    EXPECT_FALSE(w.chkProgramSecondaryTransceiverSettings->isEnabled());
}

TEST(SpeakerProgrammer, ReadFillsEachFieldFromItsOwnReply)
{
    SpeakerBench bench;
    for (const auto& [mnemonic, value] :
         {std::pair{"FX", "3"}, {"AN", "4"}, {"FP", "6"}, {"FD", "9"}, {"FI", "2"}, {"FBT", "0"}, {"FBR", "1"},
          {"Q", "7"}, {"M", "3"}, {"SM", "1"}, {"SS", "123"}, {"S", "00004567"}, {"C9", "0000900"},
          {"FT1", "4678000"}, {"FR2", "1512500"}, {"FT2", "1525000"}, {"FS2", "070"}, {"C3", "0001000"},
          {"V3", "2"}, {"CM", "0005"}, {"O", "0021"}})
        bench.speaker->SetValue(mnemonic, value);
    W& w = *bench.window;
    EXPECT_TRUE(w.ReadSpeakerSettings());
    const std::pair<QComboBox*, int> lists[] = {
        {w.cmbRxDeviation, 2}, {w.cmbAmbientNoiseLevel, 4}, {w.cmbPower, 5},         {w.cmbTxDeviation, 8},
        {w.cmbIFBandwidth, 2}, {w.cmbTxBaudRate, 0},        {w.cmbRxBaudRate, 1},    {w.cmbSquelchLevel, 7},
        {w.cmbOperationMode, 3}, {w.cmbSecurityMode, 1},    {w.cmbAlertLevel[2], 2}, {w.cmbAlertLevel[1], 0}};
    for (const auto& [list, index] : lists)
        EXPECT_EQ(list->currentIndex(), index) << list->objectName().toStdString();
    const std::pair<QLineEdit*, const char*> boxes[] = {
        {w.txtVersion, "3.14"},        {w.txtSerialNumber, "00004567"}, {w.txtSupervisionCapcode, "0000900"},
        {w.txtSecurityKey, "123"},     {w.txtRx1Frequency, "457.5000"}, {w.txtTx1Frequency, "467.8000"},
        {w.txtRx2Frequency, "151.2500"}, {w.txtTx2Frequency, "152.5000"}, {w.txtRx1RSSI, "-85"},
        {w.txtRx2RSSI, "-70"},         {w.txtCapcode[2], "0001000"}};
    for (const auto& [box, text] : boxes)
        EXPECT_EQ(box->text().toStdString(), text) << box->objectName().toStdString();
    for (int bit = 0; bit < 10; ++bit)
        EXPECT_EQ(w.chkDeviceConfiguration[static_cast<std::size_t>(bit)]->isChecked(), bit == 0 || bit == 2) << bit;
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_EQ(w.chkDeviceOptions[static_cast<std::size_t>(bit)]->isChecked(), bit == 0 || bit == 5) << bit;
    EXPECT_TRUE(w.txtRx2RSSI->isVisibleTo(&w));
}

TEST(SpeakerProgrammer, ReadShowsNoStepTextsWhileItRuns)
{
    SpeakerBench bench;
    W& w = *bench.window;
    // A slot that stays empty makes the read wait out its tries.
    bench.Fault(sim::FaultKind::Silence, "?C1");
    bench.messages.AnswerAlways(kAnswerYes);
    std::set<std::string> seen;
    SetYieldHook([&] {
        AdvanceTick();
        PollEncoderReply();
        seen.insert(w.lblInfo->text().toStdString());
    });
    EXPECT_TRUE(w.ReadSpeakerSettings());
    EXPECT_EQ(seen, std::set<std::string>{""});
    EXPECT_EQ(w.txtVersion->text(), "3.14");
}

TEST(SpeakerProgrammer, ReadThatTheUnitRefusesChangesOnlyTheCapcodeRows)
{
    for (const bool silent : {true, false}) {
        SpeakerBench bench;
        StatusLog status;
        W& w = *bench.window;
        if (silent)
            bench.Fault(sim::FaultKind::Silence, "");
        else
            gEncoderModelName = "QX8XXX";
        bench.messages.Answer(kAnswerOk);
        w.txtCapcode[0]->setText("0001234");
        w.cmbAlertLevel[0]->setCurrentIndex(3);
        EXPECT_EQ(w.ReadSpeakerSettings(), silent);
        EXPECT_TRUE(bench.lines().empty());
        ASSERT_EQ(bench.messages.texts().size(), 1u);
        EXPECT_NE(bench.messages.texts()[0].find(silent ? " or programming option" : " or Speaker Programming option"),
                  std::string::npos);
        EXPECT_EQ(w.txtCapcode[0]->text(), "0000000");
        EXPECT_EQ(w.cmbAlertLevel[0]->currentIndex(), 0);
        EXPECT_EQ(w.txtVersion->text(), "N/A");
        EXPECT_TRUE(status.texts().empty());
    }
}

TEST(SpeakerProgrammer, ChecksStopTheRunBeforeAnythingIsSent)
{
    using SetUp = std::function<void(W&, SpeakerBench&)>;
    auto unselected = [](QCheckBox* W::*check, QComboBox* W::*list) -> SetUp {
        return [=](W& w, SpeakerBench&) {
            (w.*check)->setChecked(true);
            (w.*list)->setCurrentIndex(-1);
        };
    };
    auto frequency = [](QCheckBox* W::*check, QLineEdit* W::*box, const char* text) -> SetUp {
        return [=](W& w, SpeakerBench&) {
            (w.*check)->setChecked(true);
            (w.*box)->setText(text);
        };
    };
    const char* range = "The entered frequency is not supported by this device. Please enter a frequency between 80 "
                        "MHz and 950 MHz.";
    const std::pair<SetUp, const char*> cases[] = {
        {unselected(&W::chkRxDeviation, &W::cmbRxDeviation), "Please select Rx deviation value."},
        {unselected(&W::chkAmbientNoiseLevel, &W::cmbAmbientNoiseLevel), "Please select a valid ambient noise level."},
        {unselected(&W::chkSecurityMode, &W::cmbSecurityMode), "Please select security mode."},
        {unselected(&W::chkOperationMode, &W::cmbOperationMode), "Please select operation mode."},
        {unselected(&W::chkSquelchLevel, &W::cmbSquelchLevel), "Please select squelch level."},
        {unselected(&W::chkRxBaudRate, &W::cmbRxBaudRate), "Please select Rx baud rate."},
        {unselected(&W::chkProgramTransceiversCommonSettings, &W::cmbPower), "Please select power level."},
        {unselected(&W::chkProgramTransceiversCommonSettings, &W::cmbTxDeviation), "Please select Tx deviation value."},
        {unselected(&W::chkProgramTransceiversCommonSettings, &W::cmbIFBandwidth), "Please select IF bandwidth."},
        {unselected(&W::chkProgramTransceiversCommonSettings, &W::cmbTxBaudRate), "Please select Tx baud rate."},
        // A level the list does not hold leaves no selection, which a ticked row may not keep.
        {[](W& w, SpeakerBench& bench) {
             bench.speaker->SetValue("C2", "0000100");
             bench.speaker->SetValue("V2", "7");
             w.ReadSpeakerSettings();
             bench.lines();
             w.chkProgramCapcode[1]->setChecked(true);
         },
         "Please select alert level."},
        {[](W& w, SpeakerBench&) { w.UnlockService(1); }, "Please enter a valid frequency."},
        {frequency(&W::chkProgramPrimaryTransceiverrSettings, &W::txtTx1Frequency, "950.9991"), range},
        {frequency(&W::chkProgramSecondaryTransceiverSettings, &W::txtRx2Frequency, "79.9999"), range},
        {frequency(&W::chkProgramSecondaryTransceiverSettings, &W::txtTx2Frequency, "951"), range},
        {[](W& w, SpeakerBench&) {
             w.chkProgramCapcode[0]->setChecked(true);
             w.txtCapcode[0]->setText("2097152");
         },
         "Capcode must be in the range of 0000008 to 2097151."},
    };
    for (const auto& [setUp, message] : cases) {
        SCOPED_TRACE(message);
        SpeakerBench bench;
        setUp(*bench.window, bench);
        bench.messages.Answer(kAnswerOk);
        bench.window->cmdProgram->click();
        EXPECT_EQ(bench.messages.texts(), (std::vector<std::string>{message}));
        EXPECT_TRUE(bench.lines().empty());
    }
}

TEST(SpeakerProgrammer, ProgrammingWritesMasksCapcodesAndTheClockInTheUnitsOrder)
{
    SetClockToTuesday();
    for (const auto& [version, options] : {std::pair{"3.14", "PO0021"}, {"3.10", "PO21"}}) {
        SpeakerBench bench(version);
        W& w = *bench.window;
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
                  (Lines{"?V", "?C9", "PT140509", "PD0303263", "PSS236", "PC30001000", "PV32", "PCM0005", options}));
        EXPECT_EQ(w.txtCapcode[2]->text(), "0001005");
        EXPECT_EQ(w.lblInfo->text(), "Done !");
        EXPECT_TRUE(bench.messages.shown().empty());

        w.ReadSpeakerSettings();
        EXPECT_TRUE(w.txtDateTime->text().startsWith("Tuesday, 03/03/26 02:05:"))
            << w.txtDateTime->text().toStdString();
    }
}

TEST(SpeakerProgrammer, TheSecurityKeyGoesOnEveryRunWithoutItsModeInBothCommandSets)
{
    for (const char* version : {"3.14", "2.90"}) {
        SCOPED_TRACE(version);
        SpeakerBench bench(version);
        W& w = *bench.window;
        w.txtSecurityKey->setText("123");
        w.cmdProgram->click();
        const Lines lines = bench.lines();
        EXPECT_TRUE(sent(lines, "PSS123"));
        EXPECT_FALSE(sent(lines, "PSM0") || sent(lines, "PSM1"));
    }
}

// What the program itself put into a box (a read, a test) never passed the
// box's leave rule: a capcode and a serial number still go out in their
// digits, and a key above what the unit keeps as that limit.
TEST(SpeakerProgrammer, DigitBoxesGoOutInTheirDigitsAndAKeyAboveTheLimitAsTheLimitWhateverTheBoxesHold)
{
    const struct {
        const char* version;
        int serviceLevel;
        Lines lines;
    } cases[] = {
        {"3.14", 1, {"?V", "PFR14575000", "?C9", "PC90000900", "PSS299", "PC10001234", "PV11"}},
        {"2.90", 2, {"?V", "PS0000099", "PF4575000", "?C9", "?C9", "PSS299", "PC10001234", "PV11"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        SpeakerBench bench(c.version, false);
        W& w = *bench.window;
        w.UnlockService(c.serviceLevel);
        w.txtRx1Frequency->setText("457.5000");
        w.txtSupervisionCapcode->setText("900");
        w.txtSerialNumber->setText("99");
        w.txtSecurityKey->setText("500");
        w.chkProgramCapcode[0]->setChecked(true);
        w.txtCapcode[0]->setText("1234");
        w.cmbAlertLevel[0]->setCurrentIndex(1);
        bench.messages.AnswerAlways(kAnswerOk);
        w.cmdProgram->click();
        EXPECT_EQ(bench.lines(), c.lines);
    }
}

TEST(SpeakerProgrammer, LegacyUnitWithoutSupervisionLosesSlotsSevenAndEight)
{
    SetClockToTuesday();
    SpeakerBench bench("2.90", false);
    bench.speaker->SetTakesSeconds(false);
    W& w = *bench.window;
    w.chkDateTime->setChecked(true);
    w.chkSecurityMode->setChecked(true);
    for (std::size_t row : {0, 6, 7}) {
        w.chkProgramCapcode[row]->setChecked(true);
        w.txtCapcode[row]->setText("0000100");
    }
    w.cmdProgram->click();
    EXPECT_EQ(bench.lines(), (Lines{"?V", "?C9", "?C9", "PT140509", "PT140509", "PT1405", "PD0303263", "PSM0",
                                    "PSS236", "PC10000100", "PV10"}));
    EXPECT_EQ(w.lblInfo->text(), "Done !");
    EXPECT_FALSE(w.chkProgramCapcode[6]->isChecked());
    EXPECT_FALSE(w.chkProgramCapcode[7]->isChecked());
    EXPECT_FALSE(w.txtCapcode[7]->isEnabled());
}

TEST(SpeakerProgrammer, AUnitOfThreePointZeroIsProgrammedInTheSetItWasReadIn)
{
    SpeakerBench bench("3.00");
    W& w = *bench.window;
    w.UnlockService(1);
    EXPECT_TRUE(w.ReadSpeakerSettings());
    EXPECT_TRUE(sent(bench.lines(), "?FR1"));
    w.chkRxBaudRate->setChecked(true);
    w.cmbRxBaudRate->setCurrentIndex(1);
    w.cmdProgram->click();
    const Lines lines = bench.lines();
    EXPECT_TRUE(sent(lines, "PFR14575000"));
    EXPECT_TRUE(sent(lines, "PFBR1"));
    EXPECT_EQ(w.lblInfo->text(), "Done !");
}

TEST(SpeakerProgrammer, RunsCountWhatTheUnitRefused)
{
    SetClockToTuesday();
    struct Case {
        const char* version;
        const char* refused; // "": the probe goes unanswered
        std::function<void(W&)> setUp;
        Lines lines;
        const char* info;
        std::size_t messages;
        const char* serialAfter;
    };
    auto service = [](int level, const char* supervisionCapcode) {
        return [=](W& w) {
            w.UnlockService(level);
            w.txtRx1Frequency->setText("457.5000");
            w.txtSupervisionCapcode->setText(supervisionCapcode);
            w.txtSerialNumber->setText("0000099");
            w.chkSNAutoIncrement->setChecked(true);
        };
    };
    auto clock = [](W& w) {
        w.chkDateTime->setChecked(true);
        w.chkSecurityMode->setChecked(true);
    };
    const Case cases[] = {
        // An old unit without a supervision capcode is never given one, so none need be typed.
        {"2.90", nullptr, service(2, "0000000"), {"?V", "PS0000099", "PF4575000", "?C9", "?C9", "PSS236"}, "Done !",
         0, "0000100"},
        {"2.90", "PS0", service(2, "0000000"), {"?V", "PS0000099", "PS0000099", "PF4575000", "?C9", "?C9", "PSS236"},
         "Done ! - 1 item(s) failed.", 0, "0000099"},
        {"3.14", nullptr, service(1, "0000900"), {"?V", "PFR14575000", "?C9", "PC90000900", "PSS236"}, "Done !", 0,
         nullptr},
        // The supervision capcode goes out as it was read, none included: no box stops a run half-way.
        {"3.14", nullptr, service(1, "0000000"), {"?V", "PFR14575000", "?C9", "PC90000000", "PSS236"}, "Done !", 0,
         nullptr},
        {"3.14", "P", clock, {"?V", "?C9", "PT140509", "PT140509", "PSM0", "PSM0", "PSS236", "PSS236"},
         "Done ! - 3 item(s) failed.", 0, nullptr},
        {"3.14", "", clock, {}, "Canceled !", 1, nullptr},
        {"3.14", nullptr, [](W&) { gEncoderModelName = "QX8XXX"; }, {}, "", 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        SpeakerBench bench(c.version, false);
        W& w = *bench.window;
        c.setUp(w);
        if (c.refused)
            bench.Fault(*c.refused ? sim::FaultKind::Refuse : sim::FaultKind::Silence, c.refused);
        bench.messages.AnswerAlways(kAnswerOk);
        w.cmdProgram->click();
        EXPECT_EQ(bench.lines(), c.lines);
        EXPECT_EQ(w.lblInfo->text(), c.info);
        EXPECT_EQ(bench.messages.shown().size(), c.messages);
        if (c.serialAfter) {
            EXPECT_EQ(w.txtSerialNumber->text(), c.serialAfter);
        }
    }
}

TEST(SpeakerProgrammer, TransmitterTestsStopAndTheToneTakesItsCommand)
{
    SpeakerBench bench;
    W& w = *bench.window;
    bench.messages.Answer(kAnswerCancel);
    w.cmdTx1Test_Click();
    EXPECT_EQ(bench.messages.texts(), (std::vector<std::string>{"Testing Primary Tx at  bps..."}));
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

    // A refused start is no test: nothing to stop, and the step line goes.
    bench.Fault(sim::FaultKind::Refuse, "TT1");
    w.lblInfo->setText("Done !");
    w.cmdTx1Test_Click();
    EXPECT_EQ(bench.lines(), (Lines{"TT11W", "TT11W", "TT11W", "TT11W"}));
    EXPECT_TRUE(w.lblInfo->isHidden());
    EXPECT_EQ(bench.messages.shown().size(), 3u);

    w.cmbAlertNumber->setCurrentIndex(7);
    w.cmdTest->click();
    w.cmbAlertNumber->setCurrentIndex(8);
    w.cmdTest->click();
    EXPECT_EQ(bench.lines(), (Lines{"GT81211", "GM111211"}));
    EXPECT_EQ(bench.speaker->Tones(), (std::vector<int>{8, 11}));
}

TEST(SpeakerProgrammer, TheTestToneOpensOnTheFirstCustomAlert)
{
    SpeakerBench bench;
    EXPECT_EQ(bench.window->cmbAlertNumber->currentText(), "11 - Alert 11 (Custom)");
    bench.window->cmdTest->click();
    EXPECT_EQ(bench.lines(), (Lines{"GM111211"}));
}

TEST(SpeakerProgrammer, ResetGoesOutOnlyOnYes)
{
    for (const auto answer : {kAnswerYes, kAnswerNo}) {
        SpeakerBench bench;
        W& w = *bench.window;
        bench.messages.Answer(answer);
        QTest::keyClick(&w, Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
        w.cmdReset->click();
        EXPECT_EQ(bench.lines(), answer == kAnswerYes ? Lines{"?XR"} : Lines{});
        EXPECT_EQ(w.chkDateTime->isChecked(), answer == kAnswerYes);
        EXPECT_EQ(bench.speaker->ResetCount(), answer == kAnswerYes ? 1 : 0);
    }
}

TEST(SpeakerProgrammer, AdvancedViewGrowsOnBothSidesAndComesBack)
{
    SpeakerBench bench;
    W& w = *bench.window;
    w.move(300, w.y());
    const QRect narrow = w.geometry();
    QAction* advanced = ToolbarAction(w.tlbMenu, "cmdAdvanced");
    ASSERT_NE(advanced, nullptr);
    advanced->trigger();
    // The view grows by the advanced column; half of it goes out on the left.
    const int growth = w.width() - narrow.width();
    EXPECT_GT(growth, 400);
    EXPECT_EQ(narrow.x() - w.x(), growth / 2);
    advanced->trigger();
    EXPECT_EQ(w.geometry(), narrow);
}
