#pragma once

#include "document/doc/FileKind.h"

#include <QDateTime>
#include <QString>

// What decides the name of a save besides the path itself.
struct SaveNamingContext {
    // Unattended run with an output folder (/Folder): saves go there, time-stamped.
    bool unattended = false;
    QString outputFolder;
    bool outputFolderExists = false;
    // Unattended workbook output (/Auto2): a list that is not a workbook is saved as ".xlsx".
    bool workbookOutput = false;
    // The default list, which a plain save never overwrites.
    QString defaultListPath;
    bool defaultListExists = false;
    // Local time of the save, for the time stamp.
    QDateTime localNow;
};

// Fills the context's existence flags from the file system.
SaveNamingContext WithFileSystemState(SaveNamingContext context);

// The file a save of `path` (the document currently of kind `kind`) writes to, or an empty
// string when the user must be asked for a name (no path, or the default list).
//  - unattended with an existing output folder: folder/<name><MMDDhhmm><ext>;
//  - an extension other than .csv, .kabu, .xls, .xlsx (any case) becomes ".kabu", and ".xls"
//    becomes ".xlsx" (the only workbook format written).
QString SaveTarget(const QString &path, FileKind kind, const SaveNamingContext &context);
