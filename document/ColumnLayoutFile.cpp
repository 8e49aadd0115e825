#include "document/ColumnLayoutFile.h"

#include "document/BinaryArchive.h"
#include "document/RegularFile.h"
#include "document/SafeSave.h"

#include <QFile>

tessera::Result<ColumnLayout> ReadColumnLayoutFile(QByteArrayView data)
{
    BinaryReader in(data);
    const quint32 magic = in.readU32();
    if (!in.ok())
        return tessera::Error { ColumnLayoutErrorRead, in.error().message };
    if (magic != kColumnLayoutMagic && magic != kOldColumnLayoutMagic) {
        return tessera::Error { ColumnLayoutErrorBadMagic,
            QStringLiteral("offset 0: %1 is no column layout file magic").arg(magic) };
    }
    ColumnLayout layout;
    layout.orderList = in.readString();
    layout.alignList = in.readString();
    layout.widthList = in.readString();
    layout.indexList = in.readString();
    layout.packedSort = magic > 20230614 ? in.readU32() : 0;
    if (!in.ok())
        return tessera::Error { ColumnLayoutErrorRead, in.error().message };
    const qsizetype entries = layout.orderList.count(u',');
    if (layout.alignList.count(u',') != entries || layout.widthList.count(u',') != entries
        || layout.indexList.count(u',') != entries) {
        return tessera::Error { ColumnLayoutErrorUnequalLists,
            QStringLiteral("the order, alignment, width and index lists differ in length") };
    }
    return layout;
}

tessera::Result<ColumnLayout> LoadColumnLayoutFile(const QString &path, qint64 maxBytes)
{
    QFile file(path);
    if (tessera::Status opened
        = OpenRegularFileForReading(file, ColumnLayoutErrorNotRegularFile, ColumnLayoutErrorRead);
        !opened)
        return opened.error();
    const qint64 size = file.size();
    if (size > maxBytes) {
        return tessera::Error { ColumnLayoutErrorRead,
            QStringLiteral("cannot open %1: %2 bytes is too large for a column layout file")
                .arg(path)
                .arg(size) };
    }
    // Read at most one byte beyond the limit: a file that grows, or a device that reports no
    // size, still never fills memory.
    const QByteArray data = file.read(maxBytes + 1);
    if (data.size() > maxBytes) {
        return tessera::Error { ColumnLayoutErrorRead,
            QStringLiteral("cannot open %1: too large for a column layout file").arg(path) };
    }
    if (file.error() != QFileDevice::NoError) {
        return tessera::Error { ColumnLayoutErrorRead,
            QStringLiteral("cannot read %1: %2").arg(path, DeviceErrorReason(file)) };
    }
    tessera::Result<ColumnLayout> layout = ReadColumnLayoutFile(QByteArrayView(data));
    if (!layout)
        return tessera::Error { layout.error().code, path + QStringLiteral(": ") + layout.error().message };
    return layout;
}

QByteArray WriteColumnLayoutFile(const ColumnLayout &layout)
{
    BinaryWriter out;
    out.writeU32(kColumnLayoutMagic);
    out.writeString(layout.orderList);
    out.writeString(layout.alignList);
    out.writeString(layout.widthList);
    out.writeString(layout.indexList);
    out.writeU32(layout.packedSort);
    return out.takeBuffer();
}

tessera::Status SaveColumnLayoutFile(const QString &path, const ColumnLayout &layout)
{
    const QByteArray bytes = WriteColumnLayoutFile(layout);
    const tessera::Status saved = SaveFileSafely(path, [&](QIODevice &device) -> tessera::Status {
        if (!WriteAll(device, bytes.constData(), bytes.size()))
            return tessera::Error { ColumnLayoutErrorWrite, DeviceErrorReason(device) };
        return tessera::Ok {};
    });
    if (!saved)
        return tessera::Error { ColumnLayoutErrorWrite, saved.error().message };
    return tessera::Ok {};
}
