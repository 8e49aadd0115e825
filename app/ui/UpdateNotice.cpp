#include "app/ui/UpdateNotice.h"

#include "app/ui/StatusBarPanes.h"
#include "corelib/Messages.h"
#include "corelib/NumberText.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "view/table/RowMarks.h"

#include <QDateTime>
#include <QStringList>

UpdateNotice::UpdateNotice(CQuotraDoc &doc, StatusBarPanes &panes, bool unattended, QObject *parent)
    : QObject(parent)
    , m_panes(panes)
    , m_unattended(unattended)
    , m_clock([] { return QDateTime::currentSecsSinceEpoch(); })
    , m_doc(doc)
{
    connect(&doc, &CQuotraDoc::updateStarted, this, [this](quint64 generation, int) {
        m_started.insert(generation, m_clock());
        m_failed.insert(generation, 0);
    });
    connect(&doc, &CQuotraDoc::updateProgress, this, [this](quint64 generation, int, const QString &code) {
        const auto failed = m_failed.find(generation);
        const QuoteRecord *r = m_doc.record(code);
        if (failed != m_failed.end() && r && IsFailedRow(*r))
            ++*failed;
    });
    // Connected after the frame's own handler, which ends the progress run and puts the
    // idle text up: the notice replaces that text.
    connect(&doc, &CQuotraDoc::updateFinished, this, [this](quint64 generation, bool) {
        const auto started = m_started.constFind(generation);
        if (started == m_started.cend())
            return;
        const qint64 elapsed = m_clock() - *started;
        m_started.erase(started);
        const int failed = m_failed.take(generation);
        if (m_unattended)
            return;
        QStringList notice;
        if (elapsed > kLongUpdateSeconds)
            notice << tessera::FormatResourceString(Ids::MsgUpdateFinished, { QString::number(elapsed) });
        if (failed > 0)
            notice << tessera::FormatResourceString(Ids::MsgRowsFailed, { tessera::GroupedNumber(failed) });
        if (!notice.isEmpty())
            m_panes.showMessage(notice.join(u' '));
    });
}
