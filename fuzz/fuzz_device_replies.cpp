// What a device may answer to the programmer windows' queries: the version
// line, a model, a frequency, a capcode, as raw bytes off the line and as
// the values the windows then compute with.
#include <algorithm>

#include "FuzzSupport.h"
#include "KS_DeviceLink.h"
#include "KS_DeviceRules.h"
#include "KS_Globals.h"
#include "KS_PendantRules.h"
#include "KS_TimeReceiverRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    ResetLinkState();
    FuzzedDataProvider input(data, size);
    const int width = input.ConsumeIntegralInRange<int>(1, 12);
    const std::string box = input.ConsumeRandomLengthString(24);
    const std::string increment = input.ConsumeRandomLengthString(4);
    const std::string reply = input.ConsumeRemainingBytesAsString();

    // The parsers on their own.
    const std::string version = VersionBetweenVerAndParen(reply);
    FuzzCheck(version == "N/A" || reply.find(version) != std::string::npos, "a version text comes from its line");
    DeviceModelText(reply);
    if (const auto number = VersionNumber(reply)) {
        FuzzCheck(*number >= 0, "a version is never negative");
        VersionText(*number);
        VersionPlainText(*number);
    }
    if (const auto units = FrequencyUnits(reply); units && *units < 10000000)
        FuzzCheck(FrequencyUnits(FrequencyText(*units)) == units, "a frequency survives its own text");
    FrequencyFromDigits(reply);
    if (const auto after = VersionAfterVer(reply, '('))
        FuzzCheck(reply.find(*after) != std::string::npos, "a version text comes from its line");
    if (const auto message = PendantMessageText(reply))
        FuzzCheck(message->size() <= reply.size(), "a message comes from its line");
    PendantReplyValue(reply);
    PendantModelFromTag(reply);
    PendantBaudTypeFromCode(reply);
    LeadingVersionHundredths(reply);
    if (const auto date = TimeReceiverDate(reply))
        FuzzCheck(date->isValid(), "a date read is a date");
    if (const auto time = TimeReceiverTime(reply))
        FuzzCheck(time->isValid(), "a time read is a time");
    FuzzCheck(SecurityKeyText(box).size() == 3, "a security key has three digits");
    CapcodeInRange(box);
    FuzzCheck(static_cast<int>(PadDigits(box, width).size()) >= width, "a padded box fills its width");
    if (const auto next = IncrementDigits(box, increment, width))
        FuzzCheck(static_cast<int>(next->size()) == width, "an increment never outgrows its box");

    // The same bytes as a device's answer on the line.
    FuzzPort port;
    gEncoderIdentified = reply.size() % 2 == 0;
    port.line().OnHostLine = [&reply](FuzzLine& line, const std::string& host) {
        if (!host.empty())
            line.Deliver(reply, gDelayTicks + 1);
    };
    DeviceQueryOptions options;
    options.ticks = 4;
    options.tries = 2;
    if (const auto line = DeviceQueryLine("?V", options))
        VersionBetweenVerAndParen(*line);
    options.expectedLength = 7;
    const std::string value = DeviceQuery("?F", options);
    FuzzCheck(value.empty() || value.size() == 7, "a value has the expected length or none");
    return 0;
}
