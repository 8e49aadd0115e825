#include "app/ui/CMainFrame.h"

#include "app/core/AppSettings.h"
#include "app/core/FileDialogFilters.h"
#include "app/core/ListLayoutChoice.h"
#include "app/core/ListOpenOptions.h"
#include "app/core/ListTitle.h"
#include "app/core/UnattendedRun.h"
#include "app/core/UpdateSchedule.h"
#include "app/core/WindowPlacement.h"
#include "app/core/WorkbookCache.h"
#include "app/ui/AppearanceController.h"
#include "app/ui/CRankingDlg.h"
#include "app/ui/CScheduleDlg.h"
#include "app/ui/CommandTable.h"
#include "app/ui/CopyDataServer.h"
#include "app/ui/FileDropHandler.h"
#include "app/ui/FindController.h"
#include "app/ui/FontBoxes.h"
#include "app/ui/FrameServices.h"
#include "app/ui/KeyTips.h"
#include "app/ui/PeriodSpinBox.h"
#include "app/ui/RibbonBar.h"
#include "app/ui/StatusBarPanes.h"
#include "app/ui/UpdateCommand.h"
#include "app/ui/WorkbookCommand.h"
#include "corelib/Messages.h"
#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"
#include "corelib/TaskbarList.h"
#include "document/CQuotraDoc.h"
#include "document/DocumentIo.h"
#include "quotes/SecurityCode.h"
#include "quotes/fetch/FetchQuote.h"
#include "view/table/ColumnTable.h"
#include "view/widgets/CColumnDlg.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/UserDataDlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

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

namespace {

constexpr int kRecentFileCount = 8;
constexpr int kUnattendedDelayMs = 5000;
constexpr int kCodeBoxWidth = 90;
constexpr int kPeriodBoxWidth = 80;
constexpr int kFontFaceWidth = 130;
constexpr int kFontSizeWidth = 45;

QIcon commandIcon(const char *name)
{
    const QString n = QString::fromLatin1(name);
    if (n.isEmpty())
        return {};
    return QIcon::fromTheme(n, QIcon(QStringLiteral(":/icons/") + n + QStringLiteral(".svg")));
}

// The icon of a recent file, by its extension.
QIcon recentFileIcon(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"xls" || ext == u"xlsx")
        return commandIcon("file-xlsx");
    if (ext == u"kabu")
        return commandIcon("file-kabu");
    if (ext == u"json")
        return commandIcon("file-json");
    if (ext == u"csv")
        return commandIcon("file-csv");
    return commandIcon("file-other");
}

QString settingsGroup()
{
    return QStringLiteral("4.00");
}

} // namespace

