#pragma once
// The operator's console: the program's one long-lived window. It holds the
// user table, the two user lists, the message box, the status line that
// every part of the program writes to, and the timers that drive it all.

#include <QDateTime>
#include <QIcon>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "CommPort.h"
#include "KS_General.h"
#include "KS_PageRequest.h"
#include "KS_Records.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSystemTrayIcon;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class FormConventions;
class WaveRecorder;

class KS_MainForm : public MainWindowBase {
    Q_OBJECT

public:
    // The window owns the program's one serial port; tests hand in one on a simulated line.
    explicit KS_MainForm(std::unique_ptr<CommPort> port = nullptr, QWidget* parent = nullptr);
    ~KS_MainForm() override;

    void Form_Load() override;

    // ---- Public members the other windows use
    // The status line; noOfBeeps < 0 takes the default (3 for an error, else 0).
    void ReportStatus(const std::string& statusText, bool isError = false, int noOfBeeps = -1);
    void WaitTicks(int noOf50msCycles);

    // The user table and its two lists.
    void LoadUsers();
    void FillUsersList(const std::vector<PagerRecord>& users);
    const std::vector<PagerRecord>& Users() const { return users_; }

    // Sends one page through the encoder; true when it was acknowledged.
    bool SendPageToPager(PageRequest& request);
    // Sends a stored sign-board message (1), clears its slot (2) or all slots (3) on every selected user.
    // False when it sent nothing (modem not dialled, no users selected, the message unreadable):
    // the calling list, disabled while it waits, then takes the focus back itself.
    bool SendSBPage(std::int16_t sbMessageNo, std::int16_t sbCommand);

    // Sets the encoder's clock from the PC's; true when the encoder acknowledged it.
    bool SendDateTimeToEncoder();
    // Dials the modem (true) or hangs it up (false).
    void SetModemDialMode(bool dialOut);

    // Enables (true) or disables the administrator-only items and buttons.
    void SetAdminOptions(bool status);
    // The page the cover-page window has put in gCoverPageRequest.
    void SendCoverPager();
    // Ends the program: hang-up, port, timers, recorder, window position, other windows, icon.
    void ExitApplication();
    // Disables this window, builds the other one (whose load may talk to the
    // unit), and shows it owned by this one until it closes; a modal one
    // returns once it has closed. Nothing built: this window is enabled again.
    void OpenOwnedWindow(const std::function<QWidget*()>& build, bool modal);
    // The same for a window already built.
    void OpenOwnedWindow(QWidget* window, bool modal);
    // True while a window opened from this one is showing.
    bool OpenerDisabled() const { return ownedWindowsOpen_ > 0; }

    // While one lives the window is closed to the operator: its contents and
    // menus are disabled, so nothing clicked or typed starts a second dialog or
    // conversation inside a wait on the line. Closures nest (an opened window
    // is one); the window opens again with the last. One for the console's own
    // page or clock setting (holdsLine) also tells the windows opened from it;
    // started by a timer rather than by the operator, it leaves the message box
    // live, so a scheduled page does not swallow what the operator is typing.
    class ClosedToOperator {
    public:
        explicit ClosedToOperator(KS_MainForm& form, bool holdsLine = false);
        ~ClosedToOperator();
        ClosedToOperator(const ClosedToOperator&) = delete;
        ClosedToOperator& operator=(const ClosedToOperator&) = delete;

    private:
        KS_MainForm& form_;
        std::weak_ptr<int> formAlive_;
        bool holdsLine_;
        bool keepTyping_ = false;
    };
    // Moves the focus as SafeSetFocus does; asked while the window is closed,
    // the move is made when it opens again.
    void FocusControl(QWidget* control);

    // ---- The user directory
    void cmdAdd_Click();
    void cmdUpdate_Click();
    void cmdDelete_Click();
    // The row of lvwUsers that Update and Delete act on; null when no row is selected.
    QTreeWidgetItem* SelectedUserRow() const;
    // Before users are written: when no unit answered the last detection but
    // one answers now, identifies it, so the users are coded for it, and shows
    // the list's types by its code table, the selected user kept. True when
    // that found a unit.
    bool IdentifyUnknownEncoder();
    // The same for anything the last identification left out (a unit that
    // paused through its table or tone answers counts without them): when
    // `lacking` holds and the unit answers one probe, identifies it again.
    // True when that was done and `lacking` no longer holds.
    bool IdentifyEncoderAgain(const std::function<bool()>& lacking);
    // A user saved by the user dialog: a new row, or the row of that pager rewritten.
    void ShowSavedUser(const PagerRecord& record, bool adding);
    // The whole user table from the encoder into Pager.DBS, and from Pager.DBS to the encoder.
    void DownloadPagerDatabase();
    void UploadPagerDatabase();

    std::uint8_t EditMode = 1; // 1 add, 2 update; read by the user dialog
    // The sign-board list opens for sending only (from S&B Messages), not for editing (from the menu).
    bool ViewMode() const { return viewMode_; }

