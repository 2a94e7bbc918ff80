// The database programmer against the simulated encoder.
#include <QAction>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTest>

#include "ConsoleHarness.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_GEN_DBProgrammer.h"
#include "KS_GEN_UserAdd.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_Toolbar.h"

namespace {

sim::Fault refuse(const char* prefix) { return {sim::FaultKind::Refuse, prefix, sim::MatchMode::Prefix, 5, {}, 0, 0}; }

struct DBProgrammer : testing::Test {
    KS_GEN_DBProgrammer& open(char model, const char* from, const char* to)
    {
        harness.engine.SetModel(model);
        harness.Load();
        KS_GEN_DBProgrammer& window = openWindow();
        window.txtPagerFrom->setText(from);
        window.txtPagerTo->setText(to);
        return window;
    }
    // The unit says nothing from the start until the test clears the faults.
    KS_GEN_DBProgrammer& openWhileTheUnitIsSilent(char model)
    {
        harness.engine.SetModel(model);
        SilenceEveryLine(harness.engine);
        harness.messages.Answer(kAnswerOk); // the start-up's link notice
        harness.Load();
        return openWindow();
    }
    KS_GEN_DBProgrammer& openWindow()
    {
        auto* window = new KS_GEN_DBProgrammer(&harness.form());
        harness.form().OpenOwnedWindow(window, false); // as the Devices menu opens it
        return *window;
    }
    ConsoleHarness harness;
};

} // namespace

TEST_F(DBProgrammer, ARunShowsItsProgressAndReloadsTheListOnlyWhenItReachesTheEnd)
{
    KS_GEN_DBProgrammer& w = open('A', "001", "005");
    EXPECT_FALSE(harness.form().centralWidget()->isEnabled());
    harness.engine.AddFault(refuse("A003"));
    QString labelAtRefusal;
    bool openAtRefusal = true;
    SetMessageAnswerHook([&](const MessageRequest&) -> std::optional<MessageAnswer> {
        labelAtRefusal = w.lblInfo->text();
        openAtRefusal = OpenToOperator(&w); // F1 there would open no help
        return MessageAnswer{kAnswerNo, false};
    });
    w.cmdProgram_Click();
    EXPECT_EQ(labelAtRefusal, "Programming...002/5"); // the pagers done against the range
    EXPECT_FALSE(openAtRefusal);
    EXPECT_TRUE(OpenToOperator(&w));
    EXPECT_EQ(w.lblInfo->text(), "Canceled !");
    EXPECT_FALSE(w.prgProgProgress->isVisible());
    EXPECT_EQ(harness.form().lvwUsers->topLevelItemCount(), 0); // not reloaded

    harness.engine.ClearFaults();
    w.txtUserName->setText("  Ward ");
    w.cmdProgram_Click();
    EXPECT_EQ(w.lblInfo->text(), "Done !");
    EXPECT_EQ(Trim(StoredUser(5).UserName), "Ward");
    EXPECT_EQ(harness.form().lvwUsers->topLevelItemCount(), 5);
    w.cmdClose_Click();
    EXPECT_TRUE(harness.form().centralWidget()->isEnabled());
}

TEST_F(DBProgrammer, ABackwardRangeAndCapcodesBeyondSevenDigitsAreRefusedBeforeAnythingIsWritten)
{
    KS_GEN_DBProgrammer& w = open('X', "010", "005");
    harness.messages.Answer(kAnswerOk);
    w.cmdProgram_Click();
    EXPECT_EQ(harness.messages.texts().back(), "To Pager is not valid. Please confirm To Pager.");

    w.txtPagerFrom->setText("001");
    w.txtPagerTo->setText("003");
    w.txtCapCodeFrom->setText("9999990");
    w.txtCapCodeInc->setText("5");
    harness.messages.Answer(kAnswerOk);
    w.cmdProgram_Click();
    EXPECT_NE(harness.messages.texts().back().find("10000000"), std::string::npos);
    for (const auto& line : harness.HostLines())
        EXPECT_NE(line[0], 'A') << line;
    EXPECT_EQ(StoredUser(1).InUse, "N");

    // Ending exactly on the last seven-digit capcode is fine.
    const std::size_t boxes = harness.messages.shown().size();
    w.txtCapCodeFrom->setText("9999989");
    w.cmdProgram_Click();
    EXPECT_EQ(harness.messages.shown().size(), boxes);
    EXPECT_EQ(StoredUser(3).Capcode, "9999999");
}

