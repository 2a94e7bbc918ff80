#include "KS_MessageEditDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>

#include "KS_Events.h"
#include "KS_FormBuilder.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_ListWindow.h"
#include "KS_MessageLayouts.h"
#include "KS_Messages.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_Paging.h"
#include "KS_String.h"
#include "KS_Toolbar.h"

MessageEditDialog::MessageEditDialog(KS_PPM_MessagesTable& list, const char* formName, const char* caption,
                                     int widthTwips, int heightTwips)
    : BusyDialog(&list)
    , list_(list)
    , row_(SelectedListRow(list.lvwMessages))
    , caption_(QString::fromLatin1(caption))
{
    setObjectName(formName);
    setWindowTitle(caption_);
    client_ = BuildToolbarForm(this, tlbMenu, widthTwips, heightTwips);
}

void MessageEditDialog::FinishLoad(const char* captionItem)
{
    connect(cmdOk, &QPushButton::clicked, this, &MessageEditDialog::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &MessageEditDialog::cmdCancel_Click);
    PlaceTableWindow(this);
    InitToolbar();
    if (list_.mode_ != 1 && row_) {
        setWindowTitle(caption_ + captionItem + row_->text(0) + " - Update");
        LoadSelectedMessage();
    }
    openedFor_ = UnitRules();
}

bool MessageEditDialog::unitChangedUnderneath()
{
    const std::string now = UnitRules();
    if (now == openedFor_)
        return false;
    openedFor_ = now;
    ApplyUnitRules();
    ShowMessage("The " + gEncoderModelName + " answers now, not the unit this window was set up for. The window "
                    + "now offers what the " + gEncoderModelName + " takes and keeps what was entered. "
                    + "Nothing was sent: please check the values and click Ok again.",
                kButtonsOk, kAnswerOk, kIconExclamation);
    return true;
}

void MessageEditDialog::InitToolbar()
{
    const ToolbarButton buttons[] = {
        {"cmdOk", "&Ok", "Save Changes", "Ok"},
        {"cmdCancel", "&Cancel", "Exit Without Saving", "Cancel"},
    };
    BuildCommandToolbar(tlbMenu, this, buttons);
}

int MessageEditDialog::SelectedSlot() const { return KS_PPM_MessagesTable::RowSlot(row_); }

void MessageEditDialog::FormatPagerBox(QLineEdit* box)
{
    box->setText(ToQString(ZeroPad(FieldNumber(FromQString(box->text())), 3)));
}

bool MessageEditDialog::PagerBoxFilled(QLineEdit* box, const char* message)
{
    if (!box->text().trimmed().isEmpty())
        return true;
    ShowMessage(message, kButtonsOk, kAnswerOk, kIconCritical);
    SafeSetFocus(box);
    return false;
}

void MessageEditDialog::SetSaving(bool saving)
{
    SetBusy(saving);
    client_->setEnabled(!saving);
    tlbMenu->setEnabled(!saving);
}

void MessageEditDialog::cmdOk_Click()
{
    if (Busy() || LinkConversation::ConversationActive() || !CheckFields())
        return;
    SetSaving(true);
    const bool supported = list_.TableSupported();
    SetSaving(false);
    // A point built for the unit the window opened on would go to another
    // unit, or into the file, in a layout that unit does not take.
    if (unitChangedUnderneath()) {
        SafeSetFocus(FocusAfterFailedSave());
        return;
    }
    if (!supported)
        ShowOptionNotUpdatedWarning(list_.Engine().Params().optionName);
    bool saved = false;
    if (SelectedSlot() >= 1) {
        SetSaving(true);
        saved = SaveMessage();
        SetSaving(false);
    }
    if (saved)
        close();
    else
        SafeSetFocus(FocusAfterFailedSave());
}

void MessageEditDialog::cmdCancel_Click()
{
    if (!Busy())
        close();
}
