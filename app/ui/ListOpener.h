#pragma once

#include "document/ListLoader.h"

#include <QString>

// What a piece that brings a list from outside (a dropped file) needs of the window: how
// lists are read, the question about unsaved changes, and the opening of a list read.
class ListOpener {
public:
    virtual ~ListOpener() = default;

    virtual ListLoadOptions listOpenOptions() const = 0;
    // False when the user keeps the open list (Cancel, or a save that failed).
    virtual bool SaveModified() = 0;
    virtual bool openReadList(const QString &path, LoadedList list) = 0;
};
