#include "document/doc/SaveTarget.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isSavableExtension(const QString &ext)
{
    for (const char *e : { ".csv", ".kabu", ".xls", ".xlsx" }) {
        if (ext.compare(QLatin1String(e), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

SaveNamingContext WithFileSystemState(SaveNamingContext context)
{
    context.outputFolderExists = !context.outputFolder.isEmpty() && QFileInfo(context.outputFolder).isDir();
    context.defaultListExists
        = !context.defaultListPath.isEmpty() && QFileInfo::exists(context.defaultListPath);
    return context;
}

QString SaveTarget(const QString &path, FileKind kind, const SaveNamingContext &context)
{
    if (path.isEmpty())
        return {};
    // The extension is everything from the last dot of the file name, as the list's own
    // naming has always split it; a name without a dot has none.
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString directory = path.left(slash + 1);
    const QString fileName = path.mid(slash + 1);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    QString name = dot < 0 ? fileName : fileName.left(dot);
    QString ext = dot < 0 ? QString() : fileName.mid(dot);

    QString target;
    if (context.unattended && context.outputFolderExists) {
        if (context.workbookOutput && kind != FileKind::Workbook)
            ext = QStringLiteral(".xlsx");
        const QString stamp = context.localNow.toString(QStringLiteral("MMddHHmm"));
        target = QDir(context.outputFolder).filePath(name + stamp);
    } else {
        target = directory + name;
    }
    if (!isSavableExtension(ext))
        ext = QStringLiteral(".kabu");
    // Workbooks are written in one format only, under its own extension.
    if (ext.compare(QLatin1String(".xls"), Qt::CaseInsensitive) == 0)
        ext = QStringLiteral(".xlsx");
    target += ext;

    if (context.defaultListExists
        && QDir::cleanPath(target).compare(QDir::cleanPath(context.defaultListPath), Qt::CaseInsensitive)
            == 0)
        return {};
    return target;
}
