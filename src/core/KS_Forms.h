#pragma once
// Services every window uses: twips, focus, the hourglass, the loading window,
// key filters and the shared dialog conventions.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

class QWidget;
class QLineEdit;
class QPlainTextEdit;
class QDropEvent;
class QPushButton;
class QShortcutEvent;
class QMouseEvent;

// Form layouts are given in twips; 15 twips make one pixel.
constexpr int Twips(double twips) { return static_cast<int>(twips / 15.0 + 0.5); }
constexpr double PixelsToTwips(int pixels) { return pixels * 15.0; }

// Moves the focus only to a control that is visible and enabled. The window
// remembers that its program put the caret there, so a command that did so
// keeps it there (see FormConventions).
void SafeSetFocus(QWidget* control);
// Puts the caret back where a window's greying (a run, a batch) took it
// from, when that control can take it: no place of the program's choosing,
// so a command given from a box still gives the box its caret back.
void GiveCaretBack(QWidget* control);

// The screen's pointer: hourglass during long operations, arrow after.
void ShowBusyPointer();
void ShowNormalPointer();
bool BusyPointerShown();

// Moves a window wholly onto the screen owner stands on (its own without an
// owner), keeping its size; one larger than the screen keeps its top left
// corner on it.
void KeepOnScreenOf(QWidget* window, const QWidget* owner);

// The window the operator is working in: the topmost modal one, else the
// active one; never the please-wait window. Null when there is none.
QWidget* OperatorWindow();

// The modeless please-wait window, over the window it is shown for (the owner
// given, else the operator's window). A second call while it shows changes nothing;
// a process without a widget application shows none.
void ShowLoadMessage(std::string_view text, QWidget* parentForm = nullptr, int widthTwips = 0, int heightTwips = 0);
void UnloadLoadMessage();
bool LoadMessageShowing();
// Puts the please-wait window back on top of the window it waits for. A
// window manager that raises a modal window's owner when a message box over it
// closes (openbox does) would otherwise leave it behind that window, and the
// operator would see only a window that takes no clicks.
void RaiseLoadMessage();
QString LoadMessageText();

// The folder browser, opened on startFolder: the chosen folder's path, or "" when the operator cancels.
std::string BrowseForFolder(QWidget* owner, std::string_view title, std::string_view startFolder = {});

// Key filters: the key is returned to pass, 0 swallows it. Codes below 20 are
// control keys; they, Escape (27) and Delete (127) always pass.
int DigitsOnlyKey(int keyAscii);
int PhoneKeyFilter(int keyAscii);
// Reads the text and caret of the box that has the focus.
int DecimalKeyFilter(int keyAscii, bool allowMinus = false);
int DecimalKeyFilter(int keyAscii, const QString& boxText, int selectionStart, bool allowMinus);

// A password box: each character shows as "*", whatever mark the desktop's style draws.
void ShowAsPassword(QLineEdit* box);

// Whether the operator may use a window now. A window closes itself to the
// operator while it runs a batch or a conversation: disabled, or with every
// control that takes the focus switched off; a window that stays partly live
// meanwhile (the console leaves its message box live under a scheduled page)
// says so with its own check, which replaces the controls' test. F1 opens the help (ShowHelpTopics)
// in every window of the program that is open, and does nothing in one that is not.
void SetOpenToOperatorCheck(QWidget* window, std::function<bool()> isOpen);
bool OpenToOperator(QWidget* window);

