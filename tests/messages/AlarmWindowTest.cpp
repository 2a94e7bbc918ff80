// The alarm table on the engine and through its windows, over the simulated encoder.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

#include "ConsoleHarness.h"
#include "KS_AlarmTable.h"
#include "KS_ListWindow.h"
#include "KS_MainForm.h"
#include "KS_MessageWindows.h"
#include "KS_PPM_MessagesAlarmAdd.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_WindowRegistry.h"
#include "TableFixture.h"

using Lines = std::vector<std::string>;

namespace {

std::string pad(const std::string& text, std::size_t width = 30) { return text + std::string(width - text.size(), ' '); }

std::string alarmFile(int records)
{
    std::string bytes;
    for (int i = 1; i <= records; ++i) {
        AlarmPointRecord r;
        r.Point = ZeroPad(i, 3);
        r.Pager = "012";
        r.Message = pad("Boiler room");
        bytes += EncodeRecord(r);
    }
    return bytes;
}

Lines writes(TableRig& rig)
{
    Lines lines;
    for (const auto& line : rig.hostLines())
        if (line.ends_with("W"))
            lines.push_back(line);
    return lines;
}

struct AlarmWindow : testing::Test {
    AlarmWindow() { RegisterMessageWindows(); }

    KS_PPM_MessagesTable& open()
    {
        harness.Load();
        auto* window = static_cast<KS_PPM_MessagesTable*>(CreateRegisteredWindow(FormName::MessagesAlarm, &harness.form()));
        harness.form().OpenOwnedWindow(window, false);
        harness.HostLines();
        return *window;
    }
    // Opens the edit dialog on the row and hands it to the steps while it is up.
    void edit(KS_PPM_MessagesTable& list, int row, const std::function<void(KS_PPM_MessagesAlarmAdd&)>& steps)
    {
        SelectListRow(list.lvwMessages, list.lvwMessages->topLevelItem(row));
        bool ran = false;
        QTimer::singleShot(0, [&] {
            if (auto* dialog = list.findChild<KS_PPM_MessagesAlarmAdd*>("KS_PPM_MessagesAlarmAdd")) {
                ran = true;
                steps(*dialog);
                if (dialog->isVisible())
                    dialog->cmdCancel->click();
            }
        });
        list.cmdUpdate_Click();
        EXPECT_TRUE(ran);
    }
    ConsoleHarness harness;
};

} // namespace

TEST(AlarmEngine, OffsetUnitDownloadsItsPointsIntoTableSlots)
{
    TableRig rig;
    sim::Profile profile = sim::ProfileFor('I');
    profile.value3 = "025";
    rig.engine.SetProfile(profile);
    DetectEncoder();
    rig.engine.PutAlarmPoint(25, "012013" + pad("Boiler room") + pad("Boiler ok") + "104523-05423071");
    rig.hostLines();

    MessageTableEngine table = MakeAlarmTableEngine();
    const auto records = table.Load();
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 96u);
    const Lines lines = rig.hostLines();
    EXPECT_EQ(*std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l[0] == 'Z'; }), "Z025?");
    const AlarmPointRecord first = DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS"));
    EXPECT_EQ(first.Point, "001");
    EXPECT_EQ(first.Pager, "012");
    EXPECT_EQ(first.RepeatMinutes, "02");
    EXPECT_EQ(first.ActivationPlan, "2");
    EXPECT_EQ(first.Relay, "07");
    EXPECT_EQ(readFile("PPM_Alarm.DBS").size(), 96u * 150u);
    EXPECT_TRUE(rig.messages.shown().empty());
}

TEST(AlarmEngine, UploadSendsWhatTheFileHoldsAndWarnsOnlyBeyondTheTable)
{
    struct Case {
        int records;
        std::size_t lines;
        std::vector<std::string> texts;
    } cases[] = {{10, 10, {}}, {30, 24, {"Only 24 messages were uploaded to the QX9860. "}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.records);
        TableRig rig; // model X, 24 points
        writeFile("PPM_Alarm.DBS", alarmFile(c.records));
        rig.messages.AnswerAlways(kAnswerOk);
        MessageTableEngine table = MakeAlarmTableEngine();
        EXPECT_EQ(table.Codec().WriteOf(alarmFile(1)).ticks, 20);
        EXPECT_TRUE(table.Upload());
        const Lines sent = writes(rig);
        ASSERT_EQ(sent.size(), c.lines);
        EXPECT_EQ(sent[0], "Z001" + pad("Boiler room") + std::string(23, ' ') + "012N000000W");
        EXPECT_EQ(rig.messages.texts(), c.texts);
    }
}

