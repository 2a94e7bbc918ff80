#include "KS_MainForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "CommPort.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_LinkHooks.h"
#include "KS_ListServices.h"
#include "KS_Messages.h"
#include "KS_Modem.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_Registry.h"
#include "OptionList.h"
#include "KS_String.h"
#include "KS_UserDirectory.h"
#include "VoiceMessage.h"
#include "WaveRecorder.h"

namespace {

// The console's colours were given blue-green-red; these are the same colours as RGB.
constexpr QRgb kStatusColour = 0xFFFF80;      // the line's normal text
constexpr QRgb kStatusErrorColour = 0x00FFFF; // an error text, which blinks
constexpr QRgb kGroupRowColour = 0xC00000;
constexpr QRgb kUserRowColour = 0x0000FF;

const std::vector<double> kUsersWeights = {4.05, 1.6, 0, 3, 2};
const std::vector<double> kSelectedWeights = {2, 4, 0};

constexpr int kVoiceTypeId = 4; // the Type ID of a voice pager

enum UsersColumn { kUserName = 0, kUserPager = 1, kUserTypeId = 2, kUserType = 3, kUserCapcode = 4 };
enum SelectedColumn { kSelPager = 0, kSelName = 1, kSelTypeId = 2 };

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, const char* tip)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(name);
    button->setToolTip(QString::fromLatin1(tip));
    button->setAutoDefault(false);
    return button;
}

QComboBox* makeCombo(QWidget* parent, const char* name)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    return combo;
}

QLabel* makeLabel(QWidget* parent, const char* name, const char* caption, QWidget* buddy = nullptr)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    if (name)
        label->setObjectName(name);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

QString statusStyle(QRgb colour)
{
    return QStringLiteral("background-color: black; color: #%1;").arg(colour, 6, 16, QLatin1Char('0'));
}

// Without a notification area nothing could bring a hidden window back.
bool windowMayHide() { return QSystemTrayIcon::isSystemTrayAvailable(); }

QTreeWidget* makeList(QWidget* parent, const char* name, const char* tip)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setToolTip(QString::fromLatin1(tip));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->header()->setSectionsClickable(true);
    return list;
}

} // namespace

KS_MainForm::KS_MainForm(std::unique_ptr<CommPort> port, QWidget* parent)
    : MainWindowBase(parent)
    , port_(port ? std::move(port) : std::make_unique<CommPort>())
{
    setObjectName("KS_MainForm");
    gMainForm = this;
    comUnitConnect = port_.get();
    gComm = comUnitConnect;
    buildControls();
    buildMenus();
    buildVoiceRecorder();

    tmrDelay = new QTimer(this);
    tmrDelay->setObjectName("tmrDelay");
    tmrDelay->setInterval(50);
    connect(tmrDelay, &QTimer::timeout, this, &KS_MainForm::tmrDelay_Timer);

    tmrCheckCOMPort = new QTimer(this);
    tmrCheckCOMPort->setObjectName("tmrCheckCOMPort");
    tmrCheckCOMPort->setInterval(50);
    connect(tmrCheckCOMPort, &QTimer::timeout, this, &KS_MainForm::tmrCheckCOMPort_Timer);

    tmrSeconds = new QTimer(this);
    tmrSeconds->setObjectName("tmrSeconds");
    tmrSeconds->setInterval(1000);
    connect(tmrSeconds, &QTimer::timeout, this, &KS_MainForm::tmrSeconds_Timer);

    tmrMinutes = new QTimer(this);
    tmrMinutes->setObjectName("tmrMinutes");
    tmrMinutes->setInterval(60000);
    connect(tmrMinutes, &QTimer::timeout, this, &KS_MainForm::tmrMinutes_Timer);

    // The tick and the receiver run from the window's creation. A test that
    // drives time with its own pump keeps them still, so its transcripts are exact.
    if (!HasYieldHook()) {
        tmrDelay->start();
        tmrCheckCOMPort->start();
    }

    SetConnectionStatusSink([this](const std::string& caption) {
        lblConnectionStatus->setText(ToQString(caption));
        showUnitInDevicesMenu();
        // The pager types read by the unit's code table: another unit found
        // (by Configure, a dial-out or any window) gives the rows other texts.
        if (listedUsersUnit() != listedUsersUnit_ && lvwUsers->topLevelItemCount() > 0)
            refillUsersKeepingSelection();
    });

    SetStatusSink([this](const std::string& text, bool isError, int beeps) { showStatus(text, isError, beeps); });
}

