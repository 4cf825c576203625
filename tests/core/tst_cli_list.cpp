#include "CliRun.h"
#include "TestRoot.h"
#include "formats/ExaminationFile.h"
#include "tst_evaluate_example.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

// A girl examined by an examiner with accents, coded under the "EV" key.
ExaminationData exam(const QString& name, qint32 age, int ones, int halves, int zeros) {
    ExaminationData d = EvalFixture::pointedExamination(name, age, ones, halves, zeros);
    d.personal.sex = PersonalData::Sex::Girl;
    d.personal.examiner = QStringLiteral("Dr. Őri Anna");
    return d;
}

const QByteArray kBroken = "Csonka\r\n9\r\n";

struct Archive {
    TestRoot root;
    QString dir = root.path() + QStringLiteral("/arch");
    QString key = root.path() + QStringLiteral("/ev.gcr");

    Archive() {
        root.put(QStringLiteral("ev.gcr"), EvalFixture::evKeyBytes());
        // 8 + 4 * 0.5 = 10 points of 20 marked pictures: 50 %, above Q3 (49.8) at 10.
        root.put(QStringLiteral("arch/b.kvx"),
                 ExaminationFile::serialize(exam(QStringLiteral("Kovács Ödön"), 10, 8, 4, 8)));
        // 17 marked pictures: no protocol, so no percentage.
        root.put(QStringLiteral("arch/A.kvx"),
                 ExaminationFile::serialize(exam(QStringLiteral("Nagy Éva"), 12, 17, 0, 0)));
        root.put(QStringLiteral("arch/c.kvx"), kBroken);
        root.put(QStringLiteral("arch/olvass.txt"), "not listed");
    }
};

} // namespace

class CliListTest : public QObject {
    Q_OBJECT
private slots:
    void jsonRows();
    void readableTable();
    void unusableFolder_data();
    void unusableFolder();
    void usageErrors();
};

void CliListTest::jsonRows() {
    Archive a;
    const QByteArray before = readFileBytes(a.dir + QStringLiteral("/c.kvx"));
    const CliRun r = runCli({QStringLiteral("list"), a.dir, QStringLiteral("--gcr"), a.key, QStringLiteral("--json")});
    QCOMPARE(r.status, 0);
    QJsonParseError error;
    const QJsonArray rows = QJsonDocument::fromJson(r.out, &error).array();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(rows.size(), 3);

    const QStringList keys{QStringLiteral("age"),         QStringLiteral("code"),       QStringLiteral("date"),
                           QStringLiteral("error"),       QStringLiteral("examiner"),   QStringLiteral("file"),
                           QStringLiteral("gcr_percent"), QStringLiteral("gcr_points"), QStringLiteral("name"),
                           QStringLiteral("scored"),      QStringLiteral("sex")};
    for (const QJsonValue& row : rows)
        QCOMPARE(row.toObject().keys(), keys);

    const QJsonObject first = rows.at(0).toObject();
    QCOMPARE(first.value(QStringLiteral("file")).toString(), QStringLiteral("A.kvx"));
    QCOMPARE(first.value(QStringLiteral("code")).toString(), QStringLiteral("A"));
    QCOMPARE(first.value(QStringLiteral("scored")).toInt(), 17);
    QCOMPARE(first.value(QStringLiteral("gcr_points")).toDouble(), 17.0);
    QVERIFY(first.value(QStringLiteral("gcr_percent")).isNull());
    QVERIFY(first.value(QStringLiteral("error")).isNull());

    const QJsonObject second = rows.at(1).toObject();
    QCOMPARE(second.value(QStringLiteral("file")).toString(), QStringLiteral("b.kvx"));
    QCOMPARE(second.value(QStringLiteral("code")).toString(), QStringLiteral("B"));
    QCOMPARE(second.value(QStringLiteral("name")).toString(), QStringLiteral("Kovács Ödön"));
    QCOMPARE(second.value(QStringLiteral("sex")).toString(), QStringLiteral("girl"));
    QCOMPARE(second.value(QStringLiteral("age")).toInt(), 10);
    QCOMPARE(second.value(QStringLiteral("date")).toString(), QStringLiteral("2024.05.06."));
    QCOMPARE(second.value(QStringLiteral("examiner")).toString(), QStringLiteral("Dr. Őri Anna"));
    QCOMPARE(second.value(QStringLiteral("scored")).toInt(), 20);
    QCOMPARE(second.value(QStringLiteral("gcr_points")).toDouble(), 10.0);
    QCOMPARE(second.value(QStringLiteral("gcr_percent")).toInt(), 50);

    const QJsonObject broken = rows.at(2).toObject();
    QCOMPARE(broken.value(QStringLiteral("file")).toString(), QStringLiteral("c.kvx"));
    QVERIFY(broken.value(QStringLiteral("error")).toString().contains(QStringLiteral("Hibás vizsgálati fájl")));
    for (const QString& key : keys) {
        if (key != QLatin1String("file") && key != QLatin1String("error"))
            QVERIFY2(broken.value(key).isNull(), qPrintable(key));
    }
    QCOMPARE(readFileBytes(a.dir + QStringLiteral("/c.kvx")), before);
}

