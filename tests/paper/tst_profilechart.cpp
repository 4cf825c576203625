#include "base/UserError.h"
#include "model/Norms.h"
#include "render/ProfileChart.h"

#include <QSet>
#include <QtTest>

using Position = ProfileChart::Position;
using Marker = ProfileChart::Marker;

Q_DECLARE_METATYPE(ProfileChart::Marker)

namespace {

PersonalData child(qint32 age, const QString& code = QStringLiteral("KIS")) {
    PersonalData pd;
    pd.code = code;
    pd.age = age;
    return pd;
}

// Every measure at its bracket's median, then one of the thirteen (in the norm table's order)
// at value, each position text as the norms give it.
EvaluationResult resultWith(qint32 age, int measure, double value) {
    const NormTable norms = *normTableForAge(age);
    EvaluationResult r;
    std::array<double, 13> values;
    values[0] = norms.gcrPercent.median;
    for (size_t i = 0; i < 3; ++i) {
        values[1 + i] = norms.rowPercent[i].median;
        values[4 + i] = norms.columnPercent[i].median;
    }
    for (size_t k = 0; k < 6; ++k)
        values[7 + k] = norms.superegoPercent[k].median;
    values[static_cast<size_t>(measure)] = value;

    r.gcrPercent = static_cast<qint32>(values[0]);
    r.gcrClass = gcrClass(r.gcrPercent, norms.gcrPercent);
    for (size_t i = 0; i < 3; ++i) {
        r.rowPercent[i] = values[1 + i];
        r.rowClass[i] = quartileClass(values[1 + i], norms.rowPercent[i]);
        r.columnPercent[i] = values[4 + i];
        r.columnClass[i] = quartileClass(values[4 + i], norms.columnPercent[i]);
    }
    for (size_t k = 0; k < 6; ++k) {
        r.superegoPercent[k] = values[7 + k];
        r.superegoClass[k] = quartileClass(values[7 + k], norms.superegoPercent[k]);
    }
    return r;
}

const QRectF kArea(10, 20, 1000, 800);

} // namespace

class TestProfileChart : public QObject {
    Q_OBJECT
private slots:
    void pointStandsWhereItsPositionSays_data();
    void pointStandsWhereItsPositionSays();
    void gcrPointShapedByItsClass_data();
    void gcrPointShapedByItsClass();
    void bandsFollowTheNormTableOfTheBracket_data();
    void bandsFollowTheNormTableOfTheBracket();
    void rowsStackInsideTheArea();
    void sameShapeAtAnySize();
    void valuesOutsideTheScaleStayOnIt();
    void titleNamesCodeAndBracket();
    void textsAreDecodedForDisplay();
    void ageWithoutNormsRefused();
    void comparisonDrawsALinePerEvaluatedExamination();
};

void TestProfileChart::pointStandsWhereItsPositionSays_data() {
    QTest::addColumn<int>("age");
    QTest::addColumn<int>("measure");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("relation"); // where the point lies against band and median
    QTest::addColumn<Marker>("marker");
    QTest::addColumn<QString>("positionText");

    // Row E of 9-10: Q1 15.8, median 34.9, Q3 64.7.
    QTest::newRow("E below Q1") << 9 << 1 << 10.0 << "left of band" << Marker::TriangleLeft << "<Q1";
    QTest::newRow("E at Q1") << 9 << 1 << 15.8 << "band to median" << Marker::Circle << "Q1/Mdn";
    QTest::newRow("E Q1/Mdn") << 9 << 1 << 20.0 << "band to median" << Marker::Circle << "Q1/Mdn";
    QTest::newRow("E median") << 9 << 1 << 34.9 << "on median" << Marker::Diamond << "Mdn";
    QTest::newRow("E Mdn/Q3") << 9 << 1 << 50.0 << "median to band end" << Marker::Square << "Mdn/Q3";
    QTest::newRow("E at Q3") << 9 << 1 << 64.7 << "median to band end" << Marker::Square << "Mdn/Q3";
    QTest::newRow("E above Q3") << 9 << 1 << 70.0 << "right of band" << Marker::TriangleRight << ">Q3";
    // N-P of 7-8 (10.52 / 27.24 / 50.53), superego 4 of 13-14 (5.5 / 15.3 / 31.4).
    QTest::newRow("N-P below") << 7 << 6 << 10.0 << "left of band" << Marker::TriangleLeft << "<Q1";
    QTest::newRow("N-P above") << 8 << 6 << 51.0 << "right of band" << Marker::TriangleRight << ">Q3";
    QTest::newRow("superego 4 low") << 14 << 10 << 5.0 << "left of band" << Marker::TriangleLeft << "<Q1";
    QTest::newRow("superego 4 mid") << 13 << 10 << 20.0 << "median to band end" << Marker::Square << "Mdn/Q3";
    QTest::newRow("superego 6 high") << 11 << 12 << 60.0 << "right of band" << Marker::TriangleRight << ">Q3";
}

