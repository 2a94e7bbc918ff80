// The tone calendar window and its event dialog against the simulator.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <memory>

#include "CalendarYearView.h"
#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_FileDialog.h"
#include "KS_GEN_ToneScheduleCalendar.h"
#include "KS_GEN_ToneScheduleCalendarlAdd.h"
#include "KS_LinkHooks.h"
#include "KS_Modem.h"
#include "KS_ListWindow.h"
#include "KS_Registry.h"
#include "KS_SYS_Message.h"
#include "KS_ToneCalendar.h"
#include "KS_ToneSchedule.h"
#include "ModalDialog.h"
#include "ToneTestSupport.h"

namespace {

struct CalendarWindow : testing::Test {
    void SetUp() override
    {
        SetClockForTest([] { return QDateTime(QDate(2024, 6, 15), QTime(12, 0), Qt::UTC); });
        unit = std::make_unique<SimUnit>('X');
        gToneGenCalendarFile.clear();
        window = std::make_unique<KS_GEN_ToneScheduleCalendar>();
        window->Form_Load();
    }
    void TearDown() override
    {
        SetClockForTest({});
        SetFileDialogHook({});
    }

    QTreeWidgetItem* Row(int eventNo) { return window->lvwMessages->topLevelItem(eventNo - 1); }
    // Opens the event dialog on a row of the shown day, as Update does.
    std::unique_ptr<KS_GEN_ToneScheduleCalendarlAdd> Edit(int eventNo)
    {
        SelectListRow(window->lvwMessages, Row(eventNo));
        return std::make_unique<KS_GEN_ToneScheduleCalendarlAdd>(window.get());
    }
    void Choose(const QDate& start, const QDate& end)
    {
        window->mvwCalendar->SetSelection(start, end);
        window->mvwCalendar_SelChange(start, end);
    }
    CalendarEvent Record(const QDate& date, int eventNo)
    {
        CalendarEvent e;
        ReadRecordAt(gToneGenCalendarFile, (QDate(2024, 1, 1).daysTo(date)) * 100 + eventNo, e);
        return e;
    }
    // An event on the date, as the file holds it; the window lists the date again.
    void PutEvent(const QDate& date, int eventNo, int zone = 9, bool active = true, int alertType = 1)
    {
        CalendarEvent e = DefaultCalendarEvent(SerialFromDate(date), eventNo);
        e.Zone = static_cast<std::int16_t>(zone);
        e.AlertType = alertType, e.Active = active ? -1 : 0;
        const int day = static_cast<int>(QDate(2024, 1, 1).daysTo(date)) + 1;
        WriteCalendarEvent(gToneGenCalendarFile, day, eventNo, e);
        Choose(date, date);
        window->ShowCalendarDay(day, false);
        window->DrawDayIndicators();
    }

    std::unique_ptr<SimUnit> unit;
    ScriptedMessages boxes;
    std::unique_ptr<KS_GEN_ToneScheduleCalendar> window;
};

} // namespace

TEST_F(CalendarWindow, OpensOnTheFirstDayOfTheYearAndListsTheLastDayOfAChosenRange)
{
    EXPECT_EQ(window->mvwCalendar->MinDate(), QDate(2024, 1, 1));
    EXPECT_EQ(window->mvwCalendar->MaxDate(), QDate(2024, 12, 31));
    EXPECT_EQ(window->lvwMessages->topLevelItemCount(), 100);
    EXPECT_EQ(Row(1)->text(ToneColumn::Time), "12:00 AM");
    EXPECT_EQ(window->lblActiveEvetCount->text(), "Active Events Count for 01/01/2024:");
    EXPECT_EQ(window->txtSelectedWeek->text(), "12/31/2023 - 01/06/2024");

    Choose(QDate(2024, 3, 4), QDate(2024, 3, 9));
    EXPECT_EQ(window->ShownDate(), QDate(2024, 3, 9));
    EXPECT_EQ(window->dtpSelectedFromDate->date(), QDate(2024, 3, 4));
    EXPECT_EQ(window->lblActiveEvetCount->text(), "Active Events Count for 03/09/2024:");

    // A range reaching past the calendar's end is refused and the list stays.
    window->mvwCalendar_SelChange(QDate(2024, 12, 30), QDate(2025, 1, 2));
    EXPECT_EQ(window->ShownDate(), QDate(2024, 3, 9));
    EXPECT_TRUE(boxes.shown().empty());

    // The period pickers move the year view's selection.
    window->dtpSelectedFromDate->setDate(QDate(2024, 3, 4));
    window->dtpSelectedToDate->setDate(QDate(2024, 3, 20));
    EXPECT_EQ(window->mvwCalendar->SelStart(), QDate(2024, 3, 4));
    EXPECT_EQ(window->mvwCalendar->SelEnd(), QDate(2024, 3, 20));
}