CMainFrame::CMainFrame(AppSettings &settings, const CCLineInfo &commandLine, QWidget *parent)
    : QMainWindow(parent)
    , m_settings(settings)
    , m_commandLine(commandLine)
    , m_doc(std::make_unique<CQuotraDoc>())
    , m_taskbar(std::make_unique<tessera::TaskbarList>())
{
    initResources();
    setObjectName(QStringLiteral("XTPMainFrame"));
    setWindowIcon(commandIcon("quotra"));
    m_taskbar->Create();

    SaveNamingContext naming;
    naming.unattended = commandLine.autoRun;
    naming.outputFolder = commandLine.outputFolder;
    naming.workbookOutput = commandLine.excelOutput;
    m_doc->setSaveNaming(naming);
    m_doc->setSaveHost(this);
    m_doc->setFetchFactory(NetworkFetchFactory({}, m_settings.fetchPolicy()));

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_view = new CQuotraView(*m_doc, central);
    m_panes = new StatusBarPanes(*this, m_taskbar.get());
    m_view->setProgressDisplay(m_panes);

    m_find = new FindController(m_settings, *m_view, this);
    m_workbook = std::make_unique<WorkbookCommand>(*m_view, m_settings, m_panes, this);
    m_workbook->statusMessage = [this](const QString &text) { statusBar()->showMessage(text, 10000); };
    createActions();
    m_appearance
        = new AppearanceController(this, *m_view, *m_panes, m_settings, m_actions, commandLine.themeRequest);
    createMenus();
    createRibbon();
    column->addWidget(m_ribbon);
    column->addWidget(m_view, 1);
    setCentralWidget(central);
    m_keyTips = new KeyTips(*m_ribbon, *this);

    // The layout the view starts with: the settings', with the widths kept last time.
    QSettings store;
    const QList<QVariant> stored = store.value(barStateName() + QStringLiteral("/ColumnWidths")).toList();
    QList<int> widths;
    for (const QVariant &v : stored)
        widths << v.toInt();
    m_view->applyStartLayout(SettingsLayout(m_settings), widths);

    m_updateTimer = new QTimer(this);
    m_updateTimer->setObjectName(QStringLiteral("UpdateTimer1234"));
    m_updateTimer->setSingleShot(true);
    connect(m_updateTimer, &QTimer::timeout, this, &CMainFrame::onUpdateTimer);

    // Codes sent by other processes take the paste command's path, but a message from
    // another program never opens a box: what is refused is said on the status bar.
    m_copyData = new CopyDataServer(
        [this](const QStringList &codes) {
            QStringList fresh;
            for (const QString &code : codes) {
                if (!m_doc->contains(code) && !fresh.contains(code))
                    fresh << code;
            }
            if (fresh.isEmpty())
                m_panes->showMessage(tessera::ResourceString(Ids::MsgAlreadyListed));
            else
                tessera::ShowResourceMessage(m_doc->AddCodesFromText(fresh.join(u'\n')).message);
        },
        [this] { m_panes->showMessage(tessera::ResourceString(Ids::MsgSentTextNoValidCode)); }, this);
    m_copyData->listen();
    m_fileDrops = new FileDropHandler(*this, m_view->viewport());

    loadRecentFiles();
    connectDocument();
    // Help, About, the customisation sheet and the stored shortcuts; after the actions and
    // the document's own connections.
    m_services = new FrameServices(*this);
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
    // reach this frame after its own part is gone (and could even ask a question on the way).
    if (m_periodBox)
        disconnect(m_periodBox, nullptr, this, nullptr);
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
    return settingsGroup() + u'/' + QString::number(m_settings.currentLanguage) + QStringLiteral("Bar-State");
}

QString CMainFrame::dockingLayoutName() const
{
    return settingsGroup() + u'/' + QString::number(m_settings.currentLanguage)
        + QStringLiteral("NormalLayout");
}

// ---- Commands

void CMainFrame::createActions()
{
    for (const CommandDef &def : CommandTable()) {
        auto *a = new QAction(tessera::ResourceString(def.captionId), this);
        a->setObjectName(QStringLiteral("Command%1").arg(def.id));
        a->setData(def.id);
        a->setIcon(commandIcon(def.icon));
        const QList<QKeySequence> keys = DefaultShortcuts(def);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        a->setToolTip(CommandToolTip(def.id, a->text(), keys));
        a->setEnabled(def.available);
        addAction(a);
        m_actions.insert(def.id, a);
    }
    m_actions.value(Cmd::StatusBar)->setCheckable(true);
    m_actions.value(Cmd::StatusBar)->setChecked(true);

    const auto on
        = [this](int id, auto handler) { connect(m_actions.value(id), &QAction::triggered, this, handler); };
    on(Cmd::New, [this] { newDocument(); });
    on(Cmd::Open, [this] {
        if (!SaveModified())
            return;
        const QString path = askOpenFile ? askOpenFile() : openDialog();
        if (!path.isEmpty())
            openDocument(path);
    });
    on(Cmd::Save, [this] { save(); });
    on(Cmd::SaveAs, [this] { saveAs(); });
    on(Cmd::OpenDefaultList, [this] { openDefaultList(); });
    on(Cmd::Exit, [this] { close(); });
    on(Cmd::UpdateSelected, [this] { RunUpdateCommand(*m_view, *m_doc, *m_panes); });
    on(Cmd::OpenWebPage, [this] { m_view->openQuotePage(); });
    on(Cmd::Chart, [this] { m_view->openChartPage(); });
    on(Cmd::Delete, [this] { m_view->deleteSelectedRows(); });
    on(Cmd::Copy, [this] { m_view->copySelection(); });
    on(Cmd::Paste, [this] { pasteCodes(); });
    on(Cmd::SelectAll, [this] {
        m_view->selectAll();
        m_view->setFocus();
    });
    on(Cmd::FitColumns, [this] { m_view->fitAllColumns(); });
    on(Cmd::Find, [this] { m_find->find(); });
    on(Cmd::FindNext, [this] { m_find->findNext(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier); });
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
    on(Cmd::Schedule, [this] { RunScheduleCommand(m_doc->GetPathName(), m_settings, this); });
    on(Cmd::ResetColumns, [this] { m_view->resetColumns(); });
    on(Cmd::CodeBox, [this] {
        m_codeBox->setFocus(Qt::ShortcutFocusReason);
        m_codeBox->selectAll();
    });
    on(Cmd::StatusBar, [this](bool checked) { statusBar()->setVisible(checked); });

    // Show or hide a column: 1001..1039.
    for (int field = 1; field < kColumnCount; ++field) {
        auto *a = new QAction(ColumnCaption(field), this);
        a->setObjectName(QStringLiteral("Command%1").arg(Cmd::FieldBase + field));
        a->setData(Cmd::FieldBase + field);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, field] { m_view->toggleField(field); });
        m_actions.insert(Cmd::FieldBase + field, a);
    }
}

