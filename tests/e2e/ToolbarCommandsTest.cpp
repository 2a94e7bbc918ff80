// A toolbar button and an access key take no focus: a command given either
// way (or any other) must still find the box the operator was typing in left,
// its rule applied, in every window that has one, and the caret comes back
// where the operator was unless the command put it somewhere.
#include <QComboBox>
#include <QDir>
#include <QTimer>
#include <QPointer>
#include <type_traits>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include "ConsoleHarness.h"
#include "DataFileHelpers.h"
#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_GEN_DBProgrammer.h"
#include "KS_GEN_ScheduledPaging.h"
#include "KS_GEN_ScheduledPagingAdd.h"
#include "KS_GEN_ToneSchedule.h"
#include "KS_GEN_ToneScheduleAdd.h"
#include "KS_GEN_ToneScheduleCalendar.h"
#include "KS_GEN_ToneScheduleCalendarlAdd.h"
#include "KS_MessageWindows.h"
#include "KS_PPM_MessagesAlarmAdd.h"
#include "KS_PPM_MessagesFreetextAdd.h"
#include "KS_PPM_MessagesSB.h"
#include "KS_PPM_MessagesSBAdd.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_PPM_MessagesWirelessAdd.h"
#include "KS_ProgrammerWindows.h"
#include "KS_ScheduleWindows.h"
#include "KS_SpeakerWindows.h"
#include "KS_GEN_PendantProgrammer.h"
#include "KS_GEN_SpeakerProgrammer.h"
#include "KS_SYS_Message.h"
#include "KS_Toolbar.h"
#include "SimDevices.h"
#include "SimSpeaker.h"
#include "TestSupport.h"

