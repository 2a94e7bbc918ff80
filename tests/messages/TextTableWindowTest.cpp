// The fast-key and PABX windows through their controls, over the main window
// and the simulated encoder.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "ConsoleHarness.h"
#include "KS_MainForm.h"
#include "KS_ListWindow.h"
#include "KS_MessageWindows.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_Toolbar.h"
#include "KS_WindowRegistry.h"
#include "TableFixture.h"

using Lines = std::vector<std::string>;

namespace {

struct TableWindow : testing::Test {
    TableWindow() { RegisterMessageWindows(); }

    KS_PPM_MessagesTable& open(std::string_view form)
    {
        harness.HostLines();
        auto* window = static_cast<KS_PPM_MessagesTable*>(CreateRegisteredWindow(form, &harness.form()));
        harness.form().OpenOwnedWindow(window, false);
        return *window;
    }
    static QStringList labels(const QTreeWidget* list)
    {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(0);
        return texts;
    }
    // Opens the edit dialog on the row, types the text and clicks Ok; returns the dialog's caption.
    QString edit(KS_PPM_MessagesTable& list, int row, const QString& text, const char* editForm)
    {
        QString caption;
        SelectListRow(list.lvwMessages, list.lvwMessages->topLevelItem(row));
        QTimer::singleShot(0, [&] {
            auto* dialog = list.findChild<QDialog*>(editForm);
            if (!dialog)
                return;
            caption = dialog->windowTitle();
            dialog->findChild<QLineEdit*>("txtMessage")->setText(text);
            dialog->findChild<QPushButton*>("cmdOk")->click();
        });
        list.lvwMessages_DblClick();
        return caption;
    }
    ConsoleHarness harness;
};

TEST_F(TableWindow, FastkeyWindowDownloadsLabelsAndSavesTheSelectedKey)
{
    harness.engine.SetMessageSlot('K', 1, padded("Front door"));
    harness.Load();
    KS_PPM_MessagesTable& list = open(FormName::MessagesFastkey);
    EXPECT_EQ(list.pos(), QPoint(173, 147));
    EXPECT_EQ(labels(list.lvwMessages),
              (QStringList{"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "ALT + F11", "ALT + F12"}));
    EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(1), "Front door                    ");
    EXPECT_TRUE(list.cmdUpload->isEnabled() && list.cmdDownload->isEnabled());
    EXPECT_EQ(ToolbarAction(list.tlbMenu, "cmdDownload")->toolTip(), "Download Messages from QX9860");
    harness.HostLines();

    EXPECT_EQ(edit(list, 10, "  Lobby call  ", "KS_PPM_MessagesFastkeyAdd"),
              "Fastkey Messages - Fastkey ALT + F11 - Update");
    EXPECT_EQ(edit(list, 2, "Nurse", "KS_PPM_MessagesFastkeyAdd"), "Fastkey Messages - Fastkey F3 - Update");
    EXPECT_EQ(harness.HostLines(), (Lines{"K11" + padded("Lobby call") + "W", "K03" + padded("Nurse") + "W"}));
    EXPECT_EQ(readFile("PPM_Fastkey.DBS").substr(1000, 100), record("11 ", padded("Lobby call")));
}

TEST_F(TableWindow, PABXRowsSortByTheirNumberAndSaveUnderIt)
{
    writeFile("PPM_PABXDI.DBS", record("002", padded("Upgraded two")) + record("10 ", padded("Ten"))
                                    + record("01 ", padded("One")) + record("07 ", padded("Seven")));
    harness.Load();
    KS_PPM_MessagesTable& list = open(FormName::MessagesPABX);
    EXPECT_EQ(labels(list.lvwMessages), (QStringList{"01 ", "002", "07 ", "10 "}));
    EXPECT_EQ(edit(list, 2, "Reception", "KS_PPM_MessagesPABXAdd"),
              "PABX Messages - PABX Message 07  - Update");
    EXPECT_EQ(harness.HostLines(), Lines{"C07" + padded("Reception") + "W"});
    EXPECT_EQ(readFile("PPM_PABXDI.DBS").substr(600, 100), record("07 ", padded("Reception")));
    EXPECT_EQ(labels(list.lvwMessages), (QStringList{"01 ", "002", "07 ", "10 "}));
}

TEST_F(TableWindow, DownloadAndUploadRunFromTheButtonsAfterTheirQuestions)
{
    writeFile("PPM_Fastkey.DBS", record("01 ", padded("Kept")) + unread("02 "));
    harness.engine.SetMessageSlot('K', 2, padded("From the unit"));
    harness.Load();
    KS_PPM_MessagesTable& list = open(FormName::MessagesFastkey);

    harness.messages.Answer(kAnswerYes);
    harness.messages.Answer(kAnswerOk); // only 1 of the 12 slots held something to send
    list.cmdUpload->click();
    EXPECT_EQ(list.lblInfo->text(), "Done !");
    EXPECT_TRUE(list.prgProgress->isHidden());
    EXPECT_EQ(harness.messages.texts().at(0),
              "These messages will replace the exisiting messages on the QX9860. Are you sure you want to continue ? ");

    harness.messages.Answer(kAnswerNo);
    list.cmdDownload->click();
    EXPECT_EQ(list.lvwMessages->topLevelItemCount(), 2);
    harness.messages.Answer(kAnswerYes);
    ToolbarAction(list.tlbMenu, "cmdDownload")->trigger();
    EXPECT_EQ(harness.messages.texts().back(),
              "Current Fastkey Messages file on this computer will be overwritten. Are you sure you want to continue ?");
    EXPECT_EQ(list.lvwMessages->topLevelItemCount(), 12);
    EXPECT_EQ(list.lvwMessages->topLevelItem(1)->text(1), padded("From the unit").c_str());
    EXPECT_TRUE(harness.messages.queueEmpty());
}

TEST_F(TableWindow, AnEncoderWithoutTheTableGetsBlankSlotsAndFileOnlySaves)
{
    harness.engine.SetModel('E');
    harness.Load();
    harness.messages.AnswerAlways(kAnswerOk);
    KS_PPM_MessagesTable& list = open(FormName::MessagesFastkey);
    EXPECT_FALSE(list.cmdUpload->isEnabled() || list.cmdDownload->isEnabled());
    EXPECT_EQ(list.lvwMessages->topLevelItemCount(), 10);
    EXPECT_EQ(readFile("PPM_Fastkey.DBS").substr(900), unread("10 ")); // ten numbered slots, none read
    harness.HostLines();

    edit(list, 0, "Door", "KS_PPM_MessagesFastkeyAdd");
    EXPECT_EQ(harness.HostLines(), Lines{});
    EXPECT_EQ(harness.messages.texts().back(),
              "Connection to QX7015 cannot be established or Fastkey Messages option is not supported by the QX7015. "
              "\r\nThe QX7015 will not be updated.");
    EXPECT_EQ(readFile("PPM_Fastkey.DBS").substr(0, 100), record("01 ", padded("Door")));
}

TEST_F(TableWindow, TheMenuOpensTheWindowEvenWhenTheProbeFails)
{
    harness.Load();
    harness.engine.AddFault(lastingFault(sim::FaultKind::Silence, "", sim::MatchMode::Exact));
    harness.messages.AnswerAlways(kAnswerOk);
    QString opened;
    QTimer::singleShot(0, [&] {
        if (auto* list = harness.form().findChild<KS_PPM_MessagesTable*>("KS_PPM_MessagesPABX")) {
            opened = list->objectName();
            list->cmdClose->click();
        }
    });
    harness.form().mnuMessagesOptions_Click(2);
    EXPECT_EQ(opened, "KS_PPM_MessagesPABX");
    const auto texts = harness.messages.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_TRUE(texts[0].starts_with("Communication with the QX9860 cannot be established."));
    EXPECT_EQ(texts[1], "Messages file was not found and communication with the QX9860 cannot be established. "
                        "Messages could not be loaded.");
    EXPECT_FALSE(FileExists(DataFilePath("PPM_PABXDI.DBS")));
    EXPECT_FALSE(harness.form().OpenerDisabled());
}

} // namespace
