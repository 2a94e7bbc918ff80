#include "FakeSoundCard.h"

#include <QFile>
#include <gtest/gtest.h>

#include "WaveRecorder.h"

FakeSoundCard::FakeSoundCard(const std::vector<std::int16_t>& samples)
{
    const std::string input = dir_.filePath("input.raw").toStdString();
    QFile file(QString::fromStdString(input));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    for (std::int16_t sample : samples) {
        const char bytes[2] = {static_cast<char>(sample & 0xFF), static_cast<char>((sample >> 8) & 0xFF)};
        file.write(bytes, 2);
    }
    file.close();
    // The file plugin also copies what it captures to "file"; the tests ignore that copy.
    config_ = "pcm.take {\n"
              "  type file\n"
              "  slave.pcm { type null }\n"
              "  file \"" + dir_.filePath("tap.raw").toStdString() + "\"\n"
              "  infile \"" + input + "\"\n"
              "  format raw\n"
              "}\n";
}

void FakeSoundCard::Attach(WaveRecorder& recorder) const { recorder.SetAudioDevice("take", config_); }

void FakeSoundCard::AttachMissing(WaveRecorder& recorder) const { recorder.SetAudioDevice("nosuchcard", config_); }

void RunTakeToEnd(WaveRecorder& recorder)
{
    for (int pass = 0; pass < 10000 && recorder.IsRecording(); ++pass)
        recorder.ReadCapturedAudio();
    ASSERT_FALSE(recorder.IsRecording()) << "the take never ended";
}

std::uint16_t ReadU16(const std::string& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(offset))
                                      | (static_cast<unsigned char>(bytes.at(offset + 1)) << 8));
}

std::uint32_t ReadU32(const std::string& bytes, std::size_t offset)
{
    return ReadU16(bytes, offset) | (std::uint32_t {ReadU16(bytes, offset + 2)} << 16);
}

std::string ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}
