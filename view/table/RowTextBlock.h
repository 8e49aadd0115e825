#pragma once

#include <QString>

#include <vector>

class ListTable;

// The rows as text for the clipboard and for dragging rows out: one line per row, ended by
// CR LF, holding the cells of list columns 1 to n-1 in list-column order (the order the
// columns were created in, not the display order), each cell followed by ','. A cell is its
// display text with every ',' removed, line breaks written as "<br>" and white space trimmed
// at both ends. With a caption line the column captions come first, in the same form.
struct RowTextBlock {
    enum Status {
        Ok,
        NothingSelected, // no rows: nothing is produced
        TooLarge, // over the 4 MiB limit (text 2202)
    };
    Status status = NothingSelected;
    QString text;
};

// The limit of the block in bytes: two per character, plus two for each line's terminating
// zero; the block must stay within it.
inline constexpr qint64 kRowTextBlockLimit = 4 * 1024 * 1024 - 1;

// The block for `rows` (row indices, ascending) of `table`.
RowTextBlock BuildRowTextBlock(const ListTable &table, const std::vector<int> &rows, bool withCaptions);

// One cell as the block writes it.
QString RowTextCell(const QString &displayText);
// The same appended to `line`.
void AppendRowTextCell(QString &line, QStringView displayText);
