#include "TestRoot.h"
#include "base/UserError.h"
#include "formats/ArchiveWindowFile.h"
#include "formats/ExaminationFile.h"
#include "services/ArchiveFolder.h"
#include "services/ArchiveListing.h"
#include "services/ArchiveLoader.h"
#include "tst_evaluate_example.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

namespace {

GcrKey evKey() {
    return GcrKey::parse(EvalFixture::evKeyBytes(), QStringLiteral("ev.gcr"));
}

using EvalFixture::pointedExamination;

void put(const QString& folder, const QString& name, const ExaminationData& d) {
    QFile file(folder + QLatin1Char('/') + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ExaminationFile::serialize(d));
}

void putBytes(const QString& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder + QLatin1Char('/') + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void setModified(const QString& path, const QDateTime& time) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}

QStringList fileNames(const QList<ArchiveRow>& rows) {
    QStringList names;
    for (const ArchiveRow& row : rows)
        names << row.fileName;
    return names;
}

} // namespace

Q_DECLARE_METATYPE(ProtocolRefusal)

class ArchiveTest : public QObject {
    Q_OBJECT
private slots:
    void rowFields_data();
    void rowFields();
    void personalDataAndFileFacts();
    void listsSortedKvxFilesOnly();
    void malformedFileListedWithItsMessageAndUntouched();
    void unreadableFolderNamed_data();
    void unreadableFolderNamed();
    void expandKeepsArgumentOrder();
    void filter_data();
    void filter();
    void foldingDropsAccentsAndStopsAtTheCap();
    void sameChild_data();
    void sameChild();
    void cacheRereadsOnlyChangedFiles();
    void anotherKeyRereadsEverything();
    void stoppedListingKeepsWhatItRead();
    void loaderListsOffThreadAndOnlyTheLastReports();
    void loaderReportsUnreadableFolder();
    void windowPlaceRoundTrip();
};

void ArchiveTest::rowFields_data() {
    QTest::addColumn<int>("age");
    QTest::addColumn<int>("ones");
    QTest::addColumn<int>("halves");
    QTest::addColumn<int>("zeros");
    QTest::addColumn<int>("scored");
    QTest::addColumn<double>("points");
    QTest::addColumn<ProtocolRefusal>("refusal");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("gcrClass");

    // 10 points of 20 pictures = 50 %; for 9-10 year olds Q3 is 49.8 and the extreme limit 73.1.
    QTest::newRow("high") << 10 << 8 << 4 << 8 << 20 << 10.0 << ProtocolRefusal::None << 50 << QStringLiteral("magas");
    // 8 of 20 = 40 %, between Q1 30.3 and Q3 52.1 for 11-12 year olds.
    QTest::newRow("normal") << 12 << 8 << 0 << 12 << 20 << 8.0 << ProtocolRefusal::None << 40
                            << QStringLiteral("normál");
    // 2 of 20 = 10 %, below Q1 31.9 for 7-8 year olds.
    QTest::newRow("low") << 7 << 2 << 0 << 18 << 20 << 2.0 << ProtocolRefusal::None << 10 << QStringLiteral("alacsony");
    // 18 of 18 = 100 %, above 73.1.
    QTest::newRow("extreme") << 9 << 18 << 0 << 0 << 18 << 18.0 << ProtocolRefusal::None << 100
                             << QStringLiteral("extrém magas");
    QTest::newRow("one short of a protocol")
        << 10 << 16 << 1 << 0 << 17 << 16.5 << ProtocolRefusal::TooFewMarked << 0 << QString();
    QTest::newRow("no norms at 15") << 15 << 24 << 0 << 0 << 24 << 24.0 << ProtocolRefusal::AgeOutsideNorms << 0
                                    << QString();
    QTest::newRow("no norms at 6") << 6 << 20 << 0 << 0 << 20 << 20.0 << ProtocolRefusal::AgeOutsideNorms << 0
                                   << QString();
}

