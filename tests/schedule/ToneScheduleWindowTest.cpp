// The weekly tone schedule window and its event dialog against the simulator.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <memory>

#include "ConsoleHarness.h"
#include "FailingReads.h"
#include "KS_Events.h"
#include "KS_FileDialog.h"
#include "KS_GEN_ToneSchedule.h"
#include "KS_GEN_ToneScheduleCalendar.h"
#include "KS_GEN_ToneScheduleAdd.h"
#include "KS_LinkHooks.h"
#include "KS_Messages.h"
#include "KS_ListWindow.h"
#include "KS_Registry.h"
#include "KS_ToneSchedule.h"
#include "ModalDialog.h"
#include "ToneTestSupport.h"

namespace {

using Dialog = KS_GEN_ToneScheduleAdd;

struct ToneWindow : testing::Test {
    void TearDown() override { SetFileDialogHook({}); }

    void Connect(char letter)
    {
        // One link at a time: the old one lets go of the port before the new one takes it.
        window.reset();
        unit.reset();
        unit = std::make_unique<SimUnit>(letter);
    }
    void Open()
    {
        window = std::make_unique<KS_GEN_ToneSchedule>();
        window->Form_Load();
    }
    void Start(char letter = 'X') { Connect(letter), Open(); }
    Lines HostLines(const std::string& prefix) const { return unit->hostLines(prefix); }
    QTreeWidgetItem* Row(int eventNo) { return window->lvwMessages->topLevelItem(eventNo - 1); }
    // Opens the event dialog on an event of the shown day, as Update does, and works it.
    void Edit(int eventNo, const std::function<void(Dialog&)>& script)
    {
        SelectListRow(window->lvwMessages, Row(eventNo));
        WorkModalDialog<Dialog>(window.get(), script, [this] { window->cmdUpdate->click(); });
    }
    // The dialog on an event, kept open for checks of its rules.
    std::unique_ptr<Dialog> OpenDialog(int eventNo)
    {
        SelectListRow(window->lvwMessages, Row(eventNo));
        return std::make_unique<Dialog>(window.get());
    }
    void Switch(int slot)
    {
        window->cmbSlot->setCurrentIndex(slot - 1);
        window->cmbSlot_Click();
        window->cmdActivateSlot->click();
    }
    void PutZone(int index, const char* zone)
    {
        std::string bytes = ReadBytes(gToneGenFile);
        bytes.replace(index * 73 + 2, 3, zone);
        WriteBytes(gToneGenFile, bytes);
        window->ShowWeekDaySchedule(1, false);
    }

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
    EXPECT_FALSE(window->cmdActivateSlot->isEnabled());
    EXPECT_TRUE(HostLines("PA").empty());
    EXPECT_EQ(HostLines("?E"), Lines{"?E101"});
    EXPECT_TRUE(gToneEventsSupported);
    // No transfer has run: no status shows.
    EXPECT_TRUE(window->lblInfo->isHidden());

    // Choosing another slot enables Switch; going elsewhere puts the list back.
    window->cmbSlot->setCurrentIndex(1);
    window->cmbSlot_Click();
    EXPECT_TRUE(window->cmdActivateSlot->isEnabled());
    window->cmbSlot_LostFocus(window->cmbWeekDay);
    EXPECT_EQ(window->cmbSlot->currentText(), "3");
    EXPECT_FALSE(window->cmdActivateSlot->isEnabled());
    // So does No to the switch: Switch would only offer the active slot again.
    boxes.Answer(kAnswerNo);
    Switch(2);
    EXPECT_EQ(window->cmbSlot->currentText(), "3");
    EXPECT_FALSE(window->cmdActivateSlot->isEnabled());

    // A unit answering "0": slot 1 is made active and remembered.
    unit->engine.SetActiveToneSlot(0);
    unit->engine.ClearTranscript();
    Open();
    EXPECT_EQ(window->cmbSlot->currentText(), "1");
    EXPECT_EQ(HostLines("PA"), Lines{"PA1"});
    EXPECT_EQ(GetConfigSetting("ToneGenSlot"), "1");

    // A unit that refuses slot 1 leaves no slot: every command that needs one asks for it.
    unit->engine.SetActiveToneSlot(0);
    unit->Fault(sim::FaultKind::Refuse, "PA");
    Open();
    EXPECT_EQ(window->cmbSlot->currentIndex(), -1);
    for (QPushButton* command : {window->cmdUpdate, window->cmdUpload, window->cmdDownload}) {
        boxes.Answer(kAnswerOk);
        command->click();
        EXPECT_EQ(boxes.texts().back(), "Please select active slot.");
    }
    EXPECT_EQ(boxes.shown().size(), 4u);

    // A silent unit: slot 1 is assumed, nothing is probed and the clock stays unknown.
    gToneEventsSupported = false;
    unit->engine.ClearFaults();
    unit->Fault(sim::FaultKind::Silence, "");
    unit->engine.ClearTranscript();
    Open();
    EXPECT_EQ(window->cmbSlot->currentText(), "1");
    EXPECT_TRUE(HostLines("?E").empty());
    EXPECT_FALSE(gToneEventsSupported);
    EXPECT_EQ(window->txtDateTime->text(), "N/A");
}

TEST_F(ToneWindow, AUnitWithoutAToneGeneratorIsNotToldToChangeItsSlot)
{
    Start('E');
    EXPECT_TRUE(HostLines("PA").empty());
    EXPECT_EQ(window->cmbSlot->currentText(), "1");
    // Upload stops at the capability check, unless the operator works offline.
    boxes.Answer(kAnswerOk);
    window->cmdUpload->click();
    EXPECT_EQ(boxes.texts(), Lines{"Connection to QX7015 cannot be established or Tone Schedule option is not "
                                   "supported by the QX7015. \r\nThe QX7015 will not be updated."});
    window->chkOffLine->setChecked(true);
    boxes.Answer(kAnswerNo);
    window->cmdUpload->click();
    EXPECT_EQ(boxes.texts().back(), "This schedule will replace the exisiting schedule on slot 1 of the QX7015. \r\n"
                                    "Are you sure you want to continue ? ");
}

// The unit paused while the console asked for its tone generator, which then
// counts as absent: Upload asks the unit again and sends the week.
TEST(ToneWindowOnConsole, UploadLooksAgainForAToneGeneratorAnIdentificationMissed)
{
    ConsoleHarness harness;
    harness.engine.SetModel('L');
    harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "?TG", .match = sim::MatchMode::Exact,
                             .times = 0});
    harness.Load();
    ASSERT_FALSE(gToneGenSupported);
    harness.engine.ClearFaults();
    ASSERT_TRUE(CreateDefaultToneScheduleFile()); // the window opens on it without asking the unit for its week
    KS_GEN_ToneSchedule window(&harness.form());
    window.Form_Load();
    harness.messages.Answer(kAnswerYes);
    window.cmdUpload->click();
    const Lines lines = harness.HostLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("PE"); }), 336);
    EXPECT_EQ(window.lblInfo->text(), "Done !");
}

// The window asks the unit it knows whether it has alert types; when the
// week's download then finds another unit, it asks that one, or every answer
// would be read at the old unit's length and thrown away.
TEST(ToneWindowOnConsole, AWeekDownloadedFromAnotherUnitThanTheWindowProbedIsReadWhole)
{
    ConsoleHarness harness;
    harness.engine.SetModel('G');
    harness.Load();
    harness.engine.SetModel('X');
    KS_GEN_ToneSchedule window(&harness.form());
    window.Form_Load();
    EXPECT_EQ(gEncoderModelLetter, "X");
    EXPECT_TRUE(harness.messages.shown().empty());
    const std::string file = ReadBytes(gToneGenFile);
    ASSERT_EQ(file.size(), 336u * 73);
    EXPECT_EQ(file.substr(30, 8), "12:00 AM");
}

