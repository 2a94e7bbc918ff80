// The alarm list and its edit dialog through their controls, over the main
// window and the simulated encoder.
#include <QSpinBox>
#include <QTest>

#include "KS_AlarmTable.h"
#include "KS_PPM_MessagesAlarmAdd.h"
#include "TableFixture.h"

namespace {

using Dialog = KS_PPM_MessagesAlarmAdd;

KS_PPM_MessagesTable& openAlarms(WindowRig& t, const sim::Profile& profile)
{
    t.harness.engine.SetProfile(profile);
    t.harness.Load();
    return t.open(FormName::MessagesAlarm);
}

sim::Profile withoutOption(char letter)
{
    sim::Profile profile = sim::ProfileFor(letter);
    profile.option = '0';
    return profile;
}

TEST(AlarmWindow, QX6870OffersInputOptionsAndStoresTheClampedThreshold)
{
    WindowRig t;
    KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor('U'));
    ASSERT_EQ(list.lvwMessages->topLevelItemCount(), 96);
    for (const auto& [typed, stored] : {std::pair{"30", std::string("+12")}, std::pair{"-5", std::string("-05")}}) {
        t.edit<Dialog>(list, 4, [typed = typed](Dialog& d) {
            // Dry contacts have no threshold.
            for (int type : {1, 0, 2}) {
                d.txtThreshold->setText("07");
                d.cmbInputType->setCurrentIndex(type);
                EXPECT_EQ(d.txtThreshold->text(), type < 2 ? "00" : "07") << type;
                EXPECT_EQ(d.updThreshold->isEnabled(), type == 2) << type;
            }
            const std::pair<QWidget*, bool> matrix[] = {
                {d.txtUserIDCancel, true},      {d.cmbInputType, true},         {d.txtThreshold, true},
                {d.cmbPulse, true},             {d.cmbRepeatCount, false},      {d.cmbRepeatTimeModule, false},
                {d.cmbInputDelayModule, false}, {d.txtRelay, false},            {d.chkActive, true},
                {d.chkSendCancel, false}};
            for (const auto& [control, enabled] : matrix)
                EXPECT_EQ(control->isEnabled(), enabled) << control->objectName().toStdString();
            d.txtUserID->setText("7");
            d.txtMessage->setText("Boiler");
            d.txtThreshold->setText(typed);
            d.txtThreshold_Validate();
        });
        EXPECT_EQ(t.harness.HostLines(),
                  Lines{"Z0050007000" + padded("Boiler") + padded("") + "00000" + stored + "301" + "0W"});
        EXPECT_EQ(DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS").substr(4 * 150)).Threshold, stored);
        EXPECT_EQ(list.lvwMessages->topLevelItem(4)->text(AlarmColThreshold).toStdString(), stored);
    }
    EXPECT_TRUE(t.harness.messages.shown().empty());
}

TEST(AlarmWindow, QX6860AddressesTheOffsetPointAndRefusesOptionalInputs)
{
    WindowRig t;
    sim::Profile profile = withoutOption('I');
    profile.value3 = "025";
    KS_PPM_MessagesTable& list = openAlarms(t, profile);
    EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(0), "001");
    t.harness.messages.AnswerAlways(kAnswerOk);
    t.edit<Dialog>(list, 0, [&t](Dialog& d) {
        for (const auto& [type, refused] : {std::pair{3, false}, std::pair{4, true}, std::pair{7, true}}) {
            const Lines before = t.harness.messages.texts();
            d.cmbInputType->setCurrentIndex(type);
            d.cmbInputType_Validate();
            EXPECT_EQ(d.cmbInputType->currentText(), "Voltage, Low-High") << type;
            Lines expected = before;
            if (refused)
                expected.push_back("Selected Input Type not supported by QX6860.");
            EXPECT_EQ(t.harness.messages.texts(), expected) << type;
            EXPECT_FALSE(d.cmbPulse->isEnabled());
        }
        // The module list takes the delay: the seconds list is not offered.
        EXPECT_FALSE(d.cmbInputDelay->isEnabled());
        EXPECT_TRUE(d.cmbInputDelayModule->isEnabled());
        d.cmbRepeatCount->setCurrentIndex(2);
        EXPECT_TRUE(d.cmbRepeatTimeModule->isEnabled());
        d.cmbRepeatTimeModule->setCurrentIndex(3);
        d.cmbRepeatCount->setCurrentIndex(0);
        EXPECT_FALSE(d.cmbRepeatTimeModule->isEnabled());
        EXPECT_EQ(d.cmbRepeatTimeModule->currentIndex(), 0);
        d.cmbActiviationPlan->setCurrentIndex(9);
        d.txtUserID->setText("012");
    });
    // Plan 9 goes out as "0"; the repeat count and delay code of the module lists travel.
    EXPECT_EQ(t.harness.HostLines(), Lines{"Z025012000" + std::string(60, ' ') + "0   01+00400001W"});
    EXPECT_EQ(readFile("PPM_Alarm.DBS").substr(0, 6), "001012");
}