void ArchiveTest::rowFields() {
    QFETCH(int, age);
    QFETCH(int, ones);
    QFETCH(int, halves);
    QFETCH(int, zeros);
    QTemporaryDir dir;
    ExaminationData d = pointedExamination(QStringLiteral("Teszt"), age, ones, halves, zeros);
    // Only a parenthesized mark: the picture is not marked and scores nothing.
    d.lines[23].field(4) = QStringLiteral("(EV)");
    put(dir.path(), QStringLiteral("t.kvx"), d);

    const ArchiveRow row = ArchiveListing::readRow(dir.filePath(QStringLiteral("t.kvx")), evKey());
    QVERIFY(!row.malformed);
    QTEST(row.scored, "scored");
    QTEST(row.gcrPoints, "points");
    QTEST(row.refusal, "refusal");
    QFETCH(ProtocolRefusal, refusal);
    QCOMPARE(row.hasGcrPercent(), refusal == ProtocolRefusal::None);
    if (row.hasGcrPercent()) {
        QTEST(static_cast<int>(row.gcrPercent), "percent");
        QTEST(row.gcrClass, "gcrClass");
    }
}

void ArchiveTest::personalDataAndFileFacts() {
    QTemporaryDir dir;
    ExaminationData d = pointedExamination(QStringLiteral("Kovács Ödön"), 11, 20);
    d.personal.sex = PersonalData::Sex::Girl;
    d.personal.date = QStringLiteral("2023.12.01.");
    d.personal.examiner = QStringLiteral("Dr. Őri Űrsula");
    put(dir.path(), QStringLiteral("ko12.kvx"), d);
    const QString path = dir.filePath(QStringLiteral("ko12.kvx"));
    const QDateTime when(QDate(2024, 2, 3), QTime(4, 5, 6), Qt::UTC);
    setModified(path, when);

    const ArchiveRow row = ArchiveListing::readRow(path, evKey());
    QCOMPARE(row.path, path);
    QCOMPARE(row.fileName, QStringLiteral("ko12.kvx"));
    QCOMPARE(row.personal.code, QStringLiteral("KO12"));
    QCOMPARE(row.personal.name, QStringLiteral("Kovács Ödön"));
    QCOMPARE(row.personal.sex, PersonalData::Sex::Girl);
    QCOMPARE(row.personal.age, 11);
    QCOMPARE(row.personal.date, QStringLiteral("2023.12.01."));
    QCOMPARE(row.personal.examiner, QStringLiteral("Dr. Őri Űrsula"));
    QCOMPARE(row.size, QFileInfo(path).size());
    QCOMPARE(row.modified, when);
}

void ArchiveTest::listsSortedKvxFilesOnly() {
    QTemporaryDir dir;
    for (const char* name : {"b.kvx", "A.kvx", "c.KVX", "a2.kvx", "B1.kvx"})
        put(dir.path(), QLatin1String(name), pointedExamination(QLatin1String(name), 10, 18));
    putBytes(dir.path(), QStringLiteral("notes.txt"), "not an examination");
    putBytes(dir.path(), QStringLiteral("d.kvx.bak"), "not an examination");
    QDir(dir.path()).mkdir(QStringLiteral("sub.kvx"));
    QDir(dir.path()).mkdir(QStringLiteral("inner"));
    put(dir.path() + QStringLiteral("/inner"), QStringLiteral("deep.kvx"),
        pointedExamination(QStringLiteral("deep"), 10, 18));

    const QStringList expected{QStringLiteral("A.kvx"), QStringLiteral("a2.kvx"), QStringLiteral("b.kvx"),
                               QStringLiteral("B1.kvx"), QStringLiteral("c.KVX")};
    const QList<ArchiveRow> rows = ArchiveCache().list(dir.path(), evKey());
    QCOMPARE(fileNames(rows), expected);
    QStringList paths;
    for (const QString& name : expected)
        paths << dir.filePath(name);
    QCOMPARE(ArchiveFolder::examinationFiles(dir.path()), paths);
    // The name's letter case decides only between names that are otherwise the same.
    QVERIFY(ArchiveFolder::fileNameLess(QStringLiteral("x/ABC.kvx"), QStringLiteral("x/abc.kvx")));
    QVERIFY(!ArchiveFolder::fileNameLess(QStringLiteral("x/abc.kvx"), QStringLiteral("x/ABC.kvx")));
}

