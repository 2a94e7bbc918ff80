// Every caption, list item, filled box and date or time picker of every window
// shows whole at the default font and at a larger one: the forms were laid out
// in twips for another font's metrics. Fitted, no control lies over another,
// and each window opens on its owner's screen.
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <map>

#include "ConsoleHarness.h"
#include "KS_GEN_Configure.h"
#include "KS_GEN_CoverPage.h"
#include "KS_GEN_DBProgrammer.h"
#include "KS_GEN_ToneScheduleCalendarlAdd.h"
#include "KS_GEN_UserAdd.h"
#include "KS_MessageWindows.h"
#include "KS_ProgrammerWindows.h"
#include "KS_ScheduleWindows.h"
#include "KS_SpeakerWindows.h"
#include "KS_FormBuilder.h"
#include "KS_ListWindow.h"
#include "KS_Forms.h"
#include "ListColumns.h"
#include "KS_SYS_About.h"
#include "ModalDialog.h"

namespace {

QString visibleText(const QString& text) { return text.trimmed().remove(QRegularExpression("&(?!&)")); }

// The pixels the caption needs, measured from the text and the style's room for it; 0 for other controls.
int neededWidth(const QWidget* control, QString& text)
{
    const QStyle* style = control->style();
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        text = label->wordWrap() ? QString() : label->text();
        return label->sizeHint().width();
    }
    const auto contents = qobject_cast<const QPushButton*>(control) ? QStyle::SE_PushButtonContents
                        : qobject_cast<const QCheckBox*>(control)   ? QStyle::SE_CheckBoxContents
                                                                    : QStyle::SE_RadioButtonContents;
    if (auto* button = qobject_cast<const QAbstractButton*>(control); button && !qobject_cast<const QToolButton*>(control)) {
        text = button->text();
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = text;
        const int room = style->subElementRect(contents, &option, button).width();
        return button->fontMetrics().horizontalAdvance(visibleText(text)) + button->width() - room;
    }
    if (auto* frame = qobject_cast<const QGroupBox*>(control)) {
        text = frame->title();
        return frame->minimumSizeHint().width();
    }
    return 0;
}

void checkColumns(const QTreeWidget* list, const QString& where, QStringList& offenders)
{
    QHeaderView* header = list->header();
    for (int column = 0; column < list->columnCount(); ++column) {
        if (list->isColumnHidden(column))
            continue;
        const int width = list->columnWidth(column);
        const QString caption = list->headerItem()->text(column);
        int widest = header->fontMetrics().horizontalAdvance(caption) + width - HeaderCaptionRoom(list, column);
        QString widestText = "header " + caption;
        // Records pad their texts with spaces, which may be cut.
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QString text = list->topLevelItem(row)->text(column);
            const QFontMetrics metrics = list->fontMetrics();
            const int need = list->sizeHintForIndex(list->model()->index(row, column)).width()
                           - metrics.horizontalAdvance(text) + metrics.horizontalAdvance(text.trimmed());
            if (need > widest)
                widest = need, widestText = text.trimmed();
        }
        if (widest > width)
            offenders << QString("%1 column %2 \"%3\": needs %4 px, has %5").arg(where).arg(column).arg(widestText)
                             .arg(widest).arg(width);
    }
}

// A window manager draws the title in the desktop's font, mostly bold, beside the window's icon and its buttons
// (minimise, maximise, close), each about as wide as the title bar is high: some text height and 8 px.
void checkTitle(const QWidget* window, const QString& name, QStringList& offenders)
{
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int needed = metrics.horizontalAdvance(window->windowTitle()) + 4 * (metrics.height() + 8);
    if (needed > window->width())
        offenders << QString("%1 title \"%2\": needs %3 px, has %4").arg(name, window->windowTitle()).arg(needed)
                         .arg(window->width());
}

