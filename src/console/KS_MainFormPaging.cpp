// The road of a page: Send Page with its checks, Last Page, the one sender of
// pages, sign-board pages, and the timers that fire scheduled pages.
#include <QComboBox>
#include <QCheckBox>
#include <QFileInfo>
#include <QLocale>
#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "KS_Clock.h"
#include "KS_Database.h"
#include "KS_Registry.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "OptionList.h"
#include "KS_String.h"
#include "KS_WindowRegistry.h"
#include "SettingsFile.h"
#include "VoiceMessage.h"

namespace {

constexpr const char* kIdleText = "Please select a user to page ...";
constexpr int kTypeTone = 1;
constexpr int kTypeAlphanumeric = 2;
constexpr int kTypeNumeric = 3;
constexpr int kTypeVoice = 4;

bool voiceMessageRecorded() { return QFileInfo(VoiceMessagePath()).isFile(); }

bool askYesNo(const std::string& text, int icon)
{
    return ShowMessage(text, kButtonsYesNo, kAnswerNo, icon) == kAnswerYes;
}

// Sets a flag for the life of a scope and clears it on every way out.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

std::int16_t itemDatum(QComboBox* combo)
{
    OptionList& list = AsOptionList(combo);
    const int index = list.SelectedIndex();
    return index < 0 ? 0 : static_cast<std::int16_t>(list.ItemData(index));
}

// True for a time of day in the "Hh:Nn AMPM" form that the scheduler compares.
bool readableTimeOfDay(const std::string& text)
{
    const std::string t = Trim(text);
    if (t.size() < 8 || t[2] != ':' || t[5] != ' ')
        return false;
    for (int i : {0, 1, 3, 4})
        if (t[static_cast<std::size_t>(i)] < '0' || t[static_cast<std::size_t>(i)] > '9')
            return false;
    const int hours = (t[0] - '0') * 10 + (t[1] - '0');
    const int minutes = (t[3] - '0') * 10 + (t[4] - '0');
    const std::string half = UpperCase(t.substr(6, 2));
    return hours <= 12 && minutes <= 59 && (half == "AM" || half == "PM");
}

} // namespace

// ---- Send Page --------------------------------------------------------------------

void KS_MainForm::cancelToSelection()
{
    if (lvwSelectedUsers->topLevelItemCount() > 0) {
        lvwSelectedUsers->clearSelection();
        lvwSelectedUsers->topLevelItem(0)->setSelected(true);
    }
    FocusControl(lvwSelectedUsers);
}

bool KS_MainForm::sendPageChecksPass(bool clearDisplay)
{
    if (clearDisplay)
        return true;
    int tone = 0, numeric = 0, voice = 0, nonVoice = 0;
    for (int i = 0; i < lvwSelectedUsers->topLevelItemCount(); ++i) {
        const int type = static_cast<int>(Val(FromQString(lvwSelectedUsers->topLevelItem(i)->text(2))));
        tone += type == kTypeTone;
        numeric += type == kTypeNumeric;
        voice += type == kTypeVoice;
        nonVoice += type != kTypeVoice;
    }
    const std::string typed = FromQString(txtMessage->toPlainText());
    const bool textEmpty = Trim(typed).empty();
    const bool haveVoice = voiceMessageRecorded();

    if (voice > 0 && nonVoice > 0 && textEmpty && !haveVoice) {
        ReportStatus("Cannot send pages. No Voice message and no text message entered !", true);
        WaitTicks(30);
        ReportStatus(kIdleText);
        FocusControl(txtMessage);
        return false;
    }
    if (voice > 0 && !haveVoice) {
        if (nonVoice > 0) {
            if (!askYesNo("Some of the selected pagers are Voice pagers but no voice message "
                          "was found. These pagers will not receive a message. Click Yes to "
                          "continue and ignore these pagers, No to change your selected users "
                          "or record a voice message.",
                          kIconExclamation)) {
                cancelToSelection();
                return false;
            }
        } else {
            ReportStatus("No Voice message found. Please record a message.", true);
            WaitTicks(20);
            ReportStatus(kIdleText);
            cancelToSelection();
            return false;
        }
    }
    if (nonVoice == 0)
        return true;
    if (nonVoice > tone && textEmpty) {
        if (voice > 0) {
            if (!askYesNo("Some of the selected pagers are not Voice pagers but no message "
                          "was entered. These pagers will not receive a message. Click Yes to "
                          "continue and ignore these pagers, No to change your selected users "
                          "or enter a message.",
                          kIconExclamation)) {
                cancelToSelection();
                return false;
            }
        } else {
            ReportStatus("No message data entered !", true);
            WaitTicks(20);
            ReportStatus(kIdleText);
            FocusControl(txtMessage);
            return false;
        }
    }
    if (tone >= 1 && !textEmpty
        && !askYesNo("Some of the selected pagers are Tone / Vibrate pagers but the message "
                     "includes some characters. These pagers might receive a corrupted message. "
                     "\r\nClick Yes to continue and ignore these pagers, No to change your selected users. ",
                     kIconQuestion)) {
        cancelToSelection();
        return false;
    }
    if (numeric >= 1 && !IsNumericText(typed)
        && !askYesNo("Some of the selected pagers are Numeric pagers but the message "
                     "includes non numeric characters. These pagers might receive a corrupted message. "
                     "\r\nClick Yes to continue and ignore these pagers, No to change your selected users. ",
                     kIconQuestion)) {
        cancelToSelection();
        return false;
    }
    return true;
}

