#pragma once

#include "app/ui/FrameActions.h"

class AppearanceController;
class PeriodSpinBox;
class QCheckBox;
class QLineEdit;
class RibbonBar;

// The window's ribbon as the command table and the ribbon group table lay it out: the tab
// row (File button, Home tab, quick-access buttons, the style and help menus, About) and the
// File, Code, View and Settings groups with their key tips. The boxes it makes are handed
// out for the window to connect; the status bar check box follows the status bar command.
struct FrameRibbon {
    RibbonBar *bar = nullptr;
    QLineEdit *codeBox = nullptr; // 32776
    PeriodSpinBox *periodBox = nullptr; // 32773, in minutes
    QCheckBox *statusCheck = nullptr; // 59393
};
FrameRibbon BuildFrameRibbon(QWidget &owner, const CommandActions &actions, const FrameMenus &menus,
    AppearanceController &appearance, int periodMinutes);
