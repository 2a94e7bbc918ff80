#pragma once
// The wireless-device message dialog: one slot's device and cancel codes,
// pager, repeat time, message, plan, call type and supervision, sent to the
// encoder in its layout and stored in the file.

#include "KS_MessageEditDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class KS_PPM_MessagesWirelessAdd : public MessageEditDialog {
    Q_OBJECT

public:
    explicit KS_PPM_MessagesWirelessAdd(KS_PPM_MessagesTable& list);

    void LoadSelectedMessage() override;
    bool SaveWirelessMessage();
    void txtUserID_Validate();
    void txtDeviceCode_Validate();
    void txtCancelDeviceCode_Validate();

    // ---- Controls
    QWidget* pbxDetails = nullptr;
    QLabel* lblDeviceCode = nullptr;
    QLineEdit* txtDeviceCode = nullptr;
    QLabel* lblCancelDeviceCode = nullptr;
    QLineEdit* txtCancelDeviceCode = nullptr;
    QLabel* lblUserID = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLabel* lblRepeatTime = nullptr;
    QComboBox* cmbRepeatTime = nullptr;
    QLabel* lblMessage = nullptr;
    QLineEdit* txtMessage = nullptr;
    QLabel* lblActiviationPlan = nullptr;
    QComboBox* cmbActiviationPlan = nullptr;
    QLabel* lblCallType = nullptr;
    QComboBox* cmbCallType = nullptr;
    QCheckBox* chkSupervised = nullptr;

protected:
    bool CheckFields() override;
    bool SaveMessage() override { return SaveWirelessMessage(); }
    QWidget* FocusAfterFailedSave() const override;
};
