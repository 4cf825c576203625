// Evaluates and writes the protocols of 10,000 generated examinations, then, in the same run,
// merely reads back and writes the same bytes, and prints both times per examination.
#include "core/evaluation/Evaluate.h"
#include "core/exam/ExaminationFile.h"
#include "core/marking/Coding.h"
#include "core/marking/GcrKey.h"
#include "core/platform/TextFile.h"
#include "core/report/ProtocolWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

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

QString randomCode(Lcg& rng, int column) {
    return QLatin1String(kCodes[column - 1][rng.next(static_cast<quint32>(kCodesInColumn[column - 1]))]);
}

ExaminationData generate(Lcg& rng, int n) {
    ExaminationData d;
    d.personal.code = QStringLiteral("K%1").arg(n, 5, 10, QLatin1Char('0'));
    d.personal.name = QStringLiteral("Vizsgált Személy %1").arg(n);
    d.personal.age = 7 + static_cast<qint32>(rng.next(8));
    d.personal.sex = rng.next(2) == 0 ? PersonalData::Sex::Boy : PersonalData::Sex::Girl;
    d.personal.date = QStringLiteral("2024.05.06.");
    d.personal.examiner = QStringLiteral("Dr. Minta Anna");
    for (ScoringLine& line : d.lines) {
        const quint32 shape = rng.next(10);
        if (shape == 0)
            continue; // an unmarked picture
        const int column = 1 + static_cast<int>(rng.next(3));
        line.field(column) = randomCode(rng, column);
        if (shape >= 7) { // a second code, in the same or another column
            const int second = 1 + static_cast<int>(rng.next(3));
            line.field(second) += randomCode(rng, second);
        }
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
    Lcg rng(20240506);
    std::vector<ExaminationData> exams;
    exams.reserve(kExaminations);
    for (int n = 0; n < kExaminations; ++n)
        exams.push_back(generate(rng, n));

    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("a"));
    QDir(dir.path()).mkpath(QStringLiteral("b"));
    const QChar separator = QLatin1Char(',');
    const GcrKey key = benchKey();
    qint64 totalBytes = 0;

    QElapsedTimer timer;
    timer.start();
    for (const ExaminationData& d : exams) {
        const Coding coding(key, d.lines);
        const EvaluationResult result = evaluate(coding, d.personal.age, separator);
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

    const double evaluateMs = evaluateNs / 1e6 / kExaminations;
    const double copyMs = copyNs / 1e6 / kExaminations;
    std::printf("examinations:                      %d (%.1f KiB per protocol)\n", kExaminations,
                totalBytes / 1024.0 / kExaminations);
    std::printf("evaluate + write protocol:         %.4f ms per examination\n", evaluateMs);
    std::printf("read + write the same bytes only:  %.4f ms per examination\n", copyMs);
    std::printf("ratio:                             %.2f\n", evaluateMs / copyMs);
    return 0;
}
