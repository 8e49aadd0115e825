#include "document/ListFile.h"

#include "document/BinaryArchive.h"
#include "document/SafeSave.h"

#include <QIODevice>

#include <algorithm>
#include <iterator>

namespace {

// How a version stored its rows.
enum class RowForm {
    Legacy12, // code u32, slots 0-11, datetime
    Legacy12Colours, // the same, then both colours
    Code30Slots, // code u32, datetime, colours, slots 0-31 but 20 and 21
    String30Slots, // code string, then as Code30Slots
    String30Holdings, // String30Slots plus the holdings part
    Current, // code string, datetime, colours, 32 slots, holdings part
};

// What sets a version apart; a field not named in the table below is false.
struct VersionRule {
    quint32 version = 0;
    RowForm form = RowForm::Current;
    bool emptyDividendAndYield = false; // slots 2 and 10 held values no longer fetched
    bool emptyTradingValue = false; // slot 11 likewise
    bool resetSystemColours = false; // the colours of the day were stored instead of "default"
    bool swapDifferenceRatio = false; // slots 4 and 5 were stored the other way round
    bool hasLayout = false;
    bool migrateIndexList = false; // fields 24 and 25 did not exist yet
};

// Every version ever written, oldest first; the writer produces the last one.
constexpr VersionRule kRules[] = {
    { .version = 20090227,
        .form = RowForm::Legacy12,
        .emptyDividendAndYield = true,
        .emptyTradingValue = true },
    { .version = 20130210,
        .form = RowForm::Legacy12,
        .emptyDividendAndYield = true,
        .emptyTradingValue = true },
    { .version = 20190620,
        .form = RowForm::Legacy12Colours,
        .emptyDividendAndYield = true,
        .emptyTradingValue = true,
        .resetSystemColours = true },
    { .version = 20190701,
        .form = RowForm::Legacy12Colours,
        .emptyTradingValue = true,
        .resetSystemColours = true },
    { .version = 20200801, .form = RowForm::Legacy12Colours, .emptyTradingValue = true },
    { .version = 20210320, .form = RowForm::Legacy12Colours },
    { .version = 20211020, .form = RowForm::Code30Slots },
    { .version = 20211101, .form = RowForm::String30Slots },
    { .version = 20230601, .form = RowForm::String30Holdings, .hasLayout = true, .migrateIndexList = true },
    { .version = 20240409, .form = RowForm::Current, .hasLayout = true },
    { .version = 20260714, .form = RowForm::Current, .swapDifferenceRatio = true, .hasLayout = true },
    { .version = 20260716, .form = RowForm::Current, .hasLayout = true },
};
static_assert(std::size(kRules) > 0 && kRules[std::size(kRules) - 1].version == kCurrentListVersion,
    "the writer's version is the newest rule");

const VersionRule *ruleOf(quint32 version)
{
    for (const VersionRule &r : kRules) {
        if (r.version == version)
            return &r;
    }
    return nullptr;
}

constexpr quint32 kDefaultColour = 0xFFFFFFFFu;

// The integer at the start of a list item, read as the C library's atoi would: leading
// blanks, an optional sign, digits up to the first other character; no digits give 0.
int leadingInt(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && (s[i] == u' ' || s[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        negative = s[i++] == u'-';
    qint64 v = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
        v = v * 10 + (s[i].unicode() - u'0');
        if (v > 0x7FFFFFFF)
            v = 0x7FFFFFFF;
    }
    return static_cast<int>(negative ? -v : v);
}

// Version 20230601 knew no fields 24 and 25: its field numbers from 24 up move up by two.
// The new index list is built by display position from the order list; it is taken only
// when some number actually moved.
QString migrateIndexList(const QString &orderList, const QString &indexList)
{
    const QList<QStringView> order = QStringView(orderList).split(u',');
    const QList<QStringView> index = QStringView(indexList).split(u',');
    const qsizetype n = orderList.count(u',');
    QString migrated;
    bool moved = false;
    for (qsizetype i = 0; i < n; ++i) {
        const QStringView item = order[i];
        const qsizetype j = item.isEmpty() ? i : leadingInt(item);
        if (j < 0 || j >= index.size() || index[j].isEmpty())
            continue;
        const int k = leadingInt(index[j]);
        if (k >= 24)
            moved = true;
        migrated += QString::number(k < 24 ? k : k + 2) + u',';
    }
    return moved ? migrated : indexList;
}

// The slot texts are read end to end into `joined` (kept between rows for its capacity) and
// handed to the record in one piece, so a row costs one allocation for all its slots.
void readSlots(BinaryReader &in, QuoteRecord &r, int count, bool skipRoeAndCar, QString &joined)
{
    joined.resize(0);
    QuoteValues::Ends ends {};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (slot < count && !(skipRoeAndCar && (slot == SlotRoe || slot == SlotCar)))
            in.appendString(joined);
        ends[static_cast<size_t>(slot)] = static_cast<quint32>(joined.size());
    }
    r.values.assign(joined, ends);
}

void readHoldings(BinaryReader &in, QuoteRecord &r)
{
    r.has_holdings = in.readU8() != 0;
    if (!r.has_holdings)
        return;
    r.buyday = in.readI64();
    r.amount = in.readF64();
    r.shares = in.readF64();
    r.loss = in.readF64();
    r.memo = in.readString();
}

// A code stored as a number is its "%d" text.
QString numericCode(quint32 v)
{
    return QString::number(static_cast<qint32>(v));
}

std::unique_ptr<QuoteRecord> readRow(
    BinaryReader &in, const VersionRule &rule, const ListReadOptions &options, QString &joined)
{
    auto r = std::make_unique<QuoteRecord>();
    quint32 text = kDefaultColour;
    quint32 back = kDefaultColour;
    switch (rule.form) {
    case RowForm::Legacy12:
    case RowForm::Legacy12Colours:
        r->code = numericCode(in.readU32());
        readSlots(in, *r, 12, false, joined);
        r->datetime = in.readI64();
        if (rule.form == RowForm::Legacy12Colours) {
            text = in.readU32();
            back = in.readU32();
        }
        break;
    case RowForm::Code30Slots:
    case RowForm::String30Slots:
    case RowForm::String30Holdings:
    case RowForm::Current:
        r->code = rule.form == RowForm::Code30Slots ? numericCode(in.readU32()) : in.readString();
        r->datetime = in.readI64();
        text = in.readU32();
        back = in.readU32();
        readSlots(in, *r, kSlotCount, rule.form != RowForm::Current, joined);
        if (rule.form == RowForm::String30Holdings || rule.form == RowForm::Current)
            readHoldings(in, *r);
        break;
    }
    if (!in.ok())
        return nullptr;
    if (rule.resetSystemColours && text == options.windowTextColor && back == options.windowColor) {
        text = kDefaultColour;
        back = kDefaultColour;
    }
    r->text_color = static_cast<qint32>(text);
    r->back_color = static_cast<qint32>(back);
    if (rule.emptyDividendAndYield) {
        r->values.set(SlotDividend, {});
        r->values.set(SlotYield, {});
    }
    if (rule.emptyTradingValue)
        r->values.set(SlotTradingValue, {});
    if (rule.swapDifferenceRatio) {
        const QString difference = r->values[SlotDifference].toString();
        r->values.set(SlotDifference, r->values[SlotRatio]);
        r->values.set(SlotRatio, difference);
    }
    // The outcome of the last update is never carried over a reload.
    r->values.set(SlotStatus, {});
    return r;
}

} // namespace

