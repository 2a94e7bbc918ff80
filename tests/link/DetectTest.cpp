// Encoder detection against the simulated encoder, checked by what went on the
// wire and what the program now believes about the unit.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Modem.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"

namespace {

struct SimLink {
    explicit SimLink(char letter = 'X')
    {
        engine.SetModel(letter);
        auto owned = std::make_unique<SimBackend>(engine);
        backend = owned.get();
        link = std::make_unique<LinkHarness>(std::move(owned));
        engine.ClearTranscript();
    }
    std::vector<std::string> hostLines() const
    {
        std::vector<std::string> lines;
        for (const auto& entry : engine.Transcript())
            if (entry.fromHost)
                lines.push_back(entry.bytes);
        return lines;
    }
    sim::Engine engine;
    SimBackend* backend = nullptr;
    std::unique_ptr<LinkHarness> link;
};

using Lines = std::vector<std::string>;

// The table sizes in the order alarm, PABX, fast key, free text, wireless.
std::vector<int> tableSizes()
{
    return {gAlarmMessageCount, gPABXMessageCount, gFastkeyMessageCount, gFreetextMessageCount, gWirelessMessageCount};
}

// Makes the unit answer the command with fixed bytes.
void answer(sim::Engine& engine, const char* command, std::string bytes)
{
    engine.AddCommand(command, [bytes](sim::Engine&, const std::smatch&, std::int64_t) {
        return sim::Engine::Reply{bytes};
    });
}

} // namespace

TEST(DetectEncoder, QX9860ReadsVersionEveryTableAndToneCapabilities)
{
    SimLink sim('X');
    std::string caption;
    SetConnectionStatusSink([&](const std::string& text) { caption = text; });
    DetectEncoder();
    SetConnectionStatusSink({});

    EXPECT_EQ(sim.hostLines(), (Lines {"\r", "?000M\r", "?V\r", "Z000?\r", "C00?\r", "K00?\r", "F00?\r", "W000?\r",
                                       "?TG\r", "?TC\r"}));
    EXPECT_TRUE(gEncoderIdentified);
    // X keeps the serial in its order.
    EXPECT_EQ(gEncoderModelLetter + "/" + gEncoderModelName + "/" + gEncoderFamily + "/" + gEncoderSerialNumber,
              "X/QX9860/Not Defined/12345");
    EXPECT_DOUBLE_EQ(gEncoderVersion, 2.10);
    EXPECT_EQ(tableSizes(), (std::vector<int>{24, 16, 12, 49, 200}));
    EXPECT_TRUE(gEncoderSupportsAlarm && gEncoderSupportsPABX && gEncoderSupportsFastkey && gEncoderSupportsFreetext
                && gEncoderSupportsWireless && gToneGenSupported && gToneCalendarSupported);
    EXPECT_EQ(gToneCalendarEventsPerDay, 48);
    EXPECT_EQ(caption, "Connected to QX9860");
}

