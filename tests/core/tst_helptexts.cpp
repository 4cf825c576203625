#include "TestRoot.h"
#include "base/UserError.h"
#include "formats/HelpTexts.h"

#include <QDir>
#include <QFile>
#include <QTest>

using HelpTexts::CurrentFile;

class TestHelpTexts : public QObject {
    Q_OBJECT
private slots:
    void memoLinesSplitLikeAnEditor_data();
    void memoLinesSplitLikeAnEditor();
    void memoTextJoinsLines();
    void currentFileReadsOncePerChangeOfPath();
    void missingFileBecomesCurrentAndIsNotAskedAgain();
    void linesAreWindows1250WithCrLf();
    void unreadableFileRaisesAfterBecomingCurrent();
    void combinationHeadingLine();
};

void TestHelpTexts::memoLinesSplitLikeAnEditor_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one line") << QStringLiteral("abc") << QStringList{QStringLiteral("abc")};
    QTest::newRow("final break adds nothing") << QStringLiteral("abc\n") << QStringList{QStringLiteral("abc")};
    QTest::newRow("blank last line kept") << QStringLiteral("abc\n\n") << QStringList{QStringLiteral("abc"), QString()};
    QTest::newRow("inner blank line") << QStringLiteral("a\n\nb")
                                      << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    QTest::newRow("only a break") << QStringLiteral("\n") << QStringList{QString()};
}

void TestHelpTexts::memoLinesSplitLikeAnEditor() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(HelpTexts::memoLines(text), lines);
}

void TestHelpTexts::memoTextJoinsLines() {
    QCOMPARE(HelpTexts::memoText({QStringLiteral("a"), QString(), QStringLiteral("b")}), QStringLiteral("a\n\nb"));
    QCOMPARE(HelpTexts::memoText({}), QString());
}

void TestHelpTexts::currentFileReadsOncePerChangeOfPath() {
    TestRoot root;
    root.put(QStringLiteral("gy_vkt/help/help1.txt"), "one\r\n");
    root.put(QStringLiteral("gy_vkt/help/help2.txt"), "two\r\n");
    const QString one = root.root().markingHelp(1);
    const QString two = root.root().markingHelp(2);
    CurrentFile current;
    const int before = HelpTexts::readCount();

    QCOMPARE(current.request(one), CurrentFile::Result::Loaded);
    QCOMPARE(current.lines(), QStringList{QStringLiteral("one")});
    for (int i = 0; i < 5; ++i)
        QCOMPARE(current.request(one), CurrentFile::Result::Unchanged);
    QCOMPARE(HelpTexts::readCount() - before, 1);

    QCOMPARE(current.request(two), CurrentFile::Result::Loaded);
    QCOMPARE(current.request(one), CurrentFile::Result::Loaded);
    QCOMPARE(current.lines(), QStringList{QStringLiteral("one")});
    QCOMPARE(HelpTexts::readCount() - before, 3);
    QCOMPARE(current.path(), one);
}

void TestHelpTexts::missingFileBecomesCurrentAndIsNotAskedAgain() {
    TestRoot root;
    root.put(QStringLiteral("gy_vkt/help/help1.txt"), "one\r\n");
    CurrentFile current;
    QCOMPARE(current.request(root.root().markingHelp(1)), CurrentFile::Result::Loaded);
    const QString missing = root.root().markingHelp(7);
    QCOMPARE(current.request(missing), CurrentFile::Result::Missing);
    QCOMPARE(current.path(), missing);
    QVERIFY(current.lines().isEmpty());
    QCOMPARE(current.request(missing), CurrentFile::Result::Unchanged);
}

void TestHelpTexts::linesAreWindows1250WithCrLf() {
    TestRoot root;
    // "Árvíztűrő" in Windows-1250, a lone LF inside a line, Ctrl-Z ending the text.
    root.put(QStringLiteral("gy_vkt/peldatar/4_2.txt"), "\xC1rv\xEDzt\xFBr\xF5\r\nx\ny\r\n\r\nend\x1Aignored");
    CurrentFile current;
    QCOMPARE(current.request(root.root().exampleFile(4, 2)), CurrentFile::Result::Loaded);
    const QStringList expected{QStringLiteral("Árvíztűrő"), QStringLiteral("x\ny"), QString(), QStringLiteral("end")};
    QCOMPARE(current.lines(), expected);
}

void TestHelpTexts::unreadableFileRaisesAfterBecomingCurrent() {
    TestRoot root;
    // A folder where the file should be cannot be read as a text.
    const QString path = root.root().markingHelp(3);
    QVERIFY(QDir().mkpath(path));
    CurrentFile current;
    QVERIFY_THROWS_EXCEPTION(UserError, current.request(path));
    QCOMPARE(current.path(), path);
    QCOMPARE(current.request(path), CurrentFile::Result::Unchanged);
}

void TestHelpTexts::combinationHeadingLine() {
    QCOMPARE(HelpTexts::combinationHeading(5, QStringLiteral("NE+KE")),
             QStringLiteral("példatár: 5. kép, kombinációk (NE+KE)"));
    QCOMPARE(HelpTexts::combinationHeading(2, QStringLiteral("***")),
             QStringLiteral("példatár: 2. kép, kombinációk (***)"));
}

QTEST_GUILESS_MAIN(TestHelpTexts)
#include "tst_helptexts.moc"