bool IsKnownListVersion(quint32 version)
{
    return ruleOf(version) != nullptr;
}

bool IsNewerListVersion(quint32 version)
{
    // Versions are dates, yyyymmdd. A text list never starts with such a u32: four bytes
    // of text are at least 0x20 each, which makes a number far above 99991231.
    const quint32 month = version / 100 % 100;
    const quint32 day = version % 100;
    return version > kCurrentListVersion && version <= 99991231 && month >= 1 && month <= 12 && day >= 1
        && day <= 31;
}

tessera::Error NewerListVersionError(quint32 version)
{
    return tessera::Error { ListErrorNewerVersion,
        QStringLiteral("written by a newer version of Quotra (list-file version %1)").arg(version) };
}

tessera::Result<LoadedList> ReadListFile(QByteArrayView data, const ListReadOptions &options)
{
    BinaryReader in(data);
    LoadedList list;
    list.version = in.readU32();
    if (!in.ok())
        return in.error();
    const VersionRule *rule = ruleOf(list.version);
    if (!rule && IsNewerListVersion(list.version))
        return NewerListVersionError(list.version);
    if (!rule) {
        return tessera::Error { ListErrorBadVersion,
            QStringLiteral("offset 0: unknown list-file version %1").arg(list.version) };
    }
    const quint32 count = in.readU32();
    if (in.ok() && count > options.maxRows) {
        return tessera::Error { ListErrorTooManyRows,
            QStringLiteral("offset 4: %1 rows, more than a list may have (%2)")
                .arg(count)
                .arg(options.maxRows) };
    }
    QString joined;
    for (quint32 i = 0; i < count && in.ok(); ++i) {
        std::unique_ptr<QuoteRecord> r = readRow(in, *rule, options, joined);
        if (!r)
            break;
        QString key = r->code;
        // Files are written in code order, so a row almost always goes to the end.
        if (list.rows.empty() || list.rows.rbegin()->first < key)
            list.rows.emplace_hint(list.rows.end(), std::move(key), std::move(r));
        else
            list.rows.insert_or_assign(std::move(key), std::move(r));
    }
    if (in.ok() && rule->hasLayout) {
        ColumnLayout layout;
        layout.orderList = in.readString();
        layout.alignList = in.readString();
        layout.widthList = in.readString();
        layout.indexList = in.readString();
        layout.packedSort = in.readU32();
        if (rule->migrateIndexList)
            layout.indexList = migrateIndexList(layout.orderList, layout.indexList);
        list.layout = std::move(layout);
    }
    if (!in.ok())
        return in.error();
    return list;
}