void CMainFrame::createMenus()
{
    // File menu (menu 130).
    m_fileMenu = new QMenu(this);
    m_fileMenu->setObjectName(QStringLiteral("FileMenu130"));
    for (const int id : { Cmd::New, Cmd::Open, Cmd::Save, Cmd::SaveAs })
        m_fileMenu->addAction(m_actions.value(id));
    m_fileMenu->addAction(m_actions.value(Cmd::OpenDefaultList));
    m_fileMenu->addAction(m_actions.value(Cmd::CompareLists));
    m_fileMenu->addSeparator();
    m_recentMenu = m_fileMenu; // the recent files sit in the File menu itself
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_actions.value(Cmd::Exit));

    // The list's context menu (menu 133, first sub-menu).
    m_rowMenu = new QMenu(this);
    m_rowMenu->setObjectName(QStringLiteral("ContextMenu133"));
    m_rowMenu->setTitle(tessera::ResourceString(Ids::CaptionContextMenu));
    for (const int id : { Cmd::UpdateSelected, Cmd::OpenWebPage, Cmd::Chart })
        m_rowMenu->addAction(m_actions.value(id));
    m_rowMenu->addSeparator();
    for (const int id : { Cmd::Copy, Cmd::Paste, Cmd::Delete, Cmd::SelectAll })
        m_rowMenu->addAction(m_actions.value(id));
    m_rowMenu->addSeparator();
    for (const int id : { Cmd::Find, Cmd::Holdings, Cmd::ProfitSum, Cmd::Workbook, Cmd::CompareLists })
        m_rowMenu->addAction(m_actions.value(id));
    m_rowMenu->addSeparator();
    for (const int id : { Cmd::FitColumns, Cmd::ColumnDialog, Cmd::ResetColumns })
        m_rowMenu->addAction(m_actions.value(id));

    // Help popup (menu 134).
    m_helpMenu = new QMenu(this);
    m_helpMenu->setObjectName(QStringLiteral("HelpMenu134"));
    m_helpMenu->addAction(m_actions.value(Cmd::Help));
    m_helpMenu->addAction(m_actions.value(Cmd::Customise));
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(m_actions.value(Cmd::About));
}