TEST_F(CalendarWindow, TheDialogKeepsDurationsWithinTheirTypesLimits)
{
    auto dialog = Edit(1);
    const auto type = [&](const char* text) {
        dialog->cmbAlertType->setCurrentIndex(dialog->cmbAlertType->findText(text));
    };
    const auto duration = [&](const char* minutes, const char* seconds) {
        dialog->txtDurationMinutes->setText(minutes);
        dialog->txtDurationSeconds->setText(seconds);
    };
    dialog->chkActive->setChecked(true);
    dialog->txtZone->setText("250");
    type("98 - Start Countdown");
    EXPECT_EQ(dialog->updDurationMinutes->maximum(), 79);
    EXPECT_FALSE(dialog->cmbAlertLevel->isEnabled());
    EXPECT_FALSE(dialog->cmbAlertDelay->isEnabled()); // its repeat is "None"
    boxes.AnswerAlways(kAnswerOk);
    duration("00", "00");
    dialog->cmdOk_Click();
    duration("79", "01");
    dialog->cmdOk_Click();
    type("99 - Device Activation");
    EXPECT_EQ(dialog->updDurationMinutes->maximum(), 8);
    EXPECT_TRUE(dialog->txtDurationMinutes->isEnabled());
    duration("08", "30");
    dialog->cmdOk_Click();
    EXPECT_EQ(boxes.texts(), (Lines{"This Alert Type requires a Duration value of 1 to 79 minutes.",
                                    "This Alert Type requires a Duration value of 1 to 79 minutes.",
                                    "This Alert Type requires a Duration value of 1 to 8 minutes."}));
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    dialog->cmbAction->setCurrentIndex(2); // Deactivate: no duration, no check
    EXPECT_EQ(dialog->txtDurationSeconds->text(), "00");
    EXPECT_FALSE(dialog->txtDurationMinutes->isEnabled());

    type("98 - Start Countdown");
    duration("79", "00");
    dialog->cmdOk_Click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const CalendarEvent saved = Record(QDate(2024, 1, 1), 1);
    EXPECT_EQ(saved.AlertType, 98);
    EXPECT_EQ(saved.Duration, 4740);
    EXPECT_EQ(saved.Zone, 250);
    EXPECT_EQ(Row(1)->text(ToneColumn::Duration), "79:00");
    EXPECT_TRUE(window->scheduleChanged_);
    EXPECT_EQ(boxes.shown().size(), 3u);
}

TEST_F(CalendarWindow, TabInTheDurationGoesFromBoxToBoxNotIntoTheArrows)
{
    auto dialog = Edit(1);
    dialog->cmbAlertType->setCurrentIndex(dialog->cmbAlertType->findText("98 - Start Countdown"));
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get(), 1000));
    dialog->txtDurationMinutes->setFocus();
    QCoreApplication::processEvents(); // the box selects its text on entry
    QTest::keyClicks(dialog->txtDurationMinutes, "05");
    QTest::keyClick(dialog->txtDurationMinutes, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QTest::keyClicks(QApplication::focusWidget(), "30");
    EXPECT_EQ(dialog->txtDurationMinutes->text(), "05");
    EXPECT_EQ(dialog->txtDurationSeconds->text(), "30");
    dialog->hide();
}

