// The scheduled-paging window and its entry dialog on Schedule.DBS.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_GEN_ScheduledPaging.h"
#include "KS_GEN_ScheduledPagingAdd.h"
#include "KS_Globals.h"
#include "KS_ListWindow.h"
#include "ModalDialog.h"
#include "TestSupport.h"

namespace {

using Lines = std::vector<std::string>;

// The record of an entry as the dialog saves it: 07:05 AM, pager 042, alert 1, active.
std::string savedRecord(const char* no)
{
    return Image(49).Put(0, no).Put(3, "07:05 AM").Put(11, "042").PutByte(14, 1).Fill(15, 30, ' ').PutInt16(45, -1);
}
const std::string kDefaultEntry100 =
    Image(49).Put(0, "100").Put(3, "12:00 AM").Put(11, "000").PutByte(14, 1).Fill(15, 30, ' ');

struct ScheduledPagingWindows : testing::Test {
    void SetUp() override { MakeDataFolder(); }
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

TEST_F(ScheduledPagingWindows, TheDialogWritesTheSelectedEntryAtItsOwnRecordOnly)
{
    // The program starts on a file that ends in the middle of Wednesday: the rest lists as default entries.
    ASSERT_TRUE(LoadScheduleDatabase());
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
        EXPECT_EQ(Record(after, 49, c.record), savedRecord(c.no));
        for (std::size_t r = 1; r <= before.size() / 49; ++r)
            EXPECT_TRUE(r == c.record || Record(after, 49, r) == Record(before, 49, r)) << "record " << r;
        EXPECT_EQ(gSchedule[c.record - 1].Pager, "042");
    }
    // Writing past the end filled the gap with the default entries, not zero bytes.
    EXPECT_EQ(Record(file(), 49, 300), kDefaultEntry100);
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
         "Please confirm that the file " + DataFilePath("Schedule.DBS")
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
