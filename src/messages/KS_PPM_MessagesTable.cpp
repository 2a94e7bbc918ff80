#include "KS_PPM_MessagesTable.h"

#include <QHeaderView>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QToolBar>
#include <algorithm>

#include "KS_Events.h"
#include "KS_FormBuilder.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_ListServices.h"
#include "KS_ListWindow.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_String.h"
#include "KS_Toolbar.h"

namespace {
constexpr int kSlotRole = Qt::UserRole + 16;
} // namespace

KS_PPM_MessagesTable::KS_PPM_MessagesTable(QWidget* owner, MessageListDefinition definition)
    : BusyDialog(owner)
    , definition_(std::move(definition))
    , engine_(definition_.params, definition_.codec)
{
    setObjectName(definition_.formName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(definition_.caption);

    QWidget* client = BuildToolbarForm(this, tlbMenu, 7200, 4920);
    const FormControl controls[] = {
        Control(lvwMessages, "lvwMessages", "Double click on a message to update ", {60, 60, 7080, 3660}),
        Control(pbxDetails, "pbxDetails", "", {60, 3780, 7080, 420}),
        Control(prgProgress, "prgProgress", "", {0, 60, 4200, 300}, 0, "pbxDetails"),
        Control(lblInfo, "lblInfo", "Uploading...", {4320, 90, 2700, 255}, 0, "pbxDetails"),
        Control(cmdUpdate, "cmdUpdate", "&Update", {60, 4380, 1215, 375}),
        Control(cmdUpload, "cmdUpload", "Up&load", {1395, 4380, 1215, 375}),
        Control(cmdDownload, "cmdDownload", "&Download", {2730, 4380, 1215, 375}),
        Control(cmdClose, "cmdClose", "&Close", {5925, 4380, 1215, 375}),
    };
    BuildControls(client, controls);
    lblInfo->hide();
    EnableColumnClickSorting(lvwMessages);
    // Every column is fitted to its texts without the spaces the records pad
    // them with: only those spaces are ever past its edge, and they need no mark.
    lvwMessages->setTextElideMode(Qt::ElideNone);

    connect(cmdUpdate, &QPushButton::clicked, this, &KS_PPM_MessagesTable::cmdUpdate_Click);
    connect(cmdUpload, &QPushButton::clicked, this, &KS_PPM_MessagesTable::cmdUpload_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &KS_PPM_MessagesTable::cmdDownload_Click);
    connect(cmdClose, &QPushButton::clicked, this, &KS_PPM_MessagesTable::cmdClose_Click);
    connect(lvwMessages, &QTreeWidget::itemDoubleClicked, this, &KS_PPM_MessagesTable::lvwMessages_DblClick);
    conventions_ = FormConventions::Install(this);
    Form_Load();
}

void KS_PPM_MessagesTable::Form_Load()
{
    PlaceTableWindow(this);
    TableSupported();
    InitToolbar();
    InitMessageColumns();
    LoadMessages();
    cmdUpdate->setEnabled(true);
    enableTransfers();
}

void KS_PPM_MessagesTable::enableTransfers()
{
    cmdUpload->setEnabled(engine_.Supported());
    cmdDownload->setEnabled(downloadAllowed());
}

void KS_PPM_MessagesTable::InitToolbar()
{
    const ToolbarButton buttons[] = {
        {"cmdClose", "&Close", "Close", "Close"},
        {"cmdUpdate", "&Update", "Update Selected Message", "Update"},
        {"cmdUpload", "Up&load", "Upload Messages to " + gEncoderModelName, "Upload"},
        {"cmdDownload", "&Download", "Download Messages from " + gEncoderModelName, "Download"},
    };
    BuildCommandToolbar(tlbMenu, this, buttons);
}

void KS_PPM_MessagesTable::InitMessageColumns() { SetupListViewColumns(lvwMessages, definition_.weights, definition_.columns); }

void KS_PPM_MessagesTable::fillList(const std::vector<std::string>& records)
{
    lvwMessages->setSortingEnabled(false);
    lvwMessages->clear();
    for (std::size_t i = 0; i < records.size(); ++i) {
        auto* row = new SortableRow;
        const int slot = static_cast<int>(i) + 1;
        definition_.fillRow(*row, records[i], slot - 1);
        row->setData(0, kSlotRole, slot);
        row->SetSortNumber(0, slot);
        lvwMessages->addTopLevelItem(row);
    }
    ResetSortKey();
    if (lvwMessages->topLevelItemCount() > 0)
        SelectListRow(lvwMessages, lvwMessages->topLevelItem(0));
    AutoSizeListViewColumns(lvwMessages, definition_.weights);
    widenForColumns();
}

void KS_PPM_MessagesTable::ResetSortKey() { ::ResetSortKey(lvwMessages, definition_.sortingOn); }

void KS_PPM_MessagesTable::ShowSavedRow(QTreeWidgetItem* row)
{
    ShowSavedListRow(lvwMessages, definition_.weights, definition_.sortingOn, row);
    widenForColumns();
    lvwMessages->scrollToItem(row);
}

void KS_PPM_MessagesTable::ShowUnpadded(QTreeWidgetItem* row, std::initializer_list<int> columns)
{
    for (int column : columns) {
        QString text = row->text(column);
        while (text.endsWith(' '))
            text.chop(1);
        row->setText(column, text);
    }
}

void KS_PPM_MessagesTable::showEvent(QShowEvent* event)
{
    BusyDialog::showEvent(event);
    widenForColumns();
}

void KS_PPM_MessagesTable::widenForColumns()
{
    if (!isVisible())
        return;
    QWidget* client = lvwMessages->parentWidget();
    const QScreen* shownOn = screen();
    // Fitting again after a widening hands the new room to every column, so
    // a second look finds what is still lacking.
    for (int pass = 0; pass < 3; ++pass) {
        const int lacking = lvwMessages->header()->length() - lvwMessages->viewport()->width();
        const int room = shownOn ? shownOn->availableGeometry().width() - frameGeometry().width() : 0;
        const int widen = std::min(lacking, room);
        if (widen <= 0)
            return;
        client->setFixedWidth(client->width() + widen);
        for (QWidget* spanning : {static_cast<QWidget*>(lvwMessages), pbxDetails})
            spanning->resize(spanning->width() + widen, spanning->height());
        cmdClose->move(cmdClose->x() + widen, cmdClose->y());
        layout()->activate();
        AutoSizeListViewColumns(lvwMessages, definition_.weights);
        KeepOnScreenOf(this, parentWidget());
    }
}

bool KS_PPM_MessagesTable::TableSupported()
{
    if (!engine_.Supported() && gMainForm && !Busy()) {
        setBusy(true);
        if (gMainForm->IdentifyEncoderAgain([this] { return !engine_.Supported(); }))
            enableTransfers();
        setBusy(false);
    }
    return engine_.Supported();
}

int KS_PPM_MessagesTable::RowSlot(const QTreeWidgetItem* row) { return row ? row->data(0, kSlotRole).toInt() : 0; }

bool KS_PPM_MessagesTable::LoadMessages()
{
    lvwMessages->clear();
    const auto records = engine_.Load();
    if (!records)
        return false;
    fillList(*records);
    return true;
}

void KS_PPM_MessagesTable::setBusy(bool busy)
{
    SetBusy(busy);
    SetFormContentsEnabled(this, !busy);
}

// A click that comes in while some conversation waits for its answer would nest its own inside it.
bool KS_PPM_MessagesTable::idle() const { return !Busy() && !LinkConversation::ConversationActive(); }

bool KS_PPM_MessagesTable::downloadAllowed() const
{
    return engine_.Supported() && (!definition_.downloadAllowed || definition_.downloadAllowed());
}

bool KS_PPM_MessagesTable::UploadMessages()
{
    setBusy(true);
    TransferProgress progress(prgProgress, lblInfo, "Uploading...");
    // A run can fail before it starts (no answer to the probe); its end shows all the same.
    const bool done = engine_.Upload({[&progress](int total) { progress.Start(total); },
                                      [&progress] { progress.Step(); },
                                      [this, &progress](bool ok) {
                                          progress.Finish(ok);
                                          lblInfo->show();
                                      }});
    setBusy(false);
    return done;
}

void KS_PPM_MessagesTable::cmdUpload_Click()
{
    if (!idle() || !TableSupported())
        return;
    if (ShowMessage("These messages will replace the exisiting messages on the " + gEncoderModelName + ". "
                        + "Are you sure you want to continue ? ",
                    kButtonsYesNo, kAnswerNo, kIconQuestion)
        != kAnswerYes)
        return;
    UploadMessages();
}

void KS_PPM_MessagesTable::cmdDownload_Click()
{
    if (!idle() || !TableSupported() || !downloadAllowed())
        return;
    if (ShowMessage("Current " + FromQString(windowTitle())
                        + " file on this computer will be overwritten. Are you sure you want to continue ?",
                    kButtonsYesNo, kAnswerNo, kIconQuestion)
        != kAnswerYes)
        return;
    setBusy(true);
    const auto records = engine_.Download();
    if (records)
        fillList(*records);
    setBusy(false);
}

void KS_PPM_MessagesTable::cmdUpdate_Click()
{
    if (!idle() || lvwMessages->topLevelItemCount() == 0 || !SelectedListRow(lvwMessages) || !definition_.makeEditor)
        return;
    mode_ = 2;
    QDialog* editor = definition_.makeEditor(*this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowModality(Qt::WindowModal);
    QPointer<QDialog> guard(editor);
    editor->exec();
    if (guard)
        guard->close();
}

void KS_PPM_MessagesTable::lvwMessages_DblClick()
{
    if (cmdUpdate->isEnabled())
        cmdUpdate_Click();
}

void KS_PPM_MessagesTable::cmdClose_Click()
{
    if (!Busy())
        close();
}
