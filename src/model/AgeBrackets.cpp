#include "model/AgeBrackets.h"

#include <QStringList>

QString AgeBrackets::text(int bracket, QChar dash) {
    return QString::number(firstAge(bracket)) + dash + QString::number(lastAge(bracket));
}

QString AgeBrackets::listText() {
    QStringList brackets;
    for (int b = 0; b < kCount; ++b)
        brackets << text(b, QLatin1Char('-'));
    return brackets.join(QStringLiteral(", "));
}

QString AgeBrackets::rangeText() {
    return QString::number(kYoungest) + QChar(0x2013) + QString::number(kOldest);
}

QString AgeBrackets::outsideText(int age) {
    return QStringLiteral("Az életkor (%1) kívül esik a %2 éves normatartományon").arg(age).arg(rangeText());
}
