#pragma once

#include <QString>
#include <QStringList>

// The filters and start folder of the program's file dialogs (shared with the tests).

enum class FileDialogKind {
    Open, // list files, workbooks, CSV, text lists
    OpenSeveral, // the several-files workbook command: list files and workbooks
    Save, // list file, workbook, CSV, JSON
};

// The filter in the design's "name|patterns|" form, ending with "|".
QString FileDialogFilter(FileDialogKind kind);

// The same filter as Qt's name filters ("name (*.a *.b)"), in order.
QStringList QtNameFilters(const QString &pipeFilter);

// The folder a file dialog starts in: the remembered folder `current`, unless it or the
// program's own folder does not exist, or it is the program's own folder (compared without
// case): then `documents`.
QString DialogStartFolder(const QString &current, const QString &programFolder, const QString &documents);
// The same for this program: its own folder and the user's documents folder.
QString DialogStartFolder(const QString &current);
