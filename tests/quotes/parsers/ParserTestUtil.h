#pragma once

#include "quotes/QuoteRecord.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <map>

// Expected slot texts; every slot not named must be empty.
using SlotTexts = std::map<int, QString>;

inline ::testing::AssertionResult SlotsAre(const QuoteRecord &r, const SlotTexts &expected)
{
    QString problems;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const auto it = expected.find(slot);
        const QString want = it == expected.end() ? QString() : it->second;
        const QString got = r.values[static_cast<size_t>(slot)].toString();
        if (got != want)
            problems += QStringLiteral("slot %1: \"%2\", expected \"%3\"\n").arg(slot).arg(got, want);
    }
    if (problems.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problems.toStdString();
}

// A fetch result as the dispatcher hands it to a parser: code set, everything else empty.
inline QuoteRecord FreshResult(const QString &code = QStringLiteral("7203"))
{
    return QuoteRecord(code);
}
