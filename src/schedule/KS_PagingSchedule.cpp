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
    return FileUpdateErrorMessage(error, ScheduleFilePath());
}

namespace {

// Writes a run of entries from an index on in one write, Fired saved as 0,
// and puts them into gSchedule once they are down. Past the end of a short
// file the entries between go down too, as the default entries the list shows
// for them: a gap of zero bytes would list as blank rows that cannot be saved.
FileError writeEntries(int index, std::vector<ScheduleEntry> entries)
{
    if (!FolderExists(gDataFolder))
        return FileError::PathOrAccess;
    if (gSchedule.size() != static_cast<std::size_t>(kScheduleEntries))
        gSchedule.assign(kScheduleEntries, ScheduleEntry{});
    const std::int64_t held = std::max<std::int64_t>(FileLength(ScheduleFilePath()), 0) / ScheduleEntry::kLength;
    const auto first = static_cast<int>(std::min<std::int64_t>(held, index));
    std::vector<ScheduleEntry> run;
    for (int i = first; i < index; ++i)
        run.push_back(DefaultScheduleEntry(i % kScheduleRowsPerDay));
    run.insert(run.end(), entries.begin(), entries.end());
    std::string bytes;
    for (ScheduleEntry& entry : run) {
        entry.Fired = 0;
        bytes += EncodeRecord(entry);
    }
    const FileError error = RecordFile(ScheduleFilePath(), ScheduleEntry::kLength).WriteRecords(first + 1, bytes);
    if (error == FileError::None)
        std::copy(run.begin(), run.end(), gSchedule.begin() + first);
    return error;
}

} // namespace

FileError StoreScheduleEntry(int index, ScheduleEntry entry)
{
    if (index < 0 || index >= kScheduleEntries)
        return FileError::Other;
    return writeEntries(index, {entry});
}

bool CopyDaySchedule(int fromWeekday, int toWeekday)
{
    auto valid = [](int day) { return day >= 1 && day <= 7; };
    if (!valid(fromWeekday) || !valid(toWeekday) || gSchedule.size() != static_cast<std::size_t>(kScheduleEntries)) {
        ShowMessage("Error updating record.", kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    }
    ShowBusyPointer();
    const auto source = gSchedule.begin() + ScheduleIndex(fromWeekday, 1);
    const bool copied = writeEntries(ScheduleIndex(toWeekday, 1), {source, source + kScheduleRowsPerDay})
                        == FileError::None;
    ShowNormalPointer();
    if (!copied)
        ShowMessage("Error updating record.", kButtonsOk, kAnswerOk, kIconCritical);
    return copied;
}