TEST_F(CalendarWindow, AnEditedEventCountsAndMarksItsDay)
{
    Choose(QDate(2024, 2, 29), QDate(2024, 2, 29));
    auto dialog = Edit(100);
    dialog->chkActive->setChecked(true);
    // An active event needs a zone.
    boxes.Answer(kAnswerOk);
    dialog->cmdOk_Click();
    EXPECT_EQ(boxes.texts(), Lines{"An active event requires a Zone / Device between 1 and 99."});
    dialog->txtZone->setText("7");
    dialog->cmdOk_Click();
    EXPECT_EQ(window->txtActiveEvetCount->text(), "1");
    EXPECT_TRUE(window->mvwCalendar->IsMarked(QDate(2024, 2, 29)));
    EXPECT_EQ(Record(QDate(2024, 2, 29), 100).Active, -1);
    EXPECT_EQ(DateFromSerial(Record(QDate(2024, 2, 29), 100).EventDate), QDate(2024, 2, 29));

    // Clearing the day's last active event takes the mark away; the operator is asked first.
    dialog = Edit(100);
    dialog->chkActive->setChecked(false);
    boxes.Answer(kAnswerYes);
    dialog->cmdOk_Click();
    EXPECT_EQ(window->txtActiveEvetCount->text(), "0");
    EXPECT_FALSE(window->mvwCalendar->IsMarked(QDate(2024, 2, 29)));
}

TEST_F(CalendarWindow, RefusesCopiesAndWeeksThatLeaveTheCalendar)
{
    window->dtpSelectedFromDate->setDate(QDate(2024, 12, 1));
    window->dtpSelectedToDate->setDate(QDate(2024, 12, 10));
    window->dtpCopyToDate->setDate(QDate(2024, 12, 25));
    boxes.Answer(kAnswerOk);
    window->cmdCopyFrom_Click();
    window->mvwCalendar->SetValue(QDate(2024, 1, 3));
    boxes.Answer(kAnswerOk);
    window->cmdDefaultWeek_Click();
    EXPECT_EQ(boxes.texts(),
              (Lines{"The target period of 12/25/2024 to 01/03/2025 exceeds the calendar end date  of 12/31/2024. "
                     "If required, adjust the Schedule Start Month.",
                     "The selected week starts before 01/01/2024. Please select a full week between 01/01/2024 and "
                     "12/31/2024."}));
    EXPECT_FALSE(window->scheduleChanged_);
}

TEST_F(CalendarWindow, ACopyOffersTheUploadWhichClearsItOnlyWhenDone)
{
    Choose(QDate(2024, 5, 6), QDate(2024, 5, 6));
    window->dtpCopyToDate->setDate(QDate(2024, 5, 7));
    boxes.Answer(kAnswerYes);
    window->cmdCopyFrom_Click();
    EXPECT_EQ(boxes.texts().back(), "Are you sure you want to copy the selected schedule period (05/06/2024) to the "
                                    "period starting at 05/07/2024 ?");
    EXPECT_TRUE(window->scheduleChanged_);

    // A refused day leaves it set; closing asks and uploads.
    unit->Fault(sim::FaultKind::Refuse, "PCD0110");
    boxes.Answer(kAnswerYes); // upload now
    boxes.Answer(kAnswerYes); // only the first 48 events
    boxes.Answer(kAnswerOk);  // the link error
    window->close();
    EXPECT_EQ(boxes.texts()[1], "The schedule for the period starting at 05/07/2024 has to be uploaded to the QX9860 "
                                "for your changes to take effect. Upload now? ");
    EXPECT_TRUE(window->scheduleChanged_);
    EXPECT_EQ(window->lblInfo->text(), "Canceled !");
    EXPECT_EQ(unit->hostLines("PCD").back().substr(0, 7), "PCD0110");

    unit->engine.ClearFaults();
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerYes);
    window->cmdUpload_Click();
    EXPECT_EQ(window->lblInfo->text(), "Done !");
    EXPECT_FALSE(window->scheduleChanged_);
}

TEST_F(CalendarWindow, ExitUnloadingAChangedCalendarAsksNothingAndSendsNothing)
{
    Choose(QDate(2024, 5, 6), QDate(2024, 5, 6));
    window->dtpCopyToDate->setDate(QDate(2024, 5, 7));
    boxes.Answer(kAnswerYes);
    window->cmdCopyFrom_Click();
    ASSERT_TRUE(window->scheduleChanged_);
    const auto linesBefore = unit->hostLines("").size();

    RequestExit(); // as Exit stands once the port is closed
    const bool closed = window->close();
    ClearExitRequest();
    EXPECT_TRUE(closed);
    EXPECT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(unit->hostLines("").size(), linesBefore);
}

