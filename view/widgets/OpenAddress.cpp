#include "view/widgets/OpenAddress.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"

#include <QDesktopServices>

bool OpenAddress(const QUrl &url, const AddressOpener &open)
{
    const bool opened = open ? open(url) : QDesktopServices::openUrl(url);
    if (!opened) {
        const QString what = url.isLocalFile() ? url.toLocalFile() : url.toString();
        tessera::ShowResourceMessage(
            Ids::MsgCannotOpenAddress, { what }, tessera::MbOk | tessera::MbIconError);
    }
    return opened;
}
