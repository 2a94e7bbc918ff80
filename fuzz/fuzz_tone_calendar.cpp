// The tone calendar as any file or unit might hand it over: calendar records
// of any bytes turned into "PCD" day strings, and "?CD" replies read and
// written back out, which must come out the same a second time round.
#include <algorithm>
#include <vector>

#include "FuzzSupport.h"
#include "KS_Database.h"
#include "KS_ToneCalendar.h"

namespace {

// "MMDD", 14 characters per event (13 digits and "Y" or "N"), "*".
bool wellFormed(const std::string& day, int events)
{
    if (events == 0)
        return day.empty();
    if (day.size() != 5 + 14 * static_cast<std::size_t>(events) || day.back() != '*')
        return false;
    for (std::size_t i = 0; i + 1 < day.size(); ++i) {
        const bool flag = i >= 4 && (i - 4) % 14 == 13;
        const char c = day[i];
        if (flag ? c != 'Y' && c != 'N' : c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    FuzzedDataProvider input(data, size);
    const int perDay = input.ConsumeIntegralInRange<int>(0, 120);
    const std::string records = input.ConsumeRandomLengthString(100 * CalendarEvent::kLength);
    const std::string reply = input.ConsumeRemainingBytesAsString();

    std::vector<CalendarEvent> day;
    for (std::size_t at = 0; at + CalendarEvent::kLength <= records.size(); at += CalendarEvent::kLength)
        day.push_back(DecodeRecord<CalendarEvent>(std::string_view(records).substr(at, CalendarEvent::kLength)));
    const int expected = std::min({perDay, 100, static_cast<int>(day.size())});
    FuzzCheck(wellFormed(CalendarDayString(day, perDay), expected), "a day string out of its shape");

    std::vector<CalendarEvent> parsed(100, DefaultCalendarEvent(SerialFromDate(QDate(2024, 2, 29)), 1));
    const int filled = ParseCalendarDayReply(reply, std::max(perDay, 1), parsed);
    const std::string once = CalendarDayString(std::span(parsed).first(static_cast<std::size_t>(filled)), 100);
    std::vector<CalendarEvent> again(100, DefaultCalendarEvent(SerialFromDate(QDate(2024, 2, 29)), 1));
    const int refilled = once.empty() ? 0 : ParseCalendarDayReply("C" + once + "\r", 100, again);
    FuzzCheck(refilled == filled, "a day string that reads back to another number of events");
    FuzzCheck(CalendarDayString(std::span(again).first(static_cast<std::size_t>(refilled)), 100) == once,
              "a day that changes when it goes round a second time");
    return 0;
}
