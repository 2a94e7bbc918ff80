#pragma once
// Builds a window's controls from a table. Each row names the member pointer
// that receives the control, its objectName (the member's own name, so tests
// and the toolbar find it), a caption, the geometry in twips as the form was
// laid out, and a length: the maximum length of a line edit, the maximum of a
// spin box, ignored elsewhere. A text box has no caption: its caption is the
// longest text the form fills it with (a date read from a unit), which the box
// is made wide enough to show. The control's kind follows from the member's
// type:
//   QLabel label · QLineEdit text box · QComboBox drop-down list · QCheckBox ·
//   QRadioButton option button · QPushButton command button (never a default
//   button: Enter belongs to the form conventions) · QSpinBox up-down ·
//   QGroupBox frame · QDateEdit / QTimeEdit / QDateTimeEdit date-time picker ·
//   QProgressBar (hidden, no text) · QTreeWidget list view (report style, whole
//   rows) · QWidget picture box.
// A row with a parent name goes inside the earlier frame or picture box of that
// name, at coordinates relative to it. A label takes the next row's control as
// its buddy, so its access key moves the focus there.
//
//     const FormControl controls[] = {
//         Control(lblMessage, "lblMessage", "&Message Text:", {120, 120, 1500, 255}),
//         Control(txtMessage, "txtMessage", "", {1680, 90, 4200, 315}, 30),
//         Control(cmdOk, "cmdOk", "&Ok", {3360, 600, 1215, 375}),
//     };
//     BuildControls(this, controls);

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <functional>
#include <span>

class QToolBar;

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The longest a unit's weekday, date and time can read, for the boxes that show it.
inline constexpr const char* kLongestDeviceDateTime = "Wednesday, 09/30/26 12:00:00 AM";

// The longest text of a box that holds count digits (one to ten): a capcode or a serial number shows whole
// at any desktop font only when its box declares all of its digits.
constexpr const char* DigitsText(int count) { return &"0000000000"[10 - count]; }

struct FormControl {
    std::function<QWidget*(QWidget* parent)> make; // creates the control and fills the member
    const char* name = "";
    const char* caption = "";
    TwipsRect geometry;
    int length = 0;
    const char* parentName = nullptr;
};

// Creates a control of the member's type and stores it in the member when the table is built.
template <class Widget>
FormControl Control(Widget*& member, const char* name, const char* caption, TwipsRect geometry, int length = 0,
                    const char* parentName = nullptr)
{
    return FormControl{[&member](QWidget* parent) {
                           member = new Widget(parent);
                           return static_cast<QWidget*>(member);
                       },
                       name, caption, geometry, length, parentName};
}

// Creates every control of the table under form (or the frame it names), in
// order.
//
// The twips were laid out for a narrower font than the ones found here, so when
// form's window shows, and whenever it changes size or title, each label, check
// box, option button, command button and frame whose caption needs more room
// than it was given grows to its text, each drop-down list to its longest item,
// each text box to its declared longest text and each date or time picker to
// the widest its format shows, arrows and all; what stands to its right in
// the same row moves along, controls that started on one left edge stay on one,
// a frame whose right edge lined up with controls that moved keeps lining up,
// and the frame, picture box or client area holding it widens (the window
// follows its client area). A label that leaves runs of spaces for boxes laid
// over it widens the runs and centres the boxes in them. A control lying over
// one above it moves down clear of it, the holder deepening as it must and at
// least to take in every control. A control hidden for now (a progress bar, a
// service field, a value a read brings) is fitted as if shown, unless it stands
// where a shown control stands. Nothing shrinks, and controls placed by a
// layout are left to the layout. The window is then at least wide enough for
// its title in the desktop's font and a window manager's title-bar buttons (its
// client area widening where it has one), and a window with an owner opens
// wholly on its owner's screen.
void BuildControls(QWidget* form, std::span<const FormControl> table);

// The usual frame of a table window: the toolbar tlbMenu along the top and,
// under it, a client area of the given size in twips, which the controls'
// geometry is relative to. Returns the client area.
QWidget* BuildToolbarForm(QWidget* form, QToolBar*& tlbMenu, int widthTwips, int heightTwips);
