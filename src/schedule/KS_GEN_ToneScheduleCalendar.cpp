#include "KS_GEN_ToneScheduleCalendar.h"

#include <QCloseEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QToolBar>

#include "CalendarYearView.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_FormBuilder.h"
#include "KS_FileDialog.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_GEN_ToneScheduleCalendarlAdd.h"
#include "KS_Globals.h"
#include "KS_ListServices.h"
#include "KS_ListWindow.h"
#include "KS_Messages.h"
#include "KS_PagingLists.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_ToneCalendar.h"
#include "KS_ToneSchedule.h"
#include "KS_Toolbar.h"

namespace {

constexpr const char* kCaption = "Tone Schedule Calendar";
// A week's first and last day as the Selected Week box shows them, every digit there.
constexpr const char* kLongestWeek = "00/00/0000 - 00/00/0000";
const std::vector<double> kColumnWeights = {0.5, 1, 0.7, 0.7, 0.7, 0.9, 0.8, 1.2, 1, 0.7, 2.2, 0};

QString dateText(const QDate& date) { return ToQString(CalendarDateText(date)); }

void fillChoices(QComboBox* list, std::initializer_list<const char*> entries)
{
    int data = 1;
    for (const char* entry : entries)
        list->addItem(QString::fromLatin1(entry), data++);
    list->setCurrentIndex(0);
}

} // namespace

KS_GEN_ToneScheduleCalendar::KS_GEN_ToneScheduleCalendar(QWidget* owner)
    : ToneListWindow(owner, "KS_GEN_ToneScheduleCalendar", kCaption,
                     {"Tone Generator Schedule Celendar (*.TGC)", "Tone Generator Schedule Calendar (*.TGC)",
                      "ToneGenCalendarFile", gToneGenCalendarFile, CalendarEvent::kLength, "calendar"})
{
    clockRule_ = DeviceClockRule::Calendar;
    buildControls();
}

