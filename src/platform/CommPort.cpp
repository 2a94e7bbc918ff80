#include "CommPort.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Beyond this much unread input the port stops taking bytes from the device;
// the receiver empties it long before, so only a flood of garbage gets here.
constexpr std::size_t kMaxBufferedInput = 64 * 1024;

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

std::optional<int> parseInt(std::string_view s)
{
    s = trimmed(s);
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

speed_t speedConstant(int baud)
{
    switch (baud) {
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
    }
}

bool deviceGone(int error) { return error == EIO || error == ENXIO || error == ENODEV || error == EBADF; }

} // namespace

std::optional<SerialSettings> ParseSerialSettings(std::string_view text)
{
    std::string_view parts[4];
    std::size_t count = 0;
    while (count < 4) {
        const auto comma = text.find(',');
        parts[count++] = text.substr(0, comma);
        if (comma == std::string_view::npos) {
            text = {};
            break;
        }
        text.remove_prefix(comma + 1);
    }
    if (count != 4 || !text.empty())
        return std::nullopt;

    SerialSettings settings;
    const auto baud = parseInt(parts[0]);
    const auto dataBits = parseInt(parts[2]);
    const auto stopBits = parseInt(parts[3]);
    const std::string_view parity = trimmed(parts[1]);
    if (!baud || speedConstant(*baud) == B0 || !dataBits || (*dataBits != 7 && *dataBits != 8) || !stopBits
        || (*stopBits != 1 && *stopBits != 2) || parity.size() != 1)
        return std::nullopt;
    const char p = parity[0];
    if (p == 'N' || p == 'n')
        settings.parity = 'N';
    else if (p == 'E' || p == 'e')
        settings.parity = 'E';
    else
        return std::nullopt;
    settings.baud = *baud;
    settings.dataBits = *dataBits;
    settings.stopBits = *stopBits;
    return settings;
}

std::string FormatSerialSettings(const SerialSettings& settings)
{
    return std::to_string(settings.baud) + ',' + settings.parity + ',' + std::to_string(settings.dataBits) + ','
        + std::to_string(settings.stopBits);
}

// ---- TermiosBackend ---------------------------------------------------------

TermiosBackend::~TermiosBackend() { Close(); }

CommError TermiosBackend::Open(const std::string& device)
{
    Close();
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EBUSY ? CommError::PortAlreadyOpen : CommError::DeviceUnavailable;
    if (!::isatty(fd)) {
        ::close(fd);
        return CommError::DeviceUnavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? CommError::PortAlreadyOpen : CommError::DeviceUnavailable;
    }
    fd_ = fd;
    return CommError::None;
}

void TermiosBackend::Close()
{
    if (fd_ >= 0) {
        ::close(fd_); // also releases the flock
        fd_ = -1;
    }
}

bool TermiosBackend::Configure(const SerialSettings& settings)
{
    if (fd_ < 0)
        return false;
    termios tio {};
    if (::tcgetattr(fd_, &tio) != 0)
        return false;
    ::cfmakeraw(&tio);
    // The encoder speaks bytes: no parity marking or stripping, no XON/XOFF
    // (17 and 19 are ordinary data here), no hardware handshake, and the
    // modem lines are ignored so a missing DCD never blocks the port.
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | (settings.dataBits == 7 ? CS7 : CS8);
    if (settings.parity == 'E')
        tio.c_cflag |= PARENB;
    if (settings.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = speedConstant(settings.baud);
    if (speed == B0 || ::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0)
        return false;
    return ::tcsetattr(fd_, TCSANOW, &tio) == 0;
}

bool TermiosBackend::Read(std::string& into, std::size_t max)
{
    if (fd_ < 0)
        return false;
    pollfd pfd {fd_, POLLIN, 0};
    if (::poll(&pfd, 1, 0) < 0)
        return errno == EINTR;
    if (pfd.revents & POLLNVAL)
        return false;
    // Take what is still there before noticing a hang-up.
    char buffer[4096];
    while (max > 0) {
        const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, max));
        if (n > 0) {
            into.append(buffer, static_cast<std::size_t>(n));
            max -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && deviceGone(errno))
            return false;
        break; // EAGAIN, or 0: nothing more waiting now, which is not the end of the line
    }
    return (pfd.revents & (POLLHUP | POLLERR)) == 0;
}

long TermiosBackend::Write(std::string_view bytes)
{
    if (fd_ < 0)
        return -1;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return -1;
        break;
    }
    return static_cast<long>(done);
}

void TermiosBackend::DiscardInput()
{
    if (fd_ >= 0)
        ::tcflush(fd_, TCIFLUSH);
}

