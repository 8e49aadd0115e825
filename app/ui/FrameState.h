#pragma once

#include <QList>
#include <QString>

class CQuotraView;
class QMainWindow;
struct AppSettings;

// Where the window keeps its state in the settings store, and the placement it starts with.

// The group of the window's stored state ("4.00").
QString FrameSettingsGroup();
// The names of the stored bar state and window layout, per language.
QString BarStateName(const AppSettings &settings);
QString DockingLayoutName(const AppSettings &settings);

// Restores the stored window geometry and bar state and shows the window; the first start
// centres a window of 1024 x 640 (dpi-scaled) on the primary screen, maximised when it does
// not fit.
void PlaceWindow(QMainWindow &window, const AppSettings &settings);
// Stores the geometry and the bar state for the next start.
void StoreWindowState(const QMainWindow &window, const AppSettings &settings);

// The column widths kept last time (none when nothing was kept).
QList<int> StoredColumnWidths(const AppSettings &settings);
// The view's layout into the settings and its column widths into the store.
void StoreColumnLayout(AppSettings &settings, const CQuotraView &view);
