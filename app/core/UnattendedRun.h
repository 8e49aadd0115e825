#pragma once

#include "app/core/CCLineInfo.h"

#include <QDateTime>
#include <QString>

// Rules of an unattended run (/Auto, /Auto2) before it starts.

// The message that ends an unattended run when /Folder names a folder that does not exist;
// empty when there is no folder (the list is saved in place) or it exists.
QString MissingOutputFolderText(const CCLineInfo &line);

// How an unattended run starts. The program's own command line (what cron runs) and an
// address that is exactly a registered task's run unattended. Any other "quotra.kabu:"
// address may come from any web page: the user is asked first, and where there is no screen
// to ask on, the run is refused.
enum class LinkRunStart { Run, AskFirst, Refuse };
LinkRunStart HowUnattendedRunStarts(const CCLineInfo &line, bool registeredTaskAddress, bool canAsk);

// The file the run is expected to write, as the save routing names it at `localNow`: the
// list's own file (a text list's NAME.kabu), or a time-stamped name in the output folder.
QString ExpectedResultPath(const CCLineInfo &line, const QDateTime &localNow);
// The question before a run asked for through an address, naming the list and the result.
QString LinkRunQuestion(const CCLineInfo &line, const QDateTime &localNow);
// The message of a run refused for want of a screen, naming the list.
QString LinkRunRefusedText(const CCLineInfo &line);
