#include "KS_ListServices.h"

#include <QHash>
#include <QHeaderView>
#include <QStyleOptionHeader>
#include <QTreeWidget>
#include <map>
#include <numeric>

#include "KS_Forms.h"

namespace {
constexpr double kMargin = 100;
constexpr double kScrollBarReserve = 250;

double sumOf(const std::vector<double>& weights) { return std::accumulate(weights.begin(), weights.end(), 0.0); }

// The widths of the texts a list has shown, by column, in the font they were measured in: a list is
// sized again after every change, and the selected list of a large batch loses one row per page.
class MeasuredTexts : public QObject {
public:
    static QHash<QString, int>& Column(QTreeWidget* listView, int column)
    {
        QObject* found = listView->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly);
        auto* measured = found ? static_cast<MeasuredTexts*>(found) : new MeasuredTexts(listView);
        if (measured->font_ != listView->font().key()) {
            measured->font_ = listView->font().key();
            measured->columns_.clear();
        }
        return measured->columns_[column];
    }

private:
    explicit MeasuredTexts(QObject* list)
        : QObject(list)
    {
        setObjectName(kName);
    }

    static constexpr const char* kName = "measuredTexts";
    QString font_;
    std::map<int, QHash<QString, int>> columns_;
};

// What one row's text needs: records keep their texts padded with spaces, which need no room.
int cellWidth(QTreeWidget* listView, int row, int column)
{
    const QTreeWidgetItem* item = listView->topLevelItem(row);
    const QString text = item->text(column);
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    const QFontMetrics metrics(item->font(column));
    const int padding = metrics.horizontalAdvance(text) - metrics.horizontalAdvance(text.left(end));
    return listView->sizeHintForIndex(listView->model()->index(row, column)).width() - padding;
}

// The pixels a column needs to show its caption, with the sort arrow when it shows one, and each
// of its texts whole.
int textWidth(QTreeWidget* listView, int column)
{
    QHeaderView* header = listView->header();
    QStyleOptionHeader caption;
    caption.initFrom(header);
    caption.orientation = Qt::Horizontal;
    caption.section = column;
    caption.text = listView->headerItem()->text(column);
    if (header->isSortIndicatorShown() && header->sortIndicatorSection() == column)
        caption.sortIndicator = QStyleOptionHeader::SortDown;
    int width = header->style()->sizeFromContents(QStyle::CT_HeaderSection, &caption, QSize(), header).width();
    QHash<QString, int>& measured = MeasuredTexts::Column(listView, column);
    for (int row = 0; row < listView->topLevelItemCount(); ++row) {
        const QString text = listView->topLevelItem(row)->text(column);
        auto found = measured.constFind(text);
        if (found == measured.constEnd())
            found = measured.insert(text, cellWidth(listView, row, column));
        width = std::max(width, *found);
    }
    return width;
}

// Sets the widths, except that a shown column too narrow for its texts takes what it lacks from
// the room the others have beyond theirs. When that room is not enough the list scrolls sideways
// rather than cut a text.
void fitColumns(QTreeWidget* listView, std::vector<int> widths, const std::vector<bool>& shown)
{
    std::vector<int> needs(widths.size(), 0);
    int lacking = 0;
    int spare = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (shown[i])
            needs[i] = textWidth(listView, static_cast<int>(i));
        lacking += std::max(0, needs[i] - widths[i]);
        spare += std::max(0, widths[i] - needs[i]);
    }
    const int taken = std::min(lacking, spare);
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (needs[i] > widths[i])
            widths[i] = needs[i];
        else if (spare > 0)
            widths[i] -= (widths[i] - needs[i]) * taken / spare;
        listView->setColumnWidth(static_cast<int>(i), widths[i]);
    }
}

void applyColumnWidths(QTreeWidget* listView, const std::vector<double>& weights, const std::vector<double>& twips)
{
    const std::size_t count = std::min(twips.size(), static_cast<std::size_t>(listView->columnCount()));
    std::vector<int> widths;
    std::vector<bool> shown;
    for (std::size_t i = 0; i < count; ++i) {
        widths.push_back(std::max(0, Twips(twips[i])));
        shown.push_back(weights[i] > 0);
    }
    fitColumns(listView, widths, shown);
}

// The sort arrow takes room from the caption of the column it moves to.
void refitOnSort(QTreeWidget* listView)
{
    QHeaderView* header = listView->header();
    constexpr const char* kWatched = "refitsOnSort";
    if (header->property(kWatched).toBool())
        return;
    header->setProperty(kWatched, true);
    QObject::connect(header, &QHeaderView::sortIndicatorChanged, listView, [listView] {
        std::vector<int> widths;
        std::vector<bool> shown;
        for (int i = 0; i < listView->columnCount(); ++i) {
            widths.push_back(listView->columnWidth(i));
            shown.push_back(!listView->isColumnHidden(i) && widths.back() > 0);
        }
        fitColumns(listView, widths, shown);
    });
}
} // namespace

std::vector<double> ComputeColumnWidths(double listWidth, double listHeight, double firstItemHeight, int itemCount,
                                        const std::vector<double>& weights, bool lastColumnTakesScrollBar)
{
    std::vector<double> widths;
    const double sum = sumOf(weights);
    if (sum <= 0)
        return std::vector<double>(weights.size(), 0.0);

    double reserve = 0;
    if (itemCount > 0 && firstItemHeight > 0) {
        const auto rows = static_cast<long long>(listHeight / firstItemHeight);
        if (rows < itemCount + 1)
            reserve = kScrollBarReserve;
    }
    for (double weight : weights) {
        if (lastColumnTakesScrollBar)
            widths.push_back((listWidth - kMargin) * weight / sum);
        else
            widths.push_back((listWidth - reserve - kMargin) * weight / sum);
    }
    if (lastColumnTakesScrollBar && !widths.empty())
        widths.back() -= reserve;
    return widths;
}

void SetupListViewColumns(QTreeWidget* listView, const std::vector<double>& weights, const std::vector<QString>& captions)
{
    listView->setColumnCount(static_cast<int>(weights.size()));
    listView->setHeaderLabels(QStringList(captions.begin(), captions.end()));
    listView->setRootIsDecorated(false);
    listView->header()->setStretchLastSection(false);
    // A zero weight carries data the operator never sees (the Type ID column).
    for (int i = 0; i < static_cast<int>(weights.size()); ++i)
        listView->setColumnHidden(i, weights[static_cast<std::size_t>(i)] == 0);
    applyColumnWidths(listView, weights, ComputeColumnWidths(PixelsToTwips(listView->width()), 0, 0, 0, weights, false));
    refitOnSort(listView);
}

void AutoSizeListViewColumns(QTreeWidget* listView, const std::vector<double>& weights, bool lastColumnTakesScrollBar)
{
    const int itemCount = listView->topLevelItemCount();
    double itemHeight = 0;
    if (itemCount > 0) {
        const int rowPixels = listView->sizeHintForRow(0) > 0 ? listView->sizeHintForRow(0)
                                                               : listView->fontMetrics().height() + 2;
        itemHeight = PixelsToTwips(rowPixels);
    }
    const auto widths = ComputeColumnWidths(PixelsToTwips(listView->width()), PixelsToTwips(listView->height()),
                                            itemHeight, itemCount, weights, lastColumnTakesScrollBar);
    applyColumnWidths(listView, weights, widths);
}
