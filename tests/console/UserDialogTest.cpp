// The user dialog and user deletion against the simulated encoder, per encoder family.
#include <QCoreApplication>
#include <QFocusEvent>
#include <set>
#include <QMenuBar>
#include <QTest>

#include "ConsoleHarness.h"
#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_GEN_UserAdd.h"
#include "KS_Paging.h"
#include "KS_String.h"
#include "KS_Toolbar.h"

using namespace std::string_literals;

namespace {

struct UserDialog : ConsoleOnUnits {
    QTreeWidgetItem* row(const QString& pagerNo)
    {
        const auto rows = harness->form().lvwUsers->findItems(pagerNo, Qt::MatchExactly, 1);
        return rows.isEmpty() ? nullptr : rows.first();
    }
    void select(const QString& pagerNo)
    {
        harness->form().lvwUsers->clearSelection();
        row(pagerNo)->setSelected(true);
    }
    // The console started while the unit was silent; from now on it answers.
    KS_MainForm& loadSilent(char model, const std::vector<TestUser>& users)
    {
        harness = std::make_unique<ConsoleHarness>(users);
        harness->engine.SetModel(model);
        SilenceEveryLine(harness->engine);
        harness->messages.Answer(kAnswerOk); // the start-up's link notice
        KS_MainForm& form = harness->Load();
        harness->engine.ClearFaults();
        return form;
    }
    // The add dialog, or the update dialog for the user.
    KS_GEN_UserAdd* open(const QString& pagerNo = {})
    {
        KS_MainForm& form = harness->form();
        // A closed dialog is deleted once events run; it must not be found instead of the new one.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (pagerNo.isEmpty()) {
            form.cmdAdd_Click();
        } else {
            select(pagerNo);
            form.cmdUpdate_Click();
        }
        return form.findChild<KS_GEN_UserAdd*>();
    }
    // OK as the operator gives it, the boxes typed in left first.
    static void ok(KS_GEN_UserAdd* dialog)
    {
        for (QLineEdit* box : {dialog->txtUserID, dialog->txtCapcode}) {
            QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(box, &left);
        }
        dialog->cmdOk_Click();
    }
    // What the unit got since the last call, the identification OK starts with left out.
    Lines userLines()
    {
        static const std::set<std::string> identification = {"?000M", "?V",  "Z000?", "C00?", "K00?",
                                                              "F00?",  "W000?", "?TG", "?TC", "?T", "P"};
        Lines lines;
        for (const auto& line : harness->HostLines())
            if (!identification.contains(line))
                lines.push_back(line);
        return lines;
    }
};

} // namespace

TEST_F(UserDialog, AddSendsEachFamilysRecordStaysOpenAndReadsTheGroupBack)
{
    // An unidentified unit takes its own layout; the user it holds under the number is read before the add.
    const std::string legacy = "012"s + PadRight("Bob", 12) + "0001234" + "B   " + "TP\x21IY" + std::string(13, ' ');
    const std::string digitCode = "012"s + "0001234" + PadRight("Bob", 16) + std::string(16, ' ') + "0P50" + "'       ";
    const struct {
        char model;
        const char *group, *stored;
        Lines sent;
    } cases[] = {{0, "B", "B", {"?012M", "A" + legacy + "M"}}, {'X', "07", "'", {"A" + digitCode + "M"}}}; // 7 + 32
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        KS_MainForm& form = load(c.model);
        KS_GEN_UserAdd* dialog = open();
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(form.centralWidget()->isEnabled());
        dialog->txtUserID->setText("12");
        dialog->txtUserName->setText("Bob");
        dialog->txtCapcode->setText("1234");
        if (c.model) {
            dialog->cmbPagerType->setCurrentText("AlphaNumeric");
        } else {
            dialog->cmbPagerBaud->setCurrentText("1200");
            dialog->cmbPagerMode->setCurrentText("2");
        }
        dialog->cmbGroupFirst->setCurrentText(c.group);
        ok(dialog);
        EXPECT_EQ(userLines(), c.sent);
        EXPECT_EQ(StoredUser(12).Group1, c.stored);
        ASSERT_NE(row("012"), nullptr);
        EXPECT_EQ(row("012")->text(0), "Bob");
        EXPECT_TRUE(dialog->txtUserID->text().isEmpty()); // ready for the next user
        dialog->cmdCancel_Click();
        EXPECT_TRUE(form.centralWidget()->isEnabled());
    }
    // The group byte reads back as the group it was chosen as.
    KS_GEN_UserAdd* update = open("012");
    EXPECT_EQ(update->cmbGroupFirst->currentText(), "07");
    EXPECT_EQ(update->cmbGroupSecond->currentIndex(), -1);
    EXPECT_FALSE(update->txtUserID->isEnabled());
    update->cmdCancel_Click();
}

