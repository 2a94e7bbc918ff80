#include "KS_ToneListWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "KS_Database.h"
#include "KS_FileDialog.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_ListServices.h"
#include "KS_ListWindow.h"
#include "KS_PagingLists.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_Toolbar.h"

namespace {

bool samePath(const std::string& a, const std::string& b)
{
    std::error_code error;
    const auto left = std::filesystem::weakly_canonical(a, error);
    const auto right = std::filesystem::weakly_canonical(b, error);
    return !error && left == right;
}

std::string text(const QTreeWidgetItem* row, int column) { return FromQString(row->text(column)); }

} // namespace

ToneListWindow::ToneListWindow(QWidget* owner, const char* name, const char* caption, ToneFileKind file)
    : BusyDialog(owner)
    , file_(file)
{
    setObjectName(name);
    setWindowTitle(caption);
}

void ToneListWindow::connectCommands()
{
    EnableColumnClickSorting(lvwMessages);
    connect(lvwMessages, &QTreeWidget::itemDoubleClicked, this, &ToneListWindow::lvwMessages_DblClick);
    connect(cmdUpdate, &QPushButton::clicked, this, &ToneListWindow::cmdUpdate_Click);
    connect(cmdTest, &QPushButton::clicked, this, &ToneListWindow::cmdTest_Click);
    connect(cmdUpload, &QPushButton::clicked, this, &ToneListWindow::cmdUpload_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &ToneListWindow::cmdDownload_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &ToneListWindow::cmdOpen_Click);
    connect(cmdSaveAs, &QPushButton::clicked, this, &ToneListWindow::cmdSaveAs_Click);
    connect(cmdClose, &QPushButton::clicked, this, &ToneListWindow::cmdClose_Click);
    txtFileName->setReadOnly(true);
    txtDateTime->setReadOnly(true);
    // The status label speaks only of a transfer that ran.
    lblInfo->hide();
    FormConventions::Install(this);
}

void ToneListWindow::setupToolbar(bool withTest)
{
    const std::string& model = gEncoderModelName;
    const std::string what = file_.what;
    std::vector<ToolbarButton> buttons = {
        {"cmdClose", "Close", "", "Close"},
        {"cmdUpdate", "Update", "", "Update"},
        {"cmdUpload", "Upload", "Upload the " + what + " to the " + model, "Upload"},
        {"cmdDownload", "Download", "Download the " + what + " from the " + model, "Download"},
        {"cmdNew", "New", "", "Add"},
        {"cmdSaveAs", "Save As", "Save the " + what + " in another file", "Save"},
        {"cmdOpen", "Open", "Open a " + what + " file", "Open"},
    };
    if (withTest)
        buttons.push_back({"cmdTest", "Test Tone", "", "Ok"});
    BuildCommandToolbar(tlbMenu, this, buttons);
}

void ToneListWindow::setupColumns(const char* timeOutCaption, const std::vector<double>& weights)
{
    columnWeights_ = weights;
    SetupListViewColumns(lvwMessages, weights,
                         {"No.", "Time", "Zone", "Type", "Level", "Length", "Repeat", "Delay", timeOutCaption,
                          "Active", "Description", "Action Type"});
}

void ToneListWindow::fillToneColumns(QTreeWidgetItem* row, int level, int length, int repeat, int delay, bool active,
                                     const std::string& description, int action)
{
    row->setText(ToneColumn::Level, QString::number(level));
    row->setText(ToneColumn::Length, QString::number(length));
    row->setText(ToneColumn::Repeat, ToQString(AlertRepeatText(std::to_string(repeat), true)));
    row->setText(ToneColumn::Delay, ToQString(AlertDelayText(std::to_string(delay), true)));
    row->setText(ToneColumn::Active, active ? "Yes" : "No");
    row->setForeground(ToneColumn::Active, active ? QColor(192, 0, 0) : QColor(0, 0, 255));
    row->setText(ToneColumn::Description, ToQString(Trim(StripChar(description, std::string_view("\0", 1)))));
    row->setText(ToneColumn::Action, ToQString(ToneActionText(std::to_string(action), true)));
}

void ToneListWindow::ReadDeviceDateTime()
{
    txtDateTime->setText("N/A");
    ShowBusyPointer();
    txtDateTime->setText(ToQString(ReadDeviceDateTimeText(clockRule_)));
    ShowNormalPointer();
}

