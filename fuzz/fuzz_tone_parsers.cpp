// The weekly tone event answer ("?E") and the calendar day reply ("?CD") as
// any unit might send them, for each kind of tone-capable unit.
#include <vector>

#include "FuzzSupport.h"
#include "KS_Database.h"
#include "KS_Globals.h"

namespace {
struct Unit {
    const char* letter;
    const char* family;
};
constexpr Unit kUnits[] = {{"A", "QX8XXX"}, {"B", "QX8XXX"},  {"X", "Not Defined"}, {"K", "HTG-XXX"},
                           {"T", "HTG-XXX"}, {"S", "HPA-XXX"}, {"L", "QX7XXX"},     {"Q", "HTG-XXX"}};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    FuzzedDataProvider input(data, size);
    const Unit& unit = kUnits[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kUnits) - 1)];
    gEncoderModelLetter = unit.letter;
    gEncoderFamily = unit.family;
    gToneEventsSupported = input.ConsumeBool();
    const int eventNo = input.ConsumeIntegralInRange<int>(1, 48);
    const int maxEvents = input.ConsumeIntegralInRange<int>(-1, 120);
    const std::string answer = input.ConsumeRandomLengthString(64);
    const std::string reply = input.ConsumeRemainingBytesAsString();

    ToneScheduleEvent event = DefaultToneScheduleEvent(eventNo);
    const ToneScheduleEvent before = event;
    if (ParseToneEventAnswer(answer, eventNo, event))
        FuzzCheck(event.AlertLevel <= 9 && event.AlertLength <= 9, "an alert level or length beyond one digit");
    else
        FuzzCheck(event == before, "a refused answer changed the event");

    std::vector<CalendarEvent> day(100, DefaultCalendarEvent(2.0, 1));
    const int filled = ParseCalendarDayReply(reply, maxEvents, day);
    FuzzCheck(filled >= 0 && filled <= std::max(0, std::min(maxEvents, 100)), "more events filled than asked");
    return 0;
}
