// One received line of any bytes, as the encoder or the modem might send it,
// on both kinds of link.
#include "FuzzSupport.h"
#include "KS_Globals.h"
#include "KS_Paging.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    const std::string line(reinterpret_cast<const char*>(data), size);
    for (std::int16_t type : {1, 2}) {
        ResetLinkState();
        gConnectionType = type;
        HandleEncoderLine(line);
        if (gReplyAcknowledged)
            FuzzCheck(gAcknowledgedLine == line, "an acknowledgement names another line");
    }
    return 0;
}
