#include "app/ui/RibbonParts.h"

#include "app/ui/PopupHover.h"

#include <QAction>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QToolButton>

namespace ribbon {

QToolButton *commandButton(
    QWidget *parent, QAction *action, const QString &name, Qt::ToolButtonStyle style, int iconSize)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setDefaultAction(action);
    button->setToolButtonStyle(style);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(action->text());
    ClearHoverAfterMenus(button);
    return button;
}

QFrame *verticalLine(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setObjectName(QStringLiteral("RibbonSeparator"));
    return line;
}

int hintWidth(const QWidget *widget)
{
    return widget->sizeHint()
        .expandedTo(widget->minimumSizeHint())
        .boundedTo(widget->maximumSize())
        .expandedTo(widget->minimumSize())
        .width();
}

void invalidateLayouts(QLayout *layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        if (QLayout *inner = layout->itemAt(i)->layout())
            invalidateLayouts(inner);
    }
    layout->invalidate();
}

int freshWidth(QWidget *widget)
{
    if (widget->layout())
        invalidateLayouts(widget->layout());
    return hintWidth(widget);
}

int freshHeight(QWidget *widget)
{
    if (widget->layout())
        invalidateLayouts(widget->layout());
    return widget->sizeHint().expandedTo(widget->minimumSizeHint()).height();
}

GroupPopup::GroupPopup(QWidget *parent, QToolButton *opener)
    : QFrame(parent, Qt::Popup)
    , m_opener(opener)
{
    setObjectName(QStringLiteral("RibbonGroupPopup"));
    setFrameShape(QFrame::StyledPanel);
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(3, 3, 3, 2);
    box->setSpacing(0);
    box->setSizeConstraint(QLayout::SetFixedSize);
}

void GroupPopup::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        close();
        return;
    }
    QFrame::keyPressEvent(event);
}

void GroupPopup::mousePressEvent(QMouseEvent *event)
{
    const QRect opener(m_opener->mapToGlobal(QPoint(0, 0)), m_opener->size());
    setAttribute(Qt::WA_NoMouseReplay, opener.contains(event->globalPosition().toPoint()));
    QFrame::mousePressEvent(event);
}

void GroupPopup::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    ClearStaleHover(m_opener);
}

} // namespace ribbon
