#pragma once

#include "corelib/Result.h"
#include "document/ExportText.h"

class QIODevice;
class TableSource;

// Writes the table as CSV: UTF-8 with BOM, CR LF line ends, a header line "#caption,...",
// then each row's trimmed cell texts, each quoted and followed by a comma.
// Fails with ExportErrorEmpty when the table has no rows (nothing is written).
tessera::Status WriteCsv(QIODevice &device, const TableSource &table, const ExportProgress &progress = {});
// The same into a file, replaced only when the whole export was written.
tessera::Status ExportCsv(const QString &path, const TableSource &table, const ExportProgress &progress = {});
