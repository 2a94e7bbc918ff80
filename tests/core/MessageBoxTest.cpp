// The real message window, driven offscreen: keys and clicks are posted before
// the box runs its modal loop, so no test waits on an operator.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <gtest/gtest.h>

#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_SYS_Message.h"
#include "TestSupport.h"

namespace {

// Runs `act` on the box once it is showing; gives up after a bound. A box that
// `act` leaves open fails the test by its text and is closed, so a lost answer
// key ends the test at once instead of leaving the box waiting.
void whenBoxShows(std::function<void(KS_SYS_Message*)> act, int triesLeft = 200)
{
    QTimer::singleShot(5, [act, triesLeft] {
        // A box shows before the window system activates it; under load the
        // focus arrives a few events later, and keys go where the focus is.
        auto* box = VisibleMessageBox();
        const bool settled = box && QApplication::focusWidget() && QApplication::focusWidget()->window() == box;
        if (box && (settled || triesLeft == 0)) {
            act(box);
            if (box->isVisible()) {
                ADD_FAILURE() << "the box \"" << box->lblMessageText->text().toStdString()
                              << "\" was still open after its keys and clicks";
                box->done(kAnswerTimedOut);
            }
            return;
        }
        if (triesLeft > 0)
            whenBoxShows(act, triesLeft - 1);
    });
}

void pressKey(KS_SYS_Message* box, Qt::Key key, const QString& text = {})
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : box;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
}

} // namespace

TEST(MessageBox, EachButtonSetShowsItsButtonsAndAnUnknownIconTheCriticalPicture)
{
    const struct {
        int buttons;
        int icon;
        QStringList shown;
        const char* picture;
    } cases[] = {
        {kButtonsOk, kIconInformation, {"cmd_Ok"}, "pic_Information"},
        {kButtonsOkCancel, kIconQuestion, {"cmd_Ok", "cmd_Cancel"}, "pic_Question"},
        {kButtonsCancel, kIconExclamation, {"cmd_Cancel"}, "pic_Exclamation"},
        {kButtonsYesNoCancel, kIconCritical, {"cmd_Yes", "cmd_No", "cmd_Cancel"}, "pic_Critical"},
        {kButtonsYesNo, 0, {"cmd_Yes", "cmd_No"}, "pic_Critical"},
        {9, 99, {"cmd_Ok"}, "pic_Critical"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttons);
        KS_SYS_Message box;
        MessageRequest request;
        request.buttons = c.buttons;
        request.icon = c.icon;
        box.Prepare(request);
        QStringList shown;
        for (auto* button : {box.cmd_Yes, box.cmd_No, box.cmd_Ok, box.cmd_Cancel})
            if (button->isVisibleTo(&box))
                shown << button->objectName();
        EXPECT_EQ(shown, c.shown);
        for (auto* picture : box.findChildren<QLabel*>(QRegularExpression("^pic_")))
            EXPECT_EQ(picture->isVisibleTo(&box), picture->objectName() == c.picture) << picture->objectName().toStdString();
    }
}

TEST(MessageBox, EscapeTheCloseBoxAndLetterKeysPressTheirButtonsAndDefaultGetsFocus)
{
    QString focused;
    whenBoxShows([&](KS_SYS_Message* box) {
        focused = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        pressKey(box, Qt::Key_Escape);
    });
    EXPECT_EQ(ShowMessage("Delete?", kButtonsYesNo, kAnswerNo, kIconQuestion), kAnswerNo);
    EXPECT_EQ(focused, "cmd_No");

    whenBoxShows([](KS_SYS_Message* box) { pressKey(box, Qt::Key_Escape); });
    EXPECT_EQ(ShowMessage("x", kButtonsYesNoCancel, kAnswerYes), kAnswerCancel);
    whenBoxShows([](KS_SYS_Message* box) { box->close(); });
    EXPECT_EQ(ShowMessage("Q", kButtonsYesNo, kAnswerYes), kAnswerNo);

    // Letter keys press only visible buttons.
    whenBoxShows([](KS_SYS_Message* box) {
        pressKey(box, Qt::Key_Y, "y"); // no Yes button: nothing happens
        pressKey(box, Qt::Key_O, "o");
    });
    EXPECT_EQ(ShowMessage("Note", kButtonsOk), kAnswerOk);

    whenBoxShows([](KS_SYS_Message* box) { pressKey(box, Qt::Key_Return); });
    EXPECT_EQ(ShowMessage("Q", kButtonsYesNo, kAnswerYes), kAnswerYes);
}

TEST(MessageBox, TimeOutAnswersThreeAndKeepsThePreviousOption)
{
    gMessageOption = true;
    EXPECT_EQ(ShowMessage("wait", kButtonsOk, kAnswerOk, kIconInformation, "", "", false, true, 30), kAnswerTimedOut);
    EXPECT_TRUE(gMessageOption);
    EXPECT_EQ(gMessageResult, kAnswerTimedOut);
}

