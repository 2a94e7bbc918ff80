#include "KS_DeviceLink.h"

#include "CommPort.h"
#include "KS_DeviceRules.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "KS_Registry.h"

bool ProbeDevice(std::int32_t idleTicks, int times)
{
    for (int i = 0; i < times && !ExitRequested(); ++i)
        if (IsLinkResponding(idleTicks))
            return true;
    return false;
}

std::string DeviceQuery(std::string_view command, const DeviceQueryOptions& options, std::string* rawReply)
{
    return QueryLink(command, "",
        {.expectedLength = options.expectedLength,
            .noSuffix = !options.tableForm,
            .ticks = options.ticks,
            .pokeOnTimeout = options.pokeOnTimeout,
            .attempts = options.tries,
            .reply = rawReply});
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
    return SendLinkCommand(command, value, true, ticks, reply, true, retries);
}

void PauseTicks(std::int32_t ticks) { WaitTicks(ticks); }

// ---- The encoder's identity ------------------------------------------------------

struct EncoderIdentityKeeper::Saved {
    std::string comSettings = gComSettings;
    std::string modelName = gEncoderModelName;
    std::string modelLetter = gEncoderModelLetter;
    std::string family = gEncoderFamily;
    double version = gEncoderVersion;
    std::string serialNumber = gEncoderSerialNumber;
    bool identified = gEncoderIdentified;
    bool optionFlag = gEncoderOptionFlag;
    int alarmIndexOffset = gAlarmIndexOffset;
    bool supports[5] = {gEncoderSupportsAlarm, gEncoderSupportsPABX, gEncoderSupportsFastkey,
                        gEncoderSupportsFreetext, gEncoderSupportsWireless};
    int counts[5] = {gAlarmMessageCount, gPABXMessageCount, gFastkeyMessageCount, gFreetextMessageCount,
                     gWirelessMessageCount};
    bool toneGen = gToneGenSupported;
    bool toneCalendar = gToneCalendarSupported;
    int eventsPerDay = gToneCalendarEventsPerDay;
    bool toneEvents = gToneEventsSupported;
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
    gEncoderModelName = s.modelName;
    gEncoderModelLetter = s.modelLetter;
    gEncoderFamily = s.family;
    gEncoderVersion = s.version;
    gEncoderSerialNumber = s.serialNumber;
    gEncoderIdentified = s.identified;
    gEncoderOptionFlag = s.optionFlag;
    gAlarmIndexOffset = s.alarmIndexOffset;
    gEncoderSupportsAlarm = s.supports[0];
    gEncoderSupportsPABX = s.supports[1];
    gEncoderSupportsFastkey = s.supports[2];
    gEncoderSupportsFreetext = s.supports[3];
    gEncoderSupportsWireless = s.supports[4];
    gAlarmMessageCount = s.counts[0];
    gPABXMessageCount = s.counts[1];
    gFastkeyMessageCount = s.counts[2];
    gFreetextMessageCount = s.counts[3];
    gWirelessMessageCount = s.counts[4];
    gToneGenSupported = s.toneGen;
    gToneCalendarSupported = s.toneCalendar;
    gToneCalendarEventsPerDay = s.eventsPerDay;
    gToneEventsSupported = s.toneEvents;
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
