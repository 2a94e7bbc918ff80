#include <gtest/gtest.h>

#include <memory>

#include "SimSpeaker.h"
#include "SimTestLine.h"

namespace {

struct SpeakerLine : SimLine {
    explicit SpeakerLine(std::shared_ptr<sim::SpeakerDevice> d)
        : speaker(std::move(d))
    {
        unit.SetDevice(speaker);
    }
    std::shared_ptr<sim::SpeakerDevice> speaker;
};

struct Exchange {
    const char* sent;
    const char* answer;
};

void expectExchanges(SpeakerLine& line, std::initializer_list<Exchange> exchanges)
{
    for (const Exchange& e : exchanges)
        EXPECT_EQ(line.Send(e.sent), e.answer) << e.sent;
}

} // namespace

TEST(SimSpeaker, FirmwareVersionDecidesTheCommandSet)
{
    SpeakerLine v310(std::make_shared<sim::SpeakerDevice>("3.10"));
    expectExchanges(v310, {{"?000M\r", "12345S0001*\r"}, {"?V\r", "3.10*\r"}, {"?S\r", "00000001*\r"},
                           {"?F\r", "?99\r"},           {"PO0021\r", "?99\r"}, {"PO21\r", "*\r"},
                           {"?O\r", "21*\r"},           {"?FX?\r", "5*\r"},    {"?AN?\r", "50042*\r"},
                           {"PCM0005\r", "*\r"},        {"?CM\r", "0005*\r"}});

    SpeakerLine v300(std::make_shared<sim::SpeakerDevice>("3.00"));
    expectExchanges(v300, {{"?FR1\r", "4575000*\r"}, {"?FS1\r", "?99\r"}, {"?FX?\r", "?99\r"}});

    // A legacy unit without a supervision capcode has six slots.
    SpeakerLine legacy(std::make_shared<sim::SpeakerDevice>("Ver. 3.20 (2009)", false));
    expectExchanges(legacy, {{"?V\r", "Ver. 3.20 (2009)*\r"}, {"?S\r", "0000001*\r"}, {"?FR1\r", "?99\r"},
                             {"?F\r", "4575000*\r"}, {"PB0\r", "*\r"}, {"?C9\r", "?99\r"}, {"PC70000700\r", "?99\r"},
                             {"PV32\r", "*\r"}, {"?OV\r", "002000*\r"}, {"PS00000099\r", "?99\r"}});
}

TEST(SimSpeaker, ClockTestsAndTonesFollowTheirCommands)
{
    SpeakerLine line(std::make_shared<sim::SpeakerDevice>("3.14"));
    expectExchanges(line, {{"PT140509\r", "*\r"}, {"PD0303263\r", "*\r"}, {"?D\r", "0303263*\r"}, {"?T\r", "140509*\r"},
                           {"PD1332263\r", "?99\r"}, {"TT51W\r", "*\r"}});
    EXPECT_EQ(line.speaker->Transmitting(), 1);
    expectExchanges(line, {{"TT01W\r", "*\r"}, {"GT81211\r", "*\r"}, {"GM111211\r", "*\r"}, {"GM81211\r", "?99\r"}});
    EXPECT_EQ(line.speaker->Transmitting(), 0);
    EXPECT_EQ(line.speaker->Tones(), (std::vector<int>{8, 11}));

    line.speaker->SetTakesSeconds(false);
    expectExchanges(line, {{"PT140509\r", "?99\r"}, {"PT1405\r", "*\r"}, {"?T\r", "1405*\r"}});
}
