#pragma once
// The file-open and file-save dialog (the common dialog of the original
// windows). Tests answer it through a hook instead of showing it.

#include <functional>
#include <optional>
#include <string>

class QWidget;

struct FileDialogRequest {
    bool save = false;
    std::string filter;        // "Wave Audio Files (*.wav)"
    std::string initialFolder; // ends in "/"
};

// The chosen path; nothing when the operator cancelled. The filter's
// patterns match file names in any case, as they did on the original system.
// A name to save under that has no extension takes the filter's first one
// ("Week" becomes "Week.TGS"), so that Open finds the file again.
std::optional<std::string> ChooseFile(QWidget* owner, const FileDialogRequest& request);

using FileDialogHook = std::function<std::optional<std::string>(const FileDialogRequest&)>;
// An empty hook shows the real dialog again.
void SetFileDialogHook(FileDialogHook hook);
