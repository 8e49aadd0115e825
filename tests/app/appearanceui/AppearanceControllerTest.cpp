#include "app/ui/AppearanceController.h"
#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/core/ColorGallery.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/ColorGalleryPopup.h"
#include "app/ui/CommandTable.h"
#include "app/ui/DesktopColorScheme.h"
#include "app/ui/FontBoxes.h"
#include "app/ui/RibbonBar.h"
#include "app/ui/StatusBarPanes.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "document/CQuotraDoc.h"
#include "quotes/QuoteRecord.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/MyHeaderCtrl.h"
#include "view/widgets/PaletteColors.h"

#include "tests/support/FakePrompts.h"
#include "tests/support/RowBuilders.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QSlider>
#include <QStandardItemModel>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// A window with the parts the appearance works on: the list over a document, the status
// bar, and one action per command.
struct Rig {
    explicit Rig(quint8 themeRequest = CCLineInfo::ThemeNone, int storedTheme = 4001)
    {
        settings.currentLanguage = 1041;
        settings.ribbonStyle = storedTheme;
        settings.logFont.height = -12;
        settings.logFont.setFace(QApplication::font().family());
        view = new CQuotraView(doc, &window);
        window.setCentralWidget(view);
        panes = new StatusBarPanes(window, nullptr);
        view->setProgressDisplay(panes);
        for (const CommandDef &def : CommandTable()) {
            auto *a = new QAction(tessera::ResourceString(def.captionId), &window);
            window.addAction(a);
            actions.insert(def.id, a);
        }
        controller
            = new AppearanceController(&window, *view, *panes, settings, actions, themeRequest, prompts);
        controller->setFollowDesktop(false);
        view->applyStartLayout(MakeLayout({ { 1, 1, 50 }, { 2, 0, 120 }, { 4, 1, 80 } }, 1, true));
        doc.replaceRows(
            MakeRows({ { u"1001"_s, u"100"_s }, { u"1002"_s, u"200"_s }, { u"1003"_s, u"300"_s } }));
        doc.SetModifiedFlag(false);
        window.resize(800, 400);
    }
    ~Rig() { delete view; }

    CQuotraDoc doc;
    AppSettings settings;
    FakePrompts prompts; // the "more colours" dialog
    QMainWindow window;
    CQuotraView *view;
    StatusBarPanes *panes;
    QHash<int, QAction *> actions;
    AppearanceController *controller;
};

QColor paletteWindow()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Window);
}

// The shipped looks copied into `dir`, leaving out the files named in `missing`.
void copyLooks(const QString &dir, const QStringList &missing)
{
    for (const QString &name : QDir(u":/themes"_s).entryList(QDir::Files)) {
        if (missing.contains(name))
            continue;
        QVERIFY(QFile::copy(u":/themes/"_s + name, dir + u'/' + name));
    }
}

} // namespace

class AppearanceControllerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(tessera::LanguageModule::instance().load());
        tessera::SetMessageHandler([](const QString &, unsigned) { return int(tessera::IdNo); });
    }
    void cleanupTestCase() { tessera::SetMessageHandler({}); }

    // ---- Looks

    void everyLookLoadsAndDiffers()
    {
        const ThemeLibrary library;
        QSet<QRgb> windows;
        for (const int command : { 4001, 4002, 4003, 4004 }) {
            const std::optional<ThemeLibrary::Look> look = library.load(command);
            QVERIFY2(look, qPrintable(QString::number(command)));
            QVERIFY(look->styleSheet.contains(u"#RibbonPanel"_s));
            windows.insert(look->palette.color(QPalette::Window).rgb());
            QCOMPARE(IsDarkPalette(look->palette), command == 4002);
        }
        QCOMPARE(windows.size(), 4);
    }

    void everyLookShowsTheSortArrowAndItsDirection()
    {
        Rig rig;
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        MyHeaderCtrl &header = rig.view->headerCtrl();
        const auto sectionImage = [&](int section) {
            QCoreApplication::processEvents();
            const QRect r(
                header.sectionViewportPosition(section), 0, header.sectionSize(section), header.height());
            return header.viewport()->grab(r).toImage();
        };
        const ThemeLibrary library;
        const QPalette palette = QApplication::palette();
        const QString sheet = qApp->styleSheet();
        for (const int command : { 4001, 4002, 4003, 4004 }) {
            QVERIFY(library.apply(command));
            rig.view->setSort(2, true, false);
            const QImage ascending = sectionImage(2);
            rig.view->setSort(2, false, false);
            const QImage descending = sectionImage(2);
            rig.view->setSort(3, true, false);
            const QImage unsorted = sectionImage(2);
            // The arrow is what differs from the unsorted section: narrow at its top when
            // ascending (pointing up), narrow at its bottom when descending.
            const auto pointsUp = [&](const QImage &sorted) -> std::optional<bool> {
                std::vector<int> widths;
                for (int y = 0; y < sorted.height(); ++y) {
                    int w = 0;
                    for (int x = 0; x < sorted.width(); ++x)
                        w += sorted.pixel(x, y) != unsorted.pixel(x, y) ? 1 : 0;
                    if (w > 0)
                        widths.push_back(w);
                }
                if (widths.size() < 2 || widths.front() == widths.back())
                    return std::nullopt;
                return widths.front() < widths.back();
            };
            QCOMPARE(pointsUp(ascending), std::optional<bool>(true));
            QCOMPARE(pointsUp(descending), std::optional<bool>(false));
        }
        qApp->setStyleSheet(sheet);
        QApplication::setPalette(palette);
    }

    void aMissingLookStartsAsBlue()
    {
        QTemporaryDir dir;
        copyLooks(dir.path(), { u"OFFICE2007SILVER.qss"_s });
        Rig rig(CCLineInfo::ThemeNone, 4003);
        rig.controller->setThemeLibrary(ThemeLibrary(dir.path()));
        rig.controller->start();
        QCOMPARE(rig.controller->currentTheme(), 4001);
        QCOMPARE(paletteWindow(), QColor(u"#dfe9f5"_s));
        QVERIFY(rig.actions.value(4001)->isChecked());
        // With the pair complete the stored look is the one shown.
        QTemporaryDir full;
        copyLooks(full.path(), {});
        Rig again(CCLineInfo::ThemeNone, 4003);
        again.controller->setThemeLibrary(ThemeLibrary(full.path()));
        again.controller->start();
        QCOMPARE(again.controller->currentTheme(), 4003);
        QCOMPARE(paletteWindow(), QColor(u"#eceef1"_s));
    }

    void aBrokenPaletteCountsAsMissing()
    {
        QTemporaryDir dir;
        copyLooks(dir.path(), { u"OFFICE2007AQUA.ini"_s });
        QFile bad(dir.filePath(u"OFFICE2007AQUA.ini"_s));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("[Palette]\nWindow = blue\n");
        bad.close();
        QVERIFY(!ThemeLibrary(dir.path()).loadable(4004));
        Rig rig(CCLineInfo::ThemeNone, 4004);
        rig.controller->setThemeLibrary(ThemeLibrary(dir.path()));
        rig.controller->start();
        QCOMPARE(rig.controller->currentTheme(), 4001);
    }

    void themeCommandsApplyAndAreStoredAtClose()
    {
        Rig rig;
        rig.controller->start();
        rig.actions.value(4004)->trigger();
        QCOMPARE(rig.controller->currentTheme(), 4004);
        QCOMPARE(paletteWindow(), QColor(u"#dff1f4"_s));
        QVERIFY(rig.actions.value(4004)->isChecked());
        QVERIFY(!rig.actions.value(4001)->isChecked());
        // The list's colours follow the look's palette.
        QCOMPARE(rig.view->listModel().palette().window, FromQColor(QColor(u"#ffffff"_s)));
        rig.controller->storeClosingState();
        QCOMPARE(rig.settings.ribbonStyle, 4004);
    }

    void darkModeFromSilverAndBack()
    {
        Rig rig(CCLineInfo::ThemeNone, 4003);
        rig.controller->start();
        QCOMPARE(rig.controller->currentTheme(), 4003);
        rig.controller->setDarkMode(true);
        QCOMPARE(rig.controller->currentTheme(), 4002);
        QVERIFY(IsDarkPalette(QApplication::palette()));
        for (const int command : { 4001, 4003, 4004 })
            QVERIFY(!rig.actions.value(command)->isEnabled());
        QVERIFY(rig.actions.value(4002)->isEnabled());
        QVERIFY(rig.actions.value(4002)->isChecked());
        // Other looks cannot be chosen while the desktop is dark.
        rig.controller->applyTheme(4001);
        QCOMPARE(rig.controller->currentTheme(), 4002);
        // The rules' red and green become the dark variants on the dark rows.
        QuoteRecord falling;
        falling.values.set(static_cast<size_t>(SlotOfField(FieldDifference)), u"-15"_s);
        falling.values.set(static_cast<size_t>(SlotHigh), u"STOP 100"_s);
        const CellPalette dark = rig.view->listModel().palette();
        QCOMPARE(CellColorsOf(falling, FieldDifference, {}, dark).text, kColorRedOnDark);
        QCOMPARE(CellColorsOf(falling, FieldHigh, {}, dark).text, kColorDarkGreenOnDark);
        QCOMPARE(CellColorsOf(falling, FieldDifference, { false, false, true }, dark).text, kColorRedOnDark);
        // A light row colour keeps pure red, and dark text instead of the palette's light one.
        falling.back_color = 0xCCF2FF;
        QCOMPARE(CellColorsOf(falling, FieldDifference, {}, dark).text, kColorRed);
        QCOMPARE(CellColorsOf(falling, FieldCode, {}, dark).text, ColorRef(0x000000));
        rig.controller->storeClosingState();
        QCOMPARE(rig.settings.ribbonStyle, 4002);

        rig.controller->setDarkMode(false);
        QCOMPARE(rig.controller->currentTheme(), 4003);
        QVERIFY(!IsDarkPalette(QApplication::palette()));
        for (const int command : { 4001, 4002, 4003, 4004 })
            QVERIFY(rig.actions.value(command)->isEnabled());
        const CellPalette light = rig.view->listModel().palette();
        falling.back_color = -1;
        QCOMPARE(CellColorsOf(falling, FieldDifference, {}, light).text, kColorRed);
        QCOMPARE(CellColorsOf(falling, FieldHigh, {}, light).text, kColorDarkGreen);
    }

    void popupsAndTooltipsFollowTheDarkLook()
    {
        Rig rig;
        rig.controller->start();
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        const auto darkTip
            = [](const QPalette &p) { return p.color(QPalette::ToolTipBase).lightness() < 128; };
        // The face box's list and a tooltip exist while the look is light.
        QWidget *faceList = rig.controller->fontFaceBox()->view()->window();
        QToolTip::showText(rig.window.mapToGlobal(QPoint(20, 20)), u"tip"_s, &rig.window);
        QWidget *tip = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->windowType() == Qt::ToolTip && w->isVisible())
                tip = w;
        QVERIFY(tip);
        QVERIFY(!IsDarkPalette(faceList->palette()));
        QVERIFY(!darkTip(tip->palette()));

        rig.controller->setDarkMode(true);
        QVERIFY(IsDarkPalette(faceList->palette()));
        QVERIFY(IsDarkPalette(rig.controller->fontSizeBox()->view()->palette()));
        QVERIFY(darkTip(tip->palette()));
        QVERIFY(darkTip(QToolTip::palette()));
        // ... and they are drawn dark, whatever the desktop's theme adds.
        const auto drawnDark = [](QWidget *w) {
            w->ensurePolished();
            const QImage shot = w->grab().toImage();
            return QColor(shot.pixel(shot.width() / 2, shot.height() - 4)).lightness() < 128;
        };
        QVERIFY(drawnDark(rig.controller->fontFaceBox()->view()->viewport()));
        QToolTip::showText(rig.window.mapToGlobal(QPoint(40, 40)), u"dark tip"_s, &rig.window);
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->windowType() == Qt::ToolTip && w->isVisible())
                QVERIFY(drawnDark(w));
        QMenu menu(&rig.window);
        QVERIFY(IsDarkPalette(menu.palette()));
        QVERIFY(IsDarkPalette(rig.controller->themeMenu()->palette()));
        QVERIFY(IsDarkPalette(rig.controller->galleryMenu(false)->palette()));
        QVERIFY(IsDarkPalette(rig.controller->gallery(true)->palette()));

        rig.controller->setDarkMode(false);
        QVERIFY(!IsDarkPalette(faceList->palette()));
        QVERIFY(!darkTip(QToolTip::palette()));
        QToolTip::hideText();
    }

    void commandLineDarkHoldsForTheSession()
    {
        Rig rig(CCLineInfo::ThemeDark, 4004);
        rig.controller->setFollowDesktop(true); // the switch wins over the desktop
        rig.controller->start();
        QCOMPARE(rig.controller->currentTheme(), 4002);
        QCOMPARE(rig.controller->themeState().remembered, 4004);
        QVERIFY(rig.controller->themeState().dark);
        // ... and for this run only: the look stored before is stored again at close.
        rig.controller->storeClosingState();
        QCOMPARE(rig.settings.ribbonStyle, 4004);
        Rig light(CCLineInfo::ThemeLight, 4004);
        light.controller->setFollowDesktop(true);
        light.controller->start();
        QCOMPARE(light.controller->currentTheme(), 4004);
    }

    void portalRepliesAreUnwrapped()
    {
        const auto wrap = [](const QVariant &v) { return QVariant::fromValue(QDBusVariant(v)); };
        QCOMPARE(
            DesktopColorScheme::DarkFromPortalReply(wrap(wrap(QVariant(1u)))), std::optional<bool>(true));
        QCOMPARE(DesktopColorScheme::DarkFromPortalReply(wrap(QVariant(2u))), std::optional<bool>(false));
        QCOMPARE(DesktopColorScheme::DarkFromPortalReply(QVariant(0u)), std::optional<bool>());
        QCOMPARE(DesktopColorScheme::DarkFromPortalReply(wrap(QVariant(u"1"_s))), std::optional<bool>());
        QCOMPARE(DesktopColorScheme::DarkFromPortalReply(QVariant()), std::optional<bool>());
        QVariant deep(1u);
        for (int i = 0; i < 8; ++i)
            deep = wrap(deep);
        QCOMPARE(DesktopColorScheme::DarkFromPortalReply(deep), std::optional<bool>());
    }

    // ---- Zoom and font

    void sliderStepsAndDrags()
    {
        Rig rig;
        rig.controller->start();
        QSlider *slider = rig.panes->zoomSlider();
        QCOMPARE(slider->value(), 500);
        QCOMPARE(rig.panes->zoomText()->text(), u"100%"_s);
        slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(rig.controller->zoom(), 110);
        QCOMPARE(slider->value(), ZoomSliderPosition(110));
        QCOMPARE(rig.panes->zoomText()->text(), u"110%"_s);
        // -12 at 110 %: -13.2 - 0.5 truncates to -13.
        QCOMPARE(rig.controller->listFont().height, -13);
        QCOMPARE(rig.view->font().pixelSize(), 13);
        slider->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(rig.controller->zoom(), 100);
        slider->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(rig.controller->zoom(), 10);
        QCOMPARE(slider->value(), 0);
        slider->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(rig.controller->zoom(), 500);
        QCOMPARE(rig.view->font().pixelSize(), 60);
        // A drag near the middle snaps to 100 %, and the thumb with it.
        slider->setSliderDown(true);
        slider->setSliderPosition(540);
        QCOMPARE(rig.controller->zoom(), 100);
        QCOMPARE(slider->sliderPosition(), 500);
        slider->setSliderPosition(600);
        QCOMPARE(rig.controller->zoom(), 180);
        slider->setSliderDown(false);
        QCOMPARE(rig.panes->zoomText()->text(), u"180%"_s);
        // The buttons beside the slider step by lines.
        rig.panes->zoomOutButton()->click();
        QCOMPARE(rig.controller->zoom(), 170);
        rig.panes->zoomInButton()->click();
        QCOMPARE(rig.controller->zoom(), 180);
        rig.controller->storeClosingState();
        QCOMPARE(rig.settings.zoomRate, qint16(180));
    }

    void wheelAndKeysZoomTheList()
    {
        Rig rig;
        rig.controller->start();
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        QWidget *viewport = rig.view->viewport();
        const QPointF at(20, 20);
        QWheelEvent up(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
            Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &up);
        QCOMPARE(rig.controller->zoom(), 110);
        // Half notches add up.
        QWheelEvent half(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -60), Qt::NoButton,
            Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &half);
        QCOMPARE(rig.controller->zoom(), 110);
        QApplication::sendEvent(viewport, &half);
        QCOMPARE(rig.controller->zoom(), 100);
        // Without Ctrl the wheel scrolls and leaves the zoom.
        QWheelEvent plain(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &plain);
        QCOMPARE(rig.controller->zoom(), 100);

        rig.view->setFocus();
        QTest::keyClick(rig.view, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(rig.controller->zoom(), 110);
        QTest::keyClick(rig.view, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(rig.controller->zoom(), 120);
        QTest::keyClick(rig.view, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(rig.view, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(rig.view, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(rig.controller->zoom(), 90);
        QTest::keyClick(rig.view, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(rig.controller->zoom(), 100);
        QCOMPARE(rig.controller->listFont().height, -12);
    }

    void sizeBoxSetsHeightAndZoom()
    {
        Rig rig;
        rig.controller->start();
        FontSizeBox *box = rig.controller->fontSizeBox();
        QCOMPARE(box->lineEdit()->text(), u"12"_s);
        box->lineEdit()->setText(u"24"_s);
        Q_EMIT box->lineEdit()->returnPressed();
        QCOMPARE(rig.controller->listFont().height, -24);
        QCOMPARE(rig.controller->zoom(), 200);
        QCOMPARE(rig.panes->zoomText()->text(), u"200%"_s);
        QCOMPARE(rig.panes->zoomSlider()->value(), 625);
        QCOMPARE(rig.view->font().pixelSize(), 24);
        QCOMPARE(rig.controller->baseHeight(), -12);
        QCOMPARE(box->lineEdit()->text(), u"24"_s);
        // Other input changes nothing and shows the size again.
        for (const QString &text : { u"abc"_s, u"0"_s, u"24"_s, u"-3"_s }) {
            box->lineEdit()->setText(text);
            Q_EMIT box->lineEdit()->returnPressed();
            QCOMPARE(rig.controller->listFont().height, -24);
            QCOMPARE(box->lineEdit()->text(), u"24"_s);
        }
        // A pick in the gallery commits too.
        QCOMPARE(box->count(), 16);
        QCOMPARE(box->itemText(0), u"8"_s);
        QCOMPARE(box->itemText(15), u"72"_s);
        Q_EMIT box->activated(box->findText(u"9"_s));
        QCOMPARE(rig.controller->listFont().height, -9);
        QCOMPARE(rig.controller->zoom(), 75);
        QCOMPARE(rig.settings.logFont.height, -9);
    }

    void storedFontAtAZoomKeepsItsBase()
    {
        Rig rig;
        rig.settings.logFont.height = -18;
        rig.settings.zoomRate = 150;
        rig.controller->start();
        QCOMPARE(rig.controller->baseHeight(), -12);
        QCOMPARE(rig.controller->zoom(), 150);
        QCOMPARE(rig.panes->zoomText()->text(), u"150%"_s);
        QCOMPARE(rig.view->font().pixelSize(), 18);
    }

    void noStoredFaceTakesTheStandardFont()
    {
        Rig rig;
        rig.settings.logFont = LogFont {};
        rig.controller->start();
        QCOMPARE(rig.controller->listFont().face(), QApplication::font(rig.view).family());
        QVERIFY(rig.controller->listFont().height < 0);
        QCOMPARE(rig.controller->fontFaceBox()->lineEdit()->text(), QApplication::font(rig.view).family());
    }

    void faceBoxCommitsAndRemembersFaces()
    {
        Rig rig;
        rig.controller->start();
        FontFaceBox *box = rig.controller->fontFaceBox();
        const QString face = u"An Imaginary Face With A Long Name Beyond Thirty-One"_s;
        box->lineEdit()->setText(face);
        Q_EMIT box->lineEdit()->returnPressed();
        QCOMPARE(rig.controller->listFont().face(), face.left(31));
        QCOMPARE(rig.settings.logFont.face(), face.left(31));
        QCOMPARE(box->recentFaces().front(), face);
        // The gallery: the recent section first, under its caption, then every face.
        QStandardItemModel *model = box->galleryModel();
        QCOMPARE(model->item(0)->text(), tessera::ResourceString(2019));
        QVERIFY(!(model->item(0)->flags() & Qt::ItemIsSelectable));
        QCOMPARE(model->item(1)->text(), face);
        QCOMPARE(model->item(2)->text(), tessera::ResourceString(2020));
        for (int i = 0; i < 4; ++i) {
            box->lineEdit()->setText(u"Face %1"_s.arg(i));
            Q_EMIT box->lineEdit()->returnPressed();
        }
        QCOMPARE(box->recentFaces(), QStringList({ u"Face 3"_s, u"Face 2"_s, u"Face 1"_s }));
        // The same face again is no change.
        Q_EMIT box->lineEdit()->returnPressed();
        QCOMPARE(box->recentFaces().size(), 3);
    }

    void faceGalleryShowsWholeNamesInFacesThatCanShowThem()
    {
        FontFaceBox box;
        box.resize(130, box.sizeHint().height());
        box.setCurrentFace(u"IPAGothic"_s);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.showPopup();
        QAbstractItemView *list = box.view();
        QTRY_VERIFY(list->isVisible());
        const int textMargin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
        int own = 0;
        int plain = 0;
        for (int row = 0; row < box.galleryModel()->rowCount(); ++row) {
            const QStandardItem *item = box.galleryModel()->item(row);
            QVERIFY2(QFontMetrics(item->font()).horizontalAdvance(item->text()) + 2 * textMargin
                    <= list->viewport()->width(),
                qPrintable(item->text()));
            const QString face = item->toolTip(); // captions have none
            if (face.isEmpty())
                continue;
            const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(face);
            const bool inItself
                = systems.contains(QFontDatabase::Latin) && systems.contains(QFontDatabase::Japanese);
            QCOMPARE(item->font().family(), inItself ? face : box.font().family());
            QCOMPARE(item->font().bold(), face == u"IPAGothic"_s);
            ++(inItself ? own : plain);
        }
        QVERIFY(own > 0);
        QVERIFY(plain > 0);
        box.hidePopup();
    }

    // ---- Row colours

    void galleryLayoutAndTooltips()
    {
        Rig rig;
        rig.controller->start();
        ColorGalleryPopup *gallery = rig.controller->gallery(false);
        QCOMPARE(gallery->size(), QSize(182, 154));
        QCOMPARE(gallery->cellRect(0).size(), QSize(18, 18));
        QCOMPARE(gallery->cellRect(10).size(), QSize(18, 16));
        QCOMPARE(gallery->cellRect(20).size(), QSize(18, 14));
        QCOMPARE(gallery->cellRect(50).size(), QSize(18, 16));
        QVERIFY(gallery->cellRect(69).bottom() < 154);
        QCOMPARE(gallery->cellRect(9).right(), 180);
        QCOMPARE(gallery->colourOf(14), ThemeGridColour(1, 4));
        QCOMPARE(gallery->tooltipOf(14), u"青、アクセント 1、白 ＋ 基本色 80%"_s);
        QCOMPARE(gallery->colourOf(61), StandardColours(false)[1].colour);
        QCOMPARE(gallery->cellAt(gallery->cellRect(33).center()), 33);
        QCOMPARE(gallery->cellAt(QPoint(0, 0)), -1);
        // A colour never chosen checks no cell.
        QCOMPARE(gallery->checkedCell(), -1);
        QVERIFY(rig.controller->gallery(true)->colourOf(61) != gallery->colourOf(61));
    }

    void pickingAColourAppliesItToTheSelectedRowsOnly()
    {
        Rig rig;
        rig.controller->start();
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.view->selectRows({ 0, 2 });
        ColorGalleryPopup *gallery = rig.controller->gallery(false);
        gallery->resize(gallery->sizeHint());
        QTest::mouseClick(gallery, Qt::LeftButton, {}, gallery->cellRect(15).center());
        const ColorRef picked = ThemeGridColour(1, 5);
        QCOMPARE(rig.settings.textColor, picked);
        QCOMPARE(gallery->checkedCell(), 15);
        const ListTableModel &model = rig.view->listModel();
        QCOMPARE(model.record(0)->text_color, qint32(picked));
        QCOMPARE(model.record(1)->text_color, -1);
        QCOMPARE(model.record(2)->text_color, qint32(picked));
        QCOMPARE(model.record(0)->back_color, -1);
        QVERIFY(rig.doc.IsModified());
        QCOMPARE(rig.view->selectedCount(), 0);

        // The same colour on the same rows changes nothing, and the list stays unmodified.
        rig.doc.SetModifiedFlag(false);
        rig.view->selectRows({ 0, 2 });
        rig.actions.value(Cmd::TextColour)->trigger();
        QVERIFY(!rig.doc.IsModified());
        // Without a selection nothing happens at all.
        rig.actions.value(Cmd::ResetColours)->trigger();
        QVERIFY(!rig.doc.IsModified());
        QCOMPARE(model.record(0)->text_color, qint32(picked));

        // Background through the other gallery, then the resets.
        rig.view->selectRows({ 1 });
        rig.controller->pickColour(true, 0xCCF2FF);
        QCOMPARE(model.record(1)->back_color, 0xCCF2FF);
        QCOMPARE(rig.controller->gallery(true)->checkedCell(), 62);
        rig.doc.SetModifiedFlag(false);
        rig.view->selectRows({ 0, 1, 2 });
        QVERIFY(rig.actions.value(Cmd::ResetTextColour)->isEnabled());
        rig.actions.value(Cmd::ResetTextColour)->trigger();
        QVERIFY(rig.doc.IsModified());
        for (int row = 0; row < 3; ++row)
            QCOMPARE(model.record(row)->text_color, -1);
        QCOMPARE(model.record(1)->back_color, 0xCCF2FF);
        QVERIFY(!rig.actions.value(Cmd::ResetTextColour)->isEnabled());
        rig.view->selectRows({ 1 });
        rig.actions.value(Cmd::ResetColours)->trigger();
        QCOMPARE(model.record(1)->back_color, -1);
    }

    void moreColoursTakesTheDialogsChoice()
    {
        Rig rig;
        rig.controller->start();
        QColor offered;
        rig.prompts.onColour = [&](const QColor &initial) -> std::optional<QColor> {
            offered = initial;
            return std::nullopt;
        };
        rig.view->selectRows({ 0 });
        rig.actions.value(Cmd::MoreTextColours)->trigger(); // cancelled
        QCOMPARE(rig.settings.textColor, AppSettings::kSystemColor);
        QCOMPARE(offered, rig.view->palette().color(QPalette::Text));
        rig.prompts.onColour
            = [](const QColor &) -> std::optional<QColor> { return QColor(0x12, 0x34, 0x56); };
        rig.actions.value(Cmd::MoreBackColours)->trigger();
        QCOMPARE(rig.settings.backColor, FromQColor(QColor(0x12, 0x34, 0x56)));
        QCOMPARE(rig.view->listModel().record(0)->back_color, qint32(FromQColor(QColor(0x12, 0x34, 0x56))));
        // A colour outside the gallery checks no cell.
        QCOMPARE(rig.controller->gallery(true)->checkedCell(), -1);
    }

    // ---- In the frame

    void frameOffersTheLooksBoxesAndGalleries()
    {
        AppSettings settings;
        settings.currentLanguage = 1041;
        settings.ribbonStyle = 4003;
        CMainFrame frame(settings, CCLineInfo());
        QVERIFY(frame.appearance().fontFaceBox()->isEnabled());
        QVERIFY(frame.appearance().fontSizeBox()->isEnabled());
        QCOMPARE(frame.appearance().themeMenu()->actions().size(), 4);
        QVERIFY(frame.ribbon().findChild<FontFaceBox *>());
        const QList<QToolButton *> buttons = frame.ribbon().findChildren<QToolButton *>();
        int split = 0;
        for (QToolButton *b : buttons) {
            if (b->popupMode() == QToolButton::MenuButtonPopup && b->menu())
                ++split;
        }
        QCOMPARE(split, 2);
        const bool dark = frame.appearance().themeState().dark;
        QCOMPARE(frame.appearance().currentTheme(), dark ? 4002 : 4003);
        frame.appearance().setZoom(130);
        frame.appearance().storeClosingState();
        QCOMPARE(settings.zoomRate, qint16(130));
    }
};

QTEST_MAIN(AppearanceControllerTest)
#include "AppearanceControllerTest.moc"
