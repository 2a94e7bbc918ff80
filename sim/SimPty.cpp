#include "SimPty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {

namespace {

int BaudFromSpeed(speed_t speed)
{
    switch (speed) {
    case B50: return 50;
    case B75: return 75;
    case B110: return 110;
    case B134: return 134;
    case B150: return 150;
    case B200: return 200;
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B1800: return 1800;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return 0;
    }
}

} // namespace

std::string SettingsFromTermios(const termios& t)
{
    char parity = 'N';
    if (t.c_cflag & PARENB)
        parity = (t.c_cflag & PARODD) ? 'O' : 'E';
    int dataBits = 8;
    switch (t.c_cflag & CSIZE) {
    case CS5: dataBits = 5; break;
    case CS6: dataBits = 6; break;
    case CS7: dataBits = 7; break;
    default: dataBits = 8; break;
    }
    const int stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
    return std::to_string(BaudFromSpeed(cfgetospeed(&t))) + ',' + parity + ',' + std::to_string(dataBits)
        + ',' + std::to_string(stopBits);
}

Pty::~Pty()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool Pty::Open(std::string& error)
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slave_ = OpenOwnSlave(master_, slavePath_);
    if (slave_ < 0) {
        error = std::string("cannot open the pseudo-terminal's slave: ") + std::strerror(errno);
        return false;
    }
    // Raw until the console sets its own mode: no echo, no CR/LF translation,
    // all eight bits through, so the encoder protocol's bytes arrive untouched.
    termios t{};
    if (::tcgetattr(slave_, &t) == 0) {
        ::cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        ::cfsetispeed(&t, B38400);
        ::cfsetospeed(&t, B38400);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    return true;
}

int OpenOwnSlave(int master, std::string& path)
{
    constexpr int kFlags = O_RDWR | O_NOCTTY | O_NONBLOCK;
    const char* name = ::ptsname(master);
    const int slave = ::ioctl(master, TIOCGPTPEER, kFlags);
    if (slave < 0) {
        // A kernel without the peer request: the slave by its name.
        if (!name)
            return -1;
        path = name;
        return ::open(name, kFlags);
    }
    struct stat named {};
    struct stat held {};
    const bool ours = name && ::stat(name, &named) == 0 && ::fstat(slave, &held) == 0
                      && named.st_dev == held.st_dev && named.st_rdev == held.st_rdev;
    path = ours ? std::string(name) : "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(slave);
    return slave;
}

std::string Pty::SlaveSettings() const
{
    termios t{};
    if (slave_ < 0 || ::tcgetattr(slave_, &t) != 0)
        return {};
    return SettingsFromTermios(t);
}

} // namespace sim
