#pragma once

#include <QChar>
#include <QString>

// The forms in which the research tools write values for other programs.
namespace ResearchText {

// A number with as many decimals as it needs to read back exactly, never in exponent form,
// with the given decimal mark: 0.5 -> "0,5", 43 -> "43", 23/9 -> "2,5555555555555554".
QString numberText(double value, QChar decimalMark);

// A number rounded to two decimals by the evaluation's rule: a value exactly halfway goes to the
// even neighbour (3.125 -> 3.12, 33.375 -> 33.38), as R, numpy and printf do; the tie is decided
// on the stored binary value, so 2.675, stored just below, gives 2.67.
double twoDecimals(double value);

// twoDecimals() with both decimals always written: 41.6666 -> "41,67", 3 -> "3,00".
QString twoDecimalText(double value, QChar decimalMark);

} // namespace ResearchText