void TestProfileChart::pointStandsWhereItsPositionSays() {
    QFETCH(int, age);
    QFETCH(int, measure);
    QFETCH(double, value);
    QFETCH(QString, relation);
    QFETCH(Marker, marker);
    QFETCH(QString, positionText);

    const ProfileChart chart(child(age), resultWith(age, measure, value), QLatin1Char(','));
    const ProfileChart::Measure& m = chart.measures().at(static_cast<size_t>(measure));
    QCOMPARE(m.positionText, positionText);
    QCOMPARE(ProfileChart::markerOf(m.position), marker);

    const ProfileChart::Row row = chart.geometry(kArea).rows.at(static_cast<size_t>(measure));
    const double x = row.point.x();
    const double median = row.medianMark.x1();
    // The median mark is a vertical line inside the band.
    QCOMPARE(row.medianMark.x2(), median);
    QVERIFY(row.band.left() <= median && median <= row.band.right());
    QVERIFY(row.band.top() >= row.rect.top() && row.band.bottom() <= row.rect.bottom());
    QCOMPARE(row.point.y(), row.band.center().y());

    if (relation == QLatin1String("left of band"))
        QVERIFY2(x < row.band.left(), qPrintable(QString::number(x)));
    else if (relation == QLatin1String("band to median"))
        QVERIFY(row.band.left() <= x && x < median);
    else if (relation == QLatin1String("on median"))
        QCOMPARE(x, median);
    else if (relation == QLatin1String("median to band end"))
        QVERIFY(median < x && x <= row.band.right());
    else if (relation == QLatin1String("right of band"))
        QVERIFY(x > row.band.right());
    else
        QFAIL("unknown relation");

    // Every other measure sits on its median.
    for (int i = 1; i < ProfileChart::kMeasureCount; ++i) {
        if (i != measure)
            QCOMPARE(chart.measures().at(static_cast<size_t>(i)).position, Position::Median);
    }
}

void TestProfileChart::gcrPointShapedByItsClass_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("className");
    QTest::addColumn<Marker>("marker");
    // 9-10: Q1 26.8, median 38.9, Q3 49.8; extreme above ((26.8 + 49.8) / 2 + 38.9) / 2
    // + 2 * 0.75 * (49.8 - 26.8) = 38.6 + 34.5 = 73.1.
    QTest::newRow("low") << 20 << "alacsony" << Marker::TriangleLeft;
    QTest::newRow("normal at Q1") << 27 << "normál" << Marker::Diamond;
    QTest::newRow("normal") << 40 << "normál" << Marker::Diamond;
    QTest::newRow("high") << 60 << "magas" << Marker::TriangleRight;
    QTest::newRow("high at the limit") << 73 << "magas" << Marker::TriangleRight;
    QTest::newRow("extremely high") << 74 << "extrém magas" << Marker::DoubleTriangleRight;
}

