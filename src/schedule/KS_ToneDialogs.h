#pragma once
// Small pieces the tone event dialogs share.

#include <QSpinBox>
#include <algorithm>
#include <initializer_list>

// A value typed into a box beside a spinner, kept within the spinner's range.
inline int ClampToSpinner(double value, const QSpinBox* spinner)
{
    return static_cast<int>(
        std::clamp(value, static_cast<double>(spinner->minimum()), static_cast<double>(spinner->maximum())));
}

// One enabling rule for a group of controls (a label with its list or boxes).
inline void EnableControls(std::initializer_list<QWidget*> controls, bool on)
{
    for (QWidget* control : controls)
        control->setEnabled(on);
}
