#include "paper/PaperText.h"

#include <QRegularExpression>

QString PaperText::decodeEntities(const QString& protocolText) {
    // Named entities in either case and decimal character references; anything else stays.
    static const QRegularExpression entity(QStringLiteral("&(#[0-9]{1,7}|[A-Za-z]+);"));
    QString out;
    out.reserve(protocolText.size());
    qsizetype from = 0;
    for (auto it = entity.globalMatch(protocolText); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += protocolText.mid(from, m.capturedStart() - from);
        from = m.capturedEnd();
        const QString name = m.captured(1);
        if (name.startsWith(QLatin1Char('#'))) {
            const uint code = name.mid(1).toUInt();
            if (code > 0 && code <= 0x10FFFF && QChar::isPrint(char32_t(code))) {
                out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
                continue;
            }
        } else {
            const QString lower = name.toLower();
            if (lower == QLatin1String("lt")) {
                out += QLatin1Char('<');
                continue;
            }
            if (lower == QLatin1String("gt")) {
                out += QLatin1Char('>');
                continue;
            }
            if (lower == QLatin1String("amp")) {
                out += QLatin1Char('&');
                continue;
            }
            if (lower == QLatin1String("quot")) {
                out += QLatin1Char('"');
                continue;
            }
            if (lower == QLatin1String("nbsp")) {
                out += QChar(0xA0);
                continue;
            }
        }
        out += m.captured(0);
    }
    out += protocolText.mid(from);
    return out;
}

QString PaperText::escaped(const QString& plain) {
    return plain.toHtmlEscaped();
}