KS_MainForm::~KS_MainForm()
{
    SetStatusSink({});
    SetConnectionStatusSink({});
    if (gComm == comUnitConnect)
        gComm = nullptr;
    if (gMainForm == this)
        gMainForm = nullptr;
}

void KS_MainForm::buildControls()
{
    pbxMain = new QWidget(this);
    pbxMain->setObjectName("pbxMain");
    pbxMain->setToolTip("Press F1 for help ");
    QWidget* central = pbxMain;
    auto* root = new QVBoxLayout(central);

    // Connection and modem state
    auto* statusRow = new QHBoxLayout;
    lblConnectionStatus = makeLabel(central, "lblConnectionStatus", "Not Connected");
    lblConnectionStatus->setFrameShape(QFrame::Panel);
    lblConnectionStatus->setFrameShadow(QFrame::Sunken);
    lblModemStatus = makeLabel(central, "lblModemStatus", "Modem Offline");
    lblModemStatus->setFrameShape(QFrame::Panel);
    lblModemStatus->setFrameShadow(QFrame::Sunken);
    lblModemStatus->setStyleSheet("color: #400040;");
    statusRow->addWidget(lblConnectionStatus, 3);
    statusRow->addWidget(lblModemStatus, 1);
    root->addLayout(statusRow);

    // The user lists
    auto* lists = new QGridLayout;
    txtUserID = new QLineEdit(central);
    txtUserID->setObjectName("txtUserID");
    txtUserID->setToolTip("Type in pager no to search for ");
    lblUserID = makeLabel(central, "lblUserID", "F&ind Pager:", txtUserID);
    txtUserName = new QLineEdit(central);
    txtUserName->setObjectName("txtUserName");
    txtUserName->setToolTip("Type in user name to search for ");
    lblUserName = makeLabel(central, "lblUserName", "Find &Name:", txtUserName);
    auto* findRow = new QHBoxLayout;
    findRow->addWidget(lblUserID);
    findRow->addWidget(txtUserID, 1);
    findRow->addWidget(lblUserName);
    findRow->addWidget(txtUserName, 2);
    lists->addLayout(findRow, 0, 0);

    lvwUsers = makeList(central, "lvwUsers", "Double click on a user to add to the Selected Users list ");
    // The two list icons, made once: a full user table asks for them 999 times.
    userIcon_ = style()->standardIcon(QStyle::SP_FileIcon);
    groupIcon_ = style()->standardIcon(QStyle::SP_DirIcon);
    lists->addWidget(lvwUsers, 1, 0);

    auto* userButtons = new QHBoxLayout;
    cmdAdd = makeButton(central, "cmdAdd", "&Add", "Add user ");
    cmdUpdate = makeButton(central, "cmdUpdate", "&Update", "Update selected user details ");
    cmdDelete = makeButton(central, "cmdDelete", "&Delete", "Delete selected user ");
    cmdRefresh = makeButton(central, "cmdRefresh", "Refres&h", "Refresh users list ");
    for (auto* b : {cmdAdd, cmdUpdate, cmdDelete, cmdRefresh})
        userButtons->addWidget(b);
    userButtons->addStretch();
    lists->addLayout(userButtons, 2, 0);

    cmdSelect = makeButton(central, "cmdSelect", "&>>", "Select users ");
    lists->addWidget(cmdSelect, 1, 1, Qt::AlignVCenter);

    lvwSelectedUsers = makeList(central, "lvwSelectedUsers", "Double click on a user to remove from the list ");
    lblSelectedUsers = makeLabel(central, "lblSelectedUsers", "Selected Users:", lvwSelectedUsers);
    lists->addWidget(lblSelectedUsers, 0, 2);
    lists->addWidget(lvwSelectedUsers, 1, 2);
    auto* selectedButtons = new QHBoxLayout;
    cmdRemove = makeButton(central, "cmdRemove", "Re&move", "Remove selected users ");
    cmdRemoveAll = makeButton(central, "cmdRemoveAll", "Remo&ve All", "Remove all users ");
    selectedButtons->addWidget(cmdRemove);
    selectedButtons->addWidget(cmdRemoveAll);
    selectedButtons->addStretch();
    lists->addLayout(selectedButtons, 2, 2);
    lists->setColumnStretch(0, 3);
    lists->setColumnStretch(2, 2);
    root->addLayout(lists, 1);

    // The message and its commands
    pbxMessage = new QWidget(central);
    pbxMessage->setObjectName("pbxMessage");
    pbxMessage->setToolTip("Press F1 for help ");
    auto* messageRow = new QHBoxLayout(pbxMessage);
    messageRow->setContentsMargins(0, 0, 0, 0);
    txtMessage = new QPlainTextEdit(pbxMessage);
    txtMessage->setObjectName("txtMessage");
    txtMessage->setToolTip("Type in the message text here ");
    // Black and green only while it takes text: closed to the operator it greys
    // with every other control instead of looking ready for typing.
    txtMessage->setStyleSheet("QPlainTextEdit:enabled { background-color: black; color: #00FF00; }");
    // Tab moves on, as in every other box: a TAB typed here went out inside the page.
    txtMessage->setTabChangesFocus(true);
    txtMessage->setFixedHeight(Twips(1300));
    messageRow->addWidget(txtMessage, 1);
    auto* messageButtons = new QGridLayout;
    cmdSendPage = makeButton(pbxMessage, "cmdSendPage", "Send &Page", "Send message to the selected users ");
    cmdLastPage = makeButton(pbxMessage, "cmdLastPage", "&Last Page", "Load last page sent ");
    cmdClear = makeButton(pbxMessage, "cmdClear", "&Clear", "Clear message text ");
    cmdDialOut = makeButton(pbxMessage, "cmdDialOut", "Dial &Out", "Dial Out / Disconnect ");
    cmdSBMessages = makeButton(pbxMessage, "cmdSBMessages", "S&B Messages", "Clear message text ");
    cmdRecordMessage = makeButton(pbxMessage, "cmdRecordMessage", "R&ecord", "Record a message for Voice pager ");
    messageButtons->addWidget(cmdSendPage, 0, 0);
    messageButtons->addWidget(cmdLastPage, 0, 1);
    messageButtons->addWidget(cmdClear, 1, 0);
    messageButtons->addWidget(cmdDialOut, 1, 1);
    messageButtons->addWidget(cmdSBMessages, 2, 0);
    messageButtons->addWidget(cmdRecordMessage, 2, 1);
    messageRow->addLayout(messageButtons);
    root->addWidget(pbxMessage);

    auto* recordRow = new QHBoxLayout;
    prgRecordProgress = new QProgressBar(central);
    prgRecordProgress->setObjectName("prgRecordProgress");
    prgRecordProgress->setRange(0, 12);
    prgRecordProgress->setTextVisible(false);
    prgRecordProgress->hide();
    txtRecordProgress = new QLineEdit(central);
    txtRecordProgress->setObjectName("txtRecordProgress");
    txtRecordProgress->setReadOnly(true);
    txtRecordProgress->setFixedWidth(Twips(1200));
    txtRecordProgress->hide();
    recordRow->addWidget(prgRecordProgress, 1);
    recordRow->addWidget(txtRecordProgress);
    root->addLayout(recordRow);

    // Sign-board display attributes
    fraDeviceSettings = new QGroupBox("Alphanumeric Display Parameters", central);
    fraDeviceSettings->setObjectName("fraDeviceSettings");
    auto* display = new QGridLayout(fraDeviceSettings);
    chkUseDisplayParameters = new QCheckBox("Apply Display Parameters", fraDeviceSettings);
    chkUseDisplayParameters->setObjectName("chkUseDisplayParameters");
    display->addWidget(chkUseDisplayParameters, 0, 0, 1, 2);
    struct ComboSpec {
        QComboBox** combo;
        const char* name;
        const char* caption;
    };
    const ComboSpec combos[] = {
        {&cmbDisplaySlot, "cmbDisplaySlot", "S&lot:"},
        {&cmbDisplaySlice, "cmbDisplaySlice", "Time Sl&ice:"},
        {&cmbDisplayTimeout, "cmbDisplayTimeout", "&Timeout:"},
        {&cmbDisplayColor, "cmbDisplayColor", "Colo&r and Intensity:"},
        {&cmbDisplayEffect, "cmbDisplayEffect", "&Effect:"},
        {&cmbDisplayFont, "cmbDisplayFont", "&Font:"},
        {&cmbDisplayAlignment, "cmbDisplayAlignment", "Alignmen&t:"},
    };
    int slot = 0;
    for (const auto& entry : combos) {
        *entry.combo = makeCombo(fraDeviceSettings, entry.name);
        const int row = 1 + slot / 4;
        const int column = (slot % 4) * 2;
        display->addWidget(makeLabel(fraDeviceSettings, nullptr, entry.caption, *entry.combo), row, column);
        display->addWidget(*entry.combo, row, column + 1);
        ++slot;
    }
    cmdClearDisplay = makeButton(fraDeviceSettings, "cmdClearDisplay", "Clear Di&splay",
                                 "Send command to clear selected alphanumeric display ");
    display->addWidget(cmdClearDisplay, 2, 6, 1, 2);
    root->addWidget(fraDeviceSettings);

    txtStatus = new QLineEdit(central);
    txtStatus->setObjectName("txtStatus");
    txtStatus->setReadOnly(true);
    txtStatus->setFocusPolicy(Qt::NoFocus);
    txtStatus->setStyleSheet(statusStyle(kStatusErrorColour)); // the line's colour as designed
    root->addWidget(txtStatus);

    setCentralWidget(central);
    resize(Twips(11400), Twips(8400));

    connect(cmdClear, &QPushButton::clicked, this, &KS_MainForm::cmdClear_Click);
    connect(cmdLastPage, &QPushButton::clicked, this, &KS_MainForm::cmdLastPage_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &KS_MainForm::cmdRefresh_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &KS_MainForm::cmdAdd_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &KS_MainForm::cmdUpdate_Click);
    // These wait on the line: the window stays closed from the click to the
    // end of the batch, the delete or the dialling, questions included.
    const std::pair<QPushButton*, void (KS_MainForm::*)()> talkToEncoder[] = {
        {cmdSendPage, &KS_MainForm::cmdSendPage_Click},
        {cmdClearDisplay, &KS_MainForm::cmdClearDisplay_Click},
        {cmdDelete, &KS_MainForm::cmdDelete_Click},
        {cmdDialOut, &KS_MainForm::cmdDialOut_Click},
    };
    for (const auto& [button, handler] : talkToEncoder)
        connect(button, &QPushButton::clicked, this, [this, handler = handler] {
            ClosedToOperator closed(*this);
            (this->*handler)();
        });
    // The encoder takes at most 230 characters of text in one page.
    new TextRoom(txtMessage, 230);
    connect(cmdSelect, &QPushButton::clicked, this, &KS_MainForm::cmdSelect_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &KS_MainForm::cmdRemove_Click);
    connect(cmdRemoveAll, &QPushButton::clicked, this, &KS_MainForm::cmdRemoveAll_Click);
    connect(lvwUsers, &QTreeWidget::itemDoubleClicked, this, [this] { lvwUsers_DblClick(); });
    connect(lvwSelectedUsers, &QTreeWidget::itemDoubleClicked, this, [this] { lvwSelectedUsers_DblClick(); });
    connect(lvwUsers->header(), &QHeaderView::sectionClicked, this, &KS_MainForm::lvwUsers_ColumnClick);
    connect(lvwSelectedUsers->header(), &QHeaderView::sectionClicked, this, &KS_MainForm::lvwSelectedUsers_ColumnClick);
    connect(txtUserID, &QLineEdit::textChanged, this, &KS_MainForm::txtUserID_Change);
    connect(txtUserName, &QLineEdit::textChanged, this, &KS_MainForm::txtUserName_Change);

    conventions_ = FormConventions::Install(this);
    conventions_->ExemptFromEnter(txtMessage);
    conventions_->SetKeyFilter(txtUserID, DigitsOnlyKey);
    for (auto* button : findChildren<QPushButton*>())
        conventions_->ExemptFromEnter(button);
}

