// The simulated pendants and time receiver on the line.
#include <gtest/gtest.h>

#include <memory>

#include "SimDevices.h"
#include "SimTestLine.h"

TEST(SimPendant, EachGenerationAnswersInItsOwnCommandSet)
{
    const struct {
        const char* model;
        const char* version;
        bool legacy;
        const char* answers; // to "?VM", "?S", "?SM", "?F", "?C4", "PC40000099", "SM3", "PM1..."
    } cases[] = {
        {"PDX-03", "2.10", false, "PDX-03*\r0*\r0*\r4678000*\r0000000*\r*\r*\r*\r"},
        {"PDX-01", "2.20", false, "PDX-01*\r0*\r0*\r4678000*\r?99\r?99\r*\r*\r"},
        {"PDX-01", "Ver. 2.00 (2011)", true, "ZORMUL-1*\r?99\r0*\r467800*\r?99\r?99\r*\r*\r"},
        {"PDX-03", "Ver. 1.90 (2009)", true, "ZORPDX-3*\r?99\r0*\r?99\r0000000*\r*\r*\r*\r"},
    };
    for (const auto& c : cases) {
        DeviceLine line(std::make_shared<sim::PendantDevice>(c.model, c.version, c.legacy));
        EXPECT_EQ(line.SendEach({"\r", "?VM\r", "?S\r", "?SM\r", "?F\r", "?C4\r", "PC40000099\r", "SM3\r",
                                 "PM1Ward 3 & 4\r"}),
                  std::string("?99\r") + c.answers)
            << c.model << " " << c.version;
        EXPECT_EQ(line.device->Value("S"), "3");
        EXPECT_EQ(line.device->Value("M1"), "Ward 3 & 4");
    }
}

TEST(SimTimeReceiver, IdentifiesAsLetterQAndKeepsARunningClock)
{
    DeviceLine line(sim::MakeDevice("timereceiver"));
    auto& receiver = static_cast<sim::TimeReceiverDevice&>(*line.device);
    EXPECT_EQ(line.Send("?000M\r"), "00001Q0000*\r");
    EXPECT_EQ(line.Send("?TG\r"), "TG0*\r");
    EXPECT_EQ(line.Send("T130509122414UW\r"), "*\r");
    line.Run(40); // two seconds
    EXPECT_EQ(line.Send("?T\r"), "130511*\r");
    EXPECT_EQ(line.Send("?D\r"), "1224144*\r"); // a Wednesday
    EXPECT_EQ(line.Send("T136009122414UW\r"), "?99\r");
    EXPECT_EQ(line.Send("PD1227147\r"), "*\r");
    EXPECT_EQ(line.Send("PT2359\r"), "*\r");
    EXPECT_EQ(receiver.DateAt(line.tick), "1227147"); // a Saturday
    EXPECT_EQ(receiver.TimeAt(line.tick), "235900");
    // The time slot and the day-light saving keep their own one-digit writes.
    EXPECT_EQ(line.SendEach({"PPT2\r", "PPD1\r", "PSS300\r", "PSS299\r"}), "*\r*\r?99\r*\r");
    EXPECT_EQ(line.device->Value("PT"), "2");

    EXPECT_EQ(line.Send("TT1?\r"), "1-1200*\r");
    EXPECT_TRUE(receiver.TRXTestRunning());
    EXPECT_EQ(line.Send("?\r"), "?99\r");
    EXPECT_FALSE(receiver.TRXTestRunning());
}
