// The menus and their administrator gates, the notification-area icon, the
// windows the menus open, the voice recorder's button and the program's exit.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcutEvent>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <array>
#include <initializer_list>
#include <memory>

#include "CommPort.h"
#include "KS_BusyDialog.h"
#include "KS_Database.h"
#include "KS_Delay.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_General.h"
#include "KS_GEN_Configure.h"
#include "KS_GEN_CoverPage.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Modem.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_SYS_About.h"
#include "KS_SYS_Login.h"
#include "KS_WindowRegistry.h"
#include "RecordFile.h"
#include "VoiceMessage.h"
#include "WaveRecorder.h"

namespace {

constexpr const char* kIdleText = "Please select a user to page ...";
constexpr const char* kRecordCaption = "R&ecord";
constexpr const char* kStopRecordCaption = "Stop R&ecord";
constexpr int kReceiverIdleWaitTicks = 20;

// One item of a menu's item array: a caption ("-" for a separator), a submenu,
// or nothing where the array has a gap.
struct MenuItem {
    const char* caption = nullptr;
    QMenu* submenu = nullptr;
};

std::vector<QAction*> fillMenu(QMenu* menu, const char* arrayName, std::initializer_list<MenuItem> items)
{
    std::vector<QAction*> actions;
    for (const MenuItem& item : items) {
        QAction* action = nullptr;
        if (item.submenu) {
            action = menu->addMenu(item.submenu);
        } else if (item.caption && std::string_view(item.caption) == "-") {
            action = menu->addSeparator();
        } else if (item.caption) {
            action = menu->addAction(QString::fromLatin1(item.caption));
        }
        if (action)
            action->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(arrayName)).arg(actions.size()));
        actions.push_back(action);
    }
    return actions;
}

QMenu* makeMenu(QWidget* parent, const char* name, const char* caption)
{
    auto* menu = new QMenu(QString::fromLatin1(caption), parent);
    menu->setObjectName(name);
    return menu;
}

// Each item calls its array's handler with the item's index. An item of a
// menu that may talk to the encoder closes the window to the operator for all
// it starts. Triggered from code inside another conversation's wait it does
// nothing: it would take that conversation's acknowledgement for its own.
void connectItems(KS_MainForm* form, const std::vector<QAction*>& items, void (KS_MainForm::*handler)(int),
                  bool talksToEncoder = false)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        QAction* item = items[i];
        if (!item || item->isSeparator() || item->menu())
            continue;
        const int index = static_cast<int>(i);
        QObject::connect(item, &QAction::triggered, form, [form, handler, item, index, talksToEncoder] {
            // Qt has already turned a check mark round; the handler turns it itself.
            if (item->isCheckable())
                item->setChecked(!item->isChecked());
            if (!talksToEncoder) {
                (form->*handler)(index);
                return;
            }
            if (LinkConversation::ConversationActive())
                return;
            // From the first probe to the end of the window or run it starts.
            KS_MainForm::ClosedToOperator closed(*form);
            (form->*handler)(index);
        });
    }
}

void setItemsEnabled(const std::vector<QAction*>& items, std::initializer_list<int> indices, bool enabled)
{
    for (int i : indices)
        items[static_cast<std::size_t>(i)]->setEnabled(enabled);
}

// Alt and a menu title's letter belong to the menu bar. Captions of the window
// share four of the five letters (&File and &Font, M&essages and &Effect); a
// shortcut held by several takes turns among them, so the first press went to
// a field and a menu opened only on the second, or the fourth. A caption keeps
// its letter while no shown and enabled title holds it.
class MenuTitlesFirst : public QObject {
public:
    explicit MenuTitlesFirst(QMenuBar* bar)
        : QObject(bar)
        , bar_(bar)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut || !bar_->isEnabled())
            return QObject::eventFilter(watched, event);
        const QKeySequence key = static_cast<QShortcutEvent*>(event)->key();
        for (QAction* title : bar_->actions())
            if (title->isVisible() && title->isEnabled() && QKeySequence::mnemonic(title->text()) == key) {
                open(title->menu());
                return true;
            }
        return QObject::eventFilter(watched, event);
    }

private:
    // As the bar's own shortcut does: the first item lit, for the arrows and Return.
    void open(QMenu* menu)
    {
        bar_->setActiveAction(menu->menuAction());
        for (QAction* item : menu->actions())
            if (item->isVisible() && item->isEnabled() && !item->isSeparator()) {
                menu->setActiveAction(item);
                return;
            }
    }
    QMenuBar* bar_;
};

