#include "app/ui/WorkbookCommand.h"

#include "app/core/AppSettings.h"
#include "app/core/ListOpenOptions.h"
#include "app/core/ListTitle.h"
#include "app/core/WorkbookCache.h"
#include "app/ui/CCodeListDlg.h"
#include "app/ui/EscapeWatch.h"
#include "app/ui/FileQuestions.h"
#include "corelib/EditString.h"
#include "corelib/Messages.h"
#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "document/DocumentIo.h"
#include "document/ErrorCodes.h"
#include "document/RowSubsetTable.h"
#include "document/workbook/CodeMap.h"
#include "document/workbook/CompareWorkbook.h"
#include "document/workbook/WorkbookExport.h"
#include "quotes/QuoteRecord.h"
#include "view/table/ColumnTable.h"
#include "view/table/ListTable.h"
#include "view/table/ListTableModel.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/Prompts.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QUrl>

#include <numeric>

WorkbookCommand::WorkbookCommand(CQuotraView &view, AppSettings &settings, tessera::ProgressDisplay *progress,
    QStatusBar *statusLine, Prompts &prompts, QWidget *parent)
    : folder(WorkbookCacheFolder())
    , m_view(view)
    , m_settings(settings)
    , m_progress(progress)
    , m_statusLine(statusLine)
    , m_prompts(prompts)
    , m_parent(parent)
{ }

void WorkbookCommand::run()
{
    if (m_prompts.shiftHeld())
        compareLists();
    else
        showRows();
}

bool WorkbookCommand::makeFolder()
{
    if (QDir().mkpath(folder))
        return true;
    m_prompts.message(QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(folder)),
        tessera::MbOk | tessera::MbIconError);
    return false;
}

bool WorkbookCommand::openWorkbook(const QString &path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    if (!m_prompts.openUrl(url)) {
        m_prompts.message(
            tessera::ResourceString(Ids::MsgWorkbookAppFailed) + u'\n' + QDir::toNativeSeparators(path),
            tessera::MbOk | tessera::MbIconError);
        return false;
    }
    if (m_statusLine)
        m_statusLine->showMessage(
            tessera::FormatResourceString(Ids::MsgWorkbookShown, { QDir::toNativeSeparators(path) }), 10000);
    return true;
}

bool WorkbookCommand::showRows()
{
    const TableSource &table = m_view.listModel().table();
    std::vector<int> rows = m_view.selectedRows();
    if (rows.empty()) {
        rows.resize(static_cast<size_t>(table.rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    if (rows.empty() || !makeFolder())
        return false;
    const RowSubsetTable subset(table, rows);
    const QString title = PlainTitle(m_view.document().title());
    const QString path = NewCacheWorkbookPath(folder, title, QDateTime::currentDateTime());

    WorkbookExportOptions options;
    options.sheetTitle = title;
    int unlinked = 0;
    options.linksDropped = [&unlinked](int n) { unlinked = n; };
    const tessera::Status written = [&] {
        tessera::ProgressRun run(m_progress, Ids::ProgressWritingWorkbook);
        options.progress = [&run](int done, int total) { run.progress(done, total); };
        return ExportWorkbook(path, subset, options);
    }();
    if (!written) {
        m_prompts.message(written.error().message, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    m_lastWorkbook = path;
    if (unlinked > 0)
        m_prompts.message(LinksLeftOutText(unlinked), tessera::MbOk | tessera::MbIconInformation);
    return openWorkbook(path);
}

QStringList WorkbookCommand::askListFiles()
{
    FileQuestion question;
    question.caption = tessera::ResourceString(Ids::CaptionChooseListForWorkbook);
    return AskForFiles(m_prompts, m_parent, FileDialogKind::OpenSeveral, question, m_settings);
}

bool WorkbookCommand::confirmStop()
{
    return m_prompts.message(tessera::ResourceString(Ids::MsgStopOperation),
               tessera::MbYesNo | tessera::MbIconQuestion | tessera::MbDefButton2)
        == tessera::IdYes;
}

std::optional<CodeMap> WorkbookCommand::gather(const QStringList &files)
{
    const ListLoadOptions load = ListOpenOptions(m_settings, m_view.saveLayout());
    tessera::ProgressRun run(m_progress, Ids::ProgressReadingFile);
    EscapeWatch escape;
    const auto progress = [&](int done, int total) {
        run.progress(done, total);
        if (!escape.pressedSinceLastCheck())
            return true;
        return !escape.askWithInput([this] { return confirmStop(); });
    };
    tessera::Result<CodeMap> map = GatherLists(files, load, progress);
    run.finish();
    if (!map) {
        if (map.error().code != WorkbookErrorStopped)
            m_prompts.message(map.error().message, tessera::MbOk | tessera::MbIconError);
        return std::nullopt;
    }
    return std::move(*map);
}

bool WorkbookCommand::writeComparison(const CodeMap &map, const std::vector<CompareColumn> &columns,
    const QStringList &codes, int choice, const QString &title)
{
    if (!makeFolder())
        return false;
    CompareOptions options;
    options.columns = columns;
    options.datetimeTitle = ColumnCaption(FieldDatetime);
    options.selectedCodes = codes;
    options.arrangement = choice == 1 ? CompareArrangement::Down : CompareArrangement::Across;
    const QString path = NewCacheWorkbookPath(folder, title, QDateTime::currentDateTime());
    const tessera::Status written = [&] {
        tessera::ProgressRun run(m_progress, Ids::ProgressWritingWorkbook);
        EscapeWatch escape;
        options.progress = [&](int done, int sheets) {
            run.progress(done, sheets);
            if (!escape.pressedSinceLastCheck())
                return true;
            return !escape.askWithInput([this] { return confirmStop(); });
        };
        return WriteComparisonWorkbook(path, map, options);
    }();
    if (!written) {
        if (written.error().code != WorkbookErrorStopped)
            m_prompts.message(written.error().message, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    m_lastWorkbook = path;
    return openWorkbook(path);
}

void WorkbookCommand::compareLists()
{
    const QStringList files = askListFiles();
    if (files.isEmpty())
        return;
    std::optional<CodeMap> map = gather(files);
    if (!map)
        return;
    const QString title = QFileInfo(files.front()).completeBaseName();
    const std::vector<CompareColumn> columns = CompareColumnsOf(m_view.listModel().table());
    CCodeListDlg dialog(
        *map, map->codeCount(), columns,
        [this, &map, &columns, &title](const QStringList &codes, int choice) {
            return writeComparison(*map, columns, codes, choice, title);
        },
        m_view.font(), m_parent);
    m_prompts.exec(dialog);
}
