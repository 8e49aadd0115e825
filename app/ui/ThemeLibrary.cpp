#include "app/ui/ThemeLibrary.h"

#include "app/core/ThemeChoice.h"
#include "app/core/ThemePaletteFile.h"

#include <QApplication>
#include <QFile>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>
#include <QWidget>

// The looks are resources of this library; nothing refers to them by symbol, so the linker
// keeps them only when their initialisers run.
static void initThemeResources()
{
    Q_INIT_RESOURCE(style);
    Q_INIT_RESOURCE(themes);
}

namespace {

constexpr qint64 kLongestStyleSheet = 256 * 1024;

std::optional<QByteArray> readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLongestStyleSheet)
        return std::nullopt;
    return file.readAll();
}

QPalette paletteOf(const ThemePalette &colours)
{
    const QList<QString> &roles = ThemePaletteRoles();
    QColor window(0xEF, 0xEF, 0xEF);
    QColor button = window;
    for (const ThemePalette::Entry &e : colours.entries) {
        if (e.group != ThemePalette::All)
            continue;
        if (e.role == u"Window")
            window = QColor(QRgb(e.rgb));
        else if (e.role == u"Button")
            button = QColor(QRgb(e.rgb));
    }
    // The two-colour palette derives every shade and the disabled colours; the look then
    // sets what it names.
    QPalette palette(button, window);
    // Colours for every state first, so that the disabled and inactive ones win whatever
    // the order of the sections.
    for (const bool everyState : { true, false }) {
        for (const ThemePalette::Entry &e : colours.entries) {
            if ((e.group == ThemePalette::All) != everyState)
                continue;
            const auto role = static_cast<QPalette::ColorRole>(roles.indexOf(e.role));
            const QColor colour(QRgb(e.rgb));
            if (e.group == ThemePalette::All)
                palette.setColor(role, colour);
            else
                palette.setColor(e.group == ThemePalette::Disabled ? QPalette::Disabled : QPalette::Inactive,
                    role, colour);
        }
    }
    return palette;
}

} // namespace

ThemeLibrary::ThemeLibrary(QString folder)
    : m_folder(std::move(folder))
{
    initThemeResources();
}

std::optional<ThemeLibrary::Look> ThemeLibrary::load(int command) const
{
    const ThemeDef &def = ThemeOf(command);
    const std::optional<QByteArray> sheet = readSmallFile(m_folder + u'/' + ThemeStyleSheetFile(def));
    const std::optional<QByteArray> paletteText = readSmallFile(m_folder + u'/' + ThemePaletteFile(def));
    if (!sheet || !paletteText)
        return std::nullopt;
    tessera::Result<ThemePalette> colours = ParseThemePalette(*paletteText, ThemePaletteFile(def));
    if (!colours) {
        qWarning("%s", qPrintable(colours.error().message));
        return std::nullopt;
    }
    Look look;
    look.palette = paletteOf(*colours);
    QString common;
    if (const std::optional<QByteArray> shape = readSmallFile(QStringLiteral(":/style/ribbon.qss")))
        common = QString::fromUtf8(*shape);
    look.styleSheet = common + u'\n' + QString::fromUtf8(*sheet);
    return look;
}

bool ThemeLibrary::apply(int command) const
{
    const std::optional<Look> look = load(command);
    if (!look)
        return false;
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app)
        return false;
    if (QApplication::style()->name().compare(u"fusion", Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(look->palette);
    app->setStyleSheet(look->styleSheet);
    applyToPopups(look->palette);
    return true;
}

void ThemeLibrary::applyToPopups(const QPalette &palette)
{
    // Popups are windows of their own: a combo box's list keeps a copy of the palette its
    // box had when the list was made, and tooltips take the tooltip palette, not the
    // application's. Both would keep the previous look.
    QToolTip::setPalette(palette);
    for (QWidget *w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        if ((type == Qt::Popup || type == Qt::ToolTip) && w->testAttribute(Qt::WA_SetPalette))
            w->setPalette(palette);
    }
}
