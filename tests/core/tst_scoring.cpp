#include "TestRoot.h"
#include "base/UserError.h"
#include "model/Coding.h"
#include "model/CombinationList.h"
#include "model/GcrKey.h"
#include "model/MarkingGrid.h"
#include "model/ScoreCode.h"

#include <QtTest>

namespace {
ScoringLine line(const QString& od, const QString& ed = QString(), const QString& np = QString(),
                 const QString& paren = QString()) {
    ScoringLine l;
    l.field(1) = od;
    l.field(2) = ed;
    l.field(3) = np;
    l.field(4) = paren;
    return l;
}
GcrKey::Pair key(const char* k1, const char* k2 = "") {
    return GcrKey::Pair{QString::fromLatin1(k1), QString::fromLatin1(k2)};
}
} // namespace

Q_DECLARE_METATYPE(ScoringLine)

class ScoringTest : public QObject {
    Q_OBJECT
private slots:
    void codeTable();
    void codeCountAndContains();
    void gcrPoint_data();
    void gcrPoint();
    void totalText_data();
    void totalText();
    void gridDerivesPointsAndTotal();
    void keyFile();
    void keyFileErrors_data();
    void keyFileErrors();
    void combinationLabels();
    void codingEntryRules();
    void codingDeletion_data();
    void codingDeletion();
};

void ScoringTest::codeTable() {
    const QStringList codes{QStringLiteral("EV"), QStringLiteral("IV"), QStringLiteral("MV"), QStringLiteral("NE"),
                            QStringLiteral("EE"), QStringLiteral("NI"), QStringLiteral("II"), QStringLiteral("NM"),
                            QStringLiteral("KE"), QStringLiteral("KI"), QStringLiteral("KM")};
    const int columns[] = {1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3};
    for (int n = 1; n <= 11; ++n) {
        QCOMPARE(ScoreCodes::byNumber(n).text(), codes.at(n - 1));
        QCOMPARE(ScoreCodes::byNumber(n).column, columns[n - 1]);
        QCOMPARE(ScoreCodes::byCode(codes.at(n - 1))->number, n);
    }
    QVERIFY(ScoreCodes::byCode(QStringLiteral("ev")) == nullptr);
    QVERIFY(ScoreCodes::byNumber(5).underlined && ScoreCodes::byNumber(7).underlined);
    QCOMPARE(QString::fromLatin1(ScoreCodes::byNumber(9).face), QStringLiteral("e"));
}

void ScoringTest::codeCountAndContains() {
    QCOMPARE(line(QString(), QStringLiteral("EENE")).codeCount(), 2);
    QCOMPARE(line(QStringLiteral("IV"), QString(), QStringLiteral("KI")).codeCount(), 2);
    QCOMPARE(line(QString()).codeCount(), 0);
    // The parenthesized mark never counts.
    QCOMPARE(line(QString(), QString(), QString(), QStringLiteral("(EV)")).codeCount(), 0);
    QVERIFY(line(QString(), QString(), QString(), QStringLiteral("(EV)")).isEmpty());
    const ScoringLine l = line(QString(), QStringLiteral("NEEE"));
    QVERIFY(l.contains(QStringLiteral("NE")));
    QVERIFY(l.contains(QStringLiteral("EE")));
    QVERIFY(!l.contains(QStringLiteral("EN")));
    QVERIFY(!l.contains(QStringLiteral("KE")));
    QCOMPARE(ScoringLine::secondCode(QStringLiteral("NE")), QString());
    QCOMPARE(ScoringLine::secondCode(QStringLiteral("NEEEKI")), QStringLiteral("EE"));
    // holds() answers what comparing firstCode() and secondCode() would, for every length.
    for (const char* field : {"", "N", "NE", "NEE", "NEEE", "NEEEK"}) {
        for (const char* code : {"", "N", "NE", "EE", "EN", "E"}) {
            const QString f = QString::fromLatin1(field);
            const QString c = QString::fromLatin1(code);
            QCOMPARE(ScoringLine::holds(f, c), ScoringLine::firstCode(f) == c || ScoringLine::secondCode(f) == c);
        }
    }
}

