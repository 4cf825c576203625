#pragma once

#include "base/DataRoot.h"
#include "formats/LayoutFile.h"

#include <optional>

// Where the archive window stood: gy_vkt/archivum.cfg, one layout-file line
// "Archivum=left,top,height,width;" and "vege". It is not one of the arrangements' windows, so
// it keeps its own file instead of a ninth line in theirs.
namespace ArchiveWindowFile {

QString path(const DataRoot& root);
// None when the file is missing, unreadable or holds no usable line: the window then opens
// where it would the first time.
std::optional<LayoutFile::Geometry> read(const DataRoot& root);
// Atomically; raises UserError when it cannot be written.
void write(const DataRoot& root, const LayoutFile::Geometry& geometry);

} // namespace ArchiveWindowFile
