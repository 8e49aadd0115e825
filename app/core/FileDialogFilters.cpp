#include "app/core/FileDialogFilters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The document type's own entry: the program's list files first.
const QString kListFiles = QStringLiteral("株価リスト ファイル|*.kabu|");

} // namespace

QString FileDialogFilter(FileDialogKind kind)
{
    switch (kind) {
    case FileDialogKind::Open:
        return kListFiles + QStringLiteral("Excel Files|*.xlsx;*.xls|CSV Files|*.csv|Text Files|*.txt||");
    case FileDialogKind::OpenSeveral:
        return kListFiles + QStringLiteral("Excel Files|*.xlsx;*.xls|All Files|*.kabu;*.xlsx;*.xls||");
    case FileDialogKind::Save:
        return kListFiles + QStringLiteral("Excel Files|*.xlsx|CSV Files|*.csv|JSON Files|*.json||");
    }
    return kListFiles + u'|';
}

QStringList QtNameFilters(const QString &pipeFilter)
{
    QStringList filters;
    const QStringList parts = pipeFilter.split(u'|');
    for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
        const QString &name = parts[k];
        const QString &patterns = parts[k + 1];
        if (name.isEmpty() || patterns.isEmpty())
            break;
        filters << name + QStringLiteral(" (") + QString(patterns).replace(u';', u' ') + u')';
    }
    return filters;
}

QString DialogStartFolder(const QString &current, const QString &programFolder, const QString &documents)
{
    const bool usable = !current.isEmpty() && QFileInfo(current).isDir() && QFileInfo(programFolder).isDir()
        && QDir::cleanPath(current).compare(QDir::cleanPath(programFolder), Qt::CaseInsensitive) != 0;
    return usable ? current : documents;
}

QString DialogStartFolder(const QString &current)
{
    return DialogStartFolder(current, QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}
