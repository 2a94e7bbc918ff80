// The user directory in the main window: Add and Update open the user dialog,
// Delete takes a user out of Pager.DBS, the encoder and the list, and a user
// the dialog saved shows in the list at once.
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_GEN_UserAdd.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_UserDirectory.h"

namespace {

enum UsersColumn { kUserName = 0, kUserPager = 1, kUserTypeId = 2, kUserType = 3, kUserCapcode = 4 };

QTreeWidgetItem* findUserRow(QTreeWidget* list, const QString& pagerNo)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(kUserPager) == pagerNo)
            return list->topLevelItem(i);
    return nullptr;
}

void openUserDialog(KS_MainForm* form)
{
    form->OpenOwnedWindow([form] { return new KS_GEN_UserAdd(form); }, false);
    form->FocusControl(form->lvwUsers);
}

} // namespace

QTreeWidgetItem* KS_MainForm::SelectedUserRow() const
{
    QTreeWidgetItem* current = lvwUsers->currentItem();
    if (current && current->isSelected())
        return current;
    const auto selected = lvwUsers->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

bool KS_MainForm::IdentifyUnknownEncoder()
{
    return IdentifyEncoderAgain([] { return gEncoderModelLetter == "N/A"; });
}

bool KS_MainForm::IdentifyEncoderAgain(const std::function<bool()>& lacking)
{
    if (!lacking())
        return false;
    LinkConversation conversation;
    ClosedToOperator closed(*this);
    // A silent line costs one probe, not a speed search on every command.
    if (!IsLinkResponding())
        return false;
    // Refills the list by the unit's code table when a unit is found.
    DetectEncoder();
    return !lacking();
}

void KS_MainForm::refillUsersKeepingSelection()
{
    // Update and Delete act on the selected row: a refill must not move it to the first user.
    QStringList selected;
    for (const QTreeWidgetItem* row : lvwUsers->selectedItems())
        selected << row->text(kUserPager);
    const QTreeWidgetItem* current = SelectedUserRow();
    const QString currentPager = current ? current->text(kUserPager) : QString();
    FillUsersList(users_);
    if (selected.isEmpty())
        return;
    lvwUsers->clearSelection();
    if (QTreeWidgetItem* row = currentPager.isEmpty() ? nullptr : findUserRow(lvwUsers, currentPager))
        lvwUsers->setCurrentItem(row);
    for (const QString& pagerNo : selected)
        if (QTreeWidgetItem* row = findUserRow(lvwUsers, pagerNo))
            row->setSelected(true);
    if (QTreeWidgetItem* row = SelectedUserRow())
        lvwUsers->scrollToItem(row);
}

void KS_MainForm::cmdAdd_Click()
{
    IdentifyUnknownEncoder();
    EditMode = 1;
    openUserDialog(this);
}

void KS_MainForm::cmdUpdate_Click()
{
    // Update names its user by the selected row; without one there is nothing to change.
    if (lvwUsers->topLevelItemCount() == 0 || !SelectedUserRow())
        return;
    // The record is read by the code table of the unit it will be sent to.
    IdentifyUnknownEncoder();
    EditMode = 2;
    openUserDialog(this);
}

void KS_MainForm::ShowSavedUser(const PagerRecord& record, bool adding)
{
    const auto number = static_cast<std::size_t>(Val(record.PagerNo));
    if (number >= 1 && number <= static_cast<std::size_t>(kPagerRecords)) {
        if (users_.size() < number)
            users_.resize(number, FreePagerRecord());
        users_[number - 1] = record;
    }
    const bool group = record.GroupFlag == "G";
    const QString pagerNo = RecordFieldText(record.PagerNo);
    QTreeWidgetItem* row = adding ? nullptr : findUserRow(lvwUsers, pagerNo);
    if (!row) {
        row = AddUserRow(record.UserName, record.PagerNo, PagerTypeIconIndex(record.PagerType),
                         PagerTypeCodeText(record.PagerType, true), record.Capcode, group);
    } else {
        SetUserRow(row, record.UserName, PagerTypeIconIndex(record.PagerType),
                   PagerTypeCodeText(record.PagerType, true), record.Capcode, group);
    }
    int column = lvwUsers->header()->sortIndicatorSection();
    if (column < 0 || column >= lvwUsers->columnCount())
        column = kUserName;
    usersOrder_ = Qt::AscendingOrder;
    lvwUsers->sortItems(column, usersOrder_);
    if (QTreeWidgetItem* selected = SelectedUserRow())
        lvwUsers->scrollToItem(selected);
    else
        lvwUsers->scrollToItem(row);
    AutoSizeUsersColumns();
}

void KS_MainForm::cmdDelete_Click()
{
    if (lvwUsers->topLevelItemCount() == 0 || LinkConversation::ConversationActive())
        return;
    if (!SelectedUserRow())
        return;
    // Which numbers are group pagers that cannot go depends on the unit.
    IdentifyUnknownEncoder();
    QTreeWidgetItem* row = SelectedUserRow();
    if (!row)
        return;
    const QString pagerText = row->text(kUserPager);
    const auto number = static_cast<long long>(Val(FromQString(pagerText)));

    if (IsReservedPager(static_cast<long>(number))) {
        ShowMessage("The selected user represents a Group device and can not be deleted.", kButtonsOk, kAnswerOk,
                    kIconCritical);
        FocusControl(lvwUsers);
        return;
    }
    if (ShowMessage("Are you sure you want to delete user " + FromQString(pagerText) + " ?", kButtonsYesNo, kAnswerNo,
                    kIconQuestion)
        != kAnswerYes) {
        FocusControl(lvwUsers);
        return;
    }

    LinkConversation conversation;
    ClosedToOperator closed(*this);
    ShowBusyPointer();
    const auto finish = [this] {
        ShowNormalPointer();
        FocusControl(lvwUsers);
    };

    // Only the in-use flag changes; the rest of the record stays for the file's history.
    PagerRecord record;
    const std::string path = DataFilePath("Pager.DBS");
    const FileError error = number >= 1 && number <= kPagerRecords && !Trim(gDataFolder).empty()
                                ? ReadRecordAt(path, number, record)
                                : FileError::PathOrAccess;
    if (error != FileError::None) {
        ShowMessage(FileErrorMessage(error), kButtonsOk, kAnswerOk, kIconCritical);
        finish();
        return;
    }
    record.InUse = "N";
    if (!WritePagerRecord(static_cast<int>(number), record)) {
        finish();
        return;
    }
    if (users_.size() >= static_cast<std::size_t>(number))
        users_[static_cast<std::size_t>(number - 1)].InUse = "N";

    std::string reply;
    const bool responding = IsLinkResponding();
    // A delete the encoder did not take leaves the user in its table; the operator must know.
    if (!responding || !SendLinkCommand("D", ZeroPad(number, 3) + "M", true, 0, reply, true, 3)) {
        // A notice, so that none shows once Exit is chosen.
        MessageRequest notice;
        notice.message = "Connection to " + gEncoderModelName + " cannot be established. " + gEncoderModelName
                         + " database could not be updated.";
        ShowNotice(notice);
    }

    // The waits let window events run; the row is looked up again rather than trusted.
    delete findUserRow(lvwUsers, pagerText);
    AutoSizeUsersColumns();
    finish();
}
