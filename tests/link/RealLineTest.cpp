// The port on a real pseudo-terminal: the test plays the unit on the master
// side, the program opens the slave as port 1. Every wait is bounded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "CommPort.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "LinkTestSupport.h"
#include "TestSupport.h"

namespace {

class RealLine : public testing::Test {
protected:
    void SetUp() override
    {
        // A box nobody expected fails the test instead of waiting for an answer.
        ASSERT_TRUE(pty.ok());
        gComm = &port;
        InstallRealLinePump();
        ASSERT_TRUE(OpenSerialPort(port, 1, "38400,N,8,1"));
        ASSERT_EQ(port.DevicePath(), pty.slavePath());
    }
    void TearDown() override
    {
        SetYieldHook({});
        ResetLinkReceiver();
        gComm = nullptr;
    }
    static bool pumpUntil(const std::function<bool()>& done, int maxTicks = 2000)
    {
        for (int i = 0; i < maxTicks && !done(); ++i)
            WaitForEvents();
        return done();
    }

    ScriptedMessages boxes;
    PseudoTerminal pty;
    CommPort port;
};

} // namespace

TEST_F(RealLine, PortHeldElsewhereIsReportedOnceAsAlreadyOpenAndAMissingDeviceFailsSilently)
{
    boxes.Answer(kAnswerOk);
    CommPort second;
    EXPECT_FALSE(OpenSerialPort(second, 1, "38400,N,8,1"));
    EXPECT_FALSE(second.PortOpen());
    ASSERT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(boxes.texts()[0],
              "COM Port 1 is already open. Make sure that no other applicatios are using this COM Port. ");
    EXPECT_EQ(boxes.shown()[0].icon, kIconCritical);
    // Once the first holder lets go, the port can be taken.
    port.SetPortOpen(false);
    EXPECT_TRUE(OpenSerialPort(second, 1, "38400,N,8,1"));

    CommPort other;
    ::setenv("PAGORA_COM7", "/nonexistent/serial", 1);
    EXPECT_FALSE(OpenSerialPort(other, 7, "9600,N,8,1"));
    ::unsetenv("PAGORA_COM7");
    EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST_F(RealLine, DeviceVanishingMidLineClosesThePortWithoutHanging)
{
    pty.Send("12");
    ASSERT_TRUE(pumpUntil([] { return !gReceiverIdle; }));
    pty.CloseMaster();
    ASSERT_TRUE(pumpUntil([&] { return !port.PortOpen(); }, 200));
    EXPECT_TRUE(gReceiverIdle);
    EXPECT_EQ(gReplyBuffer, "");
    std::string reply;
    EXPECT_FALSE(IsLinkResponding());
    EXPECT_FALSE(SendLinkCommand("P001", "x", true, 2, reply, true, 1));
}

TEST_F(RealLine, EveryByteValuePassesBothWaysAtTheAlertUploadSpeedAndTheSpeedFollowsTheSettings)
{
    // What the program set on the line, as the far end sees it.
    const auto line = [&] {
        termios tio {};
        const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
        EXPECT_GE(fd, 0);
        ::tcgetattr(fd, &tio);
        ::close(fd);
        return tio;
    };
    ASSERT_TRUE(OpenSerialPort(port, 1, "115200,N,8,1"));
    termios tio = line();
    EXPECT_EQ(::cfgetospeed(&tio), B115200);
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(255 - i);
    port.Output(bytes);
    std::string received;
    for (int i = 0; i < 50 && received.size() < bytes.size(); ++i)
        received += pty.Receive(200);
    EXPECT_EQ(received, bytes);
    for (const bool discard : {false, true}) {
        pty.Send(bytes);
        port.SetInputLen(0);
        ASSERT_TRUE(pumpUntil([&] { return port.InBufferCount() == 256; }));
        if (discard)
            port.SetInBufferCount(0);
        EXPECT_EQ(port.Input(), discard ? "" : bytes);
        EXPECT_EQ(port.Input(), ""); // nothing waiting is not the end of the line
        EXPECT_TRUE(port.PortOpen());
    }

    ASSERT_TRUE(OpenSerialPort(port, 1, "38400,N,8,1"));
    tio = line();
    EXPECT_EQ(::cfgetospeed(&tio), B38400);
    // A change of settings reaches the open port. A pseudo-terminal always reads
    // back 8 data bits without parity, so only the speed and the raw flags show.
    EXPECT_EQ(port.SetSettings("1200,E,7,1"), CommError::None);
    tio = line();
    EXPECT_EQ(::cfgetospeed(&tio), B1200);
    EXPECT_TRUE(tio.c_cflag & CLOCAL);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP));
    EXPECT_FALSE(tio.c_oflag & OPOST);
}
