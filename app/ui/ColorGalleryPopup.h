#pragma once

#include "view/table/CellColors.h"

#include <QWidget>

// A row-colour gallery (32791 text, 32792 background): a caption, the 10 x 6 grid of theme
// colours and their tints, a second caption and a row of standard colours, 182 x 154 px at
// 96 dpi. The current colour shows as checked. The mouse picks a cell; so do the arrow keys
// with Enter or Space. Each cell's tooltip names its colour.
class ColorGalleryPopup : public QWidget {
    Q_OBJECT
public:
    ColorGalleryPopup(bool background, QWidget *parent = nullptr);

    // The checked colour; a colour that no cell shows checks none.
    void setCurrent(ColorRef colour, bool none = false);
    // The cell that shows `colour` (grid rows 0-5, the standard row 6), or -1.
    int cellOf(ColorRef colour) const;
    int checkedCell() const { return m_checked; }
    ColorRef colourOf(int cell) const;
    QString tooltipOf(int cell) const;
    QRect cellRect(int cell) const;
    int cellAt(const QPoint &pos) const;
    static constexpr int kCellCount = 70;

    QSize sizeHint() const override;

Q_SIGNALS:
    void colourPicked(ColorRef colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    int scaled(int px) const;
    QRect captionRect(int which) const;
    void pick(int cell);

    bool m_background;
    int m_checked = -1;
    int m_hot = -1;
};
