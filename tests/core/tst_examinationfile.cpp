#include "TestRoot.h"
#include "app/ExamSession.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "formats/ExaminationFile.h"
#include "formats/WorkingFolder.h"

#include <QtTest>

namespace {

// A well-formed file: name, age, date, examiner, sex, 24 ScoringLines, 24 answer blocks.
QByteArray sampleFile() {
    QByteArray f = "Kiss \xc1rp\xe1"
                   "d\r\n9\r\n2007.03.05.\r\nDr. Nagy \xc9va\r\n2\r\n";
    f += "EV,,,;\r\n,EENE,,;\r\nIV,,KI,;\r\n";
    for (int i = 4; i <= 24; ++i)
        f += ",,,;\r\n";
    for (int n = 1; n <= 24; ++n) {
        f += "[" + QByteArray::number(n) + "]\r\n";
        if (n == 1)
            f += "Bocs\xe1nat, nem akartam.\r\n";
        if (n == 3)
            f += "els\xf5 sor\r\n[3]\r\nharmadik sor\r\n";
        f += "[/" + QByteArray::number(n) + "]\r\n";
    }
    return f;
}

ExaminationData sampleData() {
    ExaminationData d;
    d.personal.code = QStringLiteral("ABC");
    d.personal.name = QStringLiteral("Tóth Ödön & <Társa>");
    d.personal.sex = PersonalData::Sex::Girl;
    d.personal.age = 12;
    d.personal.date = QStringLiteral("2007.03.05.");
    d.personal.examiner = QStringLiteral("Dr. Őri Ügyes");
    d.lines[0].field(1) = QStringLiteral("EV");
    d.lines[1].field(2) = QStringLiteral("EENE");
    d.lines[2].field(4) = QStringLiteral("(EV)");
    d.answers[0] = QStringLiteral("egy sor\r\n");
    d.answers[4] = QStringLiteral("első\r\n\r\nharmadik\r\n");
    d.answers[23] = QStringLiteral("[/23]\r\n[24]\r\n");
    return d;
}

struct Snapshot {
    PersonalData personal;
    QList<ScoringLine> lines;
    QList<QByteArray> answers;
};

Snapshot snapshot(const TestRoot& root, const ExamSession& session) {
    Snapshot s;
    s.personal = session.personal();
    const MarkingGrid& grid = session.grid();
    for (int n = 1; n <= 24; ++n) {
        s.lines.append(grid.scoringLine(n));
        s.answers.append(readFileBytes(root.root().answerFile(n)));
    }
    return s;
}

} // namespace

class ExaminationFileTest : public QObject {
    Q_OBJECT
private slots:
    void readsEveryField();
    void answerBlocks();
    void writerFormatIsByteExact();
    void roundTrip();
    void onlyWhatTheReaderTakesIsSaved();
    void codeFromPath_data();
    void codeFromPath();
    void ageLine_data();
    void ageLine();
    void sexLine_data();
    void sexLine();
    void scoringLineExtras();
    void malformed_data();
    void malformed();
    void applyAndCollect();
    void collectNeedsEveryAnswerFile();
    void newExaminationEmptiesAnswerFiles();
    void answerMemoForms();
};

void ExaminationFileTest::readsEveryField() {
    const ExaminationData d = ExaminationFile::parse(sampleFile(), QStringLiteral("c:\\x\\minta.kvx"));
    QCOMPARE(d.personal.code, QStringLiteral("MINTA"));
    QCOMPARE(d.personal.name, QStringLiteral("Kiss Árpád"));
    QCOMPARE(d.personal.age, 9);
    QCOMPARE(d.personal.date, QStringLiteral("2007.03.05."));
    QCOMPARE(d.personal.examiner, QStringLiteral("Dr. Nagy Éva"));
    QCOMPARE(d.personal.sex, PersonalData::Sex::Girl);
    QCOMPARE(d.lines[0].field(1), QStringLiteral("EV"));
    QCOMPARE(d.lines[1].field(2), QStringLiteral("EENE"));
    QCOMPARE(d.lines[1].codeCount(), 2);
    QCOMPARE(d.lines[2].field(1), QStringLiteral("IV"));
    QCOMPARE(d.lines[2].field(3), QStringLiteral("KI"));
    QVERIFY(d.lines[3].isEmpty());
}

