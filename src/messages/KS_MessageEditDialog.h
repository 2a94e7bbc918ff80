#pragma once
// What the edit dialogs of the keyword and device tables share: the toolbar
// frame with Ok and Cancel, the caption naming the selected row, the Ok flow
// (check, warn when the encoder lacks the table, save, close or stay) and the
// busy state while a save waits for the encoder.

#include <string>

#include "KS_BusyDialog.h"

class KS_PPM_MessagesTable;
class QLineEdit;
class QPushButton;
class QToolBar;
class QTreeWidgetItem;

class MessageEditDialog : public BusyDialog {
    Q_OBJECT

public:
    void InitToolbar();
    void cmdOk_Click();
    void cmdCancel_Click();

    // ---- Controls
    QToolBar* tlbMenu = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    // The dialog's frame; the subclass builds its controls (cmdOk and cmdCancel
    // among them) in Client() and then calls FinishLoad.
    MessageEditDialog(KS_PPM_MessagesTable& list, const char* formName, const char* caption, int widthTwips,
                      int heightTwips);
    QWidget* Client() const { return client_; }
    // Connects the buttons, places the dialog, and in update mode sets the
    // caption (caption, captionItem, the row's text, " - Update") and loads the row.
    void FinishLoad(const char* captionItem);

    // The fields may be saved; otherwise the operator has been told.
    virtual bool CheckFields() = 0;
    virtual void LoadSelectedMessage() = 0;
    // Sends and stores the slot; false leaves the dialog open.
    virtual bool SaveMessage() = 0;
    // Where the focus goes when a save did not happen.
    virtual QWidget* FocusAfterFailedSave() const = 0;
    // What of the unit the dialog's controls were set up for (its layout and
    // model rules), from the identity detection left; empty for a dialog whose
    // controls are the same for every unit.
    virtual std::string UnitRules() const { return {}; }
    // Sets the controls up for the unit that answers now, keeping what the
    // operator entered.
    virtual void ApplyUnitRules() {}

    // The slot the selected row stands for.
    int SelectedSlot() const;
    // The pager box as its number in three digits ("000" when left empty).
    static void FormatPagerBox(QLineEdit* box);
    // An empty pager box is refused with the message, the focus back in it.
    static bool PagerBoxFilled(QLineEdit* box, const char* message);
    // The save runs disabled so a second Ok cannot start another.
    void SetSaving(bool saving);

    void reject() override { cmdCancel_Click(); }

    KS_PPM_MessagesTable& list_;
    QTreeWidgetItem* row_ = nullptr;

private:
    // After Ok identified the unit again: when it is not the unit the dialog
    // was set up for, the dialog takes that unit's rules and says so, and
    // nothing is sent or stored until Ok is pressed again. True when so.
    bool unitChangedUnderneath();

    QString caption_;
    std::string openedFor_;
    QWidget* client_ = nullptr;
};
