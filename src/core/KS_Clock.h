#pragma once
// The system clock, as the program reads it. Tests set a fixed or stepping
// clock so that clock commands and schedules are reproducible.

#include <QDateTime>
#include <functional>

QDateTime GetSystemTime(); // UTC
QDateTime GetLocalTime();

// Empty function restores the real clock. The function returns UTC.
void SetClockForTest(std::function<QDateTime()> utcNow);