// The event dialog's Ok asks a unit whose tone generator counts as absent
// again, as the table dialogs do, and sends the event. A unit of another kind
// found there changes the dialog to its rules first, and nothing goes out
// until Ok is pressed again.
TEST(ToneWindowOnConsole, TheEventDialogIdentifiesTheUnitAgainBeforeItSavesToTheFileOnly)
{
    for (const auto& [before, found] : {std::pair{'L', 'L'}, {'A', 'X'}}) {
        SCOPED_TRACE(found);
        ConsoleHarness harness;
        harness.engine.SetModel(before);
        harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = before == 'L' ? "?TG" : "?T",
                                 .match = sim::MatchMode::Exact, .times = 0});
        harness.Load();
        ASSERT_FALSE(gToneGenSupported);
        harness.engine.ClearFaults();
        harness.engine.SetModel(found);
        ASSERT_TRUE(CreateDefaultToneScheduleFile());
        KS_GEN_ToneSchedule window(&harness.form());
        window.Form_Load();
        harness.HostLines();
        SelectListRow(window.lvwMessages, window.lvwMessages->topLevelItem(0));
        WorkModalDialog<Dialog>(&window, [&, found = found](Dialog& dialog) {
            dialog.chkActive->setChecked(true);
            dialog.txtZone->setText("7");
            if (found == 'X') {
                EXPECT_EQ(dialog.txtZone->maxLength(), 3);
                harness.messages.Answer(kAnswerOk);
                dialog.cmdOk_Click();
                ASSERT_TRUE(dialog.isVisible());
                ASSERT_EQ(harness.messages.texts().size(), 1u);
                EXPECT_EQ(harness.messages.texts()[0].rfind("The unit now connected is a QX9860, which takes", 0), 0u);
                EXPECT_EQ(dialog.txtZone->text(), "07");
                EXPECT_EQ(dialog.txtZone->maxLength(), 2);
                const Lines asked = harness.HostLines();
                EXPECT_EQ(std::count_if(asked.begin(), asked.end(), [](const std::string& l) { return l[0] == 'P'; }), 0);
                EXPECT_EQ(ReadBytes(gToneGenFile).substr(2, 3), "01 ");
            }
            dialog.cmdOk_Click();
        }, [&window] { window.cmdUpdate->click(); });
        const Lines lines = harness.HostLines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "PE2010000101Y0701"), 1);
        EXPECT_EQ(harness.messages.texts().size(), found == 'X' ? 1u : 0u);
        EXPECT_EQ(ReadBytes(gToneGenFile).substr(2, 3), "07 ");
    }
}

// A window opened while the unit was silent never probed for the events'
// extra fields: the identification at Ok that finds the tone generator probes
// too, so an alert type of 10 to 15 is not questioned on a unit that takes it.
TEST(ToneWindowOnConsole, AnEventSavedAfterTheUnitCameBackIsNotAskedAboutAnAlertTypeItTakes)
{
    ConsoleHarness harness;
    harness.engine.SetModel('X');
    harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "", .match = sim::MatchMode::Prefix,
                             .times = 0});
    harness.messages.AnswerAlways(kAnswerOk);
    harness.Load();
    gToneEventsSupported = false;
    ASSERT_TRUE(CreateDefaultToneScheduleFile());
    KS_GEN_ToneSchedule window(&harness.form());
    window.Form_Load();
    harness.engine.ClearFaults();
    SelectListRow(window.lvwMessages, window.lvwMessages->topLevelItem(0));
    WorkModalDialog<Dialog>(&window, [](Dialog& dialog) {
        dialog.cmbAlertType->setCurrentIndex(11); // alert type 12
        dialog.chkActive->setChecked(true);
        for (int press = 0; press < 2 && dialog.isVisible(); ++press)
            dialog.cmdOk_Click();
    }, [&window] { window.cmdUpdate->click(); });
    EXPECT_TRUE(gToneEventsSupported);
    for (const std::string& text : harness.messages.texts())
        EXPECT_EQ(text.find("does not support the selected Alert Type"), std::string::npos) << text;
    const Lines lines = harness.HostLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("PE201"); }),
              1);
}

TEST_F(ToneWindow, SwitchTakesTheNewSlotsWeekOnlyWhenItArrivesWholeAndNeverUploadsTheOldOne)
{
    Connect('X');
    unit->engine.SetActiveToneSlot(2);
    Open();
    const std::string fileBefore = ReadBytes(gToneGenFile);

    // The unit refuses the switch: slot 2 stays, and so does the file.
    unit->Fault(sim::FaultKind::Refuse, "PA4");
    boxes.Answer(kAnswerYes);
    Switch(4);
    EXPECT_EQ(window->cmbSlot->currentText(), "2");
    EXPECT_EQ(window->ActiveSlot(), 2);
    EXPECT_FALSE(window->cmdActivateSlot->isEnabled());

    // Slot 3 holds an event of its own, but Tuesday's fifth event never comes, asked for twice.
    unit->engine.SetActiveToneSlot(3);
    std::string reply;
    ASSERT_TRUE(SendLinkCommand("PE", "2010715101Y0501", true, 0, reply, true, 0));
    unit->engine.SetActiveToneSlot(2);
    unit->Fault(sim::FaultKind::Silence, "?E305");
    for (const std::int16_t answer : {kAnswerYes, kAnswerOk, kAnswerYes, kAnswerNo, kAnswerOk, kAnswerOk})
        boxes.Answer(answer);
    Switch(3);
    const std::string couldNotRead = "The schedule of slot 3 could not be read from the QX9860. The list shows the "
                                     "schedule read before, which will not be uploaded until the schedule of slot 3 "
                                     "has been downloaded.";
    ASSERT_EQ(boxes.texts().size(), 7u);
    EXPECT_EQ(boxes.texts()[1],
              "Default Tone Schedule file (\\ToneGen.TGS) on this computer will be overwritten.\r\nAre you sure you "
              "want to continue and download the schedule from slot 3 ?");
    EXPECT_EQ(boxes.texts()[2], "Slot 3 is the current active slot. ");
    EXPECT_EQ(boxes.texts()[5], "The QX9860 did not send event 53 of the 336 events. The download was stopped there, "
                                "and the file " + PathInText(DataFilePath("ToneGen.TGS")) + " was left as it is.");
    EXPECT_EQ(boxes.texts()[6], couldNotRead);
    EXPECT_EQ(unit->engine.ActiveToneSlot(), 3);
    EXPECT_EQ(window->ActiveSlot(), 3);
    EXPECT_EQ(GetConfigSetting("ToneGenSlot"), "3");
    EXPECT_EQ(ReadBytes(gToneGenFile), fileBefore);
    EXPECT_FALSE(PathExists(DataFilePath("ToneGen.BAK")));

    // The upload is refused.
    unit->engine.ClearTranscript();
    boxes.Answer(kAnswerOk);
    window->cmdUpload->click();
    EXPECT_EQ(boxes.texts().back(), couldNotRead);
    EXPECT_TRUE(HostLines("PE").empty());

    // Once slot 3 came down whole, its week shows and goes up again.
    unit->engine.ClearFaults();
    boxes.Answer(kAnswerYes);
    window->cmdDownload->click();
    EXPECT_EQ(ReadBytes(DataFilePath("ToneGen.BAK")), fileBefore);
    EXPECT_EQ(Row(1)->text(ToneColumn::Time), "07:15 AM");
    EXPECT_EQ(Row(1)->text(ToneColumn::Zone), "05");
    EXPECT_EQ(Row(1)->text(ToneColumn::Active), "Yes");
    boxes.Answer(kAnswerYes);
    window->cmdUpload->click();
    EXPECT_EQ(HostLines("PE").size(), 336u);
    EXPECT_TRUE(boxes.queueEmpty());
}

