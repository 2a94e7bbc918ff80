#include "KS_GEN_ToneSchedule.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QToolBar>

#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_FileDialog.h"
#include "KS_FormBuilder.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_GEN_ToneScheduleAdd.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_ListServices.h"
#include "KS_ListWindow.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_ToneSchedule.h"
#include "KS_Toolbar.h"

namespace {

constexpr const char* kCaption = "Tone Schedule";
constexpr const char* kFileFilter = "Tone Generator Schedule (*.TGS)";
const std::vector<double> kColumnWeights = {0.5, 1, 0.7, 0.7, 0.7, 0.7, 0.8, 1.2, 1.5, 0.7, 1.9, 0};

} // namespace

KS_GEN_ToneSchedule::KS_GEN_ToneSchedule(QWidget* owner)
    : ToneListWindow(owner, "KS_GEN_ToneSchedule", kCaption,
                     {kFileFilter, kFileFilter, "ToneGenFile", gToneGenFile, ToneScheduleEvent::kLength, "schedule"})
{
    buildControls();
}

KS_GEN_ToneSchedule::~KS_GEN_ToneSchedule() { ForgetUnreadToneSlot(); }

void KS_GEN_ToneSchedule::buildControls()
{
    QWidget* client = BuildToolbarForm(this, tlbMenu, 11160, 6420);
    const FormControl controls[] = {
        Control(pbxDetails, "pbxDetails", "", {0, 0, 11160, 6420}),
        Control(lblSlot, "lblSlot", "S&lot:", {120, 165, 480, 255}, 0, "pbxDetails"),
        Control(cmbSlot, "cmbSlot", "", {600, 120, 735, 315}, 0, "pbxDetails"),
        Control(cmdActivateSlot, "cmdActivateSlot", "Switc&h", {1395, 105, 975, 345}, 0, "pbxDetails"),
        Control(lblWeekDay, "lblWeekDay", "&Week Day:", {2610, 165, 915, 255}, 0, "pbxDetails"),
        Control(cmbWeekDay, "cmbWeekDay", "", {3525, 120, 1575, 315}, 0, "pbxDetails"),
        Control(cmdCopyFrom, "cmdCopyFrom", "Copy &From", {5220, 105, 1095, 345}, 0, "pbxDetails"),
        Control(cmbCopyWeekDay, "cmbCopyWeekDay", "", {6375, 120, 1575, 315}, 0, "pbxDetails"),
        Control(chkOffLine, "chkOffLine", "Wo&rk Offline", {9600, 150, 1440, 255}, 0, "pbxDetails"),
        Control(lvwMessages, "lvwMessages", "Double click on a schedule event to update ", {120, 600, 10920, 3735},
                0, "pbxDetails"),
        Control(lblFileName, "lblFileName", "File Name:", {120, 4470, 1095, 255}, 0, "pbxDetails"),
        Control(txtFileName, "txtFileName", "", {1275, 4425, 9765, 315}, 0, "pbxDetails"),
        Control(lblDateTime, "lblDateTime", "Last Date && Time Read from Device:", {120, 4875, 2700, 255}, 0,
                "pbxDetails"),
        Control(txtDateTime, "txtDateTime", kLongestDeviceDateTime, {2880, 4830, 3360, 315}, 0, "pbxDetails"),
        Control(cmdUpdate, "cmdUpdate", "&Update", {120, 5340, 1215, 375}, 0, "pbxDetails"),
        Control(cmdTest, "cmdTest", "&Test Tone", {1455, 5340, 1215, 375}, 0, "pbxDetails"),
        Control(cmdUpload, "cmdUpload", "Up&load", {2790, 5340, 1215, 375}, 0, "pbxDetails"),
        Control(cmdDownload, "cmdDownload", "&Download", {4125, 5340, 1215, 375}, 0, "pbxDetails"),
        Control(cmdNew, "cmdNew", "New", {5460, 5340, 1215, 375}, 0, "pbxDetails"),
        Control(cmdOpen, "cmdOpen", "&Open", {6795, 5340, 1215, 375}, 0, "pbxDetails"),
        Control(cmdSaveAs, "cmdSaveAs", "&Save As", {8130, 5340, 1215, 375}, 0, "pbxDetails"),
        Control(cmdClose, "cmdClose", "&Close", {9825, 5340, 1215, 375}, 0, "pbxDetails"),
        Control(prgProgress, "prgProgress", "", {120, 5895, 7200, 255}, 0, "pbxDetails"),
        Control(lblInfo, "lblInfo", "Uploading...", {7440, 5895, 3600, 255}, 0, "pbxDetails"),
    };
    BuildControls(client, controls);
    cmdCopyFrom->setToolTip("Copy daily schedule to selected Week Day ");

    connect(cmbSlot, &QComboBox::activated, this, &KS_GEN_ToneSchedule::cmbSlot_Click);
    cmbSlot->installEventFilter(this);
    connect(cmdActivateSlot, &QPushButton::pressed, this, &KS_GEN_ToneSchedule::cmdActivateSlot_MouseDown);
    // After the click, which a release over the button brings.
    connect(cmdActivateSlot, &QPushButton::released, this, &KS_GEN_ToneSchedule::cmdActivateSlot_MouseUp,
            Qt::QueuedConnection);
    connect(cmdActivateSlot, &QPushButton::clicked, this, &KS_GEN_ToneSchedule::cmdActivateSlot_Click);
    connect(cmbWeekDay, &QComboBox::activated, this, &KS_GEN_ToneSchedule::cmbWeekDay_Click);
    connect(cmbCopyWeekDay, &QComboBox::activated, this, &KS_GEN_ToneSchedule::cmbCopyWeekDay_Click);
    connect(cmdCopyFrom, &QPushButton::clicked, this, &KS_GEN_ToneSchedule::cmdCopyFrom_Click);
    connect(lvwMessages, &QTreeWidget::itemClicked, this, &KS_GEN_ToneSchedule::lvwMessages_ItemClick);
    connect(cmdNew, &QPushButton::clicked, this, &KS_GEN_ToneSchedule::cmdNew_Click);
    connectCommands();
}