void ScoringTest::gcrPoint_data() {
    QTest::addColumn<ScoringLine>("codes");
    QTest::addColumn<GcrKey::Pair>("pair");
    QTest::addColumn<QString>("point");
    const QString ne = QStringLiteral("NE");
    const QString ke = QStringLiteral("KE");
    QTest::newRow("single: key alone") << line(QString(), ne) << key("NE") << QStringLiteral("1");
    QTest::newRow("single: key and other") << line(QString(), ne, ke) << key("NE") << QStringLiteral("0.5");
    QTest::newRow("single: other alone") << line(QString(), QString(), ke) << key("NE") << QStringLiteral("0.0");
    QTest::newRow("single: unmarked") << line(QString()) << key("NE") << QStringLiteral("0.0");
    QTest::newRow("single: both in one field")
        << line(QString(), QStringLiteral("EENE")) << key("NE") << QStringLiteral("0.5");
    QTest::newRow("double: first alone") << line(QString(), ne) << key("NE", "KE") << QStringLiteral("1");
    QTest::newRow("double: second alone") << line(QString(), QString(), ke) << key("NE", "KE") << QStringLiteral("1");
    QTest::newRow("double: both") << line(QString(), ne, ke) << key("NE", "KE") << QStringLiteral("1");
    QTest::newRow("double: both in one field")
        << line(QString(), QStringLiteral("KENE")) << key("NE", "KE") << QStringLiteral("1");
    QTest::newRow("double: one and other")
        << line(QStringLiteral("EV"), ne) << key("NE", "KE") << QStringLiteral("0.5");
    QTest::newRow("double: other alone") << line(QStringLiteral("EV")) << key("NE", "KE") << QStringLiteral("0.0");
    QTest::newRow("no key") << line(QString(), ne) << key("") << QStringLiteral("0.0");
    QTest::newRow("no key, two codes") << line(QStringLiteral("EV"), ne) << key("") << QStringLiteral("0.0");
    QTest::newRow("only k2 is no key") << line(QString(), ne) << key("", "NE") << QStringLiteral("0.0");
    // Codes are matched whatever field they stand in.
    QTest::newRow("code in another column") << line(ne) << key("NE") << QStringLiteral("1");
}

void ScoringTest::gcrPoint() {
    QFETCH(ScoringLine, codes);
    QFETCH(GcrKey::Pair, pair);
    QFETCH(QString, point);
    QCOMPARE(GcrKey::point(codes, pair), point);
}

void ScoringTest::totalText_data() {
    QTest::addColumn<double>("sum");
    QTest::addColumn<QString>("text");
    QTest::newRow("12.5") << 12.5 << QStringLiteral("GCR érték összesen: 12.5");
    QTest::newRow("3") << 3.0 << QStringLiteral("GCR érték összesen:  3.0");
    QTest::newRow("0") << 0.0 << QStringLiteral("GCR érték összesen:  0.0");
    QTest::newRow("24") << 24.0 << QStringLiteral("GCR érték összesen: 24.0");
}

void ScoringTest::totalText() {
    QFETCH(double, sum);
    QFETCH(QString, text);
    QCOMPARE(GcrKey::totalText(sum), text);
}

void ScoringTest::gridDerivesPointsAndTotal() {
    MarkingGrid grid;
    QCOMPARE(grid.cell(0, 0), QStringLiteral("Kép"));
    QCOMPARE(grid.cell(4, 0), QStringLiteral("  ( )"));
    QCOMPARE(grid.cell(6, 0), QStringLiteral("pont"));
    QCOMPARE(grid.cell(0, 24), QStringLiteral("24."));
    const GcrKey key = GcrKey::parse(TestRoot::sampleKey(), QStringLiteral("magyar.gcr"));
    grid.setKey(key);
    QCOMPARE(grid.cell(5, 1), QStringLiteral("NE KE"));
    QCOMPARE(grid.cell(5, 2), QStringLiteral("EV "));
    QCOMPARE(grid.cell(5, 3), QStringLiteral(" "));

    grid.setScoringLine(1, line(QString(), QStringLiteral("NE")));                       // 1
    grid.setScoringLine(2, line(QStringLiteral("EV"), QStringLiteral("NE")));            // 0.5
    grid.setScoringLine(4, line(QString(), QStringLiteral("NE"), QStringLiteral("KE"))); // 0.5 (key NE)
    QCOMPARE(grid.coding().gcrPoints(), 2.0);
    QCOMPARE(grid.cell(6, 1), QStringLiteral("1"));
    QCOMPARE(grid.cell(6, 2), QStringLiteral("0.5"));
    QCOMPARE(grid.cell(6, 3), QStringLiteral("0.0"));
    QCOMPARE(grid.coding().totalText(), QStringLiteral("GCR érték összesen:  2.0"));
    QCOMPARE(grid.coding().markedPictureCount(), 3);

    grid.setScoringLine(7, line(QString(), QString(), QString(), QStringLiteral("(EV)")));
    QCOMPARE(grid.coding().markedPictureCount(), 3);
    grid.clearScoringLines();
    QCOMPARE(grid.coding().markedPictureCount(), 0);
    QCOMPARE(grid.cell(5, 1), QStringLiteral("NE KE")); // the key column stays
    QCOMPARE(grid.cell(6, 1), QStringLiteral("0.0"));
    QCOMPARE(grid.coding().gcrPoints(), 0.0);
}

