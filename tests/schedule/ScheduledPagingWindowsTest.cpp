#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "../core/DataFileHelpers.h"
#include "ConsoleHarness.h"
#include "KS_Clock.h"
#include "KS_GEN_ScheduledPaging.h"
#include "KS_GEN_ScheduledPagingAdd.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_ScheduleWindows.h"

namespace {

using Lines = std::vector<std::string>;

struct ScheduledPagingWindows : testing::Test {
    ScheduledPagingWindows() { RegisterScheduleWindows(); }
    // Runs the seconds timer at that time of Sunday 13 December 2026.
    void tick(int hour, int minute, int second)
    {
        const QDateTime local(QDate(2026, 12, 13), QTime(hour, minute, second));
        SetClockForTest([local] { return local.toUTC(); });
        form.tmrSeconds_Timer();
    }
    Lines pages()
    {
        Lines result;
        for (auto& line : harness.HostLines())
            if (line[0] == 'P')
                result.push_back(line);
        return result;
    }
    void pickDay(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    ConsoleHarness harness{{{5, "Night porter", "A"}}};
    KS_MainForm& form = harness.Load();
};

} // namespace

TEST_F(ScheduledPagingWindows, AnEntrySavedInTheDialogFiresAtItsMinute)
{
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        auto* window = form.findChild<KS_GEN_ScheduledPaging*>();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->cmbWeekDay->currentText(), "Monday");
        EXPECT_EQ(window->cmbCopyWeekDay->currentText(), "Monday");
        EXPECT_FALSE(window->cmdCopyFrom->isEnabled());
        pickDay(window->cmbWeekDay, 6);
        EXPECT_TRUE(window->cmdCopyFrom->isEnabled());
        pickDay(window->cmbCopyWeekDay, 6);
        EXPECT_FALSE(window->cmdCopyFrom->isEnabled());
        window->lvwMessages->setCurrentItem(window->lvwMessages->topLevelItem(99));

        QTimer::singleShot(0, [&] {
            auto* dialog = window->findChild<KS_GEN_ScheduledPagingAdd*>();
            ASSERT_NE(dialog, nullptr);
            dialogSeen = true;
            EXPECT_EQ(dialog->windowTitle(), "Scheduled Paging -  Sunday - 100 - Update");
            EXPECT_FALSE(window->lvwMessages->isEnabled());
            dialog->dtpTime->setTime(QTime(21, 5));
            dialog->cmbAlertType->setCurrentIndex(9);
            dialog->txtMessage->setText("  Lock the doors ");
            dialog->txtUserID->setText("5");
            emit dialog->txtUserID->editingFinished();
            EXPECT_EQ(dialog->txtUserID->text(), "005");
            EXPECT_TRUE(dialog->chkActive->isChecked());
            dialog->cmdOk->click();
        });
        window->cmdUpdate->click();
        EXPECT_TRUE(window->lvwMessages->isEnabled());
        EXPECT_EQ(window->lvwMessages->topLevelItem(99)->text(1), "09:05 PM");
        window->cmdClose->click();
    });
    form.mnuSetupOptions_Click(4);
    ASSERT_TRUE(dialogSeen);
    EXPECT_TRUE(form.centralWidget()->isEnabled());

    const std::string file = ReadBytes(DataFilePath("Schedule.DBS"));
    ASSERT_EQ(file.size(), 34300u);
    EXPECT_EQ(Record(file, 49, 700), Image(49).Put(0, "100").Put(3, "09:05 PM").Put(11, "005").PutByte(14, 10)
                                         .Put(15, "Lock the doors                ").PutInt16(45, -1).str());
    tick(21, 4, 59);
    tick(21, 5, 0);
    tick(21, 5, 30);
    EXPECT_EQ(pages(), Lines{"P005Lock the doors"});
}

TEST_F(ScheduledPagingWindows, CopyFromAsksAndTheDialogRefusesWhatCannotBeSaved)
{
    KS_GEN_ScheduledPaging window(&form);
    gSchedule[3].Pager = "042"; // as the file does not hold it: the next listing takes the file's
    pickDay(window.cmbCopyWeekDay, 2);
    harness.messages.Answer(kAnswerNo);
    window.cmdCopyFrom->click();
    EXPECT_EQ(harness.messages.texts(),
              Lines{"Are you sure you want to copy the schedule from Wednesday to Monday ?"});
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
    KS_GEN_ScheduledPagingAdd dialog(&window);
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.message);
        if (r.active && r.answer == kAnswerOk && *r.pager == '7') {
            QFile::remove(QString::fromStdString(DataFilePath("Schedule.DBS")));
            MakeDirectory(DataFilePath("Schedule.DBS"));
        }
        harness.messages.Answer(r.answer);
        dialog.txtUserID->setText(r.pager);
        dialog.chkActive->setChecked(r.active);
        dialog.cmdOk->click();
        EXPECT_EQ(harness.messages.texts().back(), r.message);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(gSchedule[0].Pager, "000"); // the timer never sees the entry that was not saved
}
