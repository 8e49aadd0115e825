#pragma once

#include <QString>

class QSettings;

namespace tessera {

// Key trees of the settings store. Key paths are relative to the store's current group and
// use "/" between levels ("\" is accepted too); "" is the store's top. A key exists when it
// holds a value or a subkey.

bool RegKeyExists(QSettings &store, const QString &key);

// Copies the tree of base/from to base/to: every value with its type, then every subkey
// recursively; the destination is created as needed and values already there are
// overwritten. Returns 1 on success, 0 when base/from does not exist or the store cannot be
// written; a write failure is reported through the message hook.
int RegDataCopy(QSettings &store, const QString &base, const QString &from, const QString &to);

// Deletes root/subkey with all its values and subkeys. Returns 1 when the key existed and is
// gone, 0 otherwise. An empty subkey is refused, so a slip never empties the whole store.
int DeleteRegKey(QSettings &store, const QString &root, const QString &subkey);

} // namespace tessera
