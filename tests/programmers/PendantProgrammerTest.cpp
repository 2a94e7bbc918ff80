// The pendant's window against simulated pendants of both generations.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>

#include "KS_GEN_PendantProgrammer.h"
#include "KS_Messages.h"
#include "KS_PendantRules.h"
#include "ProgrammerFixture.h"


namespace {

const std::string kHold = "For PDX-01, press and hold the the Pendant button.\r\n"
                          "For PDX-03, press and hold the the 3rd (from left) Pendant button.\r\n"
                          "Press Ok when ready.\r\n";

struct PendantProgrammer : ProgrammerFixture<KS_GEN_PendantProgrammer, sim::PendantDevice> {
    // The prompt and "Release Pendant button." are answered OK.
    void Read()
    {
        harness.messages.Answer(kAnswerOk);
        harness.messages.Answer(kAnswerOk);
        window->cmdRead->click();
    }
    void Program()
    {
        harness.messages.Answer(kAnswerOk);
        harness.messages.Answer(kAnswerOk);
        window->cmdProgram->click();
    }
    void Use(std::shared_ptr<sim::PendantDevice> pendant) { device = Attach(std::move(pendant)); }
    std::string Text(QLineEdit* box) const { return box->text().toStdString(); }
};

} // namespace

TEST_F(PendantProgrammer, ACurrentPDX01IsReadWithThreeRowsAndStaysInProgrammingMode)
{
    Use(std::make_shared<sim::PendantDevice>("PDX-01", "2.20"));
    device->SetValue("S", "3");
    device->SetValue("C2", "0001234");
    device->SetValue("M2", "text  *");
    window->chkProgramCapcode[3]->setChecked(true);
    Read();
    EXPECT_EQ(Sent(), (Lines{"?V", "?VM", "?I", "?F", "?P", "?D", "?S", "?C1", "?M1", "?C2", "?M2", "?C3", "?M3"}));
    EXPECT_EQ(harness.messages.texts(), (std::vector<std::string>{kHold, "Release Pendant button."}));
    EXPECT_EQ(Text(window->txtVersion), "2.20");
    EXPECT_EQ(Text(window->txtDevice), "PDX-01");
    EXPECT_EQ(Text(window->txtSerialNumber), "00000001");
    EXPECT_EQ(Text(window->txtFrequency), "467.8000");
    EXPECT_FALSE(window->txtFrequency->isHidden());
    EXPECT_EQ(window->cmbPower->currentText(), "2");
    EXPECT_EQ(window->cmbBaudRate->currentText(), "1200");
    EXPECT_EQ(window->cmbPagerType->currentText(), "Numeric");
    EXPECT_EQ(Text(window->txtCapcode[1]), "0001234");
    EXPECT_EQ(Text(window->txtMessage[1]), "text");
    EXPECT_FALSE(window->chkProgramCapcode[3]->isChecked());
    EXPECT_FALSE(window->chkProgramCapcode[3]->isEnabled());
    EXPECT_TRUE(device->ProgrammingMode());
    EXPECT_TRUE(harness.Reported("Downloading Capcode 3", false));
    EXPECT_TRUE(harness.Reported("Ready", false));
}

TEST_F(PendantProgrammer, LegacyPendantsAreKnownByTheirTagAndShowOnlyWhatTheyHave)
{
    // A PDX-01 at 2.10 that names its model: the legacy set, which finds no tag.
    Use(std::make_shared<sim::PendantDevice>("PDX-01", "2.10"));
    Read();
    EXPECT_EQ(Sent(), (Lines{"?V", "?VM", "?SM"}));
    EXPECT_EQ(Text(window->txtDevice), "N/A");
    EXPECT_TRUE(window->txtFrequency->isHidden());
    EXPECT_EQ(Text(window->txtFrequency), "000.0000");

    Use(std::make_shared<sim::PendantDevice>("PDX-03", "Ver. 1.90 (Jun 2009)", true));
    device->SetValue("M4", "Stairs");
    Read();
    EXPECT_EQ(Sent(), (Lines{"?V", "?VM", "?SM", "?C1", "?M1", "?C2", "?M2", "?C3", "?M3", "?C4", "?M4", "XT"}));
    EXPECT_EQ(Text(window->txtDevice), "PDX-03");
    EXPECT_EQ(Text(window->txtVersion), "1.90");
    EXPECT_EQ(Text(window->txtMessage[3]), "Stairs");
    EXPECT_TRUE(window->cmbPower->isHidden());
    EXPECT_FALSE(device->ProgrammingMode());

    // From PDX-01 2.00 on a legacy pendant has its radio settings, the frequency in kHz.
    Use(std::make_shared<sim::PendantDevice>("PDX-01", "Ver. 2.00 (May 2011)", true));
    device->SetValue("F", "4675250");
    Read();
    EXPECT_EQ(Sent(), (Lines{"?V", "?VM", "?I", "?F", "?P", "?D", "?SM", "?C1", "?M1", "?C2", "?M2", "?C3", "?M3"}));
    EXPECT_EQ(Text(window->txtFrequency), "467.5250");
    EXPECT_EQ(Text(window->txtDevice), "PDX-01");
}

