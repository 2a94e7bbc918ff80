// The scheduled-paging windows in real time against the simulator program:
// an entry saved in the dialog is fired by the seconds timer at its minute.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "KS_Clock.h"
#include "KS_GEN_ScheduledPaging.h"
#include "KS_GEN_ScheduledPagingAdd.h"
#include "KS_MainForm.h"
#include "KS_ScheduleWindows.h"
#include "ModalDialog.h"
#include "SimulatorProcess.h"

TEST(SchedulingEndToEnd, AnEntrySavedInTheDialogFiresAtItsMinute)
{
    RegisterScheduleWindows();
    SimulatorProcess simulator({{5, "Night porter", "A"}});
    ASSERT_TRUE(simulator.Started());

    ScriptedMessages messages;
    KS_MainForm form; // the real port, the real timers and the real event loop
    form.Form_Load();

    bool saved = false;
    WorkModalDialog<KS_GEN_ScheduledPaging>(
        &form,
        [&saved](KS_GEN_ScheduledPaging& window) {
            window.cmbWeekDay->setCurrentIndex(6);
            emit window.cmbWeekDay->activated(6);
            window.lvwMessages->setCurrentItem(window.lvwMessages->topLevelItem(99));
            WorkModalDialog<KS_GEN_ScheduledPagingAdd>(
                &window,
                [](KS_GEN_ScheduledPagingAdd& dialog) {
                    dialog.dtpTime->setTime(QTime(21, 5));
                    dialog.cmbAlertType->setCurrentIndex(9);
                    dialog.txtMessage->setText("  Lock the doors ");
                    dialog.txtUserID->setText("5");
                    emit dialog.txtUserID->editingFinished(); // which ticks Active
                    dialog.cmdOk->click();
                },
                [&window] { window.cmdUpdate->click(); });
            saved = window.lvwMessages->topLevelItem(99)->text(1) == "09:05 PM";
            window.cmdClose->click();
        },
        [&form] { form.mnuSetupOptions_Click(4); });
    ASSERT_TRUE(saved);
    EXPECT_EQ(Record(ReadBytes(DataFilePath("Schedule.DBS")), 49, 700),
              Image(49).Put(0, "100").Put(3, "09:05 PM").Put(11, "005").PutByte(14, 10)
                  .Put(15, "Lock the doors                ").PutInt16(45, -1).str());

    // Sunday 13 December 2026, the minute before, during and after.
    for (const QTime time : {QTime(21, 4, 59), QTime(21, 5, 0), QTime(21, 5, 30)}) {
        SetClockForTest([time] { return QDateTime(QDate(2026, 12, 13), time).toUTC(); });
        form.tmrSeconds_Timer();
    }
    // The transcript spells a CR as a backslash and an r.
    const std::string transcript = simulator.Transcript();
    const auto first = transcript.find("> P005Lock the doors\\r");
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(transcript.find("> P005Lock the doors\\r", first + 1), std::string::npos);
}
