#pragma once

#include "history/AlertRules.h"
#include "history/HistoryLocation.h"
#include "history/HistoryPoint.h"
#include "history/HistoryStore.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CQuotraDoc;

// Keeps every successful fetch of a document's update runs in the history: it collects the
// fetched rows while a run goes on and stores them in one transaction when the run ends.
// Then it checks the run's values against the price alerts kept in the same file, which it
// does also when the history is not kept (then it never creates the file).
//
// Nothing about the run depends on it: a history that cannot be opened or written only
// costs the points of that run. The user hears of it once through the reporter (the status
// bar, or standard error where nobody looks at a window) until a later run is stored again;
// the details go to the log category "quotra.history" (QT_LOGGING_RULES=quotra.history.info=true).
class HistoryRecorder : public QObject {
    Q_OBJECT
public:
    using Reporter = std::function<void(const QString &text)>;

    HistoryRecorder(CQuotraDoc &doc, HistoryOptions options, Reporter report, QObject *parent = nullptr);
    ~HistoryRecorder() override;

    // The settings changed: keeping switched off closes the file; another file is opened at
    // the next run.
    void setOptions(const HistoryOptions &options);
    const HistoryOptions &options() const { return m_options; }

    // Why the last run's points were not stored; nothing after a stored run.
    const std::optional<tessera::Error> &lastError() const { return m_lastError; }
    // How many of the last run's points were new.
    qint64 lastStored() const { return m_lastStored; }

Q_SIGNALS:
    // A run's points were stored; `codes` are the codes that have new points.
    void stored(const QStringList &codes);
    // Conditions of price alerts fired in a run, in time order.
    void alertsFired(const std::vector<AlertFiring> &firings);

private:
    void collect(const QString &code);
    void flush();
    void storePoints(const std::vector<HistoryPoint> &points);
    void checkAlerts(const std::vector<HistoryPoint> &points);
    HistoryStore *openStore(bool create);
    void fail(const tessera::Error &error);

    CQuotraDoc &m_doc;
    HistoryOptions m_options;
    Reporter m_report;
    std::unique_ptr<HistoryStore> m_store;
    std::vector<HistoryPoint> m_pending;
    std::optional<tessera::Error> m_lastError;
    qint64 m_lastStored = 0;
    bool m_failureReported = false;
    bool m_alertFailureReported = false;
};
