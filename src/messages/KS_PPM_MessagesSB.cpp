#include "KS_PPM_MessagesSB.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QToolBar>
#include <QTreeWidget>
#include <vector>

#include "KS_Events.h"
#include "KS_FormBuilder.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_ListServices.h"
#include "KS_ListWindow.h"
#include "KS_MainForm.h"
#include "KS_PPM_MessagesSBAdd.h"
#include "KS_PagingLists.h"
#include "KS_SignBoardFile.h"
#include "KS_String.h"
#include "KS_Toolbar.h"

namespace {

const std::vector<double> kColumnWeights = {1, 5, 1, 1.5, 1, 1.5, 1, 1.5};

// What the list shows of a text field: the rest of a field never filled in is
// NULs, and a line break or tab goes to the board as a space.
QString shownText(const std::string& field)
{
    std::string text = BlankControlChars(field.substr(0, field.find('\0')));
    text.erase(text.find_last_not_of(' ') + 1);
    return ToQString(text);
}

} // namespace

KS_PPM_MessagesSB::KS_PPM_MessagesSB(KS_MainForm* owner)
    : QDialog(owner)
    , owner_(owner)
{
    setObjectName("KS_PPM_MessagesSB");
    setWindowTitle("Sign Board Messages");

    QWidget* client = BuildToolbarForm(this, tlbMenu, 9600, 5280);
    const FormControl controls[] = {
        Control(pbxDetails, "pbxDetails", "", {0, 0, 9600, 5280}),
        Control(lvwMessages, "lvwMessages", "Double click on a message to update ", {120, 120, 9360, 4440}, 0,
                "pbxDetails"),
        Control(cmdSend, "cmdSend", "&Send", {120, 4740, 1215, 375}, 0, "pbxDetails"),
        Control(cmdClear, "cmdClear", "C&lear", {1440, 4740, 1215, 375}, 0, "pbxDetails"),
        Control(cmdClearAll, "cmdClearAll", "Clear &All", {2760, 4740, 1215, 375}, 0, "pbxDetails"),
        Control(cmdUpdate, "cmdUpdate", "&Update", {6945, 4740, 1215, 375}, 0, "pbxDetails"),
        Control(cmdClose, "cmdClose", "&Close", {8265, 4740, 1215, 375}, 0, "pbxDetails"),
    };
    BuildControls(client, controls);

    connect(cmdSend, &QPushButton::clicked, this, &KS_PPM_MessagesSB::cmdSend_Click);
    connect(cmdClear, &QPushButton::clicked, this, &KS_PPM_MessagesSB::cmdClear_Click);
    connect(cmdClearAll, &QPushButton::clicked, this, &KS_PPM_MessagesSB::cmdClearAll_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &KS_PPM_MessagesSB::cmdUpdate_Click);
    connect(cmdClose, &QPushButton::clicked, this, &KS_PPM_MessagesSB::cmdClose_Click);
    connect(lvwMessages, &QTreeWidget::itemDoubleClicked, this, &KS_PPM_MessagesSB::lvwMessages_DblClick);
    // A scheduled page or the hourly clock holds the line: the sends wait, visibly.
    if (owner)
        connect(owner, &KS_MainForm::LineHeldChanged, this, [this](bool held) {
            for (QPushButton* command : {cmdSend, cmdClear, cmdClearAll})
                command->setEnabled(!held);
        });
    EnableColumnClickSorting(lvwMessages);
    FormConventions::Install(this);
    Form_Load();
}

void KS_PPM_MessagesSB::Form_Load()
{
    PlaceTableWindow(this);
    InitToolbar();
    if (sendOnly()) {
        ToolbarAction(tlbMenu, "cmdUpdate")->setVisible(false);
        updateSeparator_->setVisible(false);
        cmdUpdate->setEnabled(false);
        lvwMessages->setToolTip("Select message and then select action ");
    }
    InitMessageColumns();
    LoadSignBoardMessages();
    SafeSetFocus(lvwMessages);
}

