#pragma once
// Disabling a window in Qt disables the windows it owns as well, so a window
// that stays disabled behind its own dialog disables its contents instead:
// every child control, but no child window.

class QWidget;

// Greying a window's controls takes the caret from it; when they come back
// it goes back where it was, as no place of the program's choosing (a
// command given from a box still gives the box its caret back).
void SetFormContentsEnabled(QWidget* form, bool enabled);

// The same for a window that greys its controls its own way: where the caret
// is before they go grey, and back there once they are live again.
void KeepCaretWhileGrey(QWidget* form);
void GiveCaretBackAfterGrey(QWidget* form);
