#include "app/ui/AppearanceController.h"

#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/ui/ColorGalleryPopup.h"
#include "app/ui/CommandTable.h"
#include "app/ui/DesktopColorScheme.h"
#include "app/ui/FontBoxes.h"
#include "app/ui/LogFontQFont.h"
#include "app/ui/StatusBarPanes.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/PaletteColors.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSlider>
#include <QToolButton>
#include <QWheelEvent>
#include <QWidgetAction>

namespace {

constexpr int kWheelStep = 120; // one notch of a mouse wheel

ZoomSliderAction sliderActionOf(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ZoomSliderAction::LineLeft;
    case QAbstractSlider::SliderSingleStepAdd:
        return ZoomSliderAction::LineRight;
    case QAbstractSlider::SliderPageStepSub:
        return ZoomSliderAction::PageLeft;
    case QAbstractSlider::SliderPageStepAdd:
        return ZoomSliderAction::PageRight;
    case QAbstractSlider::SliderMove:
        return ZoomSliderAction::ThumbTrack;
    case QAbstractSlider::SliderToMinimum:
        return ZoomSliderAction::LeftEnd;
    case QAbstractSlider::SliderToMaximum:
        return ZoomSliderAction::RightEnd;
    default:
        return ZoomSliderAction::Other;
    }
}

} // namespace

AppearanceController::AppearanceController(QObject *parent, CQuotraView &view, StatusBarPanes &panes,
    AppSettings &settings, const QHash<int, QAction *> &actions, quint8 themeRequest, Prompts &prompts)
    : QObject(parent)
    , m_view(view)
    , m_prompts(prompts)
    , m_panes(panes)
    , m_settings(settings)
    , m_actions(actions)
    , m_themeRequest(themeRequest)
{
    m_faceBox = new FontFaceBox;
    m_sizeBox = new FontSizeBox;
    connect(m_faceBox, &FontFaceBox::faceCommitted, this, &AppearanceController::commitFontFace);
    connect(m_sizeBox, &FontSizeBox::sizeCommitted, this, &AppearanceController::commitFontSize);
    buildThemeMenu();
    buildGalleries();
    connectCommands();

    QSlider *slider = m_panes.zoomSlider();
    connect(slider, &QAbstractSlider::actionTriggered, this, [this, slider](int action) {
        const ZoomSliderAction a = sliderActionOf(action);
        if (a == ZoomSliderAction::Other)
            return;
        sliderAction(a, slider->sliderPosition());
        // The slider shows the zoom's own position (a snapped drag sits in the middle).
        slider->setSliderPosition(ZoomSliderPosition(m_zoom));
    });
    if (QToolButton *out = m_panes.zoomOutButton())
        connect(out, &QToolButton::clicked, this, [this] { sliderAction(ZoomSliderAction::LineLeft); });
    if (QToolButton *in = m_panes.zoomInButton())
        connect(in, &QToolButton::clicked, this, [this] { sliderAction(ZoomSliderAction::LineRight); });
    m_view.installEventFilter(this);
    m_viewport = m_view.viewport();
    m_viewport->installEventFilter(this);
    connect(&m_view, &CQuotraView::selectionCountChanged, this, [this](int selected, int) {
        for (const int id : { Cmd::ResetTextColour, Cmd::ResetBackColour })
            if (QAction *a = m_actions.value(id))
                a->setEnabled(selected > 0);
    });
}

AppearanceController::~AppearanceController() = default;

// ---- Start and close

void AppearanceController::start()
{
    bool dark = false;
    if (m_themeRequest == CCLineInfo::ThemeDark) {
        dark = true;
    } else if (m_themeRequest == CCLineInfo::ThemeLight) {
        dark = false;
    } else if (m_followDesktop) {
        // /Dark and /Light hold for the whole session; otherwise the desktop decides, now
        // and whenever it changes.
        m_desktop = new DesktopColorScheme(this);
        m_desktop->start();
        dark = m_desktop->isDark();
        connect(m_desktop, &DesktopColorScheme::darkChanged, this, &AppearanceController::setDarkMode);
    }
    m_theme = StartThemeState(
        m_settings.ribbonStyle, dark, [this](int command) { return m_library.loadable(command); });
    applyThemeFiles(m_theme.current);
    refreshThemeActions();

    m_zoom = m_settings.zoomRate >= kZoomMin && m_settings.zoomRate <= kZoomMax ? m_settings.zoomRate
                                                                                : kZoomDefault;
    m_font = m_settings.logFont;
    if (m_font.face().isEmpty())
        m_font = LogFontFromFont(QApplication::font(&m_view));
    m_base = BaseFontHeight(m_font.height, m_zoom);
    applyFont();
    showZoom();
    refreshColourState();
    for (const int id : { Cmd::ResetTextColour, Cmd::ResetBackColour })
        if (QAction *a = m_actions.value(id))
            a->setEnabled(m_view.selectedCount() > 0);
}

