#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "FakeSoundCard.h"
#include "WaveRecorder.h"

namespace {

// A recorder on the fake sound card, set up for a take of toMs into dir/file.
struct Take {
    Take(const std::vector<std::int16_t>& samples, const char* file, std::int64_t toMs) : card(samples)
    {
        card.Attach(recorder);
        recorder.SetDeviceType("WaveAudio");
        recorder.SetFileName(path(file));
        recorder.SetTimeFormat(WaveRecorder::TimeFormat::Milliseconds);
        recorder.SetFrom(0);
        recorder.SetTo(toMs);
    }
    QString path(const char* file) const { return dir.filePath(file); }

    FakeSoundCard card;
    QTemporaryDir dir;
    WaveRecorder recorder;
};

} // namespace

TEST(WaveFile, HeaderDescribesMonoSixteenBitPcmAndAnOddChunkIsPaddedOutsideItsSize)
{
    const std::string samples("\x01\x02\x03\x04\x05\x06", 6);
    EXPECT_EQ(BuildWaveFile(WaveFormat{11025, 1, 16}, samples),
              std::string("RIFF" "\x2A\0\0\0" // 36 + 6
                          "WAVEfmt " "\x10\0\0\0" // fmt chunk of 16 bytes
                          "\x01\0\x01\0"          // PCM, one channel
                          "\x11\x2B\0\0"          // 11025 samples a second
                          "\x22\x56\0\0"          // 22050 bytes a second
                          "\x02\0\x10\0"          // 2-byte frames of 16 bits
                          "data" "\x06\0\0\0",
                          44) + samples);

    const std::string odd = BuildWaveFile(WaveFormat{8000, 1, 8}, std::string("\x80\x81\x82", 3));
    ASSERT_EQ(odd.size(), 44u + 4u);
    EXPECT_EQ(ReadU32(odd, 4), odd.size() - 8);
    EXPECT_EQ(ReadU32(odd, 40), 3u);
    EXPECT_EQ(odd.back(), '\0');
}

TEST(WaveRecorder, SavesTheCapturedSoundAsAValidWaveFile)
{
    std::vector<std::int16_t> ramp;
    for (int i = 0; i < 3000; ++i)
        ramp.push_back(static_cast<std::int16_t>(i * 7 - 20000));
    Take take(ramp, "take.wav", 1000);
    WaveRecorder& recorder = take.recorder;

    ASSERT_TRUE(recorder.Command("Open")) << recorder.ErrorText();
    ASSERT_TRUE(recorder.Command("Record")) << recorder.ErrorText();
    RunTakeToEnd(recorder);
    EXPECT_EQ(recorder.Position(), 1000);
    ASSERT_TRUE(recorder.Command("Stop"));
    ASSERT_TRUE(recorder.Command("Save")) << recorder.ErrorText();
    ASSERT_TRUE(recorder.Command("Close"));

    const std::string wave = ReadWholeFile(take.path("take.wav"));
    const std::uint32_t rate = recorder.Format().sampleRate;
    ASSERT_EQ(rate, 11025u);
    ASSERT_EQ(wave.size(), 44u + rate * 2);
    EXPECT_EQ(wave.substr(0, 44), BuildWaveFile(WaveFormat{rate, 1, 16}, std::string(rate * 2, '\0')).substr(0, 44));
    // The device's sound, in order, then the silence that followed it.
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ASSERT_EQ(static_cast<std::int16_t>(ReadU16(wave, 44 + 2 * i)), ramp[i]) << "sample " << i;
    EXPECT_EQ(ReadU16(wave, 44 + 2 * ramp.size()), 0u);
    EXPECT_EQ(QDir(take.dir.path()).entryList(QDir::Files), QStringList{"take.wav"}) << "no temporary file left behind";
}

TEST(WaveRecorder, RecordsOnItsOwnTimerAndReportsStatusOnlyWhileOpen)
{
    Take take({}, "timed.wav", 1000);
    WaveRecorder& recorder = take.recorder;
    recorder.SetUpdateInterval(10);
    QSignalSpy status(&recorder, &WaveRecorder::StatusUpdate);
    ASSERT_TRUE(recorder.Command("Open"));
    ASSERT_TRUE(recorder.Command("Record"));

    QElapsedTimer bound;
    bound.start();
    while ((recorder.IsRecording() || status.count() < 2) && bound.elapsed() < 10000)
        QTest::qWait(10);
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_EQ(recorder.Position(), 1000);
    EXPECT_GE(status.count(), 2);

    ASSERT_TRUE(recorder.Command("Close"));
    const int afterClose = status.count();
    QTest::qWait(50);
    EXPECT_EQ(status.count(), afterClose);
}

TEST(WaveRecorder, RefusesWhatItCannotDoAndSaysWhy)
{
    Take take({}, "none.wav", 12000);
    WaveRecorder& recorder = take.recorder;

    // No such device: nothing opens and nothing can be recorded or saved.
    take.card.AttachMissing(recorder);
    EXPECT_FALSE(recorder.Command("Open"));
    EXPECT_FALSE(recorder.IsOpen());
    EXPECT_NE(recorder.ErrorText().find("nosuchcard"), std::string::npos) << recorder.ErrorText();
    EXPECT_FALSE(recorder.Command("Record"));
    EXPECT_FALSE(recorder.Command("Save"));

    // The device type is checked before any device is touched.
    take.card.Attach(recorder);
    recorder.SetDeviceType("CDAudio");
    EXPECT_FALSE(recorder.Command("Open"));
    EXPECT_FALSE(recorder.CanRecord());
    EXPECT_FALSE(recorder.Command("Eject"));
    EXPECT_NE(recorder.ErrorText().find("Eject"), std::string::npos);

    // Commands are taken in any letter case; CanRecord outlives Close.
    recorder.SetDeviceType("WaveAudio");
    EXPECT_TRUE(recorder.Command("open"));
    EXPECT_TRUE(recorder.Command("CLOSE"));
    EXPECT_TRUE(recorder.CanRecord());
    EXPECT_FALSE(recorder.Command("Save")) << "nothing to save once closed";
}

TEST(WaveRecorder, OpensTheDeviceNamedInTheEnvironmentThroughTheSystemConfiguration)
{
    // The test main names ALSA's null device, which every ALSA install defines.
    WaveRecorder recorder;
    ASSERT_EQ(recorder.AudioDevice(), "null");
    QTemporaryDir dir;
    recorder.SetDeviceType("WaveAudio");
    recorder.SetFileName(dir.filePath("null.wav"));
    recorder.SetTo(200);
    ASSERT_TRUE(recorder.Command("Open")) << recorder.ErrorText();
    ASSERT_TRUE(recorder.Command("Record"));
    RunTakeToEnd(recorder);
    EXPECT_EQ(recorder.Position(), 200);
}
