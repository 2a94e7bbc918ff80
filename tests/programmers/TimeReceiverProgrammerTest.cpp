// The time receiver's window against the simulated time receiver.
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include "KS_Clock.h"
#include "KS_GEN_TimeReceiverProgrammer.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_TimeReceiverRules.h"
#include "ProgrammerFixture.h"


namespace {

struct TimeReceiverProgrammer : ProgrammerFixture<KS_GEN_TimeReceiverProgrammer, sim::TimeReceiverDevice> {
    ~TimeReceiverProgrammer() override { SetClockForTest({}); }
    std::string Text(QLineEdit* box) const { return box->text().toStdString(); }
};

using OtherUnit = ProgrammerFixture<KS_GEN_TimeReceiverProgrammer, sim::PaddleDevice>;

// An older receiver keeps no seconds: its time is four digits.
struct NoSecondsReceiver : sim::TimeReceiverDevice {
    std::optional<Reply> OwnLine(const std::string& line, std::int64_t tick) override
    {
        if (line == "?T")
            return Answer(TimeAt(tick).substr(0, 4));
        return TimeReceiverDevice::OwnLine(line, tick);
    }
};
using OlderReceiver = ProgrammerFixture<KS_GEN_TimeReceiverProgrammer, NoSecondsReceiver>;

} // namespace

TEST_F(TimeReceiverProgrammer, TheServiceKeyShowsTheServiceFieldsAndLeavesTheFocus)
{
    EXPECT_EQ(gEncoderModelName, "RL7990");
    EXPECT_TRUE(window->cmdTestTRX->isHidden() && window->txtSerialNumber->isReadOnly());
    window->chkSecurityMode->setChecked(true);
    EXPECT_TRUE(window->cmbSecurityMode->isEnabled() && window->txtSecurityKey->isEnabled()
                && window->lblSecurityKey->isEnabled());
    window->chkDateTime->setFocus();
    Key();
    EXPECT_EQ(window->focusWidget(), window->chkDateTime);
    EXPECT_FALSE(window->cmdTestTRX->isHidden() || window->chkToneGenerator->isHidden());
    EXPECT_FALSE(window->txtSerialNumber->isReadOnly());
}

TEST_F(TimeReceiverProgrammer, OnlyTheTickedOptionsAreWrittenWithTheirCodes)
{
    window->chkTimeZone->setChecked(true);
    window->cmbTimeZone->setCurrentIndex(28);
    window->cmdProgram->click();
    EXPECT_EQ(Sent(), Lines{"PQZ29"});
    EXPECT_EQ(device->Value("QZ"), "29");
    EXPECT_EQ(Info(), "Done !");
    EXPECT_EQ(window->prgProgress->maximum(), 3);

    window->chkTimeZone->setChecked(false);
    window->chkMasterClock->setChecked(true);
    // Typed as on a time picker: P after the digits makes it PM.
    window->dtpMasterClockTime->setSelectedSection(QDateTimeEdit::HourSection);
    QTest::keyClicks(window->dtpMasterClockTime, "0630P");
    Type(window->txtMasterClockCapcode, "12345");
    window->cmbMasterClockClosure->setCurrentIndex(2);
    window->chkTransmissionMode->setChecked(true);
    window->cmbTransmissionMode->setCurrentIndex(2);
    window->chkSpecialMode->setChecked(true);
    window->cmbSpecialMode->setCurrentIndex(7);
    window->cmdProgram->click();
    EXPECT_EQ(Sent(), (Lines{"PPM4", "PQM1830", "PC0012345", "PQD3", "PM7"}));
    EXPECT_EQ(window->prgProgress->maximum(), 7);

    // No answer to the probe: the link message, "Canceled !", nothing sent.
    Unplug();
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();
    EXPECT_EQ(harness.messages.texts().back().rfind("Communication with the ", 0), 0u);
    EXPECT_EQ(Info(), "Canceled !");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(TimeReceiverProgrammer, TheSecurityKeyGoesOutAsThreeDigitsOfAtMost299)
{
    const struct {
        const char* typed;
        Lines sent;
        const char* shown;
    } cases[] = {
        {"350", {"PSM1", "PSS299"}, "299"},
        {"7", {"PSM1", "PSS007"}, "007"},
        {"", {}, ""},
    };
    window->chkSecurityMode->setChecked(true);
    window->cmbSecurityMode->setCurrentIndex(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Type(window->txtSecurityKey, c.typed);
        if (c.sent.empty())
            harness.messages.Answer(kAnswerOk);
        window->cmdProgram->click();
        EXPECT_EQ(Sent(), c.sent);
        EXPECT_EQ(Text(window->txtSecurityKey), c.shown);
    }
    EXPECT_EQ(harness.messages.texts(), std::vector<std::string>{"Please enter the Security Key as three digits."});

    // Leaving the box does the same.
    Type(window->txtSecurityKey, "300");
    Leave(window->txtSecurityKey);
    EXPECT_EQ(Text(window->txtSecurityKey), "299");
}

TEST_F(TimeReceiverProgrammer, TheDeviceClockIsSetFromUtcAndFallsBackOnLocalTimeAndDate)
{
    SetClockForTest([] { return QDateTime(QDate(2014, 12, 24), QTime(13, 5, 9), Qt::UTC); });
    window->chkDateTime->setChecked(true);
    window->cmdProgram->click();
    EXPECT_EQ(Sent(), Lines{"T130509122414UW"});
    EXPECT_EQ(Info(), "Done !");
    window->cmdRead->click();
    EXPECT_EQ(window->txtDateTime->text().left(25), "Wednesday, 12/24/14 01:05");
    Sent();

    // A receiver without the clock command takes "PT" and "PD" instead.
    Refuse("T");
    window->cmdProgram->click();
    const Lines sent = Sent();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[3], "T130509122414UW");
    EXPECT_EQ(sent[4].substr(0, 2), "PT");
    EXPECT_EQ(sent[5].substr(0, 2), "PD");
    EXPECT_EQ(sent[5].size(), 9u);
    EXPECT_EQ(Info(), "Done !");
}

