#include "KS_GEN_ClockProgrammer.h"

#include "KS_DeviceLink.h"
#include "KS_DeviceRules.h"
#include "KS_Forms.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_String.h"

namespace {

constexpr std::string_view kAnalogClock = "RL-CLK-xxxx";
constexpr std::string_view kClockReceiver = "RL9xxx";
constexpr std::string_view kDigitalClock = "ZAR_UZE";

constexpr int kDeviationReadable = 215;
constexpr int kAnalogModeSupported = 218;

// Mode list data: 1, 2 analog (battery, power), 3, 4 digital (LED, LCD);
// compatibility data: 1 "RLxxxx", 2 "RL-CLK-xxxx".
constexpr int kAnalogBattery = 1;
constexpr int kAnalogPower = 2;
constexpr int kDigitalLED = 3;
constexpr int kDigitalLCD = 4;
constexpr int kCompatibleRL = 1;
constexpr int kCompatibleRLCLK = 2;

DeviceQueryOptions rawQuery(std::int16_t expectedLength, bool poke = false)
{
    return {.expectedLength = expectedLength, .ticks = 20, .tries = 3, .pokeOnTimeout = poke};
}

DeviceQueryOptions tableQuery() { return {.expectedLength = 1, .ticks = 0, .tries = 3, .tableForm = true}; }

std::string text(const QLineEdit* box) { return FromQString(box->text()); }

int selectedData(QComboBox* list)
{
    const OptionList& options = AsOptionList(list);
    return options.SelectedIndex() < 0 ? 0 : options.ItemData(options.SelectedIndex());
}

void selectData(QComboBox* list, int datum)
{
    OptionList& options = AsOptionList(list);
    for (int i = 0; i < options.ItemCount(); ++i)
        if (options.ItemData(i) == datum) {
            options.SetSelectedIndex(i);
            return;
        }
}

bool isAnalog(std::string_view model) { return model == kAnalogClock || model == kClockReceiver; }

} // namespace

KS_GEN_ClockProgrammer::KS_GEN_ClockProgrammer(QWidget* owner)
    : KS_ProgrammerFrame(owner, "KS_GEN_ClockProgrammer", "Clock Programmer", 6600, 4800)
{
    constexpr const char* kDetails = "fraGeneralDetails";
    const FormControl controls[] = {
        Control(fraGeneralDetails, "fraGeneralDetails", "General Details", {120, 60, 6360, 2160}),
        Control(lblDevice, "lblDevice", "Model:", {240, 330, 1300, 255}, 0, kDetails),
        Control(txtDevice, "txtDevice", "", {1620, 300, 1800, 315}, 0, kDetails),
        Control(lblVersion, "lblVersion", "Version:", {240, 690, 1300, 255}, 0, kDetails),
        Control(txtVersion, "txtVersion", "", {1620, 660, 1800, 315}, 0, kDetails),
        Control(lblSerialNumber, "lblSerialNumber", "Serial Number:", {240, 1050, 1300, 255}, 0, kDetails),
        Control(txtSerialNumber, "txtSerialNumber", "", {1620, 1020, 1800, 315}, 8, kDetails),
        Control(chkSNAutoIncrement, "chkSNAutoIncrement", "&Auto Increment by", {3540, 1050, 1800, 255}, 0, kDetails),
        Control(txtSNIncrement, "txtSNIncrement", "", {5400, 1020, 600, 315}, 2, kDetails),
        Control(lblFrequency, "lblFrequency", "&Frequency:", {240, 1410, 1300, 255}, 0, kDetails),
        Control(txtFrequency, "txtFrequency", "", {1620, 1380, 1800, 315}, 8, kDetails),
        Control(lblRSSI, "lblRSSI", "RSSI (db):", {240, 1770, 1300, 255}, 0, kDetails),
        Control(txtRSSI, "txtRSSI", "", {1620, 1740, 1800, 315}, 0, kDetails),
        Control(cmdReset, "cmdReset", "Re&set", {5040, 270, 1200, 375}, 0, kDetails),
        Control(chkRxDeviation, "chkRxDeviation", "Program R&x Deviation", {240, 2340, 3300, 255}),
        Control(cmbRxDeviation, "cmbRxDeviation", "", {3600, 2310, 2880, 315}),
        Control(chkMode, "chkMode", "Program &Mode", {240, 2730, 3300, 255}),
        Control(cmbMode, "cmbMode", "", {3600, 2700, 2880, 315}),
        Control(chkCompatibility, "chkCompatibility", "Program &Digital Clock Compatibility", {240, 3120, 3300, 255}),
        Control(cmbCompatibility, "cmbCompatibility", "", {3600, 3090, 2880, 315}),
        Control(lblInfo, "lblInfo", "", {120, 3540, 6360, 255}),
        Control(prgProgress, "prgProgress", "", {120, 3840, 6360, 200}),
        Control(cmdProgram, "cmdProgram", "&Program", {2760, 4320, 1200, 375}),
        Control(cmdRead, "cmdRead", "&Read", {4020, 4320, 1200, 375}),
        Control(cmdClose, "cmdClose", "&Close", {5280, 4320, 1200, 375}),
    };
    BuildFrame(controls);
    BindProgramCheck(chkRxDeviation, {cmbRxDeviation});
    BindProgramCheck(chkMode, {cmbMode});
    BindProgramCheck(chkCompatibility, {cmbCompatibility});
    Form_Load();
}

