#include "institution/Schema.h"

#include "institution/Connection.h"
#include "institution/ServerError.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace Institution {

namespace {

// Any number will do as long as no other program locks it in the same database.
constexpr qint64 kMigrationLock = 0x67797674;

const char* const kVersionTable = "CREATE TABLE gyvkt.schema_version ("
                                  " version integer PRIMARY KEY,"
                                  " name text NOT NULL,"
                                  " applied_at timestamptz NOT NULL DEFAULT now())";

} // namespace

QList<Schema::Step> Schema::steps() {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{3})_(\\w+)\\.sql$"));
    QList<Step> all;
    const QDir folder(QStringLiteral(":/institution/sql"));
    for (const QString& file : folder.entryList(QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch match = pattern.match(file);
        if (!match.hasMatch())
            continue;
        QFile source(folder.filePath(file));
        if (!source.open(QIODevice::ReadOnly))
            continue;
        all.append({match.captured(1).toInt(), match.captured(2), source.readAll()});
    }
    std::sort(all.begin(), all.end(), [](const Step& a, const Step& b) { return a.version < b.version; });
    return all;
}

int Schema::latestVersion() {
    const QList<Step> all = steps();
    return all.isEmpty() ? 0 : all.last().version;
}

int Schema::installedVersion(Connection& connection) {
    const Rows found = connection.exec("SELECT to_regclass('gyvkt.schema_version') IS NOT NULL");
    if (!found.boolean(0, 0))
        return 0;
    const Rows version = connection.exec("SELECT coalesce(max(version), 0) FROM gyvkt.schema_version");
    return static_cast<int>(version.number(0, 0));
}

QList<int> Schema::migrate(Connection& connection) {
    QList<int> applied;
    for (const Step& step : steps()) {
        bool ran = false;
        try {
            connection.transaction([&] {
                connection.exec("SELECT pg_advisory_xact_lock($1)", {Param::number(kMigrationLock)});
                if (installedVersion(connection) >= step.version)
                    return;
                if (!connection.exec("SELECT to_regnamespace('gyvkt') IS NOT NULL").boolean(0, 0))
                    connection.exec("CREATE SCHEMA gyvkt");
                if (!connection.exec("SELECT to_regclass('gyvkt.schema_version') IS NOT NULL").boolean(0, 0))
                    connection.exec(kVersionTable);
                connection.script(step.sql);
                connection.exec("INSERT INTO gyvkt.schema_version (version, name) VALUES ($1, $2)",
                                {Param::number(step.version), Param::text(step.name)});
                ran = true;
            });
        } catch (const ServerError& e) {
            if (e.endsTheRun() && e.kind() != ServerError::Kind::NoArchive)
                throw;
            // Within a step, a missing object is the step's own fault, not a sign to run it.
            throw ServerError(ServerError::Kind::Refused,
                              QStringLiteral("A séma %1. lépése (%2) nem sikerült; az adatbázis a korábbi lépéseknél "
                                             "maradt.\n")
                                      .arg(step.version)
                                      .arg(step.name) +
                                  e.text());
        }
        if (ran)
            applied.append(step.version);
    }
    return applied;
}

} // namespace Institution