TEST(AlarmEngine, FullLayoutWaitsItsShareOfFortyTicksAndAsksOnceMore)
{
    TableRig rig;
    rig.engine.SetModel('L'); // 24 slots
    DetectEncoder();
    // Three silent attempts, then the repeated read is answered; a slot that stays silent fails after both.
    rig.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "Z003?", .bytes = {}, .times = 3});
    rig.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "Z004?", .bytes = {}, .times = 0});
    rig.engine.ClearTranscript();
    AlarmPointRecord record;
    EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutFull, CurrentAlarmUnit(), 3, record), SlotRead::Filled);
    EXPECT_EQ(record.Pager, "000");
    const auto& first = rig.engine.Transcript();
    ASSERT_GE(first.size(), 2u);
    EXPECT_EQ(first[0].bytes + first[1].bytes, "Z003?\r\r");
    // Ten ticks of waiting: the poke goes on the first tick past them.
    EXPECT_EQ(first[1].tick - first[0].tick, 11);
    Lines lines = rig.hostLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Z003?"), 4);
    EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutFull, CurrentAlarmUnit(), 4, record), SlotRead::Failed);
    lines = rig.hostLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Z004?"), 6);
}

TEST(AlarmEngine, OnlyTheOldestUnitsMayAnswerAnEmptySlotBare)
{
    TableRig rig;
    rig.engine.SetLegacyModel(sim::Legacy::QX7);
    DetectEncoder();
    rig.hostLines();
    AlarmPointRecord record;
    EXPECT_EQ(ReadAlarmSlotForDownload(SelectAlarmLayout(CurrentAlarmUnit()), CurrentAlarmUnit(), 3, record),
              SlotRead::Empty);
    EXPECT_TRUE(record == AlarmPointRecord{});
    EXPECT_EQ(rig.hostLines(), Lines{"Z3 ?"});
    // The same bare answer from an identified unit is a failed slot.
    rig.engine.SetModel('E');
    DetectEncoder();
    rig.engine.AddCommand(R"(Z003\?)", [](sim::Engine&, const std::smatch&, std::int64_t) {
        return sim::Engine::Reply("*\r");
    });
    EXPECT_EQ(ReadAlarmSlotForDownload(AlarmLayoutFamily7, CurrentAlarmUnit(), 3, record), SlotRead::Failed);
}

