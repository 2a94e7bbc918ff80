// pagora-sim: an encoder (optionally behind a modem) on a pseudo-terminal.
// The first line on stdout is the terminal the console should open, e.g.
//   PAGORA_COM1=$(pagora-sim --model X | head -n 1) pagora

#include "SeedDemo.h"
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <string_view>
#include <unistd.h>

#include "SimDevice.h"
#include "SimEngine.h"
#include "SimPty.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

void OnStopSignal(int) { gStop = 1; }

constexpr auto kTick = std::chrono::milliseconds(50);

// To stdout when asked for (--help), else to stderr after a wrong argument.
void Usage(std::FILE* out)
{
    std::string devices;
    for (const std::string& name : sim::DeviceNames())
        devices += (devices.empty() ? "" : " ") + name;
    std::string letters;
    for (const char letter : sim::ModelLetters())
        letters += (letters.empty() ? "" : " ") + std::string(1, letter);
    std::fprintf(out,
                 "usage: pagora-sim [--model LETTER | --legacy qx7|qx8] [--firmware 3.16] [--settings 38400,N,8,1]\n"
                 "                  [--modem] [--transcript FILE | -v]\n"
                 "       pagora-sim --device NAME [--set MNEMONIC=VALUE]... [--button]\n"
                 "                  [--settings ...] [--transcript FILE | -v]\n"
                 "       pagora-sim --seed-demo DIR   (a demo user table, unless DIR has one)\n"
                 "models: %s (X unless --model names another)\n"
                 "devices: %s\n",
                 letters.c_str(), devices.c_str());
}

