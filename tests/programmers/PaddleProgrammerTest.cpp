// The paddle's window against the simulated paddle.
#include <QComboBox>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

#include "KS_GEN_PaddleProgrammer.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_ProgrammerWindows.h"
#include "KS_WindowRegistry.h"
#include "ProgrammerFixture.h"


namespace {

const std::string kPressButton = "Press the Paddle button once.\r\nPress Ok when ready.\r\n";
const std::string kCapcodeRange = "Capcode must be in the range of 0000008 to 2097151.";

struct PaddleProgrammer : ProgrammerFixture<KS_GEN_PaddleProgrammer, sim::PaddleDevice> {
    void Tick(QCheckBox* box) { box->setChecked(true); }
};

} // namespace

TEST_F(PaddleProgrammer, DigitBoxesArePaddedToTheirLengthOnLeaving)
{
    for (const auto& [box, typed, left] : {std::tuple{window->txtCapcode[0], "8", "0000008"},
                                           {window->txtIncrement[1], "5", "05"}, {window->txtIncrement[2], "", "00"}}) {
        Type(box, typed);
        Leave(box);
        EXPECT_EQ(box->text().toStdString(), left);
    }
}

TEST_F(PaddleProgrammer, ProgrammingWithNothingTickedOnlySwitchesBackToNormalMode)
{
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();
    EXPECT_EQ(harness.messages.texts(), std::vector<std::string>{kPressButton});
    EXPECT_EQ(Sent(), Lines{"XT"});
    EXPECT_EQ(Info(), "Done !");
    EXPECT_EQ(window->prgProgress->value(), 4);
    EXPECT_EQ(window->prgProgress->maximum(), 4);
    EXPECT_TRUE(window->prgProgress->isHidden());
    EXPECT_TRUE(window->cmdProgram->isEnabled());
    EXPECT_FALSE(device->ProgrammingMode());

    // A paddle that does not take "XT" is marked, and the run still ends.
    WatchInfo();
    Refuse("XT");
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();
    EXPECT_TRUE(InfoShown("Switching to Normal Mode... - Failed."));
    EXPECT_EQ(Info(), "Done ! - 1 item(s) failed.");
}

TEST_F(PaddleProgrammer, AProgramRunWritesTheTickedItemsAndIncrementsOnlyAcknowledgedCapcodes)
{
    Tick(window->chkProgramBaudMode);
    window->cmbPagerType->setCurrentIndex(3);
    Tick(window->chkProgramCapcode[0]);
    Type(window->txtCapcode[0], "12345");
    Tick(window->chkAutoIncrement[0]);
    Type(window->txtIncrement[0], "05");
    Tick(window->chkProgramCapcode[2]);
    Type(window->txtCapcode[2], "2097150");
    Tick(window->chkAutoIncrement[2]);
    Tick(window->chkProgramCapcode[3]);
    Type(window->txtCapcode[3], "0000500");
    Tick(window->chkAutoIncrement[3]);
    // The fourth row's write is refused on every try.
    Refuse("PC4");
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();

    EXPECT_EQ(Sent(), (Lines{"PM3", "PC10012345", "PC32097150", "PC40000500", "PC40000500", "PC40000500",
                              "PC40000500", "XT"}));
    EXPECT_EQ(device->Value("M"), "3");
    EXPECT_EQ(device->Value("C1"), "0012345");
    EXPECT_EQ(device->Value("C3"), "2097150");
    EXPECT_EQ(window->txtCapcode[0]->text(), "0012350");
    // Above the range after a successful write; the next Program click refuses it.
    EXPECT_EQ(window->txtCapcode[2]->text(), "2097151");
    EXPECT_EQ(window->txtCapcode[3]->text(), "0000500");
    EXPECT_EQ(Info(), "Done ! - 1 item(s) failed.");
}

TEST_F(PaddleProgrammer, ATickedCapcodeOutsideTheRangeStopsTheRunBeforeThePrompt)
{
    const struct {
        const char* capcode;
        bool ticked;
        bool runs;
    } cases[] = {
        {"2097152", true, false},
        {"0000007", false, true},
        {"2097151", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capcode);
        window->chkProgramCapcode[1]->setChecked(c.ticked);
        Type(window->txtCapcode[1], c.capcode);
        harness.messages.Answer(kAnswerOk); // the prompt, or the range message
        window->cmdProgram->click();
        EXPECT_EQ(harness.messages.shown().back().message, c.runs ? kPressButton : kCapcodeRange);
        EXPECT_EQ(Sent().empty(), !c.runs);
    }
}

