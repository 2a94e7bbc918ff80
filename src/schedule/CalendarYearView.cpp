#include "CalendarYearView.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kCellWidth = 25;
constexpr int kCellHeight = 16;
constexpr int kTitleHeight = 18;
constexpr int kHeaderHeight = 15;
constexpr int kGap = 7;
constexpr int kMonthWidth = 7 * kCellWidth;
constexpr int kMonthHeight = kTitleHeight + kHeaderHeight + 6 * kCellHeight;
constexpr int kMark = 5;

// Sunday first, as the weeks of the calendar run.
int column(const QDate& date) { return date.dayOfWeek() % 7; }

} // namespace

CalendarYearView::CalendarYearView(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

QSize CalendarYearView::sizeHint() const { return {6 * kMonthWidth + 5 * kGap, 2 * kMonthHeight + kGap}; }

void CalendarYearView::SetRange(const QDate& minimum, const QDate& maximum)
{
    min_ = minimum;
    max_ = maximum;
    first_ = QDate(minimum.year(), minimum.month(), 1);
    SetSelection(start_, end_);
}

QDate CalendarYearView::clamp(const QDate& date) const
{
    if (!min_.isValid() || !date.isValid())
        return min_;
    return std::clamp(date, min_, max_);
}

void CalendarYearView::SetSelection(const QDate& start, const QDate& end)
{
    start_ = clamp(start);
    end_ = clamp(end);
    if (start_ > end_)
        std::swap(start_, end_);
    update();
}

void CalendarYearView::SetMark(const QDate& date, bool on)
{
    const bool changed = on ? marks_.insert(date.toJulianDay()).second : marks_.erase(date.toJulianDay()) != 0;
    if (changed)
        update(DayRect(date));
}

void CalendarYearView::ClearMarks()
{
    marks_.clear();
    update();
}

QRect CalendarYearView::monthRect(int index) const
{
    return {(index % 6) * (kMonthWidth + kGap), (index / 6) * (kMonthHeight + kGap), kMonthWidth, kMonthHeight};
}

QRect CalendarYearView::DayRect(const QDate& date) const
{
    if (!first_.isValid() || !date.isValid())
        return {};
    const int index = (date.year() - first_.year()) * 12 + date.month() - first_.month();
    if (index < 0 || index > 11)
        return {};
    const QDate monthStart(date.year(), date.month(), 1);
    const int cell = column(monthStart) + date.day() - 1;
    const QRect month = monthRect(index);
    return {month.left() + (cell % 7) * kCellWidth, month.top() + kTitleHeight + kHeaderHeight + (cell / 7) * kCellHeight,
            kCellWidth, kCellHeight};
}

QDate CalendarYearView::DateAt(const QPoint& point) const
{
    if (!first_.isValid())
        return {};
    for (int index = 0; index < 12; ++index) {
        const QRect month = monthRect(index);
        const int top = month.top() + kTitleHeight + kHeaderHeight;
        if (point.x() < month.left() || point.x() >= month.right() + 1 || point.y() < top || point.y() > month.bottom())
            continue;
        const int cell = (point.y() - top) / kCellHeight * 7 + (point.x() - month.left()) / kCellWidth;
        const QDate monthStart = first_.addMonths(index);
        const int day = cell - column(monthStart) + 1;
        if (day >= 1 && day <= monthStart.daysInMonth())
            return monthStart.addDays(day - 1);
    }
    return {};
}

void CalendarYearView::mousePressEvent(QMouseEvent* event)
{
    const QDate date = DateAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !date.isValid() || date < min_ || date > max_)
        return;
    if (event->modifiers() & Qt::ShiftModifier && end_.isValid())
        SetSelection(std::min(end_, date), std::max(end_, date));
    else
        SetValue(date);
    emit SelectionChanged(start_, end_);
}

void CalendarYearView::paintEvent(QPaintEvent*)
{
    if (!first_.isValid())
        return;
    QPainter painter(this);
    const QLocale c = QLocale::c();
    const QPalette& colors = palette();
    for (int index = 0; index < 12; ++index) {
        const QDate monthStart = first_.addMonths(index);
        const QRect month = monthRect(index);
        painter.setPen(colors.color(QPalette::Text));
        painter.drawText(QRect(month.left(), month.top(), kMonthWidth, kTitleHeight), Qt::AlignCenter,
                         c.toString(monthStart, QStringLiteral("MMMM yyyy")));
        static const char* const kDays[] = {"S", "M", "T", "W", "T", "F", "S"};
        for (int d = 0; d < 7; ++d)
            painter.drawText(QRect(month.left() + d * kCellWidth, month.top() + kTitleHeight, kCellWidth, kHeaderHeight),
                             Qt::AlignCenter, QString::fromLatin1(kDays[d]));
        for (int day = 1; day <= monthStart.daysInMonth(); ++day) {
            const QDate date = monthStart.addDays(day - 1);
            const QRect cell = DayRect(date);
            const bool selected = date >= start_ && date <= end_;
            if (selected)
                painter.fillRect(cell, colors.color(QPalette::Highlight));
            const bool inRange = date >= min_ && date <= max_;
            painter.setPen(selected ? colors.color(QPalette::HighlightedText)
                                    : inRange ? colors.color(QPalette::Text)
                                              : colors.color(QPalette::Disabled, QPalette::Text));
            painter.drawText(cell, Qt::AlignCenter, QString::number(day));
            if (IsMarked(date))
                painter.fillRect(cell.right() - kMark, cell.top() + 1, kMark, kMark, QColor(192, 0, 0));
        }
    }
}