// A point with every option set opens into its controls, and after a save the
// hidden columns hold what the dialog offers: list positions on the QX7XXX
// units, minutes and seconds on the others.
TEST(AlarmWindow, AlarmRowOpensIntoItsControlsAndComesBackAfterASave)
{
    struct Case {
        char letter;
        std::vector<std::pair<const char*, QString>> opened;
        QString repeat, delay; // the hidden columns 17 and 18 after the save
    } cases[] = {
        {'I',
         {{"chkActive", "1"}, {"chkSendCancel", "1"}, {"txtUserIDCancel", "013"}, {"txtMessageCancel", "Boiler ok"},
          {"cmbRepeatCount", "Up to 10 Times"}, {"cmbInputDelayModule", "120 Seconds"},
          {"cmbRepeatTimeModule", "10 Min."},
          {"cmbActiviationPlan", "4 - Daily, 10PM-6AM"}, {"txtRelay", "07"}, {"cmbPulse", "2 Per Second"},
          {"cmbInputType", "Pulsing, High-Low"}, {"txtThreshold", "-05"}, {"txtStatus", "1"}, {"txtRealTime", "45"}},
         "1", "2"},
        {'X',
         {{"chkActive", "1"}, {"chkSendCancel", "1"}, {"cmbRepeatTime", "2 Min."}, {"cmbInputDelay", "3 Sec."},
          {"cmbActiviationPlan", "4 - Daily, 10PM-6AM"}},
         "5", "2"},
    };
    const AlarmPointRecord point{.Point = "001", .Pager = "012", .Message = padded("Boiler"),
                                 .CancelMessage = padded("Boiler ok"), .SendCancel = kFlagYes, .InputDelay = "003",
                                 .RepeatMinutes = "02", .ActivationPlan = "4", .CancelPager = "013", .Status = "1",
                                 .RealTime = "045", .InputType = "5", .Threshold = "-05", .RepeatModuleCode = "3",
                                 .Relay = "07", .Pulse = "2", .Active = kFlagYes};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        WindowRig t;
        writeFile("PPM_Alarm.DBS", EncodeRecord(point));
        KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor(c.letter));
        const QTreeWidgetItem* row = list.lvwMessages->topLevelItem(0);
        EXPECT_EQ(row->text(AlarmColRepeatTime) + "|" + row->text(AlarmColRepeatCount), "2  Min.|");
        t.edit<Dialog>(list, 0, [&c](Dialog& d) {
            for (const auto& [name, text] : c.opened)
                EXPECT_EQ(shown(d, name), text) << name;
            EXPECT_EQ(selectsOnFocus(d, {"txtUserID", "txtThreshold", "txtStatus", "txtRealTime"}),
                      (std::vector{true, true, false, false}));
            d.cmbRepeatCount->setCurrentIndex(1);
            d.cmbInputDelayModule->setCurrentIndex(2);
            d.cmbRepeatTime->setCurrentText("5 Min.");
            d.cmbInputDelay->setCurrentText("2 Sec.");
        });
        EXPECT_EQ(row->text(AlarmColRepeatMinutes), c.repeat);
        EXPECT_EQ(row->text(AlarmColInputDelay), c.delay);
        EXPECT_EQ(row->text(AlarmColActive), "Yes");
        EXPECT_EQ(row->text(AlarmColStatus), "1");
    }
}

