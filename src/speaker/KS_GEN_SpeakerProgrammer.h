#pragma once
// The programmer window of the wireless PA speaker: radio channels and
// frequencies, capcodes with alert levels, the device configuration and
// options, the unit's date and time, transmitter tests, a test tone and the
// factory reset. A narrow view shows the everyday settings; the toolbar's
// Advanced button widens the window over the configuration and transceiver
// frames. Radio and service fields stay locked until a service unlock.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "KS_ProgrammerFrame.h"
#include "KS_SpeakerProtocol.h"

class QAction;
class EncoderIdentityKeeper;

class KS_GEN_SpeakerProgrammer : public KS_ProgrammerFrame {
    Q_OBJECT

public:
    // Loads the window: defaults, lists, the unit's identity (detection runs here).
    explicit KS_GEN_SpeakerProgrammer(QWidget* owner = nullptr);
    ~KS_GEN_SpeakerProgrammer() override;

    static constexpr int kCapcodeRows = 8;
    static constexpr int kConfigurationBits = 10;
    static constexpr int kOptionBits = 8;

    // The frame's common controls (txtVersion, txtSerialNumber, cmdReset, lblInfo, ...) are the frame's members.
    QWidget* pbxDetails = nullptr;

    QLabel* lblSupervisionCapcode = nullptr;
    QLineEdit* txtSupervisionCapcode = nullptr;
    QLabel* lblRx1Frequency = nullptr;
    QLineEdit* txtRx1Frequency = nullptr;
    QLabel* lblRx1RSSI = nullptr;
    QLineEdit* txtRx1RSSI = nullptr;
    QLabel* lblDateTime = nullptr;
    QLineEdit* txtDateTime = nullptr;

    QGroupBox* fraProgrammableOptions = nullptr;
    QCheckBox* chkDateTime = nullptr;
    QCheckBox* chkSecurityMode = nullptr;
    QComboBox* cmbSecurityMode = nullptr;
    QLabel* lblSecurityKey = nullptr;
    QLineEdit* txtSecurityKey = nullptr;
    QCheckBox* chkOperationMode = nullptr;
    QComboBox* cmbOperationMode = nullptr;
    QCheckBox* chkSquelchLevel = nullptr;
    QComboBox* cmbSquelchLevel = nullptr;
    QCheckBox* chkRxBaudRate = nullptr;
    QComboBox* cmbRxBaudRate = nullptr;
    QCheckBox* chkRxDeviation = nullptr;
    QComboBox* cmbRxDeviation = nullptr;
    QCheckBox* chkAmbientNoiseLevel = nullptr;
    QComboBox* cmbAmbientNoiseLevel = nullptr;
    std::array<QCheckBox*, kCapcodeRows> chkProgramCapcode{};
    std::array<QLineEdit*, kCapcodeRows> txtCapcode{};
    std::array<QLabel*, kCapcodeRows> lblAlertLevel{};
    std::array<QComboBox*, kCapcodeRows> cmbAlertLevel{};
    std::array<QCheckBox*, kCapcodeRows> chkAutoIncrement{};
    std::array<QLineEdit*, kCapcodeRows> txtIncrement{};
    QComboBox* cmbAlertNumber = nullptr;
    QPushButton* cmdTest = nullptr;

    QGroupBox* fraDeviceConfiguration = nullptr;
    QCheckBox* chkProgramDeviceConfiguration = nullptr;
    QPushButton* cmdClearDeviceConfiguration = nullptr;
    std::array<QCheckBox*, kConfigurationBits> chkDeviceConfiguration{};
    QGroupBox* fraDeviceOptions = nullptr;
    QCheckBox* chkProgramDeviceOptions = nullptr;
    std::array<QCheckBox*, kOptionBits> chkDeviceOptions{};

    QGroupBox* fraTransceiversCommon = nullptr;
    QCheckBox* chkProgramTransceiversCommonSettings = nullptr;
    QLabel* lblTxDeviation = nullptr;
    QComboBox* cmbTxDeviation = nullptr;
    QLabel* lblPower = nullptr;
    QComboBox* cmbPower = nullptr;
    QLabel* lblIFBandwidth = nullptr;
    QComboBox* cmbIFBandwidth = nullptr;
    QLabel* lblTxBaudRate = nullptr;
    QComboBox* cmbTxBaudRate = nullptr;
    QGroupBox* fraPrimaryTransceiver = nullptr;
    QCheckBox* chkProgramPrimaryTransceiverrSettings = nullptr;
    QLabel* lblTx1Frequency = nullptr;
    QLineEdit* txtTx1Frequency = nullptr;
    QPushButton* cmdTx1Test = nullptr;
    QGroupBox* fraSecondaryTransceiver = nullptr;
    QCheckBox* chkProgramSecondaryTransceiverSettings = nullptr;
    QLabel* lblRx2Frequency = nullptr;
    QLineEdit* txtRx2Frequency = nullptr;
    QLabel* lblRx2RSSI = nullptr;
    QLineEdit* txtRx2RSSI = nullptr;
    QLabel* lblTx2Frequency = nullptr;
    QLineEdit* txtTx2Frequency = nullptr;
    QPushButton* cmdTx2Test = nullptr;

