// The fast-key, PABX and free-text windows through their controls, over the
// main window and the simulated encoder.
#include <QProgressBar>
#include <QTest>
#include <QToolBar>

#include "KS_Toolbar.h"
#include "TableFixture.h"

namespace {

TEST(TableWindow, FastkeyWindowDownloadsLabelsAndSavesTheSelectedKey)
{
    WindowRig t;
    t.harness.engine.SetMessageSlot('K', 1, padded("  Front door"));
    t.load('X');
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFastkey);
    ASSERT_EQ(list.lvwMessages->topLevelItemCount(), 12);
    EXPECT_EQ(list.lvwMessages->topLevelItem(9)->text(0) + list.lvwMessages->topLevelItem(10)->text(0), "F10ALT + F11");
    EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(1), "  Front door                  ");
    t.edit(list, 10, [](QDialog& d) { type(d, "txtMessage", "  Lobby call  "); });
    t.edit(list, 0, [](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("txtMessage")->text(), "Front door");
        type(d, "txtMessage", "Nurse");
    });
    EXPECT_EQ(t.harness.HostLines(), (Lines{"K11" + padded("Lobby call") + "W", "K01" + padded("Nurse") + "W"}));
    EXPECT_EQ(readFile("PPM_Fastkey.DBS").substr(1000, 100), record("11 ", padded("Lobby call")));
    EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(1), "Nurse");
}

// A file that lacks slots, or whose first records were never written, still
// lists every slot the unit has under its number, and each of them saves.
TEST(TableWindow, RowsAreTheirRecordPositionsAndAShortFileListsEverySlot)
{
    struct Case {
        const char* form;
        const char* version;
        const char* silent; // a read left unanswered, so the first download ends with No
        int rows;
        int firstEdit;
        const char* box;
        const char* written; // the file after that save, its length
        std::size_t length;
        QString label5;
        const char* line5; // the start of the write of the fifth row
    } cases[] = {
        {FormName::MessagesPABX.data(), "3.2", "C01?", 16, 2, "txtMessage", "PPM_PABXDI.DBS", 300, "05 ", "C05Gate"},
        {FormName::MessagesFreetext.data(), "3.09", nullptr, 49, 0, "txtKeyword", "PPM_Freetext.DBS", 70, "05",
         "F05Gate"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        WindowRig t;
        t.load('X', c.version);
        if (c.silent)
            t.harness.engine.AddFault(lastingFault(sim::FaultKind::Silence, c.silent, sim::MatchMode::Exact));
        t.harness.messages.Answer(kAnswerNo);
        KS_PPM_MessagesTable* list = &t.open(c.form);
        ASSERT_EQ(list->lvwMessages->topLevelItemCount(), c.rows);
        EXPECT_FALSE(FileExists(DataFilePath(c.written)));
        t.edit(*list, c.firstEdit, [&c](QDialog& d) { type(d, c.box, "Door"); });
        EXPECT_EQ(readFile(c.written).size(), c.length);
        list->close();

        list = &t.open(c.form);
        ASSERT_EQ(list->lvwMessages->topLevelItemCount(), c.rows);
        EXPECT_EQ(list->lvwMessages->topLevelItem(4)->text(0), c.label5);
        EXPECT_FALSE(t.edit(*list, 4, [&c](QDialog& d) { type(d, c.box, "Gate"); }));
        const Lines sent = t.harness.HostLines();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_TRUE(sent[0].starts_with(c.line5)) << sent[0];
        EXPECT_TRUE(t.harness.messages.queueEmpty());
    }
}

// A line break or tab kept in the file shows as the space it is sent as, the row one line high.
TEST(TableWindow, AStoredControlCharacterShowsAsASpaceInItsRow)
{
    WindowRig t;
    writeFile("PPM_PABXDI.DBS", record("01 ", padded("Gate\r\nB\tclosed")));
    t.load('X');
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesPABX);
    EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(1).toStdString(), padded("Gate  B closed"));
}

