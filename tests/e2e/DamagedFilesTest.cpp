// Start-up over damaged data and settings files: cut short, grown, or plain
// noise. The console comes up, says what it found, and writes over nothing
// the operator might still want.
#include <QDir>
#include <QLabel>
#include <QFile>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <random>

#include "ConsoleHarness.h"
#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Registry.h"
#include "SettingsFile.h"

namespace {

std::string readFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void writeFile(const std::string& path, const std::string& bytes)
{
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

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

} // namespace

TEST(DamagedFiles, AUserTableOfNoKnownLengthIsReportedAndKept)
{
    const struct {
        const char* what;
        std::size_t length;
    } cases[] = {
        {"cut inside a record", kPagerFileLength - 77},
        {"grown by a few bytes", kPagerFileLength + 7},
        // A whole number of old 45-byte records, but more of them than there are users.
        {"grown by one old record", kPagerFileLength + 45},
        {"noise of an odd length", 12'347},
    };
    for (const auto& c : cases) {
        ConsoleHarness harness(kUsers);
        const std::string path = DataFilePath("Pager.DBS");
        std::string bytes = readFile(path);
        bytes.resize(c.length, 'z');
        if (c.length < 20'000)
            bytes = noise(c.length, 7);
        writeFile(path, bytes);
        QFile::remove(QString::fromStdString(DataFilePath("Pager.BAK"))); // from setting up the last case
        harness.messages.AnswerAlways(kAnswerOk);

        KS_MainForm& form = harness.Load();

        EXPECT_TRUE(shownContaining(harness.messages, "Pager.DBS is damaged or of an unknown layout. It was left unchanged."))
            << c.what;
        EXPECT_EQ(readFile(path), bytes) << c.what;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(DataFilePath("Pager.BAK")))) << c.what;
        EXPECT_TRUE(form.cmdSendPage->isEnabled()) << c.what;
    }
}

TEST(DamagedFiles, AUserTableCutAtARecordIsCompletedAndTheOriginalKept)
{
    ConsoleHarness harness(kUsers);
    const std::string path = DataFilePath("Pager.DBS");
    const std::string cut = readFile(path).substr(0, 500 * 160);
    writeFile(path, cut);

    KS_MainForm& form = harness.Load();

    // Every user number gets its record again; the users that were there stay.
    const std::string now = readFile(path);
    ASSERT_EQ(now.size(), kPagerFileLength);
    EXPECT_EQ(now.substr(0, cut.size()), cut);
    EXPECT_EQ(readFile(DataFilePath("Pager.BAK")), cut);
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 2);
    EXPECT_TRUE(harness.messages.shown().empty());
}

TEST(DamagedFiles, NoiseOfAWholeUserTableLengthStartsAndIsNotWritten)
{
    ConsoleHarness harness(kUsers);
    const std::string path = DataFilePath("Pager.DBS");
    std::string bytes = noise(kPagerFileLength, 11);
    // A few records that read as users, with a name full of control bytes and NULs.
    for (int n : {3, 400, 999})
        bytes.replace(static_cast<std::size_t>(n - 1) * 160 + 59, 1, "Y");
    writeFile(path, bytes);
    harness.messages.AnswerAlways(kAnswerOk);

    KS_MainForm& form = harness.Load();

    EXPECT_EQ(readFile(path), bytes);
    EXPECT_GE(form.lvwUsers->topLevelItemCount(), 3);
    EXPECT_TRUE(form.cmdSendPage->isEnabled());
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
        ConsoleHarness harness(kUsers);
        const std::string path = DataFilePath("Schedule.DBS");
        writeFile(path, c.bytes);
        harness.messages.AnswerAlways(kAnswerOk);

        harness.Load();
        EXPECT_EQ(readFile(path), c.bytes) << c.what;
        EXPECT_EQ(gSchedule.size(), 700u) << c.what;
        // Read again with the status line watched, as the schedule window does.
        EXPECT_TRUE(LoadScheduleDatabase()) << c.what;
        EXPECT_EQ(harness.Reported("Schedule.DBS ends in an incomplete record, which was not read.", true),
                  c.reportsTail)
            << c.what;
        EXPECT_EQ(readFile(path), c.bytes) << c.what;
        EXPECT_EQ(gSchedule[0].No, c.bytes.substr(0, 3)) << c.what;
    }
}

