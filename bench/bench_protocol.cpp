// Evaluates and writes the protocols of 10,000 generated examinations, then, in the same run,
// merely reads back and writes the same bytes, and prints both times per examination.
#include "BenchExaminations.h"
#include "base/TextFile.h"
#include "formats/ExaminationFile.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "model/GcrKey.h"
#include "render/ProtocolWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BenchExaminations::Lcg rng(20240506);
    std::vector<ExaminationData> exams;
    exams.reserve(BenchExaminations::kCount);
    for (int n = 0; n < BenchExaminations::kCount; ++n)
        exams.push_back(BenchExaminations::generate(rng, n));

    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("a"));
    QDir(dir.path()).mkpath(QStringLiteral("b"));
    const QChar separator = QLatin1Char(',');
    const GcrKey key = BenchExaminations::key();
    qint64 totalBytes = 0;

    QElapsedTimer timer;
    timer.start();
    for (const ExaminationData& d : exams) {
        const Coding coding(key, d.lines);
        const EvaluationResult result = evaluate(coding, d.personal.age);
        ProtocolWriter::writeProtocol(dir.filePath(QStringLiteral("a/") + d.personal.code + QStringLiteral(".html")),
                                      d.personal, coding, result, separator);
    }
    const qint64 evaluateNs = timer.nsecsElapsed();

    timer.restart();
    for (const ExaminationData& d : exams) {
        const QString name = d.personal.code + QStringLiteral(".html");
        const QByteArray bytes = TextFile::readBytes(dir.filePath(QStringLiteral("a/") + name));
        TextFile::writeBytes(dir.filePath(QStringLiteral("b/") + name), bytes);
        totalBytes += bytes.size();
    }
    const qint64 copyNs = timer.nsecsElapsed();

    const double evaluateMs = evaluateNs / 1e6 / BenchExaminations::kCount;
    const double copyMs = copyNs / 1e6 / BenchExaminations::kCount;
    std::printf("examinations:                      %d (%.1f KiB per protocol)\n", BenchExaminations::kCount,
                totalBytes / 1024.0 / BenchExaminations::kCount);
    std::printf("evaluate + write protocol:         %.4f ms per examination\n", evaluateMs);
    std::printf("read + write the same bytes only:  %.4f ms per examination\n", copyMs);
    std::printf("ratio:                             %.2f\n", evaluateMs / copyMs);
    return 0;
}
