#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "CommPort.h"

TEST(SerialSettings, AcceptsWhatTheEncoderUsesAndRejectsWhatThePortCannotBeSetTo)
{
    for (const char* text : {"300,N,8,1", "9600,n,8,2", "38400,N,8,1", "115200,e,8,1"})
        EXPECT_TRUE(ParseSerialSettings(text)) << text;
    const auto s = ParseSerialSettings("1200,e,7,2");
    ASSERT_TRUE(s);
    EXPECT_EQ(std::tie(s->baud, s->parity, s->dataBits, s->stopBits), std::tuple(1200, 'E', 7, 2));
    EXPECT_EQ(FormatSerialSettings(*s), "1200,E,7,2");

    for (const char* text : {"", "   ", "38400", "38400,N,8", "38400,N,8,1,1", "31250,N,8,1", "9600,O,8,1",
                             "9600,N,6,1", "9600,N,8,3", "9600,NN,8,1", "fast,N,8,1", "9600,N,8,1x"})
        EXPECT_FALSE(ParseSerialSettings(text)) << '"' << text << '"';
}

TEST(CommPort, DevicePathComesFromTheEnvironmentThenTheSettingThenTheSystemName)
{
    ::unsetenv("PAGORA_COM3");
    EXPECT_EQ(CommPort::DefaultDevicePath(3), "/dev/ttyS2");
    EXPECT_EQ(CommPort::DefaultDevicePath(3, "/dev/serial/by-id/usb-encoder"), "/dev/serial/by-id/usb-encoder");
    ::setenv("PAGORA_COM3", "/dev/pts/9", 1);
    EXPECT_EQ(CommPort::DefaultDevicePath(3, "/dev/serial/by-id/usb-encoder"), "/dev/pts/9");
    ::unsetenv("PAGORA_COM3");
}

TEST(CommPort, RefusesBadValuesKeepingTheOldOnesAndANonTerminal)
{
    CommPort port;
    EXPECT_EQ(port.SetSettings("38400,N,8,1"), CommError::None);
    EXPECT_EQ(port.SetSettings("38400,X,8,1"), CommError::InvalidSettings);
    EXPECT_EQ(port.Settings(), "38400,N,8,1");
    EXPECT_EQ(port.SetCommPort(0), CommError::InvalidPortNumber);
    EXPECT_EQ(port.SetCommPort(2), CommError::None);
    EXPECT_EQ(port.CommPortNumber(), 2);

    port.SetDeviceResolver([](int) { return std::string("/dev/null"); });
    EXPECT_EQ(port.SetPortOpen(true), CommError::DeviceUnavailable);
    EXPECT_FALSE(port.PortOpen());
}

namespace {
// A line that has a fixed stream of bytes waiting, handed over in reads of at most `chunk`.
class StreamLine : public SerialBackend {
public:
    explicit StreamLine(std::string bytes, std::size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}
    CommError Open(const std::string&) override { return CommError::None; }
    void Close() override {}
    bool Configure(const SerialSettings&) override { return true; }
    bool Read(std::string& into, std::size_t max) override
    {
        const std::size_t take = std::min({max, chunk_, bytes_.size()});
        into.append(bytes_, 0, take);
        bytes_.erase(0, take);
        return true;
    }
    long Write(std::string_view bytes) override { return static_cast<long>(bytes.size()); }
    void DiscardInput() override {}

private:
    std::string bytes_;
    std::size_t chunk_;
};
} // namespace

TEST(CommPort, AFloodReadByteByByteComesOutWholeAndInOrder)
{
    std::string flood;
    for (int i = 0; i < 200'000; ++i)
        flood.push_back(static_cast<char>(i * 31 % 251));
    CommPort port(std::make_unique<StreamLine>(flood, 10'000));
    port.SetInputLen(1);
    ASSERT_EQ(port.SetPortOpen(true), CommError::None);

    std::string read;
    int lastCount = port.InBufferCount();
    EXPECT_EQ(lastCount, 10'000);
    while (read.size() < flood.size()) {
        const std::string byte = port.Input();
        ASSERT_EQ(byte.size(), 1u) << "after " << read.size() << " bytes";
        read += byte;
        if (read.size() % 777 == 0) {
            // Counting pumps the line in the middle of a buffer partly handed out.
            const int count = port.InBufferCount();
            EXPECT_GE(count, lastCount - 777);
            lastCount = count;
        }
    }
    EXPECT_EQ(read, flood);
    EXPECT_EQ(port.InBufferCount(), 0);
    EXPECT_EQ(port.Input(), "");
}