TEST(AlarmWindow, UnitOfUnknownKindTakesPointsButIsNeverDownloadedOver)
{
    WindowRig t;
    sim::Profile profile = sim::ProfileFor('Z');
    profile.alarm.size = 24;
    const AlarmPointRecord point{.Point = "001", .Pager = "012", .Message = padded("Boiler room")};
    writeFile("PPM_Alarm.DBS", EncodeRecord(point));
    KS_PPM_MessagesTable& list = openAlarms(t, profile);
    ASSERT_EQ(list.lvwMessages->topLevelItemCount(), 24);
    EXPECT_TRUE(list.cmdUpload->isEnabled());
    EXPECT_FALSE(list.cmdDownload->isEnabled());
    t.harness.messages.AnswerAlways(kAnswerYes);
    list.cmdDownload_Click();
    EXPECT_EQ(readFile("PPM_Alarm.DBS"), EncodeRecord(point));
    EXPECT_EQ(t.harness.messages.texts(), Lines{});

    // The point goes out in the QX8XXX form, from the table and from the dialog.
    const std::string fields = padded("Boiler room") + std::string("\0\0N", 3) + "W";
    list.cmdUpload_Click();
    EXPECT_EQ(writesOnly(t.harness.HostLines()), Lines{"Z001012" + fields});
    t.edit<Dialog>(list, 0, [](Dialog& d) { d.txtUserID->setText("021"); });
    EXPECT_EQ(t.harness.HostLines(), Lines{"Z001021" + fields});
    EXPECT_EQ(t.harness.messages.texts().size(), 1u); // the upload's question, no warning
    EXPECT_EQ(readFile("PPM_Alarm.DBS").substr(0, 6), "001021");
}

// Only what reaches the unit and the file can be typed: 23 characters of
// cancel text on X and Y, digits in Status and RealTime; the real time is
// kept in three digits.
TEST(AlarmWindow, DialogBoxesTakeOnlyWhatTheUnitKeeps)
{
    for (const auto& [letter, cancelLength] : {std::pair{'X', 23}, std::pair{'Y', 23}, std::pair{'A', 30}}) {
        SCOPED_TRACE(letter);
        WindowRig t;
        KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor(letter));
        t.edit<Dialog>(list, 0, [cancelLength = cancelLength](Dialog& d) {
            d.txtUserID->setText("012");
            QTest::keyClicks(d.txtMessageCancel, QString(30, 'c'));
            EXPECT_EQ(d.txtMessageCancel->text().size(), cancelLength);
            d.txtStatus->clear();
            d.txtRealTime->clear();
            QTest::keyClicks(d.txtStatus, "s1");
            QTest::keyClicks(d.txtRealTime, "4r5");
            EXPECT_EQ(d.txtStatus->text() + "|" + d.txtRealTime->text(), "1|45");
        });
        const auto stored = DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS"));
        EXPECT_EQ(stored.RealTime, "045");
        EXPECT_EQ(stored.CancelMessage, padded(std::string(cancelLength, 'c')));
    }
}

// 30 seconds picked for a QX7560 or QMR7560 go as its code 2, whether the
// point goes out from the dialog or with the table.
TEST(AlarmWindow, FullLayoutUnitSendsThePointAlikeFromTheDialogAndTheUpload)
{
    WindowRig t;
    KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor('L'));
    EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(AlarmColRepeatTime), "None");
    t.edit<Dialog>(list, 0, [](Dialog& d) {
        d.txtUserID->setText("012");
        d.cmbInputDelay->setCurrentText("30 Sec.");
    });
    const std::string line = "Z001012000" + std::string(60, ' ') + "0   01+00121001W";
    EXPECT_EQ(t.harness.HostLines(), Lines{line});
    t.harness.messages.Answer(kAnswerYes);
    list.cmdUpload->click();
    EXPECT_EQ(writesOnly(t.harness.HostLines()).at(0), line);
}