// The lock keeps the old week out of a slot whose own did not come; a week
// the operator chooses (New, Open) or a new window is free to go up.
TEST_F(ToneWindow, TheLockOfASlotWhoseWeekDidNotComeEndsWithNewOpenAndTheWindow)
{
    Start();
    const std::string chosen = gDataFolder + "/chosen.tgs";
    WriteBytes(chosen, ReadBytes(gToneGenFile));
    SetFileDialogHook([&chosen](const FileDialogRequest&) { return std::optional(chosen); });
    const std::pair<const char*, std::function<void()>> endings[] = {
        {"New", [this] { boxes.Answer(kAnswerYes), window->cmdNew->click(); }},
        {"Open", [this] { window->cmdOpen->click(); }},
        {"a new window", [this] { Open(); }}};
    int slot = 1;
    for (const auto& [ending, end] : endings) {
        SCOPED_TRACE(ending);
        // The unit takes the switch but never hands an event back.
        unit->Fault(sim::FaultKind::Silence, "?E");
        slot = slot % 4 + 1;
        for (const std::int16_t answer : {kAnswerYes, kAnswerOk, kAnswerNo, kAnswerOk, kAnswerOk})
            boxes.Answer(answer);
        Switch(slot);
        ASSERT_TRUE(boxes.queueEmpty());
        ASSERT_TRUE(boxes.texts().back().starts_with("The schedule of slot " + std::to_string(slot)));
        unit->engine.ClearFaults();

        end();
        unit->engine.ClearTranscript();
        boxes.Answer(kAnswerYes);
        window->cmdUpload->click();
        EXPECT_EQ(HostLines("PE").size(), 336u);
        EXPECT_TRUE(boxes.queueEmpty());
    }
}

TEST_F(ToneWindow, CopyFromWritesTheShownDayAndOffersTheUpload)
{
    Start();
    window->cmbWeekDay->setCurrentIndex(4);
    window->cmbWeekDay_Click();
    gToneSchedule[7].Description = "Assembly";
    gToneSchedule[7].Reserved = std::string(23, 'r'); // the spare bytes stay the target's own
    EXPECT_TRUE(window->cmdCopyFrom->isEnabled());
    std::string expected = ReadBytes(gToneGenFile);
    expected.replace((4 * 48 + 7) * 73 + 5, 8, "Assembly");
    unit->engine.ClearTranscript();
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerNo);
    window->cmdCopyFrom->click();
    EXPECT_EQ(boxes.texts(), (Lines{"Are you sure you want to copy the schedule from Monday to Friday ?",
                                    "New schedule for Friday must be uploaded to QX9860. Upload now? "}));
    EXPECT_EQ(ReadBytes(gToneGenFile), expected);
    EXPECT_EQ(Row(8)->text(ToneColumn::Description), "Assembly");
    EXPECT_TRUE(HostLines("PE").empty());
}

// A short file is a week whose last days were never written: they list and
// save as default events, and whatever lies between the file's end and a
// record written goes down as default events, never as zero bytes.
TEST_F(ToneWindow, TheDaysPastTheEndOfAShortFileListAndSaveAsDefaultEvents)
{
    Start();
    std::string monday = ReadBytes(gToneGenFile).substr(0, 48 * 73);
    monday.replace(30, 8, "07:45 AM");
    const std::string shortFile = gDataFolder + "/monday.tgs";
    WriteBytes(shortFile, monday);
    const std::string tiny = gDataFolder + "/tiny.tgs";
    WriteBytes(tiny, monday.substr(0, 10));
    std::string answer = tiny;
    SetFileDialogHook([&answer](const FileDialogRequest&) { return std::optional(answer); });

    // A file without one whole record is no schedule.
    const std::string before = gToneGenFile;
    boxes.Answer(kAnswerOk);
    window->cmdOpen->click();
    EXPECT_EQ(boxes.texts(), Lines{"Error reading user record."});
    EXPECT_EQ(gToneGenFile, before);

    answer = shortFile;
    window->cmdOpen->click();
    ASSERT_EQ(gToneGenFile, shortFile);
    window->cmbWeekDay->setCurrentIndex(2);
    window->cmbWeekDay_Click();
    EXPECT_EQ(Row(1)->text(0), "01");
    EXPECT_EQ(Row(48)->text(ToneColumn::Time), "12:00 AM");
    window->chkOffLine->setChecked(true);
    Edit(1, [](Dialog& dialog) {
        dialog.dtpTime->setTime(QTime(9, 10));
        dialog.chkActive->setChecked(true);
        dialog.cmdOk_Click();
    });
    // The short file is written whole, as the window lists it.
    std::string bytes = ReadBytes(shortFile);
    ASSERT_EQ(bytes.size(), 336u * 73);
    EXPECT_EQ(bytes.substr(96 * 73 + 30, 8), "09:10 AM");
    EXPECT_EQ(bytes.substr(48 * 73, 2), "01"); // Tuesday's first event
    EXPECT_EQ(bytes.substr(48 * 73 + 30, 8), "12:00 AM");
    EXPECT_EQ(bytes.substr(95 * 73, 2), "48");

    // Monday copied onto Friday: Wednesday's rest and Thursday go down as defaults.
    window->cmbWeekDay->setCurrentIndex(4);
    window->cmbWeekDay_Click();
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerNo);
    window->cmdCopyFrom->click();
    bytes = ReadBytes(shortFile);
    ASSERT_EQ(bytes.size(), 336u * 73);
    EXPECT_EQ(bytes.substr(149 * 73, 2), "06");
    EXPECT_EQ(bytes.substr(149 * 73 + 30, 8), "12:00 AM");
    EXPECT_EQ(bytes.substr(192 * 73 + 30, 8), "07:45 AM");
    EXPECT_EQ(bytes.find(std::string(73, '\0')), std::string::npos);
    EXPECT_EQ(Row(1)->text(ToneColumn::Time), "07:45 AM");
}

TEST_F(ToneWindow, NothingOfAScheduleWhoseReadBrokeOffIsCopiedOrUploadedUntilALoadSucceeds)
{
    Start();
    const std::string good = ReadBytes(gToneGenFile);
    // Friday cannot be listed: the read breaks off in Wednesday, and Friday is left as zero bytes.
    boxes.Answer(kAnswerOk);
    {
        const FailingReads failing(100 * 73);
        window->cmbWeekDay->setCurrentIndex(4);
        window->cmbWeekDay_Click();
    }
    window->cmbCopyWeekDay->setCurrentIndex(4);
    window->cmbCopyWeekDay_Click();
    unit->engine.ClearTranscript();
    // An operator who says yes to whatever box comes.
    boxes.Answer(kAnswerYes);
    window->cmdCopyFrom->click();
    boxes.Answer(kAnswerYes);
    window->cmdUpload->click();
    const std::string refused = "The schedule file " + PathInText(gToneGenFile) + " could not be read whole. Nothing of it will "
                                "be copied or uploaded until the file has been read again or the schedule has been "
                                "downloaded.";
    EXPECT_EQ(boxes.texts(), (Lines{"Error reading user record.", refused, refused}));
    EXPECT_EQ(ReadBytes(gToneGenFile), good);
    EXPECT_TRUE(HostLines("PE").empty());

    // The file gone, an edit writes it whole: what the broken read left as zero bytes goes down as default events.
    std::remove(gToneGenFile.c_str());
    window->chkOffLine->setChecked(true);
    Edit(1, [](Dialog& dialog) {
        dialog.chkActive->setChecked(true);
        dialog.cmdOk_Click();
    });
    window->chkOffLine->setChecked(false);
    const std::string written = ReadBytes(gToneGenFile);
    ASSERT_EQ(written.size(), 336u * 73);
    EXPECT_EQ(written.substr(192 * 73, 2) + written.substr(192 * 73 + 30, 8), "0112:00 AM");

    // Once a day is listed again, Copy From asks as before.
    window->cmbWeekDay->setCurrentIndex(1);
    window->cmbWeekDay_Click();
    boxes.Answer(kAnswerNo);
    window->cmdCopyFrom->click();
    EXPECT_EQ(boxes.texts().back(), "Are you sure you want to copy the schedule from Friday to Tuesday ?");
}

