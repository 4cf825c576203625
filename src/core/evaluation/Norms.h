#pragma once

#include <QString>
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

} // namespace Norms

// The table of the bracket holding age; none outside 7 to 14.
std::optional<NormTable> normTableForAge(int age);

// "&#60;Q1", "Q1/Mdn", "Mdn", "Mdn/Q3" or "&#62;Q3" (entities, as they go into the protocol).
QString quartileClass(double value, const NormEntry& entry);

// Above this a GCR percentage is extremely high.
double gcrExtremeLimit(const NormEntry& entry);
// "normál", "alacsony", "magas" or "extrém magas".
QString gcrClass(qint32 percent, const NormEntry& entry);