    // ---- Controls
    QWidget* pbxMain = nullptr;    // the window's face
    QWidget* pbxMessage = nullptr; // the message box and its commands
    QLabel* lblConnectionStatus = nullptr;
    QLabel* lblModemStatus = nullptr;
    QLineEdit* txtStatus = nullptr;
    QLineEdit* txtRecordProgress = nullptr;
    QProgressBar* prgRecordProgress = nullptr;
    QPlainTextEdit* txtMessage = nullptr;
    QPushButton* cmdSendPage = nullptr;
    QPushButton* cmdLastPage = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdDialOut = nullptr;
    QPushButton* cmdSBMessages = nullptr;
    QPushButton* cmdRecordMessage = nullptr;
    QGroupBox* fraDeviceSettings = nullptr;
    QCheckBox* chkUseDisplayParameters = nullptr;
    QComboBox* cmbDisplaySlot = nullptr;
    QComboBox* cmbDisplaySlice = nullptr;
    QComboBox* cmbDisplayTimeout = nullptr;
    QComboBox* cmbDisplayColor = nullptr;
    QComboBox* cmbDisplayEffect = nullptr;
    QComboBox* cmbDisplayFont = nullptr;
    QComboBox* cmbDisplayAlignment = nullptr;
    QPushButton* cmdClearDisplay = nullptr;
    QLabel* lblUserID = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLabel* lblUserName = nullptr;
    QLineEdit* txtUserName = nullptr;
    QTreeWidget* lvwUsers = nullptr;
    QPushButton* cmdSelect = nullptr;
    QLabel* lblSelectedUsers = nullptr;
    QTreeWidget* lvwSelectedUsers = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdRemoveAll = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdRefresh = nullptr;
    CommPort* comUnitConnect = nullptr;
    WaveRecorder* mciRecordMessage = nullptr;
    QSystemTrayIcon* trayIcon = nullptr;

    // ---- Menus: each item array holds a menu's items in order, separators
    // included, so that an item's index is its position.
    QMenu* mnuFile = nullptr;
    QMenu* mnuSetup = nullptr;
    QMenu* mnuSetupTone = nullptr;
    QMenu* mnuSetupTime = nullptr;
    QMenu* mnuMessages = nullptr;
    QMenu* mnuPagers = nullptr;
    QMenu* mnuDevicesProgrammers = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* mnuPopup = nullptr;
    std::vector<QAction*> mnuFileOptions;
    std::vector<QAction*> mnuSetupOptions;
    std::vector<QAction*> mnuSetupToneOptions;
    std::vector<QAction*> mnuSetupTimeOptions;
    std::vector<QAction*> mnuMessagesOptions;
    std::vector<QAction*> mnuDevicesOptions;
    std::vector<QAction*> mnuDevicesProgrammersOptions;
    std::vector<QAction*> mnuHelpOptions;
    std::vector<QAction*> mnuPopupOptions;
    QTimer* tmrDelay = nullptr;
    QTimer* tmrCheckCOMPort = nullptr;
    QTimer* tmrSeconds = nullptr;
    QTimer* tmrMinutes = nullptr;

    // ---- Handlers
    void cmdClear_Click();
    void cmdSelect_Click() { lvwUsers_DblClick(); }
    void cmdRemove_Click() { lvwSelectedUsers_DblClick(); }
    void cmdRemoveAll_Click();
    void lvwUsers_DblClick();
    void lvwSelectedUsers_DblClick();
    void lvwUsers_ColumnClick(int column);
    void lvwSelectedUsers_ColumnClick(int column);
    void txtUserID_Change();
    void txtUserName_Change();
    void tmrDelay_Timer();
    void tmrCheckCOMPort_Timer();
    void tmrSeconds_Timer();
    void tmrMinutes_Timer();
    void cmdSendPage_Click();
    void cmdLastPage_Click();
    void cmdClearDisplay_Click();
    void cmdRefresh_Click();
    void cmdDialOut_Click();
    void cmdSBMessages_Click();
    void cmdRecordMessage_Click();
    void mciRecordMessage_StatusUpdate();
    void mnuFileOptions_Click(int index);
    void mnuSetupOptions_Click(int index);
    void mnuSetupToneOptions_Click(int index);
    void mnuSetupTimeOptions_Click(int index);
    void mnuMessagesOptions_Click(int index);
    void mnuDevicesOptions_Click(int index);
    void mnuDevicesProgrammersOptions_Click(int index);
    void mnuHelpOptions_Click(int index);
    void mnuPopupOptions_Click(int index);
    // The notification icon's mouse messages, as the window receives them.
    static constexpr int kIconDoubleClick = 515;
    static constexpr int kIconRightButtonDown = 516;
    void Form_MouseDown(int iconMessage);
    // True cancels the unload: the close box only hides the window, after a question.
    static constexpr int kUnloadFromCloseBox = 0;
    static constexpr int kUnloadFromCode = 1;
    bool Form_QueryUnload(int unloadMode);

