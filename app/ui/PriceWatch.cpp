#include "app/ui/PriceWatch.h"

#include "app/core/AppSettings.h"
#include "app/ui/AlertNotifier.h"
#include "app/ui/CAlertDlg.h"
#include "app/ui/CAlertListDlg.h"
#include "app/ui/CommandTable.h"
#include "app/ui/StatusBarPanes.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "history/AlertBook.h"
#include "history/HistoryLocation.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "view/history/HistoryPane.h"
#include "view/table/ListTableModel.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/Prompts.h"

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QMainWindow>

#include <cstdio>

using namespace Qt::StringLiterals;

PriceWatch::PriceWatch(const Parts &parts, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
    , m_notifier(new AlertNotifier(this))
{
    m_pane = new HistoryPane(parts.prompts);
    m_pane->setHistoryFile(HistoryFilePath(parts.settings.historyFile));
    m_dock = new QDockWidget(tessera::ResourceString(Ids::CaptionPriceHistory), &parts.window);
    m_dock->setObjectName(u"HistoryDock"_s); // its place and visibility go with the window state
    m_dock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::RightDockWidgetArea);
    m_dock->setWidget(m_pane);
    parts.window.addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    connect(m_dock, &QDockWidget::dockLocationChanged, m_pane, [this](Qt::DockWidgetArea area) {
        m_pane->setOrientation(area == Qt::RightDockWidgetArea ? Qt::Vertical : Qt::Horizontal);
    });

    QAction *toggle = parts.actions.value(Cmd::PriceHistory);
    toggle->setCheckable(true);
    toggle->setChecked(!m_dock->isHidden());
    connect(toggle, &QAction::toggled, m_dock, [this](bool on) {
        m_dock->setVisible(on);
        if (on)
            m_pane->setFocus();
    });
    connect(m_dock, &QDockWidget::visibilityChanged, toggle, [this, toggle](bool) {
        // Visibility also changes when the window is minimised: only the dock's own state counts.
        toggle->setChecked(!m_dock->isHidden());
    });
    connect(parts.actions.value(Cmd::Alert), &QAction::triggered, this, [this] { editAlert(); });
    connect(parts.actions.value(Cmd::AlertList), &QAction::triggered, this, &PriceWatch::showAlertList);

    CQuotraView &view = parts.view;
    connect(&view, &CQuotraView::selectionCountChanged, this, &PriceWatch::followSelection);
    connect(&parts.document, &CQuotraDoc::rowsReset, this, [this] {
        followSelection();
        reloadMarks();
    });
    connect(&parts.document, &CQuotraDoc::rowsInserted, this, [this] {
        followSelection();
        reloadMarks();
    });
    connect(&parts.document, &CQuotraDoc::rowsRemoved, this, &PriceWatch::followSelection);
    connect(&parts.recorder, &HistoryRecorder::stored, m_pane, &HistoryPane::refreshIfShown);
    connect(&parts.recorder, &HistoryRecorder::alertsFired, this, &PriceWatch::onAlertsFired);
    connect(m_notifier, &AlertNotifier::activated, this, [this](const QString &code) {
        m_parts.window.showNormal();
        m_parts.window.raise();
        m_parts.window.activateWindow();
        m_parts.view.selectCode(code);
    });
    followSelection();
    reloadMarks();
}

PriceWatch::~PriceWatch() = default;

void PriceWatch::followSelection()
{
    QStringList codes = m_parts.view.selectedCodes();
    if (codes.isEmpty()) {
        // Nothing chosen yet: the first rows of the list, so that the pane shows the list.
        for (int row = 0; row < m_parts.view.rowCount() && codes.size() < kMaxChartCodes; ++row) {
            if (const QuoteRecord *r = m_parts.view.listModel().record(row))
                codes << r->code;
        }
    }
    m_pane->setCodes(codes);
}

QString PriceWatch::nameOf(const QString &code) const
{
    const QuoteRecord *r = m_parts.document.record(code);
    return r ? r->values[SlotName].toString() : QString();
}

