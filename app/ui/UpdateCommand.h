#pragma once

#include <QStringList>

class CQuotraDoc;
class CQuotraView;
class StatusBarPanes;

// The codes of the rows the list shows, in display order.
QStringList ShownCodes(const CQuotraView &view);

// The update command (32772, F5). With rows selected, or while a run is in progress, it is
// the view's update of the selected rows. With nothing selected it updates every row that
// the one-minute rule of the document allows, and the status bar says what was started (or
// that no row was due). True when a run was started.
bool RunUpdateCommand(CQuotraView &view, CQuotraDoc &doc, StatusBarPanes &panes);

// A list just opened whose rows were never fetched starts their update at once, instead of
// showing empty rows until the periodic update comes round. Not for unattended runs, which
// update every row a moment later. True when a run was started.
bool UpdateNeverFetchedRows(const CQuotraView &view, CQuotraDoc &doc);
