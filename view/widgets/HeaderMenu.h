#pragma once

class CQuotraView;
class QMenu;
class QWidget;

// The header's menu for list column `column` of the view: sort ascending and descending and
// the three alignments (not for the anchor column), then the columns sub-menu (every field,
// the shown ones checked, in the header's menu order). The caller shows and frees it.
QMenu *BuildHeaderMenu(CQuotraView &view, int column, QWidget *parent);
