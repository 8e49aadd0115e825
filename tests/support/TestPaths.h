#pragma once

// Folders that tests read from: the source tree, the build's program folder and the build
// folder itself. They are found from the test program's own place (every program of a build
// lands in <build>/bin), so no absolute path of the checkout is compiled into a test: a clone
// in another folder compiles to the same objects and reuses the compiler cache.

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QString>

#include <initializer_list>

#ifndef QUOTRA_BIN_TO_SOURCE
#error "QUOTRA_BIN_TO_SOURCE (the source folder relative to the build's bin folder) is not set"
#endif

namespace quotra::test {

inline const QString &binDir()
{
    static const QString dir
        = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
    return dir;
}

// The parts joined with '/' and cleaned ("a/../b" becomes "b"); a last part that ends in '/'
// keeps it, so a file name can follow.
inline QString joinedPath(std::initializer_list<QStringView> parts)
{
    QString path;
    for (QStringView part : parts) {
        if (!path.isEmpty())
            path += u'/';
        path += part;
    }
    const bool folder = path.endsWith(u'/');
    path = QDir::cleanPath(path);
    if (folder)
        path += u'/';
    return path;
}

// <build>/bin/relative
inline QString binPath(QStringView relative)
{
    return joinedPath({ binDir(), relative });
}

// <build>/relative
inline QString buildPath(QStringView relative)
{
    return joinedPath({ binDir(), u"..", relative });
}

// <source>/relative
inline QString sourcePath(QStringView relative)
{
    return joinedPath({ binDir(), QStringLiteral(QUOTRA_BIN_TO_SOURCE), relative });
}

// <source>/tests/data/relative
inline QString dataPath(QStringView relative)
{
    return joinedPath({ sourcePath(u"tests/data"), relative });
}

// A folder of engine modules set up by the build for the tests (none, regex-only, broken), as
// the engines' environment variable takes it.
inline QByteArray engineSet(QStringView name)
{
    return joinedPath({ buildPath(u"engine-sets"), name }).toLocal8Bit();
}

} // namespace quotra::test
