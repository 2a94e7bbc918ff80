// Encoder detection against a unit whose answers come from the fuzz input:
// every line the console sends is answered (or not) with the next scripted
// reply. Identity, version, table sizes and tone capabilities are all read
// from these answers; none of them may crash detection or publish a table
// size the windows cannot hold.
#include "FuzzSupport.h"
#include "KS_Globals.h"
#include "KS_Paging.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    ResetLinkState();
    FuzzedDataProvider input(data, size);
    gConnectionType = 1;

    FuzzPort port;
    port.line().OnHostLine = [&input](FuzzLine& line, const std::string&) {
        if (input.remaining_bytes() == 0)
            return; // the unit has nothing more to say
        const auto delay = input.ConsumeIntegralInRange<int>(1, 30);
        std::string answer = input.ConsumeRandomLengthString(40);
        line.Deliver(std::move(answer), gDelayTicks + delay);
    };
    DetectEncoder();

    for (int count : {gAlarmMessageCount, gPABXMessageCount, gFastkeyMessageCount, gFreetextMessageCount,
                      gWirelessMessageCount})
        FuzzCheck(count >= 0 && count <= 999, "a table size outside 0..999");
    FuzzCheck(!gToneCalendarSupported || (gToneCalendarEventsPerDay >= 1 && gToneCalendarEventsPerDay <= 99),
              "a calendar without a usable events-per-day figure");
    FuzzCheck(gEncoderSerialNumber.size() == 5, "a serial number that is not five characters");
    (void)ConnectionStatusCaption();
    return 0;
}
