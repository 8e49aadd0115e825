#include "document/SaveHost.h"

#include "document/DocumentIo.h"

tessera::Status SaveHost::writeFile(const QString &target, FileKind kind, const RecordMap &rows)
{
    return SaveDocumentFile(
        target, kind, rows, layoutToStore(), tableToExport(), m_listTitle, &m_linksLeftOut);
}

QStringList SaveNotices(const SaveOutcome &outcome)
{
    QStringList notices;
    if (outcome.linksLeftOut > 0)
        notices.append(LinksLeftOutText(outcome.linksLeftOut));
    if (!outcome.notice.isEmpty())
        notices.append(outcome.notice);
    return notices;
}
