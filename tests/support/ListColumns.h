#pragma once
// What a list view's header leaves for a column's caption, for the tests that
// check every column shows whole.

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTreeWidget>

// The width the header gives the caption of the column as wide as it now is,
// beside its margins and, on the sorted column, the sort indicator.
inline int HeaderCaptionRoom(const QTreeWidget* list, int column)
{
    const QHeaderView* header = list->header();
    QStyleOptionHeader option;
    option.initFrom(header);
    option.state |= QStyle::State_Horizontal;
    option.rect = QRect(0, 0, list->columnWidth(column), header->height());
    option.text = list->headerItem()->text(column);
    if (header->isSortIndicatorShown() && header->sortIndicatorSection() == column)
        option.sortIndicator = QStyleOptionHeader::SortDown;
    return header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header).width();
}
