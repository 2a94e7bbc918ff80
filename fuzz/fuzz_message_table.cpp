// The fast-key table against a unit whose answers come from the fuzz input:
// a download of the missing file, then an upload of what it wrote. Whatever
// the answers, the file is either not written or holds exactly one whole
// record per slot, and the upload sends only well-formed slot writes of
// records that something was read into.
#include "FuzzSupport.h"
#include "KS_Globals.h"
#include "KS_MessageTable.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_TextTables.h"
#include "RecordFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    ResetLinkState();
    FuzzedDataProvider input(data, size);
    gConnectionType = 1;
    const std::string path = DataFilePath("PPM_Fastkey.DBS");
    std::remove(path.c_str());

    FuzzPort port;
    bool writesWellFormed = true;
    port.line().OnHostLine = [&](FuzzLine& line, const std::string& sent) {
        if (sent.size() > 1 && sent[0] == 'K' && sent.back() == 'W')
            writesWellFormed = writesWellFormed && sent.size() == 34
                && sent.substr(3, 30) != std::string(30, '\0');
        if (input.remaining_bytes() == 0)
            return;
        const auto delay = input.ConsumeIntegralInRange<int>(1, 12);
        line.Deliver(input.ConsumeRandomLengthString(40), gDelayTicks + delay);
    };
    MessageTableEngine table = MakeTableEngine(FastkeyTable());
    const auto records = table.Load();
    const std::int64_t length = FileLength(path);
    FuzzCheck(length == -1 || length == static_cast<std::int64_t>(gFastkeyMessageCount) * 100,
              "a downloaded table file that is not one record per slot");
    FuzzCheck(!records || length == -1 || records->size() == static_cast<std::size_t>(gFastkeyMessageCount),
              "a list that differs from the file it was written to");
    if (length > 0)
        table.Upload();
    FuzzCheck(writesWellFormed, "a slot write of the wrong shape or of a record never read");
    return 0;
}