TEST_F(DBProgrammer, OnTheQX7AFirstNumberAboveNineHundredMakesEveryPagerAGroupPager)
{
    KS_GEN_DBProgrammer& w = open('G', "905", "906");
    EXPECT_FALSE(w.chkPagerIsGroup->isEnabled());
    w.txtPagerFrom_LostFocus();
    EXPECT_TRUE(w.chkPagerIsGroup->isChecked());
    EXPECT_EQ(w.cmbGroup->currentText(), "05");
    harness.messages.Answer(kAnswerNo); // the reserved range: nothing is done
    w.cmdProgram_Click();
    EXPECT_EQ(harness.messages.shown().size(), 1u);
    EXPECT_EQ(StoredUser(905).InUse, "N");
}

TEST_F(DBProgrammer, TheCapcodeIncrementShowsOnceWithItsArrowsAgainstTheBox)
{
    KS_GEN_DBProgrammer& w = open('A', "001", "001");
    std::vector<std::string> showing;
    for (const QLineEdit* box : w.findChildren<QLineEdit*>())
        if (box->isVisible() && box->width() > 0 && box->text() == "1")
            showing.push_back(box->objectName().toStdString());
    EXPECT_EQ(showing, std::vector<std::string>{"txtCapCodeInc"});
    EXPECT_EQ(w.updCapcodeInc->geometry().left(), w.txtCapCodeInc->geometry().right() + 1);
    w.updCapcodeInc->stepUp();
    EXPECT_EQ(w.txtCapCodeInc->text(), "2");
}

TEST_F(DBProgrammer, TheRunStepsByTheIncrementTheBoxShowsAndTheArrowsStepFromATypedNumber)
{
    KS_GEN_DBProgrammer& w = open('A', "001", "002");
    w.txtCapCodeInc->setText("50");
    w.updCapcodeInc->stepUp();
    EXPECT_EQ(w.txtCapCodeInc->text(), "51");

    // Run from the toolbar, which never takes the focus from the box.
    w.txtCapCodeFrom->setText("0000010");
    w.txtCapCodeInc->setFocus();
    w.txtCapCodeInc->setText("500");
    ToolbarAction(w.tlbMenu, "cmdProgram")->trigger();
    EXPECT_EQ(w.lblInfo->text(), "Done !");
    EXPECT_EQ(w.txtCapCodeInc->text(), "100");
    EXPECT_EQ(StoredUser(2).Capcode, "0000110");
    w.cmdClose_Click();
}

TEST_F(DBProgrammer, ProgramShowsDisabledWhileAScheduledPageHoldsTheLine)
{
    KS_GEN_DBProgrammer& w = open('A', "001", "001");
    bool enabledThen = true;
    harness.ActAtYield(5, [&] {
        enabledThen = w.cmdProgram->isEnabled() || ToolbarAction(w.tlbMenu, "cmdProgram")->isEnabled();
    });
    PageRequest scheduled;
    scheduled.SetPagerNo("001");
    harness.form().SendPageToPager(scheduled);
    EXPECT_FALSE(enabledThen);
    EXPECT_TRUE(w.cmdProgram->isEnabled());
    w.cmdClose_Click();
}

TEST_F(DBProgrammer, OpenedAfterASilentStartItFollowsTheUnitThatAnswersNow)
{
    harness.engine.SetModel('X');
    SilenceEveryLine(harness.engine);
    harness.messages.Answer(kAnswerOk); // the start-up's link notice
    harness.Load();
    harness.engine.ClearFaults();
    KS_GEN_DBProgrammer* window = &openWindow();
    EXPECT_FALSE(window->chkPagerIsGroup->isEnabled());
    EXPECT_EQ(window->cmbGroupFirst->itemText(1), "01");
    window->cmdClose_Click();
}

