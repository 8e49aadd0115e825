#include "app/core/ListTitle.h"

QString PlainTitle(const QString &title)
{
    QString t = title.trimmed();
    while (t.endsWith(u'*'))
        t = t.chopped(1).trimmed();
    return t;
}
