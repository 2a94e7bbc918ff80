// The pendant's read against simulated pendants of both generations, and its
// window: what a read shows, the checks before a run, programming and reset.
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>

#include "KS_GEN_PendantProgrammer.h"
#include "KS_Messages.h"
#include "KS_PendantConversation.h"
#include "ProgrammerFixture.h"

namespace {

const std::string kHold = "For PDX-01, press and hold the the Pendant button.\r\n"
                          "For PDX-03, press and hold the the 3rd (from left) Pendant button.\r\n"
                          "Press Ok when ready.\r\n";
const std::string kRelease = "Release Pendant button.";

struct PendantProgrammer : ProgrammerFixture<KS_GEN_PendantProgrammer, sim::PendantDevice> {
    // Every prompt of the run is answered with the button given.
    void Click(QPushButton* button, std::int16_t answer = kAnswerOk)
    {
        harness.messages.AnswerAlways(answer);
        button->click();
    }
    void Use(std::shared_ptr<sim::PendantDevice> pendant) { device = Attach(std::move(pendant)); }
    static std::string Text(QLineEdit* box) { return box->text().toStdString(); }
};

} // namespace

TEST(PendantConversation, TheReadAsksWhatThePendantsCommandSetHas)
{
    const struct {
        const char* model;
        const char* version;
        bool legacy;
        Lines lines;
        const char* shownModel;
        const char* shownVersion;
        int rows;
        const char* frequency;
    } cases[] = {
        {"PDX-01", "2.20", false,
         {"?V", "?VM", "?I", "?F", "?P", "?D", "?S", "?C1", "?M1", "?C2", "?M2", "?C3", "?M3"}, "PDX-01", "2.20", 3,
         "467.8000"},
        // "Ver." right before the number reads as well as with a blank between.
        {"PDX-01", "Ver.2.20(Mar 2014)", false,
         {"?V", "?VM", "?I", "?F", "?P", "?D", "?S", "?C1", "?M1", "?C2", "?M2", "?C3", "?M3"}, "PDX-01", "2.20", 3,
         "467.8000"},
        // Names its model but runs old firmware: the legacy set finds no tag.
        {"PDX-01", "2.10", false, {"?V", "?VM", "?SM"}, "N/A", "2.10", 0, ""},
        {"PDX-03", "Ver. 1.90 (Jun 2009)", true, {"?V", "?VM", "?SM", "?C1", "?M1", "?C2", "?M2", "?C3", "?M3", "?C4",
                                                  "?M4"}, "PDX-03", "1.90", 4, ""},
        // From PDX-01 2.00 on a legacy pendant has its radio settings, the frequency in kHz.
        {"PDX-01", "Ver. 2.00 (May 2011)", true,
         {"?V", "?VM", "?I", "?F", "?P", "?D", "?SM", "?C1", "?M1", "?C2", "?M2", "?C3", "?M3"}, "PDX-01", "2.00", 3,
         "467.8000"},
        {"PDX-03", "Ver.(1.90)", true, {"?V", "?VM", "?SM", "?C1", "?M1", "?C2", "?M2", "?C3", "?M3", "?C4", "?M4"},
         "PDX-03", "N/A", 4, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.version);
        auto pendant = std::make_shared<sim::PendantDevice>(c.model, c.version, c.legacy);
        pendant->SetValue("S", "3");
        pendant->SetValue("M2", "text  *");
        pendant->PressButton();
        DeviceLine line(pendant);
        const PendantSettings read = ReadPendantSettings();
        EXPECT_EQ(line.Sent(), c.lines);
        EXPECT_EQ(read.model, c.shownModel);
        EXPECT_EQ(read.version, c.shownVersion);
        EXPECT_EQ(read.rows, c.rows);
        EXPECT_EQ(read.frequency.value_or(""), c.frequency);
        EXPECT_STREQ(read.baudType.pagerType, "Numeric");
        if (c.rows > 0) {
            EXPECT_EQ(read.capcodes[1], "0000000");
            EXPECT_EQ(read.messages[1], "text");
        }
    }
}