TEST_F(DBProgrammer, AUnitThatAnswersOnlyAtProgramIsIdentifiedFirstTheOperatorIsToldAndNothingGoesOut)
{
    KS_GEN_DBProgrammer* window = &openWhileTheUnitIsSilent('X');
    window->cmbGroupFirst->setCurrentText("B"); // a letter-code group: no unit's lists yet
    harness.engine.ClearFaults();
    harness.HostLines();
    harness.messages.Answer(kAnswerOk);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    window->txtPagerTo->setFocus();
    window->cmdProgram_Click();
    // The greying of the identification gives the caret back where it found it.
    EXPECT_EQ(window->focusWidget(), window->txtPagerTo);
    EXPECT_EQ(gEncoderModelLetter, "X");
    EXPECT_EQ(harness.messages.texts().back(), "Connected to QX9860, which does not offer 1st group \"B\". "
                                               "Please choose again and press Program again.");
    for (const auto& line : harness.HostLines())
        EXPECT_TRUE(line[0] != 'A' && line[0] != 'D') << line;
    EXPECT_EQ(StoredUser(1).InUse, "N");
    EXPECT_EQ(window->cmbGroupFirst->itemText(1), "01");
    window->cmdClose_Click();
}

// A group tick made by a letter-code unit's rules, on a unit that locks the
// box: dropped and named, never left ticked and greyed, and no user of the
// range gets the group flag.
TEST_F(DBProgrammer, AGroupTickTheUnitAnsweringAtProgramLacksIsDroppedAndNamedAndNoUserGetsTheGroupFlag)
{
    KS_GEN_DBProgrammer* window = &openWhileTheUnitIsSilent('X');
    window->chkPagerIsGroup->setChecked(true);
    window->cmbGroup->setCurrentText("B");
    harness.engine.ClearFaults();
    harness.messages.Answer(kAnswerOk);
    window->cmdProgram_Click();
    EXPECT_EQ(harness.messages.texts().back(), "Connected to QX9860, which does not offer \"Set as a Group Pager\", "
                                               "Group \"B\". Please choose again and press Program again.");
    EXPECT_FALSE(window->chkPagerIsGroup->isChecked());
    EXPECT_FALSE(window->cmbGroup->isEnabled());
    EXPECT_EQ(StoredUser(1).InUse, "N");
    window->cmdProgram_Click();
    EXPECT_EQ(StoredUser(1).InUse + StoredUser(1).GroupFlag, "YI");
    window->cmdClose_Click();
}

TEST_F(DBProgrammer, AUnitThatAnswersOnlyAtProgramKeepsTheOperatorsChoicesAndIsProgrammedWithThemAtOnce)
{
    KS_GEN_DBProgrammer* window = &openWhileTheUnitIsSilent('A');
    window->cmbPagerType->setCurrentText("AlphaNumeric");
    window->cmbPagerFormat->setCurrentText("GOLAY");
    window->cmbPagerBaud->setCurrentText("1200");
    window->cmbPagerMode->setCurrentText("2");
    window->cmbGroupFirst->setCurrentText("C");
    window->cmbGroupFourth->setCurrentText("F");
    harness.engine.ClearFaults();
    window->cmdProgram_Click();
    EXPECT_EQ(gEncoderModelLetter, "A");
    EXPECT_EQ(window->lblInfo->text(), "Done !");
    const PagerRecord stored = StoredUser(1);
    EXPECT_EQ(stored.PagerType + stored.Format + stored.Baud + stored.Mode + stored.Group1 + stored.Group4, "AG12CF");
    EXPECT_EQ(harness.engine.Users().at(1).substr(22, 7), "C  FAG!"); // baud 1 and mode 2 as the code 33
    window->cmdClose_Click();
}

