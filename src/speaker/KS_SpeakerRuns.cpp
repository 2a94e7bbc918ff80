// The conversations of the speaker window: read, program, the transmitter
// tests, the test tone and the factory reset.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "KS_Clock.h"
#include "KS_DeviceLink.h"
#include "KS_DeviceRules.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_GEN_SpeakerProgrammer.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_String.h"
#include "OptionList.h"

namespace {

std::string text(const QLineEdit* box) { return FromQString(box->text()); }
void setText(QLineEdit* box, std::string_view value) { box->setText(ToQString(value)); }
void appendInfo(QLabel* label, std::string_view tail) { label->setText(label->text() + ToQString(tail)); }

SpeakerListSetting listSetting(const QCheckBox* box, QComboBox* list)
{
    SpeakerListSetting setting;
    setting.program = box && box->isChecked();
    const int index = list->currentIndex();
    if (index >= 0) {
        setting.text = FromQString(list->currentText());
        setting.data = AsOptionList(list).ItemData(index);
    }
    return setting;
}

} // namespace

// ---- Reading -----------------------------------------------------------------------------

void KS_GEN_SpeakerProgrammer::cmdRead_Click()
{
    if (Exchanging())
        return;
    SafeSetFocus(chkDateTime);
    ReadSpeakerSettings();
}

bool KS_GEN_SpeakerProgrammer::ReadSpeakerSettings()
{
    // The speaker's read says nothing on lblInfo while it runs; its end is told on the status line.
    ReadRun run(*this, false);
    lblInfo->clear();
    for (std::size_t row = 0; row < kCapcodeRows; ++row) {
        setText(txtCapcode[row], PadDigits("", txtCapcode[row]->maxLength()));
        cmbAlertLevel[row]->setCurrentIndex(0);
    }
    const SpeakerReading reading = ReadSpeaker();
    if (reading.outcome != SpeakerReading::Outcome::Read)
        return reading.outcome == SpeakerReading::Outcome::NoAnswer;
    ShowReading(reading);
    ReportStatus("Ready");
    return true;
}

void KS_GEN_SpeakerProgrammer::ShowReading(const SpeakerReading& r)
{
    auto showAll = [](std::initializer_list<QWidget*> controls) {
        for (QWidget* control : controls)
            control->show();
    };
    setText(txtVersion, r.version.text);
    setText(txtDateTime, r.dateTime);
    if (r.currentSet)
        txtSerialNumber->setMaxLength(8);
    setText(txtSerialNumber, r.serialNumber.empty() ? BoxDigits(txtSerialNumber) : r.serialNumber);
    if (r.rx1Hidden)
        HideRx1Frequency();
    if (r.rx1Frequency) {
        showAll({lblRx1Frequency, txtRx1Frequency});
        setText(txtRx1Frequency, *r.rx1Frequency);
    }
    if (r.rx1SignalShown)
        showAll({lblRx1RSSI, txtRx1RSSI});
    if (r.rx1Signal)
        setText(txtRx1RSSI, *r.rx1Signal);
    setText(txtSupervisionCapcode, PadDigits(r.supervisionCapcode, 7));
    if (r.rxBaud)
        SelectSpeakerListText(AsOptionList(cmbRxBaudRate), *r.rxBaud);
    SelectSpeakerListText(AsOptionList(cmbSquelchLevel), r.squelch);
    SelectSpeakerListText(AsOptionList(cmbSecurityMode), r.securityOn ? "On" : "Off");
    setText(txtSecurityKey, PadDigits(r.securityKey, 3));
    SelectSpeakerListText(AsOptionList(cmbOperationMode), r.operationMode);
    for (std::size_t row = 0; row < kCapcodeRows; ++row) {
        setText(txtCapcode[row], PadDigits(r.capcodes[row], 7));
        cmbAlertLevel[row]->setCurrentIndex(r.alertLevels[row]);
    }
    if (!r.radio)
        return;

    for (const auto& [list, value] :
         {std::pair{cmbRxDeviation, &r.rxDeviation}, {cmbAmbientNoiseLevel, &r.ambientNoise}, {cmbPower, &r.power},
          {cmbTxDeviation, &r.txDeviation}, {cmbIFBandwidth, &r.ifBandwidth}})
        SelectSpeakerListData(AsOptionList(list), *value);
    for (int bit = 0; bit < kConfigurationBits; ++bit)
        chkDeviceConfiguration[static_cast<std::size_t>(bit)]->setChecked((r.configuration >> bit) & 1u);
    for (int bit = 0; bit < kOptionBits; ++bit)
        chkDeviceOptions[static_cast<std::size_t>(bit)]->setChecked((r.options >> bit) & 1u);
    for (const auto& [box, value] : {std::pair{txtTx1Frequency, &r.tx1Frequency}, {txtRx2Frequency, &r.rx2Frequency},
                                     {txtTx2Frequency, &r.tx2Frequency}})
        if (*value)
            setText(box, **value);
    SelectSpeakerListText(AsOptionList(cmbTxBaudRate), r.txBaud);
    setText(txtRx2RSSI, r.rx2Signal.value_or("N/A"));
    if (r.rx2Signal)
        showAll({lblRx2RSSI, txtRx2RSSI});
}

