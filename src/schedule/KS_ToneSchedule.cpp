#include "KS_ToneSchedule.h"

#include <QApplication>
#include <QLocale>
#include <algorithm>

#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_Registry.h"
#include "KS_String.h"

namespace {

constexpr std::string_view kOptionName = "Tone Schedule";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string digit(int value) { return std::string(1, static_cast<char>('0' + std::clamp(value, 0, 9))); }

// A stored number field that may hold anything: its value, kept within what the field's digits can carry.
long long numberIn(std::string_view text, long long highest)
{
    return std::clamp(static_cast<long long>(Val(text)), 0LL, highest);
}

bool activationEvent(const ToneScheduleEvent& event, std::string_view modelLetter)
{
    return AlertNumberCode(std::to_string(event.AlertType), false) == "10" && EncoderSupportsToneActions(modelLetter);
}

std::vector<ToneScheduleEvent> defaultWeek()
{
    std::vector<ToneScheduleEvent> week;
    week.reserve(kToneScheduleEvents);
    for (int i = 0; i < kToneScheduleEvents; ++i)
        week.push_back(DefaultToneScheduleEvent(i % kToneEventsPerDay + 1));
    return week;
}

// A new week for ToneGen.TGS in the data folder; the old file is kept as ToneGen.BAK.
bool replaceDataFolderSchedule(const std::vector<ToneScheduleEvent>& week)
{
    const std::string path = DataFilePath("ToneGen.TGS");
    if (const FileError error = ReplaceRecords(path, week); error != FileError::None) {
        ShowScheduleFileError(error, path);
        return false;
    }
    gToneGenFile = path;
    gToneSchedule = week;
    return true;
}

std::string twoDigits(int value) { return ZeroPad(std::clamp(value, 0, 99), 2); }

// The slot whose week the schedule file does not hold; 0 when it holds the active slot's.
int unreadSlot = 0;

void showUnreadSlot()
{
    const std::string slot = std::to_string(unreadSlot);
    ShowMessage("The schedule of slot " + slot + " could not be read from the " + gEncoderModelName
                    + ". The list shows the schedule read before, which will not be uploaded until the schedule of "
                      "slot "
                    + slot + " has been downloaded.",
                kButtonsOk, kAnswerOk, kIconExclamation);
}

// An event the upload cannot send as the file holds it: the upload stops
// there, naming the event, what is wrong with it and how far it went.
void showUnsendableEvent(int index, const ToneScheduleEvent& event, const std::string& fault)
{
    static constexpr const char* kDays[] = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                            "Friday", "Saturday", "Sunday"};
    ShowMessage("Event " + ZeroPad(static_cast<long long>(Val(event.EventNo)), 2) + " of "
                    + kDays[index / kToneEventsPerDay] + " in the schedule file " + PathInText(gToneGenFile) + " "
                    + fault + ". The upload was stopped there after " + std::to_string(index)
                    + " events. Please update the event and upload again.",
                kButtonsOk, kAnswerOk, kIconExclamation);
}

} // namespace

bool ToneAlertTypeSendable(std::uint8_t alertType) { return alertType <= 9 || !IsControlChar(alertType); }

void ShowScheduleFileError(FileError error, const std::string& path)
{
    ShowMessage(FileUpdateErrorMessage(error, path), kButtonsOk, kAnswerOk, kIconCritical);
}

ToneZonePlacement ToneZonePlacementFor(std::string_view family, std::string_view modelLetter)
{
    const bool toneFamily = family == "HPA-XXX" || family == "HTG-XXX";
    if (!toneFamily && !EncoderSupportsToneChannels(modelLetter))
        return ToneZonePlacement::AfterTime;
    if (EncoderSupportsToneChannels(modelLetter) || (modelLetter == "K" && family == "HTG-XXX"))
        return ToneZonePlacement::AfterActive;
    return ToneZonePlacement::None;
}

ToneZonePlacement CurrentToneZonePlacement() { return ToneZonePlacementFor(gEncoderFamily, gEncoderModelLetter); }

int ToneZoneHighest(ToneZonePlacement placement)
{
    switch (placement) {
    case ToneZonePlacement::AfterTime:
        return 999;
    case ToneZonePlacement::AfterActive:
        return 99;
    case ToneZonePlacement::None:
        break;
    }
    return -1;
}

