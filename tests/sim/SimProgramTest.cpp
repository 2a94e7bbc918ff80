// pagora-sim on a real pseudo-terminal, in real time. Every wait is bounded;
// the bounds are only there so a broken simulator fails instead of hanging.

#include <QProcess>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

// Opens the terminal as the console does (raw, eight bits, 9600 baud), writes
// the line and reads until the expected answer has come or ten seconds are up.
std::string Ask(const std::string& path, const std::string& line, const std::string& expected)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return "cannot open " + path;
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    ::cfsetspeed(&t, B9600);
    ::tcsetattr(fd, TCSANOW, &t);
    std::string got;
    if (::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size())) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (got.find(expected) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd, POLLIN, 0};
            char buffer[256];
            if (::poll(&p, 1, 100) > 0 && (p.revents & POLLIN)) {
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                got.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
            }
        }
    }
    ::close(fd);
    return got;
}

} // namespace

TEST(SimProgram, AnswersAProbeAtTheSpeedTheHostSetAndAfterAReopen)
{
    QProcess sim; // killed by its destructor should the test stop early
    sim.start(PAGORA_SIM_PROGRAM, {"--settings", "9600,N,8,1"});
    ASSERT_TRUE(sim.waitForStarted(10000));
    for (int wait = 0; wait < 100 && !sim.canReadLine(); ++wait)
        sim.waitForReadyRead(100);
    const std::string path = sim.readLine().trimmed().toStdString(); // the terminal to open
    ASSERT_TRUE(path.starts_with("/dev/")) << path;

    EXPECT_EQ(Ask(path, "\r", "?99\r"), "?99\r");
    // The console closes and reopens its port (the speed search does); the
    // simulator's own handle keeps the terminal alive in between.
    EXPECT_EQ(Ask(path, "?000M\r", "*\r"), "12345X0001*\r");
    sim.terminate();
    if (!sim.waitForFinished(3000))
        sim.kill();
}

TEST(SimProgram, HelpNamesTheModelsAndDevicesItPlays)
{
    QProcess sim;
    sim.start(PAGORA_SIM_PROGRAM, {"--help"});
    ASSERT_TRUE(sim.waitForFinished(10000)) << "pagora-sim --help did not end";
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    const QString help = sim.readAllStandardOutput();
    EXPECT_TRUE(help.contains("models: A B E F G H I J K L M N O P Q R S T U W X Y")) << help.toStdString();
    EXPECT_TRUE(help.contains("devices: paddle clock alerts pendant pendant-legacy timereceiver speaker"))
        << help.toStdString();
}
