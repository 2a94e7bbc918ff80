#pragma once
// Edits the calendar event selected in the tone calendar window for the day
// it lists. The event goes to the calendar file and the list row only; the
// device learns of it at the window's next upload.

#include "KS_ToneEventDialog.h"

class KS_GEN_ToneScheduleCalendar;

class KS_GEN_ToneScheduleCalendarlAdd : public ToneEventDialog {
    Q_OBJECT

public:
    explicit KS_GEN_ToneScheduleCalendarlAdd(KS_GEN_ToneScheduleCalendar* owner);

    // False, after telling the operator, when the file could not be written.
    bool SaveCalendarEvent();
    void UpdateDurationFieldState(int action);

    void cmbAlertType_Click() override;
    void cmbAction_Click() override;
    void txtDurationMinutes_LostFocus();
    void txtDurationSeconds_LostFocus();
    void updDurationMinutes_Change();
    void updDurationSeconds_Change();

    QLabel* lblDuration = nullptr;
    QLineEdit* txtDurationMinutes = nullptr;
    QSpinBox* updDurationMinutes = nullptr;
    QLineEdit* txtDurationSeconds = nullptr;
    QSpinBox* updDurationSeconds = nullptr;

protected:
    void reject() override { cmdCancel_Click(); }
    void fillAlertTypes() override;
    void selectTypeOfRow(const QTreeWidgetItem* row) override;
    bool specialType() const override { return alertType() == 98 || alertType() == 99; }
    void loadTimeOut(const QTreeWidgetItem* row) override;
    bool okChecksPass() override;
    bool saveEvent() override { return SaveCalendarEvent(); }
    void saved() override;

private:
    void buildControls();
    int alertType() const;
    void setDurationEnabled(bool on);

    KS_GEN_ToneScheduleCalendar* window_ = nullptr;
    // A stored type that the list does not offer (9, 10, 91 to 97), kept unless another is chosen.
    int storedType_ = 0;
};
