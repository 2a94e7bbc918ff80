// The control-table builder, the command toolbar and the list helpers.
#include <QAction>
#include <QHeaderView>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include "KS_FormBuilder.h"
#include "KS_ListWindow.h"
#include "KS_Toolbar.h"

namespace {

struct Sample : QWidget {
    QToolBar* tlbMenu = nullptr;
    QGroupBox* fraDetails = nullptr;
    QLabel* lblMessage = nullptr;
    QLineEdit* txtMessage = nullptr;
    QSpinBox* updCount = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QProgressBar* prgProgress = nullptr;
    QLabel* lblInfo = nullptr;
    QTreeWidget* lvwMessages = nullptr;
    int okClicks = 0;

    Sample()
    {
        QWidget* client = BuildToolbarForm(this, tlbMenu, 6000, 4000);
        const FormControl controls[] = {
            Control(fraDetails, "fraDetails", "Details", {60, 60, 5000, 1500}),
            Control(lblMessage, "lblMessage", "&Message Text:", {150, 300, 1500, 255}, 0, "fraDetails"),
            Control(txtMessage, "txtMessage", "", {1800, 300, 3000, 315}, 30, "fraDetails"),
            Control(updCount, "updCount", "", {1800, 800, 600, 315}, 48, "fraDetails"),
            Control(cmdOk, "cmdOk", "&Ok", {60, 1700, 1200, 375}),
            Control(cmdCancel, "cmdCancel", "&Cancel", {1400, 1700, 1200, 375}),
            Control(prgProgress, "prgProgress", "", {60, 2200, 3000, 255}),
            Control(lblInfo, "lblInfo", "Uploading...", {3200, 2200, 2000, 255}),
            Control(lvwMessages, "lvwMessages", "Double click on a message to update ", {60, 2600, 5800, 1300}),
        };
        BuildControls(client, controls);
        connect(cmdOk, &QPushButton::clicked, this, [this] { ++okClicks; });
        const ToolbarButton buttons[] = {
            {"cmdOk", "&Ok", "Save Changes", "Ok"},
            {"cmdCancel", "&Cancel", "Exit Without Saving", "Cancel"},
            {"cmdNone", "&None", "", "Close"},
        };
        BuildCommandToolbar(tlbMenu, this, buttons);
    }
};

TEST(FormBuilder, BuildsEachControlByItsNameTypeCaptionAndTwipsGeometry)
{
    Sample form;
    EXPECT_EQ(form.findChild<QLineEdit*>("txtMessage"), form.txtMessage);
    EXPECT_EQ(form.txtMessage->parentWidget(), form.fraDetails);
    EXPECT_EQ(form.txtMessage->maxLength(), 30);
    EXPECT_EQ(form.txtMessage->geometry(), QRect(120, 20, 200, 21));
    EXPECT_EQ(form.lblMessage->text(), "&Message Text:");
    EXPECT_EQ(form.lblMessage->buddy(), form.txtMessage);
    EXPECT_EQ(form.updCount->maximum(), 48);
    EXPECT_EQ(form.cmdCancel->text(), "&Cancel");
    EXPECT_FALSE(form.cmdOk->autoDefault());
    EXPECT_EQ(form.fraDetails->title(), "Details");
    EXPECT_TRUE(form.prgProgress->isHidden());
    EXPECT_EQ(form.lvwMessages->toolTip(), "Double click on a message to update ");
    EXPECT_FALSE(ToolbarImage("Upload").isNull());
    EXPECT_TRUE(ToolbarImage("Nothing").isNull());
}

TEST(CommandToolbar, ButtonsClickTheirCommandButtonAndFollowItsEnabledState)
{
    Sample form;
    QAction* ok = ToolbarAction(form.tlbMenu, "cmdOk");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->toolTip(), "Save Changes");
    ok->trigger();
    EXPECT_EQ(form.okClicks, 1);
    form.cmdOk->setEnabled(false);
    EXPECT_FALSE(ok->isEnabled());
    ok->trigger();
    EXPECT_EQ(form.okClicks, 1);
    form.cmdOk->setEnabled(true);
    EXPECT_TRUE(ok->isEnabled());
    ToolbarAction(form.tlbMenu, "cmdNone")->trigger(); // names no button: does nothing
    EXPECT_EQ(form.okClicks, 1);
}

QStringList firstColumn(const QTreeWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(0);
    return texts;
}

void clickHeader(QTreeWidget* list, int column)
{
    QHeaderView* header = list->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

TEST(ListHelpers, ColumnClicksFlipTheOrderAndResetSortsByNumberAgain)
{
    Sample form;
    form.show();
    QTreeWidget* list = form.lvwMessages;
    list->setColumnCount(2);
    // Rows numbered as the upgrade wrote them ("001") and as a save writes them ("01 ").
    const char* rows[][2] = {{"10 ", "b"}, {"002", "c"}, {"01 ", "a"}};
    for (const auto& r : rows) {
        auto* row = new SortableRow(QStringList{r[0], r[1]});
        row->SetSortNumber(0, QString(r[0]).trimmed().toDouble());
        list->addTopLevelItem(row);
    }
    EnableColumnClickSorting(list);
    clickHeader(list, 1);
    EXPECT_EQ(firstColumn(list), (QStringList{"01 ", "10 ", "002"}));
    clickHeader(list, 1);
    EXPECT_EQ(firstColumn(list), (QStringList{"002", "10 ", "01 "}));
    clickHeader(list, 0);
    EXPECT_EQ(firstColumn(list), (QStringList{"01 ", "002", "10 "}));
    clickHeader(list, 1);
    ResetSortKey(list);
    EXPECT_EQ(list->sortColumn(), 0);
    SelectListRow(list, list->topLevelItem(2));
    EXPECT_EQ(SelectedListRow(list), list->topLevelItem(2));
}

TEST(ListHelpers, ProgressCountsInTheInfoLabelAndEndsWithTheOutcome)
{
    Sample form;
    TransferProgress progress(form.prgProgress, form.lblInfo, "Uploading...");
    progress.Start(10);
    EXPECT_TRUE(form.lblInfo->text().isEmpty());
    progress.Step();
    progress.Step();
    progress.Step();
    EXPECT_EQ(form.lblInfo->text(), "Uploading...3/10");
    EXPECT_EQ(progress.Done(), 3);
    progress.Finish(false);
    EXPECT_EQ(form.lblInfo->text(), "Canceled !");
    EXPECT_TRUE(form.prgProgress->isHidden());
    PlaceTableWindow(&form);
    EXPECT_EQ(form.pos(), QPoint(173, 147));
}

} // namespace
