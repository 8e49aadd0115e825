// A find that matches nothing over 100,000 full rows shown in 16 columns (the whole scan),
// with plain, regular-expression and fuzzy matching, against Python's re searching the same
// display texts, which are written out first. Each run times the find that makes the rows'
// display texts on its way (the first after the rows changed), the find over the texts kept
// with the rows (every later one), the matching alone over texts made beforehand, and one
// scan of Python's, in turn.
//
// bench_find [RUNS]   (default 9; the engines are bound as the window binds them;
//                      QUOTRA_ENGINE_DIR)

#include "corelib/CJre.h"
#include "corelib/LocalTimeZone.h"
#include "tools/common/ToolOptions.h"
#include "view/table/CellText.h"
#include "view/table/ColumnTable.h"
#include "view/table/ListTable.h"
#include "view/table/RowFind.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 100000;

QString grouped(qint64 v)
{
    QString digits = QString::number(v < 0 ? -v : v);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return v < 0 ? u'-' + digits : digits;
}

// Full records with texts shaped like the site's: grouped prices with decimals, signed
// changes and rates, Japanese names, codes of every kind.
RecordMap makeRecords()
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> price(100, 5000000);
    std::uniform_int_distribution<int> change(-50000, 50000);
    std::uniform_int_distribution<qint64> volume(0, 300000000);
    std::uniform_int_distribution<int> kana(0x30A2, 0x30F3);
    std::uniform_int_distribution<int> length(3, 12);
    RecordMap map;
    for (int i = 0; map.size() < static_cast<size_t>(kRows); ++i) {
        const QString code
            = i % 10 == 7 ? QString::number(1000 + i % 9000) + u".T"_s : QString::number(1000 + i);
        auto r = std::make_unique<QuoteRecord>(code);
        QString name;
        for (int n = length(rng); n > 0; --n)
            name += QChar(kana(rng));
        r->values.set(SlotName, name + u"ホールディングス"_s);
        r->values.set(SlotMarket, u"東証プライム"_s);
        for (int slot :
            { SlotPrice, SlotOpen, SlotHigh, SlotLow, SlotPrevClose, SlotYearHigh, SlotYearLow }) {
            const int p = price(rng);
            r->values.set(static_cast<size_t>(slot),
                grouped(p / 100) + u'.' + QString::number(p % 100).rightJustified(2, u'0'));
        }
        const int c = change(rng);
        r->values.set(SlotDifference, (c > 0 ? u"+"_s : QString()) + QString::number(c / 100.0, 'f', 2));
        r->values.set(SlotRatio, (c > 0 ? u"+"_s : QString()) + QString::number(c / 1000.0, 'f', 2) + u'%');
        for (int slot : { SlotVolume, SlotTradingValue, SlotMarketCap })
            r->values.set(static_cast<size_t>(slot), grouped(volume(rng)));
        r->values.set(SlotPriceLimit, u"1,500～2,500"_s);
        for (int slot : { SlotDividend, SlotYield, SlotPer, SlotPbr })
            r->values.set(static_cast<size_t>(slot), QString::number(change(rng) / 100.0, 'f', 2));
        r->values.set(SlotStatus, u"更新済"_s);
        map[code] = std::move(r);
    }
    return map;
}

struct Run {
    const char *name;
    QString pattern;
    bool regular;
    bool fuzzy;
    bool matchCase;
    const char *python; // the same pattern for Python's re, empty for none
};

double medianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    tessera::PinLocalTimeZone(); // as the programs do
    QCoreApplication app(argc, argv);
    const ToolOptions command = ParseToolOptions(app.arguments().mid(1), {});
    if (!command.ok() || command.plain.size() > 1)
        return ToolUsageError("bench_find", "[RUNS]", command.error);
    const int runs = std::max(1, command.plain.value(0, QStringLiteral("9")).toInt());
    tessera::CJre::Init(1);
    std::printf("engine: %s (regex %d, fuzzy %d)\n", qPrintable(tessera::CJre::GetDllName()),
        int(tessera::CJre::s_bJre32), int(tessera::CJre::s_bHmJre));

    const RecordMap records = makeRecords();
    std::vector<int> shown(16);
    for (int f = 0; f < 16; ++f)
        shown[static_cast<size_t>(f)] = f + 1;
    const ListTable table = BuildExportTable(records, DefaultColumnLayout(), shown);
    std::printf("rows %d, shown columns %d\n", table.rowCount(), table.header().columnCount() - 1);

    std::vector<QString> texts;
    texts.reserve(size_t(table.rowCount()) * 16);
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int c = kFindFirstColumn; c < table.header().columnCount(); ++c)
            texts.push_back(CellText(*table.record(row), table.header().fieldOf(c)));
    }

    // The display texts the find searches, one a line (no cell holds a line break here).
    QTemporaryDir dir;
    const QString textsPath = dir.filePath(u"texts.txt"_s);
    {
        QFile out(textsPath);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        QString block;
        for (const QString &t : texts) {
            block += t + u'\n';
            if (block.size() > 1 << 20) {
                out.write(block.toUtf8());
                block.clear();
            }
        }
        out.write(block.toUtf8());
    }

    // Python's re as a second process that reads the texts once and then times one scan per
    // pattern it is sent, so that its runs interleave with the program's.
    const QString script = uR"(import re, sys, time
