#pragma once

#include "app/core/AppSettings.h"
#include "corelib/LanguageModule.h"

#include <QSettings>
#include <QStandardPaths>

// What every test of the main window does first: settings and data in Qt's test folders, the
// language module, and a quote site where nothing listens, so that updates fail at once.
inline bool PrepareWindowTests()
{
    QStandardPaths::setTestModeEnabled(true);
    qputenv("QUOTRA_SITE_ROOT", "http://127.0.0.1:1/");
    return tessera::LanguageModule::instance().load();
}

// Before each test: no stored settings, the program's defaults in Japanese.
inline void ResetWindowSettings(AppSettings &settings)
{
    QSettings().clear();
    settings = AppSettings();
    settings.currentLanguage = 1041;
}
