#pragma once

#include "model/EvaluationResult.h"

#include <QChar>
#include <QString>
#include <array>
#include <optional>

// The texts of the evaluation's classes, trends and total index, the one place they are made.
// The HTML protocol writes the comparison signs as character references, as it always has; the
// JSON, the pages, the chart and the research table carry the signs themselves.
namespace ResultText {

enum class Form { Html, Plain };

// "<Q1", "Q1/Mdn", "Mdn", "Mdn/Q3", ">Q3"; in HTML "&#60;Q1" and "&#62;Q3".
QString quartileClass(QuartileClass position, Form form);
// "alacsony", "normál", "magas", "extrém magas".
QString gcrClass(GcrClass position);

// "nincs" without a ratio. With one, the ratio as the protocol writes numbers and an arrow
// towards the label when the first half has more ("0,5 -> EV"), from it when the second half has
// ("EV <- -0,5"); in HTML the arrow heads are "&GT;" and "&LT;".
QString trend(const std::optional<double>& ratio, const QString& label, QChar decimalSeparator, Form form);
// The trend of place 1 to 3 of row 1 to 5 of a result.
QString trend(const EvaluationResult& result, int row, int place, QChar decimalSeparator, Form form);

// "NE(7,5) > MV(4) = KE(4)": each place's code and score, ">" between different scores and "="
// between equal ones ("&GT;" in HTML). An empty place is "(0)".
QString totalIndex(const std::array<EvaluationResult::TopCell, 3>& top, QChar decimalSeparator, Form form);

} // namespace ResultText
