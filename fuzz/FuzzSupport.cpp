#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "SettingsFile.h"

namespace {
// The line of the port open now, whose deliveries the clock must not pass.
FuzzLine* openLine = nullptr;
} // namespace

void FuzzInit()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // A private home for the settings file and the data folder, so a run never
    // touches the operator's own files. It lies in memory where the machine has
    // a memory file system: targets that detect an encoder or download a table
    // save settings and replace files on every input, and a synced disk write
    // each time would make the waits on the disk, not the code, the fuzzer's speed.
    static const QString home = (QFileInfo("/dev/shm").isWritable() ? QString("/dev/shm") : QDir::tempPath())
        + "/pagora-fuzz-" + QString::number(QCoreApplication::applicationPid());
    std::atexit([] { QDir(home).removeRecursively(); });
    QDir().mkpath(home + "/config");
    QDir().mkpath(home + "/data");
    qputenv("XDG_CONFIG_HOME", (home + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + "/data").toLocal8Bit());
    // Targets that write data files write them there, never into the folder the fuzzer runs in.
    gDataFolder = (home + "/data").toStdString();
    static int argc = 1;
    static char name[] = "pagora-fuzz";
    static char* argv[] = {name, nullptr};
    // The targets exercise parsers, the link and the data files, never a window:
    // a core application spares each input the please-wait window's layout.
    static QCoreApplication app(argc, argv);

    SetMessageAnswerHook([](const MessageRequest& request) -> std::optional<MessageAnswer> {
        switch (request.buttons) {
        case kButtonsOkCancel:
        case kButtonsCancel:
        case kButtonsYesNoCancel: return MessageAnswer {kAnswerCancel};
        case kButtonsYesNo: return MessageAnswer {kAnswerNo};
        default: return MessageAnswer {kAnswerOk};
        }
    });
    SetStatusSink([](const std::string&, bool, int) {});
    SetYieldHook([] {
        // While the program only waits, the clock moves straight to the next
        // thing that happens: the next delivery on the line, or the tick at
        // which the wait acts of its own accord. Nothing would happen in the
        // ticks between, and counting them one by one (each a pass of the
        // link's loops) cost most of an input's time.
        std::int64_t next = TakeNextWaitAction();
        if (openLine && openLine->Pending())
            next = std::min(next, openLine->NextDue());
        if (openLine && next != std::numeric_limits<std::int64_t>::max() && next > gDelayTicks + 1
            && (gReceiverIdle || LinkReceiving()) && gComm && gComm->InBufferCount() == 0)
            gDelayTicks = next - 1;
        AdvanceTick();
        PollEncoderReply();
    });
}

void ResetLinkState()
{
    // A freshly started program has no settings file yet: without one, every
    // port opening (the speed search opens the port four times) reads nothing.
    static const std::string settings = SettingsFile::ForRegistryKey(ConfigKey(), nullptr).path().toStdString();
    std::remove(settings.c_str());
    ResetLinkLedger();
    ResetExitForTest();
    gReceiverIdle = true;
    gReplyBuffer.clear();
    gAcknowledgedLine.clear();
    gReplyAcknowledged = false;
    gProbeAnswered = false;
    gModemConnected = false;
    gModemFailed = false;
    gModemReady = false;
    gConnectionType = 1;
    gSerialPort = 1;
    gComSettings = "38400,N,8,1";
    gEncoderModelLetter = "N/A";
    gEncoderModelName = "encoder";
    gEncoderFamily.clear();
    gEncoderIdentified = false;
}

bool FuzzLine::Read(std::string& into, std::size_t max)
{
    while (!queue_.empty() && queue_.front().due <= gDelayTicks && into.size() < max) {
        Chunk& chunk = queue_.front();
        const std::size_t take = std::min(max - into.size(), chunk.bytes.size());
        into.append(chunk.bytes, 0, take);
        chunk.bytes.erase(0, take);
        if (chunk.bytes.empty())
            queue_.pop_front();
    }
    return !(vanished_ && queue_.empty());
}

long FuzzLine::Write(std::string_view bytes)
{
    if (vanished_)
        return -1;
    for (char c : bytes) {
        if (c != '\r') {
            hostPartial_.push_back(c);
            continue;
        }
        const std::string line = std::move(hostPartial_);
        hostPartial_.clear();
        if (OnHostLine)
            OnHostLine(*this, line);
    }
    return static_cast<long>(bytes.size());
}

void FuzzLine::DiscardInput()
{
    while (!queue_.empty() && queue_.front().due <= gDelayTicks)
        queue_.pop_front();
}

void FuzzLine::Deliver(std::string bytes, std::int64_t atTick)
{
    if (!bytes.empty())
        queue_.push_back({atTick, std::move(bytes)});
}

FuzzPort::FuzzPort()
{
    auto line = std::make_unique<FuzzLine>();
    line_ = line.get();
    port_ = std::make_unique<CommPort>(std::move(line));
    port_->SetSettings("38400,N,8,1");
    port_->SetInputLen(1);
    port_->SetPortOpen(true);
    gComm = port_.get();
    openLine = line_;
}

FuzzPort::~FuzzPort()
{
    openLine = nullptr;
    gComm = nullptr;
    ResetLinkReceiver();
}

void FuzzCheck(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz expectation failed: %s\n", what);
    std::abort();
}
