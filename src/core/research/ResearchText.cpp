#include "core/research/ResearchText.h"

#include "core/report/NumberText.h"

#include <QLocale>

#include <cmath>

namespace {

// The character a reference between '&' and ';' stands for; 0 when it is none this decodes.
char32_t referenced(QStringView name) {
    if (name.startsWith(QLatin1Char('#'))) {
        const bool hex = name.size() > 1 && (name.at(1) == QLatin1Char('x') || name.at(1) == QLatin1Char('X'));
        const QStringView digits = name.mid(hex ? 2 : 1);
        if (digits.isEmpty() || digits.size() > 8)
            return 0;
        bool ok = false;
        const uint value = digits.toUInt(&ok, hex ? 16 : 10);
        // Surrogates and values past the last code point name no character.
        if (!ok || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return 0;
        return value;
    }
    static const struct {
        const char* name;
        char32_t character;
    } kNamed[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
    for (const auto& entry : kNamed) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.character;
    }
    return 0;
}

} // namespace

QString ResearchText::plainText(const QString& html) {
    if (!html.contains(QLatin1Char('&')))
        return html;
    QString out;
    out.reserve(html.size());
    qsizetype i = 0;
    while (i < html.size()) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('&')) {
            const qsizetype semicolon = html.indexOf(QLatin1Char(';'), i + 1);
            if (semicolon > i + 1 && semicolon - i <= 12) {
                const char32_t character = referenced(QStringView(html).mid(i + 1, semicolon - i - 1));
                if (character != 0) {
                    out += QString::fromUcs4(&character, 1);
                    i = semicolon + 1;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

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
