// The window with a list of 100,000 full rows, on the offscreen platform:
//   open   - opening the list file until the first paint of the view;
//   sort   - a header click that sorts by the current price;
//   paint  - one paint of the visible rows at 1024 x 640 with the 16 default columns;
//   update - an update of 1,000 rows against the sample site (no delay), while a 10 ms
//            heartbeat timer measures the longest gap of the event loop;
//   start  - a new process (this program with --first-paint LIST) from its launch until the
//            view of the opened list is first painted, as the program starts with a list;
//   rss    - that process's resident memory right after the paint.
// Each is repeated (--runs N, default 5) and reported as the median and the worst.
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_window [--rows N] [--runs N]

#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/ui/CMainFrame.h"
#include "corelib/LanguageModule.h"
#include "corelib/LocalTimeZone.h"
#include "corelib/Messages.h"
#include "document/CQuotraDoc.h"
#include "document/ListFile.h"
#include "tools/bench_lists/BenchRows.h"
#include "tools/common/ToolOptions.h"
#include "tools/sample-site/SamplePages.h"
#include "view/table/ColumnTable.h"
#include "view/widgets/CQuotraView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Figures {
    std::vector<double> ms;
    void add(double v) { ms.push_back(v); }
    double median() const
    {
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        return s.empty() ? 0 : s[s.size() / 2];
    }
    double worst() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

void report(const char *name, const Figures &f, const char *target, const char *unit = "ms")
{
    std::printf("%-8s median %8.2f %s   worst %8.2f %s   (target %s)\n", name, f.median(), unit, f.worst(),
        unit, target);
}

// The resident memory of this process in MiB (VmRSS of /proc/self/status), 0 when unknown.
double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    QTextStream in(&status);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
        if (line.startsWith(QLatin1String("VmRSS:")))
            return line.mid(6).trimmed().section(u' ', 0, 0).toDouble() / 1024.0;
    }
    return 0;
}

// Counts paints of a widget.
class PaintWatch : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

// The child of the start measure: the program's own start with a list (the window, the
// list opened, then shown), "painted" on standard output at the view's first paint and then
// "rss MIB".
int firstPaintChild(const QString &path)
{
    if (!tessera::LanguageModule::instance().load())
        return 1;
    tessera::SetMessageHandler([](const QString &text, unsigned) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return int(tessera::IdOk);
    });
    AppSettings settings;
    settings.currentLanguage = 1041;
    CMainFrame frame(settings, CCLineInfo());
    PaintWatch watch;
    frame.view().viewport()->installEventFilter(&watch);
    frame.openDocument(path);
    frame.resize(1024, 640);
    frame.show();
    while (watch.paints == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::printf("painted\n");
    std::fflush(stdout);
    std::printf("rss %.1f\n", residentMiB());
    std::fflush(stdout);
    frame.document().SetModifiedFlag(false);
    return 0;
}

// One start of the child: the time from its launch to the "painted" line, and its memory.
bool measureStart(const QString &path, Figures &start, Figures &rss)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--first-paint"), path });
    QByteArray out;
    while (!out.contains("painted\n") && child.waitForReadyRead(30000))
        out += child.readAllStandardOutput();
    if (!out.contains("painted\n"))
        return false;
    start.add(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    while (!out.contains("rss ") || !out.endsWith('\n')) {
        if (!child.waitForReadyRead(30000))
            break;
        out += child.readAllStandardOutput();
    }
    child.waitForFinished(30000);
    const qsizetype at = out.indexOf("rss ");
    if (at < 0)
        return false;
    rss.add(out.mid(at + 4).trimmed().toDouble());
    return true;
}