TEST_F(UserDialog, NineHundredOneAsksAndStaysLocalAnUnacknowledgedAddAsksAndWithoutAFolderNothingHappens)
{
    load('X');
    KS_GEN_UserAdd* dialog = open();
    dialog->txtUserID->setText("901");
    harness->messages.Answer(kAnswerYes);
    ok(dialog);
    EXPECT_EQ(harness->messages.texts().at(0),
              "Pagers 901-999 are reserved and will be programmed on the PC database only. Continue?");
    EXPECT_TRUE(userLines().empty());
    EXPECT_EQ(StoredUser(901).InUse, "Y");

    harness->engine.AddFault({sim::FaultKind::Refuse, "A", sim::MatchMode::Prefix, 5, {}, 0, 0});
    dialog->txtUserID->setText("030");
    harness->messages.Answer(kAnswerNo);
    ok(dialog);
    EXPECT_NE(harness->messages.texts().back().find("update the database on the hard drive only"), std::string::npos);
    EXPECT_EQ(StoredUser(30).InUse, "N");
    EXPECT_EQ(dialog->txtUserID->text(), "030"); // the fields stay for another try
    harness->messages.Answer(kAnswerYes);
    ok(dialog);
    EXPECT_EQ(StoredUser(30).InUse, "Y");

    harness->engine.ClearFaults();
    userLines();
    gDataFolder.clear();
    dialog->txtUserID->setText("031");
    harness->messages.Answer(kAnswerOk);
    ok(dialog);
    EXPECT_EQ(harness->messages.texts().size(), 4u);
    EXPECT_TRUE(userLines().empty());
    EXPECT_FALSE(FileExists("Pager.DBS"));
}

TEST_F(UserDialog, OnTheQX7GroupNumbersMakeFileOnlyGroupPagersAndABreakingGroupByteIsRefused)
{
    load('G');
    KS_GEN_UserAdd* dialog = open();
    EXPECT_FALSE(dialog->chkPagerIsGroup->isEnabled());
    dialog->txtUserID->setText("014");
    dialog->cmbGroupFirst->setCurrentText("13"); // a carriage return on the QX7XXX
    harness->messages.Answer(kAnswerOk);
    ok(dialog);
    EXPECT_NE(harness->messages.texts().at(0).find("Group 13 cannot be programmed"), std::string::npos);
    EXPECT_EQ(StoredUser(14).InUse, "N");
    EXPECT_EQ(dialog->txtUserID->text(), "014"); // the fields stay for a correction

    dialog->txtUserID->setText("905");
    dialog->txtUserID_LostFocus();
    EXPECT_TRUE(dialog->chkPagerIsGroup->isChecked());
    EXPECT_EQ(dialog->cmbGroup->currentText(), "05");
    harness->messages.Answer(kAnswerYes); // reserved numbers stay in the file
    ok(dialog);
    EXPECT_TRUE(userLines().empty());
    EXPECT_EQ(StoredUser(905).GroupFlag + StoredUser(905).Group1, "G\x05"s);
    dialog->cmdCancel_Click();

    KS_GEN_UserAdd* update = open("905");
    EXPECT_TRUE(update->chkPagerIsGroup->isChecked());
    EXPECT_EQ(update->cmbGroup->currentText(), "05");
    update->cmdCancel_Click();
}

