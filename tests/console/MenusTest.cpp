#include <QDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ConsoleHarness.h"
#include "FakeSoundCard.h"
#include "KS_BusyDialog.h"
#include "KS_GEN_Configure.h"
#include "KS_General.h"
#include "KS_Clock.h"
#include "KS_SYS_Login.h"
#include "KS_Paging.h"
#include "WaveRecorder.h"

namespace {

// Stands in for a window of the parts above the console.
WindowFactory standIn(std::string_view name)
{
    return [name](QWidget* owner) {
        auto* window = new QDialog(owner);
        window->setObjectName(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
        return window;
    };
}

bool enabled(const std::vector<QAction*>& items, int index) { return items[static_cast<std::size_t>(index)]->isEnabled(); }

// Stand-ins for every window of the parts above the console, registered while it lives.
struct StandInWindows {
    StandInWindows()
    {
        for (auto name : kEveryWindow)
            RegisterWindow(name, standIn(name));
    }
    ~StandInWindows()
    {
        for (auto name : kEveryWindow)
            RegisterWindow(name, {});
    }
};

} // namespace

TEST(Menus, ItemsAndButtonsFollowTheAdministratorTheDatabaseTheLinkAndSignBoardSupport)
{
    StandInWindows windows;
    for (const bool database : {false, true}) {
        ConsoleHarness harness({{1, "Anna", "A"}}, database);
        harness.messages.AnswerAlways(kAnswerOk);
        KS_MainForm& form = harness.Load();
        const std::pair<const std::vector<QAction*>*, std::vector<int>> gated[] = {
            {&form.mnuSetupOptions, {0, 2, 4, 6, 8}},
            {&form.mnuMessagesOptions, {0, 2, 3, 4, 6}},
            {&form.mnuDevicesOptions, {0, 2, 3, 5, 7}},
        };
        for (const bool admin : {false, true})
            for (const int link : {1, 2})
                for (const bool sb : {false, true}) {
                    SCOPED_TRACE(testing::Message() << database << admin << link << sb);
                    gAdminMode = admin;
                    gConnectionType = link;
                    gShowSBSupport = sb;
                    form.SetControlsEnabled(true);
                    // The administrator's items follow the login alone, with or without a user table.
                    for (const auto& [items, indices] : gated) {
                        for (int i : indices)
                            EXPECT_EQ(enabled(*items, i), admin) << i;
                        EXPECT_FALSE(items->back()->isVisible());
                    }
                    EXPECT_EQ(enabled(form.mnuMessagesOptions, 8), admin && sb); // hidden reads as disabled
                    EXPECT_EQ(enabled(form.mnuFileOptions, 2), !admin);
                    EXPECT_EQ(enabled(form.mnuFileOptions, 3), admin);
                    for (QPushButton* b : {form.cmdAdd, form.cmdUpdate, form.cmdDelete})
                        EXPECT_EQ(b->isEnabled(), admin);
                    EXPECT_EQ(form.cmdSendPage->isEnabled(), database);
                    EXPECT_EQ(form.cmdDialOut->isEnabled(), database && link == 2);
                    EXPECT_EQ(form.cmdSBMessages->isHidden(), !sb);
                }
    }
}

TEST(Menus, AWindowNotBuiltIntoTheProgramStaysDisabled)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    gAdminMode = true;
    KS_MainForm& form = harness.Load();
    EXPECT_FALSE(enabled(form.mnuMessagesOptions, 0));
    EXPECT_FALSE(enabled(form.mnuSetupOptions, 6)); // no tone window at all
    EXPECT_FALSE(form.cmdSBMessages->isEnabled());
    EXPECT_TRUE(enabled(form.mnuSetupOptions, 0));
    RegisterWindow(FormName::MessagesAlarm, standIn(FormName::MessagesAlarm));
    form.SetAdminOptions(true);
    EXPECT_TRUE(enabled(form.mnuMessagesOptions, 0));
    RegisterWindow(FormName::MessagesAlarm, {});
}