TEST_F(ToneWindow, ADayThatCannotBeListedPutsTheDayListBack)
{
    Start();
    // A file of more than a week is not read.
    WriteBytes(gToneGenFile, ReadBytes(gToneGenFile) + std::string(73, '0'));
    boxes.Answer(kAnswerOk);
    window->cmbWeekDay->setCurrentIndex(2);
    window->cmbWeekDay_Click();
    EXPECT_EQ(window->cmbWeekDay->currentText(), "Monday");
    EXPECT_EQ(OpenDialog(1)->windowTitle(), "Tone Schedule -  Monday - 01 - Update");
}

TEST_F(ToneWindow, TheListShowsBlankZonesAsOneAndTestsOnlyTones)
{
    Start();
    PutZone(2, "   ");
    EXPECT_EQ(Row(3)->text(ToneColumn::Zone), "01");
    Row(4)->setText(ToneColumn::Type, "09");
    Row(5)->setText(ToneColumn::Type, "10");
    for (const auto& [eventNo, testable] : {std::pair{4, false}, {5, false}, {6, true}}) {
        SelectListRow(window->lvwMessages, Row(eventNo));
        window->lvwMessages_ItemClick();
        EXPECT_EQ(window->cmdTest->isEnabled(), testable) << eventNo;
    }
}

TEST_F(ToneWindow, TheEventDialogEnablesItsBoxesByTypeAndUnit)
{
    struct Case {
        char unit;
        int typeIndex; // 8: 9 - Start Countdown, 9: 10 - Alert 10
        bool countdown, action, duration, tones;
    };
    const Case cases[] = {
        {'X', 8, true, false, false, false},
        {'X', 9, false, true, true, false},
        {'X', 3, false, false, false, true},
        {'L', 9, true, false, false, true},
        {'L', 8, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.unit << " " << c.typeIndex);
        Start(c.unit);
        auto dialog = OpenDialog(1);
        dialog->cmbAlertRepeat->setCurrentIndex(3);
        dialog->cmbAlertType->setCurrentIndex(c.typeIndex);
        EXPECT_EQ(dialog->txtCountdown->isEnabled(), c.countdown);
        EXPECT_EQ(dialog->cmbAction->isEnabled(), c.action);
        EXPECT_EQ(dialog->txtActivitySeconds->isEnabled(), c.duration);
        EXPECT_EQ(dialog->cmbAlertLevel->isEnabled(), c.tones);
        EXPECT_EQ(dialog->cmbAlertRepeat->currentText() == "None", !c.tones);
    }
    // Repeat "None" turns the delay off.
    auto dialog = OpenDialog(1);
    dialog->cmbAlertRepeat->setCurrentIndex(0);
    EXPECT_FALSE(dialog->cmbAlertDelay->isEnabled());
    dialog->cmbAlertRepeat->setCurrentIndex(1);
    EXPECT_TRUE(dialog->cmbAlertDelay->isEnabled());
}

TEST_F(ToneWindow, TheEventDialogTakesTypingAsATimePickerAndATabThatSkipsTheArrows)
{
    Start('X');
    auto dialog = OpenDialog(1);
    dialog->cmbAlertType->setCurrentIndex(8); // 9 - Start Countdown
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get(), 1000));
    dialog->dtpTime->setFocus();
    dialog->dtpTime->setSelectedSection(QDateTimeEdit::HourSection);
    QTest::keyClicks(dialog->dtpTime, "0630P");
    EXPECT_EQ(dialog->dtpTime->time(), QTime(18, 30));

    dialog->txtCountdown->setFocus();
    QCoreApplication::processEvents(); // the box selects its text on entry
    QTest::keyClicks(dialog->txtCountdown, "05");
    QTest::keyClick(dialog->txtCountdown, Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), dialog->chkActive);
    EXPECT_EQ(dialog->txtCountdown->text(), "05");
    dialog->hide();
}

TEST_F(ToneWindow, TheEventDialogAsksBeforeWhatTheUnitMayNotTake)
{
    Start();
    const std::string fileBefore = ReadBytes(gToneGenFile);
    auto dialog = OpenDialog(2);
    dialog->cmbAlertType->setCurrentIndex(9);
    dialog->cmbAction->setCurrentIndex(0);
    dialog->txtActivitySeconds->setText("000");
    dialog->chkActive->setChecked(true);
    boxes.Answer(kAnswerOk);
    dialog->cmdOk_Click();
    dialog->txtActivitySeconds->setText("120");
    dialog->chkActive->setChecked(false);
    boxes.Answer(kAnswerNo);
    dialog->cmdOk_Click();
    gToneEventsSupported = false;
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerNo);
    dialog->cmdOk_Click();
    EXPECT_EQ(boxes.texts(),
              (Lines{"This Alert Type requires a value of 1 to 499 seconds.",
                     "This scheduled event is not activated.\r\nAre you sure you want to continue? ",
                     "This scheduled event is not activated.\r\nAre you sure you want to continue? ",
                     "The QX9860 does not support the selected Alert Type.\r\nAre you sure you want to continue? "}));
    EXPECT_EQ(ReadBytes(gToneGenFile), fileBefore);
    EXPECT_TRUE(HostLines("PE").empty());

    // A unit without a tone generator: the operator is warned and the file alone takes the event.
    unit->engine.SetModel('E');
    gToneGenSupported = false;
    dialog->cmbAlertType->setCurrentIndex(3);
    dialog->chkActive->setChecked(true);
    boxes.Answer(kAnswerOk);
    dialog->cmdOk_Click();
    EXPECT_EQ(boxes.texts().back(), "Connection to QX9860 cannot be established or Tone Schedule option is not "
                                    "supported by the QX9860. \r\nThe QX9860 will not be updated.");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(ReadBytes(gToneGenFile)[73 + 38], 4);
    EXPECT_TRUE(HostLines("PE").empty());
}

