// The weekly tone schedule window and its event dialog against the simulator.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_GEN_ToneSchedule.h"
#include "KS_GEN_ToneScheduleAdd.h"
#include "KS_Globals.h"
#include "KS_ListWindow.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_FileDialog.h"
#include "KS_ToneSchedule.h"
#include "ToneTestSupport.h"

namespace {

using Lines = std::vector<std::string>;

struct ToneWindow : testing::Test {
    void TearDown() override { SetFileDialogHook({}); }

    void Connect(char letter) { unit = std::make_unique<SimUnit>(letter); }
    KS_GEN_ToneSchedule& Open()
    {
        window = std::make_unique<KS_GEN_ToneSchedule>();
        window->Form_Load();
        return *window;
    }
    Lines HostLines(const std::string& prefix) const { return unit->hostLines(prefix); }
    QTreeWidgetItem* Row(int eventNo) { return window->lvwMessages->topLevelItem(eventNo - 1); }

    std::unique_ptr<SimUnit> unit;
    ScriptedMessages boxes;
    std::unique_ptr<KS_GEN_ToneSchedule> window;
};

} // namespace

TEST_F(ToneWindow, OpeningShowsTheDevicesSlotOrMakesSlotOneActive)
{
    Connect('X');
    unit->engine.SetActiveToneSlot(3);
    Open();
    EXPECT_EQ(window->cmbSlot->currentText(), "3");
    EXPECT_EQ(window->ActiveSlot(), 3);
    EXPECT_FALSE(window->cmdActivateSlot->isEnabled());
    EXPECT_TRUE(HostLines("PA").empty());
    EXPECT_EQ(HostLines("?E"), Lines{"?E101"});
    EXPECT_TRUE(gToneEventsSupported);
    EXPECT_EQ(window->txtFileName->text().toStdString(), DataFilePath("ToneGen.TGS"));
    EXPECT_EQ(window->lvwMessages->topLevelItemCount(), 48);
    EXPECT_EQ(window->windowTitle(), "Tone Schedule");

    // Choosing another slot enables Switch; going elsewhere puts the list back.
    window->cmbSlot->setCurrentIndex(1);
    window->cmbSlot_Click();
    EXPECT_TRUE(window->cmdActivateSlot->isEnabled());
    window->cmbSlot_LostFocus(window->cmbWeekDay);
    EXPECT_EQ(window->cmbSlot->currentText(), "3");

    // A unit answering "0": slot 1 is made active and remembered.
    unit->engine.SetActiveToneSlot(0);
    unit->engine.ClearTranscript();
    Open();
    EXPECT_EQ(window->cmbSlot->currentText(), "1");
    EXPECT_EQ(HostLines("PA"), Lines{"PA1"});
    EXPECT_EQ(gToneGenSlot, "1");
    EXPECT_EQ(GetConfigSetting("ToneGenSlot"), "1");

    // A silent unit: slot 1 is assumed, nothing is probed and the clock stays unknown.
    gToneEventsSupported = false;
    unit->engine.AddFault({sim::FaultKind::Silence, "", sim::MatchMode::Prefix, 5, {}, 0, 0});
    unit->engine.ClearTranscript();
    Open();
    EXPECT_EQ(window->cmbSlot->currentText(), "1");
    EXPECT_TRUE(HostLines("?E").empty());
    EXPECT_FALSE(gToneEventsSupported);
    EXPECT_EQ(window->txtDateTime->text(), "N/A");
}

TEST_F(ToneWindow, AUnitWithoutAToneGeneratorIsNotToldToChangeItsSlot)
{
    Connect('E');
    Open();
    EXPECT_TRUE(HostLines("PA").empty());
    EXPECT_EQ(window->cmbSlot->currentText(), "1");
    // Upload stops at the capability check, unless the operator works offline.
    boxes.Answer(kAnswerOk);
    window->cmdUpload->click();
    EXPECT_EQ(boxes.shown().size(), 1u);
    window->chkOffLine->setChecked(true);
    boxes.Answer(kAnswerNo);
    window->cmdUpload->click();
    EXPECT_EQ(boxes.texts().back().rfind("This schedule will replace the exisiting schedule on slot 1 of the QX7015.",
                                         0),
              0u);
}