// A QX7560 or QMR7560 sends an input-delay code (none, 10, 30, 120 seconds)
// while its dialog offers seconds: the code it sent shows as its seconds and
// goes back, save after save, until the operator picks a delay there; a picked
// delay goes as its code, and one without a code is refused, nothing sent.
TEST(AlarmWindow, FullLayoutUnitGetsItsInputDelayCodeBackUntilADelayIsPicked)
{
    WindowRig t;
    const std::string fields = "012013" + padded("Boiler") + padded("Boiler ok") + "104523-054";
    t.harness.engine.PutAlarmPoint(1, fields + "23071");
    KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor('L'));
    t.harness.messages.Answer(kAnswerYes);
    list.cmdUpload->click();
    EXPECT_EQ(writesOnly(t.harness.HostLines()).at(0), "Z001" + fields + "23071W");
    // Saved twice without touching the delay.
    for (const auto& [plan, digit] : {std::pair{4, "5"}, std::pair{6, "7"}}) {
        t.edit<Dialog>(list, 0, [plan = plan](Dialog& d) {
            EXPECT_EQ(d.cmbInputDelay->currentText(), "30 Sec.");
            d.cmbActiviationPlan->setCurrentIndex(plan);
        });
        EXPECT_EQ(t.harness.HostLines(), Lines{"Z001" + fields + "2" + digit + "071W"});
    }
    t.edit<Dialog>(list, 0, [](Dialog& d) { d.cmbInputDelay->setCurrentText("120 Sec."); });
    EXPECT_EQ(t.harness.HostLines(), Lines{"Z001" + fields + "37071W"});

    const std::string file = readFile("PPM_Alarm.DBS");
    t.harness.messages.Answer(kAnswerOk);
    EXPECT_TRUE(t.edit<Dialog>(list, 0, [](Dialog& d) { d.cmbInputDelay->setCurrentText("7 Sec."); }));
    EXPECT_EQ(t.harness.messages.texts().back(), "The QMR7560 takes an input delay of None, 10 Sec., 30 Sec. or "
                                                 "120 Sec. only. Nothing was sent to the QMR7560.");
    EXPECT_EQ(t.harness.HostLines(), Lines{});
    EXPECT_EQ(readFile("PPM_Alarm.DBS"), file);
}

// Opened while the encoder was silent (the Other layout), Ok finds a QX6860:
// the dialog takes its rules, keeps what was typed and says so, and nothing
// goes to the unit or the file until Ok is pressed again, in its own layout.
TEST(AlarmWindow, AUnitFoundAtOkGetsItsOwnLayoutBeforeAnythingIsSentOrStored)
{
    WindowRig t;
    sim::Profile profile = withoutOption('I');
    profile.value3 = "025";
    t.harness.engine.SetProfile(profile);
    const std::string file = EncodeRecord(AlarmPointRecord{.Point = "001", .Pager = "012", .Message = padded("Boiler")});
    writeFile("PPM_Alarm.DBS", file);
    SilenceEveryLine(t.harness.engine);
    t.harness.messages.AnswerAlways(kAnswerYes);
    t.harness.Load();
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesAlarm);
    t.harness.engine.ClearFaults();
    const auto sinceOpened = [&t, before = t.harness.messages.texts().size()] {
        const Lines texts = t.harness.messages.texts();
        return Lines(texts.begin() + static_cast<std::ptrdiff_t>(before), texts.end());
    };
    t.edit<Dialog>(list, 0, [&t, &file, &sinceOpened](Dialog& d) {
        EXPECT_FALSE(d.cmbInputDelayModule->isEnabled());
        d.txtUserID->setText("021");
        d.cmdOk->click();
        EXPECT_EQ(writesOnly(t.harness.HostLines()), Lines{});
        EXPECT_EQ(readFile("PPM_Alarm.DBS"), file);
        EXPECT_EQ(sinceOpened(),
                  Lines{"The QX6860 answers now, not the unit this window was set up for. The window now offers what "
                        "the QX6860 takes and keeps what was entered. Nothing was sent: please check the values and "
                        "click Ok again."});
        EXPECT_EQ(d.txtUserID->text(), "021");
        EXPECT_TRUE(d.cmbInputDelayModule->isEnabled() && d.cmbRepeatCount->isEnabled());
        d.cmbInputDelayModule->setCurrentIndex(2);
    });
    EXPECT_EQ(writesOnly(t.harness.HostLines()), Lines{"Z025021000" + padded("Boiler") + padded("") + "0   01+00121001W"});
    const auto stored = DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS"));
    EXPECT_EQ(stored.Pager + "|" + stored.InputDelay + "|" + stored.Status, "021|002|0");
    EXPECT_EQ(sinceOpened().size(), 1u);
}

