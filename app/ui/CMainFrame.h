#pragma once

#include "app/core/CCLineInfo.h"
#include "app/core/UpdateSchedule.h"
#include "document/ListLoader.h"
#include "document/SaveHost.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

class AppearanceController;
class CopyDataServer;
class CQuotraDoc;
class FileDropHandler;
class FrameServices;
class CQuotraView;
class FindController;
class KeyTips;
class WorkbookCommand;
class QLineEdit;
class QMenu;
class PeriodSpinBox;
class QTimer;
class RibbonBar;
class StatusBarPanes;
struct AppSettings;

namespace tessera {
class TaskbarList;
}

// The program's main window: the ribbon-style command area over the list view, the status
// bar, the document, the commands by number, the update timer and the closing sequence.
class CMainFrame : public QMainWindow, public SaveHost {
    Q_OBJECT
public:
    CMainFrame(AppSettings &settings, const CCLineInfo &commandLine, QWidget *parent = nullptr);
    ~CMainFrame() override;

    CQuotraDoc &document() const { return *m_doc; }
    CQuotraView &view() const { return *m_view; }
    RibbonBar &ribbon() const { return *m_ribbon; }
    QMenu *fileMenu() const { return m_fileMenu; }
    StatusBarPanes &statusPanes() const { return *m_panes; }
    KeyTips &keyTips() const { return *m_keyTips; }
    AppearanceController &appearance() const { return *m_appearance; }
    QAction *action(int commandId) const { return m_actions.value(commandId); }
    FindController &finder() const { return *m_find; }
    QLineEdit *codeBox() const { return m_codeBox; }
    PeriodSpinBox *periodBox() const { return m_periodBox; }
    CopyDataServer *copyDataServer() const { return m_copyData; }
    FileDropHandler *fileDrops() const { return m_fileDrops; }
    FrameServices &services() const { return *m_services; }
    WorkbookCommand &workbookCommand() const { return *m_workbook; }
    AppSettings &settings() const { return m_settings; }

    // ---- Documents
    // Opens the new, empty list (57600 after asking about unsaved changes).
    void newDocument();
    // Opens `path` as the document; a failure shows its message and keeps the open list.
    bool openDocument(const QString &path);
    // Opens a list already read from `path` (a dropped file) as the document.
    bool openReadList(const QString &path, LoadedList list);
    // How the window reads a list: the settings' update period and the layout shown now.
    ListLoadOptions listOpenOptions() const;
    bool save(); // 57603
    bool saveAs(); // 57604
    // Asks whether to save unsaved changes: Yes saves the list as a list (a list file, or a
    // workbook chosen in the dialog; for a CSV file the user is asked for a list file's name),
    // false when that fails or is cancelled; No discards; Cancel keeps everything: false.
    bool SaveModified();
    void openDefaultList(); // 5011
    void pasteCodes(); // 57637

    // ---- Placement and state
    // Restores the stored window geometry and bar state; the first start centres a window
    // of 1024 x 640 (dpi-scaled) on the primary screen, maximised when it does not fit.
    void placeWindow();
    QStringList recentFiles() const { return m_recentFiles; }

    // ---- Unattended run
    bool isUnattended() const { return m_commandLine.autoRun; }
    // Exit status of an unattended run: 0 saved, 1 not saved.
    int unattendedStatus() const { return m_unattendedStatus; }

    // The dialogs the frame asks through; tests replace them.
    std::function<QString(const QString &suggested)> askSaveFile;
    std::function<QString()> askOpenFile;

    // SaveHost
    ColumnLayout layoutToStore() const override;
    const TableSource *tableToExport() const override;
    QString askSavePath(const QString &suggested) override;
    bool canAskSavePath() const override;

    // The settings names of the stored window state.
    QString barStateName() const;
    QString dockingLayoutName() const;

Q_SIGNALS:
    void unattendedRunFinished(int status);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createActions();
    void createRibbon();
    void createMenus();
    void connectDocument();
    void updateTitle();
    void updateCommandStates();
    void rebuildRecentMenu();
    void addRecentFile(const QString &path);
    void removeRecentFile(const QString &path);
    void loadRecentFiles();
    void storeRecentFiles() const;
    void showRowMenu(const QPoint &globalPos);
    void restartUpdateTimer(bool opened);
    void onUpdateTimer();
    void onUpdateFinished(quint64 generation, bool changed);
    void onCodeBoxEdited(const QString &text);
    void onCodeBoxCommitted();
    void onPeriodCommitted();
    void storeWindowState();
    void storeLayoutIntoSettings();
    bool openList(const QString &path, std::optional<LoadedList> read);
    QString openDialog();
    QString saveDialog(const QString &suggested, bool inItsFolder);
    // Shows a save's failure and notice and records a saved file among the recent ones.
    SaveOutcome::Kind reportSave(const SaveOutcome &outcome);
    bool saveAsList();

    AppSettings &m_settings;
    CCLineInfo m_commandLine;
    std::unique_ptr<CQuotraDoc> m_doc;
    std::unique_ptr<tessera::TaskbarList> m_taskbar;
    CQuotraView *m_view = nullptr;
    RibbonBar *m_ribbon = nullptr;
    StatusBarPanes *m_panes = nullptr;
    KeyTips *m_keyTips = nullptr;
    FindController *m_find = nullptr;
    std::unique_ptr<WorkbookCommand> m_workbook;
    AppearanceController *m_appearance = nullptr;
    QHash<int, QAction *> m_actions;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    QList<QAction *> m_recentActions;
    QMenu *m_rowMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QLineEdit *m_codeBox = nullptr;
    PeriodSpinBox *m_periodBox = nullptr;
    QTimer *m_updateTimer = nullptr;
    PeriodicUpdate m_periodic;
    CopyDataServer *m_copyData = nullptr;
    FileDropHandler *m_fileDrops = nullptr;
    FrameServices *m_services = nullptr;
    QStringList m_recentFiles;
    quint64 m_unattendedGeneration = 0;
    quint64 m_runGeneration = 0; // the update run the status bar shows
    int m_runTotal = 0;
    int m_unattendedStatus = 1;
    bool m_closing = false;
    bool m_closeAccepted = false;
};
