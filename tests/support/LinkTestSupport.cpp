#include "LinkTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "SimPty.h"

CommError FakeUnit::Open(const std::string&)
{
    ++opens;
    vanished_ = false;
    return CommError::None;
}

bool FakeUnit::Read(std::string& into, std::size_t max)
{
    if (vanished_)
        return false;
    for (auto it = pending_.begin(); it != pending_.end() && max > 0;) {
        if (it->due > gDelayTicks) {
            ++it;
            continue;
        }
        const std::size_t take = std::min(max, it->bytes.size());
        into.append(it->bytes, 0, take);
        max -= take;
        it->bytes.erase(0, take);
        it = it->bytes.empty() ? pending_.erase(it) : it;
    }
    return true;
}

long FakeUnit::Write(std::string_view bytes)
{
    if (vanished_)
        return -1;
    writes_.emplace_back(bytes);
    if (writeHandler_)
        writeHandler_(*this, std::string(bytes));
    for (char c : bytes) {
        partialHostLine_ += c;
        const std::string line = c == '\r' ? std::exchange(partialHostLine_, {}) : "";
        if (!line.empty() && handler_)
            handler_(*this, line);
    }
    return static_cast<long>(bytes.size());
}

void FakeUnit::DiscardInput()
{
    std::erase_if(pending_, [](const Pending& p) { return p.due <= gDelayTicks; });
}

void FakeUnit::Reply(std::string_view bytes, std::int64_t afterTicks)
{
    pending_.push_back({gDelayTicks + afterTicks, std::string(bytes)});
}

std::string FakeUnit::Written() const
{
    std::string all;
    for (const auto& write : writes_)
        all += write;
    return all;
}

std::vector<std::string> FakeUnit::Lines() const
{
    std::vector<std::string> lines(1);
    for (char c : Written()) {
        lines.back() += c;
        if (c == '\r')
            lines.emplace_back();
    }
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

int FakeUnit::CountLines(std::string_view line) const
{
    const auto lines = Lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

void FakeUnit::ClearWrites()
{
    writes_.clear();
    partialHostLine_.clear();
}

namespace {
void pumpOneTick()
{
    AdvanceTick();
    PollEncoderReply();
}
} // namespace

void InstallTickPump() { SetYieldHook(pumpOneTick); }

LinkHarness::LinkHarness(std::unique_ptr<SerialBackend> backend)
{
    unit_ = dynamic_cast<FakeUnit*>(backend.get());
    port_ = std::make_unique<CommPort>(std::move(backend));
    gComm = port_.get();
    ResetLinkLedger(); // a unit of its own: nothing an earlier one was sent is owed
    InstallTickPump();
    gSerialPort = 1;
    OpenSerialPort(*port_, 1, gComSettings);
}

LinkHarness::~LinkHarness()
{
    SetYieldHook({});
    ResetLinkReceiver();
    gComm = nullptr;
}

bool LinkHarness::PumpUntil(const std::function<bool()>& done, int maxTicks)
{
    for (int i = 0; i < maxTicks && !done(); ++i)
        WaitForEvents();
    return done();
}

PseudoTerminal::PseudoTerminal()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        CloseMaster();
        return;
    }
    // The path handed to the program opens the slave of this master, and no
    // other process's terminal of the same number.
    slave_ = sim::OpenOwnSlave(master_, slavePath_);
    if (slave_ < 0) {
        CloseMaster();
        return;
    }
    ::setenv("PAGORA_COM1", slavePath_.c_str(), 1);
}

PseudoTerminal::~PseudoTerminal()
{
    CloseMaster();
    if (slave_ >= 0)
        ::close(slave_);
    ::unsetenv("PAGORA_COM1");
}

void PseudoTerminal::Send(std::string_view bytes)
{
    while (master_ >= 0 && !bytes.empty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        pollfd pfd {master_, POLLOUT, 0};
        if (n > 0)
            bytes.remove_prefix(static_cast<std::size_t>(n));
        else if (::poll(&pfd, 1, 1000) <= 0)
            return;
    }
}

std::string PseudoTerminal::Receive(int waitMs)
{
    std::string bytes;
    pollfd pfd {master_, POLLIN, 0};
    while (master_ >= 0 && ::poll(&pfd, 1, waitMs) > 0 && (pfd.revents & POLLIN)) {
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        waitMs = 20;
    }
    return bytes;
}

void PseudoTerminal::CloseMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void InstallRealLinePump()
{
    SetYieldHook([] {
        ::poll(nullptr, 0, 1);
        pumpOneTick();
    });
}
