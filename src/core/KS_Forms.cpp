#include "KS_Forms.h"

#include <algorithm>
#include <QAction>
#include <QApplication>
#include <QAbstractSpinBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QProxyStyle>
#include <QScreen>
#include <QShortcutEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>
#include <QWidget>

#include "KS_Events.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_String.h"

namespace {
// Counts the places the program put the caret; each window keeps the count of
// its last one, so a command can tell whether it placed the caret itself.
constexpr const char* kCaretPlaced = "caretPlacedByProgram";
qulonglong caretPlacements = 0;
} // namespace

void SafeSetFocus(QWidget* control)
{
    if (control && control->isVisible() && control->isEnabled()) {
        control->setFocus(Qt::OtherFocusReason);
        control->window()->setProperty(kCaretPlaced, ++caretPlacements);
    }
}

void GiveCaretBack(QWidget* control)
{
    if (control && control->isVisible() && control->isEnabled())
        control->setFocus(Qt::OtherFocusReason);
}

namespace {
bool busyPointer = false;
} // namespace

void ShowBusyPointer()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    busyPointer = true;
}

void ShowNormalPointer()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    busyPointer = false;
}

bool BusyPointerShown() { return busyPointer; }

void KeepOnScreenOf(QWidget* window, const QWidget* owner)
{
    const QScreen* screen = owner && owner->screen() ? owner->screen() : window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const int left = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int top = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    if (left != frame.left() || top != frame.top())
        window->move(window->pos() + QPoint(left - frame.left(), top - frame.top()));
}

// ---- The loading window ----------------------------------------------------

namespace {

class KS_SYS_LoadingMessage : public QWidget {
public:
    explicit KS_SYS_LoadingMessage(QWidget* owner)
        : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    {
        setObjectName("KS_SYS_LoadingMessage");
        setWindowTitle(ToQString(gAppName));
        setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        lblMessage = new QLabel(this);
        lblMessage->setObjectName("lblMessage");
        lblMessage->setAlignment(Qt::AlignCenter);
        lblMessage->setWordWrap(true);
        layout->addWidget(lblMessage);
        resize(Twips(4500), Twips(1200));
    }
    QLabel* lblMessage = nullptr;
};

QPointer<KS_SYS_LoadingMessage> loadingWindow;

} // namespace

QWidget* OperatorWindow()
{
    // The modal window comes first: a window system may leave no window
    // active, or activate the please-wait window itself, while a table window
    // downloads; the table window is still the one the operator waits on.
    for (QWidget* candidate : {QApplication::activeModalWidget(), QApplication::activeWindow()})
        if (candidate && candidate != loadingWindow.data())
            return candidate;
    return nullptr;
}