TEST_F(AlarmWindow, QX6870OffersInputOptionsAndStoresTheClampedThreshold)
{
    harness.engine.SetModel('U');
    KS_PPM_MessagesTable& list = open();
    EXPECT_EQ(list.windowTitle(), "Alarm Messages");
    ASSERT_EQ(list.lvwMessages->topLevelItemCount(), 96);
    EXPECT_EQ(list.lvwMessages->columnCount(), 20);
    EXPECT_EQ(list.lvwMessages->headerItem()->text(10), "Activiation Plan");
    EXPECT_TRUE(list.cmdUpload->isEnabled());

    for (const auto& [typed, stored] : {std::pair{"30", std::string("+12")}, std::pair{"-5", std::string("-05")}}) {
        edit(list, 4, [&, typed = typed](KS_PPM_MessagesAlarmAdd& d) {
            EXPECT_EQ(d.windowTitle(), "Alarm Messages - Alarm Point 005 - Update");
            d.cmbInputType->setCurrentIndex(2);
            const std::pair<QWidget*, bool> matrix[] = {
                {d.txtUserIDCancel, true}, {d.cmbInputType, true},         {d.txtThreshold, true},
                {d.updThreshold, true},    {d.cmbPulse, true},             {d.cmbRepeatCount, false},
                {d.cmbRepeatTimeModule, false}, {d.cmbInputDelayModule, false}, {d.txtRelay, false},
                {d.updRelay, false},       {d.chkActive, true},            {d.chkSendCancel, false}};
            for (const auto& [control, enabled] : matrix)
                EXPECT_EQ(control->isEnabled(), enabled) << control->objectName().toStdString();
            EXPECT_EQ(d.updThreshold->maximum(), 12);
            d.txtUserID->setText("7");
            d.txtMessage->setText("Boiler");
            d.txtThreshold->setText(typed);
            d.txtThreshold_Validate();
            d.cmdOk->click();
        });
        const std::string line = "Z005000700" + std::string("0") + pad("Boiler") + std::string(30, ' ') + "00000"
            + stored + "301" + "0W";
        EXPECT_EQ(harness.HostLines(), Lines{line});
        EXPECT_EQ(DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS").substr(4 * 150)).Threshold, stored);
        EXPECT_EQ(list.lvwMessages->topLevelItem(4)->text(AlarmColThreshold).toStdString(), stored);
    }
    EXPECT_TRUE(harness.messages.shown().empty());
}

TEST_F(AlarmWindow, QX6860AddressesTheOffsetPointAndRefusesOptionalInputs)
{
    sim::Profile profile = sim::ProfileFor('I');
    profile.value3 = "025";
    profile.option = '0';
    harness.engine.SetProfile(profile);
    KS_PPM_MessagesTable& list = open();
    EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(0), "001");
    harness.messages.AnswerAlways(kAnswerOk);
    edit(list, 0, [](KS_PPM_MessagesAlarmAdd& d) {
        d.cmbInputType->setCurrentIndex(7);
        d.cmbInputType_Validate();
        EXPECT_EQ(d.cmbInputType->currentText(), "Voltage, Low-High");
        EXPECT_FALSE(d.cmbPulse->isEnabled());
        d.cmbRepeatCount->setCurrentIndex(2);
        EXPECT_TRUE(d.cmbRepeatTimeModule->isEnabled());
        d.cmbRepeatTimeModule->setCurrentIndex(3);
        d.cmbRepeatCount->setCurrentIndex(0);
        EXPECT_FALSE(d.cmbRepeatTimeModule->isEnabled());
        EXPECT_EQ(d.cmbRepeatTimeModule->currentIndex(), 0);
        EXPECT_EQ(d.updThreshold->minimum(), -25);
        d.cmbActiviationPlan->setCurrentIndex(9);
        d.txtUserID->setText("012");
        d.cmdOk->click();
    });
    EXPECT_EQ(harness.messages.texts(), Lines{"Selected Input Type not supported by QX6860."});
    // Plan 9 goes out as "0"; the repeat count and delay code of the module lists travel.
    EXPECT_EQ(harness.HostLines(), Lines{"Z025012000" + std::string(60, ' ') + "0   01+00400001W"});
    EXPECT_EQ(DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS")).Point, "001");
    EXPECT_EQ(DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS")).Pager, "012");
}

TEST_F(AlarmWindow, UnitOfUnknownKindIsNeverWrittenTo)
{
    sim::Profile profile = sim::ProfileFor('Z');
    profile.alarm.size = 24;
    harness.engine.SetProfile(profile);
    KS_PPM_MessagesTable& list = open();
    ASSERT_EQ(list.lvwMessages->topLevelItemCount(), 24);
    EXPECT_FALSE(list.cmdUpload->isEnabled());
    EXPECT_TRUE(list.cmdDownload->isEnabled());
    harness.messages.AnswerAlways(kAnswerOk);
    edit(list, 0, [](KS_PPM_MessagesAlarmAdd& d) {
        d.txtUserID->setText("012");
        d.cmdOk->click();
    });
    EXPECT_EQ(harness.HostLines(), Lines{});
    EXPECT_EQ(harness.messages.texts(),
              Lines{"Connection to encoder cannot be established or Alarm Messages option is not supported by the "
                    "encoder. \r\nThe encoder will not be updated."});
    EXPECT_EQ(DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS")).Pager, "012");
}