// Re-enables the opener once, when the opened window is closed or hidden by
// the program, or when it is destroyed without either.
class OwnedWindowWatch : public QObject {
public:
    OwnedWindowWatch(QWidget* window, std::function<void()> closed)
        : QObject(window)
        , closed_(std::move(closed))
    {
        window->installEventFilter(this);
    }
    ~OwnedWindowWatch() override { fire(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A spontaneous hide is the window being minimised, not closed.
        if (event->type() == QEvent::Hide && !event->spontaneous())
            fire();
        return QObject::eventFilter(watched, event);
    }

private:
    void fire()
    {
        if (closed_)
            std::exchange(closed_, {})();
    }
    std::function<void()> closed_;
};

} // namespace

// ---- Building the menus -------------------------------------------------------------

void KS_MainForm::buildMenus()
{
    mnuFile = makeMenu(this, "mnuFile", "&File   ");
    mnuFileOptions = fillMenu(mnuFile, "mnuFileOptions",
                              {{"&Hide"}, {"-"}, {"Admin Log&in"}, {"Admin Log&out"}, {"-"}, {"E&xit          "}});

    mnuSetup = makeMenu(this, "mnuSetup", "&Setup   ");
    mnuSetupTone = makeMenu(mnuSetup, "mnuSetupTone", "Tone &Schedule Programming");
    mnuSetupToneOptions = fillMenu(mnuSetupTone, "mnuSetupToneOptions", {{"&Tone Schedule"}, {"Tone Schedule &Calendar"}});
    mnuSetupTime = makeMenu(mnuSetup, "mnuSetupTime", "Time Synchronization");
    mnuSetupTimeOptions = fillMenu(mnuSetupTime, "mnuSetupTimeOptions",
                                   {{"Set Date && Time from PC &Now"}, {"Set Time from PC &Automatically"}});
    mnuSetupTimeOptions[1]->setCheckable(true);
    mnuSetupOptions = fillMenu(mnuSetup, "mnuSetupOptions",
                               {{"&Configure"},
                                {"-"},
                                {"&TX Coverage Test"},
                                {"-"},
                                {"Scheduled &Paging"},
                                {"-"},
                                {nullptr, mnuSetupTone},
                                {"-"},
                                {nullptr, mnuSetupTime},
                                {"-"},
                                {"-"}});

    mnuMessages = makeMenu(this, "mnuMessages", "M&essages ");
    mnuMessagesOptions = fillMenu(mnuMessages, "mnuMessagesOptions",
                                  {{"&Alarm Messages"},
                                   {"-"},
                                   {"&PABX Messages"},
                                   {"&Fastkey Messages"},
                                   {"Freete&xt Messages"},
                                   {"-"},
                                   {"&Wireless Devices Messages"},
                                   {"-"},
                                   {"&Sign Board Messages"},
                                   {"-"}});

    mnuPagers = makeMenu(this, "mnuPagers", "Dev&ices  ");
    mnuDevicesProgrammers = makeMenu(mnuPagers, "mnuDevicesProgrammers", "&Device Programmers");
    mnuDevicesProgrammersOptions = fillMenu(mnuDevicesProgrammers, "mnuDevicesProgrammersOptions",
                                            {{"&Speaker Programmer"},
                                             {"-"},
                                             {"Custom Alerts Programmer"},
                                             {"-"},
                                             {"Pe&ndant Programmer"},
                                             {"-"},
                                             {"Pa&ddle Programmer"},
                                             {"-"},
                                             {"Time Receiver Programmer"},
                                             {"-"},
                                             {"&Clock Programmer"}});
    mnuDevicesOptions = fillMenu(mnuPagers, "mnuDevicesOptions",
                                 {{"&Pager Database Programmer"},
                                  {"-"},
                                  {"&Download Pagers from "},
                                  {"&Upload Pagers to "},
                                  {"-"},
                                  {"&Clear Pager Database"},
                                  {"-"},
                                  {nullptr, mnuDevicesProgrammers},
                                  {"-"}});

    mnuHelp = makeMenu(this, "mnuHelp", "&Help");
    // The help menu has never had an item 1; the gap keeps the indices.
    mnuHelpOptions = fillMenu(mnuHelp, "mnuHelpOptions", {{"&Help Topics"}, {}, {"-"}, {"&About "}});

    mnuPopup = makeMenu(this, "mnuPopup", "Popup");
    mnuPopupOptions = fillMenu(mnuPopup, "mnuPopupOptions", {{"Show     "}, {"Hide     "}, {"-"}, {"Exit     "}});

    for (QMenu* menu : {mnuFile, mnuSetup, mnuMessages, mnuPagers, mnuHelp})
        menuBar()->addMenu(menu);
    auto* titlesFirst = new MenuTitlesFirst(menuBar());
    for (QWidget* control : centralWidget()->findChildren<QWidget*>())
        control->installEventFilter(titlesFirst);

    connectItems(this, mnuFileOptions, &KS_MainForm::mnuFileOptions_Click);
    connectItems(this, mnuSetupOptions, &KS_MainForm::mnuSetupOptions_Click, true);
    connectItems(this, mnuSetupToneOptions, &KS_MainForm::mnuSetupToneOptions_Click, true);
    connectItems(this, mnuSetupTimeOptions, &KS_MainForm::mnuSetupTimeOptions_Click, true);
    connectItems(this, mnuMessagesOptions, &KS_MainForm::mnuMessagesOptions_Click, true);
    connectItems(this, mnuDevicesOptions, &KS_MainForm::mnuDevicesOptions_Click, true);
    connectItems(this, mnuDevicesProgrammersOptions, &KS_MainForm::mnuDevicesProgrammersOptions_Click, true);
    connectItems(this, mnuHelpOptions, &KS_MainForm::mnuHelpOptions_Click);
    connectItems(this, mnuPopupOptions, &KS_MainForm::mnuPopupOptions_Click);

    connect(cmdSBMessages, &QPushButton::clicked, this, &KS_MainForm::cmdSBMessages_Click);

    // The window's tool tips promise help on F1: it opens what Help Topics
    // opens, whenever that item could be chosen from the menu bar.
    SetOpenToOperatorCheck(this, [this] {
        return menuBar()->isEnabled() && mnuHelp->menuAction()->isEnabled() && mnuHelpOptions[0]->isEnabled();
    });
}

