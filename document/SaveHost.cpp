#include "document/SaveHost.h"

#include "document/DocumentIo.h"

tessera::Status SaveHost::writeFile(const QString &target, FileKind kind, const RecordMap &rows)
{
    return SaveDocumentFile(target, kind, rows, layoutToStore(), tableToExport(), m_listTitle);
}