TEST_F(UserDialog, UpdateRewritesTheRowAndClosesWhileADuplicateAddIsRefused)
{
    KS_MainForm& form = load('A', {{3, "Dora", "A"}, {4, "Emil", "N"}});
    harness->messages.Answer(kAnswerOk);
    KS_GEN_UserAdd* add = open();
    add->txtUserID->setText("3");
    ok(add);
    EXPECT_EQ(harness->messages.texts().at(0), "User ID is is already in use. Please confirm User ID.");
    add->cmdCancel_Click();

    KS_GEN_UserAdd* update = open("003");
    EXPECT_EQ(update->txtUserName->text(), "Dora");
    update->txtUserName->setText("Dorothea");
    update->chkPagerIsGroup->setChecked(true);
    update->cmbGroup->setCurrentText("K");
    ok(update);
    EXPECT_EQ(userLines(), Lines{"A003" + PadRight("Dorothea", 12) + "1000003K   AP\x02" "GY" + std::string(13, ' ') + "M"});
    EXPECT_EQ(row("003")->text(0), "Dorothea");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form.findChild<KS_GEN_UserAdd*>(), nullptr);
    EXPECT_TRUE(form.centralWidget()->isEnabled());
}

TEST_F(UserDialog, OkShowsDisabledWhileAScheduledPageHoldsTheLine)
{
    KS_MainForm& form = load('A');
    KS_GEN_UserAdd* dialog = open();
    bool enabledThen = true;
    harness->ActAtYield(5, [&] {
        enabledThen = dialog->cmdOk->isEnabled() || ToolbarAction(dialog->tlbMenu, "cmdOk")->isEnabled();
    });
    PageRequest scheduled;
    scheduled.SetPagerNo("001");
    form.SendPageToPager(scheduled);
    EXPECT_FALSE(enabledThen);
    EXPECT_TRUE(dialog->cmdOk->isEnabled());
    dialog->cmdCancel_Click();
}

TEST_F(UserDialog, AnUpdateAfterASilentStartIdentifiesTheUnitFirstAndSendsTheUserInItsCodes)
{
    loadSilent('X', {{5, "Head Nurse", "3"}});
    EXPECT_EQ(row("005")->text(3), "Voice"); // no unit yet: a digit names its type all the same
    KS_GEN_UserAdd* dialog = open("005");
    EXPECT_EQ(row("005")->text(3), "Voice");
    EXPECT_EQ(dialog->cmbPagerType->currentText(), "Voice");
    userLines();
    ok(dialog);
    EXPECT_EQ(userLines(),
              Lines{"A0051000005Head Nurse" + std::string(22, ' ') + "3P20" + std::string(8, ' ') + "M"});
    EXPECT_EQ(StoredUser(5).PagerType, "3");
}

TEST_F(UserDialog, AUnitThatAnswersOnlyOnceTheDialogIsOpenIsIdentifiedAtOkAndNothingIsSentThen)
{
    loadSilent('X', {});
    SilenceEveryLine(harness->engine);
    KS_GEN_UserAdd* dialog = open();
    EXPECT_EQ(dialog->cmbGroupFirst->itemText(0), "0"); // a letter-code unit's groups
    harness->engine.ClearFaults();
    dialog->txtUserID->setText("012");
    dialog->txtCapcode->setText("5");
    dialog->cmbPagerType->setCurrentText("Voice");
    dialog->cmbGroupFirst->setCurrentText("B"); // no digit-code unit has it
    dialog->cmbGroupFirst->setFocus();
    harness->messages.Answer(kAnswerOk);
    ok(dialog);
    EXPECT_EQ(harness->messages.texts().back(), "Connected to QX9860, which does not offer 1st group \"B\". "
                                                "Please choose again and press OK again.");
    EXPECT_EQ(dialog->focusWidget(), dialog->cmbGroupFirst); // the caret where the identification's greying found it
    for (const auto& line : userLines())
        EXPECT_TRUE(line[0] != 'A' && line[0] != 'D') << line;
    EXPECT_EQ(dialog->cmbGroupFirst->itemText(1), "01");
    EXPECT_EQ(dialog->cmbPagerType->currentText(), "Voice");
    EXPECT_EQ(dialog->txtUserID->text() + dialog->txtCapcode->text(), "0120000005");
    ok(dialog);
    EXPECT_EQ(userLines(), Lines{"A0120000005" + std::string(32, ' ') + "3P50" + std::string(8, ' ') + "M"});
    dialog->cmdCancel_Click();
}