void KS_MainForm::buildVoiceRecorder()
{
    mciRecordMessage = new WaveRecorder(this);
    mciRecordMessage->setObjectName("mciRecordMessage");
    connect(mciRecordMessage, &WaveRecorder::StatusUpdate, this, &KS_MainForm::mciRecordMessage_StatusUpdate);
    connect(cmdRecordMessage, &QPushButton::clicked, this, &KS_MainForm::cmdRecordMessage_Click);
}

// ---- Fitting the menus to the configuration --------------------------------------------

void KS_MainForm::showUnitInDevicesMenu()
{
    mnuDevicesOptions[2]->setText(ToQString("&Download Pagers from " + gEncoderModelName));
    mnuDevicesOptions[3]->setText(ToQString("&Upload Pagers to " + gEncoderModelName));
}

void KS_MainForm::ConfigureMenusAndTray()
{
    DoEvents();
    const std::array<std::vector<QAction*>*, 3> gatedArrays = {&mnuSetupOptions, &mnuMessagesOptions,
                                                               &mnuDevicesOptions};

    showUnitInDevicesMenu();

    cmdClear->setEnabled(true);
    cmdSBMessages->setEnabled(true);
    for (QPushButton* b : {cmdAdd, cmdUpdate, cmdDelete})
        b->setVisible(true);
    cmdRefresh->setVisible(false);

    for (auto* items : gatedArrays)
        for (std::size_t i = 0; i + 1 < items->size(); ++i) {
            (*items)[i]->setVisible(true);
            (*items)[i]->setEnabled(gDatabaseFound);
        }

    const std::initializer_list<QPushButton*> needsTable = {cmdAdd,     cmdUpdate, cmdDelete,    cmdSendPage,
                                                             cmdRefresh, cmdRemove, cmdRemoveAll, cmdClearDisplay};
    for (QPushButton* b : needsTable)
        b->setEnabled(gDatabaseFound);
    if (gDatabaseFound) {
        cmdDialOut->setEnabled(gModemConnected || gConnectionType == 2);
        if (gDataFolder != listedUsersFolder_) {
            LoadUsers();
            listedUsersFolder_ = gDataFolder;
        }
    } else {
        cmdDialOut->setEnabled(false);
    }

    mnuSetupOptions[0]->setEnabled(true);
    for (auto* items : gatedArrays)
        items->back()->setVisible(false);
    mnuHelpOptions[3]->setText(ToQString("&About " + gAppName));

    SetAdminOptions(gAdminMode);

    cmdSBMessages->setVisible(gShowSBSupport);
    mnuMessagesOptions[7]->setVisible(gShowSBSupport);
    mnuMessagesOptions[8]->setVisible(gShowSBSupport);

    // Opening the recorder also removes a message left from an earlier take.
    OpenVoiceRecorder(*mciRecordMessage, VoiceMessagePath());
    mciRecordMessage->Command("Close");
    const std::string cannotRecord = RecordUnavailableText(*mciRecordMessage);
    cmdRecordMessage->setEnabled(gDatabaseFound && cannotRecord.empty());
    // Disabled for want of a sound input, the button says why.
    cmdRecordMessage->setToolTip(ToQString(cannotRecord.empty() ? "Record a message for Voice pager " : cannotRecord));

    addNotificationIcon();
    DoEvents();
}