namespace {

// Windows the test made itself; one that closed itself may be gone already.
using Kept = std::vector<QPointer<QWidget>>;

// The window (or the dialog it opened) whose toolbar is used, built over a loaded console.
using Opener = std::function<QWidget*(ConsoleHarness&, Kept& keep)>;

QWidget* registered(ConsoleHarness& h, std::string_view name)
{
    QWidget* window = CreateRegisteredWindow(name, &h.form());
    h.form().OpenOwnedWindow(window, false);
    return window;
}

QWidget* dbProgrammer(ConsoleHarness& h, Kept&)
{
    auto* window = new KS_GEN_DBProgrammer(&h.form());
    h.form().OpenOwnedWindow(window, false);
    return window;
}

template <class List>
List* firstRowSelected(List* list)
{
    list->lvwMessages->setCurrentItem(list->lvwMessages->topLevelItem(0));
    list->lvwMessages->topLevelItem(0)->setSelected(true);
    return list;
}

template <class Dialog, class List>
QWidget* editorOf(ConsoleHarness& h, std::string_view name, Kept& keep)
{
    auto* list = firstRowSelected(static_cast<List*>(registered(h, name)));
    if constexpr (std::is_constructible_v<Dialog, List&>)
        keep.push_back(new Dialog(*list));
    else
        keep.push_back(new Dialog(list));
    keep.back()->show();
    return keep.back();
}

template <class Dialog, class List>
QWidget* toneEditorOf(Kept& keep)
{
    auto* list = new List();
    list->Form_Load();
    firstRowSelected(list);
    keep.push_back(list);
    keep.push_back(new Dialog(list));
    keep.back()->show();
    return keep.back();
}

struct Case {
    const char* window;
    Opener open;
    const char* box;
    const char* typed;
    const char* left; // the box's text once its rule has run
    const char* command = "cmdOk";
    std::function<void(QWidget&)> prepare = nullptr;
    // Where the caret is after the command in the active window; none where the command closes it.
    const char* caretAfter = nullptr;
    // Where a click leaves it: on the button, unless the command put it somewhere; none: not looked at.
    const char* caretAfterClick = nullptr;
};

void tick(QWidget& w, const char* check) { w.findChild<QCheckBox*>(check)->setChecked(true); }

const Case kCases[] = {
    {"user dialog",
     [](ConsoleHarness& h, auto&) {
         h.form().cmdAdd_Click();
         return static_cast<QWidget*>(h.form().findChild<QDialog*>("KS_GEN_UserAdd"));
     },
     "txtCapcode", "1234", "0001234", "cmdOk",
     [](QWidget& w) {
         w.findChild<QLineEdit*>("txtUserID")->setText("012");
         w.findChild<QComboBox*>("cmbPagerType")->setCurrentText("AlphaNumeric");
     },
     "txtUserID"}, // the dialog stays for the next user
    {"database programmer",
     dbProgrammer,
     "txtCapCodeInc", "500", "100", "cmdProgram",
     [](QWidget& w) { w.findChild<QLineEdit*>("txtPagerTo")->setText("002"); }, "txtPagerFrom"},
    {"database programmer refusing",
     dbProgrammer,
     "txtCapCodeInc", "500", "100", "cmdProgram",
     [](QWidget& w) { w.findChild<QLineEdit*>("txtPagerTo")->clear(); }, "txtPagerTo"},
    {"freetext message", [](ConsoleHarness& h, auto& keep) {
         return editorOf<KS_PPM_MessagesFreetextAdd, KS_PPM_MessagesTable>(h, FormName::MessagesFreetext, keep);
     }, "txtUserID", "7", "007"},
    {"alarm message", [](ConsoleHarness& h, auto& keep) {
         return editorOf<KS_PPM_MessagesAlarmAdd, KS_PPM_MessagesTable>(h, FormName::MessagesAlarm, keep);
     }, "txtUserID", "7", "007"},
    {"wireless message", [](ConsoleHarness& h, auto& keep) {
         return editorOf<KS_PPM_MessagesWirelessAdd, KS_PPM_MessagesTable>(h, FormName::MessagesWireless, keep);
     }, "txtDeviceCode", "42", "0000042", "cmdOk",
     [](QWidget& w) { w.findChild<QLineEdit*>("txtUserID")->setText("001"); }},
    {"sign-board editor", [](ConsoleHarness& h, auto& keep) {
         return editorOf<KS_PPM_MessagesSBAdd, KS_PPM_MessagesSB>(h, FormName::MessagesSB, keep);
     }, "txtCharPerLine", "45", "32", "cmdOk",
     [](QWidget& w) { w.findChild<QPlainTextEdit*>("txtMessage")->setPlainText("Fire drill"); }},
    {"scheduled page", [](ConsoleHarness& h, auto& keep) {
         return editorOf<KS_GEN_ScheduledPagingAdd, KS_GEN_ScheduledPaging>(h, FormName::ScheduledPaging, keep);
     }, "txtUserID", "7", "007"},
    {"tone event", [](ConsoleHarness&, auto& keep) {
         return toneEditorOf<KS_GEN_ToneScheduleAdd, KS_GEN_ToneSchedule>(keep);
     }, "txtCountdown", "99", "79", "cmdOk",
     [](QWidget& w) { w.findChild<QComboBox*>("cmbAlertType")->setCurrentIndex(8); }}, // start countdown
    {"calendar event", [](ConsoleHarness&, auto& keep) {
         return toneEditorOf<KS_GEN_ToneScheduleCalendarlAdd, KS_GEN_ToneScheduleCalendar>(keep);
     }, "txtDurationMinutes", "99", "79", "cmdOk",
     [](QWidget& w) {
         auto* types = w.findChild<QComboBox*>("cmbAlertType");
         types->setCurrentIndex(types->findText("98 - Start Countdown"));
     }},
    {"paddle", [](ConsoleHarness& h, auto&) { return registered(h, FormName::PaddleProgrammer); },
     "txtCapcode_0", "1234", "0001234", "cmdProgram", [](QWidget& w) { tick(w, "chkProgramCapcode_0"); },
     "chkProgramBaudMode"}, // the paddle's own place after Program
    {"pendant", [](ConsoleHarness& h, auto&) { return registered(h, FormName::PendantProgrammer); },
     "txtCapcode_0", "1234", "0001234", "cmdProgram", [](QWidget& w) { tick(w, "chkProgramCapcode_0"); },
     "cmdRead"}, // refused: a pendant not read has no slots
    {"time receiver", [](ConsoleHarness& h, auto&) { return registered(h, FormName::TimeReceiverProgrammer); },
     "txtSecurityKey", "500", "299", "cmdProgram", [](QWidget& w) { tick(w, "chkSecurityMode"); },
     "txtSecurityKey", "cmdProgram"}, // the run moves no caret
    {"time receiver read", [](ConsoleHarness& h, auto&) { return registered(h, FormName::TimeReceiverProgrammer); },
     "txtSecurityKey", "500", "299", "cmdRead", [](QWidget& w) { tick(w, "chkSecurityMode"); },
     "txtSecurityKey", "cmdRead"},
    {"clock", [](ConsoleHarness& h, auto&) { return registered(h, FormName::ClockProgrammer); },
     "txtFrequency", "457.5", "457.5000", "cmdProgram", nullptr, "txtFrequency"},
    {"speaker", [](ConsoleHarness& h, auto&) { return registered(h, FormName::SpeakerProgrammer); },
     "txtCapcode_0", "1234", "0001234", "cmdProgram", [](QWidget& w) { tick(w, "chkProgramCapcode_0"); },
     "txtCapcode_0"},
    {"speaker read", [](ConsoleHarness& h, auto&) { return registered(h, FormName::SpeakerProgrammer); },
     "txtCapcode_0", "1234", "0001234", "cmdRead", [](QWidget& w) { tick(w, "chkProgramCapcode_0"); },
     "chkDateTime", "chkDateTime"}, // Read's own place for the caret, whichever way
};

// What the command left: the lines the unit got and a digest of every data file.
std::string outcome(ConsoleHarness& h)
{
    std::string all;
    for (const auto& line : h.HostLines())
        all += line + "\n";
    const QDir folder(PathToQString(gDataFolder));
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
        all += name.toStdString() + " "
            + std::to_string(std::hash<std::string>{}(ReadBytes(PathFromQString(folder.filePath(name))))) + "\n";
    return all;
}

struct Result {
    std::string shownAtCommand; // the box as the command's handler found it
    std::string outcome;
    std::string caretAfter; // the control with the caret once the command is over, in the active window
};

enum class Way { TabThenButton, Toolbar, ToolbarInTheActiveWindow, AccessKey, Click };

bool inTheActiveWindow(Way way) { return way != Way::TabThenButton && way != Way::Toolbar; }

// Gives the command the way asked, with the caret still in the box.
void giveCommand(QWidget& window, QLineEdit& box, QPushButton& button, Way way)
{
    switch (way) {
    case Way::TabThenButton: {
        QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&box, &tab);
        QApplication::processEvents();
        button.click();
        break;
    }
    case Way::Toolbar:
    case Way::ToolbarInTheActiveWindow:
        ToolbarAction(window.findChild<QToolBar*>("tlbMenu"), button.objectName().toStdString())->trigger();
        break;
    case Way::AccessKey: {
        // The button shows itself pressed for a moment before it clicks.
        bool clicked = false;
        const auto done = QObject::connect(&button, &QPushButton::clicked, [&] { clicked = true; });
        const QKeySequence key = button.shortcut();
        EXPECT_FALSE(key.isEmpty());
        if (!key.isEmpty())
            QTest::keyClick(&box, key[0].key(), key[0].keyboardModifiers());
        for (int waited = 0; !clicked && waited < 100; ++waited)
            QTest::qWait(20);
        EXPECT_TRUE(clicked);
        QObject::disconnect(done);
        break;
    }
    case Way::Click:
        QTest::mouseClick(&button, Qt::LeftButton);
        break;
    }
}

