#pragma once
// A simulated encoder, optionally behind a Hayes modem. Bytes go in at a host
// tick (50 ms each) and the unit's answers come out when they are due, so a
// test pump that advances one tick per yield sees the line as it would be.
//
// The engine has no clock of its own: every call names the host tick, and
// ticks never go backwards.

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "SimLine.h"
#include "SimProfile.h"
#include "SimUnitClock.h"

namespace sim {

class Device;

struct TranscriptEntry {
    std::int64_t tick;
    bool fromHost;
    std::string bytes {};
};

// What can go wrong with the answer to one host line.
enum class FaultKind {
    Silence,     // no answer at all
    Refuse,      // "?99" CR instead of the answer
    DropCarrier, // the modem loses the call instead of passing the answer on
    MissingCR,   // the answer without its final CR
    Garbage,     // `bytes` (default: noise) inserted into the answer
    Nuls,        // `bytes` (default: two NULs) inserted into the answer
    Delay,       // the answer `ticks` later than usual
    LateAnswer,  // the answer exactly `ticks` after the line's CR
    Split,       // the answer in two chunks, the second `ticks` after the first
    Merge,       // the answer held back and sent together with the next one
    AfterPoke,   // the answer held back until the host's next bare CR, which gets it instead of "?99"
};

enum class MatchMode {
    Prefix, // the line begins with the pattern
    Exact,  // the line is the pattern ("" is the bare-CR probe)
    Regex,  // the whole line matches the ECMAScript expression
};

// A fault applies to host lines (without their CR) that match the pattern,
// for encoder commands and modem commands alike. Several faults may spoil the
// same answer; they act in the order of FaultKind. Every field has an
// initializer, so a fault names only the fields it sets ({.kind, .pattern}).
struct Fault {
    FaultKind kind = FaultKind::Silence;
    std::string pattern {};
    MatchMode match = MatchMode::Prefix;
    std::int64_t ticks = 5;
    std::string bytes{};
    // Where Garbage and Nuls go (kEnd: just before the final CR), and where
    // Split cuts (0 or kEnd: the middle of the answer).
    std::size_t position = 0;
    // How many matching lines it spoils; 0 means every one (persistent).
    int times = 1;

    static constexpr std::size_t kEnd = std::numeric_limits<std::size_t>::max();
};

// Numeric result codes; the verbal form is used until "V0".
enum class ModemResult {
    Ok = 0,
    Connect = 1,
    Ring = 2,
    NoCarrier = 3,
    Error = 4,
    NoDialTone = 6,
    Busy = 7,
    NoAnswer = 8,
    Connect2400 = 10,
    Connect4800 = 13,
    Connect9600 = 18,
};

enum class ModemState {
    Command, // reads AT commands (with or without a call up)
    Dialing,
    Online, // bytes pass through to the encoder
};

// A page the unit received, whether it took it or not.
struct PageRecord {
    std::int64_t tick;
    int pagerNo;
    std::string text;
    bool accepted;
};

// One free-text keyword slot as the unit keeps it; a slot never written is blank.
struct FreetextSlot {
    std::string keyword = std::string(30, ' ');
    int pager = 0;
    std::string message = std::string(30, ' ');
    bool replace = false;
    bool operator==(const FreetextSlot&) const = default;
};

// One wireless-device slot as the unit keeps it. The call is kept as the
// newest units name it: 'C' cancel, 'T' tamper, '1' to '4' a button.
struct WirelessSlot {
    std::string message = std::string(30, ' ');
    int pager = 0;
    int deviceCode = 0;
    int cancelCode = 0;
    int repeatMinutes = 0;
    int plan = 0;
    bool supervised = false;
    char call = '1';
    bool operator==(const WirelessSlot&) const = default;
};

class Engine {
public:
    // The answer to one command line: the bytes to send (CR included), or
    // nothing for silence.
    using Reply = std::optional<std::string>;
    using CommandHandler = std::function<Reply(Engine&, const std::smatch&, std::int64_t tick)>;

    Engine(); // a model-X encoder at 38400,N,8,1

    // --- the unit -------------------------------------------------------
    void SetModel(char modelLetter); // any letter; one outside the model list is an "unknown" unit
    void SetLegacyModel(Legacy variant);
    void SetProfile(const Profile& profile);
    Profile& EditProfile() { return profile_; }

    // The host port's settings as the program set them; the unit only hears
    // and answers when they match its own.
    void SetHostSettings(std::string_view settings);
    void SetUnitSettings(std::string_view settings);
    const std::string& HostSettings() const { return hostSettings_; }
    const std::string& UnitSettings() const { return unitSettings_; }