bool ToneZoneFits(double zone, ToneZonePlacement placement)
{
    const int highest = ToneZoneHighest(placement);
    return highest < 0 || zone <= highest;
}

std::string ToneDayDigit(int index)
{
    const int day = index / kToneEventsPerDay;
    return day == 6 ? "1" : digit(day + 2);
}

std::string ToneDayDigitOfWeekday(int weekday) { return ToneDayDigit((weekday - 1) * kToneEventsPerDay); }

bool ParseToneClockTime(std::string_view text, int& hours, int& minutes)
{
    const std::string trimmed = Trim(text);
    const std::string_view t = trimmed;
    const std::size_t colon = t.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || t.size() < colon + 3)
        return false;
    const std::string_view h = t.substr(0, colon);
    const std::string_view m = t.substr(colon + 1, 2);
    if (!std::all_of(h.begin(), h.end(), isDigit) || !std::all_of(m.begin(), m.end(), isDigit))
        return false;
    int hour = static_cast<int>(Val(h));
    const int minute = static_cast<int>(Val(m));
    const std::string suffix = UpperCase(Trim(t.substr(colon + 3)));
    if (suffix.empty()) {
        if (hour > 23)
            return false;
    } else if (suffix == "AM" || suffix == "PM") {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + (suffix == "PM" ? 12 : 0);
    } else {
        return false;
    }
    if (minute > 59)
        return false;
    hours = hour;
    minutes = minute;
    return true;
}

std::string ToneEventString(int index, const ToneScheduleEvent& event, std::string_view family,
                            std::string_view modelLetter)
{
    const ToneZonePlacement placement = ToneZonePlacementFor(family, modelLetter);
    const bool activation = activationEvent(event, modelLetter);
    const std::string seconds = ZeroPad(std::clamp<int>(event.Seconds, 0, 999), 3);

    std::string text = ToneDayDigit(index);
    text += ZeroPad(numberIn(event.EventNo, 99), 2);
    int hours = 0;
    int minutes = 0;
    ParseToneClockTime(event.Time, hours, minutes);
    text += twoDigits(hours) + twoDigits(minutes);
    // The unit reads this zone back as three digits, so it is sent as three digits
    // whatever the dialog or an older release left in the field's third character.
    if (placement == ToneZonePlacement::AfterTime)
        text += ZeroPad(numberIn(event.Zone, 999), 3);
    text += event.AlertType <= 9 ? digit(event.AlertType) : std::string(1, static_cast<char>(event.AlertType));

    if (event.AlertType == 9) {
        const int countdown = std::clamp<int>(event.Countdown, 0, 99);
        text += digit(countdown % 10) + digit(countdown / 10);
    } else if (activation) {
        text += event.Action == 2 ? "10" : (event.Action == 1 ? "1" : "0") + seconds.substr(0, 1);
    } else {
        text += digit(event.AlertLength) + digit(event.AlertLevel);
    }
    text += event.Active != 0 ? "Y" : "N";
    if (placement == ToneZonePlacement::AfterActive)
        text += ZeroPad(numberIn(event.Zone, 99), 2);
    if (activation)
        text += event.Action == 2 ? "00" : seconds.substr(1, 2);
    else
        text += digit(event.Repeat) + digit(event.Delay);
    return text;
}

std::string ToneEventString(int index, const ToneScheduleEvent& event)
{
    return ToneEventString(index, event, gEncoderFamily, gEncoderModelLetter);
}

bool IsToneEventComplete(const ToneScheduleEvent& event)
{
    int hours = 0;
    int minutes = 0;
    const double number = Val(event.EventNo);
    return number >= 1 && number <= kToneEventsPerDay && ParseToneClockTime(event.Time, hours, minutes);
}

// ---- Conversations -------------------------------------------------------------------

int ReadActiveToneSlot()
{
    const LinkConversation conversation;
    const std::string value = QueryLink("?A", "", {.expectedLength = 1, .noSuffix = true, .ticks = 40, .attempts = 3});
    const int slot = value.size() == 1 && isDigit(value[0]) ? value[0] - '0' : 0;
    return slot >= 1 && slot <= 4 ? slot : 0;
}