TEST_F(ToneWindow, SwitchTakesTheNewSlotsWeekOrShowsThePreviousSlotWhenRefused)
{
    Connect('X');
    unit->engine.SetActiveToneSlot(2);
    Open();
    const std::string fileBefore = ReadBytes(gToneGenFile);

    // The unit refuses the switch: slot 2 stays, and so does the file.
    unit->engine.AddFault({sim::FaultKind::Refuse, "PA4", sim::MatchMode::Prefix, 5, {}, 0, 0});
    window->cmbSlot->setCurrentIndex(3);
    window->cmbSlot_Click();
    boxes.Answer(kAnswerYes);
    window->cmdActivateSlot->click();
    EXPECT_EQ(window->cmbSlot->currentText(), "2");
    EXPECT_EQ(window->ActiveSlot(), 2);
    EXPECT_EQ(ReadBytes(gToneGenFile), fileBefore);

    // Slot 3 holds an event of its own; switching there brings it in.
    unit->engine.SetActiveToneSlot(3);
    std::string reply;
    ASSERT_TRUE(SendLinkCommand("PE", "2010715101Y0501", true, 0, reply, true, 0));
    unit->engine.SetActiveToneSlot(2);
    window->cmbSlot->setCurrentIndex(2);
    window->cmbSlot_Click();
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerOk);
    window->cmdActivateSlot->click();
    EXPECT_EQ(boxes.texts()[1],
              "Default Tone Schedule file (\\ToneGen.TGS) on this computer will be overwritten.\r\nAre you sure you "
              "want to continue and download the schedule from slot 3 ?");
    EXPECT_EQ(boxes.texts()[2], "Slot 3 is the current active slot. ");
    EXPECT_EQ(unit->engine.ActiveToneSlot(), 3);
    EXPECT_EQ(window->ActiveSlot(), 3);
    EXPECT_EQ(GetConfigSetting("ToneGenSlot"), "3");
    EXPECT_EQ(Row(1)->text(ToneColumn::Time), "07:15 AM");
    EXPECT_EQ(Row(1)->text(ToneColumn::Zone), "05");
    EXPECT_EQ(Row(1)->text(ToneColumn::Active), "Yes");
    EXPECT_EQ(ReadBytes(DataFilePath("ToneGen.BAK")), fileBefore);
}

TEST_F(ToneWindow, CopyFromWritesTheShownDayAndOffersTheUpload)
{
    Connect('X');
    Open();
    window->cmbWeekDay->setCurrentIndex(4);
    window->cmbWeekDay_Click();
    gToneSchedule[7].Description = "Assembly";
    EXPECT_TRUE(window->cmdCopyFrom->isEnabled());
    unit->engine.ClearTranscript();
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerNo);
    window->cmdCopyFrom->click();
    EXPECT_EQ(boxes.texts(), (Lines{"Are you sure you want to copy the schedule from Monday to Friday ?",
                                    "New schedule for Friday must be uploaded to QX9860. Upload now? "}));
    EXPECT_EQ(ReadBytes(gToneGenFile).substr((4 * 48 + 7) * 73 + 5, 8), "Assembly");
    EXPECT_EQ(Row(8)->text(ToneColumn::Description), "Assembly");
    EXPECT_TRUE(HostLines("PE").empty());
}

TEST_F(ToneWindow, TheEventDialogSendsTheEventThenKeepsItOrLeavesEverythingWhenRefused)
{
    Connect('X');
    Open();
    SelectListRow(window->lvwMessages, Row(5));
    window->mMode = 2;
    {
        KS_GEN_ToneScheduleAdd dialog(window.get());
        EXPECT_EQ(dialog.windowTitle(), "Tone Schedule -  Monday - 05 - Update");
        dialog.dtpTime->setTime(QTime(18, 30));
        dialog.txtZone->setText("7");
        dialog.txtZone_LostFocus();
        EXPECT_EQ(dialog.txtZone->text(), "07");
        dialog.cmbAlertType->setCurrentIndex(9); // alert 10
        EXPECT_TRUE(dialog.cmbAction->isEnabled());
        EXPECT_FALSE(dialog.cmbAlertLevel->isEnabled());
        dialog.cmbAction->setCurrentIndex(1); // until deactivated
        EXPECT_EQ(dialog.txtActivitySeconds->text(), "000");
        EXPECT_FALSE(dialog.txtActivitySeconds->isEnabled());
        dialog.chkActive->setChecked(true);
        dialog.cmdOk_Click();
    }
    EXPECT_EQ(HostLines("PE"), Lines{"PE2051830:10Y0700"});
    EXPECT_EQ(Row(5)->text(ToneColumn::Time), "06:30 PM");
    EXPECT_EQ(Row(5)->text(ToneColumn::Action), "Activate Until Deactivated");
    EXPECT_EQ(ReadBytes(gToneGenFile).substr(4 * 73, 5), "0507 ");
    EXPECT_EQ(gToneSchedule[4].AlertType, 58);

    // The unit refuses; the operator does not want the file alone: nothing changes.
    const std::string fileBefore = ReadBytes(gToneGenFile);
    unit->engine.AddFault({sim::FaultKind::Refuse, "PE", sim::MatchMode::Prefix, 5, {}, 0, 0});
    {
        KS_GEN_ToneScheduleAdd dialog(window.get());
        dialog.cmbAlertType->setCurrentIndex(8); // start countdown
        dialog.txtCountdown->setText("80");
        dialog.txtCountdown_LostFocus();
        EXPECT_EQ(dialog.txtCountdown->text(), "79");
        dialog.txtCountdown->setText("00");
        boxes.Answer(kAnswerOk);
        dialog.cmdOk_Click();
        EXPECT_EQ(boxes.texts().back(), "This Alert Type requires a value of 1 to 79 minutes.");
        dialog.txtCountdown->setText("25");
        boxes.Answer(kAnswerNo);
        dialog.cmdOk_Click();
        EXPECT_TRUE(boxes.texts().back().rfind("Connection to QX9860 cannot be established. ", 0) == 0);
    }
    EXPECT_EQ(ReadBytes(gToneGenFile), fileBefore);
    EXPECT_EQ(gToneSchedule[4].AlertType, 58);
    EXPECT_EQ(Row(5)->text(ToneColumn::Type), "10");

    // Working offline: nothing goes on the line, the file and the row take the event.
    window->chkOffLine->setChecked(true);
    unit->engine.ClearTranscript();
    {
        KS_GEN_ToneScheduleAdd dialog(window.get());
        dialog.cmbAlertType->setCurrentIndex(8);
        dialog.txtCountdown->setText("25");
        dialog.cmdOk_Click();
    }
    EXPECT_TRUE(HostLines("PE").empty());
    EXPECT_EQ(Row(5)->text(ToneColumn::TimeOut), "25");
    EXPECT_EQ(ReadBytes(gToneGenFile)[4 * 73 + 38], 9);
}

