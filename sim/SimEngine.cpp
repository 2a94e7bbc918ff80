#include "SimEngine.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "SimDevice.h"

namespace sim {

namespace {

// A unit's input buffer is finite; a line that never ends is thrown away
// rather than growing without bound.
constexpr std::size_t kMaxLineLength = 4096;
constexpr std::string_view kDefaultGarbage = "\x1b\xfe#~";

std::string_view ResultText(ModemResult result)
{
    switch (result) {
    case ModemResult::Ok: return "OK";
    case ModemResult::Connect: return "CONNECT";
    case ModemResult::Ring: return "RING";
    case ModemResult::NoCarrier: return "NO CARRIER";
    case ModemResult::Error: return "ERROR";
    case ModemResult::NoDialTone: return "NO DIALTONE";
    case ModemResult::Busy: return "BUSY";
    case ModemResult::NoAnswer: return "NO ANSWER";
    case ModemResult::Connect2400: return "CONNECT 2400";
    case ModemResult::Connect4800: return "CONNECT 4800";
    case ModemResult::Connect9600: return "CONNECT 9600";
    }
    return "ERROR";
}

bool IsConnect(ModemResult result)
{
    return result == ModemResult::Connect || result == ModemResult::Connect2400
        || result == ModemResult::Connect4800 || result == ModemResult::Connect9600;
}

bool Matches(const Fault& fault, const std::string& line)
{
    switch (fault.match) {
    case MatchMode::Prefix: return line.starts_with(fault.pattern);
    case MatchMode::Exact: return line == fault.pattern;
    case MatchMode::Regex: return std::regex_match(line, std::regex(fault.pattern));
    }
    return false;
}

// Garbage and NULs go at the given offset; "the end" keeps the final CR last
// so the line still ends where the host expects it.
void InsertBytes(std::string& reply, std::string_view bytes, std::size_t position)
{
    if (position == Fault::kEnd)
        position = reply.ends_with('\r') ? reply.size() - 1 : reply.size();
    reply.insert(std::min(position, reply.size()), bytes);
}

} // namespace

Engine::Engine()
{
    hostLine_ = ParseLineSettings(hostSettings_);
    unitLine_ = ParseLineSettings(unitSettings_);
    BuildCommandTable();
    SetClock(ClockTime{}, 0);
}

void Engine::SetModel(char modelLetter) { profile_ = ProfileFor(modelLetter); }
void Engine::SetLegacyModel(Legacy variant) { profile_ = LegacyProfile(variant); }
void Engine::SetProfile(const Profile& profile) { profile_ = profile; }

void Engine::SetHostSettings(std::string_view settings)
{
    if (settings == hostSettings_)
        return;
    hostSettings_ = settings;
    hostLine_ = ParseLineSettings(settings);
    // Whatever arrived half-way through a change of speed is noise to the unit.
    encoderLine_.clear();
}

void Engine::SetUnitSettings(std::string_view settings)
{
    unitSettings_ = settings;
    unitLine_ = ParseLineSettings(settings);
    encoderLine_.clear();
}

// A receiver at another speed or framing sees only framing errors. Stop bits
// do not matter: a receiver set for one stop bit reads two just as well.
bool Engine::HearsHost() const
{
    if (modem_)
        return true; // a modem finds the host's speed itself
    return hostLine_ && unitLine_ && hostLine_->baud == unitLine_->baud
        && hostLine_->parity == unitLine_->parity && hostLine_->dataBits == unitLine_->dataBits;
}

void Engine::RefusePagesTo(int pagerNo, bool refuse)
{
    if (refuse)
        refusedPagers_.insert(pagerNo);
    else
        refusedPagers_.erase(pagerNo);
}

void Engine::AddFault(const Fault& fault) { faults_.push_back(fault); }

void Engine::AddCommand(std::string_view pattern, CommandHandler handler)
{
    if (!handler) {
        std::erase_if(commands_, [&](const Command& c) { return c.text == pattern; });
        return;
    }
    commands_.insert(commands_.begin(),
                     Command{std::string(pattern), std::regex(std::string(pattern)), std::move(handler)});
}

// --- the line ---------------------------------------------------------------

void Engine::Receive(std::string_view bytes, std::int64_t tick)
{
    Advance(tick);
    for (const char byte : bytes) {
        if (hostPartial_.empty())
            hostPartialTick_ = tick;
        hostPartial_ += byte;
        if (modem_)
            FeedModem(byte, tick);
        else if (HearsHost())
            FeedEncoder(byte, tick);
        lastHostByteTick_ = tick;
        // A device's binary message is one entry, as a line is.
        if (byte == '\r' || std::exchange(rawMessageEnded_, false)) {
            transcript_.push_back({tick, true, hostPartial_});
            hostPartial_.clear();
        }
    }
}

std::string Engine::Transmit(std::int64_t tick)
{
    Advance(tick);
    std::string out;
    std::size_t n = 0;
    while (n < queue_.size() && queue_[n].due <= tick) {
        transcript_.push_back({queue_[n].due, false, queue_[n].bytes});
        out += queue_[n].bytes;
        ++n;
    }
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

std::optional<std::int64_t> Engine::NextDueTick() const
{
    if (queue_.empty())
        return std::nullopt;
    return queue_.front().due;
}

void Engine::FlushHostPartial()
{
    if (hostPartial_.empty())
        return;
    transcript_.push_back({hostPartialTick_, true, hostPartial_});
    hostPartial_.clear();
}

// Things that happen with time rather than with a byte: a chunk of host bytes
// without CR goes to the transcript once the host has paused, a dial ends,
// and an escape sequence counts once the guard time after it has passed.
void Engine::Advance(std::int64_t tick)
{
    if (!hostPartial_.empty() && tick - lastHostByteTick_ >= kGuardTicks)
        FlushHostPartial();
    if (!modem_)
        return;
    if (modemState_ == ModemState::Dialing && tick >= dialDoneTick_) {
        const std::int64_t due = dialDoneTick_;
        if (IsConnect(dialResult_)) {
            modemState_ = ModemState::Online;
            callUp_ = true;
            plusCount_ = 0;
            encoderLine_.clear();
        } else if (dialResult_ == ModemResult::Ring) {
            // Rings on and on: only a byte from the host ends the attempt.
            dialDoneTick_ = std::numeric_limits<std::int64_t>::max();
        } else {
            modemState_ = ModemState::Command;
        }
        SendResult(dialResult_, due);
    }
    if (modemState_ == ModemState::Online && plusCount_ == 3 && tick >= lastPlusTick_ + kGuardTicks) {
        FlushHostPartial();
        modemState_ = ModemState::Command;
        plusCount_ = 0;
        modemLine_.clear();
        // The "+++" also reached the encoder as the start of a line; the call
        // is on hold now, so that fragment is dropped.
        encoderLine_.clear();
        SendResult(ModemResult::Ok, lastPlusTick_ + kGuardTicks);
    }
}

void Engine::Enqueue(std::int64_t due, std::string bytes)
{
    if (bytes.empty())
        return;
    // One unit, one line: an answer never overtakes the one before it.
    due = std::max(due, lastDue_);
    const auto push = [this](std::int64_t at, std::string_view part) {
        if (!queue_.empty() && queue_.back().due == at)
            queue_.back().bytes += part;
        else
            queue_.push_back({at, std::string(part)});
    };
    if (lineTime_ && unitLine_) {
        const std::int64_t bits = unitLine_->BitsPerCharacter();
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto offset = static_cast<std::int64_t>(i + 1) * bits * 20 / unitLine_->baud;
            push(due + offset, std::string_view(bytes).substr(i, 1));
        }
        lastDue_ = queue_.back().due;
        return;
    }
    push(due, bytes);
    lastDue_ = due;
}

void Engine::Answer(const std::string& line, Reply reply, std::int64_t tick)
{
    if (line.empty() && awaitingPoke_) {
        reply = std::move(awaitingPoke_);
        awaitingPoke_.reset();
    }
    std::vector<Fault> hits;
    for (auto it = faults_.begin(); it != faults_.end();) {
        if (!Matches(*it, line)) {
            ++it;
            continue;
        }
        hits.push_back(*it);
        if (it->times > 0 && --it->times == 0)
            it = faults_.erase(it);
        else
            ++it;
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const Fault& a, const Fault& b) { return a.kind < b.kind; });

