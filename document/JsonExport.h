#pragma once

#include "corelib/Result.h"
#include "document/ExportText.h"

class QIODevice;
class TableSource;

// Writes the table as one line of JSON (UTF-8 with BOM, no line end):
// {"items":[{"code":"7203",...},...],"count":N}. Members follow the exported columns, keyed
// by field number; every value is the trimmed display text as a JSON string.
// Fails with ExportErrorEmpty when the table has no rows (nothing is written).
tessera::Status WriteJson(QIODevice &device, const TableSource &table, const ExportProgress &progress = {});
// The same into a file, replaced only when the whole export was written.
tessera::Status ExportJson(
    const QString &path, const TableSource &table, const ExportProgress &progress = {});

// Appends `text` as the inside of a JSON string: backslash before '"' and '\\', control
// characters below U+0020 as \u00XX.
void AppendJsonEscaped(QString &out, QStringView text);
