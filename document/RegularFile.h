#pragma once

#include "corelib/Result.h"

#include <QFile>
#include <QString>

// Opens `file` (named by its fileName()) for reading only when it is a regular file, links
// followed. A device, a named pipe, a socket or a folder is refused before a byte of it is
// read and without waiting: such a file reports the size 0, so no size limit stops a device
// that never ends, and opening a named pipe waits for a writer that may never come.
//
// A refusal carries `notRegularCode` and the user's message naming the file; a file that
// cannot be opened carries `ioCode` and "cannot open PATH: REASON". The open file is reached
// through its descriptor, so its fileName() is empty afterwards.
tessera::Status OpenRegularFileForReading(QFile &file, int notRegularCode, int ioCode);

// The user's message for a path that is not a regular file.
QString NotRegularFileText(const QString &path);
