#include "KS_ToneEventDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>

#include "KS_Forms.h"
#include "KS_ListWindow.h"
#include "KS_Messages.h"
#include "KS_PagingLists.h"
#include "KS_String.h"
#include "KS_ToneListWindow.h"
#include "KS_ToneSchedule.h"
#include "KS_Toolbar.h"
#include "OptionList.h"

namespace {

std::string text(const QTreeWidgetItem* row, int column) { return FromQString(row->text(column)); }

void selectText(QComboBox* list, const QString& entry) { list->setCurrentIndex(list->findText(entry)); }

} // namespace

ToneEventDialog::ToneEventDialog(ToneListWindow* owner, const char* name, int zoneDigits)
    : BusyDialog(owner)
    , owner_(owner)
    , zoneDigits_(zoneDigits)
{
    setObjectName(name);
}

void ToneEventDialog::connectControls(std::initializer_list<QLineEdit*> digitBoxes)
{
    dtpTime->setDisplayFormat("hh:mm AP");
    connect(cmbAlertType, &QComboBox::currentIndexChanged, this, &ToneEventDialog::cmbAlertType_Click);
    connect(cmbAction, &QComboBox::currentIndexChanged, this, &ToneEventDialog::cmbAction_Click);
    connect(cmbAlertRepeat, &QComboBox::currentIndexChanged, this, &ToneEventDialog::cmbAlertRepeat_Click);
    connect(txtZone, &QLineEdit::editingFinished, this, &ToneEventDialog::txtZone_LostFocus);
    connect(cmdOk, &QPushButton::clicked, this, &ToneEventDialog::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ToneEventDialog::cmdCancel_Click);
    FormConventions* conventions = FormConventions::Install(this);
    conventions->SetKeyFilter(txtZone, DigitsOnlyKey);
    for (QLineEdit* box : digitBoxes)
        conventions->SetKeyFilter(box, DigitsOnlyKey);
}

void ToneEventDialog::SetupDialogToolbar() { BuildOkCancelToolbar(tlbMenu, this); }

void ToneEventDialog::loadDialog(const QString& caption)
{
    PlaceTableWindow(this);
    SetupDialogToolbar();
    fillAlertTypes();
    FillAlertLengthCombo(AsOptionList(cmbAlertLength), 0);
    FillAlertLevelCombo(AsOptionList(cmbAlertLevel), 0, false);
    FillAlertRepeatCombo(AsOptionList(cmbAlertRepeat), 0);
    FillAlertDelayCombo(AsOptionList(cmbAlertDelay), 0);
    FillToneActionCombo(AsOptionList(cmbAction), 0);
    const QTreeWidgetItem* row = selectedRow();
    setWindowTitle(caption + (row ? row->text(0) : QString()) + QStringLiteral(" - Update"));
    LoadEventIntoDialog();
    SafeSetFocus(dtpTime);
}

QTreeWidgetItem* ToneEventDialog::selectedRow() const { return SelectedListRow(owner_->lvwMessages); }

void ToneEventDialog::LoadEventIntoDialog()
{
    const QTreeWidgetItem* row = selectedRow();
    if (!row)
        return;
    int hours = 0;
    int minutes = 0;
    if (!ParseToneClockTime(text(row, ToneColumn::Time), hours, minutes))
        hours = minutes = 0;
    dtpTime->setTime(QTime(hours, minutes));
    // An event the unit never sent lists its number alone: the dialog keeps
    // each list at the first entry it was filled with, so what goes out is
    // what the operator sees.
    if (row->text(ToneColumn::Type).isEmpty()) {
        txtZone->setMaxLength(zoneDigits_);
        txtZone->setText(ToQString(ZeroPad(1, zoneDigits_)));
        loadTimeOut(row);
        return;
    }
    // The action first, so that it is in place when the type's rules run.
    selectText(cmbAction, row->text(ToneColumn::Action));
    const QString zone = row->text(ToneColumn::Zone);
    txtZone->setMaxLength(std::max(zoneDigits_, static_cast<int>(zone.size())));
    txtZone->setText(zone);
    selectTypeOfRow(row);
    if (!specialType()) {
        cmbAlertLevel->setCurrentIndex(static_cast<int>(Val(text(row, ToneColumn::Level))) - 1);
        if (cmbAlertLevel->currentIndex() < 0)
            cmbAlertLevel->setCurrentIndex(0);
        cmbAlertLength->setCurrentIndex(static_cast<int>(Val(text(row, ToneColumn::Length))));
    }
    selectText(cmbAlertRepeat, row->text(ToneColumn::Repeat));
    selectText(cmbAlertDelay, row->text(ToneColumn::Delay));
    loadTimeOut(row);
    chkActive->setChecked(row->text(ToneColumn::Active) == "Yes");
    txtDesc->setText(ToQString(Trim(text(row, ToneColumn::Description))));
}

void ToneEventDialog::cmbAlertRepeat_Click()
{
    EnableControls({lblAlertDelay, cmbAlertDelay}, cmbAlertRepeat->currentText() != "None");
}

int ToneEventDialog::zoneValue() const { return static_cast<int>(std::max(0.0, Val(FromQString(txtZone->text())))); }

std::string ToneEventDialog::zoneText() const { return ZeroPad(zoneValue(), zoneDigits_); }

void ToneEventDialog::txtZone_LostFocus() { txtZone->setText(ToQString(zoneText())); }

void ToneEventDialog::setZoneDigits(int zoneDigits)
{
    zoneDigits_ = zoneDigits;
    txtZone->setMaxLength(std::max(zoneDigits_, static_cast<int>(txtZone->text().size())));
    txtZone_LostFocus();
}

bool ToneEventDialog::confirmInactive()
{
    if (chkActive->isChecked()
        || ShowMessage("This scheduled event is not activated.\r\nAre you sure you want to continue? ", kButtonsYesNo,
                       kAnswerNo, kIconQuestion)
            == kAnswerYes)
        return true;
    SafeSetFocus(chkActive);
    return false;
}

int ToneEventDialog::eventNumber(int highest)
{
    const QTreeWidgetItem* row = selectedRow();
    const auto number = row ? static_cast<int>(Val(text(row, 0))) : 0;
    if (number >= 1 && number <= highest)
        return number;
    // A row that names no event of the day has no record to be saved in.
    ShowMessage("Error updating record.", kButtonsOk, kAnswerOk, kIconCritical);
    return 0;
}

void ToneEventDialog::showSaved(QTreeWidgetItem* row)
{
    ShowSavedListRow(owner_->lvwMessages, owner_->ColumnWeights(), true, row);
}

void ToneEventDialog::cmdOk_Click()
{
    if (!okChecksPass())
        return;
    SetWorking(true);
    const bool done = saveEvent();
    SetWorking(false);
    if (!done) {
        SafeSetFocus(cmbAlertType);
        return;
    }
    saved();
    accept();
}

void ToneEventDialog::cmdCancel_Click()
{
    if (!Busy())
        QDialog::reject();
}
