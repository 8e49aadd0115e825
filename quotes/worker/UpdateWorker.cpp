#include "quotes/worker/UpdateWorker.h"

#include <QMetaObject>

#include <pthread.h>
#include <sched.h>

namespace {

// The lowest scheduling class, as QThread::IdlePriority sets it on Linux, so a long run never
// competes with the user interface. A plain std::thread rather than a QThread: its join is
// visible to ThreadSanitizer, whose build checks this worker.
void lowerToIdlePriority()
{
    sched_param param {};
    param.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
}

} // namespace

UpdateWorker::UpdateWorker(FetchFactory factory, QObject *parent)
    : QObject(parent)
    , m_factory(std::move(factory))
{
    qRegisterMetaType<FetchOutcome>();
}

UpdateWorker::~UpdateWorker()
{
    if (m_control)
        m_control->requestStop();
    joinThread();
}

void UpdateWorker::setFetchFactory(FetchFactory factory)
{
    m_factory = std::move(factory);
}

quint64 UpdateWorker::start(const QStringList &batch)
{
    stop();
    joinThread(); // an ended run's thread object
    const quint64 generation = ++m_generation;
    m_control = std::make_unique<RunControl>();
    m_running = true;

    UpdateJob job;
    job.generation = generation;
    job.batch = batch;
    job.fetchFactory = m_factory;
    job.control = m_control.get();
    job.deliver = [this](FetchOutcome &&outcome) {
        Item item;
        item.outcome = std::move(outcome);
        push(std::move(item));
    };
    job.finish = [this, generation](bool stopped) {
        Item end;
        end.isEnd = true;
        end.stopped = stopped;
        end.outcome.generation = generation;
        push(std::move(end));
    };
    m_thread = std::thread([job = std::move(job)]() mutable {
        lowerToIdlePriority();
        UpdateWorkerProc(std::move(job));
    });
    return generation;
}

void UpdateWorker::stop()
{
    if (!m_thread.joinable())
        return;
    m_control->requestStop();
    joinThread();
    deliverPending();
}

void UpdateWorker::pause()
{
    if (m_control)
        m_control->pause();
}

void UpdateWorker::resume()
{
    if (m_control)
        m_control->resume();
}

void UpdateWorker::joinThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void UpdateWorker::push(Item &&item)
{
    // Qt's own locking between threads is out of ThreadSanitizer's sight (the Qt libraries are
    // not instrumented), so the hand-over is made visible through the queue's lock: the call
    // is posted with the lock held, and the owning thread takes the lock in deliverPending
    // before Qt frees the posted call. The call is by name, so no code of ours reads the
    // posted call before that lock; a member-pointer call would, through its slot object.
    std::lock_guard lock(m_queueMutex);
    m_queue.push_back(std::move(item));
    QMetaObject::invokeMethod(this, "deliverPending", Qt::QueuedConnection);
}

void UpdateWorker::deliverPending()
{
    // One item at a time: a receiver may call stop() or start(), which delivers the rest
    // of the queue itself before this loop looks at it again.
    for (;;) {
        Item item;
        {
            std::lock_guard lock(m_queueMutex);
            if (m_queue.empty())
                return;
            item = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (item.outcome.generation != m_generation)
            continue;
        if (item.isEnd) {
            m_running = false;
            Q_EMIT runEnded(item.outcome.generation, item.stopped);
        } else {
            Q_EMIT codeFetched(item.outcome);
        }
    }
}
