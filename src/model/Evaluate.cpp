#include "model/Evaluate.h"

#include "base/UserError.h"
#include "model/Coding.h"
#include "model/Norms.h"
#include "model/Rounding.h"

#include <cmath>

using R = EvaluationResult;

namespace {

// One place of trend rows 1 to 3: the column whose first codes are looked at, and the codes.
struct TrendPlace {
    int column;
    const char* label;
    const char* names[2];
};

const TrendPlace kTrendPlaces[3][3] = {
    {{1, "EV", {"EV", nullptr}}, {1, "IV", {"IV", nullptr}}, {1, "MV", {"MV", nullptr}}},
    {{2, "NE", {"NE", "EE"}}, {2, "NI", {"NI", "II"}}, {2, "NM", {"NM", nullptr}}},
    {{3, "KE", {"KE", nullptr}}, {3, "KI", {"KI", nullptr}}, {3, "KM", {"KM", nullptr}}},
};

const char* const kDirectionLabels[3] = {"E", "I", "M"};

// Pictures of one half (1-12 or 13-24) whose cell in the column starts with one of the names.
int halfCount(const Coding& coding, const TrendPlace& place, bool firstHalf) {
    constexpr int kHalf = kPictureCount / 2;
    const int from = firstHalf ? 1 : kHalf + 1;
    int count = 0;
    for (int picture = from; picture < from + kHalf; ++picture) {
        const QString first = ScoringLine::firstCode(coding.line(picture).field(place.column));
        for (const char* name : place.names) {
            if (name != nullptr && first == QLatin1String(name)) {
                ++count;
                break;
            }
        }
    }
    return count;
}

void computeTrends(const Coding& coding, R& r) {
    for (auto& row : r.trendRatio)
        row.fill(std::nullopt);
    std::array<int, 3> directionFirst{};
    std::array<int, 3> directionSecond{};
    for (size_t row = 0; row < 3; ++row) {
        for (size_t place = 0; place < 3; ++place) {
            const TrendPlace& p = kTrendPlaces[row][place];
            const int f = halfCount(coding, p, true);
            const int l = halfCount(coding, p, false);
            directionFirst[place] += f;
            directionSecond[place] += l;
            r.trendRatio[row][place] = Evaluation::trendRatio(f, l);
        }
    }
    for (size_t place = 0; place < 3; ++place)
        r.trendRatio[3][place] = Evaluation::trendRatio(directionFirst[place], directionSecond[place]);
    // Row 5 has no measure of its own; it shows no trend.
}

void computeTotalIndex(const R& r, std::array<R::TopCell, 3>& top) {
    static const char* const labels[3][3] = {{"EV", "NE", "KE"}, {"IV", "NI", "KI"}, {"MV", "NM", "KM"}};
    top = {};
    // Offered column by column: O-D E, I, M, then E-D, then N-P. Strict comparisons keep the
    // earlier of equal cells ahead and never let a 0 in.
    for (size_t t = 0; t < 3; ++t) {
        for (size_t d = 0; d < 3; ++d) {
            const R::TopCell candidate{r.cellScore[d][t], QLatin1String(labels[d][t])};
            if (candidate.score > top[0].score) {
                top[2] = top[1];
                top[1] = top[0];
                top[0] = candidate;
            } else if (candidate.score > top[1].score) {
                top[2] = top[1];
                top[1] = candidate;
            } else if (candidate.score > top[2].score) {
                top[2] = candidate;
            }
        }
    }
}

} // namespace

double Evaluation::pictureWeight(const Coding& coding, int picture) {
    return coding.line(picture).codeCount() == 1 ? 1.0 : 0.5;
}

double Evaluation::codeScore(const Coding& coding, const QString& code, int column) {
    double sum = 0.0;
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        const QString& cell = coding.line(picture).field(column);
        if (ScoringLine::holds(cell, code))
            sum += pictureWeight(coding, picture);
    }
    return sum;
}

double Evaluation::percent(double x, qint32 scoredPictureCount) {
    // Half points over at most 24 pictures make the halves exact, so ties really are ties.
    return static_cast<double>(roundHalfEven(100.0L * x / scoredPictureCount));
}

std::optional<double> Evaluation::trendRatio(int firstHalf, int secondHalf) {
    if (firstHalf < 4 && secondHalf < 4)
        return std::nullopt;
    const double ratio = static_cast<double>(firstHalf - secondHalf) / (firstHalf + secondHalf);
    if (std::fabs(static_cast<long double>(ratio)) < 0.33L)
        return std::nullopt;
    return ratio;
}

QString Evaluation::trendLabel(int row, int place) {
    if (place < 1 || place > 3)
        return QString();
    if (row >= 1 && row <= 3)
        return QLatin1String(kTrendPlaces[row - 1][place - 1].label);
    if (row == 4)
        return QLatin1String(kDirectionLabels[place - 1]);
    return QString();
}

