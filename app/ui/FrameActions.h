#pragma once

#include <QHash>

class QAction;
class QMenu;
class QWidget;

// The window's commands by number: one action per command of the command table and one
// per column (1001-1039, checkable), each carrying its id as its data.
using CommandActions = QHash<int, QAction *>;

// Makes the actions as children of `owner`, with their captions, icons, default keys and
// tooltips; the table's commands are added to `owner` so that their keys work in it. The
// status bar command is checkable and checked. Nothing is connected yet.
CommandActions CreateCommandActions(QWidget &owner);

// The window's menus: the File menu (130; its recent files go between its two separators),
// the list's context menu (133) and the help menu (134).
struct FrameMenus {
    QMenu *file = nullptr;
    QMenu *rows = nullptr;
    QMenu *help = nullptr;
};
FrameMenus CreateFrameMenus(const CommandActions &actions, QWidget &owner);
