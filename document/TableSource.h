#pragma once

#include <QString>
#include <QStringView>

struct QuoteRecord;

// The table as the list shows it, for the exports and the save routing: the exported
// columns (every list column but the anchor, in display position order) and the rows in
// display order, each cell as its display text. The table rules implement it, so the
// document layer never includes the view.
class TableSource {
public:
    virtual ~TableSource() = default;

    virtual int columnCount() const = 0; // exported columns
    virtual int columnField(int column) const = 0; // field number 1..39 of that column
    virtual QString columnCaption(int column) const = 0; // header text
    // Alignment of that column as the list shows it: 0 left, 1 right, 2 centre.
    virtual int columnAlign(int column) const
    {
        Q_UNUSED(column);
        return 0;
    }
    virtual int rowCount() const = 0;
    virtual const QuoteRecord &rowRecord(int row) const = 0;
    virtual QString cellText(int row, int column) const = 0; // display text, untrimmed
    // The same text as a view, for the export loops: tables point straight into the record
    // where the display text is the stored one; this default goes through `scratch`. Valid
    // until the record or `scratch` changes.
    virtual QStringView cellView(int row, int column, QString &scratch) const
    {
        scratch = cellText(row, column);
        return scratch;
    }
};