// A point a QMR7560 sent (a repeat count and an input-delay code) in a window
// opened while the unit was silent: when Ok finds the QMR7560, the repeat and
// the delay the operator left as shown are read as that unit reads them, shown
// so, and go out so.
TEST(AlarmWindow, AUnitFoundAtOkReadsTheRowsRepeatAndDelayAsItTakesThem)
{
    WindowRig t;
    t.harness.engine.SetProfile(sim::ProfileFor('L'));
    writeFile("PPM_Alarm.DBS", EncodeRecord(AlarmPointRecord{.Point = "001", .Pager = "012",
                                                             .Message = padded("Boiler"), .InputDelay = "2  ",
                                                             .RepeatMinutes = "02"}));
    SilenceEveryLine(t.harness.engine);
    t.harness.messages.AnswerAlways(kAnswerYes);
    t.harness.Load();
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesAlarm);
    t.harness.engine.ClearFaults();
    t.edit<Dialog>(list, 0, [&t](Dialog& d) {
        d.cmdOk->click();
        EXPECT_EQ(writesOnly(t.harness.HostLines()), Lines{});
        EXPECT_EQ(d.cmbRepeatCount->currentIndex(), 2);
        EXPECT_EQ(d.cmbInputDelay->currentText().toStdString(), "30 Sec.");
    });
    const Lines sent = writesOnly(t.harness.HostLines());
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].size(), 86u);
    EXPECT_EQ(sent[0].substr(74, 1) + "|" + sent[0].substr(80, 1), "2|2"); // the repeat count, the delay code
}

TEST(AlarmWindow, TheTabStopsAtTheThresholdAndRelayBoxesNotAtTheirArrows)
{
    WindowRig t;
    KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor('I'));
    t.edit<Dialog>(list, 0, [](Dialog& d) {
        d.cmbInputType->setCurrentIndex(2);
        for (QSpinBox* upDown : {d.updThreshold, d.updRelay}) {
            EXPECT_TRUE(upDown->isEnabled());
            EXPECT_FALSE(upDown->focusPolicy() & Qt::TabFocus) << upDown->objectName().toStdString();
        }
    }, false);
}

// A unit that keeps the real time as one character refuses more than it holds,
// rather than keeping another number than the one typed.
TEST(AlarmWindow, RealTimeAboveOneCharacterIsRefusedByTheUnitsThatKeepOne)
{
    WindowRig t;
    KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor('X'));
    const std::string file = readFile("PPM_Alarm.DBS");
    t.harness.messages.Answer(kAnswerOk);
    EXPECT_TRUE(t.edit<Dialog>(list, 0, [](Dialog& d) {
        d.txtUserID->setText("012");
        d.txtRealTime->setText("256");
    }));
    EXPECT_EQ(t.harness.messages.texts(), Lines{"RealTime must be a number from 0 to 255."});
    EXPECT_EQ(t.harness.HostLines(), Lines{});
    EXPECT_EQ(readFile("PPM_Alarm.DBS"), file);
    // The X units never send it: a line's end is no danger there.
    EXPECT_FALSE(t.edit<Dialog>(list, 0, [](Dialog& d) {
        d.txtUserID->setText("012");
        d.txtRealTime->setText("13");
    }));
    EXPECT_EQ(DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS")).RealTime, "013");
}

