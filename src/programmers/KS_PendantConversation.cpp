#include "KS_PendantConversation.h"

#include "KS_DeviceLink.h"
#include "KS_DeviceRules.h"
#include "KS_Messages.h"
#include "KS_String.h"

namespace {

constexpr std::int16_t kSerialDigits = 8;

// Every query waits 60 ticks, three tries, a CR after each unanswered one.
DeviceQueryOptions pendantQuery(std::int16_t expectedLength)
{
    return {.expectedLength = expectedLength, .ticks = 60, .tries = 3, .pokeOnTimeout = true, .tableForm = false};
}

std::optional<int> number(const std::string& value)
{
    if (value.empty())
        return std::nullopt;
    return static_cast<int>(Val(value));
}

std::optional<std::string> frequency(bool current)
{
    if (current)
        return FrequencyFromDigits(DeviceQuery("?F", pendantQuery(7)));
    // Older pendants answer in kHz, six digits; some already in MHz, seven.
    // Asked for six, seven digits would pass for an echo and six digits (and
    // the pendant's channel be read ten times too high): the line tells.
    std::string line;
    std::string digits = DeviceQuery("?F", pendantQuery(6), &line);
    if (const auto whole = AcknowledgedValue(line); whole && whole->size() == 7 && AllDigits(*whole))
        return FrequencyFromDigits(*whole);
    if (digits.empty())
        digits = DeviceQuery("?F", pendantQuery(7));
    if (digits.size() == 6 && AllDigits(digits))
        return FormatFrequencyText(digits.substr(0, 3) + "." + digits.substr(3));
    return FrequencyFromDigits(digits);
}

} // namespace

PendantVersion ReadPendantVersion()
{
    std::string reply;
    DeviceQuery("?V", pendantQuery(0), &reply);
    PendantVersion version;
    const auto value = PendantReplyValue(reply);
    if (!value)
        return version;
    if (value->size() == 4) {
        if (const auto n = VersionNumber(*value)) {
            version.hundredths = *n;
            version.text = VersionText(*n);
            version.plainNumber = true;
            CountDeviceItem();
        }
        return version;
    }
    // A "(" too close behind "Ver." leaves no version: 0, and the run goes on.
    version.text = VersionAfterVer(*value, '(');
    if (version.text) {
        version.hundredths = VersionNumber(*version.text).value_or(0);
        CountDeviceItem();
    }
    return version;
}

std::optional<std::string> ReadPendantModel()
{
    std::string reply;
    DeviceQuery("?VM", pendantQuery(0), &reply);
    auto model = PendantReplyValue(reply);
    if (model)
        CountDeviceItem();
    return model;
}

PendantSettings ReadPendantSettings()
{
    PendantSettings s;
    const PendantVersion version = ReadPendantVersion();
    s.version = version.text.value_or("N/A");
    s.versionHundredths = version.hundredths;
    const auto model = ReadPendantModel();
    s.model = model.value_or("N/A");
    s.currentSet = PendantSpeaksCurrentSet(s.model, s.versionHundredths);
    if (!s.currentSet)
        s.model = PendantModelFromTag(model.value_or(""));
    s.rows = PendantSlotCount(s.model);

    s.radio = s.currentSet || PendantLegacyHasRadio(s.model, s.version);
    if (s.radio) {
        if (std::string serial = DeviceQuery("?I", pendantQuery(kSerialDigits)); !serial.empty())
            s.serialNumber = serial;
        s.frequency = frequency(s.currentSet);
        s.power = number(DeviceQuery("?P", pendantQuery(1)));
        s.deviation = number(DeviceQuery("?D", pendantQuery(1)));
    }
    s.baudType = PendantBaudTypeFromCode(DeviceQuery(s.currentSet ? "?S" : "?SM", pendantQuery(1)));

    for (int i = 0; i < s.rows; ++i) {
        ReportStatus("Downloading Capcode " + std::to_string(i + 1));
        const std::string slot = std::to_string(i + 1);
        std::string capcode = DeviceQuery("?C" + slot, pendantQuery(7));
        if (capcode.empty())
            capcode = DeviceQuery("?C" + slot, pendantQuery(7));
        if (capcode.empty())
            continue;
        s.capcodes[static_cast<std::size_t>(i)] = capcode;
        std::string reply;
        DeviceQuery("?M" + slot, pendantQuery(1), &reply);
        s.messages[static_cast<std::size_t>(i)] = PendantMessageText(reply).value_or("");
    }
    return s;
}