void KS_GEN_ToneScheduleCalendar::buildControls()
{
    QWidget* client = BuildToolbarForm(this, tlbMenu, 16740, 10260);
    const FormControl controls[] = {
        Control(pbxDetails, "pbxDetails", "", {0, 0, 16740, 10260}),
        Control(mvwCalendar, "mvwCalendar", "", {120, 120, 16500, 3960}, 0, "pbxDetails"),
        Control(lvwMessages, "lvwMessages", "Double click on a schedule event to update ", {120, 4200, 10200, 3600},
                0, "pbxDetails"),
        Control(fraScheduleSetup, "fraScheduleSetup", "Schedule Setup", {10440, 4140, 6180, 3660}, 0, "pbxDetails"),
        Control(lblEvents, "lblEvents", "Events:", {120, 330, 2040, 255}, 0, "fraScheduleSetup"),
        Control(cmbEvents, "cmbEvents", "", {2200, 285, 2760, 315}, 0, "fraScheduleSetup"),
        Control(cmdClearEvents, "cmdClearEvents", "&Apply", {4980, 270, 1080, 345}, 0, "fraScheduleSetup"),
        Control(lblRotation, "lblRotation", "Schedule Rotation:", {120, 780, 2040, 255}, 0, "fraScheduleSetup"),
        Control(cmbRotation, "cmbRotation", "", {2200, 735, 2760, 315}, 0, "fraScheduleSetup"),
        Control(cmdRotation, "cmdRotation", "&Rotate", {4980, 720, 1080, 345}, 0, "fraScheduleSetup"),
        Control(lblSelectedPeriod, "lblSelectedPeriod", "Selected Period:", {120, 1230, 2040, 255}, 0,
                "fraScheduleSetup"),
        Control(dtpSelectedFromDate, "dtpSelectedFromDate", "", {2200, 1185, 1575, 315}, 0, "fraScheduleSetup"),
        Control(lblTo, "lblTo", "to", {3840, 1230, 255, 255}, 0, "fraScheduleSetup"),
        Control(dtpSelectedToDate, "dtpSelectedToDate", "", {4140, 1185, 1575, 315}, 0, "fraScheduleSetup"),
        Control(lblCopyTo, "lblCopyTo", "Copy to Period Statring at:", {120, 1680, 2760, 255}, 0,
                "fraScheduleSetup"),
        Control(dtpCopyToDate, "dtpCopyToDate", "", {2940, 1635, 1575, 315}, 0, "fraScheduleSetup"),
        Control(cmdCopyFrom, "cmdCopyFrom", "Co&py", {4980, 1620, 1080, 345}, 0, "fraScheduleSetup"),
        Control(lblSelectedWeek, "lblSelectedWeek", "Selected Week:", {120, 2130, 2040, 255}, 0,
                "fraScheduleSetup"),
        Control(txtSelectedWeek, "txtSelectedWeek", kLongestWeek, {2200, 2085, 2760, 315}, 0, "fraScheduleSetup"),
        Control(cmdDefaultWeek, "cmdDefaultWeek", "Apply as Default &Week", {2200, 2520, 2760, 345}, 0,
                "fraScheduleSetup"),
        Control(lblScheduleStart, "lblScheduleStart", "Schedule Start Month:", {120, 3060, 2040, 255}, 0,
                "fraScheduleSetup"),
        Control(dtpScheduleStartDate, "dtpScheduleStartDate", "", {2200, 3015, 1575, 315}, 0, "fraScheduleSetup"),
        Control(cmdSetScheduleStartDate, "cmdSetScheduleStartDate", "Set", {3900, 3000, 615, 345}, 0,
                "fraScheduleSetup"),
        Control(Frame1, "Frame1", "Schedule && Events Information", {120, 7920, 16500, 1200}, 0, "pbxDetails"),
        Control(lblActiveEvetCount, "lblActiveEvetCount", "Active Events Count for :", {120, 330, 3720, 255}, 0,
                "Frame1"),
        Control(txtActiveEvetCount, "txtActiveEvetCount", "", {3900, 285, 615, 315}, 0, "Frame1"),
        Control(lblFileName, "lblFileName", "File Name:", {4680, 330, 1080, 255}, 0, "Frame1"),
        Control(txtFileName, "txtFileName", "", {5760, 285, 10620, 315}, 0, "Frame1"),
        Control(lblDateTime, "lblDateTime", "Last Date && Time Read from Device:", {120, 780, 3720, 255}, 0,
                "Frame1"),
        Control(txtDateTime, "txtDateTime", kLongestDeviceDateTime, {3900, 735, 3360, 315}, 0, "Frame1"),
        Control(cmdUpdate, "cmdUpdate", "&Update", {120, 9240, 1215, 375}, 0, "pbxDetails"),
        Control(cmdTest, "cmdTest", "&Test Tone", {1455, 9240, 1215, 375}, 0, "pbxDetails"),
        Control(cmdUpload, "cmdUpload", "Up&load", {2790, 9240, 1215, 375}, 0, "pbxDetails"),
        Control(cmdDownload, "cmdDownload", "&Download", {4125, 9240, 1215, 375}, 0, "pbxDetails"),
        Control(cmdNew, "cmdNew", "New", {5460, 9240, 1215, 375}, 0, "pbxDetails"),
        Control(cmdOpen, "cmdOpen", "&Open", {6795, 9240, 1215, 375}, 0, "pbxDetails"),
        Control(cmdSaveAs, "cmdSaveAs", "&Save As", {8130, 9240, 1215, 375}, 0, "pbxDetails"),
        Control(cmdClose, "cmdClose", "&Close", {15405, 9240, 1215, 375}, 0, "pbxDetails"),
        Control(prgProgress, "prgProgress", "", {120, 9780, 10200, 255}, 0, "pbxDetails"),
        Control(lblInfo, "lblInfo", "", {10440, 9780, 6180, 255}, 0, "pbxDetails"),
    };
    BuildControls(client, controls);
    mvwCalendar->setToolTip("Click on a date to display the daily schedule, press an hold the Shift key to select a "
                            "range of dates ");
    cmdCopyFrom->setToolTip("Copy the selected period to a new period starting at this date ");
    dtpCopyToDate->setToolTip("Copy the selected period to a new period starting at this date ");
    cmdDefaultWeek->setToolTip("Copy the selected week to all other weeks calendar ");
    cmdSetScheduleStartDate->setToolTip("Set the schedule start month ");
    cmdTest->setToolTip("Test the highlighted tone, bell or embedded voice message ");
    for (QDateEdit* picker : {dtpSelectedFromDate, dtpSelectedToDate, dtpCopyToDate, dtpScheduleStartDate})
        picker->setDisplayFormat("MM/dd/yyyy");
    dtpScheduleStartDate->setDisplayFormat("MM/yyyy");
    for (QLineEdit* box : {txtSelectedWeek, txtActiveEvetCount})
        box->setReadOnly(true);

    connect(mvwCalendar, &CalendarYearView::SelectionChanged, this,
            &KS_GEN_ToneScheduleCalendar::mvwCalendar_SelChange);
    connect(dtpSelectedFromDate, &QDateEdit::userDateChanged, this,
            &KS_GEN_ToneScheduleCalendar::dtpSelectedFromDate_Change);
    connect(dtpSelectedToDate, &QDateEdit::userDateChanged, this,
            &KS_GEN_ToneScheduleCalendar::dtpSelectedToDate_Change);
    connect(lvwMessages, &QTreeWidget::itemSelectionChanged, this, &KS_GEN_ToneScheduleCalendar::lvwMessages_ItemClick);
    connect(cmdClearEvents, &QPushButton::clicked, this, &KS_GEN_ToneScheduleCalendar::cmdClearEvents_Click);
    connect(cmdCopyFrom, &QPushButton::clicked, this, &KS_GEN_ToneScheduleCalendar::cmdCopyFrom_Click);
    connect(cmdDefaultWeek, &QPushButton::clicked, this, &KS_GEN_ToneScheduleCalendar::cmdDefaultWeek_Click);
    connect(cmdRotation, &QPushButton::clicked, this, &KS_GEN_ToneScheduleCalendar::cmdRotation_Click);
    connectCommands();
}