// A Full-layout unit takes the real time as three digits, so 10 and 13 go out
// as such from the dialog and with the table.
TEST(AlarmWindow, FullLayoutUnitSendsARealTimeOfTenOrThirteenAsThreeDigits)
{
    WindowRig t;
    KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor('L'));
    for (const char* realTime : {"10", "13"}) {
        SCOPED_TRACE(realTime);
        t.edit<Dialog>(list, 0, [realTime](Dialog& d) {
            d.txtUserID->setText("012");
            d.txtRealTime->setText(realTime);
        });
        const std::string line = "Z001012000" + std::string(60, ' ') + "00" + realTime + "01+00101001W";
        EXPECT_EQ(t.harness.HostLines(), Lines{line});
        t.harness.messages.Answer(kAnswerYes);
        list.cmdUpload->click();
        EXPECT_EQ(writesOnly(t.harness.HostLines()).at(0), line);
    }
    EXPECT_EQ(t.harness.messages.texts().size(), 2u); // the uploads' questions only
}

// A QX8XXX unit sends its status as the character of that code; what it sent
// goes back, and a typed one goes as typed.
TEST(AlarmWindow, Family8StatusGoesBackAsTheUnitSentIt)
{
    WindowRig t;
    t.harness.engine.PutAlarmPoint(1, "012" + padded("Boiler") + "\x0C\x05N");
    KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor('A'));
    EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(AlarmColStatus), "12");
    const std::string point = "Z001012" + padded("Boiler");
    t.harness.messages.Answer(kAnswerYes);
    list.cmdUpload->click();
    EXPECT_EQ(writesOnly(t.harness.HostLines()).at(0), point + "\x0C\x05NW");
    for (const auto& [typed, status] : {std::pair{"", '\x0C'}, std::pair{"9", '\x09'}}) {
        t.edit<Dialog>(list, 0, [typed = typed](Dialog& d) {
            if (*typed)
                d.txtStatus->setText(typed);
        });
        EXPECT_EQ(t.harness.HostLines(), Lines{point + status + "\x05NW"});
    }
}

// What a QX8XXX unit cannot keep is refused before anything goes out: a status
// above 9, a real time beyond one character, and the codes of a line feed and
// a carriage return, which would cut the point's write in two.
TEST(AlarmWindow, Family8DialogRefusesValuesTheUnitCannotKeep)
{
    WindowRig t;
    KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor('A'));
    const std::string file = readFile("PPM_Alarm.DBS");
    t.harness.messages.AnswerAlways(kAnswerOk);
    const std::pair<const char*, const char*> typed[] = {
        {"txtStatus", "45"}, {"txtRealTime", "13"}, {"txtRealTime", "10"}, {"txtRealTime", "256"}};
    for (const auto& [box, value] : typed)
        EXPECT_TRUE(t.edit<Dialog>(list, 0, [box = box, value = value](Dialog& d) {
            d.txtUserID->setText("012");
            d.findChild<QLineEdit*>(box)->setText(value);
        })) << value;
    const std::string realTime = "RealTime must be a number from 0 to 255 other than 10 and 13, which would end the "
                                 "line to the QX8140.";
    EXPECT_EQ(t.harness.messages.texts(), (Lines{"Status must be a number from 0 to 9.", realTime, realTime, realTime}));
    EXPECT_EQ(t.harness.HostLines(), Lines{});
    EXPECT_EQ(readFile("PPM_Alarm.DBS"), file);

    t.edit<Dialog>(list, 0, [](Dialog& d) {
        d.txtUserID->setText("012");
        d.txtRealTime->setText("255");
    });
    EXPECT_EQ(t.harness.HostLines(), Lines{"Z001012" + padded("") + std::string("\0\xFFNW", 4)});
}

} // namespace