// The dialog conventions of every form, installed once per form:
//  - Enter moves to the next control as Tab does (except in the controls named as exempt,
//    and in menus, where Return activates the highlighted item);
//  - a line edit selects its whole text when it gets the focus (except the boxes named);
//  - a line edit given a key filter passes each typed character through it, and
//    each character of a paste or a drop too, so it never holds one the filter refuses;
//    a paste or a drop is taken so before the box cuts it to the room it has left;
//  - a box takes no character that the data files' code page cannot hold (the
//    operator would find it stored and sent as "?"), and a box for one line (a
//    line edit, or a multi-line box whose Enter moves on) turns a control
//    character pasted or dropped into it into a space (a CR would end a command
//    on the line); what the program itself puts in a line edit stays as it is.
//  - a command button's click, however it is given (a toolbar button, its
//    access key, Return on a default button, Space, a click, the program's own
//    click()), finds the box being typed in left toward the button, as a mouse
//    press leaves it, its rule run and its question answered (LeaveRuleDue),
//    except a box kept as typed (KeepAsTypedForCommands); in an inactive
//    window the box is told it lost the focus, as it will once another control
//    takes it, and stays that window's caret. In the active window the caret
//    goes back to that box after a command given without the mouse unless the
//    command put it somewhere itself (SafeSetFocus): the greying of a run, or
//    a message box, moving it is no place the operator chose.
// The first form installed also makes F1 the program's help key (see above).
class FormConventions : public QObject {
public:
    using KeyFilter = std::function<int(int)>;

    static FormConventions* Install(QWidget* form, bool enterMovesOn = true);

    void SetKeyFilter(QLineEdit* box, KeyFilter filter);
    // The box's key filter, or nullptr when it has none.
    const KeyFilter* KeyFilterOf(const QObject* box) const;
    // Enter keeps its own meaning in this control (a multi-line message box, a button).
    void ExemptFromEnter(QWidget* control);
    // This box keeps its caret where the click put it instead of selecting its text.
    void ExemptFromSelectAll(QLineEdit* box);
    // A folder or file name goes to the file system, not into a data file: it takes any character.
    void TakesFileNames(QLineEdit* box);
    // A box whose leave rule must wait for the caret to settle (it asks the
    // operator, or puts the caret back) hands the rule here as it is left.
    // The rule runs once: from the event loop, or first thing when a command
    // of the window is given before that; the command then goes ahead, once,
    // only when the rule returns true (Yes to its question).
    void LeaveRuleDue(QWidget* box, std::function<bool()> rule);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FormConventions(QWidget* form, bool enterMovesOn);
    void watch(QObject* object);
    void guardText(QWidget* box);
    void leaveBoxForCommands(QWidget* button);
    QPushButton* commandButton(QObject* object) const;
    void leaveToward(QPushButton* button);
    bool settleLeave();
    bool commandStopped();
    bool accessKeyGiven(QPushButton* button, const QShortcutEvent* key);
    bool mousePressed(QPushButton* button, const QMouseEvent* press);
    void commandGiven(QPushButton* button);
    QLineEdit* guardedBox(QObject* object) const;
    void insertAsTyped(QLineEdit* box, const QString& text);
    bool takeDrop(QLineEdit* box, QDropEvent* drop);

    QWidget* form_;
    bool enterMovesOn_;
    QHash<QObject*, KeyFilter> filters_;
    QSet<QObject*> exempt_;
    QSet<QObject*> keepCaret_;
    QSet<QObject*> fileNames_;
    bool resendingDrop_ = false;
    QMetaObject::Connection caretBack_;
    struct PendingLeave {
        QPointer<QWidget> box;
        std::function<bool()> rule;
    };
    PendingLeave pendingLeave_;
};

// A box whose leave rule would make up a value a command's own checks are to
// name (an empty first pager becoming pager 001, a backward range becoming a
// range of one) is not left by a command while keepAsTyped says so.
void KeepAsTypedForCommands(QWidget* box, std::function<bool()> keepAsTyped);

// A multi-line box with a room, kept as a one-line box keeps its maximum
// length: a key that does not fit is refused; a paste or a drop takes, at the
// caret, what fits of it within its own undo step, and one of which nothing
// fits leaves no step at all; the text after the caret, the caret and the undo
// history stay. Only a smaller room (or a longer text the program sets) cuts
// the text's end.
class TextRoom : public QObject {
public:
    TextRoom(QPlainTextEdit* box, int room);

    int Room() const { return room_; }
    void SetRoom(int room);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepToRoom();

    QPlainTextEdit* box_;
    int room_;
    // The text as it last stood within the room, which tells what an edit brought in.
    QString accepted_;
};
