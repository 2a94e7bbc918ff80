// The clock's window against the simulated clock.
#include <QComboBox>
#include <algorithm>
#include <QProgressBar>
#include <QPushButton>

#include "KS_Clock.h"
#include "KS_GEN_ClockProgrammer.h"
#include "KS_GEN_CoverPage.h"
#include "KS_Messages.h"
#include "ProgrammerFixture.h"

namespace {

struct ClockProgrammer : ProgrammerFixture<KS_GEN_ClockProgrammer, sim::ClockDevice> {
    void UseClock(const char* model, const char* version)
    {
        device->SetValue("VM", model);
        device->SetValue("V", version);
    }
    void Program(std::int16_t answer = kAnswerOk)
    {
        harness.messages.AnswerAlways(answer);
        window->cmdProgram->click();
    }
};

} // namespace

TEST_F(ClockProgrammer, AFrequencyBoxIsReformattedOnLeavingAndOutOfRangeTakesTheFocusBack)
{
    harness.messages.Answer(kAnswerOk);
    Type(window->txtFrequency, "79.9999");
    Leave(window->txtFrequency);
    EXPECT_EQ(window->txtFrequency->text(), "079.9999");
    EXPECT_EQ(harness.messages.texts().back(), "The entered frequency is not supported by this device. Please enter "
                                               "a frequency between 80 MHz and 950 MHz.");
    Type(window->txtFrequency, "467.8");
    Leave(window->txtFrequency);
    EXPECT_EQ(window->txtFrequency->text(), "467.8000");
    EXPECT_EQ(harness.messages.shown().size(), 1u);
}

// On Yes an off-raster frequency stays where the operator moved it: asked
// once for that value, not again at Program; another value is asked again,
// and one answered No again at Program.
TEST_F(ClockProgrammer, AnOffRasterFrequencyConfirmedOnceIsNotQuestionedAgainAtProgram)
{
    const auto rasterQuestions = [this] {
        const Lines texts = harness.messages.texts();
        return std::count_if(texts.begin(), texts.end(),
                             [](const std::string& text) { return text.starts_with("The entered frequency seems"); });
    };
    harness.messages.Answer(kAnswerYes);
    Type(window->txtFrequency, "467.801");
    Leave(window->txtFrequency);
    Program();
    EXPECT_EQ(rasterQuestions(), 1);
    Type(window->txtFrequency, "467.802");
    Leave(window->txtFrequency);
    EXPECT_EQ(rasterQuestions(), 2);
    // One answered No is not confirmed: Program asks about it again.
    harness.messages.Answer(kAnswerNo);
    Type(window->txtFrequency, "467.803");
    Leave(window->txtFrequency);
    EXPECT_EQ(rasterQuestions(), 3);
    harness.messages.Answer(kAnswerNo);
    Program();
    EXPECT_EQ(rasterQuestions(), 4);
}

TEST_F(ClockProgrammer, TheModelAndFirmwareDecideWhatAReadAsksAndShows)
{
    const struct {
        const char* model;
        const char* version;
        const char* mode;
        Lines lines;
        const char* deviation;
        const char* shownMode;
    } cases[] = {
        {"RL-CLK", "2.14", "1", {"?VM", "?V", "?S", "?F", "?R"}, "", ""},
        {"RL-CLK", "2.17", "1", {"?VM", "?V", "?S", "?F", "?R", "?D?"}, "\xb1 2.5 kHz", ""},
        {"RL-CLK", "2.18", "1", {"?VM", "?V", "?S", "?F", "?R", "?D?", "?M?"}, "\xb1 2.5 kHz", "Analog - Power"},
        {"RL9xxx", "2.18", "0", {"?VM", "?V", "?S", "?F", "?R", "?D?", "?M?"}, "\xb1 2.5 kHz", "Analog - Battery"},
        {"OTHER", "3.00", "1", {"?VM", "?V", "?S", "?F", "?R", "?D?"}, "\xb1 2.5 kHz", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + c.version);
        UseClock(c.model, c.version);
        device->SetValue("M", c.mode);
        window->cmdRead->click();
        EXPECT_EQ(Sent(), c.lines);
        EXPECT_EQ(window->txtVersion->text().toStdString(), c.version);
        EXPECT_EQ(window->cmbRxDeviation->currentText(), QString::fromLatin1(c.deviation));
        EXPECT_EQ(window->cmbMode->currentText().toStdString(), c.shownMode);
    }
    EXPECT_EQ(window->txtSerialNumber->text(), "00000001");
    EXPECT_EQ(window->txtRSSI->text(), "-85");
    EXPECT_EQ(window->focusWidget(), window->txtFrequency);
}

