#include "document/CQuotraDoc.h"

#include "corelib/DataFiles.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/ValidCode.h"
#include "quotes/SecurityCode.h"
#include "quotes/fetch/FetchQuote.h"
#include "quotes/worker/UpdateWorker.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

constexpr qint64 kUpdateAgainAfterSeconds = 60;

} // namespace

CQuotraDoc::CQuotraDoc(QObject *parent)
    : QObject(parent)
    , m_title(tessera::ResourceString(Ids::NewListTitle))
    , m_worker(std::make_unique<UpdateWorker>(NetworkFetchFactory()))
{
    connect(m_worker.get(), &UpdateWorker::codeFetched, this, &CQuotraDoc::applyOutcome);
    connect(m_worker.get(), &UpdateWorker::runEnded, this, &CQuotraDoc::finishRun);
}

CQuotraDoc::~CQuotraDoc()
{
    // Ends the thread without reporting: nobody should hear from a document being destroyed.
    disconnect(m_worker.get(), nullptr, this, nullptr);
    m_worker.reset();
}

QuoteRecord *CQuotraDoc::record(const QString &code)
{
    const auto it = m_rows.find(code);
    return it == m_rows.end() ? nullptr : it->second.get();
}

const QuoteRecord *CQuotraDoc::record(const QString &code) const
{
    const auto it = m_rows.find(code);
    return it == m_rows.end() ? nullptr : it->second.get();
}

void CQuotraDoc::replaceRows(RecordMap &&rows)
{
    StopUpdate();
    Q_EMIT rowsAboutToBeReset();
    RecordMap old;
    old.swap(m_rows);
    m_rows = std::move(rows);
    m_fetchErrors.clear();
    Q_EMIT rowsReset();
    // `old` frees the previous records only now, after every listener let go of them.
}

int CQuotraDoc::removeRows(const QStringList &codes)
{
    QStringList present;
    present.reserve(codes.size());
    QSet<QString> seen;
    for (const QString &code : codes) {
        if (contains(code) && !seen.contains(code)) {
            seen.insert(code);
            present.append(code);
        }
    }
    if (present.isEmpty())
        return 0;
    Q_EMIT rowsAboutToBeRemoved(present);
    for (const QString &code : std::as_const(present)) {
        m_rows.erase(code);
        m_fetchErrors.remove(code);
    }
    Q_EMIT rowsRemoved(present);
    return static_cast<int>(present.size());
}

void CQuotraDoc::SetPathName(const QString &path)
{
    m_pathName = path;
    setTitle(path.isEmpty() ? tessera::ResourceString(Ids::NewListTitle) : QFileInfo(path).fileName());
}

void CQuotraDoc::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    Q_EMIT titleChanged(m_title);
}

void CQuotraDoc::SetModifiedFlag(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(m_modified);
}

void CQuotraDoc::MarkModified()
{
    if (!m_title.endsWith(QLatin1Char('*')))
        setTitle(m_title + QLatin1String(" *"));
    SetModifiedFlag(true);
}

void CQuotraDoc::OnNewDocument()
{
    clearRows();
    m_pathName.clear();
    setTitle(tessera::ResourceString(Ids::NewListTitle));
    m_fileKind = FileKind::ListFile;
    SetModifiedFlag(false);
}

CQuotraDoc::AddCodeOutcome CQuotraDoc::AddCode(const QString &code)
{
    if (ClassifyCode(code) == CodeKind::Invalid)
        return { AddCodeResult::Refused, { Ids::MsgUnusableCode, {} } };
    if (contains(code)) {
        Q_EMIT selectCodeRequested(code);
        return { AddCodeResult::AlreadyPresent, { Ids::MsgAlreadyListed, {} } };
    }
    m_rows.emplace(code, std::make_unique<QuoteRecord>(code));
    Q_EMIT rowsInserted({ code });
    MarkModified();
    StartUpdate({ code });
    return { AddCodeResult::Added, {} };
}

CQuotraDoc::AddCodesOutcome CQuotraDoc::AddCodesFromText(QStringView text)
{
    if (text.isEmpty())
        return { {}, { Ids::MsgEmptyText, {} } };
    const QStringList candidates = ValidCodesInText(text);
    if (candidates.isEmpty())
        return { {}, { Ids::MsgNoValidCode, {} } };
    QStringList added;
    for (const QString &code : candidates) {
        if (contains(code))
            continue;
        m_rows.emplace(code, std::make_unique<QuoteRecord>(code));
        added.append(code);
    }
    if (added.isEmpty())
        return { {}, { Ids::MsgAlreadyListed, {} } };
    Q_EMIT rowsInserted(added);
    MarkModified();
    StartUpdate(added);
    return { added, {} };
}

QStringList CQuotraDoc::insertRecords(std::vector<std::unique_ptr<QuoteRecord>> records)
{
    QStringList added;
    for (auto &record : records) {
        if (!record || contains(record->code))
            continue;
        const QString code = record->code;
        m_rows.emplace(code, std::move(record));
        added.append(code);
    }
    if (!added.isEmpty())
        Q_EMIT rowsInserted(added);
    return added;
}

void CQuotraDoc::setFetchFactory(FetchFactory factory)
{
    m_worker->setFetchFactory(std::move(factory));
}

