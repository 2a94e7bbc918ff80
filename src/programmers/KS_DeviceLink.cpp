#include "KS_DeviceLink.h"

#include <tuple>

#include "CommPort.h"
#include "KS_DeviceRules.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_String.h"

bool ProbeDevice(std::int32_t idleTicks, int times)
{
    for (int i = 0; i < times && !ExitRequested(); ++i)
        if (IsLinkResponding(idleTicks))
            return true;
    return false;
}

namespace {

DeviceQueryTally& tally()
{
    static DeviceQueryTally counted;
    return counted;
}

std::function<void(int)>& watcher()
{
    static std::function<void(int)> watching;
    return watching;
}

} // namespace

DeviceQueryTally DeviceQueriesSoFar() { return tally(); }

void CountDeviceItem() { ++tally().items; }

void SetDeviceQueryWatcher(std::function<void(int asked)> watching) { watcher() = std::move(watching); }

std::string DeviceQuery(std::string_view command, const DeviceQueryOptions& options, std::string* rawReply)
{
    ++tally().asked;
    if (watcher())
        watcher()(tally().asked);
    std::string value = QueryLink(command, "",
        {.expectedLength = options.expectedLength,
            .noSuffix = !options.tableForm,
            .ticks = options.ticks,
            .pokeOnTimeout = options.pokeOnTimeout,
            .attempts = options.tries,
            .reply = rawReply});
    if (options.expectedLength > 0 && !value.empty())
        CountDeviceItem();
    return value;
}

std::optional<std::string> DeviceQueryLine(std::string_view command, const DeviceQueryOptions& options)
{
    std::string reply;
    DeviceQuery(command, options, &reply);
    return AcknowledgedValue(reply);
}

bool DeviceSetting(std::string_view command, std::string_view value, std::int32_t ticks, std::int16_t retries)
{
    std::string reply;
    // A CR inside a message or name would end the setting there and hand the
    // device the rest as a command of its own.
    return SendLinkCommand(command, BlankControlChars(value), true, ticks, reply, true, retries);
}

void PauseTicks(std::int32_t ticks) { WaitTicks(ticks); }

// ---- The encoder's identity ------------------------------------------------------

namespace {

// Everything the encoder detection writes, in one list, so what the keeper
// saves is what it puts back: a window that detects a device must not leave
// the message tables, tone windows or timers a device's firmware or sizes.
auto identityGlobals()
{
    return std::tie(gEncoderModelName, gEncoderModelLetter, gEncoderFamily, gEncoderVersion, gEncoderVersionText,
                    gEncoderSerialNumber, gEncoderIdentified, gEncoderOptionFlag, gAlarmIndexOffset,
                    gEncoderSupportsAlarm, gEncoderSupportsPABX, gEncoderSupportsFastkey, gEncoderSupportsFreetext,
                    gEncoderSupportsWireless, gAlarmMessageCount, gPABXMessageCount, gFastkeyMessageCount,
                    gFreetextMessageCount, gWirelessMessageCount, gToneGenSupported, gToneCalendarSupported,
                    gToneCalendarEventsPerDay, gToneEventsSupported, gIdentityUnanswered, gToneGenUnanswered,
                    gToneCalendarUnanswered, gAlarmSizeUnanswered, gPABXSizeUnanswered, gFastkeySizeUnanswered,
                    gFreetextSizeUnanswered, gWirelessSizeUnanswered);
}

template <class... T>
std::tuple<std::decay_t<T>...> copied(const std::tuple<T&...>& references)
{
    return references;
}

} // namespace

struct EncoderIdentityKeeper::Saved {
    std::string comSettings = gComSettings;
    decltype(copied(identityGlobals())) identity = identityGlobals();
};

EncoderIdentityKeeper::EncoderIdentityKeeper()
    : saved_(std::make_unique<Saved>())
{
}

EncoderIdentityKeeper::~EncoderIdentityKeeper() { Restore(); }

void EncoderIdentityKeeper::Restore()
{
    if (!saved_)
        return;
    const Saved s = *saved_;
    saved_.reset();
    identityGlobals() = s.identity;
    if (gComSettings != s.comSettings) {
        // The device's speed search moved the port and saved its speed; the
        // encoder comes back at its own.
        gComSettings = s.comSettings;
        SaveConfigSetting("COMPortSettings", gComSettings);
        if (gComm && gComm->PortOpen() && gConnectionType == 1)
            OpenSerialPort(*gComm, gSerialPort, gComSettings);
    }
    PublishConnectionStatus();
}
