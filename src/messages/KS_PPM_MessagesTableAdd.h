#pragma once
// The edit dialog of a plain text table (fast keys, PABX messages): changes
// the selected slot's text, sends it to the encoder at once and writes it to
// the data file and the list row.

#include "KS_BusyDialog.h"
#include "KS_TextTables.h"

class KS_PPM_MessagesTable;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QTreeWidgetItem;

class KS_PPM_MessagesTableAdd : public BusyDialog {
    Q_OBJECT

public:
    KS_PPM_MessagesTableAdd(KS_PPM_MessagesTable& list, const TextTableDefinition& definition);

    void InitToolbar();
    void LoadSelectedMessage();
    // Sends and stores the slot; false leaves the dialog open.
    bool SaveMessage();
    // The slot the selected row stands for.
    int SelectedSlot() const;

    void cmdOk_Click();
    void cmdCancel_Click();

    // ---- Controls
    QToolBar* tlbMenu = nullptr;
    QLabel* lblMessage = nullptr;
    QLineEdit* txtMessage = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void reject() override { cmdCancel_Click(); }

private:
    void Form_Load();
    void setBusy(bool busy);

    KS_PPM_MessagesTable& list_;
    const TextTableDefinition& definition_;
    QTreeWidgetItem* row_ = nullptr;
};
