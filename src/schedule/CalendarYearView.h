#pragma once
// The calendar year at a glance: twelve painted month grids from the first
// month of the range (months 1 to 6 in the upper row, 7 to 12 in the lower),
// one mark on every day that holds an active event, a click choosing a day
// and Shift + click a range of days from the last chosen one. Days outside the
// minimum and maximum date are shown but cannot be chosen.

#include <QDate>
#include <QWidget>
#include <set>

class CalendarYearView : public QWidget {
    Q_OBJECT

public:
    explicit CalendarYearView(QWidget* parent = nullptr);

    // Shows the twelve months from the minimum's month; the selection is
    // kept within the new range.
    void SetRange(const QDate& minimum, const QDate& maximum);
    QDate MinDate() const { return min_; }
    QDate MaxDate() const { return max_; }

    // The date last chosen, which ends the selection.
    QDate Value() const { return end_; }
    QDate SelStart() const { return start_; }
    QDate SelEnd() const { return end_; }
    // Selects one day, or a range; nothing is emitted. Dates are kept within the range.
    void SetValue(const QDate& date) { SetSelection(date, date); }
    void SetSelection(const QDate& start, const QDate& end);

    void SetMark(const QDate& date, bool on);
    void ClearMarks();
    bool IsMarked(const QDate& date) const { return marks_.count(date.toJulianDay()) != 0; }
    int MarkCount() const { return static_cast<int>(marks_.size()); }

    // The day under a point of the widget; an invalid date between the days.
    QDate DateAt(const QPoint& point) const;
    // Where the day is painted; empty when it is not shown.
    QRect DayRect(const QDate& date) const;

    QSize sizeHint() const override;

signals:
    // The operator chose a day (start == end) or, with Shift, a range.
    void SelectionChanged(const QDate& start, const QDate& end);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QDate clamp(const QDate& date) const;
    QRect monthRect(int index) const;

    QDate min_;
    QDate max_;
    QDate first_; // the first day of the first month shown
    QDate start_;
    QDate end_;
    std::set<qint64> marks_;
};
