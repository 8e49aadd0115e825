#include "app/core/Startup.h"

#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"

#include <QStringDecoder>
#include <QUrl>

#include <optional>

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

namespace {

// One name of a "file:" address's path with its escapes decoded, or nullopt when the escapes
// make more of it than a name.
std::optional<QString> decodedName(QStringView encoded)
{
    const QByteArray bytes = QByteArray::fromPercentEncoding(encoded.toUtf8());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString name = utf8.decode(bytes);
    if (utf8.hasError() || name == u"." || name == u"..")
        return std::nullopt;
    for (QChar c : name) {
        if (c == u'/' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return std::nullopt;
    }
    return name;
}

} // namespace

QString LaunchedFilePath(const QString &argument)
{
    if (!argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return argument;
    const QUrl url(argument, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile() || (!url.host().isEmpty() && url.host() != u"localhost"))
        return argument;
    const QString encoded = url.path(QUrl::FullyEncoded);
    if (!encoded.startsWith(u'/'))
        return argument;
    QString path;
    for (QStringView piece : QStringView(encoded).mid(1).split(u'/')) {
        const std::optional<QString> name = decodedName(piece);
        if (!name)
            return argument;
        path += u'/' + *name;
    }
    return path;
}
