#pragma once
// The time box of a dialog that sets a time of day on the 12-hour clock. Its
// AM/PM part takes a letter as the operator expects of a time picker: P makes
// the time PM and A makes it AM. "0214P" runs through the hour and the minutes
// into that part, so the letter typed after the digits lands there too.

#include <QTimeEdit>

class TimePicker : public QTimeEdit {
public:
    using QTimeEdit::QTimeEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