// The row holds what was saved as the list would read it from the file: a
// delay the file holds as seconds, and one picked on a QX7560 or a QMR7560,
// opens again as such and goes out, edit after edit, as its code. Neither
// offers the minutes list, which its repeat never takes.
TEST(AlarmWindow, AFullLayoutUnitsDelayOpensAgainAsSavedEditAfterEdit)
{
    for (const char letter : {'G', 'L'}) {
        SCOPED_TRACE(letter);
        WindowRig t;
        writeFile("PPM_Alarm.DBS", EncodeRecord(AlarmPointRecord{.Point = "001", .Pager = "012",
                                                                 .Message = padded("Boiler"), .InputDelay = "030"}));
        KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor(letter));
        const auto delayCode = [&t] {
            const Lines sent = writesOnly(t.harness.HostLines());
            return sent.size() == 1 && sent[0].size() == 86 ? sent[0].substr(80, 1) : std::string("?");
        };
        t.harness.HostLines();
        const struct {
            const char* opened;
            const char* picked; // nullptr: only the message changes
            const char* code;
            const char* stored;
        } edits[] = {{"30 Sec.", nullptr, "2", "030"},
                     {"30 Sec.", "10 Sec.", "1", "010"},
                     {"10 Sec.", nullptr, "1", "010"},
                     {"10 Sec.", nullptr, "1", "010"}};
        for (const auto& e : edits) {
            t.edit<Dialog>(list, 0, [&e](Dialog& d) {
                EXPECT_EQ(d.cmbInputDelay->currentText(), e.opened);
                EXPECT_FALSE(d.cmbRepeatTime->isEnabled());
                if (e.picked)
                    d.cmbInputDelay->setCurrentText(e.picked);
                d.txtMessage->setText(d.txtMessage->text() + "!");
            });
            EXPECT_EQ(delayCode(), e.code);
            EXPECT_EQ(DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS")).InputDelay, e.stored);
        }
    }
}

// Opened while the encoder was silent, Ok finds a QX6870: its input options come on.
TEST(AlarmWindow, AQX6870FoundAtOkHasItsInputOptionsOffered)
{
    WindowRig t;
    t.harness.engine.SetProfile(sim::ProfileFor('U'));
    writeFile("PPM_Alarm.DBS", EncodeRecord(AlarmPointRecord{.Point = "001", .Pager = "012", .Message = padded("Boiler")}));
    SilenceEveryLine(t.harness.engine);
    t.harness.messages.AnswerAlways(kAnswerYes);
    t.harness.Load();
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesAlarm);
    t.harness.engine.ClearFaults();
    t.edit<Dialog>(list, 0, [](Dialog& d) {
        EXPECT_FALSE(d.cmbInputType->isEnabled());
        d.cmdOk->click();
        for (QWidget* offered : std::initializer_list<QWidget*>{d.cmbInputType, d.txtUserIDCancel, d.chkActive})
            EXPECT_TRUE(offered->isEnabled()) << offered->objectName().toStdString();
        EXPECT_FALSE(d.cmbRepeatCount->isEnabled());
    });
}

// After a save the row's Repeat Time column is the box's own text, on a unit
// that keeps minutes and on one that keeps a count.
TEST(AlarmWindow, TheRepeatTimeColumnShowsTheBoxsTextAfterASave)
{
    for (const char letter : {'A', 'G'}) {
        SCOPED_TRACE(letter);
        WindowRig t;
        KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor(letter));
        t.harness.messages.AnswerAlways(kAnswerOk);
        t.edit<Dialog>(list, 0, [](Dialog& d) {
            d.txtUserID->setText("012");
            d.cmbRepeatTime->setCurrentText("5 Min.");
        });
        EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(AlarmColRepeatTime), "5 Min.");
    }
}

