#include "model/Norms.h"

#include "model/AgeBrackets.h"

namespace Norms {

// Order inside each table: GCR; rows E, I, M; columns O-D, E-D, N-P; superego 1 to 6.
// 10.52 / 27.24 / 50.53 and 7.11 really carry two decimals.
const NormTable kAge7to8 = {
    {31.9, 37.3, 53.9},
    {{{22.6, 45.8, 66}, {9.3, 21.7, 32.8}, {14.3, 29.8, 54.4}}},
    {{{10.2, 22.8, 39.6}, {28.9, 48.3, 64.4}, {10.52, 27.24, 50.53}}},
    {{{0, 3.3, 14.8}, {0, 4.8, 12.9}, {2.5, 11.1, 23.8}, {6.6, 21.7, 39.2}, {0, 5.9, 17}, {21, 37, 58.5}}}};

const NormTable kAge9to10 = {
    {26.8, 38.9, 49.8},
    {{{15.8, 34.9, 64.7}, {14.6, 27.1, 40.8}, {15.8, 33.9, 52.9}}},
    {{{10.6, 19.2, 31.4}, {20.4, 37.8, 59.1}, {18.1, 40.3, 63.9}}},
    {{{0, 3.9, 14.4}, {0.1, 5.4, 14.2}, {2.1, 11, 23}, {4.4, 14.8, 31.7}, {0.1, 4.5, 12.5}, {22.6, 39.1, 64}}}};

const NormTable kAge11to12 = {
    {30.3, 38.5, 52.1},
    {{{18.4, 41.4, 66.7}, {13.5, 24.6, 37.1}, {15.4, 32, 43.9}}},
    {{{10.3, 19.3, 32.6}, {25.9, 45.2, 65}, {15, 33.3, 52}}},
    {{{0, 4.8, 14.4}, {1.3, 8, 17.4}, {3.2, 14.2, 26.1}, {5.5, 18.2, 39.1}, {0.3, 4.2, 12.3}, {23, 40.4, 59.8}}}};

const NormTable kAge13to14 = {
    {31.6, 41, 51.1},
    {{{18.9, 37.1, 59.8}, {16.2, 26.1, 35}, {19, 35.8, 51.1}}},
    {{{10.4, 20.4, 39.4}, {29.3, 42.5, 61}, {20, 35.6, 52}}},
    {{{0.3, 5.4, 12.4}, {3.1, 9.5, 16.8}, {7.11, 15.3, 24.6}, {5.5, 15.3, 31.4}, {0.4, 4.9, 10.9}, {28.2, 45, 63}}}};

} // namespace Norms

const NormTable& Norms::ofBracket(int bracket) {
    static const NormTable* const tables[AgeBrackets::kCount] = {&kAge7to8, &kAge9to10, &kAge11to12, &kAge13to14};
    return *tables[bracket];
}

std::optional<NormTable> normTableForAge(int age) {
    if (!AgeBrackets::covers(age))
        return std::nullopt;
    return Norms::ofBracket(AgeBrackets::of(age));
}

QuartileClass quartileClass(double value, const NormEntry& entry) {
    if (value < entry.q1)
        return QuartileClass::BelowQ1;
    if (value < entry.median)
        return QuartileClass::Q1ToMedian;
    if (value == entry.median)
        return QuartileClass::Median;
    if (value <= entry.q3)
        return QuartileClass::MedianToQ3;
    // Also reached by a NaN, which no percentage of the evaluation can be.
    return QuartileClass::AboveQ3;
}

double gcrExtremeLimit(const NormEntry& entry) {
    // Each intermediate is kept as a double so the limits come out as the norm manual lists them.
    const double centre = ((entry.q1 + entry.q3) / 2 + entry.median) / 2;
    const double spread = (entry.q3 - entry.q1) * 0.75;
    return spread * 2 + centre;
}

GcrClass gcrClass(qint32 percent, const NormEntry& entry) {
    const double value = percent;
    if (value > gcrExtremeLimit(entry))
        return GcrClass::ExtremelyHigh;
    if (value > entry.q3)
        return GcrClass::High;
    if (value < entry.q1)
        return GcrClass::Low;
    return GcrClass::Normal;
}
