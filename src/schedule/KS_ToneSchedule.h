#pragma once
// The weekly tone schedule on the device: the event string that "PE" carries,
// the upload of a whole week, the active slot, the event read-back probe, the
// week fetched back into a new schedule file, the device clock and the test
// tone. Windows call these; nothing here touches a widget.

#include <QDateTime>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KS_Records.h"

// Where the zone travels in an event string, fixed by the unit's identity.
enum class ToneZonePlacement {
    AfterTime,   // three digits after the time (the older encoders and unidentified units)
    AfterActive, // two digits after the active flag (units with tone channels, and letter K tone generators)
    None,        // the speaker and the other tone generators
};
ToneZonePlacement ToneZonePlacementFor(std::string_view family, std::string_view modelLetter);
ToneZonePlacement CurrentToneZonePlacement();

// The unit counts weekdays from Sunday: "1" Sunday, "2" Monday .. "7" Saturday.
// Table index i lies on weekday i / 48, Monday first.
std::string ToneDayDigit(int index);
// For a weekday of the window's lists, 1 Monday .. 7 Sunday.
std::string ToneDayDigitOfWeekday(int weekday);

// A clock time as the schedule stores it ("08:30 PM"); a 24-hour "20:30" reads too.
bool ParseToneClockTime(std::string_view text, int& hours, int& minutes);

// The text after "PE" for table entry index on the given unit.
std::string ToneEventString(int index, const ToneScheduleEvent& event, std::string_view family,
                            std::string_view modelLetter);
// The same for the connected unit.
std::string ToneEventString(int index, const ToneScheduleEvent& event);

// Whether the alert type byte can travel in a "PE" line: 0 to 9 go as their
// digit, any other byte as itself, which a control character cannot.
bool ToneAlertTypeSendable(std::uint8_t alertType);

// The highest zone the event string carries where the zone travels (two or
// three digits); -1 where no zone travels. A stored zone above it (a file made
// for a unit with three-digit zones) cannot go to the unit: it would arrive
// as another zone.
int ToneZoneHighest(ToneZonePlacement placement);
bool ToneZoneFits(double zone, ToneZonePlacement placement);

// An entry that can go to the device: numbered 1 to 48 with a readable time.
// The zero bytes of a record that no one wrote are not an event.
bool IsToneEventComplete(const ToneScheduleEvent& event);

// The critical box for a schedule file that could not be read or written.
enum class FileError;
void ShowScheduleFileError(FileError error, const std::string& path);

// ---- Conversations (each waits through the link and reports on its own) ----

// The device's active slot from "?A": 1 to 4, or 0 for no usable answer.
int ReadActiveToneSlot();
// "PA" with the slot. False, with a beep, when the unit is silent or refuses.
bool SetActiveSlotOnDevice(int slot);
// "?E" "101": sets gToneEventsSupported when the unit hands an event back.
void ProbeToneEvents();

// Sends the schedule file's events one "PE" line each, Monday event 1 first.
// afterEvent runs once before the first line (sent 0) and after each
// acknowledged one. True when the upload ended as done; the operator has
// been told of every failure and of a partial upload. Refused while the file
// holds another slot's week (MarkToneSlotUnread).
using ToneUploadProgress = std::function<void(int sent, int total)>;
bool UploadToneSchedule(const ToneUploadProgress& afterEvent = {});

// A download that a window starts: the items are asked for one by one. One
// that does not come asks the operator (AskRetryDownload): Yes asks for that
// same item again, No ends the download there; once "Don't ask me again" is
// ticked, an item that still does not come ends it without a question.
// fetch returns whether item i came.
struct DeviceFetch {
    int missing = -1;       // the item that did not come, where the download ended; -1 for none
    bool cancelled = false; // the program is closing
    // Every item came: only then may the download replace a file.
    bool Whole() const { return missing < 0 && !cancelled; }
};
DeviceFetch FetchEachItem(int count, const std::function<bool(int index)>& fetch);
// Tells the operator which item ("event", "day") did not come, that the
// download ended there and that the file stays as it was; nothing when the
// download was whole or the program is closing.
void ReportIncompleteFetch(const DeviceFetch& fetch, int total, const char* item, const std::string& file);