void ExaminationFileTest::answerBlocks() {
    const ExaminationData d = ExaminationFile::parse(sampleFile(), QStringLiteral("a.kvx"));
    QCOMPARE(d.answers[0], QStringLiteral("Bocsánat, nem akartam.\r\n"));
    QCOMPARE(d.answers[1], QString());
    // "[3]" inside block 3 is answer text; only "[/3]" ends it.
    QCOMPARE(d.answers[2], QStringLiteral("első sor\r\n[3]\r\nharmadik sor\r\n"));

    // Lines before a start line and between blocks are skipped.
    QByteArray noisy = sampleFile();
    noisy.replace("[1]\r\n", "szem\xe9t\r\n[1]\r\n");
    noisy.replace("[/1]\r\n[2]\r\n", "[/1]\r\nk\xf6zte\r\n[2]\r\n");
    const ExaminationData n = ExaminationFile::parse(noisy, QStringLiteral("a.kvx"));
    QCOMPARE(n.answers[0], d.answers[0]);
    QCOMPARE(n.answers[1], QString());
}

void ExaminationFileTest::writerFormatIsByteExact() {
    const QByteArray bytes = ExaminationFile::serialize(sampleData());
    QVERIFY(bytes.startsWith("T\xf3th \xd6"
                             "d\xf6n & <T\xe1rsa>\r\n12\r\n2007.03.05.\r\nDr. \xd5ri \xdcgyes\r\n2\r\n"
                             "EV,,,;\r\n,EENE,,;\r\n,,,(EV);\r\n,,,;\r\n"));
    QVERIFY(bytes.contains("\r\n[1]\r\negy sor\r\n[/1]\r\n[2]\r\n[/2]\r\n"));
    QVERIFY(bytes.contains("[5]\r\nels\xf5\r\n\r\nharmadik\r\n[/5]\r\n"));
    QVERIFY(bytes.endsWith("[24]\r\n[/23]\r\n[24]\r\n[/24]\r\n"));
    QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
    QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
}

void ExaminationFileTest::roundTrip() {
    TestRoot root;
    ExaminationData d = sampleData();
    // An answer that no line break ends (as the answer window writes it) reads back with one.
    d.answers[6] = QStringLiteral("nincs sorvége");
    const QString path = root.root().archiveFolder() + QStringLiteral("/abc.kvx");
    ExaminationFile::write(path, d);
    const ExaminationData back = ExaminationFile::read(path);
    QCOMPARE(back.personal, d.personal);
    for (int i = 0; i < 24; ++i)
        QCOMPARE(back.lines[i], d.lines[i]);
    d.answers[6] += QStringLiteral("\r\n");
    for (int i = 0; i < 24; ++i)
        QCOMPARE(back.answers[i], d.answers[i]);
    // A file written from what was read is the same file.
    QCOMPARE(ExaminationFile::serialize(back), readFileBytes(path));
}

void ExaminationFileTest::onlyWhatTheReaderTakesIsSaved() {
    TestRoot root;
    const QString path = root.root().archiveFolder() + QStringLiteral("/abc.kvx");
    ExaminationData d = sampleData();
    d.answers[6].clear();
    // One line without a break of picture 7 fills the file to the reader's limit exactly.
    const qsizetype room = TextFile::kMaxFileSize - ExaminationFile::serialize(d).size() - 2;
    d.answers[6] = QString(room, QLatin1Char('x'));
    ExaminationFile::write(path, d);
    QCOMPARE(ExaminationFile::read(path).answers[6].size(), room + 2);

    d.answers[6] += QLatin1Char('x');
    try {
        ExaminationFile::write(path, d);
        QFAIL("a file the reader refuses was saved");
    } catch (const UserError& e) {
        QVERIFY2(e.text().contains(QStringLiteral("a(z) 7. képre adott válasz")), qPrintable(e.text()));
    }
    QCOMPARE(ExaminationFile::read(path).answers[6].size(), room + 2);
}

