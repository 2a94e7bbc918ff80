#include "KS_PagingSchedule.h"

#include <algorithm>
#include <vector>

#include "KS_Database.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Registry.h"

int ScheduleIndex(int weekday, int row) { return (weekday - 1) * kScheduleRowsPerDay + row - 1; }

std::string ScheduleFilePath() { return DataFilePath("Schedule.DBS"); }

std::string ScheduleWriteErrorMessage(FileError error)
{
    if (error == FileError::PathOrAccess)
        return "Please confirm that the file " + ScheduleFilePath() + " "
               + "exists and that you have the appropriate access permissions.";
    return "Error updating record.";
}

FileError StoreScheduleEntry(int index, ScheduleEntry entry)
{
    if (index < 0 || index >= kScheduleEntries)
        return FileError::Other;
    entry.Fired = 0;
    if (!FolderExists(gDataFolder))
        return FileError::PathOrAccess;
    if (gSchedule.size() != static_cast<std::size_t>(kScheduleEntries))
        gSchedule.assign(kScheduleEntries, ScheduleEntry{});
    // Past the end of a short file the entries between go down too, as the list shows them,
    // so the file never holds a gap of zero bytes.
    const std::int64_t held = std::max<std::int64_t>(FileLength(ScheduleFilePath()), 0) / ScheduleEntry::kLength;
    const auto first = static_cast<int>(std::min<std::int64_t>(held, index));
    std::string bytes;
    for (int i = first; i < index; ++i)
        bytes += EncodeRecord(gSchedule[static_cast<std::size_t>(i)]);
    bytes += EncodeRecord(entry);
    const FileError error = RecordFile(ScheduleFilePath(), ScheduleEntry::kLength).WriteRecords(first + 1, bytes);
    if (error != FileError::None)
        return error;
    gSchedule[static_cast<std::size_t>(index)] = entry;
    return FileError::None;
}

bool CopyDaySchedule(int fromWeekday, int toWeekday)
{
    auto valid = [](int day) { return day >= 1 && day <= 7; };
    if (!valid(fromWeekday) || !valid(toWeekday) || gSchedule.size() != static_cast<std::size_t>(kScheduleEntries)) {
        ShowMessage("Error updating record.", kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    }
    ShowBusyPointer();
    std::vector<ScheduleEntry> day;
    std::string bytes;
    for (int row = 1; row <= kScheduleRowsPerDay; ++row) {
        day.push_back(gSchedule[static_cast<std::size_t>(ScheduleIndex(fromWeekday, row))]);
        day.back().Fired = 0;
        bytes += EncodeRecord(day.back());
    }
    // The day's block goes down in one write, so the file never holds half a copied day.
    const RecordFile days(ScheduleFilePath(), bytes.size());
    const bool copied = FolderExists(gDataFolder) && days.WriteRecord(toWeekday, bytes) == FileError::None;
    if (copied)
        std::copy(day.begin(), day.end(), gSchedule.begin() + ScheduleIndex(toWeekday, 1));
    ShowNormalPointer();
    if (!copied)
        ShowMessage("Error updating record.", kButtonsOk, kAnswerOk, kIconCritical);
    return copied;
}
