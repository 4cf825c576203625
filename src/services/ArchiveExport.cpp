#include "services/ArchiveExport.h"

#include "base/FileIdentity.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "formats/ExaminationFile.h"
#include "services/EvaluatedExamination.h"
#include "services/ExportColumns.h"
#include "services/ExportSet.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <exception>
#include <functional>
#include <numeric>
#include <vector>

namespace {

QString serialCode(qsizetype row) {
    return QStringLiteral("S%1").arg(row + 1, 4, 10, QLatin1Char('0'));
}

// A message of the reader names the file; anonymized, the serial code stands in for it.
QString anonymousMessage(QString message, const QString& path, const QString& realCode, const QString& serial) {
    const QFileInfo info(path);
    for (const QString& form :
         {info.absoluteFilePath(), QDir::toNativeSeparators(info.absoluteFilePath()), path, info.fileName()}) {
        if (!form.isEmpty())
            message.replace(form, serial);
    }
    // Codes are capitals; the words of a message are not, so only the code itself is replaced.
    if (!realCode.isEmpty()) {
        const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(realCode)));
        message.replace(word, serial);
    }
    return message;
}

} // namespace

QStringList ArchiveExport::columns(bool anonymize) {
    QStringList names;
    for (const ExportColumn& column : exportColumns(anonymize, QLatin1Char('.')))
        names << column.name;
    return names;
}

namespace {

// The rows [from, to) of the table, row r holding files[order[r]]: the table's text and the errors
// met, each with its file's place in files.
struct RowBlock {
    qsizetype from = 0;
    qsizetype to = 0;
    CsvWriter rows;
    QList<std::pair<qsizetype, QString>> errors;
    std::exception_ptr failure; // anything but a UserError, handed to the caller's thread
};

// One examination's row: its values, or, when it cannot be read or evaluated, only its file (its
// serial when anonymized) and the message, which is returned (empty when there was none).
QString writeRow(CsvWriter& table, const std::vector<ExportColumn>& columns, const QString& path, const QString& serial,
                 bool anonymize, const std::function<EvaluatedExamination()>& read) {
    EvaluatedExamination examination;
    try {
        examination = read();
        examination.evaluation();
    } catch (const UserError& e) {
        table.addField(anonymize ? serial : path);
        for (size_t i = 1; i + 1 < columns.size(); ++i)
            table.addField(QString());
        table.addField(anonymize ? anonymousMessage(e.text(), path, ExaminationFile::codeFromPath(path), serial)
                                 : e.text());
        table.endRow();
        return e.text();
    }
    const RowSource source{
        path, serial, examination.data, examination.coding, *examination.result, table.dialect().decimalMark};
    for (const ExportColumn& column : columns)
        column.write(table, source);
    table.endRow();
    return QString();
}

void buildRows(const QStringList& files, const std::vector<qsizetype>& order, qsizetype from, qsizetype to,
               const GcrKey& key, const ArchiveExport::Options& options, const std::vector<ExportColumn>& columns,
               RowBlock& block) {
    for (qsizetype index = from; index < to; ++index) {
        const qsizetype fileIndex = order[static_cast<size_t>(index)];
        const QString& path = files.at(fileIndex);
        const QString error = writeRow(block.rows, columns, path, serialCode(index), options.anonymize,
                                       [&] { return EvaluatedExamination::read(path, key); });
        if (!error.isEmpty())
            block.errors.append({fileIndex, path + QStringLiteral(": ") + error});
    }
}

QByteArray codebookOf(const std::vector<ExportColumn>& columns, const CsvDialect& dialect) {
    CsvWriter codebook(dialect);
    codebook.addRow({QStringLiteral("name"), QStringLiteral("description_hu"), QStringLiteral("description_en"),
                     QStringLiteral("type"), QStringLiteral("values")});
    for (const ExportColumn& column : columns) {
        const Description& d = column.description;
        codebook.addRow({column.name, d.hu, d.en, d.type, d.values});
    }
    return codebook.bytes();
}

// The anonymized columns with the institution archive's pseudonym in the code column.
std::vector<ExportColumn> pseudonymColumns(QChar mark) {
    std::vector<ExportColumn> columns = exportColumns(true, mark);
    for (ExportColumn& column : columns) {
        if (column.name == QLatin1String("code"))
            column.description = ExportCodebook::pseudonym();
    }
    return columns;
}

} // namespace

