#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class CQuotraDoc;
class StatusBarPanes;

// After an interactive update, the status bar says what the user should know of it (no box
// to click away; an unattended run shows nothing): message 2028 with the elapsed seconds
// when it took longer than a minute, and message 2026 with the number of rows whose update
// failed in this run, when any did.
class UpdateNotice : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kLongUpdateSeconds = 60;
    using Clock = std::function<qint64()>; // seconds since 1970

    UpdateNotice(CQuotraDoc &doc, StatusBarPanes &panes, bool unattended, QObject *parent = nullptr);
    void setClock(Clock clock) { m_clock = std::move(clock); }

private:
    StatusBarPanes &m_panes;
    bool m_unattended;
    Clock m_clock;
    CQuotraDoc &m_doc;
    QHash<quint64, qint64> m_started; // run generation -> start second
    QHash<quint64, int> m_failed; // run generation -> rows failed so far
};
