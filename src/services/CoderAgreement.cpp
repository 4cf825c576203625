#include "services/CoderAgreement.h"

#include "base/UserError.h"
#include "formats/ExaminationFile.h"

#include <QMap>

#include <algorithm>

namespace {

// Counts are whole numbers; kappa and alpha are formed from them as one fraction each, so the
// "pe = 1" and "one category only" cases are recognised exactly rather than up to rounding.
std::optional<double> fraction(qint64 numerator, qint64 denominator) {
    if (denominator == 0)
        return std::nullopt;
    return static_cast<double>(static_cast<long double>(numerator) / static_cast<long double>(denominator));
}

QString categoryOf(const ScoringLine& line, int column) {
    return CoderAgreement::category(line.field(column), column);
}

bool hasCode(const ScoringLine& line, const ScoreCode& code) {
    const QString& field = line.field(code.column);
    const QString text = code.text();
    return ScoringLine::firstCode(field) == text || ScoringLine::secondCode(field) == text;
}

// code -> path for one side; two files of one code are refused, naming both.
QMap<QString, QString> byCode(const QStringList& files, const QString& side) {
    QMap<QString, QString> out;
    for (const QString& path : files) {
        const QString code = ExaminationFile::codeFromPath(path);
        if (code.isEmpty())
            throw UserError(QStringLiteral("A(z) %1 oldal fájljának nevéből nem adódik kód: %2").arg(side, path));
        const auto existing = out.constFind(code);
        if (existing != out.constEnd())
            throw UserError(QStringLiteral("A(z) %1 oldalon két fájl kódja is %2: %3 és %4")
                                .arg(side, code, existing.value(), path));
        out.insert(code, path);
    }
    return out;
}

CoderAgreement::Lines linesOf(const QString& path) {
    try {
        return ExaminationFile::read(path).lines;
    } catch (const UserError& e) {
        throw UserError(path + QStringLiteral(": ") + e.text());
    }
}

} // namespace

QString CoderAgreement::category(const QString& field, int column) {
    QStringList codes;
    for (const QString& candidate : {ScoringLine::firstCode(field), ScoringLine::secondCode(field)}) {
        const ScoreCode* code = ScoreCodes::byCode(candidate);
        if (code != nullptr && code->column == column && !codes.contains(candidate))
            codes << candidate;
    }
    codes.sort();
    return codes.join(QLatin1Char('+'));
}

std::optional<double> CoderAgreement::cohenKappa(const QStringList& a, const QStringList& b) {
    const qint64 n = std::min(a.size(), b.size());
    QMap<QString, std::pair<qint64, qint64>> marginals;
    qint64 agreeing = 0;
    for (qsizetype i = 0; i < n; ++i) {
        ++marginals[a.at(i)].first;
        ++marginals[b.at(i)].second;
        if (a.at(i) == b.at(i))
            ++agreeing;
    }
    // With N units: po = agreeing / N, pe = chance / N^2, so kappa = (N agreeing - chance) / (N^2 - chance).
    qint64 chance = 0;
    for (const auto& m : std::as_const(marginals))
        chance += m.first * m.second;
    return fraction(n * agreeing - chance, n * n - chance);
}

std::optional<double> CoderAgreement::krippendorffAlpha(const QStringList& a, const QStringList& b) {
    const qint64 units = std::min(a.size(), b.size());
    // Two values per unit: an agreeing unit adds 2 to o_cc, a disagreeing one 1 to o_ck and o_kc.
    QMap<QString, qint64> n_c;
    qint64 disagreeing = 0;
    for (qsizetype i = 0; i < units; ++i) {
        ++n_c[a.at(i)];
        ++n_c[b.at(i)];
        if (a.at(i) != b.at(i))
            ++disagreeing;
    }
    const qint64 n = 2 * units;
    qint64 sumSquares = 0;
    for (const qint64 count : std::as_const(n_c))
        sumSquares += count * count;
    // sum over c != k of n_c n_k = n^2 - sum of n_c^2; sum over c != k of o_ck = 2 * disagreeing.
    const qint64 expected = n * n - sumSquares;
    const std::optional<double> ratio = fraction((n - 1) * 2 * disagreeing, expected);
    if (!ratio)
        return std::nullopt;
    return 1.0 - *ratio;
}

