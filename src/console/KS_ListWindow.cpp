#include "KS_ListWindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QTreeWidget>

#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_ListServices.h"

namespace {
constexpr int kSortNumberRole = Qt::UserRole + 1;
constexpr const char* kSortOrder = "sortOrder"; // the order of the last column click; ascending before any

Qt::SortOrder sortOrder(const QTreeWidget* list)
{
    const QVariant order = list->property(kSortOrder);
    return order.isValid() ? static_cast<Qt::SortOrder>(order.toInt()) : Qt::AscendingOrder;
}
} // namespace

void PlaceTableWindow(QWidget* window) { window->move(Twips(2600), Twips(2200)); }

void SortableRow::SetSortNumber(int column, double number) { setData(column, kSortNumberRole, number); }

bool SortableRow::operator<(const QTreeWidgetItem& other) const
{
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    const QVariant mine = data(column, kSortNumberRole);
    const QVariant theirs = other.data(column, kSortNumberRole);
    if (mine.isValid() && theirs.isValid())
        return mine.toDouble() < theirs.toDouble();
    return QTreeWidgetItem::operator<(other);
}

void EnableColumnClickSorting(QTreeWidget* list)
{
    list->header()->setSectionsClickable(true);
    QObject::connect(list->header(), &QHeaderView::sectionClicked, list, [list](int column) {
        const bool clickedBefore = list->property(kSortOrder).isValid();
        const Qt::SortOrder order = clickedBefore && sortOrder(list) == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                                             : Qt::AscendingOrder;
        list->setProperty(kSortOrder, static_cast<int>(order));
        list->setSortingEnabled(true);
        list->sortByColumn(column, order);
    });
}

void ResetSortKey(QTreeWidget* list, bool sortingOn)
{
    const Qt::SortOrder order = sortOrder(list);
    if (sortingOn && !list->isSortingEnabled()) {
        list->header()->setSortIndicator(0, order);
        list->setSortingEnabled(true);
    }
    if (list->isSortingEnabled())
        list->sortByColumn(0, order);
    else
        list->header()->setSortIndicator(0, order);
}

void ShowSavedListRow(QTreeWidget* list, const std::vector<double>& weights, bool sortingOn, QTreeWidgetItem* row)
{
    ResetSortKey(list, sortingOn);
    AutoSizeListViewColumns(list, weights);
    list->scrollToItem(row);
}

void SelectListRow(QTreeWidget* list, QTreeWidgetItem* row)
{
    if (!row)
        return;
    list->clearSelection();
    list->setCurrentItem(row);
    row->setSelected(true);
    list->scrollToItem(row);
}

QTreeWidgetItem* SelectedListRow(const QTreeWidget* list)
{
    const auto rows = list->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

TransferProgress::TransferProgress(QProgressBar* bar, QLabel* info, QString prefix)
    : bar_(bar)
    , info_(info)
    , prefix_(std::move(prefix))
{
}

void TransferProgress::Start(int total)
{
    bar_->setRange(0, total);
    bar_->setValue(0);
    info_->clear();
    info_->show();
    bar_->show();
    DoEvents();
}

void TransferProgress::Step()
{
    bar_->setValue(bar_->value() + 1);
    info_->setText(prefix_ + QString::number(bar_->value()) + "/" + QString::number(bar_->maximum()));
    DoEvents();
}

void TransferProgress::Finish(bool done)
{
    info_->setText(done ? "Done !" : "Canceled !");
    bar_->hide();
}

int TransferProgress::Done() const { return bar_->value(); }
