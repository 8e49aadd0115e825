#pragma once

// What the .xls reader program (quotra-xls-reader) writes to its standard output: the result
// of reading one workbook, a grid or a failure. The program runs the library that parses the
// file, so everything it writes is outside input to the reader that starts it.
//
// All numbers are little-endian. The stream is
//   "QXLS" u32 version (1) u8 result
//   result 0, a grid:    u8 date1904, u32 rows, u32 columns, rows x columns cells row by row,
//                        each u8 kind (0 empty, 1 number, 2 text) then for a number an f64,
//                        for a text u32 byte count and that many bytes of UTF-8
//   result 1, a failure: i32 error code (a WorkbookError), u32 byte count, UTF-8 message
// and nothing after it.
#include "corelib/Result.h"
#include "document/workbook/WorkbookGrid.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

inline constexpr quint32 kXlsStreamVersion = 1;
inline constexpr char kXlsStreamMagic[] = "QXLS";

QByteArray WriteXlsStream(const tessera::Result<WorkbookGrid> &result);

// The result the stream carries. A stream that is truncated, has another version, claims
// more than `limits` allow, holds a code outside the workbook range or has bytes after its
// end fails with WorkbookErrorDamaged; a failure the stream carries is handed on as it is.
tessera::Result<WorkbookGrid> ReadXlsStream(QByteArrayView stream, const WorkbookLimits &limits);

// The most bytes a stream within `limits` can take: the reader stops listening past it.
qint64 XlsStreamBound(const WorkbookLimits &limits);

// The reader program's command line for one file, and its reading back in the program: the
// limits travel as options so that both sides apply the same ones.
QStringList XlsReaderArguments(const QString &path, const WorkbookLimits &limits);
struct XlsReaderRequest {
    QString path;
    WorkbookLimits limits;
};
tessera::Result<XlsReaderRequest> ParseXlsReaderArguments(const QStringList &arguments);