void KS_GEN_ClockProgrammer::Form_Load()
{
    move(Twips(2600), Twips(2200));
    Lock(txtDevice, true);
    SetUpVersionBox();
    lblRSSI->hide();
    txtRSSI->hide();
    Lock(txtRSSI, true);
    Lock(txtSerialNumber, true);
    MakeDigitBox(txtSerialNumber, 8);
    chkSNAutoIncrement->hide();
    txtSNIncrement->setEnabled(false);
    txtSNIncrement->hide();
    MakeDigitBox(txtSNIncrement, 2);
    txtSNIncrement->setText("01");
    MakeFrequencyBox(txtFrequency);
    txtFrequency->setText("000.0000");
    txtFrequency->setEnabled(true);
    Lock(txtFrequency, false);
    for (QComboBox* list : {cmbRxDeviation, cmbMode, cmbCompatibility})
        list->setEnabled(false);
    FillDeviationCombo(AsOptionList(cmbRxDeviation), 4);
    FillClockModeCombo(AsOptionList(cmbMode), -1);
    FillClockCompatibilityCombo(AsOptionList(cmbCompatibility), -1);
    SetupToolbar();
}

void KS_GEN_ClockProgrammer::IdentifyClock()
{
    version_ = 0;
    // Only a whole answer names the model; a refusal is no model called "?99".
    const auto model = DeviceQueryLine("?VM", rawQuery(0));
    const std::string shown = model ? DeviceModelText(*model) : std::string();
    if (!shown.empty())
        CountDeviceItem();
    txtDevice->setText(ToQString(shown));
    const std::string version = DeviceQuery("?V", rawQuery(4));
    if (const auto number = VersionNumber(version)) {
        version_ = *number;
        txtVersion->setText(ToQString(VersionText(version_)));
    }
}

void KS_GEN_ClockProgrammer::cmdRead_Click() { ReadClock(); }

bool KS_GEN_ClockProgrammer::ReadClock()
{
    bool result = false;
    {
        ReadRun run(*this);
        result = Guarded([this] {
            lblInfo->clear();
            if (!ProbeDevice(20)) {
                ShowOptionNotUpdatedWarning("programming");
                return true;
            }
            txtVersion->setText("N/A");
            IdentifyClock();

            const std::string serial = DeviceQuery("?S", rawQuery(8));
            txtSerialNumber->setText(ToQString(PadDigits(serial.empty() ? text(txtSerialNumber) : serial, 8)));

            // Without an answer the box keeps what it showed: the operator may
            // have typed the frequency this clock is to get.
            if (const auto shown = FrequencyFromDigits(DeviceQuery("?F", rawQuery(7, true)))) {
                lblFrequency->show();
                txtFrequency->show();
                txtFrequency->setText(ToQString(FormatFrequencyText(*shown)));
            }

            txtRSSI->setText("N/A");
            if (const std::string rssi = DeviceQuery("?R", rawQuery(3)); AllDigits(rssi))
                txtRSSI->setText(ToQString("-" + std::to_string(static_cast<int>(Val(rssi)))));

            AsOptionList(cmbRxDeviation).SetSelectedIndex(-1);
            if (version_ >= kDeviationReadable)
                if (const std::string deviation = DeviceQuery("?D", tableQuery()); AllDigits(deviation))
                    selectData(cmbRxDeviation, static_cast<int>(Val(deviation)));

            AsOptionList(cmbCompatibility).SetSelectedIndex(-1);
            AsOptionList(cmbMode).SetSelectedIndex(-1);
            const std::string model = text(txtDevice);
            if ((isAnalog(model) && version_ >= kAnalogModeSupported) || model == kDigitalClock) {
                const std::string mode = DeviceQuery("?M", tableQuery());
                if (isAnalog(model)) {
                    if (mode == "0" || mode == "1")
                        selectData(cmbMode, mode == "0" ? kAnalogBattery : kAnalogPower);
                } else if (mode.size() == 1 && mode[0] >= '0' && mode[0] <= '3') {
                    const int code = mode[0] - '0';
                    selectData(cmbMode, code % 2 == 0 ? kDigitalLED : kDigitalLCD);
                    selectData(cmbCompatibility, code < 2 ? kCompatibleRL : kCompatibleRLCLK);
                }
            }
            ReportStatus("Ready");
            return true;
        });
    }
    SafeSetFocus(txtFrequency);
    return result;
}

