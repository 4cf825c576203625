#include "render/EvaluationJson.h"

#include "model/Coding.h"
#include "model/Evaluate.h"
#include "model/PersonalData.h"
#include "render/ResultText.h"

#include <QJsonArray>

namespace {

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

} // namespace

QJsonObject evaluationJson(const PersonalData& personal, const Coding& coding, const EvaluationResult& r,
                           QChar decimalSeparator) {
    constexpr ResultText::Form form = ResultText::Form::Html;
    static const char* const directions[3] = {"E", "I", "M"};
    static const char* const types[3] = {"OD", "ED", "NP"};
    auto classText = [](QuartileClass c) { return QJsonValue(ResultText::quartileClass(c, form)); };
    QJsonObject o;
    o.insert(QStringLiteral("code"), personal.code);
    o.insert(QStringLiteral("age"), personal.age);
    QJsonArray points;
    for (int picture = 1; picture <= kPictureCount; ++picture)
        points.append(coding.point(picture));
    o.insert(QStringLiteral("points"), points);
    o.insert(QStringLiteral("gcr_points"), coding.gcrPoints());
    o.insert(QStringLiteral("scored_picture_count"), r.scoredPictureCount);
    QJsonObject cells;
    for (size_t d = 0; d < 3; ++d)
        cells.insert(QLatin1String(directions[d]), byName(r.cellScore[d], types));
    o.insert(QStringLiteral("cell_score"), cells);
    o.insert(QStringLiteral("column_total"), byName(r.columnTotal, types));
    o.insert(QStringLiteral("row_total"), byName(r.rowTotal, directions));
    o.insert(QStringLiteral("column_percent"), byName(r.columnPercent, types));
    o.insert(QStringLiteral("row_percent"), byName(r.rowPercent, directions));
    o.insert(QStringLiteral("column_class"), byName(r.columnClass, types, classText));
    o.insert(QStringLiteral("row_class"), byName(r.rowClass, directions, classText));
    o.insert(QStringLiteral("gcr_percent"), r.gcrPercent);
    o.insert(QStringLiteral("gcr_class"), ResultText::gcrClass(r.gcrClass));
    o.insert(QStringLiteral("superego_score"), jsonArray(r.superegoScore));
    o.insert(QStringLiteral("superego_percent"), jsonArray(r.superegoPercent));
    o.insert(QStringLiteral("superego_class"), jsonArray(r.superegoClass, classText));
    QJsonArray trends;
    for (int row = 1; row <= static_cast<int>(r.trendRatio.size()); ++row) {
        QJsonArray places;
        for (int place = 1; place <= 3; ++place)
            places.append(ResultText::trend(r, row, place, decimalSeparator, form));
        trends.append(places);
    }
    o.insert(QStringLiteral("trend_text"), trends);
    QJsonArray top;
    for (const EvaluationResult::TopCell& cell : r.topCell)
        top.append(QJsonObject{{QStringLiteral("score"), cell.score}, {QStringLiteral("code"), cell.code}});
    o.insert(QStringLiteral("top_cell"), top);
    o.insert(QStringLiteral("total_index_text"), ResultText::totalIndex(r.topCell, decimalSeparator, form));
    QJsonObject rauchfleisch;
    for (char index = 'a'; index <= 'e'; ++index) {
        const std::optional<double> value = rauchfleischIndex(r, index);
        rauchfleisch.insert(QString(QLatin1Char(index)), value ? QJsonValue(*value) : QJsonValue());
    }
    o.insert(QStringLiteral("rauchfleisch"), rauchfleisch);
    return o;
}
