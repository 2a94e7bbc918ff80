#pragma once
// The edit dialog of a plain text table (fast keys, PABX messages): changes
// the selected slot's text, sends it to the encoder at once and writes it to
// the data file and the list row.

#include "KS_TableEditDialog.h"
#include "KS_TextTables.h"

class KS_PPM_MessagesTable;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QTreeWidgetItem;

class KS_PPM_MessagesTableAdd : public TableEditDialog {
    Q_OBJECT

public:
    KS_PPM_MessagesTableAdd(KS_PPM_MessagesTable& list, const TextTableSpec& spec);

    void LoadSelectedMessage();
    // Sends and stores the slot; false leaves the dialog open.
    bool SaveMessage();
    // The slot the selected row stands for.
    int SelectedSlot() const;

    void cmdOk_Click() override;

    // ---- Controls
    QLabel* lblMessage = nullptr;
    QLineEdit* txtMessage = nullptr;

private:
    void Form_Load();

    KS_PPM_MessagesTable& list_;
    const TextTableSpec& spec_;
    QTreeWidgetItem* row_ = nullptr;
};
