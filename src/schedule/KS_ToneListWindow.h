#pragma once
// What the weekly tone schedule window and the tone calendar window share:
// one day's events in the same columns, the device clock, the test tone, the
// upload's progress, the event dialog, and Open and Save As of their file.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "KS_BusyDialog.h"
#include "KS_Messages.h"
#include "KS_ToneSchedule.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// The list's columns, after the event number in the item text; column 8 is
// the weekly countdown or activation time, or the calendar event's duration.
namespace ToneColumn {
inline constexpr int Time = 1, Zone = 2, Type = 3, Level = 4, Length = 5, Repeat = 6, Delay = 7, TimeOut = 8,
                     Duration = 8, Active = 9, Description = 10, Action = 11;
}

// The file a window works on: its dialog filters, its setting and its program-wide path.
struct ToneFileKind {
    const char* openFilter;
    const char* saveFilter;
    const char* setting;
    std::string& path;
    std::size_t recordLength;
    const char* what; // "schedule" or "calendar", as the tool tips name it
};

class ToneListWindow : public BusyDialog {
    Q_OBJECT

public:
    void ReadDeviceDateTime();

    virtual void cmdUpdate_Click() = 0;
    virtual void cmdTest_Click() = 0;
    virtual void cmdUpload_Click() = 0;
    virtual void cmdDownload_Click() = 0;
    virtual void cmdOpen_Click() = 0;
    void cmdSaveAs_Click();
    void cmdClose_Click() { close(); }
    void lvwMessages_DblClick();

    // The list's column weights, for sizing its columns again after a save.
    const std::vector<double>& ColumnWeights() const { return columnWeights_; }

    // Set to 2 (update) before the event dialog opens.
    std::uint8_t mode_ = 0;

    QToolBar* tlbMenu = nullptr;
    QWidget* pbxDetails = nullptr;
    QTreeWidget* lvwMessages = nullptr;
    QLabel* lblFileName = nullptr;
    QLineEdit* txtFileName = nullptr;
    QLabel* lblDateTime = nullptr;
    QLineEdit* txtDateTime = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdUpload = nullptr;
    QPushButton* cmdDownload = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdSaveAs = nullptr;
    QPushButton* cmdClose = nullptr;
    QProgressBar* prgProgress = nullptr;
    QLabel* lblInfo = nullptr;

protected:
    ToneListWindow(QWidget* owner, const char* name, const char* caption, ToneFileKind file);

    // After the controls are built: the shared buttons' handlers and the form conventions.
    void connectCommands();
    void setupToolbar(bool withTest);
    void setupColumns(const char* timeOutCaption, const std::vector<double>& weights);
    // Columns Level to Action, which both lists fill alike.
    static void fillToneColumns(QTreeWidgetItem* row, int level, int length, int repeat, int delay, bool active,
                                const std::string& description, int action);

    bool askYesNo(const std::string& text, std::int16_t defaultButton = kAnswerNo);
    void setFile(const std::string& path, bool remember);
    // Loads the file for a listing. Loading lets events run (a damaged
    // file's status beeps); a command that gives the window another file
    // meanwhile (Open, New, a download) is taken by this listing, which loads
    // again, so the list never shows one file's events under another's name.
    // (The calendar's listing reads all it lists from the file named after
    // its load, and needs none.)
    bool loadForListing(const std::function<bool()>& load);
    // The file the operator chose to open, now the window's; false when the
    // dialog was cancelled or accept refused the file (and said why).
    bool chooseFileToOpen(const std::function<bool(const std::string&)>& accept);
    // The selected row as a test tone: alert number, length, level, codes and zone; false without a row.
    bool selectedTone(TestToneEvent& event) const;
    void sendTestTone(const TestToneEvent& event);
    // Runs a transfer with the progress bar and the status label, whose
    // counts follow prefix; true when it ended as done. The label then says
    // "Done !" or "Canceled !", never what an earlier transfer left there.
    using TransferJob = std::function<bool(const std::function<void(int, int)>&)>;
    bool runTransfer(const QString& prefix, const TransferJob& transfer);
    bool runUpload(const TransferJob& upload);
    // Opens an event dialog on the selected row and waits until it is closed.
    void openEventDialog(QDialog* dialog);

    // How this window reads the device clock.
    DeviceClockRule clockRule_ = DeviceClockRule::Weekly;

private:
    ToneFileKind file_;
    std::vector<double> columnWeights_;
    std::uint64_t fileChanges_ = 0;
};
