#include "KS_FormBuilder.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QHeaderView>
#include <QLayout>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionSpinBox>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "KS_Forms.h"

namespace {

// Where a text box keeps the longest text the form fills it with, for the fitter.
constexpr const char* kLongestText = "longestText";

void applyKind(QWidget* control, const FormControl& row)
{
    const QString caption = QString::fromLatin1(row.caption);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(caption);
    } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
        if (row.length > 0)
            box->setMaxLength(row.length);
        if (*row.caption)
            box->setProperty(kLongestText, caption);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        button->setText(caption);
        button->setAutoDefault(false);
    } else if (auto* check = qobject_cast<QAbstractButton*>(control)) {
        check->setText(caption);
    } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        if (row.length > 0)
            spin->setMaximum(row.length);
        // An up-down is its arrows beside the box that holds its number; its
        // own edit has no width to show anything in, so the Tab stops at the
        // box, and digits typed after a Tab never land in the arrows' value.
        spin->setFocusPolicy(Qt::NoFocus);
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        frame->setTitle(caption);
    } else if (auto* progress = qobject_cast<QProgressBar*>(control)) {
        progress->setTextVisible(false);
        progress->hide();
    } else if (auto* list = qobject_cast<QTreeWidget*>(control)) {
        list->setRootIsDecorated(false);
        list->setAllColumnsShowFocus(true);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->header()->setSectionsClickable(true);
        if (*row.caption)
            list->setToolTip(caption);
    }
}

// Room kept between a grown control and the next one in its row, where there was that much.
constexpr int kRowSpacing = 4;

// A drop-down list shows its longest item whole.
int comboWidth(const QComboBox* list)
{
    const QFontMetrics metrics = list->fontMetrics();
    int text = 0;
    for (int i = 0; i < list->count(); ++i)
        text = std::max(text, metrics.horizontalAdvance(list->itemText(i))
                                  + (list->itemIcon(i).isNull() ? 0 : list->iconSize().width() + 4));
    if (text == 0)
        return 0;
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    return list->style()->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, metrics.height()), list).width();
}

// A text box shows the longest text its form declared for it, with room for the caret.
int boxWidth(const QLineEdit* box)
{
    const QString longest = box->property(kLongestText).toString();
    if (longest.isEmpty())
        return 0;
    constexpr int kTextMargin = 2; // the line edit's own, on each side
    const QMargins margins = box->textMargins() + box->contentsMargins();
    const int text = box->fontMetrics().horizontalAdvance(longest) + 1 + 2 * kTextMargin + margins.left()
                   + margins.right();
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    return box->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, box->height()), box).width();
}

// A date or time picker shows the widest text its format can: each month's and weekday's name, AM and PM, two
// digits for a day, hour or minute that may have one, and the font's widest digit in every digit's place.
int widestPickerText(const QDateTimeEdit* picker)
{
    const QFontMetrics metrics = picker->fontMetrics();
    QChar widestDigit = '0';
    for (char digit = '1'; digit <= '9'; ++digit)
        if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widestDigit))
            widestDigit = QChar(digit);
    int text = 0;
    for (int month = 1; month <= 12; ++month)
        for (int day = 10; day < 17; ++day)
            for (int hour : {0, 12}) {
                QString shown = picker->locale().toString(QDateTime(QDate(2000, month, day), QTime(hour, 59, 59, 999)),
                                                          picker->displayFormat());
                for (QChar& c : shown)
                    if (c.isDigit())
                        c = widestDigit;
                text = std::max(text, metrics.horizontalAdvance(shown));
            }
    return text;
}

int pickerWidth(const QDateTimeEdit* picker)
{
    // A window fits itself again at every resize; the text's width depends on nothing else.
    static QHash<QString, int> widest;
    const QString key = picker->font().key() + QLatin1Char('|') + picker->locale().name() + QLatin1Char('|')
                      + picker->displayFormat();
    auto known = widest.constFind(key);
    if (known == widest.cend())
        known = widest.insert(key, widestPickerText(picker));
    const int text = *known;
    // Its edit field keeps the line edit's two pixels on each side and one for the caret; the rest of the
    // picker is its frame and arrows.
    const QLineEdit* edit = picker->findChild<QLineEdit*>();
    const QMargins margins = edit->textMargins() + edit->contentsMargins();
    QStyleOptionSpinBox option;
    option.initFrom(picker);
    option.frame = picker->hasFrame();
    option.buttonSymbols = picker->buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp
                       | QStyle::SC_SpinBoxDown;
    const int field
        = picker->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, picker).width();
    return text + 2 * 2 + 1 + margins.left() + margins.right() + picker->width() - field;
}