void ArchiveTest::malformedFileListedWithItsMessageAndUntouched() {
    QTemporaryDir dir;
    put(dir.path(), QStringLiteral("jo.kvx"), pointedExamination(QStringLiteral("Jó"), 10, 18));
    const QByteArray broken = "N\xe9v\r\n12a\r\n2024.01.01.\r\nDr. X\r\n1\r\n";
    putBytes(dir.path(), QStringLiteral("rossz.kvx"), broken);
    putBytes(dir.path(), QStringLiteral("ures.kvx"), QByteArray());
    const QString rossz = dir.filePath(QStringLiteral("rossz.kvx"));
    const QDateTime before = QFileInfo(rossz).lastModified();

    QString readerMessage;
    try {
        ExaminationFile::read(rossz);
        QFAIL("the reader accepted a malformed file");
    } catch (const UserError& e) {
        readerMessage = e.text();
    }

    const QList<ArchiveRow> rows = ArchiveCache().list(dir.path(), evKey());
    QCOMPARE(fileNames(rows),
             (QStringList{QStringLiteral("jo.kvx"), QStringLiteral("rossz.kvx"), QStringLiteral("ures.kvx")}));
    const ArchiveRow& bad = rows.at(1);
    QVERIFY(bad.malformed);
    QCOMPARE(bad.error, readerMessage);
    QVERIFY(bad.error.contains(rossz));
    QCOMPARE(bad.personal.code, QStringLiteral("ROSSZ"));
    QVERIFY(bad.personal.name.isEmpty());
    QCOMPARE(bad.scored, 0);
    QVERIFY(!bad.hasGcrPercent());
    QVERIFY(rows.at(2).malformed);
    QVERIFY(!rows.at(0).malformed);

    QCOMPARE(readFileBytes(rossz), broken);
    QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("ures.kvx"))), QByteArray());
    QCOMPARE(QFileInfo(rossz).lastModified(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

void ArchiveTest::unreadableFolderNamed_data() {
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("words");
    QTest::newRow("missing") << QStringLiteral("nincs") << QStringLiteral("Nincs ilyen mappa");
    QTest::newRow("a file") << QStringLiteral("egy.kvx") << QStringLiteral("Nem mappa");
}

void ArchiveTest::unreadableFolderNamed() {
    QFETCH(QString, relative);
    QFETCH(QString, words);
    QTemporaryDir dir;
    put(dir.path(), QStringLiteral("egy.kvx"), pointedExamination(QStringLiteral("Egy"), 10, 18));
    const QString folder = dir.filePath(relative);
    try {
        ArchiveCache().list(folder, evKey());
        QFAIL("no error for an unusable folder");
    } catch (const UserError& e) {
        QVERIFY2(e.text().contains(QDir::toNativeSeparators(folder)), qPrintable(e.text()));
        QVERIFY2(e.text().startsWith(words), qPrintable(e.text()));
    }
}

void ArchiveTest::expandKeepsArgumentOrder() {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("f"));
    put(dir.path() + QStringLiteral("/f"), QStringLiteral("b.kvx"), pointedExamination(QStringLiteral("b"), 10, 1));
    put(dir.path() + QStringLiteral("/f"), QStringLiteral("a.kvx"), pointedExamination(QStringLiteral("a"), 10, 1));
    putBytes(dir.path(), QStringLiteral("z.txt"), "named directly, so taken");
    const QString f = dir.filePath(QStringLiteral("f"));
    const QString z = dir.filePath(QStringLiteral("z.txt"));
    QCOMPARE(ArchiveFolder::expand({z, f}),
             (QStringList{z, f + QStringLiteral("/a.kvx"), f + QStringLiteral("/b.kvx")}));
    const QString missing = dir.filePath(QStringLiteral("nincs.kvx"));
    try {
        ArchiveFolder::expand({f, missing});
        QFAIL("no error for a missing argument");
    } catch (const UserError& e) {
        QVERIFY(e.text().contains(QDir::toNativeSeparators(missing)));
    }
}

void ArchiveTest::filter_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found");
    const QStringList all{QStringLiteral("KO1"), QStringLiteral("NB3"), QStringLiteral("OU2"), QStringLiteral("ROSSZ")};
    QTest::newRow("empty") << QString() << all;
    QTest::newRow("blanks only") << QStringLiteral("   ") << all;
    QTest::newRow("name and examiner, without accents")
        << QStringLiteral("kovacs") << QStringList{QStringLiteral("KO1"), QStringLiteral("NB3")};
    QTest::newRow("capitals for a letter with umlaut") << QStringLiteral("ODON") << QStringList{QStringLiteral("KO1")};
    QTest::newRow("o for double acute") << QStringLiteral("ori") << QStringList{QStringLiteral("OU2")};
    QTest::newRow("u for double acute") << QStringLiteral("ursula") << QStringList{QStringLiteral("OU2")};
    QTest::newRow("accented query") << QStringLiteral("ŐRI ŰRSULA") << QStringList{QStringLiteral("OU2")};
    QTest::newRow("accented query, plain text") << QStringLiteral("Béla") << QStringList{QStringLiteral("NB3")};
    QTest::newRow("every word somewhere") << QStringLiteral("kovacs anna") << QStringList{QStringLiteral("NB3")};
    QTest::newRow("code, any case") << QStringLiteral("nb3") << QStringList{QStringLiteral("NB3")};
    QTest::newRow("a malformed file by its code") << QStringLiteral("rossz") << QStringList{QStringLiteral("ROSSZ")};
    QTest::newRow("date is not searched") << QStringLiteral("2024") << QStringList();
    QTest::newRow("nothing") << QStringLiteral("xyz") << QStringList();
}