void ExaminationFileTest::codeFromPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("code");
    QTest::newRow("windows") << QStringLiteral("c:\\x\\minta.kvx") << QStringLiteral("MINTA");
    QTest::newRow("slashes") << QStringLiteral("/home/a/archivum/abc.kvx") << QStringLiteral("ABC");
    QTest::newRow("mixed") << QStringLiteral("c:/x\\y/kód.kvx") << QStringLiteral("KóD");
    QTest::newRow("no extension") << QStringLiteral("c:\\x\\minta") << QString();
    QTest::newRow("dot in folder") << QStringLiteral("/a.b/minta") << QString();
    QTest::newRow("two dots") << QStringLiteral("/a/x.y.kvx") << QStringLiteral("X.Y");
    QTest::newRow("bare") << QStringLiteral("abc.kvx") << QStringLiteral("ABC");
}

void ExaminationFileTest::codeFromPath() {
    QFETCH(QString, path);
    QFETCH(QString, code);
    QCOMPARE(ExaminationFile::codeFromPath(path), code);
}

void ExaminationFileTest::ageLine_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("age");
    QTest::newRow("plain") << QByteArray("10") << true << 10;
    QTest::newRow("trailing blanks") << QByteArray("12   ") << true << 12;
    QTest::newRow("leading blanks") << QByteArray("  7") << true << 7;
    QTest::newRow("rest of line skipped") << QByteArray("11 \xe9v") << true << 11;
    QTest::newRow("out of range accepted") << QByteArray("15") << true << 15;
    QTest::newRow("sign") << QByteArray("-3") << true << -3;
    QTest::newRow("letters") << QByteArray("12a") << false << 0;
    QTest::newRow("word") << QByteArray("tizenkett\xf5") << false << 0;
    QTest::newRow("empty") << QByteArray("") << false << 0;
    QTest::newRow("too large") << QByteArray("2147483648") << false << 0;
    QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647;
    // Only spaces and tabs stand around the age; any other character is part of the word.
    QTest::newRow("tabs") << QByteArray("\t10\t") << true << 10;
    QTest::newRow("NUL after") << QByteArray("10\0", 3) << false << 0;
    QTest::newRow("vertical tab before") << QByteArray("\v10") << false << 0;
    QTest::newRow("line feed inside") << QByteArray("1\n0") << false << 0;
    QTest::newRow("32 characters") << QByteArray(30, '0') + "12" << true << 12;
    QTest::newRow("33 characters") << QByteArray(31, '0') + "12" << false << 0;
}

void ExaminationFileTest::ageLine() {
    QFETCH(QByteArray, line);
    QFETCH(bool, ok);
    QFETCH(int, age);
    QByteArray file = sampleFile();
    file.replace("\r\n9\r\n", "\r\n" + line + "\r\n");
    try {
        const ExaminationData d = ExaminationFile::parse(file, QStringLiteral("x.kvx"));
        QVERIFY(ok);
        QCOMPARE(d.personal.age, age);
    } catch (const UserError& e) {
        QVERIFY2(!ok, qPrintable(e.text()));
        QVERIFY(e.text().contains(QStringLiteral("x.kvx")));
        QVERIFY(e.text().contains(QStringLiteral("2. sor")));
    }
}

void ExaminationFileTest::sexLine_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("boy");
    QTest::newRow("1") << QByteArray("1") << true;
    QTest::newRow("1x") << QByteArray("1x") << true;
    QTest::newRow("2") << QByteArray("2") << false;
    QTest::newRow("0") << QByteArray("0") << false;
    QTest::newRow("word") << QByteArray("fi\xfa") << false;
    QTest::newRow("blank first") << QByteArray(" 1") << false;
    QTest::newRow("empty") << QByteArray("") << false;
}