TEST_F(CalendarWindow, ClosingAfterApplyOrARotationOffersNoUpload)
{
    boxes.Answer(kAnswerYes);
    window->cmdClearEvents_Click();
    boxes.Answer(kAnswerYes);
    window->cmdRotation_Click();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(boxes.texts(), (Lines{"Are you sure you want to deactivate all events on 01/01/2024 ?",
                                    "Are you sure you want to rotate all events 1 day forward ?"}));
}

TEST_F(CalendarWindow, TheDeviceClockShowsItsSecondsAndNeedsNoCheckDigit)
{
    unit->engine.SetClock({2024, 6, 15, 14, 5, 9}, gDelayTicks);
    window->ReadDeviceDateTime();
    EXPECT_EQ(window->txtDateTime->text(), "Saturday, 06/15/24 02:05:09 PM");

    // 10:35:07 on 12/31/99, weekday 6 and a check digit that does not add up (47 needs 7).
    const auto clock = ParseOneCommandClockLine("10350712319966\r", DeviceClockRule::Calendar);
    ASSERT_TRUE(clock);
    EXPECT_EQ(*clock, QDateTime(QDate(2099, 12, 31), QTime(10, 35, 7)));
    // Only the twelve digits of time and date must be digits.
    for (const char* line : {"103507123199A6\r", "1035071231996?\r"})
        EXPECT_EQ(ParseOneCommandClockLine(line, DeviceClockRule::Calendar), clock) << line;
    EXPECT_FALSE(ParseOneCommandClockLine("1035071231996\r", DeviceClockRule::Calendar));
    EXPECT_FALSE(ParseOneCommandClockLine("10350712319A67\r", DeviceClockRule::Calendar));
}

TEST_F(CalendarWindow, AMonthRotationMovesTheRangeAndTestToneSkipsSpecialTypes)
{
    window->cmbRotation->setCurrentIndex(2);
    boxes.Answer(kAnswerYes);
    window->cmdRotation_Click();
    EXPECT_EQ(window->mvwCalendar->MinDate(), QDate(2024, 2, 1));
    EXPECT_EQ(window->mvwCalendar->MaxDate(), QDate(2025, 1, 31));
    EXPECT_EQ(window->ShownDate(), QDate(2024, 2, 1));
    EXPECT_FALSE(window->scheduleChanged_);

    Row(1)->setText(ToneColumn::Type, "98 - Start Countdown");
    SelectListRow(window->lvwMessages, Row(1));
    EXPECT_FALSE(window->cmdTest->isEnabled());
    window->cmdTest_Click();
    SelectListRow(window->lvwMessages, Row(2));
    EXPECT_TRUE(window->cmdTest->isEnabled());
    Row(2)->setText(ToneColumn::Zone, "012");
    window->cmdTest_Click();
    EXPECT_EQ(unit->engine.TestTones(), Lines{"GM010110012"});
}

TEST_F(CalendarWindow, SaveAsCopiesTheCalendarAndOpenListsTheChosenOne)
{
    const std::string current = gToneGenCalendarFile;
    // Names with letters outside ASCII are names like any other.
    std::string answer = DataFilePath("Andr\xC3\xA9.TGC");
    SetFileDialogHook([&answer](const FileDialogRequest&) { return std::optional(answer); });
    window->cmdSaveAs_Click();
    EXPECT_EQ(ReadBytes(answer), ReadBytes(current));
    EXPECT_EQ(gToneGenCalendarFile, answer);

    // Open takes a calendar that starts elsewhere in the year and lists its first day.
    std::string march;
    for (int d = 0; d < 365; ++d)
        for (int e = 1; e <= 100; ++e)
            march += EncodeRecord(DefaultCalendarEvent(SerialFromDate(QDate(2025, 3, 1).addDays(d)), e));
    answer = DataFilePath("M\xC3\xA4rz.TGC");
    WriteBytes(answer, march);
    window->cmdOpen_Click();
    EXPECT_EQ(GetConfigSetting("ToneGenCalendarFile"), answer);
    EXPECT_EQ(window->txtFileName->text(), QString::fromStdString(answer));
    EXPECT_EQ(window->mvwCalendar->MinDate(), QDate(2025, 3, 1));
    EXPECT_EQ(window->mvwCalendar->MaxDate(), QDate(2026, 2, 28));
    EXPECT_EQ(window->ShownDate(), QDate(2025, 3, 1));

    // A calendar named without an extension opens as it stands, not as the same name with one.
    answer = DataFilePath("Spring");
    WriteBytes(answer, march);
    window->cmdOpen_Click();
    EXPECT_EQ(gToneGenCalendarFile, answer);
    EXPECT_EQ(window->mvwCalendar->MinDate(), QDate(2025, 3, 1));
}

