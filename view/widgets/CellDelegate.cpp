#include "view/widgets/CellDelegate.h"

#include "view/table/CellText.h"
#include "view/table/ColumnTable.h"
#include "view/table/ListTableModel.h"
#include "view/table/RowMarks.h"
#include "view/widgets/PaletteColors.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

Qt::Alignment alignmentOf(int align)
{
    const Qt::Alignment h = align == AlignRight ? Qt::AlignRight
        : align == AlignCenter                  ? Qt::AlignHCenter
                                                : Qt::AlignLeft;
    return h | Qt::AlignVCenter;
}

// A text aligned on the point, split into its whole part and its fraction (the point and
// the places, without the padding spaces).
struct PointSplit {
    QString whole;
    QString fraction;
};

PointSplit splitAtPoint(const QString &text)
{
    const qsizetype point = text.lastIndexOf(u'.');
    if (point < 0)
        return { text.trimmed(), {} };
    return { text.left(point).trimmed(), text.mid(point).trimmed() };
}

// The room of the fraction part: the point and two places, or the fraction when longer.
int fractionRoom(const QString &fraction, const QFontMetrics &metrics)
{
    return std::max(metrics.horizontalAdvance(u".00"_s), metrics.horizontalAdvance(fraction));
}

int markDiameter(const QFontMetrics &metrics)
{
    return std::max(4, metrics.height() * 5 / 11);
}

// A bell filling `box`: a dome widening into a rim, and the clapper below it.
void drawBell(QPainter &painter, const QRectF &box)
{
    const qreal w = box.width();
    const qreal h = box.height();
    QPainterPath bell;
    bell.moveTo(box.left() + w * 0.5, box.top());
    bell.cubicTo(box.left() + w * 0.15, box.top(), box.left() + w * 0.2, box.top() + h * 0.55, box.left(),
        box.top() + h * 0.8);
    bell.lineTo(box.right(), box.top() + h * 0.8);
    bell.cubicTo(box.right() - w * 0.2, box.top() + h * 0.55, box.right() - w * 0.15, box.top(),
        box.left() + w * 0.5, box.top());
    bell.addEllipse(QPointF(box.left() + w * 0.5, box.top() + h * 0.9), w * 0.14, h * 0.1);
    painter.drawPath(bell);
}

} // namespace

