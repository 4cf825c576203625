// Lists 10,000 generated examinations as the archive window does: (a) merely reading the files'
// bytes, (b) a cold listing, (c) the same listing again with the rows kept, and prints the
// times and the ratios of (b) and (c) to (a). The listing reads on every core; (a) on one.
#include "BenchExaminations.h"
#include "formats/ExaminationFile.h"
#include "model/GcrKey.h"
#include "services/ArchiveFolder.h"
#include "services/ArchiveListing.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

const char* const kNames[] = {"Kovács Ödön", "Szabó Réka", "Tóth Győző", "Nagy Ünige", "Kiss Előd"};

// Accented names and dates to sort and filter, and some ages the norms do not cover.
ExaminationData varied(BenchExaminations::Lcg& rng, int n) {
    ExaminationData d = BenchExaminations::generate(rng, n);
    d.personal.name = QString::fromUtf8(kNames[rng.next(5)]) + QStringLiteral(" %1").arg(n);
    d.personal.age = 6 + static_cast<qint32>(rng.next(10));
    d.personal.date = QStringLiteral("2024.05.%1.").arg(1 + rng.next(28), 2, 10, QLatin1Char('0'));
    return d;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    BenchExaminations::Lcg rng(20240506);
    for (int n = 0; n < BenchExaminations::kCount; ++n) {
        QFile file(dir.filePath(QStringLiteral("K%1.kvx").arg(n, 5, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(ExaminationFile::serialize(varied(rng, n))) < 0) {
            std::fprintf(stderr, "cannot write the examinations below %s\n", qPrintable(dir.path()));
            return 2;
        }
    }
    const GcrKey key = BenchExaminations::key();

    // Each time is the best of a few runs, so that another process's moment on the CPU does not
    // decide the ratio. The files are in the operating system's cache for all three.
    auto best = [](int runs, auto&& run) {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            run();
            fastest = std::min(fastest, timer.nsecsElapsed());
        }
        return fastest;
    };

    // (a) the bytes of the same files, found the same way, and nothing else done with them.
    qint64 bytes = 0;
    const qint64 readNs = best(3, [&] {
        bytes = 0;
        for (const QString& path : ArchiveFolder::examinationFiles(dir.path())) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                bytes += file.readAll().size();
        }
    });

    QList<ArchiveRow> cold;
    int coldRead = 0;
    const qint64 coldNs = best(3, [&] {
        ArchiveCache fresh;
        cold = fresh.list(dir.path(), key);
        coldRead = fresh.readCount();
    });

    ArchiveCache cache;
    cache.list(dir.path(), key);
    QList<ArchiveRow> again;
    int againRead = 0;
    const qint64 againNs = best(5, [&] {
        again = cache.list(dir.path(), key);
        againRead = cache.readCount();
    });

    int malformed = 0;
    for (const ArchiveRow& row : cold)
        malformed += row.malformed ? 1 : 0;
    std::printf("examinations:                 %d (%.1f KiB each, %d malformed)\n", static_cast<int>(cold.size()),
                bytes / 1024.0 / BenchExaminations::kCount, malformed);
    std::printf("(a) read the bytes only:      %8.1f ms\n", readNs / 1e6);
    std::printf("(b) cold listing:             %8.1f ms  (%d files read)  %.2f x (a)\n", coldNs / 1e6, coldRead,
                double(coldNs) / double(readNs));
    std::printf("(c) listing again, kept rows: %8.1f ms  (%d files read)  %.2f x (a)\n", againNs / 1e6, againRead,
                double(againNs) / double(readNs));
    return again.size() == cold.size() ? 0 : 1;
}
