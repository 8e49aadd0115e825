#pragma once

#include <QDateTime>
#include <QString>

// The folder where the window writes the workbooks it hands to the desktop's spreadsheet
// program: the user's cache folder, since nobody chose a place for them and they are worth
// nothing once closed.
QString WorkbookCacheFolder();

// A new file name in `folder` for a workbook about `title`: the title made safe for a file
// name, the time, and a number when that name is taken ("Nikkei-20261208-153000-2.xlsx").
// A workbook still open in a spreadsheet program is never overwritten.
QString NewCacheWorkbookPath(const QString &folder, const QString &title, const QDateTime &now);

// Removes the workbooks in `folder` that were last written more than `maxAgeSeconds`
// before `now`; leaves everything else (other files, folders, newer workbooks) alone.
// Returns how many went.
int CleanWorkbookCache(const QString &folder, const QDateTime &now, qint64 maxAgeSeconds = 24 * 3600);
