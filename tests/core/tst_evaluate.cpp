#include "base/UserError.h"
#include "model/Evaluate.h"
#include "render/NumberText.h"
#include "render/ResultText.h"
#include "tst_evaluate_example.h"

#include <QtTest>

using R = EvaluationResult;
using namespace EvalFixture;

namespace {

const QChar kComma = QLatin1Char(',');

EvaluationResult run(const std::array<ScoringLine, 24>& lines, qint32 age = 10, const GcrKey& key = GcrKey(),
                     QChar separator = kComma) {
    return evaluate(Coding(key, lines), age, separator);
}

EvaluationResult run(const QStringList& specs, qint32 age = 10) {
    return run(linesFrom(specs), age);
}

QString rauchText(const EvaluationResult& r, char index) {
    const std::optional<double> v = rauchfleischIndex(r, index);
    return v ? fourDecimalText(*v, kComma) : QStringLiteral("nincs ért.");
}

// The texts the protocol prints for a result's classes, trends and total index.
template <size_t N>
std::array<QString, N> html(const std::array<QuartileClass, N>& classes) {
    std::array<QString, N> out;
    for (size_t i = 0; i < N; ++i)
        out[i] = ResultText::quartileClass(classes[i], ResultText::Form::Html);
    return out;
}

std::array<std::array<QString, 3>, 5> trendTexts(const EvaluationResult& r) {
    std::array<std::array<QString, 3>, 5> out;
    for (int row = 1; row <= 5; ++row) {
        for (int place = 1; place <= 3; ++place)
            out[size_t(row - 1)][size_t(place - 1)] = ResultText::trend(r, row, place, kComma, ResultText::Form::Html);
    }
    return out;
}

QString totalIndexText(const EvaluationResult& r) {
    return ResultText::totalIndex(r.topCell, kComma, ResultText::Form::Html);
}

QStringList concat(std::initializer_list<QStringList> parts) {
    QStringList out;
    for (const QStringList& p : parts)
        out << p;
    return out;
}

} // namespace

class EvaluateTest : public QObject {
    Q_OBJECT
private slots:
    void workedExampleProfile();
    void workedExampleDerivedIndices();
    void codeScoring_data();
    void codeScoring();
    void percentRoundsHalfToEven_data();
    void percentRoundsHalfToEven();
    void thirdShareIsTheRemainder_data();
    void thirdShareIsTheRemainder();
    void unknownCodesCountButAddNothing();
    void gcrPercentOfScoredPictures();
    void trendThresholds_data();
    void trendThresholds();
    void trendsLookAtFirstCodesOnly();
    void directionTrendSumsTheColumns();
    void totalIndexTies_data();
    void totalIndexTies();
    void rauchfleischWithoutValue_data();
    void rauchfleischWithoutValue();
    void ageOutsideNormsIsRefused_data();
    void ageOutsideNormsIsRefused();
};

void EvaluateTest::workedExampleProfile() {
    const R r = run(workedExample(), 9, workedExampleKey());
    QCOMPARE(r.scoredPictureCount, 22);
    const std::array<std::array<double, 3>, 3> cells{{{0, 7.5, 4}, {1.5, 1.5, 1.5}, {4, 2, 0}}};
    QCOMPARE(r.cellScore, cells);
    QCOMPARE(r.columnTotal, (std::array<double, 3>{5.5, 11, 5.5}));
    QCOMPARE(r.rowTotal, (std::array<double, 3>{11.5, 4.5, 6}));
    QCOMPARE(r.columnPercent, (std::array<double, 3>{25, 50, 25}));
    QCOMPARE(r.rowPercent, (std::array<double, 3>{52, 20, 28}));
    QCOMPARE(html(r.columnClass),
             (std::array<QString, 3>{QStringLiteral("Mdn/Q3"), QStringLiteral("Mdn/Q3"), QStringLiteral("Q1/Mdn")}));
    QCOMPARE(html(r.rowClass),
             (std::array<QString, 3>{QStringLiteral("Mdn/Q3"), QStringLiteral("Q1/Mdn"), QStringLiteral("Q1/Mdn")}));
    QCOMPARE(r.gcrPercent, 43);
    QCOMPARE(r.gcrClass, GcrClass::Normal);
}

