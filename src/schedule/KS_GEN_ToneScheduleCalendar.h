#pragma once
// The one-year tone calendar: the year view with a mark on every day that
// holds an active event, the 100 events of the chosen day, the commands that
// change days, months, periods and weeks or rotate the year, the event
// dialog, the test tone, the transfers and the calendar files.

#include <QDate>
#include <string>

#include "KS_Records.h"
#include "KS_ToneListWindow.h"

class CalendarYearView;
class QComboBox;
class QDateEdit;
class QGroupBox;

class KS_GEN_ToneScheduleCalendar : public ToneListWindow {
    Q_OBJECT

public:
    explicit KS_GEN_ToneScheduleCalendar(QWidget* owner = nullptr);

    // Reads the device clock and lists the calendar's first day; the opener calls it once.
    void Form_Load();

    void ShowCalendarDay(int day, bool download);
    void SetCalendarRange(const QDate& start);
    void DrawDayIndicators();
    void SetIndicatorStatus(const QDate& eventDate, bool status);
    bool UploadCalendar();
    bool ResetCalendarFile();
    // One list row from one event, as the list and the event dialog show it.
    static void FillEventRow(QTreeWidgetItem* row, const CalendarEvent& event);

    void mvwCalendar_SelChange(const QDate& start, const QDate& end);
    void dtpSelectedFromDate_Change();
    void dtpSelectedToDate_Change();
    void lvwMessages_ItemClick();
    void cmdUpdate_Click() override;
    void cmdClearEvents_Click();
    void cmdCopyFrom_Click();
    void cmdDefaultWeek_Click();
    void cmdRotation_Click();
    void cmdTest_Click() override;
    void cmdUpload_Click() override;
    void cmdDownload_Click() override;
    void cmdOpen_Click() override;

    // The date whose events the list shows.
    QDate ShownDate() const { return shownDate_; }

    // The calendar changed since the last upload; the event dialog sets it.
    bool scheduleChanged_ = false;

    CalendarYearView* mvwCalendar = nullptr;
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

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes as the close box does, with the same question.
    void reject() override { close(); }

private:
    void buildControls();
    // Lists the day of the chosen date and redraws the marks after a file operation.
    void showChosenDay();

    QDate shownDate_;
    // The day last asked for while a listing loads the file, and whether one does.
    int dayAsked_ = 1;
    bool listing_ = false;
    QDate start_;        // the calendar's start date, the range's first day
    bool valid_ = false; // the file holds a calendar that may be drawn and worked on
};