TEST(PendantConversation, ALegacyFrequencyIsReadInKHzFromSixDigitsAndInMHzFromSeven)
{
    for (const auto& [mhz, echo] : {std::pair{false, false}, {true, false}, {false, true}}) {
        SCOPED_TRACE(std::to_string(mhz) + std::to_string(echo));
        auto pendant = std::make_shared<sim::PendantDevice>("PDX-01", "Ver. 2.00 (May 2011)", true);
        pendant->SetValue("F", "4578125");
        pendant->SetLegacyFrequencyInMHz(mhz);
        pendant->PressButton();
        DeviceLine line(pendant);
        // One character before six digits is an echo, not a seventh digit.
        if (echo)
            line.engine.AddFault({.kind = sim::FaultKind::Garbage, .pattern = "?F", .match = sim::MatchMode::Exact,
                                  .bytes = "F", .position = 0});
        const PendantSettings read = ReadPendantSettings();
        EXPECT_EQ(read.frequency.value_or(""), mhz ? "457.8125" : "457.8120");
        const Lines sent = line.Sent();
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "?F"), 1);
    }
}

TEST(PendantConversation, APendantThatAnswersOnlyAfterTheCarriageReturnPokeIsRead)
{
    auto pendant = std::make_shared<sim::PendantDevice>("PDX-03", "2.10");
    pendant->SetValue("C4", "0004444");
    pendant->PressButton();
    DeviceLine line(pendant);
    line.engine.AddFault({.kind = sim::FaultKind::AfterPoke, .pattern = R"(\?.*)", .match = sim::MatchMode::Regex,
                          .times = 0});
    const PendantSettings read = ReadPendantSettings();
    EXPECT_EQ(read.model, "PDX-03");
    EXPECT_EQ(read.capcodes[3], "0004444");
}

TEST_F(PendantProgrammer, AReadShowsWhatThePendantAnsweredAndOldFirmwareIsSentBack)
{
    Use(std::make_shared<sim::PendantDevice>("PDX-01", "2.20"));
    device->SetValue("S", "3");
    device->SetValue("C2", "0001234");
    device->SetValue("M2", "Ward 3");
    window->chkProgramCapcode[3]->setChecked(true);
    Click(window->cmdRead);
    EXPECT_EQ(harness.messages.texts(), (std::vector<std::string>{kHold, kRelease}));
    EXPECT_EQ(Text(window->txtDevice), "PDX-01");
    EXPECT_EQ(Text(window->txtSerialNumber), "00000001");
    EXPECT_FALSE(window->txtFrequency->isHidden());
    EXPECT_EQ(window->cmbPower->currentText(), "2");
    EXPECT_EQ(window->cmbDeviation->currentText(), QString::fromLatin1("\xb1 2.5 kHz"));
    EXPECT_EQ(window->cmbPagerType->currentText(), "Numeric");
    EXPECT_EQ(Text(window->txtCapcode[1]), "0001234");
    EXPECT_EQ(Text(window->txtMessage[1]), "Ward 3");
    EXPECT_FALSE(window->chkProgramCapcode[3]->isChecked() || window->chkProgramCapcode[3]->isEnabled());
    EXPECT_TRUE(device->ProgrammingMode());
    EXPECT_TRUE(harness.Reported("Downloading Capcode 3", false));
    EXPECT_TRUE(harness.Reported("Ready", false));

    Use(std::make_shared<sim::PendantDevice>("PDX-03", "Ver. 1.90 (Jun 2009)", true));
    Click(window->cmdRead);
    EXPECT_EQ(Sent().back(), "XT");
    EXPECT_FALSE(device->ProgrammingMode());
    EXPECT_EQ(Text(window->txtCapcode[1]), "0000000"); // cleared before the read
    EXPECT_TRUE(window->txtFrequency->isHidden() && window->cmbPower->isHidden());
    EXPECT_EQ(Text(window->txtFrequency), "000.0000");
    EXPECT_TRUE(window->chkProgramCapcode[3]->isEnabled());
}

