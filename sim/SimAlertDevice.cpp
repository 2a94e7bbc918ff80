#include "SimAlertDevice.h"

#include <algorithm>
#include <cctype>

namespace sim {

namespace {

constexpr std::size_t kHeader = 44;
constexpr std::size_t kBody = 1024;
constexpr std::size_t kEndMarker = 5;

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

int Number(std::string_view digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

std::string TwoDigits(int value)
{
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}

std::string FourDigits(int value)
{
    return TwoDigits(value / 100) + TwoDigits(value % 100);
}

int HexValue(std::string_view hex)
{
    int value = 0;
    for (char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c)) || std::islower(static_cast<unsigned char>(c)))
            return -1;
        value = value * 16 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'A' + 10);
    }
    return value;
}

} // namespace

AlertDevice::AlertDevice(std::string version, int memoryKB, int slotCount)
    : Device("alerts")
    , memoryKB_(memoryKB)
{
    Define({"V", std::move(version), ""});
    Define({"MC", FourDigits(memoryKB) + TwoDigits(slotCount), ""});
    Define({"BR", "2", ""});
}

int AlertDevice::SlotCount() const { return Number(Value("MC").substr(4)); }

bool AlertDevice::Sequenced() const
{
    const int version = VersionHundredths(Value("V"));
    return version >= 312 && version < 400;
}

std::optional<Device::Reply> AlertDevice::OwnLine(const std::string& line, std::int64_t)
{
    if (line.starts_with("PMC")) {
        const std::string code = line.substr(3);
        if (code.size() != 2 || !AllDigits(code))
            return Refused();
        const int count = Number(code);
        // Powers of two, each slot at least 64 KB.
        if (count < 1 || (count & (count - 1)) != 0 || count > memoryKB_ / 64)
            return Refused();
        if (count != SlotCount())
            stored_.clear();
        SetValue("MC", FourDigits(memoryKB_) + code);
        return Acknowledged();
    }
    if (line.starts_with("PBR")) {
        const std::string code = line.substr(3);
        if (code.size() != 1 || !AllDigits(code))
            return Refused();
        SetValue("BR", code);
        // Any other code puts the device back on the speed it keeps when not
        // uploading, the console's own.
        SwitchLineSettings(code == "4" ? "115200,N,8,1" : "38400,N,8,1");
        return Acknowledged();
    }
    return std::nullopt;
}

std::size_t AlertDevice::RawLength(std::string_view arriving) const
{
    if (!receiving_)
        return arriving.starts_with("RIFF") ? kHeader + 1 : 0;
    const char mark = Sequenced() ? '\x04' : '\x00';
    if (!arriving.empty() && arriving.front() == mark)
        return kEndMarker;
    return Sequenced() ? kBody + 8 : kBody;
}

Device::Reply AlertDevice::HandleRaw(const std::string& message, std::int64_t)
{
    if (!receiving_)
        return Header(message);
    if (message.size() == kEndMarker) {
        // After the last full block the upload simply ends; earlier it was abandoned.
        receiving_ = false;
        if (nextBlock_ > blockCount_) {
            stored_[slot_] = audio_;
            return "E*\r";
        }
        return std::nullopt;
    }
    return Block(message);
}

Device::Reply AlertDevice::Header(const std::string& header)
{
    const std::string count = header.substr(28, 4);
    const std::string slot = header.substr(38, 2);
    if (header.back() != '\r' || header[37] != '\x01' || !AllDigits(count) || !AllDigits(slot))
        return Refused();
    if (Number(slot) < 1 || Number(slot) > SlotCount() || Number(count) < 1)
        return Refused();
    slot_ = Number(slot);
    header_ = header.substr(0, kHeader);
    blockCount_ = Number(count);
    declaredSize_ = static_cast<unsigned char>(header[40]) | static_cast<unsigned char>(header[41]) << 8
        | static_cast<unsigned char>(header[42]) << 16 | static_cast<std::int64_t>(static_cast<unsigned char>(header[43])) << 24;
    nextBlock_ = 1;
    audio_.clear();
    receiving_ = true;
    return Acknowledged();
}

Device::Reply AlertDevice::Block(const std::string& block)
{
    const std::string body = block.substr(0, kBody);
    if (Sequenced()) {
        unsigned sum = 0;
        for (char c : body)
            sum = (sum + static_cast<unsigned char>(c)) % 65536;
        const unsigned carried = static_cast<unsigned char>(block[kBody]) | static_cast<unsigned char>(block[kBody + 1]) << 8;
        if (carried != sum || HexValue(block.substr(kBody + 2, 4)) != nextBlock_ || block.substr(kBody + 6) != "00")
            return "R*\r";
    }
    if (refuseBlocks_ > 0) {
        --refuseBlocks_;
        return "R*\r";
    }
    audio_ += body;
    if (nextBlock_++ < blockCount_)
        return "N*\r";
    // The last block: full when the declared size fills every block, and the
    // end marker follows; a short last block is stored at once.
    if (declaredSize_ == static_cast<std::int64_t>(kBody) * blockCount_)
        return "N*\r";
    receiving_ = false;
    stored_[slot_] = audio_;
    return "E*\r";
}

} // namespace sim
