#include <QTest>
#include <QTextCursor>

#include "ConsoleHarness.h"
#include "KS_Events.h"

namespace {

struct MainFormFixture : testing::Test {
    MainFormFixture()
        : form(harness.Load())
    {
        form.AddUserRow("Anna", "001", 2, "Alphanumeric", "1234567", false);
        form.AddUserRow("Bert", "002", 1, "Tone", "1234568", false);
        form.AddUserRow("Carl", "003", 3, "Numeric", "1234569", false);
        form.AddUserRow("Dora", "004", 4, "Voice", "1234570", false);
        form.AddUserRow("Emil", "905", 2, "Alphanumeric", "0000000", true);
    }
    void selectUsers(std::initializer_list<int> rows)
    {
        form.lvwUsers->clearSelection();
        for (int r : rows)
            form.lvwUsers->topLevelItem(r)->setSelected(true);
    }
    ConsoleHarness harness;
    KS_MainForm& form;
};

} // namespace

TEST_F(MainFormFixture, SelectingCopiesTheRowOnceWithItsColourAndRemovingTakesExactlyTheSelectedRows)
{
    selectUsers({0, 4});
    form.cmdSelect->click();
    selectUsers({0, 1, 2, 3});
    form.cmdSelect->click();
    EXPECT_EQ(ColumnTexts(form.lvwSelectedUsers, 0), (QStringList{"001", "905", "002", "003", "004"}));
    EXPECT_EQ(ColumnTexts(form.lvwSelectedUsers, 1), (QStringList{"Anna", "Emil", "Bert", "Carl", "Dora"}));
    EXPECT_EQ(form.lvwSelectedUsers->topLevelItem(1)->foreground(0).color(), QColor(0xC0, 0, 0));
    EXPECT_EQ(form.lvwSelectedUsers->topLevelItem(0)->foreground(0).color(), QColor(0, 0, 0xFF));

    form.lvwSelectedUsers->clearSelection();
    form.lvwSelectedUsers->topLevelItem(1)->setSelected(true);
    form.lvwSelectedUsers->topLevelItem(3)->setSelected(true);
    form.cmdRemove->click();
    EXPECT_EQ(ColumnTexts(form.lvwSelectedUsers, 0), (QStringList{"001", "002", "004"}));
    form.cmdRemoveAll->click();
    EXPECT_EQ(form.lvwSelectedUsers->topLevelItemCount(), 0);
}

TEST_F(MainFormFixture, ColumnClicksToggleTheOrderWhicheverColumn)
{
    form.lvwUsers_ColumnClick(0);
    EXPECT_EQ(ColumnTexts(form.lvwUsers, 0).first(), "Emil"); // descending first
    form.lvwUsers_ColumnClick(1);
    EXPECT_EQ(ColumnTexts(form.lvwUsers, 1).first(), "001"); // then ascending, on the new column
    form.lvwUsers_ColumnClick(1);
    EXPECT_EQ(ColumnTexts(form.lvwUsers, 1).first(), "905");
}

TEST_F(MainFormFixture, AfterAColumnClickUsersSelectedLaterTakeTheirPlaceInItsOrder)
{
    selectUsers({1, 3});
    form.cmdSelect->click();
    form.lvwSelectedUsers_ColumnClick(0); // descending by pager number
    selectUsers({0, 2});
    form.cmdSelect->click();
    EXPECT_EQ(ColumnTexts(form.lvwSelectedUsers, 0), (QStringList{"004", "003", "002", "001"}));

    // Last Page brings its users back in the order chosen since.
    form.cmdRemoveAll->click();
    selectUsers({0, 4});
    form.cmdSelect->click();
    form.txtMessage->setPlainText("hi");
    form.cmdSendPage_Click();
    ASSERT_EQ(harness.Pages(), (Lines{"P905hi", "P001hi"}));
    form.lvwSelectedUsers_ColumnClick(0); // ascending
    form.cmdLastPage_Click();
    EXPECT_EQ(ColumnTexts(form.lvwSelectedUsers, 0), (QStringList{"001", "905"}));
}

TEST_F(MainFormFixture, FindSelectsTheFirstMatchingRow)
{
    form.txtUserName->setText("ca");
    ASSERT_EQ(form.lvwUsers->selectedItems().size(), 1);
    EXPECT_EQ(form.lvwUsers->selectedItems().first()->text(0), "Carl");
    form.txtUserID->setText("90");
    ASSERT_EQ(form.lvwUsers->selectedItems().size(), 1);
    EXPECT_EQ(form.lvwUsers->selectedItems().first()->text(0), "Emil");
    form.txtUserID->setText("77");
    EXPECT_TRUE(form.lvwUsers->selectedItems().isEmpty());
    // A name is looked for among the names only, not in a capcode that begins so.
    form.AddUserRow("Dana", "300", 1, "Tone", "1200300", false);
    form.txtUserName->setText("12");
    EXPECT_TRUE(form.lvwUsers->selectedItems().isEmpty());
}