// A QX6560 keeps the input delay as its code. Seconds another model stored
// (10, 30, 120) open as that delay and go out as its code; any other stored
// value opens with no delay picked and is never saved as "No Delay" unseen.
TEST(AlarmWindow, AModuleUnitReadsADelayStoredInSecondsByAnotherModelAsItsCode)
{
    WindowRig t;
    AlarmPointRecord point{.Point = "001", .Pager = "012", .Message = padded("Boiler"), .InputDelay = "030"};
    AlarmPointRecord odd = point;
    odd.Point = "002";
    odd.InputDelay = "045";
    writeFile("PPM_Alarm.DBS", EncodeRecord(point) + EncodeRecord(odd));
    KS_PPM_MessagesTable& list = openAlarms(t, withoutOption('H'));
    t.edit<Dialog>(list, 0, [](Dialog& d) { EXPECT_EQ(d.cmbInputDelayModule->currentText(), "30 Seconds"); });
    const Lines sent = t.harness.HostLines();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].substr(80, 1), "2");
    EXPECT_EQ(DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS")).InputDelay, "002");

    const std::string file = readFile("PPM_Alarm.DBS");
    t.harness.messages.Answer(kAnswerOk);
    t.edit<Dialog>(list, 1, [&](Dialog& d) {
        EXPECT_EQ(d.cmbInputDelayModule->currentIndex(), -1);
        d.cmdOk->click();
        ASSERT_TRUE(d.isVisible());
        EXPECT_EQ(t.harness.messages.texts().back(), "Input delay \"045\" as stored cannot be sent to the QX6560, "
                                                     "which takes an input delay of None, 10 Sec., 30 Sec. or 120 Sec. "
                                                     "only. Please choose one.");
        EXPECT_EQ(d.focusWidget(), d.cmbInputDelayModule);
        EXPECT_EQ(t.harness.HostLines(), Lines{});
        EXPECT_EQ(readFile("PPM_Alarm.DBS"), file);
        // A delay the operator picks goes out.
        d.cmbInputDelayModule->setCurrentIndex(3);
    });
    EXPECT_EQ(DecodeRecord<AlarmPointRecord>(readFile("PPM_Alarm.DBS").substr(150)).InputDelay, "003");
}

// A point downloaded from a unit whose layout has no input type, repeat-time
// code or pulse stores them as 0, which no list of a Full-layout unit holds:
// the dialog shows each at its list's first entry and sends that, and the
// upload sends the untouched point the same way.
TEST(AlarmWindow, AFieldAnotherLayoutLacksGoesOutFromTheUploadAsTheDialogSendsIt)
{
    WindowRig t;
    writeFile("PPM_Alarm.DBS", EncodeRecord(AlarmPointRecord{
                                   .Point = "001", .Pager = "012", .Message = padded("Boiler"),
                                   .CancelMessage = padded(""), .InputDelay = "000", .RepeatMinutes = "00",
                                   .ActivationPlan = "0", .CancelPager = "000", .Status = "0", .RealTime = "000",
                                   .InputType = "0", .Threshold = "000", .RepeatModuleCode = "0", .Relay = "00",
                                   .Pulse = "0", .Active = kFlagYes}));
    KS_PPM_MessagesTable& list = openAlarms(t, sim::ProfileFor('L'));
    t.harness.messages.Answer(kAnswerYes);
    list.cmdUpload->click();
    t.edit<Dialog>(list, 0, [](Dialog&) {});
    Lines first;
    for (const std::string& line : writesOnly(t.harness.HostLines()))
        if (line.starts_with("Z001"))
            first.push_back(line);
    const std::string line = "Z001012000" + padded("Boiler") + padded("") + "0   01+00101001W";
    EXPECT_EQ(first, (Lines{line, line}));
}
