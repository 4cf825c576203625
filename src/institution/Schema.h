#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Institution {

class Connection;

// The archive's tables, roles and functions on the server, built up by numbered steps: the
// files sql/NNN_name.sql compiled into the program. gyvkt.schema_version records each step
// applied.
namespace Schema {

struct Step {
    int version = 0;
    QString name;
    QByteArray sql;
};

// Every step, by version.
QList<Step> steps();
// The version this program's statements expect.
int latestVersion();

// The version the database holds: 0 for none.
int installedVersion(Connection& connection);

// Applies every step the database lacks, each in a transaction of its own that records its
// version, so a failed step leaves the ones before it in place and the next run goes on from
// there. Two runs at once wait for each other. Returns the versions applied: none when the
// database was up to date, which then is left as it was.
QList<int> migrate(Connection& connection);

} // namespace Schema
} // namespace Institution
