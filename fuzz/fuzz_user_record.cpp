// The encoder's answer to a user read, for each family of user-record layout,
// and the record it yields sent back out as a user-record string.
#include "FuzzSupport.h"
#include "KS_Globals.h"
#include "KS_PagingCodes.h"

namespace {
struct Unit {
    const char* letter;
    const char* family;
};
// Digit-code, letter-code, the QX7XXX family and a legacy unit without a letter.
constexpr Unit kUnits[] = {{"X", "Not Defined"}, {"R", "Not Defined"}, {"A", "QX8XXX"}, {"B", "QX8XXX"},
                           {"E", "QX7XXX"},      {"I", "QX7XXX"},      {"", "QX7XXX"},  {"", "QX8XXX"}};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    if (size < 1)
        return 0;
    const Unit& unit = kUnits[data[0] % std::size(kUnits)];
    gEncoderModelLetter = unit.letter;
    gEncoderFamily = unit.family;
    const std::string_view line(reinterpret_cast<const char*>(data) + 1, size - 1);

    PagerFields record;
    if (!ParseEncoderUserRecord(record, line))
        return 0;
    std::string error;
    if (const auto built = BuildEncoderUserRecord(record, &error)) {
        FuzzCheck(built->size() == 44 || built->size() == 54, "a user-record string of neither layout's length");
        FuzzCheck(built->find('\r') == std::string::npos, "a user-record string with a CR in it");
    } else {
        FuzzCheck(!error.empty(), "a refused user record without a reason");
    }
    return 0;
}
