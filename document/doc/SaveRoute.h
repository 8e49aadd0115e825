#pragma once

#include "document/doc/FileKind.h"
#include "document/doc/SaveTarget.h"

#include <QString>

#include <functional>

// How a save was asked for.
enum class SaveRequest {
    Plain, // Save, the question before replacing a list, an unattended run: the document's name
    Chosen, // a name the user picked in the save dialog, which asked before replacing a file
};

// What already lies at a name a save would write.
enum class ExistingFile {
    None, // nothing
    Own, // the document's own file
    ListFile, // a list file this program reads
    Other, // anything else, which a save never replaces unasked
};
using ExistingFileProbe = std::function<ExistingFile(const QString &path)>;

// Where a save goes: a file to write, or a name to propose when the user must choose one.
struct SaveRoute {
    QString target; // empty: ask, proposing `proposal`
    QString proposal;
    // When `target` is a numbered name: the name it stands in for, taken by another file.
    QString displaced;
};

// The routing of a save of `path` by a document of kind `kind`, on top of SaveTarget's naming:
//  - a plain save never writes a workbook, except the time-stamped one of an unattended run
//    into its output folder: it proposes NAME.kabu beside the workbook instead (when nobody
//    can be asked it writes NAME.kabu);
//  - a name the user chose in the dialog is written as it is;
//  - otherwise an existing file is replaced only when it is the document's own file or a list
//    file this program reads. Any other file stays: the first free "NAME (2).ext",
//    "NAME (3).ext" ... is proposed, or written when nobody can be asked.
SaveRoute RouteSave(const QString &path, SaveRequest request, FileKind kind, const SaveNamingContext &context,
    bool canAsk, const ExistingFileProbe &existing);

// `path` with the extension ".kabu" in place of its own (or added when it has none).
QString ListFileNameOf(const QString &path);

// What lies at `path` in the file system; `ownPath` is the document's own file.
ExistingFile ProbeExistingFile(const QString &path, const QString &ownPath);