void ExaminationFileTest::sexLine() {
    QFETCH(QByteArray, line);
    QFETCH(bool, boy);
    QByteArray file = sampleFile();
    file.replace("\xc9va\r\n2\r\n", "\xc9va\r\n" + line + "\r\n");
    const ExaminationData d = ExaminationFile::parse(file, QStringLiteral("x.kvx"));
    QCOMPARE(d.personal.sex == PersonalData::Sex::Boy, boy);
}

void ExaminationFileTest::scoringLineExtras() {
    QByteArray file = sampleFile();
    file.replace("IV,,KI,;\r\n", "IV,,KI,(EV);marad\xe9k;\r\n");
    const ExaminationData d = ExaminationFile::parse(file, QStringLiteral("x.kvx"));
    QCOMPARE(d.lines[2].field(4), QStringLiteral("(EV)"));
    QCOMPARE(d.lines[2].field(3), QStringLiteral("KI"));
    // Cell texts are kept as they are, even when they are not codes of their column.
    file.replace("EV,,,;\r\n", "xx,KE,a b,;\r\n");
    const ExaminationData e = ExaminationFile::parse(file, QStringLiteral("x.kvx"));
    QCOMPARE(e.lines[0].field(1), QStringLiteral("xx"));
    QCOMPARE(e.lines[0].field(2), QStringLiteral("KE"));
    QCOMPARE(e.lines[0].field(3), QStringLiteral("a b"));
}

void ExaminationFileTest::malformed_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("where");
    const QByteArray good = sampleFile();
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("1. sor");
    QTest::newRow("ends in header") << good.left(good.indexOf(",,,;")) << QStringLiteral("sor");
    QByteArray noSemicolon = good;
    noSemicolon.replace("EV,,,;\r\n", "EV,,,\r\n");
    QTest::newRow("no semicolon") << noSemicolon << QStringLiteral("6. sor");
    QByteArray twoCommas = good;
    twoCommas.replace(",EENE,,;", ",EENE,;");
    QTest::newRow("two commas") << twoCommas << QStringLiteral("7. sor");
    QByteArray semicolonEarly = good;
    semicolonEarly.replace("IV,,KI,;", "IV;,,KI");
    QTest::newRow("semicolon before third comma") << semicolonEarly << QStringLiteral("8. sor");
    QByteArray noStart = good;
    noStart.replace("[17]\r\n", "[17 ]\r\n");
    QTest::newRow("start line missing") << noStart << QStringLiteral("[17]");
    QByteArray noEnd = good;
    noEnd.replace("[/24]\r\n", "");
    QTest::newRow("end line missing") << noEnd << QStringLiteral("[/24]");
    QTest::newRow("blocks missing") << good.left(good.indexOf("[1]")) << QStringLiteral("[1]");
    QByteArray outOfOrder = good;
    outOfOrder.replace("[2]\r\n[/2]\r\n", "");
    outOfOrder.replace("[/24]\r\n", "[/24]\r\n[2]\r\n[/2]\r\n");
    QTest::newRow("blocks out of order") << outOfOrder << QStringLiteral("[3]");
}

void ExaminationFileTest::malformed() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, where);
    TestRoot root;
    root.put(QStringLiteral("gy_vkt/archivum/ROSSZ.kvx"), bytes);
    const QString path = root.root().archiveFolder() + QStringLiteral("/ROSSZ.kvx");

    // The examination held before the attempt must survive it byte for byte.
    ExamSession session(root.root());
    session.setName(QStringLiteral("Marad"));
    session.setCode(QStringLiteral("MARAD"));
    ScoringLine line;
    line.field(2) = QStringLiteral("NE");
    session.grid().setScoringLine(5, line);
    for (int n = 1; n <= 24; ++n)
        root.put(QStringLiteral("gy_vkt/aktualis/%1.val").arg(n), "v\xe1lasz " + QByteArray::number(n));
    const Snapshot before = snapshot(root, session);

    try {
        session.load(ExaminationFile::read(path));
        QFAIL("a malformed file was accepted");
    } catch (const UserError& e) {
        QVERIFY2(e.text().contains(path), qPrintable(e.text()));
        QVERIFY2(e.text().contains(where), qPrintable(e.text()));
        QVERIFY(e.text().startsWith(QStringLiteral("Hibás vizsgálati fájl")));
    }
    const Snapshot after = snapshot(root, session);
    QCOMPARE(after.personal, before.personal);
    QCOMPARE(after.lines, before.lines);
    QCOMPARE(after.answers, before.answers);
}

