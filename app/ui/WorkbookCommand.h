#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class CCodeListDlg;
class CQuotraView;
class Prompts;
class QStatusBar;
class QWidget;
struct AppSettings;
struct CodeMap;
struct CompareColumn;

namespace tessera {
class ProgressDisplay;
}

// The workbook command (32777). Without Shift the selected rows (all of them when none is
// selected) go into a workbook in the cache folder that the desktop's spreadsheet program
// opens. With Shift several list files are read and the code list dialog builds workbooks
// that compare them, code by code, shown the same way. Its file dialog, questions, messages
// and the opening of the workbook go through `prompts`; the workbook shown is said on
// `statusLine` (when there is one).
class WorkbookCommand {
public:
    WorkbookCommand(CQuotraView &view, AppSettings &settings, tessera::ProgressDisplay *progress,
        QStatusBar *statusLine, Prompts &prompts, QWidget *parent);

    // The command as the ribbon and the menus trigger it: Shift held picks the comparison.
    void run();
    // Writes and shows the rows; false when nothing was shown (the user was told why).
    bool showRows();
    // Asks for list files, reads them and runs the code list dialog.
    void compareLists();

    // The folder the workbooks go into (the cache folder unless a test sets another).
    QString folder;
    // The path of the last workbook written, shown or not.
    const QString &lastWorkbook() const { return m_lastWorkbook; }

private:
    QStringList askListFiles();
    std::optional<CodeMap> gather(const QStringList &files);
    bool writeComparison(const CodeMap &map, const std::vector<CompareColumn> &columns,
        const QStringList &codes, int choice, const QString &title);
    bool openWorkbook(const QString &path);
    bool makeFolder();
    bool confirmStop();

    CQuotraView &m_view;
    AppSettings &m_settings;
    tessera::ProgressDisplay *m_progress;
    QStatusBar *m_statusLine;
    Prompts &m_prompts;
    QWidget *m_parent;
    QString m_lastWorkbook;
};
