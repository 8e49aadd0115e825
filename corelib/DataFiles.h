#pragma once

#include <QString>
#include <QStringList>

namespace tessera {

// The folder of the running program: the application's folder and the one /proc/self/exe
// resolves to (they differ behind a symbolic link), cleaned, each once.
QStringList ProgramFolders();

// The same folders, each followed in turn by `relative` below it, then `installed`: where a
// program's files are looked for in a build folder, an installed tree and the install prefix.
QStringList FoldersBesideProgram(const QString &relative, const QString &installed);

// The folders where the program's data files (the language module, the help page, the
// default list) are looked for, in order: the running program's own folder (a build folder
// keeps them beside the binaries), "<program folder>/../share/quotra" (an installed tree,
// wherever its prefix was put, also under DESTDIR or in a Debian package), and the data
// folder of the configured install prefix.
QStringList DataFolders();

// The first existing file `name` in DataFolders(); empty when there is none.
QString FindDataFile(const QString &name);

} // namespace tessera
