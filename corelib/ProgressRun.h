#pragma once

#include <QtGlobal>

namespace tessera {

// Where long operations on the user-interface thread report: the main window's status bar
// and taskbar progress. Runs may nest (a sort inside a refresh); the display shows the
// outermost one and ignores the start and end of the inner ones.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    // A run begins with the text of string resource `textId`.
    virtual void beginRun(int textId) = 0;
    // Whole percent 0..100 of the outermost run.
    virtual void setRunPercent(int percent) = 0;
    virtual void endRun() = 0;
};

// One long operation: begins at construction, ends at finish() or destruction, whichever
// comes first. Without a display it only measures the time.
class ProgressRun {
public:
    ProgressRun(ProgressDisplay *display, int textId);
    ~ProgressRun();
    ProgressRun(const ProgressRun &) = delete;
    ProgressRun &operator=(const ProgressRun &) = delete;

    // `done` of `total` steps; a total of 0 or less shows nothing.
    void progress(qint64 done, qint64 total);
    void percent(int percent);
    // Ends the run; returns the elapsed whole seconds.
    qint64 finish();

private:
    ProgressDisplay *m_display;
    qint64 m_started;
    int m_lastPercent = -1;
    bool m_ended = false;
};

} // namespace tessera
