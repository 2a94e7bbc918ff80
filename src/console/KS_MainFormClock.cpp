// Setting the encoder's clock from the PC's.
#include <chrono>
#include <thread>

#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Paging.h"

namespace {

QString twoDigits(int value) { return QString::number(value).rightJustified(2, QLatin1Char('0')); }

} // namespace

std::string EncoderClockDigits(const QDateTime& moment)
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    return (twoDigits(t.hour()) + twoDigits(t.minute()) + twoDigits(t.second()) + twoDigits(d.month())
            + twoDigits(d.day()) + twoDigits(d.year() % 100))
        .toStdString();
}

void KS_MainForm::WaitForSecondStart()
{
    // Holds the window for at most about a second, so the command leaves just
    // after a second begins. Sleeping to the mark rather than polling the clock.
    for (int tries = 0; tries < 3; ++tries) {
        const int ms = GetSystemTime().time().msec();
        if (ms >= 1 && ms < 100)
            return;
        const int wait = (1000 - ms) % 1000 + 2;
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    }
}

bool KS_MainForm::SendDateTimeToEncoder()
{
    LinkConversation conversation;
    // The hourly setting runs from a timer; the console, and the windows
    // opened from it, show that it is busy.
    ClosedToOperator closed(*this, true);
    ShowBusyPointer();
    bool result = false;
    if (IsLinkResponding()) {
        std::string reply;
        // The command leaves as its digits are read: any wait for answers an
        // earlier exchange is owed comes before them, never between.
        SettleLink();
        WaitForSecondStart();
        if (EncoderSupportsDateTimeCommands(gEncoderModelLetter)) {
            // One reading of the clock gives both the time and the date.
            const QDateTime utc = GetSystemTime();
            const QDateTime moment = gUTCTimeOverride ? utc.toLocalTime() : utc;
            result = SendLinkCommand("T", EncoderClockDigits(moment) + "U", false, 0, reply, true, 3);
        } else {
            // Each command reads the clock as it is built: a refused first
            // form and its retries take seconds, and a minute or a day turning
            // meanwhile would set the unit behind.
            const auto now = [] {
                SettleLink();
                return GetSystemTime().toLocalTime();
            };
            bool timeSet = SendLinkCommand("PT", EncoderClockDigits(now()).substr(0, 6), true, 0, reply, true, 3);
            if (!timeSet)
                timeSet = SendLinkCommand("PT", EncoderClockDigits(now()).substr(0, 4), true, 0, reply, true, 3);
            if (timeSet) {
                const QDateTime today = now();
                // Day of the week: 1 Sunday to 7 Saturday.
                const int weekday = today.date().dayOfWeek() % 7 + 1;
                result = SendLinkCommand("PD", EncoderClockDigits(today).substr(6, 6) + std::to_string(weekday), true,
                                         0, reply, true, 3);
            }
        }
    }
    ShowNormalPointer();
    return result;
}
