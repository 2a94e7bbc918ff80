#include "KS_GEN_ScheduledPagingAdd.h"

#include <QCheckBox>
#include <QToolBar>
#include <QTreeWidget>

#include "KS_Forms.h"
#include "KS_FormBuilder.h"
#include "KS_GEN_ScheduledPaging.h"
#include "KS_ListWindow.h"
#include "KS_Messages.h"
#include "KS_PagingLists.h"
#include "KS_PagingSchedule.h"
#include "KS_Records.h"
#include "KS_String.h"
#include "KS_Toolbar.h"
#include "OptionList.h"

namespace {

constexpr int kFreeMessage = 10;
constexpr int kMessageLength = 30;

long long numberIn(const QString& text) { return static_cast<long long>(Val(FromQString(text))); }

} // namespace

KS_GEN_ScheduledPagingAdd::KS_GEN_ScheduledPagingAdd(KS_GEN_ScheduledPaging* list)
    : QDialog(list)
    , list_(list)
{
    setObjectName("KS_GEN_ScheduledPagingAdd");
    setWindowModality(Qt::WindowModal);
    setWindowTitle("Scheduled Paging");

    QWidget* client = BuildToolbarForm(this, tlbMenu, 5400, 2400);
    const FormControl controls[] = {
        Control(lblTime, "lblTime", "&Time:", {120, 180, 1600, 255}),
        Control(dtpTime, "dtpTime", "", {1800, 120, 1500, 315}),
        Control(lblUserID, "lblUserID", "Send To &Pager:", {120, 600, 1600, 255}),
        Control(txtUserID, "txtUserID", "", {1800, 540, 700, 315}, 3),
        Control(lblAlertType, "lblAlertType", "A&lert Type:", {120, 1020, 1600, 255}),
        Control(cmbAlertType, "cmbAlertType", "", {1800, 960, 2200, 315}),
        Control(lblMessage, "lblMessage", "&Message Text:", {120, 1440, 1600, 255}),
        Control(txtMessage, "txtMessage", "", {1800, 1380, 3480, 315}, kMessageLength),
        Control(chkActive, "chkActive", "&Active", {1800, 1860, 1200, 315}),
        Control(cmdOk, "cmdOk", "&Ok", {3000, 1860, 1080, 375}),
        Control(cmdCancel, "cmdCancel", "&Cancel", {4200, 1860, 1080, 375}),
    };
    BuildControls(client, controls);
    dtpTime->setDisplayFormat("hh:mm AP");

    connect(cmdOk, &QPushButton::clicked, this, &KS_GEN_ScheduledPagingAdd::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &KS_GEN_ScheduledPagingAdd::cmdCancel_Click);
    connect(cmbAlertType, &QComboBox::currentIndexChanged, this, &KS_GEN_ScheduledPagingAdd::cmbAlertType_Click);
    connect(txtUserID, &QLineEdit::editingFinished, this, &KS_GEN_ScheduledPagingAdd::txtUserID_Validate);
    FormConventions::Install(this)->SetKeyFilter(txtUserID, DigitsOnlyKey);
    Form_Load();
}

void KS_GEN_ScheduledPagingAdd::Form_Load()
{
    PlaceTableWindow(this);
    InitToolbar();
    FillScheduledAlertTypeCombo(AsOptionList(cmbAlertType), 0);
    txtMessage->setMaxLength(kMessageLength);
    lblMessage->setEnabled(false);
    txtMessage->setEnabled(false);
    const QTreeWidgetItem* row = SelectedListRow(list_->lvwMessages);
    if (list_->mode_ == 2 && row) {
        setWindowTitle(windowTitle() + " -  " + list_->cmbWeekDay->currentText() + " - "
                       + row->text(ScheduleColumn::No) + " - Update");
        LoadSelectedEntry();
    }
    SafeSetFocus(dtpTime);
}

void KS_GEN_ScheduledPagingAdd::InitToolbar()
{
    const ToolbarButton buttons[] = {
        {"cmdOk", "&Ok", "Save Changes", "Ok"},
        {"cmdCancel", "&Cancel", "Exit Without Saving", "Cancel"},
    };
    BuildCommandToolbar(tlbMenu, this, buttons);
}

