#include "corelib/RegTree.h"

#include "corelib/Messages.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <utility>
#include <vector>

namespace tessera {

namespace {

QString normalise(const QString &key)
{
    QString k = key;
    k.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (k.startsWith(QLatin1Char('/')))
        k.remove(0, 1);
    while (k.endsWith(QLatin1Char('/')))
        k.chop(1);
    return k;
}

QString join(const QString &a, const QString &b)
{
    QString na = normalise(a);
    QString nb = normalise(b);
    if (na.isEmpty())
        return nb;
    if (nb.isEmpty())
        return na;
    return na + QLatin1Char('/') + nb;
}

QString storeErrorText(const QSettings &store)
{
    const QString file = store.fileName();
    switch (store.status()) {
    case QSettings::AccessError:
        return QStringLiteral("設定ファイルに書き込めません。\n") + file;
    case QSettings::FormatError:
        return QStringLiteral("設定ファイルの形式が正しくありません。\n") + file;
    case QSettings::NoError:
        break;
    }
    return QStringLiteral("設定ファイルに書き込めません。\n") + file;
}

// Flushes the store and reports a failure through the message hook.
bool flush(QSettings &store)
{
    store.sync();
    if (store.status() == QSettings::NoError)
        return true;
    ShowMessage(storeErrorText(store), MbOk | MbIconError);
    return false;
}

} // namespace

bool RegKeyExists(QSettings &store, const QString &key)
{
    const QString k = normalise(key);
    store.beginGroup(k);
    const bool exists = !store.childKeys().isEmpty() || !store.childGroups().isEmpty();
    store.endGroup();
    return exists;
}

int RegDataCopy(QSettings &store, const QString &base, const QString &from, const QString &to)
{
    const QString source = join(base, from);
    const QString target = join(base, to);
    if (normalise(from).isEmpty() || normalise(to).isEmpty() || !RegKeyExists(store, source))
        return 0;
    if (source == target)
        return 1;
    if (!store.isWritable()) {
        ShowMessage(storeErrorText(store), MbOk | MbIconError);
        return 0;
    }
    // Take a snapshot of the whole source tree first, so a destination inside the source
    // cannot feed the copy with its own output.
    std::vector<std::pair<QString, QVariant>> values;
    store.beginGroup(source);
    const QStringList keys = store.allKeys();
    values.reserve(size_t(keys.size()));
    for (const QString &k : keys)
        values.emplace_back(k, store.value(k));
    store.endGroup();
    store.beginGroup(target);
    for (const auto &[k, v] : values)
        store.setValue(k, v);
    store.endGroup();
    return flush(store) ? 1 : 0;
}

int DeleteRegKey(QSettings &store, const QString &root, const QString &subkey)
{
    if (normalise(subkey).isEmpty())
        return 0;
    const QString key = join(root, subkey);
    if (!RegKeyExists(store, key) || !store.isWritable())
        return 0;
    store.remove(key);
    if (!flush(store))
        return 0;
    return RegKeyExists(store, key) ? 0 : 1;
}

} // namespace tessera
