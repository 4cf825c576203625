#include "render/NumberText.h"

#include <QLocale>

#include <cmath>

QString fourDecimalText(long double value, QChar decimalSeparator) {
    if (!std::isfinite(value))
        return QString::number(static_cast<double>(value));
    const long double scaled = roundHalfEven(value * 10000.0L);
    const bool negative = scaled < 0;
    const long double magnitude = negative ? -scaled : scaled;
    // Whole part and four decimal digits, without relying on the range of an integer type.
    const long double whole = std::floor(magnitude / 10000.0L);
    // Beyond 2^63 the fourth decimal is below the precision anyway; only the whole part is printed.
    const auto fraction = magnitude < 9e18L ? static_cast<int>(magnitude - whole * 10000.0L) : 0;
    QString text = magnitude < 9e18L ? QString::number(static_cast<qint64>(whole))
                                     : QString::number(static_cast<double>(whole), 'f', 0);
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += decimalSeparator + digits;
    }
    if (negative)
        text.prepend(QLatin1Char('-'));
    return text;
}

QChar userDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.at(0);
}
