#include "app/ui/CMainFrame.h"

#include "app/core/AppSettings.h"
#include "app/core/ListLayoutChoice.h"
#include "app/core/WorkbookCache.h"
#include "app/ui/AppearanceController.h"
#include "app/ui/CRankingDlg.h"
#include "app/ui/CScheduleDlg.h"
#include "app/ui/CommandIcons.h"
#include "app/ui/CommandTable.h"
#include "app/ui/CopyDataServer.h"
#include "app/ui/DocumentCommands.h"
#include "app/ui/FileDropHandler.h"
#include "app/ui/FindController.h"
#include "app/ui/FrameBoxes.h"
#include "app/ui/FrameRibbon.h"
#include "app/ui/FrameServices.h"
#include "app/ui/FrameState.h"
#include "app/ui/KeyTips.h"
#include "app/ui/PeriodSpinBox.h"
#include "app/ui/PriceWatch.h"
#include "app/ui/RecentFiles.h"
#include "app/ui/RibbonBar.h"
#include "app/ui/StatusBarPanes.h"
#include "app/ui/UpdateCommand.h"
#include "app/ui/UpdateScheduler.h"
#include "app/ui/WorkbookCommand.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "corelib/TaskbarList.h"
#include "document/CQuotraDoc.h"
#include "quotes/fetch/FetchQuote.h"
#include "view/table/ColumnTable.h"
#include "view/widgets/CColumnDlg.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/UserDataDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

// The library's resources (icons, style sheet) are not referenced by name, so the linker
// keeps them only when their initialisers are called.
static void initResources()
{
    Q_INIT_RESOURCE(style);
    Q_INIT_RESOURCE(themes);
#ifdef QUOTRA_HAS_ICONS
    Q_INIT_RESOURCE(icons);
#endif
}

