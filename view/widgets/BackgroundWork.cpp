#include "view/widgets/BackgroundWork.h"

#include "view/widgets/HeldInput.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>

#include <memory>

namespace {

// Holds back input while the work runs; Escape raises the stop flag instead.
class InputHold : public QObject {
public:
    explicit InputHold(std::atomic<bool> &stop)
        : m_stop(stop)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputHold() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputHold(const InputHold &) = delete;
    InputHold &operator=(const InputHold &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return HoldInputEvent(event, m_stop) || QObject::eventFilter(watched, event);
    }

private:
    std::atomic<bool> &m_stop;
};

} // namespace

bool RunInBackground(const std::function<void(const std::atomic<bool> &stop)> &work)
{
    std::atomic<bool> stop { false };
    std::unique_ptr<QThread> thread(QThread::create([&work, &stop] { work(stop); }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        InputHold hold(stop);
        thread->start();
        loop.exec(); // input reaches the hold, which lets only Escape count
    }
    thread->wait();
    QApplication::restoreOverrideCursor();
    return !stop.load();
}