    // Ticks between a command's CR and its answer (default 1).
    void SetReplyDelay(std::int64_t ticks) { replyDelay_ = ticks; }
    // When on, every byte on the line, the host's lines and the unit's answers,
    // takes its time at the unit's line speed.
    void SetLineTimeEmulation(bool on) { lineTime_ = on; }

    // Pages to these pager numbers are refused with "?99"; number 000 always is.
    void RefusePagesTo(int pagerNo, bool refuse = true);
    const std::vector<PageRecord>& Pages() const { return pages_; }

    // The unit's clock; it runs on with the host ticks from the moment it is set.
    void SetClock(const ClockTime& time, std::int64_t tick);
    ClockTime Clock(std::int64_t tick) const;

    // A command that the built-in table does not know, or a new answer to one
    // it does: matched against the whole line (without CR) before the built-in
    // commands; the later added wins. An empty handler takes back what was
    // added under that pattern, so the unit answers as it would anyway.
    void AddCommand(std::string_view pattern, CommandHandler handler);

    // --- a device instead of the encoder ------------------------------------
    // While a device is set, it answers every line (faults and transcript
    // apply as they do to the encoder); null puts the encoder back.
    void SetDevice(std::shared_ptr<Device> device);

    // --- the user table ---------------------------------------------------
    // Each user as an "A" command brought it (44 or 54 characters), by pager number.
    const std::map<int, std::string>& Users() const { return users_; }
    // Stores a user as an "A" command would; false when the unit would refuse it.
    bool PutUser(std::string_view record);
    // A user as a read answers it, without "*" CR.
    std::string UserAnswer(const std::string& record) const;

    // --- the alarm table ----------------------------------------------------
    // Each alarm point that was written, as a read answers it (without "*"
    // CR), by the unit's own point number: table slot + its index offset.
    // A point never written answers blank, or with a bare "*" on the oldest units.
    const std::map<int, std::string>& AlarmPoints() const { return alarms_; }
    void PutAlarmPoint(int point, std::string value) { alarms_[point] = std::move(value); }
    // --- the message tables ------------------------------------------------
    // The slots of one table ("K" fast keys, "C" PABX, ...) as a read answers
    // them, without "*" CR; a slot never written reads as spaces.
    const std::map<int, std::string>& MessageTable(char letter) const;
    void SetMessageSlot(char letter, int slot, std::string value);

    // --- the free-text and wireless tables (slots from 1) ------------------
    // Each unit reads and writes them in the layout of its letter and version;
    // slots missing from the maps are blank.
    const std::map<int, FreetextSlot>& Freetext() const { return freetext_; }
    void PutFreetext(int slot, const FreetextSlot& entry) { freetext_[slot] = entry; }
    const std::map<int, WirelessSlot>& Wireless() const { return wireless_; }
    void PutWireless(int slot, const WirelessSlot& entry) { wireless_[slot] = entry; }

    // --- the weekly tone schedule -------------------------------------------
    // Units with a tone generator hold four slots of 7 days x 48 events, one
    // slot active. Index = day x 48 + event - 1, Monday day 0; each event is
    // kept as the text that followed "PE".
    static constexpr int kToneSlots = 4;
    static constexpr int kToneEvents = 336;
    bool HasToneSchedule() const;
    int ActiveToneSlot() const { return activeToneSlot_; }
    void SetActiveToneSlot(int slot) { activeToneSlot_ = slot; }
    std::string ToneEvent(int slot, int index) const;
    // Every "GT" or "GM" line the unit took, data included.
    const std::vector<std::string>& TestTones() const { return testTones_; }

    // --- the tone calendar -------------------------------------------------
    // The events of one day as the last "PCD" for it brought them (14
    // characters each); a day never written holds empty events.
    std::string CalendarDay(int month, int day) const;

    // --- the line -------------------------------------------------------
    void Receive(std::string_view bytes, std::int64_t tick);
    std::string Transmit(std::int64_t tick);
    // The tick of the next byte waiting to go out, if any.
    std::optional<std::int64_t> NextDueTick() const;

    // Host bytes appear when their CR arrives (a chunk without CR once the
    // host has paused), the unit's when Transmit hands them out, stamped with
    // the tick they were due.
    const std::vector<TranscriptEntry>& Transcript() const { return transcript_; }
    void ClearTranscript() { transcript_.clear(); }

    // --- faults ---------------------------------------------------------
    void AddFault(const Fault& fault);
    void ClearFaults() { faults_.clear(); }