std::string KS_MainForm::selectedAttributeCode(bool clearDisplay) const
{
    return BuildSBAttributeCode(itemDatum(cmbDisplaySlot), itemDatum(cmbDisplaySlice), itemDatum(cmbDisplayTimeout),
                                itemDatum(cmbDisplayColor), itemDatum(cmbDisplayEffect), itemDatum(cmbDisplayFont),
                                itemDatum(cmbDisplayAlignment), clearDisplay);
}

void KS_MainForm::lockSelection(bool locked)
{
    // The batch works from what was selected when Send was pressed; while it
    // runs nobody may add, remove or resend.
    for (QWidget* control : std::initializer_list<QWidget*>{lvwUsers, lvwSelectedUsers, cmdSelect})
        control->setEnabled(!locked);
    const std::initializer_list<QPushButton*> needsTable = {cmdSendPage, cmdRemove, cmdRemoveAll, cmdClearDisplay};
    if (locked) {
        for (QPushButton* button : needsTable)
            button->setEnabled(false);
        cmdLastPage->setEnabled(false);
        cmdSBMessages->setEnabled(false);
        return;
    }
    // Afterwards each button follows its own rule again rather than simply coming back on.
    for (QPushButton* button : needsTable)
        button->setEnabled(gDatabaseFound);
    cmdLastPage->setEnabled(!lastPage_.empty());
    cmdSBMessages->setEnabled(IsWindowRegistered(FormName::MessagesSB));
}

void KS_MainForm::cmdSendPage_Click()
{
    // Clicked inside another conversation's wait (a scheduled page, the hourly
    // clock), a batch would answer for that conversation's acknowledgement.
    if (sendingBatch_ || LinkConversation::ConversationActive())
        return;
    // Clear Display serves this one send; the flag never outlives it.
    const bool clearDisplay = clearDisplay_;
    clearDisplay_ = false;

    if (gConnectionType == 2 && !gModemConnected) {
        ShowLinkCommError();
        FocusControl(txtMessage);
        return;
    }
    if (lvwSelectedUsers->topLevelItemCount() == 0) {
        ReportStatus("No users / pagers were selected !", true);
        WaitTicks(10);
        ReportStatus(kIdleText);
        FocusControl(lvwUsers);
        return;
    }
    if (!sendPageChecksPass(clearDisplay))
        return;

    struct Target {
        std::string pagerNo, userName, typeId;
    };
    std::vector<Target> batch;
    for (int i = 0; i < lvwSelectedUsers->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lvwSelectedUsers->topLevelItem(i);
        batch.push_back({FromQString(row->text(0)), FromQString(row->text(1)), FromQString(row->text(2))});
    }
    const std::string typed = FromQString(txtMessage->toPlainText());

    FlagScope sending(sendingBatch_);
    LinkConversation conversation;
    lockSelection(true);
    lastPage_.assign(batch.size(), LastPageEntry{});
    ReportStatus("Sending the page ...");

    for (std::size_t index = 0; index < batch.size() && !ExitRequested(); ++index) {
        const Target& target = batch[index];
        if (lvwSelectedUsers->topLevelItemCount() > 0) {
            lvwSelectedUsers->clearSelection();
            lvwSelectedUsers->topLevelItem(0)->setSelected(true);
        }
        const int type = static_cast<int>(Val(target.typeId));
        PageRequest request;
        request.SetPagerNo(target.pagerNo);
        request.IsVoice = type == kTypeVoice;
        request.Message = typed;
        if (type == kTypeAlphanumeric && (chkUseDisplayParameters->isChecked() || clearDisplay))
            request.Message = SBPageText(selectedAttributeCode(clearDisplay), typed, clearDisplay);

        LastPageEntry& entry = lastPage_[index];
        entry.PagerNo = request.PagerNo;
        entry.UserName = target.userName.substr(0, 12);
        entry.TypeID = request.IsVoice ? "4" : target.typeId;
        entry.Message = Trim(typed);

        request.Kind = PageRequest::kPage;
        SendPageToPager(request);

        delete lvwSelectedUsers->takeTopLevelItem(0);
        AutoSizeSelectedUsersColumns();
        DoEvents();
    }
    lockSelection(false);
    ReportStatus(kIdleText);
    txtMessage->clear();
}