void KS_MainForm::placeFromSettings()
{
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    double left = Val(GetConfigSetting("LastX", "100"));
    double top = Val(GetConfigSetting("LastY", "200"));
    // A position saved on a screen that is no longer there would hide the window.
    if (left < 0 || left > PixelsToTwips(screen.width()))
        left = 100;
    if (top < 0 || top > PixelsToTwips(screen.height()))
        top = 200;
    // Exit saves where the client area stood and this puts the client area back
    // there. A frame position taken for a client one (or back) moves the window by
    // the frame at every start, up and off the screen.
    setGeometry(QRect(QPoint(Twips(left), Twips(top)), size()));
}

void KS_MainForm::Form_Load()
{
    setWindowTitle(ToQString(gAppName));
    InstallToneDownloadHooks();
    placeFromSettings();
    const bool startHidden = gAutoHide && windowMayHide();
    if (!startHidden && gDatabaseFound)
        ShowLoadMessage("Checking connection and loading users. Please wait...");

    ClearUserLists();
    SetupUsersListColumns();
    SetupSelectedUsersColumns();
    gReceiverIdle = true;

    if (gDatabaseFound) {
        if (gConnectionType == 1 && gSerialPort > 0)
            OpenSerialPort(*comUnitConnect, gSerialPort, gComSettings);
        else if (gConnectionType == 2 && gModemPort >= 1)
            OpenSerialPort(*comUnitConnect, gModemPort, gComSettings);
        DetectEncoder();
        LoadScheduleDatabase();
        if (IsLinkResponding()) {
            std::string connected = "Connected to " + gEncoderModelName;
            if (Val(gEncoderSerialNumber) != 0)
                connected += " S/N " + gEncoderSerialNumber;
            ReportStatus(connected);
        } else {
            ShowLinkCommError();
        }
        UpgradeDataFiles();
    }

    ConfigureMenusAndTray();
    cmdLastPage->setEnabled(false);

    if (gDatabaseFound) {
        listedUsersFolder_ = gDataFolder;
        if (!startHidden)
            UnloadLoadMessage();
    }

    FillDisplayAttributeCombos(AsOptionList(cmbDisplaySlot), AsOptionList(cmbDisplaySlice),
                               AsOptionList(cmbDisplayTimeout), AsOptionList(cmbDisplayColor),
                               AsOptionList(cmbDisplayEffect), AsOptionList(cmbDisplayFont),
                               AsOptionList(cmbDisplayAlignment));

    cmdSBMessages->setVisible(gShowSBSupport);
    DoEvents();
    if (!startHidden)
        show();
    DoEvents();

    if (!gDatabaseFound)
        ShowMessage(gAppName + " is not configured yet. Please go to Setup menu " + " and select Configure to configure "
                        + gAppName + " (Administrator login is required).",
                    kButtonsOk, kAnswerOk, kIconInformation);

    if (!HasYieldHook()) {
        tmrMinutes->start();
        tmrSeconds->start();
    }
    DoEvents();
}

