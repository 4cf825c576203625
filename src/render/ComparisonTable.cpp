#include "render/ComparisonTable.h"

#include "model/Evaluate.h"
#include "render/NumberText.h"
#include "render/PaperText.h"
#include "render/ProfileChart.h"
#include "render/ResultText.h"

#include <QStringList>
#include <functional>

namespace {

using R = EvaluationResult;
using Value = std::function<QString(const ComparedExamination&)>;
// The change of an examination from the first; called only for examinations that have one.
using Change = std::function<QString(const ComparedExamination&, const ComparedExamination& first)>;

const QString kArrow = QStringLiteral(" \u2192 ");

// A difference with its sign: "+2", "-0,5", "0".
QString signedText(double difference, QChar sep) {
    const QString text = fourDecimalText(difference, sep);
    return text.startsWith(QLatin1Char('-')) || text == QLatin1String("0") ? text : QLatin1Char('+') + text;
}

QString withMove(const QString& difference, const QString& from, const QString& to) {
    return from == to ? difference : difference + QStringLiteral(" (") + from + kArrow + to + QLatin1Char(')');
}

QString classText(QuartileClass position) {
    return ResultText::quartileClass(position, ResultText::Form::Plain);
}

QString ageText(qint32 age) {
    if (!ProtocolGate::ageHasNorms(age))
        return QString::number(age);
    return QStringLiteral("%1 (%2)").arg(age).arg(ProfileChart::bracketText(age));
}

QString trendsOfRow(const R& r, int row, QChar sep) {
    QStringList trends;
    for (int place = 1; place <= 3; ++place) {
        if (r.trendRatio[static_cast<size_t>(row - 1)][static_cast<size_t>(place - 1)])
            trends << ResultText::trend(r, row, place, sep, ResultText::Form::Plain);
    }
    return trends.isEmpty() ? QStringLiteral("nincs") : trends.join(QStringLiteral(", "));
}

struct Spec {
    QString group;
    QString label;
    Value value;
    Change change; // none: the row shows no change
    bool known = false;
};

// A percentage with its class, and its change with both classes where the class moved.
Spec percentSpec(const QString& label, std::function<double(const R&)> percent,
                 std::function<QuartileClass(const R&)> position,
                 std::function<double(const EvaluationNumbers&)> change, QChar sep) {
    return {QString(), label,
            [=](const ComparedExamination& e) {
                return fourDecimalText(percent(*e.result), sep) + QStringLiteral(" (") +
                       classText(position(*e.result)) + QLatin1Char(')');
            },
            [=](const ComparedExamination& e, const ComparedExamination& first) {
                return withMove(signedText(change(*e.change), sep), classText(position(*first.result)),
                                classText(position(*e.result)));
            }};
}

// A number without a class.
Spec numberSpec(const QString& label, std::function<double(const R&)> value,
                std::function<double(const EvaluationNumbers&)> change, QChar sep) {
    return {
        QString(), label, [=](const ComparedExamination& e) { return fourDecimalText(value(*e.result), sep); },
        [=](const ComparedExamination& e, const ComparedExamination&) { return signedText(change(*e.change), sep); }};
}

std::vector<Spec> specs(QChar sep) {
    std::vector<Spec> s;
    s.push_back({QString(), QStringLiteral("Életkor (korcsoport)"),
                 [](const ComparedExamination& e) { return ageText(e.personal.age); },
                 [sep](const ComparedExamination& e, const ComparedExamination& first) {
                     return withMove(signedText(e.change->age, sep), ProfileChart::bracketText(first.personal.age),
                                     ProfileChart::bracketText(e.personal.age));
                 },
                 true});
    s.push_back({QString(), QStringLiteral("Lejelölt képek"),
                 [](const ComparedExamination& e) { return QString::number(e.coding.markedPictureCount()); },
                 [sep](const ComparedExamination& e, const ComparedExamination&) {
                     return signedText(e.change->scoredPictureCount, sep);
                 },
                 true});
    s.push_back(
        {QString(), QStringLiteral("GCR %"),
         [](const ComparedExamination& e) {
             return QStringLiteral("%1 (%2)").arg(e.result->gcrPercent).arg(ResultText::gcrClass(e.result->gcrClass));
         },
         [sep](const ComparedExamination& e, const ComparedExamination& first) {
             return withMove(signedText(e.change->gcrPercent, sep), ResultText::gcrClass(first.result->gcrClass),
                             ResultText::gcrClass(e.result->gcrClass));
         }});

    static const char* const directions[3] = {"E", "I", "M"};
    static const char* const types[3] = {"O - D", "E - D", "N - P"};
    for (size_t d = 0; d < 3; ++d) {
        for (size_t t = 0; t < 3; ++t)
            s.push_back(numberSpec(
                QStringLiteral("%1  %2").arg(QLatin1String(directions[d]), QLatin1String(types[t])),
                [d, t](const R& r) { return r.cellScore[d][t]; },
                [d, t](const EvaluationNumbers& n) { return n.cellScore[d][t]; }, sep));
    }
    s[3].group = QStringLiteral("II. Profil");
    for (size_t d = 0; d < 3; ++d)
        s.push_back(percentSpec(
            QLatin1String(directions[d]) + QStringLiteral(" %"), [d](const R& r) { return r.rowPercent[d]; },
            [d](const R& r) { return r.rowClass[d]; }, [d](const EvaluationNumbers& n) { return n.rowPercent[d]; },
            sep));
    for (size_t t = 0; t < 3; ++t)
        s.push_back(percentSpec(
            QLatin1String(types[t]) + QStringLiteral(" %"), [t](const R& r) { return r.columnPercent[t]; },
            [t](const R& r) { return r.columnClass[t]; },
            [t](const EvaluationNumbers& n) { return n.columnPercent[t]; }, sep));

    const size_t superego = s.size();
    for (size_t k = 0; k < 6; ++k)
        s.push_back(percentSpec(
            ProfileChart::superegoLabels()[k].plain() + QStringLiteral(" %"),
            [k](const R& r) { return r.superegoPercent[k]; }, [k](const R& r) { return r.superegoClass[k]; },
            [k](const EvaluationNumbers& n) { return n.superegoPercent[k]; }, sep));
    s[superego].group = QStringLiteral("III. Felettes-én mutatók");

    // Row 5 of the trends follows nothing and never has one.
    static const char* const trendRows[4] = {"O - D", "E - D", "N - P", "irányok"};
    const size_t trends = s.size();
    for (int row = 1; row <= 4; ++row)
        s.push_back({QString(),
                     QString::fromUtf8(trendRows[row - 1]),
                     [row, sep](const ComparedExamination& e) { return trendsOfRow(*e.result, row, sep); },
                     {}});
    s[trends].group = QStringLiteral("Tendenciák");

    static const char* const formulas[5] = {"a = E / I", "b = E / M", "c = E / e", "d = (E \u2212 EE) / (EE + II)",
                                            "e = i / e"};
    const size_t rauchfleisch = s.size();
    for (char index = 'a'; index <= 'e'; ++index) {
        const size_t i = static_cast<size_t>(index - 'a');
        s.push_back({QString(), QString::fromUtf8(formulas[i]),
                     [index, sep](const ComparedExamination& e) {
                         const std::optional<double> v = rauchfleischIndex(*e.result, index);
                         return v ? fourDecimalText(*v, sep) : QStringLiteral("nincs ért.");
                     },
                     [i, sep](const ComparedExamination& e, const ComparedExamination&) {
                         const std::optional<double> d = e.change->rauchfleisch[i];
                         return d ? signedText(*d, sep) : QString();
                     }});
    }
    s[rauchfleisch].group = QStringLiteral("Rauchfleisch-mutatók");
    s.push_back({QString(),
                 QStringLiteral("Totális mutató"),
                 [sep](const ComparedExamination& e) {
                     return ResultText::totalIndex(e.result->topCell, sep, ResultText::Form::Plain);
                 },
                 {}});
    return s;
}

} // namespace

