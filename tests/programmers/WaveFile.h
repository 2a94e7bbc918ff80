#pragma once
// WAV files as the custom-alert tests need them: a canonical 44-byte header
// (one "fmt " chunk of 16 bytes, then "data") followed by the samples.

#include <cstdint>
#include <string>

struct WaveFormat {
    unsigned format = 1; // PCM
    unsigned channels = 1;
    std::uint32_t rate = 8000;
    unsigned bits = 8;
};

// declaredSize: what the data chunk says it holds (default: the samples' size).
inline std::string WaveBytes(const std::string& samples, const WaveFormat& f = {},
                             std::uint64_t declaredSize = UINT64_MAX)
{
    std::string b(44, '\0');
    const auto put = [&b](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b.replace(0, 4, "RIFF");
    put(4, static_cast<std::uint32_t>(36 + samples.size()), 4);
    b.replace(8, 8, "WAVEfmt ");
    put(16, 16, 4);
    put(20, f.format, 2);
    put(22, f.channels, 2);
    put(24, f.rate, 4);
    put(28, f.rate * f.channels * f.bits / 8, 4);
    put(32, f.channels * f.bits / 8, 2);
    put(34, f.bits, 2);
    b.replace(36, 4, "data");
    put(40, static_cast<std::uint32_t>(declaredSize == UINT64_MAX ? samples.size() : declaredSize), 4);
    return b + samples;
}
