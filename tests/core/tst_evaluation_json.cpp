#include "BenchExaminations.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "render/EvaluationJson.h"
#include "services/ExaminationComparison.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
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
    // archive every class, both arrows and refusals come up; none may reach the JSON of an
    // evaluation or of a comparison as a reference.
    const GcrKey key = BenchExaminations::key();
    const QChar sep = QLatin1Char(',');
    BenchExaminations::Lcg rng(20240506);
    QTemporaryDir dir;
    QStringList strings;
    std::vector<ComparedExamination> group;
    for (int n = 0; n < 400; ++n) {
        ExaminationData d = BenchExaminations::generate(rng, n);
        d.personal.age = n % 9 == 0 ? 15 : d.personal.age;
        const Coding coding(key, d.lines);
        if (ProtocolGate::ageHasNorms(d.personal.age))
            collectStrings(evaluationJson(d.personal, coding, evaluate(coding, d.personal.age), sep), strings);
        const QString path = dir.filePath(QStringLiteral("%1.kvx").arg(n));
        ExaminationFile::write(path, d);
        group.push_back(ExaminationComparison::examine(path, key));
        if (group.size() == Comparison::kMaximum) {
            collectStrings(comparisonJson(ExaminationComparison::compare(std::move(group)), sep), strings);
            group.clear();
        }
    }
    for (const QString& s : std::as_const(strings))
        QVERIFY2(!s.contains(QLatin1Char('&')), qPrintable(s));
    for (const char* sign : {"<Q1", ">Q3", " -> ", " <- ", ") > ", "Kevés", "7–14"})
        QVERIFY2(strings.filter(QString::fromUtf8(sign)).size() > 0, sign);
}

QTEST_GUILESS_MAIN(EvaluationJsonTest)
#include "tst_evaluation_json.moc"