// Types into the box with the caret in it, then gives the command one way.
Result runCase(const Case& c, Way way)
{
    SetClockForTest([] { return QDateTime(QDate(2026, 3, 2), QTime(10, 0), Qt::UTC); });
    Kept keep;
    Result run;
    // Each run starts from the same empty data folder.
    QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/data").removeRecursively();
    {
        ConsoleHarness harness({{1, "Anna", "A"}});
        harness.engine.EditProfile().toneGenerator = true;
        harness.Load();
        harness.messages.AnswerAlways(kAnswerYes);
        QWidget* window = c.open(harness, keep);
        EXPECT_NE(window, nullptr);
        if (!window)
            return run;
        if (c.prepare)
            c.prepare(*window);
        auto* box = window->findChild<QLineEdit*>(c.box);
        auto* button = window->findChild<QPushButton*>(c.command);
        EXPECT_TRUE(box && button && box->isEnabled() && !box->isReadOnly());
        if (!box || !button)
            return run;
        harness.HostLines();
        if (inTheActiveWindow(way)) {
            window->activateWindow();
            QApplication::setActiveWindow(window);
            EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        }
        box->setFocus();
        EXPECT_EQ(box->hasFocus(), inTheActiveWindow(way));
        box->selectAll();
        QTest::keyClicks(box, c.typed);
        QObject::connect(button, &QPushButton::pressed, [&] { run.shownAtCommand = box->text().toStdString(); });
        const QPointer<QWidget> stillOpen = window;
        giveCommand(*window, *box, *button, way);
        QApplication::processEvents();
        if (inTheActiveWindow(way) && stillOpen && stillOpen->isVisible() && QApplication::focusWidget())
            run.caretAfter = QApplication::focusWidget()->objectName().toStdString();
        run.outcome = outcome(harness);
        for (auto it = keep.rbegin(); it != keep.rend(); ++it)
            delete it->data();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &harness.form() && w->isVisible())
                w->close();
    }
    SetClockForTest({});
    return run;
}

} // namespace

