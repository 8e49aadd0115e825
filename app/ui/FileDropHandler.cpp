#include "app/ui/FileDropHandler.h"

#include "app/core/DroppedLists.h"
#include "app/ui/ListOpener.h"
#include "app/ui/StatusBarPanes.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace {

QStringList droppedFiles(const QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (!data || !data->hasUrls())
        return {};
    return LocalFilesOfUrls(data->urls());
}

} // namespace

FileDropHandler::FileDropHandler(QWidget &window, QWidget *viewport, ListOpener &lists, StatusBarPanes &panes)
    : QObject(&window)
    , m_window(window)
    , m_lists(lists)
    , m_panes(panes)
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
    if (viewport)
        viewport->installEventFilter(this);
}

bool FileDropHandler::openDroppedFiles(const QStringList &paths)
{
    m_window.activateWindow();
    DroppedList dropped = FirstReadableList(paths, m_lists.listOpenOptions(), &m_panes);
    if (!dropped.list) {
        m_panes.showMessage(DropFailureText(dropped));
        return false;
    }
    if (!m_lists.SaveModified())
        return false;
    return m_lists.openReadList(dropped.path, std::move(*dropped.list));
}

bool FileDropHandler::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (droppedFiles(drag).isEmpty())
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList files = droppedFiles(drop);
        if (files.isEmpty())
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        openDroppedFiles(files);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