quint64 CQuotraDoc::StartUpdate(const QStringList &batch)
{
    StopUpdate();
    m_updating = true;
    m_runChanged = false;
    const quint64 generation = m_worker->start(batch);
    Q_EMIT updateStarted(generation, static_cast<int>(batch.size()));
    return generation;
}

void CQuotraDoc::StopUpdate()
{
    m_worker->stop();
}

QStringList CQuotraDoc::DueForUpdate(const QStringList &codes, qint64 now) const
{
    QStringList due;
    for (const QString &code : codes) {
        const QuoteRecord *r = record(code);
        if (r && r->datetime + kUpdateAgainAfterSeconds < now)
            due.append(code);
    }
    return due;
}

void CQuotraDoc::HoldUpdate()
{
    m_worker->pause();
}

void CQuotraDoc::ReleaseUpdate()
{
    m_worker->resume();
}

bool CQuotraDoc::UpdateSelected(const QStringList &selectedCodes)
{
    if (m_updating)
        return false;
    const QStringList batch = DueForUpdate(selectedCodes, QDateTime::currentSecsSinceEpoch());
    if (batch.isEmpty())
        return false;
    StartUpdate(batch);
    return true;
}

void CQuotraDoc::applyOutcome(const FetchOutcome &outcome)
{
    QuoteRecord *r = record(outcome.code);
    if (!r)
        return; // deleted while its code waited in the batch
    if (!outcome.ok) {
        r->shown_texts.clear();
        r->values.set(SlotStatus, QString::fromUtf16(kFetchErrorText));
        r->datetime = QDateTime::currentSecsSinceEpoch();
        if (outcome.error.isEmpty())
            m_fetchErrors.remove(outcome.code);
        else
            m_fetchErrors.insert(outcome.code, outcome.error);
    } else {
        m_fetchErrors.remove(outcome.code);
        if (r->CopyQuote(outcome.result)) {
            r->RecomputeProfit();
            m_runChanged = true;
        }
    }
    Q_EMIT updateProgress(outcome.generation, outcome.index, outcome.code);
}

void CQuotraDoc::finishRun(quint64 generation, bool stopped)
{
    const bool changed = m_runChanged && !stopped;
    m_updating = false;
    m_runChanged = false;
    if (changed)
        MarkModified();
    Q_EMIT updateFinished(generation, changed);
}

QString CQuotraDoc::DefaultListPath()
{
    // Beside the program in a build folder, in share/quotra when installed.
    QString shipped = tessera::FindDataFile(QStringLiteral("東証株価.kabu"));
    if (!shipped.isEmpty())
        return shipped;
    QString dir;
    if (QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    else
        dir = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
    return dir + QStringLiteral("/東証株価.kabu");
}

SaveOutcome CQuotraDoc::DoSave(const QString &path, SaveRequest request)
{
    StopUpdate();
    const QString savedTitle = m_title;
    const QString savedPath = m_pathName;
    const FileKind savedKind = m_fileKind;
    SaveOutcome outcome;
    if (!m_saveHost) {
        outcome.kind = SaveOutcome::Cancelled;
        return outcome;
    }
    SaveNamingContext context = m_naming;
    if (context.defaultListPath.isEmpty())
        context.defaultListPath = DefaultListPath();
    context.localNow = QDateTime::currentDateTime();
    context = WithFileSystemState(context);
    const bool canAsk = m_saveHost->canAskSavePath();
    const ExistingFileProbe existing = [this](const QString &p) { return ProbeExistingFile(p, m_pathName); };

    QString requested = path;
    SaveRoute route = RouteSave(requested, request, m_fileKind, context, canAsk, existing);
    while (route.target.isEmpty()) {
        const QString answer = m_saveHost->askSavePath(route.proposal);
        // The same answer again for a name that still needs one would ask for ever.
        if (answer.isEmpty() || (request == SaveRequest::Chosen && answer == requested)) {
            setTitle(savedTitle);
            outcome.kind = SaveOutcome::Cancelled;
            return outcome;
        }
        requested = answer;
        request = SaveRequest::Chosen;
        route = RouteSave(requested, request, m_fileKind, context, canAsk, existing);
    }
    const QString target = route.target;
    outcome.target = target;
    if (!route.displaced.isEmpty())
        outcome.notice = tessera::FormatResourceString(Ids::MsgSavedBesideOtherFile,
            { QDir::toNativeSeparators(route.displaced), QDir::toNativeSeparators(target) });
    const FileKind kind = FileKindFromPath(target);
    m_fileKind = kind;
    m_saveHost->setListTitle(savedTitle);
    m_saveHost->setLinksLeftOut(0);
    const tessera::Status written = m_saveHost->writeFile(target, kind, m_rows);
    outcome.linksLeftOut = m_saveHost->linksLeftOut();
    if (!written) {
        m_fileKind = savedKind;
        setTitle(savedTitle);
        outcome.kind = SaveOutcome::Failed;
        outcome.message = written.error().message;
        outcome.notice.clear();
        return outcome;
    }
    if (kind == FileKind::ListFile || kind == FileKind::Workbook) {
        SetPathName(target);
        SetModifiedFlag(false);
        outcome.kind = SaveOutcome::Saved;
        return outcome;
    }
    // An export leaves the document's identity as it was.
    m_pathName = savedPath;
    setTitle(savedTitle);
    outcome.kind = SaveOutcome::Exported;
    return outcome;
}
