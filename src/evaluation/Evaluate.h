#pragma once

#include "evaluation/EvaluationResult.h"

#include <QChar>
#include <QString>
#include <exception>
#include <optional>

class MarkingGrid;

// Raised by evaluate() when the examination cannot be judged against the norms (an age outside
// the brackets). text() is the message for the user; nothing has been computed or written.
class EvaluationError : public std::exception {
public:
    explicit EvaluationError(QString text);
    const QString& text() const { return m_text; }
    const char* what() const noexcept override;

private:
    QString m_text;
    QByteArray m_utf8;
};

// Turns the coded examination (columns 1 to 3 of rows 1 to 24) into every value of the protocol.
// The separator is the one of the trend and total-index texts. An age outside 7 to 14 has no
// norms and raises EvaluationError.
EvaluationResult evaluate(const MarkingGrid& grid, qint32 age, double gcrPoints, QChar decimalSeparator);

namespace Evaluation {

// 1 when the picture carries exactly one code, else 0.5.
double pictureWeight(const MarkingGrid& grid, int picture);
// The weighted count of a code among the first and second codes of one column.
double codeScore(const MarkingGrid& grid, const QString& code, int column);
// x in percent of the scored pictures, rounded half to even.
double percent(double x, qint32 scoredPictureCount);

// The trend text of one place: "nincs" unless one half has at least 4 and the ratio reaches 0.33.
// label is the code ("EV") for rows 1 to 3 or the direction ("E") for row 4: "0,5 -&GT; EV",
// "EV &LT;- -0,5".
QString trendText(int firstHalf, int secondHalf, const QString& label, QChar decimalSeparator);

} // namespace Evaluation

// Rauchfleisch index 'a' to 'e'; none when its divisor is 0 (or for another letter).
std::optional<double> rauchfleischIndex(const EvaluationResult& result, char index);
