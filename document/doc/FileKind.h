#pragma once

#include <QString>

#include <cstdint>

// The format a list was opened from or is being saved to; the values are stored as one byte.
enum class FileKind : std::uint8_t {
    Csv = 0,
    Json = 1,
    ListFile = 2,
    Workbook = 3,
};

// The kind of a path by its extension, case-insensitive: ".xls"/".xlsx" workbook, ".json",
// ".csv", anything else (no extension, ".kabu", ".txt") a list file.
FileKind FileKindFromPath(const QString &path);
