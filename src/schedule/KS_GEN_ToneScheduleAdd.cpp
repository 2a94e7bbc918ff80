#include "KS_GEN_ToneScheduleAdd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>

#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_FormBuilder.h"
#include "KS_Forms.h"
#include "KS_GEN_ToneSchedule.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_ListWindow.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_String.h"
#include "KS_ToneSchedule.h"

namespace {

constexpr int kCountdownHighest = 79;
constexpr int kDurationHighest = 499;

std::string text(const QLineEdit* box) { return FromQString(box->text()); }
std::string text(const QTreeWidgetItem* row, int column) { return FromQString(row->text(column)); }

// As many digits as the connected unit's zones have.
int zoneDigits() { return CurrentToneZonePlacement() == ToneZonePlacement::AfterTime ? 3 : 2; }

} // namespace

KS_GEN_ToneScheduleAdd::KS_GEN_ToneScheduleAdd(KS_GEN_ToneSchedule* owner)
    : ToneEventDialog(owner, "KS_GEN_ToneScheduleAdd", zoneDigits())
    , window_(owner)
{
    buildControls();
    txtActivitySeconds->setText("001");
    loadDialog(QStringLiteral("Tone Schedule -  ") + owner->cmbWeekDay->itemText(owner->ShownWeekday() - 1)
               + QStringLiteral(" - "));
}

void KS_GEN_ToneScheduleAdd::buildControls()
{
    QWidget* client = BuildToolbarForm(this, tlbMenu, 5400, 4005);
    const FormControl controls[] = {
        Control(pbxDetails, "pbxDetails", "", {0, 0, 5400, 4005}),
        Control(Label1, "Label1", "&Time:", {120, 165, 1215, 255}, 0, "pbxDetails"),
        Control(dtpTime, "dtpTime", "", {1380, 120, 1335, 315}, 0, "pbxDetails"),
        Control(lblZone, "lblZone", "&Zone:", {2880, 165, 615, 255}, 0, "pbxDetails"),
        Control(txtZone, "txtZone", DigitsText(3), {3540, 120, 495, 315}, 2, "pbxDetails"),
        Control(lblDesc, "lblDesc", "&Desciption:", {120, 570, 1215, 255}, 0, "pbxDetails"),
        Control(txtDesc, "txtDesc", "", {1380, 525, 3855, 315}, 25, "pbxDetails"),
        Control(lblAlertType, "lblAlertType", "A&lert Type:", {120, 975, 1215, 255}, 0, "pbxDetails"),
        Control(cmbAlertType, "cmbAlertType", "", {1380, 930, 2295, 315}, 0, "pbxDetails"),
        Control(lblAlertLength, "lblAlertLength", "Alert L&ength:", {120, 1380, 1215, 255}, 0, "pbxDetails"),
        Control(cmbAlertLength, "cmbAlertLength", "", {1380, 1335, 855, 315}, 0, "pbxDetails"),
        Control(lblAlertLevel, "lblAlertLevel", "Alert Le&vel:", {2640, 1380, 1095, 255}, 0, "pbxDetails"),
        Control(cmbAlertLevel, "cmbAlertLevel", "", {3780, 1335, 855, 315}, 0, "pbxDetails"),
        Control(lblAlertRepeat, "lblAlertRepeat", "Alert &Repeats:", {120, 1785, 1215, 255}, 0, "pbxDetails"),
        Control(cmbAlertRepeat, "cmbAlertRepeat", "", {1380, 1740, 855, 315}, 0, "pbxDetails"),
        Control(lblAlertDelay, "lblAlertDelay", "Alert &Delay:", {2640, 1785, 1095, 255}, 0, "pbxDetails"),
        Control(cmbAlertDelay, "cmbAlertDelay", "", {3780, 1740, 1455, 315}, 0, "pbxDetails"),
        Control(lblCountdown, "lblCountdown", "Countdown Time           Min.", {120, 2190, 2655, 255}, 0,
                "pbxDetails"),
        Control(txtCountdown, "txtCountdown", DigitsText(2), {1380, 2145, 375, 315}, 2, "pbxDetails"),
        Control(updCountdown, "updCountdown", "", {1755, 2145, 255, 315}, kCountdownHighest, "pbxDetails"),
        Control(chkActive, "chkActive", "&Active", {3780, 2190, 1095, 255}, 0, "pbxDetails"),
        Control(lblAction, "lblAction", "&Action:", {120, 2595, 1215, 255}, 0, "pbxDetails"),
        Control(cmbAction, "cmbAction", "", {1380, 2550, 2295, 315}, 0, "pbxDetails"),
        Control(lblActivityDuration, "lblActivityDuration", "Duratio&n:             Sec.", {120, 3000, 2655, 255},
                0, "pbxDetails"),
        Control(txtActivitySeconds, "txtActivitySeconds", DigitsText(3), {1380, 2955, 495, 315}, 3, "pbxDetails"),
        Control(updActivitySeconds, "updActivitySeconds", "", {1875, 2955, 255, 315}, kDurationHighest,
                "pbxDetails"),
        Control(cmdOk, "cmdOk", "&Ok", {2640, 3480, 1215, 375}, 0, "pbxDetails"),
        Control(cmdCancel, "cmdCancel", "&Cancel", {3960, 3480, 1215, 375}, 0, "pbxDetails"),
    };
    BuildControls(client, controls);
    connect(txtCountdown, &QLineEdit::editingFinished, this, &KS_GEN_ToneScheduleAdd::txtCountdown_LostFocus);
    connect(txtActivitySeconds, &QLineEdit::editingFinished, this,
            &KS_GEN_ToneScheduleAdd::txtActivitySeconds_LostFocus);
    connect(updCountdown, &QSpinBox::valueChanged, this, &KS_GEN_ToneScheduleAdd::updCountdown_Change);
    connect(updActivitySeconds, &QSpinBox::valueChanged, this, &KS_GEN_ToneScheduleAdd::updActivitySeconds_Change);
    connectControls({txtCountdown, txtActivitySeconds});
}