TEST_F(ToneWindow, TheEventDialogSendsTheEventThenKeepsItOrLeavesEverythingWhenRefused)
{
    Start();
    Edit(5, [](Dialog& dialog) {
        dialog.dtpTime->setTime(QTime(18, 30));
        dialog.txtZone->setText("7");
        dialog.txtZone_LostFocus();
        EXPECT_EQ(dialog.txtZone->text(), "07");
        dialog.cmbAlertType->setCurrentIndex(9); // alert 10
        dialog.cmbAction->setCurrentIndex(1);    // until deactivated
        EXPECT_EQ(dialog.txtActivitySeconds->text(), "000");
        dialog.chkActive->setChecked(true);
        dialog.cmdOk_Click();
    });
    EXPECT_EQ(HostLines("PE"), Lines{"PE2051830:10Y0700"});
    EXPECT_EQ(Row(5)->text(ToneColumn::Time), "06:30 PM");
    EXPECT_EQ(Row(5)->text(ToneColumn::Action), "Activate Until Deactivated");
    EXPECT_EQ(ReadBytes(gToneGenFile).substr(4 * 73, 5), "0507 ");
    EXPECT_EQ(gToneSchedule[4].AlertType, 58);

    // The unit refuses; the operator does not want the file alone: nothing changes.
    const std::string fileBefore = ReadBytes(gToneGenFile);
    unit->Fault(sim::FaultKind::Refuse, "PE");
    {
        auto dialog = OpenDialog(5);
        dialog->cmbAlertType->setCurrentIndex(8); // start countdown
        dialog->txtCountdown->setText("80");
        dialog->txtCountdown_LostFocus();
        EXPECT_EQ(dialog->txtCountdown->text(), "79");
        dialog->txtCountdown->setText("00");
        boxes.Answer(kAnswerOk);
        dialog->cmdOk_Click();
        EXPECT_EQ(boxes.texts().back(), "This Alert Type requires a value of 1 to 79 minutes.");
        dialog->txtCountdown->setText("25");
        boxes.Answer(kAnswerNo);
        dialog->cmdOk_Click();
        EXPECT_TRUE(boxes.texts().back().starts_with("Connection to QX9860 cannot be established. "));
    }
    EXPECT_EQ(ReadBytes(gToneGenFile), fileBefore);
    EXPECT_EQ(gToneSchedule[4].AlertType, 58);
    EXPECT_EQ(Row(5)->text(ToneColumn::Type), "10");

    // Working offline: nothing goes on the line, the file and the row take the event.
    window->chkOffLine->setChecked(true);
    unit->engine.ClearTranscript();
    Edit(5, [](Dialog& dialog) {
        dialog.cmbAlertType->setCurrentIndex(8);
        dialog.txtCountdown->setText("25");
        dialog.cmdOk_Click();
    });
    EXPECT_TRUE(HostLines("PE").empty());
    EXPECT_EQ(Row(5)->text(ToneColumn::TimeOut), "25");
    EXPECT_EQ(ReadBytes(gToneGenFile)[4 * 73 + 38], 9);
}

TEST_F(ToneWindow, StoredZonesAreNeverShortenedAndAZoneAUnitTakesThreeDigits)
{
    for (const char letter : {'A', 'X'}) {
        SCOPED_TRACE(letter);
        Start(letter);
        PutZone(4, "123");
        EXPECT_EQ(Row(5)->text(ToneColumn::Zone), "123");
        Edit(5, [this, letter](Dialog& dialog) {
            EXPECT_EQ(dialog.txtZone->text(), "123");
            dialog.chkActive->setChecked(true);
            // A unit with two-digit zones would get another zone: it is named, and kept in the file alone.
            if (letter == 'X') {
                const std::string stored = ReadBytes(gToneGenFile);
                boxes.Answer(kAnswerOk);
                dialog.cmdOk_Click();
                EXPECT_EQ(boxes.texts().back(), "Zone 123 cannot be sent to the QX9860: its zones go up to 99.");
                EXPECT_TRUE(HostLines("PE").empty());
                EXPECT_EQ(ReadBytes(gToneGenFile), stored);
                window->chkOffLine->setChecked(true);
            }
            dialog.cmdOk_Click();
        });
        EXPECT_EQ(ReadBytes(gToneGenFile).substr(4 * 73, 5), "05123");
    }
    // Nor does the upload cut it: it stops before that event and names it.
    window->chkOffLine->setChecked(false);
    unit->engine.ClearTranscript();
    boxes.AnswerAlways(kAnswerYes);
    window->cmdUpload->click();
    EXPECT_EQ(HostLines("PE").size(), 4u);
    EXPECT_EQ(boxes.texts().back(), "Event 05 of Monday in the schedule file " + PathInText(gToneGenFile)
                                        + " has zone 123, which the QX9860 cannot take: its zones go up to 99. The "
                                          "upload was stopped there after 4 events. Please update the event and "
                                          "upload again.");
    // The zone-A unit takes a new zone of three digits.
    Start('A');
    Edit(6, [](Dialog& dialog) {
        dialog.txtZone->setText("456");
        dialog.txtZone_LostFocus();
        EXPECT_EQ(dialog.txtZone->text(), "456");
        dialog.txtZone->setText("7");
        dialog.txtZone_LostFocus();
        EXPECT_EQ(dialog.txtZone->text(), "007");
        dialog.chkActive->setChecked(true);
        dialog.cmdOk_Click();
    });
    EXPECT_EQ(HostLines("PE"), Lines{"PE2060000007101Y01"});
    EXPECT_EQ(ReadBytes(gToneGenFile).substr(5 * 73, 5), "06007");
}

TEST_F(ToneWindow, AnEventNumberOutsideTheDayIsReportedAndNothingIsSaved)
{
    Start();
    const std::string fileBefore = ReadBytes(gToneGenFile);
    for (const char* eventNo : {"00", "49"}) {
        SelectListRow(window->lvwMessages, Row(1));
        SelectedListRow(window->lvwMessages)->setText(0, eventNo);
        Dialog dialog(window.get());
        dialog.chkActive->setChecked(true);
        boxes.Answer(kAnswerOk);
        dialog.cmdOk_Click();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(boxes.texts(), (Lines{"Error updating record.", "Error updating record."}));
    EXPECT_EQ(ReadBytes(gToneGenFile), fileBefore);
    EXPECT_TRUE(HostLines("PE").empty());
}

TEST_F(ToneWindow, SaveAsRefusesTheOpenFileUnderAnotherSpellingAndOpenTakesTheChosenFile)
{
    Start();
    std::string answer = gDataFolder + "/./ToneGen.TGS";
    SetFileDialogHook([&answer](const FileDialogRequest&) { return std::optional(answer); });
    boxes.Answer(kAnswerOk);
    window->cmdSaveAs->click();
    EXPECT_EQ(boxes.texts(), Lines{"Save As file name can not be the same as current file name. Please select a "
                                   "different file name."});

    // A name with letters outside ASCII is a name like any other.
    answer = gDataFolder + "/Woche M\xC3\xA4rz.tgs";
    window->cmdSaveAs->click();
    EXPECT_EQ(ReadBytes(answer), ReadBytes(DataFilePath("ToneGen.TGS")));
    EXPECT_EQ(gToneGenFile, answer);
    EXPECT_EQ(GetConfigSetting("ToneGenFile"), answer);

    boxes.Answer(kAnswerYes);
    window->cmdNew->click();
    EXPECT_EQ(gToneGenFile, DataFilePath("ToneGen.TGS"));
    EXPECT_TRUE(PathExists(DataFilePath("ToneGen.BAK")));
    window->cmdOpen->click();
    EXPECT_EQ(window->txtFileName->text(), QString::fromStdString(answer));

    // A schedule named without an extension opens as it stands, not as the same name with one.
    std::string week = ReadBytes(DataFilePath("ToneGen.TGS"));
    week.replace(30, 8, "07:45 AM");
    answer = gDataFolder + "/plain";
    WriteBytes(answer, week);
    window->cmdOpen->click();
    EXPECT_EQ(gToneGenFile, answer);
    EXPECT_EQ(Row(1)->text(ToneColumn::Time), "07:45 AM");
}

TEST_F(ToneWindow, AFileOpenRefusesLeavesTheScheduleAndTheSettingAsTheyWere)
{
    Start();
    const std::string current = gToneGenFile;
    SaveConfigSetting("ToneGenFile", current);
    const std::string longer = DataFilePath("Longer.TGS");
    WriteBytes(longer, ReadBytes(current) + ReadBytes(current));
    SetFileDialogHook([&longer](const FileDialogRequest&) { return std::optional(longer); });
    boxes.Answer(kAnswerOk);
    window->cmdOpen->click();
    EXPECT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(GetConfigSetting("ToneGenFile"), current);
    EXPECT_EQ(gToneGenFile, current);
    EXPECT_EQ(window->txtFileName->text().toStdString(), current);

    // The next opening finds the schedule that was in use, without a word.
    Open();
    EXPECT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(window->lvwMessages->topLevelItemCount(), 48);
}

TEST_F(ToneWindow, OpenOfAScheduleEndingInAPartRecordSaysSoInABoxAndListsTheWholeOnes)
{
    Start();
    std::string week = ReadBytes(DataFilePath("ToneGen.TGS"));
    week.replace(30, 8, "07:45 AM");
    week += week.substr(0, 10);
    const std::string answer = gDataFolder + "/torn.tgs";
    WriteBytes(answer, week);
    SetFileDialogHook([&answer](const FileDialogRequest&) { return std::optional(answer); });
    boxes.Answer(kAnswerOk);
    window->cmdOpen->click();
    EXPECT_EQ(boxes.texts(), Lines{"The tone schedule file ends in an incomplete record, which was not read."});
    EXPECT_EQ(gToneGenFile, answer);
    EXPECT_EQ(Row(1)->text(ToneColumn::Time), "07:45 AM");

    // Another day of the same file is listed without the box again.
    window->ShowWeekDaySchedule(2, false);
    EXPECT_EQ(boxes.texts().size(), 1u);
}

TEST_F(ToneWindow, AWholeWeekGoesUpAndComesBackDown)
{
    Start('L');
    Edit(2, [](Dialog& dialog) {
        dialog.cmbAlertType->setCurrentIndex(3);
        dialog.cmbAlertRepeat->setCurrentIndex(2);
        dialog.cmbAlertDelay->setCurrentIndex(4);
        dialog.chkActive->setChecked(true);
        dialog.cmdOk->click();
    });
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

    // An upload the unit stops half-way ends as canceled, and the status stays to say so.
    unit->Fault(sim::FaultKind::Refuse, "PE210");
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerOk);
    window->cmdUpload->click();
    EXPECT_EQ(window->lblInfo->text(), "Canceled !");
    EXPECT_FALSE(window->lblInfo->isHidden());
    EXPECT_TRUE(window->prgProgress->isHidden());
}

