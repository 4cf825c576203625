#include "render/ResearchText.h"

#include "model/Rounding.h"

#include <QLocale>

#include <cmath>

QString ResearchText::numberText(double value, QChar decimalMark) {
    if (value == 0) // also keeps a negative zero from reading "-0"
        return QStringLiteral("0");
    // Points and scores are whole or half numbers; they are most of a table and need no search
    // for the shortest form.
    const double magnitude = std::fabs(value);
    const double whole = std::floor(magnitude);
    if (magnitude < 1e15 && (magnitude == whole || magnitude - whole == 0.5)) {
        QString text = QString::number(static_cast<qint64>(whole));
        if (magnitude != whole) {
            text += decimalMark;
            text += QLatin1Char('5');
        }
        if (value < 0)
            text.prepend(QLatin1Char('-'));
        return text;
    }
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    if (decimalMark != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), decimalMark);
    return text;
}

double ResearchText::twoDecimals(double value) {
    // The product of a double and 100 fits a long double exactly, so an exact tie stays one.
    return static_cast<double>(roundHalfEven(static_cast<long double>(value) * 100.0L) / 100.0L);
}

QString ResearchText::twoDecimalText(double value, QChar decimalMark) {
    double rounded = twoDecimals(value);
    if (rounded == 0)
        rounded = 0; // no "-0.00"
    QString text = QString::number(rounded, 'f', 2);
    if (decimalMark != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), decimalMark);
    return text;
}
