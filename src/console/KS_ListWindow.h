#pragma once
// What the list windows share: their placement, the column-click sorting of
// their list views, row selection, and the progress bar with its lblInfo
// label during a transfer.

#include <QString>
#include <QTreeWidgetItem>
#include <string_view>
#include <vector>

class QLabel;
class QProgressBar;
class QTreeWidget;
class QWidget;

// The table and scheduling windows open at Left 2600, Top 2200 twips.
void PlaceTableWindow(QWidget* window);

// A list row that sorts by a number where one was given (SetSortNumber), and
// by its text where none was: "001" and "01 " are then both slot 1.
class SortableRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    void SetSortNumber(int column, double number);
    bool operator<(const QTreeWidgetItem& other) const override;
};

// Column clicks sort the list by the clicked column; the order flips between
// ascending and descending at every click.
void EnableColumnClickSorting(QTreeWidget* list);
// The sort key goes back to the first column (after a load or a save). A
// list that was sorted stays sorted, now by that column; sortingOn switches
// sorting on as well.
void ResetSortKey(QTreeWidget* list, bool sortingOn = false);
// After an edit dialog saved the row: the sort key goes back to the first
// column and the columns are fitted again, since a window that cannot be
// widened would otherwise cut a text longer than its column was sized for.
void ShowSavedListRow(QTreeWidget* list, const std::vector<double>& weights, bool sortingOn, QTreeWidgetItem* row);

// Makes the row the current and only selected one and scrolls it into view.
void SelectListRow(QTreeWidget* list, QTreeWidgetItem* row);
// The selected row; nullptr when none is.
QTreeWidgetItem* SelectedListRow(const QTreeWidget* list);

// The progress of a transfer: Start clears lblInfo and shows both controls,
// each Step shows prefix & done & "/" & total (as in "Uploading...3/10") and
// lets the window repaint, Finish leaves "Done !" or "Canceled !" in lblInfo
// and hides the bar.
class TransferProgress {
public:
    TransferProgress(QProgressBar* bar, QLabel* info, QString prefix);
    void Start(int total);
    void Step();
    void Finish(bool done);
    int Done() const;

private:
    QProgressBar* bar_;
    QLabel* info_;
    QString prefix_;
};
