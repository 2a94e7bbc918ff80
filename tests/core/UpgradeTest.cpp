#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_String.h"
#include "TestSupport.h"

#include <QFile>

namespace {

class DataFileUpgrade : public testing::Test {
protected:
    void SetUp() override { MakeDataFolder(); }
    // A box nobody expected fails the test at once instead of waiting for an operator.
    ScriptedMessages boxes;
};

std::string spaces(std::size_t n) { return std::string(n, ' '); }
std::string zeros(std::size_t n) { return std::string(n, '\0'); }

std::string legacyPager(const std::string& no)
{
    return Image(45)
        .Put(0, no).Put(3, "Bob Smith   ").Put(15, "7654321").Put(22, "B").Put(23, "2").Put(24, "0123456789012")
        .Put(37, "G").Put(38, "1").Put(39, "I").Put(40, "wxyz").Put(44, "Y");
}

std::string convertedPager(const std::string& no)
{
    return Image(160)
        .Put(0, no).Put(3, "Bob Smith   " + spaces(8)).Put(23, "7654321").Put(30, "B").Put(31, "2")
        .Put(32, "0123456789012" + spaces(7)).Put(52, "G").Put(53, "1").Put(54, "I").Put(55, "wxyz").Put(59, "Y")
        .Fill(60, 100, ' ');
}

const std::string kFreeUser = Image(160).Put(59, "N");

} // namespace

TEST_F(DataFileUpgrade, AnOldUserTableBecomes999CurrentRecordsAndTheOldFileTheBak)
{
    UpgradeDataFiles(); // missing files are not created
    EXPECT_TRUE(QDir(QString::fromStdString(gDataFolder)).isEmpty());

    std::string old;
    for (int i = 1; i <= 12; ++i)
        old += legacyPager(ZeroPad(i, 3));
    WriteBytes(DataFilePath("Pager.DBS"), old);

    EXPECT_EQ(UpgradeDataFile("Pager.DBS"), UpgradeOutcome::Converted);

    const std::string converted = ReadBytes(DataFilePath("Pager.DBS"));
    ASSERT_EQ(converted.size(), 159840u);
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(Record(converted, 160, i), convertedPager(ZeroPad(i, 3))) << "record " << i;
    EXPECT_EQ(converted.substr(12 * 160), zeros(987 * 160));
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.BAK")), old);
    EXPECT_FALSE(PathExists(DataFilePath("Pager.TMP")));

    // Once converted, the file is left alone.
    EXPECT_EQ(UpgradeDataFile("Pager.DBS"), UpgradeOutcome::Current);
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.BAK")), old);
}

TEST_F(DataFileUpgrade, OldAlarmPointsGainTheNewFieldsWithTheirStartValues)
{
    const std::string old = Image(84)
                                .Put(0, " 7 ").Put(3, "201").Put(6, "Y").Put(7, std::string(30, 'M')).Put(37, "S")
                                .Put(38, "030").Put(41, "202").Put(44, std::string(30, 'C')).Put(74, "3")
                                .Put(75, "+10").Put(78, "5").Put(79, "4").Put(80, "U").Put(81, "07").Put(83, "2");
    WriteBytes(DataFilePath("PPM_Alarm.DBS"), old + old);

    EXPECT_EQ(UpgradeDataFile("PPM_Alarm.DBS"), UpgradeOutcome::Converted);

    const std::string expected = Image(150)
                                     .Put(0, "007").Put(3, "201").Put(6, std::string(30, 'M'))
                                     .Put(36, std::string(30, 'C')).Put(68, "000").Put(71, "00").Put(73, "5")
                                     .Put(74, "202").Put(77, "S").Put(78, "030").Put(81, "3").Put(82, "+10")
                                     .Put(85, "4").Put(86, "07").Put(88, "2").Fill(93, 57, ' ');
    EXPECT_EQ(ReadBytes(DataFilePath("PPM_Alarm.DBS")), expected + expected);
    EXPECT_EQ(ReadBytes(DataFilePath("PPM_Alarm.BAK")), old + old);
}

