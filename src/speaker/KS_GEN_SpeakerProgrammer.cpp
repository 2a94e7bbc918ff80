#include "KS_GEN_SpeakerProgrammer.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QScreen>
#include <QToolBar>
#include <deque>
#include <vector>

#include "KS_DeviceLink.h"
#include "KS_DeviceRules.h"
#include "KS_Events.h"
#include "KS_FormBuilder.h"
#include "KS_Forms.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_String.h"
#include "KS_Toolbar.h"
#include "OptionList.h"

namespace {

constexpr int kNormalWidth = 8595;
constexpr int kAdvancedWidth = 14800;
// The window is 9150 high with its toolbar; the details picture leaves a strip for the step text and progress.
constexpr int kClientHeight = 8550;
constexpr int kDetailsHeight = 9150 - 1055;

const char* const kConfigurationCaptions[] = {
    "Speaker Channel 1",    "Speaker Channel 2", "Controlled Output 1", "Controlled Output 2",
    "Alphanumeric Display", "2-Way Intercom",    "Scanner Mode",        "Tone Generator",
    "Secondary Transceiver", "Dry-Contact Closure",
};
const char* const kOptionCaptions[] = {
    "Activate Dry-Contact Closure with Controlled Output Activation",
    "Activate Dry-Contact Closure with Speaker Channel Activation",
    "Not Used",
    "Not Used",
    "Activate Controlled Output with Speaker Channel Activation",
    "Enable Intercom Auto Answer Mode",
    "Enable Intercom Hands Free / Full Duplex Mode",
    "Disable Wireless Commands Monitoring During Tone Playback",
};
// The text the frequency boxes hold at their longest, so the fitter makes them wide enough.
constexpr const char* kFrequencyText = "000.0000";
constexpr int kIntercomBit = 5;
constexpr int kSecondaryTransceiverBit = 8;

} // namespace

KS_GEN_SpeakerProgrammer::KS_GEN_SpeakerProgrammer(QWidget* owner)
    : KS_ProgrammerFrame(owner, "KS_GEN_SpeakerProgrammer", "Speaker Programmer", kNormalWidth, kClientHeight)
{
    BuildForm();
    ConnectHandlers();
    Form_Load();
}

KS_GEN_SpeakerProgrammer::~KS_GEN_SpeakerProgrammer() = default;

