#pragma once

#include "quotes/QuoteRecord.h"

#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

// How one fetch ended: success, or failure with the reason when the fetch knows it
// ("HTTP status 404", "timed out after 30 s"). Converts to and from bool, so a fetch function
// that knows no reason simply returns true or false.
struct FetchStatus {
    FetchStatus(bool ok = false) // NOLINT(google-explicit-constructor)
        : ok(ok)
    { }
    static FetchStatus failed(QString reason)
    {
        FetchStatus status(false);
        status.error = std::move(reason);
        return status;
    }
    operator bool() const { return ok; } // NOLINT(google-explicit-constructor)

    bool ok;
    QString error; // empty on success
};

// Fetches one code into `result`. On failure `result` is left as far as the failed step
// got and must not be copied anywhere.
using FetchFunction = std::function<FetchStatus(const QString &code, QuoteRecord &result)>;

// What the fetch of one run may know in advance: its stop flag, which requests should watch so
// that a stop aborts the transfers in flight, and the whole batch, so that it may fetch ahead.
// The fetch function is then called once per code, in batch order (a stop ends the calls early).
struct FetchRun {
    const std::atomic<bool> *stop = nullptr;
    QStringList batch;
};

// Makes the fetch function of one run. It is called on the worker thread, so whatever it
// creates (a network handle, a transfer thread) belongs to that thread; the function is
// destroyed on that thread before the run's end is announced.
using FetchFactory = std::function<FetchFunction(const FetchRun &run)>;

// The outcome of one code of a run, handed from the worker thread to the owning thread.
struct FetchOutcome {
    quint64 generation = 0;
    int index = 0; // position of the code in the batch, from 0
    QString code;
    bool ok = false;
    QString error; // why the fetch failed, when known; kept in memory only, never in a file
    QuoteRecord result;
};

// Stop and pause requests of one run, shared by the owning thread and the worker thread.
class RunControl {
public:
    void requestStop();
    bool stopRequested() const { return m_stop.load(); }
    const std::atomic<bool> *stopFlag() const { return &m_stop; }

    // A paused run holds between two codes, never inside a request.
    void pause();
    void resume();
    // Blocks while paused; returns at once when a stop is requested.
    void waitWhilePaused();

private:
    std::atomic<bool> m_stop { false };
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_paused = false;
};

// What the worker thread gets: the batch, its controls and where to hand results.
struct UpdateJob {
    quint64 generation = 0;
    QStringList batch;
    FetchFactory fetchFactory;
    RunControl *control = nullptr;
    // Called on the worker thread after each code that was fetched or failed (not after
    // a code whose transfer a stop interrupted).
    std::function<void(FetchOutcome &&)> deliver;
    // Called on the worker thread once at the end; `stopped` when the run ended early.
    std::function<void(bool stopped)> finish;
};

// The body of the worker thread: takes the batch's results in order, one code after another
// (the fetch function may have transferred later pages meanwhile), and stops between two codes
// (or inside a request, through the stop flag) when asked. Never touches the document's
// records: results travel through `deliver`.
int UpdateWorkerProc(UpdateJob job);
