#pragma once
// What a custom alert looks like before it goes to the device: the checks a
// WAV file must pass, where its audio lies, and the header, blocks and end
// marker of the block upload. Pure functions over bytes, so every framing
// rule is tested without a device or a window.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// ---- The WAV file ------------------------------------------------------------

// Asked when a file is usable but unusual (not PCM, not mono); true goes on.
using AskContinue = std::function<bool(const std::string& question)>;

// The reason the file cannot be uploaded, in the operator's words, or nullopt
// when it can. The file is never trusted: a short file, a missing "fmt "
// chunk or a chunk running past the end is "File has an invalid format.".
std::optional<std::string> CheckAlertWave(std::string_view file, const std::string& fileName,
                                          const AskContinue& askContinue);

// The audio as the device takes it: the upload starts at the data chunk's
// size field, so the offset is the 1-based file position of that field.
struct AlertWaveData {
    std::int64_t offset = 0;
    std::int64_t size = 0;
    // The file's first 44 bytes as the device reads a header: a file whose
    // "fmt " chunk is first as it stands; otherwise its format chunk's values
    // in their canonical places, since the device reads format, channels,
    // rate and bits there and not wherever a recorder put them.
    std::string header;
};

// Finds the data chunk by walking the chunk list; its size is read unsigned
// and cut to the bytes the file really has (a streamed file says 0xFFFFFFFF).
// nullopt when there is no data chunk or it holds nothing.
std::optional<AlertWaveData> FindAlertWaveData(std::string_view file);
std::string CannotLocateDataText(const std::string& fileName);

// ---- Firmware ------------------------------------------------------------------

// The version in hundredths (3.12 is 312) from the whole reply line to "?V":
// NULs dropped, cut at the first "*"; a four-character number, or the number
// between "Ver." and "("; 0 when there is none.
int AlertFirmwareVersion(std::string_view reply);
// Firmware from 3.12 up to 4.0 numbers and checks its blocks.
bool IsSequencedFirmware(int versionHundredths);

// ---- The slot and its blocks -----------------------------------------------------

constexpr int kAlertBlockBytes = 1024;
constexpr int kAlertHeaderBytes = 44;

struct AlertSlotPlan {
    std::int64_t slotBytes = 0;  // memory KB × 1024 / slot count, rounded
    std::int64_t dataSize = 0;   // what is sent, cut to fit the slot with its header
    std::int64_t fullBlocks = 0;
    std::int64_t rest = 0;       // bytes of a last, short block (0: none)
    std::int64_t blockCount = 0;
    std::int32_t headerTicks = 0; // 0: the sender's default
    int slotNumber = 0;          // alert number less 10
};

// Nullopt for a slot count of 0 or less, which describes no slot at all.
std::optional<AlertSlotPlan> PlanAlertUpload(std::int64_t memoryKB, std::int64_t slotCount, int alertNumber,
                                             std::int64_t dataSize);

// The 44 bytes that announce a file: its header (AlertWaveData::header) with the block count
// (four digits), a 1 and the slot number (two digits) written into it, and
// the size of the audio actually sent in its last four bytes, where the
// device reads it. A streamed file says 0xFFFFFFFF there, and a cut one more
// than is sent: the device would judge the last block by a size that never
// comes and answer it otherwise than the console waits for.
std::string BuildAlertHeader(std::string_view fileHeader, std::int64_t blockCount, int slotNumber,
                             std::int64_t dataSize);

// One data block from up to 1024 body bytes (a short last body is filled up).
// Plain firmware: 1024 bytes with every 0 sent as 1. Sequenced firmware: 1032
// bytes with every 4 sent as 5, the 16-bit sum low byte first, the block
// number in four hex digits and "00".
std::string BuildAlertBlock(std::string_view body, std::int64_t blockNumber, bool sequenced);
std::string AlertEndMarker(bool sequenced);
