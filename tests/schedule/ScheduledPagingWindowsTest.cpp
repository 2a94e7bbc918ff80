// Scheduled paging on Schedule.DBS: the day copy, the window and its entry dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <cstdio>
#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_GEN_ScheduledPaging.h"
#include "KS_GEN_ScheduledPagingAdd.h"
#include "KS_Globals.h"
#include "KS_ListWindow.h"
#include "KS_PagingSchedule.h"
#include "ModalDialog.h"
#include "TestSupport.h"

namespace {

using Lines = std::vector<std::string>;

// An entry's record: number, time, pager, alert type, message and the active flag.
std::string entryRecord(const std::string& no, const char* time = "12:00 AM", const char* pager = "000", int type = 1,
                        const char* message = "", bool active = false)
{
    return Image(49).Put(0, no).Put(3, time).Put(11, pager).PutByte(14, type).Fill(15, 30, ' ').Put(15, message)
        .PutInt16(45, active ? -1 : 0);
}

struct ScheduledPagingWindows : testing::Test {
    void SetUp() override
    {
        MakeDataFolder();
        ASSERT_TRUE(LoadScheduleDatabase());
    }
    void pickDay(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    std::string file() const { return ReadBytes(DataFilePath("Schedule.DBS")); }
    // Opens the dialog on a row of the shown day, sets its boxes and presses OK.
    void save(KS_GEN_ScheduledPaging& window, int row)
    {
        SelectListRow(window.lvwMessages, window.lvwMessages->topLevelItem(row - 1));
        WorkModalDialog<KS_GEN_ScheduledPagingAdd>(
            &window,
            [](KS_GEN_ScheduledPagingAdd& dialog) {
                dialog.dtpTime->setTime(QTime(7, 5));
                dialog.txtUserID->setText("42");
                dialog.chkActive->setChecked(true);
                dialog.cmdOk->click();
            },
            [&window] { window.cmdUpdate->click(); });
    }
    ScriptedMessages boxes;
};

} // namespace

TEST_F(ScheduledPagingWindows, CopyFromWritesTheSourceDayOntoTheTargetUnfired)
{
    ASSERT_EQ(StoreScheduleEntry(ScheduleIndex(1, 100), {.No = "100", .Time = "07:05 PM", .Pager = "042",
                                                         .AlertType = 10, .Message = "Lock the doors", .Active = -1,
                                                         .Fired = -1}),
              FileError::None);
    EXPECT_EQ(gSchedule[99].Fired, 0); // a saved entry fires again at its time
    gSchedule[99].Fired = -1;
    gSchedule[ScheduleIndex(3, 1)].Fired = -1;
    const std::string before = file();
    ASSERT_TRUE(CopyDaySchedule(1, 3));
    const std::string after = file();
    ASSERT_EQ(after.size(), 34300u);
    for (int r = 1; r <= 700; ++r) {
        std::string expected = Record(before, 49, r);
        if (r > 200 && r <= 300)
            expected = r == 300 ? entryRecord("100", "07:05 PM", "042", 10, "Lock the doors", true)
                                : entryRecord((r < 210 ? "00" : "0") + std::to_string(r - 200));
        ASSERT_EQ(Record(after, 49, r), expected) << "record " << r;
    }
    EXPECT_EQ(gSchedule[299].Pager, "042");
    EXPECT_EQ(gSchedule[299].Fired, 0);
    EXPECT_EQ(gSchedule[200].Fired, 0);
    EXPECT_EQ(gSchedule[99].Fired, -1); // the source keeps its mark

    // A copy that cannot be written is reported and changes nothing.
    boxes.Answer(kAnswerOk);
    gDataFolder += "/gone";
    EXPECT_FALSE(CopyDaySchedule(1, 2));
    EXPECT_EQ(boxes.texts(), Lines{"Error updating record."});
    EXPECT_EQ(gSchedule[199].Pager, "000");
}

TEST_F(ScheduledPagingWindows, CopyFromPastTheEndOfAShortFileFillsTheDaysBetweenWithDefaultEntries)
{
    WriteBytes(DataFilePath("Schedule.DBS"), file().substr(0, 50 * 49)); // ends in the middle of Monday
    KS_GEN_ScheduledPaging window(nullptr);
    pickDay(window.cmbWeekDay, 2); // Wednesday takes Monday's entries
    boxes.Answer(kAnswerYes);
    window.cmdCopyFrom->click();
    const std::string after = file();
    ASSERT_EQ(after.size(), 300u * 49);
    const std::string unnumbered = std::string("12:00 AM000\x01", 12) + std::string(30, ' ') + std::string(4, '\0');
    for (int r = 51; r <= 200; ++r) {
        char no[4];
        std::snprintf(no, sizeof no, "%03d", (r - 1) % 100 + 1);
        ASSERT_EQ(Record(after, 49, r), no + unnumbered) << "record " << r;
    }
    // Tuesday lists its own numbers, and an entry of it saves.
    pickDay(window.cmbWeekDay, 1);
    EXPECT_EQ(window.lvwMessages->topLevelItem(6)->text(0), "007");
    save(window, 7);
    EXPECT_EQ(Record(file(), 49, 107), entryRecord("007", "07:05 AM", "042", 1, "", true));
    EXPECT_EQ(boxes.texts(), Lines{"Are you sure you want to copy the schedule from Monday to Wednesday ?"});
}

TEST_F(ScheduledPagingWindows, TheDialogWritesTheSelectedEntryAtItsOwnRecordOnly)
{
    // The program starts on a file that ends in the middle of Wednesday: the rest lists as default entries.
    WriteBytes(DataFilePath("Schedule.DBS"), file().substr(0, 250 * 49));
    gSchedule.clear();
    KS_GEN_ScheduledPaging window(nullptr);
    const struct {
        int day;
        int row;
        const char* no;
        std::size_t record;
    } cases[] = {{0, 1, "001", 1}, {2, 7, "007", 207}, {3, 1, "001", 301}, {6, 100, "100", 700}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        pickDay(window.cmbWeekDay, c.day);
        ASSERT_EQ(window.lvwMessages->topLevelItem(c.row - 1)->text(0).toStdString(), c.no);
        const std::string before = file();
        save(window, c.row);
        const std::string after = file();
        EXPECT_EQ(Record(after, 49, c.record), entryRecord(c.no, "07:05 AM", "042", 1, "", true));
        for (std::size_t r = 1; r <= before.size() / 49; ++r)
            EXPECT_TRUE(r == c.record || Record(after, 49, r) == Record(before, 49, r)) << "record " << r;
        EXPECT_EQ(gSchedule[c.record - 1].Pager, "042");
    }
    // Writing past the end filled the gap with the default entries, not zero bytes.
    EXPECT_EQ(Record(file(), 49, 300), entryRecord("100"));
    EXPECT_TRUE(boxes.shown().empty());

    // A row whose number lies outside the day is not written anywhere.
    const std::string before = file();
    for (const char* no : {"", "000", "101"}) {
        pickDay(window.cmbWeekDay, 1);
        window.lvwMessages->topLevelItem(0)->setText(0, no);
        KS_GEN_ScheduledPagingAdd dialog(&window);
        boxes.Answer(kAnswerOk);
        dialog.chkActive->setChecked(true);
        dialog.cmdOk->click();
        EXPECT_EQ(boxes.texts().back(), "Error updating record.");
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(file(), before);
}

TEST_F(ScheduledPagingWindows, PInTheTimeBoxMakesItPmAndAMakesItAm)
{
    KS_GEN_ScheduledPaging window(nullptr);
    const struct {
        QTime shown;
        QDateTimeEdit::Section section; // where the operator types
        const char* keys;
        const char* saved;
    } cases[] = {
        {QTime(0, 0), QDateTimeEdit::HourSection, "0214P", "02:14 PM"},
        {QTime(14, 14), QDateTimeEdit::AmPmSection, "a", "02:14 AM"},
        {QTime(12, 0), QDateTimeEdit::AmPmSection, "A", "12:00 AM"},
        {QTime(9, 30), QDateTimeEdit::HourSection, "1145pAp", "11:45 PM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        SelectListRow(window.lvwMessages, window.lvwMessages->topLevelItem(0));
        WorkModalDialog<KS_GEN_ScheduledPagingAdd>(
            &window,
            [&c](KS_GEN_ScheduledPagingAdd& dialog) {
                dialog.dtpTime->setTime(c.shown);
                dialog.dtpTime->setSelectedSection(c.section);
                QTest::keyClicks(dialog.dtpTime, c.keys);
                dialog.txtUserID->setText("42");
                dialog.chkActive->setChecked(true);
                dialog.cmdOk->click();
            },
            [&window] { window.cmdUpdate->click(); });
        EXPECT_EQ(Record(file(), 49, 1).substr(3, 8), c.saved);
    }
}

TEST_F(ScheduledPagingWindows, TheMessageIsOpenOnlyForAFreeMessageAndAPagerOfZeroPasses)
{
    KS_GEN_ScheduledPaging window(nullptr);
    KS_GEN_ScheduledPagingAdd dialog(&window);
    dialog.cmbAlertType->setCurrentIndex(9); // 10 - Free Message
    EXPECT_TRUE(dialog.txtMessage->isEnabled());
    dialog.txtMessage->setText("Gate");
    dialog.cmbAlertType->setCurrentIndex(3);
    EXPECT_FALSE(dialog.txtMessage->isEnabled());
    EXPECT_EQ(dialog.txtMessage->text(), "");
    dialog.cmbAlertType->setCurrentIndex(9);
    EXPECT_TRUE(dialog.txtMessage->isEnabled());
    EXPECT_EQ(dialog.txtMessage->text(), "");

    // 0 leaves Active as it was; 7 ticks it. A pager of 000 is saved (it never fires).
    for (const bool active : {false, true}) {
        dialog.chkActive->setChecked(active);
        dialog.txtUserID->setText("0");
        emit dialog.txtUserID->editingFinished();
        EXPECT_EQ(dialog.txtUserID->text(), "000");
        EXPECT_EQ(dialog.chkActive->isChecked(), active);
    }
    dialog.txtUserID->setText("7");
    emit dialog.txtUserID->editingFinished();
    EXPECT_EQ(dialog.txtUserID->text(), "007");
    EXPECT_TRUE(dialog.chkActive->isChecked());
    dialog.txtUserID->setText("000");
    dialog.cmdOk->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Record(file(), 49, 1).substr(11, 3), "000");
}

TEST_F(ScheduledPagingWindows, CopyFromAsksAndTheDialogRefusesWhatCannotBeSaved)
{
    KS_GEN_ScheduledPaging window(nullptr);
    EXPECT_FALSE(window.cmdCopyFrom->isEnabled());
    gSchedule[3].Pager = "042"; // as the file does not hold it: the next listing takes the file's
    pickDay(window.cmbCopyWeekDay, 2);
    EXPECT_TRUE(window.cmdCopyFrom->isEnabled());
    boxes.Answer(kAnswerNo);
    window.cmdCopyFrom->click();
    EXPECT_EQ(boxes.texts(), Lines{"Are you sure you want to copy the schedule from Wednesday to Monday ?"});
    EXPECT_EQ(gSchedule[3].Pager, "042");

    const struct {
        const char* pager;
        bool active;
        std::int16_t answer;
        std::string message;
    } refusals[] = {
        {"  ", true, kAnswerOk, "Pager No is not valid. Please confirm Pager No."},
        {"7", false, kAnswerNo, "This paging activity is not activated.\r\nAre you sure you want to continue? "},
        {"7", true, kAnswerOk,
         "Please confirm that the file " + PathInText(DataFilePath("Schedule.DBS"))
             + " exists and that you have the appropriate access permissions."},
    };
    // Only the last gets as far as writing, to a file that cannot be written.
    QFile::remove(QString::fromStdString(DataFilePath("Schedule.DBS")));
    MakeDirectory(DataFilePath("Schedule.DBS"));
    KS_GEN_ScheduledPagingAdd dialog(&window);
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.message);
        boxes.Answer(r.answer);
        dialog.txtUserID->setText(r.pager);
        dialog.chkActive->setChecked(r.active);
        dialog.cmdOk->click();
        EXPECT_EQ(boxes.texts().back(), r.message);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(gSchedule[0].Pager, "000"); // the timer never sees the entry that was not saved
}
