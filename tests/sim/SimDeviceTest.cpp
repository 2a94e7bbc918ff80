#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "SimDevices.h"
#include "SimTestLine.h"

using namespace std::string_literals;


TEST(SimDevice, TheClockAnswersQueriesKeepsWritesAndRefusesWhatItDoesNotKnow)
{
    DeviceLine line(std::make_shared<sim::ClockDevice>());
    struct Case {
        const char* sent;
        const char* answer;
    };
    const Case cases[] = {
        {"\r", "?99\r"},
        {"PF4678125\r", "*\r"},
        {"?F\r", "4678125*\r"},
        {"PF467812\r", "?99\r"},  // six digits are no frequency
        {"?D?\r", "5*\r"},       // the table form
        {"PM2\r", "?99\r"},      // an analog clock has no digital modes
        {"PM1\r", "*\r"},
        {"?M?\r", "1*\r"},
        {"PVM9\r", "?99\r"},     // the model cannot be written
        {"HELLO\r", "?99\r"},
        {"?XR\r", "*\r"},
        {"?F\r", "4678000*\r"},
        {"?M?\r", "0*\r"},
        {"XT\r", "*\r"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(line.Send(c.sent), c.answer) << c.sent;
    EXPECT_EQ(line.device->ResetCount(), 1);
}

TEST(SimDevice, TheClockFirmwareDecidesWhichSettingsItServes)
{
    struct Case {
        const char* model;
        const char* version;
        const char* deviation;
        const char* modeRead;
        const char* modeWrite;
    };
    const Case cases[] = {
        {"RL-CLK", "2.14", "?99\r", "?99\r", "?99\r"},
        {"RL-CLK", "2.17", "5*\r", "?99\r", "?99\r"},
        {"RL9xxx", "2.18", "5*\r", "0*\r", "?99\r"},
        {"ZAR_UZE", "1.00", "?99\r", "0*\r", "*\r"},
        {"XYZ", "3.0", "5*\r", "?99\r", "?99\r"},
    };
    for (const Case& c : cases) {
        DeviceLine line(std::make_shared<sim::ClockDevice>(c.model, c.version));
        EXPECT_EQ(line.Send("?D?\r"), c.deviation) << c.model << c.version;
        EXPECT_EQ(line.Send("?M?\r"), c.modeRead) << c.model << c.version;
        EXPECT_EQ(line.Send("PM3\r"), c.modeWrite) << c.model << c.version;
    }
}

TEST(SimDevice, ThePaddleKeepsItsCapcodesAndListensOnlyInProgrammingMode)
{
    DeviceLine line(sim::MakeDevice("paddle"));
    line.device->SetAutomaticButton(false);
    EXPECT_EQ(line.Send("\r"), "");
    line.device->PressButton();
    EXPECT_EQ(line.SendEach({"\r", "?V\r", "PC20012345\r", "?C2\r", "?C1\r", "PC50012345\r", "PM4\r", "PM3\r", "?M\r"}),
              "?99\rPDL-1 Ver.2.10 (Mar 2026)*\r*\r0012345*\r0000000*\r?99\r?99\r*\r3*\r");
    EXPECT_EQ(line.Send("XT\r"), "*\r");
    EXPECT_FALSE(line.device->ProgrammingMode());
    EXPECT_EQ(line.Send("?C2\r"), "");
    EXPECT_EQ(line.device->Writes(), (std::vector<std::string>{"C20012345", "M3"}));

    // As the console's operator presses it when asked: the probe finds it listening.
    line.device->SetAutomaticButton(true);
    EXPECT_EQ(line.SendEach({"\r", "?C2\r"}), "?99\r0012345*\r");
}

TEST(SimDevice, FaultsAndTheTranscriptApplyToADeviceAsToTheEncoder)
{
    DeviceLine line(sim::MakeDevice("clock"));
    line.unit.AddFault({.kind = sim::FaultKind::Silence, .pattern = "?F"});
    line.unit.AddFault({.kind = sim::FaultKind::Garbage, .pattern = "?S", .bytes = "\x01", .position = 0});
    EXPECT_EQ(line.SendEach({"?F\r", "?F\r", "?S\r"}), "4678000*\r\x01" "00000001*\r");
    ASSERT_EQ(line.unit.Transcript().size(), 5u);
    EXPECT_EQ(line.unit.Transcript()[0].bytes, "?F\r");
    EXPECT_TRUE(line.unit.Transcript()[0].fromHost);
    EXPECT_EQ(line.unit.Transcript()[2].bytes, "4678000*\r");

    line.unit.SetDevice(nullptr);
    EXPECT_EQ(line.Send("?000M\r"), "12345X0001*\r");
    EXPECT_EQ(sim::MakeDevice("toaster"), nullptr);
}