int main(int argc, char **argv)
{
    tessera::PinLocalTimeZone(); // as the programs do
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const ToolOptions command = ParseToolOptions(app.arguments().mid(1),
        { QStringLiteral("--rows"), QStringLiteral("--runs"), QStringLiteral("--first-paint") });
    if (!command.ok() || !command.plain.isEmpty())
        return ToolUsageError("bench_window", "[--rows N] [--runs N]", command.error);
    if (const QString list = command.value(QStringLiteral("--first-paint")); !list.isEmpty())
        return firstPaintChild(list);
    const int rows = command.value(QStringLiteral("--rows"), QStringLiteral("100000")).toInt();
    const int runs = command.value(QStringLiteral("--runs"), QStringLiteral("5")).toInt();
    if (!tessera::LanguageModule::instance().load()) {
        std::fprintf(stderr, "bench_window: the language module is missing\n");
        return 1;
    }
    tessera::SetMessageHandler([](const QString &text, unsigned) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return int(tessera::IdOk);
    });

    QProcess site;
    site.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quotra-sample-site"),
        { QStringLiteral("--port"), QStringLiteral("0") });
    if (!site.waitForStarted(10000) || !site.waitForReadyRead(20000)) {
        std::fprintf(stderr, "bench_window: quotra-sample-site did not start\n");
        return 1;
    }
    const QByteArray line = site.readLine().trimmed();
    qputenv("QUOTRA_SITE_ROOT", QByteArray("http://127.0.0.1:") + line.mid(5) + '/');

    // The list: 100,000 full rows plus the sample site's codes, in the default layout.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.kabu"));
    {
        RecordMap list = MakeBenchRows(rows);
        for (const QString &code : samplesite::SampleCodes()) {
            if (!list.count(code))
                list.emplace(code, std::make_unique<QuoteRecord>(code));
        }
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(WriteListFile(list, DefaultColumnLayout())) <= 0) {
            std::fprintf(stderr, "bench_window: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    AppSettings settings;
    settings.currentLanguage = 1041;
    CCLineInfo commandLine;
    Figures open, sort, paint, update, gap;
    for (int run = 0; run < runs; ++run) {
        CMainFrame frame(settings, commandLine);
        frame.resize(1024, 640);
        frame.show();
        QCoreApplication::processEvents();
        PaintWatch watch;
        frame.view().viewport()->installEventFilter(&watch);

        QElapsedTimer clock;
        clock.start();
        frame.openDocument(path);
        while (watch.paints == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        open.add(static_cast<double>(clock.nsecsElapsed()) / 1e6);

        const int priceColumn = frame.view().listModel().table().header().columnOfField(4);
        clock.restart();
        frame.view().sortByHeaderClick(priceColumn, Qt::NoModifier);
        sort.add(static_cast<double>(clock.nsecsElapsed()) / 1e6);

        for (int k = 0; k < 5; ++k) {
            clock.restart();
            frame.view().viewport()->repaint();
            paint.add(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        }

        // The update run: the sample codes repeated to 1,000 codes.
        QStringList batch;
        const QStringList codes = samplesite::SampleCodes();
        for (int k = 0; k < 1000; ++k)
            batch << codes.at(k % codes.size());
        QElapsedTimer beat;
        qint64 longest = 0;
        QTimer heartbeat;
        heartbeat.setInterval(10);
        QObject::connect(&heartbeat, &QTimer::timeout, [&] { longest = std::max(longest, beat.restart()); });
        // The event loop waits as the program's does: the worker runs at idle priority, so
        // a loop that spins would take the processor from it.
        QEventLoop loop;
        QObject::connect(
            &frame.document(), &CQuotraDoc::updateFinished, &loop, [&](quint64, bool) { loop.quit(); });
        beat.start();
        heartbeat.start();
        clock.restart();
        frame.document().StartUpdate(batch);
        loop.exec();
        update.add(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        heartbeat.stop();
        // The heartbeat's own 10 ms period is not a gap.
        gap.add(static_cast<double>(std::max<qint64>(0, longest - 10)));
        frame.document().SetModifiedFlag(false);
        frame.close();
    }
    Figures start, rss;
    for (int run = 0; run < runs; ++run) {
        if (!measureStart(path, start, rss)) {
            std::fprintf(stderr, "bench_window: the child of the start measure did not paint\n");
            return 1;
        }
    }
    std::printf("bench_window: %d rows, %d runs, offscreen 1024 x 640\n", rows, runs);
    report("open", open, "< 500 ms to the first paint");
    report("sort", sort, "< 300 ms");
    report("paint", paint, "< 16 ms");
    report("update", update, "1,000 rows (no target)");
    report("gap", gap, "< 50 ms longest event-loop gap beyond the 10 ms beat");
    report("start", start, "< 600 ms from the process's launch to the first paint");
    report("rss", rss, "none; resident memory after that paint", "MiB");
    site.kill();
    site.waitForFinished();
    return 0;
}
