#include "app/ui/ColorGalleryPopup.h"

#include "app/core/ColorGallery.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "view/widgets/PaletteColors.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace {

constexpr int kWidth = 182;
constexpr int kHeight = 154;
constexpr int kCaptionHeight = 20;
constexpr int kGap = 2;
constexpr int kStandardRowHeight = 16;

int gridTop()
{
    return kCaptionHeight + kGap;
}

int gridHeight()
{
    int h = 0;
    for (int r = 0; r < kThemeGridRows; ++r)
        h += ThemeGridRowHeight(r);
    return h;
}

} // namespace

ColorGalleryPopup::ColorGalleryPopup(bool background, QWidget *parent)
    : QWidget(parent)
    , m_background(background)
{
    setObjectName(background ? QStringLiteral("BackColourGallery") : QStringLiteral("TextColourGallery"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setFixedSize(sizeHint());
    setAccessibleName(tessera::ResourceString(background ? Ids::CommandBackColour : Ids::CommandTextColour));
}

int ColorGalleryPopup::scaled(int px) const
{
    const QScreen *s = screen();
    const qreal dpi = s ? s->logicalDotsPerInchX() / s->devicePixelRatio() : 96.0;
    return qRound(px * std::max<qreal>(dpi, 96.0) / 96.0);
}

QSize ColorGalleryPopup::sizeHint() const
{
    return { scaled(kWidth), scaled(kHeight) };
}

QRect ColorGalleryPopup::captionRect(int which) const
{
    const int top = which == 0 ? 0 : gridTop() + gridHeight() + kGap;
    return { 0, scaled(top), width(), scaled(kCaptionHeight) };
}

QRect ColorGalleryPopup::cellRect(int cell) const
{
    if (cell < 0 || cell >= kCellCount)
        return {};
    const int row = cell / kThemeGridColumns;
    const int column = cell % kThemeGridColumns;
    const int left = (kWidth - kThemeGridColumns * kGalleryCellWidth) / 2 + column * kGalleryCellWidth;
    int top = gridTop();
    int height = kStandardRowHeight;
    if (row < kThemeGridRows) {
        for (int r = 0; r < row; ++r)
            top += ThemeGridRowHeight(r);
        height = ThemeGridRowHeight(row);
    } else {
        top = gridTop() + gridHeight() + kGap + kCaptionHeight + kGap;
    }
    return { scaled(left), scaled(top), scaled(kGalleryCellWidth), scaled(height) };
}

int ColorGalleryPopup::cellAt(const QPoint &pos) const
{
    for (int cell = 0; cell < kCellCount; ++cell) {
        if (cellRect(cell).contains(pos))
            return cell;
    }
    return -1;
}

ColorRef ColorGalleryPopup::colourOf(int cell) const
{
    if (cell < 0 || cell >= kCellCount)
        return 0;
    const int row = cell / kThemeGridColumns;
    const int column = cell % kThemeGridColumns;
    if (row < kThemeGridRows)
        return ThemeGridColour(row, column);
    return StandardColours(m_background)[column].colour;
}

QString ColorGalleryPopup::tooltipOf(int cell) const
{
    if (cell < 0 || cell >= kCellCount)
        return {};
    const int row = cell / kThemeGridColumns;
    const int column = cell % kThemeGridColumns;
    if (row < kThemeGridRows)
        return ThemeGridTooltip(row, column);
    return QString::fromUtf16(StandardColours(m_background)[column].name);
}

int ColorGalleryPopup::cellOf(ColorRef colour) const
{
    for (int cell = 0; cell < kCellCount; ++cell) {
        if (colourOf(cell) == (colour & 0xFFFFFF))
            return cell;
    }
    return -1;
}

void ColorGalleryPopup::setCurrent(ColorRef colour, bool none)
{
    m_checked = none ? -1 : cellOf(colour);
    update();
}

void ColorGalleryPopup::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Base));
    const QColor captionBack = pal.color(QPalette::Window);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    for (int which = 0; which < 2; ++which) {
        const QRect r = captionRect(which);
        p.fillRect(r, captionBack);
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.setPen(pal.color(QPalette::WindowText));
        p.drawText(r.adjusted(scaled(6), 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
            tessera::ResourceString(which == 0 ? Ids::CaptionThemeColours : Ids::CaptionStandardColours));
    }
    const QColor frame = pal.color(QPalette::Mid);
    for (int cell = 0; cell < kCellCount; ++cell) {
        const QRect r = cellRect(cell).adjusted(scaled(2), scaled(1), -scaled(2), -scaled(1));
        p.fillRect(r, ToQColor(colourOf(cell)));
        p.setPen(frame);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    // The checked cell in a deep orange, the one under the mouse or the keyboard in a light
    // one, both drawn around the cell so that its colour stays visible.
    const auto ring = [&](int cell, const QColor &outer, const QColor &inner) {
        if (cell < 0)
            return;
        const QRect r = cellRect(cell).adjusted(scaled(1), 0, -scaled(1), 0);
        p.setPen(outer);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(inner);
        p.drawRect(r.adjusted(1, 1, -2, -2));
    };
    ring(m_checked, QColor(0xEF, 0x48, 0x10), QColor(0xFF, 0xE2, 0x94));
    if (m_hot != m_checked)
        ring(m_hot, QColor(0xF2, 0x94, 0x36), QColor(0xFF, 0xE2, 0x94));
}

void ColorGalleryPopup::mouseMoveEvent(QMouseEvent *event)
{
    const int cell = cellAt(event->position().toPoint());
    if (cell != m_hot) {
        m_hot = cell;
        update();
    }
}

void ColorGalleryPopup::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_hot = -1;
    update();
}

void ColorGalleryPopup::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pick(cellAt(event->position().toPoint()));
}

void ColorGalleryPopup::keyPressEvent(QKeyEvent *event)
{
    int cell = m_hot >= 0 ? m_hot : (m_checked >= 0 ? m_checked : 0);
    const int rows = kCellCount / kThemeGridColumns;
    int row = cell / kThemeGridColumns;
    int column = cell % kThemeGridColumns;
    switch (event->key()) {
    case Qt::Key_Left:
        column = (column + kThemeGridColumns - 1) % kThemeGridColumns;
        break;
    case Qt::Key_Right:
        column = (column + 1) % kThemeGridColumns;
        break;
    case Qt::Key_Up:
        if (row == 0) {
            // Above the grid lie the menu's other items.
            QWidget::keyPressEvent(event);
            return;
        }
        --row;
        break;
    case Qt::Key_Down:
        if (row == rows - 1) {
            QWidget::keyPressEvent(event);
            return;
        }
        ++row;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        pick(cell);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    m_hot = row * kThemeGridColumns + column;
    update();
    QToolTip::showText(mapToGlobal(cellRect(m_hot).bottomRight()), tooltipOf(m_hot), this);
    event->accept();
}

bool ColorGalleryPopup::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int cell = cellAt(help->pos());
        if (cell < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tooltipOf(cell), this, cellRect(cell));
        }
        return true;
    }
    return QWidget::event(event);
}

void ColorGalleryPopup::pick(int cell)
{
    if (cell < 0)
        return;
    m_checked = cell;
    update();
    Q_EMIT colourPicked(colourOf(cell));
}
