#pragma once
// The console against a simulated encoder: a data folder with a user table,
// the main window on a port whose far end is the simulator, scripted message
// boxes and the deterministic pump (one tick per yield, then the receiver).

#include <memory>
#include <string>
#include <vector>

#include "KS_Records.h"
#include "SimEngine.h"
#include "TestSupport.h"

class KS_MainForm;
class SerialBackend;

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
    std::vector<std::string> HostLines();

    // Every status report since the window loaded.
    std::vector<StatusReport> statusLog;
    bool Reported(const std::string& text, bool isError) const;

    sim::Engine engine;
    ScriptedMessages messages;

private:
    std::unique_ptr<KS_MainForm> form_;
    std::size_t transcriptSeen_ = 0;
};