TEST_F(ClockProgrammer, AFrequencyAnsweredOnlyAfterTheCarriageReturnPokeIsRead)
{
    harness.engine.AddFault({.kind = sim::FaultKind::AfterPoke, .pattern = "?F", .match = sim::MatchMode::Exact,
                             .times = 0});
    device->SetValue("F", "4575500");
    window->cmdRead->click();
    EXPECT_EQ(window->txtFrequency->text(), "457.5500");
}

TEST_F(ClockProgrammer, AReadFrequencyIsProgrammedBackAndARefusedSettingIsMarked)
{
    WatchInfo();
    window->cmdRead->click();
    EXPECT_EQ(window->txtDevice->text(), "RL-CLK-xxxx");
    EXPECT_EQ(window->txtFrequency->text(), "467.8000");
    window->chkRxDeviation->setChecked(true);
    Refuse("PD");
    Program();
    EXPECT_EQ(Sent(), (Lines{"?VM", "?V", "?S", "?F", "?R", "?D?", "?M?", "?VM", "?V", "PF4678000", "PD5", "PD5"}));
    EXPECT_TRUE(InfoShown("Programming Rx Deviation... - Failed / Not Supported."));
    EXPECT_EQ(Info(), "Done ! - 1 item(s) failed.");

    // Off the 6.25 kHz raster: sent once the operator says Yes.
    Type(window->txtFrequency, "950.9990");
    Program(kAnswerYes);
    const Lines sent = Sent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "PF9509990"), sent.end());

    // A clock that does not answer "?F" leaves the box as the operator typed it.
    harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "?F", .times = 0});
    Type(window->txtFrequency, "457.5000");
    window->cmdRead->click();
    EXPECT_EQ(window->txtFrequency->text(), "457.5000");
    // Program's own check, with the caret elsewhere: leaving the box would refuse it first.
    window->txtVersion->setFocus();
    QApplication::processEvents();
    Type(window->txtFrequency, "000.0000");
    Program();
    EXPECT_EQ(harness.messages.texts().back(), "Please enter a valid frequency.");

    // Nothing answers: the link message and "Canceled !".
    Unplug();
    Type(window->txtFrequency, "467.8000");
    Sent();
    Program();
    EXPECT_EQ(harness.messages.texts().back().rfind("Communication with the ", 0), 0u);
    EXPECT_EQ(Info(), "Canceled !");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ClockProgrammer, ADigitalClockShowsAndTakesModeAndCompatibilityAsOneCode)
{
    UseClock("ZAR_UZE", "1.00");
    device->SetValue("M", "2");
    window->cmdRead->click();
    EXPECT_EQ(window->cmbMode->currentText(), "Digital - LED");
    EXPECT_EQ(window->cmbCompatibility->currentText(), "RL-CLK-xxxx");

    window->chkMode->setChecked(true);
    window->cmbMode->setCurrentIndex(3); // Digital - LCD
    window->chkCompatibility->setChecked(true);
    window->cmbCompatibility->setCurrentIndex(0); // RLxxxx
    Sent();
    Program();
    EXPECT_EQ(Sent(), (Lines{"?VM", "?V", "PF4678000", "PM1"}));
    EXPECT_EQ(window->prgProgress->maximum(), 2);
}

