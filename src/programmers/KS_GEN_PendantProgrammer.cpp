#include "KS_GEN_PendantProgrammer.h"

#include <QKeyEvent>
#include <vector>

#include "KS_DeviceLink.h"
#include "KS_DeviceRules.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_PendantConversation.h"
#include "KS_String.h"

namespace {

constexpr std::string_view kHoldButton = "For PDX-01, press and hold the the Pendant button.\r\n"
                                         "For PDX-03, press and hold the the 3rd (from left) Pendant button.\r\n"
                                         "Press Ok when ready.\r\n";
constexpr std::string_view kReleaseButton = "Release Pendant button.";
constexpr std::string_view kReadFirst =
    "The model of the pendant is not known. Please read the pendant before programming its capcodes.";

constexpr int kSerialDigits = 8;
constexpr int kMessageLength = 50;
constexpr std::int32_t kWriteTicks = 40;
constexpr std::int16_t kWriteRetries = 3;

std::string text(const QLineEdit* box) { return FromQString(box->text()); }

void selectText(QComboBox* list, std::string_view itemText)
{
    OptionList& options = AsOptionList(list);
    options.SetSelectedIndex(FindItemText(options, itemText));
}

// The first entry whose datum is the number the pendant answered; none: as it was.
void selectData(QComboBox* list, int datum)
{
    OptionList& options = AsOptionList(list);
    for (int i = 0; i < options.ItemCount(); ++i)
        if (options.ItemData(i) == datum) {
            options.SetSelectedIndex(i);
            return;
        }
}

std::string selectedData(QComboBox* list)
{
    const OptionList& options = AsOptionList(list);
    return std::to_string(options.ItemData(options.SelectedIndex()));
}

bool PendantButtonHeld()
{
    return ShowMessage(kHoldButton, kButtonsOkCancel, kAnswerOk, kIconInformation) == kAnswerOk;
}

std::string slotCommand(const char* command, int row) { return command + std::to_string(row + 1); }

} // namespace

