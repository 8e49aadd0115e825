#include "app/ui/FrameState.h"

#include "app/core/AppSettings.h"
#include "app/core/WindowPlacement.h"
#include "view/widgets/CQuotraView.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>

QString FrameSettingsGroup()
{
    return QStringLiteral("4.00");
}

QString BarStateName(const AppSettings &settings)
{
    return FrameSettingsGroup() + u'/' + QString::number(settings.currentLanguage)
        + QStringLiteral("Bar-State");
}

QString DockingLayoutName(const AppSettings &settings)
{
    return FrameSettingsGroup() + u'/' + QString::number(settings.currentLanguage)
        + QStringLiteral("NormalLayout");
}

void PlaceWindow(QMainWindow &window, const AppSettings &settings)
{
    QSettings store;
    const QByteArray geometry
        = store.value(DockingLayoutName(settings) + QStringLiteral("/Geometry")).toByteArray();
    const QByteArray state = store.value(BarStateName(settings) + QStringLiteral("/State")).toByteArray();
    if (!state.isEmpty())
        window.restoreState(state);
    if (!geometry.isEmpty() && window.restoreGeometry(geometry)) {
        window.show();
        return;
    }
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 640);
    const qreal dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const qreal dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    // Qt scales by the device pixel ratio itself; the logical dpi beyond that is the user's.
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    const FirstPlacement placement = FirstWindowPlacement(available, dpiX / ratio, dpiY / ratio);
    if (placement.maximised) {
        window.showMaximized();
    } else {
        window.setGeometry(placement.geometry);
        window.show();
    }
}

void StoreWindowState(const QMainWindow &window, const AppSettings &settings)
{
    QSettings store;
    store.setValue(BarStateName(settings) + QStringLiteral("/State"), window.saveState());
    store.setValue(DockingLayoutName(settings) + QStringLiteral("/Geometry"), window.saveGeometry());
}

QList<int> StoredColumnWidths(const AppSettings &settings)
{
    QSettings store;
    QList<int> widths;
    for (const QVariant &v : store.value(BarStateName(settings) + QStringLiteral("/ColumnWidths")).toList())
        widths << v.toInt();
    return widths;
}

void StoreColumnLayout(AppSettings &settings, const CQuotraView &view)
{
    const ColumnLayout layout = view.saveLayout();
    settings.orderInfo = layout.orderList;
    settings.columnAlign = layout.alignList;
    settings.columnIndex = layout.indexList;
    settings.sortColumn = static_cast<qint32>(layout.packedSort);
    QSettings store;
    QList<QVariant> widths;
    for (const int w : view.columnWidths())
        widths << w;
    store.setValue(BarStateName(settings) + QStringLiteral("/ColumnWidths"), widths);
}