TEST(Menus, LoginAndLogoutSwitchTheGatesAndLeaveTheAutomaticClockMarkAlone)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    gAdminPassword = "secret";
    gAutoTimeSet = true;
    KS_MainForm& form = harness.Load();
    EXPECT_TRUE(form.mnuSetupTimeOptions[1]->isChecked());
    form.mnuSetupTimeOptions[1]->trigger();
    EXPECT_FALSE(gAutoTimeSet);
    EXPECT_EQ(GetConfigSetting("AutoTimeSet"), "0");

    QTimer::singleShot(0, [] {
        auto* login = ShownWindow<KS_SYS_Login>("KS_SYS_Login");
        ASSERT_NE(login, nullptr);
        login->txtPassword->setText("secret");
        login->cmdOk->click();
    });
    form.mnuFileOptions_Click(2);
    EXPECT_TRUE(gAdminMode);
    EXPECT_TRUE(form.cmdAdd->isEnabled());
    EXPECT_FALSE(form.mnuSetupTimeOptions[1]->isChecked());

    form.mnuFileOptions_Click(3);
    EXPECT_FALSE(gAdminMode);
    EXPECT_FALSE(form.cmdAdd->isEnabled());
}

TEST(Menus, TheIconShowsTheWindowAndItsPopupIsDisabledWhileAWindowIsOpen)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = harness.Load();
    form.hide();
    form.Form_MouseDown(KS_MainForm::kIconDoubleClick);
    EXPECT_TRUE(form.isVisible());

    form.Form_MouseDown(KS_MainForm::kIconRightButtonDown);
    EXPECT_FALSE(form.mnuPopupOptions[0]->isVisible()); // "Show" while shown
    EXPECT_TRUE(enabled(form.mnuPopupOptions, 3));
    auto* child = new QDialog(&form);
    form.OpenOwnedWindow(child, false);
    form.Form_MouseDown(KS_MainForm::kIconRightButtonDown);
    for (int i : {0, 1, 3})
        EXPECT_FALSE(enabled(form.mnuPopupOptions, i));
    form.mnuPopup->hide();
    child->close();
    EXPECT_FALSE(form.OpenerDisabled());
}

TEST(Menus, ADownloadThatCannotReachTheUnitTellsTheOperatorAndKeepsTheUsers)
{
    const struct {
        bool probeAnswered; // the unit falls silent only as the download identifies it
        std::vector<std::int16_t> answers;
        std::string told;
    } cases[] = {
        {false, {kAnswerOk}, "cannot be established"},
        {true, {kAnswerYes, kAnswerOk}, "Cannot connect to "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told);
        ConsoleHarness harness({{1, "Anna", "A"}, {2, "Bert", "N"}});
        KS_MainForm& form = harness.Load();
        harness.engine.AddCommand(c.probeAnswered ? R"(\?000M)" : "", [](sim::Engine& e, const std::smatch&, std::int64_t) {
            SilenceEveryLine(e);
            return sim::Engine::Reply{};
        });
        for (auto answer : c.answers)
            harness.messages.Answer(answer);
        form.mnuDevicesOptions_Click(2);
        ASSERT_EQ(harness.messages.shown().size(), c.answers.size());
        if (c.probeAnswered)
            EXPECT_TRUE(harness.Reported(c.told + gEncoderModelName + " !", true));
        else
            EXPECT_NE(harness.messages.texts()[0].find(c.told), std::string::npos);
        EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 2);
    }
}

TEST(Menus, EveryIdentificationNamesTheUnitInTheTransferItems)
{
    const auto captions = [](const KS_MainForm& form) {
        return form.mnuDevicesOptions[2]->text() + " | " + form.mnuDevicesOptions[3]->text();
    };
    const QString unknown = "&Download Pagers from encoder | &Upload Pagers to encoder";
    const QString identified = "&Download Pagers from QX9860 | &Upload Pagers to QX9860";
    {
        ConsoleHarness harness({{1, "Anna", "A"}});
        harness.engine.SetModel('X');
        SilenceEveryLine(harness.engine);
        harness.messages.Answer(kAnswerOk); // the start-up's link notice
        KS_MainForm& form = harness.Load();
        EXPECT_EQ(captions(form), unknown);
        harness.engine.ClearFaults();
        harness.messages.Answer(kAnswerNo);
        form.cmdDelete_Click(); // the unit is identified before the question
        EXPECT_EQ(captions(form), identified);
    }
    ConsoleHarness harness({{1, "Anna", "A"}});
    harness.engine.SetModel('X');
    harness.engine.EnableModem();
    gConnectionType = 2;
    gModemPort = 1;
    gModemPhone = "5551234";
    harness.messages.Answer(kAnswerOk); // no call is up while the console starts
    KS_MainForm& form = harness.Load();
    EXPECT_EQ(captions(form), unknown);
    form.cmdDialOut_Click();
    ASSERT_TRUE(gModemConnected);
    EXPECT_EQ(captions(form), identified);
}

