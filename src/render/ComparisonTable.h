#pragma once

#include "model/Comparison.h"

#include <QChar>
#include <QString>
#include <vector>

// A comparison as a table: a row per value of the protocol (age and bracket, marked pictures,
// GCR percentage, the nine cells, the row and column percentages, the superego indices, the
// trends, the Rauchfleisch indices, the total index), a column per examination in date order,
// and beside each evaluated examination after the first its change from the first: the
// difference with its sign, and both classes where the class moved ("+12 (Mdn → >Q3)"). The
// window, the pages on paper and the command line's table all show this one table.
class ComparisonTable {
public:
    struct Row {
        QString group; // the heading above the row where a group of values starts, else empty
        QString label;
        std::vector<QString> values;  // per examination; empty where a refused one has none
        std::vector<QString> changes; // per examination; empty where it shows no change
        // The examination's own values, not the evaluation's: a refused examination shows them too.
        bool known = false;
    };

    ComparisonTable(const Comparison& comparison, QChar decimalSeparator);

    int examinationCount() const { return static_cast<int>(m_titles.size()); }
    // The examination's date as typed, and its code.
    const QString& title(int examination) const { return m_titles.at(static_cast<size_t>(examination)); }
    const QString& code(int examination) const { return m_codes.at(static_cast<size_t>(examination)); }
    // Whether the examination has a change column: it is evaluated and comes after the first.
    bool showsChange(int examination) const { return m_showsChange.at(static_cast<size_t>(examination)); }
    // Why the protocol's gate refused the examination; empty when it was evaluated.
    const QString& refusal(int examination) const { return m_refusals.at(static_cast<size_t>(examination)); }
    // The children's names as the examinations give them, each once.
    const QString& names() const { return m_names; }
    const std::vector<Row>& rows() const { return m_rows; }

    // The table in columns of characters, for a terminal; the reasons of refused examinations
    // below it.
    QString plainText() const;
    // The table as rich text for QTextDocument: a refused examination's column holds its reason.
    QString html() const;

private:
    std::vector<QString> m_titles;
    std::vector<QString> m_codes;
    std::vector<bool> m_showsChange;
    std::vector<QString> m_refusals;
    QString m_names;
    std::vector<Row> m_rows;
};