ComparisonTable::ComparisonTable(const Comparison& comparison, QChar sep) {
    const ComparedExamination* first = comparison.baseline();
    QStringList names;
    QStringList seen; // a name typed once in capitals is the same name
    for (const ComparedExamination& e : comparison.examinations) {
        m_titles.push_back(e.personal.date.trimmed().isEmpty() ? QStringLiteral("(nincs dátum)") : e.personal.date);
        m_codes.push_back(e.personal.code);
        m_showsChange.push_back(e.change.has_value());
        m_refusals.push_back(e.refusalText());
        const QString name = e.personal.name.simplified();
        if (!name.isEmpty() && !seen.contains(name.toCaseFolded())) {
            seen << name.toCaseFolded();
            names << name;
        }
    }
    m_names = names.join(QStringLiteral(" / "));

    for (const Spec& spec : specs(sep)) {
        Row row;
        row.group = spec.group;
        row.label = spec.label;
        row.known = spec.known;
        for (const ComparedExamination& e : comparison.examinations) {
            const bool shown = spec.known || e.evaluated();
            row.values.push_back(shown ? spec.value(e) : QString());
            row.changes.push_back(e.change && spec.change ? spec.change(e, *first) : QString());
        }
        m_rows.push_back(std::move(row));
    }
}