// ---- Loading ---------------------------------------------------------------------------

void KS_GEN_ToneSchedule::Form_Load()
{
    // The whole load talks to the device; timer jobs wait until it is done.
    const LinkConversation conversation;
    SetToneEventsProbe(ProbeToneEvents);
    PlaceTableWindow(this);
    for (const char* slot : {"1", "2", "3", "4"})
        cmbSlot->addItem(slot);

    if (gToneGenFile.empty() || !FileExists(gToneGenFile))
        gToneGenFile = DataFilePath("ToneGen.TGS");
    setFile(gToneGenFile, false);

    if (IsLinkResponding()) {
        const int slot = ReadActiveToneSlot();
        if (slot != 0) {
            cmbSlot->setCurrentIndex(slot - 1);
        } else if (gToneGenSupported) {
            SetWorking(true);
            if (SetActiveSlotOnDevice(1)) {
                SaveConfigSetting("ToneGenSlot", "1");
                gToneGenSlot = "1";
                cmbSlot->setCurrentIndex(0);
            } else {
                cmbSlot->setCurrentIndex(-1);
            }
            SetWorking(false);
        } else {
            // A unit without a tone generator has no slot to make active; the file is worked on as slot 1's.
            cmbSlot->setCurrentIndex(0);
        }
        ProbeToneEvents();
    } else {
        cmbSlot->setCurrentIndex(0);
    }
    activeSlot_ = static_cast<std::int16_t>(cmbSlot->currentIndex() + 1);

    ReadDeviceDateTime();
    setupToolbar(true);
    setupColumns("Time Out", kColumnWeights);
    FillWeekDayCombo(AsOptionList(cmbWeekDay), 0);
    FillWeekDayCombo(AsOptionList(cmbCopyWeekDay), 0);
    ShowWeekDaySchedule(1, true);
    cmdUpdate->setEnabled(true);
    cmdCopyFrom->setEnabled(false);
    cmdActivateSlot->setEnabled(false);
}

