#pragma once

#include "app/core/CCLineInfo.h"
#include "app/ui/FrameActions.h"
#include "view/widgets/Prompts.h"

#include <QMainWindow>

#include <memory>

class AppearanceController;
class CopyDataServer;
class CQuotraDoc;
class CQuotraView;
class DocumentCommands;
class FileDropHandler;
class FindController;
class FrameBoxes;
class FrameServices;
class KeyTips;
class PeriodSpinBox;
class PriceWatch;
class QLineEdit;
class RecentFiles;
class RibbonBar;
class StatusBarPanes;
class UpdateScheduler;
class WorkbookCommand;
struct AppSettings;

namespace tessera {
class TaskbarList;
}

// The program's main window: the ribbon over the list view and the status bar, put together
// from the pieces that do the work (the document commands, the update scheduler, the recent
// files, the ribbon's boxes, the services beside the frame), with the commands connected to
// them, the commands' states and the closing sequence. What it asks the user goes through
// `prompts`.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(AppSettings &settings, const CCLineInfo &commandLine, Prompts &prompts = DesktopPrompts(),
        QWidget *parent = nullptr);
    ~CMainFrame() override;

    CQuotraDoc &document() const { return *m_doc; }
    CQuotraView &view() const { return *m_view; }
    RibbonBar &ribbon() const { return *m_ribbon; }
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
    PriceWatch &priceWatch() const { return *m_priceWatch; }

    // ---- Documents (the document commands')
    void newDocument();
    bool openDocument(const QString &path);
    bool save();
    bool saveAs();
    bool SaveModified();

    // ---- Placement and state
    // Restores the stored window geometry and bar state (PlaceWindow) and shows the window.
    void placeWindow();
    QStringList recentFiles() const;
    // The settings names of the stored window state.
    QString barStateName() const;
    QString dockingLayoutName() const;

    // ---- Unattended run
    // Exit status of an unattended run: 0 saved, 1 not saved.
    int unattendedStatus() const;

Q_SIGNALS:
    void unattendedRunFinished(int status);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void connectCommands();
    void connectRunDisplay();
    void connectStates();
    void updateTitle();
    void updateCommandStates();
    void showRowMenu(const QPoint &globalPos);
    void finishUnattendedRun(int status);

    AppSettings &m_settings;
    CCLineInfo m_commandLine;
    Prompts &m_prompts;
    std::unique_ptr<CQuotraDoc> m_doc;
    std::unique_ptr<tessera::TaskbarList> m_taskbar;
    CQuotraView *m_view = nullptr;
    StatusBarPanes *m_panes = nullptr;
    FindController *m_find = nullptr;
    std::unique_ptr<WorkbookCommand> m_workbook;
    CommandActions m_actions;
    FrameMenus m_menus;
    AppearanceController *m_appearance = nullptr;
    RibbonBar *m_ribbon = nullptr;
    QLineEdit *m_codeBox = nullptr;
    PeriodSpinBox *m_periodBox = nullptr;
    KeyTips *m_keyTips = nullptr;
    RecentFiles *m_recent = nullptr;
    UpdateScheduler *m_scheduler = nullptr;
    DocumentCommands *m_commands = nullptr;
    FrameBoxes *m_boxes = nullptr;
    CopyDataServer *m_copyData = nullptr;
    FileDropHandler *m_fileDrops = nullptr;
    FrameServices *m_services = nullptr;
    PriceWatch *m_priceWatch = nullptr;
    quint64 m_runGeneration = 0; // the update run the status bar shows
    int m_runTotal = 0;
    bool m_closeAccepted = false;
};
