#include "services/ExaminationDate.h"

#include <QRegularExpression>

QDate ExaminationDate::parse(const QString& text) {
    static const QRegularExpression numeric(QStringLiteral("^(\\d{4})\\.\\s*(\\d{1,2})\\.\\s*(\\d{1,2})\\.?$"));
    static const QRegularExpression written(QStringLiteral("^(\\d{4})\\.?\\s+(\\w+)\\s+(\\d{1,2})\\.?$"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    static const QString months[] = {
        QStringLiteral("január"),  QStringLiteral("február"),   QStringLiteral("március"),
        QStringLiteral("április"), QStringLiteral("május"),     QStringLiteral("június"),
        QStringLiteral("július"),  QStringLiteral("augusztus"), QStringLiteral("szeptember"),
        QStringLiteral("október"), QStringLiteral("november"),  QStringLiteral("december")};

    const QString trimmed = text.trimmed();
    if (const QRegularExpressionMatch m = numeric.match(trimmed); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (const QRegularExpressionMatch m = written.match(trimmed); m.hasMatch()) {
        const QString month = m.captured(2).toLower();
        for (int i = 0; i < 12; ++i) {
            if (months[i] == month)
                return QDate(m.captured(1).toInt(), i + 1, m.captured(3).toInt());
        }
    }
    return QDate();
}
