#pragma once

#include <QIcon>

// The icon of a command, a group or a file kind: the desktop theme's icon of that name, else
// the program's own ":/icons/NAME.svg"; no icon for an empty name.
QIcon CommandIcon(const char *name);