// A user below 901 stored as a group pager (a file written for another unit)
// on a digit-code unit: the tick that no OK could get past is dropped and
// named at opening, and OK stores and sends the user as an individual pager.
TEST_F(UserDialog, AGroupTickTheUnitLacksIsDroppedAtOpeningAndOkStoresTheUserAsIndividual)
{
    load('X', {{5, "Head Nurse", "3", "G"}});
    harness->messages.Answer(kAnswerOk);
    KS_GEN_UserAdd* dialog = open("005");
    ASSERT_FALSE(harness->messages.texts().empty());
    EXPECT_EQ(harness->messages.texts().back(),
              "Connected to QX9860, which does not offer \"Set as a Group Pager\". Please choose again.");
    EXPECT_FALSE(dialog->chkPagerIsGroup->isChecked());
    userLines();
    ok(dialog);
    EXPECT_EQ(StoredUser(5).GroupFlag, "I");
    ASSERT_EQ(userLines().size(), 1u);
    EXPECT_EQ(harness->engine.Users().at(5).find('G'), std::string::npos) << harness->engine.Users().at(5);
}

TEST_F(UserDialog, AnUpdateOrAnAddWhoseUnitAnswersOnlyAtOkStoresWhatTheOperatorEntered)
{
    for (const bool update : {true, false}) {
        SCOPED_TRACE(update);
        harness.reset();
        loadSilent('A', {{5, "Anna", "A"}});
        SilenceEveryLine(harness->engine);
        KS_GEN_UserAdd* dialog = open(update ? "005" : "");
        harness->engine.ClearFaults();
        if (!update)
            dialog->txtUserID->setText("012");
        dialog->txtUserName->setText("Anna Maria");
        dialog->txtCapcode->setText("0001234");
        dialog->cmbPagerType->setCurrentText("Numeric");
        dialog->cmbGroupFirst->setCurrentText("C");
        dialog->cmbGroupFourth->setCurrentText("F");
        ok(dialog);
        EXPECT_EQ(gEncoderModelLetter, "A");
        const int number = update ? 5 : 12;
        const PagerRecord stored = StoredUser(number);
        EXPECT_EQ(stored.UserName + stored.Capcode + stored.PagerType + stored.Group1 + stored.Group4,
                  PadRight("Anna Maria", 20) + "0001234NCF");
        EXPECT_EQ(harness->engine.Users().at(number).substr(3, 24), "Anna Maria  0001234C  FN");
        if (!update)
            dialog->cmdCancel_Click();
    }
}

TEST_F(UserDialog, AnAddAnUnidentifiedUnitRefusesPutsBackTheUserItHeld)
{
    load(0);
    const std::string held = "012"s + PadRight("Old", 12) + "0000777" + "    " + "AP\x05IY" + std::string(13, ' ');
    ASSERT_TRUE(harness->engine.PutUser(held));
    harness->engine.AddFault({sim::FaultKind::Refuse, "A012Bob", sim::MatchMode::Prefix, 5, {}, 0, 0});
    KS_GEN_UserAdd* dialog = open();
    dialog->txtUserID->setText("012");
    dialog->txtUserName->setText("Bob");
    harness->messages.Answer(kAnswerNo);
    ok(dialog);
    const Lines sent = userLines();
    EXPECT_EQ(sent.front(), "?012M");
    EXPECT_EQ(sent.back(), "A" + held + "M");
    EXPECT_EQ(harness->engine.Users().at(12), held);
    EXPECT_EQ(StoredUser(12).InUse, "N");
    dialog->cmdCancel_Click();
}

TEST_F(UserDialog, AfterASilentStartAddAndUpdateIdentifyTheUnitWithTheConsoleClosedFromTheFirstProbe)
{
    for (const bool update : {false, true}) {
        SCOPED_TRACE(update);
        harness.reset();
        KS_MainForm& form = loadSilent('X', {{5, "Head Nurse", "3"}});
        bool closedAtFirstProbe = false;
        harness->ActAtYield(1, [&] {
            closedAtFirstProbe = !form.menuBar()->isEnabled() && !form.centralWidget()->isEnabled();
        });
        KS_GEN_UserAdd* dialog = open(update ? "005" : "");
        EXPECT_TRUE(closedAtFirstProbe);
        EXPECT_EQ(gEncoderModelLetter, "X");
        dialog->cmdCancel_Click();
    }
}

