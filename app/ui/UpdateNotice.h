#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class CQuotraDoc;
class StatusBarPanes;

// After an interactive update that took longer than a minute, message 2028 with the elapsed
// seconds stands on the status bar (no box to click away; an unattended run shows nothing).
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
    QHash<quint64, qint64> m_started; // run generation -> start second
};
