#pragma once

#include <QString>

#include <functional>

namespace tessera {

// Progress on the program's launcher entry: the desktop's launcher-entry signal on the
// session bus, which docks and task managers show on the program's button. Without a
// session bus Create() fails and every other call is a silent no-op.
class TaskbarList {
public:
    // The taskbar's progress states.
    enum State : int { NoProgress = 0, Indeterminate = 1, Normal = 2, Error = 4, Paused = 8 };

    // Receives each change: progress 0..1, whether progress shows, whether it needs attention.
    using Sink = std::function<void(double progress, bool visible, bool urgent)>;

    // desktopId names the program's desktop entry, e.g. "quotra.desktop".
    explicit TaskbarList(const QString &desktopId = QStringLiteral("quotra.desktop"));
    // For tests: changes go to `sink` instead of the bus; Create() then always succeeds.
    explicit TaskbarList(Sink sink);
    ~TaskbarList();
    TaskbarList(const TaskbarList &) = delete;
    TaskbarList &operator=(const TaskbarList &) = delete;

    // Connects to the session bus; false when there is none.
    bool Create();
    bool isCreated() const { return m_created; }

    // Starts a run: stores total and shows value/total in the given state.
    void Start(qint64 value, qint64 total = 100, int state = Normal);
    // Advances the run; ignored when value is not below the run's total.
    void Grow(qint64 value, int state = Normal);
    // Removes the progress display.
    void End();

    qint64 total() const { return m_total; }

private:
    void show(qint64 value, int state);

    QString m_desktopId;
    Sink m_sink;
    qint64 m_total = 100;
    bool m_created = false;
};

} // namespace tessera