KS_GEN_PendantProgrammer::KS_GEN_PendantProgrammer(QWidget* owner)
    : KS_ProgrammerFrame(owner, "KS_GEN_PendantProgrammer", "Pendant Programmer", 8400, 6960)
{
    static const char* const kRowNames[kCapcodeRows][6] = {
        {"chkProgramCapcode_0", "txtCapcode_0", "chkAutoIncrement_0", "txtIncrement_0", "lblMessage_0", "txtMessage_0"},
        {"chkProgramCapcode_1", "txtCapcode_1", "chkAutoIncrement_1", "txtIncrement_1", "lblMessage_1", "txtMessage_1"},
        {"chkProgramCapcode_2", "txtCapcode_2", "chkAutoIncrement_2", "txtIncrement_2", "lblMessage_2", "txtMessage_2"},
        {"chkProgramCapcode_3", "txtCapcode_3", "chkAutoIncrement_3", "txtIncrement_3", "lblMessage_3", "txtMessage_3"},
    };
    static const char* const kRowCaptions[kCapcodeRows] = {"Program Capcode &1", "Program Capcode &2",
                                                           "Program Capcode &3", "Program Capcode &4"};
    constexpr const char* kDetails = "fraGeneralDetails";
    constexpr const char* kOptions = "fraProgrammableOptions";
    std::vector<FormControl> controls = {
        Control(fraGeneralDetails, "fraGeneralDetails", "General Details", {120, 60, 8160, 1860}),
        Control(lblVersion, "lblVersion", "&Version:", {240, 330, 1200, 255}, 0, kDetails),
        Control(txtVersion, "txtVersion", "", {1500, 300, 1500, 315}, 0, kDetails),
        Control(lblDevice, "lblDevice", "&Device:", {240, 690, 1200, 255}, 0, kDetails),
        Control(txtDevice, "txtDevice", "", {1500, 660, 1500, 315}, 0, kDetails),
        Control(lblSerialNumber, "lblSerialNumber", "Serial Number:", {240, 1050, 1200, 255}, 0, kDetails),
        Control(txtSerialNumber, "txtSerialNumber", DigitsText(kSerialDigits), {1500, 1020, 1500, 315}, kSerialDigits,
                kDetails),
        Control(chkSNAutoIncrement, "chkSNAutoIncrement", "&Auto Increment by", {1500, 1410, 1800, 255}, 0, kDetails),
        Control(txtSNIncrement, "txtSNIncrement", "", {3360, 1380, 500, 315}, 2, kDetails),
        Control(lblFrequency, "lblFrequency", "&Frequency:", {4200, 330, 1200, 255}, 0, kDetails),
        Control(txtFrequency, "txtFrequency", "", {5460, 300, 1300, 315}, 8, kDetails),
        Control(lblPower, "lblPower", "Po&wer:", {4200, 690, 1200, 255}, 0, kDetails),
        Control(cmbPower, "cmbPower", "", {5460, 660, 1300, 315}, 0, kDetails),
        Control(lblDeviation, "lblDeviation", "D&eviation:", {4200, 1050, 1200, 255}, 0, kDetails),
        Control(cmbDeviation, "cmbDeviation", "", {5460, 1020, 1300, 315}, 0, kDetails),
        Control(cmdReset, "cmdReset", "Re&set", {6840, 1380, 1200, 375}, 0, kDetails),
        Control(fraProgrammableOptions, "fraProgrammableOptions", "Programmable Options", {120, 2000, 8160, 3900}),
        Control(chkProgramBaudType, "chkProgramBaudType", "Program &Baud Rate and Pager Type", {240, 330, 3100, 255},
                0, kOptions),
        Control(cmbBaudRate, "cmbBaudRate", "", {3420, 300, 1200, 315}, 0, kOptions),
        Control(cmbPagerType, "cmbPagerType", "", {4740, 300, 1800, 315}, 0, kOptions),
    };
    for (int i = 0; i < kCapcodeRows; ++i) {
        const int top = 780 + i * 780;
        controls.push_back(Control(chkProgramCapcode[i], kRowNames[i][0], kRowCaptions[i], {240, top + 30, 1900, 255},
                                   0, kOptions));
        controls.push_back(Control(txtCapcode[i], kRowNames[i][1], DigitsText(7), {2220, top, 1100, 315}, 7, kOptions));
        controls.push_back(Control(chkAutoIncrement[i], kRowNames[i][2], "Auto Increment by",
                                   {3480, top + 30, 1800, 255}, 0, kOptions));
        controls.push_back(Control(txtIncrement[i], kRowNames[i][3], "", {5340, top, 480, 315}, 2, kOptions));
        controls.push_back(Control(lblMessage[i], kRowNames[i][4], "Message:", {480, top + 390, 1600, 255}, 0,
                                   kOptions));
        controls.push_back(Control(txtMessage[i], kRowNames[i][5], "", {2220, top + 360, 5760, 315}, kMessageLength,
                                   kOptions));
    }
    controls.push_back(Control(lblInfo, "lblInfo", "", {120, 6000, 8160, 255}));
    controls.push_back(Control(prgProgress, "prgProgress", "", {120, 6270, 8160, 200}));
    controls.push_back(Control(cmdProgram, "cmdProgram", "&Program", {4560, 6510, 1200, 375}));
    controls.push_back(Control(cmdRead, "cmdRead", "&Read", {5820, 6510, 1200, 375}));
    controls.push_back(Control(cmdClose, "cmdClose", "&Close", {7080, 6510, 1200, 375}));
    BuildFrame(controls);

    BindProgramCheck(chkProgramBaudType, {cmbBaudRate, cmbPagerType});
    for (int i = 0; i < kCapcodeRows; ++i) {
        // The row's increment box keeps its own state: its check box governs it.
        BindProgramCheck(chkProgramCapcode[i], {txtCapcode[i], lblMessage[i], txtMessage[i], chkAutoIncrement[i]});
        BindProgramCheck(chkAutoIncrement[i], {txtIncrement[i]});
    }
    Form_Load();
}