void KS_GEN_SpeakerProgrammer::BuildForm()
{
    // Array members get "name_index" names; the strings must outlive the table.
    std::deque<std::string> names;
    auto indexed = [&names](const char* base, int index) {
        names.push_back(std::string(base) + "_" + std::to_string(index));
        return names.back().c_str();
    };
    std::deque<std::string> captions;
    auto caption = [&captions](std::string text) {
        captions.push_back(std::move(text));
        return captions.back().c_str();
    };

    std::vector<FormControl> t = {
        Control(pbxDetails, "pbxDetails", "", {0, 0, kNormalWidth - 105, kDetailsHeight}),

        Control(fraGeneralDetails, "fraGeneralDetails", "General Details", {200, 100, 8100, 1600}, 0, "pbxDetails"),
        Control(lblVersion, "lblVersion", "Version:", {150, 330, 1900, 255}, 0, "fraGeneralDetails"),
        Control(txtVersion, "txtVersion", "", {2100, 300, 1100, 315}, 0, "fraGeneralDetails"),
        Control(lblSerialNumber, "lblSerialNumber", "Serial Number:", {3350, 330, 1300, 255}, 0, "fraGeneralDetails"),
        Control(txtSerialNumber, "txtSerialNumber", DigitsText(7), {4700, 300, 1100, 315}, 7, "fraGeneralDetails"),
        Control(chkSNAutoIncrement, "chkSNAutoIncrement", "&Auto Increment by", {5950, 300, 1600, 315}, 0,
                "fraGeneralDetails"),
        Control(txtSNIncrement, "txtSNIncrement", DigitsText(2), {7550, 300, 400, 315}, 2, "fraGeneralDetails"),
        Control(lblSupervisionCapcode, "lblSupervisionCapcode", "Supervision Capcode:", {150, 730, 1900, 255}, 0,
                "fraGeneralDetails"),
        Control(txtSupervisionCapcode, "txtSupervisionCapcode", DigitsText(7), {2100, 700, 1100, 315}, 7,
                "fraGeneralDetails"),
        Control(lblRx1Frequency, "lblRx1Frequency", "Rx &Frequency:", {3350, 730, 1300, 255}, 0,
                "fraGeneralDetails"),
        Control(txtRx1Frequency, "txtRx1Frequency", kFrequencyText, {4700, 700, 1100, 315}, 8, "fraGeneralDetails"),
        Control(lblRx1RSSI, "lblRx1RSSI", "RSSI (dBm):", {5950, 730, 1000, 255}, 0, "fraGeneralDetails"),
        Control(txtRx1RSSI, "txtRx1RSSI", "", {7000, 700, 950, 315}, 0, "fraGeneralDetails"),
        Control(lblDateTime, "lblDateTime", "Last Date && Time Read from Device:", {150, 1130, 3300, 255}, 0,
                "fraGeneralDetails"),
        Control(txtDateTime, "txtDateTime", kLongestDeviceDateTime, {3450, 1100, 2950, 315}, 0, "fraGeneralDetails"),
        Control(cmdReset, "cmdReset", "Re&set", {6650, 1070, 1300, 375}, 0, "fraGeneralDetails"),

        Control(fraProgrammableOptions, "fraProgrammableOptions", "Programmable Options", {200, 1800, 8100, 5800},
                0, "pbxDetails"),
        Control(chkDateTime, "chkDateTime", "Program &Date && Time", {150, 300, 3000, 315}, 0,
                "fraProgrammableOptions"),
        Control(chkSecurityMode, "chkSecurityMode", "Program Security &Mode", {150, 650, 2700, 315}, 0,
                "fraProgrammableOptions"),
        Control(cmbSecurityMode, "cmbSecurityMode", "", {3050, 630, 1150, 315}, 0, "fraProgrammableOptions"),
        Control(lblSecurityKey, "lblSecurityKey", "Security &Key:", {4300, 680, 1300, 255}, 0,
                "fraProgrammableOptions"),
        Control(txtSecurityKey, "txtSecurityKey", DigitsText(3), {5650, 650, 600, 315}, 3, "fraProgrammableOptions"),
        Control(chkOperationMode, "chkOperationMode", "Program Operation M&ode", {150, 1000, 2700, 315}, 0,
                "fraProgrammableOptions"),
        Control(cmbOperationMode, "cmbOperationMode", "", {3050, 980, 1150, 315}, 0, "fraProgrammableOptions"),
        Control(chkSquelchLevel, "chkSquelchLevel", "Program Sq&uelch Level", {4300, 1000, 2500, 315}, 0,
                "fraProgrammableOptions"),
        Control(cmbSquelchLevel, "cmbSquelchLevel", "", {6850, 980, 1100, 315}, 0, "fraProgrammableOptions"),
        Control(chkRxBaudRate, "chkRxBaudRate", "Program Rx &Baud Rate", {150, 1350, 2700, 315}, 0,
                "fraProgrammableOptions"),
        Control(cmbRxBaudRate, "cmbRxBaudRate", "", {3050, 1330, 1150, 315}, 0, "fraProgrammableOptions"),
        Control(chkRxDeviation, "chkRxDeviation", "Program Rx Deviation", {4300, 1350, 2500, 315}, 0,
                "fraProgrammableOptions"),
        Control(cmbRxDeviation, "cmbRxDeviation", "", {6850, 1330, 1100, 315}, 0, "fraProgrammableOptions"),
        Control(chkAmbientNoiseLevel, "chkAmbientNoiseLevel", "Program &Ambient Noise Level", {150, 1700, 2850, 315},
                0, "fraProgrammableOptions"),
        Control(cmbAmbientNoiseLevel, "cmbAmbientNoiseLevel", "", {3050, 1680, 1400, 315}, 0,
                "fraProgrammableOptions"),
    };
    for (int i = 0; i < kCapcodeRows; ++i) {
        const int top = 2150 + i * 380;
        const char* frame = "fraProgrammableOptions";
        const auto row = static_cast<std::size_t>(i);
        t.push_back(Control(chkProgramCapcode[row], indexed("chkProgramCapcode", i),
                            caption("Program Capcode &" + std::to_string(i + 1)), {150, top, 2250, 315}, 0, frame));
        t.push_back(Control(txtCapcode[row], indexed("txtCapcode", i), DigitsText(7), {2400, top, 900, 315}, 7, frame));
        t.push_back(Control(lblAlertLevel[row], indexed("lblAlertLevel", i), "Alert Level:",
                            {3380, top + 30, 1000, 255}, 0, frame));
        t.push_back(
            Control(cmbAlertLevel[row], indexed("cmbAlertLevel", i), "", {4400, top - 20, 1150, 315}, 0, frame));
        t.push_back(Control(chkAutoIncrement[row], indexed("chkAutoIncrement", i), "Auto Increment by",
                            {5620, top, 1930, 315}, 0, frame));
        t.push_back(
            Control(txtIncrement[row], indexed("txtIncrement", i), DigitsText(2), {7550, top, 400, 315}, 2, frame));
    }
    t.push_back(Control(cmbAlertNumber, "cmbAlertNumber", "", {150, 5300, 3000, 315}, 0, "fraProgrammableOptions"));
    t.push_back(Control(cmdTest, "cmdTest", "&Test Tone", {3300, 5270, 1400, 375}, 0, "fraProgrammableOptions"));

    t.push_back(Control(cmdProgram, "cmdProgram", "&Program", {3900, 7680, 1300, 375}, 0, "pbxDetails"));
    t.push_back(Control(cmdRead, "cmdRead", "&Read", {5400, 7680, 1300, 375}, 0, "pbxDetails"));
    t.push_back(Control(cmdClose, "cmdClose", "&Close", {6900, 7680, 1300, 375}, 0, "pbxDetails"));

    // The right column lies beyond the normal width; the advanced view widens the window over it.
    // Each frame's title carries its program check box, with room left for it in the caption.
    t.push_back(Control(fraDeviceConfiguration, "fraDeviceConfiguration", "    Device Configuration",
                        {8500, 100, 6000, 2250}, 0, "pbxDetails"));
    t.push_back(Control(chkProgramDeviceConfiguration, "chkProgramDeviceConfiguration", "", {0, 0, 240, 240}, 0,
                        "fraDeviceConfiguration"));
    t.push_back(Control(cmdClearDeviceConfiguration, "cmdClearDeviceConfiguration", "Clear All",
                        {4550, 1870, 1300, 345}, 0, "fraDeviceConfiguration"));
    for (int i = 0; i < kConfigurationBits; ++i)
        t.push_back(Control(chkDeviceConfiguration[static_cast<std::size_t>(i)], indexed("chkDeviceConfiguration", i),
                            kConfigurationCaptions[i], {150 + (i / 5) * 2900, 300 + (i % 5) * 310, 2800, 300}, 0,
                            "fraDeviceConfiguration"));

    t.push_back(Control(fraDeviceOptions, "fraDeviceOptions", "    Programmable Device Options",
                        {8500, 2450, 6000, 2300}, 0, "pbxDetails"));
    t.push_back(Control(chkProgramDeviceOptions, "chkProgramDeviceOptions", "", {0, 0, 240, 240}, 0,
                        "fraDeviceOptions"));
    for (int i = 0, shown = 0; i < kOptionBits; ++i) {
        const int top = 300 + shown * 320;
        if (i != 2 && i != 3)
            ++shown;
        t.push_back(Control(chkDeviceOptions[static_cast<std::size_t>(i)], indexed("chkDeviceOptions", i),
                            kOptionCaptions[i], {150, top, 5750, 300}, 0, "fraDeviceOptions"));
    }

    t.insert(t.end(), {
        Control(fraTransceiversCommon, "fraTransceiversCommon", "    Transceivers Common Settings",
                {8500, 4850, 6000, 1150}, 0, "pbxDetails"),
        Control(chkProgramTransceiversCommonSettings, "chkProgramTransceiversCommonSettings", "", {0, 0, 240, 240},
                0, "fraTransceiversCommon"),
        Control(lblTxDeviation, "lblTxDeviation", "Tx D&eviation:", {150, 330, 1150, 255}, 0, "fraTransceiversCommon"),
        Control(cmbTxDeviation, "cmbTxDeviation", "", {1350, 300, 1500, 315}, 0, "fraTransceiversCommon"),
        Control(lblPower, "lblPower", "Po&wer:", {3000, 330, 1250, 255}, 0, "fraTransceiversCommon"),
        Control(cmbPower, "cmbPower", "", {4300, 300, 1550, 315}, 0, "fraTransceiversCommon"),
        Control(lblIFBandwidth, "lblIFBandwidth", "&IF Bandwidth:", {150, 730, 1150, 255}, 0, "fraTransceiversCommon"),
        Control(cmbIFBandwidth, "cmbIFBandwidth", "", {1350, 700, 1500, 315}, 0, "fraTransceiversCommon"),
        Control(lblTxBaudRate, "lblTxBaudRate", "Tx &Baud Rate:", {3000, 730, 1250, 255}, 0, "fraTransceiversCommon"),
        Control(cmbTxBaudRate, "cmbTxBaudRate", "", {4300, 700, 1550, 315}, 0, "fraTransceiversCommon"),

        Control(fraPrimaryTransceiver, "fraPrimaryTransceiver", "    Primary Transceiver Settings",
                {8500, 6100, 6000, 750}, 0, "pbxDetails"),
        Control(chkProgramPrimaryTransceiverrSettings, "chkProgramPrimaryTransceiverrSettings", "", {0, 0, 240, 240},
                0, "fraPrimaryTransceiver"),
        Control(lblTx1Frequency, "lblTx1Frequency", "Tx &Frequency:", {150, 330, 1300, 255}, 0,
                "fraPrimaryTransceiver"),
        Control(txtTx1Frequency, "txtTx1Frequency", kFrequencyText, {1500, 300, 1200, 315}, 8, "fraPrimaryTransceiver"),
        Control(cmdTx1Test, "cmdTx1Test", "&Test", {3000, 270, 1000, 375}, 0, "fraPrimaryTransceiver"),

        Control(fraSecondaryTransceiver, "fraSecondaryTransceiver", "    Secondary Transceiver Settings",
                {8500, 6950, 6000, 1100}, 0, "pbxDetails"),
        Control(chkProgramSecondaryTransceiverSettings, "chkProgramSecondaryTransceiverSettings", "",
                {0, 0, 240, 240}, 0, "fraSecondaryTransceiver"),
        Control(lblRx2Frequency, "lblRx2Frequency", "Rx &Frequency:", {150, 330, 1300, 255}, 0,
                "fraSecondaryTransceiver"),
        Control(txtRx2Frequency, "txtRx2Frequency", kFrequencyText, {1500, 300, 1200, 315}, 8,
                "fraSecondaryTransceiver"),
        Control(lblRx2RSSI, "lblRx2RSSI", "RSSI (dBm):", {3000, 330, 1000, 255}, 0, "fraSecondaryTransceiver"),
        Control(txtRx2RSSI, "txtRx2RSSI", "", {4050, 300, 800, 315}, 0, "fraSecondaryTransceiver"),
        Control(lblTx2Frequency, "lblTx2Frequency", "Tx &Frequency:", {150, 730, 1300, 255}, 0,
                "fraSecondaryTransceiver"),
        Control(txtTx2Frequency, "txtTx2Frequency", kFrequencyText, {1500, 700, 1200, 315}, 8,
                "fraSecondaryTransceiver"),
        Control(cmdTx2Test, "cmdTx2Test", "&Test", {3000, 670, 1000, 375}, 0, "fraSecondaryTransceiver"),

        Control(fraAlphanumericDisplay, "fraAlphanumericDisplay", "    Alphanumeric Display Default Settings",
                {8500, 100, 6000, 4000}, 0, "pbxDetails"),
        Control(chkProgramAlphanumericDisplay, "chkProgramAlphanumericDisplay", "", {0, 0, 240, 240}, 0,
                "fraAlphanumericDisplay"),
        Control(lblDisplayStandbyMessage, "lblDisplayStandbyMessage", "Standby Message:", {150, 330, 1500, 255}, 0,
                "fraAlphanumericDisplay"),
        Control(txtDisplayStandbyMessage, "txtDisplayStandbyMessage", "", {1700, 300, 4100, 315}, 0,
                "fraAlphanumericDisplay"),
    });
    struct DisplayList {
        QLabel*& label;
        QComboBox*& list;
        const char* labelName;
        const char* listName;
        const char* caption;
    };
    const DisplayList displayLists[] = {
        {lblDisplayScrollSpeed, cmbDisplayScrollSpeed, "lblDisplayScrollSpeed", "cmbDisplayScrollSpeed",
         "Scroll Speed:"},
        {lblDisplayType, cmbDisplayType, "lblDisplayType", "cmbDisplayType", "Type:"},
        {lblDisplayBuzzerMode, cmbDisplayBuzzerMode, "lblDisplayBuzzerMode", "cmbDisplayBuzzerMode", "Buzzer Mode:"},
        {lblDisplayMode, cmbDisplayMode, "lblDisplayMode", "cmbDisplayMode", "Mode:"},
        {lblDisplayModel, cmbDisplayModel, "lblDisplayModel", "cmbDisplayModel", "&Model:"},
        {lblDisplayAlignment, cmbDisplayAlignment, "lblDisplayAlignment", "cmbDisplayAlignment", "Alignmen&t:"},
        {lblDisplayFont, cmbDisplayFont, "lblDisplayFont", "cmbDisplayFont", "&Font:"},
        {lblDisplayTimeout, cmbDisplayTimeout, "lblDisplayTimeout", "cmbDisplayTimeout", "&Timeout:"},
        {lblDisplayColor, cmbDisplayColor, "lblDisplayColor", "cmbDisplayColor", "Colo&r and Intensity:"},
        {lblDisplayEffect, cmbDisplayEffect, "lblDisplayEffect", "cmbDisplayEffect", "&Effect:"},
        {lblDisplaySlice, cmbDisplaySlice, "lblDisplaySlice", "cmbDisplaySlice", "Time Sl&ice:"},
        {lblDisplaySlot, cmbDisplaySlot, "lblDisplaySlot", "cmbDisplaySlot", "S&lot:"},
    };
    int displayRow = 0;
    for (const DisplayList& d : displayLists) {
        const int top = 700 + (displayRow / 2) * 400;
        const int left = (displayRow % 2) * 2950;
        t.push_back(Control(d.label, d.labelName, d.caption, {150 + left, top + 30, 1200, 255}, 0,
                            "fraAlphanumericDisplay"));
        t.push_back(Control(d.list, d.listName, "", {1400 + left, top, 1500, 315}, 0, "fraAlphanumericDisplay"));
        ++displayRow;
    }

    t.push_back(Control(lblInfo, "lblInfo", "", {100, kDetailsHeight + 80, 5200, 300}));
    t.push_back(Control(prgProgress, "prgProgress", "", {5450, kDetailsHeight + 80, kNormalWidth - 5595, 300}));
    BuildFrame(t);
}

