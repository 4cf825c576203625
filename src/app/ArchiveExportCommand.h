#pragma once

class DataRoot;
class Platform;

// "File" -> "Exportálás CSV-be…": every examination of the archive into one table in the form
// Excel with Hungarian settings opens (semicolon, decimal comma, UTF-8 with BOM), with its
// codebook beside it. It asks whether the export is to be anonymous, then where to write it, for
// an anonymous one whether a link table is wanted and where, and reports how many rows it wrote
// and how many of them carry an error.
namespace ArchiveExportCommand {

void run(const DataRoot& root, Platform& platform);

} // namespace ArchiveExportCommand
