#include "KS_GEN_ToneScheduleCalendarlAdd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>

#include "CalendarYearView.h"
#include "KS_Database.h"
#include "KS_FormBuilder.h"
#include "KS_Forms.h"
#include "KS_GEN_ToneScheduleCalendar.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_PagingLists.h"
#include "KS_String.h"
#include "KS_ToneCalendar.h"
#include "KS_ToneSchedule.h"
#include "OptionList.h"

namespace {

constexpr int kCountdownMinutes = 79;
constexpr int kActivationMinutes = 8;

std::string text(const QLineEdit* box) { return FromQString(box->text()); }
std::string text(const QTreeWidgetItem* row, int column) { return FromQString(row->text(column)); }

} // namespace

KS_GEN_ToneScheduleCalendarlAdd::KS_GEN_ToneScheduleCalendarlAdd(KS_GEN_ToneScheduleCalendar* owner)
    : ToneEventDialog(owner, "KS_GEN_ToneScheduleCalendarlAdd", 3)
    , window_(owner)
{
    buildControls();
    loadDialog(QStringLiteral("Tone Schedule Calendar -  ") + ToQString(CalendarDateText(owner->ShownDate()))
               + QStringLiteral(" - Event "));
}

void KS_GEN_ToneScheduleCalendarlAdd::buildControls()
{
    QWidget* client = BuildToolbarForm(this, tlbMenu, 5400, 4005);
    const FormControl controls[] = {
        Control(pbxDetails, "pbxDetails", "", {0, 0, 5400, 4005}),
        Control(Label1, "Label1", "&Time:", {120, 165, 1215, 255}, 0, "pbxDetails"),
        Control(dtpTime, "dtpTime", "", {1380, 120, 1335, 315}, 0, "pbxDetails"),
        Control(lblZone, "lblZone", "&Zone / Device:", {2760, 165, 1215, 255}, 0, "pbxDetails"),
        Control(txtZone, "txtZone", DigitsText(3), {4020, 120, 615, 315}, 3, "pbxDetails"),
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
        Control(txtDurationMinutes, "txtDurationMinutes", DigitsText(2), {900, 2550, 375, 315}, 2, "pbxDetails"),
        Control(updDurationMinutes, "updDurationMinutes", "", {1275, 2550, 255, 315}, 5, "pbxDetails"),
        Control(txtDurationSeconds, "txtDurationSeconds", DigitsText(2), {2100, 2550, 375, 315}, 2, "pbxDetails"),
        Control(updDurationSeconds, "updDurationSeconds", "", {2475, 2550, 255, 315}, 59, "pbxDetails"),
        Control(chkActive, "chkActive", "&Active", {3780, 2595, 1095, 255}, 0, "pbxDetails"),
        Control(cmdOk, "cmdOk", "&Ok", {2640, 3480, 1215, 375}, 0, "pbxDetails"),
        Control(cmdCancel, "cmdCancel", "&Cancel", {3960, 3480, 1215, 375}, 0, "pbxDetails"),
    };
    BuildControls(client, controls);
    txtDurationMinutes->setText("00");
    txtDurationSeconds->setText("00");
    connect(txtDurationMinutes, &QLineEdit::editingFinished, this,
            &KS_GEN_ToneScheduleCalendarlAdd::txtDurationMinutes_LostFocus);
    connect(txtDurationSeconds, &QLineEdit::editingFinished, this,
            &KS_GEN_ToneScheduleCalendarlAdd::txtDurationSeconds_LostFocus);
    connect(updDurationMinutes, &QSpinBox::valueChanged, this,
            &KS_GEN_ToneScheduleCalendarlAdd::updDurationMinutes_Change);
    connect(updDurationSeconds, &QSpinBox::valueChanged, this,
            &KS_GEN_ToneScheduleCalendarlAdd::updDurationSeconds_Change);
    connectControls({txtDurationMinutes, txtDurationSeconds});
}

void KS_GEN_ToneScheduleCalendarlAdd::fillAlertTypes() { FillAlertTypeCombo(AsOptionList(cmbAlertType), 0, 1, 99, true); }

// ---- The enabling rules ----------------------------------------------------------------

int KS_GEN_ToneScheduleCalendarlAdd::alertType() const
{
    return cmbAlertType->currentIndex() < 0 ? storedType_ : cmbAlertType->currentData().toInt();
}

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

// ---- The boxes -----------------------------------------------------------------------------

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

void KS_GEN_ToneScheduleCalendarlAdd::selectTypeOfRow(const QTreeWidgetItem* row)
{
    storedType_ = static_cast<int>(Val(text(row, ToneColumn::Type)));
    cmbAlertType->setCurrentIndex(cmbAlertType->findText(ToQString(AlertTypeText(std::to_string(storedType_), true))));
}

void KS_GEN_ToneScheduleCalendarlAdd::loadTimeOut(const QTreeWidgetItem* row)
{
    const std::string duration = text(row, ToneColumn::Duration);
    updDurationMinutes->setValue(ClampToSpinner(Val(duration.substr(0, 2)), updDurationMinutes));
    updDurationSeconds->setValue(
        ClampToSpinner(Val(duration.size() >= 2 ? duration.substr(duration.size() - 2) : duration), updDurationSeconds));
    updDurationMinutes_Change();
    updDurationSeconds_Change();
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
    if (!confirmInactive())
        return false;
    // An inactive event may keep zone 0; the device would have nowhere to sound an active one.
    if (chkActive->isChecked() && zoneValue() == 0) {
        ShowMessage("An active event requires a Zone / Device between 1 and 99.", kButtonsOkCancel, kAnswerOk,
                    kIconExclamation);
        SafeSetFocus(txtZone);
        return false;
    }
    return true;
}

bool KS_GEN_ToneScheduleCalendarlAdd::SaveCalendarEvent()
{
    const int eventNo = eventNumber(kCalendarEventsPerBlock);
    const QDate date = window_->ShownDate();
    const int day = static_cast<int>(window_->mvwCalendar->MinDate().daysTo(date)) + 1;
    if (eventNo == 0 || day < 1)
        return false;

    const std::string& file = gToneGenCalendarFile;
    // The record's own spare bytes are kept.
    std::vector<CalendarEvent> days;
    ReadCalendarDays(file, day, 1, days);
    CalendarEvent event = static_cast<std::size_t>(eventNo) <= days.size() ? days[static_cast<std::size_t>(eventNo - 1)]
                                                                           : CalendarEvent{};
    event.EventDate = SerialFromDate(date);
    event.EventNo = static_cast<std::int16_t>(eventNo);
    event.Time = SerialFromTime(dtpTime->time().hour(), dtpTime->time().minute());
    event.Zone = static_cast<std::int16_t>(std::min(zoneValue(), 999));
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
        ShowScheduleFileError(error, file);
        return false;
    }
    QTreeWidgetItem* row = selectedRow();
    const bool wasActive = row->text(ToneColumn::Active) == "Yes";
    int count = static_cast<int>(Val(FromQString(window_->txtActiveEvetCount->text())));
    count += (event.Active != 0) - (wasActive ? 1 : 0);
    window_->txtActiveEvetCount->setText(QString::number(count));
    KS_GEN_ToneScheduleCalendar::FillEventRow(row, event);
    window_->SetIndicatorStatus(date, count > 0);
    showSaved(row);
    return true;
}

void KS_GEN_ToneScheduleCalendarlAdd::saved() { window_->scheduleChanged_ = true; }
