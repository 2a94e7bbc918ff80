// The database programmer against the simulated encoder.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "ConsoleHarness.h"
#include "KS_Database.h"
#include "KS_GEN_DBProgrammer.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "TestSupport.h"

using namespace std::string_literals;

namespace {

PagerRecord stored(int number)
{
    PagerRecord record;
    EXPECT_EQ(ReadRecordAt(DataFilePath("Pager.DBS"), number, record), FileError::None);
    return record;
}

struct DBProgrammer : testing::Test {
    KS_GEN_DBProgrammer& open(char model, sim::Legacy legacy = sim::Legacy::QX8)
    {
        if (model)
            harness.engine.SetModel(model);
        else
            harness.engine.SetLegacyModel(legacy);
        harness.Load();
        window = new KS_GEN_DBProgrammer(&harness.form());
        harness.form().OpenOwnedWindow(window, false); // as the Devices menu opens it
        return *window;
    }
    void range(const char* from, const char* to, const char* start = "0000001", const char* step = "1")
    {
        window->txtPagerFrom->setText(from);
        window->txtPagerTo->setText(to);
        window->txtCapCodeFrom->setText(start);
        window->txtCapCodeInc->setText(step);
    }
    std::vector<std::string> adds()
    {
        std::vector<std::string> lines;
        for (const auto& line : harness.HostLines())
            if (line[0] == 'A')
                lines.push_back(line);
        return lines;
    }
    ConsoleHarness harness;
    KS_GEN_DBProgrammer* window = nullptr;
};

} // namespace

TEST_F(DBProgrammer, ARangeOfTwentyGetsRisingCapcodesInTheEncoderAndTheFile)
{
    KS_GEN_DBProgrammer& w = open('X');
    EXPECT_FALSE(harness.form().centralWidget()->isEnabled());
    range("001", "020", "0001000", "5");
    w.txtUserName->setText("Ward");
    w.cmbGroupFirst->setCurrentText("03");
    w.cmdProgram_Click();

    const auto lines = adds();
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[0].substr(0, 11), "A0010001000");
    EXPECT_EQ(lines[19].substr(0, 11), "A0200001095");
    EXPECT_EQ(stored(20).Capcode, "0001095");
    EXPECT_EQ(stored(20).Group1, "#"); // group 3 + 32
    EXPECT_EQ(stored(21).InUse, "N");
    EXPECT_EQ(w.lblInfo->text(), "Done !");
    EXPECT_EQ(harness.form().lvwUsers->topLevelItemCount(), 20); // the list was reloaded
    w.cmdClose_Click();
    EXPECT_TRUE(harness.form().centralWidget()->isEnabled());
}

TEST_F(DBProgrammer, TheReservedRangeIsAskedForAndWrittenToTheFileOnly)
{
    KS_GEN_DBProgrammer& w = open('X');
    range("899", "902");
    harness.messages.Answer(kAnswerYes);
    w.cmdProgram_Click();
    EXPECT_EQ(harness.messages.texts().at(0),
              "Pagers 901-999 are reserved and will be programmed on the PC database only. Continue?");
    const auto lines = adds();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(0, 4), "A900");
    EXPECT_EQ(stored(902).InUse, "Y");
}

TEST_F(DBProgrammer, NoAfterARefusalKeepsWhatWasDoneAndStops)
{
    KS_GEN_DBProgrammer& w = open('A');
    harness.engine.AddFault({sim::FaultKind::Refuse, "A003", sim::MatchMode::Prefix, 5, {}, 0, 0});
    range("001", "005");
    harness.messages.Answer(kAnswerNo);
    w.cmdProgram_Click();
    EXPECT_EQ(harness.messages.shown().at(0).optionText, "&Don't ask me again");
    EXPECT_EQ(stored(2).InUse + stored(3).InUse + stored(4).InUse, "YNN");
    EXPECT_EQ(w.lblInfo->text(), "Canceled !");
    EXPECT_EQ(harness.form().lvwUsers->topLevelItemCount(), 0); // not reloaded
}

