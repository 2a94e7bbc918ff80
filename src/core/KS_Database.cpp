#include "KS_Database.h"

#include <algorithm>
#include <cstdio>

#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Registry.h"
#include "KS_String.h"

namespace {

void showFileError(FileError error)
{
    ShowMessage(FileErrorMessage(error), kButtonsOk, kAnswerOk, kIconCritical);
}

// The hourglass for the length of a routine, whichever way it returns.
struct BusyPointer {
    BusyPointer() { ShowBusyPointer(); }
    ~BusyPointer() { ShowNormalPointer(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The value of one digit character; anything else reads as 0.
std::uint8_t digitAt(std::string_view text, std::size_t index)
{
    return index < text.size() && isDigit(text[index]) ? static_cast<std::uint8_t>(text[index] - '0') : 0;
}

// Old slot numbers were two characters; the new ones are three. A number is
// written with leading zeros, anything else is kept as it was. Zero bytes are
// the unset rest of a field, as blanks are.
std::string asThreeDigits(const std::string& text)
{
    std::string trimmed = text;
    std::replace(trimmed.begin(), trimmed.end(), '\0', ' ');
    trimmed = Trim(trimmed);
    const bool numeric = !trimmed.empty() && std::all_of(trimmed.begin(), trimmed.end(), isDigit);
    return numeric ? ZeroPad(static_cast<long long>(Val(trimmed)), 3) : text;
}

// Copies an old field into a wider one; the rest of the new field is blanks.
std::string widened(const std::string& text, std::size_t width) { return PadRight(text, width); }

// ---- The conversions of the older layouts ---------------------------------------------

PagerRecord convertPager(const LegacyPagerRecord& old)
{
    PagerRecord r;
    r.PagerNo = old.PagerNo;
    r.UserName = widened(old.UserName, 20);
    r.Capcode = old.Capcode;
    r.PagerType = old.PagerType;
    r.Baud = old.Baud;
    r.Phone = widened(old.Phone, 20);
    r.Format = old.Format;
    r.Mode = old.Mode;
    r.GroupFlag = old.GroupFlag;
    r.Group1 = old.Group1;
    r.Group2 = old.Group2;
    r.Group3 = old.Group3;
    r.Group4 = old.Group4;
    r.InUse = old.InUse;
    r.DSC = std::string(4, ' ');
    r.Reserved = std::string(96, ' ');
    return r;
}

AlarmPointRecord convertAlarm(const LegacyAlarmPointRecord& old)
{
    AlarmPointRecord r;
    r.Point = asThreeDigits(old.Point);
    r.Pager = old.Pager;
    r.Message = old.Message;
    r.CancelMessage = old.CancelMessage;
    r.CancelPager = old.CancelPager;
    r.Status = old.Status;
    r.RealTime = old.RealTime;
    r.InputType = old.InputType;
    r.Threshold = old.Threshold;
    r.ActivationPlan = old.ActivationPlan;
    r.RepeatModuleCode = old.RepeatModuleCode;
    r.Relay = old.Relay;
    r.Pulse = old.Pulse;
    r.RepeatMinutes = "00";
    r.InputDelay = "000";
    r.SendCancel = 0;
    r.Reserved = std::string(57, ' ');
    return r;
}

TableMessage convertTableMessage(const LegacyTableMessage& old)
{
    TableMessage r;
    r.No = asThreeDigits(old.No);
    r.Text = old.Text;
    r.Reserved = std::string(67, ' ');
    return r;
}

TableMessage newFastkey(int k)
{
    TableMessage r;
    r.No = ZeroPad(k, 3);
    r.Text = std::string(30, ' ');
    r.Reserved = std::string(67, ' ');
    return r;
}

FreetextEntry convertFreetext(const LegacyFreetextEntry& old)
{
    FreetextEntry r;
    r.No = asThreeDigits(old.No);
    r.Pager = old.Pager;
    r.Keyword = old.Keyword;
    r.Reserved = "  ";
    r.ReplaceKeyword = 0;
    return r;
}

WirelessMessageRecord convertWireless(const LegacyWirelessMessageRecord& old)
{
    WirelessMessageRecord r;
    r.Slot = asThreeDigits(old.Slot);
    r.Pager = old.Pager;
    r.Message = old.Message;
    r.RepeatMinutes = old.RepeatMinutes;
    r.DeviceCode = old.DeviceCode;
    r.Supervised = old.Supervised;
    r.CancelDeviceCode = "000";
    r.ActivationPlan = "0";
    r.Reserved = std::string(56, ' ');
    return r;
}

WirelessMessageRecord newWireless(int k)
{
    WirelessMessageRecord r;
    r.Slot = ZeroPad(k, 3);
    r.Message = std::string(30, ' ');
    r.Pager = "000";
    r.DeviceCode = "000";
    r.CancelDeviceCode = "000";
    r.RepeatMinutes = "00";
    r.Supervised = "N";
    r.ActivationPlan = "0";
    r.Reserved = std::string(56, ' ');
    return r;
}

// Reads every old record, converts it and grows the table to `size` entries
// with `added(k)`; then replaces the file through .TMP and .BAK.
template <class Old, class New, class Convert, class Added>
FileError convertFile(const std::string& path, std::size_t maxRecords, std::size_t size, Convert convert,
                      Added added)
{
    std::vector<Old> old;
    if (const FileError error = ReadRecords(path, old); error != FileError::None)
        return error;
    if (old.size() > maxRecords)
        old.resize(maxRecords);
    std::vector<New> table;
    table.reserve(std::max(old.size(), size));
    for (const auto& record : old)
        table.push_back(convert(record));
    for (std::size_t k = table.size() + 1; k <= size; ++k)
        table.push_back(added(static_cast<int>(k)));
    return ReplaceRecords(path, table);
}

struct TableFile {
    std::string_view name;
    std::size_t length;
    std::size_t oldLength;
    std::size_t oldNumberWidth; // the record's own number leads every record: three characters now
};

constexpr TableFile kUpgradeFiles[] = {
    {"Pager.DBS", PagerRecord::kLength, LegacyPagerRecord::kLength, 3},
    {"PPM_Alarm.DBS", AlarmPointRecord::kLength, LegacyAlarmPointRecord::kLength, 3},
    {"PPM_PABXDI.DBS", TableMessage::kLength, LegacyTableMessage::kLength, 2},
    {"PPM_Fastkey.DBS", TableMessage::kLength, LegacyTableMessage::kLength, 2},
    {"PPM_Freetext.DBS", FreetextEntry::kLength, LegacyFreetextEntry::kLength, 2},
    {"PPM_Wireless.DBS", WirelessMessageRecord::kLength, LegacyWirelessMessageRecord::kLength, 3},
};

// True when every whole record of `recordLength` bytes (the first 999 at most)
// starts with its own number, or with an unset one (blanks or zero bytes).
bool recordsNumberThemselves(const std::string& path, std::size_t recordLength, std::size_t width)
{
    const RecordFile file(path, recordLength);
    const std::int64_t count = std::min<std::int64_t>(file.Count(), kPagerRecords);
    std::string bytes;
    if (count == 0 || file.ReadRecords(1, count, bytes) != FileError::None)
        return false;
    for (std::int64_t k = 1; k <= count; ++k) {
        std::string number = bytes.substr(static_cast<std::size_t>(k - 1) * recordLength, width);
        std::replace(number.begin(), number.end(), '\0', ' ');
        const std::string trimmed = Trim(number);
        if (!trimmed.empty() && (!std::all_of(trimmed.begin(), trimmed.end(), isDigit) || Val(trimmed) != k))
            return false;
    }
    return true;
}

enum class Layout {
    Current,
    ShortUserTable, // a current Pager.DBS short of 999 users
    Old,
    Unknown,
};

// A length that fits neither layout (a stray tail, or more old users than a
// table has) is an older file only when its records, read the old way, carry
// their own numbers, and read the current way do not. A file that could be
// either is left for the operator: a current file with bytes added or lost
// must never be converted into garbage.
Layout strayLengthLayout(const TableFile& file, const std::string& path)
{
    const bool readsOld = recordsNumberThemselves(path, file.oldLength, file.oldNumberWidth);
    const bool readsCurrent = recordsNumberThemselves(path, file.length, 3);
    return readsOld && !readsCurrent ? Layout::Old : Layout::Unknown;
}

// The one rule for telling a data file's layout, by its length first.
Layout layoutOf(const TableFile& file, const std::string& path, std::int64_t length)
{
    const auto len = static_cast<std::int64_t>(file.length);
    const auto oldLen = static_cast<std::int64_t>(file.oldLength);
    if (file.name == "Pager.DBS") {
        // Every 1440 bytes fit both layouts. Up to 999 old users such a file is
        // an old table (a current one that short would be a copy cut off).
        if (length > 0 && length % oldLen == 0 && length / oldLen <= kPagerRecords)
            return Layout::Old;
        if (length % len == 0)
            return length / len < kPagerRecords ? Layout::ShortUserTable : Layout::Current;
        return strayLengthLayout(file, path);
    }
    // A length that is a whole number of current records is never taken for an
    // older layout: reading it that way would scramble every field.
    if (length % len == 0)
        return Layout::Current;
    return length % oldLen == 0 ? Layout::Old : strayLengthLayout(file, path);
}

const TableFile& pagerFile() { return kUpgradeFiles[0]; }

FileError convertOldLayout(std::string_view name, const std::string& path)
{
    constexpr std::size_t all = static_cast<std::size_t>(-1);
    const auto none = [](int) -> PagerRecord { return {}; };
    if (name == "Pager.DBS")
        return convertFile<LegacyPagerRecord, PagerRecord>(path, kPagerRecords, kPagerRecords, convertPager,
                                                           none);
    if (name == "PPM_Alarm.DBS")
        return convertFile<LegacyAlarmPointRecord, AlarmPointRecord>(path, all, 0, convertAlarm,
                                                                     [](int) { return AlarmPointRecord{}; });
    if (name == "PPM_PABXDI.DBS")
        return convertFile<LegacyTableMessage, TableMessage>(path, all, 0, convertTableMessage, newFastkey);
    if (name == "PPM_Fastkey.DBS")
        return convertFile<LegacyTableMessage, TableMessage>(
            path, all, static_cast<std::size_t>(std::max(gFastkeyMessageCount, 0)), convertTableMessage,
            newFastkey);
    if (name == "PPM_Freetext.DBS")
        return convertFile<LegacyFreetextEntry, FreetextEntry>(path, all, 0, convertFreetext,
                                                               [](int) { return FreetextEntry{}; });
    return convertFile<LegacyWirelessMessageRecord, WirelessMessageRecord>(
        path, all, static_cast<std::size_t>(std::max(gWirelessMessageCount, 0)), convertWireless, newWireless);
}

std::string counted(std::int64_t n, const std::string& noun) { return std::to_string(n) + " " + noun + (n == 1 ? "" : "s"); }

// The conversion takes whole old records, 999 users at most; whatever lies
// beyond is only in the .BAK now, and the operator must know to look there.
void reportWhatWasNotTaken(const TableFile& file, const std::string& path, std::int64_t length)
{
    const auto oldLen = static_cast<std::int64_t>(file.oldLength);
    const std::int64_t records =
        file.name == "Pager.DBS" ? std::max<std::int64_t>(length / oldLen - kPagerRecords, 0) : 0;
    const std::int64_t bytes = length % oldLen;
    std::string notTaken;
    if (records > 0)
        notTaken = counted(records, "record") + " beyond the 999 users of the table";
    if (bytes > 0)
        notTaken += (notTaken.empty() ? "" : " and ") + counted(bytes, "byte") + " at its end that make no whole record";
    if (notTaken.empty())
        return;
    ShowMessage("The data file " + PathInText(path) + " was converted to the current layout without its last " +
                    notTaken + ". The original file is kept as " + PathInText(CompanionPath(path, "BAK")) + ".",
                kButtonsOk, kAnswerOk, kIconExclamation);
}

// A current Pager.DBS short of 999 users gets free users at the end, so that
// every user number has its record.
FileError padPagerFile(const std::string& path)
{
    std::vector<std::string> records;
    const RecordFile file(path, PagerRecord::kLength);
    if (const FileError error = file.ReadAll(records); error != FileError::None)
        return error;
    const std::string free = EncodeRecord(FreePagerRecord());
    records.resize(kPagerRecords, free);
    return file.ReplaceAll(records);
}

} // namespace

// ---- Defaults --------------------------------------------------------------------------

PagerRecord FreePagerRecord()
{
    PagerRecord r;
    r.InUse = "N";
    return r;
}

ScheduleEntry DefaultScheduleEntry(int row)
{
    ScheduleEntry e;
    e.No = ZeroPad(row + 1, 3);
    e.Time = "12:00 AM";
    e.Pager = "000";
    e.AlertType = 1;
    e.Message = std::string(30, ' ');
    e.Active = 0;
    e.Fired = 0;
    return e;
}

ToneScheduleEvent DefaultToneScheduleEvent(int eventNo)
{
    ToneScheduleEvent e;
    e.EventNo = ZeroPad(eventNo, 2);
    e.Zone = "01";
    e.Description = std::string(25, ' ');
    e.Time = "12:00 AM";
    e.AlertType = 1;
    e.AlertLength = 0;
    e.AlertLevel = 1;
    e.Active = 0;
    e.Countdown = 0;
    e.Repeat = 0;
    e.Delay = 1;
    e.Action = 1;
    e.Seconds = 1;
    return e;
}

ToneScheduleEvent UnreadToneScheduleEvent(int eventNo)
{
    ToneScheduleEvent e;
    e.EventNo = ZeroPad(eventNo, 2);
    return e;
}

bool IsToneEventUnread(const ToneScheduleEvent& event)
{
    const double number = Val(event.EventNo);
    return number >= 1 && number <= kToneEventsPerDay && event.Time == UnsetText(8);
}

CalendarEvent DefaultCalendarEvent(double eventDate, int eventNo)
{
    CalendarEvent e;
    e.EventDate = eventDate;
    e.EventNo = static_cast<std::int16_t>(eventNo);
    e.Zone = 0;
    e.Description = std::string(25, ' ');
    e.Time = 0;
    e.AlertType = 1;
    e.AlertLength = 0;
    e.AlertLevel = 1;
    e.Active = 0;
    e.Repeat = 0;
    e.Delay = 1;
    e.Action = 1;
    e.Duration = 0;
    return e;
}

// ---- The user table and the upgrade ----------------------------------------------

bool CreateEmptyPagerDatabase()
{
    if (!FolderExists(gDataFolder))
        return false;
    const std::vector<PagerRecord> table(kPagerRecords, FreePagerRecord());
    if (ReplaceRecords(DataFilePath("Pager.DBS"), table) != FileError::None) {
        ShowMessage("Unable to create file " + PathInText(DataFilePath("Pager.DBS")) + ". " +
                        "Please confirm that you have the appropriate access permissions.",
                    kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    }
    return true;
}

bool EnsurePagerDatabase()
{
    // A blank folder would put the file wherever the program happens to run.
    if (Trim(gDataFolder).empty() || !FolderExists(gDataFolder)) {
        showFileError(FileError::PathOrAccess);
        return false;
    }
    const std::string path = DataFilePath("Pager.DBS");
    if (!FileExists(path))
        return CreateEmptyPagerDatabase();
    if (const Layout layout = layoutOf(pagerFile(), path, FileLength(path));
        layout == Layout::Old || layout == Layout::Unknown) {
        // An older layout waits for the upgrade; a record written into it would scramble it.
        ShowMessage("The data file " + PathInText(path) + " is damaged or of an unknown layout. It was left unchanged.",
                    kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    }
    return true;
}

bool WritePagerRecord(int pagerNo, const PagerRecord& record)
{
    if (pagerNo < 1 || pagerNo > kPagerRecords || !EnsurePagerDatabase())
        return false;
    const std::string path = DataFilePath("Pager.DBS");
    if (const FileError error = WriteRecordAt(path, pagerNo, record); error != FileError::None) {
        if (error == FileError::PathOrAccess)
            showFileError(error);
        else
            ShowMessage("Unable to write file " + PathInText(path) + ". Please confirm that you have the appropriate access permissions.",
                        kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    }
    return true;
}

UpgradeOutcome UpgradeDataFile(std::string_view fileName)
{
    const auto entry = std::find_if(std::begin(kUpgradeFiles), std::end(kUpgradeFiles),
                                   [&](const TableFile& f) { return f.name == fileName; });
    if (entry == std::end(kUpgradeFiles) || !FolderExists(gDataFolder))
        return UpgradeOutcome::Missing;
    const std::string path = DataFilePath(fileName);
    const std::int64_t length = FileLength(path);
    if (length < 0)
        return UpgradeOutcome::Missing;

    UpgradeOutcome outcome = UpgradeOutcome::Current;
    FileError error = FileError::None;
    switch (layoutOf(*entry, path, length)) {
    case Layout::Current: break;
    case Layout::ShortUserTable:
        error = padPagerFile(path);
        outcome = UpgradeOutcome::Padded;
        break;
    case Layout::Old:
        error = convertOldLayout(fileName, path);
        outcome = UpgradeOutcome::Converted;
        if (error == FileError::None)
            reportWhatWasNotTaken(*entry, path, length);
        break;
    case Layout::Unknown:
        ShowMessage("The data file " + PathInText(path) + " is damaged or of an unknown layout. It was left unchanged.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
        return UpgradeOutcome::Unrecognised;
    }
    if (error != FileError::None) {
        ShowMessage("The data file " + PathInText(path) + " could not be brought up to date. It was left unchanged." +
                        "\r\n" + FileErrorMessage(error),
                    kButtonsOk, kAnswerOk, kIconExclamation);
        return UpgradeOutcome::Failed;
    }
    return outcome;
}

bool UpgradeDataFiles()
{
    for (const auto& file : kUpgradeFiles)
        UpgradeDataFile(file.name);
    return false;
}

// ---- The paging schedule ---------------------------------------------------------

bool LoadScheduleDatabase()
{
    const BusyPointer busy;
    if (gSchedule.empty())
        gSchedule.assign(kScheduleEntries, ScheduleEntry{});
    if (!FolderExists(gDataFolder)) {
        showFileError(FileError::PathOrAccess);
        return false;
    }

    const std::string path = DataFilePath("Schedule.DBS");
    if (!FileExists(path)) {
        DoEvents();
        for (int d = 0; d < 7; ++d)
            for (int j = 0; j < 100; ++j)
                gSchedule[static_cast<std::size_t>(d * 100 + j)] = DefaultScheduleEntry(j);
        const FileError error = ReplaceRecords(path, gSchedule);
        DoEvents();
        if (error != FileError::None) {
            showFileError(error);
            return false;
        }
        return true;
    }

    std::vector<ScheduleEntry> records;
    const FileError error = ReadRecords(path, records, true);
    const std::size_t count = std::min<std::size_t>(records.size(), kScheduleEntries);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int16_t fired = gSchedule[i].Fired;
        gSchedule[i] = records[i];
        gSchedule[i].Fired = fired;
    }
    // A read that breaks off keeps the rest of the week as it was: pages
    // keep firing rather than the whole schedule going quiet.
    if (error != FileError::None) {
        showFileError(error);
        return false;
    }
    // A short file holds the first entries only; the rest are the day's default entries, each with its number.
    for (std::size_t i = count; i < kScheduleEntries; ++i)
        gSchedule[i] = DefaultScheduleEntry(static_cast<int>(i % 100));
    if (RecordFile(path, ScheduleEntry::kLength).HasTrailingBytes())
        ReportStatus("Schedule.DBS ends in an incomplete record, which was not read.", true);
    return true;
}

// ---- The tone schedule and calendar ------------------------------------------------

namespace {

ToneDownloadHooks& toneHooks()
{
    static ToneDownloadHooks hooks;
    return hooks;
}

std::function<void()>& toneEventsProbe()
{
    static std::function<void()> probe;
    return probe;
}

bool linkResponding() { return toneHooks().isLinkResponding && toneHooks().isLinkResponding(); }

bool isToneFamily() { return gEncoderFamily == "HTG-XXX" || gEncoderFamily == "HPA-XXX"; }

bool twoDigitZone()
{
    return EncoderSupportsToneChannels(gEncoderModelLetter) ||
           (gEncoderModelLetter == "K" && gEncoderFamily == "HTG-XXX");
}

bool threeDigitZone() { return !isToneFamily() && !EncoderSupportsToneChannels(gEncoderModelLetter); }

std::string loadingText() { return "Downloading tone schedule from " + gEncoderModelName + ". Please wait..."; }

// The ask-again rule of both downloads when the unit does not answer: No
// cancels the rest, the "Don't ask me again" box ends the asking. Once the
// operator no longer answers for it, a unit that no longer answers the probe
// either is asked nothing more: every item left would only keep its defaults,
// after minutes of tries behind the please-wait box. True when the operator
// answered Yes.
bool askAfterSilence(bool& askAgain, bool& cancelled, bool& unitSilent)
{
    if (!askAgain) {
        unitSilent = !linkResponding();
        return false;
    }
    const std::int16_t answer = toneHooks().askRetryDownload ? toneHooks().askRetryDownload() : kAnswerNo;
    if (answer == kAnswerNo)
        cancelled = true;
    if (gMessageOption)
        askAgain = false;
    return answer == kAnswerYes;
}

// A unit that said it has no tone generator (or calendar), by its model or
// by its answer, holds nothing to read: its file takes the default events,
// with nothing to say about it. A unit that left the question unanswered, or
// an identification that fell short, tells nothing of what it holds.
bool knownToLack(bool supported, bool unanswered) { return !supported && !unanswered && !gIdentityUnanswered; }

// The unit as the download's messages name it: an identification that found
// no unit has no model to name (the link calls it "encoder" then).
std::string unitInText() { return gEncoderModelName == kUnknownEncoderName ? "encoder" : gEncoderModelName; }


// Returns true when the week may not be written: the operator cancelled, or
// the unit sent none of it. An event the unit does not send is asked for again
// while the operator answers Yes, as the question says; one that stays unread
// is kept as unread, never as the default event, which an upload would send
// over the unit's own.
bool downloadWeek()
{
    const std::string unitProbed = gEncoderModelLetter + '/' + gEncoderFamily;
    if (toneHooks().detectEncoder)
        toneHooks().detectEncoder();
    if (gEncoderModelLetter + '/' + gEncoderFamily != unitProbed && toneEventsProbe())
        toneEventsProbe()();
    ShowLoadMessage(loadingText());
    bool askAgain = true;
    bool cancelled = false;
    bool unitSilent = false;
    int unread = 0;
    int read = 0;
    const bool noToneGenerator = knownToLack(gToneGenSupported, gToneGenUnanswered);
    const ToneEventReplyShape shape = ToneEventReplyShapeForUnit();
    for (int d = 0; d < 7; ++d) {
        const std::string dayDigit = d == 6 ? "1" : std::to_string(d + 2);
        for (int e = 0; e < kToneEventsPerDay; ++e) {
            const int i = d * kToneEventsPerDay + e;
            ToneScheduleEvent& event = gToneSchedule[static_cast<std::size_t>(i)];
            ReportStatus("Downloading Scheduled Event " + std::to_string(i + 1));
            if (ExitRequested())
                cancelled = true;
            // Once cancelled, what the unit holds is not known: the rest is unread, not the default event.
            if (cancelled) {
                event = UnreadToneScheduleEvent(e + 1);
                continue;
            }
            if (noToneGenerator) {
                event = DefaultToneScheduleEvent(e + 1);
                continue;
            }
            bool taken = false;
            while (gToneGenSupported && toneHooks().queryLink && !unitSilent && !cancelled) {
                const LinkQuery query{"?E", dayDigit + ZeroPad(e + 1, 2), shape.length, true, shape.ticks, true, 3};
                std::string reply;
                const std::string answer = toneHooks().queryLink(query, reply);
                // An answer of the wrong length cannot be read by position; it
                // counts as no answer.
                taken = !answer.empty() && ParseToneEventAnswer(answer, e + 1, event);
                if (taken || ExitRequested() || !askAfterSilence(askAgain, cancelled, unitSilent))
                    break;
            }
            if (taken) {
                ++read;
            } else {
                event = UnreadToneScheduleEvent(e + 1);
                ++unread;
            }
        }
    }
    ReportStatus("Ready");
    if (!cancelled && read == 0 && !noToneGenerator) {
        ShowNothingRead("tone schedule", DataFilePath("ToneGen.TGS"));
        return true;
    }
    if (!cancelled && unread > 0) {
        UnloadLoadMessage();
        ShowMessage("The " + unitInText() + " did not send " + std::to_string(unread) + " of the "
                        + std::to_string(kToneScheduleEvents) + " events of its tone schedule. They are kept unread "
                        + "in the file " + PathInText(DataFilePath("ToneGen.TGS")) + " and are not uploaded until they are "
                        + "downloaded or updated.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
    }
    return cancelled;
}

// Returns true when the year may not be written: the operator cancelled, or the unit sent none of it.
bool downloadYear(const QDate& firstDay, std::vector<CalendarEvent>& table)
{
    if (toneHooks().detectEncoder)
        toneHooks().detectEncoder();
    ShowLoadMessage(loadingText());
    bool askAgain = true;
    bool cancelled = false;
    bool unitSilent = false;
    int read = 0;
    const bool noCalendar
        = knownToLack(gToneCalendarSupported && gToneCalendarEventsPerDay >= 1, gToneCalendarUnanswered);
    if (gToneCalendarSupported && gToneCalendarEventsPerDay >= 1 && toneHooks().queryLink) {
        for (int d = 0; d < kCalendarDayBlocks && !cancelled && !unitSilent; ++d) {
            if (ExitRequested()) {
                cancelled = true;
                break;
            }
            const QDate day = firstDay.addDays(d);
            ReportStatus("Downloading Scheduled Events for " + ZeroPad(day.month(), 2) + "/" +
                         ZeroPad(day.day(), 2));
            const LinkQuery query{"?CD", ZeroPad(day.month(), 2) + ZeroPad(day.day(), 2), 0, false, 20, false, 1};
            std::string reply;
            toneHooks().queryLink(query, reply);
            if (reply.empty()) {
                askAfterSilence(askAgain, cancelled, unitSilent);
                continue;
            }
            ParseCalendarDayReply(reply, gToneCalendarEventsPerDay,
                                  std::span<CalendarEvent>(table).subspan(
                                      static_cast<std::size_t>(d) * kCalendarEventsPerBlock,
                                      kCalendarEventsPerBlock));
            ++read;
        }
    }
    ReportStatus("Ready");
    if (!cancelled && read == 0 && !noCalendar) {
        ShowNothingRead("tone schedule calendar", DataFilePath("ToneGenCalendar.TGC"));
        return true;
    }
    return cancelled;
}

// A file longer than a week is no weekly schedule, and one without a whole
// record holds none, as the calendar refuses one: either is reported, never
// taken for a week of default events.
FileError readToneRecords(const std::string& path, std::vector<ToneScheduleEvent>& records)
{
    const FileError error = ReadRecords(path, records, true);
    return error == FileError::None && (records.size() > kToneScheduleEvents || records.empty()) ? FileError::Other
                                                                                                  : error;
}

// Reads a tone schedule file into gToneSchedule. A file of more than 336
// records is damaged: its first 336 are kept and the operator is told. A read
// that breaks off keeps the records read before it; the window then copies
// and uploads nothing of them.
// A download the operator cancelled writes no file; the week it read (the
// rest unread) stays with the window until a file holds a week again, and
// the next write of the missing file writes that week, never the default one.
std::vector<ToneScheduleEvent>& weekOfACancelledDownload()
{
    static std::vector<ToneScheduleEvent> week;
    return week;
}

bool readToneSchedule(const std::string& path, bool correctCountdown)
{
    weekOfACancelledDownload().clear();
    std::vector<ToneScheduleEvent> records;
    const FileError error = readToneRecords(path, records);
    const std::size_t count = std::min<std::size_t>(records.size(), kToneScheduleEvents);
    for (std::size_t i = 0; i < count; ++i) {
        gToneSchedule[i] = records[i];
        if (correctCountdown && gToneSchedule[i].Countdown > 79)
            gToneSchedule[i].Countdown = 0;
    }
    if (error != FileError::None) {
        showFileError(error);
        return false;
    }
    // A short file holds the first days only; the rest list as default
    // events, each with its number, as a short Schedule.DBS does, and not as
    // zero bytes that no dialog can save.
    for (std::size_t i = count; i < kToneScheduleEvents; ++i)
        gToneSchedule[i] = DefaultToneScheduleEvent(static_cast<int>(i % kToneEventsPerDay) + 1);
    if (RecordFile(path, ToneScheduleEvent::kLength).HasTrailingBytes())
        ReportStatus(kToneScheduleIncomplete, true);
    return true;
}

bool parseClock(std::string_view text, int& hours, int& minutes)
{
    if (text.size() < 4 || !std::all_of(text.begin(), text.begin() + 4, isDigit))
        return false;
    hours = (text[0] - '0') * 10 + (text[1] - '0');
    minutes = (text[2] - '0') * 10 + (text[3] - '0');
    return hours < 24 && minutes < 60;
}

} // namespace

void SetToneDownloadHooks(ToneDownloadHooks hooks) { toneHooks() = std::move(hooks); }

void SetToneEventsProbe(std::function<void()> probe) { toneEventsProbe() = std::move(probe); }

ToneEventReplyShape ToneEventReplyShapeForUnit()
{
    const std::int16_t extra = gToneEventsSupported ? 2 : 0;
    if (twoDigitZone())
        return {static_cast<std::int16_t>(14 + extra), 60};
    if (!isToneFamily())
        return {static_cast<std::int16_t>(15 + extra), 0};
    return {static_cast<std::int16_t>(12 + extra), 0};
}

bool ParseToneEventAnswer(std::string_view answer, int eventNo, ToneScheduleEvent& event)
{
    if (answer.size() != static_cast<std::size_t>(ToneEventReplyShapeForUnit().length))
        return false;
    const bool toneActions = EncoderSupportsToneActions(gEncoderModelLetter);
    ToneScheduleEvent e = event;

    e.EventNo = ZeroPad(eventNo, 2);
    int hours = 0;
    int minutes = 0;
    e.Time = parseClock(answer.substr(4, 4), hours, minutes) ? FormatTimeAmPm(hours, minutes) : "12:00 AM";

    std::size_t p = 8; // zero-based position of character 9
    if (threeDigitZone()) {
        e.Zone = ZeroPad(static_cast<long long>(Val(answer.substr(p, 3))), 3);
        p += 3;
    }
    const char typeChar = answer[p];
    if (typeChar == '0')
        e.AlertType = 1;
    else
        e.AlertType = typeChar >= '1' && typeChar <= '9' ? static_cast<std::uint8_t>(typeChar - '0')
                                                         : static_cast<std::uint8_t>(typeChar);
    const int alertType = e.AlertType > 9 ? e.AlertType - 48 : e.AlertType;
    const bool activation = alertType == 10 && toneActions;

    e.AlertLength = digitAt(answer, p + 1);
    e.AlertLevel = digitAt(answer, p + 2);
    if ((e.AlertLevel == 0 || e.AlertLevel > 4) && alertType != 9 && !activation)
        e.AlertLevel = 1;
    if (alertType == 9)
        e.Countdown = static_cast<std::int16_t>(e.AlertLevel * 10 + e.AlertLength);
    e.Active = answer[p + 3] == 'Y' ? kFlagYes : kFlagNo;
    p += 4;

    if (twoDigitZone()) {
        e.Zone = ZeroPad(static_cast<long long>(Val(answer.substr(p, 2))), 2);
        p += 2;
    }
    if (!gToneEventsSupported) {
        e.Repeat = 0;
        e.Delay = 1;
        event = e;
        return true;
    }
    e.Repeat = digitAt(answer, p);
    e.Delay = digitAt(answer, p + 1);
    if (e.Delay == 0 && !activation)
        e.Delay = 1;
    if (activation) {
        const std::string seconds =
            std::to_string(e.AlertLevel) + std::to_string(e.Repeat) + std::to_string(e.Delay);
        e.Action = e.AlertLength == 1 ? (seconds != "000" ? 1 : 2) : 3;
        e.Seconds = static_cast<std::int16_t>(Val(seconds));
    }
    event = e;
    return true;
}

int ParseCalendarDayReply(std::string_view reply, int maxEvents, std::span<CalendarEvent> day)
{
    if (reply.size() < 2 || reply.substr(reply.size() - 2) != "*\r")
        return 0;
    std::string_view events = reply.substr(0, reply.size() - 2);
    events = events.size() > 5 ? events.substr(5) : std::string_view{};
    const std::size_t limit = std::min<std::size_t>(day.size(), static_cast<std::size_t>(std::max(maxEvents, 0)));
    const std::size_t count = std::min(events.size() / 14, limit);
    for (std::size_t k = 0; k < count; ++k) {
        const std::string_view text = events.substr(k * 14, 14);
        CalendarEvent& e = day[k];
        int hours = 0;
        int minutes = 0;
        if (parseClock(text.substr(0, 4), hours, minutes))
            e.Time = SerialFromTime(hours, minutes);
        e.Zone = static_cast<std::int16_t>(Val(text.substr(4, 3)));
        // A garbled sign ("-3") is no alert type; the event keeps the one it had.
        if (const double alertType = Val(text.substr(7, 2)); alertType >= 0)
            e.AlertType = static_cast<std::uint8_t>(alertType);
        e.Duration = 0;
        e.AlertLength = digitAt(text, 9);
        e.AlertLevel = digitAt(text, 10);
        e.Repeat = digitAt(text, 11);
        e.Delay = digitAt(text, 12);
        e.Active = text[13] == 'Y' ? kFlagYes : kFlagNo;
        if (e.AlertType == 98) {
            e.Duration = static_cast<std::int16_t>((e.AlertLength * 10 + e.AlertLevel) * 60 + e.Repeat * 10 + e.Delay);
            e.Repeat = 0;
            e.Delay = 1;
        } else if (e.AlertType == 99) {
            const std::string seconds =
                std::to_string(e.AlertLevel) + std::to_string(e.Repeat) + std::to_string(e.Delay);
            e.Action = e.AlertLength == 1 ? (seconds != "000" ? 1 : 2) : 3;
            e.Duration = static_cast<std::int16_t>(Val(seconds));
            e.AlertLength = 0;
            e.AlertLevel = 1;
            e.Repeat = 0;
            e.Delay = 1;
        }
    }
    return static_cast<int>(count);
}

bool CheckToneScheduleFile(const std::string& path)
{
    std::vector<ToneScheduleEvent> records;
    const FileError error = readToneRecords(path, records);
    if (error != FileError::None)
        showFileError(error);
    return error == FileError::None;
}

bool LoadToneSchedule(bool download)
{
    const BusyPointer busy;
    gToneSchedule.assign(kToneScheduleEvents, ToneScheduleEvent{});

    if (FileExists(gToneGenFile))
        return readToneSchedule(gToneGenFile, true);

    if (!FolderExists(gDataFolder)) {
        showFileError(FileError::PathOrAccess);
        return false;
    }
    const std::string schedulePath = DataFilePath("ToneGen.TGS");
    const std::string oldNamePath = DataFilePath("ToneGen.DBS");
    if (!FileExists(schedulePath) && FileExists(oldNamePath))
        std::rename(oldNamePath.c_str(), schedulePath.c_str());
    if (FileExists(schedulePath))
        return readToneSchedule(schedulePath, false);

    DoEvents();
    for (int d = 0; d < 7; ++d)
        for (int e = 0; e < kToneEventsPerDay; ++e)
            gToneSchedule[static_cast<std::size_t>(d * kToneEventsPerDay + e)] = DefaultToneScheduleEvent(e + 1);

    std::vector<ToneScheduleEvent>& held = weekOfACancelledDownload();
    bool cancelled = false;
    if (download && linkResponding()) {
        cancelled = downloadWeek();
        if (cancelled)
            held = gToneSchedule;
    } else if (held.size() == gToneSchedule.size()) {
        gToneSchedule = held;
    }

    bool result = true;
    if (!cancelled) {
        if (const FileError error = ReplaceRecords(schedulePath, gToneSchedule); error != FileError::None) {
            UnloadLoadMessage();
            showFileError(error);
            result = false;
        }
    }
    UnloadLoadMessage();
    DoEvents();
    return result;
}

bool BuildToneCalendarYear(bool download, QDate& firstDay, std::vector<CalendarEvent>& table)
{
    const QDate start(GetLocalTime().date().year(), 1, 1);
    const auto daysInYear = static_cast<int>(start.daysTo(start.addYears(1)));
    table.clear();
    table.reserve(static_cast<std::size_t>(kCalendarDayBlocks) * kCalendarEventsPerBlock);
    for (int d = 0; d < kCalendarDayBlocks; ++d) {
        const double date = d < daysInYear ? SerialFromDate(start.addDays(d)) : kEmptyBlockDate;
        for (int e = 0; e < kCalendarEventsPerBlock; ++e)
            table.push_back(DefaultCalendarEvent(date, e + 1));
    }
    firstDay = start;
    return !(download && linkResponding() && downloadYear(start, table));
}

bool LoadToneCalendar(bool download, bool& created, QDate& firstDay)
{
    const BusyPointer busy;
    const std::string dataFolderCalendar = DataFilePath("ToneGenCalendar.TGC");
    for (const std::string& path : {gToneGenCalendarFile, dataFolderCalendar}) {
        if (!FileExists(path))
            continue;
        CalendarEvent first;
        // An empty file holds no calendar: it is treated as missing.
        if (ReadRecordAt(path, 1, first) == FileError::None) {
            firstDay = DateFromSerial(first.EventDate);
            created = false;
            return true;
        }
        if (FileLength(path) > 0)
            ReportStatus("The calendar file " + PathInText(path) + " could not be read.", true);
    }
    if (!FolderExists(gDataFolder)) {
        showFileError(FileError::PathOrAccess);
        return false;
    }

    DoEvents();
    QDate start;
    std::vector<CalendarEvent> table;
    const bool cancelled = !BuildToneCalendarYear(download, start, table);

    bool result = true;
    if (!cancelled) {
        // A damaged calendar that stood in the way is kept as the .BAK.
        std::string bytes;
        bytes.reserve(table.size() * CalendarEvent::kLength);
        for (const auto& event : table)
            bytes += EncodeRecord(event);
        const FileError error = ReplaceFileContents(dataFolderCalendar, bytes, DataFilePath("ToneGenCalendar.TMP"),
                                                    DataFilePath("ToneGenCalendar.BAK"));
        if (error != FileError::None) {
            UnloadLoadMessage();
            showFileError(error);
            result = false;
        } else {
            firstDay = start;
            created = true;
        }
    }
    UnloadLoadMessage();
    DoEvents();
    return result;
}

// A download that read nothing of what the unit holds (an identification
// gone wrong finds no tone generator on a unit that answers) writes no file:
// defaults in its place would go up over the unit's own.
void ShowNothingRead(const std::string& what, const std::string& path)
{
    UnloadLoadMessage();
    ShowMessage("The " + unitInText() + " did not send its " + what + ". The file " + PathInText(path)
                    + " was not written.",
                kButtonsOk, kAnswerOk, kIconExclamation);
}