TEST_F(ToneWindow, TheTypeColumnShowsTheAlertNumberOfTheStoredByte)
{
    Start();
    std::string bytes = ReadBytes(gToneGenFile);
    for (const auto& [index, stored] : {std::pair{0, 9}, {1, 58}, {2, 63}})
        bytes[index * 73 + 38] = static_cast<char>(stored);
    WriteBytes(gToneGenFile, bytes);
    window->ShowWeekDaySchedule(1, false);
    EXPECT_EQ(Row(1)->text(ToneColumn::Type), "09");
    EXPECT_EQ(Row(2)->text(ToneColumn::Type), "10");
    EXPECT_EQ(Row(3)->text(ToneColumn::Type), "15");
    // Alert 10 on this unit is an activation, timed in seconds.
    EXPECT_EQ(Row(2)->text(ToneColumn::TimeOut), "001");
    EXPECT_EQ(Row(3)->text(ToneColumn::TimeOut), "00");
}

TEST_F(ToneWindow, SaveAsGivesANameWithoutExtensionItsKindsOwn)
{
    Start();
    std::string answer = gDataFolder + "/week";
    SetFileDialogHook([&answer](const FileDialogRequest&) { return std::optional(answer); });
    window->cmdSaveAs->click();
    EXPECT_EQ(gToneGenFile, gDataFolder + "/week.TGS");
    EXPECT_EQ(ReadBytes(gToneGenFile), ReadBytes(DataFilePath("ToneGen.TGS")));

    KS_GEN_ToneScheduleCalendar calendar;
    calendar.Form_Load();
    answer = gDataFolder + "/year";
    calendar.cmdSaveAs->click();
    EXPECT_EQ(gToneGenCalendarFile, gDataFolder + "/year.TGC");
    EXPECT_FALSE(PathExists(answer));
}

TEST_F(ToneWindow, AFileWithoutOneWholeRecordIsRefusedAsTheWindowOpensAndNothingOfItGoesUp)
{
    Connect('X');
    gToneGenFile = DataFilePath("ToneGen.TGS");
    for (const std::size_t length : {std::size_t{50}, std::size_t{0}}) {
        SCOPED_TRACE(length);
        WriteBytes(gToneGenFile, std::string(length, 'x'));
        boxes.Answer(kAnswerOk);
        Open();
        ASSERT_FALSE(boxes.texts().empty());
        EXPECT_EQ(boxes.texts().back(), "Error reading user record.");
        EXPECT_EQ(window->lvwMessages->topLevelItemCount(), 0);
        unit->engine.ClearTranscript();
        boxes.AnswerAlways(kAnswerYes);
        window->cmdUpload->click();
        EXPECT_TRUE(HostLines("PE").empty());
        EXPECT_EQ(ReadBytes(gToneGenFile), std::string(length, 'x'));
    }
}

// The week the window downloads as it opens: Yes asks for a missing event
// again; one that stays missing is kept unread, and no upload sends a default
// over the unit's own event.
TEST_F(ToneWindow, AnEventMissingFromTheOpeningDownloadIsAskedForAgainOrKeptUnreadAndNeverUploaded)
{
    for (const bool comesOnRetry : {true, false}) {
        SCOPED_TRACE(comesOnRetry);
        Connect('X');
        std::remove(DataFilePath("ToneGen.TGS").c_str());
        gToneGenFile.clear(); // no schedule file: the window downloads the week
        std::string reply;
        ASSERT_TRUE(SendLinkCommand("PE", "3050715101Y0501", true, 0, reply, true, 3)); // Tuesday's fifth
        unit->engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "?E305", .times = comesOnRetry ? 3 : 0});
        boxes.Answer(kAnswerYes, !comesOnRetry); // "Click Yes to continue and retry to download"
        if (!comesOnRetry)
            boxes.Answer(kAnswerOk); // the week is not whole
        InstallToneDownloadHooks(); // as the console's load does
        Open();
        EXPECT_EQ(HostLines("?E305").size(), comesOnRetry ? 4u : 6u);
        const ToneScheduleEvent& fifth = gToneSchedule[48 + 4];
        EXPECT_EQ(fifth.Time, comesOnRetry ? "07:15 AM" : std::string(8, '\0'));
        if (!comesOnRetry)
            EXPECT_EQ(boxes.texts().back(), "The QX9860 did not send 1 of the 336 events of its tone schedule. They are "
                                            "kept unread in the file " + PathInText(DataFilePath("ToneGen.TGS"))
                                                + " and are not uploaded until they are downloaded or updated.");

        unit->engine.ClearTranscript();
        boxes.Answer(kAnswerYes);
        if (!comesOnRetry)
            boxes.Answer(kAnswerOk); // only 335 were uploaded
        window->cmdUpload->click();
        const Lines sent = HostLines("PE305");
        EXPECT_EQ(sent, comesOnRetry ? Lines{"PE3050715101Y0501"} : Lines{});
        EXPECT_EQ(HostLines("PE").size(), comesOnRetry ? 336u : 335u);
        EXPECT_TRUE(boxes.queueEmpty());
    }
    EXPECT_NE(boxes.texts().back().find("335"), std::string::npos) << boxes.texts().back();
}

namespace {

// The window opened with no schedule file on a unit that does not send
// Monday's fourth event; the operator answers No to the retry: the download
// stops there and writes no file. Monday's third event is on the unit.
void openOnACancelledDownload(ToneWindow& t)
{
    t.Connect('X');
    std::remove(DataFilePath("ToneGen.TGS").c_str());
    gToneGenFile.clear();
    std::string reply;
    ASSERT_TRUE(SendLinkCommand("PE", "2030645421Y1235", true, 0, reply, true, 3));
    t.unit->engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "?E204", .times = 0});
    t.boxes.Answer(kAnswerNo);
    InstallToneDownloadHooks();
    t.Open();
    ASSERT_FALSE(FileExists(DataFilePath("ToneGen.TGS")));
}

} // namespace

