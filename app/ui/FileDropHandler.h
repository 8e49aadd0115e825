#pragma once

#include <QObject>
#include <QStringList>

class ListOpener;
class StatusBarPanes;

// Files dropped on the window: the first that reads as a list (read once, as the window's
// open reads any list) becomes the document; the rest are ignored. When none reads, the
// status bar says why the first one failed. It watches the frame and the list's viewport,
// where a file would otherwise be taken for dragged text.
class FileDropHandler : public QObject {
    Q_OBJECT
public:
    // `window` takes the drops (and is activated by one); `viewport` is the list's.
    FileDropHandler(QWidget &window, QWidget *viewport, ListOpener &lists, StatusBarPanes &panes);

    // The drop's work, for the files in their dropped order; true when one was opened.
    bool openDroppedFiles(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    ListOpener &m_lists;
    StatusBarPanes &m_panes;
};