bool SetActiveSlotOnDevice(int slot)
{
    const LinkConversation conversation;
    std::string reply;
    if (!IsLinkResponding() || !SendLinkCommand("PA", std::to_string(slot), true, 0, reply, true, 3)) {
        QApplication::beep();
        return false;
    }
    return true;
}

void ProbeToneEvents()
{
    const LinkConversation conversation;
    gToneEventsSupported = false;
    std::int16_t length = 17;
    std::int32_t ticks = 0;
    switch (CurrentToneZonePlacement()) {
    case ToneZonePlacement::AfterActive:
        length = 16;
        ticks = 60;
        break;
    case ToneZonePlacement::None: length = 14; break;
    case ToneZonePlacement::AfterTime: break;
    }
    gToneEventsSupported = !QueryLink(
        "?E", "101", {.expectedLength = length, .noSuffix = true, .ticks = ticks, .pokeOnTimeout = true, .attempts = 3})
                                .empty();
}

bool UploadToneSchedule(const ToneUploadProgress& afterEvent)
{
    if (ToneUploadRefused())
        return false;
    const LinkConversation conversation;
    DetectEncoder();
    if (!IsLinkResponding()) {
        ShowLinkCommError();
        return false;
    }
    // Whichever window asks, a unit without a tone generator is not sent 336 lines it would refuse.
    if (!gToneGenSupported) {
        ShowOptionNotUpdatedWarning(kOptionName);
        return false;
    }
    if (afterEvent)
        afterEvent(0, kToneScheduleEvents);
    if (!FileExists(gToneGenFile)) {
        ShowMessagesFileMissingError();
        return false;
    }
    std::vector<ToneScheduleEvent> records;
    if (const FileError error = ReadRecords(gToneGenFile, records); error != FileError::None) {
        ShowScheduleFileError(error, gToneGenFile);
        return false;
    }
    // A short file's last days were never written: they go as the default
    // events the window lists for them, never as what an earlier file left here.
    gToneSchedule = defaultWeek();
    const auto count = static_cast<int>(std::min<std::size_t>(records.size(), kToneScheduleEvents));
    std::copy_n(records.begin(), count, gToneSchedule.begin());

    int unread = 0;
    for (int i = 0; i < kToneScheduleEvents; ++i) {
        const ToneScheduleEvent& event = gToneSchedule[static_cast<std::size_t>(i)];
        // An event the unit never sent keeps the unit's own: nothing made up goes over it.
        if (IsToneEventUnread(event)) {
            ++unread;
            continue;
        }
        // The device gets what the file holds, never an event made up of zero bytes.
        if (!IsToneEventComplete(event)) {
            ShowPartialUploadWarning(static_cast<std::int16_t>(i - unread));
            return true;
        }
        // A control character in the alert type byte (a damaged file, never
        // the event dialog) would travel raw inside the line and end or break
        // it on the unit: the upload stops at that event instead.
        if (!ToneAlertTypeSendable(event.AlertType)) {
            showUnsendableEvent(i, event, "holds no valid alert type; the file may be damaged");
            return false;
        }
        if (const ToneZonePlacement zones = CurrentToneZonePlacement(); !ToneZoneFits(Val(event.Zone), zones)) {
            showUnsendableEvent(i, event, "has zone " + Trim(event.Zone) + ", which the " + gEncoderModelName
                                              + " cannot take: its zones go up to "
                                              + std::to_string(ToneZoneHighest(zones)));
            return false;
        }
        std::string reply;
        if (!SendLinkCommand("PE", ToneEventString(i, event), true, 60, reply, true, 3)) {
            if (!ExitRequested())
                ShowLinkCommError();
            return false;
        }
        if (afterEvent)
            afterEvent(i + 1, kToneScheduleEvents);
    }
    if (records.size() > static_cast<std::size_t>(kToneScheduleEvents) || unread > 0)
        ShowPartialUploadWarning(static_cast<std::int16_t>(kToneScheduleEvents - unread));
    return true;
}