void ScoringTest::keyFile() {
    TestRoot root;
    QByteArray bytes = "fejl\xe9"
                       "c\r\n";
    bytes += "NE,KE; megjegyz\xe9s\r\nEV,;\r\n,;\r\n,NE;\r\n";
    for (int i = 5; i <= 24; ++i)
        bytes += "KM,KI;\r\n";
    root.put(QStringLiteral("gy_vkt/magyar.gcr"), bytes);
    const GcrKey key = GcrKey::load(root.root().gcrKeyFile());
    QCOMPARE(key.pair(1).k1, QStringLiteral("NE"));
    QCOMPARE(key.pair(1).k2, QStringLiteral("KE"));
    QVERIFY(key.pair(1).isDouble());
    QVERIFY(key.pair(2).hasKey() && !key.pair(2).isDouble());
    QVERIFY(!key.pair(3).hasKey());
    QVERIFY(!key.pair(4).hasKey());
    QCOMPARE(key.pair(24).displayText(), QStringLiteral("KM KI"));
    // Lone CRs end lines too.
    QByteArray cr = bytes;
    cr.replace("\r\n", "\r");
    QCOMPARE(GcrKey::parse(cr, QStringLiteral("k")).pair(24).k2, QStringLiteral("KI"));
}

void ScoringTest::keyFileErrors_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QByteArray good = TestRoot::sampleKey();
    QTest::newRow("too short") << good.left(good.size() - 6) << QStringLiteral("25. sor");
    QByteArray noComma = good;
    noComma.replace("EV,;", "EV;");
    QTest::newRow("no comma") << noComma << QStringLiteral("3. sor");
    QByteArray noSemicolon = good;
    noSemicolon.replace("NE,KE;", "NE,KE");
    QTest::newRow("no semicolon") << noSemicolon << QStringLiteral("2. sor");
}

void ScoringTest::keyFileErrors() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    try {
        GcrKey::parse(bytes, QStringLiteral("magyar.gcr"));
        QFAIL("a malformed key was accepted");
    } catch (const UserError& e) {
        QVERIFY2(e.text().contains(text), qPrintable(e.text()));
        QVERIFY(e.text().contains(QStringLiteral("magyar.gcr")));
    }
    TestRoot root;
    QVERIFY_THROWS_EXCEPTION(UserError, GcrKey::load(root.root().gcrKeyFile()));
}

void ScoringTest::combinationLabels() {
    int total = 0;
    for (int p = 1; p <= 24; ++p) {
        const QStringList list = CombinationList::forPicture(p);
        QVERIFY(list.size() <= 17);
        total += list.size();
        for (const QString& entry : list) {
            const QStringList parts = entry.split(QLatin1Char('+'));
            QCOMPARE(parts.size(), 2);
            QVERIFY2(ScoreCodes::byCode(parts[0]) && ScoreCodes::byCode(parts[1]), qPrintable(entry));
        }
    }
    QCOMPARE(total, 7 + 5 + 11 + 7 + 5 + 9 + 8 + 8 + 17 + 9 + 6 + 9 + 9 + 2 + 6 + 9 + 5 + 11 + 7 + 7 + 5 + 4 + 8 + 7);

    QCOMPARE(CombinationList::labelCaption(14, 1), QStringLiteral("MV+NE"));
    QCOMPARE(CombinationList::labelCaption(14, 2), QStringLiteral("MV+EE"));
    QCOMPARE(CombinationList::labelCaption(14, 3), QStringLiteral("***"));
    QVERIFY(CombinationList::labelEnabled(14, 2));
    QVERIFY(!CombinationList::labelEnabled(14, 3));
    QCOMPARE(CombinationList::labelCaption(2, 6), QStringLiteral("***"));
    QVERIFY(CombinationList::labelEnabled(2, 6));
    QVERIFY(CombinationList::labelEnabled(2, 7));
    QVERIFY(!CombinationList::labelEnabled(2, 8));
    QCOMPARE(CombinationList::labelCaption(6, 2), QStringLiteral("NE+KE"));
    QCOMPARE(CombinationList::labelCaption(6, 3), QStringLiteral("NE+KE"));
    QCOMPARE(CombinationList::labelCaption(9, 17), QStringLiteral("MV+KE"));
    QVERIFY(CombinationList::labelEnabled(9, 17));
    QCOMPARE(CombinationList::labelCaption(24, 7), QStringLiteral("MV+NE"));
}

