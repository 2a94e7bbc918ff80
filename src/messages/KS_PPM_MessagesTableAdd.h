#pragma once
// The edit dialog of a plain text table (fast keys, PABX messages): changes
// the selected slot's text, sends it to the encoder at once and writes it to
// the data file and the list row.

#include "KS_MessageEditDialog.h"
#include "KS_TextTables.h"

class QLabel;
class QLineEdit;

class KS_PPM_MessagesTableAdd : public MessageEditDialog {
    Q_OBJECT

public:
    KS_PPM_MessagesTableAdd(KS_PPM_MessagesTable& list, const TextTableDefinition& definition);

    void LoadSelectedMessage() override;
    // Sends and stores the slot; false leaves the dialog open.
    bool SaveMessage() override;

    // ---- Controls
    QLabel* lblMessage = nullptr;
    QLineEdit* txtMessage = nullptr;

protected:
    bool CheckFields() override { return true; }
    QWidget* FocusAfterFailedSave() const override;
};
