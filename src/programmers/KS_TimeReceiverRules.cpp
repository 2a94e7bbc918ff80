#include "KS_TimeReceiverRules.h"

#include <QLocale>

#include "KS_DeviceRules.h"
#include "KS_String.h"

namespace {

std::string twoDigits(int value) { return ZeroPad(value % 100, 2); }

int number(std::string_view digits) { return static_cast<int>(Val(digits)); }

} // namespace

std::string TimeReceiverClockValue(const QDateTime& utc)
{
    const QDateTime t = utc.toUTC();
    const QDate d = t.date();
    const QTime h = t.time();
    return twoDigits(h.hour()) + twoDigits(h.minute()) + twoDigits(h.second()) + twoDigits(d.month())
        + twoDigits(d.day()) + twoDigits(d.year()) + "U";
}

std::string TimeOfDayDigits(const QTime& time) { return twoDigits(time.hour()) + twoDigits(time.minute()); }

std::string TimeReceiverDateDigits(const QDate& date)
{
    // Qt counts Monday 1 .. Sunday 7; the device Sunday 1 .. Saturday 7.
    const int weekday = date.dayOfWeek() % 7 + 1;
    return twoDigits(date.month()) + twoDigits(date.day()) + twoDigits(date.year()) + std::to_string(weekday);
}

std::optional<QDate> TimeReceiverDate(std::string_view rawReply)
{
    const auto value = AcknowledgedValue(rawReply);
    if (!value)
        return std::nullopt;
    const std::size_t star = value->find('*');
    const std::string_view before = std::string_view(*value).substr(0, star);
    if (before.size() < 7)
        return std::nullopt;
    const std::string_view digits = before.substr(before.size() - 7, 6);
    if (!AllDigits(digits))
        return std::nullopt;
    // Two-digit years as the console's own date rules read them: 00-29 this century.
    const int yy = number(digits.substr(4, 2));
    const QDate date(yy < 30 ? 2000 + yy : 1900 + yy, number(digits.substr(0, 2)), number(digits.substr(2, 2)));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> TimeReceiverTime(std::string_view digits)
{
    if ((digits.size() != 4 && digits.size() != 6) || !AllDigits(digits))
        return std::nullopt;
    const QTime time(number(digits.substr(0, 2)), number(digits.substr(2, 2)),
                     digits.size() == 6 ? number(digits.substr(4, 2)) : 0);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::string TimeReceiverDateText(const QDate& date)
{
    return FromQString(QLocale::c().toString(date, QStringLiteral("dddd, MM/dd/yy")));
}

std::string TimeReceiverTimeText(const QTime& time, bool withSeconds)
{
    return FromQString(QLocale::c().toString(time, withSeconds ? QStringLiteral("hh:mm:ss AP") : QStringLiteral("hh:mm AP")));
}

std::string SecurityKeyText(std::string_view text)
{
    std::string digits = PadDigits(text, 3);
    if (Val(digits) > 299)
        digits = "299";
    return digits;
}