CMainFrame::CMainFrame(
    AppSettings &settings, const CCLineInfo &commandLine, Prompts &prompts, QWidget *parent)
    : QMainWindow(parent)
    , m_settings(settings)
    , m_commandLine(commandLine)
    , m_prompts(prompts)
    , m_doc(std::make_unique<CQuotraDoc>())
    , m_taskbar(std::make_unique<tessera::TaskbarList>())
{
    initResources();
    setObjectName(QStringLiteral("XTPMainFrame"));
    setWindowIcon(CommandIcon("quotra"));
    m_taskbar->Create();

    SaveNamingContext naming;
    naming.unattended = commandLine.autoRun;
    naming.outputFolder = commandLine.outputFolder;
    naming.workbookOutput = commandLine.excelOutput;
    m_doc->setSaveNaming(naming);
    m_doc->setFetchFactory(NetworkFetchFactory({}, m_settings.fetchPolicy()));

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_view = new CQuotraView(*m_doc, central);
    m_panes = new StatusBarPanes(*this, m_taskbar.get());
    m_view->setProgressDisplay(m_panes);

    m_find = new FindController(m_settings, *m_view, this, m_prompts);
    m_workbook
        = std::make_unique<WorkbookCommand>(*m_view, m_settings, m_panes, statusBar(), m_prompts, this);
    m_actions = CreateCommandActions(*this);
    m_appearance = new AppearanceController(
        this, *m_view, *m_panes, m_settings, m_actions, commandLine.themeRequest, m_prompts);
    m_menus = CreateFrameMenus(m_actions, *this);
    const FrameRibbon ribbon = BuildFrameRibbon(
        *this, m_actions, m_menus, *m_appearance, static_cast<int>(m_settings.updateSpan / 60));
    m_ribbon = ribbon.bar;
    m_codeBox = ribbon.codeBox;
    m_periodBox = ribbon.periodBox;
    connect(ribbon.statusCheck, &QCheckBox::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    column->addWidget(m_ribbon);
    column->addWidget(m_view, 1);
    setCentralWidget(central);
    m_keyTips = new KeyTips(*m_ribbon, *this);

    // The layout the view starts with: the settings', with the widths kept last time.
    m_view->applyStartLayout(SettingsLayout(m_settings), StoredColumnWidths(m_settings));

    // Before the scheduler's own connection: a run's end shows on the status bar first.
    connectRunDisplay();
    m_recent = new RecentFiles(*m_menus.file, this);
    m_scheduler = new UpdateScheduler(
        *m_doc, m_settings, m_commandLine, [this] { return ShownCodes(*m_view); }, m_prompts, this);
    m_commands = new DocumentCommands({ *m_doc, *m_view, m_settings, *m_panes, *m_recent, *m_scheduler,
                                          m_prompts, *this, commandLine.autoRun },
        this);
    m_doc->setSaveHost(m_commands);
    m_boxes = new FrameBoxes(
        { *m_codeBox, *m_periodBox, *m_doc, *m_view, m_settings, *m_scheduler, *m_panes, m_prompts }, this);
    connectCommands();

    // Codes sent by other processes take the paste command's path, but a message from
    // another program never opens a box: what is refused is said on the status bar.
    m_copyData = new CopyDataServer([this](const QStringList &codes) { m_commands->addSentCodes(codes); },
        [this] { m_panes->showMessage(tessera::ResourceString(Ids::MsgSentTextNoValidCode)); }, this);
    m_copyData->listen();
    m_fileDrops = new FileDropHandler(*this, m_view->viewport(), *m_commands, *m_panes);

    m_recent->load();
    connectStates();
    // Help, About, the customisation sheet and the stored shortcuts; after the actions and
    // the document's own connections.
    m_services = new FrameServices({ *this, *m_doc, *m_panes, m_settings, m_actions, *m_ribbon, *m_menus.file,
                                       m_prompts, barStateName(), commandLine.autoRun },
        this);
    // The price history pane and the alerts, on the runs the services' recorder keeps.
    m_priceWatch = new PriceWatch({ *this, *m_view, *m_doc, m_services->history(), *m_panes, m_settings,
                                      m_actions, m_prompts, commandLine.autoRun },
        this);
    updateTitle();
    updateCommandStates();
    m_appearance->start();
    // Workbooks handed to the spreadsheet program in earlier sessions.
    CleanWorkbookCache(m_workbook->folder, QDateTime::currentDateTime());
    m_view->setFocus();
}

CMainFrame::~CMainFrame()
{
    m_doc->StopUpdate();
    m_doc->setSaveHost(nullptr);
    // Closing moves the focus out of the period box, whose "editing finished" would otherwise
    // reach the boxes after the frame's own part is gone (and could even ask a question on
    // the way).
    delete m_boxes;
    m_boxes = nullptr;
    // The key tips filter every event of the application and read the ribbon: they go before
    // the children, whose destruction (the menus' last window activation) they would see.
    delete m_keyTips;
    m_keyTips = nullptr;
    // The view goes with the widgets before the document it shows.
    delete m_view;
    m_view = nullptr;
}

QString CMainFrame::barStateName() const
{
    return BarStateName(m_settings);
}

QString CMainFrame::dockingLayoutName() const
{
    return DockingLayoutName(m_settings);
}

void CMainFrame::newDocument()
{
    m_commands->newDocument();
}

bool CMainFrame::openDocument(const QString &path)
{
    return m_commands->openDocument(path);
}

bool CMainFrame::save()
{
    return m_commands->save();
}

bool CMainFrame::saveAs()
{
    return m_commands->saveAs();
}

bool CMainFrame::SaveModified()
{
    return m_commands->SaveModified();
}

QStringList CMainFrame::recentFiles() const
{
    return m_recent->files();
}

int CMainFrame::unattendedStatus() const
{
    return m_scheduler->unattendedStatus();
}

// ---- Commands

void CMainFrame::connectCommands()
{
    const auto on
        = [this](int id, auto handler) { connect(m_actions.value(id), &QAction::triggered, this, handler); };
    DocumentCommands &commands = *m_commands;
    on(Cmd::New, [&commands] { commands.newDocument(); });
    on(Cmd::Open, [&commands] { commands.open(); });
    on(Cmd::Save, [&commands] { commands.save(); });
    on(Cmd::SaveAs, [&commands] { commands.saveAs(); });
    on(Cmd::OpenDefaultList, [&commands] { commands.openDefaultList(); });
    on(Cmd::Paste, [&commands] { commands.pasteCodes(); });
    on(Cmd::Exit, [this] { close(); });
    on(Cmd::UpdateSelected, [this] { RunUpdateCommand(*m_view, *m_doc, *m_panes); });
    on(Cmd::OpenWebPage, [this] { m_view->openQuotePage(); });
    on(Cmd::Chart, [this] { m_view->openChartPage(); });
    on(Cmd::Delete, [this] { m_view->deleteSelectedRows(); });
    on(Cmd::Copy, [this] { m_view->copySelection(); });
    on(Cmd::SelectAll, [this] {
        m_view->selectAll();
        m_view->setFocus();
    });
    on(Cmd::FitColumns, [this] { m_view->fitAllColumns(); });
    on(Cmd::Find, [this] { m_find->find(); });
    on(Cmd::FindNext, [this] { m_find->findNext(m_prompts.shiftHeld()); });
    on(Cmd::FindPrevious, [this] { m_find->findNext(true); });
    on(Cmd::Holdings, [this] { RunHoldingsCommand(*m_view, this); });
    on(Cmd::ProfitSum, [this] { RunProfitSumCommand(*m_view); });
    on(Cmd::ColumnDialog, [this] { RunColumnDialog(*m_view, this); });
    on(Cmd::Workbook, [this] { m_workbook->run(); });
    on(Cmd::CompareLists, [this] { m_workbook->compareLists(); });
    on(Cmd::Ranking, [this] {
        CRankingDlg dlg(*m_view, m_settings, this);
        if (dlg.exec() == QDialog::Accepted && !dlg.readError().isEmpty())
            statusBar()->showMessage(
                tessera::FormatResourceString(Ids::MsgRankingUnread, { dlg.readError() }), 10000);
    });
    on(Cmd::Schedule, [this] { RunScheduleCommand(m_doc->GetPathName(), m_settings, this, m_prompts); });
    on(Cmd::ResetColumns, [this] { m_view->resetColumns(); });
    on(Cmd::CodeBox, [this] {
        m_codeBox->setFocus(Qt::ShortcutFocusReason);
        m_codeBox->selectAll();
    });
    on(Cmd::StatusBar, [this](bool checked) { statusBar()->setVisible(checked); });
    // Show or hide a column: 1001..1039.
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const int field = it.key() - Cmd::FieldBase;
        if (field > 0 && field < kColumnCount)
            connect(it.value(), &QAction::triggered, this, [this, field] { m_view->toggleField(field); });
    }
    connect(m_recent, &RecentFiles::openRequested, this, [&commands](const QString &path) {
        if (commands.SaveModified())
            commands.openDocument(path);
    });
    connect(m_scheduler, &UpdateScheduler::ticked, this, [this] { m_view->viewport()->update(); });
    connect(m_scheduler, &UpdateScheduler::unattendedRunFinished, this, &CMainFrame::finishUnattendedRun);
    connect(m_commands, &DocumentCommands::commandStatesChanged, this, &CMainFrame::updateCommandStates);
}

