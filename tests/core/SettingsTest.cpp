#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "KS_Globals.h"
#include "KS_Registry.h"
#include "SettingsFile.h"

namespace {
QString settingsPath() { return qEnvironmentVariable("XDG_CONFIG_HOME") + "/Kestrane/Pagora.conf"; }

void writeSettingsFile(const QByteArray& content)
{
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME") + "/Kestrane");
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}
} // namespace

TEST(Settings, ValuesRoundTripVerbatimInTheConfigSectionAndEmptyIsStoredAsOneSpace)
{
    SaveConfigSetting("Folder", "/data/pag ing;x,y\\z");
    SaveConfigSetting("Phone", "");
    EXPECT_EQ(GetConfigSetting("Folder"), "/data/pag ing;x,y\\z");
    EXPECT_EQ(GetConfigSetting("Phone"), " ");
    EXPECT_EQ(GetConfigSetting("Phone", "default"), "default"); // blank reads as the default
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Config]\nFolder=/data/pag ing;x,y\\z\nPhone= \n"));

    writeSettingsFile("[Config]\nPhone=   \n");
    EXPECT_EQ(GetConfigSetting("Phone", ""), "");
}

TEST(Settings, OtherSectionsAndUnknownLinesSurviveAWrite)
{
    writeSettingsFile("# kept\n[Other]\nFolder=elsewhere\n[Config]\nAutoHide=1\n");
    SaveConfigSetting("Folder", "/here");
    SaveConfigSetting("AutoHide", "0");
    EXPECT_EQ(GetConfigSetting("Folder"), "/here");
    EXPECT_EQ(GetConfigSetting("AutoHide"), "0");
    EXPECT_EQ(SettingsFile(settingsPath()).Read("Other", "Folder").value_or(""), "elsewhere");
}

TEST(Settings, AWindowsLineEndOnTheLastLineIsNoPartOfTheValue)
{
    // A CR left in the phone number would end the dial command early.
    writeSettingsFile("[Config]\r\nFolder=/data\r\nPhone=5551234\r");
    EXPECT_EQ(GetConfigSetting("Phone"), "5551234");
    SaveConfigSetting("Folder", "/other");
    EXPECT_EQ(GetConfigSetting("Phone"), "5551234");
    EXPECT_EQ(GetConfigSetting("Folder"), "/other");
}

TEST(Settings, WritingOneValueGivesEveryOtherLineBackByteForByte)
{
    const std::string before = "[Config]\r\nPhone=555\r\r\r\n\r\nAutoHide=1\r";
    const std::string after = WriteSetting(before, "Config", "Folder", "/data");
    EXPECT_EQ(after, "[Config]\r\nPhone=555\r\r\r\n\r\nAutoHide=1\r\nFolder=/data\n");
    EXPECT_EQ(ReadSetting(after, "Config", "Phone"), ReadSetting(before, "Config", "Phone"));
    EXPECT_EQ(ReadSetting(after, "Config", "Phone"), "555\r\r");
}

TEST(Settings, MissingOrUnreadableFileGivesTheDefaults)
{
    QDir().mkpath(settingsPath()); // a folder where the file should be
    gDataFolder = "stale";
    LoadConfiguration();
    EXPECT_EQ(gDataFolder, "");
    EXPECT_EQ(gComSettings, "38400,N,8,1");
    EXPECT_EQ(gToneGenFile, "");
    EXPECT_FALSE(gDatabaseFound);
}

TEST(Settings, ConversionsOfNumbersFlagsAndNumericText)
{
    writeSettingsFile("[Config]\nConnectionType=2 (modem)\nSerial COM Port=70000\nSBChars=24abc\nSBLines=abc\n"
                      "AutoHide=True\nShowHelpMessage=0\nAutoTimeSet=maybe\nUTCTimeOverride=-1\n");
    LoadConfiguration();
    EXPECT_EQ(gConnectionType, 2);
    EXPECT_EQ(gSerialPort, 0); // does not fit 16 bits: the default
    EXPECT_EQ(gSBChars, "24");
    EXPECT_EQ(gSBLines, "0");
    EXPECT_TRUE(gAutoHide);
    EXPECT_FALSE(gShowHelpMessage);
    EXPECT_FALSE(gAutoTimeSet);
    EXPECT_TRUE(gUTCTimeOverride);
}

TEST(Settings, ToneFilesDefaultBesideTheDataFolderAndDatabaseNeedsARealFile)
{
    const QString folder = qEnvironmentVariable("XDG_DATA_HOME") + "/db";
    QDir().mkpath(folder + "/Pager.DBS"); // a folder of that name is no user table
    SaveConfigSetting("Folder", folder.toStdString());
    LoadConfiguration();
    EXPECT_EQ(gToneGenFile, folder.toStdString() + "/ToneGen.TGS");
    EXPECT_EQ(gToneGenCalendarFile, folder.toStdString() + "/ToneGenCalendar.TGC");
    EXPECT_FALSE(gDatabaseFound);

    QDir(folder).rmdir("Pager.DBS");
    QFile file(folder + "/Pager.DBS");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    LoadConfiguration();
    EXPECT_TRUE(gDatabaseFound);
}

TEST(Settings, PasswordCodecReversesAndUsesThreeDigitsPerCharacter)
{
    EXPECT_EQ(EncodeStoredPassword("ab"), "098097");
    for (std::string password : {"", "Secret 1", "\xE9t\xE9"})
        EXPECT_EQ(DecodeStoredPassword(EncodeStoredPassword(password)), password);
    // Not our encoding: no password rather than a garbled one.
    EXPECT_EQ(DecodeStoredPassword("09a097"), "");
    SaveConfigSetting("InfoSec", EncodeStoredPassword("")); // stored as one space
    LoadConfiguration();
    EXPECT_EQ(gAdminPassword, "");
}