TEST_F(UserDialog, AfterASilentStartUpdateAndDeleteActOnTheSelectedUserNotTheFirstRowOfTheRefilledList)
{
    for (const bool update : {true, false}) {
        SCOPED_TRACE(update);
        harness.reset();
        // As the first start: no unit was identified before, so the unit found refills the list.
        gLastEncoderFamily.clear();
        KS_MainForm& form = loadSilent('X', {{5, "Anna", "0"}, {6, "Bert", "0"}});
        if (update) {
            KS_GEN_UserAdd* dialog = open("006");
            EXPECT_EQ(dialog->txtUserName->text(), "Bert");
            dialog->cmdCancel_Click();
        } else {
            select("006");
            harness->messages.Answer(kAnswerYes);
            form.cmdDelete_Click();
            EXPECT_EQ(harness->messages.texts().back(), "Are you sure you want to delete user 006 ?");
            EXPECT_EQ(StoredUser(6).InUse + StoredUser(5).InUse, "NY");
        }
    }
}

// ---- While no unit answers ---------------------------------------------------

TEST_F(UserDialog, AUserSavedUnchangedWhileNoUnitAnswersIsTheSameRecordByteForByte)
{
    PagerRecord user = MakeUser({8, "Night Desk", "0"}); // AlphaNumeric on a digit-code unit
    user.Group1 = "#"; // group 03, offset by 32
    user.Group2 = ","; // group 12
    // First as no unit was ever identified; then after the QX9860 was, in an earlier run.
    for (const bool identifiedBefore : {false, true}) {
        SCOPED_TRACE(identifiedBefore);
        if (identifiedBefore) {
            load('X');
            harness.reset();
            gLastEncoderModelLetter.clear();
            gLastEncoderFamily.clear();
            LoadConfiguration(); // the unit is remembered in the settings
        }
        harness = std::make_unique<ConsoleHarness>();
        WriteRecordAt(DataFilePath("Pager.DBS"), 8, user);
        SilenceEveryLine(harness->engine);
        harness->messages.Answer(kAnswerOk); // the start-up's link notice
        harness->Load();
        const std::string before = ReadBytes(DataFilePath("Pager.DBS"));
        EXPECT_EQ(row("008")->text(3), "AlphaNumeric");

        KS_GEN_UserAdd* dialog = open("008");
        EXPECT_EQ(dialog->cmbPagerType->currentText(), "AlphaNumeric");
        if (identifiedBefore) {
            EXPECT_EQ(dialog->cmbGroupFirst->currentText() + dialog->cmbGroupSecond->currentText(), "0312");
        }
        harness->messages.Answer(kAnswerYes); // the hard drive only
        ok(dialog);
        EXPECT_NE(harness->messages.texts().back().find("update the database on the hard drive only"), std::string::npos);
        const std::string after = ReadBytes(DataFilePath("Pager.DBS"));
        EXPECT_EQ(after.size(), before.size());
        EXPECT_EQ(after.substr(7 * PagerRecord::kLength, PagerRecord::kLength),
                  before.substr(7 * PagerRecord::kLength, PagerRecord::kLength));
        harness.reset();
    }
}

// Read while no unit was ever identified, an entry left as shown keeps its
// stored bytes when the unit answers at OK: no unit's codes read it, so its
// text is no choice of the operator's.
TEST_F(UserDialog, AUserReadByNoUnitAndSavedOnceTheUnitAnswersKeepsTheEntriesLeftAsShown)
{
    PagerRecord user = MakeUser({8, "Night Desk", "0"}); // AlphaNumeric on a digit-code unit
    user.Group1 = "#";                                   // group 03, offset by 32
    harness = std::make_unique<ConsoleHarness>();
    harness->engine.SetModel('X');
    WriteRecordAt(DataFilePath("Pager.DBS"), 8, user);
    SilenceEveryLine(harness->engine);
    harness->messages.Answer(kAnswerOk); // the start-up's link notice
    harness->Load();
    KS_GEN_UserAdd* dialog = open("008");
    harness->engine.ClearFaults();
    dialog->txtUserName->setText("Night Porter");
    ok(dialog);
    EXPECT_EQ(gEncoderModelLetter, "X");
    const PagerRecord stored = StoredUser(8);
    EXPECT_EQ(stored.UserName + stored.PagerType + stored.Group1, PadRight("Night Porter", 20) + "0#");
}