// ---- Loading and listing -----------------------------------------------------------------

void KS_GEN_ToneScheduleCalendar::Form_Load()
{
    PlaceTableWindow(this);
    if (gToneGenCalendarFile.empty() || !FileExists(gToneGenCalendarFile))
        gToneGenCalendarFile = DataFilePath("ToneGenCalendar.TGC");
    setFile(gToneGenCalendarFile, false);
    setupToolbar(false);
    setupColumns("Duration", kColumnWeights);
    fillChoices(cmbRotation, {"Rotate 1 Day Forward", "Rotate 1 Day Backwards", "Rotate 1 Month Forward",
                              "Rotate 1 Month Backwards"});
    fillChoices(cmbEvents, {"Deactivate Events on Selected Day", "Deactivate Events on Selected Month",
                            "Activate Events on Selected Day", "Activate Events on Selected Month"});
    ReadDeviceDateTime();
    ShowCalendarDay(1, false);
    DrawDayIndicators();
    scheduleChanged_ = false;
}

void KS_GEN_ToneScheduleCalendar::FillEventRow(QTreeWidgetItem* row, const CalendarEvent& event)
{
    int hours = 0;
    int minutes = 0;
    CalendarEventClock(event, hours, minutes);
    const int duration = std::max<int>(event.Duration, 0);
    row->setText(0, ToQString(ZeroPad(event.EventNo, 3)));
    row->setText(ToneColumn::Time, ToQString(FormatTimeAmPm(hours, minutes)));
    row->setText(ToneColumn::Zone, ToQString(ZeroPad(std::max<int>(event.Zone, 0), 3)));
    row->setText(ToneColumn::Type, ToQString(AlertTypeText(std::to_string(event.AlertType), true)));
    row->setText(ToneColumn::Duration, ToQString(ZeroPad(duration / 60, 2) + ":" + ZeroPad(duration % 60, 2)));
    fillToneColumns(row, event.AlertLevel, event.AlertLength, event.Repeat, event.Delay, event.Active != 0,
                    event.Description, event.Action);
    if (auto* sortable = dynamic_cast<SortableRow*>(row))
        sortable->SetSortNumber(0, event.EventNo);
}

