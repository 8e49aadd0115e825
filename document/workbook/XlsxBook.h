#pragma once

#include "corelib/Result.h"
#include "document/workbook/TypedInput.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>

#include <array>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// One `.xlsx` file being written through libxlsxwriter: sheets, a cache of cell formats, and
// cells filled by the typed-input rule. Errors are kept, the first one wins; close() reports it.
class XlsxBook {
public:
    // `constantMemory` streams each sheet row by row (rows must then come in order).
    XlsxBook(const QString &file, bool constantMemory);
    ~XlsxBook();
    XlsxBook(const XlsxBook &) = delete;
    XlsxBook &operator=(const XlsxBook &) = delete;

    bool ok() const { return m_error.isEmpty(); }

    lxw_worksheet *addSheet(const QString &name);

    // The format of cells with alignment `align` (0 left, 1 right, 2 centre, -1 none), the
    // number format `localFormat` (local form, written invariant; empty for none) and, with
    // `link`, the blue underlined look of a hyperlink. One object per combination.
    lxw_format *format(int align, QStringView localFormat, bool link = false);

    // A text cell as typed: a number or date becomes a number cell in `fmt` (a date in a
    // cell without a number format gets the format typing would give it, a percentage the
    // percent format of `localFormat`, PercentNumberFormat), other texts a text cell, an
    // empty text no cell.
    void writeTyped(lxw_worksheet *sheet, int row, int column, QStringView text, lxw_format *fmt,
        int align = -1, QStringView localFormat = {}, bool link = false);
    // A text cell, never converted.
    void writeText(lxw_worksheet *sheet, int row, int column, QStringView text, lxw_format *fmt);
    // A hyperlink to `url` on a cell that shows `text` as typed, or as text with `asText`.
    // False when the link was left out: the sheet holds its 65,530 links already or the
    // address is too long.
    bool writeLink(lxw_worksheet *sheet, int row, int column, const QString &url, QStringView text, int align,
        QStringView localFormat, bool asText = false);

    void setColumn(lxw_worksheet *sheet, int column, double width, lxw_format *fmt);

    // Writes the file out. Fails with WorkbookErrorWrite and the library's reason.
    tessera::Status close();

private:
    struct RecentFormat {
        int align = 0;
        bool link = false;
        QString local;
        lxw_format *format = nullptr;
    };
    lxw_format *formatByKey(int align, QStringView localFormat, bool link);
    void fail(const char *what, int code);
    std::array<RecentFormat, 8> m_recent;
    size_t m_nextRecent = 0;
    QByteArray m_utf8; // the cell text in UTF-8, reused
    QHash<QString, lxw_format *> m_formats;
    QHash<lxw_worksheet *, int> m_links;
    lxw_workbook *m_book = nullptr;
    long m_packedBefore = 0; // the packing wrapper's calls when the book was started
    QString m_error;
};
