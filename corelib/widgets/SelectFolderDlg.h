#pragma once

#include <QString>

class QWidget;

namespace tessera {

// The platform's folder picker with `title` as its caption, starting at `path`.
// Returns 1 when the user chose a folder (then `path` holds it, with native separators),
// 2 when the picker was cancelled (`path` unchanged).
int SelectFolderDlg(QString &path, const QString &title, QWidget *parent = nullptr);

} // namespace tessera
