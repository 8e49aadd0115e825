#include "app/ui/FileDropHandler.h"

#include "app/core/DroppedLists.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/StatusBarPanes.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

namespace {

QStringList droppedFiles(const QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (!data || !data->hasUrls())
        return {};
    return LocalFilesOfUrls(data->urls());
}

} // namespace

FileDropHandler::FileDropHandler(CMainFrame &frame, QWidget *viewport)
    : QObject(&frame)
    , m_frame(frame)
{
    frame.setAcceptDrops(true);
    frame.installEventFilter(this);
    if (viewport)
        viewport->installEventFilter(this);
}

bool FileDropHandler::openDroppedFiles(const QStringList &paths)
{
    m_frame.activateWindow();
    DroppedList dropped = FirstReadableList(paths, m_frame.listOpenOptions(), &m_frame.statusPanes());
    if (!dropped.list) {
        m_frame.statusPanes().showMessage(DropFailureText(dropped));
        return false;
    }
    if (!m_frame.SaveModified())
        return false;
    return m_frame.openReadList(dropped.path, std::move(*dropped.list));
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