TEST_F(DataFileUpgrade, OldMessageTablesAreConvertedFieldByFieldAndGrowToTheEncodersTables)
{
    WriteBytes(DataFilePath("PPM_PABXDI.DBS"),
               Image(32).Put(0, "09").Put(2, "Call reception").str() + Image(32).Put(0, "AB").Put(2, "x").str());
    WriteBytes(DataFilePath("PPM_Freetext.DBS"), Image(36).Put(0, "03").Put(2, "111").Put(5, "FIRE").Put(35, "Y"));
    WriteBytes(DataFilePath("PPM_Wireless.DBS"),
               Image(42).Put(0, "5").Put(3, "020").Put(6, "Door").Put(36, "12").Put(38, "345").Put(41, "Y"));
    std::string fastkeys;
    for (int i = 1; i <= 10; ++i)
        fastkeys += Image(32).Put(0, ZeroPad(i, 2)).Put(2, "Key " + std::to_string(i)).str();
    WriteBytes(DataFilePath("PPM_Fastkey.DBS"), fastkeys);
    gWirelessMessageCount = 3;
    gFastkeyMessageCount = 20;

    UpgradeDataFiles();

    EXPECT_EQ(ReadBytes(DataFilePath("PPM_PABXDI.DBS")),
              Image(100).Put(0, "009").Put(3, "Call reception").Fill(33, 67, ' ').str() +
                  Image(100).Put(0, "AB ").Put(3, "x").Fill(33, 67, ' ').str());
    EXPECT_EQ(ReadBytes(DataFilePath("PPM_Freetext.DBS")),
              Image(70).Put(0, "003").Put(3, "111").Put(6, "FIRE").Put(68, "  ").str());

    const std::string wireless = ReadBytes(DataFilePath("PPM_Wireless.DBS"));
    ASSERT_EQ(wireless.size(), 330u);
    EXPECT_EQ(Record(wireless, 110, 1), Image(110).Put(0, "005").Put(3, "020").Put(6, "Door").Put(36, "12")
                                            .Put(38, "345").Put(41, "000").Put(44, "Y").Put(45, "0").Fill(54, 56, ' ')
                                            .str());
    EXPECT_EQ(Record(wireless, 110, 3), Image(110).Put(0, "003").Put(3, "000").Fill(6, 30, ' ').Put(36, "00")
                                            .Put(38, "000").Put(41, "000").Put(44, "N").Put(45, "0").Fill(54, 56, ' ')
                                            .str());

    const std::string grown = ReadBytes(DataFilePath("PPM_Fastkey.DBS"));
    ASSERT_EQ(grown.size(), 2000u);
    EXPECT_EQ(Record(grown, 100, 10), Image(100).Put(0, "010").Put(3, "Key 10").Fill(33, 67, ' ').str());
    EXPECT_EQ(Record(grown, 100, 20), "020" + spaces(97));

    // A table longer than the encoder's is never cut.
    WriteBytes(DataFilePath("PPM_Fastkey.DBS"), fastkeys);
    gFastkeyMessageCount = 8;
    EXPECT_EQ(UpgradeDataFile("PPM_Fastkey.DBS"), UpgradeOutcome::Converted);
    EXPECT_EQ(ReadBytes(DataFilePath("PPM_Fastkey.DBS")).size(), 1000u);
}

