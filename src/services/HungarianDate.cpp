#include "services/HungarianDate.h"

#include <QString>

namespace {

bool isSeparator(QChar c) {
    return c == QLatin1Char('.') || c.isSpace();
}

// Lower case without accents: "Július" -> "julius", "ŐSZ" -> "osz".
QString folded(QStringView word) {
    const QString decomposed = word.toString().toLower().normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    }
    return out;
}

// 1 to 12 for a month's name or a shortening of it of at least three letters, else 0.
int monthOfName(QStringView word) {
    static const char* const kMonths[12] = {"januar", "februar",   "marcius",    "aprilis", "majus",    "junius",
                                            "julius", "augusztus", "szeptember", "oktober", "november", "december"};
    const QString w = folded(word);
    if (w.size() < 3)
        return 0;
    for (int m = 0; m < 12; ++m) {
        if (QLatin1String(kMonths[m]).startsWith(w))
            return m + 1;
    }
    return 0;
}

bool allDigits(QStringView word) {
    for (const QChar c : word) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return !word.isEmpty();
}

} // namespace

std::optional<QDate> HungarianDate::parse(QStringView text) {
    text = text.trimmed();
    // The parts and the separators after them: year, month, day.
    QStringView parts[3];
    QStringView separators[3];
    qsizetype i = 0;
    for (int p = 0; p < 3; ++p) {
        const qsizetype start = i;
        while (i < text.size() && !isSeparator(text.at(i)))
            ++i;
        parts[p] = text.mid(start, i - start);
        const qsizetype gap = i;
        while (i < text.size() && isSeparator(text.at(i)))
            ++i;
        separators[p] = text.mid(gap, i - gap);
        if (parts[p].isEmpty() || (p < 2 && separators[p].isEmpty()))
            return std::nullopt;
    }
    if (i != text.size() || separators[2].count(QLatin1Char('.')) > 1)
        return std::nullopt;
    if (parts[0].size() != 4 || !allDigits(parts[0]) || parts[2].size() > 2 || !allDigits(parts[2]))
        return std::nullopt;
    int month = 0;
    if (allDigits(parts[1])) {
        if (parts[1].size() > 2)
            return std::nullopt;
        month = parts[1].toInt();
    } else {
        month = monthOfName(parts[1]);
    }
    const QDate date(parts[0].toInt(), month, parts[2].toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}
