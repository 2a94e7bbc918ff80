// Every data-file record decoded from arbitrary bytes and encoded again: the
// codecs must give back exactly the bytes they read, so loading and saving a
// record never changes what the operator did not touch.
#include <stdexcept>

#include "FuzzSupport.h"
#include "KS_Records.h"

namespace {
template <class Record>
void roundTrip(std::string_view bytes)
{
    try {
        const Record record = DecodeRecord<Record>(bytes);
        const std::string again = EncodeRecord(record);
        FuzzCheck(again.size() == Record::kLength, "an encoded record of the wrong length");
        FuzzCheck(again == bytes.substr(0, Record::kLength), "a record that does not re-encode to its bytes");
    } catch (const std::invalid_argument&) {
        FuzzCheck(bytes.size() < Record::kLength, "a whole record refused");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 13) {
    case 0: roundTrip<PagerRecord>(bytes); break;
    case 1: roundTrip<TableMessage>(bytes); break;
    case 2: roundTrip<FreetextEntry>(bytes); break;
    case 3: roundTrip<WirelessMessageRecord>(bytes); break;
    case 4: roundTrip<AlarmPointRecord>(bytes); break;
    case 5: roundTrip<SignBoardMessage>(bytes); break;
    case 6: roundTrip<ScheduleEntry>(bytes); break;
    case 7: roundTrip<ToneScheduleEvent>(bytes); break;
    case 8: roundTrip<CalendarEvent>(bytes); break;
    case 9: roundTrip<LegacyPagerRecord>(bytes); break;
    case 10: roundTrip<LegacyTableMessage>(bytes); break;
    case 11: roundTrip<LegacyFreetextEntry>(bytes); break;
    default:
        roundTrip<LegacyWirelessMessageRecord>(bytes);
        roundTrip<LegacyAlarmPointRecord>(bytes);
        break;
    }
    return 0;
}
