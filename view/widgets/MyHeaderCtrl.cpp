#include "view/widgets/MyHeaderCtrl.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

MyHeaderCtrl::MyHeaderCtrl(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsMovable(true);
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(true);
    setStretchLastSection(true);
    setDefaultAlignment(Qt::AlignCenter);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setMinimumSectionSize(0);
}

void MyHeaderCtrl::contextMenuEvent(QContextMenuEvent *event)
{
    Q_EMIT sectionMenuRequested(logicalIndexAt(event->pos()), event->globalPos());
    event->accept();
}

void MyHeaderCtrl::mousePressEvent(QMouseEvent *event)
{
    // The anchor column can be neither dragged nor resized: a press on it, or on its
    // (zero-width) edge, does nothing.
    const int logical = logicalIndexAt(event->position().toPoint());
    if (logical == 0 && event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    QHeaderView::mousePressEvent(event);
}
