#pragma once

#include "corelib/ProgressRun.h"

#include <QObject>

class QLabel;
class QMainWindow;
class QProgressBar;
class QSlider;
class QStatusBar;
class QToolButton;

namespace tessera {
class TaskbarList;
}

// The frame's status bar (59393): the message pane, the progress pane (5005, hidden but
// during a run), the selected and total rows (5007, 5008), the zoom text (5009) and the zoom
// slider (5010). It is the progress display of every long operation: a run shows a hidden
// status bar for its duration, hides the row and zoom panes, and reports to the launcher
// entry's progress as well.
class StatusBarPanes : public QObject, public tessera::ProgressDisplay {
    Q_OBJECT
public:
    StatusBarPanes(QMainWindow &frame, tessera::TaskbarList *taskbar);

    QStatusBar *statusBar() const { return m_bar; }
    QLabel *selectedPane() const { return m_selected; }
    QLabel *rowsPane() const { return m_rows; }
    QLabel *zoomText() const { return m_zoomText; }
    QSlider *zoomSlider() const { return m_zoomSlider; }
    // The slider's two buttons: zoom out (2152) at its left, zoom in (2151) at its right.
    QToolButton *zoomOutButton() const { return m_zoomOut; }
    QToolButton *zoomInButton() const { return m_zoomIn; }
    QProgressBar *progressPane() const { return m_progress; }
    bool isRunning() const { return m_depth > 0; }

    // Panes 5007 and 5008 with their counts grouped in thousands.
    void setRowCounts(int selected, int rows);
    // A message in pane 0 until the next run or message; empty shows the idle text.
    void showMessage(const QString &text);

    // tessera::ProgressDisplay
    void beginRun(int textId) override;
    void setRunPercent(int percent) override;
    void endRun() override;

private:
    void setIndicatorsVisible(bool visible);

    QMainWindow &m_frame;
    tessera::TaskbarList *m_taskbar;
    QStatusBar *m_bar;
    QLabel *m_message;
    QProgressBar *m_progress;
    QLabel *m_selected;
    QLabel *m_rows;
    QLabel *m_zoomText;
    QSlider *m_zoomSlider;
    QToolButton *m_zoomOut;
    QToolButton *m_zoomIn;
    int m_depth = 0;
    bool m_wasHidden = false;
};
