#pragma once

#include "view/widgets/Prompts.h"

#include <QUrl>

// Opens a web address or file with the desktop's launcher. When nothing opens it (no launcher
// installed, or the launcher refused), the user is told what was to be opened: a page or help
// that silently fails to appear looks like a command that did nothing.
bool OpenAddress(const QUrl &url, Prompts &prompts = DesktopPrompts());
