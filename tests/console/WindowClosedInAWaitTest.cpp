// A window that deletes itself on close, closed while a timer's page waits
// inside its message box: the box lives on the stack under the page, so the
// window must outlive that wait. The operator's clicks arrive as events inside
// the page's wait, and every yield runs the window events as the program's does.
#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "ConsoleHarness.h"
#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_GEN_CoverPage.h"
#include "KS_GEN_UserAdd.h"
#include "KS_Paging.h"
#include "LinkTestSupport.h"
#include "KS_SYS_Message.h"

namespace {

// The boxes whose text starts so are shown for real; any other is answered OK.
void ShowRealBoxes(const std::string& prefix)
{
    SetMessageAnswerHook([prefix](const MessageRequest& request) -> std::optional<MessageAnswer> {
        if (request.message.starts_with(prefix))
            return std::nullopt;
        return MessageAnswer{kAnswerOk, false};
    });
}

// From inside the box's modal loop: the timer job starts, and inside its wait
// the operator answers the box and then clicks the window's close button.
struct CloseInsideTheBoxsWait {
    ConsoleHarness& harness;
    QPointer<QWidget> window;
    QAbstractButton* closeButton;
    std::function<void()> timerJob;
    QPointer<KS_SYS_Message> box{};
    bool boxOwnedByWindow = false;
    int yields = 0;

    void Arm()
    {
        QTimer::singleShot(0, [this] {
            box = VisibleMessageBox();
            ASSERT_TRUE(box);
            boxOwnedByWindow = box->parentWidget() == window;
            SetYieldHook([this] {
                AdvanceTick();
                PollEncoderReply();
                ++yields;
                if (yields == 2 && box)
                    box->cmd_Ok->click();
                if (yields == 4)
                    QMetaObject::invokeMethod(closeButton, &QAbstractButton::click, Qt::QueuedConnection);
                QCoreApplication::processEvents();
            });
            timerJob();
            InstallTickPump();
        });
    }
};

} // namespace

