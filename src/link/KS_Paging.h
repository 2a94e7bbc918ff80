#pragma once
// The encoder link: opening the port, the polled line receiver, the probe,
// the acknowledged command, the query, encoder detection, and the messages
// every window shows when the encoder cannot be reached.
//
// All conversations use gComm and wait on the flags in KS_Globals.h that the
// receiver (PollEncoderReply, run by the main window's 50 ms timer and by the
// test pump) sets. Every wait yields through WaitForEvents().

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class CommPort;

// ---- Port and receiver --------------------------------------------------------

// (Re)opens comm on the port with the settings ("9600,N,8,1" when blank); true when open.
// A port held by another program is reported to the operator; other failures are silent.
bool OpenSerialPort(CommPort& comm, std::int16_t port, std::string_view settings);

// Port n is $PAGORA_COM<n>, else the settings value COM<n>, else /dev/ttyS<n-1>.
std::string ResolveCommDevice(int port);

// Collects from gComm towards one reply line and hands a complete line to
// HandleEncoderLine. A line may arrive over several polls; one is dropped
// when 20 ticks pass without a byte of it, or when it has taken 20 ticks
// longer than its bytes need at the line's speed (the port's, or a modem
// call's where that is slower).
void PollEncoderReply();

// Sets the link flags for one received line (CR included).
void HandleEncoderLine(const std::string& line);

// Forgets a half-received line (the port was reopened or flushed).
void ResetLinkReceiver();
// A line has begun and not yet ended or been dropped.
bool LinkReceiving();

// Forgets what earlier exchanges left: the answers still owed, how long the
// unit has taken to answer, whether it fell silent. A program starting afresh.
void ResetLinkLedger();

// ---- Conversations ------------------------------------------------------------
// The probe, the command and the query each drop what the line holds before
// they send. The link pays the lines it sent off against the lines that come,
// in order; an answer to an exchange that has ended is never read. Before it
// sends, an exchange waits for what an earlier one's commands and queries are
// still owed: a unit that pauses up to five seconds at any one line and then
// answers every line in order has each answer go to its own line. Nothing is
// waited for once nothing is owed, nor for the "?99" owed to a poke.

// Waits, as the next exchange would, for the answers still owed to an
// exchange that has ended; for a command that must leave at a given moment.
void SettleLink();

// True when the unit answers a bare CR with "?99". On a serial link whose
// device went away (CommPort::DeviceLost) it first tries to open the port again.
bool IsLinkResponding(std::int32_t ticks = 8);
// True when the port is closed for good: never opened, closed on purpose, or
// lost on a modem link. A serial adapter pulled out is not closed: the next
// probe looks for it again.
bool LinkPortClosed();

// Sends Command & Data & "W" CR (or the raw line with NoSuffix) and waits for "*" CR,
// retrying with a CR poke. Ticks 0 means 8. Reply receives the acknowledging line,
// or the last line received when nothing acknowledged.
bool SendLinkCommand(std::string_view command, std::string_view data, bool noSuffix, std::int32_t ticks,
                     std::string& reply, bool terminate = true, std::int16_t retries = 0);

// How a query is sent and judged; the defaults are one try of 8 ticks.
struct QueryOptions {
    // The value's length; the answer is the value and "*" CR, perhaps after one lead character.
    std::int16_t expectedLength = 0;
    // The raw line, with no "?" put before the CR.
    bool noSuffix = false;
    std::int32_t ticks = 0; // 0 means 8
    // A refusal ("?99") comes back as the value instead of "".
    bool returnError = false;
    // A bare CR and a pause after every unanswered try.
    bool pokeOnTimeout = false;
    std::int16_t attempts = 1;
    // Receives the acknowledging line, or the last line received.
    std::string* reply = nullptr;
};

// Sends Command & Data & "?" CR (or the raw line) and returns the value cut from
// the acknowledged answer, "" when none.
std::string QueryLink(std::string_view command, std::string_view data, const QueryOptions& options);

// ---- Detection ------------------------------------------------------------------

// Finds what answers on the link (searching the speed on a serial link) and
// publishes its identity, table sizes and tone capabilities in the gEncoder*
// variables.
void DetectEncoder();

// "Not Connected", or "Connected to " and the model name.
std::string ConnectionStatusCaption();

// The main window shows the connection caption in lblConnectionStatus; it
// registers here so that every detection, whoever runs it, updates the label.
using ConnectionStatusSink = std::function<void(const std::string& caption)>;
void SetConnectionStatusSink(ConnectionStatusSink sink);
// Shows the caption of the identity now held (after it was put back by hand).
void PublishConnectionStatus();

// ---- Shared link messages ----------------------------------------------------------
// Once Exit has been chosen none of them shows: the questions answer No.

// The dial-out notice on a modem link without a call, else the "cannot be established"
// warning; while another box is up it shows once that box is answered.
void ShowLinkCommError();
// Yes (6) lets the caller save to its data file only; No is 7.
std::int16_t AskUpdateDatabaseOnly(bool offerDontAsk = false);
// Yes (6) lets the caller retry; the check box (gMessageOption) lets it stop asking.
std::int16_t AskRetryDownload();
std::int16_t ShowOptionNotUpdatedWarning(std::string_view option);
// After an upload that had more records than the encoder has slots.
void ShowPartialUploadWarning(std::int16_t count);
// Dial-out asked for on a serial link.
void ShowNotModemConnectionNotice();
// A page that cannot be delivered; closes by itself after 30 s. Shows nothing and returns 0 without willRetry.
std::int16_t ShowCannotSendPagesNotice(bool willRetry);
// A message-table window with neither its data file nor a link to download from.
void ShowMessagesNotLoadedError();
// An upload that finds no data file.
void ShowMessagesFileMissingError();
