#pragma once

#include "quotes/fetch/ParallelFetch.h"

#include <QString>

struct ParsedArguments;

// The fetch policy of one run: `stored` (the settings) with "--parallel N" in its place when
// given. An N that is not a whole number from 1 to 8 sets `error` and leaves the policy as stored.
FetchPolicy PolicyWithParallelOption(const ParsedArguments &args, FetchPolicy stored, QString &error);
