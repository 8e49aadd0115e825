#include "app/core/ThemePaletteFile.h"

namespace {

constexpr qsizetype kLongestPalette = 64 * 1024;

tessera::Error fail(ThemePaletteError code, const QString &name, int line, const QString &what)
{
    return { code, QStringLiteral("%1 line %2: %3").arg(name).arg(line).arg(what) };
}

std::optional<quint32> readColour(QStringView v)
{
    if (v.size() != 7 || v[0] != u'#')
        return std::nullopt;
    quint32 rgb = 0;
    for (const QChar c : v.mid(1)) {
        const int digit = QStringView(&c, 1).toInt(nullptr, 16);
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!hex)
            return std::nullopt;
        rgb = rgb << 4 | quint32(digit);
    }
    return rgb;
}

} // namespace

const QList<QString> &ThemePaletteRoles()
{
    static const QList<QString> roles = {
        QStringLiteral("WindowText"),
        QStringLiteral("Button"),
        QStringLiteral("Light"),
        QStringLiteral("Midlight"),
        QStringLiteral("Dark"),
        QStringLiteral("Mid"),
        QStringLiteral("Text"),
        QStringLiteral("BrightText"),
        QStringLiteral("ButtonText"),
        QStringLiteral("Base"),
        QStringLiteral("Window"),
        QStringLiteral("Shadow"),
        QStringLiteral("Highlight"),
        QStringLiteral("HighlightedText"),
        QStringLiteral("Link"),
        QStringLiteral("LinkVisited"),
        QStringLiteral("AlternateBase"),
        QStringLiteral("NoRole"),
        QStringLiteral("ToolTipBase"),
        QStringLiteral("ToolTipText"),
        QStringLiteral("PlaceholderText"),
    };
    return roles;
}

tessera::Result<ThemePalette> ParseThemePalette(const QByteArray &text, const QString &name)
{
    if (text.size() > kLongestPalette)
        return tessera::Error { ThemePaletteErrorTooLarge,
            name + QStringLiteral(": too large for a palette") };
    ThemePalette palette;
    const QString all = QString::fromUtf8(text);
    std::optional<ThemePalette::Group> group;
    int number = 0;
    for (QStringView line : QStringView(all).split(u'\n')) {
        ++number;
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (line == u"[Palette]")
                group = ThemePalette::All;
            else if (line == u"[Disabled]")
                group = ThemePalette::Disabled;
            else if (line == u"[Inactive]")
                group = ThemePalette::Inactive;
            else
                return fail(
                    ThemePaletteErrorSection, name, number, QStringLiteral("unknown section ") + line);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || !group)
            return fail(
                ThemePaletteErrorSyntax, name, number, QStringLiteral("expected a section or role = colour"));
        const QString role = line.left(eq).trimmed().toString();
        if (!ThemePaletteRoles().contains(role) || role == u"NoRole")
            return fail(ThemePaletteErrorRole, name, number, QStringLiteral("unknown role ") + role);
        const std::optional<quint32> rgb = readColour(line.mid(eq + 1).trimmed());
        if (!rgb)
            return fail(
                ThemePaletteErrorColour, name, number, QStringLiteral("expected #rrggbb for ") + role);
        palette.entries.append({ *group, role, *rgb });
    }
    if (palette.entries.isEmpty())
        return tessera::Error { ThemePaletteErrorEmpty, name + QStringLiteral(": no colours") };
    return palette;
}
