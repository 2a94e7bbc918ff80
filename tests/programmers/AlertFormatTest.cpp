#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KS_AlertFormat.h"
#include "KS_General.h"
#include "WaveFile.h"

namespace {

struct Asked {
    std::vector<std::string> questions;
    bool answer = false;
    AskContinue hook()
    {
        return [this](const std::string& q) {
            questions.push_back(q);
            return answer;
        };
    }
};

} // namespace

TEST(AlertWave, EachFaultGetsItsOwnMessageInTheCheckingOrder)
{
    struct Case {
        const char* what;
        std::string file;
        bool yes;
        std::optional<std::string> message;
        std::size_t questions;
    };
    std::string notRiff = WaveBytes("abc");
    notRiff[0] = 'X';
    std::string notWave = WaveBytes("abc");
    notWave.replace(8, 4, "AVI ");
    std::string noFmt = WaveBytes("abc");
    noFmt.replace(12, 4, "junk");
    const Case cases[] = {
        {"good mono 8-bit", WaveBytes("abc"), false, std::nullopt, 0},
        {"short", std::string("RIFF\0\0\0\0WAVE", 12), false, "File has an invalid format.", 0},
        {"no RIFF", notRiff, false, "File has an invalid format.", 0},
        {"no WAVE", notWave, false, "File has an invalid format (not WAVE format).", 0},
        {"no fmt chunk", noFmt, false, "File has an invalid format.", 0},
        {"not PCM, No", WaveBytes("abc", {.format = 3}), false, "File has an invalid format (not a PCM format).", 1},
        {"stereo, No", WaveBytes("abcd", {.channels = 2}), false,
         "File has an invalid format (not a 1 Channel format).", 1},
        {"stereo, Yes", WaveBytes("abcd", {.channels = 2}), true, std::nullopt, 1},
        {"44100 Hz after Yes", WaveBytes("ab", {.channels = 2, .rate = 44100}), true,
         "File has an invalid format (Sample Rate higher than 22050).", 1},
        // 66000 Hz has 0xD0 0x01 in its low bytes (464 Hz): all four bytes count.
        {"66000 Hz", WaveBytes("ab", {.rate = 66000}), false,
         "File has an invalid format (Sample Rate higher than 22050).", 0},
        {"22050 Hz", WaveBytes("ab", {.rate = 22050}), false, std::nullopt, 0},
        {"16-bit", WaveBytes("abcd", {.bits = 16}), true, "File has an invalid format (Bit Rate higher than 8).", 0},
    };
    for (const Case& c : cases) {
        Asked asked;
        asked.answer = c.yes;
        EXPECT_EQ(CheckAlertWave(c.file, "/x/a.wav", asked.hook()), c.message) << c.what;
        EXPECT_EQ(asked.questions.size(), c.questions) << c.what;
    }
    Asked asked;
    CheckAlertWave(WaveBytes("ab", {.format = 3, .channels = 2}), "/x/a.wav", asked.hook());
    ASSERT_EQ(asked.questions.size(), 1u);
    EXPECT_EQ(asked.questions[0], "/x/a.wav seems to be in incorrect format (PCM). Continue ?");
}

TEST(AlertWave, DataIsFoundByWalkingTheChunksAndCutToWhatTheFileHolds)
{
    // Canonical: the size field at 1-based position 41.
    auto data = FindAlertWaveData(WaveBytes(std::string(100, 'x')));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->offset, 41);
    EXPECT_EQ(data->size, 100);

    // A LIST chunk (odd size, padded) before the data; "data" inside it is not the chunk.
    std::string listed = WaveBytes(std::string(10, 'y'));
    std::string list("LIST\x05\0\0\0data\0\0", 14);
    listed.insert(36, list);
    data = FindAlertWaveData(listed);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->offset, 55);
    EXPECT_EQ(data->size, 10);

    // A streamed file announces 0xFFFFFFFF.
    data = FindAlertWaveData(WaveBytes(std::string(300, 'z'), {}, 0xFFFFFFFF));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->size, 300);

    EXPECT_FALSE(FindAlertWaveData(WaveBytes("")));
    std::string noData = WaveBytes("abc");
    noData.replace(36, 4, "date");
    EXPECT_FALSE(FindAlertWaveData(noData));
}