DeviceFetch FetchEachItem(int count, const std::function<bool(int index)>& fetch)
{
    DeviceFetch outcome;
    bool askAgain = true;
    for (int i = 0; i < count; ++i) {
        if (ExitRequested()) {
            outcome.cancelled = true;
            return outcome;
        }
        // A download with an item missing can never be whole: the items after
        // it are not asked for, or a unit that has gone silent would hold the
        // operator behind the please-wait box for every one of them.
        while (!fetch(i)) {
            if (ExitRequested()) {
                outcome.cancelled = true;
                return outcome;
            }
            const bool retry = askAgain && AskRetryDownload() == kAnswerYes;
            askAgain = askAgain && !gMessageOption;
            if (!retry) {
                outcome.missing = i;
                return outcome;
            }
        }
    }
    return outcome;
}

void ReportIncompleteFetch(const DeviceFetch& fetch, int total, const char* item, const std::string& file)
{
    if (fetch.Whole() || fetch.cancelled)
        return;
    ShowMessage("The " + gEncoderModelName + " did not send " + item + " " + std::to_string(fetch.missing + 1)
                    + " of the " + std::to_string(total) + " " + item + "s. The download was stopped there, and the "
                    + "file " + PathInText(file) + " was left as it is.",
                kButtonsOk, kAnswerOk, kIconExclamation);
}

bool FetchToneWeekFromDevice(std::vector<ToneScheduleEvent>& week)
{
    const LinkConversation conversation;
    if (!IsLinkResponding()) {
        ShowLinkCommError();
        return false;
    }
    DetectEncoder();
    if (!gToneGenSupported) {
        ShowOptionNotUpdatedWarning(kOptionName);
        return false;
    }
    // The answer's length depends on it, and the window may have opened while the unit was away.
    ProbeToneEvents();
    std::vector<ToneScheduleEvent> fetched = defaultWeek();
    ShowLoadMessage("Downloading tone schedule from " + gEncoderModelName + ". Please wait...");
    const ToneEventReplyShape shape = ToneEventReplyShapeForUnit();
    const DeviceFetch fetch = FetchEachItem(kToneScheduleEvents, [&](int i) {
        const int event = i % kToneEventsPerDay + 1;
        ReportStatus("Downloading Scheduled Event " + std::to_string(i + 1));
        const std::string answer = QueryLink("?E", ToneDayDigit(i) + ZeroPad(event, 2),
            {.expectedLength = shape.length, .noSuffix = true, .ticks = shape.ticks, .pokeOnTimeout = true, .attempts = 3});
        return !answer.empty() && ParseToneEventAnswer(answer, event, fetched[static_cast<std::size_t>(i)]);
    });
    ReportStatus("Ready");
    UnloadLoadMessage();
    ReportIncompleteFetch(fetch, kToneScheduleEvents, "event", DataFilePath("ToneGen.TGS"));
    if (!fetch.Whole())
        return false;
    week = std::move(fetched);
    return true;
}

bool ResetToneScheduleFile()
{
    std::vector<ToneScheduleEvent> week;
    if (!FetchToneWeekFromDevice(week) || !replaceDataFolderSchedule(week))
        return false;
    unreadSlot = 0;
    return true;
}

void MarkToneSlotUnread(int slot)
{
    unreadSlot = slot;
    showUnreadSlot();
}

bool ToneUploadRefused()
{
    if (unreadSlot != 0)
        showUnreadSlot();
    return unreadSlot != 0;
}

void ForgetUnreadToneSlot() { unreadSlot = 0; }

bool CreateDefaultToneScheduleFile() { return replaceDataFolderSchedule(defaultWeek()); }

