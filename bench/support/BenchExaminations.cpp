#include "BenchExaminations.h"

#include <QDir>
#include <QFile>

namespace BenchExaminations {

namespace {

const char* const kCodes[3][5] = {
    {"EV", "IV", "MV", nullptr, nullptr}, {"NE", "EE", "NI", "II", "NM"}, {"KE", "KI", "KM", nullptr, nullptr}};
const int kCodesInColumn[3] = {3, 5, 3};

QString randomCode(Lcg& rng, int column) {
    return QLatin1String(kCodes[column - 1][rng.next(static_cast<quint32>(kCodesInColumn[column - 1]))]);
}

} // namespace

quint32 Lcg::next(quint32 bound) {
    m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<quint32>(m_state >> 33) % bound;
}

ExaminationData generate(Lcg& rng, int n) {
    ExaminationData d;
    d.personal.code = QStringLiteral("K%1").arg(n, 5, 10, QLatin1Char('0'));
    d.personal.name = QStringLiteral("Vizsgált Személy %1").arg(n);
    d.personal.age = 7 + static_cast<qint32>(rng.next(8));
    d.personal.sex = rng.next(2) == 0 ? PersonalData::Sex::Boy : PersonalData::Sex::Girl;
    d.personal.date = QStringLiteral("2024.05.06.");
    d.personal.examiner = QStringLiteral("Dr. Minta Anna");
    for (size_t p = 0; p < d.lines.size(); ++p) {
        d.answers[p] = QStringLiteral("A gyerek válasza a(z) %1. képre.\r\n").arg(p + 1);
        ScoringLine& line = d.lines[p];
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

QByteArray keyBytes() {
    QByteArray bytes = "GCR\r\n";
    for (int p = 1; p <= kPictureCount; ++p)
        bytes += p % 3 == 0 ? QByteArray("NE,KE;\r\n") : p % 3 == 1 ? QByteArray("EV,;\r\n") : QByteArray(",;\r\n");
    return bytes;
}

GcrKey key() {
    return GcrKey::parse(keyBytes(), QStringLiteral("bench.gcr"));
}

void writeArchive(const QString& folder, int count) {
    QDir().mkpath(folder);
    Lcg rng(20240506);
    for (int n = 0; n < count; ++n) {
        QFile file(QDir(folder).filePath(QStringLiteral("K%1.kvx").arg(n, 6, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(ExaminationFile::serialize(generate(rng, n))) < 0)
            qFatal("cannot write %s", qPrintable(file.fileName()));
    }
}

} // namespace BenchExaminations
