#include "CliRun.h"
#include "TestRoot.h"
#include "model/ProtocolGate.h"
#include "tst_evaluate_example.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace EvalFixture;

namespace {

// Every number of `after` less the same number of `before`, found by walking the two objects
// `evaluate --json` printed: null where either has none, strings left out.
std::optional<QJsonValue> difference(const QJsonValue& before, const QJsonValue& after) {
    if (before.isDouble() && after.isDouble())
        return after.toDouble() - before.toDouble();
    if ((before.isNull() || before.isDouble()) && (after.isNull() || after.isDouble()))
        return QJsonValue();
    if (before.isObject() && after.isObject()) {
        QJsonObject out;
        const QJsonObject a = before.toObject();
        const QJsonObject b = after.toObject();
        for (auto it = b.begin(); it != b.end(); ++it) {
            if (const std::optional<QJsonValue> d = difference(a.value(it.key()), it.value()))
                out.insert(it.key(), *d);
        }
        return out.isEmpty() ? std::nullopt : std::optional<QJsonValue>(out);
    }
    if (before.isArray() && after.isArray()) {
        QJsonArray out;
        const QJsonArray a = before.toArray();
        const QJsonArray b = after.toArray();
        for (qsizetype i = 0; i < b.size(); ++i) {
            if (const std::optional<QJsonValue> d = difference(a.at(i), b.at(i)))
                out.append(*d);
        }
        return out.isEmpty() ? std::nullopt : std::optional<QJsonValue>(out);
    }
    return std::nullopt;
}

// A second examination unlike the worked example: more E-D, other trends, no E in N-P (so no
// Rauchfleisch c and e).
std::array<ScoringLine, 24> laterExample() {
    QStringList specs = repeated(QStringLiteral(",EE,"), 4);
    specs << repeated(QStringLiteral("EV,,"), 6) << repeated(QStringLiteral(",NI,"), 4)
          << repeated(QStringLiteral(",,KI"), 6) << repeated(QStringLiteral("MVIV,,"), 3);
    return linesFrom(specs);
}

} // namespace

class CliCompareTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void changesAreTheDifferencesOfEvaluate_data();
    void changesAreTheDifferencesOfEvaluate();
    void usage_data();
    void usage();

private:
    std::unique_ptr<TestRoot> m_root;
    QString m_key;
    QString file(const QString& name) const { return m_root->path() + QLatin1Char('/') + name; }
    QString write(const QString& name, ExaminationData d, const QString& date) const {
        d.personal.date = date;
        ExaminationFile::write(file(name), d);
        return file(name);
    }
    QJsonObject evaluated(const QString& path) const {
        const CliRun r = runCli({QStringLiteral("evaluate"), path, QStringLiteral("--gcr"), m_key,
                                 QStringLiteral("--decimal"), QStringLiteral(","), QStringLiteral("--json")});
        return QJsonDocument::fromJson(r.out).object();
    }
};

void CliCompareTest::init() {
    m_root = std::make_unique<TestRoot>();
    m_root->put(QStringLiteral("key.gcr"), workedExampleKeyBytes());
    m_key = file(QStringLiteral("key.gcr"));
}

void CliCompareTest::changesAreTheDifferencesOfEvaluate_data() {
    QTest::addColumn<QString>("refusedDate");
    QTest::addColumn<int>("refusedAge");
    QTest::addColumn<int>("refusedMarked");
    QTest::addColumn<QStringList>("order"); // the files as compare lists them
    // The refused examination must neither be the baseline nor stop the later one's changes.
    QTest::newRow("too few pictures, in the middle")
        << QStringLiteral("2023.11.20.") << 10 << 17
        << QStringList{QStringLiteral("a"), QStringLiteral("r"), QStringLiteral("b")};
    QTest::newRow("age outside the norms, first")
        << QStringLiteral("2022. dec. 1.") << 15 << 24
        << QStringList{QStringLiteral("r"), QStringLiteral("a"), QStringLiteral("b")};
}