void ArchiveTest::filter() {
    QFETCH(QString, query);
    QTemporaryDir dir;
    ExaminationData a = pointedExamination(QStringLiteral("Kovács Ödön"), 10, 18);
    a.personal.examiner = QStringLiteral("Dr. Szabó Éva");
    ExaminationData b = pointedExamination(QStringLiteral("Őri Űrsula"), 10, 18);
    b.personal.examiner = QStringLiteral("Dr. Kiss");
    ExaminationData c = pointedExamination(QStringLiteral("Nagy Béla"), 10, 18);
    c.personal.examiner = QStringLiteral("Dr. Kovács Anna");
    put(dir.path(), QStringLiteral("KO1.kvx"), a);
    put(dir.path(), QStringLiteral("OU2.kvx"), b);
    put(dir.path(), QStringLiteral("NB3.kvx"), c);
    putBytes(dir.path(), QStringLiteral("ROSSZ.kvx"), "x");

    const ArchiveFilter filter(query);
    QStringList found;
    for (const ArchiveRow& row : ArchiveCache().list(dir.path(), evKey())) {
        if (filter.accepts(row))
            found << row.personal.code;
    }
    QTEST(found, "found");
}

void ArchiveTest::sameChild_data() {
    QTest::addColumn<QString>("other");
    QTest::addColumn<bool>("girl");
    QTest::addColumn<bool>("same");
    QTest::newRow("as typed") << QStringLiteral("Kovács Ödön") << false << true;
    QTest::newRow("capitals, no accents") << QStringLiteral("KOVACS ODON") << false << true;
    QTest::newRow("spaces around and between") << QStringLiteral("  Kovács   Ödön ") << false << true;
    QTest::newRow("the other sex") << QStringLiteral("Kovács Ödön") << true << false;
    QTest::newRow("another name") << QStringLiteral("Kovács Ödönke") << false << false;
    QTest::newRow("no name") << QString() << false << false;
}

void ArchiveTest::sameChild() {
    QFETCH(QString, other);
    QFETCH(bool, girl);
    QFETCH(bool, same);
    PersonalData a;
    a.name = QStringLiteral("Kovács Ödön");
    PersonalData b;
    b.name = other;
    b.sex = girl ? PersonalData::Sex::Girl : PersonalData::Sex::Boy;
    QList<ArchiveRow> rows(2);
    rows[0].childKey = ArchiveListing::childKey(a);
    rows[1].childKey = ArchiveListing::childKey(b);
    QCOMPARE(rows[0].childKey == rows[1].childKey, same);
    QCOMPARE(ArchiveListing::childCounts(rows).value(rows[0].childKey), same ? 2 : 1);
    // An empty name tells nobody: it is nobody's count.
    QCOMPARE(rows[1].childKey.isEmpty(), other.isEmpty());
}

