#pragma once

#include "formats/ExaminationFile.h"
#include "render/Csv.h"
#include "services/ArchiveNorms.h"

#include <QString>
#include <QStringList>

#include <functional>

class GcrKey;

namespace Institution {

class Connection;

// What a researcher reads on the server: the pseudonymized view (gyvkt.research), the latest
// version of every examination under its pseudonym, with nothing that names a child. Read a
// batch at a time, so an archive of any size never sits in memory; the statements only read,
// so they run on a read-only standby too.
namespace ResearchArchive {

// One row of the view as the export and the norms take an examination: the sex, the age, the
// 24 scoring lines, and the month of the examination (its first day stands for it; nothing reads
// more of it than the year and the month).
struct Row {
    QString pseudonym;
    ExaminationData data;
};

// Every row, ordered by pseudonym. what ("export", "norms") goes to the audit trail first; on a
// read-only standby, where nothing can be written, audited is false.
void read(Connection& connection, const QString& what, const std::function<void(const Row&)>& each,
          bool* audited = nullptr);

struct ExportResult {
    qint64 rows = 0;
    // "pseudonym: message" for each examination that could not be evaluated.
    QStringList errors;
    bool audited = true;
};

// The anonymized export's table and codebook of every row (ArchiveExport::RowStream), the table
// written as the rows come and put in place only when complete.
ExportResult exportTable(Connection& connection, const QString& output, const GcrKey& key, const CsvDialect& dialect);

ArchiveNorms::Report norms(Connection& connection, const GcrKey& key, bool* audited = nullptr);

} // namespace ResearchArchive
} // namespace Institution
