#pragma once

#include <QtGlobal>
#include <array>
#include <optional>

// The norm sample's first quartile, median and third quartile of one measure, in percent.
struct NormEntry {
    double q1;
    double median;
    double q3;
};

// The thirteen measures of one two-year age bracket.
struct NormTable {
    NormEntry gcrPercent;
    std::array<NormEntry, 3> rowPercent;      // E, I, M
    std::array<NormEntry, 3> columnPercent;   // O-D, E-D, N-P
    std::array<NormEntry, 6> superegoPercent; // index k at [k - 1]
};

namespace Norms {

// The brackets 7-8, 9-10, 11-12 and 13-14 as the norm study published them.
extern const NormTable kAge7to8;
extern const NormTable kAge9to10;
extern const NormTable kAge11to12;
extern const NormTable kAge13to14;

// The table of a bracket (AgeBrackets::of).
const NormTable& ofBracket(int bracket);

} // namespace Norms

// The table of the bracket holding age; none for an age the norms do not cover.
std::optional<NormTable> normTableForAge(int age);

// Where a percentage lies in its measure's norms: below Q1, from Q1 up to the median, on the
// median, above it up to Q3, above Q3.
enum class QuartileClass { BelowQ1, Q1ToMedian, Median, MedianToQ3, AboveQ3 };

// How the GCR percentage compares with its norm.
enum class GcrClass { Low, Normal, High, ExtremelyHigh };

QuartileClass quartileClass(double value, const NormEntry& entry);

// Above this a GCR percentage is extremely high.
double gcrExtremeLimit(const NormEntry& entry);
GcrClass gcrClass(qint32 percent, const NormEntry& entry);
