#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

// How a table is written for a statistics package or a spreadsheet: the field separator, the
// decimal mark of every number and whether a UTF-8 byte order mark comes first.
struct CsvDialect {
    QChar separator = QLatin1Char(',');
    QChar decimalMark = QLatin1Char('.');
    bool byteOrderMark = false;
    // A spreadsheet takes a cell starting with "=", "+", "-" or "@" for a formula and runs it; a
    // name typed that way must stay a name, so such a text (a number aside) gets a leading "'".
    bool guardFormulas = false;

    // RFC 4180 as statistics packages read it: comma, decimal point, UTF-8 without BOM.
    static CsvDialect standard();
    // What Excel with Hungarian settings opens by a double click: semicolon, decimal comma, and
    // the BOM without which it would take the bytes for the ANSI code page.
    static CsvDialect excelHungarian();
};

// A CSV table built row by row in memory (RFC 4180): a field holding the separator, a quote, CR
// or LF is quoted with its quotes doubled, and every row, the last one included, ends with CR LF.
class CsvWriter {
public:
    explicit CsvWriter(const CsvDialect& dialect);

    void addRow(const QStringList& fields);
    // A row field by field, for tables too large to hold each row as a list first.
    void addField(const QString& text);
    // A number in the dialect's form: as many decimals as it needs, the dialect's decimal mark.
    void addNumber(double value);
    void endRow();
    // Appends the rows of another table of the same dialect (its BOM not repeated).
    void addRows(const CsvWriter& other);
    // The whole table in UTF-8, with the BOM when the dialect asks for it.
    QByteArray bytes() const;
    int rowCount() const { return m_rows; }
    const CsvDialect& dialect() const { return m_dialect; }

    static QString field(const QString& text, QChar separator);

private:
    CsvDialect m_dialect;
    QString m_text;
    int m_rows = 0;
    bool m_rowStarted = false;
};
