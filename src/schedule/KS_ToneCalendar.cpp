#include "KS_ToneCalendar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_ToneSchedule.h"

namespace {

constexpr std::string_view kOptionName = "Tone Schedule Calendar";
constexpr int kPerDay = kCalendarEventsPerBlock;

std::string digits(long long value, int width, long long highest)
{
    return ZeroPad(std::clamp(value, 0LL, highest), width);
}

std::string encodeEvents(std::span<const CalendarEvent> events)
{
    std::string bytes;
    bytes.reserve(events.size() * CalendarEvent::kLength);
    for (const CalendarEvent& event : events)
        bytes += EncodeRecord(event);
    return bytes;
}

int heldDays(const std::vector<CalendarEvent>& events)
{
    return static_cast<int>((events.size() + kPerDay - 1) / kPerDay);
}

std::span<CalendarEvent> dayOf(std::vector<CalendarEvent>& events, int day)
{
    const auto from = static_cast<std::size_t>(day - 1) * kPerDay;
    if (day < 1 || from >= events.size())
        return {};
    return std::span<CalendarEvent>(events).subspan(from, std::min<std::size_t>(kPerDay, events.size() - from));
}

// Days firstDay to firstDay + count - 1, which the caller has checked the events hold.
std::vector<CalendarEvent> copyDays(const std::vector<CalendarEvent>& events, int firstDay, int count)
{
    const auto from = events.begin() + static_cast<std::ptrdiff_t>(firstDay - 1) * kPerDay;
    return std::vector<CalendarEvent>(from, from + static_cast<std::ptrdiff_t>(count) * kPerDay);
}

std::string path() { return gToneGenCalendarFile; }

void showReadError(FileError error) { ShowMessage(FileErrorMessage(error), kButtonsOk, kAnswerOk, kIconCritical); }

void showShortCalendar(const std::string& file, int days)
{
    ShowMessage("The calendar file " + PathInText(file) + " holds only " + std::to_string(days) + " days. It was left as it is.",
                kButtonsOk, kAnswerOk, kIconExclamation);
}

// The whole calendar, checked: a file that cannot be read or holds no
// calendar is reported and nothing is done with it.
bool loadCalendar(const std::string& file, std::vector<CalendarEvent>& events, int neededDays = 0)
{
    QDate start;
    if (!CheckCalendarFile(file, start))
        return false;
    if (const FileError error = ReadCalendarDays(file, 1, kCalendarDayBlocks, events); error != FileError::None) {
        showReadError(error);
        return false;
    }
    if (static_cast<int>(events.size()) < neededDays * kPerDay) {
        showShortCalendar(file, static_cast<int>(events.size()) / kPerDay);
        return false;
    }
    return true;
}

FileError writeDays(const std::string& file, int firstDay, std::span<const CalendarEvent> events)
{
    return RecordFile(file, CalendarEvent::kLength)
        .WriteRecords(static_cast<std::int64_t>(firstDay - 1) * kPerDay + 1, encodeEvents(events));
}

bool reportWrite(FileError error, const std::string& file)
{
    if (error != FileError::None)
        ShowScheduleFileError(error, file);
    return error == FileError::None;
}

// A rebuilt calendar replaces the file: the new one is written whole to its
// .TMP beside it and renamed over it, after the old one was copied to the
// data folder's ToneGenCalendar.BAK. Copying, not renaming, keeps a calendar
// kept on another filesystem in place until the new one is complete.
FileError replaceCalendar(const std::string& file, const std::string& bytes)
{
    std::error_code error;
    std::filesystem::copy_file(file, DataFilePath("ToneGenCalendar.BAK"),
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        return FileError::PathOrAccess;
    const std::string tmp = CompanionPath(file, "TMP");
    if (const FileError written = WriteTmpFile(tmp, bytes); written != FileError::None)
        return written;
    if (std::rename(tmp.c_str(), file.c_str()) != 0) {
        std::remove(tmp.c_str());
        return FileError::Other;
    }
    return FileError::None;
}

// The zone travels as three digits: one beyond them (a damaged file) would
// arrive as another zone, so the upload stops at its event, named, after the
// days sent before it.
bool zonesSendable(std::span<const CalendarEvent> day, int perDay, const std::string& file, int daysSent)
{
    const std::size_t count = std::min(day.size(), static_cast<std::size_t>(perDay));
    for (std::size_t k = 0; k < count; ++k) {
        const int zone = day[k].Zone;
        if (zone >= 0 && zone <= 999)
            continue;
        ShowMessage("Event " + ZeroPad(static_cast<long long>(k + 1), 2) + " of "
                        + CalendarDateText(DateFromSerial(day[k].EventDate)) + " in the calendar file "
                        + PathInText(file) + " has zone " + std::to_string(zone) + ", which the " + gEncoderModelName
                        + " cannot take: its zones go up to 999. The upload was stopped there after "
                        + std::to_string(daysSent) + (daysSent == 1 ? " day" : " days")
                        + ". Please update the event and upload again.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
        return false;
    }
    return true;
}

// Where a day of a rebuilt calendar comes from: an old day (1-based), or 0 for a new, empty day.
using DaySource = std::function<int(const QDate& date, int newDay)>;

// The new calendar from first to last, each day taken from its source and
// dated with its new date, then empty undated blocks up to padTo days.
std::string rebuildCalendar(std::vector<CalendarEvent>& old, const QDate& first, const QDate& last,
                            const DaySource& source, int padTo)
{
    std::vector<CalendarEvent> fresh;
    const auto days = static_cast<int>(first.daysTo(last)) + 1;
    fresh.reserve(static_cast<std::size_t>(std::max(days, padTo)) * kPerDay);
    for (int d = 1; d <= days; ++d) {
        const QDate date = first.addDays(d - 1);
        const double serial = SerialFromDate(date);
        const std::span<CalendarEvent> from = dayOf(old, source(date, d));
        for (int e = 0; e < kPerDay; ++e) {
            if (static_cast<std::size_t>(e) < from.size()) {
                CalendarEvent event = from[static_cast<std::size_t>(e)];
                event.EventDate = serial;
                fresh.push_back(event);
            } else {
                fresh.push_back(DefaultCalendarEvent(serial, e + 1));
            }
        }
    }
    for (int d = days; d < padTo; ++d)
        for (int e = 0; e < kPerDay; ++e)
            fresh.push_back(DefaultCalendarEvent(kEmptyBlockDate, e + 1));
    return encodeEvents(fresh);
}

} // namespace

// ---- Range and day string -----------------------------------------------------------------

int CalendarRange::TotalDays() const { return static_cast<int>(first.daysTo(last)) + 1; }
int CalendarRange::DayOf(const QDate& date) const { return static_cast<int>(first.daysTo(date)) + 1; }
bool CalendarRange::Contains(const QDate& date) const { return date.isValid() && date >= first && date <= last; }

CalendarRange CalendarRangeFrom(const QDate& start)
{
    const QDate first(start.year(), start.month(), 1);
    return {first, first.addYears(1).addDays(-1)};
}

QDate WeekStartOf(const QDate& date) { return date.addDays(-(date.dayOfWeek() % 7)); }
QDate WeekEndOf(const QDate& date) { return WeekStartOf(date).addDays(6); }

void CalendarEventClock(const CalendarEvent& event, int& hours, int& minutes)
{
    const double fraction = std::isfinite(event.Time) ? event.Time - std::floor(event.Time) : 0.0;
    const long long total = std::llround(fraction * 1440.0) % 1440;
    hours = static_cast<int>(total / 60);
    minutes = static_cast<int>(total % 60);
}

std::string CalendarDayString(std::span<const CalendarEvent> day, int eventsPerDay)
{
    const std::size_t count = std::min<std::size_t>({day.size(), static_cast<std::size_t>(kPerDay),
                                                     static_cast<std::size_t>(std::max(eventsPerDay, 0))});
    if (count == 0)
        return {};
    const QDate date = DateFromSerial(day[0].EventDate);
    std::string text = digits(date.month(), 2, 12) + digits(date.day(), 2, 31);
    for (std::size_t k = 0; k < count; ++k) {
        const CalendarEvent& e = day[k];
        int hours = 0;
        int minutes = 0;
        CalendarEventClock(e, hours, minutes);
        text += ZeroPad(hours, 2) + ZeroPad(minutes, 2);
        text += digits(e.Zone, 3, 999);
        text += digits(e.AlertType, 2, 99);
        // Every parameter is one character, so a stray value never shifts the events after it.
        const long long duration = std::max<long long>(e.Duration, 0);
        if (e.AlertType == 98)
            text += digits(duration / 60, 2, 99) + ZeroPad(duration % 60, 2);
        else if (e.AlertType == 99)
            text += e.Action == 2 ? "1000" : e.Action == 3 ? "0000" : "1" + digits(duration, 3, 999);
        else
            for (const std::uint8_t value : {e.AlertLength, e.AlertLevel, e.Repeat, e.Delay})
                text += digits(value, 1, 9);
        text += e.Active != 0 ? "Y" : "N";
    }
    return text + "*";
}

// ---- The file -----------------------------------------------------------------------------

FileError ReadCalendarDays(const std::string& file, int firstDay, int count, std::vector<CalendarEvent>& events)
{
    events.clear();
    std::string bytes;
    const FileError error = RecordFile(file, CalendarEvent::kLength)
                                .ReadRecords(static_cast<std::int64_t>(firstDay - 1) * kPerDay + 1,
                                             static_cast<std::int64_t>(count) * kPerDay, bytes);
    if (error != FileError::None)
        return error;
    events.reserve(bytes.size() / CalendarEvent::kLength);
    for (std::size_t at = 0; at + CalendarEvent::kLength <= bytes.size(); at += CalendarEvent::kLength)
        events.push_back(DecodeRecord<CalendarEvent>(std::string_view(bytes).substr(at, CalendarEvent::kLength)));
    return FileError::None;
}

FileError WriteCalendarEvent(const std::string& file, int day, int eventNo, const CalendarEvent& event)
{
    return RecordFile(file, CalendarEvent::kLength)
        .WriteRecord(static_cast<std::int64_t>(day - 1) * kPerDay + eventNo, EncodeRecord(event));
}

bool CheckCalendarFile(const std::string& file, QDate& start)
{
    CalendarEvent first;
    if (const FileError error = ReadRecordAt(file, 1, first); error != FileError::None) {
        showReadError(error);
        return false;
    }
    const QDate date = DateFromSerial(first.EventDate);
    if (!date.isValid() || date.year() < 1900 || date.year() > 9998 || date.day() != 1) {
        ShowMessage("The file " + PathInText(file) + " does not hold a tone schedule calendar: its first date is not the first "
                        "day of a month. The file was left as it is.",
                    kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    }
    start = date;
    return true;
}

std::vector<QDate> ActiveCalendarDays(const std::string& file, const CalendarRange& range)
{
    std::vector<CalendarEvent> events;
    std::vector<QDate> days;
    if (ReadCalendarDays(file, 1, kCalendarDayBlocks, events) != FileError::None)
        return days;
    for (int d = 1; d <= heldDays(events); ++d) {
        const std::span<CalendarEvent> day = dayOf(events, d);
        const auto active = std::find_if(day.begin(), day.end(), [](const CalendarEvent& e) { return e.Active != 0; });
        if (active != day.end()) {
            const QDate date = DateFromSerial(active->EventDate);
            if (range.Contains(date))
                days.push_back(date);
        }
    }
    return days;
}

// ---- The device -----------------------------------------------------------------------------

bool UploadCalendar(const CalendarRange& range, const CalendarUploadProgress& afterDay)
{
    const LinkConversation conversation;
    DetectEncoder();
    if (!IsLinkResponding()) {
        ShowLinkCommError();
        return false;
    }
    // A unit without the calendar would be sent nothing at all, and the operator told it was done.
    if (!gToneCalendarSupported || gToneCalendarEventsPerDay < 1) {
        ShowOptionNotUpdatedWarning(kOptionName);
        return false;
    }
    const int perDay = gToneCalendarEventsPerDay;
    const std::string n = std::to_string(perDay);
    if (perDay < kPerDay
        && ShowMessage("The " + gEncoderModelName + " supports up to " + n + " events for each day of the year. "
                           + "Only the first " + n + " daily events will be programmed in to the " + gEncoderModelName
                           + ". Continue ? ",
                       kButtonsYesNo, kAnswerYes, kIconQuestion)
            != kAnswerYes)
        return false;
    const int total = range.TotalDays();
    if (afterDay)
        afterDay(0, total);
    const std::string file = path();
    if (!FileExists(file)) {
        ShowMessagesFileMissingError();
        return false;
    }
    std::vector<CalendarEvent> events;
    if (!loadCalendar(file, events))
        return false;
    const int days = std::min(total, heldDays(events));
    for (int d = 1; d <= days; ++d) {
        const std::span<CalendarEvent> day = dayOf(events, d);
        if (!zonesSendable(day, perDay, file, d - 1))
            return false;
        const std::string line = CalendarDayString(day, perDay);
        std::string reply;
        if (!line.empty() && !SendLinkCommand("PCD", line, true, 30, reply, true, 3)) {
            if (!ExitRequested())
                ShowLinkCommError();
            return false;
        }
        if (afterDay)
            afterDay(d, total);
    }
    if (days < total)
        ShowMessage("Only " + std::to_string(days) + (days == 1 ? " day" : " days") + " of the calendar were uploaded to the " + gEncoderModelName
                        + ". The calendar file " + PathInText(file) + " holds no more days.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
    return true;
}

bool ResetCalendarFile(QDate& start, const CalendarUploadProgress& afterDay)
{
    const LinkConversation conversation;
    if (!IsLinkResponding()) {
        ShowLinkCommError();
        return false;
    }
    DetectEncoder();
    if (!gToneCalendarSupported || gToneCalendarEventsPerDay < 1) {
        ShowOptionNotUpdatedWarning(kOptionName);
        return false;
    }
    // The year is built empty and filled day by day; only a whole year replaces the file.
    QDate first;
    std::vector<CalendarEvent> year;
    BuildToneCalendarYear(false, first, year);
    const CalendarRange range = CalendarRangeFrom(first);
    ShowLoadMessage("Downloading tone schedule from " + gEncoderModelName + ". Please wait...");
    if (afterDay)
        afterDay(0, range.TotalDays());
    const DeviceFetch fetch = FetchEachItem(range.TotalDays(), [&](int d) {
        const QDate day = first.addDays(d);
        const std::string mmdd = ZeroPad(day.month(), 2) + ZeroPad(day.day(), 2);
        ReportStatus("Downloading Scheduled Events for " + mmdd.substr(0, 2) + "/" + mmdd.substr(2));
        std::string reply;
        QueryLink("?CD", mmdd, {.ticks = 20, .reply = &reply});
        if (ParseCalendarDayReply(reply, gToneCalendarEventsPerDay, dayOf(year, d + 1)) == 0)
            return false;
        if (afterDay)
            afterDay(d + 1, range.TotalDays());
        return true;
    });
    ReportStatus("Ready");
    UnloadLoadMessage();
    ReportIncompleteFetch(fetch, range.TotalDays(), "day", DataFilePath("ToneGenCalendar.TGC"));
    if (!fetch.Whole())
        return false;
    const std::string file = DataFilePath("ToneGenCalendar.TGC");
    if (!reportWrite(ReplaceFileContents(file, encodeEvents(year), DataFilePath("ToneGenCalendar.TMP"),
                                         DataFilePath("ToneGenCalendar.BAK")),
                     file))
        return false;
    gToneGenCalendarFile = file;
    start = first;
    return true;
}

// ---- File operations ------------------------------------------------------------------------

std::string CalendarDateText(const QDate& date) { return FromQString(date.toString("MM/dd/yyyy")); }

bool CheckCalendarPeriod(const QDate& first, const QDate& last)
{
    if (first <= last)
        return true;
    ShowMessage("The selected period (" + CalendarDateText(first) + " - " + CalendarDateText(last)
                    + ") ends before it starts. Please select the period again.",
                kButtonsOk, kAnswerOk, kIconExclamation);
    return false;
}

bool SetDayEventsActive(const QDate& start, const QDate& first, const QDate& last, bool active)
{
    const CalendarRange range = CalendarRangeFrom(start);
    const int firstDay = std::max(range.DayOf(first), 1);
    const int lastDay = range.DayOf(last);
    std::vector<CalendarEvent> events;
    const std::string file = path();
    QDate fileStart;
    if (lastDay < firstDay || !CheckCalendarFile(file, fileStart))
        return false;
    if (const FileError error = ReadCalendarDays(file, firstDay, lastDay - firstDay + 1, events);
        error != FileError::None)
        return reportWrite(error, file);
    for (CalendarEvent& event : events) {
        if (!active)
            event.Active = kFlagNo;
        else if (event.Zone > 0)
            event.Active = kFlagYes;
    }
    return reportWrite(writeDays(file, firstDay, events), file);
}

bool CopyCalendarPeriod(const QDate& start, const QDate& first, const QDate& last, const QDate& target)
{
    const CalendarRange range = CalendarRangeFrom(start);
    if (!CheckCalendarPeriod(first, last))
        return false;
    const int firstDay = range.DayOf(first);
    const int count = static_cast<int>(first.daysTo(last)) + 1;
    const int targetDay = range.DayOf(target);
    if (firstDay < 1 || targetDay < 1 || targetDay + count - 1 > range.TotalDays())
        return false;
    const std::string file = path();
    std::vector<CalendarEvent> events;
    if (!loadCalendar(file, events, std::max(firstDay, targetDay) + count - 1))
        return false;
    // The source is held as it stood before the copy, so an overlapping target reads no copied day.
    const std::vector<CalendarEvent> source = copyDays(events, firstDay, count);
    std::vector<CalendarEvent> copied = copyDays(events, targetDay, count);
    for (std::size_t i = 0; i < copied.size(); ++i) {
        const double date = copied[i].EventDate;
        copied[i] = source[i];
        copied[i].EventDate = date;
    }
    return reportWrite(writeDays(file, targetDay, copied), file);
}

bool ApplyDefaultWeek(const QDate& start, const QDate& selected)
{
    const CalendarRange range = CalendarRangeFrom(start);
    const int sunday = range.DayOf(WeekStartOf(selected));
    const std::string file = path();
    std::vector<CalendarEvent> events;
    if (sunday < 1 || !loadCalendar(file, events, sunday + 6))
        return false;
    const std::vector<CalendarEvent> week = copyDays(events, sunday, 7);
    for (std::size_t i = 0; i < events.size(); ++i) {
        const QDate date = DateFromSerial(events[i].EventDate);
        // A record whose date is noise belongs to no weekday; it stays as it is.
        if (!date.isValid())
            continue;
        const double own = events[i].EventDate;
        events[i] = week[static_cast<std::size_t>(date.dayOfWeek() % 7) * kPerDay + i % kPerDay];
        events[i].EventDate = own;
    }
    return reportWrite(writeDays(file, 1, events), file);
}

bool RotateCalendarDays(const QDate& start, const QDate& a, const QDate& b)
{
    const CalendarRange range = CalendarRangeFrom(start);
    const int total = range.TotalDays();
    const auto n = static_cast<int>(std::min<qint64>(std::abs(a.daysTo(b)), total));
    const bool forward = b > a;
    const std::string file = path();
    std::vector<CalendarEvent> events;
    if (n < 1 || !loadCalendar(file, events, total))
        return false;
    const DaySource source = [&](const QDate&, int d) {
        if (forward)
            return d > n ? d - n : total - n + d;
        return d <= total - n ? d + n : d - (total - n);
    };
    return reportWrite(replaceCalendar(file, rebuildCalendar(events, range.first, range.last, source, 0)), file);
}

bool RotateCalendarMonths(const QDate& start, const QDate& a, const QDate& b)
{
    const CalendarRange old = CalendarRangeFrom(start);
    const CalendarRange fresh = CalendarRangeFrom(b);
    if (a != old.first || b == a || fresh.first == old.first)
        return false;
    const std::string file = path();
    std::vector<CalendarEvent> events;
    if (!loadCalendar(file, events, old.TotalDays()))
        return false;
    DaySource source;
    if (b > a) {
        // The first month comes back at the end, one year on: its day k becomes the new last month's day k.
        const auto kept = static_cast<int>(a.daysTo(b));
        source = [&, kept](const QDate& date, int) {
            if (date <= old.last)
                return old.DayOf(date);
            const auto k = static_cast<int>(old.last.daysTo(date));
            return k <= kept ? k : 0;
        };
    } else {
        // The last month comes back at the front, one year back.
        const QDate lastMonth(old.last.year(), old.last.month(), 1);
        const auto kept = static_cast<int>(lastMonth.daysTo(old.last)) + 1;
        source = [&, lastMonth, kept](const QDate& date, int) {
            if (date >= old.first)
                return old.DayOf(date);
            const auto k = static_cast<int>(fresh.first.daysTo(date));
            return k < kept ? old.DayOf(lastMonth) + k : 0;
        };
    }
    return reportWrite(
        replaceCalendar(file, rebuildCalendar(events, fresh.first, fresh.last, source, kCalendarDayBlocks)), file);
}