TEST(ToolbarCommands, EveryWindowsCommandFindsTheBoxBeingTypedInLeftAsTabThenTheButtonLeavesIt)
{
    RegisterMessageWindows();
    RegisterScheduleWindows();
    RegisterProgrammerWindows();
    RegisterSpeakerWindows();
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.window);
        const Result tab = runCase(c, Way::TabThenButton);
        EXPECT_EQ(tab.shownAtCommand, c.left);
        for (const Way way : {Way::Toolbar, Way::ToolbarInTheActiveWindow, Way::AccessKey, Way::Click}) {
            SCOPED_TRACE(static_cast<int>(way));
            const Result given = runCase(c, way);
            EXPECT_EQ(given.shownAtCommand, c.left);
            EXPECT_EQ(given.outcome, tab.outcome);
            // A click leaves the caret on the button it pressed; the other
            // ways put it back where the operator was, or where the command put it.
            if (way == Way::ToolbarInTheActiveWindow || way == Way::AccessKey) {
                EXPECT_EQ(given.caretAfter, c.caretAfter ? c.caretAfter : "");
            }
            if (way == Way::Click && c.caretAfterClick)
                EXPECT_EQ(given.caretAfter, c.caretAfterClick);
        }
    }
}

namespace {

// Rows whose box's rule looks at where the caret went, or asks the operator.
struct AskingCase {
    const char* window;
    std::function<std::shared_ptr<sim::Device>()> device; // on the lead in place of the encoder; none: the encoder
    std::function<QWidget*(ConsoleHarness&)> open;
    const char* box;
    std::function<void(QWidget& window, QWidget& box)> enter; // what the operator did, the caret in the box
    const char* command;
    std::int16_t answer; // to the question the box's rule asks
    std::vector<std::string> questionsHolding; // each question asked holds this text, in order
    std::function<void(const Lines&)> expectSent;
    const char* caretAfter; // the command given by the keyboard or the toolbar
};

enum class AskingWay { TabAnswerThenClick, Click, HeldClick, AccessKey, ToolbarInTheActiveWindow, ProgramsClick };

struct AskingResult {
    Lines sent;
    std::vector<std::string> asked;
    std::vector<std::string> shown; // every box, questions or not
    bool closed = false;
    std::string caretAfter;
    int commandsRun = 0;
};

// Clicks the answer on the box once it shows, as the operator would: only then.
void answerWhenShown(std::int16_t answer, int triesLeft = 200)
{
    QTimer::singleShot(5, [answer, triesLeft] {
        KS_SYS_Message* box = VisibleMessageBox();
        if (!box) {
            if (triesLeft > 0)
                answerWhenShown(answer, triesLeft - 1);
            return;
        }
        QPushButton* button = answer == kAnswerYes ? box->cmd_Yes : answer == kAnswerNo ? box->cmd_No : box->cmd_Ok;
        if (!button->isVisible())
            button = box->cmd_Ok;
        button->click();
    });
}

AskingResult runAsking(const AskingCase& c, AskingWay way)
{
    AskingResult run;
    QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/data").removeRecursively();
    ConsoleHarness harness({{1, "Anna", "A"}});
    harness.engine.EditProfile().toneGenerator = true;
    harness.engine.SetActiveToneSlot(3);
    harness.Load();
    harness.messages.AnswerAlways(kAnswerOk);
    if (c.device)
        harness.engine.SetDevice(c.device());
    const QPointer<QWidget> window = c.open(harness);
    auto* box = window->findChild<QWidget*>(c.box);
    auto* button = window->findChild<QPushButton*>(c.command);
    EXPECT_TRUE(box && button);
    if (!box || !button)
        return run;
    window->activateWindow();
    QApplication::setActiveWindow(window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    box->setFocus();
    c.enter(*window, *box);
    QApplication::processEvents();
    harness.HostLines();
    // Every box from here on is a real one, answered once it shows.
    SetMessageAnswerHook([&run, &c](const MessageRequest& request) -> std::optional<MessageAnswer> {
        const bool question = request.buttons == kButtonsYesNo;
        run.shown.push_back(request.message);
        if (question)
            run.asked.push_back(request.message);
        answerWhenShown(question ? c.answer : kAnswerOk);
        return std::nullopt;
    });
    QObject::connect(button, &QPushButton::clicked, [&run] { ++run.commandsRun; });
    switch (way) {
    case AskingWay::TabAnswerThenClick:
        QTest::keyClick(box, Qt::Key_Tab);
        QTest::qWait(50);
        QTest::mouseClick(button, Qt::LeftButton);
        break;
    case AskingWay::Click:
        QTest::mouseClick(button, Qt::LeftButton);
        break;
    case AskingWay::HeldClick:
        QTest::mousePress(button, Qt::LeftButton);
        QTest::qWait(150);
        QTest::mouseRelease(button, Qt::LeftButton);
        break;
    case AskingWay::AccessKey: {
        const QKeySequence key = button->shortcut();
        QTest::keyClick(box, key[0].key(), key[0].keyboardModifiers());
        break;
    }
    case AskingWay::ToolbarInTheActiveWindow:
        ToolbarAction(window->findChild<QToolBar*>("tlbMenu"), c.command)->trigger();
        break;
    case AskingWay::ProgramsClick:
        button->click();
        break;
    }
    // An access key's click comes a moment after the key.
    QTest::qWait(250);
    QApplication::processEvents();
    EXPECT_EQ(VisibleMessageBox(), nullptr);
    // The window's own caret: no window manager here activates it again once the box is gone.
    if (window && window->focusWidget())
        run.caretAfter = window->focusWidget()->objectName().toStdString();
    run.sent = harness.HostLines();
    run.closed = !window || !window->isVisible();
    SetMessageAnswerHook({});
    delete window.data();
    return run;
}

void typeInto(QWidget&, QWidget& box, const char* text)
{
    static_cast<QLineEdit&>(box).selectAll();
    QTest::keyClicks(&box, text);
}

QWidget* programmer(ConsoleHarness& h, std::string_view name) { return registered(h, name); }

bool sentOnce(const Lines& sent, const std::string& line)
{
    return std::count(sent.begin(), sent.end(), line) == 1;
}

const std::string kRaster = "The entered frequency seems to be invalid";

std::vector<AskingCase> askingCases()
{
    const auto clock = [] { return std::make_shared<sim::ClockDevice>(); };
    const auto pendant = [] { return std::make_shared<sim::PendantDevice>(); };
    const auto speaker = [] { return std::make_shared<sim::SpeakerDevice>(); };
    const auto openClock = [](ConsoleHarness& h) { return programmer(h, FormName::ClockProgrammer); };
    const auto openPendant = [](ConsoleHarness& h) {
        QWidget* w = programmer(h, FormName::PendantProgrammer);
        QKeyEvent radio(QEvent::KeyPress, KS_GEN_PendantProgrammer::kRadioServiceKey,
                        KS_ProgrammerFrame::kServiceModifiers);
        QApplication::sendEvent(w, &radio);
        w->findChild<QComboBox*>("cmbPower")->setCurrentIndex(8);
        w->findChild<QComboBox*>("cmbDeviation")->setCurrentIndex(2);
        return w;
    };
    const auto openSpeaker = [](ConsoleHarness& h) {
        auto* w = static_cast<KS_GEN_SpeakerProgrammer*>(programmer(h, FormName::SpeakerProgrammer));
        w->UnlockService(1);
        return static_cast<QWidget*>(w);
    };
    const auto noneSent = [](const Lines& sent) { EXPECT_EQ(sent, Lines{}); };
    const auto hasLine = [](std::string line) {
        return [line](const Lines& sent) { EXPECT_TRUE(sentOnce(sent, line)) << line; };
    };
    const auto typed = [](const char* text) { return [text](QWidget& w, QWidget& box) { typeInto(w, box, text); }; };
    return {
        {"slot list and Switch", nullptr,
         [](ConsoleHarness&) {
             auto* w = new KS_GEN_ToneSchedule();
             w->Form_Load();
             w->show();
             return static_cast<QWidget*>(w);
         },
         "cmbSlot",
         [](QWidget&, QWidget& box) {
             QTest::keyClick(&box, Qt::Key_Up); // from "3" to "2"
             EXPECT_EQ(static_cast<QComboBox&>(box).currentText(), "2");
         },
         "cmdActivateSlot", kAnswerYes, {"download the schedule from slot 2 ?"}, hasLine("PA2"), nullptr},
        {"clock, Yes", clock, openClock, "txtFrequency", typed("467.801"), "cmdProgram", kAnswerYes, {kRaster},
         hasLine("PF4678010"), "txtFrequency"},
        {"clock, No", clock, openClock, "txtFrequency", typed("467.801"), "cmdProgram", kAnswerNo, {kRaster},
         noneSent, "txtFrequency"},
        {"pendant, Yes", pendant, openPendant, "txtFrequency", typed("457.551"), "cmdProgram", kAnswerYes, {kRaster},
         hasLine("PF4575510"), "chkProgramBaudType"},
        {"pendant, No", pendant, openPendant, "txtFrequency", typed("457.551"), "cmdProgram", kAnswerNo, {kRaster},
         noneSent, "txtFrequency"},
        {"speaker, Yes", speaker, openSpeaker, "txtRx1Frequency", typed("457.551"), "cmdProgram", kAnswerYes,
         {kRaster}, [](const Lines& sent) {
             EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                                     [](const std::string& l) { return l.find("4575510") != std::string::npos; }),
                       1);
         }, nullptr},
        {"speaker, No", speaker, openSpeaker, "txtRx1Frequency", typed("457.551"), "cmdProgram", kAnswerNo, {kRaster},
         noneSent, "txtRx1Frequency"},
    };
}

} // namespace

