#include "LinkTestSupport.h"

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"

// ---- FakeUnit -------------------------------------------------------------------

CommError FakeUnit::Open(const std::string&)
{
    ++opens;
    vanished_ = false;
    return CommError::None;
}

void FakeUnit::Close() {}

bool FakeUnit::Configure(const SerialSettings& serialSettings)
{
    settings = FormatSerialSettings(serialSettings);
    return true;
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
    writes_.push_back({gDelayTicks, std::string(bytes)});
    if (writeHandler_)
        writeHandler_(*this, std::string(bytes));
    for (char c : bytes) {
        partialHostLine_ += c;
        if (c == '\r') {
            const std::string line = std::move(partialHostLine_);
            partialHostLine_.clear();
            if (handler_)
                handler_(*this, line);
        }
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
        all += write.bytes;
    return all;
}

std::vector<std::string> FakeUnit::Lines() const
{
    std::vector<std::string> lines;
    std::string current;
    for (char c : Written()) {
        current += c;
        if (c == '\r') {
            lines.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

int FakeUnit::CountLines(std::string_view line) const
{
    int count = 0;
    for (const auto& each : Lines())
        count += each == line ? 1 : 0;
    return count;
}

void FakeUnit::ClearWrites()
{
    writes_.clear();
    partialHostLine_.clear();
}

// ---- LinkHarness -------------------------------------------------------------------

LinkHarness::LinkHarness()
    : LinkHarness(std::make_unique<FakeUnit>())
{
}

LinkHarness::LinkHarness(std::unique_ptr<SerialBackend> backend, bool open)
{
    unit_ = dynamic_cast<FakeUnit*>(backend.get());
    port_ = std::make_unique<CommPort>(std::move(backend));
    gComm = port_.get();
    ResetLinkReceiver();
    SetYieldHook([] {
        AdvanceTick();
        if (!gLinkBusy)
            PollEncoderReply();
    });
    if (open) {
        gSerialPort = 1;
        OpenSerialPort(*port_, 1, gComSettings);
    }
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

// ---- PseudoTerminal -------------------------------------------------------------------

PseudoTerminal::PseudoTerminal()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        CloseMaster();
        return;
    }
    slavePath_ = ::ptsname(master_);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (const char* old = std::getenv("PAGORA_COM1")) {
        hadEnvironment_ = true;
        oldEnvironment_ = old;
    }
    ::setenv("PAGORA_COM1", slavePath_.c_str(), 1);
}

PseudoTerminal::~PseudoTerminal()
{
    CloseMaster();
    if (hadEnvironment_)
        ::setenv("PAGORA_COM1", oldEnvironment_.c_str(), 1);
    else
        ::unsetenv("PAGORA_COM1");
}

void PseudoTerminal::Send(std::string_view bytes)
{
    std::size_t done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else {
            pollfd pfd {master_, POLLOUT, 0};
            if (::poll(&pfd, 1, 1000) <= 0)
                return;
        }
    }
}

std::string PseudoTerminal::Receive(int waitMs)
{
    std::string bytes;
    int wait = waitMs;
    while (master_ >= 0) {
        pollfd pfd {master_, POLLIN, 0};
        if (::poll(&pfd, 1, wait) <= 0 || !(pfd.revents & POLLIN))
            break;
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        wait = 20;
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
        AdvanceTick();
        if (!gLinkBusy)
            PollEncoderReply();
    });
}