    // ---- Lists
    void ClearUserLists();
    // Disables (false) or restores (true) the menus and commands around long user-table operations.
    void SetControlsEnabled(bool enabled);
    // Hides the window to the notification area (minimises it where there is none).
    void HideToTray();
    // Adds one user row as FillUsersList does (tests and the user dialog use it).
    QTreeWidgetItem* AddUserRow(const std::string& name, const std::string& pagerNo, int typeId,
                                const std::string& typeText, const std::string& capcode, bool isGroup);
    // Texts, icon and colour of a user row (a group pager's row is dark red).
    void SetUserRow(QTreeWidgetItem* row, const std::string& name, int typeId, const std::string& typeText,
                    const std::string& capcode, bool isGroup);

signals:
    // The console's own page or clock setting (a timer's) holds the line. A
    // window opened from this one shows the commands that would talk to the
    // unit meanwhile disabled, where they would otherwise do nothing.
    void LineHeldChanged(bool held);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    // Where every status report ends: the line itself, its colour, beeps and blinking.
    void showStatus(const std::string& statusText, bool isError, int noOfBeeps);
    void SetupUsersListColumns();
    void SetupSelectedUsersColumns();
    void AutoSizeUsersColumns();
    void AutoSizeSelectedUsersColumns();
    void sortByColumn(QTreeWidget* list, Qt::SortOrder& order, int column);
    // Once a column click has switched sorting on, rows added later take their place in its order.
    void keepSelectedUsersSorted();
    void findRow(int column, const QString& text);

    void ConfigureMenusAndTray();
    // The Devices menu's transfer items name the unit now identified; every detection calls it.
    void showUnitInDevicesMenu();
    void buildMenus();
    void buildVoiceRecorder();
    void addNotificationIcon();
    void applyWindowAvailability();
    bool probeLink();
    void openRegisteredWindow(std::string_view formName, bool modal);
    void enableOpener();
    void closeToOperator(bool keepTyping = false);
    void reopenToOperator(bool keepTyping = false);
    void holdCommands();
    void releaseCommands();
    void runExitSequence();
    void placeFromSettings();
    void WaitForSecondStart();
    void cancelToSelection();
    bool sendPageChecksPass(bool clearDisplay);
    void lockSelection(bool locked);
    std::string selectedAttributeCode(bool clearDisplay) const;
    // Scheduled pages and the hourly clock setting wait for a free line rather than being dropped.
    void noteDueEntries();
    void sendDueEntries();
    bool autoTimeSetMarked() const;
    void runDueClockSetting();
    std::set<int> dueEntries_; // schedule indexes whose minute came and that have not gone out yet
    std::map<int, QDate> notedOn_; // the date on which each entry last came due
    std::set<int> toldWaiting_;    // due entries the status line has said wait for a device programmer
    std::set<int> toldUnreadable_; // entries the status line has named for a time that cannot be read
    bool clockSettingDue_ = false;
    // Kept apart so that a timer job or an unwanted click sees it while a batch runs.
    bool sendingBatch_ = false;
    bool scanningSchedule_ = false;
    bool clearDisplay_ = false;
    bool viewMode_ = false;
    std::int32_t minuteCounter_ = 0;
    std::unique_ptr<CommPort> port_;
    std::vector<PagerRecord> users_;
    std::vector<LastPageEntry> lastPage_;
    std::string listedUsersFolder_;
    // The unit whose code table gave the listed pager types their texts.
    static std::string listedUsersUnit();
    std::string listedUsersUnit_;
    // The list filled again by another unit's code table, the operator's
    // selected users and current row kept.
    void refillUsersKeepingSelection();
    int lineHeld_ = 0;
    int ownedWindowsOpen_ = 0;
    int closures_ = 0;
    int wholeClosures_ = 0;
    bool commandsHeld_ = false;
    std::vector<QPointer<QWidget>> heldCommands_; // disabled by a closure that left the message box live
    QPointer<QWidget> focusBeforeClosure_;
    QPointer<QWidget> focusAfterClosure_;
    std::shared_ptr<int> openerToken_ = std::make_shared<int>(0);
    std::vector<QPointer<QWidget>> ownedWindows_; // in the order they opened
    bool exitPending_ = false;
    bool exitStarted_ = false;

    FormConventions* conventions_ = nullptr;
    QIcon userIcon_;
    QIcon groupIcon_;
    Qt::SortOrder usersOrder_ = Qt::AscendingOrder;
    Qt::SortOrder selectedOrder_ = Qt::AscendingOrder;
};

// HHNNssMMDDYY of a moment, as the encoder's clock commands take it.
std::string EncoderClockDigits(const QDateTime& moment);

// The one global instance, created by Main.
inline KS_MainForm* gMainForm = nullptr;
