#include "corelib/LocalTimeZone.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QtGlobal>

namespace tessera {

void PinLocalTimeZone()
{
    // An empty TZ is a choice too: glibc reads it as UTC.
    if (qEnvironmentVariableIsSet("TZ"))
        return;
    // Without the file glibc uses UTC either way, and TZ stays unset as it was.
    if (!QFileInfo::exists(QStringLiteral("/etc/localtime")))
        return;
    qputenv("TZ", QByteArrayLiteral(":/etc/localtime"));
}

} // namespace tessera
