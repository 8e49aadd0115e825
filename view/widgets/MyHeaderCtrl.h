#pragma once

#include <QHeaderView>

// The list's header: sections move by dragging and resize by their edges, except the anchor
// column (logical and visual section 0), which stays frozen at width 0. The view owns the
// column rules; the header reports clicks, drags and right-clicks to it.
class MyHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    explicit MyHeaderCtrl(QWidget *parent = nullptr);

    // The logical section under a point of the header, -1 for none.
    int sectionAtPoint(const QPoint &pos) const { return logicalIndexAt(pos); }

Q_SIGNALS:
    // A right-click on a section (logical index, -1 beside the sections).
    void sectionMenuRequested(int logicalIndex, const QPoint &globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