// ---- The user table ----------------------------------------------------------------

void KS_MainForm::LoadUsers()
{
    ShowBusyPointer();
    lvwUsers->clear();
    const std::string path = DataFilePath("Pager.DBS");
    if (!FileExists(path)) {
        ReportStatus("Database not found. Check Configure under Setup menu.", true);
        ShowNormalPointer();
        return;
    }
    ReportStatus("Reading Pager Database ...");
    std::vector<PagerRecord> users;
    const FileError error = ReadRecords(path, users);
    if (error == FileError::PathOrAccess) {
        ShowMessage("Please confirm that the folder " + PathInText(gDataFolder) + " exists "
                        + "and that you have the appropriate access permissions."
                        + "Check Configure under Setup menu (Administrator login is required). ",
                    kButtonsOk, kAnswerOk, kIconCritical);
        ShowNormalPointer();
        return;
    }
    users_ = std::move(users);
    if (!users_.empty()) {
        FillUsersList(users_);
        ReportStatus("Please select a user to page ...");
    }
    ShowNormalPointer();
}

std::string KS_MainForm::listedUsersUnit()
{
    const UserCodeUnit unit = UserCodesUnit();
    return unit.letter + "/" + unit.family;
}

void KS_MainForm::FillUsersList(const std::vector<PagerRecord>& users)
{
    listedUsersUnit_ = listedUsersUnit();
    lvwUsers->clear();
    for (const PagerRecord& user : users) {
        if (user.InUse != "Y")
            continue;
        AddUserRow(user.UserName, user.PagerNo, PagerTypeIconIndex(user.PagerType),
                   PagerTypeCodeText(user.PagerType, true), user.Capcode, user.GroupFlag == "G");
    }
    lvwUsers->sortItems(kUserName, usersOrder_);
    const int rows = lvwUsers->topLevelItemCount();
    // The first row is selected; the last is not, unless it is the only one,
    // or Update and Delete would have no user to act on.
    if (rows > 0)
        lvwUsers->topLevelItem(0)->setSelected(true);
    if (rows > 1)
        lvwUsers->topLevelItem(rows - 1)->setSelected(false);
    AutoSizeUsersColumns();
}

