#pragma once
// The weekly tone schedule: the device's active slot, the 48 events of one
// weekday, the event dialog, Copy From, the transfers to and from the active
// slot, the schedule files and the test tone.

#include <cstdint>
#include <string>

#include "KS_Records.h"
#include "KS_ToneListWindow.h"

class QCheckBox;
class QComboBox;

class KS_GEN_ToneSchedule : public ToneListWindow {
    Q_OBJECT

public:
    explicit KS_GEN_ToneSchedule(QWidget* owner = nullptr);
    // The lock on a slot whose week did not come ends with the window.
    ~KS_GEN_ToneSchedule() override;

    // Reads the slot and the clock from the device and lists Monday; the opener calls it once.
    void Form_Load();

    // False, with the list as it was, when the schedule file could not be read.
    bool ShowWeekDaySchedule(int weekday, bool downloadAllowed);
    bool CopyWeekDaySchedule(int sourceWeekday, int targetWeekday);
    bool ResetScheduleFile();
    bool UploadSchedule();
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
    void lvwMessages_ItemClick();
    void cmdUpdate_Click() override;
    void cmdTest_Click() override;
    void cmdUpload_Click() override;
    void cmdDownload_Click() override;
    void cmdNew_Click();
    void cmdOpen_Click() override;

    // The shown weekday, 1 Monday .. 7 Sunday.
    int ShownWeekday() const { return shownWeekday_; }
    bool WorkingOffline() const;
    int ActiveSlot() const { return activeSlot_; }

    QLabel* lblSlot = nullptr;
    QComboBox* cmbSlot = nullptr;
    QPushButton* cmdActivateSlot = nullptr;
    QLabel* lblWeekDay = nullptr;
    QComboBox* cmbWeekDay = nullptr;
    QPushButton* cmdCopyFrom = nullptr;
    QComboBox* cmbCopyWeekDay = nullptr;
    QCheckBox* chkOffLine = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape closes the window as Close does, never in the middle of a transfer.
    void reject() override { cmdClose_Click(); }

private:
    void buildControls();
    void showActiveSlot();
    bool transferChecksPass();
    // "Please select active slot." while the window knows none.
    bool slotChosen();
    void showFirstWeekday();
    std::string overwriteNotice() const;
    // False, after telling the operator, while the last load of the schedule
    // broke off: the table then holds only part of the file.
    bool scheduleReadWhole();

    std::int16_t activeSlot_ = 0;
    bool switching_ = false;
    int shownWeekday_ = 1;
    // The day last asked for while a listing loads the file, and whether one does.
    int weekdayAsked_ = 1;
    bool listing_ = false;
    bool readWhole_ = true;
};
