#pragma once
// Save As of the open schedule file, shared by the schedule windows.

#include <cstddef>
#include <optional>
#include <string>

class QWidget;

// Asks for the new name of a file of records of recordLength bytes, refuses
// the open file itself (compared as canonical paths, not as strings), asks
// before overwriting another, and copies the records through .TMP. The new
// path; nothing when no copy was made.
std::optional<std::string> SaveScheduleFileAs(QWidget* owner, const std::string& current, const std::string& filter,
                                              std::size_t recordLength);