void ArchiveTest::foldingDropsAccentsAndStopsAtTheCap() {
    // The whole-text canonical decomposition, marks dropped, as the independent reference.
    auto reference = [](const QString& text) {
        QString bare;
        for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
            if (c.category() != QChar::Mark_NonSpacing)
                bare.append(c);
        }
        return bare.toCaseFolded();
    };
    const QString samples[] = {QStringLiteral("Kovács Ödön"), QStringLiteral("ŐRÜLT ÍRÓ Ű"),
                               QStringLiteral("Ǖ ǘ ḗ ẫ Å ﬁ"), QStringLiteral("e\u0301\u0323 o\u0308\u0301"),
                               QStringLiteral("한국 \U0001D400 ß")};
    for (const QString& text : samples)
        QCOMPARE(ArchiveListing::fold(text), reference(text));
    // A planted field is folded only as far as any real one could reach.
    const QString accented = QStringLiteral("Ő").repeated(3 * ArchiveListing::kFoldedLength);
    QCOMPARE(ArchiveListing::fold(accented), QStringLiteral("o").repeated(ArchiveListing::kFoldedLength));
}

void ArchiveTest::cacheRereadsOnlyChangedFiles() {
    QTemporaryDir dir;
    for (int i = 1; i <= 5; ++i)
        put(dir.path(), QStringLiteral("K%1.kvx").arg(i), pointedExamination(QStringLiteral("Anna %1").arg(i), 10, 18));
    const QDateTime old(QDate(2020, 1, 1), QTime(12, 0), Qt::UTC);
    for (int i = 1; i <= 5; ++i)
        setModified(dir.filePath(QStringLiteral("K%1.kvx").arg(i)), old);
    ArchiveCache cache;
    QCOMPARE(cache.list(dir.path(), evKey()).size(), 5);
    QCOMPARE(cache.readCount(), 5);
    QCOMPARE(cache.list(dir.path(), evKey()).size(), 5);
    QCOMPARE(cache.readCount(), 0);

    // Same size, a new name and a new time; one file gone, one new.
    put(dir.path(), QStringLiteral("K2.kvx"), pointedExamination(QStringLiteral("Anni 2"), 10, 20));
    setModified(dir.filePath(QStringLiteral("K2.kvx")), old.addSecs(60));
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("K4.kvx"))));
    put(dir.path(), QStringLiteral("K6.kvx"), pointedExamination(QStringLiteral("Új"), 12, 18));
    const QList<ArchiveRow> rows = cache.list(dir.path(), evKey());
    QCOMPARE(cache.readCount(), 2);
    QCOMPARE(fileNames(rows), (QStringList{QStringLiteral("K1.kvx"), QStringLiteral("K2.kvx"), QStringLiteral("K3.kvx"),
                                           QStringLiteral("K5.kvx"), QStringLiteral("K6.kvx")}));
    QCOMPARE(rows.at(1).personal.name, QStringLiteral("Anni 2"));
    QCOMPARE(rows.at(1).gcrPoints, 20.0);
    QCOMPARE(rows.at(4).personal.name, QStringLiteral("Új"));

    // A file that turned malformed is read again too, and one repaired.
    putBytes(dir.path(), QStringLiteral("K1.kvx"), "tönkrement");
    QVERIFY(cache.list(dir.path(), evKey()).at(0).malformed);
    QCOMPARE(cache.readCount(), 1);
    put(dir.path(), QStringLiteral("K1.kvx"), pointedExamination(QStringLiteral("Anna 1"), 10, 18));
    QVERIFY(!cache.list(dir.path(), evKey()).at(0).malformed);
    QCOMPARE(cache.readCount(), 1);
}

void ArchiveTest::anotherKeyRereadsEverything() {
    QTemporaryDir dir;
    put(dir.path(), QStringLiteral("a.kvx"), pointedExamination(QStringLiteral("A"), 10, 18));
    put(dir.path(), QStringLiteral("b.kvx"), pointedExamination(QStringLiteral("B"), 10, 20));
    ArchiveCache cache;
    QCOMPARE(cache.list(dir.path(), evKey()).at(1).gcrPoints, 20.0);
    // No key: every picture scores 0.
    const QList<ArchiveRow> rows = cache.list(dir.path(), GcrKey());
    QCOMPARE(cache.readCount(), 2);
    QCOMPARE(rows.at(1).gcrPoints, 0.0);
    QCOMPARE(rows.at(1).gcrPercent, 0);
}

