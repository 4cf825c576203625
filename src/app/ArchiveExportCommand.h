#pragma once

#include <QString>

class DataRoot;
class Platform;

// "File" -> "Exportálás CSV-be…": every examination of the archive into one table in the form
// Excel with Hungarian settings opens (semicolon, decimal comma, UTF-8 with BOM), with its
// codebook beside it. It asks whether the export is to be anonymous, then where to write it, for
// an anonymous one whether a link table is wanted and where, and reports how many rows it wrote
// and how many of them carry an error.
namespace ArchiveExportCommand {

void run(const DataRoot& root, Platform& platform);

// What an export says when it is done: where the table and its codebook are, how many rows it
// has and how many of them carry an error, and where the link table is, if one was written.
QString doneText(const QString& output, qint64 rows, qsizetype errors, const QString& linkTable = QString());

} // namespace ArchiveExportCommand
