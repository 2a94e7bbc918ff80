#include "KS_FileDialog.h"

#include <QFileDialog>

#include "KS_String.h"

namespace {
FileDialogHook& dialogHook()
{
    static FileDialogHook hook;
    return hook;
}
} // namespace

void SetFileDialogHook(FileDialogHook hook) { dialogHook() = std::move(hook); }

std::optional<std::string> ChooseFile(QWidget* owner, const FileDialogRequest& request)
{
    if (dialogHook())
        return dialogHook()(request);
    QFileDialog dialog(owner, QString(), PathToQString(request.initialFolder), ToQString(request.filter));
    // Qt's own dialog, because only it can be told to match "*.wav" against "BELL.WAV".
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (request.save)
        dialog.setOption(QFileDialog::DontConfirmOverwrite); // the window asks in its own words
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return PathFromQString(dialog.selectedFiles().first());
}
