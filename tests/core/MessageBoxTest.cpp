// The real message window, driven offscreen: keys and clicks are posted before
// the box runs its modal loop, so no test waits on an operator.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_SYS_Message.h"
#include "TestSupport.h"

namespace {

KS_SYS_Message* openBox()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<KS_SYS_Message*>(w); box && box->isVisible())
            return box;
    return nullptr;
}

// Runs `act` on the box once it is showing; gives up (closing nothing) after a bound.
void whenBoxShows(std::function<void(KS_SYS_Message*)> act, int triesLeft = 200)
{
    QTimer::singleShot(5, [act, triesLeft] {
        // A box shows before the window system activates it; under load the
        // focus arrives a few events later, and keys go where the focus is.
        auto* box = openBox();
        const bool settled = box && QApplication::focusWidget() && QApplication::focusWidget()->window() == box;
        if (box && (settled || triesLeft == 0)) {
            act(box);
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

TEST(MessageBox, ButtonSetsPlaceAndShowTheRightButtonsAndTheIcon)
{
    struct Case {
        int buttons;
        std::vector<std::pair<const char*, int>> shown; // name, left edge in twips
    };
    const Case cases[] = {
        {kButtonsOk, {{"cmd_Ok", 2200}}},
        {kButtonsOkCancel, {{"cmd_Ok", 1550}, {"cmd_Cancel", 2850}}},
        {kButtonsCancel, {{"cmd_Cancel", 2200}}},
        {kButtonsYesNoCancel, {{"cmd_Yes", 900}, {"cmd_No", 2200}, {"cmd_Cancel", 3500}}},
        {kButtonsYesNo, {{"cmd_Yes", 1550}, {"cmd_No", 2850}}},
        {9, {{"cmd_Ok", 2200}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttons);
        KS_SYS_Message box;
        MessageRequest request;
        request.buttons = c.buttons;
        request.icon = kIconInformation;
        box.Prepare(request);
        int visible = 0;
        for (auto* button : box.findChildren<QPushButton*>())
            visible += button->isVisibleTo(&box) ? 1 : 0;
        EXPECT_EQ(visible, static_cast<int>(c.shown.size()));
        for (const auto& [name, left] : c.shown) {
            auto* button = box.findChild<QPushButton*>(name);
            EXPECT_TRUE(button->isVisibleTo(&box)) << name;
            EXPECT_EQ(button->pos(), QPoint(Twips(left), Twips(1500))) << name;
        }
        EXPECT_TRUE(box.pic_Information->isVisibleTo(&box));
        EXPECT_FALSE(box.pic_Critical->isVisibleTo(&box));
        EXPECT_EQ(box.windowTitle(), "Pagora - System Message");
    }

    KS_SYS_Message tall;
    MessageRequest request;
    request.icon = 0; // no known icon: the critical one
    request.tall = true;
    request.title = "Custom";
    tall.Prepare(request);
    EXPECT_TRUE(tall.pic_Critical->isVisibleTo(&tall));
    EXPECT_EQ(tall.height(), Twips(4350));
    EXPECT_EQ(tall.cmd_Ok->y(), Twips(3500));
    EXPECT_EQ(tall.windowTitle(), "Custom");
}

TEST(MessageBox, EscapeAndLetterKeysPressTheirButtonsAndDefaultGetsFocus)
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

    // Letter keys press only visible buttons.
    whenBoxShows([](KS_SYS_Message* box) {
        pressKey(box, Qt::Key_Y, "y"); // no Yes button: nothing happens
        pressKey(box, Qt::Key_O, "o");
    });
    EXPECT_EQ(ShowMessage("Note", kButtonsOk), kAnswerOk);

    whenBoxShows([](KS_SYS_Message* box) { pressKey(box, Qt::Key_Return); });
    EXPECT_EQ(ShowMessage("Q", kButtonsYesNo, kAnswerYes), kAnswerYes);
}

TEST(MessageBox, CloseBoxActsAsEscape)
{
    whenBoxShows([](KS_SYS_Message* box) { box->close(); });
    EXPECT_EQ(ShowMessage("Q", kButtonsYesNo, kAnswerYes), kAnswerNo);
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

TEST(MessageBox, EveryButtonStaysClickableBesideTheCheckBoxInBothHeights)
{
    for (const bool tall : {false, true})
        for (const int buttons : {kButtonsYesNo, kButtonsYesNoCancel, kButtonsOkCancel}) {
            SCOPED_TRACE(testing::Message() << tall << buttons);
            KS_SYS_Message box;
            MessageRequest request;
            request.buttons = buttons;
            request.optionText = "&Don't ask me again";
            request.tall = tall;
            box.Prepare(request);
            EXPECT_EQ(box.chkOption->height(), Twips(tall ? 2300 : 300)); // taller, not moved
            for (auto* button : box.findChildren<QPushButton*>()) {
                if (button->isVisibleTo(&box)) {
                    EXPECT_EQ(box.childAt(button->geometry().center()), button) << button->objectName().toStdString();
                }
            }
        }
}

TEST(MessageBox, ALongTextGetsRoomForEveryLine)
{
    const std::string text = "Some of the selected pagers are Numeric pagers but the message includes non numeric "
                             "characters. These pagers might receive a corrupted message. \r\n"
                             "Click Yes to continue and ignore these pagers, No to change your selected users. "
                             "The unit keeps every page it has taken until the operator clears it.";
    for (const auto& [tall, option] : {std::pair{false, false}, {false, true}, {true, false}, {true, true}}) {
        SCOPED_TRACE(testing::Message() << tall << option);
        KS_SYS_Message box;
        MessageRequest request;
        request.message = text;
        request.buttons = kButtonsYesNo;
        request.tall = tall;
        request.optionText = option ? "&Don't ask me again" : "";
        box.Prepare(request);
        const QLabel* label = box.lblMessageText;
        const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000),
                                                               Qt::TextWordWrap, label->text());
        EXPECT_GE(needed.height(), 6 * label->fontMetrics().lineSpacing()); // it is a long text
        EXPECT_GE(label->height(), needed.height());
        EXPECT_LE(needed.width(), label->width());
        EXPECT_LE(label->geometry().bottom(), box.cmd_Yes->y());
        if (option && !tall) {
            EXPECT_LE(label->geometry().bottom(), box.chkOption->y());
        }
        EXPECT_EQ(box.childAt(box.cmd_Yes->geometry().center()), box.cmd_Yes);
        EXPECT_LE(box.cmd_Yes->geometry().bottom(), box.height());
    }
}