TEST_F(PendantProgrammer, ProgrammingASlotWritesItsCapcodeThenItsMessageAndIncrementsOnAcknowledgement)
{
    Click(window->cmdRead);
    Sent();
    window->chkProgramCapcode[1]->setChecked(true);
    Type(window->txtCapcode[1], "1234");
    Type(window->txtMessage[1], "Room 12 & 13");
    window->chkAutoIncrement[1]->setChecked(true);
    window->chkProgramBaudType->setChecked(true);
    window->cmbBaudRate->setCurrentIndex(1);
    window->cmbPagerType->setCurrentIndex(1);
    Click(window->cmdProgram);
    EXPECT_EQ(Sent(), (Lines{"?V", "SM3", "PC20001234", "PM2Room 12 & 13"}));
    EXPECT_EQ(Text(window->txtCapcode[1]), "0001235");
    EXPECT_EQ(window->prgProgress->value(), 5);
    EXPECT_EQ(window->prgProgress->maximum(), 5);
    EXPECT_EQ(Info(), "Done !");

    // A refused capcode is not incremented, and its message is still written.
    Refuse("PC2");
    Click(window->cmdProgram);
    EXPECT_EQ(Text(window->txtCapcode[1]), "0001235");
    EXPECT_EQ(Sent().back(), "PM2Room 12 & 13");
    EXPECT_EQ(Info(), "Done ! - 1 item(s) failed.");

    // A pendant that no longer answers: the link message and "Canceled !".
    Unplug();
    Click(window->cmdProgram);
    EXPECT_EQ(harness.messages.texts().back().rfind("Communication with the ", 0), 0u);
    EXPECT_EQ(Info(), "Canceled !");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(PendantProgrammer, AMessageHoldingALineBreakGoesOutAsOneCommandWithASpace)
{
    Click(window->cmdRead);
    Sent();
    window->chkProgramCapcode[0]->setChecked(true);
    Type(window->txtCapcode[0], "1234");
    window->txtMessage[0]->setText(QStringLiteral("FIRE\rP999X\t\x7f"));
    Click(window->cmdProgram);
    EXPECT_EQ(Sent(), (Lines{"?V", "PC10001234", "PM1FIRE P999X  "}));
    EXPECT_EQ(Info(), "Done !");
}

TEST_F(PendantProgrammer, ChecksBeforeTheRunRefuseAndPutTheFocusOnTheFieldAtFault)
{
    Key(KS_GEN_PendantProgrammer::kRadioServiceKey);
    const std::string range = "The entered frequency is not supported by this device. Please enter a frequency "
                              "between 80 MHz and 950 MHz.";
    const std::string raster = "The entered frequency seems to be invalid (division by 6.25 kHz does not return an "
                               "integer number).\r\nAre you sure you want to continue?";
    const struct {
        const char* frequency;
        int power;
        int deviation;
        const char* capcode; // ticked in the first row
        std::string message;
        QWidget* focus;
    } cases[] = {
        {"", 1, 4, nullptr, "Please enter a valid frequency.", window->txtFrequency},
        {"1000", 1, 4, nullptr, "Please enter a valid frequency.", window->txtFrequency},
        {"79.9999", 1, 4, nullptr, range, window->txtFrequency},
        {"467.8010", 1, 4, nullptr, raster, window->txtFrequency}, // answered No
        {"467.8000", -1, 4, nullptr, "Please select power level.", window->cmbPower},
        {"467.8000", 1, -1, nullptr, "Please select deviation value.", window->cmbDeviation},
        {"467.8000", 1, 4, "0000007", "Capcode must be in the range of 0000008 to 2097151.", window->txtCapcode[0]},
        {"467.8000", 1, 4, "0001234", "The model of the pendant is not known. Please read the pendant before "
                                      "programming its capcodes.", window->cmdRead},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Type(window->txtFrequency, c.frequency);
        window->cmbPower->setCurrentIndex(c.power);
        window->cmbDeviation->setCurrentIndex(c.deviation);
        window->chkProgramCapcode[0]->setChecked(c.capcode != nullptr);
        Type(window->txtCapcode[0], c.capcode ? c.capcode : "");
        window->chkProgramBaudType->setFocus();
        Click(window->cmdProgram, kAnswerNo);
        EXPECT_EQ(harness.messages.texts().back(), c.message);
        EXPECT_EQ(window->focusWidget(), c.focus);
        EXPECT_TRUE(Sent().empty());
    }
}

TEST_F(PendantProgrammer, TheServiceKeysOpenTheSerialNumberAndTheRadioSettingsToTheRun)
{
    // A locked box is light grey, unlike the frame it sits in; unlocked it is white.
    const auto background = [](QLineEdit* box) { return box->palette().color(QPalette::Base); };
    EXPECT_EQ(background(window->txtSerialNumber), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(background(window->txtFrequency), QColor(0xE0, 0xE0, 0xE0));
    Key(KS_GEN_PendantProgrammer::kRadioServiceKey);
    Key();
    EXPECT_EQ(background(window->txtSerialNumber), window->style()->standardPalette().color(QPalette::Base));
    EXPECT_FALSE(window->cmdReset->isHidden());
    Type(window->txtSerialNumber, "99");
    window->chkSNAutoIncrement->setChecked(true);
    Type(window->txtFrequency, "457.5500");
    window->cmbPower->setCurrentIndex(8);
    window->cmbDeviation->setCurrentIndex(2);
    Click(window->cmdProgram);
    EXPECT_EQ(Sent(), (Lines{"?V", "PI00000099", "PF4575500", "PP9", "PD3"}));
    EXPECT_EQ(Text(window->txtSerialNumber), "00000100");
    EXPECT_EQ(window->prgProgress->maximum(), 4);
}

TEST_F(PendantProgrammer, AResetReadsTheIdentityAndAppliesTheNormalModeRule)
{
    const struct {
        const char* model;
        const char* version;
        bool normalMode;
    } cases[] = {
        {"PDX-01", "1.90", true}, {"PDX-01", "2.00", false}, {"PDX-03", "2.05", true},
        {"PDX-03", "2.10", false}, {"PDX-02", "1.00", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.version);
        Use(std::make_shared<sim::PendantDevice>(c.model, c.version));
        harness.messages.Answer(kAnswerYes);
        Click(window->cmdReset);
        Lines expected{"?V", "?VM", "?XR"};
        if (c.normalMode)
            expected.push_back("XT");
        EXPECT_EQ(Sent(), expected);
        EXPECT_EQ(Text(window->txtVersion), c.version);
        EXPECT_EQ(device->ResetCount(), 1);
    }

    // Cancel at the button prompt: the not-updated warning, nothing sent.
    harness.messages.Answer(kAnswerYes);
    Click(window->cmdReset, kAnswerCancel);
    EXPECT_EQ(harness.messages.texts().back().rfind("Connection to ", 0), 0u);
    // Ten unanswered probes end the reset without a word.
    Unplug();
    const std::size_t shown = harness.messages.shown().size();
    harness.messages.Answer(kAnswerYes);
    Click(window->cmdReset);
    EXPECT_EQ(harness.messages.shown().size(), shown + 2); // the question and the button prompt
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(device->ResetCount(), 1);
    EXPECT_TRUE(window->cmdReset->isEnabled());
    EXPECT_EQ(window->focusWidget(), window->txtVersion);
}

TEST(PendantRules, CodesAndRepliesAsThePendantSpeaksThem)
{
    const struct {
        const char* code;
        const char* baud;
        const char* type;
    } codes[] = {{"0", "512", "AlphaNumeric"}, {"1", "1200", "AlphaNumeric"}, {"2", "512", "Numeric"},
                 {"3", "1200", "Numeric"},     {"7", "512", "AlphaNumeric"},  {"", "512", "AlphaNumeric"}};
    for (const auto& c : codes) {
        EXPECT_STREQ(PendantBaudTypeFromCode(c.code).baud, c.baud) << c.code;
        EXPECT_STREQ(PendantBaudTypeFromCode(c.code).pagerType, c.type) << c.code;
        if (*c.code && *c.code < '4') {
            EXPECT_EQ(PendantBaudTypeCode(c.baud, c.type), c.code);
        }
    }
    EXPECT_EQ(PendantBaudTypeCode("9600", "Numeric"), "0");
    EXPECT_EQ(PendantMessageText(std::string("a\0b  **\r", 8)), "ab");
    EXPECT_EQ(PendantMessageText("text  *"), std::nullopt);
    EXPECT_EQ(PendantReplyValue("ZORPDX*x*\r"), "ZORPDX");
    EXPECT_EQ(PendantModelFromTag("ZORMUL ZORPDX"), "PDX-03");
    EXPECT_EQ(PendantModelFromTag("PDX-01"), "N/A");
}
