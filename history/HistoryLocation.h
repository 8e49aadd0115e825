#pragma once

#include <QString>

// What the settings say about the history: whether to keep it, for how long, and where.
struct HistoryOptions {
    bool keep = true;
    // Points older than this many days are deleted when the history is opened; 0 keeps
    // every point for ever.
    int keepDays = 0;
    // The file named by the settings; empty for the default place.
    QString file;
};

// The history file: $QUOTRA_HISTORY when set (tests, scripts), else the file the settings
// name, else history.sqlite in the user's data folder ($XDG_DATA_HOME/Kestrel/Quotra, by
// default ~/.local/share/Kestrel/Quotra).
QString HistoryFilePath(const QString &settingsFile = {});
