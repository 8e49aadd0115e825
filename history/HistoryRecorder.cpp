#include "history/HistoryRecorder.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "history/AlertBook.h"

#include <QFileInfo>

#include <QDateTime>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcHistory, "quotra.history", QtWarningMsg)

HistoryRecorder::HistoryRecorder(CQuotraDoc &doc, HistoryOptions options, Reporter report, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
    , m_options(std::move(options))
    , m_report(std::move(report))
{
    connect(&doc, &CQuotraDoc::updateProgress, this,
        [this](quint64, int, const QString &code) { collect(code); });
    connect(&doc, &CQuotraDoc::updateFinished, this, [this](quint64, bool) { flush(); });
}

HistoryRecorder::~HistoryRecorder() = default;

void HistoryRecorder::setOptions(const HistoryOptions &options)
{
    if (options.file != m_options.file || !options.keep)
        m_store.reset();
    m_options = options;
}

void HistoryRecorder::collect(const QString &code)
{
    // The row holds the fetched values now; a failed fetch leaves its error text and gives
    // no point.
    if (const QuoteRecord *r = m_doc.record(code)) {
        if (std::optional<HistoryPoint> p = PointOfRecord(*r))
            m_pending.push_back(std::move(*p));
    }
}

HistoryStore *HistoryRecorder::openStore(bool create)
{
    if (m_store)
        return m_store.get();
    const QString path = HistoryFilePath(m_options.file);
    if (!create && !QFileInfo::exists(path))
        return nullptr; // no file, so no alerts either
    tessera::Result<std::unique_ptr<HistoryStore>> opened = HistoryStore::Open(
        path, create ? HistoryStore::OpenMode::Create : HistoryStore::OpenMode::Existing);
    if (!opened) {
        if (create)
            fail(opened.error());
        else
            qCInfo(lcHistory).noquote() << "alerts not checked:" << opened.error().message;
        return nullptr;
    }
    m_store = std::move(*opened);
    for (const QString &notice : m_store->notices()) {
        qCInfo(lcHistory).noquote() << notice;
        if (m_report)
            m_report(notice);
    }
    if (m_options.keep && m_options.keepDays > 0) {
        const qint64 before = QDateTime::currentSecsSinceEpoch() - qint64(m_options.keepDays) * 86400;
        const tessera::Result<qint64> pruned = m_store->prune(before);
        if (!pruned)
            qCInfo(lcHistory).noquote() << "pruning failed:" << pruned.error().message;
        else
            qCInfo(lcHistory).noquote()
                << "pruned" << *pruned << "points older than" << m_options.keepDays << "days";
    }
    return m_store.get();
}

void HistoryRecorder::flush()
{
    std::vector<HistoryPoint> points;
    points.swap(m_pending);
    if (points.empty())
        return;
    if (m_options.keep)
        storePoints(points);
    checkAlerts(points);
}

void HistoryRecorder::checkAlerts(const std::vector<HistoryPoint> &points)
{
    HistoryStore *store = openStore(m_options.keep);
    if (!store)
        return;
    tessera::Result<std::vector<AlertFiring>> fired = AlertBook(*store).check(points);
    if (!fired) {
        qCInfo(lcHistory).noquote() << "alerts not checked:" << fired.error().message;
        if (!m_alertFailureReported && m_report)
            m_report(tessera::FormatResourceString(Ids::MsgAlertsNotKept, { fired.error().message }));
        m_alertFailureReported = true;
        return;
    }
    m_alertFailureReported = false;
    if (!fired->empty())
        Q_EMIT alertsFired(*fired);
}

void HistoryRecorder::storePoints(const std::vector<HistoryPoint> &points)
{
    HistoryStore *store = openStore(true);
    if (!store)
        return;
    if (store->readOnly()) {
        // The open said so already (a file of a newer version); once is enough.
        m_lastError = tessera::Error { HistoryErrorReadOnly, store->notices().value(0) };
        m_failureReported = true;
        return;
    }
    const tessera::Result<qint64> added = store->store(points);
    if (!added) {
        // A file found damaged or locked now is opened afresh at the next run, which moves
        // a damaged one aside.
        if (added.error().code == HistoryErrorDamaged)
            m_store.reset();
        fail(added.error());
        return;
    }
    m_lastError.reset();
    m_lastStored = *added;
    m_failureReported = false;
    qCInfo(lcHistory).noquote() << "stored" << *added << "of" << points.size() << "points in"
                                << store->path();
    QStringList codes;
    for (const HistoryPoint &p : points) {
        if (codes.isEmpty() || codes.last() != p.code)
            codes << p.code;
    }
    codes.removeDuplicates();
    Q_EMIT stored(codes);
}

void HistoryRecorder::fail(const tessera::Error &error)
{
    m_lastError = error;
    m_lastStored = 0;
    qCInfo(lcHistory).noquote() << "not stored:" << error.message;
    if (m_failureReported)
        return;
    m_failureReported = true;
    if (m_report)
        m_report(tessera::FormatResourceString(Ids::MsgHistoryNotKept, { error.message }));
}
