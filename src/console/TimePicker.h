#pragma once
// The time box of a dialog that sets a time of day on the 12-hour clock. Its
// AM/PM part takes a letter as the operator expects of a time picker: P makes
// the time PM and A makes it AM, shown at once, and the M that follows when
// "am" or "pm" is typed in full changes nothing. "0214P" runs through the hour
// and the minutes into that part, so the letter typed after the digits lands
// there too. The arrow keys and typing move between the box's parts; Tab
// leaves the box, as it leaves every other box of the dialog.

#include <QTimeEdit>

class TimePicker : public QTimeEdit {
public:
    using QTimeEdit::QTimeEdit;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