TEST_F(PendantProgrammer, ProgrammingASlotWritesItsCapcodeThenItsMessageAndIncrementsOnAcknowledgement)
{
    Read();
    Sent();
    window->chkProgramCapcode[1]->setChecked(true);
    Type(window->txtCapcode[1], "1234");
    Type(window->txtMessage[1], "Room 12 & 13");
    window->chkAutoIncrement[1]->setChecked(true);
    window->chkProgramBaudType->setChecked(true);
    window->cmbBaudRate->setCurrentIndex(1);
    window->cmbPagerType->setCurrentIndex(1);
    Program();
    EXPECT_EQ(harness.messages.texts().at(2), kHold);
    EXPECT_EQ(Sent(), (Lines{"?V", "SM3", "PC20001234", "PM2Room 12 & 13"}));
    EXPECT_EQ(device->Value("M2"), "Room 12 & 13");
    EXPECT_EQ(Text(window->txtCapcode[1]), "0001235");
    EXPECT_EQ(window->prgProgress->maximum(), 5);
    EXPECT_EQ(window->prgProgress->value(), 5);
    EXPECT_EQ(Info(), "Done !");

    // A refused capcode is not incremented, and its message is still written.
    harness.engine.AddFault({.kind = sim::FaultKind::Refuse, .pattern = "PC2", .times = 0});
    Program();
    EXPECT_EQ(Text(window->txtCapcode[1]), "0001235");
    EXPECT_EQ(Sent().back(), "PM2Room 12 & 13");
    EXPECT_EQ(Info(), "Done ! - 1 item(s) failed.");
}

TEST_F(PendantProgrammer, ATickedRowNeedsAKnownModelBeforeThePrompt)
{
    window->chkProgramCapcode[0]->setChecked(true);
    Type(window->txtCapcode[0], "0001234");
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();
    EXPECT_EQ(harness.messages.texts(), std::vector<std::string>{"The model of the pendant is not known. Please read "
                                                                 "the pendant before programming its capcodes."});
    EXPECT_TRUE(Sent().empty());
    // Unticked, the run goes on and ends without writing a row.
    window->chkProgramCapcode[0]->setChecked(false);
    Program();
    EXPECT_EQ(Sent(), Lines{"?V"});
    EXPECT_EQ(Info(), "Done !");
}

TEST_F(PendantProgrammer, TheRadioServiceKeyOpensFrequencyPowerAndDeviationToTheRun)
{
    Read();
    Sent();
    QKeyEvent radio(QEvent::KeyPress, KS_GEN_PendantProgrammer::kRadioServiceKey,
                    KS_GEN_PendantProgrammer::kServiceModifiers);
    QApplication::sendEvent(window.data(), &radio);
    EXPECT_FALSE(window->PowerLocked());
    Type(window->txtFrequency, "");
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();
    EXPECT_EQ(harness.messages.texts().back(), "Please enter a valid frequency.");
    EXPECT_TRUE(Sent().empty());

    // The other combination opens the serial number and the reset.
    QKeyEvent serial(QEvent::KeyPress, KS_GEN_PendantProgrammer::kServiceKey, KS_GEN_PendantProgrammer::kServiceModifiers);
    QApplication::sendEvent(window.data(), &serial);
    EXPECT_FALSE(window->cmdReset->isHidden());
    Type(window->txtSerialNumber, "99");
    window->chkSNAutoIncrement->setChecked(true);
    Type(window->txtFrequency, "457.5500");
    window->cmbPower->setCurrentIndex(8);
    window->cmbDeviation->setCurrentIndex(2);
    Program();
    EXPECT_EQ(Sent(), (Lines{"?V", "PI00000099", "PF4575500", "PP9", "PD3"}));
    EXPECT_EQ(Text(window->txtSerialNumber), "00000100");
    EXPECT_EQ(window->prgProgress->maximum(), 8);
}

TEST_F(PendantProgrammer, AVersionWhoseParenthesisComesTooSoonCountsAsNone)
{
    Use(std::make_shared<sim::PendantDevice>("PDX-03", "Ver.(1.90)", true));
    Read();
    EXPECT_EQ(Text(window->txtVersion), "N/A");
    EXPECT_EQ(Text(window->txtDevice), "PDX-03");
    EXPECT_EQ(Sent().back(), "XT");
}

TEST_F(PendantProgrammer, AResetReadsTheIdentityAndAppliesTheNormalModeRule)
{
    const struct {
        const char* model;
        const char* version;
        bool normalMode;
    } cases[] = {
        {"PDX-01", "1.90", true},
        {"PDX-01", "2.00", false},
        {"PDX-03", "2.05", true},
        {"PDX-03", "2.10", false},
        {"PDX-02", "1.00", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.version);
        Use(std::make_shared<sim::PendantDevice>(c.model, c.version));
        harness.messages.Answer(kAnswerYes);
        harness.messages.Answer(kAnswerOk);
        harness.messages.Answer(kAnswerOk);
        window->cmdReset->click();
        Lines expected{"?V", "?VM", "?XR"};
        if (c.normalMode)
            expected.push_back("XT");
        EXPECT_EQ(Sent(), expected);
        EXPECT_EQ(Text(window->txtVersion), c.version);
        EXPECT_EQ(device->ResetCount(), 1);
        EXPECT_EQ(PendantNeedsNormalMode(c.model, c.version), c.normalMode);
    }
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
    }
    EXPECT_EQ(PendantBaudTypeCode("1200", "Numeric"), "3");
    EXPECT_EQ(PendantBaudTypeCode("512", "Numeric"), "2");
    EXPECT_EQ(PendantBaudTypeCode("9600", "Numeric"), "0");

    EXPECT_EQ(PendantMessageText("text  **\r"), "text");
    EXPECT_EQ(PendantMessageText(std::string("a\0b*\r", 5)), "ab");
    EXPECT_EQ(PendantMessageText("?99\r"), std::nullopt);
    EXPECT_EQ(PendantMessageText("text  *"), std::nullopt);
    EXPECT_EQ(PendantReplyValue("ZORPDX*x*\r"), "ZORPDX");
    EXPECT_EQ(PendantModelFromTag("ZORMUL ZORPDX"), "PDX-03");
    EXPECT_EQ(PendantModelFromTag("ZORMUL"), "PDX-01");
    EXPECT_EQ(PendantModelFromTag("PDX-01"), "N/A");
}
