#include "document/doc/SaveRoute.h"

#include "document/ListFile.h"
#include "document/ListLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The name and extension of a path's file, split at the last dot of the file name.
struct NameParts {
    QString stem; // folder and file name without the extension
    QString ext; // from the dot, or empty
};

NameParts splitName(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash)
        return { path, {} };
    return { path.left(dot), path.mid(dot) };
}

// The first "NAME (n).ext", from n = 2, that nothing occupies.
QString firstFreeNumberedName(const QString &path, const ExistingFileProbe &existing)
{
    const NameParts parts = splitName(path);
    constexpr int kMostTries = 10000;
    QString name;
    for (int n = 2; n <= kMostTries; ++n) {
        name = QStringLiteral("%1 (%2)%3").arg(parts.stem).arg(n).arg(parts.ext);
        if (existing(name) == ExistingFile::None)
            break;
    }
    return name;
}

SaveRoute ask(const QString &proposal)
{
    SaveRoute route;
    route.proposal = proposal;
    return route;
}

SaveRoute write(const QString &target)
{
    SaveRoute route;
    route.target = target;
    return route;
}

} // namespace

QString ListFileNameOf(const QString &path)
{
    return splitName(path).stem + QStringLiteral(".kabu");
}

SaveRoute RouteSave(const QString &path, SaveRequest request, FileKind kind, const SaveNamingContext &context,
    bool canAsk, const ExistingFileProbe &existing)
{
    QString name = SaveTarget(path, kind, context);
    if (name.isEmpty())
        return ask(path);
    const bool stampedIntoFolder = context.unattended && context.outputFolderExists;
    if (request == SaveRequest::Plain && FileKindFromPath(name) == FileKind::Workbook && !stampedIntoFolder) {
        // A workbook holds more than the list's one sheet (or another format): a plain save
        // keeps the list beside it instead.
        name = ListFileNameOf(name);
        if (canAsk)
            return ask(existing(name) == ExistingFile::Other ? firstFreeNumberedName(name, existing) : name);
    }
    if (request == SaveRequest::Chosen && QDir::cleanPath(name) == QDir::cleanPath(path))
        return write(name);
    if (existing(name) != ExistingFile::Other)
        return write(name);
    const QString numbered = firstFreeNumberedName(name, existing);
    if (canAsk)
        return ask(numbered);
    SaveRoute route = write(numbered);
    route.displaced = name;
    return route;
}

ExistingFile ProbeExistingFile(const QString &path, const QString &ownPath)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return ExistingFile::None;
    if (!ownPath.isEmpty() && info.exists()
        && info.canonicalFilePath() == QFileInfo(ownPath).canonicalFilePath())
        return ExistingFile::Own;
    if (!info.isFile() || info.size() > ListLoadOptions().maxFileBytes)
        return ExistingFile::Other;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ExistingFile::Other;
    return ReadListFile(file).ok() ? ExistingFile::ListFile : ExistingFile::Other;
}
