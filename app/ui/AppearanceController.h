#pragma once

#include "app/core/LogFont.h"
#include "app/core/ThemeChoice.h"
#include "app/core/ZoomRules.h"
#include "app/ui/ThemeLibrary.h"
#include "view/table/CellColors.h"
#include "view/widgets/Prompts.h"

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QObject>

#include <optional>

class CQuotraView;
class ColorGalleryPopup;
class DesktopColorScheme;
class FontFaceBox;
class FontSizeBox;
class QAction;
class QActionGroup;
class QMenu;
class QToolButton;
class QWidget;
class StatusBarPanes;
struct AppSettings;

// The window's appearance: the four looks and the desktop's dark mode, the list's zoom
// (status bar slider and text, Ctrl+wheel, Ctrl+plus, minus and 0 on the list), the font
// face and size boxes, and the two row-colour galleries with their commands. The frame
// makes it after its actions and before its ribbon, places its widgets, and calls start()
// once the window's parts exist and storeClosingState() in its closing sequence.
class AppearanceController : public QObject {
    Q_OBJECT
public:
    // The "more colours" dialog is asked through `prompts`.
    AppearanceController(QObject *parent, CQuotraView &view, StatusBarPanes &panes, AppSettings &settings,
        const QHash<int, QAction *> &actions, quint8 themeRequest, Prompts &prompts = DesktopPrompts());
    ~AppearanceController() override;

    // Where the looks are found; tests point it at a folder of their own before start().
    void setThemeLibrary(const ThemeLibrary &library) { m_library = library; }
    // The desktop's dark mode; start() reads it unless the command line said /Dark or
    // /Light. Tests leave it off.
    void setFollowDesktop(bool follow) { m_followDesktop = follow; }

    // Frame creation: the look (dark mode first), the list font from the settings (the
    // standard font when none is stored), the base height and the zoom shown.
    void start();
    // The closing sequence: the current look into "RibbonStyle", the zoom into "ZoomRate".
    void storeClosingState();

    // ---- Widgets the frame places
    QMenu *themeMenu() const { return m_themeMenu; }
    FontFaceBox *fontFaceBox() const { return m_faceBox; }
    FontSizeBox *fontSizeBox() const { return m_sizeBox; }
    // Makes `button` (showing the text or back colour command) the split button of its gallery.
    void attachColourButton(QToolButton *button, bool background);
    ColorGalleryPopup *gallery(bool background) const { return background ? m_backGallery : m_textGallery; }
    QMenu *galleryMenu(bool background) const { return background ? m_backMenu : m_textMenu; }

    // ---- Looks
    const ThemeState &themeState() const { return m_theme; }
    int currentTheme() const { return m_theme.current; }
    // Theme command 4001-4004.
    void applyTheme(int command);
    // The desktop entered or left dark mode.
    void setDarkMode(bool dark);

    // ---- Zoom and font
    int zoom() const { return m_zoom; }
    int baseHeight() const { return m_base; }
    const LogFont &listFont() const { return m_font; }
    void sliderAction(ZoomSliderAction action, int position = 0);
    // Sets the zoom (a change shows it and sets the font's height).
    void setZoom(int z);
    void commitFontSize(const QString &text);
    void commitFontFace(const QString &face);

    // ---- Row colours
    // The current colours, 0xFFFFFFFF while the system's stand.
    ColorRef textColour() const;
    ColorRef backColour() const;
    // A colour picked in a gallery: it becomes current and is applied to the selection.
    void pickColour(bool background, ColorRef colour);

Q_SIGNALS:
    void themeApplied(int command);
    void zoomChanged(int z);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *menuOwner() const;
    void connectCommands();
    void buildThemeMenu();
    void buildGalleries();
    void applyThemeFiles(int command);
    void refreshThemeActions();
    void showZoom();
    void applyFont();
    void refreshFontBoxes();
    void refreshColourState();
    void moreColours(bool background);
    void applyRowColour(int parts, bool reset);
    QIcon colourIcon(const QIcon &glyph, const QColor &colour) const;
    QColor shownColour(bool background) const;

    CQuotraView &m_view;
    Prompts &m_prompts;
    QObject *m_viewport = nullptr; // the view's viewport, compared with but never called
    StatusBarPanes &m_panes;
    AppSettings &m_settings;
    QHash<int, QAction *> m_actions;
    quint8 m_themeRequest;
    ThemeLibrary m_library;
    DesktopColorScheme *m_desktop = nullptr;
    bool m_followDesktop = true;
    ThemeState m_theme;
    QActionGroup *m_themeGroup = nullptr;
    QMenu *m_themeMenu = nullptr;
    FontFaceBox *m_faceBox = nullptr;
    FontSizeBox *m_sizeBox = nullptr;
    ColorGalleryPopup *m_textGallery = nullptr;
    ColorGalleryPopup *m_backGallery = nullptr;
    QMenu *m_textMenu = nullptr;
    QMenu *m_backMenu = nullptr;
    QIcon m_textGlyph;
    QIcon m_backGlyph;
    LogFont m_font;
    int m_zoom = kZoomDefault;
    int m_base = -12;
    int m_wheelDelta = 0;
};
