#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "KS_Globals.h"
#include "KS_SignBoardFile.h"
#include "TestSupport.h"

namespace {

std::string defaultMessage(const std::string& no, int chars, int lines)
{
    return Image(262).Put(0, no).Fill(3, 200, ' ').PutByte(203, 1).PutInt16(205, 3).PutInt16(208, chars)
        .PutInt16(210, lines);
}

std::string storedMessage(const std::string& no, const std::string& text)
{
    return Image(262).Put(0, no).Fill(3, 200, ' ').Put(3, text).PutByte(203, 12).PutByte(204, 2).PutInt16(205, 9)
        .PutByte(207, 15).PutInt16(208, 16).PutInt16(210, 2);
}

} // namespace

TEST(SignBoardFile, AMissingFileIsCreatedWithTheConfiguredBoardSizeOr32By3)
{
    const struct {
        std::string chars, lines;
        int expectChars, expectLines;
        bool noted;
    } cases[] = {
        {"20", "4", 20, 4, false},
        {"0", "4", 32, 3, true},   // a setting that was no number reads as 0
        {"33", "3", 32, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chars + " x " + c.lines);
        MakeDataFolder();
        QFile::remove(QString::fromStdString(DataFilePath("SBMessages.DBS")));
        StatusLog status;
        gSBChars = c.chars;
        gSBLines = c.lines;
        std::vector<SignBoardMessage> table;
        ASSERT_TRUE(LoadSignBoardTable(table));
        const std::string file = ReadBytes(DataFilePath("SBMessages.DBS"));
        ASSERT_EQ(file.size(), 131000u);
        EXPECT_EQ(Record(file, 262, 1), defaultMessage("001", c.expectChars, c.expectLines));
        EXPECT_EQ(Record(file, 262, 500), defaultMessage("500", c.expectChars, c.expectLines));
        ASSERT_EQ(table.size(), 500u);
        EXPECT_EQ(table[499].No, "500");
        EXPECT_EQ(!status.texts().empty(), c.noted);
    }
}

TEST(SignBoardFile, ShortAndOversizedFilesAreReadAsFarAsTheyGoAndLeftAlone)
{
    const std::string ten = Repeat(storedMessage("001", "Fire drill"), 10) + "partial";
    const std::string many = Repeat(storedMessage("001", "Fire drill"), 502);
    const struct {
        std::string bytes;
        std::string note;
    } cases[] = {
        {ten, "SBMessages.DBS ends in an incomplete record, which was not read."},
        {many, "SBMessages.DBS holds more than 500 messages; only the first 500 were read."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        MakeDataFolder();
        StatusLog status;
        WriteBytes(DataFilePath("SBMessages.DBS"), c.bytes);
        std::vector<SignBoardMessage> table;
        ASSERT_TRUE(LoadSignBoardTable(table));
        ASSERT_EQ(table.size(), 500u);
        EXPECT_EQ(table[9].Slot, 12);
        EXPECT_EQ(table[9].Text.substr(0, 11), "Fire drill ");
        EXPECT_EQ(status.texts(), std::vector<std::string>{c.note});
        EXPECT_EQ(ReadBytes(DataFilePath("SBMessages.DBS")), c.bytes);
        // Past the end of a short file: empty messages of zeros.
        EXPECT_EQ(table[10] == SignBoardMessage{}, c.bytes == ten);
    }
}
