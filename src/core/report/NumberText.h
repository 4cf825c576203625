#pragma once

#include <QChar>
#include <QString>

// Rounds to the nearest whole number, an exact half to the even neighbour.
long double roundHalfEven(long double value);

// The protocol's number form: at most four decimals (rounded half to even), trailing zeros and a
// bare separator dropped, "-" for negatives, no grouping: 0.5 -> "0,5", 12 -> "12", 1/3 -> "0,3333".
QString fourDecimalText(long double value, QChar decimalSeparator);
