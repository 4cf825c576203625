#pragma once

#include "institution/ServerError.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class GcrKey;

namespace Institution {

class Connection;

// One examination file as it goes to the server: the exact bytes read once, their SHA-256, and
// the columns the program's own reader and evaluation find in those same bytes.
struct PreparedUpload {
    QString path;
    QString fileName;
    QByteArray bytes;
    QByteArray sha256;
    // Why the file cannot go (unreadable, or refused by the reader): it is not uploaded.
    QString error;
    // The statement's parameters past the file name, the bytes and the client, in its order.
    struct Columns;
    std::shared_ptr<const Columns> columns;

    bool ok() const { return error.isEmpty(); }
};

// Reads the file and derives its columns under the key; never raises.
PreparedUpload prepareUpload(const QString& path, const GcrKey& key);

struct UploadOutcome {
    bool stored = false; // false: the server held these bytes as a current version already
    QString version;
    // The examination's current versions: more than one when two copies both changed it.
    int currentVersions = 1;
};

// Stores each file as the connected examiner's, in a transaction of its own, recording that the
// client holds the version. An outcome per file; a file the server refused has its error. Raises
// ServerError when the run cannot go on.
struct UploadResult {
    std::optional<UploadOutcome> outcome;
    std::optional<ServerError> error;
};
QList<UploadResult> upload(Connection& connection, const QList<const PreparedUpload*>& files, const QString& client);

// Stores files of examinations the connected examiner has none of on the server yet, all of
// them in one transaction. Returns the version each stored file got, by file name; a file left
// out (the server had its examination after all, or refuses its name) goes through upload().
QHash<QString, QString> uploadNew(Connection& connection, const QList<const PreparedUpload*>& files,
                                  const QString& client);

// Records that the client holds these versions of the connected examiner's own examinations
// (found in its folder, or pulled): the next upload from there supersedes them.
void confirmHeld(Connection& connection, const QString& client, const QStringList& versions);

} // namespace Institution