TEST(DetectEncoder, EachFamilyIsAskedOnlyWhatItHolds)
{
    struct Case {
        char letter;
        Lines asked;
        std::string model, family, serial;
    };
    const Case cases[] = {
        // Only some units send their serial in its order; the rest send it reversed.
        {'E', {"\r", "?000M\r", "Z000?\r", "C00?\r"}, "QX7015", "QX7XXX", "54321"},
        {'A', {"\r", "?000M\r", "Z000?\r", "C00?\r", "K00?\r", "F00?\r", "?T\r"}, "QX8140", "QX8XXX", "54321"},
        {'I', {"\r", "?000M\r", "C00?\r"}, "QX6860", "QX7XXX", "54321"},
        {'S', {"\r", "?000M\r"}, "PA Speaker", "HPA-XXX", "12345"},
        // K holds no tables: each size read is refused, and an identified unit's
        // refusal is retried like silence before the table counts as absent.
        {'K', {"\r", "?000M\r", "Z000?\r", "Z000?\r", "Z000?\r", "Z000?\r", "Z000?\r", "Z000?\r", "C00?\r", "C00?\r",
               "C00?\r"}, "Tone Generator", "HTG-XXX", "54321"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.letter);
        SimLink sim(c.letter);
        DetectEncoder();
        EXPECT_EQ(sim.hostLines(), c.asked);
        EXPECT_EQ(gEncoderModelName + "/" + gEncoderFamily + "/" + gEncoderSerialNumber,
                  c.model + "/" + c.family + "/" + c.serial);
        EXPECT_EQ(gToneGenSupported, c.letter != 'I' && c.letter != 'E');
        EXPECT_FALSE(gEncoderSupportsWireless);
        EXPECT_DOUBLE_EQ(gEncoderVersion, 0);
        if (c.letter == 'I') { // a fixed alarm table at its own offset
            EXPECT_EQ(gAlarmIndexOffset, 4);
            EXPECT_EQ(gAlarmMessageCount, 96);
            EXPECT_TRUE(gEncoderOptionFlag);
        }
    }
}

TEST(DetectEncoder, LegacyUnitsAreToldApartByTheirAnswerToABarePage)
{
    {
        SimLink sim;
        sim.engine.SetLegacyModel(sim::Legacy::QX7);
        gEncoderModelLetter = "X"; // left by a unit detected earlier
        gEncoderVersion = 2.5;
        DetectEncoder();
        EXPECT_EQ(sim.hostLines(), (Lines {"\r", "?000M\r", "P\r"}));
        EXPECT_FALSE(gEncoderIdentified);
        EXPECT_DOUBLE_EQ(gEncoderVersion, 0);
        EXPECT_EQ(gEncoderModelLetter + "/" + gEncoderFamily + "/" + gEncoderSerialNumber, "/QX7XXX/00000");
        EXPECT_EQ(std::to_string(gAlarmMessageCount) + "/" + std::to_string(gPABXMessageCount), "7/99");
        EXPECT_TRUE(gEncoderSupportsAlarm && gEncoderSupportsPABX);
        EXPECT_EQ(ConnectionStatusCaption(), "Connected to QX7XXX");
    }
    {
        SimLink sim;
        sim.engine.SetLegacyModel(sim::Legacy::QX8);
        DetectEncoder();
        // The refusal ends the retries after the first one, since the unit is not identified.
        EXPECT_EQ(sim.hostLines(), (Lines {"\r", "?000M\r", "P\r", "\r", "P\r"}));
        EXPECT_EQ(gEncoderFamily, "QX8XXX");
        EXPECT_FALSE(gEncoderSupportsAlarm || gEncoderSupportsPABX);
    }
    {
        // Silent at the bare page, even to a poke: neither "*" nor "?99".
        SimLink sim;
        sim.engine.SetLegacyModel(sim::Legacy::QX8);
        sim.engine.AddCommand("P", [](sim::Engine& e, const std::smatch&, std::int64_t) {
            e.AddFault({.kind = sim::FaultKind::Silence, .pattern = ".*", .match = sim::MatchMode::Regex, .times = 0});
            return sim::Engine::Reply{};
        });
        DetectEncoder();
        EXPECT_EQ(gEncoderModelName + "/" + gEncoderFamily, "Not Connected / Unknown/QX8XXX");
    }
}