FileError StoreToneEvents(int index, const std::vector<ToneScheduleEvent>& events)
{
    if (index < 0 || index + static_cast<int>(events.size()) > kToneScheduleEvents)
        return FileError::Other;
    if (gToneSchedule.size() != static_cast<std::size_t>(kToneScheduleEvents))
        gToneSchedule.assign(kToneScheduleEvents, ToneScheduleEvent{});
    const RecordFile file(gToneGenFile, ToneScheduleEvent::kLength);
    const auto held = static_cast<int>(std::min<std::int64_t>(file.Count(), kToneScheduleEvents));
    const int first = std::min(held, index);
    // A file missing (a cancelled download wrote none) or short gets the
    // whole week the window holds, read events as read and the rest unread:
    // never a default event where the list showed the unit's own.
    const int end = held < kToneScheduleEvents ? kToneScheduleEvents : index + static_cast<int>(events.size());
    std::vector<ToneScheduleEvent> run;
    for (int i = first; i < end; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (i >= index && i < index + static_cast<int>(events.size()))
            run.push_back(events[static_cast<std::size_t>(i - index)]);
        else if (IsToneEventComplete(gToneSchedule[at]) || IsToneEventUnread(gToneSchedule[at]))
            run.push_back(gToneSchedule[at]);
        else
            run.push_back(DefaultToneScheduleEvent(i % kToneEventsPerDay + 1));
    }
    std::string bytes;
    for (const ToneScheduleEvent& event : run)
        bytes += EncodeRecord(event);
    const FileError error = file.WriteRecords(first + 1, bytes);
    if (error == FileError::None)
        std::copy(run.begin(), run.end(), gToneSchedule.begin() + first);
    return error;
}

bool CopyToneWeekDay(int sourceWeekday, int targetWeekday)
{
    if (gToneSchedule.size() != static_cast<std::size_t>(kToneScheduleEvents) || sourceWeekday < 1
        || sourceWeekday > 7 || targetWeekday < 1 || targetWeekday > 7)
        return false;
    const int source = (sourceWeekday - 1) * kToneEventsPerDay;
    const int target = (targetWeekday - 1) * kToneEventsPerDay;
    std::vector<ToneScheduleEvent> day;
    for (int e = 0; e < kToneEventsPerDay; ++e) {
        ToneScheduleEvent to = gToneSchedule[static_cast<std::size_t>(source + e)];
        // The spare bytes stay the target's own.
        to.Reserved = gToneSchedule[static_cast<std::size_t>(target + e)].Reserved;
        day.push_back(std::move(to));
    }
    if (const FileError error = StoreToneEvents(target, day); error != FileError::None) {
        ShowScheduleFileError(error, gToneGenFile);
        return false;
    }
    return true;
}

// ---- The device clock ----------------------------------------------------------

