#include "services/ArchiveNorms.h"

#include "base/UserError.h"
#include "formats/ExaminationFile.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "render/ResearchText.h"
#include "services/EvaluatedExamination.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>

using R = EvaluationResult;

namespace {

// The percentage the evaluation rounds: the same long double quotient, not yet rounded.
double share(double x, qint32 scoredPictureCount) {
    return static_cast<double>(100.0L * x / scoredPictureCount);
}

QJsonValue rounded(const std::optional<double>& value) {
    if (!value)
        return QJsonValue();
    return ResearchText::twoDecimals(*value);
}

} // namespace

const std::array<QString, ArchiveNorms::kMeasureCount>& ArchiveNorms::measureNames() {
    static const std::array<QString, kMeasureCount> names = {
        QStringLiteral("GcrPercent"),        QStringLiteral("RowPercent_E"),      QStringLiteral("RowPercent_I"),
        QStringLiteral("RowPercent_M"),      QStringLiteral("ColumnPercent_OD"),  QStringLiteral("ColumnPercent_ED"),
        QStringLiteral("ColumnPercent_NP"),  QStringLiteral("SuperegoPercent_1"), QStringLiteral("SuperegoPercent_2"),
        QStringLiteral("SuperegoPercent_3"), QStringLiteral("SuperegoPercent_4"), QStringLiteral("SuperegoPercent_5"),
        QStringLiteral("SuperegoPercent_6")};
    return names;
}

std::array<double, ArchiveNorms::kMeasureCount> ArchiveNorms::unroundedPercentages(const Coding& coding,
                                                                                   const EvaluationResult& r) {
    const qint32 n = r.scoredPictureCount;
    std::array<double, kMeasureCount> p{};
    p[0] = share(coding.gcrPoints(), n);
    p[1] = share(r.rowTotal[R::E], n);
    p[2] = share(r.rowTotal[R::I], n);
    p[3] = 100 - (p[1] + p[2]);
    p[4] = share(r.columnTotal[R::OD], n);
    p[5] = share(r.columnTotal[R::ED], n);
    p[6] = 100 - (p[4] + p[5]);
    for (size_t k = 0; k < 6; ++k)
        p[7 + k] = share(r.superegoScore[k], n);
    return p;
}

NormEntry ArchiveNorms::builtinEntry(const NormTable& table, int measure) {
    if (measure == 0)
        return table.gcrPercent;
    if (measure <= 3)
        return table.rowPercent[static_cast<size_t>(measure - 1)];
    if (measure <= 6)
        return table.columnPercent[static_cast<size_t>(measure - 4)];
    return table.superegoPercent[static_cast<size_t>(measure - 7)];
}

std::optional<double> ArchiveNorms::quantile(const Counts& counts, double p) {
    qint64 n = 0;
    for (const auto& [value, count] : counts)
        n += count;
    if (n == 0)
        return std::nullopt;
    const double position = (static_cast<double>(n) - 1) * p;
    const auto below = static_cast<qint64>(std::floor(position));
    const qint64 above = std::min(below + 1, n - 1);
    const double fraction = position - static_cast<double>(below);
    // The values at the two ranks, counted from the smallest.
    std::optional<double> low;
    std::optional<double> high;
    qint64 passed = 0;
    for (const auto& [value, count] : counts) {
        passed += count;
        if (!low && below < passed)
            low = value;
        if (above < passed) {
            high = value;
            break;
        }
    }
    return *low + fraction * (*high - *low);
}

std::optional<double> ArchiveNorms::quantile(const std::vector<double>& values, double p) {
    Counts counts;
    for (const double v : values)
        ++counts[v];
    return quantile(counts, p);
}

