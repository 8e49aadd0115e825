#include "app/core/Startup.h"

#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"

#include <QUrl>

QString LanguageNotReadyText()
{
    return QStringLiteral("Language corresponding resource is not ready.");
}

bool CheckLanguageModule()
{
    if (tessera::LanguageModule::instance().load())
        return true;
    tessera::ShowMessage(LanguageNotReadyText(), tessera::MbOk | tessera::MbIconError);
    return false;
}

bool IsPackagedEdition(const QString &programPath)
{
    return programPath.indexOf(QLatin1String(kPackagedEditionMarker)) > 0;
}

bool SelectHeadlessPlatform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}

QString LaunchedFilePath(const QString &argument)
{
    if (!argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return argument;
    const QUrl url(argument, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile() || (!url.host().isEmpty() && url.host() != u"localhost"))
        return argument;
    return url.path(QUrl::FullyDecoded);
}
