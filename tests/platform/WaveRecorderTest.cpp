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

std::vector<std::int16_t> Ramp(int count)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < count; ++i)
        samples.push_back(static_cast<std::int16_t>(i * 7 - 20000));
    return samples;
}

void SetUpTake(WaveRecorder& recorder, const QString& file, std::int64_t toMs)
{
    recorder.SetDeviceType("WaveAudio");
    recorder.SetFileName(file);
    recorder.SetTimeFormat(WaveRecorder::TimeFormat::Milliseconds);
    recorder.SetFrom(0);
    recorder.SetTo(toMs);
}

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
    const auto ramp = Ramp(3000);
    FakeSoundCard card(ramp);
    QTemporaryDir dir;
    const QString path = dir.filePath("take.wav");
    WaveRecorder recorder;
    card.Attach(recorder);
    SetUpTake(recorder, path, 1000);

    ASSERT_TRUE(recorder.Command("Open")) << recorder.ErrorText();
    EXPECT_TRUE(recorder.CanRecord());
    ASSERT_TRUE(recorder.Command("Record")) << recorder.ErrorText();
    RunTakeToEnd(recorder);
    EXPECT_EQ(recorder.Position(), 1000);
    ASSERT_TRUE(recorder.Command("Stop"));
    ASSERT_TRUE(recorder.Command("Save")) << recorder.ErrorText();
    ASSERT_TRUE(recorder.Command("Close"));

    const std::string wave = ReadWholeFile(path);
    const std::uint32_t rate = recorder.Format().sampleRate;
    ASSERT_EQ(rate, 11025u);
    ASSERT_EQ(wave.size(), 44u + rate * 2);
    EXPECT_EQ(wave.substr(0, 44), BuildWaveFile(WaveFormat{rate, 1, 16}, std::string(rate * 2, '\0')).substr(0, 44));
    // The device's sound, in order, then the silence that followed it.
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ASSERT_EQ(static_cast<std::int16_t>(ReadU16(wave, 44 + 2 * i)), ramp[i]) << "sample " << i;
    EXPECT_EQ(ReadU16(wave, 44 + 2 * ramp.size()), 0u);
    EXPECT_EQ(ReadU16(wave, wave.size() - 2), 0u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"take.wav"}) << "no temporary file left behind";
}

TEST(WaveRecorder, StopKeepsAShorterTake)
{
    FakeSoundCard card;
    QTemporaryDir dir;
    WaveRecorder recorder;
    card.Attach(recorder);
    SetUpTake(recorder, dir.filePath("short.wav"), 12000);
    ASSERT_TRUE(recorder.Command("Open"));
    ASSERT_TRUE(recorder.Command("Record"));
    recorder.ReadCapturedAudio();
    ASSERT_TRUE(recorder.Command("Stop"));
    const std::int64_t stoppedAt = recorder.Position();
    EXPECT_GT(stoppedAt, 0);
    EXPECT_LT(stoppedAt, 12000);
    EXPECT_FALSE(recorder.IsRecording());
    ASSERT_TRUE(recorder.Command("Save"));
    const std::string wave = ReadWholeFile(dir.filePath("short.wav"));
    EXPECT_EQ(ReadU32(wave, 40), wave.size() - 44);
    EXPECT_EQ(static_cast<std::int64_t>(ReadU32(wave, 40)) / 2 * 1000 / 11025, stoppedAt);
}

TEST(WaveRecorder, RecordsOnItsOwnTimerAndReportsStatusWhileOpen)
{
    FakeSoundCard card;
    QTemporaryDir dir;
    WaveRecorder recorder;
    card.Attach(recorder);
    SetUpTake(recorder, dir.filePath("timed.wav"), 1000);
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
    EXPECT_EQ(status.count(), afterClose) << "no status updates once closed";
}

TEST(WaveRecorder, RefusesWhatItCannotDoAndSaysWhy)
{
    FakeSoundCard card;
    QTemporaryDir dir;
    WaveRecorder recorder;

    // No such device: nothing opens, nothing is written, no status updates run.
    card.AttachMissing(recorder);
    SetUpTake(recorder, dir.filePath("none.wav"), 12000);
    recorder.SetUpdateInterval(10);
    QSignalSpy status(&recorder, &WaveRecorder::StatusUpdate);
    EXPECT_FALSE(recorder.Command("Open"));
    EXPECT_FALSE(recorder.IsOpen());
    EXPECT_NE(recorder.ErrorText().find("nosuchcard"), std::string::npos) << recorder.ErrorText();
    EXPECT_FALSE(recorder.Command("Record"));
    EXPECT_FALSE(recorder.Command("Save"));
    EXPECT_TRUE(recorder.Command("Close"));
    QTest::qWait(50);
    EXPECT_EQ(status.count(), 0);

    // The device type is checked before any device is touched.
    card.Attach(recorder);
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

    // A file that cannot be written is reported and nothing is left behind.
    QDir(dir.path()).mkdir("busy.wav");
    recorder.SetFileName(dir.filePath("busy.wav"));
    ASSERT_TRUE(recorder.Command("Open"));
    EXPECT_FALSE(recorder.Command("Save"));
    EXPECT_NE(recorder.ErrorText().find("could not be saved"), std::string::npos) << recorder.ErrorText();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});
}

TEST(WaveRecorder, OpensTheDeviceNamedInTheEnvironmentThroughTheSystemConfiguration)
{
    // The test main names ALSA's null device, which every ALSA install defines.
    WaveRecorder recorder;
    ASSERT_EQ(recorder.AudioDevice(), "null");
    QTemporaryDir dir;
    SetUpTake(recorder, dir.filePath("null.wav"), 200);
    ASSERT_TRUE(recorder.Command("Open")) << recorder.ErrorText();
    ASSERT_TRUE(recorder.Command("Record"));
    RunTakeToEnd(recorder);
    EXPECT_EQ(recorder.Position(), 200);
}
