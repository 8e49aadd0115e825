#pragma once

#include "corelib/Result.h"
#include "document/ColumnLayout.h"
#include "document/ErrorCodes.h" // ColumnLayoutFileError

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Column layout files (".colm"): a u32 magic, the four lists as archive strings (the list
// file's string forms, read and written by the same BinaryReader/BinaryWriter), and from the
// current magic on the packed sort value as an i32.
inline constexpr quint32 kColumnLayoutMagic = 20230615;
inline constexpr quint32 kOldColumnLayoutMagic = 20211027; // no sort value; it reads as 0
// A layout file holds four lists of at most 41 short numbers; anything this large is no
// layout file and is refused before a byte of it is read.
inline constexpr qint64 kMaxColumnLayoutFileBytes = 64 * 1024;

// Reads a layout file's bytes. Errors: ColumnLayoutErrorBadMagic for an unknown magic,
// ColumnLayoutErrorUnequalLists when the lists differ in their number of commas,
// ColumnLayoutErrorRead when the data ends inside a field.
tessera::Result<ColumnLayout> ReadColumnLayoutFile(QByteArrayView data);
// Reads the file at `path`; a file that cannot be opened, or is larger than `maxBytes`,
// gives ColumnLayoutErrorRead without reading it; anything but a regular file gives
// ColumnLayoutErrorNotRegularFile, with the user's message naming it, before it is opened.
tessera::Result<ColumnLayout> LoadColumnLayoutFile(
    const QString &path, qint64 maxBytes = kMaxColumnLayoutFileBytes);

// The bytes of a layout file with the current magic.
QByteArray WriteColumnLayoutFile(const ColumnLayout &layout);
// Stores the layout at `path` through a temporary file that replaces the target only when
// complete; errors carry ColumnLayoutErrorWrite.
tessera::Status SaveColumnLayoutFile(const QString &path, const ColumnLayout &layout);
