#include "model/Norms.h"
#include "render/ResultText.h"

#include <QtTest>

class NormsTest : public QObject {
    Q_OBJECT
private slots:
    void bracketChoice_data();
    void bracketChoice();
    void twoDecimalValuesKept();
    void quartileClass_data();
    void quartileClass();
    void extremeLimits_data();
    void extremeLimits();
    void gcrClass_data();
    void gcrClass();
};

Q_DECLARE_METATYPE(NormEntry)

namespace {
bool sameTable(const NormTable& a, const NormTable& b) {
    auto same = [](const NormEntry& x, const NormEntry& y) {
        return x.q1 == y.q1 && x.median == y.median && x.q3 == y.q3;
    };
    if (!same(a.gcrPercent, b.gcrPercent))
        return false;
    for (size_t i = 0; i < 3; ++i)
        if (!same(a.rowPercent[i], b.rowPercent[i]) || !same(a.columnPercent[i], b.columnPercent[i]))
            return false;
    for (size_t i = 0; i < 6; ++i)
        if (!same(a.superegoPercent[i], b.superegoPercent[i]))
            return false;
    return true;
}
} // namespace

void NormsTest::bracketChoice_data() {
    QTest::addColumn<int>("age");
    QTest::addColumn<int>("bracket"); // 0 none, else 7, 9, 11, 13
    QTest::newRow("6") << 6 << 0;
    QTest::newRow("7") << 7 << 7;
    QTest::newRow("8") << 8 << 7;
    QTest::newRow("9") << 9 << 9;
    QTest::newRow("10") << 10 << 9;
    QTest::newRow("11") << 11 << 11;
    QTest::newRow("12") << 12 << 11;
    QTest::newRow("13") << 13 << 13;
    QTest::newRow("14") << 14 << 13;
    QTest::newRow("15") << 15 << 0;
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("-8") << -8 << 0;
}

void NormsTest::bracketChoice() {
    QFETCH(int, age);
    QFETCH(int, bracket);
    const std::optional<NormTable> table = normTableForAge(age);
    QCOMPARE(table.has_value(), bracket != 0);
    if (!table)
        return;
    const NormTable* expected = bracket == 7    ? &Norms::kAge7to8
                                : bracket == 9  ? &Norms::kAge9to10
                                : bracket == 11 ? &Norms::kAge11to12
                                                : &Norms::kAge13to14;
    QVERIFY(sameTable(*table, *expected));
}

void NormsTest::twoDecimalValuesKept() {
    const NormEntry np = Norms::kAge7to8.columnPercent[2];
    QCOMPARE(np.q1, 10.52);
    QCOMPARE(np.median, 27.24);
    QCOMPARE(np.q3, 50.53);
    QCOMPARE(Norms::kAge13to14.superegoPercent[2].q1, 7.11);
    // A few values from each part of the tables, so a shifted row would show.
    QCOMPARE(Norms::kAge9to10.gcrPercent.median, 38.9);
    QCOMPARE(Norms::kAge11to12.rowPercent[2].median, 32.0);
    QCOMPARE(Norms::kAge13to14.superegoPercent[5].q3, 63.0);
    QCOMPARE(Norms::kAge9to10.superegoPercent[1].q1, 0.1);
    QCOMPARE(Norms::kAge7to8.rowPercent[1].q3, 32.8);
}

void NormsTest::quartileClass_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<NormEntry>("entry");
    QTest::addColumn<QString>("expected");
    const NormEntry rowM11 = Norms::kAge11to12.rowPercent[2];     // 15.4 / 32 / 43.9
    const NormEntry colNP11 = Norms::kAge11to12.columnPercent[2]; // 15 / 33.3 / 52
    const NormEntry sup1 = Norms::kAge7to8.superegoPercent[0];    // 0 / 3.3 / 14.8
    QTest::newRow("below Q1") << 15.0 << rowM11 << QStringLiteral("&#60;Q1");
    QTest::newRow("equal Q1") << 15.0 << colNP11 << QStringLiteral("Q1/Mdn");
    QTest::newRow("just below median") << 31.0 << rowM11 << QStringLiteral("Q1/Mdn");
    QTest::newRow("whole median") << 32.0 << rowM11 << QStringLiteral("Mdn");
    QTest::newRow("above median") << 33.0 << rowM11 << QStringLiteral("Mdn/Q3");
    QTest::newRow("equal Q3") << 52.0 << colNP11 << QStringLiteral("Mdn/Q3");
    QTest::newRow("one above whole Q3") << 53.0 << colNP11 << QStringLiteral("&#62;Q3");
    QTest::newRow("zero with Q1 zero") << 0.0 << sup1 << QStringLiteral("Q1/Mdn");
    QTest::newRow("10 vs 10.52") << 10.0 << Norms::kAge7to8.columnPercent[2] << QStringLiteral("&#60;Q1");
    QTest::newRow("7 vs 7.11") << 7.0 << Norms::kAge13to14.superegoPercent[2] << QStringLiteral("&#60;Q1");
    QTest::newRow("51 vs 50.53") << 51.0 << Norms::kAge7to8.columnPercent[2] << QStringLiteral("&#62;Q3");
}

void NormsTest::quartileClass() {
    QFETCH(double, value);
    QFETCH(NormEntry, entry);
    QFETCH(QString, expected);
    QCOMPARE(ResultText::quartileClass(::quartileClass(value, entry), ResultText::Form::Html), expected);
}

void NormsTest::extremeLimits_data() {
    QTest::addColumn<int>("age");
    QTest::addColumn<double>("limit");
    QTest::newRow("7-8") << 7 << 73.1;
    QTest::newRow("9-10") << 10 << 73.1;
    QTest::newRow("11-12") << 11 << 72.55;
    QTest::newRow("13-14") << 14 << 70.425;
}

void NormsTest::extremeLimits() {
    QFETCH(int, age);
    QFETCH(double, limit);
    const NormEntry gcr = normTableForAge(age)->gcrPercent;
    QVERIFY(qAbs(gcrExtremeLimit(gcr) - limit) < 1e-9);
    const int firstExtreme = static_cast<int>(limit) + 1;
    QCOMPARE(::gcrClass(firstExtreme - 1, gcr), GcrClass::High);
    QCOMPARE(::gcrClass(firstExtreme, gcr), GcrClass::ExtremelyHigh);
    QCOMPARE(::gcrClass(100, gcr), GcrClass::ExtremelyHigh);
}

void NormsTest::gcrClass_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("expected");
    // Age 7-8: 31.9 / 37.3 / 53.9.
    QTest::newRow("0") << 0 << QStringLiteral("alacsony");
    QTest::newRow("31") << 31 << QStringLiteral("alacsony");
    QTest::newRow("32") << 32 << QStringLiteral("normál");
    QTest::newRow("37") << 37 << QStringLiteral("normál");
    QTest::newRow("53") << 53 << QStringLiteral("normál");
    QTest::newRow("54") << 54 << QStringLiteral("magas");
    QTest::newRow("73") << 73 << QStringLiteral("magas");
    QTest::newRow("74") << 74 << QStringLiteral("extrém magas");
}

void NormsTest::gcrClass() {
    QFETCH(int, percent);
    QFETCH(QString, expected);
    QCOMPARE(ResultText::gcrClass(::gcrClass(percent, Norms::kAge7to8.gcrPercent)), expected);
}

QTEST_GUILESS_MAIN(NormsTest)
#include "tst_norms.moc"