TEST(Menus, ClearingThePagerDatabaseEmptiesTheFileTheListAndTheTableInMemory)
{
    ConsoleHarness harness({{1, "Anna", "A"}, {2, "Bert", "N"}});
    KS_MainForm& form = harness.Load();
    harness.messages.Answer(kAnswerNo);
    form.mnuDevicesOptions_Click(5);
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 2);

    harness.messages.Answer(kAnswerYes);
    form.mnuDevicesOptions_Click(5);
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 0);
    EXPECT_NE(form.Users()[0].InUse, "Y");
    EXPECT_EQ(QFileInfo(QString::fromStdString(DataFilePath("Pager.DBS"))).size(), 999 * 160);
    EXPECT_EQ(harness.messages.shown()[1].icon, kIconQuestion);
}

// ---- The encoder's clock ---------------------------------------------------------------

TEST(Clock, EachKindOfEncoderGetsTheTimeInTheFormItTakesAndAFailureIsShownAsInformation)
{
    // Tuesday 3 February 2015 and Sunday 1 February 2015, 14:05:09 on the PC's clock.
    const QDateTime tuesday(QDate(2015, 2, 3), QTime(14, 5, 9), Qt::LocalTime);
    const QDateTime sunday(QDate(2015, 2, 1), QTime(14, 5, 9), Qt::LocalTime);
    const struct {
        char model;
        QDateTime moment;
        bool acceptsSeconds;
        bool silentOnTime;
        std::vector<std::string> lastLines;
        std::string message;
    } cases[] = {
        {'X', QDateTime(QDate(2015, 2, 3), QTime(14, 5, 9), Qt::UTC), true, false, {"T140509020315UW"},
         "Date and Time modified succesfully."}, // UTC, in one line
        {'A', tuesday, false, false, {"PT1405", "PD0203153"}, "Date and Time modified succesfully."},
        {'A', sunday, false, false, {"PT1405", "PD0201151"}, "Date and Time modified succesfully."},
        {'A', tuesday, true, true, {}, "Error updating Date and Time."}, // both time forms unanswered: no date
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message + c.model);
        SetClockForTest([moment = c.moment] { return moment.toUTC(); });
        ConsoleHarness harness({{1, "Anna", "A"}});
        harness.engine.SetModel(c.model);
        if (!c.acceptsSeconds)
            harness.engine.EditProfile().acceptsSecondsInTime = false;
        KS_MainForm& form = harness.Load();
        if (c.silentOnTime)
            harness.engine.AddFault({sim::FaultKind::Silence, "PT", sim::MatchMode::Prefix, 5, {}, 0, 0});
        harness.messages.Answer(kAnswerOk);
        form.mnuSetupTimeOptions_Click(0);
        const auto lines = harness.HostLines();
        if (c.lastLines.empty()) {
            for (const auto& line : lines)
                EXPECT_NE(line.rfind("PD", 0), 0u) << line;
        } else {
            ASSERT_GE(lines.size(), c.lastLines.size());
            EXPECT_EQ(std::vector<std::string>(lines.end() - c.lastLines.size(), lines.end()), c.lastLines);
        }
        ASSERT_EQ(harness.messages.shown().size(), 1u);
        EXPECT_EQ(harness.messages.shown()[0].message, c.message);
        EXPECT_EQ(harness.messages.shown()[0].icon, kIconInformation);
    }
}

TEST(Clock, TheFourDigitTimeAndTheDateAreReadWhenTheyAreSentNotBeforeTheRefusedSixDigitTime)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    harness.engine.SetModel('A');
    harness.engine.EditProfile().acceptsSecondsInTime = false;
    KS_MainForm& form = harness.Load();
    // 23:59:55 on Tuesday 3 February 2015, running on with the ticks: the
    // refused "PT" and its retries take the clock past midnight.
    const std::int64_t start = gDelayTicks;
    SetClockForTest([start] {
        const QDateTime local(QDate(2015, 2, 3), QTime(23, 59, 55, 50), Qt::LocalTime);
        return local.addSecs((gDelayTicks - start) / 20).toUTC();
    });
    harness.HostLines();
    harness.messages.Answer(kAnswerOk);
    form.mnuSetupTimeOptions_Click(0);
    SetClockForTest({});
    const Lines lines = harness.HostLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "PT235955");
    // Wednesday 4 February, day 4.
    EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{"PT0000", "PD0204154"}));
    EXPECT_EQ(harness.messages.texts().back(), "Date and Time modified succesfully.");
}

