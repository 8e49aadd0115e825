#pragma once

#include <QFrame>

class QAction;
class QLayout;
class QToolButton;

// The ribbon's building blocks, shared by its construction and its folding.
namespace ribbon {

constexpr int kSmallIcon = 16;
constexpr int kLargeIcon = 32;
constexpr int kRowsPerColumn = 3;

// A flat button showing a command: the ribbon's controls never take the keyboard focus
// from the list (the key tips reach them), and screen readers read the command's caption.
QToolButton *commandButton(
    QWidget *parent, QAction *action, const QString &name, Qt::ToolButtonStyle style, int iconSize);
QFrame *verticalLine(QWidget *parent);

// The width a layout gives `widget`: its size hint within its minimum and maximum sizes,
// asked even while the widget is hidden (a folded group's button, a popup's contents).
int hintWidth(const QWidget *widget);
// A nested layout keeps the hints it computed until it is activated again; measuring a
// group right after its buttons changed asks every level afresh.
void invalidateLayouts(QLayout *layout);
int freshWidth(QWidget *widget);
int freshHeight(QWidget *widget);

// The popup of a folded group. Enter that a box of the group passes on (it committed its
// value) closes it, as Escape does; a click on the group's own button closes it without
// opening it again at once.
class GroupPopup : public QFrame {
public:
    GroupPopup(QWidget *parent, QToolButton *opener);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QToolButton *m_opener;
};

} // namespace ribbon
