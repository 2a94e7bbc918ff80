#pragma once
// What the weekly tone event dialog and the calendar event dialog share: the
// boxes and lists of one event, the row they load from and write back to,
// the rules that are the same in both, and the OK and Cancel flow.

#include <QSpinBox>
#include <algorithm>
#include <initializer_list>
#include <string>

#include "KS_BusyDialog.h"
#include "TimePicker.h"

class ToneListWindow;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QTreeWidgetItem;

// A value typed into a box beside a spinner, kept within the spinner's range.
inline int ClampToSpinner(double value, const QSpinBox* spinner)
{
    return static_cast<int>(
        std::clamp(value, static_cast<double>(spinner->minimum()), static_cast<double>(spinner->maximum())));
}

// One enabling rule for a group of controls (a label with its list or boxes).
inline void EnableControls(std::initializer_list<QWidget*> controls, bool on)
{
    for (QWidget* control : controls)
        control->setEnabled(on);
}

class ToneEventDialog : public BusyDialog {
    Q_OBJECT

public:
    void LoadEventIntoDialog();
    void SetupDialogToolbar();

    virtual void cmbAlertType_Click() = 0;
    virtual void cmbAction_Click() = 0;
    void cmbAlertRepeat_Click();
    void txtZone_LostFocus();
    void cmdOk_Click();
    void cmdCancel_Click();

    QToolBar* tlbMenu = nullptr;
    QWidget* pbxDetails = nullptr;
    QLabel* Label1 = nullptr;
    TimePicker* dtpTime = nullptr;
    QLabel* lblZone = nullptr;
    QLineEdit* txtZone = nullptr;
    QLabel* lblDesc = nullptr;
    QLineEdit* txtDesc = nullptr;
    QLabel* lblAlertType = nullptr;
    QComboBox* cmbAlertType = nullptr;
    QLabel* lblAlertLength = nullptr;
    QComboBox* cmbAlertLength = nullptr;
    QLabel* lblAlertLevel = nullptr;
    QComboBox* cmbAlertLevel = nullptr;
    QLabel* lblAlertRepeat = nullptr;
    QComboBox* cmbAlertRepeat = nullptr;
    QLabel* lblAlertDelay = nullptr;
    QComboBox* cmbAlertDelay = nullptr;
    QLabel* lblAction = nullptr;
    QComboBox* cmbAction = nullptr;
    QCheckBox* chkActive = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    // zoneDigits: as many as the unit's zones have; a longer stored zone is kept whole.
    ToneEventDialog(ToneListWindow* owner, const char* name, int zoneDigits);

    // After the controls are built: the shared handlers, the key filters of the digit boxes.
    void connectControls(std::initializer_list<QLineEdit*> digitBoxes);
    // Fills the lists (the alert types through fillAlertTypes), sets the caption, loads the row.
    void loadDialog(const QString& caption);

    virtual void fillAlertTypes() = 0;
    // Selects the type the row shows; the level and length follow unless specialType.
    virtual void selectTypeOfRow(const QTreeWidgetItem* row) = 0;
    virtual bool specialType() const = 0;
    // Column 8: the countdown, activation time or duration.
    virtual void loadTimeOut(const QTreeWidgetItem* row) = 0;
    // The checks before the save, in their order; false keeps the dialog open.
    virtual bool okChecksPass() = 0;
    virtual bool saveEvent() = 0;
    virtual void saved() {}

    QTreeWidgetItem* selectedRow() const;
    // "This scheduled event is not activated." for an inactive event; false unless the operator goes on.
    bool confirmInactive();
    // The selected row's event number, 1 to highest; 0, after "Error updating record.", for any other.
    int eventNumber(int highest);
    int zoneValue() const;
    // The zone as the unit's digits write it.
    std::string zoneText() const;
    // Another unit came on the line: its zones have this many digits. The zone typed stays.
    void setZoneDigits(int zoneDigits);
    // The row shows the saved event again, in its sorted place.
    void showSaved(QTreeWidgetItem* row);

    ToneListWindow* owner_ = nullptr;

private:
    int zoneDigits_;
};