void KS_GEN_SpeakerProgrammer::HideRx1Frequency()
{
    for (QWidget* w : std::initializer_list<QWidget*>{lblRx1Frequency, txtRx1Frequency, lblRx1RSSI, txtRx1RSSI})
        w->hide();
    Lock(txtRx1Frequency, true);
    setText(txtRx1Frequency, "000.0000");
}

// ---- Programming ------------------------------------------------------------------------

void KS_GEN_SpeakerProgrammer::cmdProgram_Click()
{
    if (Exchanging())
        return;
    if (ChecksBeforeProgramming() && SpeakerConnected())
        ProgramSpeakerSettings();
}

bool KS_GEN_SpeakerProgrammer::ChecksBeforeProgramming()
{
    // The box being typed in was left by the command that started this (the
    // toolbar leaves it as Tab does); a key the window shows from elsewhere
    // than the keyboard still goes out within what the unit keeps.
    LimitSecurityKey();

    QCheckBox* common = chkProgramTransceiversCommonSettings;
    if (!SelectionMade(chkRxDeviation, cmbRxDeviation, "Please select Rx deviation value.")
        || !SelectionMade(chkAmbientNoiseLevel, cmbAmbientNoiseLevel, "Please select a valid ambient noise level.")
        || !SelectionMade(chkSecurityMode, cmbSecurityMode, "Please select security mode.")
        || !SelectionMade(chkOperationMode, cmbOperationMode, "Please select operation mode.")
        || !SelectionMade(chkSquelchLevel, cmbSquelchLevel, "Please select squelch level.")
        || !SelectionMade(chkRxBaudRate, cmbRxBaudRate, "Please select Rx baud rate.")
        || !FrequencyPresent(txtRx1Frequency)
        || !SelectionMade(common, cmbPower, "Please select power level.")
        || !SelectionMade(common, cmbTxDeviation, "Please select Tx deviation value.")
        || !SelectionMade(common, cmbIFBandwidth, "Please select IF bandwidth.")
        || !SelectionMade(common, cmbTxBaudRate, "Please select Tx baud rate.")
        // Every frequency the run writes passes the range and raster tests, not only the one last left.
        || !FrequenciesAcceptable({txtRx1Frequency, txtTx1Frequency, txtRx2Frequency, txtTx2Frequency}))
        return false;
    if (!CapcodesInRange(chkProgramCapcode, txtCapcode))
        return false;
    for (std::size_t row = 0; row < kCapcodeRows; ++row)
        if (!SelectionMade(chkProgramCapcode[row], cmbAlertLevel[row], "Please select alert level."))
            return false;
    return true;
}

SpeakerSettings KS_GEN_SpeakerProgrammer::CollectSettings() const
{
    SpeakerSettings s;
    s.serialUnlocked = !txtSerialNumber->isReadOnly();
    s.serialNumber = BoxDigits(txtSerialNumber);
    s.rx1FrequencyOpen = !txtRx1Frequency->isHidden() && !txtRx1Frequency->isReadOnly();
    s.rx1Frequency = text(txtRx1Frequency);
    s.supervisionUnlocked = !txtSupervisionCapcode->isReadOnly();
    s.supervisionCapcode = BoxDigits(txtSupervisionCapcode);
    s.programDateTime = chkDateTime->isChecked();
    s.securityMode = listSetting(chkSecurityMode, cmbSecurityMode);
    s.operationMode = listSetting(chkOperationMode, cmbOperationMode);
    s.squelchLevel = listSetting(chkSquelchLevel, cmbSquelchLevel);
    s.rxBaudRate = listSetting(chkRxBaudRate, cmbRxBaudRate);
    s.rxDeviation = listSetting(chkRxDeviation, cmbRxDeviation);
    s.ambientNoiseLevel = listSetting(chkAmbientNoiseLevel, cmbAmbientNoiseLevel);
    s.securityKey = text(txtSecurityKey);
    for (int i = 0; i < kCapcodeRows; ++i) {
        const auto row = static_cast<std::size_t>(i);
        s.capcodes[row] = {chkProgramCapcode[row]->isChecked(), BoxDigits(txtCapcode[row]),
                           std::max(0, cmbAlertLevel[row]->currentIndex())};
    }
    s.programConfiguration = chkProgramDeviceConfiguration->isChecked();
    for (int i = 0; i < kConfigurationBits; ++i)
        s.configuration[static_cast<std::size_t>(i)] = chkDeviceConfiguration[static_cast<std::size_t>(i)]->isChecked();
    s.programOptions = chkProgramDeviceOptions->isChecked();
    for (int i = 0; i < kOptionBits; ++i)
        s.options[static_cast<std::size_t>(i)] = chkDeviceOptions[static_cast<std::size_t>(i)]->isChecked();
    s.programCommon = chkProgramTransceiversCommonSettings->isChecked();
    s.power = listSetting(nullptr, cmbPower);
    s.txDeviation = listSetting(nullptr, cmbTxDeviation);
    s.ifBandwidth = listSetting(nullptr, cmbIFBandwidth);
    s.txBaudRate = listSetting(nullptr, cmbTxBaudRate);
    s.programPrimary = chkProgramPrimaryTransceiverrSettings->isChecked();
    s.tx1Frequency = text(txtTx1Frequency);
    s.programSecondary = chkProgramSecondaryTransceiverSettings->isChecked();
    s.rx2Frequency = text(txtRx2Frequency);
    s.tx2Frequency = text(txtTx2Frequency);
    return s;
}