// The width a control needs to show its whole caption, list item or text; 0 where it has none.
int neededWidth(const QWidget* control)
{
    if (auto* list = qobject_cast<const QComboBox*>(control))
        return comboWidth(list);
    if (auto* box = qobject_cast<const QLineEdit*>(control))
        return boxWidth(box);
    if (auto* picker = qobject_cast<const QDateTimeEdit*>(control))
        return pickerWidth(picker);
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->wordWrap() || label->text().isEmpty() ? 0 : label->sizeHint().width();
    if (auto* button = qobject_cast<const QPushButton*>(control)) {
        if (button->text().isEmpty())
            return 0;
        // Not the style's size hint: that one keeps a short caption's button at a minimum width.
        const QStyle* style = button->style();
        int width = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width()
                  + style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button)
                  + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        if (!button->icon().isNull())
            width += button->iconSize().width() + 4;
        return width;
    }
    if (qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control))
        return static_cast<const QAbstractButton*>(control)->text().isEmpty() ? 0 : control->sizeHint().width();
    if (auto* frame = qobject_cast<const QGroupBox*>(control))
        return frame->title().isEmpty() ? 0 : frame->minimumSizeHint().width();
    return 0;
}

// Frames, picture boxes and client areas: what the builder puts controls into.
bool holdsControls(const QWidget* widget)
{
    const QMetaObject* kind = widget->metaObject();
    return qobject_cast<const QGroupBox*>(widget) || kind == &QWidget::staticMetaObject
        || kind == &QFrame::staticMetaObject;
}

// A fixed extent stays fixed, a control in a layout asks the layout for the room, anything else is resized.
void grow(QWidget* widget, Qt::Orientation along, int extent)
{
    const bool across = along == Qt::Horizontal;
    const bool fixed = across ? widget->minimumWidth() == widget->maximumWidth()
                              : widget->minimumHeight() == widget->maximumHeight();
    if (fixed)
        across ? widget->setFixedWidth(extent) : widget->setFixedHeight(extent);
    else if (widget->parentWidget() && widget->parentWidget()->layout() && !widget->isWindow())
        across ? widget->setMinimumWidth(extent) : widget->setMinimumHeight(extent);
    else
        widget->resize(across ? extent : widget->width(), across ? widget->height() : extent);
}

// next starts right of the middle of grown and shares some of its height.
bool inRowToTheRight(const QRect& grown, const QRect& next)
{
    return next.left() >= grown.left() + grown.width() / 2 && next.top() <= grown.bottom()
        && grown.top() <= next.bottom();
}

bool isOneOf(const QWidget* control, const std::vector<QWidget*>& controls)
{
    return std::find(controls.begin(), controls.end(), control) != controls.end();
}

struct Placed {
    QWidget* control;
    QRect before;
    bool takesRoom = true;
};

// A control hidden for now takes its place whenever the window shows it (a progress bar while a
// run goes, a signal strength once a read brings one, a service field once unlocked), so it is
// fitted as if shown; only one that stands where a shown control stands is its alternative and
// keeps out of the way.
void markWhatTakesRoom(std::vector<Placed>& placed)
{
    for (Placed& p : placed) {
        p.takesRoom = true;
        if (!p.control->isHidden() || qobject_cast<const QProgressBar*>(p.control))
            continue;
        for (const Placed& q : placed)
            if (q.control != p.control && !q.control->isHidden() && q.before.intersects(p.before))
                p.takesRoom = false;
    }
}

// Controls that lie over one another once captions have grown (or that the form laid out a little
// too tight) part: the lower one moves down clear of the upper, and what it then lies over moves in
// turn; controls side by side in one row are the rows' business. Returns the lowest bottom edge
// a control moved to, 0 when none moved.
int partOverlaps(const std::vector<Placed>& placed, const std::vector<QWidget*>& overlaid)
{
    std::vector<QWidget*> parting;
    for (const Placed& p : placed)
        if (p.takesRoom && !isOneOf(p.control, overlaid))
            parting.push_back(p.control);
    int lowest = 0;
    for (bool moved = true; moved;) {
        moved = false;
        for (const QWidget* upper : parting)
            for (QWidget* lower : parting)
                if (upper->y() < lower->y() && upper->geometry().intersects(lower->geometry())) {
                    lower->move(lower->x(), upper->geometry().bottom() + 1);
                    lowest = std::max(lowest, lower->geometry().bottom() + 1);
                    moved = true;
                }
    }
    return lowest;
}

