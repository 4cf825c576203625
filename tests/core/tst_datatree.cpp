#include "TestRoot.h"

#include "base/ClosedFolder.h"
#include "base/DataTree.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "formats/ExaminationFile.h"
#include "formats/LayoutFile.h"
#include "formats/PasswordStore.h"
#include "model/CombinationList.h"
#include "model/GcrKey.h"
#include "model/ScoreCode.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>

#include <sddl.h>
#else
#include <sys/stat.h>
#endif

namespace {

QString treeDir() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/gyvkt/tavrix"));
}

// Every file below a folder with its bytes, keyed by the path relative to it.
QMap<QString, QByteArray> snapshot(const QString& dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(dir).relativeFilePath(path), readFileBytes(path));
    }
    return files;
}

QSize bmpSize(const QByteArray& bytes) {
    if (bytes.size() < 26 || !bytes.startsWith("BM"))
        return QSize();
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    return QSize(qFromLittleEndian<qint32>(data + 18), qAbs(qFromLittleEndian<qint32>(data + 22)));
}

} // namespace

class TestDataTree : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void freshRootHasEveryFile_data();
    void freshRootHasEveryFile();
    void picturesAreBitmapsOfTheShownSize();
    void imagesHaveTheirFormats_data();
    void imagesHaveTheirFormats();
    void textsAreWindows1250WithCrLf();
    void keyParsesAndFitsTheHints();
    void storeHoldsTheFirstPassword();
    void layoutsNameEveryWindowOnTheScreen_data();
    void layoutsNameEveryWindowOnTheScreen();
    void sampleExaminationCanBeEvaluated();
    void answerFilesStartEmpty();
    void secondLayDownChangesNothing();
    void editedFilesSurviveAndMissingOnesReturn();
    void blockedFolderRaisesAndKeepsData();
    void missingTreeRaises();
    void defaultTreeIsTheOneBesideTheProgram();
    void freshRootIsClosedToOthers();
    void openFolderIsTold_data();
    void openFolderIsTold();

private:
    QTemporaryDir m_parent;
    QString m_root;
    QStringList m_created;
};

void TestDataTree::initTestCase() {
    QVERIFY2(QFileInfo(treeDir()).isDir(), qPrintable(treeDir()));
    // The data root does not exist yet: the lay-down has to make every folder itself.
    m_root = m_parent.path() + QStringLiteral("/tavrix");
    m_created = DataTree::layDown(DataRoot(m_root), treeDir());
    QCOMPARE(m_created.size(), snapshot(treeDir()).size());
}

void TestDataTree::freshRootHasEveryFile_data() {
    QTest::addColumn<QString>("path");
    const DataRoot root(QStringLiteral("."));
    QStringList paths{root.gcrKeyFile(),
                      root.passwordStore(),
                      root.examinerList(),
                      root.layoutFile(QStringLiteral("felvetel")),
                      root.layoutFile(QStringLiteral("jeloles")),
                      root.instructionFile(),
                      root.noPhotoFile(),
                      root.gyVkt(QStringLiteral("hatter.bmp")),
                      root.gyVkt(QStringLiteral("nevjegy.txt")),
                      root.archiveFolder() + QStringLiteral("/MINTA.kvx"),
                      root.photoFile(QStringLiteral("MINTA")),
                      root.photoFile(QStringLiteral("PELDA")),
                      root.htmlFolder() + QStringLiteral("/logo.png")};
    for (int n = 1; n <= 5; ++n)
        paths << root.helpChapter(n);
    for (int n = 1; n <= 11; ++n)
        paths << root.markingHelp(n);
    for (int n = 1; n <= 6; ++n)
        paths << root.htmlFolder() + QStringLiteral("/fel_%1.png").arg(n);
    for (int n = 1; n <= 5; ++n)
        paths << root.htmlFolder() + QStringLiteral("/rau_%1.png").arg(n);
    for (const char* page : {"od", "ed", "np", "e", "i", "m", "tend", "tend_1", "tend_2", "tend_3", "tend_4", "tend_5",
                             "fel_en", "rau_a", "rau_b", "rau_c", "rau_d", "rau_e", "totmut"})
        paths << root.htmlFolder() + QStringLiteral("/irodalom/") + QLatin1String(page) + QStringLiteral(".html");
    paths << root.htmlFolder() + QStringLiteral("/irodalom/stilus.css");
    for (const QString& path : paths) {
        const QString relative = QDir::cleanPath(path);
        QTest::newRow(qPrintable(relative)) << relative;
    }
}

