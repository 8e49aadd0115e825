#pragma once

#include <QList>
#include <QStringList>

#include <functional>

class CQuotraDoc;

// What one update run did to the rows it fetched.
struct RunCounts {
    struct Failure {
        QString code;
        QString reason; // why the fetch failed, when it says
    };
    int fetched = 0;
    int failed = 0;
    int changed = 0;
    QList<Failure> failures; // in the order the rows failed
};

// Runs one update through the document's worker and waits for its end, counting each row's
// outcome against the values it had before `start` ran. `start` starts the run (StartUpdate,
// or an operation that calls it) and returns the run's generation.
RunCounts RunUpdateAndWait(CQuotraDoc &doc, const std::function<quint64()> &start);
