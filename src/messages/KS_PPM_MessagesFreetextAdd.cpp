#include "KS_PPM_MessagesFreetextAdd.h"

#include <QTreeWidget>

#include "KS_FormBuilder.h"
#include "KS_Forms.h"
#include "KS_ListWindow.h"
#include "KS_MessageLayouts.h"
#include "KS_Messages.h"
#include "KS_PPM_MessagesFreetext.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_String.h"

KS_PPM_MessagesFreetextAdd::KS_PPM_MessagesFreetextAdd(KS_PPM_MessagesTable& list)
    : MessageEditDialog(list, "KS_PPM_MessagesFreetextAdd", "Freetext Messages", 6120, 2280)
{
    const FormControl controls[] = {
        Control(pbxDetails, "pbxDetails", "", {60, 60, 6000, 1560}),
        Control(lblUserID, "lblUserID", "Send To &Pager:", {120, 150, 1400, 255}, 0, "pbxDetails"),
        Control(txtUserID, "txtUserID", "", {1560, 120, 600, 315}, 3, "pbxDetails"),
        Control(lblKeyword, "lblKeyword", "&Keyword Text:", {120, 510, 1400, 255}, 0, "pbxDetails"),
        Control(txtKeyword, "txtKeyword", "", {1560, 480, 4320, 315}, 30, "pbxDetails"),
        Control(lblMessage, "lblMessage", "&Message Text:", {120, 870, 1400, 255}, 0, "pbxDetails"),
        Control(txtMessage, "txtMessage", "", {1560, 840, 4320, 315}, 30, "pbxDetails"),
        Control(chkReplaceKeyword, "chkReplaceKeyword", "Replace Keyword", {1560, 1200, 2400, 255}, 0, "pbxDetails"),
        Control(cmdOk, "cmdOk", "&Ok", {3450, 1740, 1215, 375}),
        Control(cmdCancel, "cmdCancel", "&Cancel", {4785, 1740, 1215, 375}),
    };
    BuildControls(Client(), controls);
    FormConventions* conventions = FormConventions::Install(this);
    conventions->SetKeyFilter(txtUserID, DigitsOnlyKey);
    conventions->ExemptFromSelectAll(txtMessage);
    connect(txtUserID, &QLineEdit::editingFinished, this, &KS_PPM_MessagesFreetextAdd::txtUserID_Validate);
    FinishLoad(" - Freetext ");
}

void KS_PPM_MessagesFreetextAdd::LoadSelectedMessage()
{
    txtUserID->setText(row_->text(1));
    txtKeyword->setText(ToQString(Trim(FromQString(row_->text(2)))));
    txtMessage->setText(ToQString(Trim(FromQString(row_->text(3)))));
    chkReplaceKeyword->setChecked(row_->text(4).trimmed() == "Yes");
}

void KS_PPM_MessagesFreetextAdd::txtUserID_Validate() { FormatPagerBox(txtUserID); }

bool KS_PPM_MessagesFreetextAdd::CheckFields() { return PagerBoxFilled(txtUserID, "Pager is not valid. Please confirm Pager No."); }

bool KS_PPM_MessagesFreetextAdd::SaveFreetextMessage()
{
    const int slot = SelectedSlot();
    const std::string record = EncodeRecord(MakeFreetextEntry(slot, FromQString(txtUserID->text()),
                                                              FromQString(txtKeyword->text()),
                                                              FromQString(txtMessage->text()),
                                                              chkReplaceKeyword->isChecked()));
    if (!list_.Engine().SaveSlot(slot, record))
        return false;
    if (list_.mode_ != 1 && row_) {
        FillFreetextRow(static_cast<SortableRow&>(*row_), record, slot - 1);
        KS_PPM_MessagesTable::ShowUnpadded(row_, {2, 3});
        list_.ShowSavedRow(row_);
    }
    return true;
}

QWidget* KS_PPM_MessagesFreetextAdd::FocusAfterFailedSave() const { return txtKeyword; }
