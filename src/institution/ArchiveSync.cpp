#include "institution/ArchiveSync.h"

#include "institution/Connection.h"
#include "institution/ExaminationUpload.h"
#include "institution/ServerArchive.h"
#include "institution/ServerError.h"
#include "model/GcrKey.h"
#include "services/ArchiveFolder.h"

#include <QFileInfo>
#include <QFuture>
#include <QHash>
#include <QScopeGuard>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>

namespace Institution {

namespace {

// Files read and evaluated together on every core while the server stores the block before them,
// the new examinations among them in one transaction: enough that the round trips and the
// transactions cost little, few enough that their bytes stay small in memory.
constexpr qsizetype kFilesPerBlock = 256;

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

// Makes the run's uploads durable and notes the run in the audit trail.
void finish(Connection& connection, const QString& client, const QStringList& held, const SyncReport& report) {
    confirmHeld(connection, client, held);
    connection.exec("RESET synchronous_commit");
    const int uploaded = report.count(FileState::State::Uploaded);
    if (uploaded > 0)
        connection.exec("SELECT gyvkt.note_sync($1, $2, $3)",
                        {Param::number(uploaded), Param::number(report.count(FileState::State::Unchanged)),
                         Param::number(report.count(FileState::State::Refused))});
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

namespace {

// The files of one block that go to the server: by the state they are reported under.
struct Sending {
    QList<const PreparedUpload*> files;
    QList<qsizetype> places; // in the report
    void add(const PreparedUpload* file, qsizetype place) {
        files << file;
        places << place;
    }
};

// Reports each file of the block as the server's current versions find it; what is to be sent
// goes to fresh (examinations the server has none of) or changed.
void classify(const QList<PreparedUpload>& block, const QHash<QString, QList<Holding>>& server, bool sending,
              SyncReport& report, QStringList& toConfirm, Sending& fresh, Sending& changed) {
    for (const PreparedUpload& file : block) {
        FileState state{file.fileName, FileState::State::Pending, file.error, 0};
        const QList<Holding> current = server.value(file.fileName);
        state.currentVersions = static_cast<int>(current.size());
        const auto same =
            std::find_if(current.begin(), current.end(), [&file](const Holding& h) { return h.sha256 == file.sha256; });
        if (ServerArchive::isServerCopy(file.fileName)) {
            state.state = FileState::State::Refused;
            state.reason = ServerArchive::serverCopyText();
        } else if (!file.ok()) {
            state.state = FileState::State::Refused;
        } else if (same != current.end()) {
            state.state = FileState::State::Unchanged;
            if (!same->held)
                toConfirm << same->version;
        } else if (sending) {
            (current.isEmpty() ? fresh : changed).add(&file, report.files.size());
        }
        report.files.append(state);
    }
}

// Stores the new examinations together, and what the server did not take that way (and every
// changed one) file by file.
void send(Connection& connection, const QString& client, Sending& fresh, Sending& changed, SyncReport& report) {
    QHash<QString, QString> stored;
    try {
        stored = uploadNew(connection, fresh.files, client);
    } catch (const ServerError& e) {
        // A value the server refuses stops the whole block: each file then goes on its own, and
        // only the one at fault is refused.
        if (e.endsTheRun())
            throw;
    }
    for (qsizetype i = 0; i < fresh.files.size(); ++i) {
        if (!stored.contains(fresh.files.at(i)->fileName)) {
            changed.add(fresh.files.at(i), fresh.places.at(i));
            continue;
        }
        report.files[fresh.places.at(i)].state = FileState::State::Uploaded;
        report.files[fresh.places.at(i)].currentVersions = 1;
    }
    const QList<UploadResult> results = upload(connection, changed.files, client);
    for (qsizetype i = 0; i < results.size(); ++i) {
        FileState& state = report.files[changed.places.at(i)];
        if (const std::optional<ServerError>& refused = results.at(i).error) {
            if (refused->endsTheRun())
                throw *refused;
            state.state = FileState::State::Refused;
            state.reason = refused->text();
            continue;
        }
        state.state = results.at(i).outcome->stored ? FileState::State::Uploaded : FileState::State::Unchanged;
        state.currentVersions = results.at(i).outcome->currentVersions;
    }
}

} // namespace

SyncReport ArchiveSync::run(Connection& connection, const QString& folder, const GcrKey& key, const QString& client,
                            Mode mode, const Progress& progress, const QStringList& only) {
    QStringList paths = ArchiveFolder::examinationFiles(folder);
    if (!only.isEmpty())
        paths.removeIf([&only](const QString& path) { return !only.contains(QFileInfo(path).fileName()); });
    const QHash<QString, QList<Holding>> server = holdings(connection, client);
    // Each transaction commits without waiting for the server's disk; the run's last one waits,
    // and with it everything committed before it. A server that crashes in between loses whole
    // uploads of this run, never part of one, and the run has not said they were done: the next
    // one finds them missing and sends them again.
    const bool sending = mode == Mode::Upload;
    if (sending)
        connection.exec("SET synchronous_commit = off");
    // The next block is read and evaluated on the other cores while the server stores this one.
    auto prepare = [&paths, &key](qsizetype from) {
        return QtConcurrent::mapped(paths.mid(from, kFilesPerBlock),
                                    [&key](const QString& path) { return prepareUpload(path, key); });
    };
    QFuture<PreparedUpload> next = prepare(0);
    const auto waitForNext = qScopeGuard([&next] { next.waitForFinished(); });
    SyncReport report;
    QStringList toConfirm;
    for (qsizetype from = 0; from < paths.size(); from += kFilesPerBlock) {
        const QList<PreparedUpload> block = next.results();
        if (from + kFilesPerBlock < paths.size())
            next = prepare(from + kFilesPerBlock);
        Sending fresh;
        Sending changed;
        classify(block, server, sending, report, toConfirm, fresh, changed);
        send(connection, client, fresh, changed, report);
        if (progress && !progress(static_cast<int>(report.files.size()), static_cast<int>(paths.size())))
            break;
    }
    // A file that came with a copy of the folder, or whose upload's answer a broken connection
    // lost, is held here without the server knowing yet.
    if (sending)
        finish(connection, client, toConfirm, report);
    return report;
}

} // namespace Institution