namespace {

std::string text(const QLineEdit* box) { return FromQString(box->text()); }

} // namespace

void KS_GEN_SpeakerProgrammer::ConnectHandlers()
{
    for (QLineEdit* box : {txtSerialNumber, txtSupervisionCapcode})
        MakeDigitBox(box, 7);
    MakeDigitBox(txtSNIncrement, 2);
    MakeDigitBox(txtSecurityKey, 3);
    txtSecurityKey->installEventFilter(this);
    for (int i = 0; i < kCapcodeRows; ++i) {
        MakeDigitBox(txtCapcode[static_cast<std::size_t>(i)], 7);
        MakeDigitBox(txtIncrement[static_cast<std::size_t>(i)], 2);
    }
    for (QLineEdit* box : {txtRx1Frequency, txtTx1Frequency, txtRx2Frequency, txtTx2Frequency})
        MakeFrequencyBox(box);
    // Boxes that only report keep the caret.
    for (QLineEdit* box : {txtDateTime, txtRx1RSSI, txtRx2RSSI, txtDisplayStandbyMessage})
        Conventions().ExemptFromSelectAll(box);

    connect(cmdTx1Test, &QPushButton::clicked, this, &KS_GEN_SpeakerProgrammer::cmdTx1Test_Click);
    connect(cmdTx2Test, &QPushButton::clicked, this, &KS_GEN_SpeakerProgrammer::cmdTx2Test_Click);
    connect(cmdTest, &QPushButton::clicked, this, &KS_GEN_SpeakerProgrammer::cmdTest_Click);
    connect(cmdClearDeviceConfiguration, &QPushButton::clicked, this,
            &KS_GEN_SpeakerProgrammer::cmdClearDeviceConfiguration_Click);
    connect(tlbMenu, &QToolBar::actionTriggered, this, &KS_GEN_SpeakerProgrammer::tlbMenu_ButtonClick);

    // An option's list takes part only while the option is ticked.
    const std::pair<QCheckBox*, QComboBox*> options[] = {
        {chkSecurityMode, cmbSecurityMode},   {chkOperationMode, cmbOperationMode},
        {chkSquelchLevel, cmbSquelchLevel},   {chkRxBaudRate, cmbRxBaudRate},
        {chkRxDeviation, cmbRxDeviation},     {chkAmbientNoiseLevel, cmbAmbientNoiseLevel},
    };
    for (const auto& [box, list] : options)
        connect(box, &QCheckBox::toggled, list, &QWidget::setEnabled);

    for (int i = 0; i < kCapcodeRows; ++i) {
        const auto row = static_cast<std::size_t>(i);
        connect(chkProgramCapcode[row], &QCheckBox::toggled, this, [this, i] { chkProgramCapcode_Click(i); });
        connect(chkAutoIncrement[row], &QCheckBox::toggled, this, [this, row](bool on) {
            txtIncrement[row]->setEnabled(on);
            if (on)
                SafeSetFocus(txtIncrement[row]);
        });
    }
    for (int i = 0; i < kConfigurationBits; ++i)
        connect(chkDeviceConfiguration[static_cast<std::size_t>(i)], &QCheckBox::toggled, this,
                [this, i] { chkDeviceConfiguration_Click(i); });

    connect(chkProgramDeviceConfiguration, &QCheckBox::toggled, this,
            &KS_GEN_SpeakerProgrammer::EnableDeviceConfigurationFrame);
    connect(chkProgramDeviceOptions, &QCheckBox::toggled, this, &KS_GEN_SpeakerProgrammer::EnableDeviceOptionsFrame);
    connect(chkProgramTransceiversCommonSettings, &QCheckBox::toggled, this,
            &KS_GEN_SpeakerProgrammer::EnableTransceiversCommonFrame);
    connect(chkProgramPrimaryTransceiverrSettings, &QCheckBox::toggled, this,
            &KS_GEN_SpeakerProgrammer::EnablePrimaryTransceiverFrame);
    connect(chkProgramSecondaryTransceiverSettings, &QCheckBox::toggled, this,
            &KS_GEN_SpeakerProgrammer::EnableSecondaryTransceiverFrame);
    connect(chkProgramAlphanumericDisplay, &QCheckBox::toggled, this,
            &KS_GEN_SpeakerProgrammer::EnableAlphanumericDisplayFrame);

}

