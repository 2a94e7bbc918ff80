#pragma once
// What the time-receiver programmer knows about the time receiver's values,
// without a widget or the link: its clock command, its date and time texts,
// the master-clock time and the security key.

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view kTimeReceiverModel = "RL7990";

// The clock command's value from the PC's clock in UTC: hour, minute,
// second, month, day and year, two digits each, then "U".
std::string TimeReceiverClockValue(const QDateTime& utc);
// A time of day as "HHNN", 24-hour.
std::string TimeOfDayDigits(const QTime& time);
// A date as "MMDDYYw", the last digit the weekday: 1 Sunday through 7 Saturday.
std::string TimeReceiverDateDigits(const QDate& date);

// The device's date from its whole "D" answer: the six digits "MMDDYY" that
// stand before the weekday digit and the "*"; nothing when they are no date.
std::optional<QDate> TimeReceiverDate(std::string_view rawReply);
// "HHNN" or "HHNNSS" as a time of day; nothing when it is none.
std::optional<QTime> TimeReceiverTime(std::string_view digits);
// How the window shows them: "Wednesday, 12/24/14", "01:05 PM", "01:05:09 PM".
std::string TimeReceiverDateText(const QDate& date);
std::string TimeReceiverTimeText(const QTime& time, bool withSeconds);

// A security key as the box keeps it: three digits, at most 299.
std::string SecurityKeyText(std::string_view text);
