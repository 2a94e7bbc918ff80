#include "KS_ScheduleFileDialog.h"

#include <QFileDialog>
#include <filesystem>

#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_String.h"
#include "KS_ToneSchedule.h"

namespace {
ScheduleFileDialogHook& dialogHook()
{
    static ScheduleFileDialogHook hook;
    return hook;
}
bool samePath(const std::string& a, const std::string& b)
{
    std::error_code error;
    const auto left = std::filesystem::weakly_canonical(a, error);
    const auto right = std::filesystem::weakly_canonical(b, error);
    return !error && left == right;
}
} // namespace

void SetScheduleFileDialogHook(ScheduleFileDialogHook hook) { dialogHook() = std::move(hook); }

std::optional<std::string> ChooseScheduleFile(QWidget* owner, const ScheduleFileRequest& request)
{
    if (dialogHook())
        return dialogHook()(request);
    QFileDialog dialog(owner, QString(), ToQString(request.initialFolder), ToQString(request.filter));
    // Qt's own dialog, because only it can be told to match "*.TGS" against "week.tgs".
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (request.save)
        dialog.setOption(QFileDialog::DontConfirmOverwrite); // the window asks in its own words
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FromQString(dialog.selectedFiles().first());
}

std::optional<std::string> SaveScheduleFileAs(QWidget* owner, const std::string& current, const std::string& filter,
                                              std::size_t recordLength)
{
    const auto path = ChooseScheduleFile(owner, {true, filter, gDataFolder + "/"});
    if (!path)
        return std::nullopt;
    if (samePath(*path, current)) {
        ShowMessage("Save As file name can not be the same as current file name. Please select a different file name.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
        return std::nullopt;
    }
    if (FileExists(*path)
        && ShowMessage(*path + " already exist. Are you sure you want to overwrite it?", kButtonsYesNo, kAnswerNo,
                       kIconQuestion)
            != kAnswerYes)
        return std::nullopt;
    std::vector<std::string> records;
    FileError error = RecordFile(current, recordLength).ReadAll(records);
    if (error == FileError::None)
        error = RecordFile(*path, recordLength).ReplaceAll(records);
    if (error != FileError::None) {
        ShowScheduleFileError(error, *path);
        return std::nullopt;
    }
    return path;
}
