#pragma once
// List-view columns by relative weights. Widths are worked out in twips, as
// the windows were laid out, and applied in pixels.

#include <QString>
#include <vector>

class QTreeWidget;

// Widths (twips) for the columns of a list of the given size: each weight's
// share of the width less 100 twips. With items that do not all fit (the
// header takes one row), 250 twips are kept free for the vertical scroll bar:
// taken from every column, or only from the last when lastColumnTakesScrollBar.
std::vector<double> ComputeColumnWidths(double listWidth, double listHeight, double firstItemHeight, int itemCount,
                                        const std::vector<double>& weights, bool lastColumnTakesScrollBar);

void SetupListViewColumns(QTreeWidget* listView, const std::vector<double>& weights, const std::vector<QString>& captions);
void AutoSizeListViewColumns(QTreeWidget* listView, const std::vector<double>& weights,
                             bool lastColumnTakesScrollBar = false);