void TestProfileChart::gcrPointShapedByItsClass() {
    QFETCH(int, percent);
    QFETCH(QString, className);
    QFETCH(Marker, marker);
    const ProfileChart chart(child(10), resultWith(10, 0, percent), QLatin1Char(','));
    const ProfileChart::Measure& gcr = chart.measures().front();
    QCOMPARE(gcr.positionText, className);
    QCOMPARE(gcr.valueText, QStringLiteral("%1 %").arg(percent));
    QCOMPARE(ProfileChart::markerOf(gcr.position), marker);

    const ProfileChart::Geometry g = chart.geometry(kArea);
    const ProfileChart::Row& row = g.rows.front();
    // The GCR row marks where "extrém magas" begins; the point is beyond it exactly when extreme.
    QVERIFY(!row.extremeMark.isNull());
    QVERIFY(qAbs(row.extremeMark.x1() - g.xFor(73.1)) < 1e-9);
    QCOMPARE(row.point.x() > row.extremeMark.x1(), gcr.position == Position::GcrExtreme);
    QCOMPARE(row.point.x() < row.band.left(), gcr.position == Position::GcrLow);
    QCOMPARE(row.point.x() > row.band.right(),
             gcr.position == Position::GcrHigh || gcr.position == Position::GcrExtreme);
    // No other row carries the limit.
    for (size_t i = 1; i < g.rows.size(); ++i)
        QVERIFY(g.rows[i].extremeMark.isNull());
}

void TestProfileChart::bandsFollowTheNormTableOfTheBracket_data() {
    QTest::addColumn<int>("age");
    QTest::addColumn<int>("measure");
    QTest::addColumn<double>("q1");
    QTest::addColumn<double>("median");
    QTest::addColumn<double>("q3");
    // Copied from the published tables, not from the program's.
    QTest::newRow("7: GCR") << 7 << 0 << 31.9 << 37.3 << 53.9;
    QTest::newRow("8: I") << 8 << 2 << 9.3 << 21.7 << 32.8;
    QTest::newRow("10: O-D") << 10 << 4 << 10.6 << 19.2 << 31.4;
    QTest::newRow("12: E-D") << 12 << 5 << 25.9 << 45.2 << 65.0;
    QTest::newRow("13: superego 3") << 13 << 9 << 7.11 << 15.3 << 24.6;
    QTest::newRow("14: superego 1") << 14 << 7 << 0.3 << 5.4 << 12.4;
    QTest::newRow("9: superego 6") << 9 << 12 << 22.6 << 39.1 << 64.0;
}

void TestProfileChart::bandsFollowTheNormTableOfTheBracket() {
    QFETCH(int, age);
    QFETCH(int, measure);
    QFETCH(double, q1);
    QFETCH(double, median);
    QFETCH(double, q3);
    const ProfileChart chart(child(age), resultWith(age, 0, 40), QLatin1Char(','));
    const ProfileChart::Geometry g = chart.geometry(kArea);
    const ProfileChart::Row& row = g.rows.at(static_cast<size_t>(measure));
    // The scale is linear from 0 % at the plot's left edge to 100 % at its right edge.
    auto x = [&g](double percent) { return g.plot.left() + g.plot.width() * percent / 100.0; };
    QVERIFY(qAbs(row.band.left() - x(q1)) < 1e-9);
    QVERIFY(qAbs(row.band.right() - x(q3)) < 1e-9);
    QVERIFY(qAbs(row.medianMark.x1() - x(median)) < 1e-9);
}

