#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "ConsoleHarness.h"
#include "KS_GEN_Configure.h"
#include "KS_SYS_Login.h"

namespace {

// The console running on a configured data folder, as the settings file says.
struct ConfigureFixture : testing::Test {
    static KS_MainForm& loadConfigured(ConsoleHarness& harness)
    {
        SaveConfigSetting("Folder", gDataFolder);
        SaveConfigSetting("ConnectionType", "1");
        SaveConfigSetting("Serial COM Port", "1");
        return harness.Load();
    }
    // A folder beside the data folder that does not exist yet.
    std::string missingFolder(const char* name) const
    {
        return QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath(name).toStdString();
    }
    ConsoleHarness harness{{{1, "Anna", "A"}}};
    KS_GEN_Configure dialog{&loadConfigured(harness)};
};

} // namespace

TEST_F(ConfigureFixture, AMissingFolderIsCreatedWithAnEmptyUserTableAndTheLinkIsSetUpAgain)
{
    const std::string folder = missingFolder("fresh");
    // Blanks and every trailing separator go.
    dialog.txtPath->setText(QString::fromStdString("  " + folder + "\\\\/ "));
    dialog.txtPassword->clear();
    harness.messages.Answer(kAnswerYes);

    ASSERT_TRUE(dialog.UpdateConfiguration());
    EXPECT_NE(harness.messages.texts()[0].find("Folder does not exist. Do you want to create the " + PathInText(folder) + " folder ?"),
              std::string::npos);
    EXPECT_EQ(GetConfigSetting("Folder"), folder);
    EXPECT_TRUE(gDatabaseFound);
    EXPECT_EQ(QFileInfo(QDir(QString::fromStdString(folder)).filePath("Pager.DBS")).size(), 999 * 160);
    EXPECT_TRUE(QFileInfo::exists(QDir(QString::fromStdString(folder)).filePath("Schedule.DBS")));
    EXPECT_TRUE(harness.form().comUnitConnect->PortOpen());
    const auto lines = harness.HostLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "?000M"), lines.end()); // the encoder is identified again
    // A blank password is stored as one space and read back as none.
    EXPECT_EQ(GetConfigSetting("InfoSec"), " ");
    EXPECT_EQ(gAdminPassword, "");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ConfigureFixture, AFolderThatCannotBeCreatedOrIsAFileIsReportedAndNothingIsWritten)
{
    const std::string folder = gDataFolder;
    dialog.txtPath->setText(QString::fromStdString(missingFolder("no/such/parent")));
    dialog.txtPassword->setText("secret");
    harness.messages.Answer(kAnswerYes);
    harness.messages.Answer(kAnswerOk);
    EXPECT_FALSE(dialog.UpdateConfiguration());
    ASSERT_EQ(harness.messages.shown().size(), 2u);
    EXPECT_EQ(harness.messages.texts()[1],
              "Unable to create working folders. Please confirm that you have the appropriate access permissions.");
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    // A file is no folder to offer to create.
    const std::string file = DataFilePath("Pager.DBS");
    dialog.txtPath->setText(QString::fromStdString(file));
    harness.messages.Answer(kAnswerOk);
    EXPECT_FALSE(dialog.UpdateConfiguration());
    ASSERT_EQ(harness.messages.shown().size(), 3u);
    EXPECT_EQ(harness.messages.texts()[2],
              "Path is not valid: " + PathInText(file) + " is a file, not a folder. Please confirm database location.");
    EXPECT_EQ(harness.messages.shown()[2].icon, kIconCritical);

    // The running program and the next start keep the folder they had.
    EXPECT_EQ(gDataFolder, folder);
    EXPECT_EQ(GetConfigSetting("Folder"), folder);
    EXPECT_EQ(GetConfigSetting("InfoSec"), "");
    EXPECT_TRUE(gDatabaseFound);
}

