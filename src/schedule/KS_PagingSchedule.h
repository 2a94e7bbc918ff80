#pragma once
// Changes to the weekly paging schedule: Schedule.DBS first, then gSchedule,
// so the seconds timer never fires an entry that the file does not hold.

#include <string>

#include "KS_Records.h"
#include "RecordFile.h"

inline constexpr int kScheduleRowsPerDay = 100;

// Entry index of a row (1..100) of a weekday (1 Monday .. 7 Sunday); record number is index + 1.
int ScheduleIndex(int weekday, int row);

std::string ScheduleFilePath();
// The operator's text for a failed write of Schedule.DBS.
std::string ScheduleWriteErrorMessage(FileError error);

// Writes the entry at its record with Fired 0 and, once that succeeded, puts
// it into gSchedule, so a saved entry fires again at its (new) time.
FileError StoreScheduleEntry(int index, ScheduleEntry entry);

// Copies every entry of one weekday onto another: the target day's records
// are written first, then gSchedule takes them. Copied entries start unfired.
// A failure is reported with "Error updating record."; false then.
bool CopyDaySchedule(int fromWeekday, int toWeekday);
