#include "TestRoot.h"
#include "base/UserError.h"
#include "formats/LayoutFile.h"

#include <QtTest>

#include <limits>

using LayoutFile::Geometry;

Q_DECLARE_METATYPE(LayoutFile::Geometry)

class LayoutFileTest : public QObject {
    Q_OBJECT
private slots:
    void writesEightLinesAndVege();
    void readsBackWhatWasWritten();
    void stopsAtVege();
    void lastLineWithoutVegeIsNotApplied_data();
    void lastLineWithoutVegeIsNotApplied();
    void laterDuplicateWins();
    void skipsBadLines_data();
    void skipsBadLines();
    void missingFile();
    void geometryKeptWithinReach_data();
    void geometryKeptWithinReach();
};

void LayoutFileTest::writesEightLinesAndVege() {
    TestRoot root;
    QList<Geometry> g;
    for (int i = 0; i < 8; ++i)
        g.append({i * 10, -i, 100 + i, 200 + i});
    g[0] = {-4, -4, 776, 1032};
    const QString path = root.root().layoutFile(QStringLiteral("jeloles"));
    LayoutFile::write(path, g);
    const QByteArray bytes = readFileBytes(path);
    QVERIFY(bytes.startsWith("Fomenu=-4,-4,776,1032;\r\nHelpAblak=10,-1,101,201;\r\n"));
    QVERIFY(bytes.endsWith("Instrukcio=70,-7,107,207;\r\nvege\r\n"));
    QCOMPARE(bytes.count("\r\n"), 9);
    QVERIFY(!root.exists(QStringLiteral("gy_vkt/felvetel.cfg")));
}

void LayoutFileTest::readsBackWhatWasWritten() {
    QList<Geometry> g;
    for (int i = 0; i < 8; ++i)
        g.append({-i, i * 3, 50 + i, 60 + i});
    const QList<LayoutFile::Entry> e = LayoutFile::parse(LayoutFile::serialize(g));
    QCOMPARE(e.size(), 8);
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(e[i].key, LayoutFile::keys().at(i));
        QCOMPARE(e[i].geometry, g[i]);
    }
}

void LayoutFileTest::stopsAtVege() {
    QCOMPARE(LayoutFile::parse({QStringLiteral("vege")}).size(), 0);
    const auto e = LayoutFile::parse(
        {QStringLiteral("Kepek=1,2,3,4;"), QStringLiteral("vege"), QStringLiteral("Valasz=1,2,3,4;")});
    QCOMPARE(e.size(), 1);
    // "vege " is not the terminator.
    const auto f =
        LayoutFile::parse({QStringLiteral("vege "), QStringLiteral("Valasz=1,2,3,4;"), QStringLiteral("vege")});
    QCOMPARE(f.size(), 1);
    QCOMPARE(f[0].key, QStringLiteral("Valasz"));
}

void LayoutFileTest::lastLineWithoutVegeIsNotApplied_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("applied");
    QTest::newRow("final line break") << QByteArray("Kepek=1,2,3,4;\r\nValasz=5,6,7,8;\r\n") << 1;
    QTest::newRow("no final line break") << QByteArray("Kepek=1,2,3,4;\r\nValasz=5,6,7,8;") << 1;
    QTest::newRow("empty line after it") << QByteArray("Kepek=1,2,3,4;\r\nValasz=5,6,7,8;\r\n\r\n") << 2;
    QTest::newRow("Ctrl-Z after it") << QByteArray("Kepek=1,2,3,4;\r\nValasz=5,6,7,8;\r\n\x1a\r\n") << 1;
    QTest::newRow("single line") << QByteArray("Kepek=1,2,3,4;\r\n") << 0;
    QTest::newRow("empty file") << QByteArray() << 0;
}

void LayoutFileTest::lastLineWithoutVegeIsNotApplied() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, applied);
    TestRoot root;
    const QString path = root.root().layoutFile(QStringLiteral("felvetel"));
    root.put(QStringLiteral("gy_vkt/felvetel.cfg"), bytes);
    const QList<LayoutFile::Entry> e = LayoutFile::read(path);
    QCOMPARE(e.size(), applied);
    if (applied >= 1) {
        QCOMPARE(e[0].key, QStringLiteral("Kepek"));
        QCOMPARE(e[0].geometry, (Geometry{1, 2, 3, 4}));
    }
    if (applied == 2) {
        QCOMPARE(e[1].key, QStringLiteral("Valasz"));
        QCOMPARE(e[1].geometry, (Geometry{5, 6, 7, 8}));
    }
}