void checkWindow(const QWidget* window, const QString& name, QStringList& offenders)
{
    checkTitle(window, name, offenders);
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(window))
            continue;
        const QString where = name + " " + control->objectName();
        const QWidget* holder = control->parentWidget();
        // A control wholly beyond its holder's edge is one the window shows only when it widens.
        if (!holder->layout() && control->x() < holder->width() && control->geometry().right() >= holder->width())
            offenders << where + ": cut by the right edge of " + holder->objectName();
        if (!holder->layout() && control->y() < holder->height() && control->geometry().bottom() >= holder->height())
            offenders << where + ": cut by the bottom edge of " + holder->objectName();
        if (auto* list = qobject_cast<QTreeWidget*>(const_cast<QWidget*>(control))) {
            checkColumns(list, where, offenders);
            // The sort arrow moves to the column the operator clicks, and takes room from its caption.
            for (int column = 0; list->header()->isSortIndicatorShown() && column < list->columnCount(); ++column) {
                list->sortByColumn(column, Qt::AscendingOrder);
                checkColumns(list, where + " sorted", offenders);
            }
            continue;
        }
        QString text;
        const int needed = neededWidth(control, text);
        if (visibleText(text).isEmpty())
            continue;
        const QString what = QString("%1 \"%2\"").arg(where, text);
        if (needed > control->width())
            offenders << QString("%1: needs %2 px, has %3").arg(what).arg(needed).arg(control->width());
        const int textHeight = std::min(control->fontMetrics().height(), control->height());
        const int textTop = control->y() + (control->height() - textHeight) / 2;
        std::vector<QRect> words{QRect(control->x(), textTop, std::min(needed, control->width()), textHeight)};
        // A label's runs of spaces may lie under boxes; its words may not.
        if (auto* label = qobject_cast<const QLabel*>(control)) {
            words.clear();
            const QString shown = label->buddy() ? QString(text).remove(QRegularExpression("&(?!&)")) : text;
            const int left = control->x() + label->contentsRect().left() + label->margin();
            auto at = [&](qsizetype index) { return left + label->fontMetrics().horizontalAdvance(shown.left(index)); };
            for (const auto& word : QRegularExpression("\\S+( \\S+)*").globalMatch(shown))
                words.emplace_back(QPoint(at(word.capturedStart()), textTop),
                                   QPoint(at(word.capturedEnd()) - 1, textTop + textHeight - 1));
        }
        for (const QWidget* sibling : holder->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            for (const QRect& word : words)
                if (sibling != control && sibling->isVisibleTo(window) && sibling->geometry().intersects(word))
                    offenders << what + ": runs under " + sibling->objectName();
    }
}

// The longest texts the program fills its read-only boxes with: a unit's date and time as read.
const std::map<QString, QString> kLongestFill = {{"txtDateTime", "Wednesday, 09/30/26 12:00:00 AM"}};

// A box that takes a typed digit but refuses a letter, a point and a dash (a phone number's) holds at most
// its length of digits, locked for now or not.
bool takesDigitsOnly(QLineEdit* box)
{
    if (box->maxLength() == QLineEdit().maxLength())
        return false;
    const QSignalBlocker quiet(box);
    const QString text = box->text();
    const bool readOnly = box->isReadOnly();
    const bool disabled = !box->isEnabledTo(box->parentWidget());
    box->setReadOnly(false);
    box->setEnabled(true);
    box->clear();
    QTest::keyClicks(box, "a.-7");
    const bool digitsOnly = box->text() == "7";
    box->setText(text);
    box->setReadOnly(readOnly);
    box->setEnabled(!disabled);
    return digitsOnly;
}

// The longest text a box shows: a digits-only box its whole length of digits, a fixed-length box holding a
// number (a frequency) that number, a read-only box what the program fills it with; null for other boxes.
QString longestText(QLineEdit* box)
{
    if (takesDigitsOnly(box))
        return QString(box->maxLength(), '0');
    if (box->maxLength() < QLineEdit().maxLength() && QRegularExpression("^[0-9.]+$").match(box->text()).hasMatch())
        return box->text();
    if (!box->isReadOnly())
        return {};
    const auto fill = kLongestFill.find(box->objectName());
    return fill != kLongestFill.end() ? fill->second : box->text();
}

// The pixels a line edit has for its text, in the room the style draws it in.
int textRoom(const QLineEdit* box)
{
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    const QMargins margins = box->textMargins();
    // Two pixels of margin on each side, one for the caret.
    return box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box).width() - margins.left()
         - margins.right() - 2 * 2 - 1;
}

