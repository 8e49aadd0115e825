#include "cli/ListSession.h"

#include "app/core/ListOpenOptions.h"
#include "cli/Arguments.h"
#include "cli/Command.h"
#include "corelib/Messages.h"
#include "document/ColumnLayoutFile.h"
#include "document/DocumentIo.h"
#include "history/HistoryRecorder.h"
#include "view/table/ColumnTable.h"
#include "view/table/FieldList.h"
#include "view/table/HeaderModel.h"

#include <QSettings>

ListSession::ListSession()
{
    const std::unique_ptr<QSettings> store = AppSettings::OpenStore();
    m_settings.Load(*store);
    m_layout = SettingsLayout(m_settings);
}

ListSession::~ListSession() = default;

HistoryRecorder &ListSession::recordHistory()
{
    m_history = std::make_unique<HistoryRecorder>(m_doc, m_settings.historyOptions(),
        [](const QString &text) { PrintError(QStringLiteral("quotra-cli: ") + text + u'\n'); });
    // Nobody looks at a desktop here: each firing of a price alert is a line of the output.
    QObject::connect(
        m_history.get(), &HistoryRecorder::alertsFired, [](const std::vector<AlertFiring> &fired) {
            for (const AlertFiring &f : fired)
                PrintOut(AlertFiringLine(f) + u'\n');
        });
    return *m_history;
}

bool ListSession::open(const QString &path)
{
    tessera::Result<OpenedList> opened = OpenDocument(m_doc, path, loadOptions());
    if (!opened) {
        tessera::ShowMessage(opened.error().message, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    m_fileLayout = std::move(opened->layout);
    m_layout = ChooseListLayout(m_layout, m_fileLayout);
    return true;
}

ListLoadOptions ListSession::loadOptions() const
{
    return ListOpenOptions(m_settings, m_layout);
}

tessera::Status ListSession::useLayoutFile(const QString &path)
{
    tessera::Result<ColumnLayout> read = LoadColumnLayoutFile(path);
    if (!read)
        return tessera::Error { read.error().code,
            QStringLiteral("--layout %1: %2").arg(path, read.error().message) };
    if (!HeaderModel().applyLayout(*read))
        return tessera::Error { ColumnLayoutErrorUnequalLists,
            QStringLiteral("--layout %1: the file holds no usable column layout").arg(path) };
    m_layout = *read;
    m_layoutFromFile = true;
    return tessera::Ok {};
}

ColumnLayout ListSession::headerLayout() const
{
    return StoredFormOfLayout(m_layout);
}

const TableSource *ListSession::tableToExport() const
{
    m_exportTable = table();
    return &m_exportTable;
}

ListTable ListSession::table(const std::optional<std::vector<int>> &fields) const
{
    ListTable built = BuildExportTable(m_doc.rows(), m_layout, fields);
    if (m_offscreenSortKey > 0 && !fields && built.header().sortColumn() == 0) {
        built.setSortByField(m_offscreenSortKey, built.header().ascending());
        built.sortLikeRefresh();
    }
    return built;
}

void ListSession::setSortByField(int field, bool ascending)
{
    ListTable sorted;
    if (!sorted.header().applyLayout(m_layout, true))
        sorted.header().applyLayout(DefaultColumnLayout(), true);
    sorted.setSortByField(field, ascending);
    m_layout = sorted.header().saveLayout();
    m_offscreenSortKey = sorted.header().offscreenSortKey();
}

tessera::Result<std::optional<std::vector<int>>> ColumnsOption(const ParsedArguments &arguments)
{
    const QString name = QStringLiteral("columns");
    if (!arguments.isSet(name))
        return std::optional<std::vector<int>>();
    tessera::Result<std::vector<int>> fields = ParseFieldList(arguments.value(name));
    if (!fields)
        return tessera::Error { fields.error().code, QStringLiteral("--columns: ") + fields.error().message };
    return std::optional<std::vector<int>>(std::move(fields).value());
}
