#include "render/EvaluationJson.h"

#include "model/Coding.h"
#include "model/Evaluate.h"
#include "model/PersonalData.h"
#include "render/ResultText.h"

namespace {

const char* const kDirections[3] = {"E", "I", "M"};
const char* const kTypes[3] = {"OD", "ED", "NP"};

template <typename Array, typename Convert>
QJsonArray jsonArray(const Array& values, Convert convert) {
    QJsonArray out;
    for (const auto& v : values)
        out.append(convert(v));
    return out;
}

template <typename Array>
QJsonArray jsonArray(const Array& values) {
    return jsonArray(values, [](const auto& v) { return QJsonValue(v); });
}

template <typename Value, typename Convert>
QJsonObject byName(const std::array<Value, 3>& values, const char* const names[3], Convert convert) {
    QJsonObject out;
    for (size_t i = 0; i < 3; ++i)
        out.insert(QLatin1String(names[i]), convert(values[i]));
    return out;
}

template <typename Value>
QJsonObject byName(const std::array<Value, 3>& values, const char* const names[3]) {
    return byName(values, names, [](const Value& v) { return QJsonValue(v); });
}

QJsonValue orNull(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

} // namespace

QJsonObject numbersJson(const EvaluationNumbers& n) {
    QJsonObject o;
    o.insert(QStringLiteral("age"), n.age);
    o.insert(QStringLiteral("points"), jsonArray(n.points));
    o.insert(QStringLiteral("gcr_points"), n.gcrPoints);
    o.insert(QStringLiteral("scored_picture_count"), n.scoredPictureCount);
    QJsonObject cells;
    for (size_t d = 0; d < 3; ++d)
        cells.insert(QLatin1String(kDirections[d]), byName(n.cellScore[d], kTypes));
    o.insert(QStringLiteral("cell_score"), cells);
    o.insert(QStringLiteral("column_total"), byName(n.columnTotal, kTypes));
    o.insert(QStringLiteral("row_total"), byName(n.rowTotal, kDirections));
    o.insert(QStringLiteral("column_percent"), byName(n.columnPercent, kTypes));
    o.insert(QStringLiteral("row_percent"), byName(n.rowPercent, kDirections));
    o.insert(QStringLiteral("gcr_percent"), n.gcrPercent);
    o.insert(QStringLiteral("superego_score"), jsonArray(n.superegoScore));
    o.insert(QStringLiteral("superego_percent"), jsonArray(n.superegoPercent));
    o.insert(QStringLiteral("top_cell"), jsonArray(n.topCellScore, [](double score) {
                 return QJsonObject{{QStringLiteral("score"), score}};
             }));
    QJsonObject rauchfleisch;
    for (size_t i = 0; i < n.rauchfleisch.size(); ++i)
        rauchfleisch.insert(QString(QLatin1Char(static_cast<char>('a' + i))), orNull(n.rauchfleisch[i]));
    o.insert(QStringLiteral("rauchfleisch"), rauchfleisch);
    return o;
}

QJsonObject evaluationJson(const PersonalData& personal, const Coding& coding, const EvaluationResult& r,
                           QChar decimalSeparator) {
    // JSON carries the characters themselves; the entities belong to the HTML protocol alone.
    constexpr ResultText::Form form = ResultText::Form::Plain;
    auto classText = [](QuartileClass c) { return QJsonValue(ResultText::quartileClass(c, form)); };
    QJsonObject o = numbersJson(EvaluationNumbers::of(coding, personal.age, r));
    o.insert(QStringLiteral("code"), personal.code);
    o.insert(QStringLiteral("column_class"), byName(r.columnClass, kTypes, classText));
    o.insert(QStringLiteral("row_class"), byName(r.rowClass, kDirections, classText));
    o.insert(QStringLiteral("gcr_class"), ResultText::gcrClass(r.gcrClass));
    o.insert(QStringLiteral("superego_class"), jsonArray(r.superegoClass, classText));
    QJsonArray trends;
    for (int row = 1; row <= static_cast<int>(r.trendRatio.size()); ++row) {
        QJsonArray places;
        for (int place = 1; place <= 3; ++place)
            places.append(ResultText::trend(r, row, place, decimalSeparator, form));
        trends.append(places);
    }
    o.insert(QStringLiteral("trend_text"), trends);
    // The top cells' scores come with the numbers; each gets its code beside it.
    QJsonArray top = o.value(QStringLiteral("top_cell")).toArray();
    for (qsizetype i = 0; i < top.size(); ++i) {
        QJsonObject cell = top.at(i).toObject();
        cell.insert(QStringLiteral("code"), r.topCell[static_cast<size_t>(i)].code);
        top.replace(i, cell);
    }
    o.insert(QStringLiteral("top_cell"), top);
    o.insert(QStringLiteral("total_index_text"), ResultText::totalIndex(r.topCell, decimalSeparator, form));
    return o;
}

QJsonArray comparisonJson(const Comparison& comparison, QChar decimalSeparator) {
    QJsonArray out;
    for (const ComparedExamination& e : comparison.examinations) {
        QJsonObject o;
        if (e.evaluated()) {
            o = evaluationJson(e.personal, e.coding, *e.result, decimalSeparator);
        } else {
            o.insert(QStringLiteral("code"), e.personal.code);
            o.insert(QStringLiteral("age"), e.personal.age);
            o.insert(QStringLiteral("error"), e.refusalText());
        }
        o.insert(QStringLiteral("file"), e.path);
        o.insert(QStringLiteral("date"), e.personal.date);
        if (e.change)
            o.insert(QStringLiteral("changes"), numbersJson(*e.change));
        out.append(o);
    }
    return out;
}