bool KS_GEN_SpeakerProgrammer::ProgramSpeakerSettings()
{
    Run run(*this, true);

    if (!IsLinkResponding(20)) {
        ShowLinkCommError();
        lblInfo->setText("Canceled !");
        lblInfo->show(); // a failed transmitter test may have hidden it
        return false;
    }
    const SpeakerVersion version = AskSpeakerVersion();
    setText(txtVersion, version.text);
    if (!SpeakerConnected())
        return false;

    const bool current = SpeakerUsesCurrentSet(version);
    std::vector<SpeakerProgramItem> items = BuildSpeakerProgram(CollectSettings(), version);
    ShowBusyPointer();
    StartProgress(SpeakerProgressSteps(items));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const SpeakerProgramItem item = items[i];
        if (item.kind == SpeakerStep::SupervisionQuery) {
            if (!AskSpeakerSupervision(current) && !current) {
                // Without a supervision capcode the unit has six slots: rows 7 and 8 go unticked.
                chkProgramCapcode[6]->setChecked(false);
                chkProgramCapcode[7]->setChecked(false);
                items = BuildSpeakerProgram(CollectSettings(), version, false);
                prgProgress->setMaximum(std::max(1, SpeakerProgressSteps(items)));
            }
            continue;
        }
        RunProgramItem(item, current);
    }
    FinishProgram();
    return true;
}

void KS_GEN_SpeakerProgrammer::RunProgramItem(const SpeakerProgramItem& item, bool current)
{
    Step(item.stepText);
    if (item.preTicks > 0)
        PauseTicks(item.preTicks);

    bool ok = false;
    if (item.kind == SpeakerStep::DateTime) {
        const QDateTime now = GetLocalTime();
        bool timeWritten = DeviceSetting("PT", SpeakerTimeValue(now), 0, 1);
        // Old units that refuse the seconds take hours and minutes.
        if (!timeWritten && !current)
            timeWritten = DeviceSetting("PT", SpeakerTimeValue(now, false), 0, 1);
        ok = timeWritten && DeviceSetting("PD", SpeakerDateValue(now), 0, 1);
    } else {
        ok = DeviceSetting(item.command, item.value, 40, 1);
    }

    if (ok && item.kind == SpeakerStep::Serial && chkSNAutoIncrement->isChecked())
        AutoIncrement(txtSerialNumber, txtSNIncrement);
    if (ok && item.kind == SpeakerStep::Capcode) {
        const auto row = static_cast<std::size_t>(item.row);
        if (chkAutoIncrement[row]->isChecked())
            AutoIncrement(txtCapcode[row], txtIncrement[row]);
    }
    if (!ok)
        StepFailed(item.failureText);
    if (item.postTicks > 0)
        PauseTicks(item.postTicks);
}

// ---- Tests, tone and reset -----------------------------------------------------------------

void KS_GEN_SpeakerProgrammer::cmdTx1Test_Click() { TransmitterTest(1); }
void KS_GEN_SpeakerProgrammer::cmdTx2Test_Click() { TransmitterTest(2); }