void AppearanceController::storeClosingState()
{
    // /Dark holds for this run only: the next start without it shows the look stored before.
    m_settings.ribbonStyle = m_themeRequest == CCLineInfo::ThemeDark ? m_theme.remembered : m_theme.current;
    m_settings.zoomRate = static_cast<qint16>(m_zoom);
    m_settings.logFont = m_font;
}

// ---- Looks

// The window the controller belongs to owns its menus, so they go with it.
QWidget *AppearanceController::menuOwner() const
{
    return qobject_cast<QWidget *>(parent());
}

void AppearanceController::buildThemeMenu()
{
    m_themeMenu = new QMenu(menuOwner());
    m_themeMenu->setObjectName(QStringLiteral("ThemeMenu"));
    m_themeMenu->setTitle(tessera::ResourceString(Ids::CaptionStyleMenu));
    m_themeGroup = new QActionGroup(this);
    m_themeGroup->setExclusive(true);
    for (const ThemeDef &def : ThemeTable()) {
        QAction *a = m_actions.value(def.command);
        if (!a)
            continue;
        a->setCheckable(true);
        m_themeGroup->addAction(a);
        m_themeMenu->addAction(a);
        connect(a, &QAction::triggered, this, [this, command = def.command] { applyTheme(command); });
    }
}

void AppearanceController::applyThemeFiles(int command)
{
    // A look that cannot load leaves the one on screen; the command is current all the same.
    if (m_library.apply(command))
        m_view.viewport()->update();
    refreshColourState();
    Q_EMIT themeApplied(command);
}

void AppearanceController::applyTheme(int command)
{
    if (!ThemeCommandEnabled(command, m_theme.dark))
        return;
    m_theme.current = NormalisedTheme(command);
    applyThemeFiles(m_theme.current);
    refreshThemeActions();
}

void AppearanceController::setDarkMode(bool dark)
{
    const int apply = ChangeDarkMode(m_theme, dark);
    if (apply != 0)
        applyThemeFiles(apply);
    refreshThemeActions();
}

void AppearanceController::refreshThemeActions()
{
    for (const ThemeDef &def : ThemeTable()) {
        if (QAction *a = m_actions.value(def.command)) {
            a->setEnabled(ThemeCommandEnabled(def.command, m_theme.dark));
            a->setChecked(def.command == m_theme.current);
        }
    }
}

// ---- Zoom and font

void AppearanceController::sliderAction(ZoomSliderAction action, int position)
{
    setZoom(ZoomAfterSliderAction(action, m_zoom, position));
}

void AppearanceController::setZoom(int z)
{
    if (z == m_zoom)
        return;
    m_zoom = z;
    showZoom();
    m_font.height = ZoomedFontHeight(m_base, m_zoom);
    applyFont();
}

void AppearanceController::showZoom()
{
    m_panes.zoomSlider()->setValue(ZoomSliderPosition(m_zoom));
    m_panes.zoomText()->setText(ZoomText(m_zoom));
    Q_EMIT zoomChanged(m_zoom);
}

void AppearanceController::applyFont()
{
    m_view.setFont(FontFromLogFont(m_font, QApplication::font(&m_view)));
    m_settings.logFont = m_font;
    refreshFontBoxes();
}

void AppearanceController::refreshFontBoxes()
{
    m_faceBox->setCurrentFace(m_font.face());
    m_sizeBox->setCurrentHeight(m_font.height);
}

void AppearanceController::commitFontSize(const QString &text)
{
    const std::optional<int> height = FontSizeCommit(text, m_font.height);
    if (!height) {
        refreshFontBoxes();
        return;
    }
    m_font.height = *height;
    applyFont();
    // The zoom follows the size; the font is not set again.
    m_zoom = ZoomFromFontHeight(m_font.height, m_base);
    showZoom();
    m_view.setFocus();
}

void AppearanceController::commitFontFace(const QString &face)
{
    if (face.isEmpty() || face == m_font.face())
        return;
    m_font.setFace(face);
    applyFont();
    m_view.setFocus();
}

