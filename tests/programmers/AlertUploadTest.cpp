// The alert upload against the simulated alert device on the deterministic
// pump: what the device stores, how it asks again, and what a failure leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "KS_AlertUpload.h"
#include "KS_Globals.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"
#include "SimAlertDevice.h"
#include "TestSupport.h"
#include "WaveFile.h"


namespace {

struct AlertLine {
    explicit AlertLine(std::string version = "2.50")
    {
        gComSettings = "38400,N,8,1";
        gEncoderIdentified = false;
        device = std::make_shared<sim::AlertDevice>(std::move(version));
        engine.SetDevice(device);
        link = std::make_unique<LinkHarness>(std::make_unique<SimBackend>(engine));
        engine.ClearTranscript();
    }
    AlertUploadDisplay display()
    {
        return {[this](const std::string& text) { infos.push_back(text); },
                [this](std::int64_t value, std::int64_t maximum, bool shown) {
                    if (shown)
                        progress.push_back(std::to_string(value) + "/" + std::to_string(maximum));
                }};
    }
    // The file on disk: a canonical 44-byte header and the samples.
    AlertUploadFile file(const std::string& samples, std::uint64_t declaredSize = UINT64_MAX)
    {
        const std::string path = MakeDataFolder() + "/alert.wav";
        std::ofstream(path, std::ios::binary) << WaveBytes(samples, {}, declaredSize);
        return {path, 11, "Alert 11", {41, static_cast<std::int64_t>(samples.size())}};
    }
    int hostLinesWithPrefix(std::string_view prefix) const
    {
        return static_cast<int>(std::count_if(engine.Transcript().begin(), engine.Transcript().end(),
                                              [&](const sim::TranscriptEntry& e) { return e.fromHost && e.bytes.starts_with(prefix); }));
    }

    sim::Engine engine;
    std::shared_ptr<sim::AlertDevice> device;
    std::unique_ptr<LinkHarness> link;
    std::vector<std::string> infos;
    std::vector<std::string> progress;
};

std::string Samples(std::size_t n)
{
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(i * 7 % 256);
    return s;
}

// What the device holds: the audio from the size field on, with the framing
// byte replaced and the last block filled up.
std::string Stored(std::string fromSizeField, std::size_t blocks, char mark, char stand)
{
    fromSizeField.resize(blocks * 1024, mark);
    std::replace(fromSizeField.begin(), fromSizeField.end(), mark, stand);
    return fromSizeField;
}

} // namespace

TEST(AlertUpload, ThreeFullBlocksEndWithTheMarkerAndAreStoredByteForByte)
{
    // A streamed file's data chunk says 0xFFFFFFFF: the device is told what comes.
    for (const std::uint64_t declared : {std::uint64_t{3072}, std::uint64_t{0xFFFFFFFF}}) {
        SCOPED_TRACE(declared);
        AlertLine line;
        ScriptedMessages boxes;
        const std::string samples = Samples(3072);
        const auto file = line.file(samples, declared);
        ASSERT_TRUE(UploadAlertFile(file, 4096, 8, false, line.display()));

        const std::string sizeField = std::string("\x00\x0C\x00\x00\xFF\xFF\xFF\xFF", 8).substr(declared == 3072 ? 0 : 4, 4);
        ASSERT_EQ(line.device->StoredAlerts().count(1), 1u);
        EXPECT_EQ(line.device->StoredAlerts().at(1), Stored(sizeField + samples.substr(0, 3068), 3, '\0', '\x01'));
        EXPECT_EQ(line.progress, (std::vector<std::string>{"0/3", "1/3", "2/3", "3/3"}));
        EXPECT_EQ(line.infos.front(), "Please wait...");
        EXPECT_EQ(line.infos[line.infos.size() - 2], "Uploading Alert 11...3/3");
        EXPECT_EQ(line.infos.back(), "Done !");
        EXPECT_TRUE(boxes.shown().empty());
    }
}

TEST(AlertUpload, SequencedShortFileNeedsTheStoredAnswerAndResendsAreBounded)
{
    {
        AlertLine line("3.14");
        ScriptedMessages boxes;
        const auto file = line.file(Samples(100));
        line.device->RefuseNextBlocks(2); // the last block may be sent again twice
        ASSERT_TRUE(UploadAlertFile(file, 4096, 64, true, line.display()));
        EXPECT_EQ(line.device->StoredAlerts().at(1).size(), 1024u);
        EXPECT_EQ(line.device->StoredAlerts().at(1).substr(0, 4), std::string("\x64\0\0\0", 4));
        EXPECT_EQ(line.infos.back(), "Done !");
    }
    {
        AlertLine line("3.14");
        ScriptedMessages boxes;
        boxes.Answer(1);
        const auto file = line.file(Samples(100));
        line.device->RefuseNextBlocks(3); // one more than the last block is given
        EXPECT_FALSE(UploadAlertFile(file, 4096, 64, true, line.display()));
        EXPECT_TRUE(line.device->StoredAlerts().empty());
        EXPECT_EQ(line.infos.back(), "Canceled !");
        ASSERT_EQ(boxes.texts().size(), 1u);
        EXPECT_NE(boxes.texts()[0].find("cannot be established"), std::string::npos);
    }
    {
        AlertLine line("2.50");
        ScriptedMessages boxes;
        boxes.Answer(1);
        const auto file = line.file(Samples(4000));
        line.device->RefuseNextBlocks(4); // a full block may be sent again three times
        EXPECT_FALSE(UploadAlertFile(file, 4096, 64, false, line.display()));
        EXPECT_TRUE(line.device->StoredAlerts().empty());
        EXPECT_EQ(line.infos.back(), "Canceled !");
    }
}

TEST(AlertUpload, ASilentDeviceIsReportedAndNothingIsSent)
{
    AlertLine line;
    line.engine.SetDevice(nullptr);
    line.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "", .match = sim::MatchMode::Exact, .times = 0});
    ScriptedMessages boxes;
    boxes.Answer(1);
    const auto file = line.file(Samples(10));
    EXPECT_FALSE(UploadAlertFile(file, 4096, 8, false, line.display()));
    EXPECT_EQ(line.hostLinesWithPrefix("RIFF"), 0);
    EXPECT_EQ(line.infos.back(), "Canceled !");
    EXPECT_EQ(boxes.shown().size(), 1u);
}
