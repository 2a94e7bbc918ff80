#pragma once
// Disabling a window in Qt disables the windows it owns as well, so a window
// that stays disabled behind its own dialog disables its contents instead:
// every child control, but no child window.

class QWidget;

void SetFormContentsEnabled(QWidget* form, bool enabled);