void KS_GEN_PendantProgrammer::Form_Load()
{
    SetUpVersionBox();
    Lock(txtDevice, true);
    Lock(txtSerialNumber, true);
    MakeDigitBox(txtSerialNumber, kSerialDigits);
    PadDigitBox(txtSerialNumber);
    chkSNAutoIncrement->hide();
    txtSNIncrement->setEnabled(false);
    txtSNIncrement->hide();
    MakeDigitBox(txtSNIncrement, 2);
    txtSNIncrement->setText("01");
    cmdReset->hide();
    lblFrequency->hide();
    txtFrequency->hide();
    Lock(txtFrequency, true);
    MakeFrequencyBox(txtFrequency);
    txtFrequency->setText("467.8000");
    for (QWidget* control : std::initializer_list<QWidget*>{lblPower, cmbPower, lblDeviation, cmbDeviation})
        control->hide();
    cmbPower->setEnabled(false);
    cmbDeviation->setEnabled(false);
    powerLocked_ = deviationLocked_ = true;
    cmbBaudRate->setEnabled(false);
    cmbPagerType->setEnabled(false);
    for (int i = 0; i < kCapcodeRows; ++i) {
        txtCapcode[i]->setEnabled(false);
        MakeDigitBox(txtCapcode[i], kCapcodeDigits);
        PadDigitBox(txtCapcode[i]);
        chkAutoIncrement[i]->setEnabled(false);
        txtIncrement[i]->setEnabled(false);
        MakeDigitBox(txtIncrement[i], 2);
        txtIncrement[i]->setText("01");
        lblMessage[i]->setEnabled(false);
        txtMessage[i]->setEnabled(false);
        txtMessage[i]->setMaxLength(kMessageLength);
    }
    FillPowerLevelCombo(AsOptionList(cmbPower), 1);
    FillDeviationCombo(AsOptionList(cmbDeviation), 4);
    FillDeviceBaudCombo(AsOptionList(cmbBaudRate), 0);
    FillPendantPagerTypeCombo(AsOptionList(cmbPagerType), 0);
    SetupToolbar();
}

// ---- Service fields ---------------------------------------------------------------

void KS_GEN_PendantProgrammer::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == kRadioServiceKey && event->modifiers() == kServiceModifiers) {
        if (!Running())
            UnlockRadioFields();
        return;
    }
    KS_ProgrammerFrame::keyPressEvent(event);
}

void KS_GEN_PendantProgrammer::UnlockRadioFields()
{
    lblFrequency->setEnabled(true);
    lblFrequency->show();
    Lock(txtFrequency, false);
    txtFrequency->setEnabled(true);
    txtFrequency->show();
    for (QComboBox* list : {cmbPower, cmbDeviation}) {
        list->setEnabled(true);
        list->show();
    }
    lblPower->show();
    lblDeviation->show();
    powerLocked_ = deviationLocked_ = false;
    SafeSetFocus(txtFrequency);
}

void KS_GEN_PendantProgrammer::ServiceUnlocked() { cmdReset->show(); }

// ---- Shared by the runs -------------------------------------------------------------

int KS_GEN_PendantProgrammer::ReadVersion(bool showNumber)
{
    const PendantVersion version = ReadPendantVersion();
    if (version.text && (showNumber || !version.plainNumber))
        txtVersion->setText(ToQString(*version.text));
    return version.hundredths;
}

int KS_GEN_PendantProgrammer::ApplyRowCount()
{
    const int rows = PendantSlotCount(text(txtDevice));
    if (rows == 3) {
        chkProgramCapcode[3]->setChecked(false);
        chkProgramCapcode[3]->setEnabled(false);
    } else if (rows == 4) {
        chkProgramCapcode[3]->setEnabled(true);
    }
    return rows;
}

void KS_GEN_PendantProgrammer::SwitchToNormalModeWhenNeeded()
{
    if (PendantNeedsNormalMode(text(txtDevice), text(txtVersion)))
        SwitchToNormalMode();
}

bool KS_GEN_PendantProgrammer::WriteItem(std::string_view stepText, std::string_view command, std::string_view value,
                                         std::int32_t ticks)
{
    Step(stepText);
    PauseTicks(1);
    if (DeviceSetting(command, value, ticks, kWriteRetries))
        return true;
    StepFailed();
    return false;
}

