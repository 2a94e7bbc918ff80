// The control-table builder, the command toolbar and the list sorting.
#include <QHeaderView>
#include <QTest>
#include <QToolBar>

#include "ConsoleHarness.h"
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
    QProgressBar* prgProgress = nullptr;
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
            Control(prgProgress, "prgProgress", "", {60, 2200, 3000, 255}),
            Control(lvwMessages, "lvwMessages", "Double click on a message to update ", {60, 2600, 5800, 1300}),
        };
        BuildControls(client, controls);
        connect(cmdOk, &QPushButton::clicked, this, [this] { ++okClicks; });
        const ToolbarButton buttons[] = {{"cmdOk", "&Ok", "Save Changes", "Ok"}, {"cmdNone", "&None", "", "Close"}};
        BuildCommandToolbar(tlbMenu, this, buttons);
    }
};

TEST(FormBuilder, ControlsComeFromTheTableAndTheToolbarRepeatsTheirButtons)
{
    Sample form;
    EXPECT_EQ(form.txtMessage->parentWidget(), form.fraDetails);
    EXPECT_EQ(form.lblMessage->buddy(), form.txtMessage);
    EXPECT_EQ(form.txtMessage->maxLength(), 30);
    EXPECT_EQ(form.updCount->maximum(), 48);
    EXPECT_FALSE(form.cmdOk->autoDefault());
    EXPECT_TRUE(form.prgProgress->isHidden());

    QAction* ok = ToolbarAction(form.tlbMenu, "cmdOk");
    ok->trigger();
    form.cmdOk->setEnabled(false);
    EXPECT_FALSE(ok->isEnabled());
    ok->trigger();
    form.cmdOk->setEnabled(true);
    EXPECT_TRUE(ok->isEnabled());
    ToolbarAction(form.tlbMenu, "cmdNone")->trigger(); // names no button: does nothing
    EXPECT_EQ(form.okClicks, 1);
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
    // Rows numbered as the upgrade wrote them ("002") and as a save writes them ("01 ").
    for (const auto& r : {QStringList{"10 ", "b"}, QStringList{"002", "c"}, QStringList{"01 ", "a"}}) {
        auto* row = new SortableRow(r);
        row->SetSortNumber(0, r[0].trimmed().toDouble());
        list->addTopLevelItem(row);
    }
    EnableColumnClickSorting(list);
    clickHeader(list, 1);
    EXPECT_EQ(ColumnTexts(list, 0), (QStringList{"01 ", "10 ", "002"}));
    clickHeader(list, 1);
    EXPECT_EQ(ColumnTexts(list, 0), (QStringList{"002", "10 ", "01 "}));
    clickHeader(list, 0);
    EXPECT_EQ(ColumnTexts(list, 0), (QStringList{"01 ", "002", "10 "}));
    clickHeader(list, 1);
    ResetSortKey(list);
    EXPECT_EQ(ColumnTexts(list, 0), (QStringList{"10 ", "002", "01 "})); // by number, in the last click's order
}

} // namespace