void TestProfileChart::rowsStackInsideTheArea() {
    const ProfileChart chart(child(9), resultWith(9, 3, 30), QLatin1Char(','));
    const ProfileChart::Geometry g = chart.geometry(kArea);
    QVERIFY(kArea.contains(g.titleRect) && kArea.contains(g.legendRect) && kArea.contains(g.plot));
    QVERIFY(g.titleRect.bottom() <= g.plot.top());
    QVERIFY(g.plot.bottom() <= g.axisTextRect.top() && g.axisTextRect.bottom() <= g.legendRect.top());
    QCOMPARE(g.tickValue.front(), 0);
    QCOMPARE(g.tickValue.back(), 100);
    QCOMPARE(g.tickX.front(), g.plot.left());
    QCOMPARE(g.tickX.back(), g.plot.right());

    double previousBottom = g.plot.top();
    int groups = 0;
    for (size_t i = 0; i < g.rows.size(); ++i) {
        const ProfileChart::Row& row = g.rows[i];
        QVERIFY2(row.rect.top() >= previousBottom, qPrintable(QString::number(i)));
        if (!row.groupRect.isEmpty()) {
            ++groups;
            QVERIFY(row.groupRect.bottom() <= row.rect.top());
        }
        QVERIFY(row.labelRect.right() <= g.plot.left());
        QVERIFY(row.textRect.left() >= g.plot.right());
        QVERIFY(g.plot.contains(row.band));
        QVERIFY(row.markerSize > 0 && row.markerSize < row.rect.height());
        previousBottom = row.rect.bottom();
    }
    QCOMPARE(previousBottom, g.plot.bottom());
    // GCR; the directions; the reaction types; the superego indices.
    QCOMPARE(groups, 4);
    QVERIFY(!g.rows[0].groupRect.isEmpty() && !g.rows[1].groupRect.isEmpty() && !g.rows[4].groupRect.isEmpty() &&
            !g.rows[7].groupRect.isEmpty());
}

void TestProfileChart::sameShapeAtAnySize() {
    const ProfileChart chart(child(11), resultWith(11, 8, 3), QLatin1Char(','));
    const ProfileChart::Geometry small = chart.geometry(QRectF(0, 0, 500, 400));
    const ProfileChart::Geometry large = chart.geometry(QRectF(0, 0, 1500, 1200));
    auto near = [](double a, double b) { return qAbs(a - b) < 1e-6; };
    QVERIFY(near(large.plot.left(), 3 * small.plot.left()) && near(large.plot.width(), 3 * small.plot.width()));
    QVERIFY(near(large.fontSize, 3 * small.fontSize));
    for (size_t i = 0; i < small.rows.size(); ++i) {
        QVERIFY(near(large.rows[i].point.x(), 3 * small.rows[i].point.x()));
        QVERIFY(near(large.rows[i].point.y(), 3 * small.rows[i].point.y()));
        QVERIFY(near(large.rows[i].band.width(), 3 * small.rows[i].band.width()));
    }
}

void TestProfileChart::valuesOutsideTheScaleStayOnIt() {
    // Percentages of a set add up to 100, so a rounded share can come out a hair below zero.
    EvaluationResult r = resultWith(9, 3, -1);
    r.columnPercent[0] = 104;
    const ProfileChart chart(child(9), r, QLatin1Char(','));
    const ProfileChart::Geometry g = chart.geometry(kArea);
    QCOMPARE(g.rows[3].point.x(), g.plot.left());
    QCOMPARE(g.rows[4].point.x(), g.plot.right());
    QCOMPARE(chart.measures()[3].valueText, QStringLiteral("-1 %"));
}

void TestProfileChart::titleNamesCodeAndBracket() {
    const ProfileChart chart(child(12, QStringLiteral("KOVACS")), resultWith(12, 0, 40), QLatin1Char(','));
    QVERIFY(chart.title().contains(QStringLiteral("KOVACS")));
    QVERIFY(chart.subtitle().contains(QStringLiteral("11–12 éves")));
    QCOMPARE(ProfileChart::bracketText(7), QStringLiteral("7–8"));
    QCOMPARE(ProfileChart::bracketText(8), QStringLiteral("7–8"));
    QCOMPARE(ProfileChart::bracketText(9), QStringLiteral("9–10"));
    QCOMPARE(ProfileChart::bracketText(14), QStringLiteral("13–14"));
}