void KS_GEN_ToneScheduleCalendar::ShowCalendarDay(int day, bool download)
{
    // As the weekly window's listing: a day chosen while the file loads is
    // the one listed once it has loaded, never listed inside that load. A
    // file opened meanwhile needs no second load: all that is listed below
    // (its range, its days) is read from the file the window names by then.
    dayAsked_ = day;
    if (listing_)
        return;
    const QScopedValueRollback<bool> listing(listing_, true);
    ShowBusyPointer();
    bool created = false;
    QDate start;
    if (!LoadToneCalendar(download, created, start)) {
        ShowNormalPointer();
        return;
    }
    day = dayAsked_;
    // A file that holds no calendar is reported once and neither drawn nor written from.
    valid_ = FileExists(gToneGenCalendarFile) ? CheckCalendarFile(gToneGenCalendarFile, start) : start.isValid();
    lvwMessages->clear();
    if (!valid_) {
        mvwCalendar->ClearMarks();
        ShowNormalPointer();
        return;
    }
    if (day == 1 || start != start_) {
        SetCalendarRange(start);
        if (day == 1)
            dtpScheduleStartDate->setDate(start);
    }
    start_ = start;
    const CalendarRange range = CalendarRangeFrom(start);
    const QDate date = range.first.addDays(day - 1);
    std::vector<CalendarEvent> events;
    ReadCalendarDays(gToneGenCalendarFile, day, 1, events);
    int active = 0;
    for (const CalendarEvent& event : events) {
        FillEventRow(new SortableRow(lvwMessages), event);
        active += event.Active != 0 ? 1 : 0;
    }
    lvwMessages->setSortingEnabled(true);
    lvwMessages->sortByColumn(0, Qt::AscendingOrder);
    lblActiveEvetCount->setText("Active Events Count for " + dateText(date) + ":");
    txtActiveEvetCount->setText(QString::number(active));
    const QDate chosen = mvwCalendar->Value();
    txtSelectedWeek->setText(dateText(WeekStartOf(chosen)) + " - " + dateText(WeekEndOf(chosen)));
    shownDate_ = date;
    SelectListRow(lvwMessages, lvwMessages->topLevelItem(0));
    AutoSizeListViewColumns(lvwMessages, kColumnWeights);
    ShowNormalPointer();
}

void KS_GEN_ToneScheduleCalendar::SetCalendarRange(const QDate& start)
{
    const CalendarRange range = CalendarRangeFrom(start);
    start_ = range.first;
    mvwCalendar->SetRange(range.first, range.last);
    mvwCalendar->SetValue(range.first);
    for (QDateEdit* picker : {dtpSelectedFromDate, dtpSelectedToDate, dtpCopyToDate}) {
        const QSignalBlocker quiet(picker);
        picker->setDateRange(range.first, range.last);
        picker->setDate(range.first);
    }
}

void KS_GEN_ToneScheduleCalendar::SetIndicatorStatus(const QDate& eventDate, bool status)
{
    if (CalendarRangeFrom(start_).Contains(eventDate))
        mvwCalendar->SetMark(eventDate, status);
}

void KS_GEN_ToneScheduleCalendar::DrawDayIndicators()
{
    mvwCalendar->ClearMarks();
    if (!valid_)
        return;
    for (const QDate& date : ActiveCalendarDays(gToneGenCalendarFile, CalendarRangeFrom(start_)))
        SetIndicatorStatus(date, true);
}

// ---- The year view and the period pickers ----------------------------------------------------

void KS_GEN_ToneScheduleCalendar::mvwCalendar_SelChange(const QDate& start, const QDate& end)
{
    if (!isEnabled() || !pbxDetails->isEnabled() || !valid_)
        return;
    const CalendarRange range = CalendarRangeFrom(start_);
    if (end == shownDate_ || start < range.first || end > range.last) {
        mvwCalendar->SetSelection(dtpSelectedFromDate->date(), shownDate_);
        return;
    }
    dtpSelectedFromDate->setDate(start);
    dtpSelectedToDate->setDate(end);
    ShowCalendarDay(range.DayOf(end), false);
}

void KS_GEN_ToneScheduleCalendar::dtpSelectedFromDate_Change()
{
    if (CalendarRangeFrom(start_).Contains(dtpSelectedFromDate->date()))
        mvwCalendar->SetSelection(dtpSelectedFromDate->date(), mvwCalendar->SelEnd());
}

void KS_GEN_ToneScheduleCalendar::dtpSelectedToDate_Change()
{
    if (CalendarRangeFrom(start_).Contains(dtpSelectedToDate->date()))
        mvwCalendar->SetSelection(mvwCalendar->SelStart(), dtpSelectedToDate->date());
}

