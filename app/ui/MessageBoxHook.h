#pragma once

#include <QString>

// Routes every message of the program (tessera::ShowMessage) into a modal box titled
// "Quotra" over the active window. Unattended runs and platforms without a screen
// (offscreen, minimal) keep the default path to standard error, so a box nobody can click
// never stalls a scheduled run. Returns true when the box handler was installed.
// Needs a QApplication.
bool InstallMessageBoxHook(bool unattended);

// The box itself: the text in a modal box titled "Quotra" with the buttons, icon and
// default button of `style` (tessera::MessageStyle); returns the tessera::MessageResult.
int ShowMessageBox(const QString &text, unsigned style);
