#include "CliRun.h"
#include "TestRoot.h"
#include "formats/ExaminationFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class CliDumpTest : public QObject {
    Q_OBJECT
private slots:
    void dumpsEveryField();
    void refusesMalformedFile();
    void helpNamesEverySubcommand();
};

void CliDumpTest::dumpsEveryField() {
    TestRoot root;
    ExaminationData d;
    d.personal.name = QStringLiteral("Kovács Ödön");
    d.personal.age = 11;
    d.personal.date = QStringLiteral("2007.03.05.");
    d.personal.examiner = QStringLiteral("Dr. Ű");
    d.personal.sex = PersonalData::Sex::Girl;
    d.lines[0].field(1) = QStringLiteral("EV");
    d.lines[23].field(2) = QStringLiteral("EENE");
    d.lines[23].field(4) = QStringLiteral("(x)");
    d.answers[0] = QStringLiteral("első\r\nmásodik\r\n");
    const QString path = root.path() + QStringLiteral("/kod1.kvx");
    ExaminationFile::write(path, d);

    const CliRun r = runCli({QStringLiteral("dump"), path});
    QCOMPARE(r.status, 0);
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(o.value(QStringLiteral("code")).toString(), QStringLiteral("KOD1"));
    QCOMPARE(o.value(QStringLiteral("name")).toString(), QStringLiteral("Kovács Ödön"));
    QCOMPARE(o.value(QStringLiteral("age")).toInt(), 11);
    QCOMPARE(o.value(QStringLiteral("date")).toString(), QStringLiteral("2007.03.05."));
    QCOMPARE(o.value(QStringLiteral("examiner")).toString(), QStringLiteral("Dr. Ű"));
    QCOMPARE(o.value(QStringLiteral("sex")).toString(), QStringLiteral("girl"));
    const QJsonArray lines = o.value(QStringLiteral("scoring_lines")).toArray();
    QCOMPARE(lines.size(), 24);
    QCOMPARE(lines.at(0).toArray().at(0).toString(), QStringLiteral("EV"));
    QCOMPARE(lines.at(23).toArray().at(1).toString(), QStringLiteral("EENE"));
    QCOMPARE(lines.at(23).toArray().at(3).toString(), QStringLiteral("(x)"));
    QCOMPARE(lines.at(5).toArray().size(), 4);
    const QJsonArray answers = o.value(QStringLiteral("answers")).toArray();
    QCOMPARE(answers.size(), 24);
    QCOMPARE(answers.at(0).toString(), QStringLiteral("első\r\nmásodik\r\n"));
    QCOMPARE(answers.at(1).toString(), QString());
}

void CliDumpTest::refusesMalformedFile() {
    TestRoot root;
    root.put(QStringLiteral("rossz.kvx"), "n\xe9v\r\n12a\r\n");
    const QString path = root.path() + QStringLiteral("/rossz.kvx");
    CliRun r = runCli({QStringLiteral("dump"), path});
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(QString::fromUtf8(r.err).contains(path));
    QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("sor")));

    r = runCli({QStringLiteral("dump"), root.path() + QStringLiteral("/nincs.kvx")});
    QCOMPARE(r.status, 2);
    QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("File not found")));
}

void CliDumpTest::helpNamesEverySubcommand() {
    const CliRun r = runCli({QStringLiteral("--help")});
    QCOMPARE(r.status, 0);
    for (const char* word : {"dump", "protocol", "evaluate", "--gcr", "--decimal", "--json"})
        QVERIFY2(r.out.contains(word), word);
    QCOMPARE(runCli({QStringLiteral("nincs-ilyen")}).status, 1);
}

QTEST_GUILESS_MAIN(CliDumpTest)
#include "tst_cli_dump.moc"