void ArchiveNorms::Collector::add(const QString& label, const std::function<EvaluatedExamination()>& read) {
    EvaluatedExamination examination;
    try {
        examination = read();
    } catch (const UserError& e) {
        m_leftOut << label + QStringLiteral(": ") + e.text();
        ++m_malformed;
        return;
    }
    const int age = examination.data.personal.age;
    if (examination.refusal != ProtocolRefusal::None) {
        m_leftOut << label + QStringLiteral(": ") +
                         ProtocolGate::refusalText(examination.refusal, examination.coding.markedPictureCount(), age);
        return;
    }
    add(age, unroundedPercentages(examination.coding, *examination.result));
}

void ArchiveNorms::Collector::add(int age, const std::array<double, kMeasureCount>& percentages) {
    if (!AgeBrackets::covers(age))
        return;
    const auto b = static_cast<size_t>(AgeBrackets::of(age));
    for (size_t m = 0; m < kMeasureCount; ++m)
        ++m_counts[b][m][percentages[m]];
    ++m_n[b];
}

ArchiveNorms::Report ArchiveNorms::Collector::report() const {
    Report report;
    for (size_t b = 0; b < report.brackets.size(); ++b) {
        Bracket& bracket = report.brackets[b];
        bracket.fromAge = AgeBrackets::firstAge(static_cast<int>(b));
        bracket.toAge = AgeBrackets::lastAge(static_cast<int>(b));
        bracket.n = m_n[b];
        for (size_t m = 0; m < kMeasureCount; ++m) {
            Measure& measure = bracket.measures[m];
            measure.builtin = builtinEntry(Norms::ofBracket(static_cast<int>(b)), static_cast<int>(m));
            measure.q1 = quantile(m_counts[b][m], 0.25);
            measure.median = quantile(m_counts[b][m], 0.5);
            measure.q3 = quantile(m_counts[b][m], 0.75);
            if (measure.q1 && measure.q3)
                measure.outside = measure.builtin.median < *measure.q1 || measure.builtin.median > *measure.q3;
        }
    }
    report.leftOut = m_leftOut;
    report.malformed = m_malformed;
    return report;
}

ArchiveNorms::Report ArchiveNorms::compute(const QStringList& files, const GcrKey& key) {
    Collector collector;
    for (const QString& path : files)
        collector.add(path, [&] { return EvaluatedExamination::read(path, key); });
    return collector.report();
}

ArchiveNorms::Report
ArchiveNorms::fromSamples(const QList<std::pair<int, std::array<double, kMeasureCount>>>& samples) {
    Collector collector;
    for (const auto& [age, percentages] : samples)
        collector.add(age, percentages);
    return collector.report();
}

QJsonObject ArchiveNorms::toJson(const Report& report) {
    QJsonArray brackets;
    for (const Bracket& bracket : report.brackets) {
        QJsonObject measures;
        for (size_t m = 0; m < kMeasureCount; ++m) {
            const Measure& measure = bracket.measures[m];
            QJsonObject o;
            o.insert(QStringLiteral("q1"), rounded(measure.q1));
            o.insert(QStringLiteral("median"), rounded(measure.median));
            o.insert(QStringLiteral("q3"), rounded(measure.q3));
            o.insert(QStringLiteral("builtin"),
                     QJsonArray{measure.builtin.q1, measure.builtin.median, measure.builtin.q3});
            o.insert(QStringLiteral("outside"), measure.outside ? QJsonValue(*measure.outside) : QJsonValue());
            measures.insert(measureNames()[m], o);
        }
        QJsonObject b;
        b.insert(QStringLiteral("ages"), QStringLiteral("%1-%2").arg(bracket.fromAge).arg(bracket.toAge));
        b.insert(QStringLiteral("n"), bracket.n);
        b.insert(QStringLiteral("measures"), measures);
        brackets.append(b);
    }
    QJsonArray leftOut;
    for (const QString& line : report.leftOut)
        leftOut.append(line);
    return QJsonObject{{QStringLiteral("brackets"), brackets}, {QStringLiteral("left_out"), leftOut}};
}