TEST_F(CalendarWindow, AFileOpenRefusesLeavesTheCalendarAndTheSettingAsTheyWere)
{
    const std::string current = gToneGenCalendarFile;
    SaveConfigSetting("ToneGenCalendarFile", current);
    PutEvent(QDate(2024, 1, 1), 1, 7);
    std::string answer;
    SetFileDialogHook([&answer](const FileDialogRequest&) { return std::optional(answer); });
    std::string midMonth;
    for (int e = 1; e <= 100; ++e)
        midMonth += EncodeRecord(DefaultCalendarEvent(SerialFromDate(QDate(2025, 3, 15)), e));
    answer = DataFilePath("MidMonth.TGC");
    WriteBytes(answer, midMonth);
    boxes.Answer(kAnswerOk);
    boxes.Answer(kAnswerOk);
    window->cmdOpen_Click();
    answer = DataFilePath("Empty.TGC");
    WriteBytes(answer, "");
    window->cmdOpen_Click();
    ASSERT_EQ(boxes.texts().size(), 2u);
    EXPECT_EQ(boxes.texts()[0], "The file " + PathInText(DataFilePath("MidMonth.TGC"))
                                    + " does not hold a tone schedule calendar: its first date is not the first day "
                                      "of a month. The file was left as it is.");
    EXPECT_EQ(boxes.texts()[1], "Error reading user record.");
    EXPECT_EQ(GetConfigSetting("ToneGenCalendarFile"), current);
    EXPECT_EQ(gToneGenCalendarFile, current);
    EXPECT_EQ(window->txtFileName->text().toStdString(), current);
    EXPECT_EQ(Row(1)->text(ToneColumn::Zone), "007");

    // The next opening finds the calendar that was in use, without a word.
    window = std::make_unique<KS_GEN_ToneScheduleCalendar>();
    window->Form_Load();
    EXPECT_EQ(boxes.texts().size(), 2u);
    EXPECT_EQ(window->lvwMessages->topLevelItemCount(), 100);
}

TEST_F(CalendarWindow, TheDialogKeepsAStoredTypeTheListDoesNotOffer)
{
    for (const int type : {9, 10, 95}) {
        PutEvent(QDate(2024, 1, 1), 1, 9, true, type);
        auto dialog = Edit(1);
        EXPECT_TRUE(dialog->cmbAlertLevel->isEnabled());
        EXPECT_FALSE(dialog->txtDurationMinutes->isEnabled());
        dialog->cmdOk_Click();
        EXPECT_EQ(Record(QDate(2024, 1, 1), 1).AlertType, type);
    }
    // Another type chosen is saved as chosen.
    auto dialog = Edit(1);
    dialog->cmbAlertType->setCurrentIndex(dialog->cmbAlertType->findText("03 - Alert 03"));
    dialog->cmdOk_Click();
    EXPECT_EQ(Record(QDate(2024, 1, 1), 1).AlertType, 3);
}