void KS_MainForm::cmdDialOut_Click()
{
    // Dialling or hanging up inside a page's wait would take the line from under it.
    if (!LinkConversation::ConversationActive())
        SetModemDialMode(!gModemConnected);
}

void KS_MainForm::SetModemDialMode(bool dialOut)
{
    if (gConnectionType == 1) {
        ShowNotModemConnectionNotice();
        return;
    }
    // Dial, identification and hang-up are one conversation: a scheduled page
    // or the hour's clock that comes due meanwhile waits for it to end, and
    // then goes out once, to the unit that is on the line.
    LinkConversation conversation;
    auto showOffline = [this] {
        cmdDialOut->setText("Dial &Out");
        lblModemStatus->setText("Modem Offline");
        lblModemStatus->setStyleSheet("color: #400040;");
    };
    cmdDialOut->setEnabled(false);
    if (dialOut) {
        DialModem(gModemPhone);
        cmdDialOut->setEnabled(true);
        if (gModemConnected) {
            cmdDialOut->setText("Di&sconnect");
            lblModemStatus->setText("Modem Online");
            lblModemStatus->setStyleSheet("color: #FF0000;");
            DetectEncoder();
        } else {
            showOffline();
        }
        return;
    }
    HangUpModem();
    showOffline();
    cmdDialOut->setEnabled(true);
}

