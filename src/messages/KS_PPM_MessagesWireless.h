#pragma once
// The wireless-device message list: the table list window with its nine
// columns (two hidden), the wireless engine and KS_PPM_MessagesWirelessAdd as
// its edit dialog.

#include <string>

#include "KS_PPM_MessagesTable.h"

MessageListDefinition WirelessList();

// Row `index` (from 0): the slot number, the device code in seven digits (from
// whichever code field holds one), cancel code, pager, repeat time, message,
// supervision, and the plan and call-type codes in the hidden columns.
void FillWirelessRow(SortableRow& row, const std::string& record, int index);
