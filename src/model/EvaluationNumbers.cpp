#include "model/EvaluationNumbers.h"

#include "model/Coding.h"
#include "model/Evaluate.h"

namespace {

template <size_t N>
std::array<double, N> less(const std::array<double, N>& a, const std::array<double, N>& b) {
    std::array<double, N> out{};
    for (size_t i = 0; i < N; ++i)
        out[i] = a[i] - b[i];
    return out;
}

template <size_t N>
std::array<std::optional<double>, N> less(const std::array<std::optional<double>, N>& a,
                                          const std::array<std::optional<double>, N>& b) {
    std::array<std::optional<double>, N> out{};
    for (size_t i = 0; i < N; ++i) {
        if (a[i] && b[i])
            out[i] = *a[i] - *b[i];
    }
    return out;
}

} // namespace

EvaluationNumbers EvaluationNumbers::of(const Coding& coding, qint32 age, const EvaluationResult& r) {
    EvaluationNumbers n;
    n.age = age;
    for (int picture = 1; picture <= kPictureCount; ++picture)
        n.points[static_cast<size_t>(picture - 1)] = coding.point(picture);
    n.gcrPoints = coding.gcrPoints();
    n.scoredPictureCount = r.scoredPictureCount;
    n.cellScore = r.cellScore;
    n.columnTotal = r.columnTotal;
    n.rowTotal = r.rowTotal;
    n.columnPercent = r.columnPercent;
    n.rowPercent = r.rowPercent;
    n.gcrPercent = r.gcrPercent;
    n.superegoScore = r.superegoScore;
    n.superegoPercent = r.superegoPercent;
    for (size_t i = 0; i < 3; ++i)
        n.topCellScore[i] = r.topCell[i].score;
    for (char index = 'a'; index <= 'e'; ++index)
        n.rauchfleisch[static_cast<size_t>(index - 'a')] = rauchfleischIndex(r, index);
    return n;
}

EvaluationNumbers EvaluationNumbers::minus(const EvaluationNumbers& e) const {
    EvaluationNumbers d;
    d.age = age - e.age;
    d.points = less(points, e.points);
    d.gcrPoints = gcrPoints - e.gcrPoints;
    d.scoredPictureCount = scoredPictureCount - e.scoredPictureCount;
    for (size_t row = 0; row < 3; ++row)
        d.cellScore[row] = less(cellScore[row], e.cellScore[row]);
    d.columnTotal = less(columnTotal, e.columnTotal);
    d.rowTotal = less(rowTotal, e.rowTotal);
    d.columnPercent = less(columnPercent, e.columnPercent);
    d.rowPercent = less(rowPercent, e.rowPercent);
    d.gcrPercent = gcrPercent - e.gcrPercent;
    d.superegoScore = less(superegoScore, e.superegoScore);
    d.superegoPercent = less(superegoPercent, e.superegoPercent);
    d.topCellScore = less(topCellScore, e.topCellScore);
    d.rauchfleisch = less(rauchfleisch, e.rauchfleisch);
    return d;
}
