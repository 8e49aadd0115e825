#include "view/widgets/OpenAddress.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"

bool OpenAddress(const QUrl &url, Prompts &prompts)
{
    const bool opened = prompts.openUrl(url);
    if (!opened) {
        const QString what = url.isLocalFile() ? url.toLocalFile() : url.toString();
        prompts.message(tessera::FormatResourceString(Ids::MsgCannotOpenAddress, { what }),
            tessera::MbOk | tessera::MbIconError);
    }
    return opened;
}