TEST(Clock, TheTimeSentIsTheTimeTheCommandLeavesAfterAnEarlierQueryLeftItsAnswerOwed)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = harness.Load();
    const std::int64_t start = gDelayTicks;
    const QDateTime origin(QDate(2015, 2, 3), QTime(14, 5, 0), Qt::UTC);
    SetClockForTest([start, origin] { return origin.addMSecs((gDelayTicks - start) * 50); });
    // The unit pauses three seconds at a query, which gives up before the answer comes.
    harness.engine.AddFault({.kind = sim::FaultKind::Delay, .pattern = "C00?", .match = sim::MatchMode::Exact, .ticks = 60});
    QueryLink("C", "00", {.expectedLength = 2});
    harness.engine.ClearTranscript();
    harness.messages.Answer(kAnswerOk);
    form.mnuSetupTimeOptions_Click(0);
    SetClockForTest({});
    bool found = false;
    for (const auto& entry : harness.engine.Transcript())
        if (entry.fromHost && entry.bytes.starts_with("T")) {
            found = true;
            const QDateTime left = origin.addMSecs((entry.tick - start) * 50);
            EXPECT_EQ(entry.bytes.substr(1, 6), left.toString("HHmmss").toStdString());
        }
    EXPECT_TRUE(found);
}

TEST(Clock, TheMinuteTimerSetsTheClockEverySixtiethMinuteOnlyWithTheMark)
{
    SetClockForTest([] { return QDateTime(QDate(2015, 2, 3), QTime(14, 5, 9), Qt::UTC); });
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = harness.Load();
    auto runMinutes = [&](int n) {
        for (int i = 0; i < n; ++i)
            form.tmrMinutes_Timer();
        const auto lines = harness.HostLines();
        return std::find(lines.begin(), lines.end(), "T140509020315UW") != lines.end();
    };
    EXPECT_FALSE(runMinutes(60)); // no mark
    form.mnuSetupTimeOptions_Click(1);
    EXPECT_FALSE(runMinutes(59));
    EXPECT_TRUE(runMinutes(1));
}

// ---- The Record button ------------------------------------------------------------------

TEST(RecordButton, ATakeShowsItsSecondsAndStoppingPutsTheButtonBack)
{
    ConsoleHarness harness({{1, "Anna", "V"}});
    KS_MainForm& form = harness.Load();
    if (!form.mciRecordMessage->CanRecord())
        GTEST_SKIP() << "no capture device";
    form.cmdRecordMessage_Click();
    ASSERT_EQ(form.cmdRecordMessage->text(), "Stop R&ecord");
    EXPECT_FALSE(form.prgRecordProgress->isHidden());
    form.mciRecordMessage_StatusUpdate();
    EXPECT_EQ(form.txtRecordProgress->text(), "1/12 sec");

    harness.messages.AnswerAlways(kAnswerOk);
    form.cmdRecordMessage_Click();
    EXPECT_EQ(form.cmdRecordMessage->text(), "R&ecord");
    EXPECT_TRUE(form.prgRecordProgress->isHidden());
    EXPECT_EQ(form.txtStatus->text(), "Please select a user to page ...");
}

TEST(RecordButton, WithoutASoundInputItsTipAndTheStatusLineOnChoosingAVoicePagerSayWhy)
{
    ConsoleHarness harness({{1, "Anna", "A"}, {2, "Vera", "V"}});
    KS_MainForm& form = harness.Load();
    FakeSoundCard card;
    card.AttachMissing(*form.mciRecordMessage);
    form.SetControlsEnabled(true);
    EXPECT_FALSE(form.cmdRecordMessage->isEnabled());
    const std::string why = form.cmdRecordMessage->toolTip().toStdString();
    EXPECT_EQ(why.rfind("Voice messages cannot be recorded: No sound card to record from", 0), 0u) << why;

    harness.Select({"001"});
    EXPECT_NE(form.txtStatus->text().toStdString(), why);
    harness.Select({"002"});
    EXPECT_EQ(form.txtStatus->text().toStdString(), why);

    card.Attach(*form.mciRecordMessage);
    form.SetControlsEnabled(true);
    EXPECT_TRUE(form.cmdRecordMessage->isEnabled());
    EXPECT_EQ(form.cmdRecordMessage->toolTip(), "Record a message for Voice pager ");
}

