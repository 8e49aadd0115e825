// libFuzzer target for the text-list reader. Every row it hands out must be keyed by its own
// code, and that code must be a valid one.
#include "document/TextList.h"
#include "document/ValidCode.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TextListOptions options;
    options.path = QStringLiteral("/fuzz/list.txt");
    options.now = 1700000000;
    options.updatePeriodSeconds = 60;
    auto rows = ReadTextList(QByteArrayView(data, static_cast<qsizetype>(size)), options);
    if (!rows.ok())
        return 0;
    for (const auto &[code, record] : *rows) {
        if (record->code != code || !IsValidCode(code) || record->datetime != 1700000000 - 60)
            __builtin_trap();
    }
    return 0;
}