void KS_MainForm::cmdRefresh_Click()
{
    LoadUsers();
    FocusControl(txtUserName);
}

// ---- Status line and waiting ------------------------------------------------

void KS_MainForm::tmrDelay_Timer() { AdvanceTick(); }

void KS_MainForm::WaitTicks(int noOf50msCycles) { ::WaitTicks(noOf50msCycles); }

void KS_MainForm::ReportStatus(const std::string& statusText, bool isError, int noOfBeeps)
{
    ::ReportStatus(statusText, isError, noOfBeeps);
}

void KS_MainForm::showStatus(const std::string& statusText, bool isError, int noOfBeeps)
{
    const QString text = ToQString(statusText);
    txtStatus->setStyleSheet(statusStyle(isError ? kStatusErrorColour : kStatusColour));
    txtStatus->setText(text);
    if (isVisible()) {
        for (int i = 0; i < noOfBeeps && !ExitRequested(); ++i) {
            QApplication::beep();
            txtStatus->setText(text);
            DoEvents();
            WaitTicks(15);
            if (isError)
                txtStatus->clear();
            DoEvents();
            WaitTicks(10);
        }
    }
    DoEvents();
}

// ---- The user lists ---------------------------------------------------------

void KS_MainForm::ClearUserLists()
{
    lvwUsers->clear();
    lvwSelectedUsers->clear();
    txtUserID->clear();
    txtUserName->clear();
    txtMessage->clear();
    txtStatus->clear();
}