TEST(Menus, AMessagesItemProbesFirstAndOpensAnywayWhileTheSignBoardListOpensWithoutAProbe)
{
    StandInWindows windows;
    gAdminMode = true;
    gShowSBSupport = true;
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = harness.Load();
    harness.engine.AddFault({sim::FaultKind::Silence, "", sim::MatchMode::Exact, 5, {}, 0, 0});
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        if (auto* alarm = ShownWindow<QDialog>("KS_PPM_MessagesAlarm"))
            opened = alarm->close();
    });
    harness.messages.Answer(kAnswerOk);
    form.mnuMessagesOptions_Click(0); // modal: returns once the timer has closed it
    EXPECT_TRUE(opened);
    EXPECT_EQ(harness.HostLines(), std::vector<std::string>{}); // bare probes only
    ASSERT_EQ(harness.messages.shown().size(), 1u);
    EXPECT_NE(harness.messages.texts()[0].find("cannot be established"), std::string::npos);

    form.cmdSBMessages_Click();
    ASSERT_TRUE(form.ViewMode());
    ShownWindow<QDialog>("KS_PPM_MessagesSB")->close();
    harness.engine.ClearTranscript();
    form.mnuMessagesOptions_Click(8);
    EXPECT_TRUE(harness.engine.Transcript().empty()); // no probe
    EXPECT_FALSE(form.ViewMode());
    ShownWindow<QDialog>("KS_PPM_MessagesSB")->close();
}

TEST(Menus, ReturnActivatesTheHighlightedItemOfAnOpenMenu)
{
    gAdminMode = true;
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = harness.Load();
    form.show();

    form.mnuHelp->popup(form.mapToGlobal(QPoint(0, 0)));
    QTest::keyClick(form.mnuHelp, Qt::Key_Up); // from the top round to the last item
    QTest::keyClick(form.mnuHelp, Qt::Key_Return);
    QWidget* about = ShownWindow<QDialog>("KS_SYS_About");
    ASSERT_NE(about, nullptr);
    about->close();

    // Two items answer to "d": the first is highlighted and Return runs it.
    form.mnuPagers->popup(form.mapToGlobal(QPoint(0, 0)));
    QTest::keyClick(form.mnuPagers, Qt::Key_D, Qt::NoModifier);
    EXPECT_EQ(form.mnuPagers->activeAction(), form.mnuDevicesOptions[2]);
    harness.messages.Answer(kAnswerNo);
    QTest::keyClick(form.mnuPagers, Qt::Key_Return);
    ASSERT_EQ(harness.messages.shown().size(), 1u);
    EXPECT_EQ(harness.messages.texts()[0].rfind("Current pagers database and all pagers information", 0), 0u);
}

TEST(Menus, AltAndAMenuTitlesLetterOpensThatMenuAtEveryPressAndFieldsKeepTheLettersNoTitleHolds)
{
    StandInWindows windows;
    gAdminMode = true;
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = harness.Load();
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, 1000));

    // Each title but Help shares its letter with a caption of the window; the
    // menu opens with its first item lit, as the arrows and Return expect.
    const struct {
        Qt::Key key;
        QMenu* menu;
        const char* firstItem;
    } titles[] = {{Qt::Key_F, form.mnuFile, "&Hide"},
                  {Qt::Key_S, form.mnuSetup, "&Configure"},
                  {Qt::Key_E, form.mnuMessages, "&Alarm Messages"},
                  {Qt::Key_I, form.mnuPagers, "&Pager Database Programmer"},
                  {Qt::Key_H, form.mnuHelp, "&Help Topics"}};
    for (const auto& t : titles)
        for (int press = 1; press <= 3; ++press) {
            SCOPED_TRACE(t.menu->objectName().toStdString() + " press " + std::to_string(press));
            QTest::keyClick(&form, t.key, Qt::AltModifier);
            EXPECT_TRUE(t.menu->isVisible());
            ASSERT_NE(t.menu->activeAction(), nullptr);
            EXPECT_EQ(t.menu->activeAction()->text(), t.firstItem);
            t.menu->hide();
        }

    QTest::keyClick(&form, Qt::Key_N, Qt::AltModifier); // Find &Name
    EXPECT_EQ(QApplication::focusWidget(), form.txtUserName);
}