TEST(TableWindow, DownloadRunsFromTheButtonAfterItsQuestion)
{
    WindowRig t;
    writeFile("PPM_Fastkey.DBS", record("01 ", padded("Kept")));
    t.harness.engine.SetMessageSlot('K', 2, padded("From the unit"));
    t.load('X');
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFastkey);
    t.harness.messages.Answer(kAnswerNo);
    list.cmdDownload->click();
    EXPECT_EQ(readFile("PPM_Fastkey.DBS"), record("01 ", padded("Kept")));
    t.harness.messages.Answer(kAnswerYes);
    ToolbarAction(list.tlbMenu, "cmdDownload")->trigger();
    EXPECT_EQ(t.harness.messages.texts().back(),
              "Current Fastkey Messages file on this computer will be overwritten. Are you sure you want to continue ?");
    EXPECT_EQ(list.lvwMessages->topLevelItem(1)->text(1), padded("From the unit").c_str());
    EXPECT_EQ(readFile("PPM_Fastkey.BAK"), record("01 ", padded("Kept")));
    EXPECT_TRUE(t.harness.messages.queueEmpty());
}

// A transfer greys the window's controls, which takes the caret: it comes
// back to the list it was in, whether the command came by a click or the toolbar.
TEST(TableWindow, TheCaretIsBackInTheListAfterATransfer)
{
    WindowRig t;
    t.load('X');
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFastkey);
    list.activateWindow();
    QApplication::setActiveWindow(&list);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    t.harness.messages.AnswerAlways(kAnswerYes);
    for (const char* command : {"cmdDownload", "cmdUpload"}) {
        SCOPED_TRACE(command);
        list.lvwMessages->setFocus();
        ToolbarAction(list.tlbMenu, command)->trigger();
        EXPECT_EQ(list.focusWidget(), list.lvwMessages);
    }
}

// Such a unit answers no read of the table: asking per slot whether to retry
// would ask 49 times about a link that is fine.
TEST(TableWindow, FreetextDownloadFromAnXUnitBelow31SaysOnceItCannotBeReadBack)
{
    WindowRig t;
    const std::string file = "01 012" + padded("FIRE") + padded("") + std::string(4, '\0');
    writeFile("PPM_Freetext.DBS", file);
    t.load('X', "3.09");
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFreetext);
    t.harness.messages.Answer(kAnswerYes);
    t.harness.messages.AnswerAlways(kAnswerOk);
    list.cmdDownload->click();
    EXPECT_EQ(t.harness.messages.texts(),
              (Lines{"Current Freetext Messages file on this computer will be overwritten. Are you sure you want to "
                     "continue ?",
                     "Freetext Messages cannot be read back from the QX9860. The file on this computer was left as it "
                     "is."}));
    EXPECT_EQ(readFile("PPM_Freetext.DBS"), file);
    EXPECT_FALSE(FileExists(DataFilePath("PPM_Freetext.BAK")));
}