void ScoringTest::codingEntryRules() {
    const ScoreCode& ne = *ScoreCodes::byCode(QStringLiteral("NE"));
    const ScoreCode& ee = *ScoreCodes::byCode(QStringLiteral("EE"));
    const ScoreCode& ke = *ScoreCodes::byCode(QStringLiteral("KE"));
    Coding coding(GcrKey::parse(TestRoot::sampleKey(), QStringLiteral("magyar.gcr")), {});
    // Picture 3: NE then EE share the E-D field in the order pressed.
    QVERIFY(coding.enter(3, ne));
    QCOMPARE(coding.entryFor(3, ne), Coding::Entry::Duplicate);
    QVERIFY(!coding.enter(3, ne));
    QVERIFY(coding.enter(3, ee));
    QCOMPARE(coding.line(3), line(QString(), QStringLiteral("NEEE")));
    // A third code needs a deletion first; the refused code changes nothing.
    QCOMPARE(coding.entryFor(3, ke), Coding::Entry::NeedsDeletion);
    QVERIFY(!coding.enter(3, ke));
    QCOMPARE(coding.line(3), line(QString(), QStringLiteral("NEEE")));
    // A code that a file put into another column's field still counts as present.
    coding.setLine(5, line(QStringLiteral("KE")));
    QCOMPARE(coding.entryFor(5, ke), Coding::Entry::Duplicate);
    // Picture 1 (key NE KE): NE and KE are the two key codes, one point; the points are read
    // from the lines as they stand, never remembered.
    QVERIFY(coding.enter(1, ne));
    QCOMPARE(coding.point(1), 1.0);
    // Picture 5's misplaced KE still matches its key (KE NE).
    QCOMPARE(coding.gcrPoints(), 2.0);
    QVERIFY(coding.enter(1, ke));
    QCOMPARE(coding.pointText(1), QStringLiteral("1"));
    QCOMPARE(coding.markedPictureCount(), 3);
    coding.clearLines();
    QCOMPARE(coding.gcrPoints(), 0.0);
    QCOMPARE(coding.markedPictureCount(), 0);
}

void ScoringTest::codingDeletion_data() {
    QTest::addColumn<ScoringLine>("before");
    QTest::addColumn<QList<int>>("pressed");
    QTest::addColumn<ScoringLine>("after");
    QTest::newRow("second code moves forward")
        << line(QString(), QStringLiteral("NEEE")) << QList<int>{3} << line(QString(), QStringLiteral("EE"));
    QTest::newRow("both of a field") << line(QString(), QStringLiteral("NEEE")) << QList<int>{3, 4} << line(QString());
    QTest::newRow("two columns") << line(QStringLiteral("IV"), QString(), QStringLiteral("KI")) << QList<int>{5}
                                 << line(QStringLiteral("IV"));
    QTest::newRow("nothing pressed") << line(QStringLiteral("IV"), QString(), QStringLiteral("KI")) << QList<int>{}
                                     << line(QStringLiteral("IV"), QString(), QStringLiteral("KI"));
    // A field is rebuilt from its first two codes; a longer parenthesized mark keeps four.
    QTest::newRow("limits of the rebuild")
        << line(QStringLiteral("EVIVMV"), QString(), QString(), QStringLiteral("(EVx)")) << QList<int>{}
        << line(QStringLiteral("EVIV"), QString(), QString(), QStringLiteral("(EVx"));
    QTest::newRow("parenthesized mark deleted")
        << line(QString(), QString(), QString(), QStringLiteral("(EV)")) << QList<int>{7} << line(QString());
}

void ScoringTest::codingDeletion() {
    QFETCH(ScoringLine, before);
    QFETCH(QList<int>, pressed);
    QFETCH(ScoringLine, after);
    const Coding::DeletionButtons buttons = Coding::deletionButtons(before);
    std::array<bool, 7> down{};
    for (int button : pressed)
        down[static_cast<size_t>(button - 1)] = true;
    QCOMPARE(Coding::afterDeletion(buttons, down), after);
}

QTEST_GUILESS_MAIN(ScoringTest)
#include "tst_scoring.moc"
