#include "corelib/widgets/SelectFolderDlg.h"

#include <QDir>
#include <QFileDialog>

namespace tessera {

int SelectFolderDlg(QString &path, const QString &title, QWidget *parent)
{
    const QString chosen = QFileDialog::getExistingDirectory(parent, title, path, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return 2;
    path = QDir::toNativeSeparators(chosen);
    return 1;
}

} // namespace tessera
