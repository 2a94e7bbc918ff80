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

void WriteOldMessage(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("an earlier message");
}

} // namespace

TEST(VoiceMessage, OpeningTheRecorderDeletesTheOldMessage)
{
    const QString path = VoiceMessagePath();
    EXPECT_EQ(QFileInfo(path).fileName(), "MsgTemp.WAV");
    FakeSoundCard card;
    WaveRecorder recorder;
    card.Attach(recorder);
    WriteOldMessage(path);
    ASSERT_TRUE(OpenVoiceRecorder(recorder, path)) << recorder.ErrorText();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(recorder.FileName(), path);
    // Applying the configuration opens and closes at once: the file stays gone.
    recorder.Command("Close");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(recorder.CanRecord());
}

TEST(VoiceMessage, ATakeLeftRunningEndsAtTwelveSecondsAndIsSaved)
{
    FakeSoundCard card;
    WaveRecorder recorder;
    card.Attach(recorder);
    StatusLog status;
    ScriptedMessages boxes;

    ASSERT_TRUE(StartVoiceRecording(recorder));
    EXPECT_EQ(status.texts(), std::vector<std::string>{"Recording voice message ..."});
    EXPECT_TRUE(recorder.IsRecording());

    recorder.ReadCapturedAudio();
    EXPECT_FALSE(VoiceRecordingEnded(recorder)) << "still short of twelve seconds";
    RunTakeToEnd(recorder);
    EXPECT_EQ(recorder.Position(), 12000);
    EXPECT_EQ(RecordProgressText(12), "12/12 sec");
    ASSERT_TRUE(VoiceRecordingEnded(recorder));

    EXPECT_TRUE(FinishVoiceRecording(recorder));
    EXPECT_FALSE(recorder.IsOpen());
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(status.texts(), (std::vector<std::string>{"Recording voice message ...", "Record ended ...",
                                                        "Please select a user to page ..."}));
    EXPECT_EQ(ReadU32(ReadWholeFile(VoiceMessagePath()), 40), 12u * recorder.Format().sampleRate * 2u);
    EXPECT_FALSE(VoiceRecordingEnded(recorder)) << "a closed recorder has no take to end";
}

TEST(VoiceMessage, RecordingAgainStartsOverAFreshFile)
{
    FakeSoundCard card;
    WaveRecorder recorder;
    card.Attach(recorder);
    ScriptedMessages boxes;

    ASSERT_TRUE(StartVoiceRecording(recorder));
    RunTakeToEnd(recorder);
    ASSERT_TRUE(FinishVoiceRecording(recorder));
    ASSERT_TRUE(QFile::exists(VoiceMessagePath()));

    ASSERT_TRUE(StartVoiceRecording(recorder));
    EXPECT_FALSE(QFile::exists(VoiceMessagePath())) << "the earlier message must not survive a new take";
    recorder.ReadCapturedAudio();
    ASSERT_TRUE(FinishVoiceRecording(recorder));
    const std::string wave = ReadWholeFile(VoiceMessagePath());
    EXPECT_LT(ReadU32(wave, 40), 12u * recorder.Format().sampleRate * 2u) << "the short second take replaced it";
}

TEST(VoiceMessage, WithoutASoundCardRecordIsRefusedOnTheStatusLine)
{
    FakeSoundCard card;
    WaveRecorder recorder;
    card.AttachMissing(recorder);
    StatusLog status;
    WriteOldMessage(VoiceMessagePath());

    EXPECT_FALSE(StartVoiceRecording(recorder));
    EXPECT_FALSE(recorder.CanRecord());
    ASSERT_EQ(status.reports.size(), 1u);
    EXPECT_TRUE(status.reports[0].isError);
    EXPECT_NE(status.reports[0].text.find("No sound card to record from"), std::string::npos);
    EXPECT_FALSE(recorder.IsOpen());
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
        EXPECT_FALSE(QFileInfo(VoiceMessagePath()).isFile());
        EXPECT_FALSE(recorder.IsOpen());
        EXPECT_EQ(status.texts().back(), "Please select a user to page ...");
    }
}
