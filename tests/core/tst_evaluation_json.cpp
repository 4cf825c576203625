#include "BenchExaminations.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "render/EvaluationJson.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

namespace {

// Every string anywhere inside a JSON value.
void collectStrings(const QJsonValue& value, QStringList& out) {
    if (value.isString()) {
        out << value.toString();
    } else if (value.isArray()) {
        for (const QJsonValue& v : value.toArray())
            collectStrings(v, out);
    } else if (value.isObject()) {
        const QJsonObject o = value.toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            collectStrings(it.value(), out);
    }
}

} // namespace

class EvaluationJsonTest : public QObject {
    Q_OBJECT
private slots:
    void stringsHoldTextNotReferences();
};

void EvaluationJsonTest::stringsHoldTextNotReferences() {
    // A JSON reader takes "&#62;Q3" for those six characters, not for ">Q3". Across a generated
    // archive every class and both arrows come up; none may reach the JSON as a reference.
    const GcrKey key = BenchExaminations::key();
    BenchExaminations::Lcg rng(20240506);
    QStringList strings;
    for (int n = 0; n < 400; ++n) {
        const ExaminationData d = BenchExaminations::generate(rng, n);
        const Coding coding(key, d.lines);
        const QJsonObject o = evaluationJson(d.personal, coding, evaluate(coding, d.personal.age), QLatin1Char(','));
        collectStrings(o, strings);
    }
    for (const QString& s : std::as_const(strings))
        QVERIFY2(!s.contains(QLatin1Char('&')), qPrintable(s));
    for (const char* sign : {"<Q1", ">Q3", " -> ", " <- ", ") > "})
        QVERIFY2(strings.filter(QLatin1String(sign)).size() > 0, sign);
}

QTEST_GUILESS_MAIN(EvaluationJsonTest)
#include "tst_evaluation_json.moc"