void KS_GEN_SpeakerProgrammer::Form_Load()
{
    move(Twips(2600), Twips(2200));
    SizeDetails(kNormalWidth, 105);
    DoEvents();

    chkProgramDeviceConfiguration->hide();
    fraDeviceConfiguration->setTitle("Device Configuration");
    cmdClearDeviceConfiguration->hide();

    SetUpVersionBox();
    Lock(txtSerialNumber, true);
    chkSNAutoIncrement->hide();
    txtSNIncrement->setEnabled(false);
    txtSNIncrement->hide();
    txtSNIncrement->setText("01");
    txtSerialNumber->setMaxLength(7);
    cmdReset->hide();
    Lock(txtSupervisionCapcode, true);
    // The receiver frequency and the signal strengths show once a service level or a read brings them.
    for (QWidget* control : std::initializer_list<QWidget*>{lblRx1Frequency, txtRx1Frequency, lblRx1RSSI, txtRx1RSSI,
                                                           lblRx2RSSI, txtRx2RSSI})
        control->hide();
    Lock(txtRx1Frequency, true);
    txtRx1Frequency->setText("000.0000");
    for (QLineEdit* box : {txtRx1RSSI, txtRx2RSSI, txtDateTime})
        Lock(box, true);

    for (QLineEdit* box : {txtTx1Frequency, txtRx2Frequency, txtTx2Frequency})
        box->setText("000.0000");

    fraAlphanumericDisplay->hide();
    EnableAlphanumericDisplayFrame(false);
    chkProgramDeviceConfiguration->setEnabled(false);
    EnableDeviceConfigurationFrame(false);
    EnableDeviceOptionsFrame(false);
    EnableTransceiversCommonFrame(false);
    EnablePrimaryTransceiverFrame(false);
    chkProgramSecondaryTransceiverSettings->setEnabled(false);
    EnableSecondaryTransceiverFrame(false);
    for (int bit : {2, 3})
        chkDeviceOptions[static_cast<std::size_t>(bit)]->hide();

    for (QComboBox* list : {cmbRxBaudRate, cmbRxDeviation, cmbTxBaudRate, cmbSquelchLevel, cmbSecurityMode})
        list->setEnabled(false);
    txtSecurityKey->setText("236");
    PadDigitBox(txtSecurityKey);
    cmbOperationMode->setEnabled(false);
    cmbAmbientNoiseLevel->setEnabled(false);

    for (int i = 0; i < kCapcodeRows; ++i) {
        const auto row = static_cast<std::size_t>(i);
        txtCapcode[row]->setEnabled(false);
        PadDigitBox(txtCapcode[row]);
        chkAutoIncrement[row]->setEnabled(false);
        txtIncrement[row]->setEnabled(false);
        txtIncrement[row]->setText("01");
        FillAlertLevelCombo(AsOptionList(cmbAlertLevel[row]), 0, true);
        lblAlertLevel[row]->setEnabled(false);
        cmbAlertLevel[row]->setEnabled(false);
    }

    FillDeviationCombo(AsOptionList(cmbRxDeviation), 4);
    FillPowerLevelCombo(AsOptionList(cmbPower), 1);
    FillDeviationCombo(AsOptionList(cmbTxDeviation), 4);
    FillIFBandwidthCombo(AsOptionList(cmbIFBandwidth), 0);
    FillDeviceBaudCombo(AsOptionList(cmbRxBaudRate), 0);
    FillDeviceBaudCombo(AsOptionList(cmbTxBaudRate), -1);
    FillSquelchLevelCombo(AsOptionList(cmbSquelchLevel), 0);
    FillOffOnCombo(AsOptionList(cmbSecurityMode), 0);
    FillModeDigitCombo(AsOptionList(cmbOperationMode), 0);
    FillAmbientNoiseLevelCombo(AsOptionList(cmbAmbientNoiseLevel), 5);
    FillDisplayAttributeCombos(AsOptionList(cmbDisplaySlot), AsOptionList(cmbDisplaySlice),
                               AsOptionList(cmbDisplayTimeout), AsOptionList(cmbDisplayColor),
                               AsOptionList(cmbDisplayEffect), AsOptionList(cmbDisplayFont),
                               AsOptionList(cmbDisplayAlignment));
    FillAlertTypeCombo(AsOptionList(cmbAlertNumber), 8, 1, 99, false);

    ShowBusyPointer();
    identity_ = std::make_unique<EncoderIdentityKeeper>();
    DetectEncoder();
    SetSpeakerToolbarState();
    ShowNormalPointer();
    // The window is not on screen yet, so the box cannot take the focus now;
    // made the window's focus child, it has it when the window opens.
    if (chkDateTime->isEnabled())
        chkDateTime->setFocus(Qt::OtherFocusReason);
}

