// The speaker's answers as any unit might send them: the version line, the
// date and time replies, masks, signal strengths and alert-level strings.
#include "FuzzSupport.h"
#include "KS_SpeakerProtocol.h"
#include "OptionList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    FuzzedDataProvider input(data, size);
    const std::string version = input.ConsumeRandomLengthString(64);
    const std::string date = input.ConsumeRandomLengthString(32);
    const std::string time = input.ConsumeRandomLengthString(32);
    const std::string value = input.ConsumeRandomLengthString(16);
    const int slot = input.ConsumeIntegralInRange<int>(-2, 12);
    const std::string levels = input.ConsumeRemainingBytesAsString();

    const SpeakerVersion v = ParseSpeakerVersion(version);
    FuzzCheck(!v.text.empty(), "a version box left empty");
    FuzzCheck(!v.fourCharacter || v.text.size() >= 4, "a four-character version shown shorter");
    FuzzCheck(!SpeakerUsesCurrentSet(v) || v.fourCharacter, "the current commands for a version text");

    const std::string shown = SpeakerDateTimeText(date, time, value);
    FuzzCheck(shown.rfind("N/A", 0) == 0 || shown.find(", ") != std::string::npos, "a date box without its date");

    if (const auto mask = ParseSpeakerMask(value))
        FuzzCheck(value.size() <= 8, "a mask wider than its integer");
    SignalStrengthText(value);

    const int position = SpeakerAlertLevelPosition(levels, slot);
    FuzzCheck(position >= -1 && position <= 4, "an alert level outside its list");

    MemoryOptionList list;
    for (int i = 0; i < 10; ++i)
        AddItemWithData(list, std::to_string(i), i);
    SelectSpeakerListData(list, value);
    SelectSpeakerListText(list, value);
    FuzzCheck(list.SelectedIndex() >= -1 && list.SelectedIndex() < 10, "a selection outside the list");
    return 0;
}