void TestDataTree::freshRootHasEveryFile() {
    QFETCH(QString, path);
    const QString full = m_root + QLatin1Char('/') + path;
    QVERIFY2(QFileInfo(full).isFile(), qPrintable(full));
    QVERIFY(m_created.contains(full));
    QVERIFY(QFileInfo(full).size() > 0);
}

void TestDataTree::picturesAreBitmapsOfTheShownSize() {
    const DataRoot root(m_root);
    QSet<QByteArray> distinct;
    for (int n = 1; n <= 24; ++n) {
        const QByteArray bytes = readFileBytes(root.pictureFile(n));
        QCOMPARE(bmpSize(bytes), QSize(320, 403));
        distinct.insert(bytes);
    }
    QCOMPARE(distinct.size(), 24);
    QCOMPARE(bmpSize(readFileBytes(root.noPhotoFile())), QSize(102, 126));
}

void TestDataTree::imagesHaveTheirFormats_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("magic");
    const QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QTest::newRow("logo") << QStringLiteral("gy_vkt/html/logo.png") << png;
    QTest::newRow("fel_4") << QStringLiteral("gy_vkt/html/fel_4.png") << png;
    QTest::newRow("rau_4") << QStringLiteral("gy_vkt/html/rau_4.png") << png;
    QTest::newRow("background") << QStringLiteral("gy_vkt/hatter.bmp") << QByteArray("BM");
    QTest::newRow("photo") << QStringLiteral("selvik/pictures/MINTA.jpg") << QByteArray("\xff\xd8\xff");
    QTest::newRow("second photo") << QStringLiteral("selvik/pictures/PELDA.jpg") << QByteArray("\xff\xd8\xff");
}

void TestDataTree::imagesHaveTheirFormats() {
    QFETCH(QString, path);
    QFETCH(QByteArray, magic);
    QVERIFY(readFileBytes(m_root + QLatin1Char('/') + path).startsWith(magic));
}

void TestDataTree::textsAreWindows1250WithCrLf() {
    const QStringList textSuffixes{QStringLiteral("txt"), QStringLiteral("cfg"),  QStringLiteral("gcr"),
                                   QStringLiteral("kvx"), QStringLiteral("html"), QStringLiteral("dat")};
    int checked = 0;
    const QMap<QString, QByteArray> files = snapshot(m_root);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (!textSuffixes.contains(QFileInfo(it.key()).suffix()))
            continue;
        const QByteArray& bytes = it.value();
        ++checked;
        QVERIFY2(!bytes.isEmpty() || it.key().startsWith(QLatin1String("gy_vkt/aktualis/")), qPrintable(it.key()));
        if (bytes.isEmpty())
            continue;
        QVERIFY2(bytes.endsWith("\r\n"), qPrintable(it.key()));
        QVERIFY2(bytes.count('\n') == bytes.count("\r\n"), qPrintable(it.key()));
        // UTF-8 would show up as Ã or Å followed by a continuation byte: á is C3 A1, ő is C5 91.
        QVERIFY2(!QRegularExpression(QStringLiteral("[\\x{C3}\\x{C5}][\\x{80}-\\x{BF}]"))
                      .match(QString::fromLatin1(bytes))
                      .hasMatch(),
                 qPrintable(it.key()));
    }
    QVERIFY(checked > 40);
    // The accented letters come out as their Windows-1250 bytes.
    QVERIFY(readFileBytes(DataRoot(m_root).examinerList())
                .contains("Kov\xe1"
                          "cs"));
}

void TestDataTree::keyParsesAndFitsTheHints() {
    const GcrKey key = GcrKey::load(DataRoot(m_root).gcrKeyFile());
    int keyed = 0;
    for (int n = 1; n <= 24; ++n) {
        const GcrKey::Pair& pair = key.pair(n);
        if (!pair.hasKey())
            continue;
        ++keyed;
        const QString hints = CombinationList::forPicture(n).join(QLatin1Char('+'));
        for (const QString& code : {pair.k1, pair.k2}) {
            if (code.isEmpty())
                continue;
            QVERIFY2(ScoreCodes::byCode(code) != nullptr, qPrintable(code));
            QVERIFY2(hints.contains(code), qPrintable(QStringLiteral("%1 at picture %2").arg(code).arg(n)));
        }
    }
    // Most pictures carry a key; a few are left without one.
    QVERIFY(keyed >= 18);
    QVERIFY(keyed < 24);
}