    QGroupBox* fraAlphanumericDisplay = nullptr;
    QCheckBox* chkProgramAlphanumericDisplay = nullptr;
    QLabel* lblDisplayStandbyMessage = nullptr;
    QLineEdit* txtDisplayStandbyMessage = nullptr;
    QLabel *lblDisplayScrollSpeed = nullptr, *lblDisplayType = nullptr, *lblDisplayBuzzerMode = nullptr,
           *lblDisplayMode = nullptr, *lblDisplayModel = nullptr, *lblDisplayAlignment = nullptr,
           *lblDisplayFont = nullptr, *lblDisplayTimeout = nullptr, *lblDisplayColor = nullptr,
           *lblDisplayEffect = nullptr, *lblDisplaySlice = nullptr, *lblDisplaySlot = nullptr;
    QComboBox *cmbDisplayScrollSpeed = nullptr, *cmbDisplayType = nullptr, *cmbDisplayBuzzerMode = nullptr,
              *cmbDisplayMode = nullptr, *cmbDisplayModel = nullptr, *cmbDisplayAlignment = nullptr,
              *cmbDisplayFont = nullptr, *cmbDisplayTimeout = nullptr, *cmbDisplayColor = nullptr,
              *cmbDisplayEffect = nullptr, *cmbDisplaySlice = nullptr, *cmbDisplaySlot = nullptr;

    // ---- runs ----
    bool ReadSpeakerSettings();
    bool ProgramSpeakerSettings();
    void SetSpeakerToolbarState();

    // ---- rules ----
    void EnableDeviceConfigurationFrame(bool enabled);
    void EnableDeviceOptionsFrame(bool enabled);
    void EnableTransceiversCommonFrame(bool enabled);
    void EnablePrimaryTransceiverFrame(bool enabled);
    void EnableSecondaryTransceiverFrame(bool enabled);
    void EnableAlphanumericDisplayFrame(bool enabled);
    // The service levels: 1 opens the radio fields, 2 the identity fields and the reset as well.
    void UnlockService(int level);
    // The radio fields' key; the frame's service key opens the second level.
    static constexpr int kRadioKey = Qt::Key_F11;

    // ---- handlers ----
    void cmdRead_Click() override;
    void cmdProgram_Click() override;
    void cmdReset_Click() override;
    void cmdTx1Test_Click();
    void cmdTx2Test_Click();
    void cmdTest_Click();
    void cmdClearDeviceConfiguration_Click();
    void chkDeviceConfiguration_Click(int index);
    void chkProgramCapcode_Click(int index);
    void tlbMenu_ButtonClick(QAction* button);
    void StopBeforeExit() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void ServiceUnlocked() override;

private:
    void BuildForm();
    void ConnectHandlers();
    void Form_Load();
    void ToggleAdvancedView(bool pressed);
    void SizeDetails(double widthTwips, double pictureInset);
    bool ChecksBeforeProgramming();
    SpeakerSettings CollectSettings() const;
    void TransmitterTest(int transmitter);
    // Sends the stop of the test on the transmitter as one conversation; true
    // once the unit has taken it. A stop it did not take is reported.
    bool StopTransmitterTest(int transmitter);
    // Every transmitter whose stop the unit has not taken is stopped again.
    void StopTransmittersOnTest();
    void RunProgramItem(const SpeakerProgramItem& item, bool current);
    void ShowReading(const SpeakerReading& reading);
    void HideRx1Frequency();
    void UnlockRadioFields();
    void LimitSecurityKey();

    std::unique_ptr<EncoderIdentityKeeper> identity_; // the console's encoder comes back when the window goes
    QAction* advancedButton_ = nullptr;
    int advancedShift_ = 0; // pixels the advanced view moved the left edge
    // Transmitters 1 and 2 (index 0 unused) from the start of their test
    // until the unit takes its stop: each may still be on the air.
    std::array<bool, 3> onTest_{};
};
