// The year view as the operator sees it: what it paints and what a click chooses.
#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "CalendarYearView.h"

inline void PrintTo(const QDate& date, std::ostream* out) { *out << date.toString(Qt::ISODate).toStdString(); }

namespace {

using Days = std::vector<QDate>;

struct YearView : testing::Test {
    void SetUp() override
    {
        view.SetRange(QDate(2024, 3, 1), QDate(2025, 2, 28));
        view.resize(view.sizeHint());
    }
    void click(const QPoint& point, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(&view, Qt::LeftButton, modifiers, point);
    }
    void click(const QDate& date, Qt::KeyboardModifiers modifiers = {}) { click(view.DayRect(date).center(), modifiers); }
    // The days, of those given, painted in the colour at a point of their cell:
    // the highlight near the top left corner, the mark near the top right one.
    Days painted(const Days& days, bool mark)
    {
        QImage image(view.size(), QImage::Format_RGB32);
        view.render(&image);
        const QColor colour = mark ? QColor(192, 0, 0) : view.palette().color(QPalette::Highlight);
        Days found;
        for (const QDate& day : days) {
            const QRect cell = view.DayRect(day);
            if (image.pixelColor(mark ? QPoint(cell.right() - 2, cell.top() + 2) : cell.topLeft() + QPoint(1, 1))
                == colour)
                found.push_back(day);
        }
        return found;
    }
    CalendarYearView view;
};

} // namespace

TEST_F(YearView, AClickChoosesTheDayUnderItAndShiftARange)
{
    QSignalSpy chosen(&view, &CalendarYearView::SelectionChanged);
    // The top left month is March 2024; Friday the 1st stands in the sixth column of its first row.
    click(QPoint(5 * 25 + 12, 18 + 15 + 8));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toDate(), QDate(2024, 3, 1));
    EXPECT_EQ(painted({QDate(2024, 2, 29), QDate(2024, 3, 1), QDate(2024, 3, 2)}, false), Days{QDate(2024, 3, 1)});

    click(QDate(2024, 3, 30));
    click(QDate(2024, 4, 2), Qt::ShiftModifier);
    ASSERT_EQ(chosen.count(), 3);
    EXPECT_EQ(chosen.at(2).at(0).toDate(), QDate(2024, 3, 30));
    EXPECT_EQ(chosen.at(2).at(1).toDate(), QDate(2024, 4, 2));
    EXPECT_EQ(painted({QDate(2024, 3, 29), QDate(2024, 3, 30), QDate(2024, 3, 31), QDate(2024, 4, 2),
                       QDate(2024, 4, 3)}, false),
              (Days{QDate(2024, 3, 30), QDate(2024, 3, 31), QDate(2024, 4, 2)}));

    // The gap between two months holds no day; the twelfth month is the last one shown.
    click(QPoint(7 * 25 + 3, 60));
    EXPECT_EQ(chosen.count(), 3);
    EXPECT_TRUE(view.DayRect(QDate(2025, 3, 1)).isEmpty());
}

TEST_F(YearView, DaysOutsideTheRangeAreShownButNeverChosen)
{
    // A selection reaching past both ends stops at them, and a narrower range narrows it.
    view.SetSelection(QDate(2023, 12, 1), QDate(2026, 1, 1));
    EXPECT_EQ(painted({QDate(2024, 3, 1), QDate(2025, 2, 28)}, false), (Days{QDate(2024, 3, 1), QDate(2025, 2, 28)}));
    view.SetRange(QDate(2024, 3, 1), QDate(2024, 3, 20));
    EXPECT_EQ(painted({QDate(2024, 3, 1), QDate(2024, 3, 20), QDate(2024, 3, 21)}, false),
              (Days{QDate(2024, 3, 1), QDate(2024, 3, 20)}));
    QSignalSpy chosen(&view, &CalendarYearView::SelectionChanged);
    click(QDate(2024, 3, 25));
    click(QDate(2024, 4, 2), Qt::ShiftModifier);
    EXPECT_EQ(chosen.count(), 0);
}

TEST_F(YearView, AMarkShowsOnItsDayOnlyUntilItIsTakenAway)
{
    const Days days = {QDate(2024, 7, 3), QDate(2024, 7, 4), QDate(2024, 7, 5), QDate(2025, 2, 28)};
    view.SetMark(QDate(2024, 7, 4), true);
    view.SetMark(QDate(2025, 2, 28), true);
    view.SetValue(QDate(2025, 2, 28)); // a chosen day shows its mark too
    EXPECT_EQ(painted(days, true), (Days{QDate(2024, 7, 4), QDate(2025, 2, 28)}));
    view.SetMark(QDate(2024, 7, 4), false);
    EXPECT_EQ(painted(days, true), Days{QDate(2025, 2, 28)});
    view.ClearMarks();
    EXPECT_EQ(painted(days, true), Days{});
}