TEST(DamagedFiles, DamagedToneFilesAreLeftForTheToneWindowsAndNeverRewritten)
{
    const struct {
        const char* what;
        std::string schedule;
        std::string calendar;
    } cases[] = {
        {"cut inside a record", noise(100 * 73 + 5, 21), noise(68 * 10 + 3, 22)},
        {"grown beyond the week", noise(400 * 73, 23), noise(68 * 40'000, 24)},
        {"a few bytes of noise", noise(9, 25), noise(68 * 3 + 1, 26)},
    };
    for (const auto& c : cases) {
        ConsoleHarness harness(kUsers);
        const std::string schedulePath = DataFilePath("ToneGen.TGS");
        const std::string calendarPath = DataFilePath("ToneGenCalendar.TGC");
        writeFile(schedulePath, c.schedule);
        writeFile(calendarPath, c.calendar);
        harness.messages.AnswerAlways(kAnswerOk);
        harness.Load();

        // What the tone windows do when they open: read, report, keep.
        LoadToneSchedule(false);
        bool created = false;
        QDate firstDay;
        LoadToneCalendar(false, created, firstDay);

        EXPECT_EQ(readFile(schedulePath), c.schedule) << c.what;
        EXPECT_EQ(readFile(calendarPath), c.calendar) << c.what;
        EXPECT_EQ(gToneSchedule.size(), 336u) << c.what;
        EXPECT_FALSE(created) << c.what;
    }
}

TEST(DamagedFiles, ATooShortCalendarIsReportedAndKeptAsTheBackup)
{
    ConsoleHarness harness(kUsers);
    const std::string calendarPath = DataFilePath("ToneGenCalendar.TGC");
    const std::string scrap = noise(5, 31);
    writeFile(calendarPath, scrap);
    harness.Load();
    std::vector<std::string> reports;
    SetStatusSink([&](const std::string& text, bool, int) { reports.push_back(text); });

    bool created = false;
    QDate firstDay;
    ASSERT_TRUE(LoadToneCalendar(false, created, firstDay));

    // A new calendar replaces it whole; the scrap is kept, not lost.
    EXPECT_TRUE(created);
    EXPECT_EQ(readFile(calendarPath).size(), 372u * 100 * 68);
    EXPECT_EQ(readFile(DataFilePath("ToneGenCalendar.BAK")), scrap);
    EXPECT_NE(std::find(reports.begin(), reports.end(),
                        "The calendar file " + calendarPath + " could not be read."),
              reports.end());
}

TEST(DamagedFiles, ASettingsFileOfNoiseStartsTheConsoleUnconfiguredAndIsNotWritten)
{
    std::string section;
    const SettingsFile settings = SettingsFile::ForRegistryKey(ConfigKey(), &section);
    const std::string path = settings.path().toStdString();
    const std::string garbage = noise(4096, 41) + "\n[Config]\nConnectionType=\x01\xff\nSerial COM Port=99999999\n"
                                + "COMPortSettings=fast,Q,9,0\nAutoHide=maybe\n" + noise(300, 42);
    writeFile(path, garbage);

    LoadConfiguration();
    EXPECT_FALSE(gDatabaseFound);
    EXPECT_FALSE(gAutoHide);
    EXPECT_EQ(gSerialPort, 0); // a number that does not fit is no port

    ConsoleHarness harness({}, false);
    harness.messages.AnswerAlways(kAnswerOk);
    LoadConfiguration();
    KS_MainForm& form = harness.Load();

    EXPECT_TRUE(shownContaining(harness.messages, "is not configured yet."));
    EXPECT_FALSE(form.cmdSendPage->isEnabled());
    EXPECT_EQ(readFile(path), garbage);
}

TEST(DamagedFiles, ASettingsFileWithNoiseAroundAGoodFolderStillFindsTheUsers)
{
    ConsoleHarness harness(kUsers);
    std::string section;
    const SettingsFile settings = SettingsFile::ForRegistryKey(ConfigKey(), &section);
    const std::string path = settings.path().toStdString();
    const std::string text = noise(2000, 51) + "\n[Config]\r\nFolder=" + gDataFolder + "\r\nConnectionType=1\r\n"
                             + "Serial COM Port=1\r\nCOMPortSettings=38400,N,8,1\r\n" + noise(2000, 52);
    writeFile(path, text);

    LoadConfiguration();
    ASSERT_TRUE(gDatabaseFound);
    KS_MainForm& form = harness.Load();

    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 2);
    EXPECT_EQ(form.lblConnectionStatus->text().left(13), "Connected to ");
    EXPECT_EQ(readFile(path), text);
}
