#pragma once

#include "view/table/CellColors.h"

#include <QFont>
#include <QStyledItemDelegate>

class ListTableModel;

// Paints the list's cells with the colours of the table rules. The rules need the selected
// and disabled state of a cell, which the model's data() cannot know, so the delegate asks
// them directly, once per painted cell, and paints the text itself: the decimal-aligned
// texts come preformatted and need nothing of the style's item machinery.
//
// Numeric cells are drawn in the number font (digits of equal width) and, where the text is
// aligned on the point, with the point at a fixed place, so the points of a column line up
// in any font. A numeric text that does not fit shows "###", as spreadsheets do: a number cut
// short reads as another number. Other texts are cut with an ellipsis. A cut text shows in
// full as a tooltip (the label tips of the list).
//
// The code cell begins with the row's marks (RowMarksOf), each a small dot in its colour.
class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CellDelegate(const ListTableModel &model, QObject *parent = nullptr);

    void setPalette(const CellPalette &palette) { m_palette = palette; }
    const CellPalette &palette() const { return m_palette; }
    // The font numeric cells are drawn in; by default the cell's own font.
    void setNumberFont(const QFont &font)
    {
        m_numberFont = font;
        m_hasNumberFont = true;
    }
    // The font a cell of `field` is drawn in, given the list's font.
    QFont fontFor(int field, const QFont &cellFont) const;

    void paint(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
        const QModelIndex &index) override;

    // Horizontal room a text takes inside a cell besides its own width.
    static int horizontalPadding(const QFontMetrics &metrics);
    // The room `marks` row marks take at the left of a code cell (0 for none).
    static int rowMarksWidth(const QFontMetrics &metrics, int marks);
    // What a cell of `field` shows of `text` in `room` pixels: the text, "###" for a numeric
    // text that does not fit, or the text cut with an ellipsis.
    static QString shownText(const QString &text, int field, const QFontMetrics &metrics, int room);
    // The text "###" that stands for a number too wide for its cell.
    static QString tooNarrowText();
    // The width `text` takes when drawn in a cell of `field`: a text aligned on the point
    // keeps room for a point and two places after its whole part.
    static int textAdvance(const QString &text, int field, const QFontMetrics &metrics);

private:
    const ListTableModel &m_model;
    CellPalette m_palette;
    QFont m_numberFont;
    bool m_hasNumberFont = false;
};