std::unique_ptr<HistoryStore> PriceWatch::openStore(bool create) const
{
    const QString path = HistoryFilePath(m_parts.settings.historyFile);
    if (!create && !QFileInfo::exists(path))
        return nullptr;
    tessera::Result<std::unique_ptr<HistoryStore>> store = HistoryStore::Open(
        path, create ? HistoryStore::OpenMode::Create : HistoryStore::OpenMode::Existing);
    if (!store) {
        m_parts.panes.showMessage(
            tessera::FormatResourceString(Ids::MsgAlertsNotKept, { store.error().message }));
        return nullptr;
    }
    return std::move(*store);
}

void PriceWatch::reloadMarks()
{
    QHash<QString, QString> fired;
    if (std::unique_ptr<HistoryStore> store = openStore(false)) {
        const tessera::Result<std::vector<Alert>> alerts = AlertBook(*store).all();
        if (alerts) {
            for (const Alert &a : *alerts) {
                QStringList conditions;
                for (const AlertCondition &c : a.conditions) {
                    if (c.enabled && !c.armed)
                        conditions << AlertConditionText(c.kind, c.threshold);
                }
                if (!conditions.isEmpty())
                    fired.insert(a.code, conditions.join(u"、"_s));
            }
        }
    }
    m_parts.view.listModel().setFiredAlerts(std::move(fired));
}

bool PriceWatch::editAlert()
{
    QStringList codes = m_parts.view.selectedCodes();
    const QModelIndex current = m_parts.view.currentIndex();
    if (codes.isEmpty() && current.isValid()) {
        if (const QuoteRecord *r = m_parts.view.listModel().record(current.row()))
            codes << r->code;
    }
    if (codes.isEmpty())
        return false;
    const QString code = codes.front();
    std::unique_ptr<HistoryStore> store = openStore(true);
    if (!store)
        return false;
    AlertBook book(*store);
    const tessera::Result<std::optional<Alert>> found = book.find(code);
    if (!found) {
        m_parts.prompts.message(
            tessera::FormatResourceString(Ids::MsgAlertsNotKept, { found.error().message }),
            tessera::MbOk | tessera::MbIconError);
        return false;
    }
    const QuoteRecord *r = m_parts.document.record(code);
    const auto value = [r](int slot) { return r ? HistoryNumber(r->values[slot]) : std::nullopt; };
    CAlertDlg dialog(code, nameOf(code), found->value_or(Alert { code, {}, {} }), value(SlotPrice),
        value(SlotRatio), &m_parts.window);
    if (m_parts.prompts.exec(dialog) != QDialog::Accepted)
        return false;
    const tessera::Status put = book.put(dialog.alert());
    if (!put) {
        m_parts.prompts.message(tessera::FormatResourceString(Ids::MsgAlertsNotKept, { put.error().message }),
            tessera::MbOk | tessera::MbIconError);
        return false;
    }
    reloadMarks();
    return true;
}

void PriceWatch::showAlertList()
{
    std::unique_ptr<HistoryStore> store = openStore(true);
    if (!store)
        return;
    AlertBook book(*store);
    CAlertListDlg dialog(
        book, [this](const QString &code) { return nameOf(code); }, &m_parts.window);
    m_parts.prompts.exec(dialog);
    reloadMarks();
}

void PriceWatch::onAlertsFired(const std::vector<AlertFiring> &fired)
{
    reloadMarks();
    if (m_parts.unattended) {
        // Scheduled runs have no session bus and nobody at the window: each firing is a line.
        for (const AlertFiring &f : fired)
            std::fprintf(stdout, "%s\n", AlertFiringLine(f).toUtf8().constData());
        std::fflush(stdout);
        return;
    }
    const std::vector<AlertNotice> notices
        = AlertNotices(fired, [this](const QString &c) { return nameOf(c); });
    if (!m_notifier->show(notices) && !notices.empty())
        m_parts.panes.showMessage(notices.front().body.section(u'\n', 0, 0));
}
