#include "view/widgets/RowDragDrop.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "view/widgets/CQuotraView.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>

RowDragDrop::RowDragDrop(CQuotraView &view)
    : m_view(view)
{
    m_view.listModel().setDropHandler([this](const QString &text) {
        if (QWidget *w = m_view.window()) {
            w->raise();
            w->activateWindow();
        }
        const CQuotraDoc::AddCodesOutcome added = m_view.document().AddCodesFromText(text);
        tessera::ShowResourceMessage(added.message);
        return added.ok();
    });
}

bool RowDragDrop::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        offer(static_cast<QDropEvent *>(event));
        return true;
    case QEvent::Drop:
        drop(static_cast<QDropEvent *>(event));
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

void RowDragDrop::startDrag()
{
    const std::vector<int> rows = m_view.selectedRows();
    if (rows.empty())
        return;
    ListTableModel &model = m_view.listModel();
    QModelIndexList indexes;
    for (const int r : rows)
        indexes << model.index(r, 0);
    QMimeData *data = model.mimeData(indexes);
    if (!data) {
        tessera::ShowResourceMessage(
            Ids::MsgSelectionTooLargeToCopy, {}, tessera::MbOk | tessera::MbIconWarning);
        return;
    }
    auto *drag = new QDrag(&m_view);
    drag->setMimeData(data);
    m_dragging = true;
    const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    m_dragging = false;
    if (result == Qt::MoveAction)
        m_view.deleteSelectedRows();
}

bool RowDragDrop::accepts(QDropEvent *event) const
{
    if (m_dragging)
        return false; // rows of this very list
    return m_view.listModel().canDropMimeData(event->mimeData(), Qt::CopyAction, -1, -1, {});
}

Qt::DropAction RowDragDrop::actionFor(const QDropEvent *event)
{
    // Copy with Ctrl held, move otherwise.
    return event->modifiers().testFlag(Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
}

void RowDragDrop::offer(QDropEvent *event) const
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(actionFor(event));
    event->accept();
}

void RowDragDrop::drop(QDropEvent *event)
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    const Qt::DropAction action = actionFor(event);
    if (m_view.listModel().dropMimeData(event->mimeData(), action, -1, -1, {})) {
        event->setDropAction(action);
        event->accept();
    } else {
        event->ignore();
    }
}
