// pagora-sim on a real pseudo-terminal, in real time. Every wait is bounded;
// the bounds are only there so a broken simulator fails instead of hanging.

#include <QProcess>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(10);

// Opens the terminal as the console does: raw, eight bits, the given speed.
int OpenPort(const std::string& path, speed_t speed)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return fd;
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    ::tcsetattr(fd, TCSANOW, &t);
    return fd;
}

// Reads until the text has arrived or the patience is used up.
std::string ReadUntil(int fd, const std::string& expected)
{
    std::string got;
    const auto deadline = Clock::now() + kPatience;
    while (got.find(expected) == std::string::npos && Clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) < 0 && errno != EINTR)
            break;
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, static_cast<std::size_t>(n));
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
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

    int port = OpenPort(path, B9600);
    ASSERT_GE(port, 0);
    ASSERT_EQ(::write(port, "\r", 1), 1);
    EXPECT_EQ(ReadUntil(port, "?99\r"), "?99\r");

    // The console closes and reopens its port (the speed search does); the
    // simulator's own handle keeps the terminal alive in between.
    ::close(port);
    port = OpenPort(path, B9600);
    ASSERT_GE(port, 0);
    ASSERT_EQ(::write(port, "?000M\r", 6), 6);
    EXPECT_EQ(ReadUntil(port, "*\r"), "12345X0001*\r");
    ::close(port);
    sim.terminate();
    if (!sim.waitForFinished(3000))
        sim.kill();
}
