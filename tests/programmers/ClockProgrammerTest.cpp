// The clock's window against the simulated clock.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>

#include "KS_Clock.h"
#include "KS_GEN_ClockProgrammer.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "ProgrammerFixture.h"


namespace {

const std::string kRange =
    "The entered frequency is not supported by this device. Please enter a frequency between 80 MHz and 950 MHz.";
const std::string kRaster = "The entered frequency seems to be invalid (division by 6.25 kHz does not return an "
                            "integer number).\r\nAre you sure you want to continue?";

struct ClockProgrammer : ProgrammerFixture<KS_GEN_ClockProgrammer, sim::ClockDevice> {
    void Read()
    {
        window->cmdRead->click();
    }
    void UseClock(const char* model, const char* version)
    {
        device->SetValue("VM", model);
        device->SetValue("V", version);
    }
};

} // namespace

TEST_F(ClockProgrammer, TheFirmwareVersionDecidesWhatAReadAsks)
{
    const struct {
        const char* model;
        const char* version;
        Lines lines;
        const char* deviation;
        const char* mode;
    } cases[] = {
        {"RL-CLK", "2.14", {"?VM", "?V", "?S", "?F", "?R"}, "", ""},
        {"RL-CLK", "2.17", {"?VM", "?V", "?S", "?F", "?R", "?D?"}, "\xb1 2.5 kHz", ""},
        {"RL-CLK", "2.18", {"?VM", "?V", "?S", "?F", "?R", "?D?", "?M?"}, "\xb1 2.5 kHz", "Analog - Battery"},
        {"OTHER", "3.00", {"?VM", "?V", "?S", "?F", "?R", "?D?"}, "\xb1 2.5 kHz", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + c.version);
        UseClock(c.model, c.version);
        Read();
        EXPECT_EQ(Sent(), c.lines);
        EXPECT_EQ(window->txtVersion->text().toStdString(), c.version);
        EXPECT_EQ(window->cmbRxDeviation->currentText(), QString::fromLatin1(c.deviation));
        EXPECT_EQ(window->cmbMode->currentText().toStdString(), c.mode);
    }
    EXPECT_EQ(window->txtDevice->text(), "OTHER");
    EXPECT_EQ(window->txtSerialNumber->text(), "00000001");
    EXPECT_EQ(window->txtRSSI->text(), "-85");
    EXPECT_TRUE(window->txtRSSI->isHidden());
}

TEST_F(ClockProgrammer, AReadFrequencyIsProgrammedBackAsItsSevenDigits)
{
    Read();
    EXPECT_EQ(window->txtDevice->text(), "RL-CLK-xxxx");
    EXPECT_EQ(window->txtFrequency->text(), "467.8000");
    window->cmdProgram->click();
    EXPECT_EQ(Sent(), (Lines{"?VM", "?V", "?S", "?F", "?R", "?D?", "?M?", "?VM", "?V", "PF4678000"}));
    EXPECT_EQ(Info(), "Done !");

    // A clock that does not answer "?F" leaves no other clock's frequency behind.
    harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "?F", .times = 0});
    Read();
    EXPECT_EQ(window->txtFrequency->text(), "000.0000");
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();
    EXPECT_EQ(harness.messages.texts().back(), "Please enter a valid frequency.");
}

TEST_F(ClockProgrammer, TheProgramButtonTestsTheFrequencyRangeAndRaster)
{
    const struct {
        const char* frequency;
        std::string message;
        std::int16_t answer;
        bool sent;
    } cases[] = {
        {"79.9999", kRange, kAnswerOk, false},
        {"950.9991", kRange, kAnswerOk, false},
        {"80.0000", "", 0, true},
        {"950.9990", kRaster, kAnswerYes, true}, // in range, off the raster
        {"467.8000", "", 0, true},
        {"467.8050", kRaster, kAnswerNo, false},
        {"467.8050", kRaster, kAnswerYes, true},
        {"", "Please enter a valid frequency.", kAnswerOk, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frequency);
        const std::size_t shownBefore = harness.messages.shown().size();
        Type(window->txtFrequency, c.frequency);
        if (c.answer)
            harness.messages.Answer(c.answer);
        window->cmdProgram->click();
        if (c.message.empty())
            EXPECT_EQ(harness.messages.shown().size(), shownBefore);
        else
            EXPECT_EQ(harness.messages.texts().back(), c.message);
        const Lines lines = Sent();
        EXPECT_EQ(!lines.empty() && lines.back().rfind("PF", 0) == 0, c.sent);
    }
    EXPECT_EQ(device->Value("F"), "4678050");
}