void TestDataTree::storeHoldsTheFirstPassword() {
    const QString path = DataRoot(m_root).passwordStore();
    QCOMPARE(readFileBytes(path), PasswordStore::defaultStoreBytes());
    const QStringList lines = TextFile::readLines(path);
    QVERIFY(lines.size() >= 20);
    QVERIFY(lines.at(19).size() >= 30);
    QCOMPARE(PasswordStore::passwordFromLines(lines).value_or(QString()), QStringLiteral("123456"));
}

void TestDataTree::layoutsNameEveryWindowOnTheScreen_data() {
    QTest::addColumn<QString>("mode");
    QTest::newRow("felvetel") << QStringLiteral("felvetel");
    QTest::newRow("jeloles") << QStringLiteral("jeloles");
}

void TestDataTree::layoutsNameEveryWindowOnTheScreen() {
    QFETCH(QString, mode);
    const QString path = DataRoot(m_root).layoutFile(mode);
    QCOMPARE(TextFile::readLines(path).last(), QStringLiteral("vege"));
    const QList<LayoutFile::Entry> entries = LayoutFile::read(path);
    QStringList keys;
    for (const LayoutFile::Entry& entry : entries) {
        keys << entry.key;
        const LayoutFile::Geometry& g = entry.geometry;
        // Made for a 1366 x 768 screen; the maximized main window reaches a few pixels past it.
        QVERIFY2(g.width >= 100 && g.height >= 100, qPrintable(entry.key));
        QVERIFY2(g.left >= -8 && g.top >= -8, qPrintable(entry.key));
        QVERIFY2(g.left + g.width <= 1366 + 8 && g.top + g.height <= 768 + 8, qPrintable(entry.key));
    }
    QCOMPARE(keys, LayoutFile::keys());
}

void TestDataTree::sampleExaminationCanBeEvaluated() {
    const ExaminationData data = ExaminationFile::read(DataRoot(m_root).archiveFolder() + QStringLiteral("/MINTA.kvx"));
    int marked = 0;
    for (const ScoringLine& line : data.lines)
        marked += line.isEmpty() ? 0 : 1;
    QVERIFY(marked >= 18);
    QVERIFY(!data.personal.name.isEmpty());
    QVERIFY(data.personal.age >= 7 && data.personal.age <= 14);
}

void TestDataTree::answerFilesStartEmpty() {
    const DataRoot root(m_root);
    for (int n = 1; n <= 24; ++n) {
        QVERIFY(QFileInfo(root.answerFile(n)).isFile());
        QCOMPARE(QFileInfo(root.answerFile(n)).size(), 0);
    }
}

void TestDataTree::secondLayDownChangesNothing() {
    const QMap<QString, QByteArray> before = snapshot(m_root);
    QCOMPARE(DataTree::layDown(DataRoot(m_root), treeDir()), QStringList());
    QCOMPARE(snapshot(m_root), before);
}

void TestDataTree::editedFilesSurviveAndMissingOnesReturn() {
    TestRoot test;
    const DataRoot root = test.root();
    // An examiner's own work: a changed password, an edited help text, a saved examination.
    test.put(QStringLiteral("gy_vkt/standard.dat"), QByteArray("edited\r\n"));
    test.put(QStringLiteral("gy_vkt/help/help3.txt"), QByteArray("saj\xe1t sz\xf6veg\r\n"));
    test.put(QStringLiteral("gy_vkt/archivum/ABC.kvx"), QByteArray("mine"));
    test.put(QStringLiteral("gy_vkt/aktualis/7.val"), QByteArray("answer"));
    DataTree::layDown(root, treeDir());
    QCOMPARE(test.get(QStringLiteral("gy_vkt/standard.dat")), QByteArray("edited\r\n"));
    QCOMPARE(test.get(QStringLiteral("gy_vkt/help/help3.txt")), QByteArray("saj\xe1t sz\xf6veg\r\n"));
    QCOMPARE(test.get(QStringLiteral("gy_vkt/archivum/ABC.kvx")), QByteArray("mine"));
    QCOMPARE(test.get(QStringLiteral("gy_vkt/aktualis/7.val")), QByteArray("answer"));

    // A deleted picture and key come back, and only they.
    QVERIFY(QFile::remove(root.pictureFile(5)));
    QVERIFY(QFile::remove(root.gcrKeyFile()));
    const QStringList created = DataTree::layDown(root, treeDir());
    QCOMPARE(created, (QStringList{root.gcrKeyFile(), root.pictureFile(5)}));
    QCOMPARE(readFileBytes(root.pictureFile(5)), readFileBytes(treeDir() + QStringLiteral("/gy_vkt/pictures/5.bmp")));
}

