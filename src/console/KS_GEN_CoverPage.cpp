#include "KS_GEN_CoverPage.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_String.h"
#include "OptionList.h"

namespace {

constexpr OptionItem kRepeatTimes[] = {
    {"5 Sec.", 5},   {"10 Sec.", 10}, {"15 Sec.", 15}, {"20 Sec.", 20}, {"25 Sec.", 25},  {"30 Sec.", 30},
    {"35 Sec.", 35}, {"40 Sec.", 40}, {"45 Sec.", 45}, {"50 Sec.", 50}, {"55 Sec.", 55},  {"1 Min.", 60},
    {"2 Min.", 120}, {"3 Min.", 180}, {"4 Min.", 240}, {"5 Min.", 300},
};
constexpr int kFirstMinuteItem = 12;
constexpr int kDefaultRepeatItem = 5; // "30 Sec."
constexpr int kOneMinuteMs = 60000;

std::string twoDigits(int value) { return ZeroPad(value, 2); }

} // namespace

std::string CoverPageText(const std::string& message, bool timeStamp, const QDateTime& now)
{
    if (!timeStamp)
        return message;
    const QDate d = now.date();
    const QTime t = now.time();
    return message + ". Date & Time: " + twoDigits(d.month()) + "/" + twoDigits(d.day()) + "/"
        + twoDigits(d.year() % 100) + " " + twoDigits(t.hour()) + ":" + twoDigits(t.minute()) + ":"
        + twoDigits(t.second());
}

KS_GEN_CoverPage::KS_GEN_CoverPage(KS_MainForm* mainForm)
    : QDialog(mainForm)
    , mainForm_(mainForm)
{
    setObjectName("KS_GEN_CoverPage");
    setWindowTitle("Cover Page");
    auto* root = new QVBoxLayout(this);

    clbMenu = new QFrame(this);
    clbMenu->setObjectName("clbMenu");
    auto* coolBar = new QHBoxLayout(clbMenu);
    coolBar->setContentsMargins(0, 0, 0, 0);
    tlbMenu = new QToolBar(clbMenu);
    tlbMenu->setObjectName("tlbMenu");
    coolBar->addWidget(tlbMenu);
    root->addWidget(clbMenu);

    pbxDetails = new QFrame(this);
    pbxDetails->setObjectName("pbxDetails");
    pbxDetails->setFrameShape(QFrame::StyledPanel);
    auto* fields = new QGridLayout(pbxDetails);
    txtUserID = new QLineEdit(pbxDetails);
    txtUserID->setObjectName("txtUserID");
    txtUserID->setMaxLength(3);
    Label2 = new QLabel("Send To &Pager:", pbxDetails);
    Label2->setObjectName("Label2");
    Label2->setBuddy(txtUserID);
    txtMessage = new QLineEdit(pbxDetails);
    txtMessage->setObjectName("txtMessage");
    Label1 = new QLabel("&Message Text:", pbxDetails);
    Label1->setObjectName("Label1");
    Label1->setBuddy(txtMessage);
    cmbRepeatTime = new QComboBox(pbxDetails);
    cmbRepeatTime->setObjectName("cmbRepeatTime");
    lblPagerMode = new QLabel("&Repeat Time:", pbxDetails);
    lblPagerMode->setObjectName("lblPagerMode");
    lblPagerMode->setBuddy(cmbRepeatTime);
    chkTimeStamp = new QCheckBox("Add PC &Time Stamp", pbxDetails);
    chkTimeStamp->setObjectName("chkTimeStamp");
    chkRandomize = new QCheckBox("R&andomize Pager", pbxDetails);
    chkRandomize->setObjectName("chkRandomize");
    fields->addWidget(Label2, 0, 0);
    fields->addWidget(txtUserID, 0, 1);
    fields->addWidget(Label1, 1, 0);
    fields->addWidget(txtMessage, 1, 1, 1, 3);
    fields->addWidget(lblPagerMode, 2, 0);
    fields->addWidget(cmbRepeatTime, 2, 1);
    fields->addWidget(chkTimeStamp, 3, 1);
    fields->addWidget(chkRandomize, 3, 2);
    root->addWidget(pbxDetails);

    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setAutoDefault(false);
    root->addWidget(cmdClose, 0, Qt::AlignRight);

    tmrCoverPage = new QTimer(this);
    tmrCoverPage->setObjectName("tmrCoverPage");
    tmrCoverPage->setInterval(15000);

    connect(cmdClose, &QPushButton::clicked, this, &KS_GEN_CoverPage::cmdClose_Click);
    connect(tlbMenu, &QToolBar::actionTriggered, this, &KS_GEN_CoverPage::tlbMenu_ButtonClick);
    connect(txtUserID, &QLineEdit::editingFinished, this, &KS_GEN_CoverPage::txtUserID_Validate);
    connect(tmrCoverPage, &QTimer::timeout, this, &KS_GEN_CoverPage::tmrCoverPage_Timer);

    auto* conventions = FormConventions::Install(this);
    conventions->SetKeyFilter(txtUserID, DigitsOnlyKey);
    conventions->ExemptFromEnter(cmdClose);

    Form_Load();
    connect(cmbRepeatTime, &QComboBox::activated, this, &KS_GEN_CoverPage::cmbRepeatTime_Click);
}