TEST_F(TimeReceiverProgrammer, TimesOfDayGoOutWithTwoDigitHours)
{
    SetClockForTest([] { return QDateTime(QDate(2014, 12, 24), QTime(9, 7), Qt::LocalTime); });
    Refuse("T"); // no clock command: the local-time fallback
    window->chkDateTime->setChecked(true);
    window->chkMasterClock->setChecked(true);
    window->dtpMasterClockTime->setTime(QTime(9, 7));
    Type(window->txtMasterClockCapcode, "0000008");
    window->cmdProgram->click();
    const Lines sent = Sent();
    for (const char* line : {"PT0907", "PQM0907"})
        EXPECT_NE(std::find(sent.begin(), sent.end(), line), sent.end()) << line;
}

TEST_F(TimeReceiverProgrammer, TheVersionAfterVerIsReadWithOrWithoutABlankOnceACarriageReturnWakesTheReceiver)
{
    harness.engine.AddFault({.kind = sim::FaultKind::AfterPoke, .pattern = "?V", .match = sim::MatchMode::Exact,
                             .times = 0});
    for (const char* version : {"RL7990 Ver.2.20", "RL7990 Ver. 2.20"}) {
        device->SetValue("V", version);
        window->cmdRead->click();
        EXPECT_EQ(Text(window->txtVersion), "2.20") << version;
    }
}

