#include "quotes/SiteRoot.h"

using namespace Qt::StringLiterals;

QString SiteRoot()
{
    QString root = qEnvironmentVariable("QUOTRA_SITE_ROOT");
    if (root.isEmpty())
        return u"https://finance.yahoo.co.jp/"_s;
    if (!root.endsWith(u'/'))
        root += u'/';
    return root;
}

QByteArray SiteCaFile()
{
    return qgetenv("QUOTRA_SITE_CA_FILE");
}
