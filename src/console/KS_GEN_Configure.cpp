#include "KS_GEN_Configure.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "CommPort.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "OptionList.h"
#include "RecordFile.h"
#include "SettingsFile.h"

namespace {

constexpr int kPathTypingLength = 250;

constexpr std::string_view kComSettingsItems[] = {"300-E-7-1",   "300-N-8-1",   "1200-N-8-1",
                                                  "2400-N-8-1",  "9600-N-8-1",  "19200-N-8-1",
                                                  "38400-N-8-1", "57600-N-8-1", "115200-N-8-1"};

std::string replaceAll(std::string text, char from, char to)
{
    for (char& c : text)
        if (c == from)
            c = to;
    return text;
}

// The chosen item's datum: the port number, 0 when none is chosen.
int selectedPort(QComboBox* combo)
{
    OptionList& list = AsOptionList(combo);
    const int index = list.SelectedIndex();
    return index < 0 ? 0 : static_cast<int>(list.ItemData(index));
}

void selectPort(QComboBox* combo, int port) { combo->setCurrentIndex(port >= 1 && port <= combo->count() ? port - 1 : -1); }

std::string trimmedText(const QLineEdit* box) { return Trim(FromQString(box->text())); }

// A value typed into a sign-board size box, held to its up-down's range and
// zero-padded to the box's length.
void clampToUpDown(QLineEdit* box, QSpinBox* upDown)
{
    int value = static_cast<int>(Val(FromQString(box->text())));
    value = std::clamp(value, upDown->minimum(), upDown->maximum());
    box->setText(ToQString(ZeroPad(value, box->maxLength())));
    QSignalBlocker block(upDown);
    upDown->setValue(value);
}

} // namespace

