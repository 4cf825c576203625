// Exports 100,000 generated examinations from a throw-away PostgreSQL server as a researcher does
// (`gyvkt-cli export --db`), and the same files from a folder as `gyvkt-cli export --anonymize`
// does, each as a process of its own, then prints the times, their ratio (meant to stay within
// 2), and the server export's peak memory at 100,000 against that at 10,000 (meant to stay
// within 1.5: the rows stream).
#include "BenchExaminations.h"
#include "BenchServer.h"
#include "institution/ArchiveSync.h"
#include "institution/ClientIdentity.h"
#include "institution/Connection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

using namespace Institution;

namespace {

constexpr int kLarge = 100000;
constexpr int kSmall = 10000;

struct Run {
    double seconds = 0;
    double peakMiB = 0;
};

// gyvkt-cli with the arguments, its wall time and its own peak resident memory.
Run runCli(const QStringList& arguments) {
    std::vector<QByteArray> bytes{QByteArrayLiteral(GYVKT_CLI_PATH)};
    for (const QString& a : arguments)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    // The names of the files written are not what the benchmark prints.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (started != 0)
        qFatal("cannot start gyvkt-cli");
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("gyvkt-cli %s failed", qPrintable(arguments.join(QLatin1Char(' '))));
    return {static_cast<double>(timer.nsecsElapsed()) / 1e9, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

QString loaded(BenchServer& server, const QString& folder, const GcrKey& key) {
    server.newDatabase();
    Connection examiner(server.examinerInfo());
    ArchiveSync::run(examiner, folder, key, clientIdentity(folder));
    return server.researcherInfo();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString large = dir.filePath(QStringLiteral("large"));
    const QString small = dir.filePath(QStringLiteral("small"));
    BenchExaminations::writeArchive(large, kLarge);
    BenchExaminations::writeArchive(small, kSmall);
    const QString keyFile = dir.filePath(QStringLiteral("bench.gcr"));
    {
        QFile file(keyFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(BenchExaminations::keyBytes()) < 0)
            qFatal("cannot write the key");
    }
    const GcrKey key = BenchExaminations::key();
    BenchServer server;
    const QString smallDb = loaded(server, small, key);
    const QString largeDb = loaded(server, large, key);
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const QStringList gcr{QStringLiteral("--gcr"), keyFile};

    const Run local = runCli(
        QStringList{QStringLiteral("export"), large, QStringLiteral("-o"), out, QStringLiteral("--anonymize")} + gcr);
    const Run fromServer =
        runCli(QStringList{QStringLiteral("export"), QStringLiteral("--db"), largeDb, QStringLiteral("-o"), out} + gcr);
    const Run fromServerSmall =
        runCli(QStringList{QStringLiteral("export"), QStringLiteral("--db"), smallDb, QStringLiteral("-o"), out} + gcr);

    std::printf("examinations:                          %d (and %d)\n", kLarge, kSmall);
    std::printf("export --anonymize, files:             %.1f s, peak %.0f MiB\n", local.seconds, local.peakMiB);
    std::printf("export --db:                           %.1f s, peak %.0f MiB\n", fromServer.seconds,
                fromServer.peakMiB);
    std::printf("export --db of %d:                  %.1f s, peak %.0f MiB\n", kSmall, fromServerSmall.seconds,
                fromServerSmall.peakMiB);
    std::printf("export --db / export --anonymize:      %.2f (goal: at most 2)\n", fromServer.seconds / local.seconds);
    std::printf("peak memory, %d / %d:             %.2f (goal: at most 1.5)\n", kLarge, kSmall,
                fromServer.peakMiB / fromServerSmall.peakMiB);
    return 0;
}
