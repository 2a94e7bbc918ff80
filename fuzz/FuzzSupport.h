#pragma once
// What every fuzz target shares: a headless program environment set up once,
// a serial line whose far end plays bytes taken from the fuzz input, and the
// deterministic pump (one tick per yield, then the receiver).

#include <cstdint>
#include <deque>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>
#include <string>

#include "CommPort.h"
#include "KS_Globals.h"

// Private settings and data folders (in memory where the machine has a memory
// file system), a core application (no windows), and message boxes answered
// with their Escape choice. Safe to call every run.
void FuzzInit();

// Puts the link state back to what a freshly started program has.
void ResetLinkState();

// The far end of the port. Bytes queued with Deliver() become readable at
// their tick; OnHostLine sees every CR-ended line the host writes.
class FuzzLine : public SerialBackend {
public:
    CommError Open(const std::string&) override { return CommError::None; }
    void Close() override {}
    bool Configure(const SerialSettings&) override { return true; }
    bool Read(std::string& into, std::size_t max) override;
    long Write(std::string_view bytes) override;
    void DiscardInput() override;

    void Deliver(std::string bytes, std::int64_t atTick);
    void Vanish() { vanished_ = true; }
    bool Pending() const { return !queue_.empty(); }
    // The tick at which the next queued bytes arrive.
    std::int64_t NextDue() const { return queue_.empty() ? gDelayTicks : queue_.front().due; }

    // Called for each host line (without its CR).
    std::function<void(FuzzLine&, const std::string&)> OnHostLine;

private:
    struct Chunk {
        std::int64_t due;
        std::string bytes;
    };
    std::deque<Chunk> queue_;
    std::string hostPartial_;
    bool vanished_ = false;
};

// A port on a FuzzLine, opened and made the program's gComm for its lifetime.
class FuzzPort {
public:
    FuzzPort();
    ~FuzzPort();
    FuzzLine& line() { return *line_; }
    CommPort& port() { return *port_; }

private:
    FuzzLine* line_ = nullptr;
    std::unique_ptr<CommPort> port_;
};

// Stops the fuzzer with a report when an expectation about the program's state fails.
void FuzzCheck(bool condition, const char* what);
