#include "KS_Paging.h"

#include <algorithm>
#include <array>
#include <deque>
#include <limits>
#include <utility>

#include "CommPort.h"
#include "KS_Delay.h"
#include "KS_Events.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_PagingCodes.h"
#include "KS_Registry.h"
#include "KS_String.h"

namespace {

constexpr char kCR = '\r';
// A line that stops arriving for this long without ending is dropped. It
// counts from the line's last byte: a long reply on a slow line (a calendar
// day is near 700 characters, three seconds at 2400 baud) arrives whole.
// Nor does a line last longer than its bytes take on the wire plus the same
// 20 ticks: a byte of noise every second, never ending in a CR, would
// otherwise hold the line for an hour and keep every command off it.
constexpr std::int64_t kLineTimeoutTicks = 20;
// A line longer than this is garbage, not a reply; it is dropped like a line
// that never ended, so a flood cannot grow the receiver without bound.
constexpr std::size_t kMaxLineLength = 4096;
constexpr std::int64_t kPokePauseTicks = 40;

// The receiver's line in progress, kept across polls.
struct ReceiverState {
    bool collecting = false;
    std::string line;
    clsDelay timeout;
    std::int64_t startedAt = 0;   // tick of the line's first byte
    std::int64_t heardBefore = 0; // tick of the last byte before it
};
ReceiverState& receiver()
{
    static ReceiverState state;
    return state;
}

// The speed a call connected at, from the modem's result; 0 before any call.
int modemCallBaud = 0;

// Whether a line of this many bytes, begun that many ticks ago, has taken
// longer than its bytes need on the wire plus a line's limit. The wire is as
// fast as the port, or as the call on a modem link where that is slower.
bool lineOutlastsItsBytes(std::size_t bytes, std::int64_t ticksSinceFirstByte)
{
    // No line outlasts it sooner; the port's settings are read only past it.
    if (ticksSinceFirstByte <= kLineTimeoutTicks)
        return false;
    const SerialSettings settings = ParseSerialSettings(gComm->Settings()).value_or(SerialSettings{});
    int baud = settings.baud;
    if (gModemConnected && modemCallBaud > 0)
        baud = std::min(baud, modemCallBaud);
    const std::int64_t bits = 1 + settings.dataBits + (settings.parity == 'N' ? 0 : 1) + settings.stopBits;
    // Ticks are twentieths of a second: compared in bits, nothing is rounded.
    return (ticksSinceFirstByte - kLineTimeoutTicks) * baud > static_cast<std::int64_t>(bytes) * bits * 20;
}

ConnectionStatusSink& connectionStatusSink()
{
    static ConnectionStatusSink sink;
    return sink;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool onEncoderLink() { return gConnectionType == 1 || gModemConnected; }

bool portOpen() { return gComm && gComm->PortOpen(); }

// A unit that stops for a few seconds (busy, or switched off and on) still
// answers the lines it was sent once it goes on, in order, after the exchange
// that sent them gave up. Taken by the next command, each would be read as
// the answer to another question: one table's size as the next one's, a
// serial number as a frequency. So the link keeps, oldest first, every line
// it sent that has not been answered yet, and pays them off in order as lines
// arrive. An answer to a line of an exchange that has ended is dropped where
// it arrives; no exchange ever reads it.
//
// Before it sends, an exchange waits for the answers still owed to an earlier
// exchange's commands and queries, until the last of them has come: a unit
// that pauses up to kLongestPauseTicks at any one of those lines, then
// answers every line in order, has each answer go to its own line. Nothing
// is waited for once nothing is owed. What an exchange that heard the unit
// answer is still owed follows at once or never (a line the unit never got):
// that wait ends once the line has been quiet for kQuietTicks. A unit silent
// for a whole wait is taken to have gone: its old lines are forgotten, and
// the exchanges after it wait for nothing until it is heard again. (One that
// pauses longer still, and then answers those old lines, is beyond what the
// link can tell apart: the exchange running then may take such an answer.)
//
// The answer a bare CR (a poke) is owed is "?99": the next exchange does not
// wait for it. Such a "?99" arriving later is dropped as the poke's; any other
// line shows that the poke went unanswered (a device that answers only once
// poked, in place of the poke's "?99"), and so does a line quiet for
// kQuietTicks after it.
//
// A unit that is slow on every line (three, four seconds an answer) is not
// done answering after kQuietTicks: the quiet that shows a line will never be
// answered is as long as the unit has lately taken to answer, and what an
// exchange is still owed is waited for at least that long after its line.
constexpr std::int64_t kLongestPauseTicks = 100;
// The answers' own time on a slow line after the pause.
constexpr std::int64_t kAnswerMarginTicks = 20;
constexpr std::int64_t kQuietTicks = 40;
// A line still arriving holds an exchange no longer than this.
constexpr std::int64_t kSettleLimitTicks = 100;
// Lines left waiting in the port that an exchange takes before it sends; a
// flood beyond them is dropped with what the line holds.
constexpr int kLinesTakenAtOnce = 64;

struct OwedAnswer {
    std::int64_t sentAt = 0;
    bool poke = false;
    std::uint64_t exchange = 0;
    // Its exchange heard the unit answer: what it still owes follows at once,
    // or never (a line the unit never got).
    bool answering = false;
};

// How many of the latest answers tell how long the unit takes.
constexpr std::size_t kLatencySamples = 4;

struct LineLedger {
    std::deque<OwedAnswer> owed; // oldest first
    // Ticks from a line's sending to its answer's first byte, newest last.
    std::deque<std::int64_t> latencies;
    std::uint64_t exchange = 0;  // the exchange in progress, 0 between them
    std::uint64_t lastExchange = 0;
    std::int64_t linesSent = 0;
    std::int64_t lastHeard = std::numeric_limits<std::int64_t>::min() / 2; // tick of the last byte received
    // The unit stayed silent through a whole wait for its owed answers.
    bool unitSilent = false;
    // Lines handed to this exchange, and how many of them were "?99".
    std::int64_t heardLines = 0;
    std::int64_t heardRefusals = 0;
    // The last exchange ended while a line was arriving.
    bool endedMidLine = false;

    bool stale(const OwedAnswer& answer) const { return answer.exchange != exchange; }
    // The longest the unit has lately taken to answer a line, within the pause the link allows for.
    std::int64_t latency() const
    {
        const auto longest = std::max_element(latencies.begin(), latencies.end());
        return longest == latencies.end() ? 0 : std::min(*longest, kLongestPauseTicks);
    }
    // The quiet after which an answer still owed will not come.
    std::int64_t quietTicks() const { return std::max(kQuietTicks, latency() + kAnswerMarginTicks); }
    void noteLatency(std::int64_t ticks)
    {
        latencies.push_back(std::max<std::int64_t>(ticks, 0));
        if (latencies.size() > kLatencySamples)
            latencies.pop_front();
    }
    bool owesStaleLine() const
    {
        return std::any_of(owed.begin(), owed.end(), [this](const OwedAnswer& a) { return !a.poke && stale(a); });
    }
    // Stale pokes at the head whose "?99" would have come by now.
    void forgetQuietPokes(std::int64_t at, std::int64_t heardBefore)
    {
        while (!owed.empty() && owed.front().poke && stale(owed.front())
               && at - std::max(owed.front().sentAt, heardBefore) >= quietTicks())
            owed.pop_front();
    }
    void forgetStale()
    {
        std::erase_if(owed, [this](const OwedAnswer& a) { return stale(a); });
    }
};
LineLedger& ledger()
{
    static LineLedger counts;
    return counts;
}

void transmit(std::string_view bytes)
{
    if (gComm)
        gComm->Output(bytes);
}

// A whole transmission; one that ends with CR is a line the unit owes an
// answer to. A device's binary block may hold CR bytes inside: it is still
// one transmission, answered once.
void transmitLine(std::string_view bytes, bool oneCharacterAWrite = false)
{
    if (oneCharacterAWrite) {
        for (char c : bytes)
            transmit(std::string_view(&c, 1));
    } else {
        transmit(bytes);
    }
    if (!bytes.empty() && bytes.back() == kCR) {
        LineLedger& counts = ledger();
        ++counts.linesSent;
        counts.owed.push_back({gDelayTicks, bytes == "\r", counts.exchange});
    }
}

// A line has begun and not yet ended: bytes collected, or bytes in the port
// behind the line just taken (the receiver takes one line a poll).
bool lineArriving() { return receiver().collecting || (portOpen() && gComm->InBufferCount() > 0); }

// Pays the oldest owed answer with a line that began at `startedAt`; false
// when the line answers an exchange that has ended and must not be read.
bool payOwedAnswer(const std::string& line, std::int64_t startedAt, std::int64_t heardBefore)
{
    LineLedger& counts = ledger();
    const bool refusal = line.starts_with("?99");
    counts.forgetQuietPokes(startedAt, heardBefore);
    if (!refusal)
        while (!counts.owed.empty() && counts.owed.front().poke && counts.stale(counts.owed.front()))
            counts.owed.pop_front();
    if (!counts.owed.empty()) {
        const OwedAnswer paid = counts.owed.front();
        counts.owed.pop_front();
        counts.noteLatency(startedAt - paid.sentAt);
        // A modem's results are read whatever line they answer: the dial's comes long after its own wait.
        if (counts.stale(paid) && onEncoderLink())
            return false;
    }
    ++counts.heardLines;
    if (refusal)
        ++counts.heardRefusals;
    return true;
}

// Waits up to the given ticks for the condition; true when it holds. The wait
// goes on past its ticks while holding says so.
template <class Condition, class Holding = bool (*)()>
bool waitFor(std::int64_t ticks, Condition done, Holding holding = [] { return false; })
{
    clsDelay delay;
    delay.InitDelay(ticks);
    while (!done()) {
        if ((delay.DelayExpired() && !holding()) || ExitRequested())
            return done();
        WaitForEvents();
    }
    return true;
}

// A query's wait for its acknowledged answer. A reply that began within the
// wait is not cut off at its end while its bytes keep coming: a long reply on
// a slow line takes longer than the wait to arrive. Bytes come at every tick
// at any speed offered (300 baud brings one and a half a tick); the margin is
// for a poll that falls a tick late. A reply that pauses longer is no longer
// arriving, and the wait ends as it always did. Only the line arriving at the
// wait's end holds it: once that line is whole or dropped, nothing is being
// collected, and a line begun after it (a flood) finds the wait over.
bool waitForReply(std::int64_t ticks)
{
    constexpr std::int64_t kStillArrivingTicks = 2;
    return waitFor(ticks, [] { return gReplyAcknowledged; }, [] {
        return receiver().collecting && ledger().lastHeard >= gDelayTicks - kStillArrivingTicks;
    });
}

bool waitForIdleReceiver(std::int64_t ticks)
{
    return waitFor(ticks, [] { return gReceiverIdle; });
}

// Everything held from before this exchange goes: what waits in the port and
// the flags and line of the receiver. A reply taken from here on answers
// something this exchange sent.
void dropWhatTheLineHolds()
{
    if (portOpen())
        gComm->SetInBufferCount(0);
    ResetLinkReceiver();
    gReceiverIdle = true;
    gReplyBuffer.clear();
    gReplyAcknowledged = false;
    gAcknowledgedLine.clear();
    gProbeAnswered = false;
    ledger().heardLines = 0;
    ledger().heardRefusals = 0;
}

// Waits for the answers an earlier exchange's lines are still owed, and for a
// line still arriving, then drops what came.
void settleLine()
{
    LineLedger& counts = ledger();
    if (!portOpen()) {
        counts.owed.clear();
        return;
    }
    counts.forgetQuietPokes(gDelayTicks, counts.lastHeard);
    if (counts.unitSilent)
        counts.forgetStale();
    // Whole lines behind the last one taken are taken now, as the next polls
    // would (paying what they answer); only a line that has not ended is waited for.
    const bool leftArriving = std::exchange(counts.endedMidLine, false);
    for (int line = 0; leftArriving && line < kLinesTakenAtOnce && !receiver().collecting && lineArriving(); ++line)
        PollEncoderReply();
    const bool midLine = leftArriving && lineArriving();
    if (!counts.owesStaleLine() && !midLine)
        return;
    // The unit may have paused at any of the lines it owes; it answers none
    // of them later than the pause after the newest.
    std::int64_t oldestLine = gDelayTicks;
    std::int64_t newestLine = gDelayTicks;
    bool first = true;
    for (const OwedAnswer& answer : counts.owed)
        if (!answer.poke && counts.stale(answer)) {
            if (std::exchange(first, false))
                oldestLine = answer.sentAt;
            newestLine = answer.sentAt;
        }
    const std::int64_t deadline = newestLine + kLongestPauseTicks + kAnswerMarginTicks;
    clsDelay limit;
    limit.InitDelay(kSettleLimitTicks);
    const auto waiting = [&] {
        if (ExitRequested() || !portOpen())
            return false;
        const bool answering = std::all_of(counts.owed.begin(), counts.owed.end(),
            [&counts](const OwedAnswer& a) { return a.poke || !counts.stale(a) || a.answering; });
        const std::int64_t quietAt = std::max(counts.lastHeard + counts.quietTicks(),
                                              newestLine + counts.latency() + kAnswerMarginTicks);
        if (counts.owesStaleLine() && gDelayTicks < deadline && !(answering && gDelayTicks >= quietAt)) {
            NoteWaitAction(answering ? std::min(deadline, quietAt) : deadline);
            return true;
        }
        // The line an earlier exchange left arriving is waited out, whatever it answers.
        return midLine && lineArriving() && !limit.DelayExpired();
    };
    while (waiting())
        WaitForEvents();
    if (counts.owesStaleLine()) {
        counts.unitSilent = counts.lastHeard < oldestLine;
        counts.forgetStale();
    }
    dropWhatTheLineHolds();
}

// One conversation, from its first line out to its end. The lines it sends
// are its own; what is still owed to them when it ends is an earlier
// exchange's for the next one.
class Exchange {
public:
    Exchange()
    {
        LineLedger& counts = ledger();
        previous_ = counts.exchange;
        counts.exchange = ++counts.lastExchange;
        settleLine();
        sentBefore_ = counts.linesSent;
    }
    ~Exchange()
    {
        LineLedger& counts = ledger();
        if (counts.linesSent != sentBefore_)
            counts.endedMidLine = lineArriving();
        if (counts.heardLines > 0)
            for (OwedAnswer& answer : counts.owed)
                if (answer.exchange == counts.exchange)
                    answer.answering = true;
        counts.exchange = previous_;
    }
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

private:
    std::uint64_t previous_ = 0;
    std::int64_t sentBefore_ = 0;
};

std::string buildLine(std::string_view command, std::string_view data, bool noSuffix, bool terminate,
                      char suffix)
{
    std::string line(command);
    line += data;
    if (!noSuffix) {
        line += suffix;
        line += kCR;
    } else if (terminate) {
        line += kCR;
    }
    return line;
}

// The line a sender judges: the one that carried the acknowledgement, else the last one received.
const std::string& judgedLine() { return gReplyAcknowledged ? gAcknowledgedLine : gReplyBuffer; }

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A table size as the unit reports it. Anything but digits means the unit did
// not answer the question, so the table counts as absent rather than as a
// misread size.
int tableSize(std::string_view value) { return allDigits(value) ? static_cast<int>(Val(value)) : 0; }

struct Model {
    char letter;
    const char* name;
    const char* family;
};
constexpr std::array<Model, 22> kModels {{
    {'A', "QX8140", "QX8XXX"},       {'B', "QX8240", "QX8XXX"},
    {'E', "QX7015", "QX7XXX"},       {'F', "QX7260", "QX7XXX"},
    {'G', "QX7560", "QX7XXX"},       {'H', "QX6560", "QX7XXX"},
    {'I', "QX6860", "QX7XXX"},       {'J', "RL7860", "QX7XXX"},
    {'K', "Tone Generator", "HTG-XXX"}, {'L', "QMR7560", "QX7XXX"},
    {'M', "RL7960", "QX7XXX"},       {'N', "RL7970", "QX7XXX"},
    {'O', "RL9260", "QX7XXX"},       {'P', "QMR7560", "QX7XXX"},
    {'Q', "RL7990", "HTG-XXX"},      {'R', "QX9560", "Not Defined"},
    {'S', "PA Speaker", "HPA-XXX"},  {'T', "Tone Generator", "HTG-XXX"},
    {'U', "QX6870", "Not Defined"},  {'W', "QX9260", "QX7XXX"},
    {'X', "QX9860", "Not Defined"},  {'Y', "QX8140E", "Not Defined"},
}};

bool letterIn(char letter, std::string_view set) { return set.find(letter) != std::string_view::npos; }

// No size question asked yet has gone unanswered.
void clearSizeQuestions()
{
    gAlarmSizeUnanswered = gPABXSizeUnanswered = gFastkeySizeUnanswered = gFreetextSizeUnanswered
        = gWirelessSizeUnanswered = false;
}

void clearTables()
{
    gAlarmMessageCount = gPABXMessageCount = gFastkeyMessageCount = gFreetextMessageCount = gWirelessMessageCount = 0;
    gEncoderSupportsAlarm = gEncoderSupportsPABX = gEncoderSupportsFastkey = gEncoderSupportsFreetext
        = gEncoderSupportsWireless = false;
    gToneGenSupported = gToneCalendarSupported = false;
    gToneGenUnanswered = gToneCalendarUnanswered = false;
    gToneCalendarEventsPerDay = 0;
    clearSizeQuestions();
}

// Presence and, on a serial link, the speed search. True when something answers.
bool findUnit()
{
    if (IsLinkResponding(10))
        return true;
    if (ExitRequested())
        return false;
    // A modem link has no unit to find before the call is up, and reopening
    // the port here would drop a call that is up.
    if (!portOpen() || gConnectionType != 1)
        return false;
    for (const char* settings : {"38400,N,8,1", "9600,N,8,1", "1200,N,8,1"}) {
        if (OpenSerialPort(*gComm, gSerialPort, settings) && IsLinkResponding()) {
            gComSettings = UpperCase(gComm->Settings());
            SaveConfigSetting("COMPortSettings", gComSettings);
            return true;
        }
    }
    OpenSerialPort(*gComm, gSerialPort, gComSettings);
    return false;
}

void setNotConnected()
{
    gEncoderModelLetter = "N/A";
    gEncoderModelName = "encoder";
    gEncoderFamily.clear();
    gEncoderIdentified = false;
    gEncoderVersion = 0;
    gEncoderVersionText.clear();
    gAlarmIndexOffset = 0;
    gEncoderSerialNumber = "00000";
    clearTables();
}

void detectLegacyUnit()
{
    gEncoderIdentified = false;
    gAlarmIndexOffset = 0;
    gEncoderSerialNumber = "00000";
    // A unit without the identification request has no letter; an empty one
    // shows as connected and turns on none of the optional features, and no
    // letter of an earlier unit may survive to select features this one lacks.
    gEncoderModelLetter.clear();
    gEncoderVersion = 0;
    gEncoderVersionText.clear();
    clearTables();

    std::string reply;
    SendLinkCommand("P", "", true, 0, reply, true, 3);
    if (reply == "*\r") {
        gEncoderModelName = gEncoderFamily = "QX7XXX";
        gAlarmMessageCount = 7;
        gPABXMessageCount = 99;
    } else if (reply == "?99\r") {
        gEncoderModelName = gEncoderFamily = "QX8XXX";
    } else {
        gEncoderModelName = kUnknownEncoderName;
        gEncoderFamily = "QX8XXX";
    }
}

// Whether a reply line says anything: an acknowledged answer or a refusal.
// Nothing, or bytes that are neither, leave the question unanswered.
bool answered(std::string_view line) { return endsWith(line, "*\r") || startsWith(line, "?99"); }

// A table's size as the unit tells it; a read it left unanswered says nothing
// of the table, unlike a refusal or a 0.
int readTableSize(std::string_view command, std::string_view data, std::int16_t length, bool& unanswered)
{
    std::string reply;
    const int size = tableSize(QueryLink(command, data, {.expectedLength = length, .attempts = 3, .reply = &reply}));
    unanswered = !answered(reply);
    return size;
}

void readTableSizes(char letter)
{
    clearSizeQuestions();
    if (letterIn(letter, "IU"))
        gAlarmMessageCount = 96;
    else if (letter == 'L')
        gAlarmMessageCount = 24;
    else if (letterIn(letter, "RSW"))
        gAlarmMessageCount = 0;
    else {
        gAlarmMessageCount = readTableSize("Z", "000", 3, gAlarmSizeUnanswered);
        if (gAlarmMessageCount == 0)
            gAlarmMessageCount = readTableSize("Z", "000", 2, gAlarmSizeUnanswered);
        if (gAlarmMessageCount == 0)
            gAlarmMessageCount = EncoderUsesExtendedAlarmLayout(std::string(1, letter)) ? 24 : 0;
        if (gAlarmMessageCount != 0)
            gAlarmSizeUnanswered = false;
    }
    gPABXMessageCount = letter == 'S' ? 0 : readTableSize("C", "00", 2, gPABXSizeUnanswered);
    gFastkeyMessageCount = letterIn(letter, "ABXY") ? readTableSize("K", "00", 2, gFastkeySizeUnanswered) : 0;
    gFreetextMessageCount = letterIn(letter, "ABXYR") ? readTableSize("F", "00", 2, gFreetextSizeUnanswered) : 0;
    gWirelessMessageCount = letterIn(letter, "BXYR") ? readTableSize("W", "000", 3, gWirelessSizeUnanswered) : 0;
}

// A unit lacks a tone generator or a calendar only when it says so; one that
// is late with its answer (busy for a moment) leaves the question open, and
// what it holds is then not taken for nothing.
void readToneCapabilities(char letter)
{
    gToneGenSupported = gToneCalendarSupported = false;
    gToneGenUnanswered = gToneCalendarUnanswered = false;
    gToneCalendarEventsPerDay = 0;
    std::string reply;
    if (letter == 'A' || letter == 'B') {
        gToneGenSupported = startsWith(
            QueryLink("?T", "", {.expectedLength = 5, .noSuffix = true, .attempts = 3, .reply = &reply}), "T");
        gToneGenUnanswered = !answered(reply);
    } else if (EncoderSupportsToneChannels(gEncoderModelLetter)) {
        gToneGenSupported = QueryLink("?TG", "",
                                      {.expectedLength = 3, .noSuffix = true, .ticks = 10, .returnError = true,
                                       .reply = &reply})
            == "TG1";
        gToneGenUnanswered = !answered(reply);
        reply.clear();
        QueryLink("?TC", "", {.expectedLength = 2, .noSuffix = true, .ticks = 20, .reply = &reply});
        gToneCalendarUnanswered = !answered(reply);
        // Only two digits count as an events-per-day figure; the calendar upload
        // divides by it, so a short or garbled answer means no calendar.
        const std::string_view count = std::string_view(reply).substr(0, 2);
        if (count.size() == 2 && allDigits(count) && Val(count) > 0) {
            gToneCalendarSupported = true;
            gToneCalendarEventsPerDay = static_cast<int>(Val(count));
        }
    } else {
        gToneGenSupported = gEncoderFamily == "HTG-XXX" || gEncoderFamily == "HPA-XXX";
    }
}

void detectIdentifiedUnit(const std::string& identity)
{
    gEncoderIdentified = true;
    gEncoderVersion = 0;
    gEncoderVersionText.clear();
    const char letter = identity[5];
    const std::string letterText(1, letter);

    std::string serial = identity.substr(0, 5);
    if (EncoderSerialIsReversed(letterText))
        std::reverse(serial.begin(), serial.end());
    gEncoderSerialNumber = serial;

    gEncoderModelName = "encoder";
    gEncoderFamily = "N/A";
    for (const Model& model : kModels) {
        if (model.letter == letter) {
            gEncoderModelName = model.name;
            gEncoderFamily = model.family;
        }
    }
    if (letter == 'H' || letter == 'I')
        gEncoderOptionFlag = identity[6] == '1';
    gEncoderModelLetter = letterText;

    if (letter == 'X' || letter == 'R') {
        std::string reply;
        QueryLink("?", "V", {.noSuffix = true, .ticks = 10, .reply = &reply});
        gEncoderVersionText = StripChar(reply, std::string_view("\0", 1));
        gEncoderVersion = Val(gEncoderVersionText);
    }
    gAlarmIndexOffset = letter == 'I' ? static_cast<int>(Val(identity.substr(7, 3))) - 1 : 0;

    readTableSizes(letter);
    readToneCapabilities(letter);
}

// The identification answer: serial (5), letter, option, three digits, "*", CR.
bool isIdentity(std::string_view reply) { return reply.size() == 12 && endsWith(reply, "*\r"); }

void finishDetection()
{
    RememberEncoderModel();
    if (auto& sink = connectionStatusSink())
        sink(ConnectionStatusCaption());

    auto settle = [](bool& supported, int& count, int defaultCount) {
        supported = count != 0;
        if (!supported)
            count = defaultCount;
    };
    settle(gEncoderSupportsAlarm, gAlarmMessageCount, 24);
    settle(gEncoderSupportsPABX, gPABXMessageCount, 20);
    settle(gEncoderSupportsFastkey, gFastkeyMessageCount, 10);
    settle(gEncoderSupportsFreetext, gFreetextMessageCount, 49);

    if (gEncoderModelLetter == "B")
        gEncoderSupportsWireless = true;
    else if (gEncoderModelLetter == "X" || gEncoderModelLetter == "Y" || gEncoderModelLetter == "R")
        gEncoderSupportsWireless = gWirelessMessageCount != 0;
    else
        gEncoderSupportsWireless = false;
    if (!gEncoderSupportsWireless)
        gWirelessMessageCount = 200;
}

} // namespace

// ---- Port and receiver --------------------------------------------------------

std::string ResolveCommDevice(int port)
{
    return CommPort::DefaultDevicePath(port, GetConfigSetting("COM" + std::to_string(port)));
}

bool OpenSerialPort(CommPort& comm, std::int16_t port, std::string_view settings)
{
    comm.SetDeviceResolver(ResolveCommDevice);
    const std::string before = UpperCase(comm.Settings());
    if (comm.PortOpen())
        comm.SetPortOpen(false);
    ResetLinkReceiver();
    if (comm.SetCommPort(port) != CommError::None)
        return false;
    if (comm.SetSettings(Trim(settings).empty() ? std::string_view("9600,N,8,1") : settings) != CommError::None)
        return false;
    comm.SetInputLen(1);
    comm.SetRThreshold(1);
    comm.SetInBufferCount(0);
    // An answer still owed at the old speed cannot come through as a line at
    // another one; the speed search need not wait for it at every speed.
    if (&comm == gComm && UpperCase(comm.Settings()) != before)
        ledger().owed.clear();
    if (!comm.PortOpen()) {
        const CommError error = comm.SetPortOpen(true);
        if (error == CommError::PortAlreadyOpen) {
            ShowMessage("COM Port " + std::to_string(port) + " is already open. Make sure that no other "
                            + "applicatios are using this COM Port. ",
                        kButtonsOk, kAnswerOk, kIconCritical);
            return false;
        }
        if (error != CommError::None)
            return false;
    }
    return true;
}

void ResetLinkLedger()
{
    ResetLinkReceiver();
    ledger() = LineLedger{};
}

bool LinkReceiving() { return receiver().collecting; }

void ResetLinkReceiver()
{
    receiver().collecting = false;
    receiver().line.clear();
}

void PollEncoderReply()
{
    // A line's handling can wait (an error report beeps and blinks); the polls
    // that come due meanwhile must not start on the next line inside it.
    static bool polling = false;
    if (polling)
        return;
    polling = true;
    struct Done {
        ~Done() { polling = false; }
    } done;

    ReceiverState& state = receiver();
    if (!portOpen()) {
        gReplyBuffer.clear();
        if (state.collecting) {
            // The device went away mid-line: nothing more can arrive.
            ResetLinkReceiver();
            gReceiverIdle = true;
        }
        return;
    }
    if (!state.collecting) {
        if (gComm->InBufferCount() == 0) {
            gReceiverIdle = true;
            return;
        }
        gReceiverIdle = false;
        state.collecting = true;
        state.line.clear();
        state.timeout.InitDelay(kLineTimeoutTicks);
        state.startedAt = gDelayTicks;
        state.heardBefore = ledger().lastHeard;
    }
    // Bytes after the first CR stay in the port for the next poll: one line per poll.
    bool heard = false;
    while (state.line.empty() || state.line.back() != kCR) {
        const std::string byte = gComm->Input();
        if (byte.empty())
            break;
        heard = true;
        ledger().lastHeard = gDelayTicks;
        ledger().unitSilent = false;
        // A LF between lines is the tail of a modem's CR LF, not the start of a
        // reply; holding it as a line would keep the receiver busy for a second
        // and make the next command give up without sending.
        if (state.line.empty() && byte[0] == '\n')
            continue;
        state.line += byte;
        if (state.line.size() > kMaxLineLength)
            break;
    }
    // The line's limit runs from its last byte.
    if (heard)
        state.timeout.InitDelay(kLineTimeoutTicks);
    if (!state.line.empty() && state.line.back() == kCR) {
        std::string line = std::move(state.line);
        const std::int64_t startedAt = state.startedAt;
        const std::int64_t heardBefore = state.heardBefore;
        ResetLinkReceiver();
        if (!payOwedAnswer(line, startedAt, heardBefore)) {
            // Proof enough that the unit is there, for a probe.
            if (line.starts_with("?99"))
                gProbeAnswered = true;
            gReceiverIdle = true;
            return;
        }
        gReplyBuffer = line;
        HandleEncoderLine(line);
        gReceiverIdle = true;
        return;
    }
    if (!gComm->PortOpen()) {
        // The device went away mid-line.
        ResetLinkReceiver();
        gReplyBuffer.clear();
        gReceiverIdle = true;
        return;
    }
    if (state.line.empty()) {
        // Only line-feed leftovers were waiting; no reply has begun.
        ResetLinkReceiver();
        gReceiverIdle = true;
        return;
    }
    if (state.line.size() > kMaxLineLength || state.timeout.DelayExpired()
        || lineOutlastsItsBytes(state.line.size(), gDelayTicks - state.startedAt)) {
        // Dropped without a word; gReceiverIdle stays false until the next poll
        // finds the port empty or completes a line.
        ResetLinkReceiver();
    }
}

void HandleEncoderLine(const std::string& line)
{
    if (onEncoderLink()) {
        if (endsWith(line, "*\r")) {
            gReplyAcknowledged = true;
            gAcknowledgedLine = line;
        }
        if (startsWith(line, "?99"))
            gProbeAnswered = true;
        return;
    }

    std::string result;
    std::copy_if(line.begin(), line.end(), std::back_inserter(result), [](char c) { return c != '\r' && c != '\n'; });
    struct ModemResult {
        const char* code;
        enum { Ready, Connected, Waiting, Failed } kind;
        const char* status;
        int baud = 0; // the speed a call connected at
    };
    // In the result set that reports speeds, a CONNECT without one is a call at 300 bps.
    static constexpr ModemResult kResults[] = {
        {"0", ModemResult::Ready, "Modem is Ready."},
        {"OK", ModemResult::Ready, "Modem is Ready."},
        {"1", ModemResult::Connected, "Connected.", 300},
        {"10", ModemResult::Connected, "Connected 2400 BPS.", 2400},
        {"13", ModemResult::Connected, "Connected 4800 BPS.", 4800},
        {"18", ModemResult::Connected, "Connected 9600 BPS.", 9600},
        {"2", ModemResult::Waiting, "Waiting for Answer..."},
        {"3", ModemResult::Failed, "No Answer / No Carrier."},
        {"4", ModemResult::Failed, "Modem Error."},
        {"6", ModemResult::Failed, "No Dial Tone."},
        {"7", ModemResult::Failed, "Line Busy."},
        {"8", ModemResult::Failed, "No Answer."},
    };
    for (const ModemResult& known : kResults) {
        if (result != known.code)
            continue;
        switch (known.kind) {
        case ModemResult::Ready:
            gModemReady = true;
            gReplyAcknowledged = true;
            gAcknowledgedLine = line;
            ReportStatus(known.status);
            break;
        case ModemResult::Connected:
            gModemConnected = true;
            modemCallBaud = known.baud;
            ReportStatus(known.status);
            break;
        case ModemResult::Waiting: ReportStatus(known.status, false, 3); break;
        case ModemResult::Failed:
            gModemFailed = true;
            ReportStatus(known.status, true, 3);
            break;
        }
        return;
    }
}

// ---- Conversations ------------------------------------------------------------

void SettleLink() { settleLine(); }

bool LinkPortClosed()
{
    return !gComm || (!gComm->PortOpen() && !(gComm->DeviceLost() && gConnectionType == 1));
}

bool IsLinkResponding(std::int32_t ticks)
{
    // Once Exit is chosen only the exit's own stops and hang-up talk to the
    // unit (they run with the request cleared): nothing else goes out.
    if (ExitRequested())
        return false;
    // A serial adapter pulled out and plugged back in comes back under its
    // old name. Every conversation starts with this probe, so this is where
    // the link looks for it again; a modem call does not survive it, so a
    // modem link waits for Dial Out instead.
    if (gComm && !gComm->PortOpen() && !LinkPortClosed() && gComm->SetPortOpen(true) == CommError::None)
        ResetLinkReceiver();
    if (!onEncoderLink() || !portOpen())
        return false;
    Exchange exchange;
    if (!waitForIdleReceiver(ticks))
        return false;
    dropWhatTheLineHolds();
    transmitLine("\r");

    clsDelay delay;
    delay.InitDelay(20);
    clsDelay secondPoke;
    secondPoke.InitDelay(9);
    bool pokedAgain = false;
    while (!gProbeAnswered && !delay.DelayExpired() && !ExitRequested()) {
        if (!pokedAgain && secondPoke.DelayExpired()) { // ten ticks without an answer
            transmitLine("\r");
            pokedAgain = true;
        }
        WaitForEvents();
    }
    if (!gProbeAnswered)
        gReplyBuffer.clear();
    return gProbeAnswered;
}

bool SendLinkCommand(std::string_view command, std::string_view data, bool noSuffix, std::int32_t ticks,
                     std::string& reply, bool terminate, std::int16_t retries)
{
    if (ExitRequested())
        return false;
    Exchange exchange;
    if (!waitForIdleReceiver(15))
        return false;
    dropWhatTheLineHolds();
    gModemReady = false;
    gModemFailed = false;

    const std::string line = buildLine(command, data, noSuffix, terminate, 'W');
    const std::int64_t wait = ticks == 0 ? 8 : ticks;
    const auto acknowledged = [] { return gReplyAcknowledged; };
    transmitLine(line);
    waitFor(wait, acknowledged);

    // Once the program is leaving, every wait falls through: nothing more is sent.
    for (int attempt = 0; attempt < retries && !gReplyAcknowledged && !ExitRequested(); ++attempt) {
        transmitLine("\r");
        // A slow acknowledgement landing in the pause answers the line already
        // sent; sending it again would page twice.
        if (waitFor(kPokePauseTicks, acknowledged))
            break;
        transmitLine(line, true);
        waitFor(wait, acknowledged);
        if (!gEncoderIdentified && startsWith(gReplyBuffer, "?99"))
            break;
    }

    reply = judgedLine();
    if (onEncoderLink())
        return gReplyAcknowledged && endsWith(reply, "*\r");
    return gReplyAcknowledged;
}

std::string QueryLink(std::string_view command, std::string_view data, const QueryOptions& options)
{
    Exchange exchange;
    if (!waitForIdleReceiver(8))
        return {};
    dropWhatTheLineHolds();

    const std::string line = buildLine(command, data, options.noSuffix, true, '?');
    const std::int64_t wait = options.ticks == 0 ? 8 : options.ticks;
    const auto acknowledged = [] { return gReplyAcknowledged; };
    const LineLedger& counts = ledger();
    bool refused = false;
    // Once Exit is chosen not even the first try goes out.
    for (int attempt = 0; attempt < options.attempts && !gReplyAcknowledged && !ExitRequested(); ++attempt) {
        gReplyBuffer.clear();
        const std::int64_t refusalsBefore = counts.heardRefusals;
        transmitLine(line);
        waitForReply(wait);
        refused = refused || counts.heardRefusals > refusalsBefore;
        if (!gReplyAcknowledged && options.pokeOnTimeout && !ExitRequested()) {
            const std::int64_t linesAtPoke = counts.heardLines;
            const std::int64_t refusalsAtPoke = counts.heardRefusals;
            transmitLine("\r");
            waitFor(kPokePauseTicks, acknowledged);
            // One "?99" after the poke may be the poke's own answer to a
            // unit that never got the query; it refused the query only when
            // the poke's answer came behind it.
            refused = refused || (counts.heardRefusals > refusalsAtPoke && counts.heardLines - linesAtPoke >= 2);
        }
        if (!gEncoderIdentified && refused)
            break;
    }

    std::string value;
    const std::string answer = judgedLine();
    if (gReplyAcknowledged) {
        const auto length = static_cast<std::int64_t>(answer.size());
        if (length - 2 == options.expectedLength)
            value = answer.substr(0, static_cast<std::size_t>(length - 2));
        else if (length - 3 == options.expectedLength)
            value = answer.substr(1, static_cast<std::size_t>(length - 3));
    } else if (options.returnError && refused) {
        value = "?99";
    }
    gReplyAcknowledged = false;
    if (options.reply)
        *options.reply = answer;
    return value;
}

// ---- Detection ------------------------------------------------------------------

void DetectEncoder()
{
    // An identification Exit cut short tells nothing of the unit: what was
    // known stays, and nothing is remembered for the next start.
    gIdentityUnanswered = false;
    const bool found = findUnit();
    if (ExitRequested())
        return;
    if (!found) {
        // A unit that answered a moment ago may only be busy: it said nothing of what it lacks.
        gIdentityUnanswered = true;
        setNotConnected();
        finishDetection();
        return;
    }
    std::string identity;
    const std::int32_t ticks = (gComSettings == "1200,N,8,1" || gComSettings == "9600,N,8,1") ? 60 : 40;
    QueryLink("?", "000M", {.noSuffix = true, .ticks = ticks, .reply = &identity});
    if (ExitRequested())
        return;
    gIdentityUnanswered = identity.empty();
    if (isIdentity(identity))
        detectIdentifiedUnit(identity);
    else
        detectLegacyUnit();
    finishDetection();
}

std::string ConnectionStatusCaption()
{
    return gEncoderModelLetter == "N/A" ? std::string("Not Connected") : "Connected to " + gEncoderModelName;
}

void SetConnectionStatusSink(ConnectionStatusSink sink) { connectionStatusSink() = std::move(sink); }

void PublishConnectionStatus()
{
    if (auto& sink = connectionStatusSink())
        sink(ConnectionStatusCaption());
}

// ---- Shared link messages ----------------------------------------------------------

void ShowLinkCommError()
{
    // Once Exit is chosen the waits fall through and the last stops may go
    // unanswered: a program on its way out has nothing to ask of the operator.
    if (ExitChosen())
        return;
    const std::string& model = gEncoderModelName;
    MessageRequest notice;
    notice.defaultButton = kAnswerOk;
    if (gConnectionType != 1 && !gModemConnected) {
        notice.message = "Communication with the " + model + " is established by dial out. \r\n"
            + "Please click Dial Out to connect.";
        notice.icon = kIconInformation;
    } else {
        notice.message = "Communication with the " + model + " cannot be established. \r\nMake sure the " + model
            + " is powered on, the COM port that is connected to the PC is set to Kestrane protocol, "
            + "check COM settings and connections.";
        notice.icon = kIconExclamation;
    }
    // A timer's page can fail while the operator has a box up: it is told
    // once that box is answered, never passed over.
    ShowNotice(notice);
}

std::int16_t AskUpdateDatabaseOnly(bool offerDontAsk)
{
    if (ExitChosen())
        return kAnswerNo;
    return ShowMessage("Connection to " + gEncoderModelName + " cannot be established. "
                           + "Click Yes to continue and update the database on the hard drive only, "
                           + "No to cancel this operation.",
                       kButtonsYesNo, kAnswerYes, kIconExclamation, {},
                       offerDontAsk ? "&Don't ask me again" : "");
}

std::int16_t AskRetryDownload()
{
    if (ExitChosen())
        return kAnswerNo;
    return ShowMessage("Connection to " + gEncoderModelName + " cannot be established. \r\n"
                           + "Click Yes to continue and retry to download from " + gEncoderModelName + ", "
                           + "No to cancel this operation.",
                       kButtonsYesNo, kAnswerNo, kIconExclamation, {}, "&Don't ask me again");
}

std::int16_t ShowOptionNotUpdatedWarning(std::string_view option)
{
    if (ExitChosen())
        return kAnswerBoxBusy;
    const std::string& model = gEncoderModelName;
    return ShowMessage("Connection to " + model + " cannot be established or " + std::string(option)
                           + " option is not supported by the " + model + ". \r\nThe " + model
                           + " will not be updated.",
                       kButtonsOk, kAnswerOk, kIconExclamation);
}

void ShowPartialUploadWarning(std::int16_t count)
{
    ShowMessage("Only " + std::to_string(count) + " messages were uploaded to the " + gEncoderModelName + ". ",
                kButtonsOk, kAnswerOk, kIconExclamation);
}

void ShowNotModemConnectionNotice()
{
    ShowMessage(gAppName + " is not set to connect using a modem. Please go to Setup menu, "
                    + " select Configure and change to Modem Connection (Administrator login is required).",
                kButtonsOk, 0, kIconExclamation);
}

std::int16_t ShowCannotSendPagesNotice(bool willRetry)
{
    if (!willRetry || ExitChosen())
        return 0;
    // A page that did not go out is never passed over in silence, whatever box is up.
    MessageRequest notice;
    notice.message = "Communication with the " + gEncoderModelName + " cannot be established. " + gAppName
        + " is unable to send pages.\r\n" + gAppName + " will try to reconnect within 5 seconds.";
    notice.defaultButton = 0;
    notice.icon = kIconExclamation;
    notice.timeOutEnabled = true;
    notice.timeOutInterval = 30000;
    return ShowNotice(notice);
}

void ShowMessagesNotLoadedError()
{
    if (ExitChosen())
        return;
    ShowMessage("Messages file was not found and communication with the " + gEncoderModelName
                    + " cannot be established. Messages could not be loaded.",
                kButtonsOk, 0, kIconCritical);
}

void ShowMessagesFileMissingError()
{
    ShowMessage("Messages file was not found. Cannot upload messages to " + gEncoderModelName + ". ", kButtonsOk, 0,
                kIconCritical);
}