void KS_GEN_ToneSchedule::FillEventRow(QTreeWidgetItem* row, const ToneScheduleEvent& event)
{
    // An event the unit never sent lists its number alone: nothing made up shows as the unit's.
    if (IsToneEventUnread(event)) {
        for (int column = 1; column < row->columnCount(); ++column)
            row->setText(column, QString());
        row->setText(0, ToQString(Trim(event.EventNo)));
        if (auto* sortable = dynamic_cast<SortableRow*>(row))
            sortable->SetSortNumber(0, Val(event.EventNo));
        return;
    }
    const std::string alert = AlertNumberCode(std::to_string(event.AlertType), true);
    const bool activation = alert == "10" && EncoderSupportsToneActions(gEncoderModelLetter);
    row->setText(0, ToQString(Trim(StripChar(event.EventNo, std::string_view("\0", 1)))));
    row->setText(ToneColumn::Time, ToQString(Trim(StripChar(event.Time, std::string_view("\0", 1)))));
    row->setText(ToneColumn::Zone, ToQString(ZeroPad(static_cast<long long>(Val(event.Zone)), 2)));
    row->setText(ToneColumn::Type, ToQString(alert));
    row->setText(ToneColumn::TimeOut,
                 ToQString(activation ? ZeroPad(event.Seconds, 3) : ZeroPad(event.Countdown, 2)));
    fillToneColumns(row, event.AlertLevel, event.AlertLength, event.Repeat, event.Delay, event.Active != 0,
                    event.Description, event.Action);
    if (auto* sortable = dynamic_cast<SortableRow*>(row))
        sortable->SetSortNumber(0, Val(event.EventNo));
}

bool KS_GEN_ToneSchedule::ShowWeekDaySchedule(int weekday, bool downloadAllowed)
{
    // Loading lets events run (a damaged file's status beeps): a day the
    // operator picks meanwhile, or a file opened, is taken by the listing
    // under way, not listed inside it, so the list, the Week Day box, the file
    // name and the day the event dialog names and saves to all end on the last
    // day and file chosen.
    weekdayAsked_ = weekday;
    if (listing_)
        return true;
    const QScopedValueRollback<bool> listing(listing_, true);
    ShowBusyPointer();
    const bool loaded = loadForListing([downloadAllowed] { return LoadToneSchedule(downloadAllowed); });
    readWhole_ = loaded;
    weekday = weekdayAsked_;
    if (loaded) {
        lvwMessages->clear();
        for (int i = (weekday - 1) * kToneEventsPerDay; i < weekday * kToneEventsPerDay; ++i) {
            ToneScheduleEvent& event = gToneSchedule[static_cast<std::size_t>(i)];
            if (Val(event.Zone) == 0 && !IsToneEventUnread(event))
                event.Zone = "01";
            FillEventRow(new SortableRow(lvwMessages), event);
        }
        lvwMessages->setSortingEnabled(true);
        lvwMessages->sortByColumn(0, Qt::AscendingOrder);
        SelectListRow(lvwMessages, lvwMessages->topLevelItem(0));
        AutoSizeListViewColumns(lvwMessages, kColumnWeights);
        shownWeekday_ = weekday;
    }
    cmbWeekDay->setCurrentIndex(shownWeekday_ - 1);
    ShowNormalPointer();
    return loaded;
}

// ---- Slot list and Switch ----------------------------------------------------------------

bool KS_GEN_ToneSchedule::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cmbSlot) {
        if (event->type() == QEvent::FocusIn)
            cmbSlot_GotFocus();
        else if (event->type() == QEvent::FocusOut
                 && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            cmbSlot_LostFocus(focusWidget()); // where this window's caret went, active or not
    }
    return BusyDialog::eventFilter(watched, event);
}

void KS_GEN_ToneSchedule::showActiveSlot()
{
    cmbSlot->setCurrentIndex(activeSlot_ - 1);
    // The list names the active slot again: there is nothing to switch to.
    cmdActivateSlot->setEnabled(false);
}

void KS_GEN_ToneSchedule::cmbSlot_GotFocus()
{
    if (cmbSlot->currentIndex() >= 0)
        activeSlot_ = static_cast<std::int16_t>(cmbSlot->currentIndex() + 1);
}

void KS_GEN_ToneSchedule::cmbSlot_Click()
{
    const int chosen = cmbSlot->currentIndex() + 1;
    cmdActivateSlot->setEnabled(chosen != 0 && chosen != activeSlot_);
}

void KS_GEN_ToneSchedule::cmbSlot_LostFocus(QWidget* newFocus)
{
    if (newFocus != cmdActivateSlot)
        showActiveSlot();
}

void KS_GEN_ToneSchedule::cmdActivateSlot_MouseDown() { switching_ = false; }

