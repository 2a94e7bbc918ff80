#pragma once
// The user dialog: adds users to the directory one after the other, or
// changes one. Each save goes to the encoder and to Pager.DBS in one step and
// shows in the main window's user list at once.

#include <QDialog>
#include <optional>
#include <string>

#include "KS_UserDirectory.h"

class FormConventions;
class KS_MainForm;
class QPushButton;
class QToolBar;

class KS_GEN_UserAdd : public QDialog {
    Q_OBJECT

public:
    // Opened by the main window's Add and Update buttons, which set EditMode
    // first and disable the main window; closing enables it again.
    explicit KS_GEN_UserAdd(KS_MainForm* owner);

    void LoadUserForEdit();
    // False when the operator gave up after the encoder did not take the user
    // (or the user could not be sent or stored); the fields are kept then.
    bool SaveUser();
    void ClearFields();
    void SetupToolbar();

    void cmdOk_Click();
    void cmdCancel_Click();
    void txtUserID_LostFocus();
    void txtCapcode_LostFocus();

    // ---- Controls
    QToolBar* tlbMenu = nullptr;
    QLabel* lblUserID = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLabel* lblUserName = nullptr;
    QLineEdit* txtUserName = nullptr;
    QLabel* lblCapcode = nullptr;
    QLineEdit* txtCapcode = nullptr;
    QLabel* lblPhone = nullptr;
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
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes the dialog like Cancel, through closeEvent.
    void reject() override { cmdCancel_Click(); }

private:
    void buildControls();
    void Form_Load();
    // What follows the unit: the record read by its codes (update) and the fields it allows.
    void applyUnitRules();
    // A unit found only at OK: the lists and the record again, by its codes,
    // with the operator's entries kept; false when one of them is not offered.
    bool readAgainForUnit(const UserFormFields& chosen);
    void setBusy(bool busy);
    bool okChecksPass();
    UserFormFields fieldsFromControls() const;

    KS_MainForm* owner_ = nullptr;
    bool adding_ = true;
    bool saving_ = false;
    bool lineHeld_ = false; // a timer's job of the main window has the line
    std::string editedPagerNo_; // the row that Update was opened for
    std::optional<EditedUser> edited_; // that user as read, and as the controls showed it
    QWidget* content_ = nullptr;
    PagerSettingControls settings_;
    FormConventions* conventions_ = nullptr;
};
