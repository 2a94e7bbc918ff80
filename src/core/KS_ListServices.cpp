#include "KS_ListServices.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <numeric>

#include "KS_Forms.h"

namespace {
constexpr double kMargin = 100;
constexpr double kScrollBarReserve = 250;

double sumOf(const std::vector<double>& weights) { return std::accumulate(weights.begin(), weights.end(), 0.0); }
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
    const auto widths = ComputeColumnWidths(PixelsToTwips(listView->width()), 0, 0, 0, weights, false);
    for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
        listView->setColumnWidth(i, Twips(widths[static_cast<std::size_t>(i)]));
        // A zero weight carries data the operator never sees (the Type ID column).
        listView->setColumnHidden(i, weights[static_cast<std::size_t>(i)] == 0);
    }
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
    for (int i = 0; i < static_cast<int>(widths.size()) && i < listView->columnCount(); ++i)
        listView->setColumnWidth(i, std::max(0, Twips(widths[static_cast<std::size_t>(i)])));
}