void KS_GEN_ToneSchedule::cmdActivateSlot_MouseUp()
{
    if (!switching_)
        showActiveSlot();
}

std::string KS_GEN_ToneSchedule::overwriteNotice() const
{
    return std::string("Default ") + kCaption + " file (" + "\\ToneGen.TGS" + ") on this computer will be overwritten."
        + "\r\n";
}

void KS_GEN_ToneSchedule::cmdActivateSlot_Click()
{
    switching_ = true;
    const int chosen = cmbSlot->currentIndex() + 1;
    if (chosen == 0)
        return;
    const std::string slot = std::to_string(chosen);
    if (!askYesNo(overwriteNotice() + "Are you sure you want to continue and download the schedule from slot " + slot
                  + " ?")) {
        showActiveSlot();
        SafeSetFocus(cmbSlot);
        return;
    }
    SetWorking(true);
    if (SetActiveSlotOnDevice(chosen)) {
        SaveConfigSetting("ToneGenSlot", slot);
        gToneGenSlot = slot;
        activeSlot_ = static_cast<std::int16_t>(chosen);
        ShowMessage("Slot " + slot + " is the current active slot. ", kButtonsOk, kAnswerOk, kIconInformation);
        // The list and the file still hold the old slot's week, which must not go up into this slot.
        if (!ResetScheduleFile())
            MarkToneSlotUnread(chosen);
        ReadDeviceDateTime();
        cmdActivateSlot->setEnabled(false);
    } else if (activeSlot_ > 0) {
        showActiveSlot();
    } else {
        cmbSlot->setCurrentIndex(0);
    }
    SetWorking(false);
}

// ---- Weekdays and Copy From ----------------------------------------------------------------

bool KS_GEN_ToneSchedule::WorkingOffline() const { return chkOffLine->isChecked(); }

void KS_GEN_ToneSchedule::cmbWeekDay_Click()
{
    // The event dialog saves to the day the list names, so a day that cannot
    // be listed gives way to the day the list still shows.
    ShowWeekDaySchedule(cmbWeekDay->currentData().toInt(), false);
    cmbCopyWeekDay_Click();
}

void KS_GEN_ToneSchedule::cmbCopyWeekDay_Click()
{
    cmdCopyFrom->setEnabled(cmbCopyWeekDay->currentIndex() != cmbWeekDay->currentIndex());
}

bool KS_GEN_ToneSchedule::CopyWeekDaySchedule(int sourceWeekday, int targetWeekday)
{
    ShowBusyPointer();
    const bool copied = CopyToneWeekDay(sourceWeekday, targetWeekday);
    ShowNormalPointer();
    return copied;
}

bool KS_GEN_ToneSchedule::scheduleReadWhole()
{
    if (readWhole_)
        return true;
    ShowMessage("The schedule file " + PathInText(gToneGenFile) + " could not be read whole. Nothing of it will be copied or "
                    "uploaded until the file has been read again or the schedule has been downloaded.",
                kButtonsOk, kAnswerOk, kIconExclamation);
    return false;
}

void KS_GEN_ToneSchedule::cmdCopyFrom_Click()
{
    // The source day may be one the broken read left as zero bytes.
    if (!scheduleReadWhole())
        return;
    const std::string source = FromQString(cmbCopyWeekDay->currentText());
    const std::string shown = FromQString(cmbWeekDay->currentText());
    if (!askYesNo("Are you sure you want to copy the schedule from " + source + " to " + shown + " ?"))
        return;
    // A copy that did not reach the file is not offered for upload.
    if (!CopyWeekDaySchedule(cmbCopyWeekDay->currentData().toInt(), shownWeekday_))
        return;
    ShowWeekDaySchedule(shownWeekday_, false);
    if (askYesNo("New schedule for " + shown + " must be uploaded to " + gEncoderModelName + ". Upload now? ",
                 kAnswerYes))
        UploadSchedule();
}

void KS_GEN_ToneSchedule::showFirstWeekday()
{
    cmbWeekDay->setCurrentIndex(0);
    cmbCopyWeekDay->setCurrentIndex(0);
    cmdCopyFrom->setEnabled(false);
}

// ---- Events ----------------------------------------------------------------------------

void KS_GEN_ToneSchedule::cmdUpdate_Click()
{
    if (lvwMessages->topLevelItemCount() == 0 || !SelectedListRow(lvwMessages))
        return;
    if (slotChosen())
        openEventDialog(new KS_GEN_ToneScheduleAdd(this));
}