TEST(ToolbarCommands, ABoxRuleSeesTheCommandsButtonAsWhereTheCaretWentAndItsQuestionIsAnsweredBeforeTheCommandRunsOnce)
{
    RegisterProgrammerWindows();
    RegisterSpeakerWindows();
    for (const AskingCase& c : askingCases()) {
        SCOPED_TRACE(c.window);
        for (const AskingWay way : {AskingWay::TabAnswerThenClick, AskingWay::Click, AskingWay::HeldClick,
                                    AskingWay::AccessKey, AskingWay::ToolbarInTheActiveWindow,
                                    AskingWay::ProgramsClick}) {
            SCOPED_TRACE(static_cast<int>(way));
            // Leaving the slot list for anything but Switch puts the list back: Tab is no way to switch.
            const bool slotList = std::string_view(c.box) == "cmbSlot";
            if (slotList && (way == AskingWay::TabAnswerThenClick || way == AskingWay::ToolbarInTheActiveWindow))
                continue;
            const AskingResult run = runAsking(c, way);
            // After No to Tab's question the click leaves the box again, and the rule asks again.
            const std::size_t askings = way == AskingWay::TabAnswerThenClick && c.answer == kAnswerNo ? 2 : 1;
            ASSERT_EQ(run.asked.size(), c.questionsHolding.size() * askings);
            for (std::size_t i = 0; i < run.asked.size(); ++i)
                EXPECT_NE(run.asked[i].find(c.questionsHolding[i % c.questionsHolding.size()]), std::string::npos)
                    << run.asked[i];
            c.expectSent(run.sent);
            EXPECT_LE(run.commandsRun, 1);
            if (c.answer == kAnswerNo)
                EXPECT_EQ(run.caretAfter, c.box);
            else if (c.caretAfter && way != AskingWay::Click && way != AskingWay::HeldClick
                     && way != AskingWay::TabAnswerThenClick)
                EXPECT_EQ(run.caretAfter, c.caretAfter);
        }
    }
}

