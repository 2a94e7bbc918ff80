#pragma once
// The transmitter coverage test: while this window is open it sends the same
// test page to one pager at the chosen interval, so that a technician walking
// the site with the pager can see where pages arrive.

#include <QDateTime>
#include <QDialog>
#include <cstdint>
#include <string>

class KS_MainForm;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolBar;

class KS_GEN_CoverPage : public QDialog {
    Q_OBJECT

public:
    // Loads the window and starts the test; the first page goes out one repeat time later.
    explicit KS_GEN_CoverPage(KS_MainForm* mainForm);

    QFrame* pbxDetails = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtMessage = nullptr;
    QLabel* lblPagerMode = nullptr;
    QComboBox* cmbRepeatTime = nullptr;
    QCheckBox* chkTimeStamp = nullptr;
    QCheckBox* chkRandomize = nullptr;
    QTimer* tmrCoverPage = nullptr;
    QFrame* clbMenu = nullptr;
    QToolBar* tlbMenu = nullptr;
    QPushButton* cmdClose = nullptr;

    void cmbRepeatTime_Click();
    void cmdClose_Click();
    void tlbMenu_ButtonClick(QAction* button);
    void txtUserID_Validate();
    void tmrCoverPage_Timer();

    // 0 while the repeat time is given in seconds.
    std::int16_t RepeatMinutes() const { return repeatMinutes_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape ends the test as Close does, not by hiding the window while it pages on.
    void reject() override;

private:
    void Form_Load();
    void FillRepeatTimeCombo();
    void SetToolbarImages();
    void restartCoverTimer(int intervalMs);

    KS_MainForm* mainForm_ = nullptr;
    std::int16_t repeatMinutes_ = 0;
    std::int16_t eventCounter_ = 0;
    bool sending_ = false;
};

// The test page's text: the message, and with a time stamp ". Date & Time: "
// and the moment as MM/DD/YY HH:NN:SS on the 24-hour clock.
std::string CoverPageText(const std::string& message, bool timeStamp, const QDateTime& now);