TEST_F(DBProgrammer, DontAskAgainWritesTheRestToTheFileWithoutTheEncoder)
{
    KS_GEN_DBProgrammer& w = open('A');
    harness.engine.AddFault({sim::FaultKind::Refuse, "A002", sim::MatchMode::Prefix, 5, {}, 0, 0});
    range("001", "004");
    harness.messages.Answer(kAnswerYes, true);
    w.cmdProgram_Click();
    std::vector<std::string> heads;
    for (const auto& line : adds())
        heads.push_back(line.substr(0, 4));
    EXPECT_EQ(heads.front(), "A001");
    EXPECT_EQ(heads.back(), "A002"); // retried, then nothing more is sent
    EXPECT_EQ(stored(4).InUse, "Y");
    EXPECT_EQ(harness.messages.shown().size(), 1u);
    EXPECT_EQ(w.lblInfo->text(), "Done !");
}

TEST_F(DBProgrammer, ABackwardRangeAndCapcodesBeyondSevenDigitsAreRefusedBeforeAnythingIsWritten)
{
    KS_GEN_DBProgrammer& w = open('X');
    range("010", "005");
    harness.messages.Answer(kAnswerOk);
    w.cmdProgram_Click();
    EXPECT_EQ(harness.messages.texts().back(), "To Pager is not valid. Please confirm To Pager.");

    range("001", "003", "9999990", "5");
    harness.messages.Answer(kAnswerOk);
    w.cmdProgram_Click();
    EXPECT_NE(harness.messages.texts().back().find("10000000"), std::string::npos);
    EXPECT_TRUE(adds().empty());
    EXPECT_EQ(stored(1).InUse, "N");
}

TEST_F(DBProgrammer, AnOlderUnitIsAskedWithTheLengthItAnswersAndHasTheOldUserDeleted)
{
    KS_GEN_DBProgrammer& w = open(0);
    harness.engine.PutUser("005"s + std::string(41, ' '));
    range("005", "006");
    w.cmdProgram_Click();
    std::vector<std::string> heads;
    for (const auto& line : harness.HostLines())
        if (line.size() >= 4 && line != "?000M" && (line[0] == '?' || line[0] == 'D' || line[0] == 'A'))
            heads.push_back(line.substr(0, 4));
    EXPECT_EQ(heads, (std::vector<std::string>{"?005", "D005", "A005", "?006", "A006"}));
}

TEST_F(DBProgrammer, OnTheQX7AFirstNumberAboveNineHundredMakesEveryPagerAGroupPager)
{
    KS_GEN_DBProgrammer& w = open('G');
    EXPECT_FALSE(w.chkPagerIsGroup->isEnabled());
    range("905", "906");
    w.txtPagerFrom_LostFocus();
    EXPECT_TRUE(w.chkPagerIsGroup->isChecked());
    EXPECT_EQ(w.cmbGroup->currentText(), "05");
    harness.messages.Answer(kAnswerYes);
    w.cmdProgram_Click();
    EXPECT_TRUE(adds().empty());
    EXPECT_EQ(stored(906).GroupFlag, "G");
    EXPECT_EQ(stored(906).Group1, "\x05"s);
}

TEST_F(DBProgrammer, TheLabelCountsThePagersDoneAgainstTheRange)
{
    KS_GEN_DBProgrammer& w = open('A');
    harness.engine.AddFault({sim::FaultKind::Refuse, "A003", sim::MatchMode::Prefix, 5, {}, 0, 0});
    range("001", "005");
    QString atRefusal;
    SetMessageAnswerHook([&](const MessageRequest&) -> std::optional<MessageAnswer> {
        atRefusal = w.lblInfo->text();
        return MessageAnswer{kAnswerYes, false};
    });
    w.cmdProgram_Click();
    EXPECT_EQ(atRefusal, "Programming...002/5");
    EXPECT_FALSE(w.prgProgProgress->isVisible());
}
