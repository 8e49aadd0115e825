#pragma once

#include "corelib/Messages.h"
#include "document/RecordMap.h"
#include "document/SaveHost.h"
#include "document/doc/FileKind.h"
#include "document/doc/SaveRoute.h"
#include "document/doc/SaveTarget.h"
#include "quotes/worker/UpdateJob.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class UpdateWorker;

// The open list: its rows (one record per code, in plain code-unit order), its identity
// (path, title, file kind, modified flag) and its update runs.
//
// Threads: the document and its records belong to the thread that created it. Update runs
// fetch on a worker thread into records of their own; the results are applied to the rows
// on this thread when the worker's queued signals arrive, so rows may be read, added and
// deleted freely while a run is in progress.
class CQuotraDoc : public QObject {
    Q_OBJECT
public:
    explicit CQuotraDoc(QObject *parent = nullptr);
    ~CQuotraDoc() override;

    // ---- Rows
    const RecordMap &rows() const { return m_rows; }
    bool hasRows() const { return !m_rows.empty(); } // enables Find, Save, Save As, workbook export
    QuoteRecord *record(const QString &code);
    const QuoteRecord *record(const QString &code) const;
    bool contains(const QString &code) const { return m_rows.count(code) != 0; }
    // Replaces every row by `rows` (a list that was read, a new list). Stops a running update
    // first. Emits rowsAboutToBeReset while the old records still exist, frees them, then
    // emits rowsReset.
    void replaceRows(RecordMap &&rows);
    void clearRows() { replaceRows(RecordMap()); }
    // Deletes the rows of `codes` (unknown codes and repeats are ignored); a running update
    // skips them. Emits rowsAboutToBeRemoved with the codes that exist before any record is
    // freed, then rowsRemoved. Returns the number removed.
    int removeRows(const QStringList &codes);

    // Why the last update of `code` failed ("HTTP status 404", "timed out after 30 s"),
    // empty when it did not fail or the reason is unknown. Kept in memory only.
    QString fetchError(const QString &code) const { return m_fetchErrors.value(code); }