namespace {

struct WindowsOwnValueCase {
    const char* name;
    AskingCase asking;
    std::vector<std::string> shown; // the boxes the command shows, in order
    bool closes = false;
};

const std::string kValidFrequency = "Please enter a valid frequency.";

std::vector<WindowsOwnValueCase> windowsOwnValueCases()
{
    const auto clock = [] { return std::make_shared<sim::ClockDevice>(); };
    // The clock forgotten on the lead: the read finds no answer and puts the
    // caret into Frequency, still "000.0000"; then the clock is plugged in.
    const auto clockAfterAReadThatFoundNone = [](ConsoleHarness& h) {
        QWidget* w = programmer(h, FormName::ClockProgrammer);
        h.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "", .match = sim::MatchMode::Exact, .times = 0});
        w->findChild<QPushButton*>("cmdRead")->click();
        h.engine.ClearFaults();
        EXPECT_EQ(w->focusWidget(), w->findChild<QWidget*>("txtFrequency"));
        return w;
    };
    const auto untouchedClock = [](ConsoleHarness& h) { return programmer(h, FormName::ClockProgrammer); };
    const auto speakerAtItsFirstLevel = [](ConsoleHarness& h) {
        auto* w = static_cast<KS_GEN_SpeakerProgrammer*>(programmer(h, FormName::SpeakerProgrammer));
        w->UnlockService(1);
        w->chkDateTime->setChecked(true);
        return static_cast<QWidget*>(w);
    };
    const auto nothing = [](QWidget&, QWidget&) {};
    const auto read = [](const char* first) {
        return [first](const Lines& sent) {
            ASSERT_FALSE(sent.empty());
            EXPECT_EQ(sent.front(), first);
        };
    };
    const auto noneSent = [](const Lines& sent) { EXPECT_EQ(sent, Lines{}); };
    std::vector<WindowsOwnValueCase> cases{
        {"clock read after a read that found none",
         {"clock", clock, clockAfterAReadThatFoundNone, "txtFrequency", nothing, "cmdRead", kAnswerOk, {}, read("?VM"),
          nullptr},
         {}},
        {"clock closed after a read that found none",
         {"clock", clock, clockAfterAReadThatFoundNone, "txtFrequency", nothing, "cmdClose", kAnswerOk, {}, noneSent,
          nullptr},
         {}, true},
        {"clock programmed from its opening value",
         {"clock", clock, untouchedClock, "txtFrequency", nothing, "cmdProgram", kAnswerOk, {}, noneSent, nullptr},
         {kValidFrequency}},
    };
    // The first service level puts the caret into the receiver frequency, "000.0000".
    for (const char* version : {"3.14", "2.90"}) {
        const auto speaker = [version] { return std::make_shared<sim::SpeakerDevice>(version); };
        cases.push_back({version,
                         {"speaker read", speaker, speakerAtItsFirstLevel, "txtRx1Frequency", nothing, "cmdRead",
                          kAnswerOk, {},
                          [](const Lines& sent) { EXPECT_NE(std::find(sent.begin(), sent.end(), "?V"), sent.end()); },
                          nullptr},
                         {}});
        cases.push_back({version,
                         {"speaker program", speaker, speakerAtItsFirstLevel, "txtRx1Frequency", nothing, "cmdProgram",
                          kAnswerOk, {}, noneSent, nullptr},
                         {kValidFrequency}});
    }
    return cases;
}

} // namespace

TEST(ToolbarCommands, AFrequencyTheWindowPutInItsBoxHoldsNoCommandBackAndProgramStillRefusesAZero)
{
    RegisterProgrammerWindows();
    RegisterSpeakerWindows();
    for (const WindowsOwnValueCase& c : windowsOwnValueCases()) {
        SCOPED_TRACE(std::string(c.name) + " " + c.asking.window);
        for (const AskingWay way : {AskingWay::HeldClick, AskingWay::AccessKey, AskingWay::ToolbarInTheActiveWindow,
                                    AskingWay::TabAnswerThenClick}) {
            SCOPED_TRACE(static_cast<int>(way));
            const AskingResult run = runAsking(c.asking, way);
            EXPECT_EQ(run.shown, c.shown);
            c.asking.expectSent(run.sent);
            EXPECT_EQ(run.commandsRun, 1);
            EXPECT_EQ(run.closed, c.closes);
        }
    }
}