TEST(AlertFirmware, VersionFormsAndTheSequencedRange)
{
    struct Case {
        std::string reply;
        int version;
        bool sequenced;
    };
    const Case cases[] = {
        {"3.14*\r", 314, true},
        {"3.12*\r", 312, true},
        {"3.11*\r", 311, false},
        {"4.00*\r", 400, false},
        {std::string("3.\0" "99*\r", 6), 399, true}, // NULs on the line are dropped
        {"Ver. 4.01 (2019)*\r", 401, false},
        {"Ver. 3.50 (2019)*\r", 350, true},
        {"Version Ver. 3.20 (x)*\r", 320, true}, // "Ver." with its dot, not the first "Ver"
        {"Ver.3.20(x)*\r", 320, true},
        {"3.14\r", 0, false},          // no "*"
        {"Ver.(3.50 *\r", 0, false},   // "(" too soon after "Ver."
        {"Ver. abc (x)*\r", 0, false},
        {"", 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AlertFirmwareVersion(c.reply), c.version) << c.reply;
        EXPECT_EQ(IsSequencedFirmware(AlertFirmwareVersion(c.reply)), c.sequenced) << c.reply;
    }
}

TEST(AlertSlot, PlanCutsTheDataToTheSlotAndCountsBlocks)
{
    const struct {
        std::int64_t kb, slotCount, alert, data;
        std::int64_t sent, blocks, rest, slot, headerTicks;
    } cases[] = {
        {4096, 8, 11, 3072, 3072, 3, 0, 1, 320},
        {4096, 64, 25, 100, 100, 1, 100, 15, 40},
        {4096, 64, 11, 1000000, 65492, 64, 980, 1, 40}, // too big: slot bytes less the header
        // 4096 / 3 / 32 = 42.67 rounds to 43; 48 / 1 / 32 = 1.5 and 80 / 1 / 32 = 2.5 go to the even 2.
        {4096, 3, 11, 10, 10, 1, 10, 1, 860},
        {48, 1, 11, 10, 10, 1, 10, 1, 40},
        {80, 1, 11, 10, 10, 1, 10, 1, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const auto plan = PlanAlertUpload(c.kb, c.slotCount, static_cast<int>(c.alert), c.data);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->dataSize, c.sent);
        EXPECT_EQ(plan->blockCount, c.blocks);
        EXPECT_EQ(plan->rest, c.rest);
        EXPECT_EQ(plan->slotNumber, c.slot);
        EXPECT_EQ(plan->headerTicks, c.headerTicks);
    }
    EXPECT_FALSE(PlanAlertUpload(4096, 0, 11, 10));
}

TEST(AlertBlocks, HeaderBlocksAndEndMarkerByteForByte)
{
    std::string file = WaveBytes(std::string(100, 'q'));
    const std::string header = BuildAlertHeader(file, 3, 7, 100);
    ASSERT_EQ(header.size(), 44u);
    EXPECT_EQ(header.substr(0, 28), file.substr(0, 28));
    EXPECT_EQ(header.substr(28, 4), "0003");
    EXPECT_EQ(header.substr(32, 5), file.substr(32, 5));
    EXPECT_EQ(header[37], '\x01');
    EXPECT_EQ(header.substr(38, 2), "07");
    EXPECT_EQ(header.substr(40, 4), file.substr(40, 4));
    // A streamed file's 0xFFFFFFFF gives way to the size sent.
    EXPECT_EQ(BuildAlertHeader(WaveBytes("", {}, 0xFFFFFFFF), 3, 7, 3072).substr(40, 4),
              std::string("\x00\x0C\x00\x00", 4));

    // Plain: zeros become ones, the filling included.
    std::string plain = BuildAlertBlock(std::string("\0\x04" "A", 3), 1, false);
    ASSERT_EQ(plain.size(), 1024u);
    EXPECT_EQ(plain.substr(0, 3), std::string("\x01\x04" "A", 3));
    EXPECT_EQ(plain.find('\0'), std::string::npos);
    EXPECT_EQ(plain[1023], '\x01');

    // Sequenced: fours become fives, zeros stay, sum low byte first, number, "00".
    std::string seq = BuildAlertBlock(std::string("\0\x04", 2), 10, true);
    ASSERT_EQ(seq.size(), 1032u);
    EXPECT_EQ(seq[0], '\0');
    EXPECT_EQ(seq[1], '\x05');
    EXPECT_EQ(seq[1023], '\x05');
    // 1023 fives = 5115 = 0x13FB.
    EXPECT_EQ(seq.substr(1024), std::string("\xFB\x13" "000A00", 8));

    // 256 × 0xFF + 256 × 0x01 = 65536, which wraps to 0.
    std::string body(256, '\xFF');
    body += std::string(256, '\x01');
    body += std::string(512, '\0');
    EXPECT_EQ(BuildAlertBlock(body, 1, true).substr(1024, 2), std::string("\0\0", 2));

    EXPECT_EQ(AlertEndMarker(true), std::string(5, '\x04'));
    EXPECT_EQ(AlertEndMarker(false), std::string(5, '\0'));
    EXPECT_EQ(TextToHexChecksum("abc", true), std::string("\x26\x01", 2));
}
