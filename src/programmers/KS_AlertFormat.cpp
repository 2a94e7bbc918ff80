#include "KS_AlertFormat.h"

#include <algorithm>

#include "KS_DeviceRules.h"
#include "KS_General.h"

namespace {

std::uint32_t Le32(std::string_view b, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

unsigned Le16(std::string_view b, std::size_t at)
{
    return static_cast<unsigned>(static_cast<unsigned char>(b[at])) |
           static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 8;
}

struct Chunk {
    std::size_t sizeField = 0; // index of the chunk's size field
    std::uint32_t size = 0;
};

constexpr std::size_t kFirstChunk = 12; // after "RIFF", the RIFF size and "WAVE"

// The chunk with this id, walking from the first chunk. A chunk before it
// whose size runs past the end stops the walk: nothing after it can be found.
std::optional<Chunk> FindChunk(std::string_view file, std::string_view id)
{
    std::size_t at = kFirstChunk;
    while (at + 8 <= file.size()) {
        Chunk chunk{at + 4, Le32(file, at + 4)};
        if (file.substr(at, 4) == id)
            return chunk;
        const std::uint64_t next = static_cast<std::uint64_t>(at) + 8 + chunk.size + (chunk.size & 1);
        if (next > file.size())
            return std::nullopt;
        at = static_cast<std::size_t>(next);
    }
    return std::nullopt;
}

std::string Digits(std::int64_t value, std::size_t width)
{
    std::string text = std::to_string(value);
    if (text.size() < width)
        text.insert(0, width - text.size(), '0');
    return text;
}

// a / b to the nearest whole number, halves to the even one, for a, b > 0.
std::int64_t RoundHalfEven(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    const std::int64_t twiceRemainder = 2 * (a % b);
    if (twiceRemainder > b || (twiceRemainder == b && (q & 1)))
        return q + 1;
    return q;
}

constexpr std::size_t kFormatBytes = 16; // format, channels, rate, byte rate, block align, bits

std::string deviceHeader(std::string_view file)
{
    std::string header(file.substr(0, kAlertHeaderBytes));
    header.resize(kAlertHeaderBytes, '\0');
    const auto fmt = FindChunk(file, "fmt ");
    if (!fmt || fmt->sizeField == kFirstChunk + 4 || fmt->sizeField + 4 + kFormatBytes > file.size())
        return header;
    header.replace(kFirstChunk, 8, std::string("fmt \x10\0\0\0", 8));
    header.replace(kFirstChunk + 8, kFormatBytes, file.substr(fmt->sizeField + 4, kFormatBytes));
    header.replace(kFirstChunk + 8 + kFormatBytes, 4, "data");
    return header;
}

} // namespace

std::optional<std::string> CheckAlertWave(std::string_view file, const std::string& fileName,
                                          const AskContinue& askContinue)
{
    const std::string invalid = "File has an invalid format.";
    if (file.size() < static_cast<std::size_t>(kAlertHeaderBytes) || file.substr(0, 4) != "RIFF")
        return invalid;
    if (file.substr(8, 4) != "WAVE")
        return "File has an invalid format (not WAVE format).";
    const auto fmt = FindChunk(file, "fmt ");
    if (!fmt || fmt->size < 16 || fmt->sizeField + 4 + fmt->size > file.size())
        return invalid;
    const std::size_t at = fmt->sizeField + 4;
    if (Le16(file, at) != 1 && !askContinue(fileName + " seems to be in incorrect format (PCM). Continue ?"))
        return "File has an invalid format (not a PCM format).";
    if (Le16(file, at + 2) != 1 && !askContinue(fileName + " seems to be in incorrect format (1 Channel). Continue ?"))
        return "File has an invalid format (not a 1 Channel format).";
    if (Le32(file, at + 4) > 22050)
        return "File has an invalid format (Sample Rate higher than 22050).";
    if (Le16(file, at + 14) > 8)
        return "File has an invalid format (Bit Rate higher than 8).";
    return std::nullopt;
}

std::optional<AlertWaveData> FindAlertWaveData(std::string_view file)
{
    if (file.size() < kFirstChunk)
        return std::nullopt;
    const auto data = FindChunk(file, "data");
    if (!data)
        return std::nullopt;
    const std::int64_t present = static_cast<std::int64_t>(file.size()) - static_cast<std::int64_t>(data->sizeField) - 4;
    const std::int64_t size = std::min<std::int64_t>(data->size, std::max<std::int64_t>(present, 0));
    if (size <= 0)
        return std::nullopt;
    return AlertWaveData{static_cast<std::int64_t>(data->sizeField) + 1, size, deviceHeader(file)};
}

std::string CannotLocateDataText(const std::string& fileName)
{
    return "Can not locate data in " + fileName + ".";
}

int AlertFirmwareVersion(std::string_view reply)
{
    std::string text;
    for (char c : reply)
        if (c != '\0')
            text += c;
    const auto star = text.find('*');
    if (star == std::string::npos)
        return 0;
    text.resize(star);
    if (text.size() == 4)
        if (const auto version = VersionNumber(text))
            return *version;
    return VersionNumber(VersionBetweenVerAndParen(text)).value_or(0);
}

bool IsSequencedFirmware(int versionHundredths)
{
    return versionHundredths >= 312 && versionHundredths < 400;
}

std::optional<AlertSlotPlan> PlanAlertUpload(std::int64_t memoryKB, std::int64_t slotCount, int alertNumber,
                                             std::int64_t dataSize)
{
    if (slotCount <= 0 || memoryKB <= 0)
        return std::nullopt;
    AlertSlotPlan plan;
    plan.slotBytes = RoundHalfEven(memoryKB * 1024, slotCount);
    plan.dataSize = std::max<std::int64_t>(0, std::min(dataSize, plan.slotBytes - kAlertHeaderBytes));
    plan.fullBlocks = plan.dataSize / kAlertBlockBytes;
    plan.rest = plan.dataSize - plan.fullBlocks * kAlertBlockBytes;
    plan.blockCount = plan.fullBlocks + (plan.rest > 0 ? 1 : 0);
    plan.headerTicks = static_cast<std::int32_t>(20 * RoundHalfEven(memoryKB, slotCount * 32));
    plan.slotNumber = alertNumber - 10;
    return plan;
}

std::string BuildAlertHeader(std::string_view fileHeader, std::int64_t blockCount, int slotNumber,
                             std::int64_t dataSize)
{
    std::string header(fileHeader.substr(0, kAlertHeaderBytes));
    header.resize(kAlertHeaderBytes, '\0');
    header.replace(28, 4, Digits(blockCount % 10000, 4));
    header[37] = '\x01';
    header.replace(38, 2, Digits(slotNumber % 100, 2));
    for (int i = 0; i < 4; ++i)
        header[40 + i] = static_cast<char>((static_cast<std::uint64_t>(dataSize) >> (8 * i)) & 0xFF);
    return header;
}

std::string BuildAlertBlock(std::string_view body, std::int64_t blockNumber, bool sequenced)
{
    // The device reads one byte value as a framing mark: 0 on plain firmware,
    // 4 on sequenced; the audio never carries it, the filling included.
    const char mark = sequenced ? '\x04' : '\x00';
    const char stand = sequenced ? '\x05' : '\x01';
    std::string block(body.substr(0, kAlertBlockBytes));
    block.resize(kAlertBlockBytes, mark);
    std::replace(block.begin(), block.end(), mark, stand);
    if (sequenced)
        block += TextToHexChecksum(block, true) + ToHexPadded(static_cast<std::int32_t>(blockNumber % 65536), 4) + "00";
    return block;
}

std::string AlertEndMarker(bool sequenced)
{
    return std::string(5, sequenced ? '\x04' : '\x00');
}
