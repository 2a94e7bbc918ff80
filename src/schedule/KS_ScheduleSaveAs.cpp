#include "KS_ScheduleSaveAs.h"

#include <filesystem>
#include <vector>

#include "KS_Database.h"
#include "KS_FileDialog.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_ToneSchedule.h"

namespace {

bool samePath(const std::string& a, const std::string& b)
{
    std::error_code error;
    const auto left = std::filesystem::weakly_canonical(a, error);
    const auto right = std::filesystem::weakly_canonical(b, error);
    return !error && left == right;
}

} // namespace

std::optional<std::string> SaveScheduleFileAs(QWidget* owner, const std::string& current, const std::string& filter,
                                              std::size_t recordLength)
{
    const auto path = ChooseFile(owner, {true, filter, gDataFolder + "/"});
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
