#include "TestRoot.h"
#include "base/Cp1250.h"
#include "base/DataRoot.h"
#include "base/TextFile.h"
#include "base/UserError.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <csignal>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

class TextFileTest : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips();
    void hungarianLetters_data();
    void hungarianLetters();
    void unmappableCharactersAreSubstitutedNotDropped_data();
    void unmappableCharactersAreSubstitutedNotDropped();
    void splitLines_data();
    void splitLines();
    void writeLinesEndsEveryLineWithCrLf();
    void memoTextIsWrittenExactly();
    void memoTextReadsBackAsEditorText();
    void failedWriteKeepsOldFile();
    void errorTexts();
    void dataRootPaths();
};

void TextFileTest::everyByteRoundTrips() {
    QVERIFY(Cp1250::available());
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    QCOMPARE(Cp1250::encode(Cp1250::decode(all)), all);

    TestRoot root;
    const QString path = root.path() + QStringLiteral("/all.bin");
    TextFile::writeBytes(path, all);
    QCOMPARE(readFileBytes(path), all);
    // Read back, a small file keeps no room for the largest one: thousands are held at once.
    const QByteArray read = TextFile::readBytes(path);
    QCOMPARE(read, all);
    QVERIFY2(read.capacity() < 64 * 1024, qPrintable(QString::number(read.capacity())));
}

void TextFileTest::hungarianLetters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ő") << QStringLiteral("ő") << QByteArray("\xf5");
    QTest::newRow("Ő") << QStringLiteral("Ő") << QByteArray("\xd5");
    QTest::newRow("ű") << QStringLiteral("ű") << QByteArray("\xfb");
    QTest::newRow("Ű") << QStringLiteral("Ű") << QByteArray("\xdb");
    QTest::newRow("árvíztűrő") << QStringLiteral("árvíztűrő tükörfúrógép")
                               << QByteArray("\xe1rv\xedzt\xfbr\xf5 t\xfck\xf6rf\xfar\xf3g\xe9p");
    QTest::newRow("capitals") << QStringLiteral("ÁÉÍÓÖÚÜ") << QByteArray("\xc1\xc9\xcd\xd3\xd6\xda\xdc");
}

void TextFileTest::hungarianLetters() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp1250::encode(text), bytes);
    QCOMPARE(Cp1250::decode(bytes), text);
}

void TextFileTest::unmappableCharactersAreSubstitutedNotDropped_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("check mark") << QStringLiteral("a✓b€")
                                << QByteArray("a\x1a"
                                              "b\x80");
    // One character beyond 16 bits, one substitute, as ICU writes it.
    QTest::newRow("outside 16 bits") << QStringLiteral("a\U0001F600b")
                                     << QByteArray("a\x1a"
                                                   "b");
    QTest::newRow("lone surrogate") << QString(QChar(0xd800)) + QLatin1Char('c')
                                    << QByteArray("\x1a"
                                                  "c");
}

void TextFileTest::unmappableCharactersAreSubstitutedNotDropped() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp1250::encode(text), bytes);
}

void TextFileTest::splitLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("crlf") << QStringLiteral("a\r\nb\r\n") << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("no final break") << QStringLiteral("a\r\nb")
                                    << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("lone cr") << QStringLiteral("a\rb\r") << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("lone lf stays") << QStringLiteral("a\nb\r\n") << QStringList{QStringLiteral("a\nb")};
    QTest::newRow("cr cr lf") << QStringLiteral("a\r\r\nb")
                              << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    QTest::newRow("empty lines") << QStringLiteral("\r\n\r\n") << QStringList{QString(), QString()};
    QTest::newRow("ctrl-z ends") << QStringLiteral("a\r\nb\x1a\r\nc\r\n")
                                 << QStringList{QStringLiteral("a"), QStringLiteral("b")};
}

void TextFileTest::splitLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(TextFile::splitLines(text), lines);
}

void TextFileTest::writeLinesEndsEveryLineWithCrLf() {
    TestRoot root;
    const QString path = root.path() + QStringLiteral("/lines.txt");
    TextFile::writeLines(path, {QStringLiteral("első"), QString(), QStringLiteral("ő")});
    QCOMPARE(readFileBytes(path), QByteArray("els\xf5\r\n\r\n\xf5\r\n"));
    QCOMPARE(TextFile::readLines(path), (QStringList{QStringLiteral("első"), QString(), QStringLiteral("ő")}));
    TextFile::writeLines(path, {});
    QCOMPARE(readFileBytes(path), QByteArray());
}

void TextFileTest::memoTextIsWrittenExactly() {
    TestRoot root;
    const QString path = root.path() + QStringLiteral("/memo.txt");
    TextFile::writeMemoText(path, QStringLiteral("egy\nkettő\nhárom"));
    QCOMPARE(readFileBytes(path), QByteArray("egy\r\nkett\xf5\r\nh\xe1rom"));
    TextFile::writeMemoText(path, QString());
    QCOMPARE(readFileBytes(path), QByteArray());
}