TEST_F(TimeReceiverProgrammer, AReadTurnsTheDeviceCodesIntoTheListItems)
{
    for (const auto& [mnemonic, value] : std::vector<std::pair<const char*, const char*>>{
             {"S", "0012345"}, {"PS", "1"}, {"QZ", "29"}, {"PD", "1"}, {"PM", "4"}, {"PT", "2"}, {"QM", "1830"},
             {"C", "0000042"}, {"QD", "9"}, {"SM", "1"}, {"SS", "123"}, {"M", "6"}, {"B", "0"}, {"TG", "1"}})
        device->SetValue(mnemonic, value);
    window->cmdRead->click();
    EXPECT_EQ(Sent(), (Lines{"?D", "?T", "?V", "?S", "?PS", "?QZ", "?PD", "?PM", "?PT", "?QM", "?C", "?QD", "?SM",
                             "?SS", "?M", "?B", "?TG"}));
    EXPECT_EQ(Text(window->txtVersion), "1.05 (Jan 2026)");
    EXPECT_EQ(Text(window->txtSerialNumber), "0012345");
    EXPECT_EQ(window->txtDateTime->text().left(23), "Thursday, 01/01/26 12:0");
    const std::pair<QComboBox*, const char*> shown[] = {
        {window->cmbTimeSource, "PC Clock"},
        {window->cmbTimeZone, "(GMT + 05)"},
        {window->cmbDLSaving, "On"},
        {window->cmbTransmissionMode, "Always"},
        {window->cmbTimeSlot, "45 Seconds after Top of the Minute"},
        {window->cmbMasterClockClosure, "9 Sec."},
        {window->cmbSecurityMode, "On"},
        {window->cmbSpecialMode, "6"},
        {window->cmbBaudRate, "512"},
        {window->cmbToneGenerator, "On"},
    };
    for (const auto& [list, text] : shown)
        EXPECT_EQ(list->currentText().toStdString(), text) << list->objectName().toStdString();
    EXPECT_EQ(window->dtpMasterClockTime->time(), QTime(18, 30));
    EXPECT_EQ(Text(window->txtMasterClockCapcode), "0000042");
    EXPECT_EQ(Text(window->txtSecurityKey), "123");
    EXPECT_TRUE(harness.Reported("Ready", false));

    // Refused queries: no selection, the default time, tone generator off. A
    // program run then asks for the missing item before writing anything.
    for (const char* query : {"?B", "?QM", "?TG", "?QZ"})
        Refuse(query, sim::MatchMode::Exact);
    device->SetValue("QZ", "00");
    window->cmdRead->click();
    EXPECT_EQ(window->cmbBaudRate->currentIndex(), -1);
    EXPECT_EQ(window->cmbTimeZone->currentIndex(), -1);
    EXPECT_EQ(window->dtpMasterClockTime->time(), QTime(6, 0));
    EXPECT_EQ(window->cmbToneGenerator->currentText(), "Off");
    Sent();
    window->chkDlSaving->setChecked(true);
    window->chkTimeZone->setChecked(true);
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();
    EXPECT_EQ(harness.messages.texts().back(), "Please select Time Zone.");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(TimeReceiverProgrammer, TheRadioTestTogglesOnTheDevicesAnswersAndIsStoppedWhenTheWindowCloses)
{
    const std::string start = "Start T&RX Test on Selected Baud Rate";
    const std::string stop = "Stop &TRX Test";
    const struct {
        const char* fault; // the line whose answer is spoilt
        sim::FaultKind kind;
        Lines sent;
        const std::string& caption;
        bool linkError;
    } clicks[] = {
        {"TT0?", sim::FaultKind::Refuse, {"TT0?", "TT0?", "TT0?"}, start, true}, // no "1-": not started
        {nullptr, {}, {"TT0?"}, stop, false},
        {"?", sim::FaultKind::Silence, {"?", "?", "?"}, stop, true}, // no "?99": still running
        {nullptr, {}, {"?", "?", "?"}, start, false}, // "?99" is no acknowledgement: every try goes
    };
    Key();
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.sent.front());
        harness.engine.ClearFaults();
        if (c.fault)
            harness.engine.AddFault({.kind = c.kind, .pattern = c.fault, .match = sim::MatchMode::Exact, .times = 0});
        ScriptedMessages boxes;
        boxes.AnswerAlways(kAnswerOk);
        window->cmdTestTRX->click();
        EXPECT_EQ(Sent(), c.sent);
        EXPECT_EQ(window->cmdTestTRX->text().toStdString(), c.caption);
        EXPECT_EQ(boxes.shown().size(), c.linkError ? 1u : 0u);
    }
    EXPECT_FALSE(device->TRXTestRunning());

    window->cmbBaudRate->setCurrentIndex(1);
    window->cmdTestTRX->click();
    EXPECT_EQ(Sent(), Lines{"TT1?"});
    window->close();
    EXPECT_EQ(Sent().front(), "?");
    EXPECT_FALSE(device->TRXTestRunning());
}

TEST_F(TimeReceiverProgrammer, ExitFromTheTrayDuringTheRadioTestStopsItBeforeThePortClosesAndShowsNoBox)
{
    Key();
    window->cmdTestTRX->click();
    ASSERT_TRUE(device->TRXTestRunning());
    Sent();
    ScriptedMessages boxes;
    form.mnuPopupOptions[3]->trigger(); // the tray menu's Exit, live over the window
    const Lines sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), "?");
    EXPECT_FALSE(device->TRXTestRunning());
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
    EXPECT_TRUE(window.isNull() || !window->isVisible());
}