void TestDataTree::blockedFolderRaisesAndKeepsData() {
    TestRoot test;
    // A plain file where the help folder belongs cannot be replaced by a folder.
    QVERIFY(QDir(test.path() + QStringLiteral("/gy_vkt/help")).removeRecursively());
    test.put(QStringLiteral("gy_vkt/help"), QByteArray("not a folder"));
    QVERIFY_THROWS_EXCEPTION(UserError, DataTree::layDown(test.root(), treeDir()));
    QCOMPARE(test.get(QStringLiteral("gy_vkt/help")), QByteArray("not a folder"));
}

void TestDataTree::missingTreeRaises() {
    TestRoot test;
    const QMap<QString, QByteArray> before = snapshot(test.path());
    QVERIFY_THROWS_EXCEPTION(UserError, DataTree::layDown(test.root(), test.path() + QStringLiteral("/nowhere")));
    QCOMPARE(snapshot(test.path()), before);
}

void TestDataTree::defaultTreeIsTheOneBesideTheProgram() {
    QCOMPARE(DataTree::defaultTreeDir(), treeDir());
}

void TestDataTree::freshRootIsClosedToOthers() {
#ifdef Q_OS_WIN
    // Whatever the folder above allows, children's data are their examiner's alone. Wine gives a
    // new file the rights of its Unix mode, not those its folder passes on: there the folders are
    // checked, which Windows and Wine alike make with their list.
    if (underWine())
        qInfo("Wine: only the folders are checked, its files take their rights from their Unix mode");
    const auto isOpen = [](const QString& path) {
        return (!underWine() || QFileInfo(path).isDir()) && ClosedFolder::openToOthers(path);
    };
#else
    // Whatever the process's umask lets through, children's data are their examiner's alone.
    const mode_t mask = ::umask(0);
    const auto isOpen = [](const QString& path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) != 0 || (st.st_mode & 077) != 0;
    };
#endif
    QTemporaryDir parent;
    const QString root = parent.path() + QStringLiteral("/tavrix");
    DataTree::layDown(DataRoot(root), treeDir());
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList open;
    for (QString path = root; !path.isEmpty(); path = it.hasNext() ? it.next() : QString()) {
        if (isOpen(path))
            open << path;
    }
#ifndef Q_OS_WIN
    ::umask(mask);
#endif
    QCOMPARE(open, QStringList());
}

// The warning about an open data folder comes exactly when others may read it.
void TestDataTree::openFolderIsTold_data() {
    QTest::addColumn<bool>("open");
    QTest::newRow("made closed") << false;
    QTest::newRow("everyone may read it") << true;
}

void TestDataTree::openFolderIsTold() {
    QFETCH(bool, open);
    QTemporaryDir parent;
    const QString path = parent.path() + QStringLiteral("/mappa");
    if (!open) {
        QVERIFY(ClosedFolder::makePath(path));
    } else {
#ifdef Q_OS_WIN
        PSECURITY_DESCRIPTOR everyone = nullptr;
        QVERIFY(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &everyone,
                                                                     nullptr));
        SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), everyone, FALSE};
        const bool made =
            CreateDirectoryW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), &attributes);
        LocalFree(everyone);
        QVERIFY(made);
#else
        QVERIFY(QDir().mkdir(path));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0755), 0);
#endif
    }
    QCOMPARE(ClosedFolder::openToOthers(path), open);
}

QTEST_GUILESS_MAIN(TestDataTree)
#include "tst_datatree.moc"