TEST(DetectEncoder, GarbledAnswersMeanTheTableOrIdentityIsAbsentSaveModelBsWirelessTable)
{
    SimLink sim('X');
    answer(sim.engine, R"(C00\?)", "2X*\r");
    answer(sim.engine, R"(\?TC)", "00*\r");
    answer(sim.engine, R"(\?V)", std::string("\0\0" "3.25*\r", 8));
    DetectEncoder();
    EXPECT_FALSE(gEncoderSupportsPABX);
    EXPECT_EQ(gPABXMessageCount, 20);
    EXPECT_FALSE(gToneCalendarSupported);
    EXPECT_EQ(gToneCalendarEventsPerDay, 0);
    EXPECT_DOUBLE_EQ(gEncoderVersion, 3.25); // NULs before the number are ignored
    EXPECT_EQ(gEncoderVersionText, "3.25*\r");

    SimLink b('B');
    b.engine.EditProfile().wireless.size.reset();
    DetectEncoder();
    EXPECT_TRUE(gEncoderSupportsWireless);
    EXPECT_EQ(gWirelessMessageCount, 0);

    // An identity that is not twelve bytes is not trusted: the unit is taken for a legacy one.
    SimLink shortId('X');
    answer(shortId.engine, R"(\?000M)", "12345X1*\r");
    DetectEncoder();
    EXPECT_FALSE(gEncoderIdentified);
    EXPECT_EQ(gEncoderModelLetter, "");
    EXPECT_EQ(shortId.hostLines().back(), "P\r");
}

TEST(DetectEncoder, SpeedSearchSavesTheSpeedThatAnswersOrRestoresThePortAndWritesNothing)
{
    const struct {
        std::string unit, settings, saved;
        int opens; // the probe before the search, a fresh port per speed tried, and a reopen when all fail
        bool identified;
    } cases[] = {{"4800,N,8,1", "38400,N,8,1", "", 1 + 3 + 1, false}, {"9600,N,8,1", "9600,N,8,1", "9600,N,8,1", 1 + 2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unit);
        SimLink sim('X');
        sim.engine.SetUnitSettings(c.unit);
        gEncoderModelLetter = "X"; // left by a unit detected earlier
        DetectEncoder();
        EXPECT_EQ(sim.backend->opens, c.opens);
        EXPECT_EQ(sim.engine.HostSettings(), c.settings);
        EXPECT_EQ(gComSettings + "|" + GetConfigSetting("COMPortSettings"), c.settings + "|" + c.saved);
        EXPECT_EQ(gEncoderIdentified, c.identified);
        if (c.identified)
            continue;
        EXPECT_EQ(gEncoderModelLetter + "/" + gEncoderModelName + "/" + gEncoderSerialNumber, "N/A/encoder/00000");
        EXPECT_EQ(ConnectionStatusCaption(), "Not Connected");
        EXPECT_EQ(tableSizes(), (std::vector<int>{24, 20, 10, 49, 200}));
        EXPECT_FALSE(gEncoderSupportsAlarm || gEncoderSupportsPABX || gEncoderSupportsWireless);
    }
}

TEST(ModemLink, DetectionWaitsForACallAndNeverDropsItByAReopen)
{
    SimLink sim('X');
    sim.engine.EnableModem();
    sim.engine.SetDialResult(sim::ModemResult::Connect9600);
    gConnectionType = 2;
    DetectEncoder();
    EXPECT_EQ(sim.backend->opens, 1);
    EXPECT_TRUE(sim.hostLines().empty());
    EXPECT_EQ(gEncoderModelLetter, "N/A");

    ASSERT_TRUE(DialModem("5551234"));
    DetectEncoder();
    EXPECT_EQ(gEncoderModelName, "QX9860");
    EXPECT_EQ(sim.backend->opens, 1);
    HangUpModem();
    EXPECT_FALSE(sim.engine.CallUp());
    EXPECT_EQ(sim.engine.GetModemState(), sim::ModemState::Command);
}

TEST(OpenSerialPort, BlankSettingsOpenThePortAt9600N81)
{
    SimLink sim('X');
    ASSERT_TRUE(OpenSerialPort(sim.link->port(), 1, "  "));
    EXPECT_EQ(sim.link->port().Settings(), "9600,N,8,1");
    EXPECT_EQ(sim.engine.HostSettings(), "9600,N,8,1");
}

