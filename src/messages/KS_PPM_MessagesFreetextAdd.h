#pragma once
// The free-text entry dialog: pager, keyword, message and replace flag of the
// selected slot, sent to the encoder in its layout and stored in the file.

#include "KS_MessageEditDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;

class KS_PPM_MessagesFreetextAdd : public MessageEditDialog {
    Q_OBJECT

public:
    explicit KS_PPM_MessagesFreetextAdd(KS_PPM_MessagesTable& list);

    void LoadSelectedMessage() override;
    bool SaveFreetextMessage();
    void txtUserID_Validate();

    // ---- Controls
    QWidget* pbxDetails = nullptr;
    QLabel* lblUserID = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLabel* lblKeyword = nullptr;
    QLineEdit* txtKeyword = nullptr;
    QLabel* lblMessage = nullptr;
    QLineEdit* txtMessage = nullptr;
    QCheckBox* chkReplaceKeyword = nullptr;

protected:
    bool CheckFields() override;
    bool SaveMessage() override { return SaveFreetextMessage(); }
    QWidget* FocusAfterFailedSave() const override;
};