// What the label shows: its access key's ampersand goes.
QString shownText(const QLabel* label)
{
    QString shown;
    const QString text = label->text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '&' && label->buddy() && i + 1 < text.size())
            ++i;
        shown += text.at(i);
    }
    return shown;
}

// Some captions leave runs of spaces where boxes lie over them ("Duratio&n:   minutes,   seconds"
// with a box in each run). Spaces are narrower in these fonts, so the words after a run would lie
// under its boxes: the spaces widen until each run takes its boxes, and the boxes move into the
// middle of their runs. Returns the boxes, which the label places and no row pushes.
std::vector<QWidget*> spreadOverLabel(QLabel* label, const std::vector<Placed>& placed)
{
    const QString shown = shownText(label);
    std::vector<std::pair<qsizetype, qsizetype>> runs;
    for (qsizetype i = 0; (i = shown.indexOf(QLatin1String("  "), i)) >= 0;) {
        qsizetype end = i;
        while (end < shown.size() && shown.at(end) == ' ')
            ++end;
        runs.emplace_back(i, end);
        i = end;
    }
    QRect labelRect;
    std::vector<std::vector<const Placed*>> groups;
    for (const Placed& p : placed)
        if (p.control == label)
            labelRect = p.before;
    for (const Placed& p : placed) {
        if (p.control == label || p.control->isHidden() || !p.before.intersects(labelRect))
            continue;
        if (groups.empty() || p.before.left() > groups.back().back()->before.right() + 1)
            groups.emplace_back();
        groups.back().push_back(&p);
    }
    if (runs.empty() || runs.size() != groups.size() || label->isHidden() || !(label->alignment() & Qt::AlignLeft))
        return {};

    // A box that will grow to its digits keeps clear of the up-down beside it: the group widens by that much.
    auto grownBy = [](const Placed* box) { return std::max(0, neededWidth(box->control) - box->before.width()); };
    auto groupWidth = [&grownBy](const std::vector<const Placed*>& group) {
        int width = group.back()->before.right() + 1 - group.front()->before.left();
        for (const Placed* box : group)
            width += grownBy(box);
        return width;
    };
    auto runEdges = [&shown, &runs](const QFontMetrics& metrics, std::size_t k) {
        return std::pair(metrics.horizontalAdvance(shown.left(runs[k].first)),
                         metrics.horizontalAdvance(shown.left(runs[k].second)));
    };
    // Word spacing widens each run of spaces by the same amount.
    int extra = 0;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const auto [start, end] = runEdges(label->fontMetrics(), k);
        extra = std::max(extra, groupWidth(groups[k]) + 2 * kRowSpacing - (end - start));
    }
    if (extra > 0) {
        QFont font = label->font();
        font.setWordSpacing(font.wordSpacing() + extra);
        label->setFont(font);
    }
    const int origin = label->x() + label->contentsRect().left() + label->margin();
    std::vector<QWidget*> boxes;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const auto [start, end] = runEdges(label->fontMetrics(), k);
        const int shift = origin + start + (end - start - groupWidth(groups[k])) / 2 - groups[k].front()->before.left();
        int grownBefore = 0;
        for (const Placed* box : groups[k]) {
            box->control->move(box->before.left() + shift + grownBefore, box->before.top());
            grownBefore += grownBy(box);
            boxes.push_back(box->control);
        }
    }
    return boxes;
}

