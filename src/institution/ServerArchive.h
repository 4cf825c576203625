#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Institution {

class Connection;

// The latest version of one examination the connected person may read, with the columns of
// the archive window.
struct ServerExamination {
    QString examination;
    QString version;
    QString owner;
    bool own = false;
    QString fileName;
    QByteArray sha256;
    QDateTime uploadedAt;
    int currentVersions = 1;
    QString code;
    QString name;
    bool boy = true;
    int age = 0;
    QString date;
    QString examiner;
    int scored = 0;
    std::optional<int> gcrPercent;
    QString gcrClass;
};

// What the server holds for the connected person: their own examinations, and a lead's team's.
// The server's row-level security decides which rows these are.
namespace ServerArchive {

// Every readable examination's latest version, by owner and file name. Reads no content.
QList<ServerExamination> list(Connection& connection);

// The exact bytes of a version, the read written to the audit trail; client: clientIdentity()
// of the folder the bytes go to. Raises ServerError for a version the person may not read.
QByteArray fetch(Connection& connection, const QString& version, const QString& client);

// Where a version goes in a folder: the file name for one's own, "<owner>/<file name>" for a
// team member's; empty for a name that could lead out of the folder.
QString placeFor(const ServerExamination& examination);

struct PullReport {
    int written = 0;
    int unchanged = 0;
    // For each local file that differs from the server's: the local path, and the path the
    // server's copy was written to beside it.
    QList<std::pair<QString, QString>> conflicts;
    QStringList forked; // places whose examination has more than one current version
};

// Writes the latest version of every readable examination into the folder, byte for byte. A
// local file that differs is kept; the server's copy goes beside it as "<name>.kiszolgalorol.kvx"
// ("-2", "-3", ... when that too is taken by something else). Raises UserError when a file
// cannot be written, ServerError when the run cannot go on.
PullReport pull(Connection& connection, const QString& folder, const QString& client);

// Whether a file name is one of the server's copies pull wrote beside a differing local file;
// sync leaves those out, with serverCopyText() as the reason.
bool isServerCopy(const QString& fileName);
QString serverCopyText();

} // namespace ServerArchive
} // namespace Institution
