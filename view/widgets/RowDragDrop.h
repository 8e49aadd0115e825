#pragma once

#include <QObject>

class CQuotraView;
class QDropEvent;

// The list's rows dragged out and text dropped in. Selected rows leave as their text block
// (moved rows are deleted once the drop took them); text dropped from elsewhere adds its
// codes to the document, Ctrl choosing copy over move; rows of this very list are refused.
// It filters the drag events of the view's viewport; the view's startDrag() calls startDrag().
class RowDragDrop : public QObject {
public:
    // Hands the view's model the drop handler (the document's add-codes, its message shown).
    explicit RowDragDrop(CQuotraView &view);

    void startDrag();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Drag enter and drag move: accepted with the drop action the modifiers ask for.
    void offer(QDropEvent *event) const;
    void drop(QDropEvent *event);
    bool accepts(QDropEvent *event) const;
    static Qt::DropAction actionFor(const QDropEvent *event);

    CQuotraView &m_view;
    bool m_dragging = false;
};
