#pragma once

// Codings for the evaluation and protocol tests, written as one "O-D,E-D,N-P" text per picture.

#include "core/exam/ExaminationFile.h"
#include "core/marking/Coding.h"

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
