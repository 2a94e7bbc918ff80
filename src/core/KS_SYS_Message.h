#pragma once
// The program's one message window. Filled and shown only by ShowMessage.

#include <QDialog>
#include <cstdint>

#include "KS_Messages.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

class KS_SYS_Message : public QDialog {
    Q_OBJECT

public:
    explicit KS_SYS_Message(QWidget* parent = nullptr);

    // Lays the window out for one request (buttons, icon, texts, time-out).
    void Prepare(const MessageRequest& request);
    // Shows the window modally until a button, Escape or the time-out answers it.
    void ShowMe();

    QLabel* lblMessageText = nullptr;
    QLabel* pic_Critical = nullptr;
    QLabel* pic_Question = nullptr;
    QLabel* pic_Exclamation = nullptr;
    QLabel* pic_Information = nullptr;
    QPushButton* cmd_Ok = nullptr;
    QPushButton* cmd_Cancel = nullptr;
    QPushButton* cmd_Yes = nullptr;
    QPushButton* cmd_No = nullptr;
    QCheckBox* chkOption = nullptr;
    QTimer* tmrTimeOut = nullptr;

    void cmd_Ok_Click() { answer(kAnswerOk); }
    void cmd_Cancel_Click() { answer(kAnswerCancel); }
    void cmd_Yes_Click() { answer(kAnswerYes); }
    void cmd_No_Click() { answer(kAnswerNo); }
    void tmrTimeOut_Timer();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void answer(std::int16_t result);
    bool handleKey(QKeyEvent* event);
    void pressEscapeButton();

    QPushButton* escapeButton_ = nullptr;
    bool pointerWasBusy_ = false;
    bool answered_ = false;
};
