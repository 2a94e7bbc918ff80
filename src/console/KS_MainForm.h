#pragma once
// The operator's console: the program's one long-lived window.

#include <string>

#include "KS_General.h"

class QLineEdit;
class QTimer;

class KS_MainForm : public MainWindowBase {
    Q_OBJECT

public:
    explicit KS_MainForm(QWidget* parent = nullptr);
    ~KS_MainForm() override;

    void Form_Load() override;

    // The status line; noOfBeeps < 0 takes the default (3 for an error, else 0).
    void ReportStatus(const std::string& statusText, bool isError = false, int noOfBeeps = -1);
    void WaitTicks(int noOf50msCycles);

    QLineEdit* txtStatus = nullptr;
    QTimer* tmrDelay = nullptr;

    void tmrDelay_Timer();
};

// The one global instance, created by Main.
inline KS_MainForm* gMainForm = nullptr;
