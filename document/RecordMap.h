#pragma once

#include "quotes/QuoteRecord.h"

#include <QString>

#include <map>
#include <memory>

// The rows of an open list keyed by code, in plain UTF-16 code-unit order (QString's operator<).
using RecordMap = std::map<QString, std::unique_ptr<QuoteRecord>>;

// The most rows a list may have, whatever its kind. Real lists hold hundreds of codes; a file
// beyond this is refused while it is read, before its rows take gigabytes.
inline constexpr qint64 kMaxListRows = 1000000;