// The widest text a date or time picker shows in its format: every minute of a day, or every day of this
// century.
QString widestPickerText(const QDateTimeEdit* picker)
{
    static std::map<QString, QString> widest; // by font and format: the century takes a while to measure
    const QString key = picker->font().key() + picker->displayFormat();
    if (const auto known = widest.find(key); known != widest.end())
        return known->second;
    const QFontMetrics metrics = picker->fontMetrics();
    QString text;
    auto measure = [&](const QDateTime& when) {
        const QString shown = picker->locale().toString(when, picker->displayFormat());
        if (metrics.horizontalAdvance(shown) > metrics.horizontalAdvance(text))
            text = shown;
    };
    if (picker->displayedSections() & QDateTimeEdit::DateSections_Mask)
        for (QDate day(2000, 1, 1); day.year() < 2100; day = day.addDays(1))
            measure(QDateTime(day, QTime(0, 0)));
    else
        for (int minute = 0; minute < 24 * 60; ++minute)
            measure(QDateTime(QDate(2000, 1, 1), QTime(minute / 60, minute % 60)));
    return widest[key] = text;
}

// Each read-only, digit or frequency box shows its longest text, and each date or time picker its widest, with the
// room the style draws in.
void checkBoxTexts(const QWidget* window, const QString& name, QStringList& offenders)
{
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        auto* picker = qobject_cast<QDateTimeEdit*>(box->parentWidget());
        if (!box->isVisibleTo(window) || qobject_cast<QComboBox*>(box->parentWidget())
            || (!picker && qobject_cast<QAbstractSpinBox*>(box->parentWidget())))
            continue;
        const QString longest = picker ? widestPickerText(picker) : longestText(box);
        const QString boxName = picker ? picker->objectName() : box->objectName();
        if (const int needed = box->fontMetrics().horizontalAdvance(longest), room = textRoom(box); needed > room)
            offenders << QString("%1 %2 \"%3\": needs %4 px, has %5")
                             .arg(name, boxName, longest).arg(needed).arg(room);
    }
}

// Each drop-down list shows its longest item, and each read-only, digit or frequency box its longest text, with
// the room the style draws in.
void checkItemsAndBoxes(const QWidget* window, const QString& name, QStringList& offenders)
{
    for (QComboBox* list : window->findChildren<QComboBox*>()) {
        if (!list->isVisibleTo(window))
            continue;
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        option.frame = list->hasFrame();
        // The label is drawn one pixel in from each side of the edit field.
        const QRect field
            = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        const int room = field.width() - 2;
        for (int i = 0; i < list->count(); ++i)
            if (const int needed = list->fontMetrics().horizontalAdvance(list->itemText(i)); needed > room)
                offenders << QString("%1 %2 item \"%3\": needs %4 px, has %5")
                                 .arg(name, list->objectName(), list->itemText(i)).arg(needed).arg(room);
    }
    checkBoxTexts(window, name, offenders);
}

// No control lies over another: progress bars count as shown, since runs show them; a label's runs of spaces
// hold boxes by design (the caption check keeps its words clear of them).
void checkOverlaps(const QWidget* window, const QString& name, QStringList& offenders)
{
    auto shown = [window](const QWidget* control) {
        return control->isVisibleTo(window)
            || (qobject_cast<const QProgressBar*>(control) && control->parentWidget()->isVisibleTo(window));
    };
    auto spaced = [](const QWidget* control) {
        auto* label = qobject_cast<const QLabel*>(control);
        return label && label->text().contains("  ");
    };
    QList<QWidget*> holders = window->findChildren<QWidget*>();
    holders << const_cast<QWidget*>(window);
    for (const QWidget* holder : holders) {
        if (holder->layout() || !shown(holder))
            continue;
        const auto controls = holder->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        // A frame's controls stay clear of its border lines, but for a check
        // box standing as its caption in the top left corner.
        if (qobject_cast<const QGroupBox*>(holder))
            for (const QWidget* control : controls) {
                const QRect at = control->geometry();
                const QRect inside = holder->rect().adjusted(2, 2, -2, -2);
                const bool caption = at.topLeft() == QPoint(0, 0);
                if (!control->isWindow() && shown(control) && !caption && !inside.contains(at))
                    offenders << QString("%1 %2 crosses the border of %3")
                                     .arg(name, control->objectName(), holder->objectName());
            }
        for (qsizetype i = 0; i < controls.size(); ++i)
            for (qsizetype j = i + 1; j < controls.size(); ++j) {
                const QWidget* a = controls[i];
                const QWidget* b = controls[j];
                if (a->isWindow() || b->isWindow() || !shown(a) || !shown(b) || spaced(a) || spaced(b))
                    continue;
                if (a->geometry().intersects(b->geometry()))
                    offenders << QString("%1 %2 overlaps %3").arg(name, a->objectName(), b->objectName());
            }
    }
}