// Each run reports on the status bar: the code's position in the batch against its size.
void CMainFrame::connectRunDisplay()
{
    connect(m_doc.get(), &CQuotraDoc::updateStarted, this, [this](quint64 generation, int total) {
        if (m_runGeneration != 0)
            m_panes->endRun();
        m_runGeneration = generation;
        m_runTotal = total;
        m_panes->beginRun(Ids::ProgressUpdating);
    });
    connect(m_doc.get(), &CQuotraDoc::updateProgress, this,
        [this](quint64 generation, int index, const QString &) {
            if (generation == m_runGeneration && m_runTotal > 0)
                m_panes->setRunPercent(static_cast<int>((index + 1) * 100LL / m_runTotal));
        });
    connect(m_doc.get(), &CQuotraDoc::updateFinished, this, [this](quint64 generation, bool) {
        if (generation == m_runGeneration) {
            m_runGeneration = 0;
            m_panes->endRun();
        }
        updateCommandStates();
    });
}

void CMainFrame::connectStates()
{
    connect(m_doc.get(), &CQuotraDoc::titleChanged, this, &CMainFrame::updateTitle);
    connect(m_doc.get(), &CQuotraDoc::modifiedChanged, this, [this] { updateTitle(); });
    connect(m_view, &CQuotraView::selectionCountChanged, this, [this](int selected, int rows) {
        m_panes->setRowCounts(selected, rows);
        updateCommandStates();
    });
    connect(m_view, &CQuotraView::updatingChanged, this, &CMainFrame::updateCommandStates);
    connect(m_view, &CQuotraView::rowMenuRequested, this, &CMainFrame::showRowMenu);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::updateCommandStates);
}