void KS_GEN_SpeakerProgrammer::SetSpeakerToolbarState()
{
    static const ToolbarButton kButtons[] = {
        {"cmdClose", "&Close    ", "Close", "Close"},
        {"cmdRead", "&Read    ", "Read Controller Data ", "Download"},
        {"cmdProgram", "&Program", "Program Speaker Controller", "Update"},
        {"cmdAdvanced", "Advanced", "Advanced Programming Options ", "Search"},
    };
    BuildCommandToolbar(tlbMenu, this, kButtons);
    advancedButton_ = ToolbarAction(tlbMenu, "cmdAdvanced");
    advancedButton_->setCheckable(true);
}

void KS_GEN_SpeakerProgrammer::tlbMenu_ButtonClick(QAction* button)
{
    // The three command keys click their buttons themselves; only Advanced has no button behind it.
    if (button == advancedButton_)
        ToggleAdvancedView(button->isChecked());
}

void KS_GEN_SpeakerProgrammer::SizeDetails(double widthTwips, double pictureInset)
{
    // The area under the toolbar is the frame's client; the window follows its size. The window
    // keeps its height, and so does the picture, as deep as the fitter may have made it.
    QWidget* client = pbxDetails->parentWidget();
    client->setFixedWidth(Twips(widthTwips));
    pbxDetails->resize(Twips(widthTwips - pictureInset), pbxDetails->height());
    if (layout())
        layout()->activate();
}

