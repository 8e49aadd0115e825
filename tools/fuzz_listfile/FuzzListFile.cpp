// libFuzzer target for the list-file reader and Load's dispatch.
// Besides not crashing, a list that reads must store and read back to the same bytes.
#include "document/ListFile.h"
#include "document/ListLoader.h"

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    auto list = ReadListFile(bytes);
    if (list.ok()) {
        const ColumnLayout layout = list->layout.value_or(ColumnLayout {});
        const QByteArray stored = WriteListFile(list->rows, layout);
        auto again = ReadListFile(stored);
        if (!again.ok() || WriteListFile(again->rows, layout) != stored)
            __builtin_trap();
    } else if (list.error().message.isEmpty()) {
        __builtin_trap(); // every failure says where and what
    }
    ListLoadOptions options;
    options.now = 0;
    auto loaded = LoadList(bytes, QStringLiteral("/fuzz/list.kabu"), options);
    (void)loaded;
    return 0;
}