TEST_F(PaddleProgrammer, AReadFillsTheVersionThePagerTypeAndTheCapcodes)
{
    device->SetValue("V", "PDL-1 Ver.2.10 (Mar 2026)");
    device->SetValue("M", "2");
    device->SetValue("C1", "0012345");
    device->SetValue("C4", "2097151");
    harness.messages.Answer(kAnswerOk);
    window->cmdRead->click();
    EXPECT_EQ(Sent(), (Lines{"?V", "?M", "?C1", "?C2", "?C3", "?C4", "XT"}));
    EXPECT_EQ(window->txtVersion->text(), "2.10");
    EXPECT_EQ(window->cmbPagerType->currentText(), "Vibrate Only, 512 bps");
    EXPECT_EQ(window->txtCapcode[0]->text(), "0012345");
    EXPECT_EQ(window->txtCapcode[1]->text(), "0000000");
    EXPECT_EQ(window->txtCapcode[3]->text(), "2097151");
    EXPECT_TRUE(harness.Reported("Ready", false));
    EXPECT_TRUE(window->lblInfo->isHidden());

    // A pager type the list does not have, a version text with nothing
    // between "Ver" and "(", and a refused capcode query (twice).
    device->SetValue("M", "7");
    device->SetValue("V", "PDL Ver(2)");
    Refuse("?C1");
    harness.messages.Answer(kAnswerOk);
    window->cmdRead->click();
    EXPECT_EQ(window->txtVersion->text(), "N/A");
    EXPECT_EQ(window->cmbPagerType->currentText(), "Tone Only, 512 bps");
    EXPECT_EQ(window->txtCapcode[0]->text(), "0000000");
}

TEST_F(PaddleProgrammer, EveryReadWakesThePaddleWithACarriageReturn)
{
    // Each answer comes only after the bare CR that follows an unanswered try.
    harness.engine.AddFault({.kind = sim::FaultKind::AfterPoke, .pattern = R"(\?(V|M|C[1-4]))",
                             .match = sim::MatchMode::Regex, .times = 0});
    device->SetValue("V", "PDL-1 Ver.2.10 (Mar 2026)");
    device->SetValue("M", "3");
    device->SetValue("C2", "0004321");
    const std::size_t from = harness.engine.Transcript().size();
    harness.messages.Answer(kAnswerOk);
    window->cmdRead->click();
    EXPECT_EQ(window->txtVersion->text(), "2.10");
    EXPECT_EQ(window->cmbPagerType->currentText().toStdString(), "Vibrate Only, 1200 bps");
    EXPECT_EQ(window->txtCapcode[1]->text().toStdString(), "0004321");
    std::string sent;
    for (std::size_t i = from; i < harness.engine.Transcript().size(); ++i)
        if (harness.engine.Transcript()[i].fromHost)
            sent += harness.engine.Transcript()[i].bytes;
    EXPECT_NE(sent.find("?V\r\r?M\r\r?C1\r\r?C2\r\r?C3\r\r?C4\r\rXT\r"), std::string::npos) << sent;
    EXPECT_EQ(harness.messages.shown().size(), 1u);
}

TEST_F(PaddleProgrammer, AReadThatGotNoItemFromTheUnitOnTheLeadEndsWithTheWarning)
{
    // A clock on the lead: its version is no paddle's, the rest is "?99".
    harness.engine.SetDevice(std::make_shared<sim::ClockDevice>("RL-CLK", "2.17"));
    WatchInfo();
    harness.messages.AnswerAlways(kAnswerOk);
    window->cmdRead->click();
    const auto texts = harness.messages.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].rfind("Connection to ", 0), 0u) << texts[1];
    // Ten queries (a capcode is asked twice), each shown while its tries run.
    EXPECT_TRUE(InfoShown("Reading item 1..."));
    EXPECT_TRUE(InfoShown("Reading item 10..."));
    EXPECT_EQ(Info(), "");
    EXPECT_TRUE(window->lblInfo->isHidden());
}

TEST_F(PaddleProgrammer, EveryReadCountsItsItemsFromOne)
{
    harness.messages.AnswerAlways(kAnswerOk);
    WatchInfo();
    for (int read = 1; read <= 2; ++read) {
        SCOPED_TRACE(read);
        infoSeen.clear();
        window->cmdRead->click();
        const auto first = std::find_if(infoSeen.begin(), infoSeen.end(),
                                        [](const std::string& t) { return t.starts_with("Reading item"); });
        ASSERT_NE(first, infoSeen.end());
        EXPECT_EQ(*first, "Reading item 1...");
        EXPECT_TRUE(InfoShown("Reading item 6..."));
        EXPECT_FALSE(InfoShown("Reading item 7..."));
    }
}