void CliListTest::readableTable() {
    Archive a;
    const CliRun r = runCli({QStringLiteral("list"), a.dir, QStringLiteral("--gcr"), a.key, QStringLiteral("--decimal"),
                             QStringLiteral(",")});
    QCOMPARE(r.status, 0);
    const QStringList lines = QString::fromUtf8(r.out).split(QLatin1Char('\n'));
    QVERIFY(lines.at(0).startsWith(QStringLiteral("Fájl")));
    QVERIFY(lines.at(1).startsWith(QStringLiteral("A.kvx")));
    QVERIFY(lines.at(2).startsWith(QStringLiteral("b.kvx")));
    QVERIFY(lines.at(3).startsWith(QStringLiteral("c.kvx")));
    QVERIFY2(lines.at(2).contains(QStringLiteral("Kovács Ödön")), qPrintable(lines.at(2)));
    QVERIFY2(lines.at(2).contains(QStringLiteral("10,0")), qPrintable(lines.at(2)));
    QVERIFY2(lines.at(2).contains(QStringLiteral("50 (magas)")), qPrintable(lines.at(2)));
    QVERIFY2(lines.at(1).contains(QStringLiteral("–")), qPrintable(lines.at(1)));
    QVERIFY2(lines.at(3).contains(QStringLiteral("HIBÁS FÁJL")) && lines.at(3).contains(QStringLiteral("sor")),
             qPrintable(lines.at(3)));
    QVERIFY(QString::fromUtf8(r.out).contains(QStringLiteral("3 vizsgálati fájl, ebből 1 hibás.")));
    QVERIFY(!QString::fromUtf8(r.out).contains(QStringLiteral("olvass")));
}

void CliListTest::unusableFolder_data() {
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing") << QStringLiteral("nincs");
    QTest::newRow("a file") << QStringLiteral("arch/b.kvx");
}

void CliListTest::unusableFolder() {
    QFETCH(QString, relative);
    Archive a;
    const QString dir = a.root.path() + QLatin1Char('/') + relative;
    for (const QStringList& extra : {QStringList(), QStringList{QStringLiteral("--json")}}) {
        const CliRun r = runCli(QStringList{QStringLiteral("list"), dir, QStringLiteral("--gcr"), a.key} + extra);
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(QString::fromUtf8(r.err).contains(QDir::toNativeSeparators(dir)), r.err.constData());
    }
}

void CliListTest::usageErrors() {
    Archive a;
    QCOMPARE(runCli({QStringLiteral("list")}).status, 1);
    QCOMPARE(runCli({QStringLiteral("list"), a.dir, a.dir, QStringLiteral("--gcr"), a.key}).status, 1);
    QCOMPARE(runCli({QStringLiteral("list"), a.dir, QStringLiteral("--csv")}).status, 1);
    // The key is read before the folder: an unusable key ends the command as in the others.
    const CliRun noKey =
        runCli({QStringLiteral("list"), a.dir, QStringLiteral("--gcr"), a.root.path() + QStringLiteral("/x.gcr")});
    QCOMPARE(noKey.status, 2);
    const CliRun help = runCli({QStringLiteral("list"), QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains("gcr_percent"));
    QVERIFY(runCli({QStringLiteral("--help")}).out.contains("gyvkt-cli list DIR"));
}

QTEST_GUILESS_MAIN(CliListTest)
#include "tst_cli_list.moc"
