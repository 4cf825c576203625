#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class GcrKey;

namespace Institution {

class Connection;

// How one file of the archive folder stands with the server.
struct FileState {
    enum class State {
        Uploaded,  // stored now
        Unchanged, // the server holds these bytes as a current version
        Pending,   // would be uploaded (only when checking)
        Refused,   // unreadable, refused by the reader or by the server: not uploaded
    };
    QString fileName;
    State state = State::Pending;
    // Refused: the reader's or the server's message.
    QString reason;
    // The examination's current versions on the server: more than one when two copies of the
    // archive both changed it; 0 while the server has none.
    int currentVersions = 0;
};

struct SyncReport {
    QList<FileState> files; // in the folder's order
    int count(FileState::State state) const;
    // The files whose examination has more than one current version on the server.
    QStringList forked() const;
};

// Compares an archive folder (its *.kvx files) with what the connected examiner has on the
// server, and uploads what is new or changed: each file in a transaction of its own, so a run
// cut off at any moment leaves every file stored wholly or not at all, and the next run goes
// on. What is still to upload is worked out from the folder and the server alone.
namespace ArchiveSync {

enum class Mode { Upload, Check };
// Called after each block of files with the number done and the total; false stops the run.
using Progress = std::function<bool(int done, int total)>;

// client: clientIdentity() of the folder; only: the file names to look at (the one just saved),
// every examination file of the folder when empty. Raises UserError when the folder cannot be
// read and ServerError when the run cannot go on (the connection lost, access denied); a file
// the server refuses is reported Refused and the others go on.
SyncReport run(Connection& connection, const QString& folder, const GcrKey& key, const QString& client,
               Mode mode = Mode::Upload, const Progress& progress = {}, const QStringList& only = {});

} // namespace ArchiveSync
} // namespace Institution