// A letter-code unit answering at Program offers the group tick: it and its group are kept.
TEST_F(DBProgrammer, AGroupTickALetterCodeUnitAnsweringAtProgramOffersIsKept)
{
    KS_GEN_DBProgrammer* window = &openWhileTheUnitIsSilent('A');
    window->chkPagerIsGroup->setChecked(true);
    window->cmbGroup->setCurrentText("B");
    harness.engine.ClearFaults();
    window->cmdProgram_Click();
    EXPECT_TRUE(harness.messages.texts().size() == 1) << harness.messages.texts().back(); // the start-up's notice only
    EXPECT_EQ(StoredUser(1).GroupFlag + StoredUser(1).Group1, "GB");
    window->cmdClose_Click();
}

TEST_F(DBProgrammer, WhileNoUnitAnswersARangeGetsTheCodesOfTheLastUnitIdentified)
{
    KS_GEN_DBProgrammer& w = open('X', "010", "011");
    SilenceEveryLine(harness.engine); // the unit went away
    w.cmbPagerType->setCurrentText("Voice");
    w.cmbGroupFirst->setCurrentText("05");
    harness.messages.Answer(kAnswerYes); // each pager to the hard drive only
    harness.messages.Answer(kAnswerYes);
    w.cmdProgram_Click();
    EXPECT_EQ(gEncoderModelLetter, "N/A");
    for (const int pager : {10, 11})
        EXPECT_EQ(StoredUser(pager).PagerType + StoredUser(pager).Group1, "3%"); // group 5 offset by 32
    w.cmdClose_Click();
}

// The unit the lists were filled for, and the one that answers when the
// choices go out, in both windows that send them: a group tick the answering
// unit lacks is named and dropped, nothing is sent, and the next press sends
// the pagers as individual ones; a unit that offers the tick keeps it.
TEST(GroupTickAtSending, IsCheckedAgainstTheUnitThatAnswersWhicheverUnitWasKnownBefore)
{
    const struct {
        char before; // 0: no unit answered until the choices went out
        char after;
        const char* model;
        bool kept;
    } cases[] = {
        {0, 'X', "QX9860", false}, {'A', 'A', "QX8140", true}, {'A', 'B', "QX8240", true},
        {'A', 'X', "QX9860", false}, {'A', 'G', "QX7560", false}, // pager 200 is no QX7XXX group pager
    };
    for (const auto& c : cases) {
        for (const bool userDialog : {false, true}) {
            SCOPED_TRACE(std::string(1, c.before ? c.before : '-') + c.after + (userDialog ? " dialog" : " programmer"));
            ConsoleHarness harness;
            harness.engine.SetModel(c.before ? c.before : c.after);
            if (!c.before) {
                // Nor any before it: no unit's codes are remembered either.
                for (const char* setting : {"Last Encoder Model", "Last Encoder Family"})
                    SaveConfigSetting(setting, "");
                gLastEncoderModelLetter.clear();
                gLastEncoderFamily.clear();
                SilenceEveryLine(harness.engine);
                harness.messages.Answer(kAnswerOk); // the start-up's link notice
            }
            KS_MainForm& form = harness.Load();
            KS_GEN_UserAdd* dialog = nullptr;
            KS_GEN_DBProgrammer* programmer = nullptr;
            QCheckBox* tick = nullptr;
            if (userDialog) {
                form.cmdAdd_Click();
                dialog = form.findChild<KS_GEN_UserAdd*>();
                dialog->txtUserID->setText("200");
                dialog->txtCapcode->setText("0001234");
                tick = dialog->chkPagerIsGroup;
                tick->setChecked(true);
                dialog->cmbGroup->setCurrentText("B");
            } else {
                programmer = new KS_GEN_DBProgrammer(&form);
                form.OpenOwnedWindow(programmer, false);
                programmer->txtPagerFrom->setText("200");
                programmer->txtPagerTo->setText("203");
                tick = programmer->chkPagerIsGroup;
                tick->setChecked(true);
                programmer->cmbGroup->setCurrentText("B");
            }
            ASSERT_TRUE(tick->isChecked() && tick->isEnabled());
            harness.engine.ClearFaults();
            harness.engine.SetModel(c.after);
            if (userDialog && c.before) {
                // Something else (a scheduled page, the hourly clock) identifies the new unit meanwhile.
                const LinkConversation conversation;
                DetectEncoder();
            }
            harness.HostLines();
            const auto send = [&] { userDialog ? dialog->cmdOk_Click() : programmer->cmdProgram_Click(); };
            const std::size_t boxes = harness.messages.texts().size();
            harness.messages.Answer(kAnswerOk);
            send();
            if (c.kept) {
                EXPECT_EQ(harness.messages.texts().size(), boxes);
                EXPECT_EQ(StoredUser(200).GroupFlag + StoredUser(200).Group1, "GB");
                continue;
            }
            EXPECT_EQ(harness.messages.texts().size(), boxes + 1);
            if (harness.messages.texts().size() != boxes + 1)
                continue;
            EXPECT_EQ(harness.messages.texts().back(),
                      "Connected to " + std::string(c.model) + ", which does not offer \"Set as a Group Pager\", "
                          + "Group \"B\". Please choose again and press " + (userDialog ? "OK" : "Program") + " again.");
            EXPECT_FALSE(tick->isChecked());
            EXPECT_EQ(StoredUser(200).InUse, "N");
            for (const std::string& line : harness.HostLines())
                EXPECT_NE(line[0], 'A') << line;
            send();
            EXPECT_EQ(StoredUser(200).InUse + StoredUser(200).GroupFlag, "YI");
        }
    }
}

