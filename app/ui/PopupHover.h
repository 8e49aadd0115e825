#pragma once

class QToolButton;
class QWidget;

// A button that opens a popup (a menu, a gallery, a folded ribbon group) keeps its hover look
// after the popup closes: the pointer left it for the popup, and no leave event comes back
// when the popup goes. These put that right.

// Clears `widget`'s hover state (the under-mouse flag, a leave and a hover-leave event, a
// repaint) when the pointer is not over it.
void ClearStaleHover(QWidget *widget);

// From now on, each time a menu that `button` opens closes, the button's stale hover state
// is cleared. The menu may be set on the button later.
void ClearHoverAfterMenus(QToolButton *button);
