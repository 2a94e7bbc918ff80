#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "ConsoleHarness.h"
#include "KS_GEN_ScheduledPaging.h"
#include "KS_GEN_ScheduledPagingAdd.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"

namespace {

using Lines = std::vector<std::string>;

struct ScheduledPagingWindows : testing::Test {
    void pickDay(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    ConsoleHarness harness{{{5, "Night porter", "A"}}};
    KS_MainForm& form = harness.Load();
};

} // namespace

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
    // Only the last gets as far as writing, to a file that cannot be written.
    QFile::remove(QString::fromStdString(DataFilePath("Schedule.DBS")));
    MakeDirectory(DataFilePath("Schedule.DBS"));
    KS_GEN_ScheduledPagingAdd dialog(&window);
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.message);
        harness.messages.Answer(r.answer);
        dialog.txtUserID->setText(r.pager);
        dialog.chkActive->setChecked(r.active);
        dialog.cmdOk->click();
        EXPECT_EQ(harness.messages.texts().back(), r.message);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(gSchedule[0].Pager, "000"); // the timer never sees the entry that was not saved
}
