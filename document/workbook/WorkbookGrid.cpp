#include "document/workbook/WorkbookGrid.h"

#include "document/ErrorCodes.h"

#include <QDir>
#include <QTemporaryFile>

WorkbookFormat DetectWorkbookFormat(QByteArrayView head)
{
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06"))
        return WorkbookFormat::Xlsx;
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return WorkbookFormat::Xls;
    return WorkbookFormat::None;
}

tessera::Result<WorkbookGrid> ReadWorkbookGrid(
    QByteArrayView data, const QString &path, const WorkbookLimits &limits)
{
    switch (DetectWorkbookFormat(data)) {
    case WorkbookFormat::Xlsx:
        return ReadXlsxGrid(data, limits);
    case WorkbookFormat::Xls: {
        Q_UNUSED(path);
        // The library reads files only; the bytes in hand are what was checked, so they are
        // what it reads.
        QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/quotra-xls-XXXXXX.xls"));
        if (!copy.open() || copy.write(data.data(), data.size()) != data.size() || !copy.flush())
            return tessera::Error { WorkbookErrorDamaged,
                QStringLiteral("the workbook cannot be copied for reading") };
        return ReadXlsGrid(copy.fileName(), limits);
    }
    case WorkbookFormat::None:
        break;
    }
    return tessera::Error { WorkbookErrorNotWorkbook,
        QStringLiteral("the file is not a workbook (neither ZIP nor OLE)") };
}