// A window opens wholly on the screen its owner stands on; one larger than the screen at its top left corner.
void checkPlacement(const QWidget* window, const QString& name, QStringList& offenders)
{
    if (!window->parentWidget() || name.endsWith("(Advanced)"))
        return;
    const QRect area = window->parentWidget()->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    const bool across = frame.width() <= area.width() ? frame.left() >= area.left() && frame.right() <= area.right()
                                                      : frame.left() == area.left();
    const bool down = frame.height() <= area.height() ? frame.top() >= area.top() && frame.bottom() <= area.bottom()
                                                      : frame.top() == area.top();
    if (!across || !down)
        offenders << QString("%1 at %2,%3 size %4x%5").arg(name).arg(frame.x()).arg(frame.y()).arg(frame.width())
                         .arg(frame.height());
}

// Opens every window in turn, with its advanced view and its list's edit dialog, and hands each to check.
void forEveryWindow(const std::function<void(QWidget* window, const QString& name)>& check)
{
    RegisterWindow(FormName::DBProgrammer,
                   [](QWidget* owner) { return new KS_GEN_DBProgrammer(qobject_cast<KS_MainForm*>(owner)); });
    RegisterMessageWindows();
    RegisterScheduleWindows();
    RegisterProgrammerWindows();
    RegisterSpeakerWindows();
    ConsoleHarness harness({{1, "Front Desk", "A"}, {2, "Night porter", "N", "Y"}});
    harness.messages.AnswerAlways(kAnswerOk);
    KS_MainForm& form = harness.Load();
    check(&form, "KS_MainForm");
    std::vector<std::function<QWidget*()>> windows;
    for (std::string_view name : kEveryWindow)
        windows.push_back([&form, name] { return CreateRegisteredWindow(name, &form); });
    windows.insert(windows.end(), {[&] { return new KS_GEN_UserAdd(&form); }, [&] { return new KS_GEN_Configure(&form); },
                                   [&] { return new KS_GEN_CoverPage(&form); }, [&] { return new KS_SYS_About(&form); }});
    for (const auto& make : windows) {
        QWidget* window = make();
        form.OpenOwnedWindow(window, false);
        const QString name = window->metaObject()->className();
        check(window, name);
        // A programmer window's service keys show its service fields, and a read shows what it found.
        for (int key : {Qt::Key_F11, Qt::Key_F12}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier | Qt::ShiftModifier);
            QCoreApplication::sendEvent(window, &press);
        }
        for (const char* shownByRead : {"lblRx2RSSI", "txtRx2RSSI"})
            if (auto* control = window->findChild<QWidget*>(shownByRead))
                control->show();
        check(window, name + " (Service)");
        // The speaker window's Advanced key widens it over a second column of frames, and narrows it again.
        for (QToolBar* toolbar : window->findChildren<QToolBar*>())
            for (QAction* action : toolbar->actions())
                if (action->isCheckable()) {
                    action->trigger();
                    check(window, name + " (Advanced)");
                    action->trigger();
                    check(window, name + " (Normal)");
                }
        // The list's edit dialog, modal or not, on the first row.
        if (auto* update = window->findChild<QPushButton*>("cmdUpdate"); update && update->isEnabled()) {
            auto* list = window->findChild<QTreeWidget*>("lvwMessages");
            list->setCurrentItem(list->topLevelItem(0));
            list->topLevelItem(0)->setSelected(true);
            int edited = 0;
            auto checkEditor = [&] {
                for (QWidget* editor : QApplication::topLevelWidgets())
                    if (editor->isVisible() && editor != window && editor != &form) {
                        check(editor, name + " " + editor->objectName());
                        editor->close();
                        ++edited;
                    }
            };
            QTimer modal;
            QObject::connect(&modal, &QTimer::timeout, checkEditor);
            modal.start(0);
            update->click();
            checkEditor();
            EXPECT_EQ(edited, 1) << name.toStdString();
        }
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The offenders a check finds over every window, one to a line; empty when there are none. A desktop's
// font may be larger than the test's: fontScale enlarges it for the while.
std::string everyWindowOffenders(void (*check)(const QWidget* window, const QString& name, QStringList& offenders),
                                 double fontScale = 1)
{
    const QFont font = QApplication::font();
    QFont scaled = font;
    scaled.setPointSizeF(font.pointSizeF() * fontScale);
    QApplication::setFont(scaled);
    QStringList offenders;
    forEveryWindow([&](QWidget* window, const QString& name) { check(window, name, offenders); });
    QApplication::setFont(font);
    offenders.removeDuplicates();
    return offenders.join('\n').toStdString();
}

} // namespace