CoderAgreement::Result CoderAgreement::compare(const QList<std::pair<Lines, Lines>>& pairs) {
    Result r;
    r.pairs = static_cast<int>(pairs.size());
    std::array<QStringList, 3> columnA;
    std::array<QStringList, 3> columnB;
    std::array<int, kPictureCount> pictureAgreeing{};
    std::array<QStringList, ScoreCodes::kCount> presenceA;
    std::array<QStringList, ScoreCodes::kCount> presenceB;
    int agreeing = 0;
    for (const auto& [a, b] : pairs) {
        for (int picture = 1; picture <= kPictureCount; ++picture) {
            const ScoringLine& lineA = a[static_cast<size_t>(picture - 1)];
            const ScoringLine& lineB = b[static_cast<size_t>(picture - 1)];
            for (int column = 1; column <= 3; ++column) {
                const QString x = categoryOf(lineA, column);
                const QString y = categoryOf(lineB, column);
                columnA[static_cast<size_t>(column - 1)] << x;
                columnB[static_cast<size_t>(column - 1)] << y;
                if (x == y) {
                    ++agreeing;
                    ++pictureAgreeing[static_cast<size_t>(picture - 1)];
                }
            }
            for (size_t c = 0; c < ScoreCodes::kCount; ++c) {
                const ScoreCode& code = ScoreCodes::all()[c];
                presenceA[c] << (hasCode(lineA, code) ? QStringLiteral("1") : QStringLiteral("0"));
                presenceB[c] << (hasCode(lineB, code) ? QStringLiteral("1") : QStringLiteral("0"));
            }
        }
    }
    r.units = r.pairs * kPictureCount * 3;
    QStringList allA;
    QStringList allB;
    for (size_t c = 0; c < 3; ++c) {
        allA << columnA[c];
        allB << columnB[c];
    }
    r.kappaOd = cohenKappa(columnA[0], columnB[0]);
    r.kappaEd = cohenKappa(columnA[1], columnB[1]);
    r.kappaNp = cohenKappa(columnA[2], columnB[2]);
    r.kappaAll = cohenKappa(allA, allB);
    r.alpha = krippendorffAlpha(allA, allB);
    for (size_t c = 0; c < ScoreCodes::kCount; ++c)
        r.codeKappa[c] = cohenKappa(presenceA[c], presenceB[c]);
    if (r.units > 0) {
        r.percentAgreement = 100.0 * agreeing / r.units;
        for (size_t p = 0; p < kPictureCount; ++p)
            r.pictures[p] = 100.0 * pictureAgreeing[p] / (r.pairs * 3);
    }
    return r;
}

CoderAgreement::Result CoderAgreement::compareFiles(const QStringList& filesA, const QStringList& filesB) {
    const QMap<QString, QString> a = byCode(filesA, QStringLiteral("A"));
    const QMap<QString, QString> b = byCode(filesB, QStringLiteral("B"));
    QList<std::pair<Lines, Lines>> pairs;
    QStringList onlyInA;
    QStringList onlyInB;
    for (auto it = a.constBegin(); it != a.constEnd(); ++it) {
        const auto other = b.constFind(it.key());
        if (other == b.constEnd())
            onlyInA << it.key();
        else
            pairs.append({linesOf(it.value()), linesOf(other.value())});
    }
    for (auto it = b.constBegin(); it != b.constEnd(); ++it) {
        if (!a.contains(it.key()))
            onlyInB << it.key();
    }
    if (pairs.isEmpty())
        throw UserError(QStringLiteral("A két oldalon nincs azonos kódú vizsgálat, nincs mit összevetni."));
    Result r = compare(pairs);
    r.onlyInA = onlyInA;
    r.onlyInB = onlyInB;
    return r;
}

QString CoderAgreement::kappaReading(double kappa) {
    if (kappa < 0)
        return QStringLiteral("rossz");
    if (kappa <= 0.20)
        return QStringLiteral("csekély");
    if (kappa <= 0.40)
        return QStringLiteral("gyenge");
    if (kappa <= 0.60)
        return QStringLiteral("mérsékelt");
    if (kappa <= 0.80)
        return QStringLiteral("jelentős");
    return QStringLiteral("kiváló");
}
