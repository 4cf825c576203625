#include "institution/ExaminationUpload.h"

#include "base/TextFile.h"
#include "base/UserError.h"
#include "institution/Connection.h"
#include "render/EvaluationJson.h"
#include "services/ArchiveListing.h"
#include "services/EvaluatedExamination.h"
#include "services/HungarianDate.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace Institution {

struct PreparedUpload::Columns {
    // For the statement of a single file: its parameters past the file name, bytes and client
    // (the scoring already in the binary form).
    Params params;
    // For a block of new files: the whole gyvkt.upload_item in PostgreSQL's binary form.
    QByteArray record;
};

namespace {

// PostgreSQL's binary forms, as its receive functions read them: every number big-endian, a
// value as its length and its bytes. A block of files goes as one array parameter in this form,
// which the server takes without parsing any text and without a table in between.
namespace Binary {

// The built-in types' fixed identifiers.
constexpr quint32 kBytea = 17;
constexpr quint32 kInt4 = 23;
constexpr quint32 kText = 25;
constexpr quint32 kJson = 114;
constexpr quint32 kTextArray = 1009;

void int32(QByteArray& out, quint32 value) {
    const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    out.append(bytes, 4);
}

// One value: its length, then its bytes.
void value(QByteArray& out, const QByteArray& bytes) {
    int32(out, static_cast<quint32>(bytes.size()));
    out.append(bytes);
}

// A null: the length -1, and no bytes.
void null(QByteArray& out) {
    int32(out, 0xFFFFFFFFu);
}

// One field of a composite value: its type, then the value.
void field(QByteArray& out, quint32 type, const Param& param) {
    int32(out, type);
    if (param.isNull())
        return null(out);
    if (type == kInt4) {
        int32(out, 4); // its length
        return int32(out, static_cast<quint32>(param.value().toInt()));
    }
    value(out, param.value());
}

} // namespace Binary

// The 24 x 4 scoring fields as a two-dimensional text array in the binary form.
QByteArray scoringBinary(const ExaminationData& data) {
    QByteArray out;
    Binary::int32(out, 2); // dimensions
    Binary::int32(out, 0); // no nulls
    Binary::int32(out, Binary::kText);
    Binary::int32(out, static_cast<quint32>(data.lines.size()));
    Binary::int32(out, 1);
    Binary::int32(out, 4);
    Binary::int32(out, 1);
    for (const ScoringLine& line : data.lines) {
        for (size_t field = 0; field < 4; ++field)
            Binary::value(out, Param::text(line.fields[field]).value());
    }
    return out;
}

Params columnParams(const PreparedUpload& file, const EvaluatedExamination& examination) {
    const ArchiveRow row = ArchiveListing::describe(file.path, examination);
    const PersonalData& personal = row.personal;
    const std::optional<QDate> date = HungarianDate::parse(personal.date);
    Param evaluation = Param::null();
    if (examination.result) {
        // The research view shows these values; the code would name the child.
        evaluation = Param::utf8(evaluationJsonText(personal, examination.coding, *examination.result, QLatin1Char('.'),
                                                    EvaluationCode::LeftOut));
    }
    const bool gcr = row.hasGcrPercent();
    return {Param::text(personal.code),
            Param::text(personal.name),
            Param::text(personal.sex == PersonalData::Sex::Boy ? QStringLiteral("boy") : QStringLiteral("girl")),
            Param::number(personal.age),
            Param::text(personal.date),
            Param::text(personal.examiner),
            Param::number(row.scored),
            gcr ? Param::number(row.gcrPercent) : Param::null(),
            gcr ? Param::text(row.gcrClass) : Param::null(),
            date ? Param::number(date->year()) : Param::null(),
            date ? Param::number(date->month()) : Param::null(),
            Param::bytes(scoringBinary(examination.data)),
            evaluation};
}

// The file as one gyvkt.upload_item: its name, its bytes and the columns, in the type's order.
QByteArray uploadItem(const PreparedUpload& file, const Params& columns) {
    // The type of each column past the name and the bytes.
    static const quint32 kTypes[] = {Binary::kText, Binary::kText,      Binary::kText, Binary::kInt4, Binary::kText,
                                     Binary::kText, Binary::kInt4,      Binary::kInt4, Binary::kText, Binary::kInt4,
                                     Binary::kInt4, Binary::kTextArray, Binary::kJson};
    Q_ASSERT(columns.size() == static_cast<qsizetype>(std::size(kTypes)));
    QByteArray out;
    qsizetype size = 512 + file.bytes.size();
    for (const Param& column : columns)
        size += column.value().size();
    out.reserve(size);
    Binary::int32(out, 2 + std::size(kTypes));
    Binary::field(out, Binary::kText, Param::text(file.fileName));
    Binary::field(out, Binary::kBytea, Param::bytes(file.bytes));
    for (qsizetype i = 0; i < columns.size(); ++i)
        Binary::field(out, kTypes[i], columns.at(i));
    return out;
}

} // namespace