TEST_F(TimeReceiverProgrammer, AnAcknowledgedResetTicksTheDateAndTime)
{
    Refuse("?XR");
    harness.messages.Answer(kAnswerYes);
    harness.messages.Answer(kAnswerOk);
    window->cmdReset->click();
    EXPECT_EQ(harness.messages.texts().front(), "Are you sure you want to reset the RL7990 to factory default?");
    EXPECT_EQ(harness.messages.texts().back().rfind("Communication with the ", 0), 0u);
    EXPECT_FALSE(window->chkDateTime->isChecked());

    harness.engine.ClearFaults();
    Sent();
    harness.messages.Answer(kAnswerYes);
    window->cmdReset->click();
    EXPECT_EQ(Sent(), Lines{"?XR"});
    EXPECT_TRUE(window->chkDateTime->isChecked());
    EXPECT_EQ(window->focusWidget(), window->txtVersion);
}

TEST_F(OlderReceiver, AFourDigitTimeIsAskedForAgainAndShownWithoutSeconds)
{
    window->cmdRead->click();
    const Lines sent = Sent();
    EXPECT_EQ(Lines(sent.begin(), sent.begin() + 4), (Lines{"?D", "?T", "?T", "?V"}));
    const std::string shown = window->txtDateTime->text().toStdString();
    EXPECT_EQ(shown.substr(0, 23), "Thursday, 01/01/26 12:0");
    EXPECT_EQ(shown.size(), 27u); // "hh:mm AM", no seconds
}

TEST_F(OtherUnit, AnotherUnitOnThePortGetsTheWarningAndNothingIsSent)
{
    // The capcode test comes first, whatever the unit.
    window->chkMasterClock->setChecked(true);
    Type(window->txtMasterClockCapcode, "0000007");
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();
    EXPECT_EQ(harness.messages.texts().back(), "Capcode must be in the range of 0000008 to 2097151.");
    Type(window->txtMasterClockCapcode, "0000008");
    for (QPushButton* button : {window->cmdProgram, window->cmdRead, window->cmdReset}) {
        harness.messages.AnswerAlways(kAnswerYes);
        button->click();
        EXPECT_NE(harness.messages.texts().back().find("Time Receiver Programming option is not supported"),
                  std::string::npos);
    }
    EXPECT_TRUE(Sent().empty());
}

TEST(TimeReceiverRules, ClockAndDateValuesAsTheReceiverTakesThem)
{
    EXPECT_EQ(TimeReceiverDateDigits(QDate(2014, 12, 21)), "1221141"); // a Sunday
    EXPECT_EQ(TimeReceiverDateDigits(QDate(2014, 12, 27)), "1227147"); // a Saturday
    EXPECT_EQ(TimeReceiverDate("1224144*\r"), QDate(2014, 12, 24));
    EXPECT_EQ(TimeReceiverDate("1332144*\r"), std::nullopt);
    EXPECT_EQ(TimeReceiverDate("224144*\r"), std::nullopt);
    EXPECT_EQ(TimeReceiverDate("1224144"), std::nullopt);
    EXPECT_EQ(TimeReceiverTimeText(*TimeReceiverTime("1305"), false), "01:05 PM");
    EXPECT_EQ(TimeReceiverTimeText(*TimeReceiverTime("000509"), true), "12:05:09 AM");
    EXPECT_EQ(TimeReceiverTime("2460"), std::nullopt);
}

// Exit chosen while the radio test's start waits for its answer: the test is
// stopped before the port closes, and the exit shows no box.
TEST_F(TimeReceiverProgrammer, ExitWhileTheRadioTestsStartWaitsStopsTheTestWithoutABox)
{
    Key();
    harness.engine.AddFault({.kind = sim::FaultKind::Delay, .pattern = "TT", .ticks = 12});
    Sent();
    ScriptedMessages boxes;
    ExitFromTheTrayWhen([this] { return HostSent("TT"); });
    window->cmdTestTRX->click();
    InstallTickPump();
    QCoreApplication::processEvents();
    ASSERT_TRUE(exitChosen);
    const Lines sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), "?");
    EXPECT_FALSE(device->TRXTestRunning());
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
}

// Exit chosen while nothing runs counts as chosen before the radio test's
// stop goes out: a unit that never answers the stop costs no box.
TEST_F(TimeReceiverProgrammer, ExitFromTheTrayWithAStopTheUnitNeverAnswersShowsNoBox)
{
    Key();
    window->cmdTestTRX->click();
    ASSERT_TRUE(device->TRXTestRunning());
    Sent();
    harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "?", .match = sim::MatchMode::Exact, .times = 0});
    ScriptedMessages boxes;
    form.mnuPopupOptions[3]->trigger();
    EXPECT_EQ(Sent().front(), "?");
    EXPECT_TRUE(boxes.shown().empty()) << boxes.texts().front();
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
}
