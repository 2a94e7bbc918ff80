#include "KS_GEN_ToneScheduleCalendarlAdd.h"

#include <QTimeEdit>
#include <QToolBar>
#include <algorithm>

#include "CalendarYearView.h"
#include "KS_FormBuilder.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_GEN_ToneScheduleCalendar.h"
#include "KS_Globals.h"
#include "KS_ListWindow.h"
#include "KS_Messages.h"
#include "KS_PagingLists.h"
#include "KS_String.h"
#include "KS_ToneCalendar.h"
#include "KS_ToneDialogs.h"
#include "KS_ToneSchedule.h"
#include "KS_Toolbar.h"

namespace {

constexpr int kCountdownMinutes = 79;
constexpr int kActivationMinutes = 8;

std::string text(const QLineEdit* box) { return FromQString(box->text()); }
std::string text(const QTreeWidgetItem* row, int column) { return FromQString(row->text(column)); }

void selectText(QComboBox* list, const QString& entry) { list->setCurrentIndex(list->findText(entry)); }

} // namespace

KS_GEN_ToneScheduleCalendarlAdd::KS_GEN_ToneScheduleCalendarlAdd(KS_GEN_ToneScheduleCalendar* owner)
    : BusyDialog(owner)
    , owner_(owner)
{
    setObjectName("KS_GEN_ToneScheduleCalendarlAdd");
    buildControls();
    Form_Load();
}

void KS_GEN_ToneScheduleCalendarlAdd::buildControls()
{
    QWidget* client = BuildToolbarForm(this, tlbMenu, 5400, 4005);
    const FormControl controls[] = {
        Control(pbxDetails, "pbxDetails", "", {0, 0, 5400, 4005}),
        Control(Label1, "Label1", "&Time:", {120, 165, 1215, 255}, 0, "pbxDetails"),
        Control(dtpTime, "dtpTime", "", {1380, 120, 1335, 315}, 0, "pbxDetails"),
        Control(lblZone, "lblZone", "&Zone / Device:", {2760, 165, 1215, 255}, 0, "pbxDetails"),
        Control(txtZone, "txtZone", "", {4020, 120, 615, 315}, 3, "pbxDetails"),
        Control(lblDesc, "lblDesc", "&Desciption:", {120, 570, 1215, 255}, 0, "pbxDetails"),
        Control(txtDesc, "txtDesc", "", {1380, 525, 3855, 315}, 25, "pbxDetails"),
        Control(lblAlertType, "lblAlertType", "A&lert Type:", {120, 975, 1215, 255}, 0, "pbxDetails"),
        Control(cmbAlertType, "cmbAlertType", "", {1380, 930, 2895, 315}, 0, "pbxDetails"),
        Control(lblAlertLength, "lblAlertLength", "Alert L&ength:", {120, 1380, 1215, 255}, 0, "pbxDetails"),
        Control(cmbAlertLength, "cmbAlertLength", "", {1380, 1335, 855, 315}, 0, "pbxDetails"),
        Control(lblAlertLevel, "lblAlertLevel", "Alert Le&vel:", {2640, 1380, 1095, 255}, 0, "pbxDetails"),
        Control(cmbAlertLevel, "cmbAlertLevel", "", {3780, 1335, 855, 315}, 0, "pbxDetails"),
        Control(lblAlertRepeat, "lblAlertRepeat", "Alert &Repeats:", {120, 1785, 1215, 255}, 0, "pbxDetails"),
        Control(cmbAlertRepeat, "cmbAlertRepeat", "", {1380, 1740, 855, 315}, 0, "pbxDetails"),
        Control(lblAlertDelay, "lblAlertDelay", "Alert &Delay:", {2640, 1785, 1095, 255}, 0, "pbxDetails"),
        Control(cmbAlertDelay, "cmbAlertDelay", "", {3780, 1740, 1455, 315}, 0, "pbxDetails"),
        Control(lblAction, "lblAction", "&Action:", {120, 2190, 1215, 255}, 0, "pbxDetails"),
        Control(cmbAction, "cmbAction", "", {1380, 2145, 2295, 315}, 0, "pbxDetails"),
        Control(lblDuration, "lblDuration", "Duratio&n:           minutes,           seconds", {120, 2595, 3495, 255},
                0, "pbxDetails"),
        Control(txtDurationMinutes, "txtDurationMinutes", "", {900, 2550, 375, 315}, 2, "pbxDetails"),
        Control(updDurationMinutes, "updDurationMinutes", "", {1275, 2550, 255, 315}, 5, "pbxDetails"),
        Control(txtDurationSeconds, "txtDurationSeconds", "", {2100, 2550, 375, 315}, 2, "pbxDetails"),
        Control(updDurationSeconds, "updDurationSeconds", "", {2475, 2550, 255, 315}, 59, "pbxDetails"),
        Control(chkActive, "chkActive", "&Active", {3780, 2595, 1095, 255}, 0, "pbxDetails"),
        Control(cmdOk, "cmdOk", "&Ok", {2640, 3480, 1215, 375}, 0, "pbxDetails"),
        Control(cmdCancel, "cmdCancel", "&Cancel", {3960, 3480, 1215, 375}, 0, "pbxDetails"),
    };
    BuildControls(client, controls);
    dtpTime->setDisplayFormat("hh:mm AP");
    txtDurationMinutes->setText("00");
    txtDurationSeconds->setText("00");

    connect(cmbAlertType, &QComboBox::currentIndexChanged, this,
            &KS_GEN_ToneScheduleCalendarlAdd::cmbAlertType_Click);
    connect(cmbAction, &QComboBox::currentIndexChanged, this, &KS_GEN_ToneScheduleCalendarlAdd::cmbAction_Click);
    connect(cmbAlertRepeat, &QComboBox::currentIndexChanged, this,
            &KS_GEN_ToneScheduleCalendarlAdd::cmbAlertRepeat_Click);
    connect(txtZone, &QLineEdit::editingFinished, this, &KS_GEN_ToneScheduleCalendarlAdd::txtZone_LostFocus);
    connect(txtDurationMinutes, &QLineEdit::editingFinished, this,
            &KS_GEN_ToneScheduleCalendarlAdd::txtDurationMinutes_LostFocus);
    connect(txtDurationSeconds, &QLineEdit::editingFinished, this,
            &KS_GEN_ToneScheduleCalendarlAdd::txtDurationSeconds_LostFocus);
    connect(updDurationMinutes, &QSpinBox::valueChanged, this,
            &KS_GEN_ToneScheduleCalendarlAdd::updDurationMinutes_Change);
    connect(updDurationSeconds, &QSpinBox::valueChanged, this,
            &KS_GEN_ToneScheduleCalendarlAdd::updDurationSeconds_Change);
    connect(cmdOk, &QPushButton::clicked, this, &KS_GEN_ToneScheduleCalendarlAdd::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &KS_GEN_ToneScheduleCalendarlAdd::cmdCancel_Click);

    FormConventions* conventions = FormConventions::Install(this);
    for (QLineEdit* box : {txtZone, txtDurationMinutes, txtDurationSeconds})
        conventions->SetKeyFilter(box, DigitsOnlyKey);
}