TEST_F(ConfigureFixture, ValidationStopsAtTheFirstFaultWithNothingWritten)
{
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
    KS_GEN_Configure modemDialog(&harness.form());
    modemDialog.show();
    ASSERT_TRUE(modemDialog.optConnect[1]->isChecked());
    EXPECT_FALSE(modemDialog.cmbCom->isEnabled());
    modemDialog.optConnect[0]->setChecked(true);
    modemDialog.cmbCom->setCurrentIndex(0);
    harness.messages.Answer(kAnswerNo);
    EXPECT_FALSE(modemDialog.UpdateConfiguration());
    EXPECT_NE(harness.messages.texts().back().find("by modem. Changing the Connection Type will disconnect"),
              std::string::npos);
    EXPECT_EQ(modemDialog.focusWidget(), modemDialog.optConnect[0]);
    EXPECT_EQ(GetConfigSetting("ConnectionType"), "2");
    EXPECT_TRUE(gModemConnected);
}

TEST_F(ConfigureFixture, DeleteWorksInEveryFilteredBox)
{
    dialog.show();
    dialog.txtPhone->setEnabled(true); // as with the modem chosen
    for (QLineEdit* box : {harness.form().txtUserID, dialog.txtPhone, dialog.txtCharPerLine}) {
        SCOPED_TRACE(box->objectName().toStdString());
        box->setText("12");
        box->setCursorPosition(0);
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_Delete, QString(QChar(0x7F)), Qt::NoModifier); // DEL its text
        EXPECT_EQ(box->text(), "2");
    }
}

TEST_F(ConfigureFixture, EachPasswordCharacterShowsAsAStar)
{
    KS_SYS_Login login;
    for (QLineEdit* box : {dialog.txtPassword, login.txtPassword}) {
        box->setText("abc");
        EXPECT_EQ(box->displayText(), "***");
    }
}

TEST_F(ConfigureFixture, SignBoardSizesAreHeldToTheirRangesAndWrittenEvenWhenHidden)
{
    gShowSBSupport = false;
    KS_GEN_Configure hidden(&harness.form());
    EXPECT_TRUE(hidden.fraSimulation->isHidden());
    hidden.txtCharPerLine->setText("40");
    hidden.txtCharPerLine_LostFocus();
    EXPECT_EQ(hidden.txtCharPerLine->text(), "32");
    hidden.txtCharPerLine->setText("1");
    hidden.txtCharPerLine_LostFocus();
    EXPECT_EQ(hidden.txtCharPerLine->text(), "02");
    EXPECT_EQ(hidden.updCharPerLine->value(), 2);
    hidden.txtLines->setText("9");
    hidden.txtLines_LostFocus();
    EXPECT_EQ(hidden.txtLines->text(), "8");

    ASSERT_TRUE(hidden.UpdateConfiguration());
    EXPECT_EQ(GetConfigSetting("SBChars"), "02");
    EXPECT_EQ(GetConfigSetting("SBLines"), "8");
    EXPECT_EQ(gSBChars, "2");
}

TEST_F(ConfigureFixture, EachSignBoardSizeShowsOnceWithItsArrowsAgainstTheBoxAndTheTabStopsAtTheBox)
{
    SaveConfigSetting("SBChars", "24");
    SaveConfigSetting("SBLines", "3");
    SaveConfigSetting("ShowSBSupport", "1");
    KS_GEN_Configure shown(&harness.form());
    shown.show();
    for (const auto& [number, box, upDown] : {std::tuple{"24", shown.txtCharPerLine, shown.updCharPerLine},
                                              std::tuple{"3", shown.txtLines, shown.updLines}}) {
        SCOPED_TRACE(number);
        std::vector<std::string> showing;
        for (const QLineEdit* edit : shown.findChildren<QLineEdit*>())
            if (edit->isVisible() && edit->width() > 0 && edit->text() == number)
                showing.push_back(edit->objectName().toStdString());
        EXPECT_EQ(showing, std::vector<std::string>{box->objectName().toStdString()});
        EXPECT_EQ(upDown->geometry().left(), box->geometry().right() + 1);
        EXPECT_FALSE(upDown->focusPolicy() & Qt::TabFocus);
    }
    shown.updLines->stepUp();
    EXPECT_EQ(shown.txtLines->text(), "4");
}

