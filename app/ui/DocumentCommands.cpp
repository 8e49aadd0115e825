#include "app/ui/DocumentCommands.h"

#include "app/core/AppSettings.h"
#include "app/core/ListOpenOptions.h"
#include "app/core/ListTitle.h"
#include "app/ui/CommandTable.h"
#include "app/ui/FileQuestions.h"
#include "app/ui/PromptTexts.h"
#include "app/ui/RecentFiles.h"
#include "app/ui/StatusBarPanes.h"
#include "app/ui/UpdateCommand.h"
#include "app/ui/UpdateScheduler.h"
#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "document/DocumentIo.h"
#include "view/table/HeaderModel.h"
#include "view/table/ListTableModel.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/Prompts.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>

DocumentCommands::DocumentCommands(const Parts &parts, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
{ }

void DocumentCommands::newDocument()
{
    if (!SaveModified())
        return;
    m_parts.document.OnNewDocument();
    m_parts.scheduler.restart(false);
    m_parts.view.refresh();
    Q_EMIT commandStatesChanged();
}

void DocumentCommands::open()
{
    if (!SaveModified())
        return;
    const QString path = askOpenPath();
    if (!path.isEmpty())
        openDocument(path);
}

ListLoadOptions DocumentCommands::listOpenOptions() const
{
    return ListOpenOptions(m_parts.settings, m_parts.view.saveLayout());
}

bool DocumentCommands::openDocument(const QString &path)
{
    return openList(path, std::nullopt);
}

bool DocumentCommands::openReadList(const QString &path, LoadedList list)
{
    return openList(path, std::move(list));
}

bool DocumentCommands::openList(const QString &path, std::optional<LoadedList> read)
{
    CQuotraDoc &doc = m_parts.document;
    CQuotraView &view = m_parts.view;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    tessera::ProgressRun run(&m_parts.panes, Ids::ProgressReadingFile);
    view.holdRowRefresh();
    tessera::Result<OpenedList> opened = read
        ? tessera::Result<OpenedList>(InstallList(doc, path, std::move(*read)))
        : OpenDocument(doc, path, listOpenOptions());
    run.finish();
    const bool ownLayout = opened && opened->layout && HeaderModel().applyLayout(*opened->layout);
    view.releaseRowRefresh(ownLayout ? &*opened->layout : nullptr);
    QApplication::restoreOverrideCursor();
    if (!opened) {
        m_parts.prompts.message(opened.error().message, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    if (doc.fileKind() != FileKind::Json)
        m_parts.recent.add(doc.GetPathName());
    m_parts.scheduler.restart(true);
    if (!m_parts.unattended)
        UpdateNeverFetchedRows(view, doc);
    Q_EMIT commandStatesChanged();
    return true;
}

bool DocumentCommands::save()
{
    return reportSave(m_parts.document.DoSave(m_parts.document.GetPathName())) == SaveOutcome::Saved;
}

bool DocumentCommands::saveAs()
{
    const CQuotraDoc &doc = m_parts.document;
    const QString suggested = doc.GetPathName().isEmpty() ? doc.title() : doc.GetPathName();
    const QString path = askSaveName(suggested, false);
    if (path.isEmpty())
        return false;
    const SaveOutcome::Kind saved = reportSave(m_parts.document.DoSave(path, SaveRequest::Chosen));
    return saved == SaveOutcome::Saved || saved == SaveOutcome::Exported;
}

SaveOutcome::Kind DocumentCommands::reportSave(const SaveOutcome &outcome)
{
    TellSaveOutcome(m_parts.prompts, outcome);
    if (outcome.kind == SaveOutcome::Saved)
        m_parts.recent.add(m_parts.document.GetPathName());
    return outcome.kind;
}

bool DocumentCommands::SaveModified()
{
    CQuotraDoc &doc = m_parts.document;
    doc.StopUpdate();
    if (!doc.IsModified())
        return true;
    // The question names the list without its unsaved mark.
    const QString savedTitle = doc.title();
    const int answer = TellNumbered(m_parts.prompts, Ids::MsgSaveChanges, { PlainTitle(savedTitle) },
        tessera::MbYesNoCancel | tessera::MbIconQuestion);
    if (answer == tessera::IdCancel)
        return false;
    if (answer == tessera::IdNo)
        return true;
    if (saveAsList())
        return true;
    doc.setTitle(savedTitle);
    return false;
}

bool DocumentCommands::saveAsList()
{
    CQuotraDoc &doc = m_parts.document;
    // A CSV file is an export of the list, not where the list itself is kept: the list gets
    // a list file, whose name the user is asked for (as after an export chosen instead).
    const auto askListFile = [this, &doc] {
        const QString current = doc.GetPathName().isEmpty() ? doc.title() : doc.GetPathName();
        const QString path = askSavePath(ListFileNameOf(current));
        if (path.isEmpty())
            return SaveOutcome {};
        return doc.DoSave(path, SaveRequest::Chosen);
    };
    const bool exportKind = doc.fileKind() == FileKind::Csv || doc.fileKind() == FileKind::Json;
    SaveOutcome::Kind saved = reportSave(exportKind ? askListFile() : doc.DoSave(doc.GetPathName()));
    while (saved == SaveOutcome::Exported)
        saved = reportSave(askListFile());
    return saved == SaveOutcome::Saved;
}

void DocumentCommands::openDefaultList()
{
    const int answer = TellNumbered(
        m_parts.prompts, Ids::MsgOpenDefaultList, {}, tessera::MbYesNo | tessera::MbIconQuestion);
    if (answer == tessera::IdNo)
        return;
    const QString path = CQuotraDoc::DefaultListPath();
    if (!QFileInfo::exists(path) || !SaveModified())
        return;
    if (openDocument(path))
        m_parts.recent.remove(m_parts.document.GetPathName());
}

void DocumentCommands::pasteCodes()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasText())
        return;
    TellNumbered(m_parts.prompts, m_parts.document.AddCodesFromText(data->text()).message);
}

void DocumentCommands::addSentCodes(const QStringList &codes)
{
    QStringList fresh;
    for (const QString &code : codes) {
        if (!m_parts.document.contains(code) && !fresh.contains(code))
            fresh << code;
    }
    if (fresh.isEmpty())
        m_parts.panes.showMessage(tessera::ResourceString(Ids::MsgAlreadyListed));
    else
        TellNumbered(m_parts.prompts, m_parts.document.AddCodesFromText(fresh.join(u'\n')).message);
}

QString DocumentCommands::askOpenPath()
{
    FileQuestion question;
    question.caption = tessera::ResourceString(Cmd::Open);
    return AskForFiles(m_parts.prompts, &m_parts.window, FileDialogKind::Open, question, m_parts.settings)
        .value(0);
}

QString DocumentCommands::askSaveName(const QString &suggested, bool inItsFolder)
{
    // A name the save routing proposes lies beside the list's file: the dialog opens there.
    const QFileInfo proposal(suggested);
    FileQuestion question;
    question.caption = tessera::ResourceString(Cmd::SaveAs);
    if (inItsFolder && proposal.isAbsolute() && proposal.absoluteDir().exists())
        question.folder = proposal.absolutePath();
    question.suffix = QStringLiteral("kabu");
    if (!suggested.isEmpty())
        question.suggested = proposal.fileName();
    return AskForFiles(m_parts.prompts, &m_parts.window, FileDialogKind::Save, question, m_parts.settings)
        .value(0);
}

// ---- SaveHost

ColumnLayout DocumentCommands::layoutToStore() const
{
    return m_parts.view.saveLayout();
}

const TableSource *DocumentCommands::tableToExport() const
{
    return &m_parts.view.listModel().table();
}

QString DocumentCommands::askSavePath(const QString &suggested)
{
    if (!canAskSavePath())
        return {};
    return askSaveName(suggested, true);
}

bool DocumentCommands::canAskSavePath() const
{
    return !m_parts.unattended; // nobody answers a dialog in an unattended run
}
