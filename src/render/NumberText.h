#pragma once

#include "model/Rounding.h"

#include <QChar>
#include <QString>

// The protocol's number form: at most four decimals (rounded half to even), trailing zeros and a
// bare separator dropped, "-" for negatives, no grouping: 0.5 -> "0,5", 12 -> "12", 1/3 -> "0,3333".
QString fourDecimalText(long double value, QChar decimalSeparator);

// The decimal separator of the user's own locale, which the protocol's numbers use. Read from the
// system locale, never the toolkit's default: the windows format in Hungarian whatever the user
// chose, the protocol keeps the user's choice.
QChar userDecimalSeparator();
