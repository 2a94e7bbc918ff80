// A custom alert's WAV file and firmware reply as anything might hand them
// over: the checks must answer without reading past the file, the data found
// must lie inside it, and no block may carry the byte the device frames with.
#include "FuzzSupport.h"
#include "KS_AlertFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool yes = input.ConsumeBool();
    const bool sequenced = input.ConsumeBool();
    const auto memoryKB = input.ConsumeIntegralInRange<std::int64_t>(0, 65536);
    const auto slotCount = input.ConsumeIntegralInRange<std::int64_t>(-1, 128);
    const std::string reply = input.ConsumeRandomLengthString(40);
    const std::string file = input.ConsumeRemainingBytesAsString();

    CheckAlertWave(file, "f.wav", [yes](const std::string&) { return yes; });
    const int version = AlertFirmwareVersion(reply);
    FuzzCheck(version >= 0, "a negative firmware version");

    const auto wave = FindAlertWaveData(file);
    if (!wave)
        return 0;
    FuzzCheck(wave->offset >= 1 && wave->size > 0 &&
                  wave->offset - 1 + 4 + wave->size <= static_cast<std::int64_t>(file.size()),
              "data found outside the file");
    const auto plan = PlanAlertUpload(memoryKB, slotCount, 11, wave->size);
    if (!plan)
        return 0;
    FuzzCheck(plan->dataSize <= wave->size && plan->blockCount * kAlertBlockBytes >= plan->dataSize,
              "blocks that do not cover the data");
    const std::string header = BuildAlertHeader(file, plan->blockCount, plan->slotNumber, plan->dataSize);
    FuzzCheck(header.size() == kAlertHeaderBytes, "a header of the wrong length");
    std::int64_t announced = 0;
    for (std::size_t i = kAlertHeaderBytes; i > kAlertHeaderBytes - 4; --i)
        announced = announced * 256 + static_cast<unsigned char>(header[i - 1]);
    FuzzCheck(announced == plan->dataSize, "a header that announces other than what is sent");
    const std::string body = file.substr(static_cast<std::size_t>(wave->offset - 1), kAlertBlockBytes);
    const std::string block = BuildAlertBlock(body, 1, sequenced);
    const char mark = sequenced ? '\x04' : '\x00';
    FuzzCheck(block.size() == (sequenced ? 1032u : 1024u), "a block of the wrong length");
    FuzzCheck(block.substr(0, kAlertBlockBytes).find(mark) == std::string::npos, "a framing byte inside a block");
    return 0;
}
