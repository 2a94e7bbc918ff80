#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_Globals.h"
#include "TestSupport.h"

namespace {

PagerRecord user(const std::string& no)
{
    PagerRecord r = FreePagerRecord();
    r.PagerNo = no;
    r.UserName = "Kim";
    r.InUse = "Y";
    return r;
}

} // namespace

TEST(PagerRecordWrite, AMissingUserTableIsCreatedWholeBeforeTheRecordGoesIn)
{
    MakeDataFolder();
    ASSERT_TRUE(WritePagerRecord(5, user("005")));
    const std::string free = EncodeRecord(FreePagerRecord());
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.DBS")), Repeat(free, 4) + EncodeRecord(user("005")) + Repeat(free, 994));
    EXPECT_FALSE(PathExists(DataFilePath("Pager.BAK")));
}

TEST(PagerRecordWrite, ABlankOrMissingFolderAndAnOlderLayoutAreRefusedWithAMessage)
{
    ScriptedMessages messages;
    messages.AnswerAlways(kAnswerOk);
    gDataFolder.clear();
    EXPECT_FALSE(WritePagerRecord(1, user("001")));
    EXPECT_FALSE(PathExists("Pager.DBS"));

    gDataFolder = MakeDataFolder() + "/gone";
    EXPECT_FALSE(WritePagerRecord(1, user("001")));

    MakeDataFolder();
    const std::string legacy(12 * 45, 'x'); // twelve users of the 45-byte layout, waiting for the upgrade
    WriteBytes(DataFilePath("Pager.DBS"), legacy);
    EXPECT_FALSE(WritePagerRecord(1, user("001")));
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.DBS")), legacy);
    EXPECT_EQ(messages.shown().size(), 3u);
}
