#pragma once

#include "view/table/CellColors.h"

struct QuoteRecord;
class CQuotraView;

// The list's commands on its selection: delete, copy, the quote and chart pages of the first
// selected row, the update of the selected rows and their colours. Each reads the selection
// of the view it was made for and works on the view's document.
class ListCommands {
public:
    explicit ListCommands(CQuotraView &view);

    // 4015: the selected rows leave the document (marked modified); the row at the last
    // selected position becomes the selection.
    void deleteSelected();
    // 57634: the selection as its text block with captions on the clipboard. False (after
    // saying why when it was too large or the clipboard failed) when nothing was copied.
    bool copySelection();
    void openQuotePage(); // 32775, double click, Enter
    void openChartPage(); // 32780
    // 32772: starts a run of the selected rows due for one; during a run asks whether to
    // stop it instead. True when a run was started.
    bool updateSelected();
    // 32791-32796, 5020: see CQuotraView::applyRowColour.
    bool applyRowColour(int parts, bool reset, ColorRef text, ColorRef back);

private:
    // The record of the first selected row with its kind and exchange known (looked up on
    // the site in the background when needed); null when no row is selected or Escape
    // stopped the look-up.
    QuoteRecord *firstSelectedResolved();

    CQuotraView &m_view;
};