std::optional<QDateTime> ParseOneCommandClockLine(std::string_view line, DeviceClockRule rule)
{
    const bool weekly = rule == DeviceClockRule::Weekly;
    if (line.size() != 15 || !std::all_of(line.begin(), line.begin() + (weekly ? 14 : 12), isDigit))
        return std::nullopt;
    if (weekly) {
        int sum = 0;
        for (std::size_t i = 0; i < 13; ++i)
            sum += line[i] - '0';
        if (line[14] != '\r' || sum % 10 != line[13] - '0')
            return std::nullopt;
    }
    const auto two = [&](std::size_t at) { return static_cast<int>(Val(line.substr(at, 2))); };
    const QDate date(2000 + two(10), two(6), two(8));
    const QTime time(two(0), two(2), two(4));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

std::optional<QDate> ParseDateReplyLine(std::string_view line)
{
    const std::size_t star = line.find('*');
    // p, the star's position counted from 1, must leave room for six digits before it.
    if (star == std::string_view::npos || star + 1 < 8)
        return std::nullopt;
    const std::string_view digits = line.substr(star - 7, 6);
    if (!std::all_of(digits.begin(), digits.end(), isDigit))
        return std::nullopt;
    const QDate date(2000 + static_cast<int>(Val(digits.substr(4, 2))), static_cast<int>(Val(digits.substr(0, 2))),
                     static_cast<int>(Val(digits.substr(2, 2))));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<TimeOfDayReading> ParseTimeReplyLine(std::string_view line)
{
    const std::size_t star = line.find('*');
    if (star == std::string_view::npos || star + 1 < 5)
        return std::nullopt;
    const bool withSeconds = star + 1 > 5;
    const std::string_view digits = line.substr(0, withSeconds ? 6 : 4);
    if (digits.size() < (withSeconds ? 6u : 4u) || !std::all_of(digits.begin(), digits.end(), isDigit))
        return std::nullopt;
    const QTime time(static_cast<int>(Val(digits.substr(0, 2))), static_cast<int>(Val(digits.substr(2, 2))),
                     withSeconds ? static_cast<int>(Val(digits.substr(4, 2))) : 0);
    if (!time.isValid())
        return std::nullopt;
    return TimeOfDayReading{time, withSeconds};
}

std::string FormatDeviceDateTime(const QDate& date, const std::optional<TimeOfDayReading>& time)
{
    const QLocale c = QLocale::c();
    QString text = c.toString(date, QStringLiteral("dddd")) + QStringLiteral(", ")
        + c.toString(date, QStringLiteral("MM/dd/yy"));
    if (time)
        text += QStringLiteral(" ")
            + c.toString(time->time, time->withSeconds ? QStringLiteral("hh:mm:ss AP") : QStringLiteral("hh:mm AP"));
    return FromQString(text);
}

std::string ReadDeviceDateTimeText(DeviceClockRule rule)
{
    const LinkConversation conversation;
    if (!IsLinkResponding())
        return "N/A";
    std::string reply;
    if (EncoderSupportsDateTimeCommands(gEncoderModelLetter)) {
        // The answer carries no "*", so each attempt waits its full time; the
        // first good line ends the asking.
        for (int attempt = 0; attempt < 3; ++attempt) {
            QueryLink("QT", "", {.expectedLength = 13, .noSuffix = true, .ticks = 40, .reply = &reply});
            if (const auto clock = ParseOneCommandClockLine(reply, rule))
                return FormatDeviceDateTime(clock->date(),
                                            TimeOfDayReading{clock->time(), rule == DeviceClockRule::Calendar});
        }
        return "N/A";
    }
    if (QueryLink("?D", "", {.expectedLength = 7, .noSuffix = true, .ticks = 40, .attempts = 3, .reply = &reply})
            .empty())
        QueryLink("?D", "", {.expectedLength = 7, .noSuffix = true, .ticks = 40, .attempts = 3, .reply = &reply});
    const auto date = ParseDateReplyLine(reply);
    if (!date)
        return "N/A";
    if (QueryLink("?T", "", {.expectedLength = 6, .noSuffix = true, .ticks = 40, .attempts = 3, .reply = &reply})
            .empty())
        QueryLink("?T", "", {.expectedLength = 4, .noSuffix = true, .ticks = 40, .attempts = 3, .reply = &reply});
    return FormatDeviceDateTime(*date, ParseTimeReplyLine(reply));
}

// ---- Test tone ----------------------------------------------------------------------

LinkLine TestToneLine(const TestToneEvent& event, std::string_view family, std::string_view modelLetter)
{
    const std::string alert = std::to_string(event.alertNumber);
    const std::string tail = event.length + event.level + event.delayCode + event.repeatCode;
    const bool actionUnit = modelLetter == "X" || modelLetter == "Y" || modelLetter == "R";
    std::string data;
    if (family == "QX8XXX")
        data = event.calendar ? std::string() : event.dayDigit + event.eventNo;
    else if (family == "HPA-XXX" || family == "HTG-XXX")
        data = alert + tail;
    else if (EncoderSupportsToneChannels(modelLetter) && actionUnit)
        data = ZeroPad(event.alertNumber, 2) + tail + (event.calendar ? "" : "0") + event.zone;
    else if (EncoderSupportsToneChannels(modelLetter) && event.alertNumber < 10)
        data = alert + event.length + event.level + "0" + event.zone + event.delayCode + event.repeatCode;
    else if (EncoderSupportsToneChannels(modelLetter))
        data = alert + tail + "0" + event.zone;
    const std::string command = actionUnit || alert.size() == 2 ? "GM" : "GT";
    return {command, data};
}

bool SendTestTone(const TestToneEvent& event)
{
    const LinkConversation conversation;
    if (!IsLinkResponding() || !(event.calendar ? gToneCalendarSupported : gToneGenSupported))
        return false;
    const LinkLine line = TestToneLine(event, gEncoderFamily, gEncoderModelLetter);
    if (line.data.empty())
        return false;
    std::string reply;
    return SendLinkCommand(line.command, line.data, true, 0, reply, true, 3);
}
