#pragma once

#include "base/DataRoot.h"

#include <QString>
#include <QStringList>

// The default data tree that ships with the program (pictures, key, texts, layouts, password
// store) and its first-start copy into the data root.
namespace DataTree {

// The tree built next to the program (<bin>/../share/gyvkt/tavrix) when it exists, else the
// installed one.
QString defaultTreeDir();

// Creates every folder of the tree that the root lacks and copies every file the root lacks.
// A file that already exists is never touched: it may hold the examiner's edits, an archive
// or a changed password. Returns the full paths of the files created, in a stable order.
// Raises UserError when a folder or file cannot be created or a tree file cannot be read.
QStringList layDown(const DataRoot& root, const QString& treeDir);

} // namespace DataTree