// Program takes the boxes as leaving them would have left them: a first
// number above 900 still typed in makes the QX7XXX range group pagers.
TEST_F(DBProgrammer, ProgramRunsTheRuleOfTheBoxStillBeingTypedIn)
{
    KS_GEN_DBProgrammer& w = open('G', "905", "906");
    EXPECT_FALSE(w.chkPagerIsGroup->isChecked());
    harness.messages.Answer(kAnswerYes); // the reserved range goes to the computer only
    w.txtPagerFrom->setFocus();
    ToolbarAction(w.tlbMenu, "cmdProgram")->trigger();
    EXPECT_TRUE(w.chkPagerIsGroup->isChecked());
    for (const int pager : {905, 906})
        EXPECT_EQ(StoredUser(pager).InUse + StoredUser(pager).GroupFlag + StoredUser(pager).Group1, "YG\x05");
}

// Program's first step is the identification: the window is shut to the
// operator from there on, so a Close then cannot hide it with the range still
// to go out; and a From left empty is named, never made pager 001.
TEST_F(DBProgrammer, TheIdentificationRunsWithTheWindowShutAndAnEmptyFromIsNamed)
{
    KS_GEN_DBProgrammer& w = open('A', "001", "002");
    bool shut = false;
    harness.ActAtYield(2, [&] {
        shut = !w.cmdClose->isEnabled() && !w.cmdProgram->isEnabled() && BusyPointerShown();
        w.cmdClose_Click();
        w.close();
    });
    w.cmdProgram_Click();
    EXPECT_TRUE(shut);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.lblInfo->text(), "Done !");

    const PagerRecord before = StoredUser(1);
    w.txtPagerFrom->setFocus();
    w.txtPagerFrom->clear();
    harness.messages.Answer(kAnswerOk);
    ToolbarAction(w.tlbMenu, "cmdProgram")->trigger();
    ASSERT_FALSE(harness.messages.texts().empty());
    EXPECT_EQ(harness.messages.texts().back(), "From Pager is not valid. Please confirm From Pager.");
    EXPECT_TRUE(w.txtPagerFrom->text().isEmpty());
    EXPECT_EQ(StoredUser(1).UserName, before.UserName);
    EXPECT_EQ(StoredUser(1).InUse, before.InUse);
    w.cmdClose_Click();
}

