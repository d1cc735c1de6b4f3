#pragma once

#include <functional>
#include <QString>

class QWidget;

namespace veltrane {

// The shell's alerts, shown as sheets (window-modal) on `window`, headline `title`, explanatory
// text `msg` shown as it is. Button codes: 1 the default button, 0 the alternate, -1 the other;
// an empty title leaves that button out. Main thread.

// Returns at once; `didEnd` receives the button code when the user answers.
void criticalAlertPanel(QWidget* window, const QString& title, const QString& msg,
                        const QString& defaultButton, const QString& alternateButton,
                        const QString& otherButton, std::function<void(int)> didEnd);

// The same, waiting for the answer (a modal loop) and returning its code.
int criticalAlertPanel(QWidget* window, const QString& title, const QString& msg,
                       const QString& defaultButton, const QString& alternateButton,
                       const QString& otherButton);

// Critical (information) style with one "OK" button; returns once answered.
void informationAlertPanel(QWidget* window, const QString& title, const QString& msg);
void infoAlertPanel(QWidget* window, const QString& title, const QString& msg);
// Informational with one "OK" button, returning at once.
void infoAlertSheet(QWidget* window, const QString& title, const QString& msg);

} // namespace veltrane