bool AppearanceController::eventFilter(QObject *watched, QEvent *event)
{
    // Compared with the pointer kept at start: the filter also sees the events of the view's
    // own destruction, when asking the view for its viewport is no longer allowed.
    if (watched == m_viewport && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            // Fine-grained wheels (touchpads) send small deltas: a zoom step per notch's worth.
            m_wheelDelta += wheel->angleDelta().y();
            while (m_wheelDelta >= kWheelStep) {
                m_wheelDelta -= kWheelStep;
                sliderAction(ZoomSliderAction::LineRight);
            }
            while (m_wheelDelta <= -kWheelStep) {
                m_wheelDelta += kWheelStep;
                sliderAction(ZoomSliderAction::LineLeft);
            }
            return true;
        }
    } else if (watched == &m_view && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & Qt::ControlModifier) {
            switch (key->key()) {
            case Qt::Key_Plus:
            case Qt::Key_Equal: // the plus key without Shift on many layouts
                sliderAction(ZoomSliderAction::LineRight);
                return true;
            case Qt::Key_Minus:
                sliderAction(ZoomSliderAction::LineLeft);
                return true;
            case Qt::Key_0:
                setZoom(kZoomDefault);
                return true;
            default:
                break;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

// ---- Row colours

void AppearanceController::buildGalleries()
{
    const auto build = [this](bool background) {
        auto *menu = new QMenu(menuOwner());
        menu->setObjectName(background ? QStringLiteral("BackColourMenu") : QStringLiteral("TextColourMenu"));
        auto *gallery = new ColorGalleryPopup(background);
        auto *item = new QWidgetAction(menu);
        item->setDefaultWidget(gallery);
        menu->addAction(item);
        menu->addSeparator();
        menu->addAction(m_actions.value(background ? Cmd::ResetBackColour : Cmd::ResetTextColour));
        menu->addAction(m_actions.value(background ? Cmd::MoreBackColours : Cmd::MoreTextColours));
        connect(
            gallery, &ColorGalleryPopup::colourPicked, this, [this, menu, item, background](ColorRef colour) {
                // A pick is the menu's item chosen, so that whatever opened the menu hears of it
                // (a folded ribbon group's popup closes, as after any command).
                item->trigger();
                menu->close();
                pickColour(background, colour);
            });
        (background ? m_backGallery : m_textGallery) = gallery;
        (background ? m_backMenu : m_textMenu) = menu;
    };
    build(false);
    build(true);
}

void AppearanceController::connectCommands()
{
    const auto on = [this](int id, auto handler) {
        if (QAction *a = m_actions.value(id))
            connect(a, &QAction::triggered, this, handler);
    };
    on(Cmd::TextColour, [this] { applyRowColour(RowTextPart, false); });
    on(Cmd::BackColour, [this] { applyRowColour(RowBackPart, false); });
    on(Cmd::ResetTextColour, [this] { applyRowColour(RowTextPart, true); });
    on(Cmd::ResetBackColour, [this] { applyRowColour(RowBackPart, true); });
    on(Cmd::ResetColours, [this] { applyRowColour(RowBothParts, true); });
    on(Cmd::MoreTextColours, [this] { moreColours(false); });
    on(Cmd::MoreBackColours, [this] { moreColours(true); });
    m_textGlyph = m_actions.value(Cmd::TextColour) ? m_actions.value(Cmd::TextColour)->icon() : QIcon();
    m_backGlyph = m_actions.value(Cmd::BackColour) ? m_actions.value(Cmd::BackColour)->icon() : QIcon();
}

void AppearanceController::attachColourButton(QToolButton *button, bool background)
{
    button->setMenu(galleryMenu(background));
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->setObjectName(QStringLiteral("RibbonSmallButton"));
}

ColorRef AppearanceController::textColour() const
{
    return m_settings.textColor;
}

ColorRef AppearanceController::backColour() const
{
    return m_settings.backColor;
}

QColor AppearanceController::shownColour(bool background) const
{
    const ColorRef c = background ? m_settings.backColor : m_settings.textColor;
    if (c == AppSettings::kSystemColor)
        return m_view.palette().color(background ? QPalette::Base : QPalette::Text);
    return ToQColor(c);
}

QIcon AppearanceController::colourIcon(const QIcon &glyph, const QColor &colour) const
{
    // The command's glyph with a bar of the current colour along its foot, as in office
    // programs; a frame keeps a white or black bar visible on any ribbon.
    QIcon icon;
    for (const int size : { 16, 32 }) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        const int bar = size / 4;
        glyph.paint(&p, QRect(0, 0, size, size - bar));
        p.fillRect(QRect(0, size - bar, size, bar), colour);
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(QRect(0, size - bar, size - 1, bar - 1));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

void AppearanceController::refreshColourState()
{
    m_textGallery->setCurrent(m_settings.textColor, m_settings.textColor == AppSettings::kSystemColor);
    m_backGallery->setCurrent(m_settings.backColor, m_settings.backColor == AppSettings::kSystemColor);
    if (QAction *a = m_actions.value(Cmd::TextColour))
        a->setIcon(colourIcon(m_textGlyph, shownColour(false)));
    if (QAction *a = m_actions.value(Cmd::BackColour))
        a->setIcon(colourIcon(m_backGlyph, shownColour(true)));
}

void AppearanceController::pickColour(bool background, ColorRef colour)
{
    (background ? m_settings.backColor : m_settings.textColor) = colour & 0xFFFFFF;
    refreshColourState();
    applyRowColour(background ? RowBackPart : RowTextPart, false);
}

void AppearanceController::moreColours(bool background)
{
    const QColor initial = shownColour(background);
    const std::optional<QColor> chosen = m_prompts.colour(m_view.window(), initial,
        tessera::ResourceString(background ? Ids::CommandBackColour : Ids::CommandTextColour));
    if (chosen)
        pickColour(background, FromQColor(*chosen));
}

void AppearanceController::applyRowColour(int parts, bool reset)
{
    // A colour never chosen is the system's: applying it is the same as resetting.
    m_view.applyRowColour(parts, reset, m_settings.textColor, m_settings.backColor);
}
