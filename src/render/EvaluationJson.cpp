#include "render/EvaluationJson.h"

#include "model/Coding.h"
#include "model/Evaluate.h"
#include "model/PersonalData.h"
#include "render/ResultText.h"

#include <QJsonDocument>
#include <QLocale>

#include <cmath>

namespace {

const char* const kDirections[3] = {"E", "I", "M"};
const char* const kTypes[3] = {"OD", "ED", "NP"};

// Compact JSON written as it is made. The institution archive keeps the evaluation of every
// upload as this text, and building it through JSON objects cost an upload more than reading,
// evaluating and storing the file did; the objects the commands print are read back from it.
class JsonText {
public:
    JsonText() { m_out.reserve(2048); } // an evaluation's text, grown once at most
    JsonText& open(char bracket) {
        separate();
        m_out += bracket;
        m_first = true;
        return *this;
    }
    JsonText& close(char bracket) {
        m_out += bracket;
        m_first = false;
        return *this;
    }
    JsonText& key(QLatin1String name) {
        separate();
        m_out += '"';
        m_out += name; // the keys are plain ASCII
        m_out += "\":";
        m_first = true;
        return *this;
    }
    // As Qt's own writer does: the shortest form that reads back as the same number, and null
    // for what JSON has no number for. A negative zero keeps its sign when read back.
    JsonText& number(double value) {
        separate();
        if (!std::isfinite(value))
            m_out += "null";
        else if (value == 0 && std::signbit(value))
            m_out += "-0.0";
        else if (std::abs(value) < 1000 && value == std::trunc(value))
            m_out += QByteArray::number(static_cast<int>(value)); // the same text, sooner
        else
            m_out += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
        return *this;
    }
    JsonText& number(const std::optional<double>& value) {
        if (value)
            return number(*value);
        separate();
        m_out += "null";
        return *this;
    }
    JsonText& string(const QString& text) {
        separate();
        quoted(text);
        return *this;
    }
    template <typename Array, typename Write>
    JsonText& array(const Array& values, Write write) {
        open('[');
        for (const auto& v : values)
            write(*this, v);
        return close(']');
    }
    template <typename Array>
    JsonText& numbers(const Array& values) {
        return array(values, [](JsonText& json, const auto& v) { json.number(v); });
    }
    // Three values under the names of the profile's rows or columns.
    template <typename Value, typename Write>
    JsonText& byName(const std::array<Value, 3>& values, const char* const names[3], Write write) {
        open('{');
        for (size_t i = 0; i < 3; ++i) {
            key(QLatin1String(names[i]));
            write(*this, values[i]);
        }
        return close('}');
    }
    template <typename Value>
    JsonText& byName(const std::array<Value, 3>& values, const char* const names[3]) {
        return byName(values, names, [](JsonText& json, const Value& v) { json.number(v); });
    }
    QByteArray take() { return std::move(m_out); }

private:
    void separate() {
        if (!m_first)
            m_out += ',';
        m_first = false;
    }
    void quoted(const QString& text) {
        m_out += '"';
        for (const char c : text.toUtf8()) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                m_out += '\\';
                m_out += c;
            } else if (u < 0x20) {
                m_out += "\\u00";
                m_out += "0123456789abcdef"[u >> 4];
                m_out += "0123456789abcdef"[u & 15];
            } else {
                m_out += c;
            }
        }
        m_out += '"';
    }
    QByteArray m_out;
    bool m_first = true;
};

// The numbers' keys, without the braces around them: evaluationJson() adds its texts beside
// them. The top cells are written with their codes where a code is known.
void writeNumbers(JsonText& json, const EvaluationNumbers& n, const EvaluationResult* result) {
    json.key(QLatin1String("age")).number(n.age);
    json.key(QLatin1String("points")).numbers(n.points);
    json.key(QLatin1String("gcr_points")).number(n.gcrPoints);
    json.key(QLatin1String("scored_picture_count")).number(n.scoredPictureCount);
    json.key(QLatin1String("cell_score")).byName(n.cellScore, kDirections, [](JsonText& inner, const auto& cells) {
        inner.byName(cells, kTypes);
    });
    json.key(QLatin1String("column_total")).byName(n.columnTotal, kTypes);
    json.key(QLatin1String("row_total")).byName(n.rowTotal, kDirections);
    json.key(QLatin1String("column_percent")).byName(n.columnPercent, kTypes);
    json.key(QLatin1String("row_percent")).byName(n.rowPercent, kDirections);
    json.key(QLatin1String("gcr_percent")).number(n.gcrPercent);
    json.key(QLatin1String("superego_score")).numbers(n.superegoScore);
    json.key(QLatin1String("superego_percent")).numbers(n.superegoPercent);
    json.key(QLatin1String("top_cell")).open('[');
    for (size_t i = 0; i < n.topCellScore.size(); ++i) {
        json.open('{');
        if (result)
            json.key(QLatin1String("code")).string(result->topCell[i].code);
        json.key(QLatin1String("score")).number(n.topCellScore[i]).close('}');
    }
    json.close(']');
    json.key(QLatin1String("rauchfleisch")).open('{');
    const char names[] = "abcde";
    for (size_t i = 0; i < n.rauchfleisch.size(); ++i)
        json.key(QLatin1String(names + i, 1)).number(n.rauchfleisch[i]);
    json.close('}');
}

QJsonObject parsed(const QByteArray& text) {
    return QJsonDocument::fromJson(text).object();
}

} // namespace

QJsonObject numbersJson(const EvaluationNumbers& n) {
    JsonText json;
    json.open('{');
    writeNumbers(json, n, nullptr);
    return parsed(json.close('}').take());
}

QByteArray evaluationJsonText(const PersonalData& personal, const Coding& coding, const EvaluationResult& r,
                              QChar decimalSeparator, EvaluationCode code) {
    // JSON carries the characters themselves; the entities belong to the HTML protocol alone.
    constexpr ResultText::Form form = ResultText::Form::Plain;
    auto classText = [](JsonText& json, QuartileClass c) { json.string(ResultText::quartileClass(c, form)); };
    JsonText json;
    json.open('{');
    writeNumbers(json, EvaluationNumbers::of(coding, personal.age, r), &r);
    if (code == EvaluationCode::Included)
        json.key(QLatin1String("code")).string(personal.code);
    json.key(QLatin1String("column_class")).byName(r.columnClass, kTypes, classText);
    json.key(QLatin1String("row_class")).byName(r.rowClass, kDirections, classText);
    json.key(QLatin1String("gcr_class")).string(ResultText::gcrClass(r.gcrClass));
    json.key(QLatin1String("superego_class")).array(r.superegoClass, classText);
    json.key(QLatin1String("trend_text")).open('[');
    for (int row = 1; row <= static_cast<int>(r.trendRatio.size()); ++row) {
        json.open('[');
        for (int place = 1; place <= 3; ++place)
            json.string(ResultText::trend(r, row, place, decimalSeparator, form));
        json.close(']');
    }
    json.close(']');
    json.key(QLatin1String("total_index_text")).string(ResultText::totalIndex(r.topCell, decimalSeparator, form));
    return json.close('}').take();
}

QJsonObject evaluationJson(const PersonalData& personal, const Coding& coding, const EvaluationResult& r,
                           QChar decimalSeparator) {
    return parsed(evaluationJsonText(personal, coding, r, decimalSeparator, EvaluationCode::Included));
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
