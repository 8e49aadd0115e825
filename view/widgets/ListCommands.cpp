#include "view/widgets/ListCommands.h"

#include "corelib/Messages.h"
#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "quotes/SecurityCode.h"
#include "quotes/fetch/FetchQuote.h"
#include "quotes/fetch/HttpRequest.h"
#include "view/table/RowTextBlock.h"
#include "view/widgets/BackgroundWork.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/OpenAddress.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QUrl>

#include <algorithm>

ListCommands::ListCommands(CQuotraView &view)
    : m_view(view)
{ }

void ListCommands::deleteSelected()
{
    const std::vector<int> rows = m_view.selectedRows();
    if (rows.empty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    tessera::ProgressRun run(m_view.progressDisplay(), Ids::ProgressUpdating);
    const ListTableModel &model = m_view.listModel();
    const int lastSelected = rows.back();
    QStringList codes;
    codes.reserve(static_cast<qsizetype>(rows.size()));
    for (const int row : rows) {
        if (const QuoteRecord *r = model.record(row))
            codes << r->code;
    }
    m_view.clearSelection();
    CQuotraDoc &doc = m_view.document();
    doc.removeRows(codes);
    doc.MarkModified();
    const int select = std::min(lastSelected, model.rowCount() - 1);
    if (select >= 0) {
        m_view.selectRows({ select });
        m_view.scrollRowIntoView(select);
    }
    run.finish();
    QApplication::restoreOverrideCursor();
}

bool ListCommands::copySelection()
{
    const RowTextBlock block = BuildRowTextBlock(m_view.listModel().table(), m_view.selectedRows(), true);
    if (block.status == RowTextBlock::NothingSelected)
        return false;
    if (block.status == RowTextBlock::TooLarge) {
        tessera::ShowResourceMessage(
            Ids::MsgSelectionTooLargeToCopy, {}, tessera::MbOk | tessera::MbIconWarning);
        return false;
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        tessera::ShowResourceMessage(Ids::MsgCopyFailed, {}, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    clipboard->setText(block.text);
    return true;
}

QuoteRecord *ListCommands::firstSelectedResolved()
{
    const std::vector<int> rows = m_view.selectedRows();
    QuoteRecord *r = rows.empty() ? nullptr : m_view.listModel().record(rows.front());
    if (!r || (r->exchange_suffix != 0 && !r->kind.isEmpty()))
        return r;
    // The page address needs the code's kind and exchange: one look-up on the site, made in
    // the background on a copy of the row (the list may change while it waits).
    QuoteRecord probe(r->code);
    probe.kind = r->kind;
    probe.exchange_suffix = r->exchange_suffix;
    bool resolved = false;
    const bool finished = RunInBackground([&probe, &resolved](const std::atomic<bool> &stop) {
        HttpRequest request;
        request.setStopFlag(&stop);
        resolved = ResolveKindAndSuffix(probe, request);
    });
    if (!finished)
        return nullptr; // stopped with Escape: nothing opens
    r = m_view.document().record(probe.code);
    if (r && resolved) {
        r->kind = probe.kind;
        r->exchange_suffix = probe.exchange_suffix;
    }
    return r;
}

void ListCommands::openQuotePage()
{
    if (const QuoteRecord *r = firstSelectedResolved())
        OpenAddress(QUrl(BrowserAddress(*r)));
}

void ListCommands::openChartPage()
{
    if (const QuoteRecord *r = firstSelectedResolved())
        OpenAddress(QUrl(ChartAddress(*r)));
}

bool ListCommands::updateSelected()
{
    CQuotraDoc &doc = m_view.document();
    if (doc.isUpdating()) {
        // The run holds between two codes while the question is open, so it cannot race
        // the answer; the box's own event loop still applies what arrives meanwhile.
        doc.HoldUpdate();
        const int answer = tessera::ShowResourceMessage(Ids::MsgStopRunningUpdate, {},
            tessera::MbYesNo | tessera::MbIconQuestion | tessera::MbDefButton2);
        doc.ReleaseUpdate();
        if (answer == tessera::IdYes)
            doc.StopUpdate();
        return false;
    }
    return doc.UpdateSelected(m_view.selectedCodes());
}

bool ListCommands::applyRowColour(int parts, bool reset, ColorRef text, ColorRef back)
{
    const std::vector<int> rows = m_view.selectedRows();
    if (rows.empty())
        return false;
    tessera::ProgressRun run(m_view.progressDisplay(), Ids::ProgressColouring);
    const ListTableModel &model = m_view.listModel();
    bool changed = false;
    qint64 done = 0;
    for (const int row : rows) {
        if (QuoteRecord *record = model.record(row))
            changed = ApplyRowColor({ record }, parts, reset, text, back) || changed;
        run.progress(++done, static_cast<qint64>(rows.size()));
    }
    run.finish();
    m_view.clearSelection();
    m_view.viewport()->update();
    if (changed)
        m_view.document().SetModifiedFlag(true);
    return true;
}