    // ---- Identity
    FileKind fileKind() const { return m_fileKind; }
    void setFileKind(FileKind kind) { m_fileKind = kind; }
    QString GetPathName() const { return m_pathName; }
    // Sets the path and the title (the file's name).
    void SetPathName(const QString &path);
    QString title() const { return m_title; }
    void setTitle(const QString &title);
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true);
    // The title gains " *" (unless it already ends in "*") and the modified flag is set.
    void MarkModified();
    // An empty, unnamed, unmodified list of file kind ListFile, titled by text 1000.
    void OnNewDocument();

    // ---- Adding codes
    // The document shows no message: what an addition has to tell the user comes back in
    // its outcome, and the caller shows it.
    enum class AddCodeResult { Added, Refused, AlreadyPresent };
    struct AddCodeOutcome {
        AddCodeResult result = AddCodeResult::Refused;
        tessera::NumberedMessage message; // empty when Added
    };
    // A code typed by the user: an unusable code is refused with message 2221; a code already
    // listed asks the view to select it (selectCodeRequested) with message 2206; otherwise the
    // row is added, the document marked modified and the code updated at once.
    AddCodeOutcome AddCode(const QString &code);
    struct AddCodesOutcome {
        QStringList added; // the codes that became rows, in text order
        tessera::NumberedMessage message; // empty when some code was added
        bool ok() const { return !added.isEmpty(); }
    };
    // Pasted or command-line text: one candidate code per line (see ValidCodesInText). Adds
    // the valid codes not yet listed, in text order, and updates them. Messages: 2212 empty
    // text, 2205 no valid code, 2206 every code already listed; each of these adds nothing.
    AddCodesOutcome AddCodesFromText(QStringView text);
    // Rows made elsewhere (a ranking page): each record whose code is not listed yet becomes a
    // row, in the given order; a record of a listed code is dropped and the listed row kept.
    // Emits rowsInserted with the codes added and returns them. Nothing is marked or updated.
    QStringList insertRecords(std::vector<std::unique_ptr<QuoteRecord>> records);

    // ---- Updates
    // How the runs fetch (the network by default; tests inject their own).
    void setFetchFactory(FetchFactory factory);
    // Stops a running update, then starts one of `batch`. Returns the run's generation, which
    // every updateProgress and updateFinished of the run carries.
    quint64 StartUpdate(const QStringList &batch);
    // Stops a running update (aborting its transfer in flight) and waits for its thread. The
    // outcomes fetched before the stop are applied and reported before this returns, and the
    // run's updateFinished is emitted with changed = false.
    void StopUpdate();
    // True from StartUpdate until its updateFinished has been emitted.
    bool isUpdating() const { return m_updating; }
    // The codes among `codes` (kept in their order) whose row was last updated more than
    // 60 seconds before `now` (seconds since 1970); unknown codes are left out.
    QStringList DueForUpdate(const QStringList &codes, qint64 now) const;
    // The update-selected command, `selectedCodes` in display order: starts a run of the rows
    // due for an update. While a run is in progress it starts nothing (the caller asks whether
    // to stop it, holding the run meanwhile). True when a run was started.
    bool UpdateSelected(const QStringList &selectedCodes);
    // Holds a running update between two codes (while its user is asked something), and lets
    // it go on. What arrived meanwhile is still applied.
    void HoldUpdate();
    void ReleaseUpdate();

    // ---- Saving
    // Unattended output folder, workbook output and the default list (see SaveNamingContext;
    // localNow and the existence flags are filled at each save).
    void setSaveNaming(const SaveNamingContext &naming) { m_naming = naming; }
    // The layout, table and file dialog of saves (not owned; it must outlive the document
    // or be reset). Without a host every save is cancelled.
    void setSaveHost(SaveHost *host) { m_saveHost = host; }
    SaveHost *saveHost() const { return m_saveHost; }
    // Saves `path` routed by RouteSave: a plain save of the document's name, or a name the
    // user chose in the save dialog (`request`). When the routing wants a name the host is
    // asked, proposing one, and its answer counts as chosen. A list file or workbook becomes
    // the document's file: modified flag cleared, Saved. CSV and JSON are exports: path,
    // title and modified flag stay as they were, Exported. On failure or cancel the title,
    // path and file kind stay as they were. The caller shows a failure's message and a
    // notice.
    SaveOutcome DoSave(const QString &path, SaveRequest request = SaveRequest::Plain);

    // "東証株価.kabu" in the program's folder.
    static QString DefaultListPath();

Q_SIGNALS:
    // The whole set of rows is about to be replaced; the old records still exist.
    void rowsAboutToBeReset();
    // The rows were replaced: the view rebuilds its rows.
    void rowsReset();
    // New rows (codes in the order they were added), already in the rows.
    void rowsInserted(const QStringList &codes);
    // These rows are about to be deleted; their records still exist.
    void rowsAboutToBeRemoved(const QStringList &codes);
    void rowsRemoved(const QStringList &codes);
    // The add-code command found its code already listed: the view selects that row.
    void selectCodeRequested(const QString &code);
    void titleChanged(const QString &title);
    void modifiedChanged(bool modified);
    void updateStarted(quint64 generation, int total);
    // The row of `code`, at `index` of the batch, has been updated (or marked failed).
    // Not emitted for a code whose row was deleted during the run.
    void updateProgress(quint64 generation, int index, const QString &code);
    // The run ended; `changed` when some row's values changed and the run was not stopped.
    // The document is already marked modified when `changed`.
    void updateFinished(quint64 generation, bool changed);

private:
    void applyOutcome(const FetchOutcome &outcome);
    void finishRun(quint64 generation, bool stopped);

    RecordMap m_rows;
    QHash<QString, QString> m_fetchErrors;
    FileKind m_fileKind = FileKind::ListFile;
    QString m_pathName;
    QString m_title;
    bool m_modified = false;

    std::unique_ptr<UpdateWorker> m_worker;
    bool m_updating = false;
    bool m_runChanged = false;

    SaveNamingContext m_naming;
    SaveHost *m_saveHost = nullptr;
};