void KS_MainForm::SetupUsersListColumns()
{
    SetupListViewColumns(lvwUsers, kUsersWeights, {"User Name", "Pager", "Type ID", "Pager Type", "Capcode"});
}

void KS_MainForm::SetupSelectedUsersColumns()
{
    SetupListViewColumns(lvwSelectedUsers, kSelectedWeights, {"Pager", "User Name", "Type ID"});
}

void KS_MainForm::AutoSizeUsersColumns() { AutoSizeListViewColumns(lvwUsers, kUsersWeights); }
void KS_MainForm::AutoSizeSelectedUsersColumns() { AutoSizeListViewColumns(lvwSelectedUsers, kSelectedWeights); }

QTreeWidgetItem* KS_MainForm::AddUserRow(const std::string& name, const std::string& pagerNo, int typeId,
                                         const std::string& typeText, const std::string& capcode, bool isGroup)
{
    auto* row = new QTreeWidgetItem;
    row->setText(kUserPager, RecordFieldText(pagerNo));
    SetUserRow(row, name, typeId, typeText, capcode, isGroup);
    lvwUsers->addTopLevelItem(row);
    return row;
}

void KS_MainForm::SetUserRow(QTreeWidgetItem* row, const std::string& name, int typeId, const std::string& typeText,
                             const std::string& capcode, bool isGroup)
{
    row->setText(kUserName, RecordFieldText(name));
    row->setText(kUserTypeId, QString::number(typeId));
    row->setText(kUserType, ToQString(typeText));
    row->setText(kUserCapcode, RecordFieldText(capcode));
    row->setIcon(kUserName, isGroup ? groupIcon_ : userIcon_);
    const QColor colour = QColor::fromRgb(isGroup ? kGroupRowColour : kUserRowColour);
    for (int c = 0; c < lvwUsers->columnCount(); ++c)
        row->setForeground(c, colour);
}

void KS_MainForm::cmdClear_Click()
{
    txtMessage->clear();
    FocusControl(txtMessage);
}

void KS_MainForm::cmdRemoveAll_Click()
{
    lvwSelectedUsers->clear();
    AutoSizeSelectedUsersColumns();
}

void KS_MainForm::lvwUsers_DblClick()
{
    const int count = lvwUsers->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* user = lvwUsers->topLevelItem(i);
        if (!user->isSelected())
            continue;
        bool already = false;
        for (int j = 0; j < lvwSelectedUsers->topLevelItemCount() && !already; ++j)
            already = lvwSelectedUsers->topLevelItem(j)->text(kSelPager) == user->text(kUserPager);
        if (already)
            continue;
        auto* row = new QTreeWidgetItem;
        row->setText(kSelPager, user->text(kUserPager));
        row->setText(kSelName, user->text(kUserName));
        row->setText(kSelTypeId, user->text(kUserTypeId));
        for (int c = 0; c < 3; ++c)
            row->setForeground(c, user->foreground(kUserName));
        lvwSelectedUsers->addTopLevelItem(row);
    }
    keepSelectedUsersSorted();
    AutoSizeSelectedUsersColumns();
    // A voice pager chosen where nothing can be recorded would only hear at Send
    // Page that a message is missing; the operator learns why at once.
    const std::string cannotRecord = RecordUnavailableText(*mciRecordMessage);
    const auto chosen = lvwUsers->selectedItems();
    if (!cannotRecord.empty() && std::any_of(chosen.begin(), chosen.end(), [](const QTreeWidgetItem* user) {
            return user->text(kUserTypeId).toInt() == kVoiceTypeId;
        }))
        ReportStatus(cannotRecord);
    FocusControl(txtMessage);
}

void KS_MainForm::lvwSelectedUsers_DblClick()
{
    std::vector<int> selected;
    for (int i = 0; i < lvwSelectedUsers->topLevelItemCount(); ++i)
        if (lvwSelectedUsers->topLevelItem(i)->isSelected())
            selected.push_back(i);
    int removed = 0;
    for (int index : selected)
        delete lvwSelectedUsers->takeTopLevelItem(index - removed++);
    if (lvwSelectedUsers->topLevelItemCount() > 0 && lvwSelectedUsers->currentItem())
        lvwSelectedUsers->currentItem()->setSelected(true);
    AutoSizeSelectedUsersColumns();
    FocusControl(lvwSelectedUsers);
}

