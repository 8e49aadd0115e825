#include "app/core/SettingsValues.h"

#include <QStringList>

#include <limits>

std::optional<quint32> ReadNumber(const QSettings &store, const QString &key)
{
    const QVariant v = store.value(key);
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    qint64 n = 0;
    switch (v.typeId()) {
    case QMetaType::QString:
        n = v.toString().trimmed().toLongLong(&ok);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        n = v.toLongLong(&ok);
        if (v.typeId() == QMetaType::ULongLong
            && v.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            ok = false;
        break;
    default:
        break;
    }
    if (!ok || n < std::numeric_limits<qint32>::min() || n > qint64(std::numeric_limits<quint32>::max()))
        return std::nullopt;
    return quint32(n);
}

std::optional<QString> ReadText(const QSettings &store, const QString &key, qsizetype maxChars)
{
    const QVariant v = store.value(key);
    QString text;
    switch (v.typeId()) {
    case QMetaType::QString:
        text = v.toString();
        break;
    case QMetaType::QStringList:
        text = v.toStringList().join(QLatin1Char(','));
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        // A number is also a text, as it would be after a round trip through the file.
        text = v.toString();
        break;
    default:
        return std::nullopt;
    }
    if (text.size() > maxChars)
        return std::nullopt;
    return text;
}

std::optional<QByteArray> ReadBinary(const QSettings &store, const QString &key)
{
    const QVariant v = store.value(key);
    if (v.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return v.toByteArray();
}
