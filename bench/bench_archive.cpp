// Lists 10,000 generated examinations as the archive window does: (a) merely reading the files'
// bytes, (b) a cold listing, (c) the same listing again with the rows kept, and prints the
// times and the ratios of (b) and (c) to (a). The listing reads on every core; (a) on one.
#include "core/archive/ArchiveFolder.h"
#include "core/archive/ArchiveListing.h"
#include "core/exam/ExaminationFile.h"
#include "core/marking/GcrKey.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr int kExaminations = 10000;

// A small deterministic generator, so every run measures the same examinations.
class Lcg {
public:
    explicit Lcg(quint64 seed) : m_state(seed) {}
    quint32 next(quint32 bound) {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<quint32>(m_state >> 33) % bound;
    }

private:
    quint64 m_state;
};

const char* const kCodes[3][5] = {
    {"EV", "IV", "MV", nullptr, nullptr}, {"NE", "EE", "NI", "II", "NM"}, {"KE", "KI", "KM", nullptr, nullptr}};
const int kCodesInColumn[3] = {3, 5, 3};
const char* const kNames[] = {"Kovács Ödön", "Szabó Réka", "Tóth Győző", "Nagy Ünige", "Kiss Előd"};

ExaminationData generate(Lcg& rng, int n) {
    ExaminationData d;
    d.personal.name = QString::fromUtf8(kNames[rng.next(5)]) + QStringLiteral(" %1").arg(n);
    d.personal.age = 6 + static_cast<qint32>(rng.next(10));
    d.personal.sex = rng.next(2) == 0 ? PersonalData::Sex::Boy : PersonalData::Sex::Girl;
    d.personal.date = QStringLiteral("2024.05.%1.").arg(1 + rng.next(28), 2, 10, QLatin1Char('0'));
    d.personal.examiner = QStringLiteral("Dr. Minta Anna");
    for (size_t p = 0; p < d.lines.size(); ++p) {
        ScoringLine& line = d.lines[p];
        if (rng.next(10) == 0)
            continue; // an unmarked picture
        const int column = 1 + static_cast<int>(rng.next(3));
        line.field(column) =
            QLatin1String(kCodes[column - 1][rng.next(static_cast<quint32>(kCodesInColumn[column - 1]))]);
        d.answers[p] = QStringLiteral("A gyerek válasza a(z) %1. képre.\r\n").arg(p + 1);
    }
    return d;
}

GcrKey benchKey() {
    QByteArray bytes = "GCR\r\n";
    for (int p = 1; p <= 24; ++p)
        bytes += p % 3 == 0 ? QByteArray("NE,KE;\r\n") : p % 3 == 1 ? QByteArray("EV,;\r\n") : QByteArray(",;\r\n");
    return GcrKey::parse(bytes, QStringLiteral("bench.gcr"));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Lcg rng(20240506);
    for (int n = 0; n < kExaminations; ++n) {
        QFile file(dir.filePath(QStringLiteral("K%1.kvx").arg(n, 5, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(ExaminationFile::serialize(generate(rng, n))) < 0) {
            std::fprintf(stderr, "cannot write the examinations below %s\n", qPrintable(dir.path()));
            return 2;
        }
    }
    const GcrKey key = benchKey();

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
                bytes / 1024.0 / kExaminations, malformed);
    std::printf("(a) read the bytes only:      %8.1f ms\n", readNs / 1e6);
    std::printf("(b) cold listing:             %8.1f ms  (%d files read)  %.2f x (a)\n", coldNs / 1e6, coldRead,
                double(coldNs) / double(readNs));
    std::printf("(c) listing again, kept rows: %8.1f ms  (%d files read)  %.2f x (a)\n", againNs / 1e6, againRead,
                double(againNs) / double(readNs));
    return again.size() == cold.size() ? 0 : 1;
}
