#pragma once
// The one serial port of the program, with exactly the controls the link
// uses: open/close, port number, settings string, input length, receive
// threshold, input count (write 0 to flush), input and output.
//
// Bytes pass unchanged in both directions (raw 8-bit, no flow control, no
// CR/LF translation). Reading never blocks. A device that disappears (a USB
// adapter pulled, the other end of a pseudo-terminal gone) closes the port;
// the link sees PortOpen() false and carries on.
//
// The line itself is reached through a SerialBackend: termios on a device by
// default, a simulated unit in tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct SerialSettings {
    int baud = 9600;
    char parity = 'N'; // 'N' or 'E'
    int dataBits = 8;  // 7 or 8
    int stopBits = 1;  // 1 or 2
};

// "38400,N,8,1" and its kind; nullopt for anything the port cannot be set to.
std::optional<SerialSettings> ParseSerialSettings(std::string_view text);
std::string FormatSerialSettings(const SerialSettings& settings);

enum class CommError {
    None,
    InvalidPortNumber,  // port numbers start at 1
    PortAlreadyOpen,    // another program (or another CommPort) holds the device
    DeviceUnavailable,  // no such device, no permission, not a serial line
    InvalidSettings,    // the settings string cannot be applied
    PortOpenNow,        // the port number cannot change while the port is open
};

class SerialBackend {
public:
    virtual ~SerialBackend() = default;
    virtual CommError Open(const std::string& device) = 0;
    virtual void Close() = 0;
    virtual bool Configure(const SerialSettings& settings) = 0;
    // Appends what has arrived, up to max bytes; false when the device has gone.
    virtual bool Read(std::string& into, std::size_t max) = 0;
    // How many bytes the line accepted now (possibly fewer than given); -1 when the device has gone.
    virtual long Write(std::string_view bytes) = 0;
    virtual void DiscardInput() = 0;
};

// The real thing: a termios device opened non-blocking and held with flock,
// because TIOCEXCL does not keep out a second program running as root.
class TermiosBackend : public SerialBackend {
public:
    ~TermiosBackend() override;
    CommError Open(const std::string& device) override;
    void Close() override;
    bool Configure(const SerialSettings& settings) override;
    bool Read(std::string& into, std::size_t max) override;
    long Write(std::string_view bytes) override;
    void DiscardInput() override;

private:
    int fd_ = -1;
};

class CommPort {
public:
    // Maps a port number to the device to open.
    using DeviceResolver = std::function<std::string(int port)>;

    CommPort();
    explicit CommPort(std::unique_ptr<SerialBackend> backend);
    ~CommPort();
    CommPort(const CommPort&) = delete;
    CommPort& operator=(const CommPort&) = delete;

    // Port n is the device named by $PAGORA_COM<n> when set, else the configured
    // path (empty for none), else /dev/ttyS<n-1>.
    static std::string DefaultDevicePath(int port, std::string_view configuredPath = {});
    void SetDeviceResolver(DeviceResolver resolver);

    bool PortOpen() const { return open_; }
    // True once the device went away under the open port, until the port is
    // opened again or closed on purpose.
    bool DeviceLost() const { return deviceLost_; }
    CommError SetPortOpen(bool open);

    // The port number (CommPort of the serial control; a member cannot share the class name).
    int CommPortNumber() const { return port_; }
    CommError SetCommPort(int port);

    const std::string& Settings() const { return settings_; }
    // Applied at once when the port is open.
    CommError SetSettings(std::string_view settings);

    int InputLen() const { return inputLen_; }
    void SetInputLen(int length) { inputLen_ = length < 0 ? 0 : length; }

    // Kept for the link's set-up; reception is polled, there is no receive event.
    int RThreshold() const { return rThreshold_; }
    void SetRThreshold(int threshold) { rThreshold_ = threshold; }

    // Bytes waiting to be read.
    int InBufferCount();
    // Only 0 is meaningful: it throws away everything waiting.
    void SetInBufferCount(int count);

    // Waiting bytes, at most InputLen of them when InputLen is not 0; "" when none.
    std::string Input();
    // Queues the bytes for the line; what the line cannot take now goes out on later calls.
    void Output(std::string_view bytes);

    const std::string& DevicePath() const { return device_; }
    SerialBackend& Backend() { return *backend_; }

private:
    void pump();
    void lostDevice();

    std::unique_ptr<SerialBackend> backend_;
    DeviceResolver resolver_;
    bool open_ = false;
    bool deviceLost_ = false;
    int port_ = 1;
    std::string settings_ = "9600,N,8,1";
    int inputLen_ = 0;
    int rThreshold_ = 0;
    std::string device_;
    std::string input_;
    std::size_t inputTaken_ = 0; // bytes at the front of input_ already handed out by Input()
    std::string pendingOutput_;
};