// A backward range typed with the caret still in To is the operator's to
// mend: Program, from the toolbar or by its access key, names it and
// programs nothing, never a range of one pager nobody asked for.
TEST_F(DBProgrammer, ABackwardRangeTypedInToIsRefusedWhicheverWayProgramIsGiven)
{
    KS_GEN_DBProgrammer& w = open('A', "010", "");
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const PagerRecord before = StoredUser(10);
    const std::function<void()> ways[] = {
        [&] { QTest::keyClick(w.txtPagerTo, Qt::Key_P, Qt::AltModifier); },
        [&] { ToolbarAction(w.tlbMenu, "cmdProgram")->trigger(); },
    };
    for (const auto& program : ways) {
        SCOPED_TRACE(&program - ways);
        w.txtPagerTo->setFocus();
        w.txtPagerTo->selectAll();
        QTest::keyClicks(w.txtPagerTo, "5");
        harness.HostLines();
        harness.messages.Answer(kAnswerOk);
        const std::size_t boxes = harness.messages.shown().size();
        program();
        ASSERT_TRUE(QTest::qWaitFor([&] { return harness.messages.shown().size() > boxes; }, 2000));
        EXPECT_EQ(harness.messages.texts().back(), "To Pager is not valid. Please confirm To Pager.");
        EXPECT_EQ(w.txtPagerTo->text(), "5");
        for (const auto& line : harness.HostLines())
            EXPECT_NE(line[0], 'A') << line;
        EXPECT_EQ(StoredUser(10).InUse, before.InUse);
    }
    w.cmdClose_Click();
}

// The unit is asked who it is once per Program, and a legacy unit of the
// other family under the same letter counts as another unit: the lists are
// filled again for it before anything goes out.
TEST_F(DBProgrammer, ProgramIdentifiesOnceAndALegacyUnitOfTheOtherFamilyGetsItsOwnLists)
{
    harness.engine.SetLegacyModel(sim::Legacy::QX8);
    harness.Load();
    KS_GEN_DBProgrammer& w = openWindow();
    EXPECT_EQ(w.cmbGroupFirst->itemText(1), "1");
    harness.engine.SetLegacyModel(sim::Legacy::QX7);
    harness.HostLines();
    harness.messages.AnswerAlways(kAnswerOk);
    w.cmdProgram_Click();
    EXPECT_EQ(w.cmbGroupFirst->itemText(1), "01");
    const Lines lines = harness.HostLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "?000M"), 1);
    w.cmdClose_Click();
}

// A one-pager range typed in To is the range the operator meant: a command
// given from To pads it as leaving it would.
TEST_F(DBProgrammer, AOnePagerRangeTypedInToIsPaddedByACommandGivenFromTo)
{
    KS_GEN_DBProgrammer& w = open('A', "010", "");
    w.txtPagerTo->setFocus();
    QTest::keyClicks(w.txtPagerTo, "10");
    QString seen;
    QObject::connect(w.cmdProgram, &QPushButton::clicked, [&] { seen = w.txtPagerTo->text(); });
    harness.messages.AnswerAlways(kAnswerOk);
    ToolbarAction(w.tlbMenu, "cmdProgram")->trigger();
    EXPECT_EQ(seen, "010");
    w.cmdClose_Click();
}

// The window going away with the caret in a box runs none of its box rules:
// they would run on a window half destroyed.
TEST_F(DBProgrammer, DestroyedWithTheCaretInABoxItRunsNoneOfItsBoxRules)
{
    KS_GEN_DBProgrammer& w = open('A', "", "");
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.txtPagerFrom->setFocus();
    w.txtPagerFrom->setText("5");
    bool ruleRan = false;
    QObject watcher;
    QObject::connect(w.txtPagerFrom, &QLineEdit::textChanged, &watcher, [&ruleRan] { ruleRan = true; });
    delete &w;
    EXPECT_FALSE(ruleRan);
}
