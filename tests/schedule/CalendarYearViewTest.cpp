// The year view on its own: the day under a click, Shift ranges, the range limits and the marks.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "CalendarYearView.h"

namespace {

struct YearView : testing::Test {
    void SetUp() override
    {
        view.SetRange(QDate(2024, 3, 1), QDate(2025, 2, 28));
        view.resize(view.sizeHint());
    }
    void click(const QDate& date, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(&view, Qt::LeftButton, modifiers, view.DayRect(date).center());
    }
    CalendarYearView view;
};

} // namespace

TEST_F(YearView, AClickChoosesTheDayUnderItAndShiftChoosesARange)
{
    QSignalSpy chosen(&view, &CalendarYearView::SelectionChanged);
    // Friday 03/01/2024 opens March in the sixth column; Sunday the 3rd opens its second row.
    EXPECT_EQ(view.DateAt(view.DayRect(QDate(2024, 3, 1)).topLeft() + QPoint(-5 * 25 + 2, 18)), QDate(2024, 3, 3));
    click(QDate(2024, 3, 15));
    EXPECT_EQ(view.Value(), QDate(2024, 3, 15));
    click(QDate(2024, 4, 2), Qt::ShiftModifier);
    EXPECT_EQ(view.SelStart(), QDate(2024, 3, 15));
    EXPECT_EQ(view.SelEnd(), QDate(2024, 4, 2));
    click(QDate(2025, 2, 28));
    ASSERT_EQ(chosen.count(), 3);
    EXPECT_EQ(chosen.at(1).at(0).toDate(), QDate(2024, 3, 15));
    EXPECT_EQ(chosen.at(1).at(1).toDate(), QDate(2024, 4, 2));
    EXPECT_EQ(chosen.at(2).at(0).toDate(), QDate(2025, 2, 28));

    // The twelfth month is the last one shown; the gap between months holds no day.
    EXPECT_TRUE(view.DayRect(QDate(2025, 3, 1)).isEmpty());
    EXPECT_FALSE(view.DateAt(QPoint(25 * 7 + 3, 60)).isValid());
}

TEST_F(YearView, KeepsTheSelectionWithinTheRange)
{
    view.SetSelection(QDate(2023, 12, 1), QDate(2026, 1, 1));
    EXPECT_EQ(view.SelStart(), QDate(2024, 3, 1));
    EXPECT_EQ(view.SelEnd(), QDate(2025, 2, 28));
    // A narrower range shows its own months; days past its end cannot be chosen.
    view.SetRange(QDate(2024, 3, 1), QDate(2024, 3, 20));
    EXPECT_EQ(view.Value(), QDate(2024, 3, 20));
    QSignalSpy chosen(&view, &CalendarYearView::SelectionChanged);
    click(QDate(2024, 3, 25));
    EXPECT_EQ(chosen.count(), 0);
}

TEST_F(YearView, MarksComeAndGoByDate)
{
    view.SetMark(QDate(2024, 2, 29), true);
    view.SetMark(QDate(2024, 7, 4), true);
    view.SetMark(QDate(2024, 7, 4), true);
    EXPECT_EQ(view.MarkCount(), 2);
    view.SetMark(QDate(2024, 7, 4), false);
    EXPECT_FALSE(view.IsMarked(QDate(2024, 7, 4)));
    EXPECT_TRUE(view.IsMarked(QDate(2024, 2, 29)));
    view.ClearMarks();
    EXPECT_EQ(view.MarkCount(), 0);
}