TEST_F(CalendarWindow, ADownloadReplacesTheCalendarOnlyWhenEveryDayCame)
{
    const std::string ours = ReadBytes(gToneGenCalendarFile);
    const std::string question = "Default Tone Schedule Calendar file (\\ToneGenCalendar.TGC) on this computer will "
                                 "be overwritten.\r\nAre you sure you want to continue and download the schedule "
                                 "from the QX9860 ?";
    // The 5th of March never comes; the operator asks for it again, then gives up.
    unit->Fault(sim::FaultKind::Silence, "?CD0305");
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerNo);
    boxes.Answer(kAnswerOk);
    window->cmdDownload_Click();
    ASSERT_EQ(boxes.texts().size(), 4u);
    EXPECT_EQ(boxes.texts()[0], question);
    EXPECT_EQ(boxes.texts()[3], "The QX9860 did not send day 65 of the 366 days. The download was stopped there, "
                                "and the file " + PathInText(DataFilePath("ToneGenCalendar.TGC")) + " was left as it is.");
    EXPECT_EQ(ReadBytes(gToneGenCalendarFile), ours);
    EXPECT_FALSE(PathExists(DataFilePath("ToneGenCalendar.BAK")));

    // Whole, the unit's year replaces the file, which is kept as the backup.
    unit->engine.ClearFaults();
    std::string reply;
    ASSERT_TRUE(SendLinkCommand("PCD", "07040930009031234Y*", true, 30, reply, true, 0));
    boxes.Answer(kAnswerYes);
    window->cmdDownload_Click();
    EXPECT_EQ(ReadBytes(DataFilePath("ToneGenCalendar.BAK")), ours);
    EXPECT_EQ(Record(QDate(2024, 7, 4), 1).Zone, 9);
    EXPECT_TRUE(window->mvwCalendar->IsMarked(QDate(2024, 7, 4)));
    EXPECT_EQ(window->ShownDate(), QDate(2024, 1, 1));
    EXPECT_EQ(window->lblInfo->text(), "Done !");

    // The window, which covers the main status line, counts the days itself and says when a download was canceled.
    unit->Fault(sim::FaultKind::Silence, "?CD0305");
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerNo);
    boxes.Answer(kAnswerOk);
    window->cmdDownload_Click();
    EXPECT_EQ(window->lblInfo->text(), "Canceled !");
    EXPECT_EQ(window->prgProgress->value(), 64);
    EXPECT_EQ(window->prgProgress->maximum(), 366);
}

// A calendar day of 48 events is 679 characters: near six seconds at 1200
// baud, far past the wait for "?CD". Every day still arrives whole, at every
// speed offered and on a modem call connected slower than the port.
TEST(CalendarOnASlowLine, TheYearIsReadWholeAtEverySpeedAndOnASlowerModemCall)
{
    SetClockForTest([] { return QDateTime(QDate(2024, 6, 15), QTime(12, 0), Qt::UTC); });
    const struct {
        const char* unit;
        const char* port;
        bool modem;
        sim::ModemResult call = sim::ModemResult::Connect2400;
    } lines[] = {{"300,N,8,1", "300,N,8,1", false},
                 {"1200,N,8,1", "1200,N,8,1", false},
                 {"2400,N,8,1", "2400,N,8,1", false},
                 {"2400,N,8,1", "38400,N,8,1", true},
                 {"300,N,8,1", "38400,N,8,1", true, sim::ModemResult::Connect}}; // a bare CONNECT: 300 bps
    for (const auto& line : lines) {
        const std::string speed = line.port;
        SCOPED_TRACE(std::string(line.unit) + (line.modem ? " by modem" : ""));
        SimUnit unit('X');
        std::string reply;
        ASSERT_TRUE(SendLinkCommand("PCD", "07040930009031234Y*", true, 30, reply, true, 0));
        unit.engine.SetUnitSettings(line.unit);
        ASSERT_TRUE(OpenSerialPort(*gComm, 1, speed));
        gComSettings = speed;
        if (line.modem) {
            unit.engine.EnableModem();
            unit.engine.SetDialResult(line.call);
            gConnectionType = 2;
            ASSERT_TRUE(DialModem("5551234"));
        }
        unit.engine.SetLineTimeEmulation(true);
        gToneGenCalendarFile.clear();
        std::remove(DataFilePath("ToneGenCalendar.TGC").c_str());
        InstallToneDownloadHooks();
        ScriptedMessages boxes;
        boxes.AnswerAlways(kAnswerNo);
        bool created = false;
        QDate firstDay;
        ASSERT_TRUE(LoadToneCalendar(true, created, firstDay));
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{});
        CalendarEvent e;
        ASSERT_EQ(ReadRecordAt(DataFilePath("ToneGenCalendar.TGC"), 185 * 100 + 1, e), FileError::None); // 4 July
        EXPECT_EQ(e.Zone, 9);
        EXPECT_EQ(unit.hostLines("?CD").size(), 372u); // each block asked once
        if (line.modem)
            HangUpModem();
        gConnectionType = 1;
        gComSettings = "9600,N,8,1";
    }
    SetClockForTest({});
}