void ArchiveTest::stoppedListingKeepsWhatItRead() {
    QTemporaryDir dir;
    for (int i = 0; i < 40; ++i)
        put(dir.path(), QStringLiteral("K%1.kvx").arg(i, 2, 10, QLatin1Char('0')),
            pointedExamination(QStringLiteral("N"), 10, 18));
    ArchiveCache cache;
    int calls = 0;
    const QList<ArchiveRow> stopped = cache.list(dir.path(), evKey(), [&](int done, int total) {
        ++calls;
        return !(total == 40 && done >= 10);
    });
    QVERIFY(stopped.isEmpty());
    const int readBeforeStop = cache.readCount();
    QVERIFY(readBeforeStop >= 10);
    QVERIFY(readBeforeStop < 40);
    QCOMPARE(cache.list(dir.path(), evKey()).size(), 40);
    QCOMPARE(cache.readCount(), 40 - readBeforeStop);
}

void ArchiveTest::loaderListsOffThreadAndOnlyTheLastReports() {
    QTemporaryDir first;
    QTemporaryDir second;
    for (int i = 0; i < 300; ++i)
        put(first.path(), QStringLiteral("F%1.kvx").arg(i, 3, 10, QLatin1Char('0')),
            pointedExamination(QStringLiteral("F"), 10, 18));
    put(second.path(), QStringLiteral("S.kvx"), pointedExamination(QStringLiteral("S"), 10, 18));
    ArchiveLoader loader;
    QSignalSpy listed(&loader, &ArchiveLoader::listed);
    QSignalSpy failed(&loader, &ArchiveLoader::failed);
    loader.list(first.path(), evKey());
    QVERIFY(loader.isListing());
    loader.list(second.path(), evKey());
    QVERIFY(listed.wait(10000));
    QTest::qWait(50);
    QCOMPARE(listed.size(), 1);
    QCOMPARE(failed.size(), 0);
    const auto rows = listed.first().first().value<QList<ArchiveRow>>();
    QCOMPARE(fileNames(rows), QStringList{QStringLiteral("S.kvx")});
    QVERIFY(!loader.isListing());

    // A loader that goes while it lists waits for its worker instead of leaving it behind.
    auto doomed = std::make_unique<ArchiveLoader>();
    doomed->list(first.path(), evKey());
    doomed.reset();
}

void ArchiveTest::loaderReportsUnreadableFolder() {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("nincs"));
    ArchiveLoader loader;
    QSignalSpy failed(&loader, &ArchiveLoader::failed);
    loader.list(missing, evKey());
    QVERIFY(failed.wait(5000));
    QVERIFY(failed.first().first().toString().contains(QDir::toNativeSeparators(missing)));
}

void ArchiveTest::windowPlaceRoundTrip() {
    TestRoot root;
    QVERIFY(!ArchiveWindowFile::read(root.root()));
    ArchiveWindowFile::write(root.root(), {-8, 30, 500, 900});
    QCOMPARE(root.get(QStringLiteral("gy_vkt/archivum.cfg")), QByteArray("Archivum=-8,30,500,900;\r\nvege\r\n"));
    QCOMPARE(*ArchiveWindowFile::read(root.root()), (LayoutFile::Geometry{-8, 30, 500, 900}));
    // A line of another window, or a size of nothing, is no place to open at.
    root.put(QStringLiteral("gy_vkt/archivum.cfg"), "Fomenu=1,2,3,4;\r\nvege\r\n");
    QVERIFY(!ArchiveWindowFile::read(root.root()));
    root.put(QStringLiteral("gy_vkt/archivum.cfg"), "Archivum=1,2,0,400;\r\nvege\r\n");
    QVERIFY(!ArchiveWindowFile::read(root.root()));
    root.put(QStringLiteral("gy_vkt/archivum.cfg"), "\xff\xfe garbage");
    QVERIFY(!ArchiveWindowFile::read(root.root()));
}

QTEST_GUILESS_MAIN(ArchiveTest)
#include "tst_archive.moc"
