#pragma once
// What every message-table edit dialog shares: the Ok and Cancel buttons and
// their toolbar, the client area under it, and the save in progress, during
// which the contents are disabled and the dialog cannot be closed.

#include <QDialog>

class QCloseEvent;
class QPushButton;
class QToolBar;

class TableEditDialog : public QDialog {
    Q_OBJECT

public:
    void InitToolbar();
    virtual void cmdOk_Click() = 0;
    void cmdCancel_Click();

    QToolBar* tlbMenu = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    // The toolbar along the top and, under it, a client area of the given size in twips.
    TableEditDialog(QWidget* list, int widthTwips, int heightTwips);

    // Ok may start a save: none is running, and no other conversation waits for its answer.
    bool MayStartSave() const;
    // The contents only: a disabled window would disable the message boxes it owns.
    void SetBusy(bool busy);
    bool Saving() const { return saving_; }
    // Connects the two buttons once the derived dialog has built them.
    void ConnectButtons();

    void closeEvent(QCloseEvent* event) override;
    void reject() override { cmdCancel_Click(); }

    QWidget* client_ = nullptr;

private:
    bool saving_ = false;
};
