#pragma once

#include "model/EvaluationResult.h"
#include "model/ProtocolGate.h"

#include <QChar>
#include <QString>
#include <optional>

class Coding;

// The one evaluation of the program: turns a coding (its first three fields and its GCR points,
// taken from the lines and the key as they stand now) and the subject's age into every value
// of the protocol. An age outside 7 to 14 has no norms and raises UserError; nothing has been
// computed then.
EvaluationResult evaluate(const Coding& coding, qint32 age);
// For callers that still hand over the protocol's separator: the result holds no text, so the
// separator plays no part here; whoever writes the values into a text needs it.
inline EvaluationResult evaluate(const Coding& coding, qint32 age, QChar /*decimalSeparator*/) {
    return evaluate(coding, age);
}

namespace Evaluation {

// 1 when the picture carries exactly one code, else 0.5.
double pictureWeight(const Coding& coding, int picture);
// The weighted count of a code among the first and second codes of one column.
double codeScore(const Coding& coding, const QString& code, int column);
// x in percent of the scored pictures, rounded half to even.
double percent(double x, qint32 scoredPictureCount);

// The trend of one place from its first-half and second-half counts: (F - L) / (F + L) when one
// half has at least 4 and the ratio reaches 0.33 either way, else none.
std::optional<double> trendRatio(int firstHalf, int secondHalf);
// What a trend place follows: the code ("EV") for rows 1 to 3, the direction ("E") for row 4;
// empty for row 5, which measures nothing.
QString trendLabel(int row, int place);

} // namespace Evaluation

// Rauchfleisch index 'a' to 'e'; none when its divisor is 0 (or for another letter).
std::optional<double> rauchfleischIndex(const EvaluationResult& result, char index);
