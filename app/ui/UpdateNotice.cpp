#include "app/ui/UpdateNotice.h"

#include "app/ui/StatusBarPanes.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"

#include <QDateTime>

UpdateNotice::UpdateNotice(CQuotraDoc &doc, StatusBarPanes &panes, bool unattended, QObject *parent)
    : QObject(parent)
    , m_panes(panes)
    , m_unattended(unattended)
    , m_clock([] { return QDateTime::currentSecsSinceEpoch(); })
{
    connect(&doc, &CQuotraDoc::updateStarted, this,
        [this](quint64 generation, int) { m_started.insert(generation, m_clock()); });
    // Connected after the frame's own handler, which ends the progress run and puts the
    // idle text up: the notice replaces that text.
    connect(&doc, &CQuotraDoc::updateFinished, this, [this](quint64 generation, bool) {
        const auto started = m_started.constFind(generation);
        if (started == m_started.cend())
            return;
        const qint64 elapsed = m_clock() - *started;
        m_started.erase(started);
        if (m_unattended || elapsed <= kLongUpdateSeconds)
            return;
        m_panes.showMessage(
            tessera::FormatResourceString(Ids::MsgUpdateFinished, { QString::number(elapsed) }));
    });
}