tessera::Result<LoadedList> ReadListFile(QIODevice &device, const ListReadOptions &options)
{
    if (!device.isReadable())
        return tessera::Error { ListErrorIo, QStringLiteral("the device is not open for reading") };
    const QByteArray data = device.readAll();
    return ReadListFile(QByteArrayView(data), options);
}

namespace {

void writeRow(BinaryWriter &out, const QuoteRecord &r)
{
    out.writeString(r.code);
    out.writeI64(r.datetime);
    out.writeU32(static_cast<quint32>(r.text_color));
    out.writeU32(static_cast<quint32>(r.back_color));
    for (QStringView v : r.values)
        out.writeString(v);
    out.writeU8(r.has_holdings ? 1 : 0);
    if (r.has_holdings) {
        out.writeI64(r.buyday);
        out.writeF64(r.amount);
        out.writeF64(r.shares);
        out.writeF64(r.loss);
        out.writeString(r.memo);
    }
}

bool writeList(BinaryWriter &out, const RecordMap &rows, const ColumnLayout &layout)
{
    out.writeU32(kCurrentListVersion);
    out.writeU32(static_cast<quint32>(rows.size()));
    for (const auto &[code, record] : rows) {
        writeRow(out, *record);
        if (!out.flushIfLarge())
            return false;
    }
    out.writeString(layout.orderList);
    out.writeString(layout.alignList);
    out.writeString(layout.widthList);
    out.writeString(layout.indexList);
    out.writeU32(layout.packedSort);
    return out.flush();
}

} // namespace

QByteArray WriteListFile(const RecordMap &rows, const ColumnLayout &layout)
{
    BinaryWriter out;
    writeList(out, rows, layout);
    return out.takeBuffer();
}

tessera::Status WriteListFile(QIODevice &device, const RecordMap &rows, const ColumnLayout &layout)
{
    if (!device.isWritable())
        return tessera::Error { ListErrorIo, QStringLiteral("the device is not open for writing") };
    BinaryWriter out(&device);
    if (!writeList(out, rows, layout))
        return out.error();
    return tessera::Ok {};
}

tessera::Status SaveListFile(const QString &path, const RecordMap &rows, const ColumnLayout &layout)
{
    return SaveFileSafely(path, [&](QIODevice &device) { return WriteListFile(device, rows, layout); });
}
