#include "app/core/ColorSchemeRules.h"

#include <QList>

#include <algorithm>

std::optional<bool> DarkFromPortalValue(quint32 value)
{
    if (value == 1)
        return true;
    if (value == 2)
        return false;
    return std::nullopt;
}

std::optional<QString> IniValue(const QByteArray &ini, const QString &section, const QString &key)
{
    // Settings files are small; a file of megabytes is not one, and reading it all would
    // only cost time.
    constexpr qsizetype kLongestFile = 1 << 20;
    const QString text = QString::fromUtf8(ini.left(kLongestFile));
    QString current;
    std::optional<QString> found;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (line.endsWith(u']'))
                current = line.mid(1, line.size() - 2).trimmed().toString();
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || current != section)
            continue;
        if (line.left(eq).trimmed() == key)
            found = line.mid(eq + 1).trimmed().toString(); // the last one counts, as GLib's
    }
    return found;
}

namespace {

std::optional<bool> readBool(const QString &v)
{
    const QString s = v.toLower();
    if (s == u"1" || s == u"true" || s == u"yes")
        return true;
    if (s == u"0" || s == u"false" || s == u"no")
        return false;
    return std::nullopt;
}

} // namespace

std::optional<bool> DarkFromGtkSettings(const QByteArray &ini)
{
    const QString settings = QStringLiteral("Settings");
    if (const std::optional<QString> prefer
        = IniValue(ini, settings, QStringLiteral("gtk-application-prefer-dark-theme"))) {
        if (const std::optional<bool> b = readBool(*prefer))
            return b;
    }
    if (const std::optional<QString> name = IniValue(ini, settings, QStringLiteral("gtk-theme-name"))) {
        QString n = name->toLower();
        if (n.size() >= 2 && n.startsWith(u'"') && n.endsWith(u'"'))
            n = n.mid(1, n.size() - 2);
        if (n.endsWith(u"-dark") || n.endsWith(u":dark"))
            return true;
    }
    return std::nullopt;
}

std::optional<bool> DarkFromGtkThemeVariable(const QString &value)
{
    const qsizetype colon = value.lastIndexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const QString variant = value.mid(colon + 1).trimmed().toLower();
    if (variant == u"dark")
        return true;
    if (variant == u"light")
        return false;
    return std::nullopt;
}

std::optional<bool> DarkFromKdeGlobals(const QByteArray &ini)
{
    if (const std::optional<QString> back
        = IniValue(ini, QStringLiteral("Colors:Window"), QStringLiteral("BackgroundNormal"))) {
        const QStringList parts = back->split(u',');
        if (parts.size() == 3 || parts.size() == 4) {
            int rgb[3] = {};
            bool all = true;
            for (int i = 0; i < 3 && all; ++i) {
                bool ok = false;
                rgb[i] = parts[i].trimmed().toInt(&ok);
                all = ok && rgb[i] >= 0 && rgb[i] <= 255;
            }
            if (all) {
                // HSL lightness, as the palettes judge dark and light.
                const int lightness
                    = (std::max({ rgb[0], rgb[1], rgb[2] }) + std::min({ rgb[0], rgb[1], rgb[2] })) / 2;
                return lightness < 128;
            }
        }
    }
    if (const std::optional<QString> scheme
        = IniValue(ini, QStringLiteral("General"), QStringLiteral("ColorScheme"))) {
        if (scheme->contains(u"dark", Qt::CaseInsensitive))
            return true;
        if (!scheme->isEmpty())
            return false;
    }
    return std::nullopt;
}