TEST_F(UserDialog, ARememberedQX7KeepsItsRulesWhileNoUnitAnswersWithOrWithoutALetter)
{
    for (const char* letter : {"", "E"}) { // a legacy QX7XXX has no letter of its own
        SCOPED_TRACE(letter);
        harness.reset();
        harness = std::make_unique<ConsoleHarness>();
        gLastEncoderModelLetter = letter;
        gLastEncoderFamily = "QX7XXX";
        SilenceEveryLine(harness->engine);
        harness->messages.Answer(kAnswerOk); // the start-up's link notice
        harness->Load();
        KS_GEN_UserAdd* dialog = open();
        ASSERT_EQ(gEncoderModelLetter, "N/A");
        EXPECT_EQ(dialog->cmbPagerType->findText("Widearea"), -1);
        EXPECT_FALSE(dialog->chkPagerIsGroup->isEnabled());
        dialog->txtUserID->setText("905");
        dialog->txtUserID_LostFocus();
        EXPECT_TRUE(dialog->chkPagerIsGroup->isChecked());
        EXPECT_EQ(dialog->cmbGroup->currentText(), "05");
        harness->messages.Answer(kAnswerYes);
        ok(dialog);
        EXPECT_EQ(harness->messages.texts().back(),
                  "Pagers 901-999 are reserved and will be programmed on the PC database only. Continue?");
        EXPECT_EQ(StoredUser(905).GroupFlag + StoredUser(905).Group1, "G\x05");
        dialog->cmdCancel_Click();
    }
}

TEST_F(UserDialog, AnUpdateThatChangesOnlyTheFourthGroupStoresItInTheFileAndOnTheUnit)
{
    const struct {
        char model;
        const char* group;
        std::size_t position; // of the fourth group in the unit's record
        char stored;
    } units[] = {{'A', "F", 25, 'F'}, {'X', "07", 49, '\x27'}}; // digit codes offset by 32
    for (const auto& unit : units) {
        SCOPED_TRACE(unit.model);
        load(unit.model, {{5, "Anna", unit.model == 'X' ? "0" : "A"}});
        KS_GEN_UserAdd* dialog = open("005");
        dialog->cmbGroupFourth->setCurrentText(unit.group);
        ok(dialog);
        EXPECT_EQ(StoredUser(5).Group4, std::string(1, unit.stored));
        EXPECT_EQ(harness->engine.Users().at(5).at(unit.position), unit.stored);
    }
}

TEST_F(UserDialog, AUserAddedWhileNoUnitAnswersGetsTheCodesOfTheLastUnitIdentified)
{
    load('X');
    SilenceEveryLine(harness->engine);
    DetectEncoder(); // the unit went away
    ASSERT_EQ(gEncoderModelLetter, "N/A");
    KS_GEN_UserAdd* dialog = open();
    dialog->txtUserID->setText("009");
    dialog->cmbPagerType->setCurrentText("Voice");
    dialog->cmbGroupFirst->setCurrentText("05");
    harness->messages.Answer(kAnswerYes); // the hard drive only
    ok(dialog);
    EXPECT_EQ(StoredUser(9).PagerType + StoredUser(9).Group1, "3%"); // group 5 offset by 32
    EXPECT_EQ(row("009")->text(3), "Voice");
    dialog->cmdCancel_Click();
}

// A line gone silent costs OK one probe: the unit known stays known (its
// codes, its rules), and the user goes to the hard drive when the operator says so.
TEST_F(UserDialog, OkOnALineGoneSilentKeepsTheKnownUnitAndStoresTheUserWhenAsked)
{
    load('X');
    KS_GEN_UserAdd* dialog = open();
    dialog->txtUserID->setText("009");
    SilenceEveryLine(harness->engine);
    harness->HostLines();
    harness->messages.AnswerAlways(kAnswerYes);
    ok(dialog);
    EXPECT_EQ(gEncoderModelLetter, "X");
    for (const auto& line : harness->HostLines())
        EXPECT_NE(line, "?V") << "a full identification";
    EXPECT_EQ(StoredUser(9).InUse, "Y");
    dialog->cmdCancel_Click();
}

// ---- Deletion ---------------------------------------------------------------

