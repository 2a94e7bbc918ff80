#include "KS_Clock.h"

namespace {
std::function<QDateTime()>& clockOverride()
{
    static std::function<QDateTime()> fn;
    return fn;
}
} // namespace

QDateTime GetSystemTime()
{
    if (auto& fn = clockOverride())
        return fn().toUTC();
    return QDateTime::currentDateTimeUtc();
}

QDateTime GetLocalTime() { return GetSystemTime().toLocalTime(); }

void SetClockForTest(std::function<QDateTime()> utcNow) { clockOverride() = std::move(utcNow); }
