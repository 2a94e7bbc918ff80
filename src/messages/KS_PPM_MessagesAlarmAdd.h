#pragma once
// The edit dialog of one alarm point: the alarm page, its repeat and delay,
// the cancel page, the activation plan, and the input options of the units
// that have them. It loads from the list's selected row, writes the point to
// the encoder at once, stores it in PPM_Alarm.DBS and updates the row.

#include <QLineEdit>

#include "KS_AlarmTable.h"
#include "KS_MessageEditDialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;

class KS_PPM_MessagesAlarmAdd : public MessageEditDialog {
    Q_OBJECT

public:
    explicit KS_PPM_MessagesAlarmAdd(KS_PPM_MessagesTable& list);

    void LoadSelectedMessage() override;
    // Sends and stores the point; false leaves the dialog open.
    bool SaveAlarmMessage();

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

protected:
    bool CheckFields() override;
    bool SaveMessage() override { return SaveAlarmMessage(); }
    QWidget* FocusAfterFailedSave() const override { return txtMessage; }
    std::string UnitRules() const override;
    void ApplyUnitRules() override;

private:
    // The box lengths and the threshold range the unit takes.
    void applyUnitLimits();
    void applyModelRules();
    // The repeat and the input delay of the row as the unit reads the stored
    // fields (a count or minutes; a code, seconds or a module entry): at the
    // load, and again for another unit where the operator left them as shown.
    void loadRepeat();
    void loadDelay();
    AlarmDialogValues values() const;
    void updateRow(const AlarmSave& save);

    AlarmUnit unit_;
    AlarmDialogRules rules_;
    QString loadedStatus_; // the row's status: saved as it is unless the operator changes it
    int loadedDelayIndex_ = -1; // the input delay the row showed
    int loadedDelayModuleIndex_ = -1;
    int loadedRepeatTimeIndex_ = -1; // the repeat the row showed, as minutes or as a count
    int loadedRepeatCountIndex_ = -1;
    std::string loadedDelay_;   // and the stored field it came from
};
