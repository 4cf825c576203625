#include "institution/ArchiveSync.h"

#include "institution/Connection.h"
#include "institution/ExaminationUpload.h"
#include "institution/ServerArchive.h"
#include "institution/ServerError.h"
#include "model/GcrKey.h"
#include "services/ArchiveFolder.h"

#include <QHash>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>

namespace Institution {

namespace {

// Files read and evaluated together on every core before their uploads: enough to keep the
// cores busy, few enough that their bytes stay small in memory.
constexpr qsizetype kFilesPerBlock = 64;

struct Holding {
    QByteArray sha256;
    QString version;
    bool held = false;
};

QHash<QString, QList<Holding>> holdings(Connection& connection, const QString& client) {
    QHash<QString, QList<Holding>> byName;
    const Rows rows =
        connection.exec("SELECT file_name, digest, version, held FROM gyvkt.holdings($1)", {Param::text(client)});
    for (int r = 0; r < rows.count(); ++r)
        byName[rows.text(r, 0)].append({rows.bytes(r, 1), rows.text(r, 2), rows.boolean(r, 3)});
    return byName;
}

} // namespace

int SyncReport::count(FileState::State state) const {
    return static_cast<int>(
        std::count_if(files.begin(), files.end(), [state](const FileState& f) { return f.state == state; }));
}

QStringList SyncReport::forked() const {
    QStringList names;
    for (const FileState& file : files) {
        if (file.currentVersions > 1)
            names << file.fileName;
    }
    return names;
}

SyncReport ArchiveSync::run(Connection& connection, const QString& folder, const GcrKey& key, const QString& client,
                            Mode mode, const Progress& progress) {
    const QStringList paths = ArchiveFolder::examinationFiles(folder);
    const QHash<QString, QList<Holding>> server = holdings(connection, client);
    SyncReport report;
    QStringList toConfirm;
    const auto total = static_cast<int>(paths.size());
    for (qsizetype from = 0; from < paths.size(); from += kFilesPerBlock) {
        const QList<PreparedUpload> block = QtConcurrent::blockingMapped(
            paths.mid(from, kFilesPerBlock), [&key](const QString& path) { return prepareUpload(path, key); });
        for (const PreparedUpload& file : block) {
            FileState state{file.fileName, FileState::State::Pending, file.error, 0};
            const QList<Holding> current = server.value(file.fileName);
            state.currentVersions = static_cast<int>(current.size());
            const auto same = std::find_if(current.begin(), current.end(),
                                           [&file](const Holding& h) { return h.sha256 == file.sha256; });
            if (ServerArchive::isServerCopy(file.fileName)) {
                state.state = FileState::State::Refused;
                state.reason = ServerArchive::serverCopyText();
            } else if (!file.ok()) {
                state.state = FileState::State::Refused;
            } else if (same != current.end()) {
                state.state = FileState::State::Unchanged;
                if (!same->held)
                    toConfirm << same->version;
            } else if (mode == Mode::Upload) {
                try {
                    const UploadOutcome outcome = upload(connection, file, client);
                    state.state = outcome.stored ? FileState::State::Uploaded : FileState::State::Unchanged;
                    state.currentVersions = outcome.currentVersions;
                } catch (const ServerError& e) {
                    if (e.endsTheRun())
                        throw;
                    state.state = FileState::State::Refused;
                    state.reason = e.text();
                }
            }
            report.files.append(state);
            if (progress && !progress(static_cast<int>(report.files.size()), total))
                return report;
        }
    }
    // A file that came with a copy of the folder, or whose upload's answer a broken connection
    // lost, is held here without the server knowing yet.
    if (mode == Mode::Upload)
        confirmHeld(connection, client, toConfirm);
    return report;
}

} // namespace Institution