// ---- Read -------------------------------------------------------------------------------

void KS_GEN_PendantProgrammer::cmdRead_Click()
{
    ReadPendant();
    SafeSetFocus(chkProgramBaudType);
}

void KS_GEN_PendantProgrammer::ShowRadioFields(const PendantSettings& read)
{
    if (read.serialNumber)
        txtSerialNumber->setText(ToQString(*read.serialNumber));
    else
        PadDigitBox(txtSerialNumber);
    if (read.frequency) {
        lblFrequency->show();
        txtFrequency->show();
        txtFrequency->setText(ToQString(FormatFrequencyText(*read.frequency)));
    }
    const struct {
        const std::optional<int>& value;
        QLabel* label;
        QComboBox* list;
    } lists[] = {{read.power, lblPower, cmbPower}, {read.deviation, lblDeviation, cmbDeviation}};
    for (const auto& item : lists) {
        if (!item.value)
            continue;
        item.label->show();
        item.list->show();
        selectData(item.list, *item.value);
    }
}

void KS_GEN_PendantProgrammer::ShutRadioFields()
{
    Lock(txtSerialNumber, true);
    chkSNAutoIncrement->hide();
    txtSNIncrement->hide();
    lblFrequency->hide();
    txtFrequency->hide();
    Lock(txtFrequency, true);
    txtFrequency->setText("000.0000");
    for (QWidget* control : std::initializer_list<QWidget*>{lblPower, cmbPower, lblDeviation, cmbDeviation})
        control->hide();
    for (QComboBox* list : {cmbPower, cmbDeviation}) {
        list->setEnabled(false);
        AsOptionList(list).SetSelectedIndex(-1);
    }
    powerLocked_ = deviationLocked_ = true;
}

bool KS_GEN_PendantProgrammer::ReadPendant()
{
    ReadRun run(*this);
    return Guarded([this] {
        lblInfo->clear();
        for (int i = 0; i < kCapcodeRows; ++i) {
            txtCapcode[i]->setText(ToQString(PadDigits("0", txtCapcode[i]->maxLength())));
            txtMessage[i]->clear();
        }
        ShowMessage(kHoldButton, kButtonsOk, kAnswerOk, kIconInformation);
        if (!ProbeDevice(10, 10)) {
            ShowOptionNotUpdatedWarning("programming");
            return true;
        }
        ShowMessage(kReleaseButton, kButtonsOk, kAnswerOk, kIconInformation);
        ShowBusyPointer();

        const PendantSettings read = ReadPendantSettings();
        txtVersion->setText(ToQString(read.version));
        txtDevice->setText(ToQString(read.model));
        const int rows = ApplyRowCount();
        if (read.radio)
            ShowRadioFields(read);
        else
            ShutRadioFields();
        selectText(cmbBaudRate, read.baudType.baud);
        selectText(cmbPagerType, read.baudType.pagerType);
        for (int i = 0; i < rows; ++i) {
            const auto row = static_cast<std::size_t>(i);
            if (!read.capcodes[row])
                continue;
            txtCapcode[row]->setText(ToQString(PadDigits(*read.capcodes[row], txtCapcode[row]->maxLength())));
            txtMessage[row]->setText(ToQString(read.messages[row]));
        }

        PauseTicks(20);
        SwitchToNormalModeWhenNeeded();
        lblInfo->clear();
        lblInfo->hide();
        ReportStatus("Ready");
        return true;
    });
}

// ---- Program -----------------------------------------------------------------------------

void KS_GEN_PendantProgrammer::cmdProgram_Click()
{
    if (!FrequencyPresent(txtFrequency) || !FrequenciesAcceptable({txtFrequency}))
        return;
    if (cmbPower->isEnabled() && cmbPower->currentIndex() < 0) {
        Refuse("Please select power level.", cmbPower);
        return;
    }
    if (cmbDeviation->isEnabled() && cmbDeviation->currentIndex() < 0) {
        Refuse("Please select deviation value.", cmbDeviation);
        return;
    }
    if (!CapcodesInRange(chkProgramCapcode, txtCapcode))
        return;
    // Without a model there are no slots to write: the run would end "Done !"
    // with every ticked capcode left unwritten.
    if (PendantSlotCount(text(txtDevice)) == 0)
        for (QCheckBox* tick : chkProgramCapcode)
            if (tick->isChecked()) {
                Refuse(kReadFirst, cmdRead);
                return;
            }
    if (PendantButtonHeld())
        ProgramPendant();
    SafeSetFocus(chkProgramBaudType);
}

