#include "KS_PPM_MessagesTableAdd.h"

#include <QToolBar>

#include "KS_Events.h"
#include "KS_FormBuilder.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_ListWindow.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_Paging.h"
#include "KS_String.h"
#include "KS_Toolbar.h"

KS_PPM_MessagesTableAdd::KS_PPM_MessagesTableAdd(KS_PPM_MessagesTable& list, const TextTableDefinition& definition)
    : BusyDialog(&list)
    , list_(list)
    , definition_(definition)
    , row_(SelectedListRow(list.lvwMessages))
{
    setObjectName(definition.editForm);
    setWindowTitle(definition.caption);
    QWidget* client = BuildToolbarForm(this, tlbMenu, 6120, 1200);
    const FormControl controls[] = {
        Control(lblMessage, "lblMessage", "&Message Text:", {120, 180, 1400, 255}),
        Control(txtMessage, "txtMessage", "", {1560, 150, 4440, 315}, 30),
        Control(cmdOk, "cmdOk", "&Ok", {3450, 720, 1215, 375}),
        Control(cmdCancel, "cmdCancel", "&Cancel", {4785, 720, 1215, 375}),
    };
    BuildControls(client, controls);
    connect(cmdOk, &QPushButton::clicked, this, &KS_PPM_MessagesTableAdd::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &KS_PPM_MessagesTableAdd::cmdCancel_Click);
    // Enter does nothing here: no default button, and it does not move on.
    FormConventions::Install(this, false);
    Form_Load();
}

void KS_PPM_MessagesTableAdd::Form_Load()
{
    PlaceTableWindow(this);
    InitToolbar();
    txtMessage->setMaxLength(30);
    if (list_.mMode != 1 && row_) {
        setWindowTitle(QString::fromLatin1(definition_.caption) + definition_.editCaptionItem + row_->text(0) + " - Update");
        LoadSelectedMessage();
    }
}

void KS_PPM_MessagesTableAdd::InitToolbar()
{
    const ToolbarButton buttons[] = {
        {"cmdOk", "&Ok", "Save Changes", "Ok"},
        {"cmdCancel", "&Cancel", "Exit Without Saving", "Cancel"},
    };
    BuildCommandToolbar(tlbMenu, this, buttons);
}

void KS_PPM_MessagesTableAdd::LoadSelectedMessage()
{
    if (row_)
        txtMessage->setText(ToQString(Trim(FromQString(row_->text(1)))));
}

int KS_PPM_MessagesTableAdd::SelectedSlot() const
{
    if (!row_)
        return 0;
    const std::string text = FromQString(row_->text(0));
    return definition_.keyLabels ? FastkeySlotOfLabel(text) : static_cast<int>(Val(text));
}

void KS_PPM_MessagesTableAdd::setBusy(bool busy)
{
    SetBusy(busy);
    SetFormContentsEnabled(this, !busy);
}

bool KS_PPM_MessagesTableAdd::SaveMessage()
{
    const int slot = SelectedSlot();
    // A row without a slot number has no place in the file or the encoder.
    if (slot < 1)
        return false;
    setBusy(true);
    const std::string text = PadRight(Trim(FromQString(txtMessage->text())), 30);
    const bool saved = list_.Engine().SaveSlot(slot, TableMessageCodec::EditedRecord(slot, text));
    if (saved && list_.mMode != 1 && row_) {
        row_->setText(1, ToQString(Trim(text)));
        list_.ResetSortKey();
        list_.lvwMessages->scrollToItem(row_);
    }
    setBusy(false);
    return saved;
}

void KS_PPM_MessagesTableAdd::cmdOk_Click()
{
    if (Busy() || LinkConversation::ConversationActive())
        return;
    if (!list_.Engine().Supported())
        ShowOptionNotUpdatedWarning(definition_.params.optionName);
    if (SaveMessage())
        close();
    else
        SafeSetFocus(txtMessage);
}

void KS_PPM_MessagesTableAdd::cmdCancel_Click()
{
    if (!Busy())
        close();
}
