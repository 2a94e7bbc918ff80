#pragma once
// The weekly tone schedule: the device's active slot, the 48 events of one
// weekday, the event dialog, Copy From, the transfers to and from the active
// slot, the schedule files and the test tone.

#include <cstdint>
#include <string>

#include "KS_BusyDialog.h"
#include "KS_Records.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// The list's columns, after the event number in the item text.
namespace ToneColumn {
inline constexpr int Time = 1, Zone = 2, Type = 3, Level = 4, Length = 5, Repeat = 6, Delay = 7, TimeOut = 8,
                     Active = 9, Description = 10, Action = 11;
}

class KS_GEN_ToneSchedule : public BusyDialog {
    Q_OBJECT

public:
    explicit KS_GEN_ToneSchedule(QWidget* owner = nullptr);

    // Reads the slot and the clock from the device and lists Monday; the opener calls it once.
    void Form_Load();

    void ShowWeekDaySchedule(int weekday, bool downloadAllowed);
    bool CopyWeekDaySchedule(int sourceWeekday, int targetWeekday);
    bool ResetScheduleFile();
    void ReadDeviceDateTime();
    bool UploadSchedule();
    void SetupToolbar();
    void SetupEventListColumns();
    // One list row from one event, as the list and the event dialog show it.
    static void FillEventRow(QTreeWidgetItem* row, const ToneScheduleEvent& event);

    void cmbSlot_GotFocus();
    void cmbSlot_Click();
    void cmbSlot_LostFocus(QWidget* newFocus);
    void cmdActivateSlot_MouseDown();
    void cmdActivateSlot_MouseUp();
    void cmdActivateSlot_Click();
    void cmbWeekDay_Click();
    void cmbCopyWeekDay_Click();
    void cmdCopyFrom_Click();
    void cmdUpdate_Click();
    void lvwMessages_DblClick();
    void lvwMessages_ItemClick();
    void cmdUpload_Click();
    void cmdDownload_Click();
    void cmdNew_Click();
    void cmdOpen_Click();
    void cmdSaveAs_Click();
    void cmdTest_Click();
    void cmdClose_Click();

    // The shown weekday, 1 Monday .. 7 Sunday.
    int ShownWeekday() const;
    bool WorkingOffline() const;
    int ActiveSlot() const { return mActiveSlot; }

    // Set to 2 (update) before the event dialog opens; the dialog reads it.
    std::uint8_t mMode = 0;

    QToolBar* tlbMenu = nullptr;
    QWidget* pbxDetails = nullptr;
    QLabel* lblSlot = nullptr;
    QComboBox* cmbSlot = nullptr;
    QPushButton* cmdActivateSlot = nullptr;
    QLabel* lblWeekDay = nullptr;
    QComboBox* cmbWeekDay = nullptr;
    QPushButton* cmdCopyFrom = nullptr;
    QComboBox* cmbCopyWeekDay = nullptr;
    QCheckBox* chkOffLine = nullptr;
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
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape closes the window as Close does, never in the middle of a transfer.
    void reject() override { cmdClose_Click(); }

private:
    void buildControls();
    void showActiveSlot();
    bool askYesNo(const std::string& text, std::int16_t defaultButton);
    bool transferChecksPass();
    void showFirstWeekday();
    void setScheduleFile(const std::string& path, bool remember);
    std::string overwriteNotice() const;

    std::int16_t mActiveSlot = 0;
    bool mSwitching = false;
};