void KS_MainForm::SetAdminOptions(bool status)
{
    mnuFileOptions[2]->setEnabled(!status);
    mnuFileOptions[3]->setEnabled(status);
    for (QPushButton* b : {cmdAdd, cmdUpdate, cmdDelete})
        b->setEnabled(status);
    setItemsEnabled(mnuSetupOptions, {0, 2, 4, 6, 8}, status);
    setItemsEnabled(mnuMessagesOptions, {0, 2, 3, 4, 6, 8}, status);
    setItemsEnabled(mnuDevicesOptions, {0, 2, 3, 5, 7}, status);
    mnuSetupTimeOptions[1]->setChecked(gAutoTimeSet);
    applyWindowAvailability();
}

void KS_MainForm::applyWindowAvailability()
{
    // Items whose window belongs to a part not built into this program stay
    // disabled, whatever the administrator state.
    const std::pair<QAction*, std::string_view> gated[] = {
        {mnuSetupOptions[4], FormName::ScheduledPaging},
        {mnuMessagesOptions[0], FormName::MessagesAlarm},
        {mnuMessagesOptions[2], FormName::MessagesPABX},
        {mnuMessagesOptions[3], FormName::MessagesFastkey},
        {mnuMessagesOptions[4], FormName::MessagesFreetext},
        {mnuMessagesOptions[6], FormName::MessagesWireless},
        {mnuMessagesOptions[8], FormName::MessagesSB},
        {mnuDevicesOptions[0], FormName::DBProgrammer},
    };
    for (const auto& [item, form] : gated)
        if (!IsWindowRegistered(form))
            item->setEnabled(false);
    if (!IsWindowRegistered(FormName::MessagesSB))
        cmdSBMessages->setEnabled(false);

    const std::pair<QAction*, std::string_view> submenuItems[] = {
        {mnuSetupToneOptions[0], FormName::ToneSchedule},
        {mnuSetupToneOptions[1], FormName::ToneScheduleCalendar},
        {mnuDevicesProgrammersOptions[0], FormName::SpeakerProgrammer},
        {mnuDevicesProgrammersOptions[2], FormName::CustomAlertsProgrammer},
        {mnuDevicesProgrammersOptions[4], FormName::PendantProgrammer},
        {mnuDevicesProgrammersOptions[6], FormName::PaddleProgrammer},
        {mnuDevicesProgrammersOptions[8], FormName::TimeReceiverProgrammer},
        {mnuDevicesProgrammersOptions[10], FormName::ClockProgrammer},
    };
    bool anyTone = false;
    bool anyProgrammer = false;
    for (const auto& [item, form] : submenuItems) {
        const bool registered = IsWindowRegistered(form);
        item->setEnabled(registered);
        (item->parent() == mnuSetupTone ? anyTone : anyProgrammer) |= registered;
    }
    if (!anyTone)
        mnuSetupOptions[6]->setEnabled(false);
    if (!anyProgrammer)
        mnuDevicesOptions[7]->setEnabled(false);
}

void KS_MainForm::SetControlsEnabled(bool enabled)
{
    for (QMenu* menu : {mnuFile, mnuSetup, mnuMessages, mnuPagers, mnuHelp})
        menu->menuAction()->setEnabled(enabled);
    if (!enabled) {
        for (QPushButton* b : {cmdSendPage, cmdLastPage, cmdRecordMessage, cmdClear, cmdSBMessages, cmdAdd, cmdUpdate,
                               cmdDelete, cmdRefresh, cmdRemove, cmdRemoveAll, cmdClearDisplay})
            b->setEnabled(false);
        return;
    }
    ConfigureMenusAndTray();
}