    std::int64_t due = tick + replyDelay_;
    // The host hands the line over at once, but the line carries it at its
    // speed: the unit has the last byte only after all of them went by.
    if (lineTime_ && unitLine_)
        due += static_cast<std::int64_t>(line.size() + 1) * unitLine_->BitsPerCharacter() * 20 / unitLine_->baud;
    std::optional<Fault> split;
    bool merge = false;
    for (const Fault& f : hits) {
        switch (f.kind) {
        case FaultKind::Silence: reply.reset(); break;
        case FaultKind::Refuse: reply = "?99\r"; break;
        case FaultKind::DropCarrier:
            reply.reset();
            if (modem_ && callUp_) {
                EndCall();
                SendResult(ModemResult::NoCarrier, due);
            }
            break;
        case FaultKind::MissingCR:
            if (reply && reply->ends_with('\r'))
                reply->pop_back();
            break;
        case FaultKind::Garbage:
            if (reply)
                InsertBytes(*reply, f.bytes.empty() ? kDefaultGarbage : std::string_view(f.bytes), f.position);
            break;
        case FaultKind::Nuls:
            if (reply)
                InsertBytes(*reply, f.bytes.empty() ? std::string(2, '\0') : f.bytes, f.position);
            break;
        case FaultKind::Delay: due += f.ticks; break;
        case FaultKind::LateAnswer: due = tick + f.ticks; break;
        case FaultKind::Split: split = f; break;
        case FaultKind::Merge: merge = true; break;
        case FaultKind::AfterPoke:
            awaitingPoke_ = std::move(reply);
            reply.reset();
            break;
        }
    }
    if (!reply)
        return;

