#pragma once
// The data-file module: creates, loads and upgrades Pagora's data files.

#include <QDate>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "KS_Records.h"
#include "RecordFile.h"

// ---- Typed access to a data file -------------------------------------------------

template <class Record>
FileError ReadRecords(const std::string& path, std::vector<Record>& records, bool keepReadBeforeFailure = false)
{
    std::vector<std::string> raw;
    const FileError error = RecordFile(path, Record::kLength).ReadAll(raw, keepReadBeforeFailure);
    records.clear();
    records.reserve(raw.size());
    for (const auto& bytes : raw)
        records.push_back(DecodeRecord<Record>(bytes));
    return error;
}

template <class Record>
FileError ReadRecordAt(const std::string& path, std::int64_t n, Record& record)
{
    std::string bytes;
    const FileError error = RecordFile(path, Record::kLength).ReadRecord(n, bytes);
    if (error == FileError::None)
        record = DecodeRecord<Record>(bytes);
    return error;
}

template <class Record>
FileError WriteRecordAt(const std::string& path, std::int64_t n, const Record& record)
{
    return RecordFile(path, Record::kLength).WriteRecord(n, EncodeRecord(record));
}

// Replaces the whole file: NAME.TMP first, then the old file becomes NAME.BAK.
template <class Record>
FileError ReplaceRecords(const std::string& path, const std::vector<Record>& records)
{
    std::vector<std::string> raw;
    raw.reserve(records.size());
    for (const auto& record : records)
        raw.push_back(EncodeRecord(record));
    return RecordFile(path, Record::kLength).ReplaceAll(raw);
}

// ---- Sizes of the fixed tables -------------------------------------------------------
inline constexpr int kPagerRecords = 999;
inline constexpr int kScheduleEntries = 700;
inline constexpr int kToneScheduleEvents = 336;
inline constexpr int kToneEventsPerDay = 48;
inline constexpr int kCalendarDayBlocks = 372;
inline constexpr int kCalendarEventsPerBlock = 100;

// ---- Default records ---------------------------------------------------------------
// A free user: zero bytes, InUse "N".
PagerRecord FreePagerRecord();
ScheduleEntry DefaultScheduleEntry(int row);             // row 0..99
ToneScheduleEvent DefaultToneScheduleEvent(int eventNo); // 1..48
// An event the unit was asked for and did not send: its number and nothing
// else, so the file keeps it as unread and no upload sends a made-up event
// over the one the unit holds.
ToneScheduleEvent UnreadToneScheduleEvent(int eventNo);
bool IsToneEventUnread(const ToneScheduleEvent& event);
CalendarEvent DefaultCalendarEvent(double eventDate, int eventNo);

// ---- The user table and the upgrade ----------------------------------------------

// Writes a fresh Pager.DBS of 999 free users (exactly 159,840 bytes). False
// when the data folder is missing (nothing is said) or the file could not be
// written (the operator is told).
bool CreateEmptyPagerDatabase();

// Makes Pager.DBS ready for a record to be written in place: a missing file is
// first created whole (999 free users), so that no writer leaves behind a short
// file that the next start would take for an older layout. A data folder that
// is not set or not there, or a file of another layout, is refused with a
// message; false then, and nothing is written.
bool EnsurePagerDatabase();

// Writes user pagerNo (1..999) in place in Pager.DBS, through EnsurePagerDatabase.
// False, after telling the operator, when it could not be written.
bool WritePagerRecord(int pagerNo, const PagerRecord& record);

enum class UpgradeOutcome {
    Missing,      // no such file
    Current,      // already of the current layout
    Converted,    // an older layout, converted; the old file is the .BAK
    Padded,       // a current Pager.DBS short of 999 users, filled up with free users
    Unrecognised, // a length that fits no layout: left alone and reported
    Failed,       // a read or write failed: the file is as it was, and the operator is told
};