// ---- The notification-area icon ------------------------------------------------------

void KS_MainForm::addNotificationIcon()
{
    // A desktop without a notification area gets no icon; the window is then
    // never hidden (HideToTray minimises it), and a later configuration run
    // adds the icon once the area has appeared.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!trayIcon) {
        trayIcon = new QSystemTrayIcon(this);
        trayIcon->setObjectName("trayIcon");
        connect(trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick)
                Form_MouseDown(kIconDoubleClick);
            else if (reason == QSystemTrayIcon::Context)
                Form_MouseDown(kIconRightButtonDown);
        });
    }
    const QIcon icon = windowIcon().isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon) : windowIcon();
    trayIcon->setIcon(icon);
    trayIcon->setToolTip(windowTitle());
    trayIcon->show();
}

void KS_MainForm::Form_MouseDown(int iconMessage)
{
    const bool available = !OpenerDisabled();
    setItemsEnabled(mnuPopupOptions, {0, 1, 3}, available);
    if (iconMessage == kIconDoubleClick) {
        mnuPopupOptions_Click(0);
    } else if (iconMessage == kIconRightButtonDown) {
        const bool shown = isVisible() && !isMinimized();
        mnuPopupOptions[0]->setVisible(!shown);
        mnuPopupOptions[1]->setVisible(shown);
        mnuPopup->popup(QCursor::pos());
    }
    DoEvents();
}

// ---- Opening the other windows ----------------------------------------------------------

void KS_MainForm::OpenOwnedWindow(QWidget* window, bool modal)
{
    OpenOwnedWindow([window] { return window; }, modal);
}

void KS_MainForm::OpenOwnedWindow(const std::function<QWidget*()>& build, bool modal)
{
    // Closed to the operator before the window is built: its load may already
    // talk to the unit, and a click here then would start a second conversation.
    ++ownedWindowsOpen_;
    closeToOperator();
    QPointer<QWidget> window = build();
    // Exit chosen from the tray while the window loaded: it is not shown at all.
    if (!window || ExitRequested()) {
        delete window.data();
        enableOpener();
        return;
    }
    ownedWindows_.emplace_back(window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The token dies with this window's members, before its children go, so a
    // child closing while the program ends calls into nothing.
    new OwnedWindowWatch(window, [this, token = std::weak_ptr<int>(openerToken_)] {
        if (token.lock())
            enableOpener();
    });
    if (!modal) {
        window->show();
        return;
    }
    window->setWindowModality(Qt::WindowModal);
    if (auto* dialog = qobject_cast<QDialog*>(window.data())) {
        QPointer<QDialog> guard(dialog);
        dialog->exec();
        // Accepting only hides a dialog that is not deleted on close; it is unloaded all the same.
        if (guard && !guard->isVisible())
            guard->close();
        return;
    }
    QEventLoop untilClosed;
    QPointer<OwnedWindowWatch> loopWatch = new OwnedWindowWatch(window, [&untilClosed] { untilClosed.quit(); });
    window->show();
    if (window && window->isVisible())
        untilClosed.exec();
    delete loopWatch.data();
}

void KS_MainForm::enableOpener()
{
    if (ownedWindowsOpen_ > 0) {
        --ownedWindowsOpen_;
        reopenToOperator();
    }
}

KS_MainForm::ClosedToOperator::ClosedToOperator(KS_MainForm& form, bool holdsLine)
    : form_(form)
    , formAlive_(form.openerToken_)
    , holdsLine_(holdsLine)
{
    // With nothing else closing the window, the line is held by a timer's job.
    keepTyping_ = holdsLine_ && form_.closures_ == 0;
    form_.closeToOperator(keepTyping_);
    if (holdsLine_ && form_.lineHeld_++ == 0)
        emit form_.LineHeldChanged(true);
}

KS_MainForm::ClosedToOperator::~ClosedToOperator()
{
    // The program may have ended inside the wait, the window with it.
    if (!formAlive_.lock())
        return;
    if (holdsLine_ && --form_.lineHeld_ == 0)
        emit form_.LineHeldChanged(false);
    form_.reopenToOperator(keepTyping_);
}

void KS_MainForm::closeToOperator(bool keepTyping)
{
    if (closures_++ == 0) {
        focusBeforeClosure_ = focusWidget();
        focusAfterClosure_ = nullptr;
        menuBar()->setEnabled(false);
    }
    if (!keepTyping && wholeClosures_++ == 0)
        centralWidget()->setEnabled(false);
    else if (keepTyping && wholeClosures_ == 0)
        holdCommands();
}

void KS_MainForm::reopenToOperator(bool keepTyping)
{
    if (closures_ == 0)
        return;
    if (!keepTyping && wholeClosures_ > 0 && --wholeClosures_ == 0) {
        // A timer's job that began inside this closure still holds the line.
        if (closures_ > 1)
            holdCommands();
        centralWidget()->setEnabled(true);
    }
    if (--closures_ > 0)
        return;
    releaseCommands();
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    // Disabling took the focus away; it goes where the finished command sent
    // it, else back to where the operator left it.
    if (focusAfterClosure_)
        SafeSetFocus(focusAfterClosure_);
    else
        GiveCaretBack(focusBeforeClosure_);
}

void KS_MainForm::holdCommands()
{
    if (commandsHeld_)
        return;
    commandsHeld_ = true;
    // Every control but the message box and what holds it: the text being
    // typed keeps arriving, while nothing that opens a dialog or talks to the
    // unit can be reached. Only the controls this disables come back on.
    auto isControl = [](const QWidget* w) {
        return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w)
            || qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractItemView*>(w)
            || qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QPlainTextEdit*>(w)
            || qobject_cast<const QTextEdit*>(w);
    };
    for (QWidget* w : centralWidget()->findChildren<QWidget*>()) {
        if (w == txtMessage || !isControl(w) || !w->isEnabled())
            continue;
        bool insideControl = false;
        for (QWidget* up = w->parentWidget(); up && up != centralWidget(); up = up->parentWidget())
            insideControl = insideControl || isControl(up);
        if (insideControl)
            continue;
        w->setEnabled(false);
        heldCommands_.emplace_back(w);
    }
}