void LayoutFileTest::laterDuplicateWins() {
    const auto e = LayoutFile::parse({QStringLiteral("Kepek=1,2,3,4;"), QStringLiteral("Valasz=0,0,10,10;"),
                                      QStringLiteral("Kepek=5,6,7,8;"), QStringLiteral("vege")});
    QCOMPARE(e.size(), 3);
    QCOMPARE(e.last().key, QStringLiteral("Kepek"));
    QCOMPARE(e.last().geometry, (Geometry{5, 6, 7, 8}));
}

void LayoutFileTest::skipsBadLines_data() {
    QTest::addColumn<QString>("line");
    QTest::newRow("unknown key") << QStringLiteral("kepek=1,2,3,4;");
    QTest::newRow("no equals") << QStringLiteral("Kepek 1,2,3,4;");
    QTest::newRow("empty field") << QStringLiteral("Kepek=1,,3,4;");
    QTest::newRow("letters") << QStringLiteral("Kepek=1,x,3,4;");
    QTest::newRow("not closed") << QStringLiteral("Kepek=1,2,3,4");
    QTest::newRow("three fields") << QStringLiteral("Kepek=1,2,3;");
    QTest::newRow("blank") << QStringLiteral("Kepek=1, 2,3,4;");
    QTest::newRow("empty line") << QString();
    QTest::newRow("beyond 32 bits") << QStringLiteral("Kepek=0,0,2147483648,100;");
    QTest::newRow("far below 32 bits") << QStringLiteral("Kepek=-99999999999,0,100,100;");
}

void LayoutFileTest::skipsBadLines() {
    QFETCH(QString, line);
    const auto e = LayoutFile::parse({line, QStringLiteral("Valasz=-1,-2,30,40;"), QStringLiteral("vege")});
    QCOMPARE(e.size(), 1);
    QCOMPARE(e[0].key, QStringLiteral("Valasz"));
    QCOMPARE(e[0].geometry, (Geometry{-1, -2, 30, 40}));
}

void LayoutFileTest::missingFile() {
    TestRoot root;
    const QString path = root.root().layoutFile(QStringLiteral("felvetel"));
    try {
        LayoutFile::read(path);
        QFAIL("no error");
    } catch (const UserError& e) {
        QCOMPARE(e.text(), QStringLiteral("File not found: ") + QDir::toNativeSeparators(path));
    }
}

void LayoutFileTest::geometryKeptWithinReach_data() {
    QTest::addColumn<Geometry>("stored");
    QTest::addColumn<Geometry>("applied");
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    // Screens 0,0 to 1365,767; at least 120 x 80.
    QTest::newRow("ordinary") << Geometry{100, 50, 300, 400} << Geometry{100, 50, 300, 400};
    QTest::newRow("partly off at the top left") << Geometry{-15, -7, 300, 400} << Geometry{-15, -7, 300, 400};
    QTest::newRow("nothing left of it") << Geometry{0, 0, 0, -5} << Geometry{0, 0, 80, 120};
    QTest::newRow("most negative") << Geometry{kMin, kMin, kMin, kMin} << Geometry{-40, -10, 80, 120};
    QTest::newRow("largest") << Geometry{kMax, kMax, kMax, kMax} << Geometry{1285, 687, 768, 1366};
    QTest::newRow("huge window") << Geometry{0, 0, 100000, 100000} << Geometry{0, 0, 768, 1366};
    QTest::newRow("title bar above the screens") << Geometry{10, -500, 200, 200} << Geometry{10, -10, 200, 200};
    QTest::newRow("right of the screens") << Geometry{5000, 100, 200, 200} << Geometry{1285, 100, 200, 200};
}

void LayoutFileTest::geometryKeptWithinReach() {
    QFETCH(Geometry, stored);
    QFETCH(Geometry, applied);
    QCOMPARE(LayoutFile::withinReach(stored, QRect(0, 0, 1366, 768), QSize(120, 80)), applied);
}

QTEST_GUILESS_MAIN(LayoutFileTest)
#include "tst_layoutfile.moc"
