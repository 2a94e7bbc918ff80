#pragma once
// The settings dialog: data folder, connection (serial port, or modem on a
// port with a phone number), port settings, administrator password, the
// default sign-board page size and two start-up options. OK validates, writes
// every setting, creates the data folder and an empty user table when they
// are missing, reopens the port, identifies the encoder again and reloads the
// schedule table.

#include <QDialog>
#include <array>
#include <string>
#include <string_view>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolBar;

class KS_GEN_Configure : public QDialog {
    Q_OBJECT

public:
    explicit KS_GEN_Configure(QWidget* owner = nullptr);

    QLineEdit* txtPath = nullptr;
    QPushButton* cmdBrowse = nullptr;
    std::array<QRadioButton*, 2> optConnect{}; // 0 serial, 1 modem
    QComboBox* cmbCom = nullptr;
    QComboBox* cmbComModem = nullptr;
    QLabel* lblPortNote = nullptr;
    QLineEdit* txtPhone = nullptr;
    QComboBox* cmbComSettings = nullptr;
    QLineEdit* txtPassword = nullptr;
    QGroupBox* fraSimulation = nullptr;
    QLineEdit* txtCharPerLine = nullptr;
    QSpinBox* updCharPerLine = nullptr;
    QLineEdit* txtLines = nullptr;
    QSpinBox* updLines = nullptr;
    QCheckBox* chkAutoHideStartup = nullptr;
    QCheckBox* chkOverrideUTCTime = nullptr;
    QToolBar* tlbMenu = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Validates, writes and applies the settings; true when all of it was done (the dialog then closes).
    bool UpdateConfiguration();
    void LoadCurrentSettings();
    bool ValidateSettings();
    void FillComSettingsCombo();

    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdBrowse_Click();
    void optConnect_Click(int index);
    void txtCharPerLine_LostFocus();
    void txtLines_LostFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows a folder in the path box whole, however long it is.
    void showPath(const QString& path);
    void Form_Load();
    void showPortNote();
};

// The data-folder path as the dialog stores it: blanks around it and every
// trailing path separator removed.
std::string CleanDataFolderPath(std::string_view typed);