void KS_MainForm::releaseCommands()
{
    for (const QPointer<QWidget>& w : heldCommands_)
        if (w)
            w->setEnabled(true);
    heldCommands_.clear();
    commandsHeld_ = false;
}

void KS_MainForm::FocusControl(QWidget* control)
{
    if (closures_ > 0)
        focusAfterClosure_ = control;
    else
        SafeSetFocus(control);
}

void KS_MainForm::openRegisteredWindow(std::string_view formName, bool modal)
{
    if (IsWindowRegistered(formName))
        OpenOwnedWindow([this, formName] { return CreateRegisteredWindow(formName, this); }, modal);
}

bool KS_MainForm::probeLink()
{
    LinkConversation conversation;
    return IsLinkResponding();
}

// ---- Menu handlers ------------------------------------------------------------------------

void KS_MainForm::mnuFileOptions_Click(int index)
{
    switch (index) {
    case 0:
        HideToTray();
        break;
    case 2: {
        QPointer<KS_SYS_Login> login = new KS_SYS_Login(nullptr);
        ownedWindows_.emplace_back(login.data());
        login->exec();
        if (login)
            delete login.data();
        SetAdminOptions(gAdminMode);
        break;
    }
    case 3:
        gAdminMode = false;
        SetAdminOptions(false);
        break;
    case 5:
        ExitApplication();
        break;
    default:
        break;
    }
}

void KS_MainForm::mnuSetupOptions_Click(int index)
{
    switch (index) {
    case 0:
        OpenOwnedWindow([this] { return new KS_GEN_Configure(this); }, true);
        ConfigureMenusAndTray();
        break;
    case 2:
        if (probeLink())
            OpenOwnedWindow([this] { return new KS_GEN_CoverPage(this); }, false);
        else
            ShowLinkCommError();
        FocusControl(txtUserName);
        break;
    case 4:
        openRegisteredWindow(FormName::ScheduledPaging, true);
        break;
    default:
        break;
    }
}

void KS_MainForm::mnuSetupToneOptions_Click(int index)
{
    if (index == 0)
        openRegisteredWindow(FormName::ToneSchedule, true);
    else if (index == 1)
        openRegisteredWindow(FormName::ToneScheduleCalendar, true);
}