void KS_GEN_ClockProgrammer::cmdProgram_Click()
{
    // The whole frequency test, not only the one on leaving the box: a
    // toolbar click takes no focus, and no unsupported frequency may reach a clock.
    if (!FrequencyPresent(txtFrequency) || !FrequenciesAcceptable({txtFrequency})
        || !SelectionMade(chkRxDeviation, cmbRxDeviation, "Please select Rx deviation value.")
        || !SelectionMade(chkMode, cmbMode, "Please select Mode.")
        || !SelectionMade(chkCompatibility, cmbCompatibility, "Please select Digital Clock Compatibility."))
        return;
    ProgramClock();
}

bool KS_GEN_ClockProgrammer::ApplicableToModel(int& maximum)
{
    const std::string model = text(txtDevice);
    const int mode = selectedData(cmbMode);
    const std::string modeText = FromQString(cmbMode->currentText());
    const std::string notApplicable = modeText + " mode is not applicable to " + model + ". Please select an applicable Mode.";
    if (isAnalog(model)) {
        if (chkMode->isChecked() && version_ < kAnalogModeSupported)
            return Refuse("Mode programming is not applicable to " + model + " version " + VersionPlainText(version_)
                              + ".",
                          chkMode);
        if (chkMode->isChecked()) {
            ++maximum;
            if (mode == kDigitalLED || mode == kDigitalLCD)
                return Refuse(notApplicable, cmbMode);
        }
        if (chkCompatibility->isChecked())
            return Refuse("Digital Clock Compatibility is not applicable to " + model + ".", chkCompatibility);
    } else if (model == kDigitalClock) {
        if (!chkMode->isChecked() || cmbMode->currentIndex() < 0)
            return Refuse("Please select an applicable Mode.", chkMode);
        if (mode == kAnalogBattery || mode == kAnalogPower)
            return Refuse(notApplicable, cmbMode);
        if (!chkCompatibility->isChecked() || cmbCompatibility->currentIndex() < 0)
            return Refuse("Please select Digital Clock Compatibility.", chkCompatibility);
        ++maximum;
    }
    return true;
}

bool KS_GEN_ClockProgrammer::ProgramStep(std::string_view text, std::int32_t pause, std::string_view command,
                                         std::string_view value, std::int32_t ticks, std::int16_t retries)
{
    Step(text);
    PauseTicks(pause);
    if (DeviceSetting(command, value, ticks, retries))
        return true;
    StepFailed(" - Failed / Not Supported.");
    return false;
}

bool KS_GEN_ClockProgrammer::ProgramClock()
{
    Run run(*this, true);
    return Guarded([this] {
        const bool serialNumber = Unlocked(txtSerialNumber);
        const bool frequency = Shown(txtFrequency) && Unlocked(txtFrequency);
        int maximum = int(serialNumber) + int(frequency) + int(chkRxDeviation->isChecked());
        if (!ProbeDevice(60)) {
            ShowLinkCommError();
            lblInfo->setText("Canceled !");
            return false;
        }
        txtVersion->setText("N/A");
        StartProgress(maximum);
        IdentifyClock();
        if (!ApplicableToModel(maximum))
            return false;
        if (maximum > 0)
            prgProgress->setMaximum(maximum);

        const std::string model = text(txtDevice);
        if (serialNumber) {
            const std::string serial = PadDigits(text(txtSerialNumber), 8);
            txtSerialNumber->setText(ToQString(serial));
            if (ProgramStep("Programming Serial Number... ", 5, "PS", serial, 20, 3) && chkSNAutoIncrement->isChecked())
                AutoIncrement(txtSerialNumber, txtSNIncrement);
        }
        if (frequency)
            ProgramStep("Programming Frequency...", 5, "PF", FrequencyDigits(text(txtFrequency)), 20, 3);
        if (chkRxDeviation->isChecked())
            ProgramStep("Programming Rx Deviation...", 1, "PD", std::to_string(selectedData(cmbRxDeviation)), 40, 1);
        if (isAnalog(model) && version_ >= kAnalogModeSupported && chkMode->isChecked())
            ProgramStep("Programming Mode...", 1, "PM", selectedData(cmbMode) == kAnalogBattery ? "0" : "1", 40, 1);
        if (model == kDigitalClock) {
            const int code = (selectedData(cmbMode) == kDigitalLCD ? 1 : 0)
                + (selectedData(cmbCompatibility) == kCompatibleRLCLK ? 2 : 0);
            ProgramStep("Programming Compatibility & Mode...", 1, "PM", std::to_string(code), 40, 1);
        }
        FinishProgram();
        return true;
    });
}

void KS_GEN_ClockProgrammer::cmdReset_Click()
{
    if (ShowMessage("Are you sure you want to reset the clock to factory default?", kButtonsYesNo, kAnswerNo,
                    kIconQuestion)
        == kAnswerYes) {
        Run run(*this, false);
        Guarded([] {
            if (ProbeDevice(60) && SendFactoryReset())
                return true;
            ShowLinkCommError();
            return false;
        });
    }
    SafeSetFocus(txtVersion);
}
