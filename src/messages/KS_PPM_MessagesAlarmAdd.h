#pragma once
// The edit dialog of one alarm point: the alarm page, its repeat and delay,
// the cancel page, the activation plan, and the input options of the units
// that have them. It loads from the list's selected row, writes the point to
// the encoder at once, stores it in PPM_Alarm.DBS and updates the row.

#include <QDialog>

#include "KS_AlarmTable.h"

class KS_PPM_MessagesTable;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolBar;
class QTreeWidgetItem;

class KS_PPM_MessagesAlarmAdd : public QDialog {
    Q_OBJECT

public:
    explicit KS_PPM_MessagesAlarmAdd(KS_PPM_MessagesTable& list);

    void InitToolbar();
    void LoadSelectedMessage();
    // Sends and stores the point; false leaves the dialog open.
    bool SaveAlarmMessage();

    void cmdOk_Click();
    void cmdCancel_Click();
    void cmbInputType_Click();
    void cmbInputType_Validate();
    void cmbRepeatCount_Click();
    void txtUserID_Validate();
    void txtUserIDCancel_Validate();
    void txtThreshold_Validate();
    void updThreshold_Change();
    void txtRelay_Validate();
    void updRelay_Change();

    // ---- Controls
    QToolBar* tlbMenu = nullptr;
    QLabel* lblUserID = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLabel* lblMessage = nullptr;
    QLineEdit* txtMessage = nullptr;
    QLabel* lblRepeatTime = nullptr;
    QComboBox* cmbRepeatTime = nullptr;
    QLabel* lblInputDelay = nullptr;
    QComboBox* cmbInputDelay = nullptr;
    QLabel* lblStatus = nullptr;
    QLineEdit* txtStatus = nullptr;
    QLabel* lblRealTime = nullptr;
    QLineEdit* txtRealTime = nullptr;
    QLabel* lblActiviationPlan = nullptr;
    QComboBox* cmbActiviationPlan = nullptr;
    QLabel* lblUserIDCancel = nullptr;
    QLineEdit* txtUserIDCancel = nullptr;
    QLabel* lblMessageCancel = nullptr;
    QLineEdit* txtMessageCancel = nullptr;
    QCheckBox* chkSendCancel = nullptr;
    QCheckBox* chkActive = nullptr;
    QGroupBox* fraOptions = nullptr;
    QLabel* lblInputType = nullptr;
    QComboBox* cmbInputType = nullptr;
    QLabel* lblThreshold = nullptr;
    QLineEdit* txtThreshold = nullptr;
    QSpinBox* updThreshold = nullptr;
    QLabel* lblPulse = nullptr;
    QComboBox* cmbPulse = nullptr;
    QLabel* lblRepeatCount = nullptr;
    QComboBox* cmbRepeatCount = nullptr;
    QLabel* lblRepeatTimeModule = nullptr;
    QComboBox* cmbRepeatTimeModule = nullptr;
    QLabel* lblInputDelayModule = nullptr;
    QComboBox* cmbInputDelayModule = nullptr;
    QLabel* lblRelay = nullptr;
    QLineEdit* txtRelay = nullptr;
    QSpinBox* updRelay = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { cmdCancel_Click(); }

private:
    void Form_Load();
    void applyModelRules();
    AlarmDialogValues values() const;
    void updateRow(const AlarmSave& save);
    void setBusy(bool busy);

    KS_PPM_MessagesTable& list_;
    QTreeWidgetItem* row_ = nullptr;
    AlarmUnit unit_;
    AlarmDialogRules rules_;
    QWidget* client_ = nullptr;
    bool saving_ = false;
};