void KS_MainForm::mnuSetupTimeOptions_Click(int index)
{
    if (index == 0) {
        const bool modified = SendDateTimeToEncoder();
        // A notice: Exit chosen while the clock went out shows none.
        MessageRequest outcome;
        outcome.message = modified ? "Date and Time modified succesfully." : "Error updating Date and Time.";
        outcome.icon = kIconInformation;
        ShowNotice(outcome);
    } else if (index == 1) {
        QAction* item = mnuSetupTimeOptions[1];
        item->setChecked(!item->isChecked());
        gAutoTimeSet = item->isChecked();
        SaveConfigSetting("AutoTimeSet", gAutoTimeSet ? "1" : "0");
    }
}

void KS_MainForm::mnuMessagesOptions_Click(int index)
{
    static constexpr std::array<std::string_view, 9> kForms = {
        FormName::MessagesAlarm,    {}, FormName::MessagesPABX, FormName::MessagesFastkey, FormName::MessagesFreetext,
        {},                         FormName::MessagesWireless, {}, FormName::MessagesSB};
    if (index < 0 || index >= static_cast<int>(kForms.size()) || kForms[static_cast<std::size_t>(index)].empty())
        return;
    // The message windows open all the same: they can still show their data files.
    if (index != 8 && !probeLink())
        ShowLinkCommError();
    clsDelay delay;
    delay.InitDelay(kReceiverIdleWaitTicks);
    while (!gReceiverIdle && !delay.DelayExpired() && !ExitRequested())
        WaitForEvents();
    if (index == 8)
        viewMode_ = false;
    openRegisteredWindow(kForms[static_cast<std::size_t>(index)], index != 8);
}

void KS_MainForm::mnuDevicesOptions_Click(int index)
{
    const std::string localLoss = "Current pagers database and all pagers information on this computer will be lost. "
                                  "Are you sure you want to continue ?";
    auto confirmed = [this](const std::string& question) {
        if (ShowMessage(question, kButtonsYesNo, kAnswerNo, kIconQuestion) == kAnswerYes)
            return true;
        FocusControl(lvwUsers);
        return false;
    };
    switch (index) {
    case 0:
        if (!probeLink())
            ShowLinkCommError();
        openRegisteredWindow(FormName::DBProgrammer, true);
        break;
    case 2:
        if (!probeLink()) {
            ShowLinkCommError();
            return;
        }
        if (!confirmed(localLoss))
            return;
        ClearUserLists();
        SetControlsEnabled(false);
        DownloadPagerDatabase();
        SetControlsEnabled(true);
        FocusControl(txtUserName);
        break;
    case 3:
        if (!probeLink()) {
            ShowLinkCommError();
            return;
        }
        if (!confirmed("Current pagers database and all pagers information on the " + gEncoderModelName
                       + " will be lost. Are you sure you want to continue ?"))
            return;
        SetControlsEnabled(false);
        UploadPagerDatabase();
        SetControlsEnabled(true);
        FocusControl(txtUserName);
        break;
    case 5:
        if (!confirmed(localLoss))
            return;
        ClearUserLists();
        SetControlsEnabled(false);
        // The table in memory follows the file, so nothing works from the users just cleared.
        if (CreateEmptyPagerDatabase())
            LoadUsers();
        SetControlsEnabled(true);
        FocusControl(txtUserName);
        break;
    default:
        break;
    }
}

void KS_MainForm::mnuDevicesProgrammersOptions_Click(int index)
{
    static constexpr std::array<std::string_view, 11> kForms = {
        FormName::SpeakerProgrammer, {}, FormName::CustomAlertsProgrammer, {}, FormName::PendantProgrammer, {},
        FormName::PaddleProgrammer,  {}, FormName::TimeReceiverProgrammer, {}, FormName::ClockProgrammer};
    if (index >= 0 && index < static_cast<int>(kForms.size()) && !kForms[static_cast<std::size_t>(index)].empty())
        openRegisteredWindow(kForms[static_cast<std::size_t>(index)], true);
}

void KS_MainForm::mnuHelpOptions_Click(int index)
{
    if (index == 0) {
        ShowHelpTopics();
    } else if (index == 3) {
        OpenOwnedWindow([this] { return new KS_SYS_About(this); }, false);
    }
}

void KS_MainForm::mnuPopupOptions_Click(int index)
{
    switch (index) {
    case 0:
        showNormal();
        raise();
        activateWindow();
        break;
    case 1:
        HideToTray();
        break;
    case 3:
        ExitApplication();
        break;
    default:
        break;
    }
}

