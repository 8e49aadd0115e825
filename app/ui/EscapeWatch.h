#pragma once

#include <QObject>

#include <functional>

// Watches for Escape during a long operation that runs on the user-interface thread and
// lets events through only as far as painting and timers go: while it lives, key and mouse
// input to the program's windows is swallowed (so no command starts inside the operation),
// except that an Escape press is remembered for the next check.
class EscapeWatch : public QObject {
    Q_OBJECT
public:
    EscapeWatch();
    ~EscapeWatch() override;
    EscapeWatch(const EscapeWatch &) = delete;
    EscapeWatch &operator=(const EscapeWatch &) = delete;

    // Lets pending events run, then tells whether Escape was pressed since the last check.
    bool pressedSinceLastCheck();
    // Runs `ask` (a question to the user) with input let through again.
    bool askWithInput(const std::function<bool()> &ask);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_pressed = false;
};
