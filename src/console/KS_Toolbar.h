#pragma once
// The toolbar images and the toolbars that repeat a window's command buttons.
//
// Every toolbar takes its images from one source, by the image names "Close",
// "Update", "Upload", "Download", "Add", "Save", "Open", "Ok", "Cancel",
// "Clear", "Delete" and "Search" (an unknown name gives an empty icon). A toolbar
// button is keyed by the objectName of the command button it repeats:
// clicking it clicks that button, and it is enabled exactly while the button
// is. A key that names no button of the window gives a button that does
// nothing.
//
// A toolbar button takes no focus; the command button's click leaves the box
// being typed in, as every other way of giving the command does
// (FormConventions).

#include <QIcon>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class QAction;
class QToolBar;
class QWidget;

QIcon ToolbarImage(std::string_view imageName);

struct ToolbarButton {
    const char* key;     // the command button's name
    const char* caption;
    std::string toolTip;
    const char* image;
};

// Fills the toolbar with one action per entry (objectName = key), in order.
void BuildCommandToolbar(QToolBar* toolbar, QWidget* form, std::span<const ToolbarButton> buttons);

// The toolbar of an edit dialog: Ok and Cancel, repeating cmdOk and cmdCancel.
void BuildOkCancelToolbar(QToolBar* toolbar, QWidget* form);

// The toolbar's action for a key; nullptr when there is none.
QAction* ToolbarAction(QToolBar* toolbar, std::string_view key);
