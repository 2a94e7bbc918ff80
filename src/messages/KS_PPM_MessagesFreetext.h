#pragma once
// The free-text keyword list: the table list window with its five columns,
// the free-text engine and KS_PPM_MessagesFreetextAdd as its edit dialog.

#include <string>

#include "KS_PPM_MessagesTable.h"

MessageListDefinition FreetextList();

// Row `index` (from 0): the position as "01", the pager, the keyword and the
// message as stored, and "Yes" or "No" for the replace flag.
void FillFreetextRow(SortableRow& row, const std::string& record, int index);