void EvaluateTest::workedExampleDerivedIndices() {
    const R r = run(workedExample(), 9, workedExampleKey());
    QCOMPARE(r.superegoScore, (std::array<double, 6>{1.5, 0, 1.5, 6, 1.5, 6}));
    QCOMPARE(r.superegoPercent, (std::array<double, 6>{7, 0, 7, 27, 7, 27}));
    const std::array<QString, 6> classes{QStringLiteral("Mdn/Q3"), QStringLiteral("&#60;Q1"), QStringLiteral("Q1/Mdn"),
                                         QStringLiteral("Mdn/Q3"), QStringLiteral("Mdn/Q3"),  QStringLiteral("Q1/Mdn")};
    QCOMPARE(html(r.superegoClass), classes);

    const QString none = QStringLiteral("nincs");
    const std::array<std::array<QString, 3>, 5> trends{{
        {none, none, QStringLiteral("1 -&GT; MV")},
        {QStringLiteral("0,3333 -&GT; NE"), none, none},
        {none, none, none},
        {none, QStringLiteral("I &LT;- -1"), QStringLiteral("0,3333 -&GT; M")},
        {none, none, none},
    }};
    QCOMPARE(trendTexts(r), trends);

    QCOMPARE(totalIndexText(r), QStringLiteral("NE(7,5) &GT; MV(4) = KE(4)"));
    QCOMPARE(r.topCell[0].code, QStringLiteral("NE"));
    QCOMPARE(r.topCell[1].code, QStringLiteral("MV"));
    QCOMPARE(r.topCell[2].code, QStringLiteral("KE"));
    QCOMPARE(r.topCell[2].score, 4.0);

    QCOMPARE(rauchText(r, 'a'), QStringLiteral("2,5556"));
    QCOMPARE(rauchText(r, 'b'), QStringLiteral("1,9167"));
    QCOMPARE(rauchText(r, 'c'), QStringLiteral("2,875"));
    QCOMPARE(rauchText(r, 'd'), QStringLiteral("6,6667"));
    QCOMPARE(rauchText(r, 'e'), QStringLiteral("0,375"));
}

void EvaluateTest::codeScoring_data() {
    QTest::addColumn<QStringList>("specs");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("cell");
    QTest::addColumn<double>("superego1");
    QTest::addColumn<double>("superego2");
    QTest::newRow("EV alone") << QStringList{QStringLiteral("EV")} << int(R::E) << int(R::OD) << 1.0 << 0.0 << 0.0;
    QTest::newRow("EV beside NE") << QStringList{QStringLiteral("EV,NE")} << int(R::E) << int(R::OD) << 0.5 << 0.0
                                  << 0.0;
    QTest::newRow("NE beside EV") << QStringList{QStringLiteral("EV,NE")} << int(R::E) << int(R::ED) << 0.5 << 0.0
                                  << 0.0;
    QTest::newRow("EENE in one cell") << QStringList{QStringLiteral(",EENE")} << int(R::E) << int(R::ED) << 1.0 << 0.5
                                      << 0.0;
    QTest::newRow("II alone") << QStringList{QStringLiteral(",II")} << int(R::I) << int(R::ED) << 1.0 << 0.0 << 1.0;
    QTest::newRow("KMKI second code") << QStringList{QStringLiteral(",,KMKI")} << int(R::I) << int(R::NP) << 0.5 << 0.0
                                      << 0.0;
    QTest::newRow("code in a foreign column")
        << QStringList{QStringLiteral("NE")} << int(R::E) << int(R::ED) << 0.0 << 0.0 << 0.0;
    QTest::newRow("summed over pictures")
        << QStringList{QStringLiteral("MV"), QStringLiteral("MV,NE"), QStringLiteral("MV")} << int(R::M) << int(R::OD)
        << 2.5 << 0.0 << 0.0;
}

void EvaluateTest::codeScoring() {
    QFETCH(QStringList, specs);
    QFETCH(int, direction);
    QFETCH(int, type);
    QFETCH(double, cell);
    QFETCH(double, superego1);
    QFETCH(double, superego2);
    const R r = run(specs);
    QCOMPARE(r.cellScore[static_cast<size_t>(direction)][static_cast<size_t>(type)], cell);
    QCOMPARE(r.superegoScore[0], superego1);
    QCOMPARE(r.superegoScore[1], superego2);
    // The E-D cells hold NE + EE and NI + II, so indices 4 and 5 are NE and NI alone.
    QCOMPARE(r.superegoScore[3], r.cellScore[R::E][R::ED] - superego1);
    QCOMPARE(r.superegoScore[4], r.cellScore[R::I][R::ED] - superego2);
}

