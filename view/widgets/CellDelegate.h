#pragma once

#include "view/table/CellColors.h"

#include <QStyledItemDelegate>

class ListTableModel;

// Paints the list's cells with the colours of the table rules. The rules need the selected
// and disabled state of a cell, which the model's data() cannot know, so the delegate asks
// them directly, once per painted cell, and paints the text itself: the decimal-aligned
// texts come preformatted and need nothing of the style's item machinery.
//
// A cut text shows in full as a tooltip (the label tips of the list).
class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CellDelegate(const ListTableModel &model, QObject *parent = nullptr);

    void setPalette(const CellPalette &palette) { m_palette = palette; }
    const CellPalette &palette() const { return m_palette; }

    void paint(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
        const QModelIndex &index) override;

    // Horizontal room a text takes inside a cell besides its own width.
    static int horizontalPadding(const QFontMetrics &metrics);

private:
    const ListTableModel &m_model;
    CellPalette m_palette;
};
