#pragma once
// The sign-board message list: the 500 messages of SBMessages.DBS, sent to
// the users selected in the main window, or their display slots cleared.
// Opened from the Messages menu it also edits them; from the main window's
// SB Messages button it only sends.

#include <QDialog>
#include <QPointer>
#include <cstdint>

class KS_MainForm;
class KS_PPM_MessagesSBAdd;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QAction;

class KS_PPM_MessagesSB : public QDialog {
    Q_OBJECT

public:
    explicit KS_PPM_MessagesSB(KS_MainForm* owner);

    void InitToolbar();
    void InitMessageColumns();
    void LoadSignBoardMessages();
    // Called by the editor once a row shows what it saved.
    void ShowSavedRow(QTreeWidgetItem* row);

    void cmdSend_Click() { sendSelected(1); }
    void cmdClear_Click() { sendSelected(2); }
    void cmdClearAll_Click() { sendSelected(3); }
    void cmdUpdate_Click();
    void cmdClose_Click() { close(); }
    void lvwMessages_DblClick() { cmdUpdate_Click(); }

    std::uint8_t mode_ = 2; // read by the editor: 1 add, 2 update

    QToolBar* tlbMenu = nullptr;
    QWidget* pbxDetails = nullptr;
    QTreeWidget* lvwMessages = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdSend = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdClearAll = nullptr;

protected:
    // Neither the close box nor Escape takes the list away while its editor is
    // open: the editor's unsaved text would go with it.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Form_Load();
    void sendSelected(std::int16_t sbCommand);

    bool sendOnly() const;
    bool editorOpen() const;

    KS_MainForm* owner_ = nullptr;
    QAction* updateSeparator_ = nullptr;
    QPointer<KS_PPM_MessagesSBAdd> editor_;
};

// The columns of a message row, which the editor reads and refreshes.
namespace SignBoardColumn {
inline constexpr int Text = 1, Slot = 2, Font = 3, Delay = 4, Effect = 5, Lines = 6, CharPerLine = 7;
}