    std::string bytes = held_ + *reply;
    held_.clear();
    if (merge) {
        held_ = std::move(bytes);
        return;
    }
    if (split && bytes.size() > 1) {
        const std::size_t cut = split->position == Fault::kEnd || split->position == 0
            ? bytes.size() / 2
            : std::min(split->position, bytes.size() - 1);
        Enqueue(due, bytes.substr(0, cut));
        Enqueue(due + split->ticks, bytes.substr(cut));
        return;
    }
    Enqueue(due, std::move(bytes));
}

// --- the encoder ------------------------------------------------------------

void Engine::FeedEncoder(char byte, std::int64_t tick)
{
    if (device_) {
        // A device's binary message may hold CR bytes; it says how long it is.
        encoderLine_ += byte;
        if (const std::size_t length = device_->RawLength(encoderLine_); length > 0) {
            if (encoderLine_.size() >= length) {
                const std::string message = std::move(encoderLine_);
                encoderLine_.clear();
                Answer(message, device_->HandleRaw(message, tick), tick);
                TakeDeviceLineSettings();
                rawMessageEnded_ = true;
            }
            return;
        }
        encoderLine_.pop_back();
    }
    if (byte == '\r') {
        const std::string line = std::move(encoderLine_);
        encoderLine_.clear();
        HandleEncoderLine(line, tick);
        return;
    }
    if (encoderLine_.size() >= kMaxLineLength)
        encoderLine_.clear();
    encoderLine_ += byte;
}

void Engine::HandleEncoderLine(const std::string& line, std::int64_t tick)
{
    Answer(line, device_ ? device_->Handle(line, tick) : Dispatch(line, tick), tick);
    if (device_)
        TakeDeviceLineSettings();
}

void Engine::TakeDeviceLineSettings()
{
    if (auto settings = device_->TakeLineSettings())
        SetUnitSettings(*settings);
}

void Engine::SetDevice(std::shared_ptr<Device> device)
{
    device_ = std::move(device);
    encoderLine_.clear();
}

// --- the modem --------------------------------------------------------------

void Engine::EnableModem(bool on)
{
    modem_ = on;
    modemState_ = ModemState::Command;
    callUp_ = false;
    echo_ = true;
    verbose_ = true;
    plusCount_ = 0;
    modemLine_.clear();
    encoderLine_.clear();
}

void Engine::EndCall()
{
    modemState_ = ModemState::Command;
    callUp_ = false;
    plusCount_ = 0;
    encoderLine_.clear();
}