// Checks one of Pager.DBS, PPM_Alarm.DBS, PPM_PABXDI.DBS, PPM_Fastkey.DBS,
// PPM_Freetext.DBS, PPM_Wireless.DBS in the data folder.
UpgradeOutcome UpgradeDataFile(std::string_view fileName);
// All six in that order, after encoder detection (the fast-key and wireless
// files grow to the encoder's table sizes). Returns false; callers ignore it.
bool UpgradeDataFiles();

// A unit whose identification fell short (it answered the probe, then said
// nothing of itself) lacks no table it did not say it lacks: a download then
// writes no file and says so, naming the unit where its model is known, and
// the next one asks again.
void ShowNothingRead(const std::string& what, const std::string& path);

// ---- The paging schedule -----------------------------------------------------------

// Fills gSchedule from Schedule.DBS, or creates the file with the default week.
// The Fired marks in memory survive every reload.
bool LoadScheduleDatabase();

// ---- The tone schedule and calendar ----------------------------------------------

// One read request on the encoder link, as QueryLink takes it.
struct LinkQuery {
    std::string command;
    std::string data;
    std::int16_t expectedLength = 0;
    bool noSuffix = false;   // true: no "?" is appended
    std::int32_t ticks = 0;  // 0 means the query's default
    bool pokeOnTimeout = false;
    std::int16_t attempts = 1;
};

// What the tone downloads need of the encoder link, which lives above this
// module; the link installs these at start-up. Missing hooks read as a unit
// that does not answer.
struct ToneDownloadHooks {
    std::function<bool()> isLinkResponding;
    std::function<void()> detectEncoder;
    // Returns the value read ("" for none) and leaves the whole reply line in reply.
    std::function<std::string(const LinkQuery& query, std::string& reply)> queryLink;
    // AskRetryDownload: 6 Yes, 7 No; the check box state is left in gMessageOption.
    std::function<std::int16_t()> askRetryDownload;
};
void SetToneDownloadHooks(ToneDownloadHooks hooks);
// The weekly window's "?E" probe. The week's download runs it again when its
// own identification finds another unit than the one the window probed: the
// length of every event's answer depends on it.
void SetToneEventsProbe(std::function<void()> probe);

// The length and wait of a "?E" answer on the connected unit.
struct ToneEventReplyShape {
    std::int16_t length = 0;
    std::int32_t ticks = 0;
};
ToneEventReplyShape ToneEventReplyShapeForUnit();

// Reads a "?E" answer into the event (which holds its defaults). False, with
// the event untouched, when the answer is not of the unit's length.
bool ParseToneEventAnswer(std::string_view answer, int eventNo, ToneScheduleEvent& event);

// Reads a "?CD" reply into one day's events; fills at most min(day.size(),
// maxEvents) of them. Returns how many it filled; 0 when the reply does not
// end in "*" CR.
int ParseCalendarDayReply(std::string_view reply, int maxEvents, std::span<CalendarEvent> day);

// How a tone schedule file that ends in part of a record is reported; the
// part is never read.
inline constexpr std::string_view kToneScheduleIncomplete =
    "The tone schedule file ends in an incomplete record, which was not read.";

// Fills gToneSchedule from the schedule file (the days past the end of a
// short one as default events), or builds (and optionally downloads) the
// default week and writes ToneGen.TGS. A download cancelled, or one the unit
// sent nothing of, writes no file; the week it leaves lists as unread.
bool LoadToneSchedule(bool download);
// Whether a weekly tone schedule file can be read as LoadToneSchedule reads
// it and holds at least one whole record; one that does not is reported as
// the load reports a file it cannot read.
bool CheckToneScheduleFile(const std::string& path);

// A new calendar year from 1 January of this year: its days dated, the rest
// of the 372 blocks empty, filled from the unit day by day when download is
// set and the unit answers. False when the operator cancelled the download or
// the unit sent no day of it: such a year is not to be written.
bool BuildToneCalendarYear(bool download, QDate& firstDay, std::vector<CalendarEvent>& table);

// Finds the calendar file and gives its first day, or builds (and optionally
// downloads) a year from 1 January of this year and writes ToneGenCalendar.TGC.
// created and firstDay are left as passed when a download is cancelled.
bool LoadToneCalendar(bool download, bool& created, QDate& firstDay);