void KS_GEN_ToneScheduleAdd::fillAlertTypes() { FillAlertNumberCombo(AsOptionList(cmbAlertType), 0, 1, 15); }

// ---- The enabling rules ----------------------------------------------------------------

int KS_GEN_ToneScheduleAdd::alertValue() const { return cmbAlertType->currentData().toInt(); }
bool KS_GEN_ToneScheduleAdd::typeNine() const { return alertValue() == 9; }
bool KS_GEN_ToneScheduleAdd::typeTen() const { return AlertNumberCode(std::to_string(alertValue()), false) == "10"; }
bool KS_GEN_ToneScheduleAdd::activation() const { return typeTen() && EncoderSupportsToneActions(gEncoderModelLetter); }

void KS_GEN_ToneScheduleAdd::cmbAlertType_Click()
{
    const bool countdown = typeNine() || (typeTen() && !activation());
    const bool tones = !typeNine() && !activation();
    EnableControls({lblCountdown, txtCountdown, updCountdown}, countdown);
    EnableControls({lblAction, cmbAction}, activation());
    EnableControls({lblAlertLevel, cmbAlertLevel, lblAlertLength, cmbAlertLength, lblAlertRepeat, cmbAlertRepeat}, tones);
    if (!tones)
        cmbAlertRepeat->setCurrentIndex(0);
    UpdateActivityFieldState(typeTen() ? cmbAction->currentData().toInt() : 0);
}

void KS_GEN_ToneScheduleAdd::UpdateActivityFieldState(int action)
{
    if (action == 2 || action == 3)
        txtActivitySeconds->setText("000");
    EnableControls({lblActivityDuration, txtActivitySeconds, updActivitySeconds}, action == 1 && activation());
}

void KS_GEN_ToneScheduleAdd::cmbAction_Click() { UpdateActivityFieldState(cmbAction->currentData().toInt()); }

// ---- The boxes -----------------------------------------------------------------------------

void KS_GEN_ToneScheduleAdd::txtCountdown_LostFocus()
{
    const int minutes = ClampToSpinner(Val(text(txtCountdown)), updCountdown);
    txtCountdown->setText(ToQString(ZeroPad(minutes, 2)));
    updCountdown->setValue(minutes);
}

void KS_GEN_ToneScheduleAdd::txtActivitySeconds_LostFocus()
{
    txtActivitySeconds->setText(
        ToQString(ZeroPad(ClampToSpinner(Val(text(txtActivitySeconds)), updActivitySeconds), 3)));
}

void KS_GEN_ToneScheduleAdd::updCountdown_Change() { txtCountdown->setText(ToQString(ZeroPad(updCountdown->value(), 2))); }

void KS_GEN_ToneScheduleAdd::updActivitySeconds_Change()
{
    txtActivitySeconds->setText(ToQString(ZeroPad(updActivitySeconds->value(), 3)));
}

// ---- Loading and saving --------------------------------------------------------------------

void KS_GEN_ToneScheduleAdd::selectTypeOfRow(const QTreeWidgetItem* row)
{
    cmbAlertType->setCurrentIndex(static_cast<int>(Val(text(row, ToneColumn::Type))) - 1);
}

void KS_GEN_ToneScheduleAdd::loadTimeOut(const QTreeWidgetItem* row)
{
    const double timeOut = Val(text(row, ToneColumn::TimeOut));
    const bool seconds = activation();
    updCountdown->setValue(seconds ? updCountdown->minimum() : ClampToSpinner(timeOut, updCountdown));
    updActivitySeconds->setValue(seconds ? ClampToSpinner(timeOut, updActivitySeconds) : updActivitySeconds->minimum());
    updCountdown_Change();
    updActivitySeconds_Change();
}