// Reads all 336 events of the active slot into week. False, after telling the
// operator, when the unit is silent, has no tone generator, or an event did
// not come: then nothing of the week is to be kept.
bool FetchToneWeekFromDevice(std::vector<ToneScheduleEvent>& week);

// ToneGen.TGS in the data folder takes the device's week (the old file
// becomes ToneGen.BAK), and gToneGenFile and gToneSchedule follow it. A
// failed fetch or write leaves the file, gToneGenFile and gToneSchedule alone.
bool ResetToneScheduleFile();

// A switch to the slot was acknowledged but its week did not come: the file
// still holds the old slot's week, which no upload may send until a download
// of the slot succeeds. The operator is told.
void MarkToneSlotUnread(int slot);
// True, after telling the operator again, while the file holds another slot's week.
bool ToneUploadRefused();
// The same with the default week instead of the device's.
bool CreateDefaultToneScheduleFile();
// The operator chose the schedule himself (New, Open), or the window that
// switched is gone: what the file holds is no longer taken for the old slot's.
void ForgetUnreadToneSlot();

// Writes events from table index on in place in gToneGenFile, in one write,
// and puts them into gToneSchedule once they are down. A missing or short
// file is written whole, the other records as gToneSchedule holds them
// (an unread event stays unread), never left as zero bytes.
FileError StoreToneEvents(int index, const std::vector<ToneScheduleEvent>& events);

// Copies the 48 events of one weekday (1 Monday .. 7 Sunday) onto another in
// gToneSchedule and writes the target's records in place in gToneGenFile.
bool CopyToneWeekDay(int sourceWeekday, int targetWeekday);

// ---- The device clock ----------------------------------------------------------

// How a window reads and shows the "QT" clock. The weekly window takes a line
// of thirteen digits (hours, minutes, seconds, month, day, two-digit year,
// weekday), a check digit (their sum mod 10) and CR, and shows no seconds.
// The calendar window takes any fifteen characters that begin with the twelve
// digits of time and date, and shows the seconds.
enum class DeviceClockRule { Weekly, Calendar };
std::optional<QDateTime> ParseOneCommandClockLine(std::string_view line,
                                                  DeviceClockRule rule = DeviceClockRule::Weekly);
// "?D" and "?T" reply lines, read by the position of their "*".
std::optional<QDate> ParseDateReplyLine(std::string_view line);
struct TimeOfDayReading {
    QTime time;
    bool withSeconds = false;
};
std::optional<TimeOfDayReading> ParseTimeReplyLine(std::string_view line);

// How the window shows a clock: "Saturday, 06/15/24 02:05 PM".
std::string FormatDeviceDateTime(const QDate& date, const std::optional<TimeOfDayReading>& time);
// Asks the connected unit for its clock; "N/A" when it cannot be read.
std::string ReadDeviceDateTimeText(DeviceClockRule rule = DeviceClockRule::Weekly);

// ---- Test tone ----------------------------------------------------------------------

// One event as the window's list shows it.
struct TestToneEvent {
    std::string dayDigit;    // "1" Sunday .. "7" Saturday
    std::string eventNo;     // two digits
    int alertNumber = 1;     // 1 to 15
    std::string length;      // one digit
    std::string level;       // one digit
    std::string delayCode;   // one digit
    std::string repeatCode;  // one digit
    std::string zone;        // two digits; three for a calendar event
    // A calendar event: no weekday of its own, and its three-digit zone goes
    // as it stands on the units with tone actions, behind a "0" on the others.
    bool calendar = false;
};
struct LinkLine {
    std::string command;
    std::string data;
};
// The command and data that sound the event on the given unit; empty data
// when the unit has no way to do it.
LinkLine TestToneLine(const TestToneEvent& event, std::string_view family, std::string_view modelLetter);
// Sends it to the connected unit, when it has the tone generator (or, for a
// calendar event, the calendar). False when nothing was acknowledged or nothing could be sent.
bool SendTestTone(const TestToneEvent& event);
