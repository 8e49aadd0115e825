#pragma once

#include "corelib/Result.h"

#include <QString>

#include <functional>

class QIODevice;

// Error codes of a safe save (the writer's own errors pass through unchanged).
enum SaveError : int {
    SaveErrorOpen = 400, // the temporary file beside the target could not be created
    SaveErrorCommit = 401, // writing out or renaming the temporary file failed
};

// Writes `path` through a temporary file in the same folder, renamed over the target only
// when `write` succeeded and everything reached the disk. On any failure the old file (or
// its absence) stays exactly as it was.
tessera::Status SaveFileSafely(const QString &path, const std::function<tessera::Status(QIODevice &)> &write);
