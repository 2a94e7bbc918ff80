#pragma once
// Link test helpers: a scripted unit on the far end of the port, the
// deterministic pump, and a pseudo-terminal for the real-line tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "CommPort.h"

// A unit that answers each CR-ended line the host sends with whatever the
// test's handler queues, due a given number of ticks later.
class FakeUnit : public SerialBackend {
public:
    using LineHandler = std::function<void(FakeUnit& unit, const std::string& line)>;

    CommError Open(const std::string&) override;
    void Close() override {}
    bool Configure(const SerialSettings&) override { return true; }
    bool Read(std::string& into, std::size_t max) override;
    long Write(std::string_view bytes) override;
    void DiscardInput() override;

    void OnLine(LineHandler handler) { handler_ = std::move(handler); }
    // Sees every write as it comes, before it is split into lines ("+++" has no CR).
    void OnWrite(LineHandler handler) { writeHandler_ = std::move(handler); }
    // Queues bytes for the host, readable once the tick counter has advanced by afterTicks.
    void Reply(std::string_view bytes, std::int64_t afterTicks = 1);
    // The device disappears: the next read reports it gone.
    void Vanish() { vanished_ = true; }

    // Each write the host made, in order.
    const std::vector<std::string>& Writes() const { return writes_; }
    // Everything the host wrote, and the same split into lines after each CR.
    std::string Written() const;
    std::vector<std::string> Lines() const;
    int CountLines(std::string_view line) const;
    void ClearWrites();

    int opens = 0;

private:
    struct Pending {
        std::int64_t due;
        std::string bytes;
    };
    LineHandler handler_;
    LineHandler writeHandler_;
    std::vector<std::string> writes_;
    std::vector<Pending> pending_;
    std::string partialHostLine_;
    bool vanished_ = false;
};

// The deterministic pump: every yield advances one tick and then runs the
// receiver, as tmrDelay and tmrCheckCOMPort do in the program.
void InstallTickPump();

// Installs the pump and owns the open port that gComm points at; everything
// is undone on destruction.
class LinkHarness {
public:
    explicit LinkHarness(std::unique_ptr<SerialBackend> backend = std::make_unique<FakeUnit>());
    ~LinkHarness();
    LinkHarness(const LinkHarness&) = delete;
    LinkHarness& operator=(const LinkHarness&) = delete;

    CommPort& port() { return *port_; }
    // The FakeUnit when the harness was built with one (the default), else nullptr.
    FakeUnit* unit() { return unit_; }
    // Yields until the condition holds or the ticks run out; returns the condition.
    bool PumpUntil(const std::function<bool()>& done, int maxTicks);

private:
    std::unique_ptr<CommPort> port_;
    FakeUnit* unit_ = nullptr;
};

// A pseudo-terminal pair: the test plays the far end on the master, the
// program opens the slave path as port 1 (through PAGORA_COM1).
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }
    void Send(std::string_view bytes);
    // Reads what the program wrote, waiting at most the given milliseconds for the first byte
    // and then collecting until the line has been quiet for a few milliseconds.
    std::string Receive(int waitMs = 1000);
    void CloseMaster();

private:
    int master_ = -1;
    int slave_ = -1; // held, so that a path to this process's own handle stays good
    std::string slavePath_;
};

// A pump for the real-line tests: each yield lets the kernel move the bytes
// (at most a millisecond), then advances one tick and runs the receiver.
void InstallRealLinePump();