void KS_GEN_ScheduledPagingAdd::LoadSelectedEntry()
{
    const QTreeWidgetItem* row = SelectedListRow(list_->lvwMessages);
    if (!row)
        return;
    dtpTime->setTime(QTime::fromString(row->text(ScheduleColumn::Time), "hh:mm AP"));
    txtUserID->setText(ToQString(ZeroPad(numberIn(row->text(ScheduleColumn::Pager)), 3)));
    // An entry of a short file has no alert type; the first one stays selected then.
    const int alertIndex = static_cast<int>(numberIn(row->text(ScheduleColumn::AlertType))) - 1;
    if (alertIndex >= 0 && alertIndex < cmbAlertType->count())
        cmbAlertType->setCurrentIndex(alertIndex);
    chkActive->setChecked(row->text(ScheduleColumn::Active) == "Yes");
    txtMessage->setText(ToQString(Trim(FromQString(row->text(ScheduleColumn::Message)))));
}

void KS_GEN_ScheduledPagingAdd::cmbAlertType_Click()
{
    if (cmbAlertType->currentIndex() < 0)
        return;
    const bool freeMessage = AsOptionList(cmbAlertType).ItemData(cmbAlertType->currentIndex()) == kFreeMessage;
    lblMessage->setEnabled(freeMessage);
    txtMessage->setEnabled(freeMessage);
    if (!freeMessage)
        txtMessage->clear();
}

void KS_GEN_ScheduledPagingAdd::txtUserID_Validate()
{
    const long long pager = numberIn(txtUserID->text());
    txtUserID->setText(ToQString(ZeroPad(pager, 3)));
    if (pager > 0)
        chkActive->setChecked(true);
}

void KS_GEN_ScheduledPagingAdd::cmdOk_Click()
{
    if (Trim(FromQString(txtUserID->text())).empty()) {
        ShowMessage("Pager No is not valid. Please confirm Pager No.", kButtonsOk, kAnswerOk, kIconCritical);
        SafeSetFocus(txtUserID);
        return;
    }
    if (!chkActive->isChecked()
        && ShowMessage("This paging activity is not activated.\r\nAre you sure you want to continue? ", kButtonsYesNo,
                       kAnswerNo, kIconQuestion)
               != kAnswerYes) {
        SafeSetFocus(chkActive);
        return;
    }
    if (SaveScheduleEntry())
        accept();
    else
        SafeSetFocus(txtUserID);
}

bool KS_GEN_ScheduledPagingAdd::SaveScheduleEntry()
{
    QTreeWidgetItem* row = SelectedListRow(list_->lvwMessages);
    if (!row)
        return false;
    const int rowNo = static_cast<int>(numberIn(row->text(ScheduleColumn::No)));
    // A row that names no entry of the shown day would overwrite another day's entry.
    if (rowNo < 1 || rowNo > kScheduleRowsPerDay) {
        ShowMessage("Error updating record.", kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    }
    ShowBusyPointer();
    const int index = ScheduleIndex(list_->ShownWeekday(), rowNo);
    const std::string time = FormatTimeAmPm(dtpTime->time().hour(), dtpTime->time().minute());
    const std::string message = Trim(FromQString(txtMessage->text()));

    ScheduleEntry entry;
    entry.No = ZeroPad(rowNo, 3);
    entry.Time = time;
    entry.Pager = ZeroPad(numberIn(txtUserID->text()), 3);
    entry.AlertType = static_cast<std::uint8_t>(AsOptionList(cmbAlertType).ItemData(cmbAlertType->currentIndex()));
    entry.Active = chkActive->isChecked() ? kFlagYes : kFlagNo;
    entry.Message = PadRight(message, kMessageLength);
    const FileError error = StoreScheduleEntry(index, entry);
    ShowNormalPointer();
    if (error != FileError::None) {
        ShowMessage(ScheduleWriteErrorMessage(error), kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    }

    row->setText(ScheduleColumn::Time, ToQString(time));
    row->setText(ScheduleColumn::Pager, ToQString(Trim(FromQString(txtUserID->text()))));
    row->setText(ScheduleColumn::AlertType, QString::number(entry.AlertType));
    row->setText(ScheduleColumn::Active, chkActive->isChecked() ? "Yes" : "No");
    row->setText(ScheduleColumn::Message, ToQString(message));
    return true;
}