void KS_GEN_SpeakerProgrammer::TransmitterTest(int transmitter)
{
    // A test started while another waits would send its start a second time.
    if (Exchanging() || Running())
        return;
    Exchange exchange(*this);
    const std::string baudText = cmbTxBaudRate->currentIndex() < 0 ? "" : FromQString(cmbTxBaudRate->currentText());
    const std::string number = std::to_string(transmitter);
    std::string reply;
    // Once its start has gone out the test counts as running, answered or
    // not: Exit, chosen while the start waits for its answer, waits for that
    // wait to end and then stops the test before it closes the port.
    onTest_[static_cast<std::size_t>(transmitter)] = true;
    bool started = false;
    {
        const LinkConversation conversation;
        started = SendLinkCommand("TT", BaudCodeText(baudText, false) + number, false, 0, reply, true, 3);
    }
    if (ExitRequested())
        return;
    if (!started) {
        onTest_[static_cast<std::size_t>(transmitter)] = false;
        appendInfo(lblInfo, " - Failed.");
        PauseTicks(20);
        lblInfo->hide();
        return;
    }
    ShowMessage("Testing " + std::string(transmitter == 1 ? "Primary" : "Secondary") + " Tx at " + baudText
                    + " bps...",
                kButtonsCancel, kAnswerCancel, kIconInformation, "", "", false, true, 30000);
    // Exit chosen while the box was up stopped the test before it closed the port.
    if (!onTest_[static_cast<std::size_t>(transmitter)])
        return;
    StopTransmitterTest(transmitter);
}

bool KS_GEN_SpeakerProgrammer::StopTransmitterTest(int transmitter)
{
    // The stop is one exchange, which Exit waits for; until the unit has taken
    // it the test counts as running, so Exit and closing the window send it again.
    std::string reply;
    bool stopped = false;
    {
        const LinkConversation conversation;
        stopped = SendLinkCommand("TT", "0" + std::to_string(transmitter), false, 0, reply, true, 3);
    }
    if (stopped) {
        onTest_[static_cast<std::size_t>(transmitter)] = false;
        return true;
    }
    // A notice, so that none shows once Exit is chosen.
    MessageRequest notice;
    notice.message = "Communication with the " + gEncoderModelName + " cannot be established. \r\nThe test of its "
        + (transmitter == 1 ? "Primary" : "Secondary") + " Tx could not be stopped: the transmitter may still be on "
        + "the air.";
    notice.icon = kIconExclamation;
    ShowNotice(notice);
    return false;
}

void KS_GEN_SpeakerProgrammer::StopTransmittersOnTest()
{
    for (const int transmitter : {1, 2})
        if (onTest_[static_cast<std::size_t>(transmitter)])
            StopTransmitterTest(transmitter);
}

void KS_GEN_SpeakerProgrammer::StopBeforeExit()
{
    // The speaker would go on transmitting once the port is closed and no stop can reach it.
    StopTransmittersOnTest();
}

void KS_GEN_SpeakerProgrammer::closeEvent(QCloseEvent* event)
{
    // A read, a program or a test still waits for the unit: a stop sent now
    // would go out inside that wait and its answer be taken for the wait's.
    if (Running() || Exchanging()) {
        event->ignore();
        return;
    }
    // Closing the window is the last chance to reach a transmitter a stop did
    // not reach (once Exit is chosen the link sends nothing more). The window
    // is grey meanwhile, so nothing else goes out inside the stop's wait.
    if (onTest_[1] || onTest_[2]) {
        const Exchange exchange(*this);
        StopTransmittersOnTest();
    }
    KS_ProgrammerFrame::closeEvent(event);
}

void KS_GEN_SpeakerProgrammer::cmdTest_Click()
{
    if (Exchanging() || Running())
        return;
    Exchange exchange(*this);
    if (!IsLinkResponding() || cmbAlertNumber->currentIndex() < 0)
        return;
    cmdTest->setEnabled(false);
    const int alert = AsOptionList(cmbAlertNumber).ItemData(cmbAlertNumber->currentIndex());
    DeviceSetting(alert < 10 ? "GT" : "GM", std::to_string(alert) + "1211", 0, 3);
    cmdTest->setEnabled(true);
}

void KS_GEN_SpeakerProgrammer::cmdReset_Click()
{
    if (Exchanging())
        return;
    const std::string& model = gEncoderModelName;
    const auto answer = ShowMessage("Resetting the " + model
                                        + " will change important device settings and may render it useless.\r\n"
                                        + "Are you sure you want to reset the " + model + " to factory default?",
                                    kButtonsYesNo, kAnswerNo, kIconQuestion);
    if (answer == kAnswerYes) {
        Run run(*this, false);
        if (!SpeakerConnected())
            return;
        if (!IsLinkResponding(20))
            ShowLinkCommError();
        else if (SendFactoryReset(1))
            chkDateTime->setChecked(true);
        else
            ShowLinkCommError();
    }
    SafeSetFocus(txtVersion);
}
