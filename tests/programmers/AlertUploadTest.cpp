// The alert upload against the simulated alert device on the deterministic
// pump: what the device stores, how it asks again, and what a failure leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "KS_AlertUpload.h"
#include "ProgrammerFixture.h"
#include "SimAlertDevice.h"
#include "TestSupport.h"
#include "WaveFile.h"

namespace {

struct AlertLine {
    explicit AlertLine(std::string version = "2.50")
        : device(std::make_shared<sim::AlertDevice>(std::move(version)))
        , line(device)
    {
    }
    AlertUploadDisplay display()
    {
        return {[this](const std::string& text) { infos.push_back(text); },
                [this](std::int64_t value, std::int64_t maximum, bool shown) {
                    if (shown)
                        progress.push_back(std::to_string(value) + "/" + std::to_string(maximum));
                }};
    }
    // The file on disk, found as the window's check finds it.
    bool uploadFile(const std::string& bytes, std::int64_t slotCount, bool sequenced)
    {
        const std::string path = MakeDataFolder() + "/alert.wav";
        std::ofstream(path, std::ios::binary) << bytes;
        const AlertUploadFile file{path, 11, "Alert 11", FindAlertWaveData(bytes).value()};
        return UploadAlertFile(file, 4096, slotCount, sequenced, display());
    }
    // A canonical 44-byte header and the samples.
    bool upload(const std::string& samples, std::int64_t slotCount, bool sequenced, std::uint64_t declared = UINT64_MAX)
    {
        return uploadFile(WaveBytes(samples, {}, declared), slotCount, sequenced);
    }

    std::shared_ptr<sim::AlertDevice> device;
    DeviceLine line;
    ScriptedMessages boxes;
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

} // namespace

TEST(AlertUpload, ThreeFullBlocksEndWithTheMarkerAndAreStoredByteForByte)
{
    // A streamed file's data chunk says 0xFFFFFFFF: the device is told what comes.
    for (const std::uint64_t declared : {std::uint64_t{3072}, std::uint64_t{0xFFFFFFFF}}) {
        SCOPED_TRACE(declared);
        AlertLine a;
        const std::string samples = Samples(3072);
        ASSERT_TRUE(a.upload(samples, 8, false, declared));

        // From the size field on, zeros sent as ones.
        std::string expected = std::string("\x00\x0C\x00\x00\xFF\xFF\xFF\xFF", 8).substr(declared == 3072 ? 0 : 4, 4)
            + samples.substr(0, 3068);
        std::replace(expected.begin(), expected.end(), '\0', '\x01');
        ASSERT_EQ(a.device->StoredAlerts().count(1), 1u);
        EXPECT_EQ(a.device->StoredAlerts().at(1), expected);
        EXPECT_EQ(a.progress, (std::vector<std::string>{"0/3", "1/3", "2/3", "3/3"}));
        EXPECT_EQ(a.infos.front(), "Please wait...");
        EXPECT_EQ(a.infos[a.infos.size() - 2], "Uploading Alert 11...3/3");
        EXPECT_EQ(a.infos.back(), "Done !");
        EXPECT_TRUE(a.boxes.shown().empty());
    }
}

TEST(AlertUpload, ResendsAreBoundedAndAShortFileNeedsTheStoredAnswer)
{
    const struct {
        const char* version;
        std::size_t samples;
        int refused;
        bool stored;
    } cases[] = {
        {"3.14", 100, 2, true},   // the last block may be sent again twice
        {"3.14", 100, 3, false},  // not three times
        {"2.50", 4000, 4, false}, // a full block three times, not four
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        AlertLine a(c.version);
        a.boxes.AnswerAlways(kAnswerOk);
        a.device->RefuseNextBlocks(c.refused);
        EXPECT_EQ(a.upload(Samples(c.samples), 64, std::string(c.version) == "3.14"), c.stored);
        EXPECT_EQ(a.device->StoredAlerts().size(), c.stored ? 1u : 0u);
        EXPECT_EQ(a.infos.back(), c.stored ? "Done !" : "Canceled !");
        EXPECT_EQ(a.boxes.shown().size(), c.stored ? 0u : 1u);
    }
}

TEST(AlertUpload, ASilentDeviceIsReportedAndNothingIsSent)
{
    AlertLine a;
    a.line.engine.SetDevice(nullptr);
    a.line.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "", .match = sim::MatchMode::Exact, .times = 0});
    a.boxes.AnswerAlways(kAnswerOk);
    EXPECT_FALSE(a.upload(Samples(10), 8, false));
    const Lines sent = a.line.Sent();
    EXPECT_TRUE(std::none_of(sent.begin(), sent.end(), [](const std::string& l) { return l.starts_with("RIFF"); }));
    EXPECT_EQ(a.infos.back(), "Canceled !");
    EXPECT_EQ(a.boxes.shown().size(), 1u);
}

TEST(AlertUpload, TheHeaderCarriesTheFormatChunksOwnValuesWhereverTheChunkLies)
{
    const std::string samples(100, '\x80');
    const std::string canonical = WaveBytes(samples);
    // As recorders write it: a chunk of their own before "fmt ".
    std::string junkFirst = canonical.substr(0, 12) + "JUNK" + std::string("\x1C\0\0\0", 4) + std::string(28, '\0')
        + canonical.substr(12);
    junkFirst[4] = '\xAC';
    const std::string format = std::string("fmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0", 16) + "0001"
        + std::string("\x01\0\x08\0d\x01", 6) + "01" + std::string("\x64\0\0\0", 4);
    for (const auto& [file, riffSize] : {std::pair{canonical, '\x88'}, {junkFirst, '\xAC'}}) {
        AlertLine a;
        ASSERT_TRUE(a.uploadFile(file, 8, false));
        EXPECT_EQ(a.device->LastHeader(), "RIFF" + std::string(1, riffSize) + std::string(3, '\0') + "WAVE" + format);
        EXPECT_EQ(a.device->StoredAlerts().at(1).substr(0, 8), std::string("\x64\x01\x01\x01\x80\x80\x80\x80", 8));
    }
    // A format chunk that comes first goes as the file has it, whatever its size.
    std::string longFormat = canonical.substr(0, 16) + std::string("\x12\0\0\0", 4) + canonical.substr(20, 16)
        + std::string(2, '\0') + canonical.substr(36);
    AlertLine a;
    ASSERT_TRUE(a.uploadFile(longFormat, 8, false));
    // Bytes 29-32 carry the block count, 38-44 the slot and the size.
    const std::string header = a.device->LastHeader();
    EXPECT_EQ(header.substr(12, 16) + header.substr(32, 5), longFormat.substr(12, 16) + longFormat.substr(32, 5));
    // One behind another chunk is announced as the 16 bytes of it the header carries.
    const std::string junkThenLong = canonical.substr(0, 12) + "JUNK" + std::string("\x1C\0\0\0", 4)
        + std::string(28, '\0') + "fmt " + std::string("\x12\0\0\0", 4) + canonical.substr(20, 16)
        + std::string(2, '\0') + canonical.substr(36);
    AlertLine b;
    ASSERT_TRUE(b.uploadFile(junkThenLong, 8, false));
    EXPECT_EQ(b.device->LastHeader().substr(12, 16), std::string("fmt \x10\0\0\0", 8) + canonical.substr(20, 8));
}
