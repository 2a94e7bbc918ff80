#include "TimePicker.h"

#include <QKeyEvent>

void TimePicker::keyPressEvent(QKeyEvent* event)
{
    // With Alt or Ctrl the letter is an access key or a command, not the half of the day.
    const bool plain = !(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier));
    const QString letter = event->text().toUpper();
    if (plain && currentSection() == AmPmSection && (letter == QLatin1String("A") || letter == QLatin1String("P"))) {
        const bool pm = letter == QLatin1String("P");
        const QTime shown = time();
        if ((shown.hour() >= 12) != pm)
            setTime(shown.addSecs(pm ? 12 * 3600 : -12 * 3600));
        event->accept();
        return;
    }
    QTimeEdit::keyPressEvent(event);
}
