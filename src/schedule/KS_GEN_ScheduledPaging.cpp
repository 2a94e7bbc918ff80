#include "KS_GEN_ScheduledPaging.h"

#include <QPointer>
#include <QHeaderView>
#include <QToolBar>
#include <vector>

#include "KS_Database.h"
#include "KS_FormBuilder.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_GEN_ScheduledPagingAdd.h"
#include "KS_Globals.h"
#include "KS_ListServices.h"
#include "KS_ListWindow.h"
#include "KS_Messages.h"
#include "KS_PagingLists.h"
#include "KS_PagingSchedule.h"
#include "KS_String.h"
#include "KS_Toolbar.h"
#include "OptionList.h"

namespace {

const std::vector<double> kColumnWeights = {0.5, 1, 0.7, 1, 0.7, 3};

int selectedWeekday(QComboBox* combo) { return AsOptionList(combo).ItemData(combo->currentIndex()); }

} // namespace

KS_GEN_ScheduledPaging::KS_GEN_ScheduledPaging(QWidget* owner)
    : QDialog(owner)
{
    setObjectName("KS_GEN_ScheduledPaging");
    setWindowTitle("Scheduled Paging");

    QWidget* client = BuildToolbarForm(this, tlbMenu, 9000, 5400);
    const FormControl controls[] = {
        Control(lblWeekDay, "lblWeekDay", "&Week Day:", {120, 180, 1000, 255}),
        Control(cmbWeekDay, "cmbWeekDay", "", {1140, 120, 1800, 315}),
        Control(cmdCopyFrom, "cmdCopyFrom", "Copy From", {4560, 90, 1215, 375}),
        Control(cmbCopyWeekDay, "cmbCopyWeekDay", "", {5880, 120, 1800, 315}),
        Control(lvwMessages, "lvwMessages", "Double click on a message to update ", {120, 600, 8760, 4140}),
        Control(cmdUpdate, "cmdUpdate", "&Update", {6345, 4900, 1215, 375}),
        Control(cmdClose, "cmdClose", "&Close", {7665, 4900, 1215, 375}),
    };
    BuildControls(client, controls);

    connect(cmbWeekDay, &QComboBox::activated, this, &KS_GEN_ScheduledPaging::cmbWeekDay_Click);
    connect(cmbCopyWeekDay, &QComboBox::activated, this, &KS_GEN_ScheduledPaging::cmbCopyWeekDay_Click);
    connect(cmdCopyFrom, &QPushButton::clicked, this, &KS_GEN_ScheduledPaging::cmdCopyFrom_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &KS_GEN_ScheduledPaging::cmdUpdate_Click);
    connect(cmdClose, &QPushButton::clicked, this, &KS_GEN_ScheduledPaging::cmdClose_Click);
    connect(lvwMessages, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (cmdUpdate->isEnabled())
            cmdUpdate_Click();
    });
    EnableColumnClickSorting(lvwMessages);
    FormConventions::Install(this);
    Form_Load();
}

void KS_GEN_ScheduledPaging::Form_Load()
{
    PlaceTableWindow(this);
    InitToolbar();
    InitScheduleColumns();
    FillWeekDayCombo(AsOptionList(cmbWeekDay), 0);
    FillWeekDayCombo(AsOptionList(cmbCopyWeekDay), 0);
    LoadDaySchedule(1);
    cmdUpdate->setEnabled(true);
    cmdCopyFrom->setEnabled(false);
}

void KS_GEN_ScheduledPaging::InitToolbar()
{
    const ToolbarButton buttons[] = {
        {"cmdClose", "&Close", "Close", "Close"},
        {"cmdUpdate", "&Update", "Update Selected Message", "Update"},
    };
    BuildCommandToolbar(tlbMenu, this, buttons);
}

void KS_GEN_ScheduledPaging::InitScheduleColumns()
{
    SetupListViewColumns(lvwMessages, kColumnWeights, {"No.", "Time", "Pager", "Alert Type", "Active", "Message"});
    // Lists start in ascending order; the column clicks flip it from there.
    lvwMessages->header()->setSortIndicator(0, Qt::AscendingOrder);
}

bool KS_GEN_ScheduledPaging::LoadDaySchedule(int weekday)
{
    ShowBusyPointer();
    if (weekday < 1 || weekday > 7 || !LoadScheduleDatabase()) {
        ShowNormalPointer();
        return false;
    }
    lvwMessages->clear();
    QList<QTreeWidgetItem*> rows;
    for (int row = 1; row <= kScheduleRowsPerDay; ++row) {
        const ScheduleEntry& e = gSchedule[static_cast<std::size_t>(ScheduleIndex(weekday, row))];
        rows.append(new QTreeWidgetItem(QStringList{
            ToQString(e.No), ToQString(e.Time), ToQString(ZeroPad(static_cast<long long>(Val(e.Pager)), 3)),
            QString::number(e.AlertType), e.Active != 0 ? "Yes" : "No", ToQString(Trim(e.Message))}));
    }
    lvwMessages->addTopLevelItems(rows);
    ResetSortKey(lvwMessages, true);
    SelectListRow(lvwMessages, lvwMessages->topLevelItem(0));
    AutoSizeListViewColumns(lvwMessages, kColumnWeights);
    shownWeekday_ = weekday;
    ShowNormalPointer();
    return true;
}

void KS_GEN_ScheduledPaging::cmbWeekDay_Click()
{
    // The entry dialog writes to the day the combo names, so when the new day
    // cannot be listed the combo goes back to the day the list still shows.
    if (!LoadDaySchedule(selectedWeekday(cmbWeekDay)))
        cmbWeekDay->setCurrentIndex(shownWeekday_ - 1);
    applyCopyFromRule();
}

void KS_GEN_ScheduledPaging::applyCopyFromRule()
{
    cmdCopyFrom->setEnabled(cmbWeekDay->currentIndex() != cmbCopyWeekDay->currentIndex());
}

void KS_GEN_ScheduledPaging::cmdCopyFrom_Click()
{
    const std::string question = "Are you sure you want to copy the schedule from "
                                 + FromQString(cmbCopyWeekDay->currentText()) + " to "
                                 + FromQString(cmbWeekDay->currentText()) + " ?";
    if (ShowMessage(question, kButtonsYesNo, kAnswerNo, kIconQuestion) != kAnswerYes)
        return;
    CopyDaySchedule(selectedWeekday(cmbCopyWeekDay), selectedWeekday(cmbWeekDay));
    LoadDaySchedule(selectedWeekday(cmbWeekDay));
}

void KS_GEN_ScheduledPaging::cmdUpdate_Click()
{
    if (lvwMessages->topLevelItemCount() == 0 || !SelectedListRow(lvwMessages))
        return;
    mode_ = 2;
    SetFormContentsEnabled(this, false);
    // Exit may end the program while the dialog is up.
    const QPointer<KS_GEN_ScheduledPaging> self(this);
    const QPointer<KS_GEN_ScheduledPagingAdd> dialog = new KS_GEN_ScheduledPagingAdd(this);
    dialog->exec();
    delete dialog.data();
    if (self)
        SetFormContentsEnabled(this, true);
}