TEST(WindowClosedInAWait, TheCoverPageClosedWhileItsPageWaitsInsideItsHelpNoticeGoesOnceTheWaitIsOver)
{
    ConsoleHarness harness{{{5, "Anna", "A"}}};
    KS_MainForm& form = harness.Load();
    gHelpFile.clear();
    form.mnuSetupOptions_Click(2);
    QPointer<KS_GEN_CoverPage> page = ShownWindow<KS_GEN_CoverPage>("KS_GEN_CoverPage");
    ASSERT_TRUE(page);
    ASSERT_TRUE(page->testAttribute(Qt::WA_DeleteOnClose));
    QApplication::setActiveWindow(page);
    harness.HostLines();

    CloseInsideTheBoxsWait run{harness, page.data(), page->cmdClose, [&page] { page->tmrCoverPage_Timer(); }};
    ShowRealBoxes("The help file");
    run.Arm();
    QTest::keyClick(page.data(), Qt::Key_F1);

    EXPECT_TRUE(run.boxOwnedByWindow);
    EXPECT_GT(run.yields, 4);
    EXPECT_EQ(harness.Pages(), Lines{"P100Testing - Sending Cover Page"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(page);
    EXPECT_TRUE(form.centralWidget()->isEnabled());
}

TEST(WindowClosedInAWait, TheAddDialogCancelledWhileAScheduledPageWaitsInsideItsBoxGoesOnceTheWaitIsOver)
{
    ConsoleHarness harness{{{5, "Anna", "A"}}};
    KS_MainForm& form = harness.Load();
    ScheduleEntry& entry = SchedulePageDueNow();
    form.cmdAdd_Click();
    QPointer<KS_GEN_UserAdd> dialog = form.findChild<KS_GEN_UserAdd*>();
    ASSERT_TRUE(dialog);
    QApplication::setActiveWindow(dialog);
    harness.HostLines();

    CloseInsideTheBoxsWait run{harness, dialog.data(), dialog->cmdCancel, [&form] { form.tmrSeconds_Timer(); }};
    ShowRealBoxes("From Pager is not valid.");
    run.Arm();
    dialog->cmdOk->click();

    EXPECT_TRUE(run.boxOwnedByWindow);
    EXPECT_GT(run.yields, 4);
    EXPECT_EQ(harness.Pages(), Lines{"P0053"});
    EXPECT_EQ(entry.Fired, -1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog);
    EXPECT_TRUE(form.centralWidget()->isEnabled());
    SetClockForTest({});
}

// A scheduled page that fails while another box is up: the operator is told,
// as soon as that box has been answered, whether that is during the page's
// wait or after it, and on a closed port too.
TEST(WindowClosedInAWait, AScheduledPageThatFailsWhileABoxIsUpIsReportedOnceTheBoxIsAnswered)
{
    const struct {
        const char* what;
        bool answeredInTheWait;
        bool portClosed;
        std::size_t notices; // behind the box the page's two rounds make one
        const char* told;
    } cases[] = {
        {"answered after the page", false, false, 1, "is unable to send pages."},
        {"answered in the page's wait", true, false, 2, "is unable to send pages."},
        {"the port closed", false, true, 1, "cannot be established. \r\nMake sure"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConsoleHarness harness{{{5, "Anna", "A"}}};
        KS_MainForm& form = harness.Load();
        SchedulePageDueNow();
        if (c.portClosed)
            form.comUnitConnect->SetPortOpen(false);
        else
            harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = ".*", .match = sim::MatchMode::Regex, .times = 0});
        form.cmdAdd_Click();
        QPointer<KS_GEN_UserAdd> dialog = form.findChild<KS_GEN_UserAdd*>();
        ASSERT_TRUE(dialog);
        std::vector<std::string> told;
        SetMessageAnswerHook([&told](const MessageRequest& request) -> std::optional<MessageAnswer> {
            if (request.message.starts_with("From Pager is not valid."))
                return std::nullopt;
            told.push_back(request.message);
            return MessageAnswer{kAnswerOk, false};
        });
        QTimer::singleShot(0, [&] {
            QPointer<KS_SYS_Message> box = VisibleMessageBox();
            ASSERT_TRUE(box);
            int yields = 0;
            SetYieldHook([&] {
                AdvanceTick();
                PollEncoderReply();
                if (++yields == 2 && c.answeredInTheWait)
                    box->cmd_Ok->click();
            });
            form.tmrSeconds_Timer();
            InstallTickPump();
            EXPECT_EQ(told.empty(), !c.answeredInTheWait);
            if (box)
                box->cmd_Ok->click();
        });
        dialog->cmdOk->click();
        ASSERT_EQ(told.size(), c.notices);
        EXPECT_NE(told[0].find(c.told), std::string::npos) << told[0];
        if (dialog)
            dialog->cmdCancel->click();
        SetMessageAnswerHook({});
        SetClockForTest({});
    }
}

// No box at all: the cover page closed while its own timer's page waits for
// the line outlives that wait, and goes once the page is out, though events of
// its own (the repaints its closing asked for) still wait then.
TEST(WindowClosedInAWait, TheCoverPageClosedDuringItsOwnPagesWaitGoesOnceTheWaitIsOver)
{
    ConsoleHarness harness{{{5, "Anna", "A"}}};
    KS_MainForm& form = harness.Load();
    form.mnuSetupOptions_Click(2);
    QPointer<KS_GEN_CoverPage> page = ShownWindow<KS_GEN_CoverPage>("KS_GEN_CoverPage");
    ASSERT_TRUE(page);
    harness.HostLines();
    int yields = 0;
    bool aliveInTheWait = true;
    SetYieldHook([&] {
        AdvanceTick();
        PollEncoderReply();
        if (++yields == 3)
            QMetaObject::invokeMethod(page->cmdClose, &QAbstractButton::click, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        aliveInTheWait = aliveInTheWait && page;
    });
    page->tmrCoverPage_Timer();
    InstallTickPump();
    EXPECT_GT(yields, 3);
    EXPECT_TRUE(aliveInTheWait);
    EXPECT_EQ(harness.Pages(), Lines{"P100Testing - Sending Cover Page"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(page);
}