bool ToneListWindow::askYesNo(const std::string& text, std::int16_t defaultButton)
{
    return ShowMessage(text, kButtonsYesNo, defaultButton, kIconQuestion) == kAnswerYes;
}

void ToneListWindow::lvwMessages_DblClick()
{
    if (cmdUpdate->isEnabled() && lvwMessages->topLevelItemCount() > 0)
        cmdUpdate_Click();
}

// ---- Files ----------------------------------------------------------------------------------

void ToneListWindow::setFile(const std::string& path, bool remember)
{
    txtFileName->setText(PathToQString(path));
    if (remember)
        SaveConfigSetting(file_.setting, path);
    file_.path = path;
    ++fileChanges_;
}

bool ToneListWindow::loadForListing(const std::function<bool()>& load)
{
    bool loaded = false;
    std::uint64_t before = 0;
    do {
        before = fileChanges_;
        loaded = load();
    } while (fileChanges_ != before);
    return loaded;
}

bool ToneListWindow::chooseFileToOpen(const std::function<bool(const std::string&)>& accept)
{
    const auto path = ChooseFile(this, {false, file_.openFilter, gDataFolder + "/"});
    // A refused file never becomes the one every later opening starts from.
    if (!path || !accept(*path))
        return false;
    setFile(*path, true);
    return true;
}

void ToneListWindow::cmdSaveAs_Click()
{
    const std::string current = file_.path;
    if (current.empty())
        return;
    const auto path = ChooseFile(this, {true, file_.saveFilter, gDataFolder + "/"});
    if (!path)
        return;
    // The open file under another spelling is still the open file.
    if (samePath(*path, current)) {
        ShowMessage("Save As file name can not be the same as current file name. Please select a different file name.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
        return;
    }
    if (FileExists(*path) && !askYesNo(PathInText(*path) + " already exist. Are you sure you want to overwrite it?"))
        return;
    // A failure names the file it met: the current one that could not be read, or the target.
    std::vector<std::string> records;
    if (const FileError error = RecordFile(current, file_.recordLength).ReadAll(records); error != FileError::None) {
        ShowScheduleFileError(error, current);
        return;
    }
    if (const FileError error = RecordFile(*path, file_.recordLength).ReplaceAll(records); error != FileError::None) {
        ShowScheduleFileError(error, *path);
        return;
    }
    setFile(*path, true);
}

// ---- Test tone, upload, event dialog -----------------------------------------------------------------

bool ToneListWindow::selectedTone(TestToneEvent& event) const
{
    const QTreeWidgetItem* row = SelectedListRow(lvwMessages);
    if (!row)
        return false;
    event.eventNo = text(row, 0);
    event.alertNumber = static_cast<int>(Val(text(row, ToneColumn::Type)));
    event.length = text(row, ToneColumn::Length);
    event.level = text(row, ToneColumn::Level);
    event.delayCode = AlertDelayText(text(row, ToneColumn::Delay), false);
    event.repeatCode = AlertRepeatText(text(row, ToneColumn::Repeat), false);
    event.zone = text(row, ToneColumn::Zone);
    return true;
}

void ToneListWindow::sendTestTone(const TestToneEvent& event)
{
    SetWorking(true);
    cmdTest->setEnabled(false);
    SendTestTone(event);
    cmdTest->setEnabled(true);
    SetWorking(false);
}

bool ToneListWindow::runTransfer(const QString& prefix, const TransferJob& transfer)
{
    TransferProgress progress(prgProgress, lblInfo, prefix);
    const bool done = transfer([&progress](int count, int total) {
        if (count == 0)
            progress.Start(total);
        else
            progress.Step();
    });
    progress.Finish(done);
    lblInfo->show();
    return done;
}

bool ToneListWindow::runUpload(const TransferJob& upload)
{
    SetWorking(true);
    const bool done = runTransfer("Uploading...", upload);
    SetWorking(false);
    return done;
}

void ToneListWindow::openEventDialog(QDialog* dialog)
{
    mode_ = 2;
    SetFormContentsEnabled(this, false);
    // Exit may end the program while the dialog is up.
    const QPointer<ToneListWindow> self(this);
    const QPointer<QDialog> open(dialog);
    dialog->exec();
    delete open.data();
    if (self)
        SetFormContentsEnabled(this, true);
}
