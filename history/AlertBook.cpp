#include "history/AlertBook.h"

#include "history/HistoryStore.h"
#include "history/SqliteStatement.h"

#include <QHash>

#include <algorithm>
#include <functional>
#include <initializer_list>

using namespace Qt::StringLiterals;
using namespace historydb;
using tessera::Error;

namespace {

constexpr const char kSelectAll[] = "SELECT a.code, a.note, c.kind, c.threshold, c.enabled, c.armed,"
                                    " c.fired_time, c.fired_value FROM alerts a"
                                    " JOIN alert_conditions c ON c.code = a.code";

// Reads the rows of kSelectAll (ordered by code and kind) into alerts.
tessera::Result<std::vector<Alert>> readAlerts(Statement &select, sqlite3 *db, const QString &path)
{
    std::vector<Alert> alerts;
    int rc;
    while ((rc = select.step()) == SQLITE_ROW) {
        const QString code = select.text(0);
        if (alerts.empty() || alerts.back().code != code)
            alerts.push_back({ code, select.text(1), {} });
        const qint64 kind = select.integer(2);
        if (kind < 0 || kind >= kAlertKindCount)
            continue; // a kind a later version added
        AlertCondition &c = alerts.back().conditions.emplace_back();
        c.kind = static_cast<AlertKind>(kind);
        c.threshold = select.real(3).value_or(0);
        c.enabled = select.integer(4) != 0;
        c.armed = select.integer(5) != 0;
        if (select.real(6))
            c.firedTime = select.integer(6);
        c.firedValue = select.real(7);
    }
    if (rc != SQLITE_DONE)
        return errorOf(db, rc, path);
    return alerts;
}

// BEGIN ... COMMIT around `work`, rolled back when it fails.
tessera::Status inTransaction(sqlite3 *db, const QString &path, const std::function<tessera::Status()> &work)
{
    int rc = exec(db, "BEGIN IMMEDIATE");
    if (rc != SQLITE_OK)
        return errorOf(db, rc, path);
    tessera::Status done = work();
    if (done.ok()) {
        rc = exec(db, "COMMIT");
        if (rc == SQLITE_OK)
            return done;
        done = errorOf(db, rc, path);
    }
    exec(db, "ROLLBACK");
    return done;
}

// The failure of the first statement that did not prepare, or Ok.
tessera::Status allPrepared(
    sqlite3 *db, const QString &path, std::initializer_list<const Statement *> statements)
{
    for (const Statement *s : statements) {
        if (s->prepared() != SQLITE_OK)
            return errorOf(db, s->prepared(), path);
    }
    return tessera::Ok {};
}

Error readOnlyError(const QString &path)
{
    return Error { HistoryErrorReadOnly,
        u"%1: written by a newer version of the program, not changed"_s.arg(path) };
}

} // namespace

AlertBook::AlertBook(HistoryStore &store)
    : m_store(store)
{ }

tessera::Result<std::vector<Alert>> AlertBook::all() const
{
    Statement select(m_store.connection(), QByteArray(kSelectAll) + " ORDER BY a.code, c.kind");
    if (select.prepared() != SQLITE_OK)
        return errorOf(m_store.connection(), select.prepared(), m_store.path());
    return readAlerts(select, m_store.connection(), m_store.path());
}

tessera::Result<std::optional<Alert>> AlertBook::find(const QString &code) const
{
    Statement select(m_store.connection(), QByteArray(kSelectAll) + " WHERE a.code = ?1 ORDER BY c.kind");
    if (select.prepared() != SQLITE_OK)
        return errorOf(m_store.connection(), select.prepared(), m_store.path());
    select.bindText(1, code);
    tessera::Result<std::vector<Alert>> found = readAlerts(select, m_store.connection(), m_store.path());
    if (!found)
        return found.error();
    if (found->empty())
        return std::optional<Alert>();
    return std::optional<Alert>(std::move(found->front()));
}

