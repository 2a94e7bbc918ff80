#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "ConsoleHarness.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_MessageWindows.h"
#include "KS_PPM_MessagesSB.h"
#include "KS_PPM_MessagesSBAdd.h"
#include "KS_SignBoardFile.h"
#include "KS_Toolbar.h"

namespace {

struct SignBoardWindows : testing::Test {
    SignBoardWindows() { RegisterMessageWindows(); }
    KS_PPM_MessagesSB& open(bool sendOnly)
    {
        if (sendOnly)
            form.cmdSBMessages_Click();
        else
            form.mnuMessagesOptions_Click(8);
        auto* list = form.findChild<KS_PPM_MessagesSB*>();
        EXPECT_TRUE(list && list->isVisible());
        return *list;
    }
    void selectRow(KS_PPM_MessagesSB& list, const char* no)
    {
        list.lvwMessages->setCurrentItem(list.lvwMessages->findItems(no, Qt::MatchExactly).first());
    }
    void leave(QLineEdit* box, const char* text)
    {
        box->setText(text);
        emit box->editingFinished();
    }
    ConsoleHarness harness{{{1, "Board", "A"}}};
    KS_MainForm& form = harness.Load();
};

} // namespace

TEST_F(SignBoardWindows, SendOnlyModeHidesUpdateAndClearAllPagesWithTheRowsMessage)
{
    std::vector<SignBoardMessage> table;
    ASSERT_TRUE(LoadSignBoardTable(table));
    table[6].Slot = 12;
    table[6].Font = 1;
    table[6].Effect = 10;
    ASSERT_EQ(WriteSignBoardMessage(7, table[6]), FileError::None);

    harness.Select({"001"});
    KS_PPM_MessagesSB& list = open(true);
    EXPECT_FALSE(form.centralWidget()->isEnabled());
    EXPECT_FALSE(ToolbarAction(list.tlbMenu, "cmdUpdate")->isVisible());
    EXPECT_FALSE(list.tlbMenu->actions()[3]->isVisible()); // the separator after Update
    EXPECT_FALSE(list.cmdUpdate->isEnabled());
    EXPECT_EQ(list.lvwMessages->toolTip(), "Select message and then select action ");
    ASSERT_EQ(list.lvwMessages->topLevelItemCount(), 500);
    EXPECT_EQ(list.lvwMessages->topLevelItem(6)->text(3), "Large");
    list.lvwMessages_DblClick();
    EXPECT_EQ(list.findChild<KS_PPM_MessagesSBAdd*>(), nullptr);

    selectRow(list, "007");
    list.cmdClearAll->click();
    EXPECT_EQ(harness.HostLines(), std::vector<std::string>{"P001*010A*"});
    EXPECT_TRUE(list.lvwMessages->isEnabled());
    list.cmdClose->click();
    EXPECT_TRUE(form.centralWidget()->isEnabled());
}

TEST_F(SignBoardWindows, TheEditorShapesThePreviewAndSavesTheRowsRecord)
{
    KS_PPM_MessagesSB& list = open(false);
    selectRow(list, "012");
    list.cmdUpdate->click();
    auto* editor = list.findChild<KS_PPM_MessagesSBAdd*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(list.lvwMessages->isEnabled());
    EXPECT_EQ(editor->windowTitle(), "Sign Board Messages - Update");
    EXPECT_EQ(editor->txtMessage->width(), 280); // 4200 twips for 32 characters
    EXPECT_EQ(editor->MessageMaxLength(), 96);

    editor->txtMessage->setPlainText(QString(40, 'x') + "y");
    leave(editor->txtLines, "1");
    leave(editor->txtCharPerLine, "16");
    EXPECT_EQ(editor->txtMessage->toPlainText(), QString(16, 'x'));
    EXPECT_EQ(editor->txtMessage->width(), 152); // 2275 twips
    const struct {
        QLineEdit* box;
        const char* typed;
        const char* shown;
    } clamps[] = {{editor->txtCharPerLine, "45", "32"}, {editor->txtLines, "0", "1"},
                  {editor->txtCharPerLine, "5", "05"}, {editor->txtLines, "8", "8"},
                  {editor->txtCharPerLine, "32", "32"}};
    for (const auto& c : clamps) {
        leave(c.box, c.typed);
        EXPECT_EQ(c.box->text(), c.shown) << c.typed;
    }
    EXPECT_EQ(editor->MessageMaxLength(), 200); // 256 would be cut on saving

    harness.messages.Answer(kAnswerOk);
    editor->txtMessage->setPlainText("   ");
    editor->cmdOk->click();
    EXPECT_EQ(harness.messages.texts(), std::vector<std::string>{"Please enter text."});

    editor->txtMessage->setPlainText("Gate B closed  ");
    editor->cmbSlot->setCurrentIndex(14);
    editor->cmbFontSize->setCurrentText("Small");
    editor->cmbDelay->setCurrentIndex(8);
    editor->cmbEffect->setCurrentIndex(15);
    editor->cmdOk->click();
    const std::string file = ReadBytes(DataFilePath("SBMessages.DBS"));
    ASSERT_EQ(file.size(), 131000u);
    EXPECT_EQ(Record(file, 262, 12), Image(262).Put(0, "012").Fill(3, 200, ' ').Put(3, "Gate B closed")
                                          .PutByte(203, 15).PutByte(204, 2).PutInt16(205, 9).PutByte(207, 15)
                                          .PutInt16(208, 32).PutInt16(210, 8).str());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(list.findChild<KS_PPM_MessagesSBAdd*>(), nullptr);
    EXPECT_TRUE(list.lvwMessages->isEnabled());
    const QTreeWidgetItem* row = list.lvwMessages->currentItem();
    EXPECT_EQ(row->text(0), "012");
    EXPECT_EQ(row->text(1), "Gate B closed");
    EXPECT_EQ(row->text(3), "Small");
    EXPECT_EQ(row->text(7), "32");
}