TEST(Menus, F1OpensTheHelpAsHelpTopicsDoesAndAMissingViewerIsToldAsSuch)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = harness.Load();
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, 1000));
    QTemporaryDir folder;
    const QString help = folder.filePath("Pagora.html");
    gHelpFile = help.toStdString();
    std::vector<QString> viewed;
    bool viewerFound = true;
    SetDocumentViewerForTest([&](const QString& path) {
        viewed.push_back(path);
        return viewerFound;
    });
    harness.messages.AnswerAlways(kAnswerOk);

    form.txtMessage->setFocus();
    QTest::keyClick(form.txtMessage, Qt::Key_F1); // no file yet
    ASSERT_EQ(harness.messages.texts().size(), 1u);
    EXPECT_EQ(harness.messages.texts()[0], "The help file " + PathInText(gHelpFile) + " was not found.");

    QFile file(help);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QTest::keyClick(form.txtMessage, Qt::Key_F1);
    EXPECT_EQ(viewed, std::vector<QString>{help});
    EXPECT_EQ(harness.messages.texts().size(), 1u);
    EXPECT_TRUE(form.txtMessage->toPlainText().isEmpty());

    viewerFound = false;
    form.mnuHelpOptions[0]->trigger();
    EXPECT_EQ(viewed.size(), 2u);
    ASSERT_EQ(harness.messages.texts().size(), 2u);
    EXPECT_NE(harness.messages.texts()[1].find("is there, but this desktop has no program set to show it"),
              std::string::npos);
}

namespace {
class WorkingWindow : public BusyDialog {
public:
    using BusyDialog::BusyDialog;
    using BusyDialog::SetWorking;
};
} // namespace

TEST(Menus, F1OpensTheHelpFromEveryWindowButNotFromOneThatWorks)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = harness.Load();
    QTemporaryDir folder;
    gHelpFile = folder.filePath("Pagora.html").toStdString();
    QFile(folder.filePath("Pagora.html")).open(QIODevice::WriteOnly);
    int viewed = 0;
    SetDocumentViewerForTest([&viewed](const QString&) { return ++viewed > 0; });

    KS_GEN_Configure configure(&form);
    configure.show();
    QTest::keyClick(configure.txtPhone, Qt::Key_F1);
    EXPECT_EQ(viewed, 1);
    configure.setEnabled(false); // as while Ok sets the link up again
    QTest::keyClick(&configure, Qt::Key_F1);
    EXPECT_EQ(viewed, 1);

    WorkingWindow table(&form);
    auto* list = new QTreeWidget(&table);
    auto* progress = new QProgressBar(&table);
    table.show();
    QTest::keyClick(list, Qt::Key_F1);
    EXPECT_EQ(viewed, 2);
    table.SetWorking(true);
    progress->setFocusPolicy(Qt::StrongFocus);
    progress->setEnabled(true);
    QTest::keyClick(&table, Qt::Key_F1);
    table.SetWorking(false);
    EXPECT_EQ(viewed, 2);
    EXPECT_TRUE(harness.messages.shown().empty());
    SetDocumentViewerForTest({});
}

TEST(Menus, AltAndALetterOpensNoMenuWhileAScheduledPageHoldsTheLine)
{
    gAdminMode = true;
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = harness.Load();
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, 1000));
    form.txtMessage->setFocus();
    // The message box stays live meanwhile, and labels of the window share the titles' letters.
    const std::pair<Qt::Key, QMenu*> titles[] = {{Qt::Key_F, form.mnuFile},     {Qt::Key_S, form.mnuSetup},
                                                 {Qt::Key_E, form.mnuMessages}, {Qt::Key_I, form.mnuPagers},
                                                 {Qt::Key_H, form.mnuHelp}};
    Lines opened;
    harness.ActAtYield(5, [&] {
        for (const auto& [key, menu] : titles) {
            QTest::keyClick(form.txtMessage, key, Qt::AltModifier);
            if (menu->isVisible())
                opened.push_back(menu->objectName().toStdString());
            menu->hide();
        }
    });
    PageRequest page;
    page.SetPagerNo("001");
    form.SendPageToPager(page);
    EXPECT_GT(harness.yields, 5);
    EXPECT_EQ(opened, Lines{});
}

// ---- The window while the line is busy --------------------------------------------------