TEST_F(CalendarWindow, ApplyActivatesAndDeactivatesADayOrTheChosenMonth)
{
    // A zoneless event is never activated, nor one of another month.
    PutEvent(QDate(2024, 2, 20), 5, 0, false);
    PutEvent(QDate(2024, 3, 1), 1, 3, false);
    PutEvent(QDate(2024, 2, 10), 4);
    const struct {
        int item;
        const char* question;
        bool active;
    } cases[] = {
        {4, "Are you sure you want to activate all events on 02/2024 ?", true},
        {1, "Are you sure you want to deactivate all events on 02/10/2024 ?", false},
        {2, "Are you sure you want to deactivate all events on 02/2024 ?", false},
        {3, "Are you sure you want to activate all events on 02/10/2024 ?", true},
    };
    for (const auto& c : cases) {
        window->cmbEvents->setCurrentIndex(c.item - 1);
        window->mvwCalendar->SetValue(QDate(2024, 2, 10));
        boxes.Answer(kAnswerYes);
        window->cmdClearEvents_Click();
        EXPECT_EQ(boxes.texts().back(), c.question);
        EXPECT_EQ(Record(QDate(2024, 2, 10), 4).Active, c.active ? -1 : 0) << c.item;
        EXPECT_EQ(Record(QDate(2024, 2, 20), 5).Active, 0) << c.item;
        EXPECT_EQ(Record(QDate(2024, 3, 1), 1).Active, 0) << c.item;
        EXPECT_EQ(window->mvwCalendar->IsMarked(QDate(2024, 2, 10)), c.active) << c.item;
    }
}

TEST_F(CalendarWindow, ADayRotationMovesTheEventsAndTheirMarksEvenForACalendarKeptElsewhere)
{
    // The calendar lives outside the data folder: its backup is a copy in the data folder.
    const std::string elsewhere = gDataFolder + "/elsewhere";
    MakeDirectory(elsewhere);
    gToneGenCalendarFile = elsewhere + "/M\xC3\xA4rz.TGC";
    WriteBytes(gToneGenCalendarFile, ReadBytes(DataFilePath("ToneGenCalendar.TGC")));
    window->ShowCalendarDay(1, false);
    PutEvent(QDate(2024, 12, 31), 2);
    const std::string ours = ReadBytes(DataFilePath("ToneGenCalendar.TGC"));
    const struct {
        int item;
        const char* question;
        QDate marked;
    } cases[] = {
        {1, "Are you sure you want to rotate all events 1 day forward ?", QDate(2024, 1, 1)},
        {2, "Are you sure you want to rotate all events 1 day backward ?", QDate(2024, 12, 31)},
    };
    for (const auto& c : cases) {
        const std::string before = ReadBytes(gToneGenCalendarFile);
        window->cmbRotation->setCurrentIndex(c.item - 1);
        boxes.Answer(kAnswerYes);
        window->cmdRotation_Click();
        EXPECT_EQ(ReadBytes(DataFilePath("ToneGenCalendar.BAK")), before);
        EXPECT_EQ(boxes.texts().back(), c.question);
        EXPECT_EQ(Record(c.marked, 2).Zone, 9) << c.item;
        EXPECT_EQ(DateFromSerial(Record(c.marked, 2).EventDate), c.marked);
        EXPECT_EQ(window->mvwCalendar->MinDate(), QDate(2024, 1, 1));
        EXPECT_TRUE(window->mvwCalendar->IsMarked(c.marked));
    }
    // The rebuilt file holds the year's days, each event in its place.
    EXPECT_EQ(FileLength(gToneGenCalendarFile), 366 * 6800);
    EXPECT_EQ(Record(QDate(2024, 12, 31), 100).EventNo, 100);
    EXPECT_EQ(ReadBytes(DataFilePath("ToneGenCalendar.TGC")), ours);
    EXPECT_EQ(QDir(QString::fromStdString(elsewhere)).entryList(QDir::Files), QStringList{QString::fromUtf8("M\xC3\xA4rz.TGC")});
    EXPECT_EQ(gToneGenCalendarFile, elsewhere + "/M\xC3\xA4rz.TGC");
}

