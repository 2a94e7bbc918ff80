// The database programmer against the simulated encoder.
#include <QCheckBox>
#include <QComboBox>
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

using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

PagerRecord stored(int number)
{
    PagerRecord record;
    EXPECT_EQ(ReadRecordAt(DataFilePath("Pager.DBS"), number, record), FileError::None);
    return record;
}

sim::Fault refuse(const char* prefix) { return {sim::FaultKind::Refuse, prefix, sim::MatchMode::Prefix, 5, {}, 0, 0}; }

struct DBProgrammer : testing::Test {
    // Model 0: a legacy QX8.
    KS_GEN_DBProgrammer& open(char model, const char* from, const char* to, const char* start = "0000001",
                              const char* step = "1")
    {
        if (model)
            harness.engine.SetModel(model);
        else
            harness.engine.SetLegacyModel(sim::Legacy::QX8);
        harness.Load();
        auto* window = new KS_GEN_DBProgrammer(&harness.form());
        harness.form().OpenOwnedWindow(window, false); // as the Devices menu opens it
        window->txtPagerFrom->setText(from);
        window->txtPagerTo->setText(to);
        window->txtCapCodeFrom->setText(start);
        window->txtCapCodeInc->setText(step);
        return *window;
    }
    // The first four characters of each add (or, with a wider set, each read, delete and add).
    Lines heads(const std::string& kinds = "A")
    {
        Lines result;
        for (const auto& line : harness.HostLines())
            if (line != "?000M" && kinds.find(line[0]) != std::string::npos)
                result.push_back(line.substr(0, 4));
        return result;
    }
    ConsoleHarness harness;
};

} // namespace

TEST_F(DBProgrammer, ARangeOfTwentyGetsRisingCapcodesInTheEncoderAndTheFile)
{
    KS_GEN_DBProgrammer& w = open('X', "001", "020", "0001000", "5");
    EXPECT_FALSE(harness.form().centralWidget()->isEnabled());
    w.txtUserName->setText("Ward");
    w.cmbGroupFirst->setCurrentText("03");
    w.cmdProgram_Click();

    Lines adds;
    for (const auto& line : harness.HostLines())
        if (line[0] == 'A')
            adds.push_back(line.substr(0, 11));
    ASSERT_EQ(adds.size(), 20u);
    EXPECT_EQ(adds[0], "A0010001000");
    EXPECT_EQ(adds[19], "A0200001095");
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
    KS_GEN_DBProgrammer& w = open('X', "899", "902");
    harness.messages.Answer(kAnswerYes);
    w.cmdProgram_Click();
    EXPECT_EQ(harness.messages.texts().at(0),
              "Pagers 901-999 are reserved and will be programmed on the PC database only. Continue?");
    EXPECT_EQ(heads(), (Lines{"A899", "A900"}));
    EXPECT_EQ(stored(902).InUse, "Y");
}

TEST_F(DBProgrammer, NoAfterARefusalKeepsWhatWasDoneAndStops)
{
    KS_GEN_DBProgrammer& w = open('A', "001", "005");
    harness.engine.AddFault(refuse("A003"));
    QString labelAtRefusal;
    std::string option;
    SetMessageAnswerHook([&](const MessageRequest& box) -> std::optional<MessageAnswer> {
        labelAtRefusal = w.lblInfo->text();
        option = box.optionText;
        return MessageAnswer{kAnswerNo, false};
    });
    w.cmdProgram_Click();
    EXPECT_EQ(labelAtRefusal, "Programming...002/5"); // the pagers done against the range
    EXPECT_EQ(option, "&Don't ask me again");
    EXPECT_EQ(stored(2).InUse + stored(3).InUse + stored(4).InUse, "YNN");
    EXPECT_EQ(w.lblInfo->text(), "Canceled !");
    EXPECT_FALSE(w.prgProgProgress->isVisible());
    EXPECT_EQ(harness.form().lvwUsers->topLevelItemCount(), 0); // not reloaded
}

TEST_F(DBProgrammer, DontAskAgainWritesTheRestToTheFileWithoutTheEncoder)
{
    KS_GEN_DBProgrammer& w = open('A', "001", "004");
    harness.engine.AddFault(refuse("A002"));
    harness.messages.Answer(kAnswerYes, true);
    w.cmdProgram_Click();
    const Lines sent = heads();
    EXPECT_EQ(sent.front(), "A001");
    EXPECT_EQ(sent.back(), "A002"); // retried, then nothing more is sent
    EXPECT_EQ(stored(4).InUse, "Y");
    EXPECT_EQ(harness.messages.shown().size(), 1u);
    EXPECT_EQ(w.lblInfo->text(), "Done !");
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
    EXPECT_TRUE(heads().empty());
    EXPECT_EQ(stored(1).InUse, "N");

    // Ending exactly on the last seven-digit capcode is fine.
    const std::size_t boxes = harness.messages.shown().size();
    w.txtCapCodeFrom->setText("9999989");
    w.cmdProgram_Click();
    EXPECT_EQ(harness.messages.shown().size(), boxes);
    EXPECT_EQ(stored(3).Capcode, "9999999");
}

TEST_F(DBProgrammer, AnOlderUnitIsAskedWithTheLengthItAnswersAndHasTheOldUserDeleted)
{
    KS_GEN_DBProgrammer& w = open(0, "005", "006");
    harness.engine.PutUser("005"s + std::string(41, ' '));
    w.cmdProgram_Click();
    EXPECT_EQ(heads("?DA"), (Lines{"?005", "D005", "A005", "?006", "A006"}));
}

TEST_F(DBProgrammer, OnTheQX7AFirstNumberAboveNineHundredMakesEveryPagerAGroupPager)
{
    KS_GEN_DBProgrammer& w = open('G', "905", "906");
    EXPECT_FALSE(w.chkPagerIsGroup->isEnabled());
    w.txtPagerFrom_LostFocus();
    EXPECT_TRUE(w.chkPagerIsGroup->isChecked());
    EXPECT_EQ(w.cmbGroup->currentText(), "05");
    harness.messages.Answer(kAnswerYes);
    w.cmdProgram_Click();
    EXPECT_TRUE(heads().empty());
    EXPECT_EQ(stored(906).GroupFlag + stored(906).Group1, "G\x05"s);
}