TEST_F(ConfigureFixture, AFolderWithANonAsciiNameIsFoundCreatedAndStoredAsTheFileSystemNamesIt)
{
    const QString base = qEnvironmentVariable("XDG_DATA_HOME") + "/";
    const QString existing = base + QString::fromUtf8("jos\xC3\xA9");
    QDir().mkpath(existing);
    dialog.txtPath->setText(existing);
    ASSERT_TRUE(dialog.UpdateConfiguration()); // no "does not exist" question
    EXPECT_EQ(GetConfigSetting("Folder"), base.toStdString() + "jos\xC3\xA9");
    EXPECT_TRUE(QFileInfo(existing + "/Pager.DBS").isFile());

    KS_GEN_Configure reopened(&harness.form());
    EXPECT_EQ(reopened.txtPath->text(), existing);

    const QString missing = base + QString::fromUtf8("Ren\xC3\xA9");
    reopened.txtPath->setText(missing);
    harness.messages.Answer(kAnswerYes);
    ASSERT_TRUE(reopened.UpdateConfiguration());
    // The question is in the message box's code page: é is one byte there.
    EXPECT_EQ(harness.messages.texts().back(),
              "Folder does not exist. Do you want to create the " + FromQString(base) + "Ren\xE9 folder ?");
    EXPECT_TRUE(QFileInfo(missing + "/Pager.DBS").isFile());
}

TEST_F(ConfigureFixture, BrowseShowsTheChosenFolderAsNamedAndACancelledBrowseEmptiesThePath)
{
    const QString chosen = qEnvironmentVariable("XDG_DATA_HOME") + QString::fromUtf8("/Stra\xC3\x9F" "e");
    QDir().mkpath(chosen);
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel);
        dialog.txtPath->setText("typed");
        QTimer::singleShot(0, [&] {
            auto* browser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(browser, nullptr);
            EXPECT_EQ(browser->directory().absolutePath(), QString::fromStdString(gDataFolder)); // not the working folder
            if (cancel) {
                browser->reject();
                return;
            }
            browser->setDirectory(chosen);
            QMetaObject::invokeMethod(browser, "accept");
        });
        dialog.cmdBrowse->click();
        EXPECT_EQ(dialog.txtPath->text(), cancel ? QString() : chosen);
    }
}

TEST_F(ConfigureFixture, TheDatabasePathTakesACharacterOutsideTheDataFilesCodePageTypedOnceTheDialogShows)
{
    dialog.show();
    QApplication::processEvents();
    const QString polishL = QString::fromUtf8("\u0141"); // not in Windows-1252
    for (QLineEdit* box : {dialog.txtPath, dialog.txtPassword}) {
        box->setText("ab");
        box->setCursorPosition(2);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, polishL);
        QApplication::sendEvent(box, &press);
    }
    // A folder name is the file system's; the password is stored in the code page.
    EXPECT_EQ(dialog.txtPath->text(), "ab" + polishL);
    EXPECT_EQ(dialog.txtPassword->text(), "ab");
}

TEST(Configure, AFolderLongerThanTheBoxTakesTypedIsShownAndKeptWhole)
{
    ConsoleHarness harness{{{1, "Anna", "A"}}};
    const QString folder = qEnvironmentVariable("XDG_DATA_HOME") + "/" + QString(120, 'a') + "/" + QString(120, 'b');
    ASSERT_GT(folder.size(), 250);
    QDir().mkpath(folder);
    QFile::copy(QString::fromStdString(DataFilePath("Pager.DBS")), folder + "/Pager.DBS");
    gDataFolder = folder.toStdString();
    SaveConfigSetting("Folder", gDataFolder);
    SaveConfigSetting("ConnectionType", "1");
    SaveConfigSetting("Serial COM Port", "1");
    KS_GEN_Configure dialog{&harness.Load()};
    EXPECT_EQ(dialog.txtPath->text(), folder);
    dialog.txtPassword->clear();
    ASSERT_TRUE(dialog.UpdateConfiguration());
    EXPECT_TRUE(harness.messages.texts().empty());
    EXPECT_EQ(GetConfigSetting("Folder"), folder.toStdString());
    EXPECT_TRUE(gDatabaseFound);
}