TEST(TableWindow, EveryUploadEndsInSightDoneOrCanceled)
{
    struct Case {
        const char* name;
        std::function<void(sim::Engine&)> spoil;
        std::string message;
        QString info;
    };
    const Case cases[] = {
        {"short file", [](sim::Engine&) {}, "Only 1 messages were uploaded to the QX9860. ", "Done !"},
        {"silent unit",
         [](sim::Engine& e) { e.AddFault(lastingFault(sim::FaultKind::Silence, "", sim::MatchMode::Exact)); },
         "Communication with the ", "Canceled !"},
        {"file missing", [](sim::Engine&) { QFile::remove(QString::fromStdString(DataFilePath("PPM_PABXDI.DBS"))); },
         "Messages file was not found. Cannot upload messages to QX9860. ", "Canceled !"},
        {"slot refused", [](sim::Engine& e) { e.AddFault(lastingFault(sim::FaultKind::Refuse, "C01")); },
         "Communication with the QX9860 cannot be established.", "Canceled !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowRig t;
        writeFile("PPM_PABXDI.DBS", record("01 ", padded("One")));
        t.load('X');
        KS_PPM_MessagesTable& list = t.open(FormName::MessagesPABX);
        c.spoil(t.harness.engine);
        t.harness.messages.Answer(kAnswerYes);
        t.harness.messages.AnswerAlways(kAnswerOk);
        list.cmdUpload->click();
        const Lines texts = t.harness.messages.texts();
        EXPECT_EQ(texts.at(0), "These messages will replace the exisiting messages on the QX9860. "
                               "Are you sure you want to continue ? ");
        EXPECT_TRUE(texts.at(1).starts_with(c.message)) << texts.at(1);
        EXPECT_EQ(list.lblInfo->text(), c.info);
        EXPECT_FALSE(list.lblInfo->isHidden());
        EXPECT_TRUE(list.prgProgress->isHidden() && list.cmdUpload->isEnabled());
    }
}

TEST(TableWindow, AnEncoderWithoutTheTableGetsBlankSlotsAndFileOnlySaves)
{
    WindowRig t;
    t.load('E');
    t.harness.messages.AnswerAlways(kAnswerOk);
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFastkey);
    EXPECT_FALSE(list.cmdUpload->isEnabled() || list.cmdDownload->isEnabled());
    EXPECT_EQ(list.lvwMessages->topLevelItemCount(), 10);
    EXPECT_EQ(readFile("PPM_Fastkey.DBS").substr(900), unread("10 ")); // ten numbered slots, none read

    t.edit(list, 0, [](QDialog& d) { type(d, "txtMessage", "Door"); });
    // Asked again before the save decides, the unit still has no such table: nothing is written to it.
    EXPECT_EQ(writesOnly(t.harness.HostLines()), Lines{});
    EXPECT_EQ(t.harness.messages.texts().back(),
              "Connection to QX7015 cannot be established or Fastkey Messages option is not supported by the QX7015. "
              "\r\nThe QX7015 will not be updated.");
    EXPECT_EQ(readFile("PPM_Fastkey.DBS").substr(0, 100), record("01 ", padded("Door")));
}

// The unit paused while the console asked for its fast-key table, which then
// counts as absent: the window asks the unit again, and Upload sends the file.
TEST(TableWindow, ATableAnIdentificationMissedIsLookedForAgainBeforeUpload)
{
    WindowRig t;
    writeFile("PPM_Fastkey.DBS", record("01 ", padded("Door")));
    t.harness.engine.AddFault(lastingFault(sim::FaultKind::Silence, "K00?", sim::MatchMode::Exact));
    t.load('X');
    ASSERT_FALSE(gEncoderSupportsFastkey);
    t.harness.engine.ClearFaults();
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFastkey);
    ASSERT_TRUE(list.cmdUpload->isEnabled() && list.cmdDownload->isEnabled());
    t.harness.messages.Answer(kAnswerYes);
    t.harness.messages.AnswerAlways(kAnswerOk);
    list.cmdUpload->click();
    EXPECT_EQ(writesOnly(t.harness.HostLines()), Lines{"K01" + padded("Door") + "W"});
    EXPECT_EQ(list.lblInfo->text(), "Done !");
}

