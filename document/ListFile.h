#pragma once

#include "corelib/Result.h"
#include "document/BinaryArchive.h" // ListFileError
#include "document/ColumnLayout.h"
#include "document/RecordMap.h"

#include <QByteArrayView>

#include <optional>

class QIODevice;

// The version the writer produces; every version ever written is in ListFile.cpp's table.
inline constexpr quint32 kCurrentListVersion = 20260716;

bool IsKnownListVersion(quint32 version);
// A date-shaped version (yyyymmdd) after the current one: a list of a later Quotra, refused
// with NewerListVersionError rather than read as a text list.
bool IsNewerListVersion(quint32 version);
tessera::Error NewerListVersionError(quint32 version);

struct ListReadOptions {
    // The system colours at the start of loading (0x00BBGGRR). Files of the versions that
    // stored the colours of the day reset a row whose pair equals these to the defaults.
    quint32 windowTextColor = 0x00000000;
    quint32 windowColor = 0x00FFFFFF;
    // A file whose row count is larger is refused at the count (ListErrorTooManyRows).
    qint64 maxRows = kMaxListRows;
};

// A list as read from a file: the rows and, from version 20230601 on, the column layout.
struct LoadedList {
    RecordMap rows;
    std::optional<ColumnLayout> layout;
    quint32 version = 0;
};

// Reads a whole list file of any known version. Nothing is handed out unless every row and
// the layout part were read; errors carry a ListFileError code and an "offset N: ..." text.
tessera::Result<LoadedList> ReadListFile(QByteArrayView data, const ListReadOptions &options = {});
tessera::Result<LoadedList> ReadListFile(QIODevice &device, const ListReadOptions &options = {});

// The current version's bytes of a list: rows in map order, then the layout part.
QByteArray WriteListFile(const RecordMap &rows, const ColumnLayout &layout);
// The same streamed to an open device in chunks; fails when the device refuses a write.
tessera::Status WriteListFile(QIODevice &device, const RecordMap &rows, const ColumnLayout &layout);
// Stores the list at `path` through a temporary file that replaces it only when complete.
tessera::Status SaveListFile(const QString &path, const RecordMap &rows, const ColumnLayout &layout);
