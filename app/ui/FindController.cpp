#include "app/ui/FindController.h"

#include "app/core/AppSettings.h"
#include "app/core/DialogPlacement.h"
#include "app/ui/CFindDlg.h"
#include "app/ui/EscapeWatch.h"
#include "app/ui/PromptTexts.h"
#include "corelib/Messages.h"
#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"
#include "view/table/ListTable.h"
#include "view/table/RowFind.h"
#include "view/widgets/CQuotraView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QScrollBar>

#include <optional>

FindController::FindController(AppSettings &settings, CQuotraView &view, QWidget *window, Prompts &prompts)
    : QObject(window)
    , m_settings(settings)
    , m_view(view)
    , m_window(window)
    , m_prompts(prompts)
{
    tessera::CJre::SetFuzzyFold(settings.fuzzyOptions);
    tessera::CJre::Init(1);
}

QString FindController::initialText() const
{
    QString text = m_lastText;
    const QPoint clicked = m_view.lastRightClick();
    if (!clicked.isNull() && m_settings.searchGet) {
        const QModelIndex index = m_view.indexAt(m_view.viewport()->mapFromGlobal(clicked));
        if (index.isValid()) {
            const QString cell = m_view.listModel().table().cellTextAt(index.row(), index.column());
            qsizetype lead = 0;
            while (lead < cell.size() && cell.at(lead).isSpace())
                ++lead;
            if (lead < cell.size())
                text = cell.mid(lead);
        }
    }
    return text;
}

void FindController::find()
{
    if (!m_window || !m_view.isVisible())
        return;
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    const QString text = initialText();
    m_view.clearLastRightClick();
    m_dialog = new CFindDlg(m_jre, m_settings, m_window);
    m_dialog->setOptions(m_settings.searchRegular && tessera::CJre::s_bJre32,
        m_settings.searchFuzzy && tessera::CJre::s_bHmJre);
    connect(m_dialog, &tessera::CXFindDialog::findNext, this, &FindController::onDialogFindNext);
    connect(m_dialog, &tessera::CXFindDialog::closing, this, [this] { m_dialog = nullptr; });
    unsigned flags = 0;
    if (m_settings.searchCase)
        flags |= tessera::CXFindDialog::FrMatchCase;
    if (m_lastDown)
        flags |= tessera::CXFindDialog::FrDown;
    m_dialog->Create(text, flags, m_window);
}

void FindController::moveDialogOffRow(int row)
{
    if (!m_dialog || !m_dialog->isVisible())
        return;
    const QWidget *viewport = m_view.viewport();
    const QRect rowRect(viewport->mapToGlobal(QPoint(0, m_view.rowViewportPosition(row))),
        QSize(viewport->width(), m_view.rowHeight(row)));
    const QScreen *screen = m_dialog->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    if (const std::optional<QPoint> to = PlaceOffRow(m_dialog->frameGeometry(), rowRect, available))
        m_dialog->move(*to);
}

void FindController::onDialogFindNext(bool down)
{
    if (!m_dialog)
        return;
    m_lastText = m_dialog->findText();
    m_lastDown = down;
    report(findInList(down));
}

void FindController::findNext(bool up)
{
    if (m_lastText.isEmpty()) {
        find();
        return;
    }
    report(findInList(!up));
}

void FindController::report(FindEnd end)
{
    switch (end) {
    case FindEnd::NotFound:
        TellNumbered(m_prompts, Ids::MsgNotFound);
        break;
    case FindEnd::Limit:
        TellNumbered(
            m_prompts, Ids::MsgFindLimit, { m_jre.pattern() }, tessera::MbOk | tessera::MbIconWarning);
        break;
    case FindEnd::Found:
    case FindEnd::Stopped:
        break;
    }
}

FindEnd FindController::findInList(bool down)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::vector<int> selected = m_view.selectedRows();
    const ListTable &table = m_view.listModel().table();
    const int n = table.rowCount();
    std::optional<int> first;
    if (!selected.empty())
        first = selected.front();
    const int start = FindStartRow(n, first, down);
    if (start < 0 && first) {
        // Not found at once: only the row the search started from loses its selection.
        std::vector<int> rest(selected.begin() + 1, selected.end());
        m_view.selectRows(rest);
        QApplication::restoreOverrideCursor();
        return FindEnd::NotFound;
    }
    m_view.selectRows({});
    FindResult result;
    if (start >= 0) {
        // A long search lets the window paint and watches for Escape every few tens of
        // milliseconds; over many rows it shows its progress as well.
        const int rows = down ? n - start : start + 1;
        std::optional<tessera::ProgressRun> run;
        if (rows > kFindProgressRows)
            run.emplace(m_view.progressDisplay(), Ids::ProgressFinding);
        EscapeWatch escape;
        QElapsedTimer sinceEvents;
        sinceEvents.start();
        result = FindRow(table, m_jre, start, down, [&](int searched, int total) {
            if (sinceEvents.elapsed() < kFindEventsIntervalMs)
                return true;
            if (run)
                run->progress(searched, total);
            const bool stop = escape.pressedSinceLastCheck();
            sinceEvents.restart();
            return !stop;
        });
    }
    if (result.end == FindEnd::Found) {
        m_view.selectRows({ result.row });
        m_view.scrollRowFullyIntoView(result.row);
        moveDialogOffRow(result.row);
    }
    QApplication::restoreOverrideCursor();
    return result.end;
}