TEST(DetectEncoder, AUnitOfLetterYReadsItsFastKeyTable)
{
    SimLink sim('Y');
    DetectEncoder();
    const Lines asked = sim.hostLines();
    EXPECT_NE(std::find(asked.begin(), asked.end(), "K00?\r"), asked.end());
    EXPECT_EQ(gFastkeyMessageCount, 12);
    EXPECT_TRUE(gEncoderSupportsFastkey);
}

TEST(DetectEncoder, AUnitPausingMidIdentificationNeverHasOneAnswerTakenForAnotherAndIsReadTrueOnceBack)
{
    // Every table of its own size, so an answer taken for another table's shows.
    const auto sizesOf = [](sim::Engine& engine) {
        sim::Profile& profile = engine.EditProfile();
        profile.pabx.size = 31;
        profile.fastkey.size = 42;
        profile.freetext.size = 57;
        profile.wireless.size = 150;
    };
    // Where the unit stops for a second or two: everything sent meanwhile is
    // answered, in order, once it goes on, after the waits for it ran out.
    for (const char* pausedAt : {"?V", "C00?", "K00?", "F00?", "?TG"}) {
        for (const std::int64_t pause : {20, 40, 80}) {
            SCOPED_TRACE(std::string(pausedAt) + " " + std::to_string(pause));
            SimLink sim('X');
            sizesOf(sim.engine);
            sim.engine.AddFault({.kind = sim::FaultKind::Delay, .pattern = pausedAt, .match = sim::MatchMode::Exact,
                                 .ticks = pause});
            DetectEncoder();
            // A read that gave up leaves its table at the default; none reads another's answer.
            EXPECT_TRUE(gEncoderVersion == 0 || gEncoderVersion == 2.10) << gEncoderVersion;
            EXPECT_TRUE(gAlarmMessageCount == 24) << gAlarmMessageCount;
            EXPECT_TRUE(gPABXMessageCount == 31 || gPABXMessageCount == 20) << gPABXMessageCount;
            EXPECT_TRUE(gFastkeyMessageCount == 42 || gFastkeyMessageCount == 10) << gFastkeyMessageCount;
            EXPECT_TRUE(gFreetextMessageCount == 57 || gFreetextMessageCount == 49) << gFreetextMessageCount;
            EXPECT_TRUE(gWirelessMessageCount == 150 || gWirelessMessageCount == 200) << gWirelessMessageCount;
            EXPECT_TRUE(gToneCalendarEventsPerDay == 48 || gToneCalendarEventsPerDay == 0) << gToneCalendarEventsPerDay;

            // Going on at once, the next identification reads the unit as it is.
            DetectEncoder();
            EXPECT_DOUBLE_EQ(gEncoderVersion, 2.10);
            EXPECT_EQ(tableSizes(), (std::vector<int>{24, 31, 42, 57, 150}));
            EXPECT_TRUE(gToneGenSupported);
            EXPECT_EQ(gToneCalendarEventsPerDay, 48);
        }
    }
}

TEST(DetectEncoder, OnlyAnEncoderWhoseUserCodesAreKnownIsRememberedForPagerDbs)
{
    const auto remembered = [] {
        return GetConfigSetting("Last Encoder Model") + "/" + GetConfigSetting("Last Encoder Family") + "|"
            + gLastEncoderModelLetter + "/" + gLastEncoderFamily;
    };
    {
        SimLink sim('X');
        DetectEncoder();
    }
    ASSERT_EQ(remembered(), "X/Not Defined|X/Not Defined");
    // A time receiver and a speaker on the encoder's line; the unit of an unknown letter.
    for (const char letter : {'Q', 'S', 'K', 'Z'}) {
        SCOPED_TRACE(letter);
        SimLink sim(letter);
        DetectEncoder();
        ASSERT_EQ(gEncoderModelLetter, std::string(1, letter));
        EXPECT_EQ(remembered(), "X/Not Defined|X/Not Defined");
    }
    SimLink sim('A');
    DetectEncoder();
    EXPECT_EQ(remembered(), "A/QX8XXX|A/QX8XXX");
}