void KS_GEN_SpeakerProgrammer::ToggleAdvancedView(bool pressed)
{
    // The window grows and shrinks about its centre; the screen may push it back in, and releasing the
    // button undoes exactly the move that pressing it made.
    constexpr double kGrowth = kAdvancedWidth - kNormalWidth;
    const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const int before = x();
    const int width = Twips(pressed ? kAdvancedWidth : kNormalWidth);
    int left = pressed ? before - Twips(kGrowth / 2) : before - advancedShift_;
    // Growing, it is pushed back from the right only as far as it then fits; never past the left edge.
    if (pressed && width <= area.width())
        left = std::min(left, area.right() + 1 - width);
    left = std::max(area.left(), left);
    advancedShift_ = pressed ? left - before : 0;
    move(left, y());
    // The bar first: resizing the window refits it, and a bar still as wide as the advanced view would
    // hold the narrowed window wide.
    prgProgress->resize(Twips((pressed ? kAdvancedWidth : kNormalWidth) - 5595), prgProgress->height());
    SizeDetails(pressed ? kAdvancedWidth : kNormalWidth, 85);
}

void KS_GEN_SpeakerProgrammer::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == kRadioKey && event->modifiers() == kServiceModifiers) {
        if (!Running())
            UnlockService(1);
        return;
    }
    KS_ProgrammerFrame::keyPressEvent(event);
}