TEST(Menus, FromTheFirstProbeToTheEndOfWhatAnItemOrAButtonStartedNothingInTheWindowReacts)
{
    // Built into the program but making no window: the item probes, then has nothing to open.
    RegisterWindow(FormName::MessagesAlarm, [](QWidget*) { return nullptr; });
    gAdminMode = true;
    const std::pair<const char*, std::function<void(KS_MainForm&)>> entries[] = {
        {"Alarm Messages", [](KS_MainForm& f) { f.mnuMessagesOptions[0]->trigger(); }},
        {"TX Coverage Test", [](KS_MainForm& f) { f.mnuSetupOptions[2]->trigger(); }},
        {"Set Date & Time Now", [](KS_MainForm& f) { f.mnuSetupTimeOptions[0]->trigger(); }},
        {"Send Page", [](KS_MainForm& f) { f.cmdSendPage->click(); }},
        {"Delete", [](KS_MainForm& f) { f.cmdDelete->click(); }},
    };
    for (const auto& [entry, start] : entries) {
        SCOPED_TRACE(entry);
        ConsoleHarness harness({{1, "Anna", "A"}});
        KS_MainForm& form = harness.Load();
        harness.Select({"001"});
        form.txtMessage->setPlainText("Gate B");
        SilenceEveryLine(harness.engine);
        harness.messages.AnswerAlways(kAnswerYes);
        bool closedWhileWaiting = false;
        harness.ActAtYield(3, [&form, &closedWhileWaiting] {
            closedWhileWaiting = !form.centralWidget()->isEnabled() && !form.menuBar()->isEnabled();
            form.cmdAdd->click();
        });
        start(form);
        EXPECT_TRUE(closedWhileWaiting);
        EXPECT_EQ(ShownWindow("KS_GEN_UserAdd"), nullptr);
        EXPECT_TRUE(form.centralWidget()->isEnabled() && form.menuBar()->isEnabled());
    }
    RegisterWindow(FormName::MessagesAlarm, {});
}

TEST(Menus, ABatchATransferOrATimersPageShowsEveryCommandDisabledWhileTheStatusLineGoesOn)
{
    gAdminMode = true;
    gShowSBSupport = true;
    const struct {
        const char* run;
        std::function<void(KS_MainForm&)> start;
        int lookAtYield;
        std::string statusThen;
        const char* focusAfter; // where the operator was, or where the run sends the focus
    } runs[] = {
        {"batch", [](KS_MainForm& f) { f.cmdSendPage->click(); }, 5, "Sending page to pager 001 ...", "txtMessage"},
        {"download", [](KS_MainForm& f) { f.mnuDevicesOptions[2]->trigger(); }, 40,
         "Downloading Pager Database from QX9860 ... 001", "txtUserName"},
        {"timer's page",
         [](KS_MainForm& f) {
             PageRequest page;
             page.SetPagerNo("002");
             f.SendPageToPager(page);
         },
         5, "Sending page to pager 002 ...", "txtMessage"},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.run);
        ConsoleHarness harness({{1, "Anna", "A"}, {2, "Bert", "A"}});
        KS_MainForm& form = harness.Load();
        form.show();
        harness.Select({"001", "002"});
        form.txtMessage->setPlainText("Gate B");
        form.txtMessage->setFocus();
        harness.messages.AnswerAlways(kAnswerYes);
        Lines enabledThen;
        std::string statusThen;
        harness.ActAtYield(r.lookAtYield, [&] {
            for (QWidget* command : std::initializer_list<QWidget*>{
                     form.cmdAdd, form.cmdUpdate, form.cmdDelete, form.cmdClear, form.txtUserID, form.txtUserName,
                     form.cmdSelect, form.cmdSendPage, form.cmdSBMessages, form.cmdLastPage, form.cmdClearDisplay})
                if (command->isEnabled())
                    enabledThen.push_back(command->objectName().toStdString());
            if (form.menuBar()->isEnabled())
                enabledThen.push_back("the menu bar");
            statusThen = form.txtStatus->text().toStdString();
        });
        r.start(form);
        EXPECT_EQ(enabledThen, Lines{});
        EXPECT_EQ(statusThen, r.statusThen);
        EXPECT_TRUE(form.cmdAdd->isEnabled());
        ASSERT_NE(form.focusWidget(), nullptr);
        EXPECT_EQ(form.focusWidget()->objectName(), r.focusAfter);
    }
}