void CMainFrame::updateTitle()
{
    setWindowTitle(m_doc->title() + QStringLiteral(" - Quotra"));
    setWindowModified(false);
}

void CMainFrame::updateCommandStates()
{
    const int selected = m_view->selectedCount();
    const int rows = m_view->rowCount();
    const bool updating = m_view->isUpdating();
    const bool hasRows = m_doc->hasRows();
    const auto set = [this](int id, bool enabled) {
        const CommandDef *def = FindCommand(id);
        if (QAction *a = m_actions.value(id))
            a->setEnabled(enabled && (!def || def->available));
    };
    const bool rowsOrUpdating = selected > 0 || updating;
    set(Cmd::OpenWebPage, rowsOrUpdating);
    set(Cmd::Delete, rowsOrUpdating);
    set(Cmd::Copy, rowsOrUpdating);
    set(Cmd::UpdateSelected, rows > 0 || updating); // no selection: the rows that are due
    set(Cmd::Chart, selected == 1);
    set(Cmd::SelectAll, selected < rows);
    for (const int id :
        { Cmd::Save, Cmd::SaveAs, Cmd::Find, Cmd::FindNext, Cmd::FindPrevious, Cmd::Workbook })
        set(id, hasRows);
    set(Cmd::Holdings, selected > 0);
    set(Cmd::ProfitSum, selected > 0);
    const QMimeData *clip = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
    set(Cmd::Paste, clip && clip->hasText());
}

void CMainFrame::showRowMenu(const QPoint &globalPos)
{
    if (m_view->rowCount() > 0) {
        m_menus.rows->popup(globalPos);
        return;
    }
    // An empty list offers the recent files instead.
    if (m_recent->files().isEmpty())
        return;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction *a : m_recent->actions())
        menu->addAction(a);
    menu->popup(globalPos);
}

// ---- Placement, state and closing

void CMainFrame::placeWindow()
{
    PlaceWindow(*this, m_settings);
}

// The unattended run saved its list: the program ends without the closing sequence (window
// state, questions).
void CMainFrame::finishUnattendedRun(int status)
{
    StoreColumnLayout(m_settings, *m_view);
    m_closeAccepted = true;
    Q_EMIT unattendedRunFinished(status);
    close();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_closeAccepted) {
        m_doc->StopUpdate();
        event->accept();
        return;
    }
    StoreWindowState(*this, m_settings);
    m_recent->store();
    m_appearance->storeClosingState();
    if (!m_commands->SaveModified()) {
        event->ignore();
        return;
    }
    m_doc->StopUpdate();
    m_scheduler->stop();
    StoreColumnLayout(m_settings, *m_view);
    m_recent->store();
    m_closeAccepted = true;
    event->accept();
}

void CMainFrame::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMaximized()) {
        // A maximised window starts the list again at its first row and left edge.
        m_view->scrollToTop();
        m_view->horizontalScrollBar()->setValue(0);
    }
}
