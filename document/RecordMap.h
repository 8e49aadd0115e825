#pragma once

#include "quotes/QuoteRecord.h"

#include <QString>

#include <map>
#include <memory>

// The rows of an open list keyed by code, in plain UTF-16 code-unit order (QString's operator<).
using RecordMap = std::map<QString, std::unique_ptr<QuoteRecord>>;
