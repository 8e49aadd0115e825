#pragma once

#include "corelib/Result.h"
#include "document/ColumnLayout.h"
#include "document/RecordMap.h"
#include "document/doc/FileKind.h"

#include <QString>
#include <QStringList>

class TableSource;

// What the document's save routing needs from whoever shows the list: the window's view, or
// the command-line session. Every member is read at the moment of the save.
class SaveHost {
public:
    virtual ~SaveHost() = default;

    // The layout a list file stores with its rows.
    virtual ColumnLayout layoutToStore() const = 0;
    // The table as the list shows it, which CSV, JSON and workbook exports write; may be
    // null when the host has none (those exports then fail with a message).
    virtual const TableSource *tableToExport() const = 0;
    // Asks the user for a file name (the Save As dialog); empty when cancelled or when
    // nobody can be asked.
    virtual QString askSavePath(const QString &suggested)
    {
        Q_UNUSED(suggested);
        return {};
    }
    // Whether askSavePath reaches someone who can answer; when not, a save that would ask
    // about a workbook or a name taken by another file writes a name of its own instead.
    virtual bool canAskSavePath() const { return false; }
    // Writes the file. The default writes through SaveDocumentFile and keeps the number of
    // rows a workbook left without links (linksLeftOut).
    virtual tessera::Status writeFile(const QString &target, FileKind kind, const RecordMap &rows);
    // The rows the last writeFile wrote without their links; the document clears it first.
    int linksLeftOut() const { return m_linksLeftOut; }
    void setLinksLeftOut(int rows) { m_linksLeftOut = rows; }

    // The list's title at the moment of the save, which names a workbook's sheet; the
    // document sets it before each write.
    void setListTitle(const QString &title) { m_listTitle = title; }
    const QString &listTitle() const { return m_listTitle; }

private:
    QString m_listTitle;
    int m_linksLeftOut = 0;
};

// How a save ended.
struct SaveOutcome {
    enum Kind {
        Saved, // a list file or workbook: it is now the document's file
        Exported, // CSV or JSON: written, the document's name and modified flag unchanged
        Cancelled, // no name was given (the user cancelled, or nobody could be asked)
        Failed, // the file could not be written; `message` says why
    };
    Kind kind = Cancelled;
    QString target; // the file written or attempted; empty when cancelled
    QString message;
    // Set when the save wrote a numbered name because its own name was taken by a file that
    // is no list (text 2240): the caller tells the user.
    QString notice;
    // A workbook written without the links of this many rows (text 2229): the caller tells
    // the user.
    int linksLeftOut = 0;

    bool wroteFile() const { return kind == Saved || kind == Exported; }
};

// The notices a save leaves for the user, in the order they are shown: the links left out of
// a workbook, then the numbered name written beside another file.
QStringList SaveNotices(const SaveOutcome &outcome);
