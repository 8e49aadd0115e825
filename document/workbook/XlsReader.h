#pragma once

// .xls workbooks are read by a program of their own, quotra-xls-reader, so that a file that
// throws the parsing library off its rails takes down that program rather than this one.
#include <QString>
#include <QStringList>

inline constexpr char kXlsReaderProgram[] = "quotra-xls-reader";
inline constexpr char kXlsReaderDirVariable[] = "QUOTRA_LIBEXEC_DIR";

// The folders the reader program is looked for in, in order: $QUOTRA_LIBEXEC_DIR alone when
// it is set, else the running program's own folder (a build folder keeps it beside the
// binaries), "<program folder>/../libexec/quotra" (an installed tree wherever its prefix was
// put) and the libexec folder of the configured install prefix.
QStringList XlsReaderFolders();

// The reader program's path, or empty when none of XlsReaderFolders() holds it.
QString FindXlsReader();