TEST_F(PaddleProgrammer, APaddleThatDoesNotAnswerIsReportedPerRun)
{
    Unplug();
    // Read: the not-updated warning. Program: the link message and "Canceled !".
    harness.messages.Answer(kAnswerOk);
    harness.messages.Answer(kAnswerOk);
    window->cmdRead->click();
    harness.messages.Answer(kAnswerOk);
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram->click();
    const auto texts = harness.messages.texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1].rfind("Connection to ", 0), 0u);
    EXPECT_EQ(texts[3].rfind("Communication with the ", 0), 0u);
    EXPECT_EQ(Info(), "Canceled !");
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(window->cmdRead->isEnabled());
    // Cancel at the read prompt shows nothing more.
    harness.messages.Answer(kAnswerCancel);
    window->cmdRead->click();
    EXPECT_EQ(harness.messages.shown().size(), 5u);
}

TEST_F(PaddleProgrammer, AResetAsksTwiceAndSendsTheFactoryResetAndNormalMode)
{
    harness.messages.Answer(kAnswerNo);
    window->cmdReset->click();
    EXPECT_TRUE(Sent().empty());

    harness.messages.Answer(kAnswerYes);
    harness.messages.Answer(kAnswerCancel);
    harness.messages.Answer(kAnswerOk); // the not-updated warning
    window->cmdReset->click();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(harness.messages.texts().back().rfind("Connection to ", 0), 0u);

    device->SetValue("C1", "1234567");
    harness.messages.Answer(kAnswerYes);
    harness.messages.Answer(kAnswerOk);
    harness.messages.Answer(kAnswerOk); // release the button
    window->cmdReset->click();
    EXPECT_EQ(harness.messages.texts().back(), "Release Paddle button.");
    EXPECT_EQ(Sent(), (Lines{"?XR", "XT"}));
    EXPECT_EQ(device->Value("C1"), "0000000");
    EXPECT_EQ(device->ResetCount(), 1);
}

TEST(ProgrammerWindows, TheMenuOpensAProgrammerModallyAndClosingItEnablesTheMainWindow)
{
    ConsoleHarness harness;
    KS_MainForm& form = harness.Load();
    RegisterProgrammerWindows();
    bool disabledWhileOpen = false;
    int openDuring = 0;
    QTimer::singleShot(0, &form, [&] {
        auto* window = form.findChild<KS_GEN_PaddleProgrammer*>("KS_GEN_PaddleProgrammer");
        ASSERT_NE(window, nullptr);
        disabledWhileOpen = form.OpenerDisabled() && !form.menuBar()->isEnabled();
        openDuring = gDeviceWindowsOpen;
        // The toolbar repeats the command buttons by their names.
        ASSERT_NE(window->tlbMenu->findChild<QAction*>("cmdClose"), nullptr);
        window->tlbMenu->findChild<QAction*>("cmdClose")->trigger();
    });
    form.mnuDevicesProgrammersOptions_Click(6);
    EXPECT_TRUE(disabledWhileOpen);
    EXPECT_EQ(openDuring, 1);
    EXPECT_FALSE(form.OpenerDisabled());
    EXPECT_TRUE(form.menuBar()->isEnabled());
    EXPECT_EQ(gDeviceWindowsOpen, 0);
}

TEST(ProgrammerWindows, EveryVersionBoxShowsNAUntilAReadFindsAVersion)
{
    ConsoleHarness harness;
    KS_MainForm& form = harness.Load();
    RegisterProgrammerWindows();
    for (const std::string_view name : {FormName::PaddleProgrammer, FormName::ClockProgrammer,
                                        FormName::PendantProgrammer, FormName::TimeReceiverProgrammer}) {
        QPointer<KS_ProgrammerFrame> window = static_cast<KS_ProgrammerFrame*>(CreateRegisteredWindow(name, &form));
        form.OpenOwnedWindow(window, false);
        EXPECT_EQ(window->txtVersion->text(), "N/A") << name;
        window->close();
    }
}

// Exit cuts the run's probe short; the run then tells no link failure on the way out.
TEST_F(PaddleProgrammer, ExitChosenWhileARunWaitsForItsProbeShowsNoLinkFailure)
{
    Unplug();
    harness.messages.Answer(kAnswerOk); // the button prompt
    ExitFromTheTrayWhen([] { return true; });
    window->cmdProgram->click();
    InstallTickPump();
    QCoreApplication::processEvents();
    ASSERT_TRUE(exitChosen);
    EXPECT_EQ(harness.messages.texts(), std::vector<std::string>{kPressButton});
    EXPECT_FALSE(form.comUnitConnect->PortOpen());
}