QString ComparisonTable::plainText() const {
    // Each column is a heading of two lines and a cell per row.
    struct Column {
        QString top;
        QString sub;
        std::vector<QString> cells;
    };
    std::vector<Column> columns(1);
    for (const Row& row : m_rows)
        columns[0].cells.push_back(row.label);
    QStringList notes;
    for (int i = 0; i < examinationCount(); ++i) {
        const size_t at = static_cast<size_t>(i);
        Column values{title(i), code(i), {}};
        QString mark;
        if (!refusal(i).isEmpty()) {
            notes << QStringLiteral("(%1) %2, %3: %4").arg(notes.size() + 1).arg(title(i), code(i), refusal(i));
            mark = QStringLiteral("nem értékelhető (%1)").arg(notes.size());
        }
        for (const Row& row : m_rows) {
            if (row.known || mark.isEmpty()) {
                values.cells.push_back(row.values[at]);
            } else {
                values.cells.push_back(mark);
                mark = QStringLiteral("–");
            }
        }
        columns.push_back(values);
        if (showsChange(i)) {
            Column change{QString(), QStringLiteral("változás"), {}};
            for (const Row& row : m_rows)
                change.cells.push_back(row.changes[at]);
            columns.push_back(change);
        }
    }
    std::vector<qsizetype> widths;
    for (const Column& c : columns) {
        qsizetype width = std::max(c.top.size(), c.sub.size());
        for (const QString& cell : c.cells)
            width = std::max(width, cell.size());
        widths.push_back(width);
    }
    auto line = [&](const std::function<QString(const Column&)>& text) {
        QString out;
        for (size_t c = 0; c < columns.size(); ++c)
            out += text(columns[c]).leftJustified(widths[c] + 3);
        while (out.endsWith(QLatin1Char(' ')))
            out.chop(1);
        return out + QLatin1Char('\n');
    };

    QString out = QStringLiteral("Összehasonlítás") + (m_names.isEmpty() ? QString() : QStringLiteral(": ") + m_names) +
                  QStringLiteral("\n\n");
    out += line([](const Column& c) { return c.top; });
    out += line([](const Column& c) { return c.sub; });
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (!m_rows[r].group.isEmpty())
            out += QLatin1Char('\n') + m_rows[r].group + QLatin1Char('\n');
        out += line([r](const Column& c) { return c.cells[r]; });
    }
    if (!notes.isEmpty())
        out += QLatin1Char('\n') + notes.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return out;
}

QString ComparisonTable::html() const {
    using PaperText::cell;
    using PaperText::escaped;
    const QString heading = QStringLiteral("bgcolor=\"%1\"").arg(PaperText::headingColour());
    // The dates and codes head every page the table runs over.
    QString h = PaperText::tableOpen(2) + QStringLiteral("<thead><tr><td rowspan=\"2\"></td>");
    for (int i = 0; i < examinationCount(); ++i)
        h += cell(QStringLiteral("<b>") + escaped(title(i)) + QStringLiteral("</b>"),
                  heading + (showsChange(i) ? QStringLiteral(" colspan=\"2\"") : QString()));
    h += QStringLiteral("</tr><tr>");
    for (int i = 0; i < examinationCount(); ++i) {
        h += cell(escaped(code(i)));
        if (showsChange(i))
            h += cell(QStringLiteral("<i>változás</i>"));
    }
    h += QStringLiteral("</tr></thead>");

    // A refused examination's reason fills its column from the first value it has none of down
    // to the end, group headings included.
    const auto firstUnknown = std::find_if(m_rows.begin(), m_rows.end(), [](const Row& r) { return !r.known; });
    int spanned = 0;
    for (auto row = firstUnknown; row != m_rows.end(); ++row)
        spanned += row->group.isEmpty() ? 1 : 2;
    auto examinationCells = [&](const Row* row, bool reasonStarts) {
        QString cells;
        for (int i = 0; i < examinationCount(); ++i) {
            const size_t at = static_cast<size_t>(i);
            if (!refusal(i).isEmpty() && (!row || !row->known)) {
                if (reasonStarts)
                    cells +=
                        cell(escaped(refusal(i)),
                             QStringLiteral("rowspan=\"%1\" valign=\"top\" style=\"color: #a01010;\"").arg(spanned));
                continue;
            }
            cells += cell(row ? escaped(row->values[at]) : QString(), row ? QString() : heading);
            if (showsChange(i))
                cells += cell(row ? escaped(row->changes[at]) : QString(), row ? QString() : heading);
        }
        return cells;
    };
    for (auto row = m_rows.begin(); row != m_rows.end(); ++row) {
        bool reasonStarts = row == firstUnknown;
        if (!row->group.isEmpty()) {
            h += QStringLiteral("<tr>") +
                 cell(QStringLiteral("<b>") + escaped(row->group) + QStringLiteral("</b>"), heading) +
                 examinationCells(nullptr, reasonStarts) + QStringLiteral("</tr>");
            reasonStarts = false;
        }
        h += QStringLiteral("<tr>") + cell(escaped(row->label)) + examinationCells(&*row, reasonStarts) +
             QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</table>");
}
