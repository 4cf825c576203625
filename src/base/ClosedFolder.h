#pragma once

#include <QString>

// The folders that hold children's data are their owner's alone: other users of the computer
// may neither list nor read them.
namespace ClosedFolder {

// Creates the folder and every missing folder above it, each open to its owner only (mode 700
// on POSIX systems, an access list naming only its owner on Windows). Folders that exist keep
// their rights. False when it could not be created, errno then saying why (0 where the system
// gives no reason).
bool makePath(const QString& path);

// Creates this one folder, open to its owner only, in a folder that exists. False when it could
// not be made, errno then saying why (EEXIST when something is at the path already).
bool makeOne(const QString& path);

// Whether other users may read or enter the existing folder: the group or everyone by its mode,
// on Windows anyone but its owner, the system and the administrators by its access list.
bool openToOthers(const QString& path);

// Whether the user the program runs as owns what is at the path.
bool ownedByUser(const QString& path);

// The command that closes the folder to all but its owner, for the user to run.
QString closingCommand(const QString& path);

} // namespace ClosedFolder