TEST(MessageBox, TickedOptionIsReportedWithTheAnswer)
{
    whenBoxShows([](KS_SYS_Message* box) {
        EXPECT_FALSE(box->chkOption->isChecked());
        box->chkOption->setChecked(true);
        box->cmd_Yes->click();
    });
    EXPECT_EQ(ShowMessage("Go?", kButtonsYesNo, kAnswerYes, kIconQuestion, "", "&Don't ask me again", false), kAnswerYes);
    EXPECT_TRUE(gMessageOption);

    whenBoxShows([](KS_SYS_Message* box) { box->cmd_Ok->click(); });
    ShowMessage("plain");
    EXPECT_FALSE(gMessageOption); // no check box shown: never ticked
}

TEST(MessageBox, ASecondBoxWhileOneShowsReturnsMinusOne)
{
    int inner = 0;
    whenBoxShows([&](KS_SYS_Message* box) {
        inner = ShowMessage("second");
        box->cmd_Ok->click();
    });
    EXPECT_EQ(ShowMessage("first"), kAnswerOk);
    EXPECT_EQ(inner, kAnswerBoxBusy);
}

TEST(MessageBox, StatusReportsReachTheSinkWithDefaultBeeps)
{
    std::vector<int> beeps;
    SetStatusSink([&](const std::string&, bool, int n) { beeps.push_back(n); });
    ReportStatus("x", true);
    ReportStatus("y");
    ReportStatus("z", true, 1);
    EXPECT_EQ(beeps, (std::vector<int>{3, 0, 1}));
    EXPECT_EQ(LastStatusReport().text, "z");
}

TEST(MessageBox, EveryLineOfALongTextAndEveryButtonStayInViewBesideTheCheckBox)
{
    const std::string text = "Some of the selected pagers are Numeric pagers but the message includes non numeric "
                             "characters. These pagers might receive a corrupted message. \r\n"
                             "Click Yes to continue and ignore these pagers, No to change your selected users. "
                             "The unit keeps every page it has taken until the operator clears it.";
    for (const bool tall : {false, true})
        for (const bool option : {false, true})
            for (const int buttons : {kButtonsYesNo, kButtonsYesNoCancel, kButtonsOkCancel}) {
                SCOPED_TRACE(testing::Message() << tall << option << buttons);
                KS_SYS_Message box;
                MessageRequest request;
                request.message = text;
                request.buttons = buttons;
                request.tall = tall;
                request.optionText = option ? "&Don't ask me again" : "";
                box.Prepare(request);
                const QLabel* label = box.lblMessageText;
                const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000),
                                                                       Qt::TextWordWrap, label->text());
                EXPECT_GE(needed.height(), 6 * label->fontMetrics().lineSpacing()); // it is a long text
                EXPECT_GE(label->height(), needed.height());
                EXPECT_LE(needed.width(), label->width());
                if (option && !tall) {
                    EXPECT_LE(label->geometry().bottom(), box.chkOption->y());
                }
                for (auto* button : {box.cmd_Yes, box.cmd_No, box.cmd_Ok, box.cmd_Cancel}) {
                    if (!button->isVisibleTo(&box))
                        continue;
                    EXPECT_LE(label->geometry().bottom(), button->y());
                    EXPECT_LE(button->geometry().bottom(), box.height());
                    EXPECT_EQ(box.childAt(button->geometry().center()), button) << button->objectName().toStdString();
                }
            }
}

TEST(MessageBox, EveryLineOfTheRetryQuestionStandsAboveItsCheckBox)
{
    for (const bool tall : {false, true}) {
        SCOPED_TRACE(tall);
        KS_SYS_Message box;
        MessageRequest request;
        request.message = "Connection to QX9860 cannot be established. \r\nClick Yes to continue and retry to "
                          "download from QX9860, No to cancel this operation.";
        request.buttons = kButtonsYesNo;
        request.defaultButton = kAnswerNo;
        request.icon = kIconExclamation;
        request.optionText = "&Don't ask me again";
        request.tall = tall;
        box.Prepare(request);
        const QLabel* label = box.lblMessageText;
        // Where the label draws its lines, all of them together.
        const QRect lines = label->fontMetrics()
                                .boundingRect(label->contentsRect(), int(label->alignment()) | Qt::TextWordWrap,
                                              label->text())
                                .translated(label->pos());
        EXPECT_LT(lines.bottom(), box.chkOption->y());
    }
}

