#include "app/ui/UpdateCommand.h"

#include "app/core/UpdateSchedule.h"
#include "app/ui/StatusBarPanes.h"
#include "corelib/EditString.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "view/table/ListTableModel.h"
#include "view/widgets/CQuotraView.h"

#include <QDateTime>

QStringList ShownCodes(const CQuotraView &view)
{
    QStringList codes;
    const ListTable &table = view.listModel().table();
    codes.reserve(table.rowCount());
    for (int row = 0; row < table.rowCount(); ++row) {
        if (const QuoteRecord *r = table.record(row))
            codes << r->code;
    }
    return codes;
}

bool RunUpdateCommand(CQuotraView &view, CQuotraDoc &doc, StatusBarPanes &panes)
{
    if (view.selectedCount() > 0 || doc.isUpdating())
        return view.updateSelectedRows();
    const QStringList due = doc.DueForUpdate(ShownCodes(view), QDateTime::currentSecsSinceEpoch());
    if (due.isEmpty()) {
        panes.showMessage(tessera::ResourceString(Ids::MsgNoRowDue));
        return false;
    }
    doc.StartUpdate(due);
    // After the run's start, which shows its own progress text in the same pane.
    panes.showMessage(tessera::FormatResourceString(
        Ids::MsgUpdatingAllRows, { tessera::EditString(static_cast<qint64>(due.size())) }));
    return true;
}

bool UpdateNeverFetchedRows(const CQuotraView &view, CQuotraDoc &doc)
{
    // Not held back by the one-minute rule: a row that was never fetched has no update to
    // be recent (a list file written just after its codes were added stamps them then).
    const QStringList never = NeverFetchedRows(doc.rows(), ShownCodes(view));
    if (never.isEmpty())
        return false;
    doc.StartUpdate(never);
    return true;
}
