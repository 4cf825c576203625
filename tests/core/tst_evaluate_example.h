#pragma once

// Codings for the evaluation and protocol tests, written as one "O-D,E-D,N-P" text per picture.

#include "formats/ExaminationFile.h"
#include "model/Coding.h"

#include <QStringList>
#include <array>

namespace EvalFixture {

inline ScoringLine lineFrom(const QString& spec) {
    const QStringList parts = spec.split(QLatin1Char(','));
    ScoringLine line;
    for (int column = 1; column <= 3 && column <= parts.size(); ++column)
        line.field(column) = parts.at(column - 1);
    return line;
}

// Pictures 1 to n from the list, the rest empty.
inline std::array<ScoringLine, 24> linesFrom(const QStringList& specs) {
    std::array<ScoringLine, 24> lines;
    for (int i = 0; i < specs.size() && i < 24; ++i)
        lines[static_cast<size_t>(i)] = lineFrom(specs.at(i));
    return lines;
}

// A key file under which the worked example earns 9.5 points: pictures 1-9 one point each,
// picture 15 half a point (one of its two codes matches), picture 10 none.
inline QByteArray workedExampleKeyBytes() {
    QByteArray key = "GCR kulcs\r\n";
    for (int p = 1; p <= 24; ++p)
        key += p <= 6    ? QByteArray("NE,;\r\n")
               : p <= 9  ? QByteArray("MV,;\r\n")
               : p == 10 ? QByteArray("EV,;\r\n")
               : p == 15 ? QByteArray("EE,;\r\n")
                         : QByteArray(",;\r\n");
    return key;
}

inline GcrKey workedExampleKey() {
    return GcrKey::parse(workedExampleKeyBytes(), QStringLiteral("magyar.gcr"));
}

// A subject of the tests, coded as given.
inline ExaminationData examination(const std::array<ScoringLine, 24>& lines, qint32 age,
                                   const QString& examiner = QStringLiteral("Dr. Minta")) {
    ExaminationData d;
    d.personal.name = QStringLiteral("Kis & <Péter>");
    d.personal.age = age;
    d.personal.date = QStringLiteral("2024.05.06.");
    d.personal.examiner = examiner;
    d.lines = lines;
    return d;
}

// Every picture keyed "EV" alone: a lone EV scores 1, EV beside another code 0.5, IV 0.
inline QByteArray evKeyBytes() {
    QByteArray bytes = "GCR\r\n";
    for (int p = 1; p <= 24; ++p)
        bytes += "EV,;\r\n";
    return bytes;
}

// Pictures filled in order under evKeyBytes(): `ones` lone EV, `halves` EVIV, `zeros` IV; the
// rest unmarked.
inline ExaminationData pointedExamination(const QString& name, qint32 age, int ones, int halves = 0, int zeros = 0) {
    ExaminationData d;
    d.personal.name = name;
    d.personal.age = age;
    d.personal.date = QStringLiteral("2024.05.06.");
    d.personal.examiner = QStringLiteral("Dr. Minta Anna");
    int p = 0;
    for (int i = 0; i < ones; ++i)
        d.lines[static_cast<size_t>(p++)].field(1) = QStringLiteral("EV");
    for (int i = 0; i < halves; ++i)
        d.lines[static_cast<size_t>(p++)].field(1) = QStringLiteral("EVIV");
    for (int i = 0; i < zeros; ++i)
        d.lines[static_cast<size_t>(p++)].field(1) = QStringLiteral("IV");
    return d;
}

// The worked example of the scoring rules: age 9, 22 scored pictures, GCR points 9.5.
inline std::array<ScoringLine, 24> workedExample() {
    QStringList specs;
    for (int p = 1; p <= 24; ++p) {
        if (p <= 6)
            specs << QStringLiteral(",NE,");
        else if (p <= 10)
            specs << QStringLiteral("MV,,");
        else if (p <= 14)
            specs << QStringLiteral(",,KE");
        else if (p <= 17)
            specs << QStringLiteral(",EENI,");
        else if (p <= 20)
            specs << QStringLiteral("IV,,KI");
        else if (p <= 22)
            specs << QStringLiteral(",NM,");
        else
            specs << QString();
    }
    return linesFrom(specs);
}

// n pictures with the code (in its own column), the rest of the 24 empty.
inline QStringList repeated(const QString& spec, int n) {
    QStringList specs;
    for (int i = 0; i < n; ++i)
        specs << spec;
    return specs;
}

} // namespace EvalFixture