void ExaminationFileTest::applyAndCollect() {
    TestRoot root;
    ExamSession session(root.root());
    session.setCode(QStringLiteral("RÉGI"));
    const ExaminationData d = ExaminationFile::parse(sampleFile(), QStringLiteral("/a/minta.kvx"));
    session.load(d);
    QCOMPARE(session.personal().code, QStringLiteral("MINTA"));
    QCOMPARE(session.grid().cell(2, 2), QStringLiteral("EENE"));
    QCOMPARE(session.grid().cell(3, 3), QStringLiteral("KI"));
    QCOMPARE(readFileBytes(root.root().answerFile(1)), QByteArray("Bocs\xe1nat, nem akartam.\r\n"));
    QCOMPARE(readFileBytes(root.root().answerFile(2)), QByteArray());
    QVERIFY(root.exists(QStringLiteral("gy_vkt/aktualis/24.val")));

    // Saving what was opened gives back the same file.
    const ExaminationData collected = session.collect();
    QCOMPARE(ExaminationFile::serialize(collected), sampleFile());
}

void ExaminationFileTest::collectNeedsEveryAnswerFile() {
    TestRoot root;
    const ExamSession session(root.root());
    WorkingFolder::resetAnswerFiles(root.root());
    QFile::remove(root.root().answerFile(13));
    QVERIFY_THROWS_EXCEPTION(UserError, session.collect());
}

void ExaminationFileTest::newExaminationEmptiesAnswerFiles() {
    TestRoot root;
    root.put(QStringLiteral("gy_vkt/aktualis/10.val"), "r\xe9gi");
    WorkingFolder::resetAnswerFiles(root.root());
    for (int n = 1; n <= 24; ++n) {
        QVERIFY(root.exists(QStringLiteral("gy_vkt/aktualis/%1.val").arg(n)));
        QCOMPARE(readFileBytes(root.root().answerFile(n)), QByteArray());
    }
    QVERIFY(!root.exists(QStringLiteral("gy_vkt/aktualis/010.val")));

    PersonalData pd;
    pd.code = QStringLiteral("ABC");
    pd.name = QStringLiteral("x");
    pd.age = 13;
    pd.sex = PersonalData::Sex::Girl;
    pd.date = QStringLiteral("d");
    pd.examiner = QStringLiteral("e");
    pd.resetKeepingCode();
    PersonalData expected;
    expected.code = QStringLiteral("ABC");
    QCOMPARE(pd, expected);
}

void ExaminationFileTest::answerMemoForms() {
    TestRoot root;
    WorkingFolder::saveAnswer(root.root(), 5, QStringLiteral("egy\nkettő\nhárom"));
    QCOMPARE(readFileBytes(root.root().answerFile(5)), QByteArray("egy\r\nkett\xf5\r\nh\xe1rom"));
    QCOMPARE(WorkingFolder::loadAnswer(root.root(), 5), QStringLiteral("egy\nkettő\nhárom"));
    QCOMPARE(WorkingFolder::loadAnswer(root.root(), 6), QString());
    // The writer turns the memo form into lines that each end with CR LF.
    const ExamSession session(root.root());
    for (int n = 1; n <= 24; ++n)
        if (n != 5)
            WorkingFolder::saveAnswer(root.root(), n, QString());
    const QByteArray file = ExaminationFile::serialize(session.collect());
    QVERIFY(file.contains("[5]\r\negy\r\nkett\xf5\r\nh\xe1rom\r\n[/5]\r\n"));
}

QTEST_GUILESS_MAIN(ExaminationFileTest)
#include "tst_examinationfile.moc"
