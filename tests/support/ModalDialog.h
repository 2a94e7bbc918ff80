#pragma once
// Works a modal dialog from inside the test: the script runs on the dialog of
// type Dialog once open() has shown it. A dialog the script leaves open is
// closed and the test fails, and so does one that never opened, so a fault
// that keeps the dialog up ends the test instead of hanging it.

#include <gtest/gtest.h>

#include <QDialog>
#include <QTimer>
#include <functional>

template <class Dialog>
void WorkModalDialog(QObject* owner, const std::function<void(Dialog&)>& script, const std::function<void()>& open)
{
    const char* name = Dialog::staticMetaObject.className();
    bool ran = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        Dialog* dialog = owner->findChild<Dialog*>();
        // Until open() shows it, it may still come.
        if (!dialog || !dialog->isVisible())
            return;
        poll.stop();
        ran = true;
        script(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << name << " was still open after the script: it did not close itself";
            dialog->done(QDialog::Rejected);
        }
    });
    poll.start();
    open();
    poll.stop();
    if (!ran)
        ADD_FAILURE() << name << " never opened";
}