EvaluationResult evaluate(const Coding& coding, qint32 age) {
    const std::optional<NormTable> norms = normTableForAge(age);
    if (!norms)
        throw UserError(ProtocolGate::ageOutsideNormsText(age));

    using Evaluation::codeScore;
    R r;
    const double ev = codeScore(coding, QStringLiteral("EV"), 1);
    const double iv = codeScore(coding, QStringLiteral("IV"), 1);
    const double mv = codeScore(coding, QStringLiteral("MV"), 1);
    const double ne = codeScore(coding, QStringLiteral("NE"), 2);
    const double ee = codeScore(coding, QStringLiteral("EE"), 2);
    const double ni = codeScore(coding, QStringLiteral("NI"), 2);
    const double ii = codeScore(coding, QStringLiteral("II"), 2);
    const double nm = codeScore(coding, QStringLiteral("NM"), 2);
    const double ke = codeScore(coding, QStringLiteral("KE"), 3);
    const double ki = codeScore(coding, QStringLiteral("KI"), 3);
    const double km = codeScore(coding, QStringLiteral("KM"), 3);

    r.cellScore[R::E] = {ev, ne + ee, ke};
    r.cellScore[R::I] = {iv, ni + ii, ki};
    r.cellScore[R::M] = {mv, nm, km};

    for (size_t t = 0; t < 3; ++t)
        r.columnTotal[t] = r.cellScore[R::E][t] + r.cellScore[R::I][t] + r.cellScore[R::M][t];
    for (size_t d = 0; d < 3; ++d)
        r.rowTotal[d] = r.cellScore[d][R::OD] + r.cellScore[d][R::ED] + r.cellScore[d][R::NP];

    r.scoredPictureCount = coding.markedPictureCount();
    if (r.scoredPictureCount == 0)
        r.scoredPictureCount = 1;
    const qint32 n = r.scoredPictureCount;

    r.superegoScore = {ee,
                       ii,
                       ee + ii,
                       r.cellScore[R::E][R::ED] - ee,
                       r.cellScore[R::I][R::ED] - ii,
                       r.cellScore[R::M][R::OD] + r.cellScore[R::M][R::ED] + r.cellScore[R::M][R::NP] + ii};
    for (size_t k = 0; k < 6; ++k)
        r.superegoPercent[k] = Evaluation::percent(r.superegoScore[k], n);
    for (size_t k = 0; k < 6; ++k)
        r.superegoClass[k] = quartileClass(r.superegoPercent[k], norms->superegoPercent[k]);

    // The third share of each set is what the other two leave, so every set adds up to 100.
    r.columnPercent[R::OD] = Evaluation::percent(r.columnTotal[R::OD], n);
    r.columnPercent[R::ED] = Evaluation::percent(r.columnTotal[R::ED], n);
    r.columnPercent[R::NP] = 100 - (r.columnPercent[R::OD] + r.columnPercent[R::ED]);
    r.rowPercent[R::E] = Evaluation::percent(r.rowTotal[R::E], n);
    r.rowPercent[R::I] = Evaluation::percent(r.rowTotal[R::I], n);
    r.rowPercent[R::M] = 100 - (r.rowPercent[R::E] + r.rowPercent[R::I]);
    for (size_t i = 0; i < 3; ++i) {
        r.columnClass[i] = quartileClass(r.columnPercent[i], norms->columnPercent[i]);
        r.rowClass[i] = quartileClass(r.rowPercent[i], norms->rowPercent[i]);
    }

    computeTrends(coding, r);

    r.gcrPercent = static_cast<qint32>(Evaluation::percent(coding.gcrPoints(), n));
    r.gcrClass = gcrClass(r.gcrPercent, norms->gcrPercent);

    computeTotalIndex(r, r.topCell);
    return r;
}

std::optional<double> rauchfleischIndex(const EvaluationResult& r, char index) {
    long double dividend = 0;
    long double divisor = 0;
    switch (index) {
    case 'a':
        dividend = r.rowTotal[R::E];
        divisor = r.rowTotal[R::I];
        break;
    case 'b':
        dividend = r.rowTotal[R::E];
        divisor = r.rowTotal[R::M];
        break;
    case 'c':
        dividend = r.rowTotal[R::E];
        divisor = r.cellScore[R::E][R::NP];
        break;
    case 'd':
        dividend = static_cast<long double>(r.rowTotal[R::E] - r.superegoScore[0]);
        divisor = static_cast<long double>(r.superegoScore[0] + r.superegoScore[1]);
        break;
    case 'e':
        dividend = r.cellScore[R::I][R::NP];
        divisor = r.cellScore[R::E][R::NP];
        break;
    default:
        return std::nullopt;
    }
    if (divisor == 0)
        return std::nullopt;
    return static_cast<double>(dividend / divisor);
}