void fitChildren(QWidget* holder)
{
    std::vector<Placed> placed;
    for (QObject* child : holder->children())
        if (auto* control = qobject_cast<QWidget*>(child); control && !control->isWindow())
            placed.push_back({control, control->geometry()});
    for (const Placed& p : placed)
        if (holdsControls(p.control))
            fitChildren(p.control);
    if (holder->layout())
        return;
    std::vector<QWidget*> overlaid;
    for (const Placed& p : placed)
        if (auto* label = qobject_cast<QLabel*>(p.control))
            for (QWidget* box : spreadOverLabel(label, placed))
                overlaid.push_back(box);
    for (const Placed& p : placed)
        if (const int needed = neededWidth(p.control); needed > p.control->width())
            grow(p.control, Qt::Horizontal, needed);

    markWhatTakesRoom(placed);
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.before.left() < b.before.left(); });
    auto pushes = [&overlaid](const Placed& p) { return p.takesRoom && !isOneOf(p.control, overlaid); };
    for (std::size_t column = 0, end = 0; column < placed.size(); column = end) {
        // Controls that started on one left edge stay on one: the boxes beside a column of labels
        // move as far as the widest label pushes any of them.
        int shift = 0;
        for (end = column; end < placed.size() && placed[end].before.left() == placed[column].before.left(); ++end)
            if (pushes(placed[end]))
                shift = std::max(shift, placed[end].control->x() - placed[end].before.x());
        for (std::size_t i = column; i < end; ++i)
            if (pushes(placed[i]) && placed[i].control->x() < placed[i].before.x() + shift)
                placed[i].control->move(placed[i].before.x() + shift, placed[i].control->y());
        for (std::size_t i = column; i < end; ++i) {
            const Placed& grown = placed[i];
            const int pushed = grown.control->geometry().right() - grown.before.right();
            if (pushed <= 0 || !pushes(grown))
                continue;
            for (std::size_t j = end; j < placed.size(); ++j) {
                const Placed& next = placed[j];
                if (!inRowToTheRight(grown.before, next.before) || isOneOf(next.control, overlaid))
                    continue;
                const int gap = next.before.left() - grown.before.right() - 1;
                const int nextShift = pushed - std::max(0, gap - kRowSpacing);
                if (nextShift > next.control->x() - next.before.x())
                    next.control->move(next.before.x() + nextShift, next.control->y());
            }
        }
    }
    // A frame whose right edge lined up with controls that moved right keeps lining up with them.
    for (const Placed& frame : placed) {
        if (!qobject_cast<QGroupBox*>(frame.control) || !frame.takesRoom)
            continue;
        int right = frame.control->geometry().right();
        for (const Placed& p : placed)
            if (p.control != frame.control && pushes(p) && p.before.right() == frame.before.right())
                right = std::max(right, p.control->geometry().right());
        if (right > frame.control->geometry().right())
            grow(frame.control, Qt::Horizontal, right + 1 - frame.control->x());
    }

    // A label's runs of spaces hold their boxes by design.
    std::vector<QWidget*> spaced = overlaid;
    for (const Placed& p : placed)
        if (auto* label = qobject_cast<QLabel*>(p.control); label && shownText(label).contains(QLatin1String("  ")))
            spaced.push_back(label);
    // The holder deepens to keep the room it had under its lowest control, and at least to take
    // in every control that starts inside it (a window that sizes its own frames may have undone
    // an earlier deepening).
    int bottom = 0;
    for (const Placed& p : placed)
        if (p.takesRoom)
            bottom = std::max(bottom, p.before.bottom() + 1);
    const int below = std::max(0, holder->height() - bottom);
    int lowest = partOverlaps(placed, spaced);
    if (lowest > 0)
        lowest += below;
    for (const Placed& p : placed)
        if (p.takesRoom && p.before.top() < holder->height())
            lowest = std::max(lowest, p.control->geometry().bottom() + 1);
    if (lowest > holder->height())
        grow(holder, Qt::Vertical, lowest);

    // A control that grew or moved, or that the holder's right edge cuts, widens the holder, which
    // keeps as much room on the right as its controls keep on the left (a frame's title check box
    // sits in its corner). Controls wholly beyond the edge stay out of sight there, the holder
    // stopping short of them: the speaker window shows its advanced options only when it widens.
    int inset = 0;
    for (const Placed& p : placed)
        if (p.takesRoom && p.before.left() > 0 && (inset == 0 || p.before.left() < inset))
            inset = p.before.left();
    int needed = 0;
    int beyond = QWIDGETSIZE_MAX;
    for (const Placed& p : placed) {
        const QRect now = p.control->geometry();
        if (!p.takesRoom)
            continue;
        if (p.before.left() >= holder->width())
            beyond = std::min(beyond, now.left());
        else if (now != p.before || now.right() >= holder->width())
            needed = std::max(needed, now.right() + 1 + inset);
    }
    needed = std::min(needed, beyond);
    if (needed > holder->width())
        grow(holder, Qt::Horizontal, needed);
}

