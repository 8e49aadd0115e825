#pragma once

#include "corelib/Result.h"
#include "history/AlertRules.h"
#include "history/HistoryPoint.h"

#include <QString>

#include <optional>
#include <span>
#include <vector>

class HistoryStore;

// The price alerts, kept in the history file in tables of their own, so that they work
// whether the history is kept or not and no list file changes. Every change is one
// transaction; like the store, a call returns its failure instead of throwing.
class AlertBook {
public:
    explicit AlertBook(HistoryStore &store);

    // Every alert, in code order.
    tessera::Result<std::vector<Alert>> all() const;
    // The alert of `code`; nothing when it has none.
    tessera::Result<std::optional<Alert>> find(const QString &code) const;

    // Stores the conditions and note of `alert.code`, replacing what it had. A condition whose
    // kind and threshold were there before keeps its state (armed, last firing); a new or
    // changed one starts armed, so that one already holding fires at the next check. An
    // alert without conditions is removed.
    tessera::Status put(const Alert &alert);
    // Removes the code's alert, or only its condition of `kind`.
    tessera::Result<bool> remove(const QString &code, std::optional<AlertKind> kind = std::nullopt);

    // Takes the alerts of the codes in `points` through their new values, in time order,
    // and stores what changed in one transaction. Returns the conditions that fired.
    tessera::Result<std::vector<AlertFiring>> check(std::span<const HistoryPoint> points);

private:
    tessera::Status writeConditions(const Alert &alert);

    HistoryStore &m_store;
};