TEST_F(ClockProgrammer, ModelRulesStopAProgramRunWithoutAFinalText)
{
    const struct {
        const char* model;
        const char* version;
        int mode; // -1: not ticked
        int compatibility;
        std::string message;
    } cases[] = {
        {"RL-CLK", "2.17", 0, -1, "Mode programming is not applicable to RL-CLK-xxxx version 2.17."},
        {"RL-CLK", "2.10", 0, -1, "Mode programming is not applicable to RL-CLK-xxxx version 2.1."},
        {"RL9xxx", "2.18", 2, -1, "Digital - LED mode is not applicable to RL9xxx. Please select an applicable Mode."},
        {"RL9xxx", "2.18", -1, 0, "Digital Clock Compatibility is not applicable to RL9xxx."},
        {"ZAR_UZE", "1.00", -1, -1, "Please select an applicable Mode."},
        {"ZAR_UZE", "1.00", 1, 0,
         "Analog - Power mode is not applicable to ZAR_UZE. Please select an applicable Mode."},
        {"ZAR_UZE", "1.00", 3, -1, "Please select Digital Clock Compatibility."},
    };
    window->cmdRead->click();
    Sent();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        UseClock(c.model, c.version);
        window->chkMode->setChecked(c.mode >= 0);
        window->cmbMode->setCurrentIndex(c.mode);
        window->chkCompatibility->setChecked(c.compatibility >= 0);
        window->cmbCompatibility->setCurrentIndex(c.compatibility);
        window->lblInfo->clear();
        Program();
        EXPECT_EQ(harness.messages.texts().back(), c.message);
        EXPECT_EQ(Sent(), (Lines{"?VM", "?V"}));
        EXPECT_EQ(Info(), "");
        EXPECT_TRUE(window->cmdProgram->isEnabled());
    }
}

TEST_F(ClockProgrammer, TheFactoryResetAsksSendsAndReports)
{
    const struct {
        std::int16_t answer;
        bool refused; // "?XR" refused, or no answer at all
        bool silent;
        Lines sent;
        bool linkError;
    } cases[] = {
        {kAnswerNo, false, false, {}, false},
        {kAnswerYes, false, false, {"?XR"}, false},
        {kAnswerYes, true, false, {"?XR", "?XR", "?XR", "?XR"}, true},
        {kAnswerYes, false, true, {}, true},
    };
    for (const auto& c : cases) {
        harness.engine.ClearFaults();
        if (c.refused)
            Refuse("?XR");
        if (c.silent)
            Unplug();
        ScriptedMessages boxes;
        boxes.Answer(c.answer);
        boxes.AnswerAlways(kAnswerOk);
        window->cmdReset->click();
        EXPECT_EQ(boxes.texts().front(), "Are you sure you want to reset the clock to factory default?");
        EXPECT_EQ(boxes.texts().size(), c.linkError ? 2u : 1u);
        EXPECT_EQ(Sent(), c.sent);
        EXPECT_EQ(window->focusWidget(), window->txtVersion);
    }
}

TEST_F(ClockProgrammer, AFaultInsideARunEndsItWithTheWindowFree)
{
    Unplug();
    SetMessageAnswerHook([](const MessageRequest&) -> std::optional<MessageAnswer> { throw std::runtime_error("fault"); });
    Type(window->txtFrequency, "467.8000");
    window->cmdProgram->click();
    EXPECT_TRUE(window->cmdProgram->isEnabled());
    EXPECT_TRUE(window->prgProgress->isHidden());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(LinkConversation::ConversationActive());
}

TEST_F(ClockProgrammer, TheServiceKeyUnlocksTheSerialNumberAndItsAutoIncrement)
{
    window->cmdRead->click();
    Key();
    EXPECT_FALSE(window->txtSerialNumber->isReadOnly() || window->chkSNAutoIncrement->isHidden());
    EXPECT_EQ(window->focusWidget(), window->txtSerialNumber);

    Type(window->txtSerialNumber, "00000099");
    window->chkSNAutoIncrement->setChecked(true);
    Program();
    EXPECT_EQ(device->Value("S"), "00000099");
    EXPECT_EQ(window->txtSerialNumber->text(), "00000100");

    // Refused: the text stays.
    Refuse("PS");
    Program();
    EXPECT_EQ(window->txtSerialNumber->text(), "00000100");

    // A sum that outgrows the box is refused; nothing longer is ever sent.
    harness.engine.ClearFaults();
    Type(window->txtSerialNumber, "99999999");
    Program();
    EXPECT_EQ(window->txtSerialNumber->text(), "99999999");
    EXPECT_EQ(device->Value("S"), "99999999");
}

