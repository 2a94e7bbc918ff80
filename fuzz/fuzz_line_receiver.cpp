// The polled line receiver fed any byte stream: chunks of arbitrary bytes (no
// CR, NULs, floods) arriving at arbitrary ticks, on an encoder or a modem
// link, with the device possibly vanishing part-way. Whatever arrives, the
// receiver must come back to idle once the line falls quiet.
#include "FuzzSupport.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    ResetLinkState();
    FuzzedDataProvider input(data, size);
    gConnectionType = input.ConsumeBool() ? 1 : 2;
    gModemConnected = input.ConsumeBool();

    FuzzPort port;
    std::int64_t due = gDelayTicks;
    bool flooded = false;
    while (input.remaining_bytes() > 0) {
        const auto gap = input.ConsumeIntegralInRange<int>(0, 40);
        if (gap == 40) {
            port.line().Vanish();
            break;
        }
        due += gap;
        // Now and then (once per input at most) a flood: without a CR, longer
        // than the longest line the receiver keeps (4096 bytes); with CRs, a
        // crowd of lines arriving together. Every byte costs a pass of the
        // receiver's loop, so neither is longer than that.
        const bool flood = input.ConsumeIntegralInRange<int>(0, 15) == 0 && !flooded;
        flooded |= flood;
        std::string chunk = input.ConsumeRandomLengthString(flood ? 64 : 128);
        if (flood && !chunk.empty()) {
            const std::size_t size = chunk.find('\r') == std::string::npos ? 4200 : 512;
            std::string big;
            while (big.size() < size)
                big += chunk;
            chunk = std::move(big);
        }
        port.line().Deliver(std::move(chunk), due);
    }

    // Long enough for every chunk to arrive, every line to be taken (one per
    // poll) and the last unfinished one to time out.
    const std::int64_t end = due + 30;
    std::int64_t guard = 0;
    while (gDelayTicks < end || port.line().Pending() || (gComm->PortOpen() && gComm->InBufferCount() > 0)) {
        // While the receiver is idle on an empty line nothing happens until the
        // next bytes arrive: those ticks are skipped rather than counted out.
        if (gReceiverIdle && gComm->PortOpen() && gComm->InBufferCount() == 0 && port.line().Pending())
            gDelayTicks = std::max(gDelayTicks, port.line().NextDue() - 1);
        WaitForEvents();
        FuzzCheck(++guard < 1'000'000, "the receiver never drained the line");
    }
    // The last bytes taken may be a line without its CR: it is dropped when
    // its 20 ticks run out, and the poll after that finds the line quiet.
    for (int i = 0; i < 22; ++i)
        WaitForEvents();
    FuzzCheck(gReceiverIdle, "the receiver stays busy on a quiet line");
    return 0;
}