texts = open(sys.argv[1], encoding='utf-8').read().split('\n')[:-1]
print(len(texts), flush=True)
for line in sys.stdin:
    p = re.compile(line.rstrip('\n'))
    t = time.perf_counter()
    hit = any(p.search(s) for s in texts)
    print('%.3f %d' % ((time.perf_counter() - t) * 1000, hit), flush=True)
)"_s;
    QProcess python;
    python.start(u"python3"_s, { u"-c"_s, script, textsPath });
    const auto pythonLine = [&python]() -> QString {
        while (!python.canReadLine()) {
            if (!python.waitForReadyRead(-1))
                return {};
        }
        return QString::fromUtf8(python.readLine()).trimmed();
    };
    const bool havePython = python.waitForStarted() && !pythonLine().isEmpty();

    const Run kRuns[] = {
        { "plain", u"XYZZY"_s, false, false, true, "XYZZY" },
        { "plain nocase", u"xyzzy"_s, false, false, false, "(?i)xyzzy" },
        { "regular", u"XYZ[0-9]+Q"_s, true, false, true, "XYZ[0-9]+Q" },
        { "regular nocase", u"xyz\\d+q"_s, true, false, false, "(?ai)xyz\\d+q" },
        { "fuzzy", u"とよたＸ"_s, false, true, true, "" },
        { "fuzzy regular", u"とよた[０-９]+"_s, true, true, true, "" },
    };
    std::printf("medians of %d interleaved runs; ratios: kept texts / matching, kept texts / python\n", runs);
    std::printf(
        "%-15s %10s %10s %10s %10s %8s %8s\n", "find", "making", "kept", "matching", "python", "k/m", "k/py");
    for (const Run &r : kRuns) {
        tessera::CJre jre;
        if (!jre.Compile(r.pattern, r.matchCase, r.regular, r.fuzzy))
            return 1;
        const bool withPython = havePython && *r.python;
        std::vector<double> making, kept, matching, pythonTimes;
        int found = 0;
        int hits = 0;
        for (int k = 0; k < runs; ++k) {
            // The find as the first one after the rows changed: it makes the texts on its way.
            for (const auto &[code, record] : records)
                record->shown_texts.clear();
            QElapsedTimer timer;
            timer.start();
            found = FindRow(table, jre, 0, true).row;
            making.push_back(double(timer.nsecsElapsed()) / 1e6);
            // Every later find, F3 and find in list: over the texts kept with the rows.
            timer.restart();
            found = FindRow(table, jre, 0, true).row;
            kept.push_back(double(timer.nsecsElapsed()) / 1e6);
            // The matching alone, over texts made beforehand as Python's are.
            timer.restart();
            hits = 0;
            for (const QString &t : texts)
                hits += jre.Find(t);
            matching.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (withPython) {
                python.write(QByteArray(r.python) + '\n');
                pythonTimes.push_back(pythonLine().section(u' ', 0, 0).toDouble());
            }
        }
        const double keptMs = medianMs(kept);
        const double matchMs = medianMs(matching);
        const double pythonMs = withPython ? medianMs(pythonTimes) : 0;
        std::printf("%-15s %7.1f ms %7.1f ms %7.1f ms ", r.name, medianMs(making), keptMs, matchMs);
        if (withPython)
            std::printf("%7.1f ms %8.2f %8.2f", pythonMs, keptMs / matchMs, keptMs / pythonMs);
        else
            std::printf("%10s %8.2f %8s", "", keptMs / matchMs, "");
        std::printf("   (found row %d, hits %d)\n", found, hits);
    }
    python.closeWriteChannel();
    python.waitForFinished(5000);
    return 0;
}