// A window manager draws the title in the desktop's font (the program's own stands for it), mostly in bold,
// beside the window's icon and its minimise, maximise and close buttons, squares about as high as the title
// bar, with some room between: the window is made wide enough for that, so the title shows whole.
void widenForTitle(QWidget* window)
{
    if (window->windowTitle().isEmpty())
        return;
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    constexpr int kTitleBarPadding = 8;
    constexpr int kIconButtonsAndRoom = 5;
    const int needed = metrics.horizontalAdvance(window->windowTitle())
                     + kIconButtonsAndRoom * (metrics.height() + kTitleBarPadding);
    if (needed <= window->width())
        return;
    QLayout* layout = window->layout();
    if (!layout) {
        grow(window, Qt::Horizontal, needed);
        return;
    }
    // The client area the controls stand in widens, and the layout sizes the window to it.
    for (int i = 0; i < layout->count(); ++i)
        if (QWidget* client = layout->itemAt(i)->widget(); client && holdsControls(client)) {
            const QMargins margins = layout->contentsMargins();
            grow(client, Qt::Horizontal, std::max(client->width(), needed - margins.left() - margins.right()));
            layout->activate();
            return;
        }
    window->setMinimumWidth(needed);
}

// Fits the window's captions when it first shows, when every caption has its text, and again
// whenever the window changes size, since a window that sizes its own frames undoes their growth.
class CaptionFitter : public QObject {
public:
    explicit CaptionFitter(QWidget* window)
        : QObject(window)
        , window_(window)
    {
        setObjectName(kName);
        window->installEventFilter(this);
    }

    static constexpr const char* kName = "captionFitter";

    void Fit()
    {
        fitting_ = true;
        fitChildren(window_);
        if (window_->layout())
            window_->layout()->activate();
        widenForTitle(window_);
        fitting_ = false;
        fitted_ = true;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A window that names its record in its title after it showed needs the room for the longer title.
        const bool changed = fitted_ && (event->type() == QEvent::Resize || event->type() == QEvent::WindowTitleChange);
        if (watched == window_ && !fitting_ && (event->type() == QEvent::Show || changed)) {
            const bool opening = !fitted_;
            Fit();
            // Placed for a smaller screen, or grown by its fitting, it would open partly off the screen.
            if (opening && window_->parentWidget())
                KeepOnScreenOf(window_, window_->parentWidget());
        }
        return false;
    }

private:
    QWidget* window_;
    bool fitting_ = false;
    bool fitted_ = false;
};

void fitCaptionsWhenShown(QWidget* window)
{
    if (window->findChild<QObject*>(CaptionFitter::kName, Qt::FindDirectChildrenOnly))
        return;
    auto* fitter = new CaptionFitter(window);
    if (window->isVisible())
        fitter->Fit();
}

} // namespace

void BuildControls(QWidget* form, std::span<const FormControl> table)
{
    QLabel* pendingBuddy = nullptr;
    for (const FormControl& row : table) {
        QWidget* parent = form;
        if (row.parentName)
            if (auto* named = form->findChild<QWidget*>(QString::fromLatin1(row.parentName)))
                parent = named;
        QWidget* control = row.make(parent);
        control->setObjectName(QString::fromLatin1(row.name));
        // From the edges, so controls that meet in twips meet in pixels rather than overlap by one.
        const TwipsRect& g = row.geometry;
        control->setGeometry(Twips(g.left), Twips(g.top), Twips(g.left + g.width) - Twips(g.left),
                             Twips(g.top + g.height) - Twips(g.top));
        applyKind(control, row);
        if (pendingBuddy)
            pendingBuddy->setBuddy(control);
        pendingBuddy = qobject_cast<QLabel*>(control);
    }
    fitCaptionsWhenShown(form->window());
}

QWidget* BuildToolbarForm(QWidget* form, QToolBar*& tlbMenu, int widthTwips, int heightTwips)
{
    auto* root = new QVBoxLayout(form);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->setSizeConstraint(QLayout::SetFixedSize);
    tlbMenu = new QToolBar(form);
    tlbMenu->setObjectName("tlbMenu");
    root->addWidget(tlbMenu);
    auto* client = new QWidget(form);
    client->setObjectName("clientArea");
    client->setFixedSize(Twips(widthTwips), Twips(heightTwips));
    root->addWidget(client);
    return client;
}