void KS_PPM_MessagesSB::InitToolbar()
{
    const ToolbarButton buttons[] = {
        {"cmdClose", "&Close", "Close", "Close"},
        {"cmdUpdate", "&Update", "Update Selected Text", "Update"},
        {"cmdSend", "&Send", "Send Message ", "Ok"},
        {"cmdClear", "C&lear", "Clear Selected Message Slot ", "Clear"},
        {"cmdClearAll", "Clear &All", "Clear All Slots ", "Delete"},
    };
    BuildCommandToolbar(tlbMenu, this, buttons);
    tlbMenu->insertSeparator(ToolbarAction(tlbMenu, "cmdUpdate"));
    updateSeparator_ = tlbMenu->insertSeparator(ToolbarAction(tlbMenu, "cmdSend"));
}

void KS_PPM_MessagesSB::InitMessageColumns()
{
    SetupListViewColumns(lvwMessages, kColumnWeights,
                         {"No.", "Text", "Slot", "Font", "Delay", "Effect", "Lines", "Char/Line"});
    // Lists start in ascending order; the column clicks flip it from there.
    lvwMessages->header()->setSortIndicator(0, Qt::AscendingOrder);
}

void KS_PPM_MessagesSB::LoadSignBoardMessages()
{
    ShowBusyPointer();
    lvwMessages->clear();
    std::vector<SignBoardMessage> table;
    if (LoadSignBoardTable(table)) {
        QList<QTreeWidgetItem*> rows;
        for (std::size_t i = 0; i < table.size(); ++i) {
            const SignBoardMessage& m = table[i];
            rows.append(new QTreeWidgetItem(QStringList{
                ToQString(ZeroPad(static_cast<long long>(i + 1), 3)), shownText(m.Text), QString::number(m.Slot),
                ToQString(FontSizeText(std::to_string(m.Font), true)), QString::number(m.Delay),
                QString::number(m.Effect), QString::number(m.Lines), QString::number(m.CharPerLine)}));
        }
        lvwMessages->addTopLevelItems(rows);
        ResetSortKey(lvwMessages, true);
        SelectListRow(lvwMessages, lvwMessages->topLevelItem(0));
        lvwMessages->scrollToTop();
        AutoSizeListViewColumns(lvwMessages, kColumnWeights);
    }
    ShowNormalPointer();
}

void KS_PPM_MessagesSB::ShowSavedRow(QTreeWidgetItem* row) { ShowSavedListRow(lvwMessages, kColumnWeights, true, row); }

void KS_PPM_MessagesSB::sendSelected(std::int16_t sbCommand)
{
    QTreeWidgetItem* row = SelectedListRow(lvwMessages);
    if (!row || !owner_)
        return;
    const auto messageNo = static_cast<std::int16_t>(Val(FromQString(row->text(0))));
    // The window may be closed from its title bar while the pages go out.
    const QPointer<KS_PPM_MessagesSB> self(this);
    SetFormContentsEnabled(this, false);
    ShowBusyPointer();
    const bool sent = owner_->SendSBPage(messageNo, sbCommand);
    ShowNormalPointer();
    if (!self)
        return;
    SetFormContentsEnabled(this, true);
    // Refused (modem not dialled, no users selected), the operator chooses
    // again: the list takes the focus back, now that it can.
    if (!sent)
        SafeSetFocus(lvwMessages);
}

void KS_PPM_MessagesSB::cmdUpdate_Click()
{
    if (lvwMessages->topLevelItemCount() == 0 || sendOnly() || !SelectedListRow(lvwMessages))
        return;
    mode_ = 2;
    SetFormContentsEnabled(this, false);
    editor_ = new KS_PPM_MessagesSBAdd(this);
    connect(editor_, &QDialog::finished, this, [this] { SetFormContentsEnabled(this, true); });
    editor_->show();
}

void KS_PPM_MessagesSB::closeEvent(QCloseEvent* event)
{
    if (editorOpen() && !ExitRequested())
        event->ignore();
    else
        event->accept();
}

void KS_PPM_MessagesSB::reject()
{
    if (!editorOpen())
        QDialog::reject();
}

bool KS_PPM_MessagesSB::sendOnly() const { return owner_ && owner_->ViewMode(); }

bool KS_PPM_MessagesSB::editorOpen() const { return editor_ && editor_->isVisible(); }