std::string CleanDataFolderPath(std::string_view typed)
{
    std::string path = Trim(typed);
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

KS_GEN_Configure::KS_GEN_Configure(QWidget* owner)
    : QDialog(owner)
{
    setObjectName("KS_GEN_Configure");
    setWindowTitle("Configure");
    auto* root = new QVBoxLayout(this);

    tlbMenu = new QToolBar(this);
    tlbMenu->setObjectName("tlbMenu");
    root->addWidget(tlbMenu);

    auto* details = new QGridLayout;
    int row = 0;
    txtPath = new QLineEdit(this);
    txtPath->setObjectName("txtPath");
    txtPath->setMaxLength(kPathTypingLength);
    auto* lblPath = new QLabel("&Database Path:", this);
    lblPath->setBuddy(txtPath);
    cmdBrowse = new QPushButton("&Browse", this);
    cmdBrowse->setObjectName("cmdBrowse");
    details->addWidget(lblPath, row, 0);
    details->addWidget(txtPath, row, 1, 1, 2);
    details->addWidget(cmdBrowse, row++, 3);

    auto* fraConnection = new QGroupBox("Connection Type", this);
    fraConnection->setObjectName("fraConnection");
    auto* connection = new QGridLayout(fraConnection);
    optConnect[0] = new QRadioButton("&Serial using ", fraConnection);
    optConnect[1] = new QRadioButton("&Modem using ", fraConnection);
    optConnect[0]->setObjectName("optConnect_0");
    optConnect[1]->setObjectName("optConnect_1");
    cmbCom = new QComboBox(fraConnection);
    cmbCom->setObjectName("cmbCom");
    cmbComModem = new QComboBox(fraConnection);
    cmbComModem->setObjectName("cmbComModem");
    txtPhone = new QLineEdit(fraConnection);
    txtPhone->setObjectName("txtPhone");
    txtPhone->setMaxLength(15);
    auto* lblPhone = new QLabel("P&hone:", fraConnection);
    lblPhone->setBuddy(txtPhone);
    lblPortNote = new QLabel(fraConnection);
    lblPortNote->setObjectName("lblPortNote");
    lblPortNote->setWordWrap(true);
    connection->addWidget(optConnect[0], 0, 0);
    connection->addWidget(cmbCom, 0, 1);
    connection->addWidget(optConnect[1], 1, 0);
    connection->addWidget(cmbComModem, 1, 1);
    connection->addWidget(lblPhone, 1, 2);
    connection->addWidget(txtPhone, 1, 3);
    connection->addWidget(lblPortNote, 2, 0, 1, 4);
    details->addWidget(fraConnection, row++, 0, 1, 4);

    cmbComSettings = new QComboBox(this);
    cmbComSettings->setObjectName("cmbComSettings");
    auto* lblComSettings = new QLabel("COM Se&ttings:", this);
    lblComSettings->setBuddy(cmbComSettings);
    details->addWidget(lblComSettings, row, 0);
    details->addWidget(cmbComSettings, row++, 1);

    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName("txtPassword");
    ShowAsPassword(txtPassword);
    txtPassword->setMaxLength(10);
    auto* lblPassword = new QLabel("Pass&word:", this);
    lblPassword->setBuddy(txtPassword);
    details->addWidget(lblPassword, row, 0);
    details->addWidget(txtPassword, row++, 1);

    fraSimulation = new QGroupBox("Sign Board Messages Default Simulation", this);
    fraSimulation->setObjectName("fraSimulation");
    auto* simulation = new QHBoxLayout(fraSimulation);
    txtCharPerLine = new QLineEdit(fraSimulation);
    txtCharPerLine->setObjectName("txtCharPerLine");
    updCharPerLine = new QSpinBox(fraSimulation);
    updCharPerLine->setObjectName("updCharPerLine");
    txtLines = new QLineEdit(fraSimulation);
    txtLines->setObjectName("txtLines");
    updLines = new QSpinBox(fraSimulation);
    updLines->setObjectName("updLines");
    auto* lblCharPerLine = new QLabel("C&haracters per Line:", fraSimulation);
    lblCharPerLine->setBuddy(txtCharPerLine);
    auto* lblLines = new QLabel("&Lines:", fraSimulation);
    lblLines->setBuddy(txtLines);
    // Each up-down is its arrows alone, against its box: the box holds and
    // shows the number, so it shows once, and the Tab stops at the box only.
    const auto boxWithArrows = [simulation](QLineEdit* box, QSpinBox* upDown) {
        auto* pair = new QHBoxLayout;
        pair->setSpacing(0);
        box->setFixedWidth(Twips(400));
        upDown->setFixedWidth(Twips(300));
        upDown->setFocusPolicy(Qt::NoFocus);
        pair->addWidget(box);
        pair->addWidget(upDown);
        simulation->addLayout(pair);
    };
    simulation->addWidget(lblCharPerLine);
    boxWithArrows(txtCharPerLine, updCharPerLine);
    simulation->addWidget(lblLines);
    boxWithArrows(txtLines, updLines);
    simulation->addStretch();
    details->addWidget(fraSimulation, row++, 0, 1, 4);

    chkAutoHideStartup = new QCheckBox("&Auto Hide on Startup", this);
    chkAutoHideStartup->setObjectName("chkAutoHideStartup");
    chkOverrideUTCTime = new QCheckBox("&Force PC Adjusted Time && Date for Time Synchronization", this);
    chkOverrideUTCTime->setObjectName("chkOverrideUTCTime");
    details->addWidget(chkAutoHideStartup, row++, 0, 1, 4);
    details->addWidget(chkOverrideUTCTime, row++, 0, 1, 4);
    root->addLayout(details);

    auto* buttons = new QHBoxLayout;
    cmdOk = new QPushButton("&Ok", this);
    cmdOk->setObjectName("cmdOk");
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    buttons->addStretch();
    for (QPushButton* b : {cmdOk, cmdCancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    root->addLayout(buttons);

    QAction* okAction = tlbMenu->addAction(style()->standardIcon(QStyle::SP_DialogOkButton), "Ok");
    okAction->setObjectName("cmdOk");
    QAction* cancelAction = tlbMenu->addAction(style()->standardIcon(QStyle::SP_DialogCancelButton), "Cancel");
    cancelAction->setObjectName("cmdCancel");
    connect(okAction, &QAction::triggered, cmdOk, &QPushButton::click);
    connect(cancelAction, &QAction::triggered, cmdCancel, &QPushButton::click);

    connect(cmdOk, &QPushButton::clicked, this, &KS_GEN_Configure::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &KS_GEN_Configure::cmdCancel_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &KS_GEN_Configure::cmdBrowse_Click);
    connect(optConnect[0], &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optConnect_Click(0);
    });
    connect(optConnect[1], &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optConnect_Click(1);
    });
    connect(cmbCom, &QComboBox::currentIndexChanged, this, &KS_GEN_Configure::showPortNote);
    connect(cmbComModem, &QComboBox::currentIndexChanged, this, &KS_GEN_Configure::showPortNote);
    connect(updCharPerLine, &QSpinBox::valueChanged, this,
            [this](int value) { txtCharPerLine->setText(ToQString(ZeroPad(value, 2))); });
    connect(updLines, &QSpinBox::valueChanged, this,
            [this](int value) { txtLines->setText(ToQString(ZeroPad(value, 1))); });
    txtLines->installEventFilter(this);
    txtCharPerLine->installEventFilter(this);

    auto* conventions = FormConventions::Install(this);
    conventions->SetKeyFilter(txtPhone, [](int key) { return key == ',' ? key : PhoneKeyFilter(key); });
    conventions->SetKeyFilter(txtLines, DigitsOnlyKey);
    conventions->SetKeyFilter(txtCharPerLine, DigitsOnlyKey);
    conventions->TakesFileNames(txtPath);
    for (QPushButton* b : {cmdOk, cmdCancel, cmdBrowse})
        conventions->ExemptFromEnter(b);

    Form_Load();
}

void KS_GEN_Configure::Form_Load()
{
    move(Twips(2600), Twips(2200));
    FillCOMPortCombo(AsOptionList(cmbCom), -1);
    FillCOMPortCombo(AsOptionList(cmbComModem), -1);
    FillComSettingsCombo();
    txtCharPerLine->setMaxLength(2);
    updCharPerLine->setRange(2, 32);
    txtLines->setMaxLength(1);
    updLines->setRange(1, 8);
    LoadCurrentSettings();
    // Without sign-board support the frame goes and the layout closes the gap.
    fraSimulation->setVisible(gShowSBSupport);
    adjustSize();
}

void KS_GEN_Configure::FillComSettingsCombo()
{
    OptionList& list = AsOptionList(cmbComSettings);
    list.Clear();
    AppendTexts(list, kComSettingsItems);
}

void KS_GEN_Configure::LoadCurrentSettings()
{
    LoadConfiguration();
    showPath(PathToQString(gDataFolder));
    // A stored connection type that is neither serial nor modem reads as serial.
    optConnect[gConnectionType == 2 ? 1 : 0]->setChecked(true);
    optConnect_Click(gConnectionType == 2 ? 1 : 0);
    selectPort(cmbCom, gSerialPort);
    selectPort(cmbComModem, gModemPort);
    cmbComSettings->setCurrentIndex(FindItemText(AsOptionList(cmbComSettings), replaceAll(gComSettings, ',', '-')));
    txtPhone->setText(ToQString(gModemPhone));
    txtPassword->setText(ToQString(gAdminPassword));

    updLines->setValue(static_cast<int>(Val(gSBLines)));
    txtLines->setText(ToQString(ZeroPad(updLines->value(), txtLines->maxLength())));
    updCharPerLine->setValue(static_cast<int>(Val(gSBChars)));
    txtCharPerLine->setText(ToQString(ZeroPad(updCharPerLine->value(), 2)));

    chkAutoHideStartup->setChecked(gAutoHide);
    chkOverrideUTCTime->setChecked(gUTCTimeOverride);

    if (!gDatabaseFound) {
        if (txtPath->text().trimmed().isEmpty())
            showPath(ProgramFolder());
        optConnect[0]->setChecked(true);
    }
    showPortNote();
}

void KS_GEN_Configure::optConnect_Click(int index)
{
    const bool serial = index == 0;
    cmbCom->setEnabled(serial);
    cmbComModem->setEnabled(!serial);
    txtPhone->setEnabled(!serial);
    showPortNote();
}

void KS_GEN_Configure::showPortNote()
{
    const bool serial = !optConnect[1]->isChecked();
    const int port = selectedPort(serial ? cmbCom : cmbComModem);
    std::string note = "COM n is the device named by $PAGORA_COMn, else by the setting COMn, else /dev/ttyS(n-1).";
    if (port > 0)
        note += " COM " + std::to_string(port) + " is " + ResolveCommDevice(port) + ".";
    lblPortNote->setText(ToQString(note));
}

bool KS_GEN_Configure::ValidateSettings()
{
    const std::string path = CleanDataFolderPath(PathFromQString(txtPath->text()));
    showPath(PathToQString(path));
    if (path.empty()) {
        ShowMessage("Path is not valid. Please confirm database location.", kButtonsOk, kAnswerOk, kIconCritical);
        SafeSetFocus(txtPath);
        return false;
    }
    // A file there could never be made a folder: asking to create it would only
    // end in "Unable to create working folders".
    if (const QFileInfo named(PathToQString(path)); named.exists() && !named.isDir()) {
        ShowMessage("Path is not valid: " + PathInText(path) + " is a file, not a folder. Please confirm database "
                    "location.",
                    kButtonsOk, kAnswerOk, kIconCritical);
        SafeSetFocus(txtPath);
        return false;
    }
    if (!FolderExists(path)
        && ShowMessage("Folder does not exist. Do you want to create the " + PathInText(path) + " folder ?", kButtonsYesNo,
                       kAnswerYes, kIconQuestion)
            != kAnswerYes) {
        SafeSetFocus(txtPath);
        return false;
    }

    if (optConnect[0]->isChecked()) {
        if (selectedPort(cmbCom) == 0) {
            ShowMessage("Serial COM Port is not valid. Please confirm COM Port.", kButtonsOk, kAnswerOk,
                        kIconCritical);
            SafeSetFocus(cmbCom);
            return false;
        }
        if (gConnectionType == 2 && gModemConnected) {
            if (ShowMessage(gAppName + " is currently connected to the " + gEncoderModelName
                                + " by modem. Changing the Connection Type will disconnect from the "
                                + gEncoderModelName + ". Continue ?",
                            kButtonsYesNo, kAnswerYes, kIconQuestion)
                != kAnswerYes) {
                SafeSetFocus(optConnect[0]);
                return false;
            }
            if (gMainForm)
                gMainForm->SetModemDialMode(false);
        }
        return true;
    }

    if (selectedPort(cmbComModem) == 0) {
        ShowMessage("Modem COM Port is not valid. Please confirm COM Port.", kButtonsOk, kAnswerOk, kIconCritical);
        SafeSetFocus(cmbComModem);
        return false;
    }
    if (trimmedText(txtPhone).empty()) {
        ShowMessage("Please enter Phone number to dial.", kButtonsOk, kAnswerOk, kIconCritical);
        SafeSetFocus(txtPhone);
        return false;
    }
    return true;
}

bool KS_GEN_Configure::UpdateConfiguration()
{
    if (!ValidateSettings())
        return false;
    setEnabled(false);
    ShowBusyPointer();

    // The folder and its user table are made ready before any setting is
    // written: a folder that cannot be used must not become the data folder
    // of this run and of every later start.
    const std::string folder = Trim(PathFromQString(txtPath->text()));
    const std::string previousFolder = gDataFolder;
    gDataFolder = folder;
    bool ready = FolderExists(folder) || QDir().mkdir(PathToQString(folder));
    if (ready && !FileExists(DataFilePath("Pager.DBS")))
        ready = CreateEmptyPagerDatabase() && FileExists(DataFilePath("Pager.DBS"));
    if (!ready) {
        gDataFolder = previousFolder;
        setEnabled(true);
        ShowNormalPointer();
        ShowMessage("Unable to create working folders. Please confirm that you have the appropriate access "
                    "permissions.",
                    kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    }

    SaveConfigSetting("Folder", gDataFolder);
    const std::string phone = trimmedText(txtPhone);
    if (optConnect[0]->isChecked()) {
        const int port = selectedPort(cmbCom);
        SaveConfigSetting("ConnectionType", "1");
        SaveConfigSetting("Serial COM Port", std::to_string(port));
        gConnectionType = 1;
        gSerialPort = static_cast<std::int16_t>(port);
    } else {
        const int port = selectedPort(cmbComModem);
        SaveConfigSetting("ConnectionType", "2");
        SaveConfigSetting("Modem COM Port", std::to_string(port));
        gConnectionType = 2;
        gModemPort = static_cast<std::int16_t>(port);
        gModemPhone = phone;
    }
    SaveConfigSetting("Phone", phone);
    if (cmbComSettings->currentIndex() >= 0)
        gComSettings = replaceAll(FromQString(cmbComSettings->currentText()), '-', ',');
    SaveConfigSetting("COMPortSettings", gComSettings);
    const std::string password = trimmedText(txtPassword);
    SaveConfigSetting("InfoSec", EncodeStoredPassword(password));
    gAdminPassword = password;

    clampToUpDown(txtCharPerLine, updCharPerLine);
    clampToUpDown(txtLines, updLines);
    gSBChars = std::to_string(updCharPerLine->value());
    SaveConfigSetting("SBChars", trimmedText(txtCharPerLine));
    gSBLines = std::to_string(updLines->value());
    SaveConfigSetting("SBLines", trimmedText(txtLines));
    gAutoHide = chkAutoHideStartup->isChecked();
    SaveConfigSetting("AutoHide", gAutoHide ? "1" : "0");
    gUTCTimeOverride = chkOverrideUTCTime->isChecked();
    SaveConfigSetting("UTCTimeOverride", gUTCTimeOverride ? "1" : "0");

    gDatabaseFound = true;

    {
        LinkConversation conversation;
        if (gComm) {
            const std::int16_t port = gConnectionType == 2 ? gModemPort : gSerialPort;
            // Reopening the port drops DTR and the modem hangs up. A call on the
            // same port at the same speed is left up; any other is ended as
            // Disconnect ends it, so the window never shows a dead call online.
            const bool keepCall = gModemConnected && gComm->PortOpen() && gComm->CommPortNumber() == port
                && gComm->Settings() == gComSettings;
            if (gModemConnected && !keepCall && gMainForm)
                gMainForm->SetModemDialMode(false);
            if (!keepCall)
                OpenSerialPort(*gComm, port, gComSettings);
        }
        DetectEncoder();
    }
    LoadScheduleDatabase();

    setEnabled(true);
    ShowNormalPointer();
    accept();
    close();
    return true;
}

void KS_GEN_Configure::cmdOk_Click() { UpdateConfiguration(); }

void KS_GEN_Configure::cmdCancel_Click()
{
    reject();
    close();
}

void KS_GEN_Configure::showPath(const QString& path)
{
    // The room limits what is typed; a folder stored or browsed to is the
    // operator's as it is, and cut it would be another folder.
    txtPath->setMaxLength(std::max<int>(kPathTypingLength, static_cast<int>(path.size())));
    txtPath->setText(path);
}

void KS_GEN_Configure::cmdBrowse_Click()
{
    // A cancelled browse gives no folder, and the box shows none.
    showPath(PathToQString(BrowseForFolder(this, "Browse for Working Folder", gDataFolder)));
    SafeSetFocus(txtPath);
}

void KS_GEN_Configure::txtCharPerLine_LostFocus() { clampToUpDown(txtCharPerLine, updCharPerLine); }
void KS_GEN_Configure::txtLines_LostFocus() { clampToUpDown(txtLines, updLines); }

bool KS_GEN_Configure::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == txtCharPerLine)
            txtCharPerLine_LostFocus();
        else if (watched == txtLines)
            txtLines_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}