void KS_MainForm::cmdSBMessages_Click()
{
    viewMode_ = true;
    openRegisteredWindow(FormName::MessagesSB, false);
}

// ---- Cover page -----------------------------------------------------------------------------

void KS_MainForm::SendCoverPager() { SendPageToPager(gCoverPageRequest); }

// ---- Voice message ----------------------------------------------------------------------------

void KS_MainForm::cmdRecordMessage_Click()
{
    if (cmdRecordMessage->text() == kRecordCaption) {
        if (!StartVoiceRecording(*mciRecordMessage))
            return;
        prgRecordProgress->setValue(0);
        prgRecordProgress->setVisible(true);
        txtRecordProgress->clear();
        txtRecordProgress->setVisible(true);
        cmdRecordMessage->setText(kStopRecordCaption);
        return;
    }
    cmdRecordMessage->setText(kRecordCaption);
    FinishVoiceRecording(*mciRecordMessage);
    prgRecordProgress->setVisible(false);
    txtRecordProgress->setVisible(false);
    ReportStatus(kIdleText);
    FocusControl(lvwUsers);
}

void KS_MainForm::mciRecordMessage_StatusUpdate()
{
    if (cmdRecordMessage->text() != kStopRecordCaption)
        return;
    if (VoiceRecordingEnded(*mciRecordMessage)) {
        cmdRecordMessage_Click();
        return;
    }
    prgRecordProgress->setValue(prgRecordProgress->value() + 1);
    txtRecordProgress->setText(ToQString(RecordProgressText(prgRecordProgress->value())));
}

// ---- Exit ---------------------------------------------------------------------------------------

void KS_MainForm::ExitApplication()
{
    if (exitStarted_)
        return;
    if (LinkConversation::ConversationActive()) {
        // Chosen inside a conversation's wait (the tray menu works during a
        // transfer): every wait now falls through, and the exit runs in its
        // order once that conversation has given up, never inside it.
        RequestExit();
        if (!exitPending_) {
            exitPending_ = true;
            WhenNoConversation([self = QPointer<KS_MainForm>(this)] {
                if (self)
                    QTimer::singleShot(0, self, [self] {
                        self->exitPending_ = false;
                        self->ExitApplication();
                    });
            });
        }
        return;
    }
    runExitSequence();
}

void KS_MainForm::runExitSequence()
{
    exitStarted_ = true;
    // No scheduled page or clock setting comes due inside the exit's own
    // steps; the tick and the port's reading go on, which those steps wait on.
    for (QTimer* timer : {tmrMinutes, tmrSeconds})
        timer->stop();
    // The program is leaving from here on, but the device stops and the
    // hang-up below must wait for their answers.
    RequestExit();
    ClearExitRequest();
    {
        // The stops and the hang-up are one conversation, as Disconnect's
        // hang-up is: a timer job of a window still open (the cover page's
        // test) waits rather than send inside their waits.
        const LinkConversation conversation;
        // A window unloaded once the port is closed can no longer reach its
        // device, so each one stops its device's work first, newest first. The
        // stops let events run: the list may change meanwhile.
        const std::vector<QPointer<QWidget>> windows = ownedWindows_;
        for (auto window = windows.rbegin(); window != windows.rend(); ++window)
            if (auto* dialog = dynamic_cast<BusyDialog*>(window->data()))
                dialog->StopBeforeExit();
        if (gComm && gComm->PortOpen()) {
            if (gModemConnected)
                HangUpModem();
            gComm->SetPortOpen(false);
        }
    }
    RequestExit();

    tmrDelay->stop();
    mciRecordMessage->Command("Close");

    // The client area, as the next start places it (hidden, the window keeps where it was).
    SaveConfigSetting("LastX", std::to_string(static_cast<long long>(PixelsToTwips(geometry().x()))));
    SaveConfigSetting("LastY", std::to_string(static_cast<long long>(PixelsToTwips(geometry().y()))));
    SaveConfigSetting("ShowHelpMessage", gShowHelpMessage ? "1" : "0");

    for (auto window = ownedWindows_.rbegin(); window != ownedWindows_.rend(); ++window)
        if (*window)
            (*window)->close();
    ownedWindows_.clear();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible() && window->windowType() != Qt::Popup)
            window->close();

    if (trayIcon) {
        trayIcon->hide();
        delete trayIcon;
        trayIcon = nullptr;
    }

    // Before the event loop runs, Main sees the request and never starts it.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}