PreparedUpload prepareUpload(const QString& path, const GcrKey& key, const Wanted& wanted) {
    PreparedUpload file;
    file.path = path;
    file.fileName = QFileInfo(path).fileName();
    try {
        file.bytes = TextFile::readBytes(path);
        file.sha256 = QCryptographicHash::hash(file.bytes, QCryptographicHash::Sha256);
        const EvaluatedExamination examination = EvaluatedExamination::parse(file.bytes, path, key);
        if (wanted && !wanted(file.fileName, file.sha256))
            return file;
        Params params = columnParams(file, examination);
        QByteArray record = uploadItem(file, params);
        file.columns = std::make_shared<const PreparedUpload::Columns>(
            PreparedUpload::Columns{std::move(params), std::move(record)});
    } catch (const UserError& e) {
        file.error = e.text();
    }
    return file;
}

QList<UploadResult> upload(Connection& connection, const QList<const PreparedUpload*>& files, const QString& client) {
    QList<Params> each;
    for (const PreparedUpload* file : files) {
        Params params{Param::text(file->fileName), Param::bytes(file->bytes), Param::text(client)};
        each.append(params + file->columns->params);
    }
    QList<UploadResult> results;
    const QList<Connection::Outcome> outcomes =
        connection.pipeline("SELECT outcome, version, current_count FROM gyvkt.upload($1, $2, $3, $4, $5, $6, $7, "
                            "$8, $9, $10, $11, $12, $13, $14, $15, $16)",
                            each);
    for (const Connection::Outcome& outcome : outcomes) {
        if (!outcome.rows) {
            results.append({std::nullopt, outcome.error});
            continue;
        }
        const Rows& rows = *outcome.rows;
        results.append({UploadOutcome{rows.text(0, 0) == QLatin1String("uploaded"), rows.text(0, 1),
                                      static_cast<int>(rows.number(0, 2))},
                        std::nullopt});
    }
    return results;
}

QHash<QString, QString> uploadNew(Connection& connection, const QList<const PreparedUpload*>& files,
                                  const QString& client) {
    // A parameter holds at most a gigabyte on the server: files near the size limit go in more
    // than one statement, within one transaction still.
    constexpr qsizetype kMaxStatementBytes = 64 * 1024 * 1024;
    QList<qsizetype> ends;
    qsizetype size = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const qsizetype item = 4 + files.at(i)->columns->record.size();
        if (i > 0 && size + item > kMaxStatementBytes) {
            ends << i;
            size = 0;
        }
        size += item;
    }
    if (!files.isEmpty())
        ends << files.size();
    QHash<QString, QString> stored;
    const auto store = [&] {
        qsizetype first = 0;
        for (const qsizetype end : ends) {
            QByteArray items;
            qsizetype size = 20;
            for (qsizetype i = first; i < end; ++i)
                size += 4 + files.at(i)->columns->record.size();
            items.reserve(size);
            Binary::int32(items, 1); // dimensions
            Binary::int32(items, 0); // no nulls
            Binary::int32(items, connection.typeOid("gyvkt.upload_item"));
            Binary::int32(items, static_cast<quint32>(end - first));
            Binary::int32(items, 1);
            for (qsizetype i = first; i < end; ++i)
                Binary::value(items, files.at(i)->columns->record);
            const Rows rows = connection.exec("SELECT stored_name, stored_version FROM gyvkt.upload_new($1, $2)",
                                              {Param::text(client), Param::bytes(items)});
            for (int r = 0; r < rows.count(); ++r)
                stored.insert(rows.text(r, 0), rows.text(r, 1));
            first = end;
        }
    };
    if (ends.size() > 1)
        connection.transaction(store);
    else
        store();
    return stored;
}

void confirmHeld(Connection& connection, const QString& client, const QStringList& versions) {
    if (versions.isEmpty())
        return;
    connection.exec(
        "SELECT gyvkt.confirm($1, $2::uuid[])",
        {Param::text(client), Param::text(QLatin1Char('{') + versions.join(QLatin1Char(',')) + QLatin1Char('}'))});
}

} // namespace Institution
