#pragma once
// Edits the weekly tone event selected in the tone schedule window: sends it
// to the device as "PE", then keeps it in gToneSchedule, the schedule file
// and the list row.

#include <cstdint>

#include "KS_BusyDialog.h"

class KS_GEN_ToneSchedule;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QToolBar;

class KS_GEN_ToneScheduleAdd : public BusyDialog {
    Q_OBJECT

public:
    explicit KS_GEN_ToneScheduleAdd(KS_GEN_ToneSchedule* owner);

    void LoadEventIntoDialog();
    // False when nothing was kept (the operator gave up after the send failed, or the file could not be written).
    bool SaveScheduleEvent();
    void UpdateActivityFieldState(int action);
    void SetupDialogToolbar();

    void cmbAlertType_Click();
    void cmbAction_Click();
    void cmbAlertRepeat_Click();
    void txtZone_LostFocus();
    void txtCountdown_LostFocus();
    void txtActivitySeconds_LostFocus();
    void updCountdown_Change();
    void updActivitySeconds_Change();
    void cmdOk_Click();
    void cmdCancel_Click();

    QToolBar* tlbMenu = nullptr;
    QWidget* pbxDetails = nullptr;
    QLabel* Label1 = nullptr;
    QTimeEdit* dtpTime = nullptr;
    QLabel* lblZone = nullptr;
    QLineEdit* txtZone = nullptr;
    QLabel* lblDesc = nullptr;
    QLineEdit* txtDesc = nullptr;
    QLabel* lblAlertType = nullptr;
    QComboBox* cmbAlertType = nullptr;
    QLabel* lblAlertLength = nullptr;
    QComboBox* cmbAlertLength = nullptr;
    QLabel* lblAlertLevel = nullptr;
    QComboBox* cmbAlertLevel = nullptr;
    QLabel* lblAlertRepeat = nullptr;
    QComboBox* cmbAlertRepeat = nullptr;
    QLabel* lblAlertDelay = nullptr;
    QComboBox* cmbAlertDelay = nullptr;
    QLabel* lblCountdown = nullptr;
    QLineEdit* txtCountdown = nullptr;
    QSpinBox* updCountdown = nullptr;
    QLabel* lblAction = nullptr;
    QComboBox* cmbAction = nullptr;
    QLabel* lblActivityDuration = nullptr;
    QLineEdit* txtActivitySeconds = nullptr;
    QSpinBox* updActivitySeconds = nullptr;
    QCheckBox* chkActive = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    // Escape cancels as the Cancel button does, never while the event is on its way to the device.
    void reject() override { cmdCancel_Click(); }

private:
    void buildControls();
    void Form_Load();
    bool okChecksPass();
    int alertValue() const;
    bool typeNine() const;
    bool typeTen() const;

    KS_GEN_ToneSchedule* owner_ = nullptr;
};