bool KS_GEN_ToneScheduleAdd::okChecksPass()
{
    if (typeNine() && Val(text(txtCountdown)) == 0) {
        ShowMessage("This Alert Type requires a value of " + std::to_string(updCountdown->minimum() + 1) + " to "
                        + std::to_string(updCountdown->maximum()) + " minutes.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
        SafeSetFocus(txtCountdown);
        return false;
    }
    if (typeTen() && txtActivitySeconds->isEnabled() && Val(text(txtActivitySeconds)) == 0) {
        ShowMessage("This Alert Type requires a value of " + std::to_string(updActivitySeconds->minimum() + 1)
                        + " to " + std::to_string(updActivitySeconds->maximum()) + " seconds.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
        SafeSetFocus(txtActivitySeconds);
        return false;
    }
    if (!confirmInactive())
        return false;
    if (!window_->WorkingOffline() && !gToneGenSupported) {
        if (!sameUnitAfterIdentifying())
            return false;
        if (!gToneGenSupported)
            ShowOptionNotUpdatedWarning("Tone Schedule");
    }
    // A zone kept from a file made for a unit with longer zones would reach
    // this unit as another zone: it is named, and the operator chooses.
    if (const ToneZonePlacement zones = CurrentToneZonePlacement();
        !window_->WorkingOffline() && !ToneZoneFits(zoneValue(), zones)) {
        ShowMessage("Zone " + std::to_string(zoneValue()) + " cannot be sent to the " + gEncoderModelName
                        + ": its zones go up to " + std::to_string(ToneZoneHighest(zones)) + ".",
                    kButtonsOk, kAnswerOk, kIconExclamation);
        SafeSetFocus(txtZone);
        return false;
    }
    if (!gToneEventsSupported && alertValue() > 9
        && ShowMessage("The " + gEncoderModelName + " does not support the selected Alert Type.\r\n"
                           + "Are you sure you want to continue? ",
                       kButtonsYesNo, kAnswerNo, kIconQuestion)
            != kAnswerYes) {
        SafeSetFocus(chkActive);
        return false;
    }
    return true;
}

KS_GEN_ToneScheduleAdd::UnitClass KS_GEN_ToneScheduleAdd::connectedUnitClass()
{
    return {static_cast<int>(CurrentToneZonePlacement()), EncoderSupportsToneActions(gEncoderModelLetter)};
}

bool KS_GEN_ToneScheduleAdd::sameUnitAfterIdentifying()
{
    if (!gMainForm)
        return true;
    SetWorking(true);
    // The window probes for the events' extra fields only when the unit
    // answers it; one silent then is probed now, or the alert types 10 to 15
    // would be questioned on a unit that takes them.
    if (gMainForm->IdentifyEncoderAgain([] { return !gToneGenSupported; }))
        ProbeToneEvents();
    SetWorking(false);
    if (connectedUnitClass() == unitClass_)
        return true;
    // An event built by the old unit's rules would reach this one in a form it does not take.
    unitClass_ = connectedUnitClass();
    setZoneDigits(zoneDigits());
    cmbAlertType_Click();
    ShowMessage("The unit now connected is a " + gEncoderModelName
                    + ", which takes tone events in another form. The event now follows its rules and keeps what "
                      "was entered; nothing was sent or saved. Please check the event and press Ok again.",
                kButtonsOk, kAnswerOk, kIconExclamation);
    SafeSetFocus(cmbAlertType);
    return false;
}

bool KS_GEN_ToneScheduleAdd::SaveScheduleEvent()
{
    const int eventNo = eventNumber(kToneEventsPerDay);
    if (eventNo == 0 || gToneSchedule.size() != static_cast<std::size_t>(kToneScheduleEvents))
        return false;
    const int index = (window_->ShownWeekday() - 1) * kToneEventsPerDay + eventNo - 1;

    // Built aside: the table takes it only once the device or the operator has agreed.
    ToneScheduleEvent event = gToneSchedule[static_cast<std::size_t>(index)];
    event.EventNo = ZeroPad(eventNo, 2);
    event.Time = FormatTimeAmPm(dtpTime->time().hour(), dtpTime->time().minute());
    event.Zone = zoneText();
    event.AlertType = static_cast<std::uint8_t>(alertValue());
    event.AlertLength = static_cast<std::uint8_t>(cmbAlertLength->currentData().toInt());
    event.AlertLevel = static_cast<std::uint8_t>(cmbAlertLevel->currentData().toInt());
    event.Repeat = static_cast<std::uint8_t>(cmbAlertRepeat->currentData().toInt());
    event.Delay = static_cast<std::uint8_t>(cmbAlertDelay->currentData().toInt());
    event.Action = static_cast<std::uint8_t>(cmbAction->currentData().toInt());
    event.Active = chkActive->isChecked() ? kFlagYes : kFlagNo;
    event.Countdown = static_cast<std::int16_t>(Val(text(txtCountdown)));
    event.Description = Trim(text(txtDesc));
    event.Seconds = static_cast<std::int16_t>(Val(text(txtActivitySeconds)));

    if (gToneGenSupported && !window_->WorkingOffline()) {
        const LinkConversation conversation;
        std::string reply;
        if (!SendLinkCommand("PE", ToneEventString(index, event), true, 0, reply, true, 3)
            && AskUpdateDatabaseOnly() != kAnswerYes)
            return false;
    }
    if (const FileError error = StoreToneEvents(index, {event}); error != FileError::None) {
        ShowScheduleFileError(error, gToneGenFile);
        return false;
    }
    KS_GEN_ToneSchedule::FillEventRow(selectedRow(), event);
    showSaved(selectedRow());
    return true;
}
