#pragma once
// The console against a simulated encoder: a data folder with a user table,
// the main window on a port whose far end is the simulator, scripted message
// boxes and the deterministic pump (one tick per yield, then the receiver).
// It includes what a test needs to drive the main window's controls.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Records.h"
#include "KS_Registry.h"
#include "KS_WindowRegistry.h"
#include "SimEngine.h"
#include "TestSupport.h"

using Lines = std::vector<std::string>;

// Every window of the parts above the console, by the name it is registered under.
inline constexpr std::string_view kEveryWindow[] = {
    FormName::MessagesAlarm,         FormName::MessagesPABX,         FormName::MessagesFastkey,
    FormName::MessagesFreetext,      FormName::MessagesWireless,     FormName::MessagesSB,
    FormName::ScheduledPaging,       FormName::ToneSchedule,         FormName::ToneScheduleCalendar,
    FormName::DBProgrammer,          FormName::SpeakerProgrammer,    FormName::CustomAlertsProgrammer,
    FormName::PendantProgrammer,     FormName::PaddleProgrammer,     FormName::TimeReceiverProgrammer,
    FormName::ClockProgrammer};

struct TestUser {
    int number;
    std::string name;
    std::string type; // pager-type code: "A" alphanumeric, "N" numeric, "T" tone, "V" voice
    std::string groupFlag = "N";
};

PagerRecord MakeUser(const TestUser& user);
// User `number` as Pager.DBS of the data folder holds it (a failed read fails the test).
PagerRecord StoredUser(int number);
// A data folder holding Pager.DBS with the users (when withDatabase), and port COM 1 at 38400,N,8,1.
void PrepareConsoleSettings(const std::vector<TestUser>& users, bool withDatabase = true);
// From now on the unit answers no line, not even the bare probe.
void SilenceEveryLine(sim::Engine& engine);
// One scheduled page, alert 3 to pager 005 at 09:05 AM, and the clock at
// that minute of a Monday, so the console's second finds it due. The test
// gives the clock back with SetClockForTest({}).
ScheduleEntry& SchedulePageDueNow();
// The texts of one column of a list, top to bottom.
QStringList ColumnTexts(const QTreeWidget* list, int column);
// The shown top-level window of that name, or nullptr.
template <class Window = QWidget>
Window* ShownWindow(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return qobject_cast<Window*>(w);
    return nullptr;
}

class ConsoleHarness {
public:
    // withDatabase: a data folder holding Pager.DBS with the given users.
    explicit ConsoleHarness(const std::vector<TestUser>& users = {}, bool withDatabase = true);
    ~ConsoleHarness();

    // Creates the window and runs its load; messages shown meanwhile go to `messages`.
    KS_MainForm& Load();
    // The same on a port of the test's own, whose far end must still lead to `engine`.
    KS_MainForm& Load(std::unique_ptr<SerialBackend> backend);
    KS_MainForm& form() { return *form_; }

    // Selects the listed users (by pager number) into the selected list.
    void Select(const std::vector<std::string>& pagerNumbers);
    // The lines the encoder received since the last call (CR removed), bare probes left out.
    Lines HostLines();
    // Of those, the pages ("P" lines).
    Lines Pages();
    // Runs the pump, and `act` at the nth yield from now, noting whether a conversation held the line then.
    void ActAtYield(int n, std::function<void()> act);
    int yields = 0;
    bool actedInConversation = false;

    // Every status report since the window loaded.
    std::vector<StatusReport> statusLog;
    bool Reported(const std::string& text, bool isError) const;

    sim::Engine engine;
    ScriptedMessages messages;

private:
    std::unique_ptr<KS_MainForm> form_;
    std::size_t transcriptSeen_ = 0;
};

// For tests that load the console afresh on one unit after another.
struct ConsoleOnUnits : testing::Test {
    // The main window on a unit of that model letter; 0: an unidentified unit of the legacy kind.
    KS_MainForm& load(char model, const std::vector<TestUser>& users = {}, sim::Legacy legacy = sim::Legacy::QX8)
    {
        harness.reset(); // one window and one pump at a time
        harness = std::make_unique<ConsoleHarness>(users);
        if (model)
            harness->engine.SetModel(model);
        else
            harness->engine.SetLegacyModel(legacy);
        return harness->Load();
    }
    std::unique_ptr<ConsoleHarness> harness;
};
