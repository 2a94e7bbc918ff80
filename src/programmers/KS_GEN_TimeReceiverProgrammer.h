#pragma once
// The time receiver's programmer (model RL7990): its time source, zone,
// transmission and master-clock settings, security and special modes, and
// for service staff its baud rate, tone generator and radio test. The window
// runs the encoder detection on the device when it opens and gives the
// console its encoder's identity back when it closes.

#include <functional>
#include <memory>

#include "KS_ProgrammerFrame.h"
#include "TimePicker.h"

class EncoderIdentityKeeper;

class KS_GEN_TimeReceiverProgrammer : public KS_ProgrammerFrame {
    Q_OBJECT

public:
    explicit KS_GEN_TimeReceiverProgrammer(QWidget* owner);
    ~KS_GEN_TimeReceiverProgrammer() override;

    QWidget* pbxDetails = nullptr;
    QLabel* lblDateTime = nullptr;
    QLineEdit* txtDateTime = nullptr;
    QGroupBox* fraProgrammableOptions = nullptr;
    QCheckBox* chkDateTime = nullptr;
    QCheckBox* chkTimeSource = nullptr;
    QComboBox* cmbTimeSource = nullptr;
    QCheckBox* chkTimeZone = nullptr;
    QComboBox* cmbTimeZone = nullptr;
    QCheckBox* chkDlSaving = nullptr;
    QComboBox* cmbDLSaving = nullptr;
    QCheckBox* chkTransmissionMode = nullptr;
    QComboBox* cmbTransmissionMode = nullptr;
    QCheckBox* chkTimeSlot = nullptr;
    QComboBox* cmbTimeSlot = nullptr;
    QCheckBox* chkMasterClock = nullptr;
    QLabel* lblMasterClockTime = nullptr;
    TimePicker* dtpMasterClockTime = nullptr;
    QLabel* lblMasterClockCapcode = nullptr;
    QLineEdit* txtMasterClockCapcode = nullptr;
    QLabel* lblMasterClockClosure = nullptr;
    QComboBox* cmbMasterClockClosure = nullptr;
    QCheckBox* chkSecurityMode = nullptr;
    QComboBox* cmbSecurityMode = nullptr;
    QLabel* lblSecurityKey = nullptr;
    QLineEdit* txtSecurityKey = nullptr;
    QCheckBox* chkSpecialMode = nullptr;
    QComboBox* cmbSpecialMode = nullptr;
    QCheckBox* chkBaudRate = nullptr;
    QComboBox* cmbBaudRate = nullptr;
    QCheckBox* chkToneGenerator = nullptr;
    QComboBox* cmbToneGenerator = nullptr;
    QPushButton* cmdTestTRX = nullptr;

    void cmdRead_Click() override;
    void cmdProgram_Click() override;
    void cmdReset_Click() override;
    void cmdTestTRX_Click();
    void StopBeforeExit() override;

protected:
    void ServiceUnlocked() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void SetTimeReceiverToolbarState() { SetupToolbar(); }
    bool ReadTimeReceiverSettings();
    bool ReadTimeReceiverDateTime();
    bool ProgramTimeReceiverSettings();
    // The connected unit is a time receiver; otherwise the warning.
    static bool TimeReceiverConnected();
    // A radio test or a reset: only on a time receiver (the warning
    // otherwise, the focus left where it is); the focus then goes to txtVersion.
    void ReceiverRun(const std::function<bool()>& body);
    bool TRXTestRunning() const;
    bool StopTRXTest();
    // Leaving the window (closing it, or Exit): a radio test still running is stopped.
    void StopTRXTestOnLeaving();
    bool ProgramItem(std::string_view text, std::string_view mnemonic, std::string_view value);
    bool ProgramDateTime();

    std::unique_ptr<EncoderIdentityKeeper> identity_;
    // The radio test's start has gone out and no stop has been taken since.
    bool trxOnTest_ = false;
};