bool KS_GEN_SpeakerProgrammer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtSecurityKey && event->type() == QEvent::FocusOut && !Running())
        LimitSecurityKey();
    return KS_ProgrammerFrame::eventFilter(watched, event);
}

void KS_GEN_SpeakerProgrammer::LimitSecurityKey()
{
    // The unit keeps security keys up to 299.
    if (Val(text(txtSecurityKey)) > 299)
        txtSecurityKey->setText("299");
    PadDigitBox(txtSecurityKey);
}

// ---- rules ----

void KS_GEN_SpeakerProgrammer::EnableDeviceConfigurationFrame(bool enabled)
{
    for (QCheckBox* box : chkDeviceConfiguration)
        box->setEnabled(enabled);
}

void KS_GEN_SpeakerProgrammer::EnableDeviceOptionsFrame(bool enabled)
{
    for (QCheckBox* box : chkDeviceOptions)
        box->setEnabled(enabled);
    if (enabled)
        chkDeviceConfiguration_Click(kIntercomBit);
}

void KS_GEN_SpeakerProgrammer::EnableTransceiversCommonFrame(bool enabled)
{
    for (QComboBox* list : {cmbPower, cmbTxDeviation, cmbIFBandwidth, cmbTxBaudRate})
        list->setEnabled(enabled);
}