void TestProfileChart::textsAreDecodedForDisplay() {
    EvaluationResult r = resultWith(9, 7, 0);
    r.superegoPercent[0] = 2.5;
    r.superegoClass[1] = QuartileClass::AboveQ3;
    const ProfileChart chart(child(9), r, QLatin1Char('.'));
    const auto& m = chart.measures();
    QCOMPARE(m[7].valueText, QStringLiteral("2.5 %"));
    QCOMPARE(m[8].positionText, QStringLiteral(">Q3"));
    QCOMPARE(m[8].position, Position::AboveQ3);
    const QStringList labels{QStringLiteral("GCR %"),
                             QStringLiteral("E"),
                             QStringLiteral("I"),
                             QStringLiteral("M"),
                             QStringLiteral("O - D"),
                             QStringLiteral("E - D"),
                             QStringLiteral("N - P"),
                             QStringLiteral("1.  EE"),
                             QStringLiteral("2.  II"),
                             QStringLiteral("3.  EE + II"),
                             QStringLiteral("4.  E(E-D) − EE"),
                             QStringLiteral("5.  I(E-D) − II"),
                             QStringLiteral("6.  M + II")};
    for (int i = 0; i < ProfileChart::kMeasureCount; ++i)
        QCOMPARE(m[static_cast<size_t>(i)].label.plain(), labels.at(i));

    // Black and white: every position of the quartile scale has a shape of its own, and every
    // GCR class one that says the same as its quartile counterpart.
    QSet<int> shapes;
    for (Position p : {Position::BelowQ1, Position::Q1Mdn, Position::Median, Position::MdnQ3, Position::AboveQ3})
        shapes.insert(static_cast<int>(ProfileChart::markerOf(p)));
    QCOMPARE(shapes.size(), 5);
    QCOMPARE(ProfileChart::markerOf(Position::GcrLow), ProfileChart::markerOf(Position::BelowQ1));
    QCOMPARE(ProfileChart::markerOf(Position::GcrHigh), ProfileChart::markerOf(Position::AboveQ3));
    QVERIFY(!shapes.contains(static_cast<int>(ProfileChart::markerOf(Position::GcrExtreme))));
}

void TestProfileChart::ageWithoutNormsRefused() {
    for (qint32 age : {6, 15}) {
        try {
            ProfileChart chart(child(age), EvaluationResult(), QLatin1Char(','));
            QFAIL("no error");
        } catch (const UserError& e) {
            QVERIFY(e.text().contains(QStringLiteral("(%1)").arg(age)));
        }
    }
}

void TestProfileChart::comparisonDrawsALinePerEvaluatedExamination() {
    // Three evaluated examinations of two brackets, a refused one between them: three lines in
    // date order, on the bands of the latest bracket, each point at its own examination's value.
    Comparison c;
    const std::array<std::pair<qint32, double>, 4> examinations{{{8, 20}, {9, 0}, {11, 35}, {12, 60}}};
    for (const auto& [age, gcr] : examinations) {
        ComparedExamination e;
        e.personal = child(age);
        e.personal.date = QStringLiteral("20%1.01.01.").arg(age + 10);
        if (gcr > 0)
            e.result = resultWith(age, 0, gcr);
        else
            e.refusal = ProtocolRefusal::TooFewMarked;
        c.examinations.push_back(e);
    }
    const ProfileChart chart(c, QLatin1Char(','));
    QCOMPARE(chart.lines().size(), size_t(3));
    QVERIFY(chart.lines()[0].name.startsWith(QStringLiteral("2018.")));
    QVERIFY(chart.lines()[2].name.startsWith(QStringLiteral("2022.")));
    QVERIFY(chart.subtitle().contains(QStringLiteral("11–12 éves")));
    QCOMPARE(chart.measures()[0].norm.median, normTableForAge(12)->gcrPercent.median);
    const ProfileChart::Geometry g = chart.geometry(kArea);
    const double values[3] = {20, 35, 60};
    for (size_t line = 0; line < 3; ++line) {
        QCOMPARE(g.rows[0].linePoints[line].x(), g.xFor(values[line]));
        QCOMPARE(g.rows[5].linePoints[line].x(), g.xFor(chart.lines()[line].values[5]));
    }
    QSet<int> markers;
    QSet<QRgb> colours;
    for (int line = 0; line < 4; ++line) {
        markers.insert(static_cast<int>(ProfileChart::lineLook(line).marker));
        colours.insert(ProfileChart::lineLook(line).colour.rgb());
    }
    QCOMPARE(markers.size(), 4);
    QCOMPARE(colours.size(), 4);
}

QTEST_GUILESS_MAIN(TestProfileChart)
#include "tst_profilechart.moc"