// ---- The list and the event dialog -------------------------------------------------------------

void KS_GEN_ToneScheduleCalendar::lvwMessages_ItemClick()
{
    const QTreeWidgetItem* row = SelectedListRow(lvwMessages);
    if (!row)
        return;
    const QString type = row->text(ToneColumn::Type);
    cmdTest->setEnabled(type != "98 - Start Countdown" && type != "99 - Device Activation");
}

void KS_GEN_ToneScheduleCalendar::cmdUpdate_Click()
{
    if (lvwMessages->topLevelItemCount() > 0 && SelectedListRow(lvwMessages))
        openEventDialog(new KS_GEN_ToneScheduleCalendarlAdd(this));
}

void KS_GEN_ToneScheduleCalendar::cmdTest_Click()
{
    TestToneEvent event;
    event.calendar = true;
    if (selectedTone(event) && event.alertNumber != 98 && event.alertNumber != 99)
        sendTestTone(event);
}

// ---- Commands on the file -----------------------------------------------------------------------

void KS_GEN_ToneScheduleCalendar::showChosenDay()
{
    ShowCalendarDay(CalendarRangeFrom(start_).DayOf(mvwCalendar->Value()), false);
    DrawDayIndicators();
}

void KS_GEN_ToneScheduleCalendar::cmdClearEvents_Click()
{
    if (!valid_)
        return;
    const QDate d = mvwCalendar->Value();
    const int item = cmbEvents->currentData().toInt();
    const bool month = item == 2 || item == 4;
    const bool active = item >= 3;
    const std::string shown = month ? FromQString(d.toString("MM/yyyy")) : CalendarDateText(d);
    if (!askYesNo(std::string("Are you sure you want to ") + (active ? "activate" : "deactivate")
                  + " all events on " + shown + " ?"))
        return;
    const QDate first = month ? QDate(d.year(), d.month(), 1) : d;
    const QDate last = month ? QDate(d.year(), d.month(), d.daysInMonth()) : d;
    SetWorking(true);
    if (SetDayEventsActive(start_, first, last, active))
        showChosenDay();
    SetWorking(false);
}