void Engine::DropCarrier(std::int64_t tick)
{
    Advance(tick);
    if (!modem_ || !callUp_)
        return;
    EndCall();
    SendResult(ModemResult::NoCarrier, tick);
}

void Engine::DropDtr(std::int64_t tick)
{
    Advance(tick);
    if (!modem_)
        return;
    EndCall();
    modemLine_.clear();
}

void Engine::SendResult(ModemResult result, std::int64_t due)
{
    if (verbose_)
        Enqueue(due, "\r\n" + std::string(ResultText(result)) + "\r\n");
    else
        Enqueue(due, std::to_string(static_cast<int>(result)) + "\r");
}

void Engine::FeedModem(char byte, std::int64_t tick)
{
    switch (modemState_) {
    case ModemState::Dialing:
        // Any key aborts a call in progress.
        modemState_ = ModemState::Command;
        callUp_ = false;
        modemLine_.clear();
        SendResult(ModemResult::NoCarrier, tick + replyDelay_);
        return;

    case ModemState::Online:
        // "+++" counts only with the guard time of silence before it and its
        // three characters close together; the guard after it is checked as
        // time passes. The characters reach the encoder either way.
        if (byte == '+') {
            if (plusCount_ == 0) {
                if (tick - lastHostByteTick_ >= kGuardTicks) {
                    plusCount_ = 1;
                    lastPlusTick_ = tick;
                }
            } else if (plusCount_ < 3 && tick - lastPlusTick_ < kGuardTicks) {
                ++plusCount_;
                lastPlusTick_ = tick;
            } else {
                plusCount_ = 0;
            }
        } else {
            plusCount_ = 0;
        }
        FeedEncoder(byte, tick);
        return;

    case ModemState::Command:
        if (echo_)
            Enqueue(tick, std::string(1, byte));
        if (byte == '\r') {
            const std::string line = std::move(modemLine_);
            modemLine_.clear();
            HandleModemLine(line, tick);
        } else if (byte == '\b') {
            if (!modemLine_.empty())
                modemLine_.pop_back();
        } else if (byte != '\n' && modemLine_.size() < kMaxLineLength) {
            modemLine_ += byte;
        }
        return;
    }
}

void Engine::HandleModemLine(const std::string& line, std::int64_t tick)
{
    // A modem ignores lines that are not commands.
    if (line.size() < 2 || std::toupper(static_cast<unsigned char>(line[0])) != 'A'
        || std::toupper(static_cast<unsigned char>(line[1])) != 'T')
        return;

    std::optional<ModemResult> result = ModemResult::Ok;
    std::size_t i = 2;
    const auto digit = [&](char fallback) {
        if (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])))
            return line[i++];
        return fallback;
    };
    while (i < line.size() && result == ModemResult::Ok) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(line[i++])));
        switch (c) {
        case ' ': break;
        case 'Z':
            digit('0');
            EndCall();
            echo_ = true;
            verbose_ = true;
            break;
        case 'E': echo_ = digit('0') != '0'; break;
        case 'V': verbose_ = digit('0') != '0'; break;
        case 'H':
            if (digit('0') != '0') {
                result = ModemResult::Error;
                break;
            }
            EndCall();
            break;
        case 'D': {
            if (callUp_) {
                result = ModemResult::Error;
                break;
            }
            std::string number = line.substr(i);
            if (!number.empty() && (std::toupper(static_cast<unsigned char>(number[0])) == 'T'
                                    || std::toupper(static_cast<unsigned char>(number[0])) == 'P'))
                number.erase(0, 1);
            dialedNumber_ = number;
            modemState_ = ModemState::Dialing;
            dialDoneTick_ = tick + dialDelay_;
            // The dial's own result comes when the call is decided.
            result.reset();
            i = line.size();
            break;
        }
        default: result = ModemResult::Error; break;
        }
    }
    if (!result) {
        Answer(line, std::nullopt, tick);
        return;
    }
    Answer(line,
           verbose_ ? "\r\n" + std::string(ResultText(*result)) + "\r\n"
                    : std::to_string(static_cast<int>(*result)) + "\r",
           tick);
}

} // namespace sim