// What a cancelled download did not read is unread wherever the week goes:
// an edit's save or another weekday writes it so, and an upload passes over it.
TEST_F(ToneWindow, ACancelledOpeningDownloadLeavesWhatItDidNotReadUnreadInTheFileAndOffTheUnit)
{
    for (const bool editFirst : {true, false}) {
        SCOPED_TRACE(editFirst ? "an edit saved first" : "another weekday chosen first");
        openOnACancelledDownload(*this);
        EXPECT_EQ(Row(3)->text(ToneColumn::Time), "06:45 AM");
        for (const int unread : {4, 48})
            EXPECT_EQ(Row(unread)->text(ToneColumn::Time) + Row(unread)->text(ToneColumn::Type), "") << unread;
        if (editFirst) {
            window->chkOffLine->setChecked(true);
            Edit(1, [](Dialog& dialog) {
                dialog.chkActive->setChecked(true);
                dialog.cmdOk_Click();
            });
            window->chkOffLine->setChecked(false);
        } else {
            window->cmbWeekDay->setCurrentIndex(1);
            window->cmbWeekDay_Click();
        }
        const std::string bytes = ReadBytes(DataFilePath("ToneGen.TGS"));
        ASSERT_EQ(bytes.size(), 336u * 73);
        EXPECT_EQ(bytes.substr(2 * 73 + 30, 8), "06:45 AM");
        EXPECT_EQ(bytes.substr(3 * 73 + 2, 3) + bytes.substr(3 * 73 + 30, 8), std::string(11, '\0'));

        unit->engine.ClearTranscript();
        boxes.Answer(kAnswerYes);
        boxes.Answer(kAnswerOk);
        window->cmdUpload->click();
        EXPECT_EQ(HostLines("PE203"), Lines{"PE2030645421Y1235"});
        EXPECT_EQ(HostLines("PE").size(), 3u);
        EXPECT_EQ(boxes.texts().back(), "Only 3 messages were uploaded to the QX9860. ");

        // Once a file has held the week, a file gone missing again is a default week, not that download's.
        window->cmbWeekDay->setCurrentIndex(editFirst ? 1 : 2);
        window->cmbWeekDay_Click();
        std::remove(DataFilePath("ToneGen.TGS").c_str());
        window->cmbWeekDay->setCurrentIndex(0);
        window->cmbWeekDay_Click();
        EXPECT_EQ(ReadBytes(DataFilePath("ToneGen.TGS")).substr(2 * 73 + 30, 8), "12:00 AM");
    }
}

// An unread event opens at each list's first entry and goes out as shown;
// its Test Tone sends nothing.
TEST_F(ToneWindow, AnUnreadEventOpensAtEachListsFirstEntryAndHasNoToneToTest)
{
    openOnACancelledDownload(*this);
    unit->engine.ClearTranscript();
    SelectListRow(window->lvwMessages, Row(5));
    boxes.Answer(kAnswerOk);
    window->cmdTest->click();
    EXPECT_EQ(boxes.texts().back(), "Event 05 of Monday has not been read from the QX9860: there is no tone to test. "
                                    "Please download the schedule first.");
    EXPECT_TRUE(HostLines("G").empty());

    Edit(4, [](Dialog& dialog) {
        EXPECT_EQ(dialog.cmbAlertType->currentIndex(), 0);
        EXPECT_EQ(dialog.txtZone->text(), "01");
        dialog.chkActive->setChecked(true);
        dialog.cmdOk_Click();
    });
    EXPECT_EQ(HostLines("PE"), Lines{"PE2040000101Y0101"});
    // The action list too: an activation left at what it shows goes out as that action.
    Edit(6, [](Dialog& dialog) {
        EXPECT_EQ(dialog.cmbAction->currentIndex(), 0);
        dialog.cmbAlertType->setCurrentIndex(dialog.cmbAlertType->findText("10", Qt::MatchStartsWith));
        dialog.txtActivitySeconds->setText("30");
        dialog.chkActive->setChecked(true);
        dialog.cmdOk_Click();
    });
    EXPECT_EQ(HostLines("PE206"), Lines{"PE2060000:10Y0130"});
    EXPECT_EQ(gToneSchedule[5].Action, 1);
    EXPECT_EQ(gToneSchedule[3].AlertType, 1);
    EXPECT_EQ(Row(4)->text(ToneColumn::Type), "01");
}

// Save As with the schedule file gone names the file that is missing, not
// the target, in the message box's code page (é is one byte there).
TEST_F(ToneWindow, SaveAsWithTheCurrentFileMissingNamesThatFile)
{
    Start();
    const std::string current = gDataFolder + "/Ren\xC3\xA9.tgs";
    WriteBytes(current, ReadBytes(gToneGenFile));
    SetFileDialogHook([&current](const FileDialogRequest&) { return std::optional(current); });
    window->cmdOpen->click();
    ASSERT_EQ(gToneGenFile, current);
    QFile::remove(QString::fromStdString(current));
    const std::string target = gDataFolder + "/copy.tgs";
    SetFileDialogHook([&target](const FileDialogRequest&) { return std::optional(target); });
    boxes.Answer(kAnswerOk);
    window->cmdSaveAs->click();
    EXPECT_EQ(boxes.texts().back(), "Please confirm that the file " + PathInText(gDataFolder) + "/Ren\xE9.tgs"
                                        + " exists and that you have the appropriate access permissions.");
    EXPECT_FALSE(FileExists(target));
}

