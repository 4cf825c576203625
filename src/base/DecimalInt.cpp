#include "base/DecimalInt.h"

#include <limits>

bool parseDecimalInt32(const QString& text, qint32* value) {
    qsizetype p = 0;
    bool negative = false;
    if (!text.isEmpty() && (text.at(0) == QLatin1Char('+') || text.at(0) == QLatin1Char('-'))) {
        negative = text.at(0) == QLatin1Char('-');
        p = 1;
    }
    if (p >= text.size())
        return false;
    qint64 v = 0;
    for (; p < text.size(); ++p) {
        const QChar c = text.at(p);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > qint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        return false;
    *value = static_cast<qint32>(v);
    return true;
}