tessera::Status AlertBook::writeConditions(const Alert &alert)
{
    sqlite3 *db = m_store.connection();
    Statement clear(db, "DELETE FROM alert_conditions WHERE code = ?1");
    Statement insert(db,
        "INSERT INTO alert_conditions (code, kind, threshold, enabled, armed, fired_time, fired_value)"
        " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    if (tessera::Status ready = allPrepared(db, m_store.path(), { &clear, &insert }); !ready)
        return ready;
    clear.bindText(1, alert.code);
    int rc = clear.step();
    for (const AlertCondition &c : alert.conditions) {
        if (rc != SQLITE_DONE)
            break;
        insert.bindText(1, alert.code);
        insert.bindInt(2, static_cast<int>(c.kind));
        insert.bindReal(3, c.threshold);
        insert.bindInt(4, c.enabled ? 1 : 0);
        insert.bindInt(5, c.armed ? 1 : 0);
        if (c.firedTime)
            insert.bindInt(6, *c.firedTime);
        else
            insert.bindReal(6, std::nullopt);
        insert.bindReal(7, c.firedValue);
        rc = insert.step();
        insert.reset();
    }
    if (rc != SQLITE_DONE)
        return errorOf(db, rc, m_store.path());
    return tessera::Ok {};
}

tessera::Status AlertBook::put(const Alert &alert)
{
    if (m_store.readOnly())
        return readOnlyError(m_store.path());
    if (alert.conditions.empty()) {
        const tessera::Result<bool> removed = remove(alert.code);
        if (!removed)
            return removed.error();
        return tessera::Ok {};
    }
    const tessera::Result<std::optional<Alert>> before = find(alert.code);
    if (!before)
        return before.error();
    Alert next = alert;
    std::sort(next.conditions.begin(), next.conditions.end(),
        [](const AlertCondition &a, const AlertCondition &b) { return a.kind < b.kind; });
    next.conditions.erase(
        std::unique(next.conditions.begin(), next.conditions.end(),
            [](const AlertCondition &a, const AlertCondition &b) { return a.kind == b.kind; }),
        next.conditions.end());
    for (AlertCondition &c : next.conditions) {
        const AlertCondition *old = *before ? (*before)->condition(c.kind) : nullptr;
        if (old && old->threshold == c.threshold) {
            c.armed = old->armed;
            c.firedTime = old->firedTime;
            c.firedValue = old->firedValue;
        } else {
            c.armed = true;
            // The last firing stays on record even for a new threshold: the window shows it.
            if (old) {
                c.firedTime = old->firedTime;
                c.firedValue = old->firedValue;
            }
        }
    }
    sqlite3 *db = m_store.connection();
    return inTransaction(db, m_store.path(), [&]() -> tessera::Status {
        Statement note(db,
            "INSERT INTO alerts (code, note) VALUES (?1, ?2)"
            " ON CONFLICT (code) DO UPDATE SET note = excluded.note");
        if (note.prepared() != SQLITE_OK)
            return errorOf(db, note.prepared(), m_store.path());
        note.bindText(1, next.code);
        note.bindText(2, next.note);
        const int rc = note.step();
        if (rc != SQLITE_DONE)
            return errorOf(db, rc, m_store.path());
        return writeConditions(next);
    });
}

tessera::Result<bool> AlertBook::remove(const QString &code, std::optional<AlertKind> kind)
{
    if (m_store.readOnly())
        return readOnlyError(m_store.path());
    sqlite3 *db = m_store.connection();
    bool removed = false;
    const tessera::Status done = inTransaction(db, m_store.path(), [&]() -> tessera::Status {
        Statement conditions(db,
            kind ? "DELETE FROM alert_conditions WHERE code = ?1 AND kind = ?2"
                 : "DELETE FROM alert_conditions WHERE code = ?1");
        // The note goes with the last condition.
        Statement orphan(db,
            "DELETE FROM alerts WHERE code = ?1 AND NOT EXISTS"
            " (SELECT 1 FROM alert_conditions c WHERE c.code = ?1)");
        if (tessera::Status ready = allPrepared(db, m_store.path(), { &conditions, &orphan }); !ready)
            return ready;
        conditions.bindText(1, code);
        if (kind)
            conditions.bindInt(2, static_cast<int>(*kind));
        int rc = conditions.step();
        removed = sqlite3_changes(db) > 0;
        if (rc == SQLITE_DONE) {
            orphan.bindText(1, code);
            rc = orphan.step();
        }
        if (rc != SQLITE_DONE)
            return errorOf(db, rc, m_store.path());
        return tessera::Ok {};
    });
    if (!done)
        return done.error();
    return removed;
}

tessera::Result<std::vector<AlertFiring>> AlertBook::check(std::span<const HistoryPoint> points)
{
    std::vector<AlertFiring> fired;
    if (points.empty())
        return fired;
    tessera::Result<std::vector<Alert>> alerts = all();
    if (!alerts)
        return alerts.error();
    if (alerts->empty())
        return fired;
    QHash<QString, Alert *> byCode;
    for (Alert &a : *alerts)
        byCode.insert(a.code, &a);
    std::vector<const HistoryPoint *> ordered;
    for (const HistoryPoint &p : points) {
        if (byCode.contains(p.code))
            ordered.push_back(&p);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
        [](const HistoryPoint *a, const HistoryPoint *b) { return a->time < b->time; });
    QList<Alert *> changed;
    for (const HistoryPoint *p : ordered) {
        Alert *alert = byCode.value(p->code);
        const Alert before = *alert;
        for (AlertCondition &c : alert->conditions) {
            if (StepAlert(c, p->values[HistoryPrice], p->values[HistoryRatio], p->time))
                fired.push_back({ alert->code, alert->note, c.kind, c.threshold, *c.firedValue, p->time });
        }
        if (!(before == *alert) && !changed.contains(alert))
            changed << alert;
    }
    if (changed.isEmpty())
        return fired;
    if (m_store.readOnly())
        return readOnlyError(m_store.path());
    const tessera::Status written
        = inTransaction(m_store.connection(), m_store.path(), [&]() -> tessera::Status {
              for (const Alert *a : std::as_const(changed)) {
                  tessera::Status s = writeConditions(*a);
                  if (!s)
                      return s;
              }
              return tessera::Ok {};
          });
    if (!written)
        return written.error();
    return fired;
}
