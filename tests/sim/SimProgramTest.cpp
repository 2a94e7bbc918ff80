// pagora-sim on a real pseudo-terminal, in real time. Every wait is bounded;
// the bounds are only there so a broken simulator fails instead of hanging.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(10);

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The simulator as a child process, ended when the test ends whatever happened.
class SimProcess {
public:
    explicit SimProcess(std::initializer_list<const char*> args)
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv{const_cast<char*>("pagora-sim")};
            for (const char* a : args)
                argv.push_back(const_cast<char*>(a));
            argv.push_back(nullptr);
            ::execv(PAGORA_SIM_PROGRAM, argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
    }
    ~SimProcess()
    {
        if (stdout_ >= 0)
            ::close(stdout_);
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        const auto deadline = Clock::now() + kPatience;
        while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, nullptr, 0);
                break;
            }
            ::poll(nullptr, 0, 10);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first line the simulator prints: the terminal to open.
    std::string FirstLine()
    {
        std::string line;
        const auto deadline = Clock::now() + kPatience;
        while (stdout_ >= 0 && !line.ends_with('\n')) {
            pollfd fd{stdout_, POLLIN, 0};
            if (::poll(&fd, 1, MillisecondsLeft(deadline)) <= 0)
                return {};
            char c;
            if (::read(stdout_, &c, 1) != 1)
                return {};
            line += c;
        }
        if (!line.empty())
            line.pop_back();
        return line;
    }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
};

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
    while (got.find(expected) == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, MillisecondsLeft(deadline)) <= 0)
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
    SimProcess sim({"--settings", "9600,N,8,1"});
    const std::string path = sim.FirstLine();
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
}