void EvaluateTest::percentRoundsHalfToEven_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("pictures");
    QTest::addColumn<double>("expected");
    QTest::newRow("12.5 down to even") << 3.0 << 24 << 12.0;
    QTest::newRow("37.5 up to even") << 9.0 << 24 << 38.0;
    QTest::newRow("2.5 down to even") << 0.5 << 20 << 2.0;
    QTest::newRow("62.5 down to even") << 2.5 << 4 << 62.0;
    QTest::newRow("87.5 up to even") << 3.5 << 4 << 88.0;
    QTest::newRow("52.08 nearest") << 12.5 << 24 << 52.0;
    QTest::newRow("52.27 nearest") << 11.5 << 22 << 52.0;
    QTest::newRow("20.45 nearest") << 4.5 << 22 << 20.0;
    QTest::newRow("whole") << 24.0 << 24 << 100.0;
    QTest::newRow("zero") << 0.0 << 1 << 0.0;
}

void EvaluateTest::percentRoundsHalfToEven() {
    QFETCH(double, x);
    QFETCH(int, pictures);
    QFETCH(double, expected);
    QCOMPARE(Evaluation::percent(x, pictures), expected);
}

void EvaluateTest::thirdShareIsTheRemainder_data() {
    QTest::addColumn<QStringList>("specs");
    QTest::addColumn<int>("scored");
    QTest::addColumn<QList<double>>("columnPercent");
    QTest::addColumn<QList<double>>("rowPercent");
    const QString ev = QStringLiteral("EV"), ne = QStringLiteral(",NE"), ke = QStringLiteral(",,KE");
    // Column totals 5.5 / 11 / 5.5 over 22 pictures.
    QTest::newRow("25/50/25") << concat({repeated(ev, 5),
                                         {QStringLiteral("EV,NE")},
                                         repeated(ne, 10),
                                         {QStringLiteral(",NE,KE")},
                                         repeated(ke, 5)})
                              << 22 << QList<double>{25, 50, 25} << QList<double>{100, 0, 0};
    // Column totals 7 / 7.5 / 7.5: 31.8 and 34.1 round, the third is 100 - 66.
    QTest::newRow("32/34/34") << concat({repeated(ev, 7), repeated(ne, 7), {QStringLiteral(",NE,KE")}, repeated(ke, 7)})
                              << 22 << QList<double>{32, 34, 34} << QList<double>{100, 0, 0};
    // Rows 1/3 each over 3 pictures: 33 + 33, the third 34 although it is as large.
    QTest::newRow("33/33/34") << QStringList{ev, QStringLiteral("IV"), QStringLiteral("MV")} << 3
                              << QList<double>{100, 0, 0} << QList<double>{33, 33, 34};
    QTest::newRow("no codes") << QStringList() << 1 << QList<double>{0, 0, 100} << QList<double>{0, 0, 100};
}

void EvaluateTest::thirdShareIsTheRemainder() {
    QFETCH(QStringList, specs);
    QFETCH(int, scored);
    QFETCH(QList<double>, columnPercent);
    QFETCH(QList<double>, rowPercent);
    const R r = run(specs);
    QCOMPARE(r.scoredPictureCount, scored);
    QCOMPARE(QList<double>(r.columnPercent.begin(), r.columnPercent.end()), columnPercent);
    QCOMPARE(QList<double>(r.rowPercent.begin(), r.rowPercent.end()), rowPercent);
}

void EvaluateTest::unknownCodesCountButAddNothing() {
    const R r = run(concat({repeated(QStringLiteral("XY"), 12), repeated(QStringLiteral("EV"), 12)}));
    QCOMPARE(r.scoredPictureCount, 24);
    QCOMPARE(r.columnTotal, (std::array<double, 3>{12, 0, 0}));
    // The unknown half of the pictures ends up in the remainders, N-P and M.
    QCOMPARE(r.columnPercent, (std::array<double, 3>{50, 0, 50}));
    QCOMPARE(r.rowPercent, (std::array<double, 3>{50, 0, 50}));
}

