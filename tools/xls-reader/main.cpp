// quotra-xls-reader [--max-cells N ...] -- FILE
// Reads the first sheet of one .xls workbook and writes the result, a grid or a failure, to
// standard output in the form of document/workbook/XlsStream.h. Quotra starts it for every
// .xls file it opens, so that a file that crashes the parsing library crashes only this.
// Exit code 0 when a result was written, 2 for a wrong command line, 1 when writing failed.
#include "tools/xls-reader/FreexlGrid.h"

#include "document/workbook/XlsStream.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // The result goes to a private copy of standard output, and standard output itself to
    // standard error, so that nothing the library might print can end up inside the result.
    const int out = ::dup(STDOUT_FILENO);
    if (out < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 1;

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    const tessera::Result<XlsReaderRequest> request = ParseXlsReaderArguments(arguments);
    if (!request.ok()) {
        std::fprintf(stderr, "%s\n", request.error().message.toLocal8Bit().constData());
        return 2;
    }
    const QByteArray stream = WriteXlsStream(ReadXlsGridWithFreexl(request->path, request->limits));
    const bool written = writeAll(out, stream);
    ::close(out);
    return written ? 0 : 1;
}
