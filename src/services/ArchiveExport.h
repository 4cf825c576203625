#pragma once

#include "render/Csv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class GcrKey;
struct ExaminationData;

// The examinations of an archive as one table for a statistics package: one row per file, the
// personal data, the raw fields of the 24 ScoringLines, every value of the evaluation, and an
// error column. Beside it a codebook describes each column. Nothing here changes a .kvx file.
namespace ArchiveExport {

struct Options {
    CsvDialect dialect;
    // No file, name or examiner column; codes S0001, S0002, ... dealt to the files in a random
    // order, the rows in the order of the codes; the date shortened to its year and month.
    bool anonymize = false;
};

struct Result {
    QByteArray table;
    QByteArray codebook;
    // Anonymized only: serial, file and code of every row, in the table's order. The one thing
    // that leads a serial back to its examination; written only where the examiner asks.
    QByteArray linkTable;
    int rows = 0;
    // "path: message" for each examination that could not be read or evaluated, in the order
    // of the files given (never in the table's order, which would give the serials away).
    QStringList errors;
};

// The column names in order.
QStringList columns(bool anonymize);

// Reads and evaluates every file with the key. A file that cannot be read, or whose age has no
// norms, gets a row with only its file (its serial code when anonymized) and the message.
Result build(const QStringList& files, const GcrKey& key, const Options& options);

// The codebook beside OUT: ".csv" at its end replaced by ".codebook.csv" (any other name gets
// ".codebook.csv" added).
QString codebookPath(const QString& output);

// The anonymized table a row at a time, for examinations that arrive one by one and are too many
// to hold at once (the institution archive's research rows): the columns and codebook of build()
// with anonymize, each examination's pseudonym where build() puts a serial.
class RowStream {
public:
    explicit RowStream(const CsvDialect& dialect);
    ~RowStream();
    RowStream(const RowStream&) = delete;
    RowStream& operator=(const RowStream&) = delete;

    // The header line, with the byte order mark when the dialect asks for it.
    QByteArray header() const;
    QByteArray codebook() const;
    // Adds the examination's row: its values under the key, or, when it cannot be evaluated (an
    // age without norms), only the pseudonym and the message, which is then returned.
    QString add(const QString& pseudonym, const ExaminationData& data, const GcrKey& key);
    // The rows added since the last call.
    QByteArray takeRows();

private:
    struct Columns;
    std::unique_ptr<Columns> m_columns;
    CsvDialect m_dialect;
    CsvWriter m_rows;
};

// Writes the table to output and the codebook beside it, and the link table to linkTable when
// one is named, each atomically. Refuses (UserError) an output that would replace one of the
// examination files read, so an export never costs an examination, and a link table in the place
// of the table or the codebook, or without an anonymized export.
void write(const QString& output, const Result& result, const QStringList& readFiles,
           const QString& linkTable = QString());

} // namespace ArchiveExport
