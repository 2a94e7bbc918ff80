#pragma once
// The list window of an encoder message table: every slot in lvwMessages,
// Download, Upload and Update (the table's edit dialog on the selected row).
// One class serves every table; what differs (caption, columns, how a record
// becomes a row, the edit dialog) comes in a MessageListDefinition.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "KS_BusyDialog.h"
#include "KS_MessageTable.h"

class FormConventions;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class SortableRow;
class KS_PPM_MessagesTable;

struct MessageListDefinition {
    const char* formName;
    const char* caption;
    std::vector<QString> columns;
    std::vector<double> weights; // relative column widths; 0 hides a column
    MessageTableParams params;
    std::shared_ptr<const MessageTableCodec> codec;
    // Sets the texts of row `index` (slot index + 1) from its record.
    std::function<void(SortableRow& row, const std::string& record, int index)> fillRow;
    // Keep the rows sorted by the first column after every load and save.
    bool sortingOn = false;
    // Download may be refused for a unit whose answers cannot be read back
    // into the file; empty means whenever the table is supported.
    std::function<bool()> downloadAllowed;
    // The edit dialog, opened on the selected row.
    std::function<QDialog*(KS_PPM_MessagesTable& list)> makeEditor;
};

class KS_PPM_MessagesTable : public BusyDialog {
    Q_OBJECT

public:
    KS_PPM_MessagesTable(QWidget* owner, MessageListDefinition definition);

    void InitMessageColumns();
    void InitToolbar();
    // Fills the list from the data file, downloading the table when the file is missing.
    bool LoadMessages();
    bool UploadMessages();
    // Sets the list back to the first column after a load or a save.
    void ResetSortKey();
    // After a save wrote the row back: the list sorted by its first column
    // again, the columns fitted to the new texts, the row in view.
    void ShowSavedRow(QTreeWidgetItem* row);
    // A saved row shows the texts of these columns as typed, without the
    // spaces the record pads them with.
    static void ShowUnpadded(QTreeWidgetItem* row, std::initializer_list<int> columns);
    // The slot a row stands for: its record's position in the file, whatever
    // the record's own number field holds (nothing, in a record never written).
    static int RowSlot(const QTreeWidgetItem* row);

    void cmdUpdate_Click();
    void cmdUpload_Click();
    void cmdDownload_Click();
    void cmdClose_Click();
    void lvwMessages_DblClick();

    MessageTableEngine& Engine() { return engine_; }
    // Whether the unit holds the table. One that the last identification
    // counted absent (the unit paused through its answer) is looked for again
    // first, when the unit answers a probe: the window's buttons and a save
    // decide by this.
    bool TableSupported();

    // Read by the edit dialog: 1 add, 2 update (the only one this window sets).
    std::uint8_t mode_ = 2;

    // ---- Controls
    QToolBar* tlbMenu = nullptr;
    QTreeWidget* lvwMessages = nullptr;
    QWidget* pbxDetails = nullptr;
    QProgressBar* prgProgress = nullptr;
    QLabel* lblInfo = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdUpload = nullptr;
    QPushButton* cmdDownload = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    void reject() override { cmdClose_Click(); }
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void fillList(const std::vector<std::string>& records);
    // Widens the window by what the list's columns need beyond its width, as
    // far as the screen allows; past that the list scrolls sideways.
    void widenForColumns();
    void setBusy(bool busy);
    bool idle() const;
    bool downloadAllowed() const;
    // Upload and Download are offered exactly when the unit holds the table.
    void enableTransfers();

    MessageListDefinition definition_;
    MessageTableEngine engine_;
    FormConventions* conventions_ = nullptr;
};