ArchiveExport::Result ArchiveExport::build(const QStringList& files, const GcrKey& key, const Options& options) {
    const std::vector<ExportColumn> columns = exportColumns(options.anonymize, options.dialect.decimalMark);
    QStringList header;
    for (const ExportColumn& column : columns)
        header << column.name;

    // Every row depends on its own file alone, so a large archive is split into contiguous
    // blocks read and evaluated on every core, then joined in the table's order. More blocks than
    // cores keep every core busy when another program takes one of them for a while.
    constexpr qsizetype kFilesPerBlock = 500;
    const qsizetype blockCount = std::max<qsizetype>(1, files.size() / kFilesPerBlock);
    // Anonymized, the serials are dealt in an order nobody can reproduce and the rows follow the
    // serials, so neither a serial nor a row's place says which file it came from.
    std::vector<qsizetype> order(static_cast<size_t>(files.size()));
    std::iota(order.begin(), order.end(), 0);
    if (options.anonymize)
        std::shuffle(order.begin(), order.end(), *QRandomGenerator::system());
    std::vector<RowBlock> blocks;
    blocks.reserve(static_cast<size_t>(blockCount));
    for (qsizetype b = 0; b < blockCount; ++b)
        blocks.push_back(
            {files.size() * b / blockCount, files.size() * (b + 1) / blockCount, CsvWriter(options.dialect), {}, {}});
    QtConcurrent::blockingMap(blocks, [&](RowBlock& block) {
        try {
            buildRows(files, order, block.from, block.to, key, options, columns, block);
        } catch (...) {
            block.failure = std::current_exception();
        }
    });

    Result result;
    CsvWriter table(options.dialect);
    table.addRow(header);
    QList<std::pair<qsizetype, QString>> errors;
    for (const RowBlock& block : blocks) {
        if (block.failure)
            std::rethrow_exception(block.failure);
        table.addRows(block.rows);
        errors << block.errors;
    }
    std::sort(errors.begin(), errors.end());
    for (const auto& error : std::as_const(errors))
        result.errors << error.second;
    result.rows = static_cast<int>(files.size());
    result.table = table.bytes();
    if (options.anonymize) {
        CsvWriter links(options.dialect);
        links.addRow({QStringLiteral("serial"), QStringLiteral("file"), QStringLiteral("code")});
        for (size_t row = 0; row < order.size(); ++row) {
            const QString& path = files.at(order[row]);
            links.addRow({serialCode(static_cast<qsizetype>(row)), path, ExaminationFile::codeFromPath(path)});
        }
        result.linkTable = links.bytes();
    }

    result.codebook = codebookOf(columns, options.dialect);
    return result;
}

struct ArchiveExport::RowStream::Columns {
    std::vector<ExportColumn> list;
};

ArchiveExport::RowStream::RowStream(const CsvDialect& dialect)
    : m_columns(std::make_unique<Columns>(Columns{pseudonymColumns(dialect.decimalMark)})), m_dialect(dialect),
      m_rows([&dialect] {
          CsvDialect rows = dialect;
          rows.byteOrderMark = false; // only the header carries it
          return rows;
      }()) {}

ArchiveExport::RowStream::~RowStream() = default;

QByteArray ArchiveExport::RowStream::header() const {
    CsvWriter header(m_dialect);
    QStringList names;
    for (const ExportColumn& column : m_columns->list)
        names << column.name;
    header.addRow(names);
    return header.bytes();
}

QByteArray ArchiveExport::RowStream::codebook() const {
    return codebookOf(m_columns->list, m_dialect);
}

QString ArchiveExport::RowStream::add(const QString& pseudonym, const ExaminationData& data, const GcrKey& key) {
    return writeRow(m_rows, m_columns->list, pseudonym, pseudonym, true,
                    [&] { return EvaluatedExamination::fromData(data, key); });
}

QByteArray ArchiveExport::RowStream::takeRows() {
    const QByteArray rows = m_rows.bytes();
    m_rows = CsvWriter(m_rows.dialect());
    return rows;
}

QString ArchiveExport::codebookPath(const QString& output) {
    const QString suffix = QStringLiteral(".csv");
    if (output.endsWith(suffix, Qt::CaseInsensitive))
        return output.left(output.size() - suffix.size()) + QStringLiteral(".codebook") + output.right(suffix.size());
    return output + QStringLiteral(".codebook.csv");
}

void ArchiveExport::write(const QString& output, const Result& result, const QStringList& readFiles,
                          const QString& linkTable) {
    QList<std::pair<QString, const QByteArray*>> targets{{output, &result.table},
                                                         {codebookPath(output), &result.codebook}};
    if (!linkTable.isEmpty()) {
        if (result.linkTable.isEmpty())
            throw UserError(QStringLiteral("Kapcsolótábla csak anonim exporthoz készül."));
        for (const auto& target : std::as_const(targets)) {
            if (FileIdentity::same(linkTable, target.first))
                throw UserError(QStringLiteral("A kapcsolótábla nem kerülhet az export helyére: %1").arg(target.first));
        }
        targets.append({linkTable, &result.linkTable});
    }
    for (const auto& target : std::as_const(targets)) {
        const QString input = FileIdentity::overwrittenInput(target.first, readFiles);
        if (!input.isEmpty())
            throw UserError(QStringLiteral("Az export nem írhatja felül a beolvasott vizsgálati fájlt: %1").arg(input));
    }
    // The table, its codebook and the link table describe each other: no table may stand beside
    // another export's codebook or link table, a crash included.
    QList<ExportSet::File> files;
    for (const auto& [path, bytes] : std::as_const(targets))
        files.append({path, *bytes, {}});
    ExportSet::write(files);
}
