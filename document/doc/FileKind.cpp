#include "document/doc/FileKind.h"

#include <QFileInfo>

FileKind FileKindFromPath(const QString &path)
{
    const QString ext = QFileInfo(path).suffix();
    const auto is = [&ext](const char *e) { return ext.compare(QLatin1String(e), Qt::CaseInsensitive) == 0; };
    if (is("xls") || is("xlsx"))
        return FileKind::Workbook;
    if (is("json"))
        return FileKind::Json;
    if (is("csv"))
        return FileKind::Csv;
    return FileKind::ListFile;
}
