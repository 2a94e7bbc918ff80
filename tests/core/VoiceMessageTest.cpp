#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

#include "FakeSoundCard.h"
#include "KS_Messages.h"
#include "TestSupport.h"
#include "VoiceMessage.h"
#include "WaveRecorder.h"

namespace {

void WriteOldMessage()
{
    QFile file(VoiceMessagePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("an earlier message");
}

} // namespace

TEST(VoiceMessage, ATakeEndsAtTwelveSecondsOrWhenStoppedAndEachStartsOverAFreshFile)
{
    FakeSoundCard card;
    WaveRecorder recorder;
    card.Attach(recorder);
    StatusLog status;
    ScriptedMessages boxes;
    const QString path = VoiceMessagePath();
    EXPECT_EQ(QFileInfo(path).fileName(), "MsgTemp.WAV");
    WriteOldMessage();

    ASSERT_TRUE(StartVoiceRecording(recorder));
    EXPECT_FALSE(QFile::exists(path)) << "an earlier message must never go out with a later page";
    EXPECT_EQ(status.texts(), std::vector<std::string>{"Recording voice message ..."});
    recorder.ReadCapturedAudio();
    EXPECT_FALSE(VoiceRecordingEnded(recorder)) << "still short of twelve seconds";
    RunTakeToEnd(recorder);
    EXPECT_EQ(recorder.Position(), 12000);
    ASSERT_TRUE(VoiceRecordingEnded(recorder));

    EXPECT_TRUE(FinishVoiceRecording(recorder));
    EXPECT_FALSE(recorder.IsOpen());
    EXPECT_EQ(status.texts(), (std::vector<std::string>{"Recording voice message ...", "Record ended ...",
                                                        "Please select a user to page ..."}));
    const std::uint32_t twelveSeconds = 12u * recorder.Format().sampleRate * 2u;
    EXPECT_EQ(ReadU32(ReadWholeFile(path), 40), twelveSeconds);
    EXPECT_FALSE(VoiceRecordingEnded(recorder)) << "a closed recorder has no take to end";

    // Stopped short: the next take replaces the file with what it holds.
    ASSERT_TRUE(StartVoiceRecording(recorder));
    EXPECT_FALSE(QFile::exists(path));
    recorder.ReadCapturedAudio();
    ASSERT_TRUE(FinishVoiceRecording(recorder));
    const std::string wave = ReadWholeFile(path);
    EXPECT_EQ(ReadU32(wave, 40), wave.size() - 44);
    EXPECT_GT(ReadU32(wave, 40), 0u);
    EXPECT_LT(ReadU32(wave, 40), twelveSeconds);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST(VoiceMessage, WithoutASoundCardRecordIsRefusedOnTheStatusLine)
{
    FakeSoundCard card;
    WaveRecorder recorder;
    card.AttachMissing(recorder);
    StatusLog status;
    WriteOldMessage();

    EXPECT_FALSE(StartVoiceRecording(recorder));
    EXPECT_FALSE(recorder.CanRecord());
    ASSERT_EQ(status.reports.size(), 1u);
    EXPECT_TRUE(status.reports[0].isError);
    EXPECT_NE(status.reports[0].text.find("No sound card to record from"), std::string::npos);
    EXPECT_FALSE(QFile::exists(VoiceMessagePath()));
}

TEST(VoiceMessage, ATakeThatCannotBeSavedIsShownNotPassedOff)
{
    FakeSoundCard card;
    WaveRecorder recorder;
    card.Attach(recorder);
    StatusLog status;
    const struct {
        const char* shown;
        std::function<void()> spoil;
    } cases[] = {
        // Closed under the take (the configuration was applied meanwhile).
        {"not saved", [&] { OpenVoiceRecorder(recorder, VoiceMessagePath()); recorder.Command("Close"); }},
        {"could not be saved", [&] { QDir().mkdir(VoiceMessagePath()); recorder.ReadCapturedAudio(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        ScriptedMessages boxes;
        boxes.Answer(kAnswerOk);
        ASSERT_TRUE(StartVoiceRecording(recorder));
        c.spoil();
        EXPECT_FALSE(FinishVoiceRecording(recorder));
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].icon, kIconCritical);
        EXPECT_NE(boxes.shown()[0].message.find(c.shown), std::string::npos) << boxes.shown()[0].message;
        // Neither the message nor a half-written temporary file is left.
        EXPECT_EQ(QFileInfo(VoiceMessagePath()).dir().entryList({"MsgTemp*"}, QDir::Files), QStringList{});
        EXPECT_FALSE(recorder.IsOpen());
        EXPECT_EQ(status.texts().back(), "Please select a user to page ...");
    }
}