void KS_MainForm::cmdClearDisplay_Click()
{
    clearDisplay_ = true;
    cmdSendPage_Click();
}

void KS_MainForm::cmdLastPage_Click()
{
    lvwSelectedUsers->clear();
    txtMessage->clear();
    if (!lastPage_.empty() && !Trim(lastPage_.front().PagerNo).empty()) {
        for (const auto& entry : lastPage_) {
            if (Val(entry.PagerNo) == 0)
                continue;
            auto* row = new QTreeWidgetItem;
            row->setText(0, ToQString(entry.PagerNo));
            row->setText(1, ToQString(entry.UserName));
            row->setText(2, ToQString(entry.TypeID));
            lvwSelectedUsers->addTopLevelItem(row);
        }
        txtMessage->setPlainText(ToQString(lastPage_.front().Message));
    }
    keepSelectedUsersSorted();
    AutoSizeSelectedUsersColumns();
}

// ---- One page -----------------------------------------------------------------------

bool KS_MainForm::SendPageToPager(PageRequest& request)
{
    LinkConversation conversation;
    // A page from a timer (a scheduled page, the cover page) shows the
    // operator, here and in the windows opened from here, that the console is
    // busy rather than ignoring the clicks.
    ClosedToOperator closed(*this, true);
    DoEvents();
    const bool carriesText = request.Kind == PageRequest::kPage || request.Kind == PageRequest::kCoverPage;
    ReportStatus("Sending page to pager " + request.PagerNo + " ...");
    WaitTicks(40);
    if (carriesText && request.IsVoice)
        return false; // the voice path is not part of this line's traffic
    // A closed port is told once; it is no unit that might answer a later probe.
    if (LinkPortClosed()) {
        ShowLinkCommError();
        return false;
    }

    // No control character rides in a page: a CR-LF is one space, as the
    // pagers show a line break, and every other one a space of its own.
    const std::string text = BlankControlChars(ReplaceLineBreaks(carriesText ? request.Message : std::string(), " "));
    bool sent = false;
    for (int attempt = 0; attempt < 2 && !sent && !ExitRequested(); ++attempt) {
        if (!IsLinkResponding())
            continue;
        std::string reply;
        sent = SendLinkCommand("P", request.PagerNo + text, true, 0, reply, true, 3);
    }

    if (sent) {
        ReportStatus("Page sent !");
    } else if (IsLinkResponding()) {
        ReportStatus("Page rejected !", true);
    } else {
        for (int round = 0; round < 2 && !ExitRequested(); ++round) {
            ShowCannotSendPagesNotice(true);
            DoEvents();
            if (IsLinkResponding(100))
                break;
        }
    }
    WaitTicks(15);
    ReportStatus(kIdleText);
    DoEvents();
    return sent;
}

// ---- Sign-board pages -----------------------------------------------------------------

bool KS_MainForm::SendSBPage(std::int16_t sbMessageNo, std::int16_t sbCommand)
{
    if (LinkConversation::ConversationActive() && !sendingBatch_)
        return false;
    if (gConnectionType == 2 && !gModemConnected) {
        ShowLinkCommError();
        return false;
    }
    if (lvwSelectedUsers->topLevelItemCount() == 0 || sendingBatch_) {
        ReportStatus("No users / pagers were selected !", true, 1);
        WaitTicks(10);
        ReportStatus(kIdleText);
        return false;
    }
    ReportStatus("Sending the page ...");

    SignBoardMessage message;
    message.Text.clear();
    const std::string path = DataFilePath("SBMessages.DBS");
    if (FileExists(path)) {
        const FileError error = ReadRecordAt(path, sbMessageNo, message);
        if (error == FileError::PathOrAccess) {
            ShowMessage(FileAccessMessage(path), kButtonsOk, kAnswerOk, kIconCritical);
            return false;
        }
        if (error != FileError::None)
            message = SignBoardMessage{};
    }

    PageRequest request;
    request.Kind = PageRequest::kPage;
    request.Message = StoredSBPageText(message, sbCommand);

    FlagScope sending(sendingBatch_);
    LinkConversation conversation;
    lockSelection(true);
    while (lvwSelectedUsers->topLevelItemCount() > 0 && !ExitRequested()) {
        lvwSelectedUsers->clearSelection();
        lvwSelectedUsers->topLevelItem(0)->setSelected(true);
        request.SetPagerNo(FromQString(lvwSelectedUsers->topLevelItem(0)->text(0)));
        SendPageToPager(request);
        delete lvwSelectedUsers->takeTopLevelItem(0);
        AutoSizeSelectedUsersColumns();
        DoEvents();
    }
    lockSelection(false);
    ReportStatus(kIdleText);
    return true;
}

