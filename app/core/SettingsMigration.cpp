#include "app/core/AppSettings.h"

#include "app/core/SearchHistory.h"
#include "app/core/SettingsValues.h"
#include "corelib/RegTree.h"

#include <QSettings>

#include <vector>

// Older versions kept their settings in sibling groups "1.00", "2.00" and "3.00" of the
// store, each with a "Settings" subgroup. Each step copies the whole tree forward, adjusts
// what changed in that version and removes the old tree.

namespace {

const QString kBase; // the store's top: the program's key

// What the 4.00 column table gives its field 8 (trading value), which 4.00 added.
constexpr int kNewColumn = 8;
constexpr int kNewColumnWidth = 90;
constexpr int kNewColumnAlign = 1;
constexpr int kOldColumnCount = 15;

// A list item as the old versions read it: leading blanks, a sign, digits up to the first
// other character; no digits reads as 0. Magnitudes are capped far above any column number,
// so moving a column up by one can never overflow.
constexpr qint64 kMaxItem = 1000000;
int readItem(QStringView item)
{
    qsizetype i = 0;
    while (i < item.size() && item[i].isSpace())
        ++i;
    bool negative = false;
    if (i < item.size() && (item[i] == QLatin1Char('-') || item[i] == QLatin1Char('+')))
        negative = item[i++] == QLatin1Char('-');
    qint64 v = 0;
    for (; i < item.size() && item[i] >= QLatin1Char('0') && item[i] <= QLatin1Char('9'); ++i) {
        v = v * 10 + (item[i].unicode() - u'0');
        if (v > kMaxItem)
            v = kMaxItem;
    }
    return int(negative ? -v : v);
}

// The first `count` comma-separated items; missing items read as 0.
std::vector<int> firstItems(const QString &list, int count)
{
    std::vector<int> out(size_t(count), 0);
    const QList<QStringView> items = QStringView(list).split(QLatin1Char(','));
    for (int i = 0; i < count && i < items.size(); ++i)
        out[size_t(i)] = readItem(items[i]);
    return out;
}

QString formatList(const std::vector<int> &values)
{
    QString out;
    for (int v : values)
        out += QString::number(v) + QLatin1Char(',');
    return out;
}

} // namespace

void MigrateSettings1To2(QSettings &store)
{
    if (!tessera::RegKeyExists(store, QStringLiteral("1.00")))
        return;
    if (!tessera::RegDataCopy(store, kBase, QStringLiteral("1.00"), QStringLiteral("2.00")))
        return;
    if (!tessera::RegKeyExists(store, QStringLiteral("1.00/Settings")))
        return;
    // Version 1.00 kept the find history as 8-bit strings of the legacy code page.
    const std::optional<QByteArray> old = ReadBinary(store, QStringLiteral("1.00/Settings/SearchStrs"));
    const QStringList history = old ? DecodeAnsiSearchStrs(*old) : QStringList();
    if (!store.isWritable())
        return;
    if (!history.isEmpty())
        store.setValue(QStringLiteral("2.00/Settings/SearchStrs"), EncodeSearchStrs(history));
    tessera::DeleteRegKey(store, kBase, QStringLiteral("1.00"));
}

void MigrateSettings2To3(QSettings &store)
{
    if (!tessera::RegKeyExists(store, QStringLiteral("2.00")))
        return;
    if (!tessera::RegDataCopy(store, kBase, QStringLiteral("2.00"), QStringLiteral("3.00")))
        return;
    if (!tessera::RegKeyExists(store, QStringLiteral("3.00/Settings")) || !store.isWritable())
        return;
    // 3.00 changed the column table; the list starts again with the default layout.
    store.remove(QStringLiteral("3.00/Settings/Order Info"));
    store.remove(QStringLiteral("3.00/Settings/Column Align"));
    store.remove(QStringLiteral("3.00/Settings/Column Info"));
    tessera::DeleteRegKey(store, kBase, QStringLiteral("2.00"));
}

void MigrateSettings3To4(QSettings &store)
{
    if (!tessera::RegKeyExists(store, QStringLiteral("3.00")))
        return;
    if (!tessera::RegDataCopy(store, kBase, QStringLiteral("3.00"), QStringLiteral("4.00")))
        return;
    const QString order
        = ReadText(store, QStringLiteral("4.00/Settings/Order Info"), 1 << 20).value_or(QString());
    const QString align
        = ReadText(store, QStringLiteral("4.00/Settings/Column Align"), 1 << 20).value_or(QString());
    const QString widths
        = ReadText(store, QStringLiteral("4.00/Settings/Column Info"), 1 << 20).value_or(QString());
    if (order.isEmpty() || align.isEmpty()) {
        store.setValue(QStringLiteral("4.00/Settings/Order Info"), QString());
        store.setValue(QStringLiteral("4.00/Settings/Column Align"), QString());
        store.setValue(QStringLiteral("4.00/Settings/Column Info"), QString());
        store.sync();
        return;
    }

    // 4.00 inserted the trading value as column 8: later columns move up by one and the new
    // column follows the first column at or after position 7.
    struct Entry {
        int column;
        int width;
        int align;
    };
    const std::vector<int> columns = firstItems(order, kOldColumnCount);
    const std::vector<int> widthItems = firstItems(widths, kOldColumnCount);
    const std::vector<int> alignItems = firstItems(align, kOldColumnCount);
    std::vector<Entry> entries;
    entries.reserve(kOldColumnCount + 1);
    for (size_t i = 0; i < size_t(kOldColumnCount); ++i)
        entries.push_back(
            { columns[i] >= kNewColumn ? columns[i] + 1 : columns[i], widthItems[i], alignItems[i] });
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->column >= kNewColumn - 1) {
            entries.insert(it + 1, { kNewColumn, kNewColumnWidth, kNewColumnAlign });
            break;
        }
    }
    std::vector<int> newOrder, newAlign, newWidth;
    for (const Entry &e : entries) {
        newOrder.push_back(e.column);
        newAlign.push_back(e.align);
        newWidth.push_back(e.width);
    }
    store.setValue(QStringLiteral("4.00/Settings/Order Info"), formatList(newOrder));
    store.setValue(QStringLiteral("4.00/Settings/Column Align"), formatList(newAlign));
    store.setValue(QStringLiteral("4.00/Settings/Column Info"), formatList(newWidth));
    tessera::DeleteRegKey(store, kBase, QStringLiteral("3.00"));
    // The browser-emulation value of the old platform's embedded browser has no counterpart
    // here; there is no embedded browser to configure.
}

void MigrateSettings(QSettings &store)
{
    MigrateSettings1To2(store);
    MigrateSettings2To3(store);
    MigrateSettings3To4(store);
}