void KS_GEN_CoverPage::Form_Load()
{
    move(Twips(2600), Twips(2200));
    SetToolbarImages();
    FillRepeatTimeCombo();
    AsOptionList(cmbRepeatTime).SetSelectedIndex(kDefaultRepeatItem);
    txtUserID->setText("100");
    txtMessage->setMaxLength(100);
    txtMessage->setText("Testing - Sending Cover Page");
    restartCoverTimer(static_cast<int>(AsOptionList(cmbRepeatTime).ItemData(kDefaultRepeatItem)) * 1000);
}

void KS_GEN_CoverPage::SetToolbarImages()
{
    QAction* close = tlbMenu->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), "Close");
    close->setObjectName("cmdClose");
}

void KS_GEN_CoverPage::FillRepeatTimeCombo()
{
    OptionList& list = AsOptionList(cmbRepeatTime);
    list.Clear();
    AppendItems(list, kRepeatTimes);
}

void KS_GEN_CoverPage::restartCoverTimer(int intervalMs)
{
    tmrCoverPage->stop();
    tmrCoverPage->setInterval(intervalMs);
    // Under a test's own clock the test fires the events itself.
    if (!HasYieldHook())
        tmrCoverPage->start();
}

void KS_GEN_CoverPage::cmbRepeatTime_Click()
{
    tmrCoverPage->stop();
    eventCounter_ = 0;
    OptionList& list = AsOptionList(cmbRepeatTime);
    const int index = list.SelectedIndex();
    if (index < 0)
        return;
    const int seconds = static_cast<int>(list.ItemData(index));
    if (index >= kFirstMinuteItem) {
        repeatMinutes_ = static_cast<std::int16_t>(seconds / 60);
        restartCoverTimer(kOneMinuteMs);
    } else {
        repeatMinutes_ = 0;
        restartCoverTimer(seconds * 1000);
    }
}

void KS_GEN_CoverPage::txtUserID_Validate()
{
    txtUserID->setText(ToQString(ZeroPad(static_cast<int>(Val(FromQString(txtUserID->text()))), 3)));
}

void KS_GEN_CoverPage::tmrCoverPage_Timer()
{
    if (eventCounter_ < repeatMinutes_)
        ++eventCounter_;
    if (eventCounter_ < repeatMinutes_)
        return;
    // The test never nests: while its own page (or any other conversation) is
    // on the line, or a device programmer has the port, the page that comes
    // due waits for the next event.
    if (sending_ || LinkConversation::ConversationActive() || gDeviceWindowsOpen > 0)
        return;
    eventCounter_ = 0;

    if (chkRandomize->isChecked()) {
        // An empty user list leaves the typed pager number.
        QTreeWidget* users = mainForm_->lvwUsers;
        const int rows = users->topLevelItemCount();
        if (rows > 0)
            txtUserID->setText(users->topLevelItem(static_cast<int>(QRandomGenerator::global()->bounded(rows)))->text(1));
    }
    txtUserID_Validate();

    gCoverPageRequest.SetPagerNo(FromQString(txtUserID->text()).substr(0, 3));
    gCoverPageRequest.Kind = PageRequest::kCoverPage;
    gCoverPageRequest.IsVoice = false;
    gCoverPageRequest.Message =
        CoverPageText(FromQString(txtMessage->text()), chkTimeStamp->isChecked(), GetLocalTime());

    QPointer<KS_GEN_CoverPage> self(this);
    sending_ = true;
    mainForm_->SendCoverPager();
    if (self)
        sending_ = false;
}

void KS_GEN_CoverPage::tlbMenu_ButtonClick(QAction* button)
{
    if (button && button->objectName() == "cmdClose")
        cmdClose_Click();
}

void KS_GEN_CoverPage::cmdClose_Click() { close(); }

void KS_GEN_CoverPage::reject()
{
    tmrCoverPage->stop();
    QDialog::reject();
}

void KS_GEN_CoverPage::closeEvent(QCloseEvent* event)
{
    // Closing ends the test at once, even while a page is still on its way.
    tmrCoverPage->stop();
    QDialog::closeEvent(event);
}
