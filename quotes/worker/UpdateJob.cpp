#include "quotes/worker/UpdateJob.h"

void RunControl::requestStop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop.store(true);
    }
    m_wake.notify_all();
}

void RunControl::pause()
{
    std::lock_guard lock(m_mutex);
    m_paused = true;
}

void RunControl::resume()
{
    {
        std::lock_guard lock(m_mutex);
        m_paused = false;
    }
    m_wake.notify_all();
}

void RunControl::waitWhilePaused()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return !m_paused || m_stop.load(); });
}

// The job is taken by value: the worker owns it from the start of the run, whatever the
// starting thread does with its own copy meanwhile.
int UpdateWorkerProc(UpdateJob job) // NOLINT(performance-unnecessary-value-param)
{
    RunControl &control = *job.control;
    FetchRun run;
    run.stop = control.stopFlag();
    run.batch = job.batch;
    FetchFunction fetch = job.fetchFactory(run);
    bool stopped = false;
    for (int index = 0; index < job.batch.size(); ++index) {
        control.waitWhilePaused();
        if (control.stopRequested()) {
            stopped = true;
            break;
        }
        FetchOutcome outcome;
        outcome.generation = job.generation;
        outcome.index = index;
        outcome.code = job.batch.at(index);
        outcome.result = QuoteRecord(outcome.code);
        FetchStatus status = fetch(outcome.code, outcome.result);
        outcome.ok = status.ok;
        outcome.error = std::move(status.error);
        // A failure while a stop is pending is most likely the interrupted transfer: the
        // row keeps what it had rather than showing an error the site never caused.
        if (!outcome.ok && control.stopRequested()) {
            stopped = true;
            break;
        }
        job.deliver(std::move(outcome));
    }
    // Transfers still in flight (fetched ahead, or cut short by the stop) end here, before the
    // end is announced, so nothing of the run outlives it.
    fetch = nullptr;
    job.finish(stopped);
    return 0;
}