void KS_GEN_ToneSchedule::lvwMessages_ItemClick()
{
    const QTreeWidgetItem* row = SelectedListRow(lvwMessages);
    if (!row)
        return;
    const auto type = static_cast<int>(Val(FromQString(row->text(ToneColumn::Type))));
    cmdTest->setEnabled(type != 9 && type != 10);
}

void KS_GEN_ToneSchedule::cmdTest_Click()
{
    TestToneEvent event;
    if (!selectedTone(event))
        return;
    if (SelectedListRow(lvwMessages)->text(ToneColumn::Type).isEmpty()) {
        ShowMessage("Event " + event.eventNo + " of " + FromQString(cmbWeekDay->currentText()) + " has not been read from the "
                        + gEncoderModelName + ": there is no tone to test. Please download the schedule first.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
        return;
    }
    event.dayDigit = ToneDayDigitOfWeekday(shownWeekday_);
    sendTestTone(event);
}

// ---- Transfers ----------------------------------------------------------------------------

bool KS_GEN_ToneSchedule::transferChecksPass()
{
    // A unit that paused through its tone answers when it was identified is asked again first.
    if (!WorkingOffline() && !gToneGenSupported && gMainForm) {
        SetWorking(true);
        gMainForm->IdentifyEncoderAgain([] { return !gToneGenSupported; });
        SetWorking(false);
    }
    if (!WorkingOffline() && !gToneGenSupported) {
        ShowOptionNotUpdatedWarning("Tone Schedule");
        return false;
    }
    return slotChosen();
}

bool KS_GEN_ToneSchedule::slotChosen()
{
    if (activeSlot_ != 0)
        return true;
    ShowMessage("Please select active slot.", kButtonsOk, kAnswerOk, kIconInformation);
    SafeSetFocus(cmbSlot);
    return false;
}

bool KS_GEN_ToneSchedule::UploadSchedule()
{
    return runUpload([](const std::function<void(int, int)>& progress) { return UploadToneSchedule(progress); });
}

void KS_GEN_ToneSchedule::cmdUpload_Click()
{
    if (lvwMessages->topLevelItemCount() == 0 || !scheduleReadWhole() || !transferChecksPass() || ToneUploadRefused())
        return;
    if (askYesNo("This schedule will replace the exisiting schedule on slot " + std::to_string(activeSlot_) + " of the "
                 + gEncoderModelName + ". \r\nAre you sure you want to continue ? "))
        UploadSchedule();
}

bool KS_GEN_ToneSchedule::ResetScheduleFile()
{
    if (!ResetToneScheduleFile())
        return false;
    showFirstWeekday();
    setFile(gToneGenFile, false);
    ShowWeekDaySchedule(1, false);
    return true;
}

void KS_GEN_ToneSchedule::cmdDownload_Click()
{
    if (!transferChecksPass())
        return;
    if (!askYesNo(overwriteNotice() + "Are you sure you want to continue and download the schedule from slot "
                  + std::to_string(activeSlot_) + " ?"))
        return;
    SetWorking(true);
    ResetScheduleFile();
    SetWorking(false);
}

// ---- Files -------------------------------------------------------------------------------

void KS_GEN_ToneSchedule::cmdNew_Click()
{
    if (!askYesNo(overwriteNotice() + "Are you sure you want to continue and create a new file ?"))
        return;
    if (!CreateDefaultToneScheduleFile())
        return;
    // A new week is the operator's own, whichever slot it goes to.
    ForgetUnreadToneSlot();
    showFirstWeekday();
    setFile(gToneGenFile, false);
    ShowWeekDaySchedule(1, false);
}

void KS_GEN_ToneSchedule::cmdOpen_Click()
{
    if (!chooseFileToOpen(CheckToneScheduleFile))
        return;
    ForgetUnreadToneSlot();
    showFirstWeekday();
    // The status line lies under this window: the operator who chose the file hears of its torn end here.
    if (ShowWeekDaySchedule(1, false) && RecordFile(gToneGenFile, ToneScheduleEvent::kLength).HasTrailingBytes())
        ShowMessage(kToneScheduleIncomplete, kButtonsOk, kAnswerOk, kIconExclamation);
}
