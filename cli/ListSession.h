#pragma once

#include "app/core/AppSettings.h"
#include "app/core/ListLayoutChoice.h"
#include "corelib/Result.h"
#include "document/CQuotraDoc.h"
#include "document/ColumnLayout.h"
#include "document/ListLoader.h"
#include "view/table/ListTable.h"

#include <memory>

#include <QString>

#include <optional>
#include <vector>

struct ParsedArguments;
class HistoryRecorder;

// A list opened by a subcommand the way the window opens one: the stored settings (for the
// layout the window starts with and the update period of text lists), the document holding
// the list, and the layout the list is shown with.
class ListSession : public SaveHost {
public:
    ListSession(); // reads the stored settings (migrating older ones, as the program's start does)
    ~ListSession() override;

    // Keeps the fetches of the document's update runs in the price history when the settings
    // say so; a history that cannot be written is said once on standard error. The firings
    // of price alerts after each run are printed on standard output.
    HistoryRecorder &recordHistory();

    // Opens `path` into the document. On failure shows the error text through the message
    // hook (standard error here) and returns false; the document is then untouched.
    bool open(const QString &path);
    // How open() and the commands that read further lists read them (see ListOpenOptions).
    ListLoadOptions loadOptions() const;

    // Shows the list with the column layout file at `path` instead of its own layout (the
    // --layout option). An unreadable file or a layout the header refuses is an error that
    // names the file; the layout stays as it was.
    tessera::Status useLayoutFile(const QString &path);
    bool layoutFromFile() const { return m_layoutFromFile; }

    CQuotraDoc &document() { return m_doc; }
    const AppSettings &settings() const { return m_settings; }

    // The layout the window shows the list with: the one the file carried when the header
    // takes it, else the one the window starts with (the stored settings, or the default
    // layout when those are unusable).
    const ColumnLayout &layout() const { return m_layout; }
    // The layout exactly as the file carried it; none for text lists and older list files.
    const std::optional<ColumnLayout> &fileLayout() const { return m_fileLayout; }

    // Sorts the list by `field` as the window's sort-by-field does: its list column when the
    // layout shows it, else the off-screen sort key with the arrow on the anchor column (which
    // table() honours; a list file stores only the column).
    void setSortByField(int field, bool ascending);
    int offscreenSortKey() const { return m_offscreenSortKey; }

    // layout() as the list's header saves it: what a list file stores with the rows.
    ColumnLayout headerLayout() const;

    // The table of the current rows: layout() with its sort, or `fields` in place of the
    // visible columns (see BuildExportTable).
    ListTable table(const std::optional<std::vector<int>> &fields = std::nullopt) const;

    // SaveHost: a list file stores headerLayout(); exports write table() as it is at the
    // moment of the save. Nobody can be asked for a file name.
    ColumnLayout layoutToStore() const override { return headerLayout(); }
    const TableSource *tableToExport() const override;

private:
    AppSettings m_settings;
    CQuotraDoc m_doc;
    ColumnLayout m_layout;
    std::optional<ColumnLayout> m_fileLayout;
    mutable ListTable m_exportTable;
    bool m_layoutFromFile = false;
    int m_offscreenSortKey = 0;
    std::unique_ptr<HistoryRecorder> m_history;
};

// The field list of --columns ("1-39", "1,2,4,14"); std::nullopt when the option is absent.
// A malformed list is an error whose message names the option and the offending item.
tessera::Result<std::optional<std::vector<int>>> ColumnsOption(const ParsedArguments &arguments);