TEST_F(DataFileUpgrade, OldUserTablesConvertEvenWhenTheLengthFitsBothLayouts)
{
    const struct {
        int users;
        UpgradeOutcome outcome;
    } cases[] = {
        {32, UpgradeOutcome::Converted},   // 1440 bytes: nine current records too
        {999, UpgradeOutcome::Converted},
        {1000, UpgradeOutcome::Converted}, // the first 999 are taken, and the operator is told
    };
    boxes.AnswerAlways(kAnswerOk);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.users);
        std::string old;
        for (int i = 1; i <= c.users; ++i)
            old += legacyPager(ZeroPad(i % 1000, 3));
        WriteBytes(DataFilePath("Pager.DBS"), old);
        QFile::remove(QString::fromStdString(DataFilePath("Pager.BAK")));

        EXPECT_EQ(UpgradeDataFile("Pager.DBS"), c.outcome);

        const std::string now = ReadBytes(DataFilePath("Pager.DBS"));
        if (c.outcome == UpgradeOutcome::Unrecognised) {
            EXPECT_EQ(now, old);
            EXPECT_FALSE(PathExists(DataFilePath("Pager.BAK")));
            continue;
        }
        ASSERT_EQ(now.size(), 159840u);
        EXPECT_EQ(Record(now, 160, 1), convertedPager("001"));
        const int last = std::min(c.users, 999);
        EXPECT_EQ(Record(now, 160, static_cast<std::size_t>(last)), convertedPager(ZeroPad(last, 3)));
        if (c.users < 999) {
            EXPECT_EQ(Record(now, 160, static_cast<std::size_t>(c.users) + 1), zeros(160));
        }
        EXPECT_EQ(ReadBytes(DataFilePath("Pager.BAK")), old);
    }
    EXPECT_EQ(boxes.shown().size(), 1u);

    // A user written into an old table before the upgrade would scramble it.
    const std::string old32 = Repeat(legacyPager("001"), 32);
    WriteBytes(DataFilePath("Pager.DBS"), old32);
    EXPECT_FALSE(WritePagerRecord(1, FreePagerRecord()));
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.DBS")), old32);
}

TEST_F(DataFileUpgrade, OldFilesWithAStrayTailConvertTheirWholeRecordsAndSayWhatWasLeftBehind)
{
    std::string users;
    for (int i = 1; i <= 1001; ++i)
        users += legacyPager(ZeroPad(i % 1000, 3));
    const std::string pabx = Image(32).Put(0, "01").Put(2, "Reception").str() + Image(32).Put(0, " 2").Put(2, "Bar").str();
    std::string current; // a current user table that gained three bytes: not ours to convert
    for (int i = 1; i <= 999; ++i)
        current += i % 3 ? kFreeUser : Image(160).Put(0, ZeroPad(i, 3)).Put(3, "Ann").Put(59, "Y").str();
    std::string fastkeys;
    for (int i = 1; i <= 10; ++i)
        fastkeys += Image(100).Put(0, ZeroPad(i, 3)).Put(3, "Key").str();

    const struct {
        const char* file;
        std::string bytes;
        UpgradeOutcome outcome;
        std::string firstRecord;
        const char* notTaken; // "" when nothing is converted
    } cases[] = {
        {"Pager.DBS", users.substr(0, 12 * 45 + 7), UpgradeOutcome::Converted, convertedPager("001"),
         "7 bytes at its end that make no whole record"},
        {"Pager.DBS", users + "x", UpgradeOutcome::Converted, convertedPager("001"),
         "2 records beyond the 999 users of the table and 1 byte at its end that make no whole record"},
        {"PPM_PABXDI.DBS", pabx + "\r\n", UpgradeOutcome::Converted,
         Image(100).Put(0, "001").Put(3, "Reception").Fill(33, 67, ' ').str(),
         "2 bytes at its end that make no whole record"},
        {"Pager.DBS", current + "abc", UpgradeOutcome::Unrecognised, "", ""},
        {"PPM_Fastkey.DBS", fastkeys + "\n", UpgradeOutcome::Unrecognised, "", ""},
    };
    boxes.AnswerAlways(kAnswerOk);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.bytes.size()));
        const std::string path = DataFilePath(c.file);
        const std::string bak = path.substr(0, path.size() - 3) + "BAK";
        QFile::remove(QString::fromStdString(bak));
        WriteBytes(path, c.bytes);

        EXPECT_EQ(UpgradeDataFile(c.file), c.outcome);

        if (c.outcome == UpgradeOutcome::Unrecognised) {
            EXPECT_EQ(ReadBytes(path), c.bytes);
            EXPECT_FALSE(PathExists(bak));
            EXPECT_NE(boxes.texts().back().find("damaged or of an unknown layout"), std::string::npos);
            continue;
        }
        const std::string now = ReadBytes(path);
        EXPECT_EQ(now.size(), std::string(c.file) == "Pager.DBS" ? 159840u : 200u);
        EXPECT_EQ(now.substr(0, c.firstRecord.size()), c.firstRecord);
        EXPECT_EQ(ReadBytes(bak), c.bytes);
        EXPECT_EQ(boxes.texts().back(), "The data file " + PathInText(path) + " was converted to the current layout without its last " +
                                            c.notTaken + ". The original file is kept as " + PathInText(bak) + ".");
    }
    EXPECT_EQ(boxes.shown().size(), 5u);
}

