#pragma once
// KS_PPM_MessagesAlarm: the alarm-input table in the shared list window, with
// KS_PPM_MessagesAlarmAdd as its edit dialog.

#include "KS_PPM_MessagesTable.h"

MessageListDefinition AlarmList();