// ---- Timers -------------------------------------------------------------------------------

void KS_MainForm::tmrCheckCOMPort_Timer()
{
    PollEncoderReply();
}

void KS_MainForm::tmrSeconds_Timer()
{
    // Noting what has come due touches no line, so it goes on inside another
    // conversation's wait; the sending waits until the line is free.
    noteDueEntries();
    if (scanningSchedule_ || LinkConversation::ConversationActive() || ExitRequested())
        return;
    FlagScope scanning(scanningSchedule_);
    sendDueEntries();
    runDueClockSetting();
}

void KS_MainForm::noteDueEntries()
{
    if (gSchedule.size() < 700)
        return;
    const QDateTime now = GetLocalTime();
    const int day = now.date().dayOfWeek(); // Monday is 1
    const std::string nowText = FormatTimeAmPm(now.time().hour(), now.time().minute());
    for (int i = (day - 1) * 100; i < day * 100; ++i) {
        ScheduleEntry& entry = gSchedule[static_cast<std::size_t>(i)];
        if (entry.Active != -1 || Val(entry.Pager) <= 0)
            continue;
        // An entry goes out once on its date: a clock set back over its minute,
        // by a time sync or the end of summer time, must not page twice. Its
        // next date re-arms it, so one at 11:59 PM is ready again a week later
        // although its day's scans never come after it.
        const auto noted = notedOn_.find(i);
        if (entry.Fired != 0 && (noted == notedOn_.end() || noted->second != now.date()))
            entry.Fired = 0;
        if (nowText == entry.Time) {
            if (entry.Fired == 0 && dueEntries_.insert(i).second)
                notedOn_[i] = now.date();
            continue;
        }
        // A damaged time must not silence the rest of the day: that entry is
        // passed over, and the operator is told once rather than every second.
        if (!readableTimeOfDay(entry.Time)) {
            if (toldUnreadable_.insert(i).second)
                ReportStatus("Scheduled page " + ZeroPad(i % 100 + 1, 3) + " of " + FromQString(QLocale::c().dayName(day))
                                 + " is skipped: its time cannot be read.",
                             true, 0);
            continue;
        }
        toldUnreadable_.erase(i);
    }
}

void KS_MainForm::sendDueEntries()
{
    // The schedule window may have switched an entry off or emptied it while it waited.
    const auto stillWanted = [](int i) {
        const ScheduleEntry& entry = gSchedule[static_cast<std::size_t>(i)];
        return entry.Active == -1 && Val(entry.Pager) > 0;
    };
    // In index order, however late; an entry stays due until it has gone
    // out, so a scan inside its page's wait cannot send it a second time.
    while (!dueEntries_.empty() && !ExitChosen()) {
        const int i = *dueEntries_.begin();
        if (stillWanted(i) && gDeviceWindowsOpen > 0) {
            // A device programmer has the port, so a page now would go to the
            // device: the due pages wait for its window to close.
            for (int waiting : dueEntries_)
                if (stillWanted(waiting) && toldWaiting_.insert(waiting).second)
                    ReportStatus("Scheduled page to " + gSchedule[static_cast<std::size_t>(waiting)].Pager
                                 + " waits: a device programmer is using the port.");
            return;
        }
        if (stillWanted(i)) {
            const ScheduleEntry entry = gSchedule[static_cast<std::size_t>(i)];
            PageRequest request;
            request.SetPagerNo(entry.Pager);
            request.Kind = PageRequest::kPage;
            request.IsVoice = false;
            request.Message = entry.AlertType != 10 ? std::to_string(entry.AlertType) : Trim(entry.Message);
            SendPageToPager(request);
            // Cut short by Exit, the page is not known to have gone out.
            if (ExitChosen())
                return;
        }
        gSchedule[static_cast<std::size_t>(i)].Fired = -1;
        dueEntries_.erase(i);
        toldWaiting_.erase(i);
    }
}

void KS_MainForm::tmrMinutes_Timer()
{
    minuteCounter_ = minuteCounter_ == 2147483647 ? 0 : minuteCounter_ + 1;
    if (minuteCounter_ % 60 == 0 && autoTimeSetMarked())
        clockSettingDue_ = true;
    runDueClockSetting();
}

bool KS_MainForm::autoTimeSetMarked() const
{
    return mnuSetupTimeOptions.size() > 1 && mnuSetupTimeOptions[1]->isChecked();
}

void KS_MainForm::runDueClockSetting()
{
    // An hour's setting that met a busy line or a device programmer holding
    // the port runs once, at the first moment both are free.
    if (!clockSettingDue_ || LinkConversation::ConversationActive() || gDeviceWindowsOpen > 0 || ExitRequested())
        return;
    clockSettingDue_ = false;
    if (autoTimeSetMarked())
        SendDateTimeToEncoder();
}
