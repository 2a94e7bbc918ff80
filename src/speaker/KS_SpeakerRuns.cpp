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
#include "KS_PageRequest.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_String.h"
#include "OptionList.h"

namespace {

constexpr const char* kSpeakerModel = "PA Speaker";

std::string text(const QLineEdit* box) { return FromQString(box->text()); }
void setText(QLineEdit* box, std::string_view value) { box->setText(ToQString(value)); }
void appendInfo(QLabel* label, std::string_view tail) { label->setText(label->text() + ToQString(tail)); }

std::string query(const char* command, DeviceQueryOptions options, std::string* raw = nullptr)
{
    return DeviceQuery(command, options, raw);
}

// A query that is sent once more when its first round brings nothing.
std::string queryTwice(const std::string& command, DeviceQueryOptions options, std::string* raw = nullptr)
{
    std::string value = DeviceQuery(command, options, raw);
    if (value.empty())
        value = DeviceQuery(command, options, raw);
    return value;
}

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

bool KS_GEN_SpeakerProgrammer::IsSpeakerConnected()
{
    if (gEncoderModelName == kSpeakerModel)
        return true;
    ShowOptionNotUpdatedWarning("Speaker Programming");
    return false;
}

// ---- Reading -----------------------------------------------------------------------------

void KS_GEN_SpeakerProgrammer::cmdRead_Click()
{
    SafeSetFocus(chkDateTime);
    ReadSpeakerSettings();
}

bool KS_GEN_SpeakerProgrammer::ReadSpeakerSettings()
{
    Run run(*this, false);
    lblInfo->clear();
    for (int i = 0; i < kCapcodeRows; ++i) {
        const auto row = static_cast<std::size_t>(i);
        setText(txtCapcode[row], PadDigits("", txtCapcode[row]->maxLength()));
        cmbAlertLevel[row]->setCurrentIndex(0);
    }
    if (!IsLinkResponding(20)) {
        ShowOptionNotUpdatedWarning("programming");
        return true;
    }
    if (!IsSpeakerConnected())
        return false;

    const SpeakerVersion version = AskVersion();
    const int v = version.hundredths;
    const bool current = ReadUsesCurrentSet(version);

    bool askAllowed = true;
    bool cancelled = false;
    if (current)
        txtSerialNumber->setMaxLength(8);
    ReadSpeakerDateTime();
    ShowBusyPointer();

    const std::string serial = query("?S", {.expectedLength = static_cast<std::int16_t>(current ? 8 : 7), .ticks = 60});
    setText(txtSerialNumber, serial.empty() ? PadDigits(text(txtSerialNumber), txtSerialNumber->maxLength()) : serial);

    bool supervision = true;
    if (current) {
        if (const auto frequency = FrequencyFromDigits(query("?FR1", {7, 60, 3, true}))) {
            lblRx1Frequency->show();
            txtRx1Frequency->show();
            setText(txtRx1Frequency, *frequency);
        }
        const std::string capcode = query("?C9", {7, 20, 1, true});
        setText(txtSupervisionCapcode, PadDigits(capcode, 7));
        setText(txtRx1RSSI, "N/A");
        if (v >= 303) {
            lblRx1RSSI->show();
            txtRx1RSSI->show();
            if (const auto strength = SignalStrengthText(query("?FS1", {3, 0, 1})))
                setText(txtRx1RSSI, *strength);
        }
        const std::string baud = Trim(query("?FBR", {1, 60, 3}));
        if (baud.empty())
            cmbRxBaudRate->setCurrentIndex(-1);
        else if (!SpeakerBaudText(baud[0]).empty())
            SelectSpeakerListText(AsOptionList(cmbRxBaudRate), SpeakerBaudText(baud[0]));
    } else {
        // A legacy unit with a "Ver." text of 3.0 or more has the receiver frequency under its old name.
        if (VersionNumber(text(txtVersion)).value_or(0) >= 300) {
            if (const auto frequency = FrequencyFromDigits(query("?F", {7, 40, 3, true}))) {
                for (QWidget* w : std::initializer_list<QWidget*>{lblRx1Frequency, txtRx1Frequency, lblRx1RSSI,
                                                                   txtRx1RSSI})
                    w->show();
                setText(txtRx1Frequency, *frequency);
            }
        } else {
            HideRx1Frequency();
        }
        setText(txtSupervisionCapcode, "0000000");
        const std::string capcode = queryTwiceWithLongerWait();
        supervision = !capcode.empty();
        if (supervision)
            setText(txtSupervisionCapcode, PadDigits(capcode, 7));
        const std::string baud = Trim(query("?B", {1, 60, 3}));
        if (baud.empty())
            cmbRxBaudRate->setCurrentIndex(-1);
        else
            SelectSpeakerListText(AsOptionList(cmbRxBaudRate), baud == "0" ? "512" : "1200");
    }

    SelectSpeakerListText(AsOptionList(cmbSquelchLevel), query("?Q", {1, 60, 3}));
    SelectSpeakerListText(AsOptionList(cmbSecurityMode), query("?SM", {1, 60, 3}) == "1" ? "On" : "Off");
    setText(txtSecurityKey, PadDigits(query("?SS", {3, 60, 3}), 3));
    SelectSpeakerListText(AsOptionList(cmbOperationMode), query("?M", {1, 60, 3}));

    const int slotCount = supervision ? kCapcodeRows : 6;
    const DeviceQueryOptions levelQuery{static_cast<std::int16_t>(slotCount), 0, 3, true};
    const std::string levels = current ? query("?OV", levelQuery) : queryTwice("?OV", levelQuery);
    if (levels.empty())
        AskToGoOn(askAllowed, cancelled);
    ReadCapcodeSlots(slotCount, levels, askAllowed, cancelled);

    if (current && v >= 310) {
        const DeviceQueryOptions one{1, 0, 3};
        const DeviceQueryOptions oneTable{1, 0, 3, false, true};
        SelectSpeakerListData(AsOptionList(cmbRxDeviation), query("?FX", oneTable));
        const std::string noise = query("?AN", {5, 0, 3, false, true});
        SelectSpeakerListData(AsOptionList(cmbAmbientNoiseLevel), noise.substr(0, 1));
        ApplyMask(query("?CM", {4, 0, 3}), chkDeviceConfiguration.data(), kConfigurationBits);
        ApplyMask(query("?O", {static_cast<std::int16_t>(v >= 314 ? 4 : 2), 0, 3}), chkDeviceOptions.data(),
                  kOptionBits);
        SelectSpeakerListData(AsOptionList(cmbPower), query("?FP", one));
        SelectSpeakerListData(AsOptionList(cmbTxDeviation), query("?FD", oneTable));
        SelectSpeakerListData(AsOptionList(cmbIFBandwidth), query("?FI", oneTable));
        for (const auto& [command, box] : {std::pair{"?FT1", txtTx1Frequency}, {"?FR2", txtRx2Frequency},
                                           {"?FT2", txtTx2Frequency}})
            if (const auto frequency = FrequencyFromDigits(query(command, {7, 0, 3})))
                setText(box, *frequency);
        const std::string txBaud = query("?FBT", oneTable);
        if (IsNumericText(txBaud))
            SelectSpeakerListText(AsOptionList(cmbTxBaudRate), SpeakerBaudText(txBaud.back()));
        else
            cmbTxBaudRate->setCurrentIndex(-1);
        setText(txtRx2RSSI, "N/A");
        if (const auto strength = SignalStrengthText(query("?FS2", {3, 0, 1}))) {
            lblRx2RSSI->show();
            txtRx2RSSI->show();
            setText(txtRx2RSSI, *strength);
        }
    }
    ReportStatus("Ready");
    return true;
}

SpeakerVersion KS_GEN_SpeakerProgrammer::AskVersion()
{
    setText(txtVersion, "N/A");
    std::string raw;
    query("?V", {.expectedLength = 0, .ticks = 60, .tries = 3, .pokeOnTimeout = true}, &raw);
    const SpeakerVersion version = ParseSpeakerVersion(raw);
    setText(txtVersion, version.text);
    return version;
}

std::string KS_GEN_SpeakerProgrammer::queryTwiceWithLongerWait()
{
    // Old units answer the supervision slot slowly, or not at all when they have none.
    std::string capcode = query("?C9", {7, 20, 1, true});
    if (capcode.empty())
        capcode = query("?C9", {7, 40, 1, true});
    return capcode;
}

void KS_GEN_SpeakerProgrammer::HideRx1Frequency()
{
    for (QWidget* w : std::initializer_list<QWidget*>{lblRx1Frequency, txtRx1Frequency, lblRx1RSSI, txtRx1RSSI})
        w->hide();
    txtRx1Frequency->setReadOnly(true);
    QPalette palette = txtRx1Frequency->palette();
    palette.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    txtRx1Frequency->setPalette(palette);
    setText(txtRx1Frequency, "000.0000");
}

void KS_GEN_SpeakerProgrammer::AskToGoOn(bool& askAllowed, bool& cancelled)
{
    if (!askAllowed)
        return;
    if (AskRetryDownload() == kAnswerNo)
        cancelled = true;
    askAllowed = !gMessageOption;
}

void KS_GEN_SpeakerProgrammer::ReadCapcodeSlots(int slotCount, const std::string& levels, bool& askAllowed,
                                                bool& cancelled)
{
    for (int slot = 1; slot <= slotCount; ++slot) {
        if (cancelled)
            continue;
        const auto row = static_cast<std::size_t>(slot - 1);
        const std::string capcode = queryTwice("?C" + std::to_string(slot), {7, 60, 3, true});
        setText(txtCapcode[row], PadDigits("", 7));
        if (!capcode.empty()) {
            setText(txtCapcode[row], PadDigits(capcode, 7));
            cmbAlertLevel[row]->setCurrentIndex(SpeakerAlertLevelPosition(levels, slot, cmbAlertLevel[row]->count()));
        } else {
            AskToGoOn(askAllowed, cancelled);
        }
    }
}

void KS_GEN_SpeakerProgrammer::ApplyMask(const std::string& value, QCheckBox* const* boxes, int count)
{
    const std::uint32_t mask = ParseSpeakerMask(value).value_or(0);
    for (int i = 0; i < count; ++i)
        boxes[i]->setChecked((mask >> i) & 1u);
}

void KS_GEN_SpeakerProgrammer::ReadSpeakerDateTime()
{
    setText(txtDateTime, "N/A");
    ShowBusyPointer();
    if (IsLinkResponding()) {
        std::string dateReply;
        std::string timeReply;
        queryTwice("?D", {7, 40, 3}, &dateReply);
        std::string time = query("?T", {6, 40, 3}, &timeReply);
        if (time.empty())
            time = query("?T", {4, 40, 3}, &timeReply);
        setText(txtDateTime, SpeakerDateTimeText(dateReply, timeReply, time));
    }
    ShowNormalPointer();
}

// ---- Programming ------------------------------------------------------------------------

void KS_GEN_SpeakerProgrammer::cmdProgram_Click()
{
    if (ChecksBeforeProgramming() && IsSpeakerConnected())
        ProgramSpeakerSettings();
}

bool KS_GEN_SpeakerProgrammer::ChecksBeforeProgramming()
{
    // A toolbar click takes no focus, so the box being typed in may not have been left yet.
    std::vector<QLineEdit*> digitBoxes = {txtSerialNumber, txtSNIncrement, txtSupervisionCapcode};
    digitBoxes.insert(digitBoxes.end(), txtCapcode.begin(), txtCapcode.end());
    digitBoxes.insert(digitBoxes.end(), txtIncrement.begin(), txtIncrement.end());
    for (QLineEdit* box : digitBoxes)
        if (Unlocked(box))
            PadDigitBox(box);
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
    if (Unlocked(txtSupervisionCapcode) && !CapcodeInRange(text(txtSupervisionCapcode)))
        return Refuse("Capcode must be in the range of 0000008 to 2097151.", txtSupervisionCapcode);
    return CapcodesInRange(chkProgramCapcode, txtCapcode);
}

SpeakerSettings KS_GEN_SpeakerProgrammer::CollectSettings() const
{
    SpeakerSettings s;
    s.serialUnlocked = !txtSerialNumber->isReadOnly();
    s.serialNumber = text(txtSerialNumber);
    s.rx1FrequencyOpen = !txtRx1Frequency->isHidden() && !txtRx1Frequency->isReadOnly();
    s.rx1Frequency = text(txtRx1Frequency);
    s.supervisionUnlocked = !txtSupervisionCapcode->isReadOnly();
    s.supervisionCapcode = text(txtSupervisionCapcode);
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
        s.capcodes[row] = {chkProgramCapcode[row]->isChecked(), text(txtCapcode[row]),
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
    const SpeakerVersion version = AskVersion();
    if (!IsSpeakerConnected())
        return false;

    const bool current = ProgramUsesCurrentSet(version);
    std::vector<SpeakerProgramItem> items = BuildSpeakerProgram(CollectSettings(), version);
    ShowBusyPointer();
    StartProgress(SpeakerProgressSteps(items));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const SpeakerProgramItem item = items[i];
        if (item.kind == SpeakerStep::SupervisionQuery) {
            const DeviceQueryOptions supervision{7, 40, 1};
            const std::string capcode
                = current ? query("?C9", supervision) : queryTwice("?C9", supervision);
            if (!current && capcode.empty()) {
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
    const std::string baudText = cmbTxBaudRate->currentIndex() < 0 ? "" : FromQString(cmbTxBaudRate->currentText());
    const std::string number = std::to_string(transmitter);
    std::string reply;
    if (!SendLinkCommand("TT", BaudCodeText(baudText, false) + number, false, 0, reply, true, 3)) {
        appendInfo(lblInfo, " - Failed.");
        PauseTicks(20);
        lblInfo->hide();
        return;
    }
    ShowMessage("Testing " + std::string(transmitter == 1 ? "Primary" : "Secondary") + " Tx at " + baudText
                    + " bps...",
                kButtonsCancel, kAnswerCancel, kIconInformation, "", "", false, true, 30000);
    // A stop the unit did not take leaves its transmitter on the air.
    if (!SendLinkCommand("TT", "0" + number, false, 0, reply, true, 3))
        ShowLinkCommError();
}

void KS_GEN_SpeakerProgrammer::cmdTest_Click()
{
    if (!IsLinkResponding() || cmbAlertNumber->currentIndex() < 0)
        return;
    cmdTest->setEnabled(false);
    const int alert = AsOptionList(cmbAlertNumber).ItemData(cmbAlertNumber->currentIndex());
    DeviceSetting(alert < 10 ? "GT" : "GM", std::to_string(alert) + "1211", 0, 3);
    cmdTest->setEnabled(true);
}

void KS_GEN_SpeakerProgrammer::cmdReset_Click()
{
    const std::string& model = gEncoderModelName;
    const auto answer = ShowMessage("Resetting the " + model
                                        + " will change important device settings and may render it useless.\r\n"
                                        + "Are you sure you want to reset the " + model + " to factory default?",
                                    kButtonsYesNo, kAnswerNo, kIconQuestion);
    if (answer == kAnswerYes) {
        Run run(*this, false);
        if (!IsSpeakerConnected())
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