void KS_GEN_ToneScheduleCalendar::cmdCopyFrom_Click()
{
    if (!valid_)
        return;
    const QDate from = dtpSelectedFromDate->date();
    const QDate to = dtpSelectedToDate->date();
    const QDate target = dtpCopyToDate->date();
    if (!CheckCalendarPeriod(from, to))
        return;
    const QDate targetEnd = target.addDays(from.daysTo(to));
    const QDate last = CalendarRangeFrom(start_).last;
    if (targetEnd > last) {
        ShowMessage("The target period of " + CalendarDateText(target) + " to " + CalendarDateText(targetEnd)
                        + " exceeds the calendar end date  of " + CalendarDateText(last)
                        + ". If required, adjust the Schedule Start Month.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
        return;
    }
    const std::string period =
        from == to ? CalendarDateText(from) : CalendarDateText(from) + " - " + CalendarDateText(to);
    if (!askYesNo("Are you sure you want to copy the selected schedule period (" + period
                  + ") to the period starting at " + CalendarDateText(target) + " ?"))
        return;
    SetWorking(true);
    if (CopyCalendarPeriod(start_, from, to, target)) {
        mvwCalendar->SetValue(target);
        scheduleChanged_ = true;
        showChosenDay();
    }
    SetWorking(false);
}

void KS_GEN_ToneScheduleCalendar::cmdDefaultWeek_Click()
{
    if (!valid_)
        return;
    const CalendarRange range = CalendarRangeFrom(start_);
    const QDate d = mvwCalendar->Value();
    const std::string between = ". Please select a full week between " + CalendarDateText(range.first) + " and "
        + CalendarDateText(range.last) + ".";
    if (WeekStartOf(d) < range.first) {
        ShowMessage("The selected week starts before " + CalendarDateText(range.first) + between, kButtonsOk,
                    kAnswerOk, kIconExclamation);
        return;
    }
    if (WeekEndOf(d) > range.last) {
        ShowMessage("The selected week ends after " + CalendarDateText(range.last) + between, kButtonsOk, kAnswerOk,
                    kIconExclamation);
        return;
    }
    if (!askYesNo("Are you sure you want to apply the selected week (" + CalendarDateText(WeekStartOf(d)) + " - "
                  + CalendarDateText(WeekEndOf(d)) + ") as the default schedule for all other weeks ?"))
        return;
    SetWorking(true);
    if (ApplyDefaultWeek(start_, d)) {
        scheduleChanged_ = true;
        showChosenDay();
    }
    SetWorking(false);
}

void KS_GEN_ToneScheduleCalendar::cmdRotation_Click()
{
    if (!valid_)
        return;
    const int item = cmbRotation->currentData().toInt();
    static const char* const kWhich[] = {"1 day forward", "1 day backward", "1 month forward", "1 month backward"};
    if (item < 1 || item > 4 || !askYesNo(std::string("Are you sure you want to rotate all events ") + kWhich[item - 1]
                                          + " ?"))
        return;
    const QDate s = start_;
    SetWorking(true);
    bool done = false;
    QDate b;
    switch (item) {
    case 1: done = RotateCalendarDays(s, s, s.addDays(1)); break;
    case 2: done = RotateCalendarDays(s, s.addDays(1), s); break;
    case 3: done = RotateCalendarMonths(s, s, b = s.addMonths(1)); break;
    default: done = RotateCalendarMonths(s, s, b = s.addMonths(-1)); break;
    }
    if (done) {
        if (b.isValid())
            SetCalendarRange(b);
        showChosenDay();
    }
    SetWorking(false);
}

// ---- Transfers and files ------------------------------------------------------------------------

bool KS_GEN_ToneScheduleCalendar::UploadCalendar()
{
    const CalendarRange range = CalendarRangeFrom(start_);
    const bool done = runUpload(
        [&range](const std::function<void(int, int)>& progress) { return ::UploadCalendar(range, progress); });
    if (done)
        scheduleChanged_ = false;
    return done;
}

void KS_GEN_ToneScheduleCalendar::cmdUpload_Click()
{
    if (lvwMessages->topLevelItemCount() == 0)
        return;
    if (askYesNo("This schedule will replace the exisiting schedule on the " + gEncoderModelName
                 + ". \r\nAre you sure you want to continue ? "))
        UploadCalendar();
}

bool KS_GEN_ToneScheduleCalendar::ResetCalendarFile()
{
    QDate start;
    // The window covers the main status line, so the download counts its days here.
    const bool done = runTransfer("Downloading...", [&start](const std::function<void(int, int)>& progress) {
        return ::ResetCalendarFile(start, progress);
    });
    if (!done)
        return false;
    setFile(gToneGenCalendarFile, false);
    ShowCalendarDay(1, true);
    DrawDayIndicators();
    return true;
}

void KS_GEN_ToneScheduleCalendar::cmdDownload_Click()
{
    if (!askYesNo(std::string("Default ") + kCaption + " file (" + "\\ToneGenCalendar.TGC"
                  + ") on this computer will be overwritten.\r\nAre you sure you want to continue and download the "
                    "schedule from the "
                  + gEncoderModelName + " ?"))
        return;
    SetWorking(true);
    ResetCalendarFile();
    SetWorking(false);
}

void KS_GEN_ToneScheduleCalendar::cmdOpen_Click()
{
    QDate start;
    if (!chooseFileToOpen([&start](const std::string& path) { return CheckCalendarFile(path, start); }))
        return;
    ShowCalendarDay(1, false);
    DrawDayIndicators();
}

void KS_GEN_ToneScheduleCalendar::closeEvent(QCloseEvent* event)
{
    if (Busy()) {
        event->ignore();
        return;
    }
    // Exit unloads the window after the port has closed: an upload could
    // not go out, and the question would only hold up the end.
    if (scheduleChanged_ && !ExitRequested()
        && ShowMessage("The schedule for the period starting at " + CalendarDateText(dtpCopyToDate->date())
                           + " has to be uploaded to the " + gEncoderModelName
                           + " for your changes to take effect. Upload now? ",
                       kButtonsYesNo, kAnswerYes, kIconQuestion)
            == kAnswerYes) {
        event->ignore();
        UploadCalendar();
        return;
    }
    BusyDialog::closeEvent(event);
}