// A day chosen while the year downloads is the day listed once it has.
TEST_F(CalendarWindow, ADayChosenWhileTheCalendarLoadsIsTheDayListed)
{
    for (const std::string& file : {gToneGenCalendarFile, DataFilePath("ToneGenCalendar.TGC")})
        std::remove(file.c_str());
    InstallToneDownloadHooks();
    bool chosen = false;
    ActInTheNextWait([&] {
        chosen = true;
        Choose(QDate(2024, 2, 9), QDate(2024, 2, 9));
    });
    window->ShowCalendarDay(1, true);
    InstallTickPump();
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(FileExists(gToneGenCalendarFile));
    EXPECT_EQ(window->ShownDate(), QDate(2024, 2, 9));
}

// A calendar opened while the year downloads is the one the listing ends on.
TEST_F(CalendarWindow, ACalendarOpenedWhileTheYearDownloadsIsTheCalendarListed)
{
    const std::string other = gDataFolder + "/other.TGC";
    std::string year;
    for (int d = 0; d < 372; ++d)
        for (int e = 1; e <= 100; ++e)
            year += EncodeRecord(DefaultCalendarEvent(
                d < 365 ? SerialFromDate(QDate(2023, 1, 1).addDays(d)) : kEmptyBlockDate, e));
    WriteBytes(other, year);
    for (const std::string& file : {gToneGenCalendarFile, DataFilePath("ToneGenCalendar.TGC")})
        std::remove(file.c_str());
    InstallToneDownloadHooks();
    SetFileDialogHook([&other](const FileDialogRequest&) { return std::optional(other); });
    bool opened = false;
    ActInTheNextWait([&] {
        opened = true;
        window->cmdOpen_Click();
    });
    window->ShowCalendarDay(1, true);
    InstallTickPump();
    ASSERT_TRUE(opened);
    EXPECT_EQ(window->txtFileName->text().toStdString(), other);
    EXPECT_EQ(window->ShownDate(), QDate(2023, 1, 1));
    EXPECT_GT(window->lvwMessages->topLevelItemCount(), 0);
}

TEST_F(CalendarWindow, ThePleaseWaitBoxStaysOwnedByTheCalendarWhileARetryQuestionComesAndGoes)
{
    // Shown as the main window shows it, with no other window active.
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    QApplication::setActiveWindow(nullptr);
    unit->Fault(sim::FaultKind::Silence, "?CD0102");
    // The retry questions are real boxes over the calendar, answered once they show: Yes, then No.
    std::vector<std::int16_t> retries = {kAnswerYes, kAnswerNo};
    SetMessageAnswerHook([&retries](const MessageRequest& request) -> std::optional<MessageAnswer> {
        if (!request.message.starts_with("Connection to "))
            return MessageAnswer{request.buttons == kButtonsOk ? kAnswerOk : kAnswerYes, false};
        const std::int16_t answer = retries.front();
        retries.erase(retries.begin());
        QTimer::singleShot(0, [answer] {
            if (KS_SYS_Message* message = VisibleMessageBox())
                (answer == kAnswerYes ? message->cmd_Yes : message->cmd_No)->click();
        });
        return std::nullopt;
    });
    // The second ask for the 2nd of January comes after the first box closed.
    std::vector<const QWindow*> owners;
    const StatusSink before = CurrentStatusSink();
    SetStatusSink([&owners](const std::string& text, bool, int) {
        if (text != "Downloading Scheduled Events for 01/02")
            return;
        for (QWidget* box : QApplication::topLevelWidgets())
            if (box->objectName() == "KS_SYS_LoadingMessage" && box->isVisible())
                owners.push_back(box->windowHandle() ? box->windowHandle()->transientParent() : nullptr);
    });
    window->cmdDownload_Click();
    SetStatusSink(before);
    EXPECT_TRUE(retries.empty());
    ASSERT_EQ(owners.size(), 2u);
    EXPECT_EQ(owners[0], window->windowHandle());
    EXPECT_EQ(owners[1], window->windowHandle());
}
