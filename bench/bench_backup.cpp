// Backs up a data root of 10,000 generated examinations with their protocols and restores it,
// and compares both with tar on the same tree: backup with `tar -cf` into a file, restore with
// `tar -xf`. The key is derived at the least cost for the timed runs (the program's own
// derivation, printed apart, takes the same time whatever the archive). Prints the ratios.
#include "BenchExaminations.h"
#include "base/DataRoot.h"
#include "formats/BackupTree.h"
#include "formats/ExaminationFile.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "render/ProtocolWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>

#include <unistd.h>

namespace {

bool put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The best of a few runs, so that another process's moment on the CPU does not decide the ratio;
// prepare() runs before each, untimed.
template <typename Prepare, typename Run>
double bestSeconds(int runs, Prepare prepare, Run run) {
    qint64 fastest = std::numeric_limits<qint64>::max();
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        fastest = std::min(fastest, timer.nsecsElapsed());
    }
    return fastest / 1e9;
}

int tar(const QStringList& args) {
    return QProcess::execute(QStringLiteral("tar"), args);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const DataRoot root(work.filePath(QStringLiteral("tavrix")));
    QDir().mkpath(root.archiveFolder());
    QDir().mkpath(root.htmlFolder());
    BenchExaminations::Lcg rng(20240506);
    const GcrKey key = BenchExaminations::key();
    const QChar separator = QLatin1Char(',');
    for (int n = 0; n < BenchExaminations::kCount; ++n) {
        const ExaminationData d = BenchExaminations::generate(rng, n);
        const Coding coding(key, d.lines);
        const EvaluationResult result = evaluate(coding, d.personal.age);
        if (!put(root.archiveFolder() + QLatin1Char('/') + d.personal.code + QStringLiteral(".kvx"),
                 ExaminationFile::serialize(d)) ||
            !put(root.protocolFile(d.personal.code),
                 ProtocolWriter::protocolBytes(d.personal, coding, result, separator))) {
            std::fprintf(stderr, "cannot write the data root below %s\n", qPrintable(work.path()));
            return 2;
        }
    }

    const QByteArray passphrase = "benchmark passphrase";
    const BackupCipher::KdfCost cheap = BackupCipher::cheapestCost();
    const QString backupFile = work.filePath(QStringLiteral("mentes.vktmentes"));
    const QString tarFile = work.filePath(QStringLiteral("mentes.tar"));
    // Each run writes into a folder of its own, and the disk has written back everything before a
    // run starts: neither the removal of an earlier run's 20,000 files nor its write-back lands in
    // the next run's time.
    int run = 0;
    const auto target = [&] { return work.filePath(QStringLiteral("vissza-%1").arg(run)); };
    const auto settle = [&] { ::sync(); };
    const auto nextTarget = [&] {
        ++run;
        ::sync();
    };

    BackupTree::Contents contents;
    const double backupS =
        bestSeconds(3, settle, [&] { contents = BackupTree::create(root.tavrix(), backupFile, passphrase, cheap); });
    const double tarCreateS = bestSeconds(3, settle, [&] {
        tar({QStringLiteral("-cf"), tarFile, QStringLiteral("-C"), root.tavrix(), QStringLiteral(".")});
    });
    const double restoreS = bestSeconds(3, nextTarget, [&] {
        QFile file(backupFile);
        file.open(QIODevice::ReadOnly);
        BackupTree::restore(file, backupFile, passphrase, target(), &cheap);
    });
    const double tarExtractS = bestSeconds(3, nextTarget, [&] {
        QDir().mkpath(target());
        tar({QStringLiteral("-xf"), tarFile, QStringLiteral("-C"), target()});
    });
    // The restore syncs the file system before it names the folder; tar does not.
    const double tarExtractSyncS = bestSeconds(3, nextTarget, [&] {
        QDir().mkpath(target());
        tar({QStringLiteral("-xf"), tarFile, QStringLiteral("-C"), target()});
        ::sync();
    });
    const double deriveS = bestSeconds(1, settle, [&] {
        BackupCipher::Sealer sealer([](const char*, qint64) {}, passphrase, BackupCipher::standardCost());
    });

    std::printf("data root:            %d files (%d examinations), %.1f MiB\n", contents.files, contents.examinations,
                contents.bytes / 1048576.0);
    std::printf("backup file:          %.1f MiB; tar file: %.1f MiB\n", QFile(backupFile).size() / 1048576.0,
                QFile(tarFile).size() / 1048576.0);
    std::printf("backup (no KDF):      %.3f s   tar -cf: %.3f s   ratio %.2f\n", backupS, tarCreateS,
                backupS / tarCreateS);
    std::printf("restore (no KDF):     %.3f s   tar -xf: %.3f s   ratio %.2f\n", restoreS, tarExtractS,
                restoreS / tarExtractS);
    std::printf("restore (no KDF):     %.3f s   tar -xf + sync: %.3f s   ratio %.2f\n", restoreS, tarExtractSyncS,
                restoreS / tarExtractSyncS);
    std::printf("key derivation alone: about %.2f s (Argon2id, the program's cost)\n", deriveS);
    return 0;
}