void EvaluateTest::gcrPercentOfScoredPictures() {
    // 12 single keyed codes and one keyed code of two: 12.5 points of 24 pictures.
    std::array<ScoringLine, 24> all = linesFrom(repeated(QStringLiteral("EV"), 24));
    all[12] = lineFrom(QStringLiteral("EV,NE"));
    GcrKey key;
    for (int picture = 1; picture <= 13; ++picture)
        key.pair(picture).k1 = QStringLiteral("EV");
    QCOMPARE(run(all, 10, key).gcrPercent, 52);
    // 3 EE of 24: 12.5 rounds to 12.
    const R r = run(linesFrom(concat({repeated(QStringLiteral(",EE"), 3), repeated(QStringLiteral("EV"), 21)})));
    QCOMPARE(r.superegoPercent[0], 12.0);
    // With nothing marked the divisor is 1 and no picture earns a point, whatever the key.
    const R empty = run(std::array<ScoringLine, 24>{}, 8, workedExampleKey());
    QCOMPARE(empty.scoredPictureCount, 1);
    QCOMPARE(empty.gcrPercent, 0);
}

void EvaluateTest::trendThresholds_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("expected");
    const QString ev = QStringLiteral("EV");
    QTest::newRow("3/3 below four") << 3 << 3 << ev << QStringLiteral("nincs");
    QTest::newRow("5/3 ratio 0.25") << 5 << 3 << ev << QStringLiteral("nincs");
    QTest::newRow("4/4 ratio 0") << 4 << 4 << ev << QStringLiteral("nincs");
    QTest::newRow("4/2 one third") << 4 << 2 << ev << QStringLiteral("0,3333 -&GT; EV");
    QTest::newRow("2/4 minus one third") << 2 << 4 << ev << QStringLiteral("EV &LT;- -0,3333");
    QTest::newRow("4/0") << 4 << 0 << ev << QStringLiteral("1 -&GT; EV");
    QTest::newRow("0/4") << 0 << 4 << ev << QStringLiteral("EV &LT;- -1");
    QTest::newRow("6/2") << 6 << 2 << ev << QStringLiteral("0,5 -&GT; EV");
    QTest::newRow("2/6") << 2 << 6 << ev << QStringLiteral("EV &LT;- -0,5");
    QTest::newRow("8/5 ratio 0.23") << 8 << 5 << QStringLiteral("E") << QStringLiteral("nincs");
    QTest::newRow("direction M") << 4 << 2 << QStringLiteral("M") << QStringLiteral("0,3333 -&GT; M");
    QTest::newRow("direction I") << 0 << 6 << QStringLiteral("I") << QStringLiteral("I &LT;- -1");
}

void EvaluateTest::trendThresholds() {
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, label);
    QFETCH(QString, expected);
    QCOMPARE(ResultText::trend(Evaluation::trendRatio(first, second), label, kComma, ResultText::Form::Html), expected);
}

void EvaluateTest::trendsLookAtFirstCodesOnly() {
    const R withEE = run(repeated(QStringLiteral(",NEEE"), 4));
    QCOMPARE(trendTexts(withEE)[1][0], QStringLiteral("1 -&GT; NE"));
    const R withNI = run(repeated(QStringLiteral(",NINE"), 4));
    QCOMPARE(trendTexts(withNI)[1][0], QStringLiteral("nincs"));
    QCOMPARE(trendTexts(withNI)[1][1], QStringLiteral("1 -&GT; NI"));
    // Pictures 13 to 24 form the second half.
    const R late = run(concat({repeated(QString(), 12), repeated(QStringLiteral(",,KM"), 5)}));
    QCOMPARE(trendTexts(late)[2][2], QStringLiteral("KM &LT;- -1"));
    QCOMPARE(trendTexts(late)[3][2], QStringLiteral("M &LT;- -1"));
    const auto lateTexts = trendTexts(late);
    for (const QString& text : lateTexts[4])
        QCOMPARE(text, QStringLiteral("nincs"));
}

void EvaluateTest::directionTrendSumsTheColumns() {
    // Two of each E code in the first half: no single code reaches four, direction E does.
    const R r = run(QStringList{QStringLiteral("EV"), QStringLiteral("EV"), QStringLiteral(",NE"),
                                QStringLiteral(",EE"), QStringLiteral(",,KE")});
    QCOMPARE(trendTexts(r)[0][0], QStringLiteral("nincs"));
    QCOMPARE(trendTexts(r)[1][0], QStringLiteral("nincs"));
    QCOMPARE(trendTexts(r)[3][0], QStringLiteral("1 -&GT; E"));
}

