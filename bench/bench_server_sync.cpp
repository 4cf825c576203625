// Uploads 10,000 generated examinations to a throw-away PostgreSQL server as `gyvkt-cli sync`
// does (each file read, evaluated and stored in a transaction of its own), and in the same run
// loads the same bytes with `psql \copy` into a bare table, then prints the times and the
// ratio. The sync is meant to stay within three times the bare copy.
#include "BenchExaminations.h"
#include "BenchServer.h"
#include "institution/ArchiveSync.h"
#include "institution/ClientIdentity.h"
#include "institution/Connection.h"
#include "services/ArchiveFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>
#include <cstdio>

using namespace Institution;

namespace {

// The files as COPY's text format reads them: the name, a tab, the bytes as bytea's hex.
QByteArray copyData(const QStringList& files) {
    QByteArray data;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(path));
        data += QFileInfo(path).fileName().toUtf8() + "\t\\\\x" + file.readAll().toHex() + '\n';
    }
    return data;
}

qint64 psqlCopy(const BenchServer& server, const QString& dataFile) {
    Connection owner(server.ownerInfo());
    owner.exec("DROP TABLE IF EXISTS bare");
    owner.exec("CREATE TABLE bare (file_name text, bytes bytea)");
    QElapsedTimer timer;
    timer.start();
    QProcess psql;
    psql.start(server.psqlPath(),
               {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                QStringLiteral("-c"), QStringLiteral("\\copy bare FROM '%1'").arg(dataFile), server.ownerInfo()});
    if (!psql.waitForFinished(600000) || psql.exitCode() != 0)
        qFatal("psql \\copy failed: %s", psql.readAllStandardError().constData());
    return timer.nsecsElapsed();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("archivum"));
    BenchExaminations::writeArchive(archive, BenchExaminations::kCount);
    const QStringList files = ArchiveFolder::examinationFiles(archive);
    const QString dataFile = dir.filePath(QStringLiteral("copy.txt"));
    {
        QFile out(dataFile);
        if (!out.open(QIODevice::WriteOnly) || out.write(copyData(files)) < 0)
            qFatal("cannot write the copy's data");
    }
    const GcrKey key = BenchExaminations::key();
    BenchServer server;

    // Other work on the machine disturbs single runs: each measure is taken three times,
    // alternating, and its best time kept. Each sync starts from an empty archive.
    // The check reads and evaluates every file as the sync does, and sends nothing: what the
    // client's own work costs of the whole.
    qint64 copyNs = LLONG_MAX;
    qint64 syncNs = LLONG_MAX;
    qint64 checkNs = LLONG_MAX;
    int uploaded = 0;
    for (int round = 0; round < 3; ++round) {
        server.newDatabase();
        copyNs = std::min(copyNs, psqlCopy(server, dataFile));
        Connection examiner(server.examinerInfo());
        QElapsedTimer timer;
        timer.start();
        ArchiveSync::run(examiner, archive, key, clientIdentity(archive), ArchiveSync::Mode::Check);
        checkNs = std::min(checkNs, timer.nsecsElapsed());
        timer.restart();
        const SyncReport report = ArchiveSync::run(examiner, archive, key, clientIdentity(archive));
        syncNs = std::min(syncNs, timer.nsecsElapsed());
        uploaded = report.count(FileState::State::Uploaded);
    }
    std::printf("examinations:            %d (%d uploaded, %.1f MiB)\n", BenchExaminations::kCount, uploaded,
                QFileInfo(dataFile).size() / 2097152.0);
    std::printf("psql \\copy, bare table:  %.0f ms\n", copyNs / 1e6);
    std::printf("check, nothing sent:     %.0f ms (reading and evaluating the files)\n", checkNs / 1e6);
    std::printf("sync:                    %.0f ms\n", syncNs / 1e6);
    std::printf("sync / psql \\copy:       %.2f (goal: at most 3)\n",
                static_cast<double>(syncNs) / static_cast<double>(copyNs));
    // The bare copy reads no file and evaluates nothing: beside it and the check together, what
    // the sync adds to the work it cannot do without.
    std::printf("sync / (copy + check):   %.2f\n", static_cast<double>(syncNs) / static_cast<double>(copyNs + checkNs));
    return uploaded == BenchExaminations::kCount ? 0 : 1;
}