TEST_F(ClockProgrammer, ADigitalClockShowsAndTakesModeAndCompatibilityAsOneCode)
{
    UseClock("ZAR_UZE", "1.00");
    device->SetValue("M", "2");
    Read();
    EXPECT_EQ(window->cmbMode->currentText(), "Digital - LED");
    EXPECT_EQ(window->cmbCompatibility->currentText(), "RL-CLK-xxxx");

    window->chkMode->setChecked(true);
    window->cmbMode->setCurrentIndex(3);          // Digital - LCD
    window->chkCompatibility->setChecked(true);
    window->cmbCompatibility->setCurrentIndex(0); // RLxxxx
    Sent();
    window->cmdProgram->click();
    EXPECT_EQ(Sent(), (Lines{"?VM", "?V", "PF4678000", "PM1"}));
    EXPECT_EQ(device->Value("M"), "1");
    EXPECT_EQ(window->prgProgress->maximum(), 2);
}

TEST_F(ClockProgrammer, ModelRulesStopAProgramRunWithoutAFinalText)
{
    const struct {
        const char* model;
        const char* version;
        bool mode;
        int modeIndex;
        std::string message;
    } cases[] = {
        {"RL-CLK", "2.17", true, 0, "Mode programming is not applicable to RL-CLK-xxxx version 2.17."},
        {"RL-CLK", "2.10", true, 0, "Mode programming is not applicable to RL-CLK-xxxx version 2.1."},
        {"RL9xxx", "2.18", true, 2, "Digital - LED mode is not applicable to RL9xxx. Please select an applicable Mode."},
        {"ZAR_UZE", "1.00", false, 0, "Please select an applicable Mode."},
    };
    Read();
    Sent();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        UseClock(c.model, c.version);
        window->chkMode->setChecked(c.mode);
        window->cmbMode->setCurrentIndex(c.modeIndex);
        harness.messages.Answer(kAnswerOk);
        window->lblInfo->clear();
        window->cmdProgram->click();
        EXPECT_EQ(harness.messages.texts().back(), c.message);
        EXPECT_EQ(Sent(), (Lines{"?VM", "?V"}));
        EXPECT_EQ(Info(), "");
        EXPECT_TRUE(window->cmdProgram->isEnabled());
    }
}

TEST_F(ClockProgrammer, TheServiceKeyUnlocksTheSerialNumberAndItsAutoIncrement)
{
    Read();
    EXPECT_TRUE(window->txtSerialNumber->isReadOnly());
    QKeyEvent key(QEvent::KeyPress, KS_ProgrammerFrame::kServiceKey, KS_ProgrammerFrame::kServiceModifiers);
    QApplication::sendEvent(window, &key);
    EXPECT_FALSE(window->txtSerialNumber->isReadOnly());
    EXPECT_FALSE(window->chkSNAutoIncrement->isHidden());

    Type(window->txtSerialNumber, "00000099");
    window->chkSNAutoIncrement->setChecked(true);
    window->cmdProgram->click();
    EXPECT_EQ(device->Value("S"), "00000099");
    EXPECT_EQ(window->txtSerialNumber->text(), "00000100");
    EXPECT_EQ(Info(), "Done !");

    // Refused: the text stays and the run counts the failure.
    harness.engine.AddFault({.kind = sim::FaultKind::Refuse, .pattern = "PS", .times = 0});
    Sent();
    window->cmdProgram->click();
    EXPECT_EQ(window->txtSerialNumber->text(), "00000100");
    EXPECT_EQ(Info(), "Done ! - 1 item(s) failed.");

    // A sum that outgrows the box is refused; nothing longer is ever sent.
    harness.engine.ClearFaults();
    Type(window->txtSerialNumber, "99999999");
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();
    EXPECT_EQ(window->txtSerialNumber->text(), "99999999");
    EXPECT_EQ(device->Value("S"), "99999999");
}

TEST_F(ClockProgrammer, AScheduledPageDueWhileTheWindowIsOpenIsReportedNotSent)
{
    gSchedule.assign(700, ScheduleEntry{});
    ScheduleEntry& entry = gSchedule[0];
    entry.Time = "09:05 AM";
    entry.Pager = "005";
    entry.AlertType = 3;
    entry.Active = -1;
    const QDateTime monday(QDate(2026, 12, 7), QTime(9, 5, 0));
    SetClockForTest([monday] { return monday.toUTC(); });
    form.tmrSeconds_Timer();
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(harness.Reported("Scheduled page to 005 not sent: a device programmer is using the port.", true));
    EXPECT_EQ(entry.Fired, -1);
    SetClockForTest({});
}
