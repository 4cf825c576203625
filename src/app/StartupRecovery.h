#pragma once

#include "base/DataRoot.h"

#include <QDateTime>
#include <QStringList>

// What a crash or a power cut may have left in the data root, put right when the program
// starts and holds the data root's lock, before anything reads the working folder.
namespace StartupRecovery {

// The folders the program writes files into.
QStringList writtenFolders(const DataRoot& root);

// Completes or undoes an interrupted replacement of the answers and every interrupted export
// whose table lies in a written folder, then removes from the written folders the temporaries of
// the program's naming last changed before programStart. Raises UserError after doing what it
// could.
void run(const DataRoot& root, const QDateTime& programStart);

} // namespace StartupRecovery