void ShowLoadMessage(std::string_view text, QWidget* parentForm, int widthTwips, int heightTwips)
{
    // Without a window system (the link and file routines run headless in the
    // fuzz targets) there is no one to ask to wait, as with the pointer above.
    if (loadingWindow || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    // Owned by the window it waits for, so that a window manager keeps it
    // above that window; a message box over the same window raises it again
    // when it closes (RaiseLoadMessage).
    QWidget* over = parentForm ? parentForm->window() : OperatorWindow();
    loadingWindow = new KS_SYS_LoadingMessage(over);
    ShowBusyPointer();
    if (widthTwips > 0)
        loadingWindow->resize(Twips(widthTwips), loadingWindow->height());
    if (heightTwips > 0)
        loadingWindow->resize(loadingWindow->width(), Twips(heightTwips));
    loadingWindow->lblMessage->setText(ToQString(text));
    // Left to the window system it opens in a corner of the screen, away from what the operator waits for.
    const QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    if (over || screen) {
        const QRect area = over ? over->frameGeometry() : screen->availableGeometry();
        loadingWindow->move(area.center() - loadingWindow->rect().center());
        KeepOnScreenOf(loadingWindow, over);
    }
    DoEvents();
    loadingWindow->show();
}

void UnloadLoadMessage()
{
    if (!loadingWindow)
        return;
    loadingWindow->close();
    loadingWindow = nullptr;
    ShowNormalPointer();
    DoEvents();
}

void RaiseLoadMessage()
{
    if (loadingWindow && loadingWindow->isVisible())
        loadingWindow->raise();
}

bool LoadMessageShowing() { return !loadingWindow.isNull(); }
QString LoadMessageText() { return loadingWindow ? loadingWindow->lblMessage->text() : QString(); }

std::string BrowseForFolder(QWidget* owner, std::string_view title, std::string_view startFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(owner, ToQString(title), PathToQString(startFolder),
                                                             QFileDialog::ShowDirsOnly);
    return PathFromQString(folder);
}

// ---- Key filters -------------------------------------------------------------

namespace {

// Keys that are no characters of the box: Backspace, Enter and the other
// control keys, Escape, which must still close the dialog from a number box,
// and Delete, whose key event carries DEL as its text.
constexpr int kEscapeKey = 27;
constexpr int kDeleteKey = 127;
bool passesAsControlKey(int keyAscii) { return keyAscii < 20 || keyAscii == kEscapeKey || keyAscii == kDeleteKey; }

// A paste or a drop goes through a box's key filter one character at a time,
// as if typed; the decimal filter then reads the text as it stands with the
// characters taken so far, not the box's text from before the paste.
struct TextBeingTyped {
    const QString& text;
    int caret = 0;
};
const TextBeingTyped* textBeingTyped = nullptr;

} // namespace

int DigitsOnlyKey(int keyAscii)
{
    if ((keyAscii >= '0' && keyAscii <= '9') || passesAsControlKey(keyAscii))
        return keyAscii;
    return 0;
}

int PhoneKeyFilter(int keyAscii)
{
    if ((keyAscii >= '0' && keyAscii <= '9') || passesAsControlKey(keyAscii))
        return keyAscii;
    switch (keyAscii) {
    case '(':
    case ')':
    case '-':
    case ' ':
        return keyAscii;
    default:
        return 0;
    }
}

int DecimalKeyFilter(int keyAscii, const QString& boxText, int selectionStart, bool allowMinus)
{
    if ((keyAscii >= '0' && keyAscii <= '9') || passesAsControlKey(keyAscii))
        return keyAscii;
    if (keyAscii == '.')
        return boxText.contains(QLatin1Char('.')) ? 0 : keyAscii;
    if (keyAscii == '-' && allowMinus && selectionStart == 0 && !boxText.contains(QLatin1Char('-')))
        return keyAscii;
    return 0;
}

int DecimalKeyFilter(int keyAscii, bool allowMinus)
{
    if (textBeingTyped)
        return DecimalKeyFilter(keyAscii, textBeingTyped->text, textBeingTyped->caret, allowMinus);
    auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    const QString text = box ? box->text() : QString();
    const int start = box ? (box->hasSelectedText() ? box->selectionStart() : box->cursorPosition()) : 0;
    return DecimalKeyFilter(keyAscii, text, start, allowMinus);
}

// ---- Password boxes ----------------------------------------------------------

namespace {

class StarPasswordStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void ShowAsPassword(QLineEdit* box)
{
    // A style of the program's own kind for this box alone, so the box looks like its neighbours.
    auto* style = new StarPasswordStyle(QApplication::style()->name());
    style->setParent(box);
    box->setStyle(style);
    box->setEchoMode(QLineEdit::Password);
}

// ---- The help key ------------------------------------------------------------

namespace {

constexpr const char* kOpenCheckName = "OpenToOperatorCheck";

class OpenToOperatorCheck : public QObject {
public:
    using QObject::QObject;
    std::function<bool()> isOpen;
};

bool anyControlLive(QWidget* window)
{
    for (QWidget* control : window->findChildren<QWidget*>())
        if (control->window() == window && control->focusPolicy() != Qt::NoFocus && control->isEnabled()
            && control->isVisibleTo(window))
            return true;
    return false;
}

class HelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        // A menu or a list that drops down is no window to work in; its owner's keys are its own.
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (window->windowType() == Qt::Popup)
            return false;
        if (!key->isAutoRepeat() && OpenToOperator(window))
            ShowHelpTopics();
        return true;
    }
};

void installHelpKey()
{
    static QPointer<HelpKey> helpKey;
    if (helpKey || !QCoreApplication::instance())
        return;
    helpKey = new HelpKey(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(helpKey);
}

} // namespace

void SetOpenToOperatorCheck(QWidget* window, std::function<bool()> isOpen)
{
    auto* check = dynamic_cast<OpenToOperatorCheck*>(
        window->findChild<QObject*>(kOpenCheckName, Qt::FindDirectChildrenOnly));
    if (!check) {
        check = new OpenToOperatorCheck(window);
        check->setObjectName(kOpenCheckName);
    }
    check->isOpen = std::move(isOpen);
}

bool OpenToOperator(QWidget* window)
{
    if (!window->isEnabled())
        return false;
    const auto* check = dynamic_cast<OpenToOperatorCheck*>(
        window->findChild<QObject*>(kOpenCheckName, Qt::FindDirectChildrenOnly));
    return check && check->isOpen ? check->isOpen() : anyControlLive(window);
}

// ---- What a box takes ----------------------------------------------------------

namespace {

// Takes part of what the operator brings into a one-line box as if it were
// typed between before and after, appending it to taken: a line break (CR LF
// or any pair of CR and LF counts as one) and any other control character
// become a space, and each character then passes the box's key filter, which
// sees the text as it stands with the characters taken so far.
void takeAsTyped(QStringView part, const QString& before, QString& taken, const QString& after,
                 const FormConventions::KeyFilter* filter, qsizetype room)
{
    // What the filter sees, kept up as characters are taken, so a long paste
    // costs as much as its text and no more; it ends once the box is full.
    QString text = filter ? before + taken + after : QString();
    qsizetype at = before.size() + taken.size();
    for (const QChar original : ReplaceLineBreaks(part, u" ")) {
        if (taken.size() >= room)
            return;
        const QChar ch = IsControlChar(original.unicode()) ? QChar(u' ') : original;
        if (!InCodePage(ch))
            continue;
        if (filter) {
            const TextBeingTyped typed{text, static_cast<int>(at)};
            textBeingTyped = &typed;
            const int passed = (*filter)(ch.unicode());
            textBeingTyped = nullptr;
            if (passed == 0)
                continue;
            text.insert(at, ch);
        }
        taken += ch;
        ++at;
    }
}

// Where an edit changed a text: the characters it left before its change
// (head), and where what it brought in ends in the new text (end).
struct EditedSpan {
    qsizetype head = 0;
    qsizetype end = 0;
};
EditedSpan editedSpan(const QString& now, const QString& before)
{
    const qsizetype common = std::min(now.size(), before.size());
    qsizetype head = 0;
    while (head < common && now.at(head) == before.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < common - head && now.at(now.size() - 1 - tail) == before.at(before.size() - 1 - tail))
        ++tail;
    return {head, now.size() - tail};
}

// The characters a box has room for beside what it keeps of its text.
qsizetype roomBeside(const QLineEdit* box, const QString& before, const QString& after)
{
    return std::max<qsizetype>(0, box->maxLength() - before.size() - after.size());
}

// Watches what the operator puts into a one-line box. Text the program sets
// (a record's field, a unit's answer) is taken as it is: only the part an edit
// of the operator's brings in is looked at, found between what it left of the
// text before it and after it, and taken as if it were typed, so an undo
// brings in nothing a key press could not. A paste or a drop is taken so
// before it reaches the box (FormConventions::insertAsTyped), since the box
// cuts it to its room first; this catches whatever way still gets past that.
class OperatorText : public QValidator {
public:
    OperatorText(QLineEdit* box, const FormConventions* conventions)
        : QValidator(box)
        , box_(box)
        , conventions_(conventions)
        , accepted_(box->text())
    {
    }

    State validate(QString& input, int& pos) const override
    {
        if (box_->isModified()) {
            const auto [head, end] = editedSpan(input, accepted_);
            const FormConventions::KeyFilter* filter = conventions_ ? conventions_->KeyFilterOf(box_) : nullptr;
            const QString before = input.left(head);
            const QString after = input.mid(end);
            QString taken;
            // The part before the caret and the part after it, so the caret
            // stays behind what was taken of the first.
            const qsizetype caret = std::clamp<qsizetype>(pos, head, end);
            const qsizetype room = roomBeside(box_, before, after);
            takeAsTyped(QStringView(input).mid(head, caret - head), before, taken, after, filter, room);
            const qsizetype takenBeforeCaret = taken.size();
            takeAsTyped(QStringView(input).mid(caret, end - caret), before, taken, after, filter, room);
            // Nothing of it taken: the edit does not happen at all, so a
            // refused key over a selection leaves the selection as it was.
            if (taken.isEmpty() && end > head)
                return Invalid;
            input = before + taken + after;
            if (pos >= end)
                pos += static_cast<int>(taken.size() - (end - head));
            else if (pos > head)
                pos = static_cast<int>(head + takenBeforeCaret);
        }
        accepted_ = input;
        return Acceptable;
    }

    const FormConventions* conventions() const { return conventions_; }

private:
    QLineEdit* box_;
    QPointer<const FormConventions> conventions_;
    mutable QString accepted_;
};

constexpr const char* kTextGuarded = "textGuarded";
constexpr const char* kKeepsLineBreaks = "keepsLineBreaks";

// A multi-line box takes no character the code page cannot hold either. One
// whose Enter makes a new line keeps its line breaks (the page text turns them
// into spaces when it goes out); in one whose Enter moves on, as in a one-line
// box, a control character becomes a space.
bool keptAsTyped(QChar ch, bool oneLine) { return InCodePage(ch) && !(oneLine && IsControlChar(ch.unicode())); }

void tidyText(QPlainTextEdit* box)
{
    const bool oneLine = !box->property(kKeepsLineBreaks).toBool();
    const QString text = box->document()->toPlainText();
    const auto refused = [](QChar ch) { return !InCodePage(ch); };
    // A break of two characters (CR LF, say) arrives as two new lines; it is one, as in a line edit.
    const auto lineBreak = [](QChar ch) { return ch == u'\n' || ch == u'\r'; };
    QTextCursor cursor(box->document());
    bool editing = false;
    for (qsizetype end = text.size(); end > 0;) {
        const QChar ch = text.at(end - 1);
        if (keptAsTyped(ch, oneLine)) {
            --end;
            continue;
        }
        const bool blank = oneLine && IsControlChar(ch.unicode());
        qsizetype start = end - 1;
        if (blank && lineBreak(ch) && start > 0 && lineBreak(text.at(start - 1)))
            --start;
        while (!blank && start > 0 && refused(text.at(start - 1)))
            --start;
        // One step with the edit that brought it, so that Undo takes both back.
        if (!editing) {
            cursor.joinPreviousEditBlock();
            editing = true;
        }
        cursor.setPosition(static_cast<int>(start));
        cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
        cursor.insertText(blank ? QStringLiteral(" ") : QString());
        end = start;
    }
    if (editing)
        cursor.endEditBlock();
}

// Whether the box's filter is still to take out (or blank) part of its text:
// it does so within the same edit, and what counts against a room is what it keeps.
bool awaitsTidying(const QPlainTextEdit* box)
{
    if (!box->property(kTextGuarded).toBool())
        return false;
    const bool oneLine = !box->property(kKeepsLineBreaks).toBool();
    const QString text = box->toPlainText();
    return !std::all_of(text.begin(), text.end(), [oneLine](QChar ch) { return keptAsTyped(ch, oneLine); });
}

// Whether a key puts its text into a multi-line box, as the box itself
// decides it: a format character (a soft hyphen) goes in as well as a
// printable one, and a key held with Ctrl alone puts nothing in.
bool keyInsertsText(const QKeyEvent* key)
{
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    const QChar first = text.at(0);
    if (first.category() == QChar::Other_Format)
        return true;
    const auto modifiers = key->modifiers();
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    return first.isPrint() || first.category() == QChar::Other_PrivateUse || first == u'\t'
        || (first.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
}

// A key held with Alt (and not Ctrl) that would put text into a box.
bool altKeyForABox(const QObject* watched, const QKeyEvent* key)
{
    const auto modifiers = key->modifiers();
    if (!(modifiers & Qt::AltModifier) || (modifiers & Qt::ControlModifier) || key->text().isEmpty())
        return false;
    return qobject_cast<const QLineEdit*>(watched) || qobject_cast<const QPlainTextEdit*>(watched)
        || qobject_cast<const QAbstractSpinBox*>(watched)
        || (qobject_cast<const QComboBox*>(watched) && static_cast<const QComboBox*>(watched)->isEditable());
}

} // namespace

void FormConventions::guardText(QWidget* box)
{
    if (box->window() != form_->window() || box->property(kTextGuarded).toBool() || fileNames_.contains(box))
        return;
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        // A spin box's or a date's own box has its own rules.
        if (line->validator())
            return;
        line->setValidator(new OperatorText(line, this));
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(box)) {
        connect(text, &QPlainTextEdit::textChanged, this, [text] { tidyText(text); });
    } else {
        return;
    }
    box->setProperty(kTextGuarded, true);
}

void FormConventions::TakesFileNames(QLineEdit* box)
{
    fileNames_.insert(box);
    if (dynamic_cast<const OperatorText*>(box->validator()))
        box->setValidator(nullptr);
    box->setProperty(kTextGuarded, false);
}

// A one-line box of this form's that takes what the operator brings in as typed keys.
QLineEdit* FormConventions::guardedBox(QObject* object) const
{
    auto* box = qobject_cast<QLineEdit*>(object);
    if (!box || box->isReadOnly())
        return nullptr;
    const auto* guard = dynamic_cast<const OperatorText*>(box->validator());
    return guard && guard->conventions() == this ? box : nullptr;
}

// A paste: taken as typed keys first, so the box's cut to its room keeps what
// it would have kept of the same keys typed, not the first characters of the
// raw text (a capcode pasted with blanks in it would lose its last digits).
void FormConventions::insertAsTyped(QLineEdit* box, const QString& text)
{
    const QString current = box->text();
    const int start = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
    const int end = box->hasSelectedText() ? box->selectionEnd() : start;
    QString taken;
    const QString before = current.left(start);
    const QString after = current.mid(end);
    takeAsTyped(text, before, taken, after, KeyFilterOf(box), roomBeside(box, before, after));
    // Nothing of it taken leaves the box, selection and all, as it was.
    if (taken.isEmpty())
        return;
    // A step of its own for Undo, as the box's own paste makes it: the box
    // starts a new step when its caret moves (or a selection goes), so the
    // caret goes away and back on either side of it.
    const auto newUndoStep = [box] {
        if (box->hasSelectedText() || box->text().isEmpty())
            return;
        const int caret = box->cursorPosition();
        box->setCursorPosition(caret == 0 ? 1 : 0);
        box->setCursorPosition(caret);
    };
    newUndoStep();
    box->insert(taken);
    newUndoStep();
}

// A drop from elsewhere reaches the box as the text it takes of it; a drag
// within the box moves its own text, taken already.
bool FormConventions::takeDrop(QLineEdit* box, QDropEvent* drop)
{
    if (resendingDrop_ || drop->source() == box || !drop->mimeData()->hasText())
        return false;
    const int at = box->cursorPositionAt(drop->position().toPoint());
    const QString current = box->text();
    QString taken;
    const QString before = current.left(at);
    const QString after = current.mid(at);
    takeAsTyped(drop->mimeData()->text(), before, taken, after, KeyFilterOf(box), roomBeside(box, before, after));
    if (taken.isEmpty()) {
        drop->ignore();
        return true;
    }
    QMimeData text;
    text.setText(taken);
    QDropEvent takenDrop(drop->position(), drop->possibleActions(), &text, drop->buttons(), drop->modifiers());
    resendingDrop_ = true;
    QApplication::sendEvent(box, &takenDrop);
    resendingDrop_ = false;
    drop->setDropAction(takenDrop.dropAction());
    drop->setAccepted(takenDrop.isAccepted());
    return true;
}

// ---- Commands find the box left ------------------------------------------------

namespace {

constexpr const char* kKeepAsTypedName = "KeepAsTypedForCommands";
constexpr const char* kLeavesBoxForCommands = "leavesBoxForCommands";

class KeepAsTyped : public QObject {
public:
    using QObject::QObject;
    std::function<bool()> holds;
};

KeepAsTyped* keepOf(const QWidget* box)
{
    return dynamic_cast<KeepAsTyped*>(box->findChild<QObject*>(kKeepAsTypedName, Qt::FindDirectChildrenOnly));
}

bool keptAsTyped(const QWidget* box)
{
    const KeepAsTyped* keep = keepOf(box);
    return keep && keep->holds && keep->holds();
}

} // namespace

void KeepAsTypedForCommands(QWidget* box, std::function<bool()> keepAsTyped)
{
    KeepAsTyped* keep = keepOf(box);
    if (!keep) {
        keep = new KeepAsTyped(box);
        keep->setObjectName(kKeepAsTypedName);
    }
    keep->holds = std::move(keepAsTyped);
}

// A command reaches its button one of three ways, and each finds the box
// being typed in left toward the button, as a mouse press leaves it (a box's
// rule that asks where the caret went sees the command's button):
//  - a mouse press: Qt has moved the caret to the button before the press arrives;
//  - an access key: its Shortcut event on the button, before the button shows
//    itself pressed and clicks 100 ms later;
//  - every other way (Return on a default button, the toolbar, the program's
//    own click()) emits pressed before clicked, and is left there.
// A rule that waits for the caret to settle (LeaveRuleDue) then runs before
// the command, which goes ahead once, after the rule's question, on its word.
void FormConventions::leaveBoxForCommands(QWidget* widget)
{
    auto* button = qobject_cast<QPushButton*>(widget);
    if (!button || button->window() != form_->window() || button->property(kLeavesBoxForCommands).toBool())
        return;
    button->setProperty(kLeavesBoxForCommands, true);
    connect(button, &QAbstractButton::pressed, this, [this, button] { commandGiven(button); });
}

QPushButton* FormConventions::commandButton(QObject* object) const
{
    auto* button = qobject_cast<QPushButton*>(object);
    return button && button->property(kLeavesBoxForCommands).toBool() ? button : nullptr;
}

void FormConventions::leaveToward(QPushButton* button)
{
    QWidget* window = button->window();
    QWidget* box = window->focusWidget();
    if (!box || box == button || keptAsTyped(box))
        return;
    if (!box->hasFocus()) {
        // An inactive window: no focus to take. The button stands as the
        // window's caret while the box is told it lost it, then the box has
        // it back, unless its rule put it somewhere.
        button->setFocus(Qt::OtherFocusReason);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
        if (window->focusWidget() == button)
            box->setFocus(Qt::OtherFocusReason);
        return;
    }
    // Counted before the box is left: a rule that puts the caret back into
    // its box (a refusal) has placed it as much as the command would.
    const QVariant placedBefore = window->property(kCaretPlaced);
    button->setFocus(Qt::ShortcutFocusReason);
    if (!button->hasFocus())
        box->clearFocus();
    disconnect(caretBack_);
    // Connected now, after the window's own handler: it runs once that has.
    caretBack_ = connect(
        button, &QAbstractButton::clicked, this,
        [box = QPointer<QWidget>(box), placedBefore] {
            // A window a message box left inactive has it as its caret once it is active again.
            if (box && box->isVisible() && box->isEnabled() && box->window()->property(kCaretPlaced) == placedBefore)
                box->setFocus(Qt::TabFocusReason);
        },
        Qt::SingleShotConnection);
}

void FormConventions::LeaveRuleDue(QWidget* box, std::function<bool()> rule)
{
    pendingLeave_ = {QPointer<QWidget>(box), std::move(rule)};
    QTimer::singleShot(0, this, [this] { settleLeave(); });
}

bool FormConventions::settleLeave()
{
    if (!pendingLeave_.rule)
        return true;
    PendingLeave due = std::exchange(pendingLeave_, {});
    return !due.box || due.rule();
}

// A command the box's rule refused goes no further: its button gives no
// click, and the caret stays where the rule put it.
bool FormConventions::commandStopped()
{
    if (settleLeave())
        return false;
    disconnect(caretBack_);
    return true;
}

bool FormConventions::accessKeyGiven(QPushButton* button, const QShortcutEvent* key)
{
    if (key->isAmbiguous() || !button->isEnabled())
        return false;
    leaveToward(button);
    return commandStopped();
}

bool FormConventions::mousePressed(QPushButton* button, const QMouseEvent* press)
{
    if (press->button() != Qt::LeftButton || !pendingLeave_.rule)
        return false;
    const std::uint64_t boxesBefore = MessageBoxesShown();
    if (commandStopped())
        return true;
    // The rule asked the operator while the button was held: its release
    // went to the box, and the click is given now that the answer is in.
    if (MessageBoxesShown() != boxesBefore) {
        if (button->isEnabled() && button->isVisible())
            button->click();
        return true;
    }
    return false;
}

void FormConventions::commandGiven(QPushButton* button)
{
    leaveToward(button);
    if (!commandStopped())
        return;
    // A click under way (the toolbar's, the program's) cannot be taken back:
    // its clicked is held until it is over.
    button->blockSignals(true);
    QTimer::singleShot(0, button, [button] { button->blockSignals(false); });
}

// ---- Dialog conventions --------------------------------------------------------

FormConventions::FormConventions(QWidget* form, bool enterMovesOn)
    : QObject(form)
    , form_(form)
    , enterMovesOn_(enterMovesOn)
{
}

FormConventions* FormConventions::Install(QWidget* form, bool enterMovesOn)
{
    installHelpKey();
    auto* conventions = new FormConventions(form, enterMovesOn);
    conventions->watch(form);
    for (QWidget* child : form->findChildren<QWidget*>()) {
        conventions->watch(child);
        conventions->guardText(child);
        conventions->leaveBoxForCommands(child);
    }
    return conventions;
}

void FormConventions::watch(QObject* object) { object->installEventFilter(this); }

void FormConventions::SetKeyFilter(QLineEdit* box, KeyFilter filter)
{
    watch(box);
    filters_.insert(box, std::move(filter));
}

const FormConventions::KeyFilter* FormConventions::KeyFilterOf(const QObject* box) const
{
    const auto found = filters_.constFind(const_cast<QObject*>(box));
    return found == filters_.constEnd() ? nullptr : &found.value();
}

void FormConventions::ExemptFromEnter(QWidget* control)
{
    exempt_.insert(control);
    control->setProperty(kKeepsLineBreaks, true);
}

void FormConventions::ExemptFromSelectAll(QLineEdit* box) { keepCaret_.insert(box); }

bool FormConventions::eventFilter(QObject* watched, QEvent* event)
{
    // A dialog this form owns is a form of its own: its conventions, exemptions included, are its own.
    if (event->type() != QEvent::ChildAdded && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() != form_->window())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ChildAdded: {
        auto* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType())
            watch(child);
        break;
    }
    case QEvent::Polish:
        // A box or a button built after the form's conventions were installed.
        guardText(static_cast<QWidget*>(watched));
        leaveBoxForCommands(static_cast<QWidget*>(watched));
        break;
    case QEvent::FocusIn:
        // The box's own context menu gives the focus back once its Paste or
        // Cut is done: selecting all then would let the next key wipe out
        // what was just pasted.
        if (auto* box = qobject_cast<QLineEdit*>(watched); box && !keepCaret_.contains(box)
            && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            // After the click that gave the focus has placed the caret.
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        // A key held with Alt is meant for a menu or an access key, whether
        // or not one takes it (a menu greyed under a scheduled page does not):
        // its letter would otherwise go out with the next page. AltGr, which
        // some desktops report as Ctrl and Alt together, still types.
        if (altKeyForABox(watched, key))
            return true;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool inMenu = qobject_cast<QMenu*>(watched) || qobject_cast<QMenuBar*>(watched);
        if (enter && enterMovesOn_ && !inMenu && watched->isWidgetType() && !exempt_.contains(watched)) {
            auto* widget = static_cast<QWidget*>(watched);
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(widget, &tab);
            return true;
        }
        const auto filter = filters_.constFind(watched);
        if (filter != filters_.constEnd() && key->text().size() == 1) {
            const int code = key->text().at(0).unicode();
            if ((*filter)(code) == 0)
                return true;
        }
        // Shift+Insert, and Ctrl+V where the key filter lets it by.
        if (auto* box = guardedBox(watched); box && key->matches(QKeySequence::Paste)) {
            // Ctrl+Shift+Insert pastes the selection where the desktop's keys say so.
            const bool selection = key->key() == Qt::Key_Insert
                && key->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
            insertAsTyped(box, QGuiApplication::clipboard()->text(selection ? QClipboard::Selection
                                                                            : QClipboard::Clipboard));
            return true;
        }
        break;
    }
    case QEvent::ContextMenu:
        // The box's own menu, with its Paste taking the text as typed keys.
        if (auto* box = guardedBox(watched); box && box->contextMenuPolicy() == Qt::DefaultContextMenu) {
            QMenu* menu = box->createStandardContextMenu();
            // Its Paste is the item wired to the box's paste, whatever its text in the desktop's language.
            // Qt 6.4 wires it by name, so the disconnect by name is what finds it there.
            for (QAction* item : menu->actions())
                if (disconnect(item, &QAction::triggered, box, &QLineEdit::paste)
                    || disconnect(item, SIGNAL(triggered()), box, SLOT(paste())))
                    connect(item, &QAction::triggered, box,
                            [this, box] { insertAsTyped(box, QGuiApplication::clipboard()->text()); });
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        break;
    case QEvent::Drop:
        if (auto* box = guardedBox(watched); box && takeDrop(box, static_cast<QDropEvent*>(event)))
            return true;
        break;
    case QEvent::Shortcut:
        if (auto* button = commandButton(watched))
            return accessKeyGiven(button, static_cast<QShortcutEvent*>(event));
        break;
    case QEvent::MouseButtonPress:
        if (auto* button = commandButton(watched); button && mousePressed(button, static_cast<QMouseEvent*>(event)))
            return true;
        break;
    case QEvent::MouseButtonRelease:
        // The middle button pastes the selection where the desktop has one.
        if (auto* box = guardedBox(watched); box && static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton
            && QGuiApplication::clipboard()->supportsSelection()) {
            box->deselect();
            insertAsTyped(box, QGuiApplication::clipboard()->text(QClipboard::Selection));
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// ---- A multi-line box's room ------------------------------------------------------

TextRoom::TextRoom(QPlainTextEdit* box, int room)
    : QObject(box)
    , box_(box)
    , room_(room)
{
    box->installEventFilter(this);
    connect(box, &QPlainTextEdit::textChanged, this, &TextRoom::keepToRoom);
    keepToRoom();
}

void TextRoom::SetRoom(int room)
{
    room_ = room;
    keepToRoom();
}

bool TextRoom::eventFilter(QObject* watched, QEvent* event)
{
    // A typed character joins the typing before it in one undo step, which
    // taking it back would take back whole: it is refused before it goes in.
    // Anything else that does not fit (a line break, a paste) is taken back
    // once it is in.
    if (watched == box_ && event->type() == QEvent::KeyPress && !box_->isReadOnly()) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const QString typed = key->text();
        if (keyInsertsText(key)) {
            const QTextCursor caret = box_->textCursor();
            const int length = box_->document()->characterCount() - 1;
            if (length - (caret.selectionEnd() - caret.selectionStart()) + typed.size() > room_)
                return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TextRoom::keepToRoom()
{
    // The filter's own change of this edit calls here again with what it kept.
    if (awaitsTidying(box_))
        return;
    const QString text = box_->toPlainText();
    const qsizetype excess = text.size() - room_;
    if (excess <= 0) {
        accepted_ = text;
        return;
    }
    // What the edit brought in lies between what it left of the text before and after it.
    const QString before = accepted_;
    const auto [head, end] = editedSpan(text, before);
    QTextCursor cursor(box_->document());
    if (end - head > excess) {
        // The part past the room goes with the edit that brought it: one undo takes back the rest.
        cursor.joinPreviousEditBlock();
        cursor.setPosition(static_cast<int>(end - excess));
        cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.endEditBlock();
        return;
    }
    if (end > head && box_->document()->isUndoAvailable()) {
        // Nothing of it fits (a box full to its room): the edit is taken back
        // as if it never was, the caret where it stood, nothing left to redo.
        box_->undo();
        if (box_->toPlainText() != before) {
            // The step held more than this edit: it is put back, and only the edit's part goes.
            box_->redo();
            if (box_->toPlainText() == text) {
                cursor.joinPreviousEditBlock();
                cursor.setPosition(static_cast<int>(head));
                cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
                cursor.endEditBlock();
            }
        }
        return;
    }
    // A smaller room, or a text the program set: its end goes.
    cursor.movePosition(QTextCursor::End);
    cursor.setPosition(room_, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
