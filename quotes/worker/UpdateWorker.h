#pragma once

#include "quotes/worker/UpdateJob.h"

#include <QObject>
#include <QStringList>

#include <deque>
#include <memory>
#include <mutex>
#include <thread>

// Runs update batches on one background thread at idle priority, at most one run at a time.
// Lives on the owning (user-interface) thread; everything it emits is emitted there, in batch
// order, so receivers may touch the records they own without a lock. The worker thread
// fetches into records of its own and never sees the receiver's data.
//
// Each run gets a generation number; results of a run that a later run replaced are dropped.
class UpdateWorker : public QObject {
    Q_OBJECT
public:
    explicit UpdateWorker(FetchFactory factory, QObject *parent = nullptr);
    ~UpdateWorker() override;

    void setFetchFactory(FetchFactory factory);

    // Stops any earlier run (see stop()), then starts a run of `batch`; returns its generation.
    quint64 start(const QStringList &batch);
    // Asks the run to stop, aborting a transfer in flight, waits for its thread to end and
    // then delivers what the run left (the outcomes fetched before the stop and the end), so
    // that on return nothing of the run is pending any more. No-op without a run.
    void stop();
    // Holds the run between two codes (for a question to the user) and lets it go on.
    void pause();
    void resume();

    // True from start() until the run's end has been delivered.
    bool isRunning() const { return m_running; }
    quint64 generation() const { return m_generation; }

Q_SIGNALS:
    // One code of the current run was fetched (outcome.ok) or failed.
    void codeFetched(const FetchOutcome &outcome);
    // The current run ended, after its last code or early by stop().
    void runEnded(quint64 generation, bool stopped);

private:
    struct Item {
        bool isEnd = false;
        bool stopped = false;
        FetchOutcome outcome;
    };
    void push(Item &&item);
    Q_INVOKABLE void deliverPending(); // invoked by name from the worker thread
    void joinThread();

    FetchFactory m_factory;
    std::thread m_thread;
    std::unique_ptr<RunControl> m_control;
    quint64 m_generation = 0;
    bool m_running = false;

    std::mutex m_queueMutex;
    std::deque<Item> m_queue;
};