void TextFileTest::memoTextReadsBackAsEditorText() {
    TestRoot root;
    const QString path = root.path() + QStringLiteral("/memo.txt");
    root.put(QStringLiteral("memo.txt"), QByteArray("a\r\nb\r\n"));
    QCOMPARE(TextFile::readMemoText(path), QStringLiteral("a\nb\n"));
    TextFile::writeMemoText(path, TextFile::readMemoText(path));
    QCOMPARE(readFileBytes(path), QByteArray("a\r\nb\r\n"));
}

void TextFileTest::failedWriteKeepsOldFile() {
#ifdef Q_OS_WIN
    QSKIP("Windows has no limit on a file's size to stand in for a full disk; tst_atomicfile's injected faults do");
#else
    // A file-size limit makes the write fail part-way, as a full disk would, even for root.
    TestRoot root;
    const QString path = root.path() + QStringLiteral("/keep.txt");
    TextFile::writeLines(path, {QStringLiteral("régi")});

    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool thrown = false;
    try {
        TextFile::writeBytes(path, QByteArray(100000, 'x'));
    } catch (const UserError& e) {
        thrown = true;
        QCOMPARE(e.text(),
                 QStringLiteral("Cannot create file ") + path + QStringLiteral("\nA fájl túl nagy ehhez a lemezhez."));
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    QVERIFY(thrown);
    QCOMPARE(readFileBytes(path), QByteArray("r\xe9gi\r\n"));
    QCOMPARE(QDir(root.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});
#endif
}

void TextFileTest::errorTexts() {
    TestRoot root;
    const QString missing = root.path() + QStringLiteral("/nincs.txt");
    try {
        TextFile::readLines(missing);
        QFAIL("no error for a missing file");
    } catch (const UserError& e) {
        QCOMPARE(e.text(), QStringLiteral("File not found: ") + QDir::toNativeSeparators(missing));
    }
    try {
        TextFile::loadLines(missing);
        QFAIL("no error for a missing file");
    } catch (const UserError& e) {
        QCOMPARE(e.text(), QStringLiteral("Cannot open file ") + QDir::toNativeSeparators(missing));
    }
    const QString inMissingFolder = root.path() + QStringLiteral("/nincs/mappa.txt");
    try {
        TextFile::writeLines(inMissingFolder, {QStringLiteral("x")});
        QFAIL("no error for a missing folder");
    } catch (const UserError& e) {
        QCOMPARE(e.text(), QStringLiteral("Cannot create file ") + QDir::toNativeSeparators(inMissingFolder) +
                               QStringLiteral("\nNincs ilyen fájl vagy mappa."));
    }
}

void TextFileTest::dataRootPaths() {
    const DataRoot root(QStringLiteral("/r/tavrix"));
    QCOMPARE(root.answerFile(10), QStringLiteral("/r/tavrix/gy_vkt/aktualis/10.val"));
    QCOMPARE(root.answerFile(7), QStringLiteral("/r/tavrix/gy_vkt/aktualis/7.val"));
    QCOMPARE(root.helpChapter(4), QStringLiteral("/r/tavrix/gy_vkt/help/irod_4.txt"));
    QCOMPARE(root.helpChapter(5), QStringLiteral("/r/tavrix/vkt/help/irod_5.txt"));
    QCOMPARE(root.exampleFile(12, 3), QStringLiteral("/r/tavrix/gy_vkt/peldatar/12_3.txt"));
    QCOMPARE(root.markingHelp(7), QStringLiteral("/r/tavrix/gy_vkt/help/help7.txt"));
    QCOMPARE(root.protocolFile(QString()), QStringLiteral("/r/tavrix/gy_vkt/html/.html"));
    QCOMPARE(root.photoFile(QStringLiteral("ABC")), QStringLiteral("/r/tavrix/selvik/pictures/ABC.jpg"));
    QCOMPARE(root.noPhotoFile(), QStringLiteral("/r/tavrix/selvik/sys_pic/nincs.bmp"));
    QCOMPARE(root.layoutFile(QStringLiteral("jeloles")), QStringLiteral("/r/tavrix/gy_vkt/jeloles.cfg"));
    qputenv("TAVRIX_ROOT", "/x/y");
    QCOMPARE(DataRoot::fromEnvironment().gcrKeyFile(), QStringLiteral("/x/y/gy_vkt/magyar.gcr"));
    qunsetenv("TAVRIX_ROOT");
#ifdef Q_OS_WIN
    QCOMPARE(DataRoot::fromEnvironment().gcrKeyFile(), QStringLiteral("c:/tavrix/gy_vkt/magyar.gcr"));
#else
    QCOMPARE(DataRoot::fromEnvironment().gcrKeyFile(),
             QDir::homePath() + QStringLiteral("/.local/share/tavrix/gy_vkt/magyar.gcr"));
#endif
}

QTEST_GUILESS_MAIN(TextFileTest)
#include "tst_textfile.moc"