TEST_F(UserDialog, DeleteAsksThenFlagsTheRecordSendsTheDeleteAndDropsTheRow)
{
    KS_MainForm& form = load('X', {{7, "Gus", "0"}, {900, "Hal", "1"}, {901, "Grp", "0", "G"}});
    const PagerRecord before = StoredUser(900);

    select("901");
    harness->messages.Answer(kAnswerOk);
    form.cmdDelete_Click();
    EXPECT_EQ(harness->messages.texts().back(), "The selected user represents a Group device and can not be deleted.");

    select("900");
    harness->messages.Answer(kAnswerNo);
    form.cmdDelete_Click();
    EXPECT_EQ(harness->messages.texts().back(), "Are you sure you want to delete user 900 ?");
    EXPECT_NE(row("900"), nullptr);

    harness->messages.Answer(kAnswerYes);
    form.cmdDelete_Click();
    EXPECT_EQ(userLines(), Lines{"D900M"});
    EXPECT_EQ(row("900"), nullptr);
    PagerRecord after = StoredUser(900);
    EXPECT_EQ(after.InUse, "N");
    after.InUse = before.InUse;
    EXPECT_EQ(after, before);
}

TEST_F(UserDialog, ADeleteAfterASilentStartKnowsTheUnitsGroupPagers)
{
    KS_MainForm& form = loadSilent('X', {{901, "Grp", "0", "G"}});
    select("901");
    harness->messages.Answer(kAnswerOk);
    form.cmdDelete_Click();
    EXPECT_EQ(harness->messages.texts().back(), "The selected user represents a Group device and can not be deleted.");
    EXPECT_EQ(StoredUser(901).InUse, "Y");
}

// A single user stays selected, so Update opens it and Delete takes it.
TEST_F(UserDialog, ASingleUserStaysSelectedAndADeleteTheEncoderDoesNotTakeIsStillDoneLocally)
{
    KS_MainForm& form = load('A', {{950, "Ida", "A"}}); // any number can go on a letter-code encoder
    form.cmdUpdate_Click();
    auto* update = form.findChild<KS_GEN_UserAdd*>();
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->txtUserName->text(), "Ida");
    update->cmdCancel_Click();

    harness->engine.AddFault({sim::FaultKind::Silence, "D", sim::MatchMode::Prefix, 5, {}, 0, 0});
    harness->messages.Answer(kAnswerYes);
    harness->messages.Answer(kAnswerOk);
    form.cmdDelete_Click();
    EXPECT_EQ(harness->messages.texts().back(),
              "Connection to QX8140 cannot be established. QX8140 database could not be updated.");
    EXPECT_EQ(StoredUser(950).InUse, "N");
    EXPECT_EQ(row("950"), nullptr);
}

// Exit chosen while the unit owes the delete's acknowledgement: no box asks
// the operator about a database that a leaving program cannot reach.
TEST_F(UserDialog, ADeleteCutShortByExitShowsNoBox)
{
    KS_MainForm& form = load('A', {{12, "Ida", "A"}});
    select("012");
    harness->engine.AddFault({sim::FaultKind::Silence, "D", sim::MatchMode::Prefix, 5, {}, 0, 0});
    harness->messages.Answer(kAnswerYes);
    harness->ActAtYield(30, [&form] { form.mnuPopupOptions[3]->trigger(); });
    form.cmdDelete_Click();
    EXPECT_TRUE(ExitChosen());
    EXPECT_EQ(harness->messages.texts().size(), 1u) << harness->messages.texts().back();
    EXPECT_EQ(StoredUser(12).InUse, "N");
}

