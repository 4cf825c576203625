#include "institution/ResearchArchive.h"

#include "base/AtomicFile.h"
#include "institution/Connection.h"
#include "services/ArchiveExport.h"
#include "services/EvaluatedExamination.h"
#include "services/ExportSet.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace Institution {

namespace {

// Rows fetched at a time: enough to keep the network busy, few enough to stay small.
constexpr int kBatchRows = 1000;

ResearchArchive::Row rowAt(const Rows& rows, int r) {
    ResearchArchive::Row row;
    row.pseudonym = rows.text(r, 0);
    PersonalData& personal = row.data.personal;
    personal.sex = rows.text(r, 1) == QLatin1String("girl") ? PersonalData::Sex::Girl : PersonalData::Sex::Boy;
    personal.age = static_cast<qint32>(rows.number(r, 2));
    if (!rows.isNull(r, 3) && !rows.isNull(r, 4))
        personal.date = QStringLiteral("%1.%2.01.")
                            .arg(rows.number(r, 3), 4, 10, QLatin1Char('0'))
                            .arg(rows.number(r, 4), 2, 10, QLatin1Char('0'));
    const QJsonArray pictures = QJsonDocument::fromJson(rows.text(r, 5).toUtf8()).array();
    for (qsizetype p = 0; p < pictures.size() && p < kPictureCount; ++p) {
        const QJsonArray fields = pictures.at(p).toArray();
        for (qsizetype f = 0; f < fields.size() && f < 4; ++f)
            row.data.lines[static_cast<size_t>(p)].fields[static_cast<size_t>(f)] = fields.at(f).toString();
    }
    return row;
}

} // namespace

void ResearchArchive::read(Connection& connection, const QString& what, const std::function<void(const Row&)>& each,
                           bool* audited) {
    const bool standby = connection.exec("SELECT pg_is_in_recovery()").boolean(0, 0);
    if (!standby)
        connection.exec("SELECT gyvkt.note_export($1)", {Param::text(what)});
    if (audited)
        *audited = !standby;
    connection.stream("SELECT pseudonym, sex, age, exam_year, exam_month, to_json(scoring) FROM gyvkt.research "
                      "ORDER BY pseudonym",
                      {}, kBatchRows, [&](const Rows& rows) {
                          for (int r = 0; r < rows.count(); ++r)
                              each(rowAt(rows, r));
                      });
}

ResearchArchive::ExportResult ResearchArchive::exportTable(Connection& connection, const QString& output,
                                                           const GcrKey& key, const CsvDialect& dialect) {
    ExportResult result;
    ArchiveExport::RowStream table(dialect);
    const auto writeTable = [&](AtomicFile::Stream& file) {
        const QByteArray header = table.header();
        file.write(header.constData(), header.size());
        read(
            connection, QStringLiteral("export"),
            [&](const Row& row) {
                const QString error = table.add(row.pseudonym, row.data, key);
                if (!error.isEmpty())
                    result.errors << row.pseudonym + QStringLiteral(": ") + error;
                if (++result.rows % kBatchRows == 0) {
                    const QByteArray rows = table.takeRows();
                    file.write(rows.constData(), rows.size());
                }
            },
            &result.audited);
        const QByteArray rest = table.takeRows();
        file.write(rest.constData(), rest.size());
    };
    // The table and its codebook replace the old ones as one set, as the local export's do.
    ExportSet::write({{output, {}, writeTable}, {ArchiveExport::codebookPath(output), table.codebook(), {}}});
    return result;
}

ArchiveNorms::Report ResearchArchive::norms(Connection& connection, const GcrKey& key, bool* audited) {
    ArchiveNorms::Collector collector;
    read(
        connection, QStringLiteral("norms"),
        [&](const Row& row) {
            collector.add(row.pseudonym, [&] { return EvaluatedExamination::fromData(row.data, key); });
        },
        audited);
    return collector.report();
}

} // namespace Institution