TEST(CaptionsFit, EveryCaptionAndListTextOfEveryWindowShowsWhole)
{
    EXPECT_EQ(everyWindowOffenders(checkWindow), "");
}

TEST(CaptionsFit, BoxesInACaptionsRunsOfSpacesStandInTheMiddleOfTheirRuns)
{
    QWidget form;
    QLabel* lblDuration = nullptr;
    QLineEdit* txtMinutes = nullptr;
    QLineEdit* txtSeconds = nullptr;
    const FormControl controls[] = {
        Control(lblDuration, "lblDuration", "Duratio&n:          minutes,     seconds", {120, 120, 3495, 255}),
        Control(txtMinutes, "txtMinutes", "", {900, 90, 450, 315}, 3),
        Control(txtSeconds, "txtSeconds", "", {2000, 90, 450, 315}, 2),
    };
    BuildControls(&form, controls);
    form.show();
    // Where the label draws the character at index of what it shows: the first run has room to spare, the
    // second sets the spacing.
    const QString shown = "Duration:          minutes,     seconds";
    auto at = [&](int index) {
        return lblDuration->x() + lblDuration->contentsRect().left() + lblDuration->margin()
             + lblDuration->fontMetrics().horizontalAdvance(shown.left(index));
    };
    EXPECT_NEAR(txtMinutes->x() - at(9), at(19) - txtMinutes->geometry().right() - 1, 1);
    EXPECT_NEAR(txtSeconds->x() - at(27), at(32) - txtSeconds->geometry().right() - 1, 1);
    EXPECT_GT(txtMinutes->x(), at(9));
}

TEST(CaptionsFit, EveryListItemAndFilledBoxOfEveryWindowShowsWhole)
{
    EXPECT_EQ(everyWindowOffenders(checkItemsAndBoxes), "");
}

TEST(CaptionsFit, NoControlOfAnyWindowLiesOverAnotherOrOnItsFramesBorder)
{
    EXPECT_EQ(everyWindowOffenders(checkOverlaps), "");
}

TEST(CaptionsFit, AtALargerDesktopFontEveryCaptionStillShowsWholeAndNoControlLiesOverAnother)
{
    EXPECT_EQ(everyWindowOffenders(checkWindow, 1.35), "");
    EXPECT_EQ(everyWindowOffenders(checkOverlaps, 1.35), "");
    EXPECT_EQ(everyWindowOffenders(checkBoxTexts, 1.35), "");
}

TEST(CaptionsFit, ACalendarEventSavedWithTheWidestTypeShowsItWholeAtEitherFont)
{
    RegisterScheduleWindows();
    ConsoleHarness harness({{1, "Front Desk", "A"}});
    harness.messages.AnswerAlways(kAnswerOk);
    KS_MainForm& form = harness.Load();
    const QFont font = QApplication::font();
    for (const double scale : {1.0, 1.35}) {
        QFont scaled = font;
        scaled.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(scaled);
        QWidget* window = CreateRegisteredWindow(FormName::ToneScheduleCalendar, &form);
        form.OpenOwnedWindow(window, false);
        auto* list = window->findChild<QTreeWidget*>("lvwMessages");
        SelectListRow(list, list->topLevelItem(0));
        QString widest;
        WorkModalDialog<KS_GEN_ToneScheduleCalendarlAdd>(
            window,
            [&widest](KS_GEN_ToneScheduleCalendarlAdd& dialog) {
                for (int i = 0; i < dialog.cmbAlertType->count(); ++i)
                    if (dialog.fontMetrics().horizontalAdvance(dialog.cmbAlertType->itemText(i))
                        > dialog.fontMetrics().horizontalAdvance(widest))
                        widest = dialog.cmbAlertType->itemText(i);
                dialog.cmbAlertType->setCurrentIndex(dialog.cmbAlertType->findText(widest));
                dialog.txtDurationMinutes->setText("05");
                dialog.txtZone->setText("001");
                dialog.chkActive->setChecked(true);
                dialog.cmdOk->click();
            },
            [window] { window->findChild<QPushButton*>("cmdUpdate")->click(); });
        EXPECT_EQ(list->topLevelItem(0)->text(3), widest);
        QStringList offenders;
        checkColumns(list, QString("at %1").arg(scale), offenders);
        EXPECT_EQ(offenders.join('\n').toStdString(), "");
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The next font's list opens on a new calendar, which has never shown that type.
        std::remove(gToneGenCalendarFile.c_str());
    }
    QApplication::setFont(font);
}

