#pragma once

#include <QString>

// The folders that hold children's data are their owner's alone: other users of the computer
// may neither list nor read them.
namespace ClosedFolder {

// Creates the folder and every missing folder above it, each open to its owner only (mode 700
// on POSIX systems). Folders that exist keep their mode. False when it could not be created,
// errno then saying why (0 where the system gives no reason).
bool makePath(const QString& path);

// Whether other users (the group or everyone) may read or enter the existing folder. Always
// false where the system has no such modes.
bool openToOthers(const QString& path);

} // namespace ClosedFolder