// Control characters shown as escapes so a transcript stays one line per entry.
std::string Printable(std::string_view bytes)
{
    std::string out;
    for (const unsigned char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || c >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

sim::ClockTime LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

// Writes what the master cannot take at once later; the console may be slow
// to read or have its port closed for a moment.
bool WriteSome(int fd, std::string& pending)
{
    while (!pending.empty()) {
        const ssize_t n = ::write(fd, pending.data(), pending.size());
        if (n > 0) {
            pending.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    sim::Engine engine;
    std::string transcriptPath;
    bool verbose = false;
    std::shared_ptr<sim::Device> device;
    bool buttonOnStdin = false;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--model" && hasValue && std::strlen(argv[i + 1]) == 1) {
            engine.SetModel(argv[++i][0]);
        } else if (arg == "--firmware" && hasValue) {
            // X and R units speak their table layouts by firmware version; after --model.
            engine.EditProfile().version = argv[++i];
        } else if (arg == "--legacy" && hasValue) {
            const std::string_view v = argv[++i];
            if (v == "qx7")
                engine.SetLegacyModel(sim::Legacy::QX7);
            else if (v == "qx8")
                engine.SetLegacyModel(sim::Legacy::QX8);
            else {
                Usage(stderr);
                return 2;
            }
        } else if (arg == "--settings" && hasValue) {
            if (!sim::ParseLineSettings(argv[i + 1])) {
                std::fprintf(stderr, "pagora-sim: not a settings string: %s\n", argv[i + 1]);
                return 2;
            }
            engine.SetUnitSettings(argv[++i]);
        } else if (arg == "--device" && hasValue) {
            device = sim::MakeDevice(argv[++i]);
            if (!device) {
                std::fprintf(stderr, "pagora-sim: no such device: %s\n", argv[i]);
                Usage(stderr);
                return 2;
            }
        } else if (arg == "--set" && hasValue && device) {
            // A device setting as if it had been programmed: --set VM=ZAR_UZE.
            const std::string_view setting = argv[++i];
            const auto equals = setting.find('=');
            if (equals == std::string_view::npos
                || !device->SetValue(setting.substr(0, equals), std::string(setting.substr(equals + 1)))) {
                std::fprintf(stderr, "pagora-sim: the %s has no setting %s\n", device->Name().c_str(), argv[i]);
                return 2;
            }
        } else if (arg == "--button" && device) {
            // The button is pressed by Enter on this program's own terminal.
            device->SetAutomaticButton(false);
            buttonOnStdin = true;
        } else if (arg == "--modem") {
            engine.EnableModem();
        } else if (arg == "--transcript" && hasValue) {
            transcriptPath = argv[++i];
        } else if (arg == "--seed-demo" && hasValue) {
            std::string error;
            if (!SeedDemoFolder(argv[++i], error)) {
                std::fprintf(stderr, "pagora-sim: %s\n", error.c_str());
                return 1;
            }
            return 0;
        } else if (arg == "-v") {
            verbose = true;
        } else if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        } else {
            Usage(stderr);
            return 2;
        }
    }

    std::FILE* transcript = nullptr;
    if (!transcriptPath.empty()) {
        transcript = std::fopen(transcriptPath.c_str(), "w");
        if (!transcript) {
            std::fprintf(stderr, "pagora-sim: cannot write %s: %s\n", transcriptPath.c_str(), std::strerror(errno));
            return 1;
        }
    } else if (verbose) {
        transcript = stderr;
    }

    if (device)
        engine.SetDevice(device);

    sim::Pty pty;
    std::string error;
    if (!pty.Open(error)) {
        std::fprintf(stderr, "pagora-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", pty.SlavePath().c_str());
    std::fflush(stdout);

    struct sigaction action{};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const auto start = std::chrono::steady_clock::now();
    engine.SetClock(LocalNow(), 0);
    std::string pending;
    char buffer[4096];

    // The console may change speed at any time (its speed search does);
    // the unit only understands it when the settings agree.
    const auto followHostSettings = [&] {
        if (const std::string settings = pty.SlaveSettings(); !settings.empty())
            engine.SetHostSettings(settings);
    };

    while (!gStop) {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        const std::int64_t tick = elapsed / kTick;

        followHostSettings();

        pending += engine.Transmit(tick);
        // What cannot be written at all is lost, as on a cable with nobody at the other end.
        if (!WriteSome(pty.MasterFd(), pending))
            pending.clear();

        if (transcript) {
            for (const sim::TranscriptEntry& e : engine.Transcript())
                std::fprintf(transcript, "%lld %s %s\n", static_cast<long long>(e.tick), e.fromHost ? ">" : "<",
                             Printable(e.bytes).c_str());
            std::fflush(transcript);
        }
        // The transcript is written as it grows; keeping it would only cost memory.
        engine.ClearTranscript();

        const auto nextTick = start + (tick + 1) * kTick;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextTick - std::chrono::steady_clock::now());
        pollfd fds[2] = {{pty.MasterFd(), static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0},
                         {STDIN_FILENO, POLLIN, 0}};
        pollfd& fd = fds[0];
        const int ready = ::poll(fds, buttonOnStdin ? 2 : 1, static_cast<int>(std::max<std::int64_t>(wait.count(), 0)));
        if (buttonOnStdin && (fds[1].revents & (POLLIN | POLLHUP))) {
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0)
                buttonOnStdin = false; // no terminal any more: nobody can press it
            else if (std::string_view(buffer, static_cast<std::size_t>(n)).find('\n') != std::string_view::npos) {
                device->PressButton();
                std::fputs("pagora-sim: button pressed\n", stderr);
            }
        }
        bool lineTrouble = ready > 0 && (fd.revents & (POLLHUP | POLLERR)) && !(fd.revents & POLLIN);
        if (ready > 0 && (fd.revents & POLLIN)) {
            const ssize_t n = ::read(pty.MasterFd(), buffer, sizeof buffer);
            if (n > 0) {
                // Bytes written right after a change of speed were sent at the new one.
                followHostSettings();
                engine.Receive(std::string_view(buffer, static_cast<std::size_t>(n)),
                               (std::chrono::steady_clock::now() - start) / kTick);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                lineTrouble = true;
            }
        }
        // Cannot happen while our own slave handle is open; should it anyway,
        // wait out the tick rather than spin on the error.
        if (lineTrouble)
            ::poll(nullptr, 0, static_cast<int>(std::max<std::int64_t>(wait.count(), 1)));
    }

    if (transcript && transcript != stderr)
        std::fclose(transcript);
    return 0;
}
