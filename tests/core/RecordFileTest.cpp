#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "KS_Globals.h"
#include "RecordFile.h"
#include "TestSupport.h"

namespace {
class RecordFileTest : public testing::Test {
protected:
    void SetUp() override { folder = MakeDataFolder(); }
    std::string folder;
};
} // namespace

TEST_F(RecordFileTest, RecordsAreCountedAndReadByNumberIgnoringATrailingPart)
{
    const std::string path = DataFilePath("T.DBS");
    WriteBytes(path, "aaaa" "bbbb" "cccc" "dd");
    const RecordFile file(path, 4);
    EXPECT_EQ(file.Count(), 3);
    EXPECT_TRUE(file.HasTrailingBytes());
    std::string record;
    ASSERT_EQ(file.ReadRecord(2, record), FileError::None);
    EXPECT_EQ(record, "bbbb");
    EXPECT_EQ(file.ReadRecord(4, record), FileError::Other);
    std::vector<std::string> all;
    ASSERT_EQ(file.ReadAll(all), FileError::None);
    EXPECT_EQ(all, (std::vector<std::string>{"aaaa", "bbbb", "cccc"}));

    const RecordFile missing(DataFilePath("None.DBS"), 4);
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(missing.Count(), 0);
    EXPECT_EQ(missing.ReadAll(all), FileError::PathOrAccess);
    EXPECT_TRUE(all.empty());
}

TEST_F(RecordFileTest, WritingOneRecordLeavesEveryOtherByteAlone)
{
    const std::string path = DataFilePath("T.DBS");
    WriteBytes(path, std::string("aaaa" "bbbb" "cccc" "\0\x01", 14));
    const RecordFile file(path, 4);
    ASSERT_EQ(file.WriteRecord(2, "XYZW"), FileError::None);
    EXPECT_EQ(ReadBytes(path), std::string("aaaa" "XYZW" "cccc" "\0\x01", 14));

    // Past the end the file grows; the gap is zero bytes.
    ASSERT_EQ(file.WriteRecord(6, "6666"), FileError::None);
    EXPECT_EQ(ReadBytes(path), std::string("aaaa" "XYZW" "cccc" "\0\x01\0\0" "\0\0\0\0" "6666", 24));

    // A missing file is created by its first write.
    const RecordFile fresh(DataFilePath("New.DBS"), 4);
    ASSERT_EQ(fresh.WriteRecord(1, "1111"), FileError::None);
    EXPECT_EQ(ReadBytes(fresh.Path()), "1111");
}

TEST_F(RecordFileTest, UnreachablePathsReportTheFolderMessage)
{
    gDataFolder = folder + "/missing";
    const RecordFile file(DataFilePath("T.DBS"), 4);
    EXPECT_EQ(file.WriteRecord(1, "abcd"), FileError::PathOrAccess);
    std::string record;
    EXPECT_EQ(file.ReadRecord(1, record), FileError::PathOrAccess);
    EXPECT_EQ(FileErrorMessage(FileError::PathOrAccess),
              "Please confirm that the folder " + PathInText(folder) +
                  "/missing exists and that you have the appropriate access permissions.");
    EXPECT_EQ(FileErrorMessage(FileError::Other), "Error reading user record.");

    MakeDirectory(DataFilePath("Dir.DBS"));
    const RecordFile directory(DataFilePath("Dir.DBS"), 4);
    EXPECT_FALSE(directory.Exists());
    EXPECT_EQ(directory.ReadRecord(1, record), FileError::PathOrAccess);
}

TEST_F(RecordFileTest, ReplacingAFileKeepsTheOldOneAsBakAndLeavesNoTmp)
{
    const std::string path = DataFilePath("Pager.DBS");
    WriteBytes(path, "old1old2");
    WriteBytes(DataFilePath("Pager.BAK"), "older");
    const RecordFile file(path, 4);
    ASSERT_EQ(file.ReplaceAll({"new1", "new2", "new3"}), FileError::None);
    EXPECT_EQ(ReadBytes(path), "new1new2new3");
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.BAK")), "old1old2");
    EXPECT_FALSE(PathExists(DataFilePath("Pager.TMP")));

    // A new file has nothing to back up, and an empty one does not cost the backup.
    const RecordFile fresh(DataFilePath("Fresh.DBS"), 4);
    ASSERT_EQ(fresh.ReplaceAll({"abcd"}), FileError::None);
    EXPECT_FALSE(PathExists(DataFilePath("Fresh.BAK")));
    WriteBytes(path, "");
    ASSERT_EQ(ReplaceFileContents(path, "new", DataFilePath("Pager.TMP"), DataFilePath("Pager.BAK")), FileError::None);
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.BAK")), "old1old2");
}

TEST_F(RecordFileTest, AFailedReplacementLeavesTheOriginalAndItsBackup)
{
    const std::string path = DataFilePath("Pager.DBS");
    WriteBytes(path, "keep");
    WriteBytes(DataFilePath("Pager.BAK"), "backup");

    // The .TMP cannot be written.
    MakeDirectory(DataFilePath("Pager.TMP"));
    const RecordFile file(path, 4);
    EXPECT_EQ(file.ReplaceAll({"lost"}), FileError::PathOrAccess);
    EXPECT_EQ(ReadBytes(path), "keep");
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.BAK")), "backup");
    QDir(QString::fromStdString(DataFilePath("Pager.TMP"))).removeRecursively();

    // The old file cannot become the .BAK: a non-empty folder stands in its place.
    QFile::remove(QString::fromStdString(DataFilePath("Pager.BAK")));
    MakeDirectory(DataFilePath("Pager.BAK/inner"));
    EXPECT_NE(file.ReplaceAll({"lost"}), FileError::None);
    EXPECT_EQ(ReadBytes(path), "keep");
    EXPECT_FALSE(PathExists(DataFilePath("Pager.TMP")));
}

TEST_F(RecordFileTest, CompanionsReplaceTheExtensionAndMayLiveInAnotherFolder)
{
    EXPECT_EQ(CompanionPath("/a.b/NoExtension", "TMP"), "/a.b/NoExtension.TMP");
    RecordFile calendar("/elsewhere/My.TGC", 68);
    calendar.SetCompanionFolder(folder);
    EXPECT_EQ(calendar.BakPath(), folder + "/My.BAK");
}

// What a broken write left in the .TMP never trails the new contents, and a
// failure that is no matter of path or access is told as a failed update.
TEST_F(RecordFileTest, AStaleTmpIsOverwrittenWholeAndAFullDiskIsAFailedUpdate)
{
    const std::string path = DataFilePath("Pager.DBS");
    WriteBytes(path, "old1");
    WriteBytes(DataFilePath("Pager.TMP"), std::string(100, 'Z'));
    ASSERT_EQ(ReplaceFileContents(path, "new1", DataFilePath("Pager.TMP"), DataFilePath("Pager.BAK")), FileError::None);
    EXPECT_EQ(ReadBytes(path), "new1");

    EXPECT_EQ(FileUpdateErrorMessage(FileError::Other, path), "Error updating record.");
    EXPECT_EQ(FileUpdateErrorMessage(FileError::PathOrAccess, "/data/Pager.DBS"),
              "Please confirm that the file /data/Pager.DBS exists and that you have the appropriate access "
              "permissions.");
}
