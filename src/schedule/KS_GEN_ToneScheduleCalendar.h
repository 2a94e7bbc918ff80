#pragma once
// The one-year tone calendar: the year view with a mark on every day that
// holds an active event, the 100 events of the chosen day, the commands that
// change days, months, periods and weeks or rotate the year, the event
// dialog, the test tone, the transfers and the calendar files.

#include <QDate>
#include <cstdint>
#include <string>

#include "KS_BusyDialog.h"
#include "KS_Records.h"

class CalendarYearView;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// The list's columns, after the event number in the item text.
namespace CalendarColumn {
inline constexpr int Time = 1, Zone = 2, Type = 3, Level = 4, Length = 5, Repeat = 6, Delay = 7, Duration = 8,
                     Active = 9, Description = 10, Action = 11;
}

class KS_GEN_ToneScheduleCalendar : public BusyDialog {
    Q_OBJECT

public:
    explicit KS_GEN_ToneScheduleCalendar(QWidget* owner = nullptr);

    // Reads the device clock and lists the calendar's first day; the opener calls it once.
    void Form_Load();

    void ShowCalendarDay(int day, bool download);
    void SetCalendarRange(const QDate& start);
    void DrawDayIndicators();
    void SetIndicatorStatus(const QDate& eventDate, bool status);
    void ReadDeviceDateTime();
    bool UploadCalendar();
    bool ResetCalendarFile();
    void SetupToolbar();
    // One list row from one event, as the list and the event dialog show it.
    static void FillEventRow(QTreeWidgetItem* row, const CalendarEvent& event);

    void mvwCalendar_SelChange(const QDate& start, const QDate& end);
    void dtpSelectedFromDate_Change();
    void dtpSelectedToDate_Change();
    void lvwMessages_ItemClick();
    void lvwMessages_DblClick();
    void cmdUpdate_Click();
    void cmdClearEvents_Click();
    void cmdCopyFrom_Click();
    void cmdDefaultWeek_Click();
    void cmdRotation_Click();
    void cmdTest_Click();
    void cmdUpload_Click();
    void cmdDownload_Click();
    void cmdOpen_Click();
    void cmdSaveAs_Click();
    void cmdClose_Click();

    // The date whose events the list shows.
    QDate ShownDate() const { return mShownDate; }

    // The calendar changed since the last upload; the event dialog sets it.
    bool mScheduleChanged = false;
    // Set to 2 (update) before the event dialog opens; the dialog reads it.
    std::uint8_t mMode = 0;

    QToolBar* tlbMenu = nullptr;
    QWidget* pbxDetails = nullptr;
    CalendarYearView* mvwCalendar = nullptr;
    QTreeWidget* lvwMessages = nullptr;
    QGroupBox* fraScheduleSetup = nullptr;
    QLabel* lblEvents = nullptr;
    QComboBox* cmbEvents = nullptr;
    QPushButton* cmdClearEvents = nullptr;
    QLabel* lblRotation = nullptr;
    QComboBox* cmbRotation = nullptr;
    QPushButton* cmdRotation = nullptr;
    QLabel* lblSelectedPeriod = nullptr;
    QDateEdit* dtpSelectedFromDate = nullptr;
    QLabel* lblTo = nullptr;
    QDateEdit* dtpSelectedToDate = nullptr;
    QLabel* lblCopyTo = nullptr;
    QDateEdit* dtpCopyToDate = nullptr;
    QPushButton* cmdCopyFrom = nullptr;
    QLabel* lblSelectedWeek = nullptr;
    QLineEdit* txtSelectedWeek = nullptr;
    QPushButton* cmdDefaultWeek = nullptr;
    QLabel* lblScheduleStart = nullptr;
    QDateEdit* dtpScheduleStartDate = nullptr;
    QPushButton* cmdSetScheduleStartDate = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lblActiveEvetCount = nullptr;
    QLineEdit* txtActiveEvetCount = nullptr;
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
    void closeEvent(QCloseEvent* event) override;
    // Escape closes as the close box does, with the same question.
    void reject() override { close(); }

private:
    void buildControls();
    bool askYesNo(const std::string& text);
    void setCalendarFile(const std::string& path, bool remember);
    // Lists the day of the chosen date and redraws the marks after a file operation.
    void showChosenDay();

    QDate mShownDate;
    QDate mStart;        // the calendar's start date, the range's first day
    bool mValid = false; // the file holds a calendar that may be drawn and worked on
};
