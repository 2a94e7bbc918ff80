#pragma once
// The one-year tone calendar on disk and on the device: one day as the "PCD"
// line carries it, the upload of the year, the year fetched anew from the
// device, and the file operations behind the calendar window's commands. Each
// works on the calendar file gToneGenCalendarFile directly, opening it for the
// one job; nothing here touches a widget.
//
// Day d of the calendar (1 = its start date) is the block of records
// (d - 1) x 100 + 1 to d x 100. Dates are counted by QDate, so month lengths
// and 29 February come from the calendar, not from this file.

#include <QDate>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "KS_Records.h"
#include "RecordFile.h"

// The calendar year: from the first of the start month to the day before the
// same date one year later (365 or 366 days).
struct CalendarRange {
    QDate first;
    QDate last;
    int TotalDays() const;
    // 1 for the first day; outside the range the count goes on past either end.
    int DayOf(const QDate& date) const;
    bool Contains(const QDate& date) const;
};
CalendarRange CalendarRangeFrom(const QDate& start);

// The Sunday and the Saturday of the week that holds the date.
QDate WeekStartOf(const QDate& date);
QDate WeekEndOf(const QDate& date);

// One day for "PCD": "MMDD" from the first event's date, then 14 characters
// for each of the first min(100, eventsPerDay) events (time "HHNN", zone,
// type, four parameter characters, "Y"/"N") and "*". Empty when the day holds
// no event or the unit takes none.
std::string CalendarDayString(std::span<const CalendarEvent> day, int eventsPerDay);

// A time of day kept as the fraction of a day.
void CalendarEventClock(const CalendarEvent& event, int& hours, int& minutes);

// ---- The file -----------------------------------------------------------------------

// Days first to first + count - 1 as they stand in the file; fewer when the file ends first.
FileError ReadCalendarDays(const std::string& path, int firstDay, int count, std::vector<CalendarEvent>& events);
// Writes an event in place: event eventNo (1 to 100) of day.
FileError WriteCalendarEvent(const std::string& path, int day, int eventNo, const CalendarEvent& event);

// The calendar file's start date, after checking that it holds a calendar:
// a file that cannot be read or whose first date is no date is reported to
// the operator and left as it is (false).
bool CheckCalendarFile(const std::string& path, QDate& start);

// The dates of the range whose block in the file holds an active event,
// walking only the blocks the file has.
std::vector<QDate> ActiveCalendarDays(const std::string& path, const CalendarRange& range);

// ---- The device -----------------------------------------------------------------------

// Sends the range's days, one "PCD" line each, in calendar order. afterDay
// runs once before the first day (sent 0) and after each acknowledged one.
// True when the upload ended as done; the operator has been told of every
// failure and of a calendar file shorter than its year.
using CalendarUploadProgress = std::function<void(int sent, int total)>;
bool UploadCalendar(const CalendarRange& range, const CalendarUploadProgress& afterDay = {});

// Fetches a new year from the device into memory and only then makes it the
// data folder's ToneGenCalendar.TGC (the old one becomes ToneGenCalendar.BAK)
// and gToneGenCalendarFile. A unit that is silent or keeps no calendar, a
// cancelled download or a failed write leave the file and the setting alone.
// afterDay runs once before the first day is asked for (0) and after each day that came.
bool ResetCalendarFile(QDate& start, const CalendarUploadProgress& afterDay = {});

// ---- File operations (start = the range's first day) -----------------------------------

// A date as the calendar's messages show it: "MM/DD/YYYY".
std::string CalendarDateText(const QDate& date);
// False, after telling the operator, when the period ends before it starts.
bool CheckCalendarPeriod(const QDate& first, const QDate& last);

// Clears Active in every event of the days first to last, or sets it in
// those with a zone.
bool SetDayEventsActive(const QDate& start, const QDate& first, const QDate& last, bool active);
// Copies the days first to last onto the days from target on, each target
// event keeping its own date; overlapping periods copy what stood before.
bool CopyCalendarPeriod(const QDate& start, const QDate& first, const QDate& last, const QDate& target);
// Lays the Sunday-to-Saturday week around selected over every day of the
// file by weekday; every event keeps its own date.
bool ApplyDefaultWeek(const QDate& start, const QDate& selected);
// A = start, B = start + 1 day moves every day one day later, the last day
// becoming the first; A = start + 1 day, B = start the other way round.
bool RotateCalendarDays(const QDate& start, const QDate& a, const QDate& b);
// A = start, B = A plus or minus one month: the year moves by one month; the
// month that falls off one end comes back at the other, one year on or back.
bool RotateCalendarMonths(const QDate& start, const QDate& a, const QDate& b);