void KS_GEN_SpeakerProgrammer::EnablePrimaryTransceiverFrame(bool enabled)
{
    Lock(txtTx1Frequency, !enabled);
    cmdTx1Test->setEnabled(enabled);
}

void KS_GEN_SpeakerProgrammer::EnableSecondaryTransceiverFrame(bool enabled)
{
    Lock(txtRx2Frequency, !enabled);
    Lock(txtTx2Frequency, !enabled);
    cmdTx2Test->setEnabled(enabled);
}

void KS_GEN_SpeakerProgrammer::EnableAlphanumericDisplayFrame(bool enabled)
{
    for (QComboBox* list : {cmbDisplayEffect, cmbDisplayColor, cmbDisplayTimeout, cmbDisplayFont, cmbDisplayAlignment,
                            cmbDisplaySlot, cmbDisplaySlice})
        list->setEnabled(enabled);
}

void KS_GEN_SpeakerProgrammer::chkProgramCapcode_Click(int index)
{
    const auto row = static_cast<std::size_t>(index);
    const bool on = chkProgramCapcode[row]->isChecked();
    // The increment box follows only its own check box.
    for (QWidget* control : std::initializer_list<QWidget*>{txtCapcode[row], lblAlertLevel[row], cmbAlertLevel[row],
                                                           chkAutoIncrement[row]})
        control->setEnabled(on);
    if (on)
        SafeSetFocus(txtCapcode[row]);
}

void KS_GEN_SpeakerProgrammer::chkDeviceConfiguration_Click(int index)
{
    const bool intercom = chkDeviceConfiguration[kIntercomBit]->isChecked();
    const bool secondary = chkDeviceConfiguration[kSecondaryTransceiverBit]->isChecked();
    // Auto answer and hands-free need both the intercom and the second transceiver it talks through.
    if (chkProgramDeviceOptions->isChecked() && (index == kIntercomBit || index == kSecondaryTransceiverBit))
        for (int option : {5, 6})
            chkDeviceOptions[static_cast<std::size_t>(option)]->setEnabled(intercom && secondary);
    if (index == kSecondaryTransceiverBit) {
        chkProgramSecondaryTransceiverSettings->setEnabled(secondary);
        if (!secondary)
            chkProgramSecondaryTransceiverSettings->setChecked(false);
    }
}

void KS_GEN_SpeakerProgrammer::cmdClearDeviceConfiguration_Click()
{
    for (QCheckBox* box : chkDeviceConfiguration)
        box->setChecked(false);
}

void KS_GEN_SpeakerProgrammer::UnlockService(int level)
{
    if (level >= 2) {
        UnlockServiceFields();
        return;
    }
    UnlockRadioFields();
    SafeSetFocus(txtRx1Frequency);
}

void KS_GEN_SpeakerProgrammer::UnlockRadioFields()
{
    lblRx1Frequency->setEnabled(true);
    lblRx1Frequency->show();
    Lock(txtRx1Frequency, false);
    txtRx1Frequency->setEnabled(true);
    txtRx1Frequency->show();
    lblRx1RSSI->show();
    txtRx1RSSI->show();
    Lock(txtSupervisionCapcode, false);
    for (QCheckBox* box : {chkProgramTransceiversCommonSettings, chkProgramPrimaryTransceiverrSettings,
                           chkProgramSecondaryTransceiverSettings})
        box->setEnabled(true);
}

void KS_GEN_SpeakerProgrammer::ServiceUnlocked()
{
    // The frame has opened the serial number and its increment.
    UnlockRadioFields();
    PadDigitBox(txtSerialNumber);
    cmdReset->show();
    chkProgramDeviceConfiguration->setEnabled(true);
    chkProgramDeviceConfiguration->show();
    cmdClearDeviceConfiguration->show();
    fraDeviceConfiguration->setTitle("    Device Configuration");
}
