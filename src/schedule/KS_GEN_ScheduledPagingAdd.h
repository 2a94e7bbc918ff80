#pragma once
// One entry of the weekly paging schedule: time, pager, alert type or free
// message, active. Saving makes the entry live at once for the seconds timer.

#include <QDialog>

#include "TimePicker.h"

class KS_GEN_ScheduledPaging;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;

class KS_GEN_ScheduledPagingAdd : public QDialog {
    Q_OBJECT

public:
    explicit KS_GEN_ScheduledPagingAdd(KS_GEN_ScheduledPaging* list);

    void InitToolbar();
    void LoadSelectedEntry();
    bool SaveScheduleEntry();

    void cmbAlertType_Click();
    void txtUserID_Validate();
    void cmdOk_Click();
    void cmdCancel_Click() { reject(); }

    QToolBar* tlbMenu = nullptr;
    QLabel* lblTime = nullptr;
    TimePicker* dtpTime = nullptr;
    QLabel* lblUserID = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLabel* lblAlertType = nullptr;
    QComboBox* cmbAlertType = nullptr;
    QLabel* lblMessage = nullptr;
    QLineEdit* txtMessage = nullptr;
    QCheckBox* chkActive = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void Form_Load();

    KS_GEN_ScheduledPaging* list_ = nullptr;
};
