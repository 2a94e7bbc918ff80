#pragma once
// The About box: the program and what is known of the connected encoder.

#include <QDialog>
#include <string>

class QPlainTextEdit;
class QPushButton;

class KS_SYS_About : public QDialog {
    Q_OBJECT

public:
    explicit KS_SYS_About(QWidget* parent = nullptr);

    QPlainTextEdit* txtAbout = nullptr;
    QPlainTextEdit* txtSystemInfo = nullptr;
    QPushButton* cmdOk = nullptr;

    void cmdOk_Click();
};

std::string AboutProgramText();
std::string AboutSystemText();
