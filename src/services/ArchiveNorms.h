#pragma once

#include "model/AgeBrackets.h"
#include "model/EvaluationResult.h"
#include "model/Norms.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class Coding;
class GcrKey;
struct EvaluatedExamination;

// Norms computed from one's own archive, to be set beside the built-in table: for each age
// bracket and each of its thirteen measures the first quartile, median and third quartile of
// the examinations the protocol would be made for.
namespace ArchiveNorms {

constexpr int kMeasureCount = 13;

// The measure names in the built-in table's order: GcrPercent, RowPercent_E/_I/_M,
// ColumnPercent_OD/_ED/_NP, SuperegoPercent_1 ... _6.
const std::array<QString, kMeasureCount>& measureNames();

// The thirteen percentages of one examination before any rounding, in measureNames() order:
// each measure x 100 / ScoredPictureCount, the third of each set (RowPercent_M, ColumnPercent_NP)
// 100 less the other two, as the evaluation forms them.
std::array<double, kMeasureCount> unroundedPercentages(const Coding& coding, const EvaluationResult& result);

// The built-in entry of a measure in a bracket's table, in measureNames() order.
NormEntry builtinEntry(const NormTable& table, int measure);

// How many examinations gave each value of a measure. A measure takes few distinct values (halves
// of a score over 18 to 24 pictures), so its quartiles are found from these counts in memory
// that the number of examinations does not grow.
using Counts = std::map<double, qint64>;

// The p-quantile (0 <= p <= 1) of values by linear interpolation between the order statistics at
// position (n - 1) p counted from 0 (R's default type 7); none for no values.
std::optional<double> quantile(const Counts& counts, double p);
std::optional<double> quantile(const std::vector<double>& values, double p);

struct Measure {
    std::optional<double> q1;
    std::optional<double> median;
    std::optional<double> q3;
    NormEntry builtin;
    // The built-in median outside the archive's Q1-Q3; none without examinations.
    std::optional<bool> outside;
};

struct Bracket {
    int fromAge;
    int toAge;
    int n = 0;
    std::array<Measure, kMeasureCount> measures;
};

struct Report {
    std::array<Bracket, AgeBrackets::kCount> brackets;
    // "path: reason" for every file left out: unreadable, an age outside 7-14, too few marks.
    QStringList leftOut;
    int malformed = 0;
};

// The measures gathered one examination at a time, wherever they come from.
class Collector {
public:
    // Adds what read() gives, or, when it raises or no protocol would be made, "label: reason" to
    // the report's files left out.
    void add(const QString& label, const std::function<EvaluatedExamination()>& read);
    // Adds one examination's unrounded percentages; an age outside the brackets counts nowhere.
    void add(int age, const std::array<double, kMeasureCount>& percentages);
    Report report() const;

private:
    std::array<std::array<Counts, kMeasureCount>, AgeBrackets::kCount> m_counts;
    std::array<int, AgeBrackets::kCount> m_n{};
    QStringList m_leftOut;
    int m_malformed = 0;
};

// Reads and evaluates every file with the key, as the protocol would.
Report compute(const QStringList& files, const GcrKey& key);
// The brackets from per-examination data: (age, unrounded percentages).
Report fromSamples(const QList<std::pair<int, std::array<double, kMeasureCount>>>& samples);

// {"brackets": [{"ages": "7-8", "n": N, "measures": {"GcrPercent": {"q1", "median", "q3",
// "builtin": [q1, median, q3], "outside"}, ...}}, ...]}; quartiles by ResearchText::twoDecimals.
QJsonObject toJson(const Report& report);

} // namespace ArchiveNorms
