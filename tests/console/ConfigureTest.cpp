#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

#include "CommPort.h"
#include "ConsoleHarness.h"
#include "KS_GEN_Configure.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Registry.h"
#include "RecordFile.h"
#include "TestSupport.h"

namespace {

// The console running on a configured data folder, as the settings file says.
struct ConfigureFixture : testing::Test {
    ConfigureFixture()
    {
        SaveConfigSetting("Folder", gDataFolder);
        SaveConfigSetting("ConnectionType", "1");
        SaveConfigSetting("Serial COM Port", "1");
        harness.Load();
    }
    std::string missingFolder(const std::string& name) const
    {
        return QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath(QString::fromStdString(name)).toStdString();
    }
    ConsoleHarness harness{{{1, "Anna", "A"}}};
};

std::string fileOf(const std::string& folder, const char* name)
{
    return QDir(QString::fromStdString(folder)).filePath(name).toStdString();
}

} // namespace

TEST(ConfigurePath, BlanksAndEveryTrailingSeparatorGo)
{
    EXPECT_EQ(CleanDataFolderPath("  /srv/pagora\\\\/  "), "/srv/pagora");
    EXPECT_EQ(CleanDataFolderPath("   "), "");
}

TEST_F(ConfigureFixture, AMissingFolderIsCreatedWithAnEmptyUserTableAndTheLinkIsSetUpAgain)
{
    KS_GEN_Configure dialog(&harness.form());
    const std::string folder = missingFolder("fresh");
    dialog.txtPath->setText(QString::fromStdString("  " + folder + "\\\\ "));
    dialog.txtPassword->clear();
    harness.messages.Answer(kAnswerYes);

    ASSERT_TRUE(dialog.UpdateConfiguration());
    EXPECT_NE(harness.messages.texts()[0].find("Folder does not exist. Do you want to create the " + folder + " folder ?"),
              std::string::npos);
    EXPECT_EQ(GetConfigSetting("Folder"), folder);
    EXPECT_TRUE(gDatabaseFound);
    EXPECT_EQ(QFileInfo(QString::fromStdString(fileOf(folder, "Pager.DBS"))).size(), 999 * 160);
    EXPECT_TRUE(FileExists(fileOf(folder, "Schedule.DBS")));
    EXPECT_TRUE(harness.form().comUnitConnect->PortOpen());
    bool identified = false;
    for (const auto& line : harness.HostLines())
        identified |= line.rfind("?000M", 0) == 0;
    EXPECT_TRUE(identified);
    // A blank password is stored as one space and read back as none.
    EXPECT_EQ(GetConfigSetting("InfoSec"), " ");
    EXPECT_EQ(gAdminPassword, "");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ConfigureFixture, AFolderThatCannotBeCreatedIsReportedAndNothingCountsAsFound)
{
    KS_GEN_Configure dialog(&harness.form());
    const std::string folder = missingFolder("no/such/parent");
    dialog.txtPath->setText(QString::fromStdString(folder));
    harness.messages.Answer(kAnswerYes);
    harness.messages.Answer(kAnswerOk);
    EXPECT_FALSE(dialog.UpdateConfiguration());
    ASSERT_EQ(harness.messages.shown().size(), 2u);
    EXPECT_EQ(harness.messages.texts()[1],
              "Unable to create working folders. Please confirm that you have the appropriate access permissions.");
    EXPECT_FALSE(gDatabaseFound);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(ConfigureFixture, ValidationStopsAtTheFirstFaultWithNothingWritten)
{
    KS_GEN_Configure dialog(&harness.form());
    dialog.show();
    dialog.txtPath->setText("  \\ ");
    harness.messages.Answer(kAnswerOk);
    EXPECT_FALSE(dialog.UpdateConfiguration());
    EXPECT_EQ(harness.messages.texts().back(), "Path is not valid. Please confirm database location.");
    EXPECT_EQ(GetConfigSetting("Folder"), gDataFolder);

    dialog.txtPath->setText(QString::fromStdString(gDataFolder));
    dialog.optConnect[1]->setChecked(true);
    dialog.cmbComModem->setCurrentIndex(2);
    dialog.txtPhone->setText("   ");
    harness.messages.Answer(kAnswerOk);
    EXPECT_FALSE(dialog.UpdateConfiguration());
    EXPECT_EQ(harness.messages.texts().back(), "Please enter Phone number to dial.");
    EXPECT_EQ(GetConfigSetting("ConnectionType"), "1");
}

TEST_F(ConfigureFixture, GoingSerialDuringAModemCallAndAnsweringNoKeepsEverything)
{
    SaveConfigSetting("ConnectionType", "2");
    SaveConfigSetting("Modem COM Port", "2");
    SaveConfigSetting("Phone", "5551234");
    gModemConnected = true;
    KS_GEN_Configure dialog(&harness.form());
    dialog.show();
    ASSERT_TRUE(dialog.optConnect[1]->isChecked());
    EXPECT_FALSE(dialog.cmbCom->isEnabled());
    dialog.optConnect[0]->setChecked(true);
    dialog.cmbCom->setCurrentIndex(0);
    harness.messages.Answer(kAnswerNo);
    EXPECT_FALSE(dialog.UpdateConfiguration());
    EXPECT_NE(harness.messages.texts().back().find("by modem. Changing the Connection Type will disconnect"),
              std::string::npos);
    EXPECT_EQ(dialog.focusWidget(), dialog.optConnect[0]);
    EXPECT_EQ(GetConfigSetting("ConnectionType"), "2");
    EXPECT_TRUE(gModemConnected);
}

TEST_F(ConfigureFixture, SignBoardSizesAreHeldToTheirRangesAndWrittenEvenWhenHidden)
{
    gShowSBSupport = false;
    KS_GEN_Configure dialog(&harness.form());
    EXPECT_TRUE(dialog.fraSimulation->isHidden());

    dialog.txtCharPerLine->setText("40");
    dialog.txtCharPerLine_LostFocus();
    EXPECT_EQ(dialog.txtCharPerLine->text(), "32");
    dialog.txtCharPerLine->setText("1");
    dialog.txtCharPerLine_LostFocus();
    EXPECT_EQ(dialog.txtCharPerLine->text(), "02");
    EXPECT_EQ(dialog.updCharPerLine->value(), 2);
    dialog.txtLines->setText("9");
    dialog.txtLines_LostFocus();
    EXPECT_EQ(dialog.txtLines->text(), "8");

    ASSERT_TRUE(dialog.UpdateConfiguration());
    EXPECT_EQ(GetConfigSetting("SBChars"), "02");
    EXPECT_EQ(GetConfigSetting("SBLines"), "8");
    EXPECT_EQ(gSBChars, "2");
}