    // --- the modem ------------------------------------------------------
    void EnableModem(bool on = true);
    void SetDialDelay(std::int64_t ticks) { dialDelay_ = ticks; }
    void SetDialResult(ModemResult result) { dialResult_ = result; }
    ModemState GetModemState() const { return modemState_; }
    bool CallUp() const { return callUp_; }
    const std::string& DialedNumber() const { return dialedNumber_; }
    // The far end hangs up: the modem reports NO CARRIER.
    void DropCarrier(std::int64_t tick);
    // The host closed the port and DTR dropped: the modem, set as shipped
    // (&D2), ends a call or a dial and waits for commands, reporting nothing.
    void DropDtr(std::int64_t tick);

private:
    struct Command {
        std::string text;
        std::regex pattern;
        CommandHandler handler;
    };
    struct Pending {
        std::int64_t due;
        std::string bytes;
    };

    void Advance(std::int64_t tick);
    void FlushHostPartial();
    void FeedEncoder(char byte, std::int64_t tick);
    void FeedModem(char byte, std::int64_t tick);
    void HandleEncoderLine(const std::string& line, std::int64_t tick);
    void TakeDeviceLineSettings();
    void HandleModemLine(const std::string& line, std::int64_t tick);
    void Answer(const std::string& line, Reply reply, std::int64_t tick);
    void Enqueue(std::int64_t due, std::string bytes);
    void SendResult(ModemResult result, std::int64_t due);
    void EndCall();
    bool HearsHost() const;

    void BuildCommandTable();
    void AddUserCommands();
    void AddAlarmCommands();
    Reply AlarmCommand(const std::string& body);
    void AddMessageTableCommands();
    void AddKeywordAndDeviceCommands();
    void AddToneCommands();
    void AddCalendarCommands();
    std::size_t ToneEventLength() const;
    Reply Dispatch(const std::string& line, std::int64_t tick);
    Reply Identity() const;
    Reply TableSizeAnswer(const TableSize& table) const;
    Reply Page(const std::smatch& m, std::int64_t tick);
    Reply SetClockFromDigits(std::string_view digits, bool date, bool time, std::int64_t tick);

    Profile profile_ = ProfileFor('X');
    std::string hostSettings_ = "38400,N,8,1";
    std::string unitSettings_ = "38400,N,8,1";
    std::optional<LineSettings> hostLine_;
    std::optional<LineSettings> unitLine_;
    std::int64_t replyDelay_ = 1;
    bool lineTime_ = false;

    std::vector<Command> commands_; // added commands first, then the built-in ones
    std::shared_ptr<Device> device_;
    bool rawMessageEnded_ = false;
    std::set<int> refusedPagers_;
    std::map<int, std::string> users_;
    std::map<int, std::string> alarms_;
    std::map<char, std::map<int, std::string>> messageTables_;
    std::map<int, FreetextSlot> freetext_;
    std::map<int, WirelessSlot> wireless_;
    std::vector<PageRecord> pages_;
    int activeToneSlot_ = 1;
    std::map<int, std::string> toneEvents_; // by (slot - 1) x 336 + index; a missing one is the default
    std::vector<std::string> testTones_;
    UnitClock clock_;
    std::map<int, std::string> calendarDays_; // by month x 100 + day

    std::string encoderLine_;
    std::vector<Pending> queue_;
    std::int64_t lastDue_ = std::numeric_limits<std::int64_t>::min();
    std::string held_; // an answer kept back by a Merge fault
    std::optional<std::string> awaitingPoke_; // an answer kept back by an AfterPoke fault
    std::vector<Fault> faults_;

    std::vector<TranscriptEntry> transcript_;
    std::string hostPartial_;
    std::int64_t hostPartialTick_ = 0;
    std::int64_t lastHostByteTick_ = std::numeric_limits<std::int64_t>::min() / 2;

    bool modem_ = false;
    ModemState modemState_ = ModemState::Command;
    bool callUp_ = false;
    bool echo_ = true;
    bool verbose_ = true;
    std::string modemLine_;
    std::int64_t dialDelay_ = 40;
    ModemResult dialResult_ = ModemResult::Connect9600;
    std::int64_t dialDoneTick_ = 0;
    std::string dialedNumber_;
    // Silence needed before and after "+++" for the escape to count (S12).
    static constexpr std::int64_t kGuardTicks = 20;
    int plusCount_ = 0;
    std::int64_t lastPlusTick_ = 0;
};

} // namespace sim