TEST_F(DataFileUpgrade, AShortCurrentUserTableIsPaddedWithFreeUsers)
{
    const std::string two = Image(160, 'u').str() + Image(160, 'v').str();
    WriteBytes(DataFilePath("Pager.DBS"), two);
    EXPECT_EQ(UpgradeDataFile("Pager.DBS"), UpgradeOutcome::Padded);
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.DBS")), two + Repeat(kFreeUser, 997));
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.BAK")), two);
}

TEST_F(DataFileUpgrade, CurrentUnknownAndUnwritableFilesAreLeftAsTheyWere)
{
    const struct {
        const char* file;
        std::string bytes;
        bool tmpBlocked;
        UpgradeOutcome outcome;
        const char* shown; // "" for no box
    } cases[] = {
        // Lengths that also fit the old layout are never taken for it: 25 old fast keys, 3552 old users.
        {"PPM_Fastkey.DBS", std::string(800, 'k'), false, UpgradeOutcome::Current, ""},
        {"Pager.DBS", Repeat(Image(160).Put(0, "001").Put(59, "Y"), 999), false, UpgradeOutcome::Current, ""},
        {"PPM_Alarm.DBS", std::string(151, 'a'), false, UpgradeOutcome::Unrecognised,
         " is damaged or of an unknown layout. It was left unchanged."},
        {"PPM_PABXDI.DBS", Image(32).Put(0, "01").Put(2, "Keep me"), true, UpgradeOutcome::Failed,
         " could not be brought up to date. It was left unchanged."},
    };
    boxes.AnswerAlways(kAnswerOk);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::size_t before = boxes.shown().size();
        const std::string path = DataFilePath(c.file);
        WriteBytes(path, c.bytes);
        if (c.tmpBlocked)
            MakeDirectory(path.substr(0, path.size() - 3) + "TMP");

        EXPECT_EQ(UpgradeDataFile(c.file), c.outcome);

        EXPECT_EQ(ReadBytes(path), c.bytes);
        EXPECT_FALSE(PathExists(path.substr(0, path.size() - 3) + "BAK"));
        if (*c.shown == '\0') {
            EXPECT_EQ(boxes.shown().size(), before);
            continue;
        }
        ASSERT_EQ(boxes.shown().size(), before + 1);
        EXPECT_EQ(boxes.texts().back().rfind("The data file " + PathInText(path) + c.shown, 0), 0u) << boxes.texts().back();
        EXPECT_EQ(boxes.shown().back().icon, kIconExclamation);
    }
}

TEST_F(DataFileUpgrade, ANewUserTableIsExactly999FreeUsersOrReportsWhatStoppedIt)
{
    // Longer than a user table: nothing of the old bytes may remain past record 999.
    WriteBytes(DataFilePath("Pager.DBS"), std::string(200000, 'x'));
    EXPECT_TRUE(CreateEmptyPagerDatabase());
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.DBS")), Repeat(kFreeUser, 999));

    boxes.AnswerAlways(kAnswerOk);
    QFile::remove(QString::fromStdString(DataFilePath("Pager.DBS")));
    MakeDirectory(DataFilePath("Pager.TMP"));
    EXPECT_FALSE(CreateEmptyPagerDatabase());
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Unable to create file " + PathInText(DataFilePath("Pager.DBS")) +
                                                      ". Please confirm that you have the appropriate access "
                                                      "permissions."});
    EXPECT_EQ(boxes.shown()[0].icon, kIconCritical);
    EXPECT_FALSE(PathExists(DataFilePath("Pager.DBS")));

    // No data folder: nothing is said and nothing written.
    gDataFolder += "/gone";
    EXPECT_FALSE(CreateEmptyPagerDatabase());
    EXPECT_EQ(boxes.texts().size(), 1u);
}
