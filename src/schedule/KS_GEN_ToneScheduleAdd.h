#pragma once
// Edits the weekly tone event selected in the tone schedule window: sends it
// to the device as "PE", then keeps it in gToneSchedule, the schedule file
// and the list row.

#include "KS_ToneEventDialog.h"

class KS_GEN_ToneSchedule;

class KS_GEN_ToneScheduleAdd : public ToneEventDialog {
    Q_OBJECT

public:
    explicit KS_GEN_ToneScheduleAdd(KS_GEN_ToneSchedule* owner);

    // False when nothing was kept (the operator gave up after the send failed, or the file could not be written).
    bool SaveScheduleEvent();
    void UpdateActivityFieldState(int action);

    void cmbAlertType_Click() override;
    void cmbAction_Click() override;
    void txtCountdown_LostFocus();
    void txtActivitySeconds_LostFocus();
    void updCountdown_Change();
    void updActivitySeconds_Change();

    QLabel* lblCountdown = nullptr;
    QLineEdit* txtCountdown = nullptr;
    QSpinBox* updCountdown = nullptr;
    QLabel* lblActivityDuration = nullptr;
    QLineEdit* txtActivitySeconds = nullptr;
    QSpinBox* updActivitySeconds = nullptr;

protected:
    // Escape cancels as the Cancel button does, never while the event is on its way to the device.
    void reject() override { cmdCancel_Click(); }
    void fillAlertTypes() override;
    void selectTypeOfRow(const QTreeWidgetItem* row) override;
    bool specialType() const override { return typeNine(); }
    void loadTimeOut(const QTreeWidgetItem* row) override;
    bool okChecksPass() override;
    bool saveEvent() override { return SaveScheduleEvent(); }

private:
    // What shapes the dialog's boxes and the event it builds: where the zone
    // travels and whether alert 10 carries an action.
    struct UnitClass {
        int zonePlacement = 0;
        bool actions = false;
        bool operator==(const UnitClass&) const = default;
    };
    static UnitClass connectedUnitClass();
    // The tone generator counts as absent: the unit is identified again, as
    // the table dialogs do at Ok. False when it turned out another kind of
    // unit, whose rules the dialog then follows; nothing may go out yet.
    bool sameUnitAfterIdentifying();

    void buildControls();
    int alertValue() const;
    bool typeNine() const;
    bool typeTen() const;
    bool activation() const;

    KS_GEN_ToneSchedule* window_ = nullptr;
    UnitClass unitClass_ = connectedUnitClass();
};