TEST(Menus, AScheduledPageLeavesTheMessageBeingTypedLiveAndItsCommandsAsTheyWere)
{
    gAdminMode = true;
    ConsoleHarness harness({{1, "Anna", "A"}, {2, "Bert", "A"}});
    KS_MainForm& form = harness.Load();
    form.show();
    form.cmdLastPage->setEnabled(false);
    form.txtMessage->setPlainText("Gate");
    form.txtMessage->setFocus();
    form.txtMessage->moveCursor(QTextCursor::End);
    bool sendEnabledThen = true;
    harness.ActAtYield(5, [&] {
        sendEnabledThen = form.cmdSendPage->isEnabled();
        QTest::keyClicks(form.txtMessage, " B");
    });
    PageRequest page;
    page.SetPagerNo("002");
    form.SendPageToPager(page);
    EXPECT_FALSE(sendEnabledThen);
    EXPECT_EQ(form.txtMessage->toPlainText(), "Gate B");
    EXPECT_TRUE(form.cmdSendPage->isEnabled());
    EXPECT_FALSE(form.cmdLastPage->isEnabled());
    EXPECT_EQ(form.focusWidget(), form.txtMessage);
}

TEST(Menus, TheMessageBoxGreysWithTheOtherControlsWhileABatchRunsAndStaysBlackWhileATimersPageLetsTypingOn)
{
    ConsoleHarness harness({{1, "Anna", "A"}, {2, "Bert", "A"}});
    KS_MainForm& form = harness.Load();
    form.show();
    auto background = [&form] {
        const QImage shot = form.txtMessage->grab().toImage();
        return shot.pixelColor(shot.width() / 2, shot.height() - 8);
    };
    ASSERT_EQ(background(), QColor(Qt::black));
    QColor duringBatch;
    harness.ActAtYield(5, [&] { duringBatch = background(); });
    harness.Select({"001"});
    form.txtMessage->setPlainText("Gate B");
    form.cmdSendPage->click();
    EXPECT_NE(duringBatch, QColor(Qt::black));
    EXPECT_EQ(background(), QColor(Qt::black));

    QColor duringTimersPage;
    harness.ActAtYield(5, [&] { duringTimersPage = background(); });
    PageRequest page;
    page.SetPagerNo("002");
    form.SendPageToPager(page);
    EXPECT_EQ(duringTimersPage, QColor(Qt::black));
}

// The digits sent are the clock as the line leaves, read only after the line
// has been waited out: a line still arriving as the probe ends, or the late
// answers to a refused six-digit time. The test's clock runs a second (a
// minute) a tick, so any wait between reading and sending shows.
TEST(Clock, TheDigitsAreReadAfterWhatTheLineStillHoldsHasBeenWaitedOut)
{
    for (const bool fourDigits : {false, true}) {
        SCOPED_TRACE(fourDigits);
        ConsoleHarness harness({{1, "Anna", "A"}});
        harness.engine.SetModel(fourDigits ? 'A' : 'X');
        if (fourDigits)
            harness.engine.EditProfile().acceptsSecondsInTime = false;
        KS_MainForm& form = harness.Load();
        if (fourDigits) {
            harness.engine.AddFault({.kind = sim::FaultKind::Delay, .pattern = "PT", .ticks = 30, .times = 0});
        } else {
            // The probe's "?99" and, behind it, a line that ends fifteen ticks later.
            harness.engine.AddFault({.kind = sim::FaultKind::Garbage, .pattern = "", .match = sim::MatchMode::Exact,
                                     .bytes = "\rJUNK", .position = 3});
            harness.engine.AddFault({.kind = sim::FaultKind::Split, .pattern = "", .match = sim::MatchMode::Exact,
                                     .ticks = 15, .position = 6});
        }
        const std::int64_t start = gDelayTicks;
        const QDateTime origin(QDate(2015, 2, 3), QTime(14, 5, 0, 50), Qt::UTC);
        const auto at = [=](std::int64_t tick) {
            return fourDigits ? origin.addSecs(60 * (tick - start)) : origin.addSecs(tick - start);
        };
        SetClockForTest([at] { return at(gDelayTicks); });
        harness.engine.ClearTranscript();
        harness.messages.AnswerAlways(kAnswerOk);
        form.mnuSetupTimeOptions_Click(0);
        SetClockForTest({});
        int checked = 0;
        for (const auto& entry : harness.engine.Transcript()) {
            const bool time = fourDigits ? entry.bytes.size() == 7 && entry.bytes.starts_with("PT")
                                         : entry.bytes.starts_with("T");
            if (!entry.fromHost || !time)
                continue;
            ++checked;
            const QDateTime left = fourDigits ? at(entry.tick).toLocalTime() : at(entry.tick);
            EXPECT_EQ(entry.bytes.substr(fourDigits ? 2 : 1, fourDigits ? 4 : 6),
                      left.toString(fourDigits ? "HHmm" : "HHmmss").toStdString());
        }
        EXPECT_GT(checked, 0);
    }
}