TEST(CaptionsFit, AControlMovedDownClearOfAnotherStaysWithinItsForm)
{
    QWidget form;
    QProgressBar* prgProgress = nullptr;
    QPushButton* cmdClose = nullptr;
    const FormControl controls[] = {
        Control(prgProgress, "prgProgress", "", {120, 120, 3000, 300}),
        Control(cmdClose, "cmdClose", "&Close", {120, 300, 1200, 375}),
    };
    BuildControls(&form, controls);
    form.resize(Twips(3240), Twips(795));
    form.show();
    // The bar (hidden until a run shows it) ends at 27 px; the form keeps its 8 px under the button.
    EXPECT_EQ(cmdClose->geometry(), QRect(8, 28, 80, 25));
    EXPECT_EQ(form.height(), 61);
}

TEST(CaptionsFit, BoxesThatStartedInOneColumnStayInOneAndTheirFrameLinesUpWithThem)
{
    QWidget form;
    QGroupBox* fraDetails = nullptr;
    QLabel* lblModel = nullptr;
    QLineEdit* txtModel = nullptr;
    QLabel* lblSerialNumber = nullptr;
    QLineEdit* txtSerialNumber = nullptr;
    QCheckBox* chkCompatibility = nullptr;
    QComboBox* cmbCompatibility = nullptr;
    const FormControl controls[] = {
        Control(fraDetails, "fraDetails", "Details", {120, 60, 4560, 1000}),
        Control(lblModel, "lblModel", "Model:", {120, 300, 1200, 255}, 0, "fraDetails"),
        Control(txtModel, "txtModel", "", {1380, 270, 1500, 315}, 0, "fraDetails"),
        Control(lblSerialNumber, "lblSerialNumber", "A Serial Number Caption Far Too Long For Its Twips:",
                {120, 660, 1200, 255}, 0, "fraDetails"),
        Control(txtSerialNumber, "txtSerialNumber", "", {1380, 630, 1500, 315}, 8, "fraDetails"),
        Control(chkCompatibility, "chkCompatibility", "Program A Compatibility Far Too Long For Its Twips",
                {120, 1200, 1800, 255}),
        Control(cmbCompatibility, "cmbCompatibility", "", {1980, 1170, 2700, 315}),
    };
    BuildControls(&form, controls);
    form.resize(Twips(4800), Twips(1600));
    form.show();
    // The long captions pushed their boxes; the short one's box went with them.
    EXPECT_GT(txtSerialNumber->x(), Twips(1380));
    EXPECT_EQ(txtModel->x(), txtSerialNumber->x());
    EXPECT_GT(cmbCompatibility->x(), Twips(1980));
    EXPECT_EQ(fraDetails->geometry().right(), cmbCompatibility->geometry().right());
    // The form keeps its 8 px margin on the right.
    EXPECT_EQ(form.width(), cmbCompatibility->geometry().right() + 1 + 8);
}

TEST(WindowPlacement, EveryWindowOpensWhollyOnItsOwnersScreen)
{
    EXPECT_EQ(everyWindowOffenders(checkPlacement), "");
}

TEST(WindowPlacement, APleaseWaitBoxOpensOverTheWindowItWaitsFor)
{
    QWidget owner;
    owner.setGeometry(300, 150, 400, 300);
    owner.show();
    // Its centre, give or take the window frames.
    auto offCentre = [&owner] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == "KS_SYS_LoadingMessage" && window->isVisible())
                return (window->geometry().center() - QPoint(499, 299)).manhattanLength();
        return 1000;
    };
    ShowLoadMessage("Please wait...", &owner);
    EXPECT_LE(offCentre(), 4) << "owned";
    UnloadLoadMessage();
    QApplication::setActiveWindow(&owner);
    ShowLoadMessage("Please wait...");
    EXPECT_LE(offCentre(), 4) << "over the active window";
    UnloadLoadMessage();
    // A table window shown modally, with no window active (as a window system
    // may leave it while the window downloads).
    QWidget background;
    background.setGeometry(0, 0, 200, 100);
    background.show();
    owner.setWindowModality(Qt::ApplicationModal);
    owner.hide();
    owner.show();
    QApplication::setActiveWindow(nullptr);
    ShowLoadMessage("Please wait...");
    EXPECT_LE(offCentre(), 4) << "over the modal window";
    UnloadLoadMessage();
}
