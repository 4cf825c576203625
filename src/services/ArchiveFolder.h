#pragma once

#include <QString>
#include <QStringList>

// Which examination files a folder holds, and which files a list of "files and folders"
// arguments names: the archive window, `gyvkt-cli list` and the research tools all read the
// same files in the same order.
namespace ArchiveFolder {

// The examination files (*.kvx, any letter case, regular files only, subfolders not entered) of
// a folder as full paths, sorted by fileNameLess(). Raises UserError naming the folder when it
// does not exist, is no folder or cannot be read.
QStringList examinationFiles(const QString& folder);

// The arguments in their order, each folder replaced by its examinationFiles(); a file named
// directly is taken whatever its name. A file met again (under any name, a link or a hard link
// included) is taken once and its later names go to duplicates. Raises UserError naming the
// first argument that is neither a file nor a readable folder.
QStringList expand(const QStringList& filesOrFolders, QStringList* duplicates = nullptr);

// The order of the listing: by file name with letter case folded, then by code point, so that
// two runs and two machines list the same rows whatever their locale.
bool fileNameLess(const QString& a, const QString& b);

} // namespace ArchiveFolder