TEST_F(ClockProgrammer, TimerJobsKeepOffThePortWhileAProgrammerIsOpen)
{
    ScheduleEntry& entry = SchedulePageDueNow();
    form.mnuSetupTimeOptions[1]->setChecked(true); // the hourly clock
    KS_GEN_CoverPage cover(&form);
    cover.cmbRepeatTime->setCurrentIndex(0); // every event
    cover.cmbRepeatTime_Click();
    const auto runTimers = [&] {
        form.tmrSeconds_Timer();
        for (int minute = 0; minute < 60; ++minute)
            form.tmrMinutes_Timer();
        cover.tmrCoverPage_Timer();
    };
    runTimers();
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(harness.Reported("Scheduled page to 005 waits: a device programmer is using the port.", false));
    EXPECT_EQ(entry.Fired, 0);

    // Closed, the window gives the port back to them, and the page that waited goes out once.
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    runTimers();
    const Lines sent = Sent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "P0053"), sent.end()); // with the tries of one page
    EXPECT_EQ(entry.Fired, -1);
    EXPECT_TRUE(std::any_of(sent.begin(), sent.end(), [](const std::string& l) { return l.starts_with("P100"); }));
    EXPECT_TRUE(std::any_of(sent.begin(), sent.end(), [](const std::string& l) { return l.starts_with("T"); }));
    SetClockForTest({});
}

TEST_F(ClockProgrammer, AnHourlyClockSettingThatFindsThePortTakenRunsOnceWhenItIsFree)
{
    SetClockForTest([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0, 50)).toUTC(); });
    form.mnuSetupTimeOptions[1]->setChecked(true);
    // The device on this line acknowledges no clock command, so each setting shows as its tries.
    const auto clockSet = [this] {
        const Lines sent = Sent();
        return std::any_of(sent.begin(), sent.end(), [](const std::string& l) { return l.starts_with("T"); });
    };
    const auto anHour = [this] {
        for (int minute = 0; minute < 60; ++minute)
            form.tmrMinutes_Timer();
    };
    const auto twoSeconds = [this] {
        form.tmrSeconds_Timer();
        form.tmrSeconds_Timer();
    };

    anHour(); // the programmer window holds the port
    twoSeconds();
    EXPECT_FALSE(clockSet());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    form.tmrSeconds_Timer();
    EXPECT_TRUE(clockSet());
    twoSeconds();
    EXPECT_FALSE(clockSet());

    {
        LinkConversation busy;
        anHour();
        twoSeconds();
    }
    EXPECT_FALSE(clockSet());
    form.tmrSeconds_Timer();
    EXPECT_TRUE(clockSet());
    twoSeconds();
    EXPECT_FALSE(clockSet());
    SetClockForTest({});
}

TEST_F(ClockProgrammer, AReadThatGotNoItemFromThePaddleOnTheLeadEndsWithTheWarning)
{
    harness.engine.SetDevice(std::make_shared<sim::PaddleDevice>());
    harness.messages.AnswerAlways(kAnswerOk);
    window->cmdRead->click();
    const auto texts = harness.messages.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("Connection to ", 0), 0u) << texts[0];
    EXPECT_EQ(Info(), "");

    // One item is a read: the version alone.
    Attach(std::make_shared<sim::ClockDevice>("RL-CLK", "2.14"))->SetValue("VM", "");
    harness.engine.AddFault({.kind = sim::FaultKind::Refuse, .pattern = R"(\?[SFR])", .match = sim::MatchMode::Regex,
                             .times = 0});
    // The read put the caret in the frequency box: a frequency its leave takes, or no Read.
    Type(window->txtFrequency, "467.8000");
    window->cmdRead->click();
    EXPECT_EQ(window->txtVersion->text().toStdString(), "2.14");
    EXPECT_EQ(harness.messages.texts().size(), 1u);
}

TEST_F(ClockProgrammer, AClockPausingAtItsSerialNumberNeverHasThatAnswerTakenForTheFrequency)
{
    // The clock stops for one and a half, three and a half, then six seconds: the
    // answers to "?S" and its tries come late, the last ones after "?S" was done.
    for (const std::int64_t pause : {30, 70, 120}) {
        SCOPED_TRACE(pause);
        harness.engine.AddFault(
            {.kind = sim::FaultKind::Delay, .pattern = "?S", .match = sim::MatchMode::Exact, .ticks = pause});
        window->cmdRead->click();
        EXPECT_EQ(window->txtFrequency->text(), "467.8000");
        EXPECT_EQ(window->txtSerialNumber->text(), "00000001");
        EXPECT_EQ(window->txtRSSI->text(), "-85");
    }
}