// The unit paused through its PABX answer while the console identified it and
// again while the window opened: the table counts as absent until a save,
// asking the unit again, finds it, writes the slot there and offers the transfers.
TEST(TableWindow, ASaveThatFindsAMissedTableWritesToTheUnitAndOffersTheTransfers)
{
    WindowRig t;
    writeFile("PPM_PABXDI.DBS", record("01 ", padded("Door")));
    t.harness.engine.AddFault(lastingFault(sim::FaultKind::Silence, "C00?", sim::MatchMode::Exact));
    t.load('X');
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesPABX);
    ASSERT_FALSE(list.cmdUpload->isEnabled() || list.cmdDownload->isEnabled());
    t.harness.engine.ClearFaults();
    t.edit(list, 0, [](QDialog& d) { type(d, "txtMessage", "Gate"); });
    EXPECT_EQ(writesOnly(t.harness.HostLines()), Lines{"C01" + padded("Gate") + "W"});
    EXPECT_TRUE(list.cmdUpload->isEnabled() && list.cmdDownload->isEnabled());
    EXPECT_EQ(t.harness.messages.texts(), Lines{});
}

// A dialog's Ok asks the unit again before it takes the table for absent and
// keeps the entry in the file only.
TEST(TableWindow, ADialogsOkAsksTheUnitAgainBeforeItCountsTheTableAbsent)
{
    WindowRig t;
    writeFile("PPM_Freetext.DBS", "01 012" + padded("FIRE") + padded("") + std::string(4, '\0'));
    t.harness.engine.AddFault(lastingFault(sim::FaultKind::Silence, "F00?", sim::MatchMode::Exact));
    t.load('X', "3.2");
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFreetext);
    ASSERT_FALSE(gEncoderSupportsFreetext);
    t.harness.engine.ClearFaults();
    t.edit(list, 0, [](QDialog& d) {
        type(d, "txtUserID", "12");
        type(d, "txtKeyword", "FIRE");
    });
    const Lines writes = writesOnly(t.harness.HostLines());
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_TRUE(writes[0].starts_with("F01" + padded("FIRE") + "012")) << writes[0];
    EXPECT_EQ(t.harness.messages.texts(), Lines{});
}

// A Download whose identification met the unit's pause finds no table; the
// next Download asks the unit again and downloads.
TEST(TableWindow, ASecondDownloadAsksTheUnitAgainAfterAPause)
{
    WindowRig t;
    writeFile("PPM_Fastkey.DBS", record("01 ", padded("Kept")));
    t.harness.engine.SetMessageSlot('K', 1, padded("From the unit"));
    t.load('X');
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFastkey);
    t.harness.engine.AddFault(lastingFault(sim::FaultKind::Silence, "K00?", sim::MatchMode::Exact));
    t.harness.messages.Answer(kAnswerYes);
    t.harness.messages.Answer(kAnswerOk);
    list.cmdDownload->click();
    EXPECT_EQ(readFile("PPM_Fastkey.DBS"), record("01 ", padded("Kept")));
    t.harness.engine.ClearFaults();
    t.harness.messages.Answer(kAnswerYes);
    list.cmdDownload->click();
    EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(1).toStdString(), padded("From the unit"));
    EXPECT_EQ(readFile("PPM_Fastkey.DBS").substr(0, 100), record("01 ", padded("From the unit")));
    EXPECT_TRUE(t.harness.messages.queueEmpty());
}

TEST(TableWindow, TheMenuOpensTheWindowEvenWhenTheProbeFails)
{
    WindowRig t;
    t.load('X');
    t.harness.engine.AddFault(lastingFault(sim::FaultKind::Silence, "", sim::MatchMode::Exact));
    t.harness.messages.AnswerAlways(kAnswerOk);
    RunDialog(t.harness.form(), "KS_PPM_MessagesPABX", [&t] { t.harness.form().mnuMessagesOptions_Click(2); },
              [](QDialog&) {});
    const auto texts = t.harness.messages.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_TRUE(texts[0].starts_with("Communication with the QX9860 cannot be established."));
    EXPECT_EQ(texts[1], "Messages file was not found and communication with the QX9860 cannot be established. "
                        "Messages could not be loaded.");
    EXPECT_FALSE(FileExists(DataFilePath("PPM_PABXDI.DBS")));
    EXPECT_FALSE(t.harness.form().OpenerDisabled());
}

} // namespace