// A pager number typed finds that pager, though a user listed above it has a
// capcode beginning with the same digits; a typed capcode still finds its user.
TEST_F(MainFormFixture, FindPagerFindsThePagerNumberFirstAndTheOtherColumnsOnlyWhenNoNumberMatches)
{
    form.AddUserRow("Adams", "200", 1, "Tone", "1000200", false);
    form.AddUserRow("Brown", "100", 2, "Alphanumeric", "0300100", false);
    form.lvwUsers->sortItems(0, Qt::AscendingOrder);
    ASSERT_EQ(form.lvwUsers->topLevelItem(0)->text(0), "Adams");
    for (const auto& [typed, found] : {std::pair{"1", "Brown"}, {"10", "Brown"}, {"100", "Brown"},
                                       {"1000200", "Adams"}, {"2", "Adams"}}) {
        SCOPED_TRACE(typed);
        form.txtUserID->setText(typed);
        ASSERT_EQ(form.lvwUsers->selectedItems().size(), 1);
        EXPECT_EQ(form.lvwUsers->selectedItems().first()->text(0), found);
    }
}

TEST_F(MainFormFixture, AnErrorReportBlinksAndEndsEmptyWhileAPlainOneStays)
{
    form.show();
    form.ReportStatus("x", true);
    EXPECT_EQ(form.txtStatus->text(), "");
    form.ReportStatus("y");
    ReportStatus("through the module");
    EXPECT_EQ(form.txtStatus->text(), "through the module");
}

TEST_F(MainFormFixture, TheCloseBoxOnlyHidesAfterTheQuestion)
{
    ScriptedMessages script;
    form.show();
    script.Answer(kAnswerNo);
    EXPECT_TRUE(form.Form_QueryUnload(KS_MainForm::kUnloadFromCloseBox));
    EXPECT_TRUE(form.isVisible());
    script.Answer(kAnswerYes);
    EXPECT_TRUE(form.Form_QueryUnload(KS_MainForm::kUnloadFromCloseBox));
    EXPECT_FALSE(form.isVisible() && !form.isMinimized());
    EXPECT_FALSE(form.Form_QueryUnload(KS_MainForm::kUnloadFromCode));
    ASSERT_EQ(script.shown().size(), 2u);
    EXPECT_NE(script.shown()[0].message.find("will stay active and will be accessible from the system tray."),
              std::string::npos);
}

TEST_F(MainFormFixture, TheWindowsFaceAndItsMessageAreaPointToHelp)
{
    for (const char* name : {"pbxMain", "pbxMessage"}) {
        const auto* box = form.findChild<QWidget*>(name);
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->toolTip(), "Press F1 for help ") << name;
    }
    EXPECT_TRUE(form.findChild<QWidget*>("pbxMessage")->isAncestorOf(form.txtMessage));
}

TEST(MainFormPosition, TheWindowOpensWhereItWasClosedRestartAfterRestart)
{
    SaveConfigSetting("LastX", "1500");
    SaveConfigSetting("LastY", "3000");
    for (int start = 1; start <= 3; ++start) {
        SCOPED_TRACE(start);
        ConsoleHarness harness;
        KS_MainForm& form = harness.Load();
        EXPECT_EQ(form.geometry().topLeft(), QPoint(100, 200));
        form.ExitApplication();
        EXPECT_EQ(GetConfigSetting("LastX"), "1500");
        EXPECT_EQ(GetConfigSetting("LastY"), "3000");
        ClearExitRequest();
    }
}

// The page text holds 230 characters: a key typed into a full text is
// refused, and the text keeps its end (a call-back number's last digit).
TEST_F(MainFormFixture, AKeyTypedIntoAFullPageTextIsRefusedAndTheTextKeepsItsEnd)
{
    const QString full = QString(229, 'a') + "Z";
    form.txtMessage->setPlainText(full);
    form.txtMessage->setFocus();
    QTextCursor caret = form.txtMessage->textCursor();
    caret.setPosition(10);
    form.txtMessage->setTextCursor(caret);
    QTest::keyClicks(form.txtMessage, "b");
    EXPECT_EQ(form.txtMessage->toPlainText(), full);
    EXPECT_EQ(form.txtMessage->textCursor().position(), 10);
    form.txtMessage->setPlainText(full + "xyz");
    EXPECT_EQ(form.txtMessage->toPlainText(), full);
}