void KS_GEN_ToneScheduleCalendarlAdd::SetupDialogToolbar()
{
    BuildOkCancelToolbar(tlbMenu, this);
}

void KS_GEN_ToneScheduleCalendarlAdd::Form_Load()
{
    PlaceTableWindow(this);
    SetupDialogToolbar();
    FillAlertTypeCombo(AsOptionList(cmbAlertType), 0, 1, 99, true);
    FillAlertLengthCombo(AsOptionList(cmbAlertLength), 0);
    FillAlertLevelCombo(AsOptionList(cmbAlertLevel), 0, false);
    FillAlertRepeatCombo(AsOptionList(cmbAlertRepeat), 0);
    FillAlertDelayCombo(AsOptionList(cmbAlertDelay), 0);
    FillToneActionCombo(AsOptionList(cmbAction), 0);
    const QTreeWidgetItem* row = SelectedListRow(owner_->lvwMessages);
    setWindowTitle(QStringLiteral("Tone Schedule Calendar -  ") + ToQString(CalendarDateText(owner_->ShownDate()))
                   + QStringLiteral(" - Event ") + (row ? row->text(0) : QString()) + QStringLiteral(" - Update"));
    LoadEventIntoDialog();
    SafeSetFocus(dtpTime);
}

// ---- The enabling rules ----------------------------------------------------------------

int KS_GEN_ToneScheduleCalendarlAdd::alertType() const { return cmbAlertType->currentData().toInt(); }

void KS_GEN_ToneScheduleCalendarlAdd::setDurationEnabled(bool on)
{
    EnableControls({lblDuration, txtDurationMinutes, updDurationMinutes, txtDurationSeconds, updDurationSeconds}, on);
}

void KS_GEN_ToneScheduleCalendarlAdd::cmbAlertType_Click()
{
    const int type = alertType();
    const bool special = type == 98 || type == 99;
    EnableControls({lblAction, cmbAction}, type == 99);
    EnableControls({lblAlertLevel, cmbAlertLevel, lblAlertLength, cmbAlertLength, lblAlertRepeat, cmbAlertRepeat}, !special);
    if (!special) {
        setDurationEnabled(false);
        return;
    }
    cmbAlertRepeat->setCurrentIndex(0);
    updDurationSeconds->setValue(0);
    updDurationMinutes->setRange(0, type == 98 ? kCountdownMinutes : kActivationMinutes);
    if (type == 98)
        setDurationEnabled(true);
    else
        UpdateDurationFieldState(cmbAction->currentData().toInt());
}

