#include "render/Csv.h"

#include "render/ResearchText.h"

#include <cmath>
#include <iterator>

CsvDialect CsvDialect::standard() {
    return CsvDialect{};
}

CsvDialect CsvDialect::excelHungarian() {
    return CsvDialect{QLatin1Char(';'), QLatin1Char(','), true, true};
}

CsvWriter::CsvWriter(const CsvDialect& dialect) : m_dialect(dialect) {}

QString CsvWriter::field(const QString& text, QChar separator) {
    bool needsQuotes = false;
    for (const QChar c : text) {
        if (c == separator || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            needsQuotes = true;
            break;
        }
    }
    if (!needsQuotes)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void CsvWriter::addRow(const QStringList& fields) {
    for (const QString& text : fields)
        addField(text);
    endRow();
}

namespace {

bool startsLikeAFormula(const QString& text, QChar decimalMark) {
    if (text.isEmpty())
        return false;
    const QChar first = text.at(0);
    if (first == QLatin1Char('=') || first == QLatin1Char('@'))
        return true;
    if (first != QLatin1Char('+') && first != QLatin1Char('-'))
        return false;
    // A signed number is a number, not a formula.
    bool digit = false;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit())
            digit = true;
        else if (c != decimalMark)
            return true;
    }
    return !digit;
}

} // namespace

void CsvWriter::addField(const QString& text) {
    if (m_rowStarted)
        m_text += m_dialect.separator;
    m_rowStarted = true;
    if (m_dialect.guardFormulas && startsLikeAFormula(text, m_dialect.decimalMark))
        m_text += field(QLatin1Char('\'') + text, m_dialect.separator);
    else
        m_text += field(text, m_dialect.separator);
}

void CsvWriter::addNumber(double value) {
    // Points, scores and counts are whole or half numbers and make up most of an export; they
    // are written straight into the table, digit by digit, without a text of their own.
    const double magnitude = std::fabs(value);
    const double whole = std::floor(magnitude);
    const bool half = magnitude - whole == 0.5;
    if (magnitude >= 1e15 || (magnitude != whole && !half) || m_dialect.decimalMark == m_dialect.separator) {
        addField(ResearchText::numberText(value, m_dialect.decimalMark));
        return;
    }
    if (m_rowStarted)
        m_text += m_dialect.separator;
    m_rowStarted = true;
    char16_t digits[24];
    qsizetype at = std::size(digits);
    if (half) {
        digits[--at] = u'5';
        digits[--at] = m_dialect.decimalMark.unicode();
    }
    auto n = static_cast<quint64>(whole);
    do {
        digits[--at] = static_cast<char16_t>(u'0' + n % 10);
        n /= 10;
    } while (n != 0);
    if (value < 0)
        digits[--at] = u'-';
    m_text.append(QStringView(digits + at, std::size(digits) - at));
}

void CsvWriter::endRow() {
    m_text += QStringLiteral("\r\n");
    m_rowStarted = false;
    ++m_rows;
}

void CsvWriter::addRows(const CsvWriter& other) {
    m_text += other.m_text;
    m_rows += other.m_rows;
}

QByteArray CsvWriter::bytes() const {
    QByteArray out = m_text.toUtf8();
    if (m_dialect.byteOrderMark)
        out.prepend("\xEF\xBB\xBF");
    return out;
}
