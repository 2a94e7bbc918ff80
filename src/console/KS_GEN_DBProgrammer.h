#pragma once
// The database programmer: a whole range of users in one run, each with the
// same name, settings and groups and a capcode rising by a fixed step, sent
// to the encoder and written to Pager.DBS.

#include <QDialog>

#include "KS_UserDirectory.h"

class FormConventions;
class KS_MainForm;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QToolBar;

class KS_GEN_DBProgrammer : public QDialog {
    Q_OBJECT

public:
    // Opens over the main window: show() it; the main window is disabled until it closes.
    explicit KS_GEN_DBProgrammer(KS_MainForm* owner);
    ~KS_GEN_DBProgrammer() override;

    // True when the run reached the end, false when the operator cancelled it
    // (or it could not start).
    bool ProgramPagerRange();
    void SetButtonsEnabled(bool enabled);
    void SetupToolbar();

    void cmdProgram_Click();
    void cmdClear_Click();
    void cmdClose_Click();
    void txtPagerFrom_LostFocus();
    void txtPagerTo_LostFocus();
    void txtCapCodeFrom_LostFocus();
    void txtCapCodeInc_LostFocus();

    // ---- Controls
    QToolBar* tlbMenu = nullptr;
    QWidget* pbxDetails = nullptr;
    QLineEdit* txtPagerFrom = nullptr;
    QLineEdit* txtPagerTo = nullptr;
    QLineEdit* txtCapCodeFrom = nullptr;
    QLineEdit* txtCapCodeInc = nullptr;
    QSpinBox* updCapcodeInc = nullptr;
    QLineEdit* txtUserName = nullptr;
    QLineEdit* txtPhone = nullptr;
    QComboBox* cmbPagerType = nullptr;
    QComboBox* cmbPagerFormat = nullptr;
    QComboBox* cmbPagerBaud = nullptr;
    QComboBox* cmbPagerMode = nullptr;
    QLineEdit* txtDSC = nullptr;
    QCheckBox* chkPagerIsGroup = nullptr;
    QComboBox* cmbGroup = nullptr;
    QGroupBox* fraGroups = nullptr;
    QComboBox* cmbGroupFirst = nullptr;
    QComboBox* cmbGroupSecond = nullptr;
    QComboBox* cmbGroupThird = nullptr;
    QComboBox* cmbGroupFourth = nullptr;
    QPushButton* cmdProgram = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdClose = nullptr;
    QProgressBar* prgProgProgress = nullptr;
    QLabel* lblInfo = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { cmdClose_Click(); }

private:
    void buildControls();
    void Form_Load();
    bool programChecksPass();
    std::int32_t increment() const;

    KS_MainForm* owner_ = nullptr;
    bool running_ = false;
    bool buttonsEnabled_ = true;
    bool lineHeld_ = false; // a timer's job of the main window has the line
    PagerSettingControls settings_;
    FormConventions* conventions_ = nullptr;
};