void KS_GEN_ToneScheduleCalendarlAdd::UpdateDurationFieldState(int action)
{
    if (action == 2 || action == 3)
        txtDurationSeconds->setText("00");
    setDurationEnabled(action == 1 && alertType() == 99);
}

void KS_GEN_ToneScheduleCalendarlAdd::cmbAction_Click() { UpdateDurationFieldState(cmbAction->currentData().toInt()); }

void KS_GEN_ToneScheduleCalendarlAdd::cmbAlertRepeat_Click()
{
    EnableControls({lblAlertDelay, cmbAlertDelay}, cmbAlertRepeat->currentText() != "None");
}

// ---- The boxes -----------------------------------------------------------------------------

void KS_GEN_ToneScheduleCalendarlAdd::txtZone_LostFocus()
{
    txtZone->setText(ToQString(ZeroPad(std::max(0LL, static_cast<long long>(Val(text(txtZone)))), 3)));
}

void KS_GEN_ToneScheduleCalendarlAdd::txtDurationMinutes_LostFocus()
{
    txtDurationMinutes->setText(
        ToQString(ZeroPad(ClampToSpinner(Val(text(txtDurationMinutes)), updDurationMinutes), 2)));
}

void KS_GEN_ToneScheduleCalendarlAdd::txtDurationSeconds_LostFocus()
{
    txtDurationSeconds->setText(
        ToQString(ZeroPad(ClampToSpinner(Val(text(txtDurationSeconds)), updDurationSeconds), 2)));
}

void KS_GEN_ToneScheduleCalendarlAdd::updDurationMinutes_Change()
{
    txtDurationMinutes->setText(ToQString(ZeroPad(updDurationMinutes->value(), 2)));
}

void KS_GEN_ToneScheduleCalendarlAdd::updDurationSeconds_Change()
{
    txtDurationSeconds->setText(ToQString(ZeroPad(updDurationSeconds->value(), 2)));
}

// ---- Loading and saving --------------------------------------------------------------------

void KS_GEN_ToneScheduleCalendarlAdd::LoadEventIntoDialog()
{
    const QTreeWidgetItem* row = SelectedListRow(owner_->lvwMessages);
    if (!row)
        return;
    // The action first, so that it is in place when the type's rules run.
    selectText(cmbAction, row->text(CalendarColumn::Action));
    int hours = 0;
    int minutes = 0;
    if (!ParseToneClockTime(text(row, CalendarColumn::Time), hours, minutes))
        hours = minutes = 0;
    dtpTime->setTime(QTime(hours, minutes));
    txtZone->setText(row->text(CalendarColumn::Zone));
    selectText(cmbAlertType,
               ToQString(AlertTypeText(std::to_string(static_cast<int>(Val(text(row, CalendarColumn::Type)))), true)));
    if (alertType() != 98 && alertType() != 99) {
        cmbAlertLevel->setCurrentIndex(static_cast<int>(Val(text(row, CalendarColumn::Level))) - 1);
        if (cmbAlertLevel->currentIndex() < 0)
            cmbAlertLevel->setCurrentIndex(0);
        cmbAlertLength->setCurrentIndex(static_cast<int>(Val(text(row, CalendarColumn::Length))));
    }
    selectText(cmbAlertRepeat, row->text(CalendarColumn::Repeat));
    selectText(cmbAlertDelay, row->text(CalendarColumn::Delay));
    const std::string duration = text(row, CalendarColumn::Duration);
    updDurationMinutes->setValue(ClampToSpinner(Val(duration.substr(0, 2)), updDurationMinutes));
    updDurationSeconds->setValue(
        ClampToSpinner(Val(duration.size() >= 2 ? duration.substr(duration.size() - 2) : duration), updDurationSeconds));
    updDurationMinutes_Change();
    updDurationSeconds_Change();
    chkActive->setChecked(row->text(CalendarColumn::Active) == "Yes");
    txtDesc->setText(ToQString(Trim(text(row, CalendarColumn::Description))));
}