// Exit chosen while the unit is asked who it is: the unanswered question is
// not taken for a legacy unit, and nothing is kept or remembered of it.
TEST(DetectEncoder, AnIdentificationCutShortByExitKeepsAndRemembersNothing)
{
    {
        SimLink sim('X');
        DetectEncoder();
    }
    SimLink sim('X');
    sim.engine.AddCommand(R"(\?000M)", [](sim::Engine&, const std::smatch&, std::int64_t) {
        RequestExit();
        return sim::Engine::Reply{""};
    });
    DetectEncoder();
    EXPECT_EQ(gEncoderModelName + "/" + gEncoderFamily, "QX9860/Not Defined");
    EXPECT_EQ(GetConfigSetting("Last Encoder Model") + "/" + GetConfigSetting("Last Encoder Family"), "X/Not Defined");
    EXPECT_EQ(sim.hostLines(), (Lines{"\r", "?000M\r"}));

    // Chosen while the unit's presence is asked: no speed is tried, and the unit is not taken to be gone.
    ResetExitForTest();
    LinkHarness link;
    link.unit()->OnLine([](FakeUnit&, const std::string& line) {
        if (line == "\r")
            RequestExit();
    });
    const int opens = link.unit()->opens;
    DetectEncoder();
    EXPECT_EQ(gEncoderModelLetter, "X");
    EXPECT_EQ(link.unit()->opens, opens);
    EXPECT_EQ(link.unit()->Written(), "\r");
}

// The tone questions are answered only by an acknowledged answer or "?99":
// garbled bytes, or no answer in time, leave them open; and every
// identification asks them afresh, whatever the unit before left open.
TEST(DetectEncoder, AGarbledOrLateToneAnswerLeavesTheQuestionOpenAndEveryIdentificationAsksAfresh)
{
    const auto garbled = [](const char* question) {
        return sim::Fault{.kind = sim::FaultKind::Garbage, .pattern = question, .match = sim::MatchMode::Exact,
                          .position = sim::Fault::kEnd, .times = 0};
    };
    const auto late = [](const char* question) {
        return sim::Fault{.kind = sim::FaultKind::Silence, .pattern = question, .match = sim::MatchMode::Exact,
                          .times = 0};
    };
    {
        SimLink sim('X');
        sim.engine.EditProfile().toneGenerator = true;
        sim.engine.AddFault(garbled("?TG"));
        sim.engine.AddFault(garbled("?TC"));
        DetectEncoder();
        EXPECT_TRUE(gToneGenUnanswered);
        EXPECT_TRUE(gToneCalendarUnanswered);
    }
    {
        SimLink sim('A'); // a QX8140 is asked "?T"
        sim.engine.AddFault(late("?T"));
        DetectEncoder();
        EXPECT_TRUE(gToneGenUnanswered);
    }
    // A unit late with one answer, then another unit in its place.
    const auto lateThenReplaced = [&late](const char* question, const bool& open,
                                          const std::function<void(sim::Engine&)>& replace) {
        SimLink sim('X');
        sim.engine.EditProfile().toneGenerator = true;
        sim.engine.AddFault(late(question));
        DetectEncoder();
        ASSERT_TRUE(open);
        sim.engine.ClearFaults();
        replace(sim.engine);
        DetectEncoder();
        EXPECT_FALSE(open);
    };
    // The QX8140 takes its default year, the legacy unit its default week.
    lateThenReplaced("?TC", gToneCalendarUnanswered, [](sim::Engine& e) { e.SetModel('A'); });
    lateThenReplaced("?TG", gToneGenUnanswered, [](sim::Engine& e) { e.SetLegacyModel(sim::Legacy::QX8); });
}
