#pragma once

#include <QString>

namespace tessera {

// The per-user application-data folder "<data home>/Kestrel/<subfolder>" (on Linux the XDG
// data home, ~/.local/share unless XDG_DATA_HOME says otherwise), created with all missing
// parents. Returns the absolute path, or an empty string when the folder cannot be created.
// An empty subfolder yields the "Kestrel" folder itself.
QString GetAppFolder(const QString &subfolder);

} // namespace tessera