TEST_F(ToneWindow, SaveAsRefusesTheOpenFileUnderAnotherSpellingAndOpenTakesTheChosenFile)
{
    Connect('X');
    Open();
    std::string answer = gDataFolder + "/./ToneGen.TGS";
    SetFileDialogHook([&answer](const FileDialogRequest& request) -> std::optional<std::string> {
        EXPECT_EQ(request.filter, "Tone Generator Schedule (*.TGS)");
        return answer;
    });
    boxes.Answer(kAnswerOk);
    window->cmdSaveAs->click();
    EXPECT_EQ(boxes.texts(), Lines{"Save As file name can not be the same as current file name. Please select a "
                                   "different file name."});

    answer = gDataFolder + "/week.tgs";
    window->cmdSaveAs->click();
    EXPECT_EQ(ReadBytes(answer), ReadBytes(DataFilePath("ToneGen.TGS")));
    EXPECT_EQ(gToneGenFile, answer);
    EXPECT_EQ(GetConfigSetting("ToneGenFile"), answer);

    boxes.Answer(kAnswerYes);
    window->cmdNew->click();
    EXPECT_EQ(gToneGenFile, DataFilePath("ToneGen.TGS"));
    EXPECT_TRUE(PathExists(DataFilePath("ToneGen.BAK")));
    window->cmdOpen->click();
    EXPECT_EQ(window->txtFileName->text().toStdString(), answer);
}

TEST_F(ToneWindow, AWholeWeekGoesUpAndComesBackDown)
{
    Connect('L');
    Open();
    SelectListRow(window->lvwMessages, Row(2));
    QTimer::singleShot(0, [this] {
        auto* dialog = window->findChild<KS_GEN_ToneScheduleAdd*>();
        ASSERT_NE(dialog, nullptr);
        dialog->cmbAlertType->setCurrentIndex(3);
        dialog->cmbAlertRepeat->setCurrentIndex(2);
        dialog->cmbAlertDelay->setCurrentIndex(4);
        dialog->chkActive->setChecked(true);
        dialog->cmdOk->click();
    });
    window->cmdUpdate->click();
    EXPECT_EQ(HostLines("PE"), Lines{"PE2020000401Y0125"});
    window->lvwMessages_ItemClick();
    window->cmdTest->click();
    EXPECT_EQ(unit->engine.TestTones(), Lines{"GT40100152"});

    unit->engine.ClearTranscript();
    boxes.Answer(kAnswerYes);
    window->cmdUpload->click();
    EXPECT_EQ(HostLines("PE").size(), 336u);
    EXPECT_EQ(window->lblInfo->text(), "Done !");

    gToneSchedule[1].AlertType = 7;
    boxes.Answer(kAnswerYes);
    window->cmdDownload->click();
    EXPECT_EQ(gToneSchedule[1].AlertType, 4);
    EXPECT_EQ(Row(2)->text(ToneColumn::Repeat), "2");
    EXPECT_EQ(Row(2)->text(ToneColumn::Delay), "5 Seconds");
}
