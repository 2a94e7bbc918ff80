#pragma once
// A capture device without a sound card: a private ALSA configuration in
// which "take" is ALSA's null device with given samples laid over it through
// the file plugin (silence follows once they run out), so a recording holds
// known sound and needs no audio hardware.

#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

class WaveRecorder;

class FakeSoundCard {
public:
    explicit FakeSoundCard(const std::vector<std::int16_t>& samples = {});

    // Points the recorder at the fake device.
    void Attach(WaveRecorder& recorder) const;
    // Points the recorder at a device the configuration does not have.
    void AttachMissing(WaveRecorder& recorder) const;

private:
    QTemporaryDir dir_;
    std::string config_;
};

// Takes in captured sound until the recording ends by itself (bounded).
void RunTakeToEnd(WaveRecorder& recorder);

// Little-endian fields of a file image.
std::uint32_t ReadU32(const std::string& bytes, std::size_t offset);
std::uint16_t ReadU16(const std::string& bytes, std::size_t offset);
std::string ReadWholeFile(const QString& path);