// A unit that says it has no tone generator or calendar, by its model or by
// its answer, holds nothing to read: the week and the year take their default
// events, written without a word. One that left the question unanswered (late
// with its answer), or whose identification fell short (nothing said to the
// identity request, or no unit found at all after it answered the probe), may
// hold a schedule: nothing is written, the operator is told, and nothing is
// uploaded from defaults.
TEST_F(ToneWindow, ADownloadWritesDefaultsOnlyForAUnitThatSaidItHasNoneAndNothingWhenItsAnswerFellShort)
{
    // Late at the download's own identification (the week's comes first).
    const auto late = [](const char* query, int times) {
        return [=](sim::Engine& e) {
            e.AddFault({.kind = sim::FaultKind::Delay, .pattern = query, .match = sim::MatchMode::Exact, .ticks = 30,
                        .times = times});
        };
    };
    const struct {
        const char* what;
        char letter;
        std::function<void(sim::Engine&)> prepare;
        bool silentAfterTheProbe;
        const char* weekBox; // the unit the box names, or none: the file is written
        const char* yearBox;
    } cases[] = {
        {"a QX7560", 'G', nullptr, false, nullptr, nullptr},
        {"a QX9860 that answers no", 'X',
         [](sim::Engine& e) {
             e.EditProfile().toneGenerator = false;
             e.EditProfile().calendarEventsPerDay.reset(); // "?TC" refused
         },
         false, nullptr, nullptr},
        {"a QX8140 with a tone generator and no calendar", 'A', nullptr, false, nullptr, nullptr},
        {"a unit late once with ?TG", 'X', late("?TG", 1), false, "QX9860", nullptr},
        {"a unit late with ?TC at both downloads", 'X', late("?TC", 2), false, nullptr, "QX9860"},
        {"a unit pausing at the identification", 'X',
         [](sim::Engine& e) {
             e.AddFault({.kind = sim::FaultKind::Delay, .pattern = "?000M", .ticks = 50, .times = 0});
         },
         false, "QX8XXX", "QX8XXX"},
        {"a unit silent at ?000M", 'X',
         [](sim::Engine& e) { e.AddFault({.kind = sim::FaultKind::Silence, .pattern = "?000M", .times = 0}); },
         false, "QX8XXX", "QX8XXX"},
        // Found by its probe, then silent: no model to name. Silent at the
        // calendar's own probe, it gets the default year as any unit does there.
        {"a unit silent once its probe is answered", 'X',
         [](sim::Engine& e) {
             for (const char* line : {"?000M", "P"})
                 e.AddFault({.kind = sim::FaultKind::Silence, .pattern = line, .match = sim::MatchMode::Exact,
                             .times = 0});
             SetYieldHook([&e, pokesSilent = false]() mutable {
                 AdvanceTick();
                 PollEncoderReply();
                 if (!pokesSilent && !e.Transcript().empty() && e.Transcript().back().bytes == "?000M\r") {
                     pokesSilent = true;
                     e.AddFault({.kind = sim::FaultKind::Silence, .pattern = "", .match = sim::MatchMode::Exact,
                                 .times = 0});
                 }
             });
         },
         false, "encoder", nullptr},
        {"a unit silent at the identification after the probe", 'X', nullptr, true, "encoder", "encoder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        InstallTickPump();
        Connect(c.letter);
        for (const char* name : {"ToneGen.TGS", "ToneGenCalendar.TGC"})
            std::remove(DataFilePath(name).c_str());
        gToneGenFile.clear();
        gToneGenCalendarFile.clear();
        if (c.prepare)
            c.prepare(unit->engine);
        ScriptedMessages shown;
        shown.AnswerAlways(kAnswerOk);
        InstallToneDownloadHooks();
        if (c.silentAfterTheProbe) {
            // The unit answers the download's probe and nothing after it.
            ToneDownloadHooks hooks;
            hooks.isLinkResponding = [] { return IsLinkResponding(); };
            hooks.detectEncoder = [this] {
                SilenceEveryLine(unit->engine);
                DetectEncoder();
                unit->engine.ClearFaults();
            };
            SetToneDownloadHooks(std::move(hooks));
        }
        Open();
        bool created = false;
        QDate firstDay;
        LoadToneCalendar(true, created, firstDay);
        Lines told;
        if (c.weekBox)
            told.push_back(std::string("The ") + c.weekBox + " did not send its tone schedule. The file "
                           + PathInText(DataFilePath("ToneGen.TGS")) + " was not written.");
        if (c.yearBox)
            told.push_back(std::string("The ") + c.yearBox + " did not send its tone schedule calendar. The file "
                           + PathInText(DataFilePath("ToneGenCalendar.TGC")) + " was not written.");
        EXPECT_EQ(shown.texts(), told);
        EXPECT_EQ(FileExists(DataFilePath("ToneGen.TGS")), !c.weekBox);
        EXPECT_EQ(FileExists(DataFilePath("ToneGenCalendar.TGC")), !c.yearBox);
        if (!c.weekBox && c.letter == 'G') {
            const std::string week = ReadBytes(DataFilePath("ToneGen.TGS"));
            ASSERT_EQ(week.size(), 336u * 73);
            EXPECT_EQ(week.substr(48 * 73, 4), "0101");
            EXPECT_NE(week.substr(48 * 73, 73).find("12:00 AM"), std::string::npos);
            EXPECT_EQ(Row(48)->text(ToneColumn::Time), "12:00 AM");
        }
        if (c.weekBox) {
            unit->engine.ClearFaults();
            window->cmdUpload->click();
            EXPECT_TRUE(HostLines("PE").empty());
        }
        window.reset();
    }
    InstallTickPump();
}

// A file opened while a torn file's listing beeps is the file the list, the
// Week Day box, the File Name and the event dialog's save all end on.
TEST_F(ToneWindow, AFileOpenedWhileTheListingLoadsIsTheFileListedNamedAndSavedTo)
{
    Start();
    std::string week = ReadBytes(gToneGenFile);
    week.replace(5, 8, "TornWeek"); // Monday's first event
    const std::string torn = gDataFolder + "/torn.tgs";
    WriteBytes(torn, week.substr(0, 100 * 73) + std::string(20, 'x'));
    week.replace(5, 8, "OpenWeek");
    week.replace(30, 8, "07:45 AM");
    const std::string opened = gDataFolder + "/opened.tgs";
    WriteBytes(opened, week);
    gToneGenFile = torn;
    SetFileDialogHook([&opened](const FileDialogRequest&) { return std::optional(opened); });
    boxes.AnswerAlways(kAnswerOk);
    const StatusSink before = CurrentStatusSink();
    SetStatusSink([](const std::string&, bool isError, int) {
        if (isError)
            WaitTicks(3); // the beeps
    });
    bool openedMeanwhile = false;
    ActInTheNextWait([&] {
        openedMeanwhile = true;
        window->cmdOpen_Click();
    });
    window->cmbWeekDay->setCurrentIndex(2); // Wednesday, of the torn file
    window->cmbWeekDay_Click();
    InstallTickPump();
    SetStatusSink(before);
    ASSERT_TRUE(openedMeanwhile);
    EXPECT_EQ(window->txtFileName->text().toStdString(), opened);
    EXPECT_EQ(window->cmbWeekDay->currentText(), "Monday");
    EXPECT_EQ(Row(1)->text(ToneColumn::Time), "07:45 AM");

    window->chkOffLine->setChecked(true);
    Edit(1, [](Dialog& dialog) {
        dialog.dtpTime->setTime(QTime(9, 10));
        dialog.chkActive->setChecked(true);
        dialog.cmdOk_Click();
    });
    EXPECT_EQ(ReadBytes(opened).substr(5, 8), "OpenWeek");
    EXPECT_EQ(ReadBytes(opened).substr(30, 8), "09:10 AM");
    EXPECT_EQ(ReadBytes(torn).size(), 100u * 73 + 20);
}

// A damaged file's status beeps while the listing loads it; a day picked in
// that wait is the day the list, the Week Day box and the event dialog end on.
TEST_F(ToneWindow, ADayPickedWhileTheListingLoadsIsTheDayListedNamedAndSavedTo)
{
    Start();
    const std::string torn = gDataFolder + "/torn.tgs";
    WriteBytes(torn, ReadBytes(gToneGenFile).substr(0, 100 * 73) + std::string(20, 'x'));
    gToneGenFile = torn;
    const StatusSink before = CurrentStatusSink();
    SetStatusSink([](const std::string&, bool isError, int) {
        if (isError)
            WaitTicks(3); // the beeps
    });
    bool picked = false;
    QString captionMeanwhile;
    ActInTheNextWait([&] {
        picked = true;
        window->cmbWeekDay->setCurrentIndex(2); // Wednesday
        window->cmbWeekDay_Click();
        // Monday is still the day listed, whatever the Week Day box shows now.
        captionMeanwhile = OpenDialog(1)->windowTitle();
    });
    window->cmbWeekDay->setCurrentIndex(1); // Tuesday
    window->cmbWeekDay_Click();
    InstallTickPump();
    SetStatusSink(before);
    ASSERT_TRUE(picked);
    EXPECT_TRUE(captionMeanwhile.startsWith("Tone Schedule -  Monday - ")) << captionMeanwhile.toStdString();
    EXPECT_EQ(window->ShownWeekday(), 3);
    EXPECT_EQ(window->cmbWeekDay->currentText(), "Wednesday");

    window->chkOffLine->setChecked(true);
    Edit(1, [](Dialog& dialog) {
        EXPECT_TRUE(dialog.windowTitle().startsWith("Tone Schedule -  Wednesday - ")) << dialog.windowTitle().toStdString();
        dialog.dtpTime->setTime(QTime(9, 10));
        dialog.chkActive->setChecked(true);
        dialog.cmdOk_Click();
    });
    const std::string bytes = ReadBytes(torn);
    EXPECT_EQ(bytes.substr(96 * 73 + 30, 8), "09:10 AM"); // Wednesday's first event
    EXPECT_NE(bytes.substr(48 * 73 + 30, 8), "09:10 AM");
}
