#pragma once

#include "corelib/Result.h"
#include "document/ErrorCodes.h" // TextListError
#include "document/RecordMap.h"

#include <QByteArrayView>

struct TextListOptions {
    QString path; // the file's full path, shown in the error text
    qint64 updatePeriodSeconds = 0; // rows start this much in the past, so the next update takes them
    qint64 now = -1; // the current time in seconds since 1970; -1 reads the clock
    qint64 maxRows = kMaxListRows; // one row more fails with ListErrorTooManyRows
};

// The bytes of the reading window: a line must end within it.
inline constexpr qsizetype kTextListWindow = 4094;

// Reads a text list: ANSI (CP932), UTF-8 with BOM or UTF-16LE with BOM; one code per line,
// optionally a comma and a name; lines starting "/", "#" or ";" are comments. The first of
// repeated codes wins. An invalid code fails with message 2205, a line feed and the path.
tessera::Result<RecordMap> ReadTextList(QByteArrayView data, const TextListOptions &options = {});