void KS_MainForm::sortByColumn(QTreeWidget* list, Qt::SortOrder& order, int column)
{
    // Every click turns the order round, whichever column was clicked before.
    order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    list->sortItems(column, order);
    list->header()->setSortIndicator(column, order);
    list->header()->setSortIndicatorShown(true);
}

void KS_MainForm::keepSelectedUsersSorted()
{
    // sortByColumn shows the indicator; until then the rows keep the order they were chosen in.
    QHeaderView* header = lvwSelectedUsers->header();
    if (header->isSortIndicatorShown())
        lvwSelectedUsers->sortItems(header->sortIndicatorSection(), selectedOrder_);
}

void KS_MainForm::lvwUsers_ColumnClick(int column) { sortByColumn(lvwUsers, usersOrder_, column); }
void KS_MainForm::lvwSelectedUsers_ColumnClick(int column) { sortByColumn(lvwSelectedUsers, selectedOrder_, column); }

void KS_MainForm::findRow(int column, const QString& text)
{
    lvwUsers->clearSelection();
    const auto rowWhere = [this](auto matches) -> QTreeWidgetItem* {
        for (int i = 0; i < lvwUsers->topLevelItemCount(); ++i)
            if (matches(lvwUsers->topLevelItem(i)))
                return lvwUsers->topLevelItem(i);
        return nullptr;
    };
    const auto begins = [&text](const QTreeWidgetItem* row, int c) {
        return row->text(c).startsWith(text, Qt::CaseInsensitive);
    };
    // A pager number typed finds that pager, though a user listed above it has a
    // capcode beginning with the same digits; the other columns (a capcode, a
    // type) are looked in only when no pager number begins so.
    QTreeWidgetItem* found = rowWhere([&](const QTreeWidgetItem* row) { return begins(row, column); });
    if (!found && column != kUserName)
        found = rowWhere([&](const QTreeWidgetItem* row) {
            for (int c = 1; c < lvwUsers->columnCount(); ++c)
                if (begins(row, c))
                    return true;
            return false;
        });
    if (found) {
        lvwUsers->scrollToItem(found);
        found->setSelected(true);
        lvwUsers->setCurrentItem(found, 0, QItemSelectionModel::NoUpdate);
    }
}

void KS_MainForm::txtUserID_Change() { findRow(kUserPager, txtUserID->text()); }
void KS_MainForm::txtUserName_Change() { findRow(kUserName, txtUserName->text()); }

// ---- Window events --------------------------------------------------------------

void KS_MainForm::HideToTray()
{
    if (windowMayHide())
        hide();
    else
        showMinimized();
}

bool KS_MainForm::Form_QueryUnload(int unloadMode)
{
    if (unloadMode != kUnloadFromCloseBox)
        return false;
    const auto answer = ShowMessage(gAppName + " will stay active and will be accessible from the system tray." + "\r\n"
                                        + "To terminate " + gAppName
                                        + ", please go to File menu and select Exit. Continue?",
                                    kButtonsYesNo, kAnswerYes, kIconQuestion);
    if (answer == kAnswerYes)
        HideToTray();
    return true;
}

// The columns are shares of the lists' widths, which only settle once the window is laid out.
void KS_MainForm::resizeEvent(QResizeEvent* event)
{
    MainWindowBase::resizeEvent(event);
    AutoSizeUsersColumns();
    AutoSizeSelectedUsersColumns();
}

void KS_MainForm::showEvent(QShowEvent* event)
{
    MainWindowBase::showEvent(event);
    AutoSizeUsersColumns();
    AutoSizeSelectedUsersColumns();
}

void KS_MainForm::closeEvent(QCloseEvent* event)
{
    // Only the window manager's close box sends a spontaneous close.
    if (Form_QueryUnload(event->spontaneous() ? kUnloadFromCloseBox : kUnloadFromCode))
        event->ignore();
    else
        event->accept();
}