bool KS_GEN_PendantProgrammer::ProgramPendant()
{
    Run run(*this, true);
    return Guarded([this] {
        if (!ProbeDevice(20, 10)) {
            ShowLinkCommError();
            lblInfo->setText("Canceled !");
            return false;
        }
        ShowMessage(kReleaseButton, kButtonsOk, kAnswerOk, kIconInformation);
        const int version = ReadVersion(false);
        const bool current = PendantSpeaksCurrentSet(text(txtDevice), version);
        const int rows = ApplyRowCount();
        ShowBusyPointer();

        const bool serial = Unlocked(txtSerialNumber);
        const bool frequency = Shown(txtFrequency) && Unlocked(txtFrequency);
        const bool baudType = chkProgramBaudType->isChecked();
        StartProgress(rows + serial + frequency + !powerLocked_ + !deviationLocked_ + baudType);

        if (serial) {
            Step("Programming Serial Number... ");
            PauseTicks(1);
            SendDigitBox("PI", txtSerialNumber, chkSNAutoIncrement, txtSNIncrement, 60);
        }
        if (frequency)
            WriteItem("Programming Frequency...", "PF", FrequencyDigits(FormatFrequencyText(text(txtFrequency))),
                      kWriteTicks);
        // A legacy pendant that did not report its radio settings gets none.
        if (!powerLocked_ && (current || Shown(cmbPower)))
            WriteItem("Programming Power Level...", "PP", selectedData(cmbPower), kWriteTicks);
        if (!deviationLocked_ && (current || Shown(cmbDeviation)))
            WriteItem("Programming Deviation...", "PD", selectedData(cmbDeviation), kWriteTicks);
        if (baudType)
            WriteItem("Programming Baud Rate and Pager Type...", "SM",
                      PendantBaudTypeCode(FromQString(cmbBaudRate->currentText()),
                                          FromQString(cmbPagerType->currentText())),
                      kWriteTicks);

        const std::string ofRows = "/" + std::to_string(rows);
        for (int i = 0; i < rows; ++i) {
            prgProgress->setValue(prgProgress->value() + 1);
            DoEvents();
            if (!chkProgramCapcode[i]->isChecked())
                continue;
            Step("Programming Capcodes..." + std::to_string(i + 1) + ofRows, false);
            SendDigitBox(slotCommand("PC", i), txtCapcode[i], chkAutoIncrement[i], txtIncrement[i], kWriteTicks);
            Step("Programming Message..." + std::to_string(i + 1) + ofRows, false);
            if (!DeviceSetting(slotCommand("PM", i), FromQString(txtMessage[i]->text()), kWriteTicks, kWriteRetries))
                StepFailed();
            DoEvents();
        }
        SwitchToNormalModeWhenNeeded();
        FinishProgram();
        return true;
    });
}

// ---- Reset --------------------------------------------------------------------------------

void KS_GEN_PendantProgrammer::cmdReset_Click()
{
    if (!ResetConfirmed("Are you sure you want to reset the device to factory default?", PendantButtonHeld))
        return;
    {
        Run run(*this, false);
        Guarded([this] {
            if (!ProbeDevice(200, 10))
                return false;
            ShowMessage(kReleaseButton, kButtonsOk, kAnswerOk, kIconInformation);
            txtVersion->setText("N/A");
            ReadVersion(true);
            if (const auto model = ReadPendantModel())
                txtDevice->setText(ToQString(*model));
            if (!SendFactoryReset())
                ShowLinkCommError();
            PauseTicks(10);
            SwitchToNormalModeWhenNeeded();
            lblInfo->clear();
            ReportStatus("Ready");
            return true;
        });
    }
    SafeSetFocus(txtVersion);
}