// ---- CommPort -----------------------------------------------------------------

CommPort::CommPort()
    : CommPort(std::make_unique<TermiosBackend>())
{
}

CommPort::CommPort(std::unique_ptr<SerialBackend> backend)
    : backend_(std::move(backend))
    , resolver_([](int port) { return DefaultDevicePath(port); })
{
}

CommPort::~CommPort()
{
    if (open_)
        backend_->Close();
}

std::string CommPort::DefaultDevicePath(int port, std::string_view configuredPath)
{
    const std::string variable = "PAGORA_COM" + std::to_string(port);
    if (const char* fromEnvironment = std::getenv(variable.c_str()); fromEnvironment && *fromEnvironment)
        return fromEnvironment;
    if (!trimmed(configuredPath).empty())
        return std::string(trimmed(configuredPath));
    return "/dev/ttyS" + std::to_string(port - 1);
}

void CommPort::SetDeviceResolver(DeviceResolver resolver)
{
    resolver_ = resolver ? std::move(resolver) : [](int port) { return DefaultDevicePath(port); };
}

CommError CommPort::SetPortOpen(bool open)
{
    if (!open) {
        deviceLost_ = false;
        if (open_) {
            pump(); // what the line can still take goes out before the close
            backend_->Close();
        }
        open_ = false;
        input_.clear();
        inputTaken_ = 0;
        pendingOutput_.clear();
        return CommError::None;
    }
    if (open_)
        return CommError::None;
    if (port_ < 1)
        return CommError::InvalidPortNumber;
    const auto settings = ParseSerialSettings(settings_);
    if (!settings)
        return CommError::InvalidSettings;
    device_ = resolver_(port_);
    if (const CommError error = backend_->Open(device_); error != CommError::None)
        return error;
    if (!backend_->Configure(*settings)) {
        backend_->Close();
        return CommError::DeviceUnavailable;
    }
    // Bytes that reached the device while nobody had it open (or at another
    // speed) are not replies to anything this program will send.
    backend_->DiscardInput();
    open_ = true;
    deviceLost_ = false;
    input_.clear();
    inputTaken_ = 0;
    pendingOutput_.clear();
    return CommError::None;
}

CommError CommPort::SetCommPort(int port)
{
    if (open_)
        return CommError::PortOpenNow;
    if (port < 1)
        return CommError::InvalidPortNumber;
    port_ = port;
    return CommError::None;
}

CommError CommPort::SetSettings(std::string_view settings)
{
    const auto parsed = ParseSerialSettings(settings);
    if (!parsed)
        return CommError::InvalidSettings;
    settings_ = std::string(settings);
    if (open_ && !backend_->Configure(*parsed))
        return CommError::InvalidSettings;
    return CommError::None;
}

int CommPort::InBufferCount()
{
    pump();
    return static_cast<int>(input_.size() - inputTaken_);
}

void CommPort::SetInBufferCount(int count)
{
    if (count != 0 || !open_)
        return;
    backend_->DiscardInput();
    input_.clear();
    inputTaken_ = 0;
}

std::string CommPort::Input()
{
    if (inputTaken_ == input_.size())
        pump();
    const std::size_t waiting = input_.size() - inputTaken_;
    const std::size_t take = inputLen_ == 0 ? waiting : std::min<std::size_t>(inputLen_, waiting);
    std::string bytes = input_.substr(inputTaken_, take);
    inputTaken_ += take;
    return bytes;
}

void CommPort::Output(std::string_view bytes)
{
    if (!open_)
        return;
    pendingOutput_.append(bytes);
    pump();
}

void CommPort::pump()
{
    if (!open_)
        return;
    if (!pendingOutput_.empty()) {
        const long written = backend_->Write(pendingOutput_);
        if (written < 0) {
            lostDevice();
            return;
        }
        pendingOutput_.erase(0, static_cast<std::size_t>(written));
    }
    // Handed-out bytes leave the buffer only once they are at least half of it:
    // the receiver takes one byte at a time and one line per poll, and moving
    // the rest of a full buffer to the front for each line would make a flood
    // of short lines cost quadratic time.
    if (inputTaken_ > 0 && inputTaken_ >= input_.size() / 2) {
        input_.erase(0, inputTaken_);
        inputTaken_ = 0;
    }
    const std::size_t unread = input_.size() - inputTaken_;
    if (unread < kMaxBufferedInput && !backend_->Read(input_, kMaxBufferedInput - unread))
        lostDevice();
}

void CommPort::lostDevice()
{
    backend_->Close();
    open_ = false;
    deviceLost_ = true;
    input_.clear();
    inputTaken_ = 0;
    pendingOutput_.clear();
}
