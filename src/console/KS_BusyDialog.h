#pragma once
// A dialog that stays open while it talks to the encoder: the close box,
// Escape and its own Close or Cancel button do nothing until the
// conversation is over, so no wait is left running for a window that is gone.

#include <QCloseEvent>
#include <QDialog>

#include "KS_FormContents.h"
#include "KS_Forms.h"

class BusyDialog : public QDialog {
public:
    explicit BusyDialog(QWidget* parent = nullptr)
        : QDialog(parent)
    {
        // Closed to the operator for as long as it works, whatever of it stays live.
        SetOpenToOperatorCheck(this, [this] { return !busy_; });
    }
    bool Busy() const { return busy_; }
    // Exit is about to close the port, with the window still open: what its
    // device would go on doing without the console (a receiver's radio test)
    // is ended now, while the line still carries the stop.
    virtual void StopBeforeExit() {}

protected:
    void SetBusy(bool busy) { busy_ = busy; }
    // A conversation or a file job starts or ends: while it runs the window
    // stays open, shows the hourglass and keeps its controls off.
    void SetWorking(bool working)
    {
        SetBusy(working);
        if (working)
            ShowBusyPointer();
        else
            ShowNormalPointer();
        SetFormContentsEnabled(this, !working);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (busy_)
            event->ignore();
        else
            event->accept();
    }

private:
    bool busy_ = false;
};
