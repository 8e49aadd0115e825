#include "view/widgets/CellDelegate.h"

#include "view/table/ColumnTable.h"
#include "view/table/ListTableModel.h"
#include "view/widgets/PaletteColors.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

Qt::Alignment alignmentOf(int align)
{
    const Qt::Alignment h = align == AlignRight ? Qt::AlignRight
        : align == AlignCenter                  ? Qt::AlignHCenter
                                                : Qt::AlignLeft;
    return h | Qt::AlignVCenter;
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

    painter->fillRect(option.rect, ToQColor(colors.back));
    const QString text = table.cellTextAt(row, column);
    if (text.isEmpty())
        return;
    const QFontMetrics &metrics = option.fontMetrics;
    const int pad = horizontalPadding(metrics) / 2;
    const QRect textRect = option.rect.adjusted(pad, 0, -pad, 0);
    // A multi-line memo shows its first line; the tooltip has the rest.
    QString shown = text;
    const qsizetype lineEnd = shown.indexOf(u'\n');
    if (lineEnd >= 0)
        shown.truncate(lineEnd);
    shown = metrics.elidedText(shown, Qt::ElideRight, textRect.width());
    painter->setPen(ToQColor(colors.text));
    painter->setFont(option.font);
    painter->drawText(textRect,
        static_cast<int>(alignmentOf(table.header().column(column).align)) | Qt::TextSingleLine, shown);
}

QSize CellDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QString text = m_model.table().cellTextAt(index.row(), index.column());
    const QFontMetrics &metrics = option.fontMetrics;
    return { metrics.horizontalAdvance(text) + horizontalPadding(metrics), metrics.height() + 6 };
}

bool CellDelegate::helpEvent(
    QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (!event || !view || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // A failed row's status cell explains the failure.
    const QString reason = index.data(Qt::ToolTipRole).toString();
    if (!reason.isEmpty()) {
        QToolTip::showText(event->globalPos(), reason, view->viewport(), option.rect);
        return true;
    }
    const QString text = m_model.table().cellTextAt(index.row(), index.column()).trimmed();
    const QFontMetrics &metrics = option.fontMetrics;
    const int room = option.rect.width() - horizontalPadding(metrics);
    if (text.isEmpty() || (metrics.horizontalAdvance(text) <= room && !text.contains(u'\n'))) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // Long memos are cut for the tooltip too: a tip of several screens helps nobody.
    constexpr qsizetype kLongestTip = 2000;
    QToolTip::showText(event->globalPos(), text.left(kLongestTip), view->viewport(), option.rect);
    return true;
}
