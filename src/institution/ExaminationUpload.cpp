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
#include <QJsonDocument>

namespace Institution {

struct PreparedUpload::Columns {
    Params params;
};

namespace {

// The 24 x 4 scoring fields as a PostgreSQL array value (a parameter, not SQL): every element
// quoted, with the quote and the backslash escaped inside.
QString scoringArray(const ExaminationData& data) {
    QString text = QStringLiteral("{");
    for (size_t picture = 0; picture < data.lines.size(); ++picture) {
        text += picture == 0 ? QStringLiteral("{") : QStringLiteral(",{");
        for (size_t field = 0; field < 4; ++field) {
            QString value = data.lines[picture].fields[field];
            value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
            value.replace(QLatin1Char('"'), QStringLiteral("\\\""));
            text += (field == 0 ? QStringLiteral("\"") : QStringLiteral(",\"")) + value + QLatin1Char('"');
        }
        text += QLatin1Char('}');
    }
    return text + QLatin1Char('}');
}

Params columnParams(const PreparedUpload& file, const EvaluatedExamination& examination) {
    const ArchiveRow row = ArchiveListing::describe(file.path, examination);
    const PersonalData& personal = row.personal;
    const std::optional<QDate> date = HungarianDate::parse(personal.date);
    Param evaluation = Param::null();
    if (examination.result) {
        QJsonObject values = evaluationJson(personal, examination.coding, *examination.result, QLatin1Char('.'));
        // The research view shows these values; the code would name the child.
        values.remove(QStringLiteral("code"));
        evaluation = Param::text(QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)));
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
            Param::text(scoringArray(examination.data)),
            evaluation};
}

// A value in COPY's text form: NULL as \N, bytes as bytea's hex, text with the backslash and
// the characters that end a field or a line escaped.
QByteArray copyValue(const Param& value) {
    if (value.isNull())
        return QByteArrayLiteral("\\N");
    if (value.isBinary())
        return QByteArrayLiteral("\\\\x") + value.value().toHex();
    QByteArray text;
    text.reserve(value.value().size());
    for (const char c : value.value()) {
        switch (c) {
        case '\\':
            text += "\\\\";
            break;
        case '\t':
            text += "\\t";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        default:
            text += c;
        }
    }
    return text;
}

} // namespace

PreparedUpload prepareUpload(const QString& path, const GcrKey& key) {
    PreparedUpload file;
    file.path = path;
    file.fileName = QFileInfo(path).fileName();
    try {
        file.bytes = TextFile::readBytes(path);
        file.sha256 = QCryptographicHash::hash(file.bytes, QCryptographicHash::Sha256);
        const EvaluatedExamination examination = EvaluatedExamination::parse(file.bytes, path, key);
        file.columns =
            std::make_shared<const PreparedUpload::Columns>(PreparedUpload::Columns{columnParams(file, examination)});
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
    QHash<QString, QString> stored;
    if (files.isEmpty())
        return stored;
    QByteArray data;
    for (const PreparedUpload* file : files) {
        const Params values = Params{Param::text(file->fileName), Param::bytes(file->bytes)} + file->columns->params;
        for (qsizetype i = 0; i < values.size(); ++i)
            data += (i == 0 ? QByteArray() : QByteArrayLiteral("\t")) + copyValue(values.at(i));
        data += '\n';
    }
    connection.transaction([&] {
        // The session's own table: what it holds is gone at the commit; its rows stay whole, since
        // compressing what is read back at once only costs.
        connection.exec(
            "CREATE TEMPORARY TABLE IF NOT EXISTS gyvkt_upload OF gyvkt.upload_item WITH (toast_tuple_target = "
            "8160) ON COMMIT DELETE ROWS");
        connection.copyIn("COPY gyvkt_upload FROM STDIN", data);
        const Rows rows = connection.exec("SELECT stored_name, stored_version FROM gyvkt.upload_new($1, ARRAY(SELECT "
                                          "ROW(u.*)::gyvkt.upload_item FROM gyvkt_upload u))",
                                          {Param::text(client)});
        for (int r = 0; r < rows.count(); ++r)
            stored.insert(rows.text(r, 0), rows.text(r, 1));
    });
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
