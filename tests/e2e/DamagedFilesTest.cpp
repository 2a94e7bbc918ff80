// Start-up over damaged data and settings files: cut short, grown, or plain
// noise. The console comes up, says what it found, and writes over nothing
// the operator might still want.
#include <random>

#include "ConsoleHarness.h"
#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "SettingsFile.h"

namespace {

std::string noise(std::size_t length, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(length, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

bool shownContaining(const ScriptedMessages& messages, const std::string& text)
{
    for (const auto& shown : messages.texts())
        if (shown.find(text) != std::string::npos)
            return true;
    return false;
}

const std::vector<TestUser> kUsers = {{1, "Alpha", "A"}, {2, "Bravo", "N"}};
constexpr std::size_t kPagerFileLength = 999 * 160;

std::string settingsPath()
{
    std::string section;
    const QString path = SettingsFile::ForRegistryKey(ConfigKey(), &section).path();
    MakeDirectory(QFileInfo(path).absolutePath().toStdString());
    return path.toStdString();
}

} // namespace

TEST(DamagedFiles, AUserTableIsReadAsFarAsItCanBeAndOnlyACutAtARecordIsCompleted)
{
    std::string records = noise(kPagerFileLength, 11);
    // A few records that read as users, with a name full of control bytes and NULs.
    for (int n : {3, 400, 999})
        records[static_cast<std::size_t>(n - 1) * 160 + 59] = 'Y';
    const struct {
        const char* what;
        std::size_t length; // of the file written over the two users' table
        bool noise;
        bool reported;  // as damaged, and left as it was
        bool completed; // to 999 records, the original kept as .BAK
        int listed;
    } cases[] = {
        {"cut inside a record", kPagerFileLength - 77, true, true, false, 0},
        // A whole number of old 45-byte records, but more of them than there are users.
        {"grown by one old record", kPagerFileLength + 45, false, true, false, 0},
        {"noise of an odd length", 12'347, true, true, false, 0},
        {"cut at a record", 500 * 160, false, false, true, 2},
        {"noise of a whole table", kPagerFileLength, true, false, false, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConsoleHarness harness(kUsers);
        const std::string path = DataFilePath("Pager.DBS");
        std::string bytes = ReadBytes(path);
        bytes.resize(c.length, 'z');
        if (c.noise)
            bytes = c.length == kPagerFileLength ? records : noise(c.length, 7);
        WriteBytes(path, bytes);
        QFile::remove(QString::fromStdString(DataFilePath("Pager.BAK"))); // from setting up the table
        harness.messages.AnswerAlways(kAnswerOk);

        KS_MainForm& form = harness.Load();
        EXPECT_EQ(shownContaining(harness.messages, "Pager.DBS is damaged or of an unknown layout. It was left unchanged."),
                  c.reported);
        EXPECT_EQ(ReadBytes(path).substr(0, bytes.size()), bytes);
        EXPECT_EQ(ReadBytes(path).size(), c.completed ? kPagerFileLength : bytes.size());
        EXPECT_EQ(PathExists(DataFilePath("Pager.BAK")) ? ReadBytes(DataFilePath("Pager.BAK")) : "none",
                  c.completed ? bytes : "none");
        EXPECT_GE(form.lvwUsers->topLevelItemCount(), c.listed);
        EXPECT_TRUE(form.cmdSendPage->isEnabled());
    }
}

TEST(DamagedFiles, AScheduleFileCutShortGrownOrNoiseIsReadAsFarAsItGoesAndKept)
{
    const struct {
        const char* what;
        std::string bytes;
        bool reportsTail;
    } cases[] = {
        {"cut inside a record", noise(150 * 49 + 20, 3), true},
        {"grown beyond the week", noise(800 * 49, 4), false},
        {"noise of a whole week", noise(700 * 49, 5), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConsoleHarness harness(kUsers);
        const std::string path = DataFilePath("Schedule.DBS");
        WriteBytes(path, c.bytes);
        harness.messages.AnswerAlways(kAnswerOk);

        harness.Load();
        EXPECT_EQ(gSchedule.size(), 700u);
        // Read again with the status line watched, as the schedule window does.
        EXPECT_TRUE(LoadScheduleDatabase());
        EXPECT_EQ(harness.Reported("Schedule.DBS ends in an incomplete record, which was not read.", true),
                  c.reportsTail);
        EXPECT_EQ(ReadBytes(path), c.bytes);
        EXPECT_EQ(gSchedule[0].No, c.bytes.substr(0, 3));
    }
}

TEST(DamagedFiles, DamagedToneFilesAreLeftForTheToneWindowsAndATooShortCalendarIsReplacedWhole)
{
    const struct {
        const char* what;
        std::string schedule;
        std::string calendar;
        bool calendarReplaced;
    } cases[] = {
        {"cut inside a record", noise(100 * 73 + 5, 21), noise(68 * 10 + 3, 22), false},
        {"grown beyond the week", noise(400 * 73, 23), noise(68 * 40'000, 24), false},
        {"a few bytes of noise", noise(9, 25), noise(68 * 3 + 1, 26), false},
        {"a calendar shorter than one event", noise(9, 27), noise(5, 31), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConsoleHarness harness(kUsers);
        const std::string schedulePath = DataFilePath("ToneGen.TGS");
        const std::string calendarPath = DataFilePath("ToneGenCalendar.TGC");
        WriteBytes(schedulePath, c.schedule);
        WriteBytes(calendarPath, c.calendar);
        harness.messages.AnswerAlways(kAnswerOk);
        harness.Load();

        // What the tone windows do when they open: read, report, keep.
        LoadToneSchedule(false);
        bool created = false;
        QDate firstDay;
        EXPECT_TRUE(LoadToneCalendar(false, created, firstDay));

        EXPECT_EQ(ReadBytes(schedulePath), c.schedule);
        EXPECT_EQ(gToneSchedule.size(), 336u);
        EXPECT_EQ(created, c.calendarReplaced);
        if (!c.calendarReplaced) {
            EXPECT_EQ(ReadBytes(calendarPath), c.calendar);
            continue;
        }
        // A new calendar replaces it whole; the scrap is kept, not lost.
        EXPECT_EQ(ReadBytes(calendarPath).size(), 372u * 100 * 68);
        EXPECT_EQ(ReadBytes(DataFilePath("ToneGenCalendar.BAK")), c.calendar);
        EXPECT_TRUE(harness.Reported("The calendar file " + PathInText(calendarPath) + " could not be read.", true));
    }
}

TEST(DamagedFiles, ASettingsFileOfNoiseStartsTheConsoleUnconfiguredAndIsNotWritten)
{
    ConsoleHarness noisy({}, false);
    noisy.messages.AnswerAlways(kAnswerOk);
    const std::string garbage = noise(4096, 41) + "\n[Config]\nConnectionType=\x01\xff\nSerial COM Port=99999999\n"
                                + "COMPortSettings=fast,Q,9,0\nAutoHide=maybe\n" + noise(300, 42);
    WriteBytes(settingsPath(), garbage);
    LoadConfiguration();
    EXPECT_FALSE(gDatabaseFound);
    EXPECT_FALSE(gAutoHide);
    EXPECT_EQ(gSerialPort, 0); // a number that does not fit is no port
    EXPECT_FALSE(noisy.Load().cmdSendPage->isEnabled());
    EXPECT_TRUE(shownContaining(noisy.messages, "is not configured yet."));
    EXPECT_EQ(ReadBytes(settingsPath()), garbage);
}

TEST(DamagedFiles, ASettingsFileWithNoiseAroundAGoodFolderStillFindsTheUsers)
{
    ConsoleHarness harness(kUsers);
    const std::string text = noise(2000, 51) + "\n[Config]\r\nFolder=" + gDataFolder + "\r\nConnectionType=1\r\n"
                             + "Serial COM Port=1\r\nCOMPortSettings=38400,N,8,1\r\n" + noise(2000, 52);
    WriteBytes(settingsPath(), text);
    LoadConfiguration();
    ASSERT_TRUE(gDatabaseFound);
    KS_MainForm& form = harness.Load();
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 2);
    EXPECT_EQ(form.lblConnectionStatus->text().left(13), "Connected to ");
    // Only the unit just identified is added to it.
    EXPECT_EQ(ReadBytes(settingsPath()), text + "\nLast Encoder Model=X\nLast Encoder Family=Not Defined\n");
}
