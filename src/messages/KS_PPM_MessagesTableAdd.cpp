#include "KS_PPM_MessagesTableAdd.h"

#include <QLineEdit>
#include <QTreeWidget>

#include "KS_FormBuilder.h"
#include "KS_Forms.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_String.h"

KS_PPM_MessagesTableAdd::KS_PPM_MessagesTableAdd(KS_PPM_MessagesTable& list, const TextTableDefinition& definition)
    : MessageEditDialog(list, definition.editForm, definition.caption, 6120, 1200)
{
    const FormControl controls[] = {
        Control(lblMessage, "lblMessage", "&Message Text:", {120, 180, 1400, 255}),
        Control(txtMessage, "txtMessage", "", {1560, 150, 4440, 315}, 30),
        Control(cmdOk, "cmdOk", "&Ok", {3450, 720, 1215, 375}),
        Control(cmdCancel, "cmdCancel", "&Cancel", {4785, 720, 1215, 375}),
    };
    BuildControls(Client(), controls);
    // Enter does nothing here: no default button, and it does not move on.
    FormConventions::Install(this, false);
    FinishLoad(definition.editCaptionItem);
}

void KS_PPM_MessagesTableAdd::LoadSelectedMessage() { txtMessage->setText(ToQString(Trim(FromQString(row_->text(1))))); }

bool KS_PPM_MessagesTableAdd::SaveMessage()
{
    const int slot = SelectedSlot();
    const std::string text = PadRight(Trim(FromQString(txtMessage->text())), 30);
    if (!list_.Engine().SaveSlot(slot, TableMessageCodec::EditedRecord(slot, text)))
        return false;
    if (list_.mode_ != 1 && row_) {
        row_->setText(1, ToQString(BlankControlChars(Trim(text))));
        list_.ShowSavedRow(row_);
    }
    return true;
}

QWidget* KS_PPM_MessagesTableAdd::FocusAfterFailedSave() const { return txtMessage; }
