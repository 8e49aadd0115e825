#include "app/ui/CommandIcons.h"

#include <QString>

QIcon CommandIcon(const char *name)
{
    const QString n = QString::fromLatin1(name);
    if (n.isEmpty())
        return {};
    return QIcon::fromTheme(n, QIcon(QStringLiteral(":/icons/") + n + QStringLiteral(".svg")));
}
