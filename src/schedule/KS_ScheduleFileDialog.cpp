#include "KS_ScheduleFileDialog.h"

#include <QFileDialog>

#include "KS_String.h"

namespace {
ScheduleFileDialogHook& dialogHook()
{
    static ScheduleFileDialogHook hook;
    return hook;
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
