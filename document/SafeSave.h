#pragma once

#include "corelib/Result.h"
#include "document/ErrorCodes.h" // SaveError

#include <QString>

#include <functional>

class QIODevice;

// Writes all `size` bytes to `device`, going on after a short write: a file-size limit or a
// full disk takes part of a chunk without an error, and only the next write fails with the
// reason. False when the device refused the rest; its errorString() then says why.
bool WriteAll(QIODevice &device, const char *data, qint64 size);

// The device's error as the tail of a message: "File too large" gives "file too large".
QString DeviceErrorReason(const QIODevice &device);

// Writes `path` through a temporary file in the same folder, renamed over the target only
// when `write` succeeded and everything reached the disk. On any failure the old file (or
// its absence) stays exactly as it was, and the error names the file and the reason:
// "cannot create PATH: REASON" when the temporary file could not be made, "cannot write
// PATH: REASON" when writing it failed (the writer's code and reason, or SaveErrorCommit).
// A symbolic link is followed to its target, which is replaced and stays linked; the file
// and then its folder are flushed to the disk.
tessera::Status SaveFileSafely(const QString &path, const std::function<tessera::Status(QIODevice &)> &write);

// The same for writers that take a file name (the workbook library): `write` fills the
// temporary file by its name. The new file keeps the permissions of the one it replaces.
tessera::Status SaveNamedFileSafely(
    const QString &path, const std::function<tessera::Status(const QString &tempFile)> &write);

// The file a save of `path` writes: `path`, or the file its chain of symbolic links ends at
// (the target need not exist yet).
QString SaveTargetOf(const QString &path);
