#pragma once
// Edits the calendar event selected in the tone calendar window for the day
// it lists. The event goes to the calendar file and the list row only; the
// device learns of it at the window's next upload.

#include "KS_BusyDialog.h"

class KS_GEN_ToneScheduleCalendar;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QToolBar;

class KS_GEN_ToneScheduleCalendarlAdd : public BusyDialog {
    Q_OBJECT

public:
    explicit KS_GEN_ToneScheduleCalendarlAdd(KS_GEN_ToneScheduleCalendar* owner);

    void LoadEventIntoDialog();
    // False, after telling the operator, when the file could not be written.
    bool SaveCalendarEvent();
    void UpdateDurationFieldState(int action);
    void SetupDialogToolbar();

    void cmbAlertType_Click();
    void cmbAction_Click();
    void cmbAlertRepeat_Click();
    void txtZone_LostFocus();
    void txtDurationMinutes_LostFocus();
    void txtDurationSeconds_LostFocus();
    void updDurationMinutes_Change();
    void updDurationSeconds_Change();
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
    QLabel* lblAction = nullptr;
    QComboBox* cmbAction = nullptr;
    QLabel* lblDuration = nullptr;
    QLineEdit* txtDurationMinutes = nullptr;
    QSpinBox* updDurationMinutes = nullptr;
    QLineEdit* txtDurationSeconds = nullptr;
    QSpinBox* updDurationSeconds = nullptr;
    QCheckBox* chkActive = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void reject() override { cmdCancel_Click(); }

private:
    void buildControls();
    void Form_Load();
    bool okChecksPass();
    int alertType() const;
    void setDurationEnabled(bool on);

    KS_GEN_ToneScheduleCalendar* owner_ = nullptr;
};
