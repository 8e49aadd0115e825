#pragma once

#include <QObject>
#include <QStringList>

class CMainFrame;

// Files dropped on the window: the first that reads as a list (read once, as the window's
// open reads any list) becomes the document; the rest are ignored. When none reads, the
// status bar says why the first one failed. It watches the frame and the list's viewport,
// where a file would otherwise be taken for dragged text.
class FileDropHandler : public QObject {
    Q_OBJECT
public:
    FileDropHandler(CMainFrame &frame, QWidget *viewport);

    // The drop's work, for the files in their dropped order; true when one was opened.
    bool openDroppedFiles(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CMainFrame &m_frame;
};