// OK asks the unit who it is every time and holds the dialog shut while it
// asks: a Cancel or an Escape then is refused, and the unit that answers,
// not the one known from before, decides what a number is.
TEST_F(UserDialog, OkIdentifiesTheUnitWithTheDialogShutAndCodesByTheUnitThatAnswers)
{
    load('X');
    KS_GEN_UserAdd* dialog = open();
    dialog->txtUserID->setText("987");
    dialog->txtCapcode->setText("0000005");
    harness->engine.SetModel('A'); // a QX8140 in place of the QX9860 known
    bool shut = false;
    harness->ActAtYield(2, [&] {
        shut = !dialog->cmdCancel->isEnabled() && !dialog->cmdOk->isEnabled() && BusyPointerShown();
        dialog->cmdCancel_Click();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    ok(dialog);
    EXPECT_TRUE(shut);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(gEncoderModelLetter, "A");
    EXPECT_TRUE(harness->messages.shown().empty()); // no question about a reserved number
    const Lines sent = userLines();
    ASSERT_FALSE(sent.empty());
    EXPECT_TRUE(sent.back().starts_with("A987")) << sent.back();
    EXPECT_EQ(StoredUser(987).InUse, "Y");
    dialog->cmdCancel_Click();
}

// A user of a digit-code unit, opened for a change while that unit is on the
// line and saved once a letter-code unit has replaced it, goes out and is
// stored in the codes of the unit it goes to, though the operator changed
// only the name.
TEST_F(UserDialog, AUserSavedAfterTheUnitWasReplacedByOneOfTheOtherCodeFamilyIsCodedForTheNewUnit)
{
    for (const char replacement : {'E', 'A'}) {
        SCOPED_TRACE(replacement);
        load('X', {{5, "Dora", "2"}}); // Tone-Only in the digits of the X
        PagerRecord held = StoredUser(5);
        held.Baud = "1"; // 1200: a speed and mode every unit takes
        ASSERT_TRUE(WritePagerRecord(5, held));
        KS_GEN_UserAdd* dialog = open("005");
        ASSERT_EQ(ComboText(dialog->cmbPagerType), "Tone-Only");
        harness->engine.SetModel(replacement);
        dialog->txtUserName->setText("Dora Lee");
        userLines();
        ok(dialog);
        const Lines sent = userLines();
        ASSERT_FALSE(sent.empty());
        ASSERT_GE(sent.back().size(), 28u);
        EXPECT_TRUE(sent.back().starts_with("A005")) << sent.back();
        EXPECT_EQ(sent.back()[27], 'T') << sent.back();
        EXPECT_EQ(StoredUser(5).PagerType, "T");
        EXPECT_EQ(StoredUser(5).UserName.substr(0, 8), "Dora Lee");
        KS_GEN_UserAdd* again = open("005");
        EXPECT_EQ(ComboText(again->cmbPagerType), "Tone-Only");
        again->cmdCancel_Click();
    }
}

// A group the dialog named as not offered by the unit that answers now is the
// operator's blank: the second OK sends and stores no group, never the byte
// the old unit's codes stored.
TEST_F(UserDialog, AGroupNamedAsNotOfferedIsSentAndStoredAsNoGroupAtTheSecondOk)
{
    load('X', {{5, "Dora", "A"}});
    PagerRecord held = StoredUser(5);
    held.Group1 = "%"; // group 05 in the X's codes
    held.Baud = "1";
    ASSERT_TRUE(WritePagerRecord(5, held));
    KS_GEN_UserAdd* dialog = open("005");
    ASSERT_EQ(ComboText(dialog->cmbGroupFirst), "05");
    harness->engine.SetModel('A');
    harness->messages.Answer(kAnswerOk);
    ok(dialog);
    EXPECT_EQ(harness->messages.texts().back(), "Connected to QX8140, which does not offer 1st group \"05\". "
                                                "Please choose again and press OK again.");
    EXPECT_EQ(ComboText(dialog->cmbGroupFirst), "");
    userLines();
    ok(dialog);
    const Lines sent = userLines();
    ASSERT_FALSE(sent.empty());
    EXPECT_TRUE(sent.back().starts_with("A005")) << sent.back();
    EXPECT_EQ(sent.back().find('%'), std::string::npos) << sent.back();
    EXPECT_EQ(StoredUser(5).Group1, " ");
}

// A number above 900 typed for a letter-code unit makes a group pager once a
// QX7XXX answers at OK, as leaving the box on that unit would.
TEST_F(UserDialog, ANumberAboveNineHundredSavedAfterAQX7ReplacedALetterCodeUnitIsAGroupPager)
{
    load('A');
    KS_GEN_UserAdd* dialog = open();
    dialog->txtUserID->setText("905");
    dialog->txtCapcode->setText("0000005");
    dialog->txtUserName->setText("Ward 5");
    harness->engine.SetModel('E');
    harness->messages.AnswerAlways(kAnswerYes); // the reserved number stays on the computer
    ok(dialog);
    EXPECT_EQ(StoredUser(905).InUse + StoredUser(905).GroupFlag, "YG");
    EXPECT_EQ(StoredUser(905).Group1, "\x05");
    dialog->cmdCancel_Click();
}
