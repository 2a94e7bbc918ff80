#pragma once
// KS_PPM_MessagesAlarm: the alarm-input table in the shared list window.

struct MessageListSpec;

MessageListSpec AlarmListSpec();
// Registers KS_PPM_MessagesAlarm for the Messages menu.
void RegisterAlarmWindow();
