#include "TimePicker.h"

#include <QKeyEvent>

bool TimePicker::event(QEvent* event)
{
    // The time edit would spend Tab on its next part; an operator tabbing
    // through the dialog would need three presses to get past the time.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            QWidget::focusNextPrevChild(forward);
            key->accept();
            return true;
        }
    }
    return QTimeEdit::event(event);
}

void TimePicker::keyPressEvent(QKeyEvent* event)
{
    // With Alt or Ctrl the letter is an access key or a command, not the half of the day.
    const bool plain = !(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier));
    const QString letter = event->text().toUpper();
    if (plain && currentSection() == AmPmSection) {
        if (letter == QLatin1String("A") || letter == QLatin1String("P")) {
            const bool pm = letter == QLatin1String("P");
            const QTime shown = time();
            if ((shown.hour() >= 12) != pm)
                setTime(shown.addSecs(pm ? 12 * 3600 : -12 * 3600));
            event->accept();
            return;
        }
        // The rest of "am" or "pm": the half was already taken from its first letter.
        if (letter == QLatin1String("M")) {
            event->accept();
            return;
        }
    }
    QTimeEdit::keyPressEvent(event);
}
