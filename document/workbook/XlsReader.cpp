// .xls through the reader program: it parses the file with libfreexl and writes the grid to
// its standard output (document/workbook/XlsStream.h). The library has read far past its own
// buffers on damaged files, so it runs in a process of its own, with a time limit and an
// address-space limit, and whatever that process does, this side gets a grid or an error.
#include "document/workbook/XlsReader.h"

#include "corelib/DataFiles.h"
#include "document/ErrorCodes.h"
#include "document/workbook/WorkbookGrid.h"
#include "document/workbook/XlsStream.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>

#include <sys/resource.h>

// The sanitizers reserve terabytes of address space for their shadow memory, so a child
// built with one cannot live under an address-space limit.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUOTRA_XLS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define QUOTRA_XLS_SANITIZED 1
#endif
#endif

namespace {

#ifndef QUOTRA_XLS_SANITIZED
// Far above what a sheet within the default limits needs (the library holds a cell table
// of the sheet's whole claimed size besides the grid), far below what would push the
// machine into swapping.
constexpr rlim_t kReaderAddressSpace = rlim_t(6) << 30;
#endif

tessera::Error damaged(const QString &why)
{
    return tessera::Error { WorkbookErrorDamaged,
        QStringLiteral("the .xls workbook is damaged and cannot be read (%1)").arg(why) };
}

} // namespace

QStringList XlsReaderFolders()
{
    const QString forced = qEnvironmentVariable(kXlsReaderDirVariable);
    if (!forced.isEmpty())
        return { QDir::cleanPath(forced) };
    return tessera::FoldersBesideProgram(
        QStringLiteral("../libexec/quotra"), QStringLiteral(QUOTRA_INSTALL_LIBEXECDIR));
}

QString FindXlsReader()
{
    for (const QString &folder : XlsReaderFolders()) {
        const QFileInfo program(folder + QLatin1Char('/') + QLatin1StringView(kXlsReaderProgram));
        if (program.isFile() && program.isExecutable())
            return program.absoluteFilePath();
    }
    return {};
}

tessera::Result<WorkbookGrid> ReadXlsGrid(const QString &path, const WorkbookLimits &limits)
{
    const QString reader = FindXlsReader();
    if (reader.isEmpty()) {
        return tessera::Error { WorkbookErrorReaderMissing,
            QStringLiteral("the .xls reader %1 is missing (looked in %2)")
                .arg(QLatin1StringView(kXlsReaderProgram), XlsReaderFolders().join(QStringLiteral(", "))) };
    }

    QProcess process;
    process.setProgram(reader);
    process.setArguments(XlsReaderArguments(path, limits));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    // Runs in the child between fork and exec, where only async-signal-safe calls belong.
    // A reader that crashes leaves no core file behind.
    process.setChildProcessModifier([] {
        const struct rlimit none {
            0, 0
        };
        setrlimit(RLIMIT_CORE, &none);
#ifndef QUOTRA_XLS_SANITIZED
        const struct rlimit space {
            kReaderAddressSpace, kReaderAddressSpace
        };
        setrlimit(RLIMIT_AS, &space);
#endif
    });
    QElapsedTimer clock;
    clock.start();
    const qint64 allowed = std::max(limits.xlsReaderMilliseconds, 1);
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(static_cast<int>(allowed))) {
        process.kill();
        process.waitForFinished();
        return tessera::Error { WorkbookErrorReaderMissing,
            QStringLiteral("the .xls reader %1 cannot be started: %2").arg(reader, process.errorString()) };
    }

    // Read as the output comes, so that a reader writing without end is stopped at the most
    // a result within the limits can take instead of filling this process's memory.
    const qint64 bound = XlsStreamBound(limits);
    QByteArray out;
    auto stop = [&process](const QString &why) {
        process.kill();
        process.waitForFinished();
        return damaged(why);
    };
    for (;;) {
        out += process.readAllStandardOutput();
        if (out.size() > bound)
            return stop(QStringLiteral("the reader wrote more than the limits allow"));
        if (process.state() == QProcess::NotRunning)
            break;
        const qint64 left = allowed - clock.elapsed();
        if (left <= 0)
            return stop(QStringLiteral("the reader took longer than %1 s").arg(allowed / 1000.0));
        process.waitForReadyRead(static_cast<int>(std::min<qint64>(left, 500)));
    }
    out += process.readAllStandardOutput();
    if (out.size() > bound)
        return damaged(QStringLiteral("the reader wrote more than the limits allow"));
    if (process.exitStatus() != QProcess::NormalExit)
        return damaged(QStringLiteral("the reader stopped on it"));
    if (process.exitCode() != 0)
        return damaged(QStringLiteral("the reader failed with exit code %1").arg(process.exitCode()));
    return ReadXlsStream(out, limits);
}
