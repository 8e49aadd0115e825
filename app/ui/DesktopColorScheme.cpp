#include "app/ui/DesktopColorScheme.h"

#include "app/core/ColorSchemeRules.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

const auto kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const auto kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const auto kSettingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const auto kAppearance = QStringLiteral("org.freedesktop.appearance");
const auto kColorScheme = QStringLiteral("color-scheme");
// A portal that does not answer at once must not hold up the window.
constexpr int kPortalTimeoutMs = 1500;
constexpr qint64 kLongestSettingsFile = 1 << 20;

QByteArray readConfig(const QString &relative)
{
    const QString path = QStandardPaths::locate(QStandardPaths::GenericConfigLocation, relative);
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kLongestSettingsFile);
}

} // namespace

DesktopColorScheme::DesktopColorScheme(QObject *parent)
    : QObject(parent)
{ }

std::optional<bool> DesktopColorScheme::DarkFromPortalReply(const QVariant &reply)
{
    QVariant v = reply;
    // Read() wraps the value twice (a variant in a variant), ReadOne() once; a sane reply
    // is never deeper than that, so a few levels are enough.
    for (int depth = 0; depth < 4 && v.metaType() == QMetaType::fromType<QDBusVariant>(); ++depth)
        v = v.value<QDBusVariant>().variant();
    bool ok = false;
    const uint value = v.toUInt(&ok);
    if (!ok || v.metaType() == QMetaType::fromType<QString>())
        return std::nullopt;
    return DarkFromPortalValue(value);
}

std::optional<bool> DesktopColorScheme::ReadPortal()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    for (const char *method : { "ReadOne", "Read" }) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            kPortalService, kPortalPath, kSettingsInterface, QString::fromLatin1(method));
        call << kAppearance << kColorScheme;
        const QDBusMessage answer = bus.call(call, QDBus::Block, kPortalTimeoutMs);
        if (answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty())
            return DarkFromPortalReply(answer.arguments().front());
        // An old portal has no ReadOne; any other error means no portal worth asking.
        if (answer.errorName() != u"org.freedesktop.DBus.Error.UnknownMethod")
            break;
    }
    return std::nullopt;
}

std::optional<bool> DesktopColorScheme::ReadFallbacks()
{
    if (const std::optional<bool> env = DarkFromGtkThemeVariable(qEnvironmentVariable("GTK_THEME")))
        return env;
    for (const char *file : { "gtk-4.0/settings.ini", "gtk-3.0/settings.ini" }) {
        if (const std::optional<bool> gtk = DarkFromGtkSettings(readConfig(QString::fromLatin1(file))))
            return gtk;
    }
    return DarkFromKdeGlobals(readConfig(QStringLiteral("kdeglobals")));
}

void DesktopColorScheme::start()
{
    std::optional<bool> dark = ReadPortal();
    if (!dark)
        dark = ReadFallbacks();
    m_dark = dark.value_or(false);
    if (!m_started) {
        m_started = true;
        QDBusConnection::sessionBus().connect(kPortalService, kPortalPath, kSettingsInterface,
            QStringLiteral("SettingChanged"), this, SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    }
}

void DesktopColorScheme::onSettingChanged(const QString &ns, const QString &key, const QDBusVariant &value)
{
    if (ns != kAppearance || key != kColorScheme)
        return;
    // "No preference" after a preference means light again.
    const bool dark = DarkFromPortalReply(QVariant::fromValue(value)).value_or(false);
    if (dark == m_dark)
        return;
    m_dark = dark;
    Q_EMIT darkChanged(dark);
}
