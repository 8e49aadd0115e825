#include "app/core/UnattendedRun.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/doc/FileKind.h"
#include "document/doc/SaveTarget.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString absolute(const QString &path)
{
    return path.isEmpty() ? path : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QString MissingOutputFolderText(const CCLineInfo &line)
{
    if (line.outputFolder.isEmpty() || QFileInfo(line.outputFolder).isDir())
        return {};
    return tessera::FormatResourceString(Ids::MsgOutputFolderNotFound, { line.outputFolder });
}

LinkRunStart HowUnattendedRunStarts(const CCLineInfo &line, bool registeredTaskAddress, bool canAsk)
{
    if (!line.autoRun || !line.fromProtocol() || registeredTaskAddress)
        return LinkRunStart::Run;
    return canAsk ? LinkRunStart::AskFirst : LinkRunStart::Refuse;
}

QString ExpectedResultPath(const CCLineInfo &line, const QDateTime &localNow)
{
    const QString list = absolute(line.fileName);
    SaveNamingContext naming;
    naming.unattended = true;
    naming.outputFolder = absolute(line.outputFolder);
    naming.workbookOutput = line.excelOutput;
    naming.localNow = localNow;
    const QString target = SaveTarget(list, FileKindFromPath(list), WithFileSystemState(naming));
    return target.isEmpty() ? list : target;
}

QString LinkRunQuestion(const CCLineInfo &line, const QDateTime &localNow)
{
    return tessera::FormatResourceString(
        Ids::MsgLinkRunQuestion, { absolute(line.fileName), ExpectedResultPath(line, localNow) });
}

QString LinkRunRefusedText(const CCLineInfo &line)
{
    return tessera::FormatResourceString(Ids::MsgLinkRunRefused, { absolute(line.fileName) });
}