void CMainFrame::createRibbon()
{
    m_ribbon = new RibbonBar(this);
    m_ribbon->setSystemMenu(tessera::ResourceString(Ids::CaptionFileButton), m_fileMenu, QStringLiteral("F"));
    m_ribbon->setTabCaption(tessera::ResourceString(Ids::CaptionHomeTab), QStringLiteral("H"));
    for (const int id : { Cmd::New, Cmd::Open, Cmd::Save, Cmd::UpdateSelected })
        m_ribbon->addQuickAccess(m_actions.value(id));
    m_ribbon->addTabRowMenu(
        tessera::ResourceString(Ids::CaptionStyleMenu), m_appearance->themeMenu(), QStringLiteral("T"));
    m_ribbon->addTabRowMenu(tessera::ResourceString(Ids::CaptionHelpMenu), m_helpMenu, QStringLiteral("L"));
    m_ribbon->addTabRowAction(m_actions.value(Cmd::About));

    const auto tip = [](int id) { return QString::fromLatin1(FindCommand(id)->keyTip); };
    const auto small = [&](int id, bool startsGroup = false) {
        m_ribbon->addSmallButton(m_actions.value(id), tip(id), startsGroup);
    };
    const auto group = [&](int captionId) {
        for (const RibbonGroupDef &def : RibbonGroupTable()) {
            if (def.captionId == captionId)
                m_ribbon->beginGroup(tessera::ResourceString(captionId), commandIcon(def.icon),
                    QString::fromLatin1(def.keyTip), def.captionsStep, def.foldStep);
        }
    };

    group(Ids::CaptionGroupFile);
    m_ribbon->addLargeButton(m_actions.value(Cmd::Open), tip(Cmd::Open));
    small(Cmd::New);
    small(Cmd::Save, true);
    small(Cmd::SaveAs);
    m_ribbon->endGroup();

    group(Ids::CaptionGroupCode);
    for (const int id : { Cmd::UpdateSelected, Cmd::OpenWebPage, Cmd::Find, Cmd::Workbook, Cmd::Chart })
        small(id);
    small(Cmd::Delete, true);
    small(Cmd::Copy);
    m_codeBox = new QLineEdit;
    m_codeBox->setObjectName(QStringLiteral("CodeBox32776"));
    m_codeBox->setFixedWidth(kCodeBoxWidth);
    m_codeBox->setAccessibleName(tessera::ResourceString(Cmd::CodeBox));
    m_codeBox->setToolTip(m_actions.value(Cmd::CodeBox)->toolTip());
    m_codeBox->setInputMethodHints(Qt::ImhPreferUppercase | Qt::ImhNoPredictiveText | Qt::ImhLatinOnly);
    connect(m_codeBox, &QLineEdit::textEdited, this, &CMainFrame::onCodeBoxEdited);
    connect(m_codeBox, &QLineEdit::returnPressed, this, &CMainFrame::onCodeBoxCommitted);
    m_codeBox->setPlaceholderText(tessera::ResourceString(Cmd::CodeBox));
    m_ribbon->addSmallWidget(m_codeBox, QString(), tip(Cmd::CodeBox), false, m_actions.value(Cmd::CodeBox));
    for (const int id : { Cmd::SelectAll, Cmd::Paste, Cmd::Holdings })
        small(id);
    m_ribbon->endGroup();

    group(Ids::CaptionGroupView);
    small(Cmd::FitColumns);
    small(Cmd::ColumnDialog);
    auto *statusCheck = new QCheckBox(tessera::ResourceString(Cmd::StatusBar));
    statusCheck->setObjectName(QStringLiteral("StatusBarCheck59393"));
    statusCheck->setChecked(true);
    statusCheck->setFocusPolicy(Qt::NoFocus);
    connect(statusCheck, &QCheckBox::toggled, m_actions.value(Cmd::StatusBar), &QAction::setChecked);
    connect(m_actions.value(Cmd::StatusBar), &QAction::toggled, statusCheck, &QCheckBox::setChecked);
    connect(statusCheck, &QCheckBox::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    m_ribbon->addSmallWidget(
        statusCheck, QString(), tip(Cmd::StatusBar), false, m_actions.value(Cmd::StatusBar));
    statusCheck->setAccessibleName(tessera::ResourceString(Cmd::StatusBar));
    QComboBox *fontFace = m_appearance->fontFaceBox();
    fontFace->setFixedWidth(kFontFaceWidth);
    fontFace->setAccessibleName(tessera::ResourceString(Cmd::FontFace));
    fontFace->setToolTip(tessera::ResourceString(Cmd::FontFace));
    m_ribbon->addSmallWidget(fontFace, QString(), tip(Cmd::FontFace), true, m_actions.value(Cmd::FontFace));
    QComboBox *fontSize = m_appearance->fontSizeBox();
    fontSize->setFixedWidth(kFontSizeWidth + 16);
    fontSize->setAccessibleName(tessera::ResourceString(Cmd::FontSize));
    fontSize->setToolTip(tessera::ResourceString(Cmd::FontSize));
    m_ribbon->addSmallWidget(fontSize, QString(), tip(Cmd::FontSize), false, m_actions.value(Cmd::FontSize));
    m_ribbon->endGroup();

    group(Ids::CaptionGroupSettings);
    m_appearance->attachColourButton(
        m_ribbon->addSmallButton(m_actions.value(Cmd::TextColour), tip(Cmd::TextColour)), false);
    m_appearance->attachColourButton(
        m_ribbon->addSmallButton(m_actions.value(Cmd::BackColour), tip(Cmd::BackColour)), true);
    m_periodBox = new PeriodSpinBox(AppSettings::kMinUpdateMinutes, AppSettings::kMaxUpdateMinutes);
    m_periodBox->setObjectName(QStringLiteral("UpdatePeriod32773"));
    m_periodBox->setWrapping(false);
    m_periodBox->setFixedWidth(kPeriodBoxWidth);
    m_periodBox->setValue(static_cast<int>(m_settings.updateSpan / 60));
    m_periodBox->setKeyboardTracking(false);
    m_periodBox->setAccessibleName(tessera::ResourceString(Cmd::UpdatePeriod));
    m_periodBox->setToolTip(tessera::ResourceString(Cmd::UpdatePeriod));
    connect(m_periodBox, &QSpinBox::editingFinished, this, &CMainFrame::onPeriodCommitted);
    m_ribbon->addSmallWidget(m_periodBox, tessera::ResourceString(Cmd::UpdatePeriod), tip(Cmd::UpdatePeriod),
        false, m_actions.value(Cmd::UpdatePeriod));
    m_ribbon->endGroup();
}

void CMainFrame::connectDocument()
{
    connect(m_doc.get(), &CQuotraDoc::titleChanged, this, &CMainFrame::updateTitle);
    connect(m_doc.get(), &CQuotraDoc::modifiedChanged, this, [this] { updateTitle(); });
    connect(m_doc.get(), &CQuotraDoc::updateFinished, this, &CMainFrame::onUpdateFinished);
    // Each run reports on the status bar: the code's position in the batch against its size.
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
    set(Cmd::Save, hasRows);
    set(Cmd::SaveAs, hasRows);
    set(Cmd::Find, hasRows);
    set(Cmd::FindNext, hasRows);
    set(Cmd::FindPrevious, hasRows);
    set(Cmd::Workbook, hasRows);
    set(Cmd::Holdings, selected > 0);
    set(Cmd::ProfitSum, selected > 0);
    const QMimeData *clip = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
    set(Cmd::Paste, clip && clip->hasText());
}

// ---- Recent files

void CMainFrame::loadRecentFiles()
{
    QSettings store;
    store.beginGroup(settingsGroup() + QStringLiteral("/Recent File List"));
    m_recentFiles.clear();
    for (int k = 1; k <= kRecentFileCount; ++k) {
        const QString path = store.value(QStringLiteral("File%1").arg(k)).toString();
        if (!path.isEmpty())
            m_recentFiles << path;
    }
    rebuildRecentMenu();
}

void CMainFrame::storeRecentFiles() const
{
    QSettings store;
    store.beginGroup(settingsGroup() + QStringLiteral("/Recent File List"));
    for (int k = 1; k <= kRecentFileCount; ++k) {
        const QString key = QStringLiteral("File%1").arg(k);
        if (k <= m_recentFiles.size())
            store.setValue(key, m_recentFiles[k - 1]);
        else
            store.remove(key);
    }
}

void CMainFrame::addRecentFile(const QString &path)
{
    m_recentFiles.removeAll(path);
    m_recentFiles.prepend(path);
    while (m_recentFiles.size() > kRecentFileCount)
        m_recentFiles.removeLast();
    rebuildRecentMenu();
}

void CMainFrame::removeRecentFile(const QString &path)
{
    m_recentFiles.removeAll(path);
    rebuildRecentMenu();
}

void CMainFrame::rebuildRecentMenu()
{
    for (QAction *a : std::as_const(m_recentActions)) {
        m_recentMenu->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    // Before the separator that precedes Exit.
    const QList<QAction *> actions = m_fileMenu->actions();
    QAction *before = actions.size() >= 2 ? actions[actions.size() - 2] : nullptr;
    for (int k = 0; k < m_recentFiles.size(); ++k) {
        const QString path = m_recentFiles[k];
        const QString label = QStringLiteral("&%1 %2").arg(k + 1).arg(QFileInfo(path).fileName());
        auto *a = new QAction(recentFileIcon(path), label, this);
        a->setToolTip(path);
        a->setStatusTip(path);
        connect(a, &QAction::triggered, this, [this, path] {
            if (SaveModified())
                openDocument(path);
        });
        m_fileMenu->insertAction(before, a);
        m_recentActions << a;
    }
}

// ---- Documents

void CMainFrame::newDocument()
{
    if (!SaveModified())
        return;
    m_doc->OnNewDocument();
    restartUpdateTimer(false);
    m_view->refresh();
    updateCommandStates();
}

ListLoadOptions CMainFrame::listOpenOptions() const
{
    return ListOpenOptions(m_settings, m_view->saveLayout());
}

bool CMainFrame::openDocument(const QString &path)
{
    return openList(path, std::nullopt);
}

bool CMainFrame::openReadList(const QString &path, LoadedList list)
{
    return openList(path, std::move(list));
}

bool CMainFrame::openList(const QString &path, std::optional<LoadedList> read)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    tessera::ProgressRun run(m_panes, Ids::ProgressReadingFile);
    m_view->holdRowRefresh();
    tessera::Result<OpenedList> opened = read
        ? tessera::Result<OpenedList>(InstallList(*m_doc, path, std::move(*read)))
        : OpenDocument(*m_doc, path, listOpenOptions());
    run.finish();
    const bool ownLayout = opened && opened->layout && HeaderModel().applyLayout(*opened->layout);
    m_view->releaseRowRefresh(ownLayout ? &*opened->layout : nullptr);
    QApplication::restoreOverrideCursor();
    if (!opened) {
        tessera::ShowMessage(opened.error().message, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    if (m_doc->fileKind() != FileKind::Json)
        addRecentFile(m_doc->GetPathName());
    restartUpdateTimer(true);
    if (!m_commandLine.autoRun)
        UpdateNeverFetchedRows(*m_view, *m_doc);
    updateCommandStates();
    return true;
}

bool CMainFrame::save()
{
    return reportSave(m_doc->DoSave(m_doc->GetPathName())) == SaveOutcome::Saved;
}

bool CMainFrame::saveAs()
{
    const QString suggested = m_doc->GetPathName().isEmpty() ? m_doc->title() : m_doc->GetPathName();
    const QString path = askSaveFile ? askSaveFile(suggested) : saveDialog(suggested, false);
    if (path.isEmpty())
        return false;
    const SaveOutcome::Kind saved = reportSave(m_doc->DoSave(path, SaveRequest::Chosen));
    return saved == SaveOutcome::Saved || saved == SaveOutcome::Exported;
}

SaveOutcome::Kind CMainFrame::reportSave(const SaveOutcome &outcome)
{
    if (outcome.kind == SaveOutcome::Failed)
        tessera::ShowMessage(outcome.message, tessera::MbOk | tessera::MbIconError);
    for (const QString &notice : SaveNotices(outcome))
        tessera::ShowMessage(notice, tessera::MbOk | tessera::MbIconInformation);
    if (outcome.kind == SaveOutcome::Saved)
        addRecentFile(m_doc->GetPathName());
    return outcome.kind;
}

bool CMainFrame::SaveModified()
{
    m_doc->StopUpdate();
    if (!m_doc->IsModified())
        return true;
    // The question names the list without its unsaved mark.
    const QString savedTitle = m_doc->title();
    const int answer
        = tessera::ShowMessage(tessera::FormatResourceString(Ids::MsgSaveChanges, { PlainTitle(savedTitle) }),
            tessera::MbYesNoCancel | tessera::MbIconQuestion);
    if (answer == tessera::IdCancel)
        return false;
    if (answer == tessera::IdNo)
        return true;
    if (saveAsList())
        return true;
    m_doc->setTitle(savedTitle);
    return false;
}

bool CMainFrame::saveAsList()
{
    // A CSV file is an export of the list, not where the list itself is kept: the list gets
    // a list file, whose name the user is asked for (as after an export chosen instead).
    const auto askListFile = [this] {
        const QString current = m_doc->GetPathName().isEmpty() ? m_doc->title() : m_doc->GetPathName();
        const QString path = askSavePath(ListFileNameOf(current));
        if (path.isEmpty())
            return SaveOutcome {};
        return m_doc->DoSave(path, SaveRequest::Chosen);
    };
    const bool exportKind = m_doc->fileKind() == FileKind::Csv || m_doc->fileKind() == FileKind::Json;
    SaveOutcome::Kind saved = reportSave(exportKind ? askListFile() : m_doc->DoSave(m_doc->GetPathName()));
    while (saved == SaveOutcome::Exported)
        saved = reportSave(askListFile());
    return saved == SaveOutcome::Saved;
}

void CMainFrame::openDefaultList()
{
    const int answer = tessera::ShowResourceMessage(
        Ids::MsgOpenDefaultList, {}, tessera::MbYesNo | tessera::MbIconQuestion);
    if (answer == tessera::IdNo)
        return;
    const QString path = CQuotraDoc::DefaultListPath();
    if (!QFileInfo::exists(path) || !SaveModified())
        return;
    if (openDocument(path))
        removeRecentFile(m_doc->GetPathName());
}

void CMainFrame::pasteCodes()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasText())
        return;
    tessera::ShowResourceMessage(m_doc->AddCodesFromText(data->text()).message);
}

QString CMainFrame::openDialog()
{
    const QString start = DialogStartFolder(m_settings.current);
    QFileDialog dialog(this, tessera::ResourceString(Cmd::Open), start);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(QtNameFilters(FileDialogFilter(FileDialogKind::Open)));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().front();
    m_settings.current = QFileInfo(path).absolutePath();
    return path;
}

QString CMainFrame::saveDialog(const QString &suggested, bool inItsFolder)
{
    // A name the save routing proposes lies beside the list's file: the dialog opens there.
    const QFileInfo proposal(suggested);
    const QString start = inItsFolder && proposal.isAbsolute() && proposal.absoluteDir().exists()
        ? proposal.absolutePath()
        : DialogStartFolder(m_settings.current);
    QFileDialog dialog(this, tessera::ResourceString(Cmd::SaveAs), start);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(QtNameFilters(FileDialogFilter(FileDialogKind::Save)));
    dialog.setDefaultSuffix(QStringLiteral("kabu"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!suggested.isEmpty())
        dialog.selectFile(QFileInfo(suggested).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().front();
    m_settings.current = QFileInfo(path).absolutePath();
    return path;
}

// ---- SaveHost

ColumnLayout CMainFrame::layoutToStore() const
{
    return m_view->saveLayout();
}

const TableSource *CMainFrame::tableToExport() const
{
    return &m_view->listModel().table();
}

QString CMainFrame::askSavePath(const QString &suggested)
{
    if (!canAskSavePath())
        return {};
    return askSaveFile ? askSaveFile(suggested) : saveDialog(suggested, true);
}

bool CMainFrame::canAskSavePath() const
{
    return !m_commandLine.autoRun; // nobody answers a dialog in an unattended run
}

// ---- Menus

void CMainFrame::showRowMenu(const QPoint &globalPos)
{
    if (m_view->rowCount() > 0) {
        m_rowMenu->popup(globalPos);
        return;
    }
    // An empty list offers the recent files instead.
    if (m_recentFiles.isEmpty())
        return;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction *a : std::as_const(m_recentActions))
        menu->addAction(a);
    menu->popup(globalPos);
}

// ---- The update timer

void CMainFrame::restartUpdateTimer(bool opened)
{
    m_updateTimer->stop();
    m_periodic.Forget();
    const qint64 periodMs = static_cast<qint64>(m_settings.updateSpan) * 1000;
    m_updateTimer->start(opened && m_commandLine.autoRun ? kUnattendedDelayMs : static_cast<int>(periodMs));
}

void CMainFrame::onUpdateTimer()
{
    m_updateTimer->stop();
    if (!m_doc->isUpdating()) {
        const QStringList shown = ShownCodes(*m_view);
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QStringList due = m_commandLine.autoRun
            ? shown
            : m_periodic.Due(m_doc->rows(), shown, now, static_cast<qint64>(m_settings.updateSpan));
        if (m_commandLine.autoRun || !due.isEmpty()) {
            const quint64 generation = m_doc->StartUpdate(due);
            m_periodic.RunStarted(due, now);
            if (m_commandLine.autoRun && m_unattendedGeneration == 0)
                m_unattendedGeneration = generation;
        }
        m_view->viewport()->update();
    }
    m_updateTimer->start(static_cast<int>(static_cast<qint64>(m_settings.updateSpan) * 1000));
}

void CMainFrame::onUpdateFinished(quint64 generation, bool changed)
{
    Q_UNUSED(changed);
    if (generation == m_runGeneration) {
        m_runGeneration = 0;
        m_panes->endRun();
    }
    updateCommandStates();
    if (!m_commandLine.autoRun || generation != m_unattendedGeneration)
        return;
    // The unattended run: save through the save routing and end the program. The closing
    // sequence (window state, questions) is skipped.
    m_updateTimer->stop();
    // The output folder was there at the start; gone now, the result is not written elsewhere.
    if (const QString missing = MissingOutputFolderText(m_commandLine); !missing.isEmpty()) {
        tessera::ShowMessage(missing, tessera::MbOk | tessera::MbIconError);
        m_unattendedStatus = 1;
    } else {
        const SaveOutcome outcome = m_doc->DoSave(m_doc->GetPathName());
        if (outcome.kind == SaveOutcome::Failed)
            tessera::ShowMessage(outcome.message, tessera::MbOk | tessera::MbIconError);
        for (const QString &notice : SaveNotices(outcome))
            tessera::ShowMessage(notice, tessera::MbOk | tessera::MbIconInformation);
        m_unattendedStatus = outcome.wroteFile() ? 0 : 1;
    }
    storeLayoutIntoSettings();
    m_closeAccepted = true;
    Q_EMIT unattendedRunFinished(m_unattendedStatus);
    close();
}

// ---- The boxes

void CMainFrame::onCodeBoxEdited(const QString &text)
{
    const QString cut = CodeBoxText(text);
    if (cut != text) {
        m_codeBox->setText(cut);
        m_codeBox->setCursorPosition(static_cast<int>(cut.size()));
    }
}

void CMainFrame::onCodeBoxCommitted()
{
    const QString code = m_codeBox->text();
    if (code.isEmpty())
        return;
    const CQuotraDoc::AddCodeOutcome added = m_doc->AddCode(code);
    tessera::ShowResourceMessage(added.message);
    if (added.result == CQuotraDoc::AddCodeResult::Added) {
        m_view->selectCode(code);
        m_codeBox->clear();
    }
}

void CMainFrame::onPeriodCommitted()
{
    const int minutes = m_periodBox->value();
    if (!m_periodBox->isAcceptable(minutes)) {
        // Refused: the box shows the period that stays in force.
        m_periodBox->setValue(static_cast<int>(m_settings.updateSpan / 60));
        tessera::ShowResourceMessage(Ids::MsgPeriodOutOfRange, {}, tessera::MbOk | tessera::MbIconWarning);
        return;
    }
    if (static_cast<quint64>(minutes) * 60 == m_settings.updateSpan)
        return;
    m_settings.updateSpan = static_cast<quint64>(minutes) * 60;
    restartUpdateTimer(false);
    m_panes->showMessage(tessera::FormatResourceString(Ids::MsgPeriodSet, { QString::number(minutes) }));
}

// ---- Placement, state and closing

void CMainFrame::placeWindow()
{
    QSettings store;
    const QByteArray geometry = store.value(dockingLayoutName() + QStringLiteral("/Geometry")).toByteArray();
    const QByteArray state = store.value(barStateName() + QStringLiteral("/State")).toByteArray();
    if (!state.isEmpty())
        restoreState(state);
    if (!geometry.isEmpty() && restoreGeometry(geometry)) {
        show();
        return;
    }
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 640);
    const qreal dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const qreal dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    // Qt scales by the device pixel ratio itself; the logical dpi beyond that is the user's.
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    const FirstPlacement placement = FirstWindowPlacement(available, dpiX / ratio, dpiY / ratio);
    if (placement.maximised) {
        showMaximized();
    } else {
        setGeometry(placement.geometry);
        show();
    }
}

void CMainFrame::storeLayoutIntoSettings()
{
    const ColumnLayout layout = m_view->saveLayout();
    m_settings.orderInfo = layout.orderList;
    m_settings.columnAlign = layout.alignList;
    m_settings.columnIndex = layout.indexList;
    m_settings.sortColumn = static_cast<qint32>(layout.packedSort);
    QSettings store;
    QList<QVariant> widths;
    for (const int w : m_view->columnWidths())
        widths << w;
    store.setValue(barStateName() + QStringLiteral("/ColumnWidths"), widths);
}

void CMainFrame::storeWindowState()
{
    QSettings store;
    store.setValue(barStateName() + QStringLiteral("/State"), saveState());
    store.setValue(dockingLayoutName() + QStringLiteral("/Geometry"), saveGeometry());
    storeRecentFiles();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_closeAccepted) {
        m_doc->StopUpdate();
        event->accept();
        return;
    }
    storeWindowState();
    m_appearance->storeClosingState();
    if (!SaveModified()) {
        event->ignore();
        return;
    }
    m_doc->StopUpdate();
    m_updateTimer->stop();
    storeLayoutIntoSettings();
    storeRecentFiles();
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
