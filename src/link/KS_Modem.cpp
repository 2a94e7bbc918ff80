#include "KS_Modem.h"

#include <string>

#include "CommPort.h"
#include "KS_Delay.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"

namespace {
constexpr std::int64_t kAnswerWaitTicks = 1200;

// A modem that lets a command go unanswered is off, unplugged or on another
// port; saying so keeps the operator from taking the line for ready.
void reportSilentModem() { ReportStatus("Modem Not Responding.", true, 3); }
} // namespace

bool DialModem(std::string_view phone)
{
    if (!gComm)
        return false;
    if (!gComm->PortOpen()) {
        gComm->SetDeviceResolver(ResolveCommDevice);
        gComm->SetPortOpen(true);
    }

    std::string reply;
    SendLinkCommand("ATZ", "", true, 40, reply, true, 3);
    if (gModemReady)
        SendLinkCommand("ATE0V0", "", true, 10, reply, true, 3);
    if (gModemReady) {
        ReportStatus("Dialing to " + std::string(phone) + "...");
        // Sent once: any byte reaching the modem while it dials (a retry's CR
        // poke included) makes it abandon the call. The minute's wait below
        // decides whether the call came up.
        SendLinkCommand("ATDT", phone, true, 10, reply, true, 0);
        ReportStatus("Waiting for Answer...");
    } else {
        reportSilentModem();
    }

    clsDelay delay;
    delay.InitDelay(kAnswerWaitTicks);
    while (!gModemConnected && !gModemFailed && !delay.DelayExpired() && !ExitRequested())
        WaitForEvents();
    if (gModemConnected)
        return true;
    HangUpModem();
    return false;
}

void HangUpModem()
{
    // A port that went away (an adapter pulled or failed) took the call with
    // it: the console knows it as over, so the next Dial Out dials again.
    if (!gComm || !gComm->PortOpen()) {
        gModemConnected = false;
        return;
    }
    ReportStatus("Disconecting Modem...");
    gModemConnected = false;
    std::string reply;
    // The escape has no CR: the modem wants "+++" framed by silence.
    SendLinkCommand("+++", "", true, 40, reply, false, 3);
    DoEvents();
    SendLinkCommand("ATH0", "", true, 20, reply, true, 3);
    if (gModemReady)
        ReportStatus("Modem is Ready.");
    else
        reportSilentModem();
    gComm->SetPortOpen(false);
    gComm->SetDeviceResolver(ResolveCommDevice);
    gComm->SetPortOpen(true);
    ResetLinkReceiver();
}