bool KS_GEN_ToneScheduleCalendarlAdd::okChecksPass()
{
    const int type = alertType();
    if ((type == 98 || type == 99) && txtDurationMinutes->isEnabled() && txtDurationSeconds->isEnabled()) {
        const double minutes = Val(text(txtDurationMinutes));
        const double seconds = Val(text(txtDurationSeconds));
        const bool none = minutes == 0 && seconds == 0;
        const bool over = minutes == updDurationMinutes->maximum() && seconds > 0;
        if (none || over) {
            ShowMessage("This Alert Type requires a Duration value of " + std::to_string(updDurationMinutes->minimum() + 1)
                            + " to " + std::to_string(updDurationMinutes->maximum()) + " minutes.",
                        kButtonsOk, kAnswerOk, kIconExclamation);
            SafeSetFocus(none ? txtDurationMinutes : txtDurationSeconds);
            return false;
        }
    }
    if (!chkActive->isChecked()
        && ShowMessage("This scheduled event is not activated.\r\nAre you sure you want to continue? ", kButtonsYesNo,
                       kAnswerNo, kIconQuestion)
            != kAnswerYes) {
        SafeSetFocus(chkActive);
        return false;
    }
    // An inactive event may keep zone 0; the device would have nowhere to sound an active one.
    if (chkActive->isChecked() && Val(text(txtZone)) == 0) {
        ShowMessage("An active event requires a Zone / Device between 1 and 99.", kButtonsOkCancel, kAnswerOk,
                    kIconExclamation);
        SafeSetFocus(txtZone);
        return false;
    }
    return true;
}

bool KS_GEN_ToneScheduleCalendarlAdd::SaveCalendarEvent()
{
    QTreeWidgetItem* row = SelectedListRow(owner_->lvwMessages);
    const auto eventNo = row ? static_cast<int>(Val(text(row, 0))) : 0;
    const QDate date = owner_->ShownDate();
    const int day = static_cast<int>(owner_->mvwCalendar->MinDate().daysTo(date)) + 1;
    if (eventNo < 1 || eventNo > 100 || day < 1)
        return false;

    SetWorking(true);
    const auto finish = [this](bool saved) {
        SetWorking(false);
        return saved;
    };

    const std::string& file = gToneGenCalendarFile;
    // The record's own spare bytes are kept.
    std::vector<CalendarEvent> days;
    ReadCalendarDays(file, day, 1, days);
    CalendarEvent event = static_cast<std::size_t>(eventNo) <= days.size() ? days[static_cast<std::size_t>(eventNo - 1)]
                                                                           : CalendarEvent{};
    event.EventDate = SerialFromDate(date);
    event.EventNo = static_cast<std::int16_t>(eventNo);
    event.Time = SerialFromTime(dtpTime->time().hour(), dtpTime->time().minute());
    event.Zone = static_cast<std::int16_t>(std::clamp(Val(text(txtZone)), 0.0, 999.0));
    event.AlertType = static_cast<std::uint8_t>(alertType());
    event.AlertLength = static_cast<std::uint8_t>(cmbAlertLength->currentData().toInt());
    event.AlertLevel = static_cast<std::uint8_t>(cmbAlertLevel->currentData().toInt());
    event.Repeat = static_cast<std::uint8_t>(cmbAlertRepeat->currentData().toInt());
    event.Delay = static_cast<std::uint8_t>(cmbAlertDelay->currentData().toInt());
    event.Action = static_cast<std::uint8_t>(cmbAction->currentData().toInt());
    event.Active = chkActive->isChecked() ? kFlagYes : kFlagNo;
    event.Description = Trim(text(txtDesc));
    event.Duration = static_cast<std::int16_t>(Val(text(txtDurationMinutes)) * 60 + Val(text(txtDurationSeconds)));

    if (const FileError error = WriteCalendarEvent(file, day, eventNo, event); error != FileError::None) {
        finish(false);
        ShowScheduleFileError(error, file);
        return false;
    }
    const bool wasActive = row->text(CalendarColumn::Active) == "Yes";
    int count = static_cast<int>(Val(FromQString(owner_->txtActiveEvetCount->text())));
    count += (event.Active != 0) - (wasActive ? 1 : 0);
    owner_->txtActiveEvetCount->setText(QString::number(count));
    KS_GEN_ToneScheduleCalendar::FillEventRow(row, event);
    owner_->SetIndicatorStatus(date, count > 0);
    ResetSortKey(owner_->lvwMessages, true);
    owner_->lvwMessages->scrollToItem(row);
    return finish(true);
}

void KS_GEN_ToneScheduleCalendarlAdd::cmdOk_Click()
{
    if (!okChecksPass())
        return;
    if (SaveCalendarEvent()) {
        owner_->mScheduleChanged = true;
        accept();
    } else {
        SafeSetFocus(cmbAlertType);
    }
}

void KS_GEN_ToneScheduleCalendarlAdd::cmdCancel_Click()
{
    if (!Busy())
        QDialog::reject();
}