// A notice that meets an open box (a timer's page failing while the operator
// reads a question) waits for it; the question keeps its own answer.
namespace {

MessageRequest noticeOf(const std::string& text)
{
    MessageRequest notice;
    notice.message = text;
    notice.icon = kIconExclamation;
    return notice;
}

using Told = std::shared_ptr<std::vector<std::string>>;

// Answers with OK every notice (an exclamation box) that shows within a
// while, noting its text, for as long as the test keeps its list; a question
// it leaves to the test.
void answerNotices(const std::weak_ptr<std::vector<std::string>>& list, int triesLeft = 60)
{
    QTimer::singleShot(5, [list, triesLeft] {
        const Told told = list.lock();
        if (!told)
            return;
        if (auto* box = VisibleMessageBox(); box && box->pic_Exclamation->isVisible()) {
            told->push_back(box->lblMessageText->text().toStdString());
            box->cmd_Ok->click();
            answerNotices(told);
        } else if (triesLeft > 0) {
            answerNotices(told, triesLeft - 1);
        }
    });
}

} // namespace

TEST(NoticeBehindABox, AQuestionKeepsItsOperatorsAnswerAndTheSameNoticeWaitsOnce)
{
    const Told told = std::make_shared<std::vector<std::string>>();
    whenBoxShows([told](KS_SYS_Message* box) {
        EXPECT_EQ(ShowNotice(noticeOf("page failed")), kAnswerBoxBusy);
        EXPECT_EQ(ShowNotice(noticeOf("page failed")), kAnswerBoxBusy);
        box->chkOption->setChecked(true);
        answerNotices(told);
        box->cmd_Yes->click();
    });
    EXPECT_EQ(ShowMessage("Delete?", kButtonsYesNo, kAnswerNo, kIconQuestion, "", "&Don't ask me again"), kAnswerYes);
    EXPECT_EQ(gMessageResult, kAnswerYes);
    EXPECT_TRUE(gMessageOption);
    QTest::qWait(300); // a second copy would show by now
    EXPECT_EQ(*told, std::vector<std::string>{"page failed"});
}

TEST(NoticeBehindABox, ShowsOnceTheBoxIsAnsweredEvenWhileAWaitStillHoldsItsCallAndNeverForAnotherBox)
{
    for (const bool anotherBox : {false, true}) {
        SCOPED_TRACE(anotherBox);
        const Told told = std::make_shared<std::vector<std::string>>();
        std::vector<std::string> toldInTheWait;
        std::int16_t other = 0;
        whenBoxShows([&](KS_SYS_Message* box) {
            // A timer's page runs inside the question's loop; it fails, and
            // the operator answers the question while the page still waits.
            int yields = 0;
            SetYieldHook([&] {
                AdvanceTick();
                if (++yields == 1)
                    ShowNotice(noticeOf("page failed"));
                if (yields == 2) {
                    box->cmd_No->click();
                    if (anotherBox) {
                        // Another box gets in first: the notice waits for that one too.
                        whenBoxShows([told](KS_SYS_Message* second) {
                            told->push_back("another");
                            second->cmd_Ok->click();
                            answerNotices(told);
                        });
                        other = ShowMessage("another");
                    } else {
                        answerNotices(told);
                    }
                }
                QTest::qWait(anotherBox ? 0 : 20);
            });
            WaitTicks(10);
            toldInTheWait = *told;
            SetYieldHook({});
        });
        EXPECT_EQ(ShowMessage("Send?", kButtonsYesNo, kAnswerYes, kIconQuestion), kAnswerNo);
        QTest::qWait(300);
        if (!anotherBox) {
            EXPECT_EQ(*told, std::vector<std::string>{"page failed"});
            EXPECT_EQ(toldInTheWait, *told);
        } else {
            EXPECT_EQ(*told, (std::vector<std::string>{"another", "page failed"}));
            EXPECT_EQ(other, kAnswerOk);
        }
    }
}

// Notices are told apart by their text: two failures behind one box both
// show; a notice still waiting when Exit is chosen never does.
TEST(NoticeBehindABox, TwoDifferentNoticesBothShowAndNoneOnceExitIsChosen)
{
    for (const bool exitChosen : {false, true}) {
        SCOPED_TRACE(exitChosen);
        const Told told = std::make_shared<std::vector<std::string>>();
        whenBoxShows([&](KS_SYS_Message* box) {
            ShowNotice(noticeOf("page 001 failed"));
            ShowNotice(noticeOf("page 002 failed"));
            if (exitChosen)
                RequestExit();
            answerNotices(told);
            box->cmd_Ok->click();
        });
        ShowMessage("Paging ...");
        QTest::qWait(300);
        const std::vector<std::string> both{"page 001 failed", "page 002 failed"};
        EXPECT_EQ(*told, exitChosen ? std::vector<std::string>() : both);
        ResetExitForTest();
    }
}
