#pragma once
// The open and save dialog of the schedule files (dlgDBPath). Tests answer it
// through a hook instead of showing it.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

class QWidget;

struct ScheduleFileRequest {
    bool save = false;
    std::string filter;        // "Tone Generator Schedule (*.TGS)"
    std::string initialFolder; // ends in "/"
};

// The chosen path; nothing when the operator cancelled. The filter's
// patterns match file names in any case, as they did on the original system.
std::optional<std::string> ChooseScheduleFile(QWidget* owner, const ScheduleFileRequest& request);

using ScheduleFileDialogHook = std::function<std::optional<std::string>(const ScheduleFileRequest&)>;
// An empty hook shows the real dialog again.
void SetScheduleFileDialogHook(ScheduleFileDialogHook hook);

// Save As of the open schedule file, a file of records of recordLength bytes:
// asks for the new name, refuses the open file itself (compared as canonical
// paths, not as strings), asks before overwriting another, and copies the
// records through .TMP. The new path; nothing when no copy was made.
std::optional<std::string> SaveScheduleFileAs(QWidget* owner, const std::string& current, const std::string& filter,
                                              std::size_t recordLength);