void EvaluateTest::totalIndexTies_data() {
    QTest::addColumn<QStringList>("specs");
    QTest::addColumn<QString>("expected");
    const QString ev = QStringLiteral("EV"), mv = QStringLiteral("MV"), ne = QStringLiteral(",NE"),
                  ni = QStringLiteral(",NI"), km = QStringLiteral(",,KM");
    QTest::newRow("earlier of equal cells ahead")
        << concat({repeated(ev, 2), repeated(mv, 5), repeated(ne, 8), repeated(ni, 3), repeated(km, 3)})
        << QStringLiteral("NE(8) &GT; MV(5) &GT; NI(3)");
    QTest::newRow("equal second and third") << concat({repeated(ne, 8), repeated(mv, 5), repeated(km, 5), {ev}})
                                            << QStringLiteral("NE(8) &GT; MV(5) = KM(5)");
    QTest::newRow("empty third place") << concat({repeated(ev, 12), repeated(ne, 12)})
                                       << QStringLiteral("EV(12) = NE(12) &GT; (0)");
    QTest::newRow("nothing marked") << QStringList() << QStringLiteral("(0) = (0) = (0)");
    QTest::newRow("half points") << QStringList{QStringLiteral("EV,NE"), ev}
                                 << QStringLiteral("EV(1,5) &GT; NE(0,5) &GT; (0)");
}

void EvaluateTest::totalIndexTies() {
    QFETCH(QStringList, specs);
    QFETCH(QString, expected);
    QCOMPARE(totalIndexText(run(specs)), expected);
}

void EvaluateTest::rauchfleischWithoutValue_data() {
    QTest::addColumn<QStringList>("specs");
    QTest::addColumn<QStringList>("expected"); // a to e
    const QString none = QStringLiteral("nincs ért.");
    // E 8 (EV 4, EE 2, KE 2), I 0, M 4.
    QTest::newRow("row I empty") << concat({repeated(QStringLiteral("EV"), 4), repeated(QStringLiteral("MV"), 4),
                                            repeated(QStringLiteral(",,KE"), 2), repeated(QStringLiteral(",EE"), 2)})
                                 << QStringList{none, QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("3"),
                                                QStringLiteral("0")};
    // No KE: c and e have no value, the rest do. EE + II = 0 as well: d has none.
    QTest::newRow("no KE, no superego") << concat({repeated(QStringLiteral("EV"), 3), repeated(QStringLiteral("IV"), 2),
                                                   repeated(QStringLiteral(",,KI"), 1),
                                                   repeated(QStringLiteral("MV"), 4)})
                                        << QStringList{QStringLiteral("1"), QStringLiteral("0,75"), none, none, none};
    // Row E empty: a and b are 0; c's divisor is part of row E, so it has none.
    QTest::newRow("row E empty") << QStringList{QStringLiteral("IV"), QStringLiteral("MV"), QStringLiteral(",II")}
                                 << QStringList{QStringLiteral("0"), QStringLiteral("0"), none, QStringLiteral("0"),
                                                none};
}

void EvaluateTest::rauchfleischWithoutValue() {
    QFETCH(QStringList, specs);
    QFETCH(QStringList, expected);
    const R r = run(specs);
    QStringList actual;
    for (char index = 'a'; index <= 'e'; ++index)
        actual << rauchText(r, index);
    QCOMPARE(actual, expected);
    QVERIFY(!rauchfleischIndex(r, 'f').has_value());
}

void EvaluateTest::ageOutsideNormsIsRefused_data() {
    QTest::addColumn<int>("age");
    QTest::newRow("6") << 6;
    QTest::newRow("15") << 15;
    QTest::newRow("0") << 0;
    QTest::newRow("negative") << -3;
}

void EvaluateTest::ageOutsideNormsIsRefused() {
    QFETCH(int, age);
    try {
        evaluate(Coding(workedExampleKey(), workedExample()), age, kComma);
        QFAIL("an age without norms was evaluated");
    } catch (const UserError& e) {
        QCOMPARE(e.text(), QStringLiteral("Az életkor (%1) kívül esik a 7–14 éves normatartományon; a jegyzőkönyv "
                                          "nem készíthető el.")
                               .arg(age));
    }
}

QTEST_GUILESS_MAIN(EvaluateTest)
#include "tst_evaluate.moc"
