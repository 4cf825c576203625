// Exports 10,000 generated examinations from a folder into one CSV table, and in the same run
// reads and evaluates the same files one by one as gyvkt-cli evaluate does (with and without
// its JSON), then prints the times and the ratio. The export is meant to stay within twice the
// evaluation.
#include "BenchExaminations.h"
#include "formats/ExaminationFile.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "model/GcrKey.h"
#include "render/EvaluationJson.h"
#include "services/ArchiveExport.h"
#include "services/ArchiveFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>

namespace {

// Names with the characters CSV must quote.
ExaminationData named(ExaminationData d, int n) {
    d.personal.name = QStringLiteral("Vizsgált, \"Személy\" %1").arg(n);
    return d;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("archivum"));
    QDir().mkpath(archive);
    BenchExaminations::Lcg rng(20240506);
    for (int n = 0; n < BenchExaminations::kCount; ++n)
        ExaminationFile::write(QDir(archive).filePath(QStringLiteral("K%1.kvx").arg(n, 5, 10, QLatin1Char('0'))),
                               named(BenchExaminations::generate(rng, n), n));
    const GcrKey key = BenchExaminations::key();
    const QChar separator = QLatin1Char('.');

    // Other work on the machine disturbs single runs; each measure is taken three times,
    // alternating, and its best time kept. The export reads and evaluates on every core; its
    // processor time (all threads together) is printed as well.
    qint64 evaluateNs = LLONG_MAX;
    qint64 evaluateJsonNs = LLONG_MAX;
    qint64 exportNs = LLONG_MAX;
    double evaluateCpu = 1e300;
    double exportCpu = 1e300;
    qint64 checksum = 0;
    qint64 jsonBytes = 0;
    ArchiveExport::Result result;
    QElapsedTimer timer;
    for (int round = 0; round < 3; ++round) {
        timer.start();
        std::clock_t cpu = std::clock();
        checksum = 0;
        for (const QString& path : ArchiveFolder::examinationFiles(archive)) {
            const ExaminationData data = ExaminationFile::read(path);
            const Coding coding(key, data.lines);
            checksum += evaluate(coding, data.personal.age).gcrPercent;
        }
        evaluateNs = std::min(evaluateNs, timer.nsecsElapsed());
        evaluateCpu = std::min(evaluateCpu, static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);

        timer.restart();
        jsonBytes = 0;
        for (const QString& path : ArchiveFolder::examinationFiles(archive)) {
            const ExaminationData data = ExaminationFile::read(path);
            const Coding coding(key, data.lines);
            const EvaluationResult evaluation = evaluate(coding, data.personal.age);
            jsonBytes += QJsonDocument(evaluationJson(data.personal, coding, evaluation, separator)).toJson().size();
        }
        evaluateJsonNs = std::min(evaluateJsonNs, timer.nsecsElapsed());

        timer.restart();
        cpu = std::clock();
        const QStringList exported = ArchiveFolder::examinationFiles(archive);
        result = ArchiveExport::build(exported, key, {CsvDialect::standard(), false});
        ArchiveExport::write(dir.filePath(QStringLiteral("export.csv")), result, exported);
        exportNs = std::min(exportNs, timer.nsecsElapsed());
        exportCpu = std::min(exportCpu, static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
    }

    std::printf("examinations:                    %d (%d rows, %lld errors, %.1f MiB of CSV)\n",
                BenchExaminations::kCount, result.rows, static_cast<long long>(result.errors.size()),
                result.table.size() / 1048576.0);
    std::printf("read + evaluate:                 %.0f ms (checksum %lld)\n", evaluateNs / 1e6,
                static_cast<long long>(checksum));
    std::printf("read + evaluate + JSON:          %.0f ms (%.1f MiB of JSON)\n", evaluateJsonNs / 1e6,
                jsonBytes / 1048576.0);
    std::printf("export:                          %.0f ms\n", exportNs / 1e6);
    std::printf("export / (read + evaluate):      %.2f (goal: at most 2)\n",
                static_cast<double>(exportNs) / static_cast<double>(evaluateNs));
    std::printf("processor time, export / (read + evaluate): %.2f\n", exportCpu / evaluateCpu);
    std::printf("export / (read + evaluate + JSON): %.2f\n",
                static_cast<double>(exportNs) / static_cast<double>(evaluateJsonNs));
    return 0;
}
