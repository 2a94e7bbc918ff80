#pragma once
// The administrator login. OK compares the entry with the stored password,
// ignoring case and surrounding blanks.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;

class KS_SYS_Login : public QDialog {
    Q_OBJECT

public:
    explicit KS_SYS_Login(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLineEdit* txtDummy = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QToolBar* tlbMenu = nullptr;

    void cmdOk_Click();
    void cmdCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void txtPassword_GotFocus();
    void txtPassword_LostFocus();
};

// True when the entry matches the stored password as the login compares them.
bool PasswordMatches(std::string_view entry, std::string_view stored);
