#pragma once
// The weekly paging schedule, one weekday at a time: the 100 entries of the
// day, the entry dialog for the selected one, and Copy From, which puts
// another day's entries onto the day shown.

#include <QDialog>
#include <cstdint>

class KS_MainForm;
class QComboBox;
class QLabel;
class QPushButton;
class QToolBar;
class QTreeWidget;

class KS_GEN_ScheduledPaging : public QDialog {
    Q_OBJECT

public:
    explicit KS_GEN_ScheduledPaging(QWidget* owner);

    void InitToolbar();
    void InitScheduleColumns();
    // Reloads the schedule from its file and lists the weekday (1 Monday .. 7 Sunday).
    bool LoadDaySchedule(int weekday);

    void cmbWeekDay_Click();
    void cmbCopyWeekDay_Click() { applyCopyFromRule(); }
    void cmdCopyFrom_Click();
    void cmdUpdate_Click();
    void cmdClose_Click() { close(); }

    // The weekday the list shows, 1 Monday .. 7 Sunday.
    int ShownWeekday() const { return shownWeekday_; }

    std::uint8_t mode_ = 2; // read by the entry dialog: 2 update

    QToolBar* tlbMenu = nullptr;
    QLabel* lblWeekDay = nullptr;
    QComboBox* cmbWeekDay = nullptr;
    QPushButton* cmdCopyFrom = nullptr;
    QComboBox* cmbCopyWeekDay = nullptr;
    QTreeWidget* lvwMessages = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void Form_Load();
    void applyCopyFromRule();

    int shownWeekday_ = 1;
};

// The columns of an entry row, which the entry dialog reads and refreshes.
namespace ScheduleColumn {
inline constexpr int No = 0, Time = 1, Pager = 2, AlertType = 3, Active = 4, Message = 5;
}