CellDelegate::CellDelegate(const ListTableModel &model, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_model(model)
{ }

int CellDelegate::horizontalPadding(const QFontMetrics &metrics)
{
    return metrics.averageCharWidth() + 4;
}

int CellDelegate::rowMarksWidth(const QFontMetrics &metrics, int marks)
{
    if (marks <= 0)
        return 0;
    const int gap = std::max(2, metrics.averageCharWidth() / 2);
    return marks * (markDiameter(metrics) + gap);
}

QString CellDelegate::tooNarrowText()
{
    return u"###"_s;
}

int CellDelegate::textAdvance(const QString &text, int field, const QFontMetrics &metrics)
{
    if (!IsPointAlignedField(field))
        return metrics.horizontalAdvance(text);
    const PointSplit split = splitAtPoint(text);
    return metrics.horizontalAdvance(split.whole) + fractionRoom(split.fraction, metrics);
}

QString CellDelegate::shownText(const QString &text, int field, const QFontMetrics &metrics, int room)
{
    if (textAdvance(text, field, metrics) <= room)
        return text;
    if (IsNumericField(field))
        return tooNarrowText();
    return metrics.elidedText(text, Qt::ElideRight, room);
}

QFont CellDelegate::fontFor(int field, const QFont &cellFont) const
{
    if (!m_hasNumberFont || !IsNumericField(field))
        return cellFont;
    return m_numberFont;
}

void CellDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (m_model.isRebuilding() || !index.isValid())
        return;
    const ListTable &table = m_model.table();
    const int row = index.row();
    const int column = index.column();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool disabled = !option.state.testFlag(QStyle::State_Enabled);
    const CellColors colors = table.cellColorsAt(row, column, selected, disabled, m_palette);
    const int field = table.header().fieldOf(column);

    painter->fillRect(option.rect, ToQColor(colors.back));
    const QFontMetrics &listMetrics = option.fontMetrics;
    const int pad = horizontalPadding(listMetrics) / 2;
    QRect textRect = option.rect.adjusted(pad, 0, -pad, 0);

    if (field == FieldCode) {
        if (const QuoteRecord *record = table.record(row)) {
            const std::vector<RowMark> marks = RowMarksOf(*record, m_model.markContextOf(*record));
            const int d = markDiameter(listMetrics);
            const int gap = rowMarksWidth(listMetrics, 1) - d;
            int x = textRect.left();
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            for (const RowMark mark : marks) {
                painter->setBrush(ToQColor(RowMarkColor(mark, colors.back)));
                const QRect box(x, option.rect.center().y() - d / 2, d, d);
                if (mark == RowMark::Alert)
                    drawBell(*painter, box);
                else
                    painter->drawEllipse(box);
                x += d + gap;
            }
            painter->restore();
            textRect.setLeft(textRect.left() + rowMarksWidth(listMetrics, static_cast<int>(marks.size())));
        }
    }

    const QString text = table.cellTextAt(row, column);
    if (text.isEmpty())
        return;
    // A multi-line memo shows its first line; the tooltip has the rest.
    QString line = text;
    const qsizetype lineEnd = line.indexOf(u'\n');
    if (lineEnd >= 0)
        line.truncate(lineEnd);
    const QFont font = fontFor(field, option.font);
    const QFontMetrics metrics(font, painter->device());
    const QString shown = shownText(line, field, metrics, textRect.width());
    const int align = table.header().column(column).align;
    painter->setPen(ToQColor(colors.text));
    painter->setFont(font);
    if (shown == line && align == AlignRight && IsPointAlignedField(field)) {
        // The fraction in a box of its own at the right, the whole part right-aligned before
        // it: the points of the column line up whatever the widths of space and point.
        const PointSplit split = splitAtPoint(line);
        const int room = fractionRoom(split.fraction, metrics);
        const QRect fractionRect(textRect.right() - room + 1, textRect.top(), room, textRect.height());
        const QRect wholeRect(textRect.left(), textRect.top(), textRect.width() - room, textRect.height());
        painter->drawText(wholeRect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, split.whole);
        painter->drawText(
            fractionRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, split.fraction);
        return;
    }
    painter->drawText(textRect, static_cast<int>(alignmentOf(align)) | Qt::TextSingleLine, shown);
}

QSize CellDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int field = m_model.table().header().fieldOf(index.column());
    const QString text = m_model.table().cellTextAt(index.row(), index.column());
    const QFontMetrics &listMetrics = option.fontMetrics;
    const QFontMetrics metrics(fontFor(field, option.font));
    int width = textAdvance(text, field, metrics) + horizontalPadding(listMetrics);
    if (field == FieldCode) {
        if (const QuoteRecord *record = m_model.table().record(index.row()))
            width += rowMarksWidth(
                listMetrics, static_cast<int>(RowMarksOf(*record, m_model.markContextOf(*record)).size()));
    }
    return { width, listMetrics.height() + 6 };
}

bool CellDelegate::helpEvent(
    QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (!event || !view || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // A failed row's status and code cells explain the failure.
    const QString reason = index.data(Qt::ToolTipRole).toString();
    if (!reason.isEmpty()) {
        QToolTip::showText(event->globalPos(), reason, view->viewport(), option.rect);
        return true;
    }
    const int field = m_model.table().header().fieldOf(index.column());
    const QString text = m_model.table().cellTextAt(index.row(), index.column()).trimmed();
    const QFontMetrics metrics(fontFor(field, option.font));
    const int room = option.rect.width() - horizontalPadding(option.fontMetrics);
    if (text.isEmpty() || (textAdvance(text, field, metrics) <= room && !text.contains(u'\n'))) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // Long memos are cut for the tooltip too: a tip of several screens helps nobody.
    constexpr qsizetype kLongestTip = 2000;
    QToolTip::showText(event->globalPos(), text.left(kLongestTip), view->viewport(), option.rect);
    return true;
}