void CliCompareTest::changesAreTheDifferencesOfEvaluate() {
    QFETCH(QString, refusedDate);
    QFETCH(int, refusedAge);
    QFETCH(int, refusedMarked);
    QFETCH(QStringList, order);
    const QString a = write(QStringLiteral("a.kvx"), examination(workedExample(), 9), QStringLiteral("2023.05.10."));
    // A date written out sorts by the day it names: as text it would come before May.
    const QString b =
        write(QStringLiteral("b.kvx"), examination(laterExample(), 11), QStringLiteral("2023. december 2."));
    const QString r =
        write(QStringLiteral("r.kvx"),
              examination(linesFrom(repeated(QStringLiteral(",NE,"), refusedMarked)), refusedAge), refusedDate);
    const CliRun run = runCli({QStringLiteral("compare"), b, r, a, QStringLiteral("--gcr"), m_key,
                               QStringLiteral("--decimal"), QStringLiteral(","), QStringLiteral("--json")});
    QCOMPARE(run.status, 0);
    const QJsonArray all = QJsonDocument::fromJson(run.out).array();
    QCOMPARE(all.size(), 3);
    QJsonObject byName[3];
    for (int i = 0; i < 3; ++i) {
        byName[i] = all.at(i).toObject();
        QCOMPARE(byName[i].value(QStringLiteral("file")).toString(), file(order.at(i) + QStringLiteral(".kvx")));
    }
    const QJsonObject first = byName[order.indexOf(QStringLiteral("a"))];
    const QJsonObject refused = byName[order.indexOf(QStringLiteral("r"))];
    QJsonObject later = byName[2];

    const QString reason = ProtocolGate::refusalText(
        refusedAge > 14 ? ProtocolRefusal::AgeOutsideNorms : ProtocolRefusal::TooFewMarked, refusedMarked, refusedAge);
    QCOMPARE(refused.value(QStringLiteral("error")).toString(), reason);
    QVERIFY(!refused.contains(QStringLiteral("changes")));
    QVERIFY(!refused.contains(QStringLiteral("gcr_percent")));
    QVERIFY(!first.contains(QStringLiteral("changes")));

    const QJsonObject evaluatedA = evaluated(a);
    const QJsonObject evaluatedB = evaluated(b);
    QJsonObject firstValues = first;
    firstValues.remove(QStringLiteral("file"));
    QCOMPARE(firstValues.take(QStringLiteral("date")).toString(), QStringLiteral("2023.05.10."));
    QCOMPARE(firstValues, evaluatedA);
    const QJsonObject changes = later.take(QStringLiteral("changes")).toObject();
    later.remove(QStringLiteral("file"));
    later.remove(QStringLiteral("date"));
    QCOMPARE(later, evaluatedB);
    QCOMPARE(QJsonValue(changes), *difference(evaluatedA, evaluatedB));
    // The sample must move something, or equal objects would prove nothing.
    QVERIFY(changes.value(QStringLiteral("gcr_percent")).toDouble() != 0);
    QVERIFY(changes.value(QStringLiteral("rauchfleisch")).toObject().value(QStringLiteral("e")).isNull());

    // The table says why the refused one has no values.
    const CliRun table = runCli({QStringLiteral("compare"), b, r, a, QStringLiteral("--gcr"), m_key,
                                 QStringLiteral("--decimal"), QStringLiteral(",")});
    QCOMPARE(table.status, 0);
    QVERIFY(QString::fromUtf8(table.out).contains(reason));
}

void CliCompareTest::usage_data() {
    QTest::addColumn<int>("files");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::newRow("one file") << 1 << QStringList() << 1;
    QTest::newRow("five files") << 5 << QStringList() << 1;
    QTest::newRow("four files") << 4 << QStringList() << 0;
    QTest::newRow("PDF without a file to write") << 2 << QStringList{QStringLiteral("--pdf")} << 1;
    QTest::newRow("output onto an input") << 2 << QStringList{QStringLiteral("-o"), QStringLiteral("e1.kvx")} << 2;
}

void CliCompareTest::usage() {
    QFETCH(int, files);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QStringList args{QStringLiteral("compare"), QStringLiteral("--gcr"), m_key};
    for (int i = 1; i <= files; ++i)
        args << write(QStringLiteral("e%1.kvx").arg(i), examination(workedExample(), 9),
                      QStringLiteral("2024.01.0%1.").arg(i));
    const QByteArray before = m_root->get(QStringLiteral("e1.kvx"));
    const CliRun r = runCli(args << options, m_root->path());
    QCOMPARE(r.status, status);
    QCOMPARE(m_root->get(QStringLiteral("e1.kvx")), before);
}

QTEST_GUILESS_MAIN(CliCompareTest)
#include "tst_cli_compare.moc"
