#include "KS_FileDialog.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

#include "KS_String.h"

namespace {
FileDialogHook& dialogHook()
{
    static FileDialogHook hook;
    return hook;
}

// "TGS" from "Tone Generator Schedule (*.TGS)"; empty when the filter names no extension.
std::string filterExtension(const std::string& filter)
{
    const std::size_t star = filter.find("*.");
    if (star == std::string::npos)
        return {};
    const std::size_t end = filter.find_first_of(" ;)", star);
    return filter.substr(star + 2, end == std::string::npos ? end : end - star - 2);
}

std::string withExtension(const std::string& path, const std::string& extension)
{
    const std::size_t name = path.find_last_of('/');
    const bool hasOne = path.find('.', name == std::string::npos ? 0 : name + 1) != std::string::npos;
    return hasOne || extension.empty() ? path : path + "." + extension;
}

std::optional<std::string> askOperator(QWidget* owner, const FileDialogRequest& request)
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
    // The size, type and date columns fit their text ("23.0 KiB", a whole
    // date and time); the name takes the width that is left.
    if (auto* files = dialog.findChild<QTreeView*>("treeView")) {
        QHeaderView* header = files->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return PathFromQString(dialog.selectedFiles().first());
}

} // namespace

void SetFileDialogHook(FileDialogHook hook) { dialogHook() = std::move(hook); }

std::optional<std::string> ChooseFile(QWidget* owner, const FileDialogRequest& request)
{
    std::optional<std::string> path = askOperator(owner, request);
    if (path && request.save)
        path = withExtension(*path, filterExtension(request.filter));
    return path;
}
