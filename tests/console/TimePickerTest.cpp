// The time box between two other boxes of a dialog, driven by keys.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "KS_Forms.h"
#include "TimePicker.h"

namespace {

struct TimeBoxDialog {
    TimeBoxDialog()
    {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(before);
        layout->addWidget(time);
        layout->addWidget(after);
        time->setDisplayFormat("hh:mm AP");
        FormConventions::Install(&dialog);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog, 1000));
    }
    // Enters the box from the one before it, as the operator does.
    void enter()
    {
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
    }
    QDialog dialog;
    QLineEdit* before = new QLineEdit(&dialog);
    TimePicker* time = new TimePicker(&dialog);
    QLineEdit* after = new QLineEdit(&dialog);
};

} // namespace

TEST(TimePicker, AmOrPmTypedInFullShowsAsSoonAsItsLetterIsTyped)
{
    TimeBoxDialog d;
    const struct {
        const char* typed;
        QTime time;
        const char* shownAfterLetter;
    } cases[] = {{"0811am", QTime(8, 11), "08:11 AM"}, {"0811pm", QTime(20, 11), "08:11 PM"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        d.enter();
        ASSERT_EQ(QApplication::focusWidget(), d.time);
        const QString typed = QString::fromLatin1(c.typed);
        QTest::keyClicks(d.time, typed.left(5));
        EXPECT_EQ(d.time->text(), c.shownAfterLetter);
        QTest::keyClicks(d.time, typed.mid(5));
        EXPECT_EQ(d.time->text(), c.shownAfterLetter);
        EXPECT_EQ(d.time->time(), c.time);
    }
}

TEST(TimePicker, TabLeavesTheBoxAtOnceWhileTheArrowsMoveBetweenItsParts)
{
    TimeBoxDialog d;
    d.time->setTime(QTime(9, 30));
    d.enter();
    EXPECT_EQ(d.time->currentSection(), QDateTimeEdit::HourSection);
    QTest::keyClick(d.time, Qt::Key_Right);
    QTest::keyClick(d.time, Qt::Key_Right);
    QTest::keyClick(d.time, Qt::Key_Right);
    EXPECT_EQ(d.time->currentSection(), QDateTimeEdit::MinuteSection);
    QTest::keyClick(d.time, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), d.after);

    d.time->setFocus();
    QTest::keyClick(d.time, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), d.before);
    // Shift+Tab from the minutes leaves the box too, not only for the hour.
    d.enter();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(d.time, Qt::Key_Right);
    ASSERT_EQ(d.time->currentSection(), QDateTimeEdit::MinuteSection);
    QTest::keyClick(d.time, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), d.before);
    // Enter moves on as Tab does.
    d.enter();
    QTest::keyClick(d.time, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), d.after);
    EXPECT_EQ(d.time->time(), QTime(9, 30));
}
